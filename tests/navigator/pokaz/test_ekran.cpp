// What a person sees: the real viewer, orvanta.exe, with a test scene, captured from the X
// screen. The view's picture must be there, at the view's place, in the colours the rendering
// has (glReadPixels).
#include "ZyTestEkran.h"
#include "ZyTestFajly.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestProsmotr.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char* const kAdresa = "ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt";

// What the test scene reported: the background colour read back from the rendering and the
// view's client area on the screen.
struct Otchet {
    int r = -1, g = -1, b = -1;
    RECT klient{};
};

// Reads "ZyEkran.txt"; false while it is not there.
bool ProchestOtchet(Otchet& o) {
    const std::string t = zytest::ChitatFajl("ZyEkran.txt");
    long x, y, w, h;
    if (std::sscanf(t.c_str(), "%d %d %d %ld %ld %ld %ld", &o.r, &o.g, &o.b, &x, &y, &w, &h) != 7)
        return false;
    o.klient = RECT{x, y, x + w, y + h};
    return true;
}

} // namespace

TEST(Ekran, TheRealViewerShowsTheSceneOnTheScreen) {
    zytest::UdalitDerevo("ZyGLDannwe");
    std::remove("ZyEkran.txt");
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    ASSERT_TRUE(zytest::ZapisatFajl(kAdresa,
                                    "KonstryktorScenw = ZyTestScenaEkrana.dll\\ZyTSEKonstr;\r\n"
                                    "Antrakt = ZyTestScenaEkrana.dll\\ZyTSEAntrakt;\r\n"
                                    "PokazScenw = ZyTestScenaEkrana.dll\\ZyTSEPokaz;\r\n"
                                    "FinalScenw = ZyTestScenaEkrana.dll\\ZyTSEFinal;\r\n"));
    zytest::Prosmotr p;
    ASSERT_TRUE(p.zapushcheno()) << "orvanta.exe did not start";
    Otchet o;
    ASSERT_TRUE(zytest::ZhdatPoka([&] { return ProchestOtchet(o); }, 30000))
        << "the test scene drew no frame; boxes: " << p.ZakrytSoobshchenija();
    const RECT& v = o.klient;
    ASSERT_GT(v.right - v.left, 100);
    ASSERT_GT(v.bottom - v.top, 100);
    const COLORREF fon = RGB(o.r, o.g, o.b);
    EXPECT_EQ(RGB(51, 153, 102), fon) << "the colour the rendering holds";

    // The X server shows the copy a moment after the frame: look again until it is there.
    const long fx = v.left + 4, fy = v.bottom - 1 - 4; // glReadPixels' (4, 4), from the top
    const long cx = (v.left + v.right) / 2, cy = (v.top + v.bottom) / 2;
    zytest::Snimok s;
    zytest::ZhdatPoka(
        [&] {
            s = zytest::SnjatEkran();
            return !s.Est() || (s.Piksel(fx, fy) == fon && s.Piksel(cx, cy) == RGB(255, 255, 255));
        },
        15000);
    ASSERT_TRUE(s.Est()) << s.oshibka;
    EXPECT_EQ(fon, s.Piksel(fx, fy)) << "the background on the screen";
    EXPECT_EQ(RGB(255, 255, 255), s.Piksel(cx, cy)) << "the square in the middle";
    const long ploshchad = (v.right - v.left) * (v.bottom - v.top);
    EXPECT_EQ(ploshchad, s.NeChernyh(v)) << "no black left in the view";
    EXPECT_EQ(fon, s.Piksel(v.right - 1, v.bottom - 1)) << "the last pixel of the view";
    EXPECT_EQ(fon, s.Piksel(v.left, v.top)) << "the first pixel of the view";

    EXPECT_TRUE(p.Zakryt()) << "the viewer did not end after WM_CLOSE";
    EXPECT_EQ(0u, p.kodVyhoda());
}
