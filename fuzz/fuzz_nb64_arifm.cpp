// ZYKNB64 arithmetic against a plain 128-bit reference: every operator form on two numbers
// from the input, under an x87 control word from the input (precision and rounding), which
// must come back unchanged and must not change any result.
#include "ZyFuzz.h"
#include "ZyNB64.h"

#include <cstdint>

using namespace Quorvel;
using u64 = std::uint64_t;
using u128 = unsigned __int128;

namespace {

constexpr u64 kMax = ~0ull;

u64 V(const ZYKNB64& n) {
    return u64(n.St) << 32 | n.Ml;
}
ZYKNB64 N(u64 v) {
    return ZYKNB64{ZyDW(v), ZyDW(v >> 32)};
}
u64 Sat(u128 v) {
    return v > kMax ? kMax : u64(v);
}
unsigned DlinaBit(u64 v) {
    unsigned n = 0;
    while (v)
        ++n, v >>= 1;
    return n;
}
// The exact x / y (x > y >= 2) rounded to nearest-even at a 64-bit significand, then
// truncated: the quotient the extended format gives.
u64 Okruglennoe(u64 x, u64 y) {
    const int sdvig = 63 - int(DlinaBit(x / y) - 1); // >= 1: the quotient is below 2^63
    const u128 chisl = u128(x) << sdvig;
    u128 m = chisl / y;
    const u128 rem = chisl % y;
    if (2 * rem > y || (2 * rem == y && (m & 1))) ++m;
    return u64(m >> sdvig);
}
u64 Chastnoe(u64 x, u64 y) {
    return x < y ? 0 : x == y ? 1 : y <= 1 ? x : Okruglennoe(x, y);
}
u64 Ostatok(u64 x, u64 y) {
    return (x < y || y == 0) ? x : x % y;
}
unsigned short ChitatCw() {
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}
void PisatCw(unsigned short cw) {
    asm volatile("fldcw %0" : : "m"(cw));
}

#define ZY_RAVNO(fakt, ozhid, chto)                                                                \
    ZY_PROVERIT((fakt) == (ozhid), "%s: a=%016llx b=%016llx got %016llx expected %016llx", chto,   \
                (unsigned long long)a, (unsigned long long)b, (unsigned long long)(fakt),          \
                (unsigned long long)(ozhid))

// Every binary form with numbers on both sides and with a 32-bit value on either side.
void Proverit(u64 a, u64 b) {
    const u64 b32 = b & 0xFFFFFFFFu, a32 = a & 0xFFFFFFFFu;
    const ZYKNB64 A = N(a), B = N(b);
    ZY_RAVNO(V(A + B), Sat(u128(a) + b), "+");
    ZY_RAVNO(V(A + ZyDW(b32)), Sat(u128(a) + b32), "+ U");
    ZY_RAVNO(V(A - B), a < b ? 0 : a - b, "-");
    ZY_RAVNO(V(ZyDW(a32) - B), a32 < b ? 0 : a32 - b, "U -");
    ZY_RAVNO(V(A * B), Sat(u128(a) * b), "*");
    ZY_RAVNO(V(A * ZyDW(b32)), Sat(u128(a) * b32), "* U");
    ZY_RAVNO(V(A / B), Chastnoe(a, b), "/");
    ZY_RAVNO(V(A % B), Ostatok(a, b), "%");
    ZY_RAVNO(V(A / ZyDW(b32)), Chastnoe(a, b32), "/ U");
    ZY_RAVNO(V(A % ZyDW(b32)), Ostatok(a, b32), "% U");
    ZYKNB64 C = A;
    C /= B;
    ZY_RAVNO(V(C), Chastnoe(a, b), "/=");
    C = A;
    C %= B;
    ZY_RAVNO(V(C), Ostatok(a, b), "%=");
    // The 32-bit left operand: saturating at 32 bits, or 0 / unchanged as the forms say.
    ZyDW u = ZyDW(a32);
    u += B;
    ZY_RAVNO(u64(u), b > 0xFFFFFFFFu || a32 + b > 0xFFFFFFFFu ? 0xFFFFFFFFu : a32 + b, "U +=");
    u = ZyDW(a32);
    u -= B;
    ZY_RAVNO(u64(u), b > a32 ? 0 : a32 - b, "U -=");
    u = ZyDW(a32);
    u *= B;
    // 0 times anything stays 0 (a deliberate choice of the unit); other overflows saturate.
    ZY_RAVNO(u64(u),
             a32 == 0                                   ? 0
             : b > 0xFFFFFFFFu || a32 * b > 0xFFFFFFFFu ? 0xFFFFFFFFu
                                                        : a32 * b,
             "U *=");
    u = ZyDW(a32);
    u /= B;
    ZY_RAVNO(u64(u), b > 0xFFFFFFFFu ? 0 : b >= 2 ? a32 / b : a32, "U /=");
    u = ZyDW(a32);
    u %= B;
    ZY_RAVNO(u64(u), (b > 0xFFFFFFFFu || b == 0) ? a32 : a32 % b, "U %=");
    ZY_RAVNO(V(ZyDW(a32) / B), b > a32 ? 0 : b == 0 ? a32 : a32 / b, "U /");
    ZY_RAVNO(V(ZyDW(a32) % B), (b > a32 || b == 0) ? a32 : a32 % b, "U %");
    // Shifts (count modulo 64) and comparisons.
    const unsigned s = unsigned(b & 63);
    ZY_RAVNO(V(A << B), a << s, "<<");
    ZY_RAVNO(V(A >> B), a >> s, ">>");
    ZY_RAVNO(V(ZyDW(a32) << B), a32 << s, "U <<");
    ZY_RAVNO(V(ZyDW(a32) >> B), s >= 32 ? 0 : a32 >> s, "U >>");
    ZY_RAVNO((A < B) + 2 * (A == B) + 4 * (A > B), (a < b) + 2 * (a == b) + 4 * (a > b), "cmp");
    ZY_RAVNO((A <= ZyDW(b32)) + 2 * (ZyDW(a32) >= B), (a <= b32) + 2 * (a32 >= b), "cmp U");
    ZYKNB64 D = A;
    ++D;
    ZY_RAVNO(V(D), a == kMax ? kMax : a + 1, "++");
    D = A;
    --D;
    ZY_RAVNO(V(D), a == 0 ? 0 : a - 1, "--");
    // Floating: to long double is exact, and back gives the number itself.
    const long double e = static_cast<long double>(A);
    ZYKNB64 F = B;
    F = e;
    ZY_RAVNO(V(F), a, "long double round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    const u64 a = d.ConsumeIntegral<u64>(), b = d.ConsumeIntegral<u64>();
    // Precision 24, 53 or 64 bits, any rounding mode, exceptions masked.
    static const unsigned short kSlova[] = {0x037F, 0x027F, 0x007F, 0x0F7F, 0x077F, 0x0B7F, 0x0E7F};
    const unsigned short cw = kSlova[d.ConsumeIntegralInRange<size_t>(0, 6)];
    const unsigned short bylo = ChitatCw();
    PisatCw(cw);
    Proverit(a, b);
    Proverit(b, a);
    const unsigned short stalo = ChitatCw();
    PisatCw(bylo);
    ZY_PROVERIT(stalo == cw, "control word %04x came back as %04x", cw, stalo);
    // Under the default word, the conversion is the exact value.
    ZY_PROVERIT(static_cast<long double>(N(a)) == (long double)a, "to long double %016llx",
                (unsigned long long)a);
    return 0;
}
