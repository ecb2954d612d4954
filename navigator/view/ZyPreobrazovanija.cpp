// Point-array transforms of the controller: shift, rotation about a line, change by a matrix.
//
// Each builds one matrix M and replaces every point p by the first three components of
// M * (x, y, z, 1): the result of packing the points four at a time as the columns of a matrix
// P and forming M * P, with the fourth row ignored. The columns of that product are
// independent, so each point is formed on its own, in the same order of operations (the same
// bits) without the packing and without the unused fourth row. Every point is transformed
// exactly once. The products are plain double arithmetic (see ZyGeometrija.cpp): the
// rendering state of the calling thread is not touched.
#include "ZyGeometrija.h"

namespace Quorvel {

namespace {

// p := the first three components of m * (p, 1), for every point of the array.
void PreobrazovatTochki(const MATRICA_DF4x4& mat, TOCHKA3MDF* tochki, int kol) {
    const double* m = mat.m;
    for (int i = 0; i < kol; ++i) {
        const double x = tochki[i].x, y = tochki[i].y, z = tochki[i].z;
        tochki[i].x = m[0] * x + m[4] * y + m[8] * z + m[12];
        tochki[i].y = m[1] * x + m[5] * y + m[9] * z + m[13];
        tochki[i].z = m[2] * x + m[6] * y + m[10] * z + m[14];
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
    // The identity with (v.x, v.y, v.z) in m[12..14] gives exactly p + v.
    for (int i = 0; i < count; ++i) {
        points[i].x += v.x;
        points[i].y += v.y;
        points[i].z += v.z;
    }
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
