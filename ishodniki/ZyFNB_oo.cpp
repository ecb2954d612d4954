// ZyFNB_oo: the unsigned 64-bit number ZYKNB64 and its operators.
//
// Arithmetic never wraps: addition and multiplication stop at the largest value (MAX),
// subtraction stops at zero, division and remainder by zero leave the dividend. Every
// operator works on the two 32-bit halves; only division, remainder and the floating
// conversions use the x87 unit, in its 80-bit extended format with a 64-bit significand.
//
// The unit calls nothing of Win32 and builds with the host's compilers as well.
// Text conversion (VsStr, VzStr) is in ZyFNB_ooTekst.cpp.
#include "ZyNB64.h"

#include <cstdint>

static_assert(sizeof(Quorvel::ZYKNB64) == 8, "ZYKNB64 is the 8-byte image of a 64-bit value");
static_assert(sizeof(ZyDW) == 4, "the halves of ZYKNB64 are 32 bits");

namespace Quorvel {

namespace {

constexpr ZyDW kMax32 = 0xFFFFFFFFul;
constexpr ZYKNB64 kMax{kMax32, kMax32};
constexpr ZYKNB64 kNol{0, 0};

// The number's value as a 64-bit integer (for the x87 paths only).
inline std::uint64_t Znach(const ZYKNB64& n) {
    return (static_cast<std::uint64_t>(n.St) << 32) | n.Ml;
}

// A number from a 64-bit integer.
inline ZYKNB64 IzZnach(std::uint64_t v) {
    return ZYKNB64{static_cast<ZyDW>(v), static_cast<ZyDW>(v >> 32)};
}

// ---------------------------------------------------------------------------------------
// Halves

// Unsigned comparison: -1, 0 or 1; high halves first.
inline int Sravnit(const ZYKNB64& a, const ZYKNB64& b) {
    if (a.St != b.St) return a.St < b.St ? -1 : 1;
    if (a.Ml != b.Ml) return a.Ml < b.Ml ? -1 : 1;
    return 0;
}

// Left shift by the low six bits of the count.
inline ZYKNB64 SdvigVlevo(const ZYKNB64& a, ZyDW schet) {
    const unsigned s = schet & 63;
    if (s & 32) return ZYKNB64{0, a.Ml << (s & 31)};
    if (s == 0) return a;
    return ZYKNB64{a.Ml << s, (a.St << s) | (a.Ml >> (32 - s))};
}

// Logical right shift by the low six bits of the count.
inline ZYKNB64 SdvigVpravo(const ZYKNB64& a, ZyDW schet) {
    const unsigned s = schet & 63;
    if (s & 32) return ZYKNB64{a.St >> (s & 31), 0};
    if (s == 0) return a;
    return ZYKNB64{(a.Ml >> s) | (a.St << (32 - s)), a.St >> s};
}

// 32-bit left operand shifted by a number's count: counts 32-63 give 0.
inline ZyDW Sdvig32Vlevo(ZyDW a, const ZYKNB64& n) {
    const unsigned s = n.Ml & 63;
    return (s & 32) ? 0 : a << s;
}

// 32-bit left operand shifted right by a number's count: counts 32-63 give 0.
inline ZyDW Sdvig32Vpravo(ZyDW a, const ZYKNB64& n) {
    const unsigned s = n.Ml & 63;
    return (s & 32) ? 0 : a >> s;
}

// Saturating sum: low halves added, the carry goes into the high halves; overflow gives MAX.
inline ZYKNB64 Summa(const ZYKNB64& a, const ZYKNB64& b) {
    const ZyDW ml = a.Ml + b.Ml;
    const ZyDW perenos = ml < a.Ml ? 1 : 0;
    const ZyDW st = a.St + b.St;
    if (st < a.St) return kMax;
    const ZyDW st2 = st + perenos;
    if (st2 < st) return kMax;
    return ZYKNB64{ml, st2};
}

// Clamped difference: 0 when the subtrahend is larger than the minuend.
inline ZYKNB64 Raznost(const ZYKNB64& a, const ZYKNB64& b) {
    if (Sravnit(a, b) < 0) return kNol;
    const ZyDW zaem = a.Ml < b.Ml ? 1 : 0;
    return ZYKNB64{a.Ml - b.Ml, a.St - b.St - zaem};
}

// 32 x 32 -> 64 product.
inline std::uint64_t Proizv32(ZyDW a, ZyDW b) {
    return static_cast<std::uint64_t>(a) * b;
}

// Saturating product from the halves. Both high halves non-zero gives MAX; otherwise the
// cross products must fit in 32 bits and their sum with the high half of the low product
// must not carry, or the result is MAX.
inline ZYKNB64 Proizvedenie(const ZYKNB64& a, const ZYKNB64& b) {
    if (a.St != 0 && b.St != 0) return kMax;
    const std::uint64_t nizh = Proizv32(a.Ml, b.Ml);
    ZyDW h = static_cast<ZyDW>(nizh >> 32);
    const std::uint64_t kresty[2] = {Proizv32(a.St, b.Ml), Proizv32(a.Ml, b.St)};
    for (const std::uint64_t krest : kresty) {
        if (krest > kMax32) return kMax;
        const ZyDW k = static_cast<ZyDW>(krest);
        if (h + k < h) return kMax;
        h += k;
    }
    return ZYKNB64{static_cast<ZyDW>(nizh), h};
}

// ---------------------------------------------------------------------------------------
// x87 extended format
//
// NOTE: Windows may start a process with the x87 precision control at 53 bits (control word
// 0x027F); Wine starts mingw programs with 64 bits (0x037F). The results below depend on the
// 64-bit significand, so every block sets precision and rounding itself, inside a guard
// (X87Rezhim) that gives the caller back its control word. Each block is one asm statement
// with all operands in memory, leaving the x87 stack as it found it; volatile asm statements
// keep their order, and the functions do no floating arithmetic outside them, so nothing
// can move across the control-word changes.
//
// Exceptions stay masked inside a block. When the caller has unmasked any, the guard saves
// and restores the whole x87 environment (fnstenv / fldenv), so the inexact result of a
// division cannot trap in the caller afterwards. fnstenv costs some 20 times the division
// itself, so with every exception masked (the usual state) only the control word is restored.

// Control-word bits: precision control (bits 8-9), rounding control (bits 10-11) and the
// six exception masks (bits 0-5).
constexpr unsigned short kPc64RcBlizh = 0x0300; // 64-bit significand, round to nearest
constexpr unsigned short kPc64RcOtbr = 0x0F00;  // 64-bit significand, truncation
constexpr unsigned short kMaskaPcRc = 0x0F00;
constexpr unsigned short kVseMaski = 0x003F;

// The x87 environment image of fnstenv / fldenv (28 bytes in 32- and 64-bit mode).
struct SredaX87 {
    unsigned char b[28];
};

// The caller's control word with precision and rounding replaced and exceptions masked.
inline unsigned short SlovoUpr(unsigned short staroe, unsigned short rezhim) {
    return static_cast<unsigned short>((staroe & ~kMaskaPcRc) | rezhim | kVseMaski);
}

// Reads the current x87 control word.
inline unsigned short ChitatSlovoUpr() {
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

// Guard of one x87 block: remembers the caller's control word (its whole x87 environment
// when the caller has unmasked an exception) and restores it when the function returns.
class X87Rezhim {
public:
    X87Rezhim()
        : staroe_(ChitatSlovoUpr()), sreda_(), polnaja_((staroe_ & kVseMaski) != kVseMaski) {
        if (polnaja_) asm volatile("fnstenv %0" : "=m"(sreda_));
    }
    // NOTE: fldenv also restores the caller's tag word, which marks every x87 register empty.
    // Where a floating result travels in st(0) (long double on x86_64 Linux; float, double
    // and long double on every i686 target) the compiler may already have loaded the return
    // value there when the guard ends: the clobbers make it load it after the restore, else
    // the caller reads an empty register (a stack fault, which traps when unmasked).
    ~X87Rezhim() {
        if (polnaja_)
            asm volatile("fldenv %0"
                         :
                         : "m"(sreda_)
                         : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)",
                           "st(7)");
        else
            asm volatile("fldcw %0" : : "m"(staroe_));
    }
    X87Rezhim(const X87Rezhim&) = delete;
    X87Rezhim& operator=(const X87Rezhim&) = delete;
    // The caller's control word with precision and rounding replaced, exceptions masked.
    unsigned short Slovo(unsigned short rezhim) const { return SlovoUpr(staroe_, rezhim); }
    // The caller's control word with its own rounding, exceptions masked.
    unsigned short SlovoVyzyvajushego() const {
        return static_cast<unsigned short>(staroe_ | kVseMaski);
    }

private:
    unsigned short staroe_;
    SredaX87 sreda_;
    bool polnaja_;
};

// The operand split for an exact load: the value shifted right by one (below 2^63, so it
// loads as a signed integer) and its lowest bit. Doubling the first and adding the second
// rebuilds the value exactly in a 64-bit significand.
struct Zagruzka {
    std::int64_t polovina;
    std::int64_t bit;
};

inline Zagruzka Razlozhit(std::uint64_t v) {
    return Zagruzka{static_cast<std::int64_t>(v >> 1), static_cast<std::int64_t>(v & 1)};
}

// Quotient of x by y (y >= 2, x > y): divided in the extended format rounding to nearest at
// a 64-bit significand, stored as a 64-bit integer under truncation. The quotient is below
// 2^63, so the signed store cannot overflow.
std::uint64_t X87Chastnoe(std::uint64_t x, std::uint64_t y) {
    const Zagruzka zx = Razlozhit(x), zy = Razlozhit(y);
    const X87Rezhim rezhim;
    const unsigned short blizh = rezhim.Slovo(kPc64RcBlizh);
    const unsigned short otbr = rezhim.Slovo(kPc64RcOtbr);
    std::int64_t q;
    asm volatile("fldcw %[blizh]\n\t"
                 "fildll %[yp]\n\t"       // y>>1
                 "fadd %%st(0), %%st\n\t" // 2*(y>>1)
                 "fildll %[yb]\n\t"       //
                 "faddp\n\t"              // y
                 "fildll %[xp]\n\t"       //
                 "fadd %%st(0), %%st\n\t" //
                 "fildll %[xb]\n\t"       //
                 "faddp\n\t"              // x y
                 "fdiv %%st(1), %%st\n\t" // x/y y
                 "fstp %%st(1)\n\t"       // x/y
                 "fldcw %[otbr]\n\t"      //
                 "fistpll %[q]"           //
                 : [q] "=m"(q)
                 : [xp] "m"(zx.polovina), [xb] "m"(zx.bit), [yp] "m"(zy.polovina), [yb] "m"(zy.bit),
                   [blizh] "m"(blizh), [otbr] "m"(otbr)
                 : "cc");
    return static_cast<std::uint64_t>(q);
}

// Remainder of x by y (y >= 2, x > y): the partial-remainder instruction repeated until it
// clears C2 (reduction complete), which leaves the exact remainder; stored under truncation.
// The remainder is below 2^63 (it is below y and at most x - y).
std::uint64_t X87Ostatok(std::uint64_t x, std::uint64_t y) {
    const Zagruzka zx = Razlozhit(x), zy = Razlozhit(y);
    const X87Rezhim rezhim;
    const unsigned short blizh = rezhim.Slovo(kPc64RcBlizh);
    const unsigned short otbr = rezhim.Slovo(kPc64RcOtbr);
    std::int64_t r;
    asm volatile("fldcw %[blizh]\n\t"
                 "fildll %[yp]\n\t"        //
                 "fadd %%st(0), %%st\n\t"  //
                 "fildll %[yb]\n\t"        //
                 "faddp\n\t"               // y
                 "fildll %[xp]\n\t"        //
                 "fadd %%st(0), %%st\n\t"  //
                 "fildll %[xb]\n\t"        //
                 "faddp\n\t"               // x y
                 "1:\n\t"                  //
                 "fprem\n\t"               // partial remainder of st by st(1)
                 "fnstsw %%ax\n\t"         //
                 "testw $0x0400, %%ax\n\t" // C2 set: not yet complete
                 "jnz 1b\n\t"              //
                 "fstp %%st(1)\n\t"        // r
                 "fldcw %[otbr]\n\t"       //
                 "fistpll %[r]"            //
                 : [r] "=m"(r)
                 : [xp] "m"(zx.polovina), [xb] "m"(zx.bit), [yp] "m"(zy.polovina), [yb] "m"(zy.bit),
                   [blizh] "m"(blizh), [otbr] "m"(otbr)
                 : "ax", "cc");
    return static_cast<std::uint64_t>(r);
}

// The value exactly in the extended format: a value below 2^63 loads as a signed integer;
// with the top bit set, the value shifted right by one is loaded, doubled, and 1 is added
// when the lowest bit was 1.
long double X87VRasshirennyj(std::uint64_t v) {
    const X87Rezhim rezhim;
    const unsigned short blizh = rezhim.Slovo(kPc64RcBlizh);
    long double rez;
    if ((v >> 63) == 0) {
        const std::int64_t s = static_cast<std::int64_t>(v);
        asm volatile("fldcw %[blizh]\n\t"
                     "fildll %[s]\n\t"
                     "fstpt %[rez]"
                     : [rez] "=m"(rez)
                     : [s] "m"(s), [blizh] "m"(blizh));
    } else {
        const Zagruzka z = Razlozhit(v);
        asm volatile("fldcw %[blizh]\n\t"
                     "fildll %[p]\n\t"
                     "fadd %%st(0), %%st\n\t"
                     "fildll %[b]\n\t"
                     "faddp\n\t"
                     "fstpt %[rez]"
                     : [rez] "=m"(rez)
                     : [p] "m"(z.polovina), [b] "m"(z.bit), [blizh] "m"(blizh));
    }
    return rez;
}

// v (0 < v <= 2^63 - 1) truncated toward zero, under truncation at a 64-bit significand.
std::uint64_t X87Otbrosit(const long double& v) {
    const X87Rezhim rezhim;
    const unsigned short otbr = rezhim.Slovo(kPc64RcOtbr);
    std::int64_t c;
    asm volatile("fldcw %[otbr]\n\t"
                 "fldt %[v]\n\t"
                 "fistpll %[c]"
                 : [c] "=m"(c)
                 : [v] "m"(v), [otbr] "m"(otbr));
    return static_cast<std::uint64_t>(c);
}

// v (2^63 - 1 < v, v/2 <= 2^63 - 1) truncated toward zero: v/2 truncated (h), doubled, and
// the units bit of v restored from v - 2h, all under truncation at a 64-bit significand.
std::uint64_t X87OtbrositVerh(const long double& v) {
    const X87Rezhim rezhim;
    const unsigned short otbr = rezhim.Slovo(kPc64RcOtbr);
    std::int64_t h, edinicy;
    asm volatile("fldcw %[otbr]\n\t"
                 "fldt %[v]\n\t"          // v
                 "fld1\n\t"               //
                 "fchs\n\t"               // -1 v
                 "fld %%st(1)\n\t"        // v -1 v
                 "fscale\n\t"             // v/2 -1 v
                 "fstp %%st(1)\n\t"       // v/2 v
                 "frndint\n\t"            // h v
                 "fld %%st(0)\n\t"        // h h v
                 "fistpll %[h]\n\t"       // h v
                 "fadd %%st(0), %%st\n\t" // 2h v
                 "fxch\n\t"               // v 2h
                 "fsub %%st(1), %%st\n\t" // v-2h 2h
                 "fistpll %[e]\n\t"       // 2h
                 "fstp %%st(0)"           //
                 : [h] "=m"(h), [e] "=m"(edinicy)
                 : [v] "m"(v), [otbr] "m"(otbr));
    return (static_cast<std::uint64_t>(h) << 1) | (static_cast<std::uint64_t>(edinicy) & 1);
}

// The extended value rounded to float or double under the caller's rounding mode, in a
// guarded block like the others (an inexact rounding neither traps nor leaves flags).
template <typename T> T X87Okruglit(const long double& e) {
    static_assert(sizeof(T) == 4 || sizeof(T) == 8, "float or double");
    const X87Rezhim rezhim;
    const unsigned short svoj = rezhim.SlovoVyzyvajushego();
    T rez;
    if constexpr (sizeof(T) == 4) {
        asm volatile("fldcw %[cw]\n\t"
                     "fldt %[e]\n\t"
                     "fstps %[rez]"
                     : [rez] "=m"(rez)
                     : [e] "m"(e), [cw] "m"(svoj));
    } else {
        asm volatile("fldcw %[cw]\n\t"
                     "fldt %[e]\n\t"
                     "fstpl %[rez]"
                     : [rez] "=m"(rez)
                     : [e] "m"(e), [cw] "m"(svoj));
    }
    return rez;
}

// Assignment from a floating value (already widened exactly to the extended format).
void IzPlavajushego(ZYKNB64& n, const long double& v) {
    constexpr long double kGran = 9223372036854775807.0L;          // 2^63 - 1
    constexpr long double kGranDvojnaja = 18446744073709551614.0L; // 2 * (2^63 - 1)
    if (v != v) return;                                            // NaN keeps the value
    if (v <= 0.0L) {
        n = kNol;
    } else if (v <= kGran) {
        n = IzZnach(X87Otbrosit(v));
    } else if (v > kGranDvojnaja) { // v/2 > 2^63 - 1
        n = kMax;
    } else {
        n = IzZnach(X87OtbrositVerh(v));
    }
}

// ---------------------------------------------------------------------------------------
// Division and remainder with a number on the left

// x / y: 0 when x < y, 1 when x = y (0 / 0 included), x when y is 0 or 1, else the
// extended-precision quotient.
ZYKNB64 Chastnoe(const ZYKNB64& x, const ZYKNB64& y) {
    const int s = Sravnit(x, y);
    if (s < 0) return kNol;
    if (s == 0) return ZYKNB64{1, 0};
    if (y.St == 0 && y.Ml <= 1) return x;
    return IzZnach(X87Chastnoe(Znach(x), Znach(y)));
}

// x % y: x when x < y or y is 0, 0 when x = y or y is 1, else the exact remainder.
ZYKNB64 Ostatok(const ZYKNB64& x, const ZYKNB64& y) {
    const int s = Sravnit(x, y);
    if (s < 0) return x;
    if (s == 0) return kNol;
    if (y.St == 0 && y.Ml == 0) return x;
    if (y.St == 0 && y.Ml == 1) return kNol;
    return IzZnach(X87Ostatok(Znach(x), Znach(y)));
}

// A 32-bit value widened to a number.
inline ZYKNB64 Shire(ZyDW a) {
    return ZYKNB64{a, 0};
}

} // namespace

// ---------------------------------------------------------------------------------------
// Shifts

// Shifts left by the count's low six bits.
ZYKNB64& ZYKNB64::operator<<=(const ZYKNB64& n) {
    return *this = SdvigVlevo(*this, n.Ml);
}
// Shifts left by the count's low six bits.
ZYKNB64& ZYKNB64::operator<<=(ZyDW n) {
    return *this = SdvigVlevo(*this, n);
}
// Shifts right (logical) by the count's low six bits.
ZYKNB64& ZYKNB64::operator>>=(const ZYKNB64& n) {
    return *this = SdvigVpravo(*this, n.Ml);
}
// Shifts right (logical) by the count's low six bits.
ZYKNB64& ZYKNB64::operator>>=(ZyDW n) {
    return *this = SdvigVpravo(*this, n);
}
// Shifted copy.
ZYKNB64 ZYKNB64::operator<<(const ZYKNB64& n) const {
    return SdvigVlevo(*this, n.Ml);
}
// Shifted copy.
ZYKNB64 ZYKNB64::operator<<(ZyDW n) const {
    return SdvigVlevo(*this, n);
}
// Shifted copy.
ZYKNB64 ZYKNB64::operator>>(const ZYKNB64& n) const {
    return SdvigVpravo(*this, n.Ml);
}
// Shifted copy.
ZYKNB64 ZYKNB64::operator>>(ZyDW n) const {
    return SdvigVpravo(*this, n);
}

// 32-bit value shifted left; counts 32-63 give 0.
ZyDW& operator<<=(ZyDW& a, const ZYKNB64& n) {
    return a = Sdvig32Vlevo(a, n);
}
// 32-bit value shifted right; counts 32-63 give 0.
ZyDW& operator>>=(ZyDW& a, const ZYKNB64& n) {
    return a = Sdvig32Vpravo(a, n);
}
// The 32-bit value widened to 64 bits and shifted left.
ZYKNB64 operator<<(ZyDW a, const ZYKNB64& n) {
    return SdvigVlevo(Shire(a), n.Ml);
}
// The 32-bit value shifted right; counts 32-63 give 0.
ZYKNB64 operator>>(ZyDW a, const ZYKNB64& n) {
    return Shire(Sdvig32Vpravo(a, n));
}

// ---------------------------------------------------------------------------------------
// Bitwise

// Complement of both halves.
ZYKNB64 ZYKNB64::operator~() const {
    return ZYKNB64{~Ml, ~St};
}
// OR of both halves.
ZYKNB64 ZYKNB64::operator|(const ZYKNB64& n) const {
    return ZYKNB64{Ml | n.Ml, St | n.St};
}
// OR into the low half; the high half is kept.
ZYKNB64 ZYKNB64::operator|(ZyDW n) const {
    return ZYKNB64{Ml | n, St};
}
// XOR of both halves.
ZYKNB64 ZYKNB64::operator^(const ZYKNB64& n) const {
    return ZYKNB64{Ml ^ n.Ml, St ^ n.St};
}
// XOR into the low half; the high half is kept.
ZYKNB64 ZYKNB64::operator^(ZyDW n) const {
    return ZYKNB64{Ml ^ n, St};
}
// AND of both halves.
ZYKNB64 ZYKNB64::operator&(const ZYKNB64& n) const {
    return ZYKNB64{Ml & n.Ml, St & n.St};
}
// AND with the low half; the high half of the result is 0.
ZYKNB64 ZYKNB64::operator&(ZyDW n) const {
    return ZYKNB64{Ml & n, 0};
}

// OR into the number's low half; its high half is kept.
ZYKNB64 operator|(ZyDW a, const ZYKNB64& n) {
    return ZYKNB64{a | n.Ml, n.St};
}
// XOR into the number's low half; its high half is kept.
ZYKNB64 operator^(ZyDW a, const ZYKNB64& n) {
    return ZYKNB64{a ^ n.Ml, n.St};
}
// AND with the number's low half; the high half of the result is 0.
ZYKNB64 operator&(ZyDW a, const ZYKNB64& n) {
    return ZYKNB64{a & n.Ml, 0};
}

// ---------------------------------------------------------------------------------------
// Comparisons

// Unsigned 64-bit comparisons, high halves first.
bool ZYKNB64::operator==(const ZYKNB64& n) const {
    return Sravnit(*this, n) == 0;
}
bool ZYKNB64::operator!=(const ZYKNB64& n) const {
    return Sravnit(*this, n) != 0;
}
bool ZYKNB64::operator<=(const ZYKNB64& n) const {
    return Sravnit(*this, n) <= 0;
}
bool ZYKNB64::operator<(const ZYKNB64& n) const {
    return Sravnit(*this, n) < 0;
}
bool ZYKNB64::operator>=(const ZYKNB64& n) const {
    return Sravnit(*this, n) >= 0;
}
bool ZYKNB64::operator>(const ZYKNB64& n) const {
    return Sravnit(*this, n) > 0;
}

// Comparisons with a 32-bit value widened to 64 bits.
bool ZYKNB64::operator==(ZyDW n) const {
    return Sravnit(*this, Shire(n)) == 0;
}
bool ZYKNB64::operator!=(ZyDW n) const {
    return Sravnit(*this, Shire(n)) != 0;
}
bool ZYKNB64::operator<=(ZyDW n) const {
    return Sravnit(*this, Shire(n)) <= 0;
}
bool ZYKNB64::operator<(ZyDW n) const {
    return Sravnit(*this, Shire(n)) < 0;
}
bool ZYKNB64::operator>=(ZyDW n) const {
    return Sravnit(*this, Shire(n)) >= 0;
}
bool ZYKNB64::operator>(ZyDW n) const {
    return Sravnit(*this, Shire(n)) > 0;
}

// Comparisons with a 32-bit value on the left.
bool operator==(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) == 0;
}
bool operator!=(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) != 0;
}
bool operator<=(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) <= 0;
}
bool operator<(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) < 0;
}
bool operator>=(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) >= 0;
}
bool operator>(ZyDW a, const ZYKNB64& n) {
    return Sravnit(Shire(a), n) > 0;
}

