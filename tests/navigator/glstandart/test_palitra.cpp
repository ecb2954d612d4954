// The 256-colour palette: colours of the listed entries and the entry flags.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <array>

using namespace Quorvel;

namespace {

struct Cvet {
    int n;
    BYTE r, g, b;
};

// Colour numbers and their expected colours, from the colour table of the scenes.
const Cvet kOzhidaemye[] = {
    {0, 0, 0, 0},         {1, 252, 0, 0},       {5, 0, 0, 252},    {7, 252, 252, 252},
    {8, 175, 175, 175},   {9, 223, 223, 223},   {10, 255, 0, 0},   {11, 255, 169, 169},
    {12, 197, 0, 0},      {43, 197, 183, 131},  {96, 0, 125, 0},   {170, 0, 0, 255},
    {130, 0, 255, 255},   {200, 215, 0, 255},   {249, 83, 55, 62}, {250, 132, 132, 132},
    {254, 234, 234, 234}, {255, 255, 255, 255},
};

// All 256 entries of a palette.
std::array<PALETTEENTRY, 256> Zapisi(HPALETTE p) {
    std::array<PALETTEENTRY, 256> z{};
    EXPECT_EQ(256u, GetPaletteEntries(p, 0, 256, z.data()));
    return z;
}

} // namespace

TEST(Palitra, ListedEntriesHaveTheirColours) {
    HPALETTE p = ZySozdatPalitruAutoCAD(PC_NOCOLLAPSE);
    ASSERT_NE(nullptr, p);
    WORD kol = 0;
    ASSERT_EQ(static_cast<int>(sizeof kol), GetObjectA(p, sizeof kol, &kol));
    EXPECT_EQ(256, kol);
    const auto z = Zapisi(p);
    for (const Cvet& c : kOzhidaemye) {
        SCOPED_TRACE(testing::Message() << "entry " << c.n);
        EXPECT_EQ(c.r, z[c.n].peRed);
        EXPECT_EQ(c.g, z[c.n].peGreen);
        EXPECT_EQ(c.b, z[c.n].peBlue);
    }
    DeleteObject(p);
}

TEST(Palitra, EntryZeroKeepsFlagsZeroTheOthersCarryTheArgument) {
    for (BYTE flagi : {BYTE(PC_NOCOLLAPSE), BYTE(PC_RESERVED), BYTE(0)}) {
        SCOPED_TRACE(testing::Message() << "flags " << int(flagi));
        HPALETTE p = ZySozdatPalitruAutoCAD(flagi);
        ASSERT_NE(nullptr, p);
        const auto z = Zapisi(p);
        EXPECT_EQ(0, z[0].peFlags);
        int drugie = 0;
        for (int i = 1; i < 256; ++i)
            if (z[i].peFlags != flagi) ++drugie;
        EXPECT_EQ(0, drugie) << "entries 1..255 with other flags";
        DeleteObject(p);
    }
}

TEST(Palitra, HueBlocksRunSaturatedAndPaleByLevel) {
    // Hue 12 (cyan, columns 0, 4, 4): shades 0..9 alternate saturated and pale rows, level
    // by level from the brightest.
    HPALETTE p = ZySozdatPalitruAutoCAD(0);
    const auto z = Zapisi(p);
    const BYTE gb[10] = {255, 255, 197, 197, 169, 169, 125, 125, 83, 83};
    const BYTE r[10] = {0, 169, 0, 131, 0, 112, 0, 83, 0, 55};
    for (int s = 0; s < 10; ++s) {
        const PALETTEENTRY& e = z[10 + 10 * 12 + s];
        SCOPED_TRACE(testing::Message() << "shade " << s);
        EXPECT_EQ(r[s], e.peRed);
        EXPECT_EQ(gb[s], e.peGreen);
        EXPECT_EQ(gb[s], e.peBlue);
    }
    DeleteObject(p);
}

TEST(Palitra, NearestToPureRedIsNumberTen) {
    HPALETTE p = ZySozdatPalitruAutoCAD(PC_NOCOLLAPSE);
    EXPECT_EQ(10u, GetNearestPaletteIndex(p, RGB(255, 0, 0)));
    EXPECT_EQ(255u, GetNearestPaletteIndex(p, RGB(255, 255, 255)));
    EXPECT_EQ(0u, GetNearestPaletteIndex(p, RGB(0, 0, 0)));
    DeleteObject(p);
}
