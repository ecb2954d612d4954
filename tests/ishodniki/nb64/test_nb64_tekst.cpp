// Text conversion of ZYKNB64: VsStr against a formatter written here, VzStr against the
// documented readings, and round trips in every radix with grouping.
#include "nb64_orakul.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Quorvel;
using namespace orakul;

namespace {

ZyDW Format(unsigned g, char razdel, unsigned minCifr, unsigned sdvigBukv) {
    return g | (ZyDW)(unsigned char)razdel << 8 | (ZyDW)minCifr << 16 | (ZyDW)sdvigBukv << 24;
}

// The reference text: digits of v in the radix, padded to the minimum (capped), grouped from
// the right with the separator.
std::string Ozhid(u64 v, unsigned radix, unsigned g, char razdel, unsigned minCifr, bool malye) {
    const unsigned cap = radix == 10 ? 20 : radix == 16 ? 16 : radix == 2 ? 64 : 22;
    std::string c;
    do {
        const unsigned d = unsigned(v % radix);
        c.insert(c.begin(), char(d < 10 ? '0' + d : (malye ? 'a' : 'A') + d - 10));
        v /= radix;
    } while (v);
    while (c.size() < std::min(minCifr, cap))
        c.insert(c.begin(), '0');
    if (g == 0) return c;
    std::string s;
    for (std::size_t i = 0; i < c.size(); ++i) {
        if (i && (c.size() - i) % g == 0) s += razdel ? razdel : ' ';
        s += c[i];
    }
    return s;
}

std::string VsStr(u64 v, ZyDW format, long radix, ZyDW* dlina = nullptr) {
    unsigned char buf[200];
    std::memset(buf, 0xCC, sizeof buf);
    const ZyDW n = N(v).VsStr(buf, format, radix);
    if (dlina) *dlina = n;
    return std::string(reinterpret_cast<char*>(buf));
}

bool VzStr(const char* t, ZyDW format, u64* v, u64 nach = 0xDEADull) {
    ZYKNB64 n = N(nach);
    const bool r = n.VzStr(reinterpret_cast<const unsigned char*>(t), format);
    *v = V(n);
    return r;
}

TEST(Nb64Tekst, VsStrDocumentedTexts) {
    ZyDW n = 0;
    EXPECT_EQ(VsStr(1234567, Format(3, 0, 0, 0), 10, &n), "1 234 567");
    EXPECT_EQ(n, 9u);
    EXPECT_EQ(VsStr(1234567, Format(3, ',', 0, 0), 10), "1,234,567");
    EXPECT_EQ(VsStr(123456, Format(3, ',', 0, 0), 10, &n), "123,456");
    EXPECT_EQ(n, 7u);
    EXPECT_EQ(VsStr(255, Format(0, 0, 0, 0x20), 16), "ff");
    EXPECT_EQ(VsStr(255, 0, 16), "FF");
    EXPECT_EQ(VsStr(5, Format(0, 0, 8, 0), 2), "00000101");
    EXPECT_EQ(VsStr(0, 0, 10, &n), "0");
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(VsStr(7, Format(0, 0, 99, 0), 10, &n), std::string(19, '0') + "7");
    EXPECT_EQ(n, 20u);
    EXPECT_EQ(VsStr(kMax, 0, 10), "18446744073709551615");
    EXPECT_EQ(VsStr(kMax, Format(1, '.', 0, 0), 2).size(), 127u);
    EXPECT_EQ(VsStr(kMax, Format(1, '.', 0, 0), 8).size(), 43u);
    EXPECT_EQ(VsStr(kMax, Format(1, '.', 99, 0), 10).size(), 39u);
    // Padding digits are grouped too.
    EXPECT_EQ(VsStr(5, Format(2, '_', 5, 0), 10), "0_00_05");
}

TEST(Nb64TekstVsStr, NullBufferUnknownRadixAndWorkArea) {
    EXPECT_EQ(N(5).VsStr(nullptr, 0, 10), 0u);
    unsigned char buf[200];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(N(5).VsStr(buf, 0, 7), 0u) << "a radix other than 10, 16, 2, 8 writes nothing";
    EXPECT_EQ(buf[0], 0) << "but leaves an empty text";
    // Nothing is written past the radix's work area, whatever the format asks for.
    for (const auto& [radix, oblast] : {std::pair{10L, 44u}, {16L, 36u}, {2L, 132u}, {8L, 48u}}) {
        std::memset(buf, 0xCC, sizeof buf);
        N(kMax).VsStr(buf, Format(1, '\'', 255, 0), radix);
        for (unsigned i = oblast; i < sizeof buf; ++i)
            ASSERT_EQ(buf[i], 0xCC) << "radix " << radix << " wrote byte " << i;
    }
}

TEST(Nb64Tekst, VsStrMatchesTheReferenceFormatter) {
    const auto nab = Operandy(300, 0x5EED0010);
    for (long radix : {10L, 16L, 2L, 8L})
        for (unsigned g : {0u, 1u, 3u, 4u, 7u})
            for (unsigned minc : {0u, 1u, 5u, 21u, 70u})
                for (u64 v : nab) {
                    const bool malye = (v & 1) != 0;
                    const ZyDW f = Format(g, g == 4 ? 0 : ',', minc, malye ? 0x20 : 0);
                    ZyDW n = 0;
                    const std::string s = VsStr(v, f, radix, &n);
                    ASSERT_EQ(s, Ozhid(v, unsigned(radix), g, g == 4 ? 0 : ',', minc, malye))
                        << "radix " << radix << " g " << g << " min " << minc << " v " << v;
                    ASSERT_EQ(n, s.size());
                }
}

TEST(Nb64Tekst, VzStrDocumentedReadings) {
    u64 v;
    EXPECT_TRUE(VzStr("12 345", 0, &v));
    EXPECT_EQ(v, 12345u);
    EXPECT_TRUE(VzStr("0x1F", 0, &v));
    EXPECT_EQ(v, 31u);
    EXPECT_TRUE(VzStr("0b101", 0, &v));
    EXPECT_EQ(v, 5u);
    EXPECT_TRUE(VzStr("0o17", 0, &v));
    EXPECT_EQ(v, 15u);
    EXPECT_TRUE(VzStr("0XfF", 0, &v));
    EXPECT_EQ(v, 255u);
    EXPECT_TRUE(VzStr("99999999999999999999999", 0, &v));
    EXPECT_EQ(v, kMax);
    EXPECT_TRUE(VzStr("18446744073709551615", 0, &v));
    EXPECT_EQ(v, kMax);
    EXPECT_TRUE(VzStr("18446744073709551614", 0, &v));
    EXPECT_EQ(v, kMax - 1);
    EXPECT_TRUE(VzStr("18446744073709551616", 0, &v));
    EXPECT_EQ(v, kMax) << "one past the range saturates";
    EXPECT_TRUE(VzStr("0000000000000000000000000000042", 0, &v));
    EXPECT_EQ(v, 42u) << "leading zeros beyond 20 digits weigh nothing";
    EXPECT_FALSE(VzStr("1a", 0, &v));
    EXPECT_FALSE(VzStr("x1", 0, &v));
    EXPECT_EQ(v, 0xDEADu) << "rejected before any digit: the number is unchanged";
    EXPECT_FALSE(VzStr("", 0, &v));
    EXPECT_FALSE(VzStr("1-2", 0, &v));
    EXPECT_FALSE(VzStr("0x1G", 0, &v));
    EXPECT_FALSE(VzStr("0o8", 0, &v));
    EXPECT_FALSE(VzStr("0b102", 0, &v));
    ZYKNB64 n = N(9);
    EXPECT_FALSE(n.VzStr(nullptr, 0));
    EXPECT_EQ(V(n), 9u);
}

TEST(Nb64Tekst, VzStrPartialResultOnFailure) {
    u64 v;
    // Read from the last character: "34" is built before the "a" fails.
    EXPECT_FALSE(VzStr("12a34", 0, &v));
    EXPECT_EQ(v, 34u);
    // An unknown second character rejects the text before any digit is read.
    EXPECT_FALSE(VzStr("1a23", 0, &v));
    EXPECT_EQ(v, 0xDEADu);
    EXPECT_FALSE(VzStr("0x1zF", 0, &v));
    EXPECT_EQ(v, 0xFu);
}

TEST(Nb64Tekst, VzStrLengthTerminatorAndSeparator) {
    u64 v;
    EXPECT_TRUE(VzStr("123456", 3, &v)) << "byte 0: length of the text";
    EXPECT_EQ(v, 123u);
    EXPECT_TRUE(VzStr("0x1F;99", Format(0, 0, ';', 0), &v)) << "byte 2: terminator";
    EXPECT_EQ(v, 31u);
    EXPECT_TRUE(VzStr("4'294'967'296", Format(0, '\'', 0, 0), &v));
    EXPECT_EQ(v, 4294967296u);
    EXPECT_FALSE(VzStr("4 294", Format(0, '\'', 0, 0), &v)) << "only the given separator";
    EXPECT_TRUE(VzStr("0xFFFF FFFF", 0, &v)) << "separators in a prefixed text";
    EXPECT_EQ(v, 0xFFFFFFFFu);
    // A zero byte ends the text even when the terminator is another byte, and a zero byte
    // inside the given length makes the text malformed rather than read past its end.
    EXPECT_TRUE(VzStr("77", Format(0, 0, ';', 0), &v));
    EXPECT_EQ(v, 77u);
    EXPECT_FALSE(VzStr("77", 5, &v));
}

TEST(Nb64Tekst, VzStrOneDigitAndGroupedTextsAreNumbers) {
    u64 v;
    EXPECT_TRUE(VzStr("7", 0, &v));
    EXPECT_EQ(v, 7u);
    EXPECT_TRUE(VzStr("0", 0, &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(VzStr("5;", Format(0, 0, ';', 0), &v));
    EXPECT_EQ(v, 5u);
    EXPECT_TRUE(VzStr("1 234 567", 0, &v)) << "a group of one digit in front";
    EXPECT_EQ(v, 1234567u);
    EXPECT_TRUE(VzStr("1,234", Format(0, ',', 0, 0), &v));
    EXPECT_EQ(v, 1234u);
}

TEST(Nb64Tekst, VzStrDropsBitsAtAndAbove64) {
    u64 v;
    EXPECT_TRUE(VzStr("0x1FFFFFFFFFFFFFFFF", 0, &v)) << "17th hexadecimal digit dropped";
    EXPECT_EQ(v, kMax);
    EXPECT_TRUE(VzStr("0x10000000000000000", 0, &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(VzStr("0o1777777777777777777777", 0, &v));
    EXPECT_EQ(v, kMax);
    EXPECT_TRUE(VzStr("0o3000000000000000000000", 0, &v)) << "straddling digit keeps bit 63";
    EXPECT_EQ(v, 0x8000000000000000ull);
    EXPECT_TRUE(VzStr("0o2000000000000000000000", 0, &v));
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(VzStr(("0b11" + std::string(64, '0')).c_str(), 0, &v));
    EXPECT_EQ(v, 0u);
}

TEST(Nb64Tekst, RoundTripInEveryRadix) {
    const auto nab = Operandy(500, 0x5EED0011);
    const char* prefiks[] = {"", "0x", "0b", "0o"};
    const long radix[] = {10, 16, 2, 8};
    for (int r = 0; r < 4; ++r)
        for (unsigned g : {0u, 1u, 3u})
            for (u64 v : nab) {
                const ZyDW f = Format(g, g == 1 ? '_' : 0, 0, (v & 2) ? 0x20 : 0);
                const std::string t = prefiks[r] + VsStr(v, f, radix[r]);
                u64 nazad = 0;
                ASSERT_TRUE(VzStr(t.c_str(), Format(0, g == 1 ? '_' : 0, 0, 0), &nazad)) << t;
                ASSERT_EQ(nazad, v) << t;
            }
}

} // namespace