// ---------------------------------------------------------------------------------------
// Addition and subtraction

// Saturating addition.
ZYKNB64& ZYKNB64::operator+=(const ZYKNB64& n) {
    return *this = Summa(*this, n);
}
// Saturating addition of a 32-bit value.
ZYKNB64& ZYKNB64::operator+=(ZyDW n) {
    return *this = Summa(*this, Shire(n));
}
// 32-bit sum; 0xFFFFFFFF when the number exceeds 32 bits or the sum overflows.
ZyDW& operator+=(ZyDW& a, const ZYKNB64& n) {
    if (n.St != 0) return a = kMax32;
    const ZyDW s = a + n.Ml;
    return a = (s < a) ? kMax32 : s;
}
// Saturating sums.
ZYKNB64 operator+(const ZYKNB64& a, const ZYKNB64& b) {
    return Summa(a, b);
}
ZYKNB64 operator+(const ZYKNB64& a, ZyDW b) {
    return Summa(a, Shire(b));
}
ZYKNB64 operator+(ZyDW a, const ZYKNB64& b) {
    return Summa(Shire(a), b);
}
// Adds 1; MAX stays MAX.
ZYKNB64& operator++(ZYKNB64& a) {
    return a = Summa(a, ZYKNB64{1, 0});
}

// Clamped subtraction.
ZYKNB64& ZYKNB64::operator-=(const ZYKNB64& n) {
    return *this = Raznost(*this, n);
}
// Clamped subtraction of a 32-bit value.
ZYKNB64& ZYKNB64::operator-=(ZyDW n) {
    return *this = Raznost(*this, Shire(n));
}
// 32-bit difference; 0 when the number exceeds 32 bits or is larger than the left operand.
ZyDW& operator-=(ZyDW& a, const ZYKNB64& n) {
    if (n.St != 0 || n.Ml > a) return a = 0;
    return a -= n.Ml;
}
// Clamped differences.
ZYKNB64 operator-(const ZYKNB64& a, const ZYKNB64& b) {
    return Raznost(a, b);
}
ZYKNB64 operator-(const ZYKNB64& a, ZyDW b) {
    return Raznost(a, Shire(b));
}
ZYKNB64 operator-(ZyDW a, const ZYKNB64& b) {
    return Raznost(Shire(a), b);
}
// Subtracts 1; 0 stays 0.
ZYKNB64& operator--(ZYKNB64& a) {
    return a = Raznost(a, ZYKNB64{1, 0});
}

