// Grid layout of the view windows, computed by the navigator's own layout unit.
#include "ZySetka.h"

#include <gtest/gtest.h>

using Quorvel::ZyRaschetSetki;
using Quorvel::ZYS_SETKA;

namespace {

// Cell i lies inside the W x H area.
void VnutriOblasti(const ZYS_SETKA& s, long W, long H) {
    for (size_t i = 0; i < s.x.size(); ++i) {
        EXPECT_LE(s.x[i] + s.shirina, W) << "cell " << i;
        EXPECT_LE(s.y[i] + s.vysota, H) << "cell " << i;
    }
}

} // namespace

TEST(Setka, OneWindowInTheHostCoversTheClientArea) {
    const ZYS_SETKA s = ZyRaschetSetki(792, 448, 1, true);
    EXPECT_EQ(792, s.shirina);
    EXPECT_EQ(448, s.vysota);
    ASSERT_EQ(1u, s.x.size());
    EXPECT_EQ(0, s.x[0]);
    EXPECT_EQ(0, s.y[0]);
    EXPECT_FALSE(s.zapasnaja);
}

TEST(Setka, OneWindowOnTheDesktopIsSixteenByNineOfHalfTheArea) {
    const ZYS_SETKA s = ZyRaschetSetki(1024, 768, 1, false);
    EXPECT_EQ(590, s.shirina);
    EXPECT_EQ(332, s.vysota);
    EXPECT_EQ(0, s.x[0]);
    EXPECT_EQ(0, s.y[0]);
}

TEST(Setka, FourWindowsWidenFourByThreeUntilTheRemaindersFit) {
    const ZYS_SETKA s = ZyRaschetSetki(784, 441, 4, true);
    EXPECT_EQ(390, s.shirina);
    EXPECT_EQ(220, s.vysota);
    EXPECT_EQ(2u, s.kolonki);
    const long x[4] = {0, 390, 0, 390}, y[4] = {0, 0, 220, 220};
    ASSERT_EQ(4u, s.x.size());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(x[i], s.x[i]) << "cell " << i;
        EXPECT_EQ(y[i], s.y[i]) << "cell " << i;
    }
    EXPECT_GT(s.shagov, 0u);
}

TEST(Setka, OddCountsUseSixteenByNineInTheUpperHalfEvenWithAParent) {
    for (unsigned long n : {3ul, 5ul, 7ul}) {
        const ZYS_SETKA s = ZyRaschetSetki(800, 600, n, true);
        EXPECT_NEAR(16.0 / 9.0, double(s.shirina) / s.vysota, 0.02) << n << " windows";
        EXPECT_LE(double(s.shirina) * s.vysota, 800.0 * 300.0 / n) << n << " windows";
        EXPECT_EQ(0u, s.shagov) << "the aspect is fixed";
        VnutriOblasti(s, 800, 600);
    }
}

TEST(Setka, EvenCountsNeverHalveTheHeight) {
    const ZYS_SETKA s = ZyRaschetSetki(800, 600, 4, true);
    EXPECT_EQ(2u, s.kolonki);
    ASSERT_EQ(4u, s.y.size());
    EXPECT_GT(s.y[3] + s.vysota, 300) << "the lower half is used";
    EXPECT_LE(800 % s.shirina, 5);
    EXPECT_LE(600 % s.vysota, 32);
    VnutriOblasti(s, 800, 600);
}

TEST(Setka, CountZeroBehavesAsOne) {
    const ZYS_SETKA s = ZyRaschetSetki(640, 480, 0, true);
    ASSERT_EQ(1u, s.x.size());
    EXPECT_EQ(640, s.shirina);
    EXPECT_EQ(480, s.vysota);
}

TEST(Setka, TallAreaFallsBackToOneColumnOfFullWidthCells) {
    // Every 4:3-or-wider cell of half the area is wider than the area itself.
    const ZYS_SETKA s = ZyRaschetSetki(200, 1000, 2, true);
    EXPECT_TRUE(s.zapasnaja);
    EXPECT_EQ(200, s.shirina);
    EXPECT_EQ(500, s.vysota);
    EXPECT_EQ(1u, s.kolonki);
    EXPECT_EQ(0, s.y[0]);
    EXPECT_EQ(500, s.y[1]);
}

TEST(Setka, SearchStopsAtItsBound) {
    // A 1000 x 33 strip: a bottom remainder of at most 32 needs cells of height <= 33, which
    // only an aspect above 15:1 gives.
    const ZYS_SETKA s = ZyRaschetSetki(1000, 33, 2, true);
    EXPECT_EQ(Quorvel::ZY_SETKA_MAKS_SHAGOV, s.shagov);
    EXPECT_TRUE(s.zapasnaja);
    EXPECT_EQ(1000, s.shirina);
    EXPECT_EQ(16, s.vysota);
    VnutriOblasti(s, 1000, 33);
}

TEST(Setka, EmptyAreaGivesOnePixelCellsWithoutSearching) {
    for (long w : {0L, -5L}) {
        const ZYS_SETKA s = ZyRaschetSetki(w, 0, 4, true);
        EXPECT_TRUE(s.zapasnaja);
        EXPECT_EQ(1, s.shirina);
        EXPECT_EQ(1, s.vysota);
        EXPECT_EQ(4u, s.x.size());
    }
}
