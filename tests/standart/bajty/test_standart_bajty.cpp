// Byte, string and scan functions of ZyStandart: the documented cases, and exhaustive or
// randomised comparisons with naive oracles written here. Guard bytes around every buffer
// check that nothing is written outside the counted bytes.
#include "ZyBajty.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// ---- ZyScan -------------------------------------------------------------------------------

// Naive scan: element i at p + i*w (or p - i*w backwards), 1-based, 0 if none.
unsigned skanOrakul(const unsigned char* p, unsigned kol, unsigned znach, unsigned w, bool ne,
                    bool nazad) {
    const std::uint32_t maska = w == 4 ? 0xFFFFFFFFu : (1u << (8 * w)) - 1;
    for (unsigned i = 0; i < kol; ++i) {
        const unsigned char* el = nazad ? p - std::ptrdiff_t(i * w) : p + i * w;
        std::uint32_t v = 0;
        for (unsigned b = 0; b < w; ++b)
            v |= std::uint32_t(el[b]) << (8 * b);
        if ((v == (znach & maska)) != ne) return i + 1;
    }
    return 0;
}

TEST(ZyScan, DocumentedCases) {
    EXPECT_EQ(4u, ZyScan("abc", ZY_SCAN_UNLIMITED, 0, ZY_SCAN_BYTE));
    EXPECT_EQ(3u, ZyScan("  x", 3, 32, ZY_SCAN_BYTE | ZY_SCAN_NOT));
    EXPECT_EQ(0u, ZyScan("abcde", 5, 'z', ZY_SCAN_BYTE));
    // Two asterisks at an even offset: the pair at offset 1 is not seen, the one at 4 is.
    EXPECT_EQ(3u, ZyScan("x**x**", 3, 0x2A2A, ZY_SCAN_WORD));
    // Only the element's width of the value counts.
    EXPECT_EQ(2u, ZyScan("ab", 2, 0x12345600u + 'b', ZY_SCAN_BYTE));
}

TEST(ZyScan, NoWidthNullOrZeroCountGiveZero) {
    EXPECT_EQ(0u, ZyScan("aaaa", 4, 'a', 0));
    EXPECT_EQ(0u, ZyScan("aaaa", 4, 'a', ZY_SCAN_NOT | ZY_SCAN_BACKWARD));
    EXPECT_EQ(0u, ZyScan(nullptr, 4, 'a', ZY_SCAN_BYTE));
    EXPECT_EQ(0u, ZyScan("aaaa", 0, 'a', ZY_SCAN_BYTE));
}

TEST(ZyScan, WidthBitsTakePrecedenceInOrder) {
    const unsigned char d[8] = {1, 0, 0, 0, 2, 0, 0, 0};
    // Bits 0 and 2 set: bytes; the byte 0 at offset 1 is element 2.
    EXPECT_EQ(2u, ZyScan(d, 8, 0, ZY_SCAN_BYTE | ZY_SCAN_DWORD));
    // Bits 1 and 2 set: 16-bit units; the unit 0 at offset 2 is element 2.
    EXPECT_EQ(2u, ZyScan(d, 4, 0, ZY_SCAN_WORD | ZY_SCAN_DWORD));
    EXPECT_EQ(2u, ZyScan(d, 2, 2, ZY_SCAN_DWORD));
}

TEST(ZyScan, MatchesOracleForEveryModeCountAndValue) {
    std::mt19937 rng(7);
    for (int runde = 0; runde < 300; ++runde) {
        unsigned char buf[48];
        for (unsigned char& b : buf)
            b = static_cast<unsigned char>(rng() % 3); // few values: many matches and misses
        for (unsigned w : {1u, 2u, 4u}) {
            const unsigned rezhimW = w == 1 ? ZY_SCAN_BYTE : w == 2 ? ZY_SCAN_WORD : ZY_SCAN_DWORD;
            const unsigned elementov = sizeof buf / w;
            for (bool ne : {false, true})
                for (bool nazad : {false, true})
                    for (unsigned znach : {0u, 1u, 0x0101u, 0x01000100u, 0x00010000u}) {
                        const unsigned kol = unsigned(rng() % (elementov + 1));
                        const unsigned char* p = nazad ? buf + (elementov - 1) * w : buf;
                        const unsigned rezhim =
                            rezhimW | (ne ? ZY_SCAN_NOT : 0) | (nazad ? ZY_SCAN_BACKWARD : 0);
                        ASSERT_EQ(skanOrakul(p, kol, znach, w, ne, nazad),
                                  ZyScan(p, kol, znach, rezhim))
                            << "w=" << w << " ne=" << ne << " nazad=" << nazad << " kol=" << kol
                            << " znach=" << znach;
                    }
        }
    }
}