// ---------------------------------------------------------------------------------------
// Multiplication

// Saturating multiplication.
ZYKNB64& ZYKNB64::operator*=(const ZYKNB64& n) {
    return *this = Proizvedenie(*this, n);
}
// Saturating multiplication by a 32-bit value.
ZYKNB64& ZYKNB64::operator*=(ZyDW n) {
    return *this = Proizvedenie(*this, Shire(n));
}
// 32-bit product; 0xFFFFFFFF when it overflows 32 bits. A number above 32 bits overflows
// every product except that with 0, which stays 0.
ZyDW& operator*=(ZyDW& a, const ZYKNB64& n) {
    if (a == 0) return a;
    if (n.St != 0) return a = kMax32;
    const std::uint64_t p = Proizv32(a, n.Ml);
    return a = (p > kMax32) ? kMax32 : static_cast<ZyDW>(p);
}
// Saturating products.
ZYKNB64 operator*(const ZYKNB64& a, const ZYKNB64& b) {
    return Proizvedenie(a, b);
}
ZYKNB64 operator*(const ZYKNB64& a, ZyDW b) {
    return Proizvedenie(a, Shire(b));
}
ZYKNB64 operator*(ZyDW a, const ZYKNB64& b) {
    return Proizvedenie(Shire(a), b);
}

