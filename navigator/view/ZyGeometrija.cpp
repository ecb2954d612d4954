// Vector, point and 4x4 matrix operators, and the matrix arithmetic the transforms share.
//
// NOTE: the products are formed here in double arithmetic instead of on the rendering
// library's matrix stack. Mesa (and the generic Windows implementation) keep their matrix
// stacks in single precision: a point 1000 units away would lose about 4e-5 units at every
// navigation step and the frame would drift. Nothing here touches rendering state, so the
// current matrix mode and modelview matrix are trivially left as they were.
#include "ZyGeometrija.h"

#include <cmath>
#include <cstring>

namespace Quorvel {

namespace {

constexpr double kGradus = 3.14159265358979323846 / 180.0;

// Sine and cosine of an angle in degrees, exact at the multiples of 90.
void SinCosGradusov(double ugol, double& s, double& c) {
    double r = std::fmod(ugol, 360.0);
    if (r < 0) r += 360.0;
    if (r == 0.0) {
        s = 0.0, c = 1.0;
    } else if (r == 90.0) {
        s = 1.0, c = 0.0;
    } else if (r == 180.0) {
        s = 0.0, c = -1.0;
    } else if (r == 270.0) {
        s = -1.0, c = 0.0;
    } else {
        s = std::sin(r * kGradus);
        c = std::cos(r * kGradus);
    }
}

// Normalises (x, y, z) in place like the rendering library's helper: a zero vector stays.
void Normalizovat(double v[3]) {
    const double r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0) return;
    v[0] /= r, v[1] /= r, v[2] /= r;
}

// c := a x b.
void Vektornoe(const double a[3], const double b[3], double c[3]) {
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

// ---- Matrix arithmetic ----------------------------------------------------------------------

// r := a * b in the column-major reading.
void ZyUmnozhit4x4(const double a[16], const double b[16], double r[16]) {
    double t[16];
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 4; ++s)
            t[4 * c + s] = a[s] * b[4 * c] + a[4 + s] * b[4 * c + 1] + a[8 + s] * b[4 * c + 2] +
                           a[12 + s] * b[4 * c + 3];
    std::memcpy(r, t, sizeof t);
}

// The identity matrix.
void ZyEdinichnaja(double m[16]) {
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// glRotated's matrix in double precision; a zero or non-finite axis gives the identity.
void ZyMatricaPovorota(double ugol, const VEKTOR3MDF& os, double m[16]) {
    ZyEdinichnaja(m);
    const double dlina = std::sqrt(os.x * os.x + os.y * os.y + os.z * os.z);
    if (!(dlina > 0.0) || !std::isfinite(dlina)) return;
    const double x = os.x / dlina, y = os.y / dlina, z = os.z / dlina;
    double s, c;
    SinCosGradusov(ugol, s, c);
    const double k = 1.0 - c;
    m[0] = x * x * k + c;
    m[1] = y * x * k + z * s;
    m[2] = x * z * k - y * s;
    m[4] = x * y * k - z * s;
    m[5] = y * y * k + c;
    m[6] = y * z * k + x * s;
    m[8] = x * z * k + y * s;
    m[9] = y * z * k - x * s;
    m[10] = z * z * k + c;
}

// T(a) * R(ugol, b - a) * T(-a): the linear part R, the translation a - R a.
void ZyMatricaPovorotaVokrug(double ugol, const TOCHKA3MDF& a, const TOCHKA3MDF& b, double m[16]) {
    const VEKTOR3MDF os{b.x - a.x, b.y - a.y, b.z - a.z};
    ZyMatricaPovorota(ugol, os, m);
    m[12] = a.x - (m[0] * a.x + m[4] * a.y + m[8] * a.z);
    m[13] = a.y - (m[1] * a.x + m[5] * a.y + m[9] * a.z);
    m[14] = a.z - (m[2] * a.x + m[6] * a.y + m[10] * a.z);
}

// gluLookAt's rotation for an eye at the origin looking along vpered with vverh up.
void ZyMatricaVzgljada(const VEKTOR3MDF& vpered, const VEKTOR3MDF& vverh, double m[16]) {
    double f[3] = {vpered.x, vpered.y, vpered.z};
    const double u0[3] = {vverh.x, vverh.y, vverh.z};
    double s[3], u[3];
    Normalizovat(f);
    Vektornoe(f, u0, s);
    Normalizovat(s);
    Vektornoe(s, f, u);
    ZyEdinichnaja(m);
    for (int k = 0; k < 3; ++k) {
        m[4 * k + 0] = s[k];
        m[4 * k + 1] = u[k];
        m[4 * k + 2] = -f[k];
    }
}

// ---- VEKTOR3MDF -----------------------------------------------------------------------------

// Makes the vector unit length and returns its length before. A zero vector is left as it is
// and gives 0 (dividing it would fill the frame with NaN that no later step removes).
double VEKTOR3MDF::Normal() {
    const double d = Mod();
    if (d == 0.0) return 0.0;
    x /= d, y /= d, z /= d;
    return d;
}

// The length sqrt(x*x + y*y + z*z).
double VEKTOR3MDF::Mod() const {
    return std::sqrt(x * x + y * y + z * z);
}

// ---- TOCHKA3MDF -----------------------------------------------------------------------------

// The row vector (x, y, z, 1) times m in the row-major reading (translation in m[12..14]).
TOCHKA3MDF TOCHKA3MDF::operator*(const MATRICA_DF4x4& mat) const {
    const double* m = mat.m;
    return TOCHKA3MDF{x * m[0] + y * m[4] + z * m[8] + m[12],
                      x * m[1] + y * m[5] + z * m[9] + m[13],
                      x * m[2] + y * m[6] + z * m[10] + m[14]};
}

// ---- MATRICA_DF4x4 --------------------------------------------------------------------------

// The row-major matrix times the column vector (x, y, z, 1) (translation in m[3], m[7], m[11]).
TOCHKA3MDF MATRICA_DF4x4::operator*(const TOCHKA3MDF& p) const {
    return TOCHKA3MDF{m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3],
                      m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
                      m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]};
}

// this := b * this in the column-major reading (this * b for row vectors).
MATRICA_DF4x4& MATRICA_DF4x4::operator*=(const MATRICA_DF4x4& b) {
    ZyUmnozhit4x4(b.m, m, m);
    return *this;
}

// Transposes in place: new m[4i + j] = old m[4j + i].
void MATRICA_DF4x4::Transponirovat() {
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            const double t = m[4 * i + j];
            m[4 * i + j] = m[4 * j + i];
            m[4 * j + i] = t;
        }
}

} // namespace Quorvel
