// Grid layout of the view windows: the largest cells of a fixed or widening aspect that fill
// the area with small remainders. Kept free of the platform so that tests compile it as is.
#include "ZySetka.h"

#include <cmath>

namespace Quorvel {

namespace {

// The largest cell of aspect a whose area is at most `per`, searched downward from sqrt(W H);
// false when no positive cell exists.
bool Kletka(double ploshchad, double per, double a, long& shir, long& vys) {
    double h = std::sqrt(ploshchad);
    do {
        h -= 1.0;
    } while (h >= 1.0 && (h * a) * h > per);
    if (h < 1.0) return false;
    shir = static_cast<long>(h * a);
    vys = static_cast<long>(h);
    return shir >= 1 && vys >= 1;
}

} // namespace

// See the header for the rule.
ZYS_SETKA ZyRaschetSetki(long W, long H, unsigned long n, bool estRoditel) {
    ZYS_SETKA s;
    if (n == 0) n = 1;
    double a = 4.0 / 3.0;
    bool fiks = false;
    if (n % 2 == 1 && (n != 1 || !estRoditel)) {
        a = 16.0 / 9.0;
        H = H - H / 2;
        fiks = true;
    }
    bool najdeno = false;
    if (W >= 1 && H >= 1) {
        if (n < 2 && !fiks) {
            s.shirina = W;
            s.vysota = H;
            najdeno = true;
        } else {
            const double ploshchad = double(W) * double(H);
            const double per = ploshchad / double(n < 2 ? 2 : n);
            for (s.shagov = 0; s.shagov < ZY_SETKA_MAKS_SHAGOV; ++s.shagov) {
                long shir = 0, vys = 0;
                if (!Kletka(ploshchad, per, a, shir, vys) || shir > W) break;
                s.shirina = shir;
                s.vysota = vys;
                if (fiks || (W % shir <= 5 && H % vys <= 32)) {
                    najdeno = true;
                    break;
                }
                a += 0.01;
            }
        }
    }
    if (!najdeno) {
        s.zapasnaja = true;
        s.shirina = W >= 1 ? W : 1;
        const long v = H >= 1 ? H / static_cast<long>(n) : 1;
        s.vysota = v >= 1 ? v : 1;
    }
    s.kolonki = static_cast<unsigned long>(W / s.shirina);
    if (s.kolonki == 0) s.kolonki = 1;
    unsigned long rjad = 0;
    for (unsigned long i = 0; i < n; ++i) {
        if (i && i % s.kolonki == 0) ++rjad;
        s.x.push_back(static_cast<long>(i % s.kolonki) * s.shirina);
        s.y.push_back(static_cast<long>(rjad) * s.vysota);
    }
    return s;
}

} // namespace Quorvel