// ---------------------------------------------------------------------------------------
// Division and remainder

// Divides; by 0 the value stays, x / x is 1 (0 / 0 included).
ZYKNB64& ZYKNB64::operator/=(const ZYKNB64& n) {
    return *this = Chastnoe(*this, n);
}
// Divides by a 32-bit value.
ZYKNB64& ZYKNB64::operator/=(ZyDW n) {
    return *this = Chastnoe(*this, Shire(n));
}
// 0 when the number exceeds 32 bits; plain 32-bit division by 2 or more; unchanged by 0 or 1.
ZyDW& operator/=(ZyDW& a, const ZYKNB64& n) {
    if (n.St != 0) return a = 0;
    if (n.Ml >= 2) a /= n.Ml;
    return a;
}
// Quotients.
ZYKNB64 operator/(const ZYKNB64& a, const ZYKNB64& b) {
    return Chastnoe(a, b);
}
ZYKNB64 operator/(const ZYKNB64& a, ZyDW b) {
    return Chastnoe(a, Shire(b));
}
// 0 when the number is larger than a, a when it is 0, else plain 32-bit division.
ZYKNB64 operator/(ZyDW a, const ZYKNB64& b) {
    if (Sravnit(b, Shire(a)) > 0) return kNol;
    if (b.Ml == 0) return Shire(a);
    return Shire(a / b.Ml);
}

