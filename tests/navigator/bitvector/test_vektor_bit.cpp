// ZYK_VEKTOR_BIT: sizes, ranges and their limits, range copies in and out, whole-vector
// operations and copies.
#include "ZyVektorBit.h"

#include <gtest/gtest.h>

#include <cstring>

using Quorvel::ZYK_VEKTOR_BIT;

namespace {

// The vector's bytes as a string of hex pairs, for readable failures.
std::string Bajty(const ZYK_VEKTOR_BIT& v) {
    std::string s;
    char b[4];
    for (unsigned long i = 0; i < v.dlinaBajt; ++i) {
        std::snprintf(b, sizeof b, "%02X ", v.dannye[i]);
        s += b;
    }
    return s;
}

} // namespace

TEST(VektorBit, SizesAndFill) {
    ZYK_VEKTOR_BIT pustoj;
    EXPECT_EQ(nullptr, pustoj.dannye);
    EXPECT_EQ(0u, pustoj.dlinaBajt);
    EXPECT_FALSE(pustoj.Test());

    ZYK_VEKTOR_BIT v;
    v.Nado(78, 0);
    EXPECT_EQ(78u, v.kolBit);
    EXPECT_EQ(10u, v.dlinaBajt);
    EXPECT_EQ("00 00 00 00 00 00 00 00 00 00 ", Bajty(v));

    v.Nado(16, 1);
    EXPECT_EQ(2u, v.dlinaBajt);
    EXPECT_EQ("FF FF ", Bajty(v));

    v.Nado(0, 0); // no change at all
    EXPECT_EQ(16u, v.kolBit);
    EXPECT_EQ("FF FF ", Bajty(v));

    ZYK_VEKTOR_BIT w(9, 1);
    EXPECT_EQ(2u, w.dlinaBajt);
    EXPECT_TRUE(w.Test(8, 8));
}

TEST(VektorBit, RangesStopAtTheLastBit) {
    ZYK_VEKTOR_BIT v(10, 0);
    EXPECT_TRUE(v.Vkl(3, 0xFFFFFFFF));
    EXPECT_EQ("F8 03 ", Bajty(v)); // bits 3..9

    v.Vwkl();
    EXPECT_FALSE(v.Vkl(3, 10));
    EXPECT_EQ("00 00 ", Bajty(v));
    EXPECT_TRUE(v.Vkl(5, 4)); // empty range: accepted, nothing set
    EXPECT_FALSE(v.Test());

    v.Vkl(9, 9);
    EXPECT_TRUE(v.Test(7, 9));
    EXPECT_FALSE(v.Test(7, 12)); // past the end: false even with bit 9 set
    EXPECT_FALSE(v.Test(10, 10));
    EXPECT_FALSE(v.Vwkl(0, 10));
    EXPECT_TRUE(v.Test(9, 9));
    EXPECT_TRUE(v.Vwkl(0, 0xFFFFFFFF));
    EXPECT_FALSE(v.Test());

    ZYK_VEKTOR_BIT pustoj;
    EXPECT_FALSE(pustoj.Vkl(0, 0xFFFFFFFF));
    EXPECT_FALSE(pustoj.Test(0, 0xFFFFFFFF));
}

TEST(VektorBit, TestOfAWindowOfBits) {
    ZYK_VEKTOR_BIT v(78, 0);
    v.Vkl(9, 9);
    EXPECT_TRUE(v.Test(7, 12));
    v.Vwkl();
    v.Vkl(13, 13);
    EXPECT_FALSE(v.Test(7, 12));
    EXPECT_TRUE(v.Test(0, 0xFFFFFFFF));
}

TEST(VektorBit, InvertTouchesSpareBitsButTestDoesNot) {
    ZYK_VEKTOR_BIT v(10, 0);
    v.Invert();
    EXPECT_EQ("FF FF ", Bajty(v));
    v.Vwkl(0, 9);
    EXPECT_EQ("00 FC ", Bajty(v)); // the six spare bits stay set
    EXPECT_FALSE(v.Test());
    v.Vkl();
    EXPECT_EQ("FF FF ", Bajty(v));
}