TEST(ZyScan, UnlimitedBackwardFindsTheFirstMatchBelow) {
    const char s[] = "=abc";
    EXPECT_EQ(4u, ZyScan(s + 3, ZY_SCAN_UNLIMITED, '=', ZY_SCAN_BYTE | ZY_SCAN_BACKWARD));
}

// ---- ZyStrAdd, ZyZamenaZnaka ---------------------------------------------------------------

TEST(ZyStrAdd, AppendsWithItsZeroAndReturnsTarget) {
    char buf[16];
    std::memset(buf, 'G', sizeof buf);
    std::strcpy(buf, "ab");
    EXPECT_EQ(buf, ZyStrAdd(buf, "cde"));
    EXPECT_STREQ("abcde", buf);
    EXPECT_EQ('G', buf[6]); // nothing written past the new zero
    EXPECT_STREQ("abcde", ZyStrAdd(buf, ""));
}

TEST(ZyZamenaZnaka, CountsAndReplacesOnlyWithinTheCount) {
    char d[6] = {'a', 1, 'b', 1, 1, 1};
    EXPECT_EQ(2, ZyZamenaZnaka(d, 4, 1, 0));
    const char ozhidaemo[6] = {'a', 0, 'b', 0, 1, 1};
    EXPECT_EQ(0, std::memcmp(d, ozhidaemo, 6));
    EXPECT_EQ(0, ZyZamenaZnaka(d, 0, 1, 0));
    EXPECT_EQ(0, ZyZamenaZnaka(nullptr, 6, 1, 0));
}

// ---- ZyNaytiStroku -------------------------------------------------------------------------

// Naive search: first i with i + m <= dlina and the m bytes equal.
const char* naytiOrakul(const char* gde, const char* chto, unsigned dlina) {
    const std::size_t m = std::strlen(chto);
    if (m == 0) {
        for (unsigned i = 0; i <= dlina; ++i)
            if (gde[i] == 0) return gde + i;
        return nullptr;
    }
    for (std::size_t i = 0; i + m <= dlina; ++i)
        if (std::memcmp(gde + i, chto, m) == 0) return gde + i;
    return nullptr;
}

TEST(ZyNaytiStroku, DocumentedCases) {
    const char* s = "abcabd";
    EXPECT_EQ(s + 3, ZyNaytiStroku(s, "abd", 6));
    EXPECT_EQ(nullptr, ZyNaytiStroku("ac", "ab", 2));
    EXPECT_EQ(nullptr, ZyNaytiStroku("abc", "abc", 2)); // does not fit in the counted bytes
    const char* t = "ab\0cd";
    EXPECT_EQ(t + 2, ZyNaytiStroku(t, "", 2)); // the zero right after the counted bytes
    EXPECT_EQ(nullptr, ZyNaytiStroku(nullptr, "a", 3));
    EXPECT_EQ(nullptr, ZyNaytiStroku("abc", nullptr, 3));
}

TEST(ZyNaytiStroku, MatchesOracleOverRandomTexts) {
    std::mt19937 rng(11);
    for (int runde = 0; runde < 20000; ++runde) {
        char gde[24];
        const unsigned dlina = unsigned(rng() % 20);
        for (unsigned i = 0; i < sizeof gde; ++i)
            gde[i] = char('a' + rng() % 2);
        gde[dlina] = 0;
        char chto[6];
        const unsigned m = 1 + unsigned(rng() % 4);
        for (unsigned i = 0; i < m; ++i)
            chto[i] = char('a' + rng() % 2);
        chto[m] = 0;
        ASSERT_EQ(naytiOrakul(gde, chto, dlina), ZyNaytiStroku(gde, chto, dlina))
            << "in '" << std::string(gde, dlina) << "' for '" << chto << "'";
    }
}

// ---- ZyVyrezatMezhduStrok, ZyVstavitMezhduStrok --------------------------------------------

