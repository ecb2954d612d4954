// The system fonts of the non-client metrics.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <cstddef>

TEST(SistemnwjShrift, IndicesZeroToFourGiveTheFiveMetricsFonts) {
    NONCLIENTMETRICSA nm = {};
    nm.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, nm.cbSize, &nm, 0));
    const LOGFONTA* ozhidaemye[5] = {&nm.lfCaptionFont, &nm.lfSmCaptionFont, &nm.lfMenuFont,
                                     &nm.lfStatusFont, &nm.lfMessageFont};
    for (unsigned long i = 0; i < 5; ++i) {
        SCOPED_TRACE(testing::Message() << "index " << i);
        HFONT f = ZySistemnwjShrift(i);
        ASSERT_NE(nullptr, f);
        LOGFONTA lf = {};
        ASSERT_EQ(static_cast<int>(sizeof lf), GetObjectA(f, sizeof lf, &lf));
        EXPECT_EQ(ozhidaemye[i]->lfHeight, lf.lfHeight);
        EXPECT_EQ(ozhidaemye[i]->lfWeight, lf.lfWeight);
        EXPECT_EQ(ozhidaemye[i]->lfItalic, lf.lfItalic);
        EXPECT_STREQ(ozhidaemye[i]->lfFaceName, lf.lfFaceName);
        EXPECT_TRUE(DeleteObject(f)) << "the caller owns a new font";
    }
}

TEST(SistemnwjShrift, IndexAboveFourGivesNull) {
    EXPECT_EQ(nullptr, ZySistemnwjShrift(5));
    EXPECT_EQ(nullptr, ZySistemnwjShrift(0xFFFFFFFFul));
}

TEST(SistemnwjShrift, EachCallMakesANewFont) {
    HFONT a = ZySistemnwjShrift(4);
    HFONT b = ZySistemnwjShrift(4);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    EXPECT_NE(a, b);
    DeleteObject(a);
    DeleteObject(b);
}
