// Nanoseconds per ZYKNB64 operation: saturating arithmetic on the halves, division and
// remainder through the x87 unit (with every exception masked, and with one unmasked, which
// makes each operation save and restore the whole x87 environment), the floating
// conversions and text in radix 10 and 16.
#include "ZyKFajl64.h"
#include "ZyTestVremja.h"

#include <cstdio>

using namespace Quorvel;

namespace {

// An operand that changes with i, so that nothing is folded away.
ZYKNB64 Delitel(int i) {
    return ZYKNB64{static_cast<unsigned long>(i) * 2654435761ul | 3,
                   static_cast<unsigned long>(i & 7)};
}

volatile unsigned long gStok; // keeps the results alive

// Runs `op` n times and prints the time per call.
template <typename F> void Izmerit(const char* imja, int n, F op) {
    ZYKNB64 acc{0, 0};
    const double t = zytest::Sekundy();
    for (int i = 0; i < n; ++i)
        acc += op(i);
    const double d = zytest::Sekundy() - t;
    gStok = acc.Ml;
    std::printf("%-44s %9.1f ns\n", imja, d / n * 1e9);
}

// Sets the x87 control word; pending flags are cleared first, so that unmasking an exception
// whose flag an earlier operation left set does not trap at once.
void PisatCw(unsigned short cw) {
    asm volatile("fnclex\n\tfldcw %0" : : "m"(cw));
}

} // namespace

int main() {
    const ZYKNB64 x{0x89ABCDEFul, 0xF1234567ul};
    const int n = 2000000, m = 200000;
    Izmerit("a * b + b (saturating)", n, [&](int i) { return x * Delitel(i) + Delitel(i); });
    Izmerit("a - b, a + b", n, [&](int i) { return (x - Delitel(i)) + Delitel(i); });
    Izmerit("a / b (x87)", n, [&](int i) { return x / Delitel(i); });
    Izmerit("a % b (x87, fprem)", n, [&](int i) { return x % Delitel(i); });
    Izmerit("double(a) + assignment from double", n, [&](int i) {
        ZYKNB64 z;
        z = double(Delitel(i));
        return z;
    });
    PisatCw(0x035F); // precision exception unmasked
    Izmerit("a / b, caller with an unmasked exception", n, [&](int i) { return x / Delitel(i); });
    PisatCw(0x037F);
    unsigned char buf[64];
    Izmerit("VsStr radix 10, 20 digits, grouped", m, [&](int i) {
        const ZYKNB64 v{static_cast<unsigned long>(i) * 2654435761ul, 0xFFFFFFFFul};
        return ZYKNB64{v.VsStr(buf, 3, 10), 0};
    });
    Izmerit("VsStr radix 16", m, [&](int i) {
        const ZYKNB64 v{static_cast<unsigned long>(i) * 2654435761ul, 0xFFFFFFFFul};
        return ZYKNB64{v.VsStr(buf, 0, 16), 0};
    });
    Izmerit("VzStr of 20 decimal digits", m, [&](int) {
        ZYKNB64 v{0, 0};
        v.VzStr(reinterpret_cast<const unsigned char*>("18446744073709551615"), 0);
        return v;
    });
    return 0;
}
