// Clocks of the tests and the benchmarks.
#include "ZyTestVremja.h"

namespace zytest {

namespace {

// A FILETIME span in milliseconds.
double Ms(const FILETIME& f) {
    return double((ULONGLONG(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0;
}

} // namespace

double Sekundy() {
    static const LONGLONG chastota = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(chastota);
}

double VremjaPotoka(HANDLE potok) {
    FILETIME c, e, k, u;
    if (!GetThreadTimes(potok, &c, &e, &k, &u)) return 0;
    return Ms(k) + Ms(u);
}

double LuchsheeVremja(const std::function<void()>& op, int raz,
                      const std::function<void()>& podgotovka) {
    double best = 1e30;
    for (int i = 0; i < raz; ++i) {
        if (podgotovka) podgotovka();
        const double t = Sekundy();
        op();
        const double d = Sekundy() - t;
        if (d < best) best = d;
    }
    return best;
}

} // namespace zytest