TEST(ZyVyrezatMezhduStrok, CutsBothQuotedPartsAndInsertRestoresThem) {
    char t[32] = "x \"12\" y \"34\" z";
    const unsigned L = unsigned(std::strlen(t));
    t[L + 1] = 'G'; // guard beyond the counted bytes and the zero
    unsigned dlina = L;
    char chast[16];
    const char* dalee = ZyVyrezatMezhduStrok(t, "\"", "\"", &dlina, chast);
    ASSERT_NE(nullptr, dalee);
    EXPECT_STREQ("12", chast);
    EXPECT_STREQ("x \"\" y \"34\" z", t);
    EXPECT_EQ(t + 4, dalee);     // just after the closing quote
    EXPECT_EQ(L - 3 - 2, dlina); // from the closing quote on, less the two cut bytes

    unsigned ostatok = L - unsigned(dalee - t);
    dalee = ZyVyrezatMezhduStrok(const_cast<char*>(dalee), "\"", "\"", &ostatok, chast);
    ASSERT_NE(nullptr, dalee);
    EXPECT_STREQ("34", chast);
    EXPECT_STREQ("x \"\" y \"\" z", t);
    EXPECT_EQ(0, std::memcmp(t + L - 4, "\0\0\0\0", 4)); // the freed bytes are zeros
    EXPECT_EQ('G', t[L + 1]);

    // Insertion needs room: the counted region is the whole buffer before the guard.
    unsigned mesto = L;
    dalee = ZyVstavitMezhduStrok(t, "\"", "\"", &mesto, "12");
    ASSERT_NE(nullptr, dalee);
    mesto = L - unsigned(dalee - t);
    ASSERT_NE(nullptr, ZyVstavitMezhduStrok(const_cast<char*>(dalee), "\"", "\"", &mesto, "34"));
    EXPECT_STREQ("x \"12\" y \"34\" z", t);
    EXPECT_EQ('G', t[L + 1]);
}

TEST(ZyVyrezatMezhduStrok, MissingDelimitersGiveNullAndChangeNothing) {
    char t[16] = "ab\"cd";
    unsigned dlina = 5;
    char chast[16] = "untouched";
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, "\"", "\"", &dlina, chast));
    EXPECT_STREQ("ab\"cd", t);
    EXPECT_STREQ("untouched", chast);
    dlina = 5;
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, "[", "]", &dlina, chast));
    EXPECT_EQ(5u, dlina);
    // A quote in the last counted byte leaves nothing to search for the closing one.
    char u[8] = "abcd\"";
    dlina = 5;
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(u, "\"", "\"", &dlina, chast));
    // Empty or null delimiters are refused.
    dlina = 5;
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, "", "\"", &dlina, chast));
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, "\"", "", &dlina, chast));
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, nullptr, "\"", &dlina, chast));
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(nullptr, "\"", "\"", &dlina, chast));
    EXPECT_EQ(nullptr, ZyVyrezatMezhduStrok(t, "\"", "\"", nullptr, chast));
    EXPECT_STREQ("ab\"cd", t);
}

TEST(ZyVstavitMezhduStrok, LongerTextShiftsTailRightWithinTheCount) {
    char t[16];
    std::memset(t, 'G', sizeof t);
    std::memcpy(t, "a<>bcd\0\0\0\0", 10);
    unsigned dlina = 10;
    const char* dalee = ZyVstavitMezhduStrok(t, "<", ">", &dlina, "XYZ");
    ASSERT_NE(nullptr, dalee);
    EXPECT_EQ(0, std::memcmp(t, "a<XYZ>bcd\0", 10));
    EXPECT_EQ(t + 6, dalee);
    EXPECT_EQ(4u, dlina); // "bcd" and one zero remain counted after the closing delimiter
    EXPECT_EQ('G', t[10]);
}

TEST(ZyVstavitMezhduStrok, LongerTextDropsWhatPassesTheEnd) {
    char t[12];
    std::memset(t, 'G', sizeof t);
    std::memcpy(t, "a<>bcd", 6);
    unsigned dlina = 6;
    ASSERT_NE(nullptr, ZyVstavitMezhduStrok(t, "<", ">", &dlina, "XY"));
    EXPECT_EQ(0, std::memcmp(t, "a<XY>b", 6));
    EXPECT_EQ('G', t[6]);
    // A text longer than the whole room is itself cut at the end of the counted bytes.
    std::memcpy(t, "a<>bcd", 6);
    dlina = 6;
    const char* dalee = ZyVstavitMezhduStrok(t, "<", ">", &dlina, "0123456789");
    ASSERT_NE(nullptr, dalee);
    EXPECT_EQ(0, std::memcmp(t, "a<0123", 6));
    EXPECT_EQ('G', t[6]);
    EXPECT_EQ(0u, dlina);
    EXPECT_EQ(t + 6, dalee);
}