// Remainder; by 0 the value stays.
ZYKNB64& ZYKNB64::operator%=(const ZYKNB64& n) {
    return *this = Ostatok(*this, n);
}
// Remainder by a 32-bit value.
ZYKNB64& ZYKNB64::operator%=(ZyDW n) {
    return *this = Ostatok(*this, Shire(n));
}
// Unchanged when the number exceeds 32 bits or is 0; else plain 32-bit remainder.
ZyDW& operator%=(ZyDW& a, const ZYKNB64& n) {
    if (n.St != 0 || n.Ml == 0) return a;
    return a %= n.Ml;
}
// Remainders.
ZYKNB64 operator%(const ZYKNB64& a, const ZYKNB64& b) {
    return Ostatok(a, b);
}
ZYKNB64 operator%(const ZYKNB64& a, ZyDW b) {
    return Ostatok(a, Shire(b));
}
// a when the number is larger than a or is 0, else plain 32-bit remainder.
ZYKNB64 operator%(ZyDW a, const ZYKNB64& b) {
    if (Sravnit(b, Shire(a)) > 0 || b.Ml == 0) return Shire(a);
    return Shire(a % b.Ml);
}

// ---------------------------------------------------------------------------------------
// Floating conversions

// From float: NaN keeps the value, <= 0 gives 0, beyond the range MAX, else truncation.
ZYKNB64& ZYKNB64::operator=(const float& v) {
    IzPlavajushego(*this, static_cast<long double>(v));
    return *this;
}
// From double, as from float.
ZYKNB64& ZYKNB64::operator=(const double& v) {
    IzPlavajushego(*this, static_cast<long double>(v));
    return *this;
}
// From long double, as from float.
ZYKNB64& ZYKNB64::operator=(const long double& v) {
    IzPlavajushego(*this, v);
    return *this;
}
// The exact extended value rounded to float.
ZYKNB64::operator float() const {
    return X87Okruglit<float>(X87VRasshirennyj(Znach(*this)));
}
// The exact extended value rounded to double.
ZYKNB64::operator double() const {
    return X87Okruglit<double>(X87VRasshirennyj(Znach(*this)));
}
// The value, exact in the extended format.
ZYKNB64::operator long double() const {
    return X87VRasshirennyj(Znach(*this));
}

} // namespace Quorvel
