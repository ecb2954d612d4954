// The x87 paths of ZYKNB64: division and remainder through the extended format, and the
// floating conversions; results must not depend on the caller's precision and rounding
// control, and the caller's control word must come back unchanged.
#include "nb64_orakul.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

using namespace Quorvel;
using namespace orakul;

namespace {

unsigned short ChitatCw() {
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void PisatCw(unsigned short cw) {
    asm volatile("fldcw %0" : : "m"(cw));
}

unsigned short ChitatSw() {
    unsigned short sw;
    asm volatile("fnstsw %0" : "=m"(sw));
    return sw;
}

// Runs the body with the given x87 control word and puts the previous one back.
class SCw {
public:
    explicit SCw(unsigned short cw) : staroe_(ChitatCw()) { PisatCw(cw); }
    ~SCw() { PisatCw(staroe_); }

private:
    unsigned short staroe_;
};

unsigned DlinaBit(u64 v) {
    unsigned n = 0;
    while (v)
        ++n, v >>= 1;
    return n;
}

// The documented quotient: the exact x / y rounded to nearest (ties to even) at a
// `bitov`-bit significand, then truncated to an integer. x > y >= 2.
u64 OkruglennoeChastnoe(u64 x, u64 y, unsigned bitov) {
    const unsigned e = DlinaBit(x / y) - 1; // binade of the quotient
    const int sdvig = int(bitov) - 1 - int(e);
    if (sdvig <= 0) { // the significand holds more than the integer part: no fraction kept
        const unsigned s = unsigned(-sdvig);
        const u128 m = (u128(x) / y) >> s, rem = u128(x) - u128(y) * (m << s);
        const u128 polovina = u128(y) << s; // 2 * rem vs y * 2^s
        u128 mm = m;
        if (2 * rem > polovina || (2 * rem == polovina && (m & 1))) ++mm;
        return u64(mm << s);
    }
    const u128 chisl = u128(x) << sdvig;
    u128 m = chisl / y;
    const u128 rem = chisl % y;
    if (2 * rem > y || (2 * rem == y && (m & 1))) ++m;
    return u64(m >> sdvig);
}

// Division by the x87 itself at the current control word, without any guard: shows that a
// case is sensitive to the precision control.
u64 NaivnoeChastnoe(u64 x, u64 y) {
    const std::int64_t sx = std::int64_t(x), sy = std::int64_t(y); // both below 2^63 here
    std::int64_t q;
    unsigned short cw = ChitatCw(), otbr = cw | 0x0C00;
    asm volatile("fildll %[y]\n\t"
                 "fildll %[x]\n\t"
                 "fdiv %%st(1), %%st\n\t"
                 "fstp %%st(1)\n\t"
                 "fldcw %[otbr]\n\t"
                 "fistpll %[q]\n\t"
                 "fldcw %[cw]"
                 : [q] "=m"(q)
                 : [x] "m"(sx), [y] "m"(sy), [otbr] "m"(otbr), [cw] "m"(cw));
    return u64(q);
}

// x = N*y - 1 with N a multiple of 2^12, so that x / y = N - 1/y lies just below N: a 53-bit
// significand rounds it up to N, the 64-bit one keeps it below.
std::vector<std::pair<u64, u64>> BlizkieKCelomu() {
    std::vector<std::pair<u64, u64>> v;
    for (u64 y : {3ull, 5ull, 7ull, 10ull, 1000ull, 65537ull, 0x7FFFFFFFull, 1ull << 20}) {
        const u64 n = ((kMax / y) >> 12) << 12;
        v.emplace_back(n * y - 1, y);
    }
    return v;
}

TEST(Nb64X87, QuotientIsTheRoundedExtendedQuotientTruncated) {
    // For 64-bit operands the quotient rounded to a 64-bit significand never reaches the next
    // integer (its fraction is at least 1/y, above half a unit in the last place), so the
    // documented result equals the exact integer quotient; both are checked.
    unsigned oshibok = 0;
    const auto nab = Operandy(400, 0x5EED0003);
    for (u64 x : nab)
        for (u64 y : nab) {
            if (y < 2 || x <= y) continue;
            const u64 dok = OkruglennoeChastnoe(x, y, 64);
            const u64 fakt = V(N(x) / N(y));
            if (dok != x / y || fakt != dok) {
                if (++oshibok <= 10)
                    ADD_FAILURE() << std::hex << x << " / " << y << ": exact " << x / y
                                  << ", rounded " << dok << ", got " << fakt;
            }
        }
    EXPECT_EQ(oshibok, 0u);
}

TEST(Nb64X87, QuotientsJustBelowAnIntegerStayBelowIt) {
    for (const auto& [x, y] : BlizkieKCelomu()) {
        const u64 tochno = x / y;
        EXPECT_EQ(OkruglennoeChastnoe(x, y, 64), tochno) << std::hex << x << " / " << y;
        EXPECT_EQ(OkruglennoeChastnoe(x, y, 53), tochno + 1) << "a 53-bit quotient rounds up";
        EXPECT_EQ(V(N(x) / N(y)), tochno) << std::hex << x << " / " << y;
        EXPECT_EQ(V(N(x) % N(y)), y - 1) << std::hex << x << " % " << y;
    }
}

TEST(Nb64X87, ResultsIgnoreTheCallersPrecisionAndRounding) {
    const auto blizkie = BlizkieKCelomu();
    {
        // The environment really applies a 53-bit precision to an unguarded division.
        // 3 * 2^61 - 1 (below 2^63, so it loads as a signed integer) by 3: 2^61 - 1/3.
        const u64 x = 3 * (1ull << 61) - 1, y = 3;
        SCw cw(0x027F);
        ASSERT_EQ(NaivnoeChastnoe(x, y), 1ull << 61) << "precision control not in effect";
        EXPECT_EQ(V(N(x) / N(y)), (1ull << 61) - 1);
    }
    const auto nab = Operandy(60, 0x5EED0004);
    for (unsigned short slovo : {0x027F, 0x007F, 0x0F7F, 0x0B7F, 0x077F, 0x037F, 0x0272}) {
        SCw cw(slovo);
        for (const auto& [x, y] : blizkie) {
            EXPECT_EQ(V(N(x) / N(y)), x / y) << "control word " << std::hex << slovo;
            EXPECT_EQ(V(N(x) / static_cast<ZyDW>(y & kMax32)), Chastnoe(x, y & kMax32));
        }
        for (u64 x : nab)
            for (u64 y : nab) {
                ASSERT_EQ(V(N(x) / N(y)), Chastnoe(x, y))
                    << std::hex << slovo << ": " << x << " / " << y;
                ASSERT_EQ(V(N(x) % N(y)), Ostatok(x, y))
                    << std::hex << slovo << ": " << x << " % " << y;
                ZYKNB64 z;
                z = static_cast<long double>(N(x));
                ASSERT_EQ(V(z), x) << std::hex << slovo << ": round trip of " << x;
            }
        EXPECT_EQ(ChitatCw(), slovo) << "the caller's control word comes back";
    }
}

TEST(Nb64X87, UnmaskedExceptionsNeitherTrapNorLeak) {
    // A caller that unmasked the precision exception: the inexact divisions and conversions
    // inside the operators must not trap, and leave the caller's flags and control word.
    SCw razmaskirovano(0x035F);
    asm volatile("fnclex");
    EXPECT_EQ(V(N(10) / N(3)), 3u);
    EXPECT_EQ(V(N(1000) / N(7)), 142u);
    EXPECT_EQ(V(N(1000) % N(7)), 6u);
    ZYKNB64 z;
    z = 2.5;
    EXPECT_EQ(V(z), 2u);
    z = 9223372036854775807.5L;
    EXPECT_EQ(V(z), 0x7FFFFFFFFFFFFFFFull);
    const double d = static_cast<double>(N(0x8000000000000001ull)); // inexact as a double
    const float f = static_cast<float>(N(0x8000000000000001ull));
    EXPECT_EQ(ChitatSw() & 0x3F, 0) << "exception flags left by the operators";
    EXPECT_EQ(ChitatCw(), 0x035F);
    EXPECT_EQ(d, 9223372036854775808.0);
    EXPECT_EQ(f, 9223372036854775808.0f);
}

// Regression: with an exception unmasked, the guard restored the caller's whole x87
// environment after the result had been put into st(0), where long double (and on i686 also
// float and double) is returned; the restored tag word emptied that register, so the caller
// read a stack fault (a trap with the invalid-operation exception unmasked, a NaN otherwise).
TEST(Nb64X87, ConversionResultsSurviveTheRestoredEnvironment) {
    const u64 znach[] = {0, 1, 3, 0x7FFFFFFFFFFFFFFFull, 0x8000000000000001ull, kMax};
    for (unsigned short slovo : {0x037Eu, 0x035Fu, 0x0272u, 0x0B7Bu}) {
        for (u64 v : znach) {
            // The expected values first, under the default word (they are inexact).
            const long double ozhidE = (long double)v;
            const double ozhidD = double(ozhidE);
            const float ozhidF = float(ozhidE);
            asm volatile("fnclex");
            long double e;
            double d;
            float f;
            unsigned short sw;
            {
                SCw cw(slovo);
                e = static_cast<long double>(N(v));
                d = static_cast<double>(N(v));
                f = static_cast<float>(N(v));
                sw = ChitatSw();
                EXPECT_EQ(ChitatCw(), slovo);
                asm volatile("fnclex");
            }
            EXPECT_EQ(sw & 0x41, 0) << std::hex << slovo << ": stack fault after " << v;
            EXPECT_TRUE(e == ozhidE) << std::hex << slovo << ": long double of " << v;
            // Float and double are rounded by the caller's rounding mode (nearest here).
            EXPECT_TRUE(d == ozhidD || (slovo & 0x0C00)) << std::hex << slovo << ": double " << v;
            EXPECT_TRUE(f == ozhidF || (slovo & 0x0C00)) << std::hex << slovo << ": float " << v;
        }
    }
}

TEST(Nb64X87, RemainderIsExactForLargeOperands) {
    unsigned oshibok = 0;
    const auto nab = Operandy(400, 0x5EED0005);
    for (u64 x : nab)
        for (u64 y : nab) {
            const u64 fakt = V(N(x) % N(y));
            if (fakt != Ostatok(x, y) && ++oshibok <= 10)
                ADD_FAILURE() << std::hex << x << " % " << y << ": expected " << Ostatok(x, y)
                              << ", got " << fakt;
        }
    EXPECT_EQ(oshibok, 0u);
    EXPECT_EQ(V(N(kMax) / 3ul), 0x5555555555555555ull);
    EXPECT_EQ(V(N(kMax) % 3ul), 0u);
    EXPECT_EQ(V(N(kMax) % N(0x8000000000000001ull)), 0x7FFFFFFFFFFFFFFEull);
    EXPECT_EQ(V(N(kMax) / N(0x8000000000000000ull)), 1u);
    EXPECT_EQ(V(N(kMax) / 2ul), 0x7FFFFFFFFFFFFFFFull);
}

TEST(Nb64X87, ToFloatingIsExactThenRoundedToTheTarget) {
    Sluchajnye rnd(0x5EED0006);
    auto nab = Operandy(2000, 0x5EED0007);
    for (int i = 0; i < 2000; ++i)
        nab.push_back(rnd.Syroe() | (1ull << 63));
    for (u64 v : nab) {
        const ZYKNB64 n = N(v);
        const long double e = static_cast<long double>(n);
        // Exact: splitting the extended value into two doubles gives back the integer.
        const long double hi = std::floor(e / 4294967296.0L);
        EXPECT_EQ(u64(hi) << 32 | u64(e - hi * 4294967296.0L), v) << std::hex << v;
        // float and double: the compiler's own correctly rounded conversions of the integer.
        EXPECT_EQ(static_cast<double>(n), static_cast<double>(v)) << std::hex << v;
        EXPECT_EQ(static_cast<float>(n), static_cast<float>(v)) << std::hex << v;
        EXPECT_EQ(V(n), v) << "the operand is left as it was";
    }
}

TEST(Nb64X87, FromFloatingTruncatesSaturatesAndIgnoresNaN) {
    ZYKNB64 z = N(77);
    const ZYKNB64 sem = N(77);
    z = -1.5;
    EXPECT_EQ(V(z), 0u);
    z = sem;
    z = -0.0;
    EXPECT_EQ(V(z), 0u) << "minus zero";
    z = 1.9;
    EXPECT_EQ(V(z), 1u);
    z = 0.99f;
    EXPECT_EQ(V(z), 0u);
    z = 1e30;
    EXPECT_EQ(V(z), kMax);
    z = std::numeric_limits<double>::infinity();
    EXPECT_EQ(V(z), kMax);
    z = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(V(z), 0u);
    for (int vid = 0; vid < 3; ++vid) {
        z = sem;
        if (vid == 0) z = std::numeric_limits<float>::quiet_NaN();
        if (vid == 1) z = std::numeric_limits<double>::quiet_NaN();
        if (vid == 2) z = -std::numeric_limits<long double>::quiet_NaN();
        EXPECT_EQ(V(z), 77u) << "NaN keeps the value, form " << vid;
    }
    z = 9223372036854775808.0L; // 2^63
    EXPECT_EQ(V(z), 0x8000000000000000ull);
    z = 9223372036854775807.0L;
    EXPECT_EQ(V(z), 0x7FFFFFFFFFFFFFFFull);
    z = 9223372036854775807.5L; // between 2^63 - 1 and 2^63
    EXPECT_EQ(V(z), 0x7FFFFFFFFFFFFFFFull);
    z = 18446744073709551614.0L; // 2^64 - 2: v/2 = 2^63 - 1, still in range
    EXPECT_EQ(V(z), 0xFFFFFFFFFFFFFFFEull);
    z = 18446744073709551613.0L;
    EXPECT_EQ(V(z), 0xFFFFFFFFFFFFFFFDull);
    z = 18446744073709551615.0L; // v/2 above 2^63 - 1
    EXPECT_EQ(V(z), kMax);
    z = 18446744073709551616.0L; // 2^64
    EXPECT_EQ(V(z), kMax);
    z = 1e19f;
    EXPECT_EQ(V(z), 9999999980506447872ull) << "the float's exact value";

    // Random doubles and long doubles against truncation by the compiler.
    Sluchajnye rnd(0x5EED0008);
    for (int i = 0; i < 5000; ++i) {
        const u64 v = rnd();
        const long double l = static_cast<long double>(v) + 0.75L * ((v >> 7) & 1);
        z = l;
        if (l < 18446744073709551615.0L) {
            EXPECT_EQ(V(z), u64(l)) << std::hex << v;
        }
        const double d = static_cast<double>(v) * 0.999;
        z = d;
        EXPECT_EQ(V(z), u64(d)) << d;
    }
    ZYKNB64 r;
    r = static_cast<long double>(N(0x8000000000000001ull));
    EXPECT_EQ(V(r), 0x8000000000000001ull);
}

} // namespace