TEST(ZyVstavitMezhduStrok, ShorterTextShiftsTailLeftAndZeroFills) {
    char t[16];
    std::memset(t, 'G', sizeof t);
    std::memcpy(t, "a<long>bc", 9);
    unsigned dlina = 9;
    const char* dalee = ZyVstavitMezhduStrok(t, "<", ">", &dlina, "s");
    ASSERT_NE(nullptr, dalee);
    EXPECT_EQ(0, std::memcmp(t, "a<s>bc\0\0\0", 9));
    EXPECT_EQ(t + 4, dalee);
    EXPECT_EQ(2u, dlina);
    EXPECT_EQ('G', t[9]);
}

// Oracle for one insertion: the region with the text between the first pair replaced, cut or
// zero-padded to the same length.
std::string vstavitOrakul(const std::string& region, const std::string& chto) {
    const auto a = region.find('<');
    const auto b = region.find('>', a + 1);
    std::string r = region.substr(0, a + 1) + chto + region.substr(b);
    r.resize(region.size(), '\0');
    return r;
}

TEST(ZyVstavitMezhduStrok, MatchesOracleOverRandomRegions) {
    std::mt19937 rng(5);
    for (int runde = 0; runde < 5000; ++runde) {
        const unsigned L = 4 + unsigned(rng() % 16);
        std::string region(L, 'x');
        for (char& c : region)
            c = char('a' + rng() % 3);
        const unsigned a = unsigned(rng() % (L - 2));
        const unsigned b = a + 1 + unsigned(rng() % (L - a - 1));
        region[a] = '<';
        region[b] = '>';
        std::string chto(rng() % 8, 'Q');
        char buf[32];
        std::memset(buf, 'G', sizeof buf);
        std::memcpy(buf, region.data(), L);
        unsigned dlina = L;
        const char* dalee = ZyVstavitMezhduStrok(buf, "<", ">", &dlina, chto.c_str());
        ASSERT_NE(nullptr, dalee);
        ASSERT_EQ(vstavitOrakul(region, chto), std::string(buf, L)) << region << " + " << chto;
        ASSERT_EQ('G', buf[L]);
        ASSERT_LE(dalee, buf + L);
    }
}

// ---- ZyNachislitOZU ------------------------------------------------------------------------

TEST(ZyNachislitOZU, DocumentedPatterns) {
    unsigned char b[8];
    std::memset(b, 0xEE, sizeof b);
    ZyNachislitOZU(b, 6, 0x1234);
    const unsigned char ozh1[8] = {0x34, 0x12, 0x34, 0x12, 0x34, 0x34, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(b, ozh1, 8));
    ZyNachislitOZU(b, 5, 0x7F);
    const unsigned char ozh2[8] = {0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x34, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(b, ozh2, 8));
    ZyNachislitOZU(b, 5, 0);
    const unsigned char ozh3[8] = {0, 0, 0, 0, 0, 0x34, 0xEE, 0xEE};
    EXPECT_EQ(0, std::memcmp(b, ozh3, 8));
}

TEST(ZyNachislitOZU, MatchesOracleForEverySizeAndPatternClass) {
    for (unsigned long obrazec :
         {0ul, 1ul, 0xFFul, 0x100ul, 0x1234ul, 0xFFFFul, 0x10000ul, 0xDEADBEEFul}) {
        std::uint32_t uzor = obrazec == 0        ? 0
                             : obrazec <= 0xFF   ? std::uint32_t(obrazec) * 0x01010101u
                             : obrazec <= 0xFFFF ? std::uint32_t(obrazec) * 0x10001u
                                                 : std::uint32_t(obrazec);
        for (unsigned long razmer = 0; razmer < 14; ++razmer) {
            unsigned char b[20];
            std::memset(b, 0xEE, sizeof b);
            EXPECT_EQ(b + 1, ZyNachislitOZU(b + 1, razmer, obrazec)); // also misaligned
            for (unsigned long i = 0; i < razmer; ++i) {
                const unsigned char ozh =
                    i < razmer / 4 * 4 ? (uzor >> (8 * (i % 4))) & 0xFF : uzor & 0xFF;
                ASSERT_EQ(ozh, b[1 + i]) << "razmer " << razmer << " i " << i;
            }
            ASSERT_EQ(0xEE, b[0]);
            ASSERT_EQ(0xEE, b[1 + razmer]);
        }
    }
}