TEST(VektorBit, BitsOut) {
    ZYK_VEKTOR_BIT v(78, 0);
    v.Vkl(0, 0);
    v.Vkl(25, 25);
    v.Vkl(26, 77); // outside the copied range
    unsigned char buf[8];
    std::memset(buf, 0xAA, sizeof buf);
    EXPECT_EQ(0u, v.VzBitw(buf, 8, 0, 25));
    const unsigned char zhdem[8] = {0x01, 0x00, 0x00, 0x02, 0, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(zhdem, buf, 8));

    std::memset(buf, 0xAA, sizeof buf);
    EXPECT_EQ(4u, v.VzBitw(buf, 3, 0, 25)); // too small: the size needed, nothing written
    EXPECT_EQ(0xAA, buf[0]);
    EXPECT_EQ(0xFFFFFFFFu, v.VzBitw(buf, 8, 0, 78));

    // Bits 25..32 shifted down to bit 0.
    EXPECT_EQ(0u, v.VzBitw(buf, 1, 25, 32));
    EXPECT_EQ(0xFF, buf[0]);

    // a = b = 0xFFFFFFFF: the whole vector.
    unsigned char vse[10];
    EXPECT_EQ(0u, v.VzBitw(vse, 10, 0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(0x01, vse[0]);
    EXPECT_EQ(0x3F, vse[9]); // bits 72..77
    EXPECT_EQ(10u, v.VzBitw(nullptr, 0, 0xFFFFFFFF, 0xFFFFFFFF));
}

TEST(VektorBit, BitsInKeepTheRest) {
    ZYK_VEKTOR_BIT v(78, 1);
    const unsigned char nuli[8] = {};
    EXPECT_EQ(0u, v.VsBitw(0, 25, nuli, 8));
    EXPECT_FALSE(v.Test(0, 25));
    EXPECT_TRUE(v.Test(26, 26));
    EXPECT_TRUE(v.Test(77, 77));

    const unsigned char odin[1] = {0x05};
    EXPECT_EQ(0u, v.VsBitw(40, 42, odin, 1)); // bits 40 and 42 from bits 0 and 2
    EXPECT_TRUE(v.Test(40, 40));
    EXPECT_FALSE(v.Test(41, 41));
    EXPECT_TRUE(v.Test(42, 42));

    EXPECT_EQ(4u, v.VsBitw(0, 25, nuli, 3));
    EXPECT_TRUE(v.Test(26, 26));
    EXPECT_EQ(0xFFFFFFFFu, v.VsBitw(0, 0xFFFFFFFF, nuli, 8)); // not expanded here
    EXPECT_EQ(4u, v.VsBitw(0, 25, nullptr, 8));
}

TEST(VektorBit, CopiesAreIndependent) {
    ZYK_VEKTOR_BIT a(78, 0);
    a.Vkl(5, 5);
    ZYK_VEKTOR_BIT b(a);
    EXPECT_EQ(78u, b.kolBit);
    EXPECT_TRUE(b.Test(5, 5));
    b.Vkl(6, 6);
    EXPECT_FALSE(a.Test(6, 6));

    ZYK_VEKTOR_BIT c(3, 1);
    c = a;
    EXPECT_EQ(78u, c.kolBit);
    EXPECT_EQ(10u, c.dlinaBajt);
    a.Vwkl();
    EXPECT_TRUE(c.Test(5, 5));

    c = c; // self-assignment keeps the bits
    EXPECT_TRUE(c.Test(5, 5));

    ZYK_VEKTOR_BIT pustoj;
    c = pustoj; // an empty source empties the copy
    EXPECT_EQ(0u, c.kolBit);
    EXPECT_FALSE(c.Test());
}
