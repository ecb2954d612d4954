// Point-array transforms of the controller: shift, rotation about a line, change by a matrix.
//
// All three build one matrix M and apply it to the points four at a time: a group is packed as
// the four columns of a matrix P (fourth component 1), the product M * P is formed and the first
// three components of each column are copied back. A last partial group is padded with the
// origin, and only its real points are written back, so every point is transformed exactly
// once. The products are plain double arithmetic (see ZyGeometrija.cpp): the rendering state
// of the calling thread is not touched.
#include "ZyGeometrija.h"

namespace Quorvel {

namespace {

const TOCHKA3MDF kNachalo{0.0, 0.0, 0.0}; // pads a partial group

// Packs up to four points (the rest the origin) as the columns of p, each with w = 1.
void Upakovat(const TOCHKA3MDF* tochki, int kol, double p[16]) {
    for (int k = 0; k < 4; ++k) {
        const TOCHKA3MDF& t = k < kol ? tochki[k] : kNachalo;
        p[4 * k + 0] = t.x;
        p[4 * k + 1] = t.y;
        p[4 * k + 2] = t.z;
        p[4 * k + 3] = 1.0;
    }
}

// Copies the first three components of the first kol columns of p back into the points.
void Raspakovat(const double p[16], TOCHKA3MDF* tochki, int kol) {
    for (int k = 0; k < kol; ++k) {
        tochki[k].x = p[4 * k + 0];
        tochki[k].y = p[4 * k + 1];
        tochki[k].z = p[4 * k + 2];
    }
}

// Applies m to every point of the array in groups of four.
void PreobrazovatTochki(const MATRICA_DF4x4& m, TOCHKA3MDF* tochki, int kol) {
    for (int i = 0; i < kol; i += 4) {
        const int v_gruppe = kol - i < 4 ? kol - i : 4;
        MATRICA_DF4x4 p;
        Upakovat(tochki + i, v_gruppe, p.m);
        p *= m; // p := m * p
        Raspakovat(p.m, tochki + i, v_gruppe);
    }
}

// A null array or a count below 1 is refused (a negative count would walk off the array).
bool Dopustimo(const TOCHKA3MDF* tochki, int kol) {
    return tochki != nullptr && kol > 0;
}

} // namespace

// Moves every point by v. 1, or 0 for a null array or a count of 0.
int ZYKGLKONTROL::SdvigTochek(const VEKTOR3MDF& v, TOCHKA3MDF* points, int count) {
    if (!Dopustimo(points, count)) return 0;
    MATRICA_DF4x4 m;
    ZyEdinichnaja(m.m);
    m.m[12] = v.x;
    m.m[13] = v.y;
    m.m[14] = v.z;
    PreobrazovatTochki(m, points, count);
    return 1;
}

// Turns every point by `angle` degrees about the line through a with direction b - a,
// counter-clockwise looking from b towards a. 1, or 0 for a null array or a count of 0.
// a and b may lie inside the array: the matrix is built before any point moves.
int ZYKGLKONTROL::PovorotTochek(const double& angle, const TOCHKA3MDF& a, const TOCHKA3MDF& b,
                                TOCHKA3MDF* points, int count) {
    if (!Dopustimo(points, count)) return 0;
    MATRICA_DF4x4 m;
    ZyMatricaPovorotaVokrug(angle, a, b, m.m);
    PreobrazovatTochki(m, points, count);
    return 1;
}

// Replaces every point p by p * m (translation from m[12..14], no division by w).
// 1, or 0 for a null array or a count of 0.
int ZYKGLKONTROL::IzmenenieTochek(const MATRICA_DF4x4& m, TOCHKA3MDF* points, int count) {
    if (!Dopustimo(points, count)) return 0;
    PreobrazovatTochki(m, points, count);
    return 1;
}

} // namespace Quorvel
