// Views of a model (see ZyVidModeli.h).
#include "ZyVidModeli.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zymodel {

namespace {

// Per up axis: the up, right and front (towards the eye) directions as axis number and sign.
// The front is the side models of that convention face: +Z for Y-up, -Y for Z-up.
struct ZYS_RAMKA_OSI {
    const char* imja;
    int verh, znakVerha, pravo, znakPrava, pered, znakPereda;
};
constexpr ZYS_RAMKA_OSI kOsi[ZYO_KOL] = {
    {"+Y", 1, 1, 0, 1, 2, 1},   {"+Z", 2, 1, 0, 1, 1, -1}, {"+X", 0, 1, 1, -1, 2, 1},
    {"-Y", 1, -1, 0, 1, 2, -1}, {"-Z", 2, -1, 0, 1, 1, 1}, {"-X", 0, -1, 1, 1, 2, 1},
};

// Weights of the right, up and front directions in the view from the eye: about 40 degrees to
// the right of the front and 25 degrees above.
constexpr double kPravo = 0.6, kVerh = 0.45, kPered = 0.75;
// A box thinner than this share of its largest side counts as flat.
constexpr double kPloskij = 0.05;

// The unit vector along axis `os` with sign `znak`, scaled by `k`, added to v.
void Dobavit(double* v, int os, int znak, double k) {
    v[os] += znak * k;
}

// v / |v|.
void Normirovat(double* v) {
    const double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] /= d;
}

// a x b into r.
void Vektornoe(const double* a, const double* b, double* r) {
    r[0] = a[1] * b[2] - a[2] * b[1];
    r[1] = a[2] * b[0] - a[0] * b[2];
    r[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

const char* ZyImjaOsi(int os) {
    return os >= 0 && os < ZYO_KOL ? kOsi[os].imja : kOsi[0].imja;
}

int ZyOsPoImeni(const char* imja) {
    for (int i = 0; i < ZYO_KOL; ++i)
        if (imja && std::strcmp(imja, kOsi[i].imja) == 0) return i;
    return -1;
}

ZYS_RAKURS ZyRakurs(const float* mn, const float* mx, int os, double fovy, double aspekt) {
    const ZYS_RAMKA_OSI& o = kOsi[os >= 0 && os < ZYO_KOL ? os : 0];
    double c[3], h[3], r2 = 0, bolshaja = 0;
    for (int i = 0; i < 3; ++i) {
        c[i] = 0.5 * (double(mn[i]) + double(mx[i]));
        h[i] = 0.5 * (double(mx[i]) - double(mn[i]));
        r2 += h[i] * h[i];
        bolshaja = std::max(bolshaja, h[i]);
    }
    // A flat box is seen more squarely: its thin axis weighs most in the direction to the eye.
    double ves[3] = {kPravo, kVerh, kPered};
    const int osi[3] = {o.pravo, o.verh, o.pered};
    for (int i = 0; i < 3; ++i)
        if (h[osi[i]] <= kPloskij * bolshaja) {
            ves[0] = ves[1] = ves[2] = 0.35;
            ves[i] = 1.0;
            break;
        }
    double k[3] = {0, 0, 0}; // from the centre towards the eye
    Dobavit(k, o.pravo, o.znakPrava, ves[0]);
    Dobavit(k, o.verh, o.znakVerha, ves[1]);
    Dobavit(k, o.pered, o.znakPereda, ves[2]);
    Normirovat(k);
    const double pi = 3.14159265358979323846;
    const double r = std::max(std::sqrt(r2), 1e-3);
    const double v = 0.5 * fovy * pi / 180.0;
    const double ugol = std::min(v, std::atan(std::tan(v) * (aspekt > 0 ? aspekt : 1.0)));
    const double d = 1.05 * r / std::sin(ugol);
    // The view runs from the eye to the centre; up is the chosen axis made square to it.
    const double vzgljad[3] = {-k[0], -k[1], -k[2]};
    double verh[3] = {0, 0, 0};
    Dobavit(verh, o.verh, o.znakVerha, 1.0);
    const double p = verh[0] * vzgljad[0] + verh[1] * vzgljad[1] + verh[2] * vzgljad[2];
    for (int i = 0; i < 3; ++i)
        verh[i] -= p * vzgljad[i];
    Normirovat(verh);
    double bok[3];
    Vektornoe(vzgljad, verh, bok);
    ZYS_RAKURS z;
    for (int i = 0; i < 3; ++i) {
        z.glaz[i] = c[i] + d * k[i];
        z.cel[i] = z.glaz[i] + 1000.0 * vzgljad[i];
        z.verh[i] = z.glaz[i] + 1000.0 * verh[i];
        z.bok[i] = z.glaz[i] + 1000.0 * bok[i];
    }
    return z;
}

double ZyBlizhnjaja(const float* mn, const float* mx, const double* glaz) {
    double d2 = 0, r2 = 0;
    for (int i = 0; i < 3; ++i) {
        const double a = mn[i], b = mx[i];
        const double vne = glaz[i] < a ? a - glaz[i] : glaz[i] > b ? glaz[i] - b : 0.0;
        d2 += vne * vne;
        r2 += 0.25 * (b - a) * (b - a);
    }
    const double r = std::max(std::sqrt(r2), 1e-3);
    return std::max(0.5 * std::sqrt(d2), r / 2000.0);
}

} // namespace zymodel
