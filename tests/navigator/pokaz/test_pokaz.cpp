// Pictures presented through the offscreen target and the GDI copy, in a live navigator of
// this process, seen on the X screen: a view that is made larger (also while a new scene is
// built) shows its whole new client area, and the intermission reaches the auxiliary window.
#include "ZyTestEkran.h"
#include "ZyTestNavigatora.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

using namespace Quorvel;

namespace {

// The test scenes' frame colour, (0, 0.5, 0): green 127 or 128 depending on the rounding.
bool Zelenyj(COLORREF c) {
    return GetRValue(c) == 0 && GetBValue(c) == 0 && GetGValue(c) >= 127 && GetGValue(c) <= 128;
}
// Their intermission colour, (0.5, 0, 0).
bool Krasnyj(COLORREF c) {
    return GetGValue(c) == 0 && GetBValue(c) == 0 && GetRValue(c) >= 127 && GetRValue(c) <= 128;
}

// Pixels of the rectangle (screen coordinates) for which `cvet` holds.
long Skolko(const zytest::Snimok& s, const RECT& r, bool (*cvet)(COLORREF)) {
    long n = 0;
    for (long y = r.top; y < r.bottom; ++y)
        for (long x = r.left; x < r.right; ++x)
            if (cvet(s.Piksel(x, y))) ++n;
    return n;
}

// Captures the screen until every pixel of `r` has the colour (at most 15 s); the last capture.
zytest::Snimok ZhdatCveta(const RECT& r, bool (*cvet)(COLORREF)) {
    zytest::Snimok s;
    const long vse = (r.right - r.left) * (r.bottom - r.top);
    zyt::Kachat(
        [&] {
            s = zytest::SnjatEkran();
            return !s.Est() || Skolko(s, r, cvet) == vse;
        },
        15000);
    return s;
}

std::atomic<bool> pereklyuchit{false};
std::atomic<bool> bStroitsja{false};
HANDLE otpustit = nullptr; // set by the test once it has done its part during the build
// From the controller thread: in a frame of scene A, go to scene B once; B's constructor
// then waits (at most 15 s) while the test looks at the intermission or resizes the view.
void PereklyuchitIZhdat(int fyn, ZYKGLKONTROL* k) {
    if (fyn == ZYT_POKAZ && pereklyuchit.exchange(false)) {
        static const zyt::Imena b("ZyTestScenaB.dll");
        k->NScena(b.Adresa());
    } else if (fyn == ZYT_KONSTR && k->Fynkcii[0].imja &&
               std::strstr(k->Fynkcii[0].imja, "ZyTestScenaB")) {
        bStroitsja = true;
        WaitForSingleObject(otpustit, 15000);
    }
}

// Sets up the scenes for PereklyuchitIZhdat (B's constructor waits for `sobytie`); the frames
// keep coming, so that the intermission draws while B is built.
void GotovitStrojku(const zytest::Sobytie& sobytie) {
    otpustit = sobytie.h();
    bStroitsja = false;
    ZytNastrojka()->flagKonstr = ZYBIT_ANIMACIJA;
    ZytNastrojka()->vyzov = PereklyuchitIZhdat;
}

// Starts building scene B; true once its constructor waits and the intermission has drawn.
bool NachatStrojku() {
    pereklyuchit = true;
    return zyt::Kachat([] { return bStroitsja.load() && ZytKol(ZYT_ANTRAKT) >= 1; });
}

// A live navigator whose pictures go through the offscreen target.
class Pokaz : public zyt::ZhivojNavigator {
protected:
    void SetUp() override {
        ZhivojNavigator::SetUp();
        ZyVsPutPokaza(ZY_POKAZ_GDI);
    }
    void TearDown() override {
        ZytNastrojka()->vyzov = nullptr;
        ZyVsPutPokaza(ZY_POKAZ_AVTO);
    }
};

} // namespace

