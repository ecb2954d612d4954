// ZYKNB64 operators against 128-bit reference arithmetic: every operator family in its
// number-number, number-32-bit, 32-bit-number and 32-bit-reference forms, over boundary and
// random operands.
#include "nb64_orakul.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

using namespace Quorvel;
using namespace orakul;

namespace {

// Collects mismatches of one operator family and reports the first few with their operands.
class Sverka {
public:
    explicit Sverka(const char* semejstvo) : semejstvo_(semejstvo) {}
    ~Sverka() {
        EXPECT_EQ(oshibok_, 0u) << semejstvo_ << ": " << oshibok_ << " mismatches" << pervye_;
    }
    void operator()(const char* op, u64 a, u64 b, u64 ozhid, u64 fakt) {
        if (ozhid == fakt) return;
        if (++oshibok_ <= 10) {
            char s[200];
            std::snprintf(s, sizeof s, "\n  %#llx %s %#llx: expected %#llx, got %#llx",
                          (unsigned long long)a, op, (unsigned long long)b,
                          (unsigned long long)ozhid, (unsigned long long)fakt);
            pervye_ += s;
        }
    }

private:
    const char* semejstvo_;
    unsigned oshibok_ = 0;
    std::string pervye_;
};

const std::vector<u64>& Nabor() {
    static const std::vector<u64> v = Operandy(260, 0x5EED0001);
    return v;
}

ZyDW L(u64 v) {
    return static_cast<ZyDW>(v);
}

TEST(Nb64Arifmetika, SumAndDifferenceSaturateAndClamp) {
    Sverka s("+ -");
    for (u64 a : Nabor())
        for (u64 b : Nabor()) {
            const ZYKNB64 x = N(a), y = N(b);
            s("+", a, b, Summa(a, b), V(x + y));
            s("+U", a, b, Summa(a, b & kMax32), V(x + L(b)));
            s("U+", a, b, Summa(a & kMax32, b), V(L(a) + y));
            ZYKNB64 z = x;
            s("+=", a, b, Summa(a, b), V(z += y));
            z = x;
            s("+=U", a, b, Summa(a, b & kMax32), V(z += L(b)));
            s("-", a, b, Raznost(a, b), V(x - y));
            s("-U", a, b, Raznost(a, b & kMax32), V(x - L(b)));
            s("U-", a, b, Raznost(a & kMax32, b), V(L(a) - y));
            z = x;
            s("-=", a, b, Raznost(a, b), V(z -= y));
            z = x;
            s("-=U", a, b, Raznost(a, b & kMax32), V(z -= L(b)));
        }
}

TEST(Nb64Arifmetika, ProductSaturates) {
    Sverka s("*");
    for (u64 a : Nabor())
        for (u64 b : Nabor()) {
            const ZYKNB64 x = N(a), y = N(b);
            s("*", a, b, Proizv(a, b), V(x * y));
            s("*U", a, b, Proizv(a, b & kMax32), V(x * L(b)));
            s("U*", a, b, Proizv(a & kMax32, b), V(L(a) * y));
            ZYKNB64 z = x;
            s("*=", a, b, Proizv(a, b), V(z *= y));
            z = x;
            s("*=U", a, b, Proizv(a, b & kMax32), V(z *= L(b)));
        }
}

TEST(Nb64Arifmetika, QuotientAndRemainderAreExact) {
    Sverka s("/ %");
    for (u64 a : Nabor())
        for (u64 b : Nabor()) {
            const ZYKNB64 x = N(a), y = N(b);
            const u64 b32 = b & kMax32;
            s("/", a, b, Chastnoe(a, b), V(x / y));
            s("/U", a, b, Chastnoe(a, b32), V(x / L(b)));
            ZYKNB64 z = x;
            s("/=", a, b, Chastnoe(a, b), V(z /= y));
            z = x;
            s("/=U", a, b, Chastnoe(a, b32), V(z /= L(b)));
            s("%", a, b, Ostatok(a, b), V(x % y));
            s("%U", a, b, Ostatok(a, b32), V(x % L(b)));
            z = x;
            s("%=", a, b, Ostatok(a, b), V(z %= y));
            z = x;
            s("%=U", a, b, Ostatok(a, b32), V(z %= L(b)));
            // A 32-bit value on the left: 0 (or itself) when the number is larger, itself
            // when the number is 0, else plain 32-bit arithmetic.
            const u64 a32 = a & kMax32;
            s("U/", a, b, b > a32 ? 0 : (b == 0 ? a32 : a32 / b), V(L(a) / y));
            s("U%", a, b, (b > a32 || b == 0) ? a32 : a32 % b, V(L(a) % y));
        }
}

TEST(Nb64Arifmetika, ThirtyTwoBitLeftOperandForms) {
    Sverka s("unsigned long& op= N");
    for (u64 a64 : Nabor())
        for (u64 b : Nabor()) {
            const u64 a = a64 & kMax32;
            const ZYKNB64 y = N(b);
            ZyDW z = L(a);
            s("+=", a, b, b > kMax32 ? kMax32 : std::min(a + b, kMax32), z += y);
            z = L(a);
            s("-=", a, b, b > a ? 0 : a - b, z -= y);
            z = L(a);
            // 0 times anything stays 0; any other overflow gives 0xFFFFFFFF.
            s("*=", a, b, a == 0 ? 0 : std::min<u64>(Proizv(a, b), kMax32), z *= y);
            z = L(a);
            s("/=", a, b, b > kMax32 ? 0 : (b >= 2 ? a / b : a), z /= y);
            z = L(a);
            s("%=", a, b, (b > kMax32 || b == 0) ? a : a % b, z %= y);
            const unsigned c = unsigned(b & 63);
            z = L(a);
            s("<<=", a, b, c >= 32 ? 0 : (a << c) & kMax32, z <<= y);
            z = L(a);
            s(">>=", a, b, c >= 32 ? 0 : a >> c, z >>= y);
        }
}

TEST(Nb64Arifmetika, IncrementAndDecrementStopAtTheEnds) {
    Sverka s("++ --");
    for (u64 a : Nabor()) {
        ZYKNB64 z = N(a);
        s("++", a, 1, Summa(a, 1), V(++z));
        z = N(a);
        s("--", a, 1, Raznost(a, 1), V(--z));
        z = N(a);
        ZYKNB64& r = ++z;
        EXPECT_EQ(&r, &z) << "prefix ++ returns its operand";
    }
}

TEST(Nb64Arifmetika, ShiftsTakeTheCountModulo64) {
    Sverka s("<< >>");
    Sluchajnye rnd(0x5EED0002);
    std::vector<u64> schety;
    for (u64 c = 0; c < 130; ++c)
        schety.push_back(c);
    for (int i = 0; i < 20; ++i)
        schety.push_back(rnd.Syroe());
    for (u64 a : Nabor())
        for (u64 c64 : schety) {
            const unsigned c = unsigned(c64 & 63);
            const ZYKNB64 x = N(a), k = N(c64);
            const ZyDW cL = L(c64);
            const unsigned cl = unsigned(cL & 63);
            s("<<N", a, c64, a << c, V(x << k));
            s(">>N", a, c64, a >> c, V(x >> k));
            s("<<U", a, c64, a << cl, V(x << cL));
            s(">>U", a, c64, a >> cl, V(x >> cL));
            ZYKNB64 z = x;
            s("<<=N", a, c64, a << c, V(z <<= k));
            z = x;
            s(">>=N", a, c64, a >> c, V(z >>= k));
            z = x;
            s("<<=U", a, c64, a << cl, V(z <<= cL));
            z = x;
            s(">>=U", a, c64, a >> cl, V(z >>= cL));
            const u64 a32 = a & kMax32;
            s("U<<", a, c64, a32 << c, V(L(a) << k));
            s("U>>", a, c64, c >= 32 ? 0 : a32 >> c, V(L(a) >> k));
        }
    EXPECT_EQ(V(N(1) << 63ul), 0x8000000000000000ull);
    EXPECT_EQ(V(N(0x12345678) << 32ul), 0x1234567800000000ull);
    EXPECT_EQ(V(N(0xABCDEF) << 64ul), 0xABCDEFull);
}

TEST(Nb64Arifmetika, BitwiseFormsKeepOrClearTheHighHalf) {
    Sverka s("| ^ & ~");
    for (u64 a : Nabor())
        for (u64 b : Nabor()) {
            const ZYKNB64 x = N(a), y = N(b);
            const u64 b32 = b & kMax32, a32 = a & kMax32;
            s("|", a, b, a | b, V(x | y));
            s("^", a, b, a ^ b, V(x ^ y));
            s("&", a, b, a & b, V(x & y));
            s("|U", a, b, a | b32, V(x | L(b)));
            s("^U", a, b, a ^ b32, V(x ^ L(b)));
            s("&U", a, b, a & b32, V(x & L(b)));
            s("U|", a, b, a32 | b, V(L(a) | y));
            s("U^", a, b, a32 ^ b, V(L(a) ^ y));
            s("U&", a, b, a32 & b, V(L(a) & y));
        }
    for (u64 a : Nabor())
        s("~", a, 0, ~a, V(~N(a)));
}

TEST(Nb64Arifmetika, ComparisonsAreUnsigned64Bit) {
    Sverka s("== != < <= > >=");
    // Each result packed into six bits: == != < <= > >=.
    auto pack = [](bool e, bool ne, bool lt, bool le, bool gt, bool ge) {
        return u64(e) | u64(ne) << 1 | u64(lt) << 2 | u64(le) << 3 | u64(gt) << 4 | u64(ge) << 5;
    };
    auto ozhid = [&](u64 a, u64 b) { return pack(a == b, a != b, a<b, a <= b, a> b, a >= b); };
    for (u64 a : Nabor())
        for (u64 b : Nabor()) {
            const ZYKNB64 x = N(a), y = N(b);
            const ZyDW bl = L(b), al = L(a);
            s("NN", a, b, ozhid(a, b), pack(x == y, x != y, x<y, x <= y, x> y, x >= y));
            s("NU", a, b, ozhid(a, b & kMax32),
              pack(x == bl, x != bl, x<bl, x <= bl, x> bl, x >= bl));
            s("UN", a, b, ozhid(a & kMax32, b),
              pack(al == y, al != y, al<y, al <= y, al> y, al >= y));
        }
}

TEST(Nb64Arifmetika, DocumentedEdgeValues) {
    const ZYKNB64 max = N(kMax);
    EXPECT_EQ(V(max + 1ul), kMax);
    EXPECT_EQ(V(max * 2ul), kMax);
    EXPECT_EQ(V(N(0) - 1ul), 0u);
    EXPECT_EQ(V(N(1ull << 32) * N(1ull << 32)), kMax);
    EXPECT_EQ(V(N(0xFFFFFFFFull) * N(0x100000001ull)), kMax);
    EXPECT_EQ(V(N(0x100000001ull) * N(0xFFFFFFFFull)), kMax);
    EXPECT_EQ(V(N(7) / N(0)), 7u);
    EXPECT_EQ(V(N(0) / N(0)), 1u);
    EXPECT_EQ(V(N(7) % N(0)), 7u);
    EXPECT_EQ(V(N(5) / N(5)), 1u);
    EXPECT_EQ(V(N(5) % N(5)), 0u);
    EXPECT_EQ(V(N(3) / N(5)), 0u);
    EXPECT_EQ(V(N(3) % N(5)), 3u);
    ZYKNB64 z = N(7);
    z /= N(0);
    EXPECT_EQ(V(z), 7u) << "compound division by 0 leaves the value";
    z %= 0ul;
    EXPECT_EQ(V(z), 7u) << "compound remainder by 0 leaves the value";
    const ZYKNB64 q = 7ul / N(0);
    EXPECT_EQ(q.Ml, 7u);
    EXPECT_EQ(q.St, 0u);
    ZyDW u = 7;
    u /= N(0);
    EXPECT_EQ(u, 7u);
    u /= N(1ull << 32);
    EXPECT_EQ(u, 0u);
    // The 8-byte image is the little-endian image of the value.
    const ZYKNB64 img = N(0x0102030405060708ull);
    unsigned char b[8];
    std::memcpy(b, &img, 8);
    EXPECT_EQ(b[0], 0x08);
    EXPECT_EQ(b[7], 0x01);
}

} // namespace