// ---- ZySdvinutOZU --------------------------------------------------------------------------

TEST(ZySdvinutOZU, TenBytesThreeHigherKeepTheSource) {
    char b[16] = "0123456789ABCDE";
    EXPECT_EQ(b + 3, ZySdvinutOZU(b + 3, b, 10));
    EXPECT_EQ(0, std::memcmp(b, "0120123456789DE", 15));
}

TEST(ZySdvinutOZU, MatchesMemmoveForEveryOverlap) {
    unsigned char proba[40];
    for (unsigned i = 0; i < sizeof proba; ++i)
        proba[i] = static_cast<unsigned char>(i * 7 + 1);
    for (unsigned ot = 0; ot < 20; ++ot)
        for (unsigned k = 0; k < 20; ++k)
            for (unsigned long n = 0; n <= 20; ++n) {
                unsigned char a[40];
                unsigned char b[40];
                std::memcpy(a, proba, 40);
                std::memcpy(b, proba, 40);
                std::memmove(a + k, a + ot, n);
                ZySdvinutOZU(b + k, b + ot, n);
                ASSERT_EQ(0, std::memcmp(a, b, 40)) << ot << " -> " << k << " n " << n;
            }
}

// ---- ZySravnitOZU --------------------------------------------------------------------------

// Oracle: 32-bit little-endian units as numbers, then the last bytes.
int sravnitOrakul(const unsigned char* a, const unsigned char* b, unsigned long n) {
    unsigned long i = 0;
    for (; i + 4 <= n; i += 4) {
        const std::uint32_t x =
            a[i] | a[i + 1] << 8 | a[i + 2] << 16 | std::uint32_t(a[i + 3]) << 24;
        const std::uint32_t y =
            b[i] | b[i + 1] << 8 | b[i + 2] << 16 | std::uint32_t(b[i + 3]) << 24;
        if (x != y) return x < y ? -1 : 1;
    }
    for (; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

TEST(ZySravnitOZU, EqualNullAndZeroCount) {
    EXPECT_EQ(0, ZySravnitOZU("abcdefg", "abcdefg", 7));
    EXPECT_EQ(ZY_SRAVNIT_NULL, ZySravnitOZU(nullptr, "a", 1));
    EXPECT_EQ(ZY_SRAVNIT_NULL, ZySravnitOZU("a", nullptr, 1));
    EXPECT_EQ(ZY_SRAVNIT_NULL, ZySravnitOZU("a", "b", 0));
    EXPECT_EQ(0x4C4C554E, ZY_SRAVNIT_NULL); // the bytes N U L L
}

TEST(ZySravnitOZU, OrdersByLittleEndianUnitsNotBytes) {
    const unsigned char a[4] = {0x01, 0, 0, 0x02};
    const unsigned char b[4] = {0x02, 0, 0, 0x01};
    EXPECT_LT(std::memcmp(a, b, 4), 0);
    EXPECT_EQ(1, ZySravnitOZU(a, b, 4)); // 0x02000001 > 0x01000002
    EXPECT_EQ(-1, ZySravnitOZU(b, a, 4));
    EXPECT_EQ(-1, ZySravnitOZU(a, b, 3)); // three bytes: compared as bytes
}

TEST(ZySravnitOZU, MatchesOracleOverRandomBlocks) {
    std::mt19937 rng(3);
    for (int runde = 0; runde < 20000; ++runde) {
        unsigned char a[16];
        unsigned char b[16];
        const unsigned long n = 1 + rng() % 15;
        for (unsigned i = 0; i < 16; ++i) {
            a[i] = static_cast<unsigned char>(rng() % 3);
            b[i] = rng() % 4 ? a[i] : static_cast<unsigned char>(rng() % 3);
        }
        ASSERT_EQ(sravnitOrakul(a + 1, b + 1, n), ZySravnitOZU(a + 1, b + 1, n));
    }
}

} // namespace