TEST_F(Pokaz, AViewMadeLargerShowsItsWholeNewClientArea) {
    // The view grows while it shows its scene, or while a new scene is built (the
    // intermission's frames then read the new size before any paint of the view does).
    const struct {
        const char* kogda;
        bool vStrojke;
    } sluchai[] = {{"while it shows its scene", false}, {"while a new scene is built", true}};
    for (const auto& sl : sluchai) {
        SCOPED_TRACE(sl.kogda);
        zyt::Chisto();
        zytest::Sobytie sobytie;
        if (sl.vStrojke) GotovitStrojku(sobytie);
        const zyt::Imena a("ZyTestScenaA.dll");
        SGL_SCENA_PARAM sp{a.Adresa(), 0};
        zyt::Hozjain host(640, 480);
        SGL_OKNO o{0, nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 200, 150};
        ZYKGLORVANTA2 nav;
        ASSERT_EQ(1u, nav.Pusk(host.okno, 1, &o, &sp));
        ZYKGLKONTROL& k = nav.controllers[0];
        ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_FINAL) >= 1; }));
        zytest::Snimok s = ZhdatCveta(zytest::KlientNaEkrane(k.hwnd), Zelenyj);
        ASSERT_TRUE(s.Est()) << s.oshibka;
        if (sl.vStrojke) {
            ASSERT_TRUE(NachatStrojku());
        }

        const unsigned long kadrov = ZytKol(ZYT_FINAL);
        SetWindowPos(k.hwnd, nullptr, 0, 0, 500, 380, SWP_NOMOVE | SWP_NOZORDER);
        if (sl.vStrojke) {
            // The second intermission frame journaled from now on began after the view grew.
            const unsigned long antraktov = ZytKol(ZYT_ANTRAKT);
            ASSERT_TRUE(zyt::Kachat([&] { return ZytKol(ZYT_ANTRAKT) >= antraktov + 2; }));
            sobytie.Vkl();
        }
        ASSERT_TRUE(zyt::Kachat([&] { return ZytKol(ZYT_FINAL) > kadrov; })) << "a new frame";
        const RECT v = zytest::KlientNaEkrane(k.hwnd);
        ASSERT_EQ(500, v.right - v.left);
        ASSERT_EQ(380, v.bottom - v.top);

        // That frame may be one that had begun at the old size (a paint still drawing when
        // the view grew); the paint of the new size follows it: look until it is there.
        s = ZhdatCveta(v, Zelenyj);
        EXPECT_EQ(500L * 380L, Skolko(s, v, Zelenyj)) << "the picture fills the new client area";
        RECT cel{};
        GetClientRect(WindowFromDC(k.KontekstDC), &cel);
        EXPECT_EQ(500, cel.right) << "the offscreen target follows the view";
        EXPECT_EQ(380, cel.bottom);
    }
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Pokaz, TheIntermissionReachesTheAuxiliaryWindowOnTheScreen) {
    zytest::Sobytie sobytie;
    GotovitStrojku(sobytie);
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp{a.Adresa(), 0};
    zyt::Hozjain host(400, 300);
    ZYKGLORVANTA2 nav;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
    ZYKGLKONTROL& k = nav.controllers[0];
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) >= 2; }));
    const RECT v = zytest::KlientNaEkrane(k.hwnd);

    ASSERT_TRUE(NachatStrojku());
    zytest::Snimok s = ZhdatCveta(v, Krasnyj);
    sobytie.Vkl();
    ASSERT_TRUE(s.Est()) << s.oshibka;
    EXPECT_TRUE(IsWindowVisible(k.desHwnd));
    const long vse = (v.right - v.left) * (v.bottom - v.top);
    EXPECT_EQ(vse, Skolko(s, v, Krasnyj)) << "the old scene's intermission covers the view";

    // Scene B built: the view shows frames again.
    ASSERT_TRUE(zyt::Kachat([&] { return !IsWindowVisible(k.desHwnd); }));
    s = ZhdatCveta(v, Zelenyj);
    EXPECT_EQ(vse, Skolko(s, v, Zelenyj)) << "the new scene's frame";
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}
