// The built-in scene: the clock and calendar angles, named lists built once per controller and
// fixed lists at every construction, the picture in the palette colours, the test objects'
// tones and transparency switch, and a single view following its resized host.
#include "ZyTestKontroler.h"
#include "ZyTestNavigatora.h"
#include "ZyUglyNach.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <set>

using namespace Quorvel;

namespace {

const char kTekst[] = "\xD2\xE5\xEA\xF1\xF2";
const char kKoordinaty[] = "6 \xCA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2";

// A copy of a text in memory the controller owns (and frees).
char* Kopija(const char* t) {
    char* k = new char[std::strlen(t) + 1];
    std::strcpy(k, t);
    return k;
}

// Puts the eye at `glaz`, looking at the origin with y up (the navigation frame's four points).
void Kamera(ZYKGLKONTROL& k, double x, double y, double z) {
    const double dl = std::sqrt(x * x + y * y + z * z);
    const double d[3] = {-x / dl, -y / dl, -z / dl};
    // Up: world y made perpendicular to the view direction; side: view direction x up.
    double u[3] = {-d[1] * d[0], 1 - d[1] * d[1], -d[1] * d[2]};
    const double ul = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
    for (double& c : u)
        c /= ul;
    const double s[3] = {d[1] * u[2] - d[2] * u[1], d[2] * u[0] - d[0] * u[2],
                         d[0] * u[1] - d[1] * u[0]};
    k.PozNav[0] = {x, y, z};
    k.PozNav[1] = {x + 1000 * d[0], y + 1000 * d[1], z + 1000 * d[2]};
    k.PozNav[2] = {x + 1000 * u[0], y + 1000 * u[1], z + 1000 * u[2]};
    k.PozNav[3] = {x + 1000 * s[0], y + 1000 * s[1], z + 1000 * s[2]};
    for (int i = 0; i < 4; ++i)
        k.PozNavVid[i] = k.PozNav[i];
}

// The built-in scene on a controller of the test thread with a 400 x 300 window.
class ScenaNach : public zytest::KontrolerNaOkne {
protected:
    void SetUp() override {
        KontrolerNaOkne::SetUp();
        SetWindowPos(k->hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
        const char adres[] = "ZyKGLOrvanta2.dll\\ZyGLScenaNach1";
        ASSERT_EQ(1u, k->ZagryzitFynkciu(adres, 1));
        k->Fynkcii[0].imja = Kopija(adres);
        ASSERT_EQ(1, ZyGLScenaNach1(k.get()));
        k->VzDCFormat(&k->FormatPikselej);
    }
    void TearDown() override {
        MSG m = Soob(WM_DESTROY);
        WMDestroy(&m);
        wglMakeCurrent(nullptr, nullptr);
    }
    // The message an object handler receives.
    MSG Obj(UINT soob, WPARAM w = 0, LPARAM l = 0) const {
        MSG m = Soob(soob);
        m.wParam = w;
        m.lParam = l;
        return m;
    }
};

} // namespace

TEST(UglyNach, CalendarAndClockAnglesFollowTheDateAndTime) {
    const struct {
        int mesjac, den;
        double ugol;
    } daty[] = {{1, 1, 1}, {12, 31, 361}, {2, 1, 31}, {6, 15, 165}, {0, 5, 5}};
    for (const auto& d : daty)
        EXPECT_EQ(d.ugol, ZyUgolKalendarja(d.mesjac, d.den)) << d.mesjac << "/" << d.den;
    const struct {
        int chas, minuta;
        double ugol;
    } vremena[] = {{0, 0, 0}, {0, 1, 0.5}, {1, 0, 30}, {12, 0, 360}, {23, 59, 719.5}};
    for (const auto& v : vremena)
        EXPECT_EQ(v.ugol, ZyUgolChasa(v.chas, v.minuta)) << v.chas << ":" << v.minuta;
    EXPECT_EQ(6.0, ZyUgolMinuty(1));
    EXPECT_EQ(354.0, ZyUgolMinuty(59));
    EXPECT_EQ(6.0, ZyUgolSekundy(1));
    EXPECT_EQ(354.0, ZyUgolSekundy(59));
}

TEST_F(ScenaNach, NamedListsAreBuiltOnceFixedListsEveryTime) {
    EXPECT_EQ(1, k->VzSpisokS(kTekst)) << "256 character lists first";
    EXPECT_EQ(257, k->VzSpisokS(kKoordinaty)) << "then the six half-axes";
    EXPECT_TRUE(glIsList(1 + 'Q')) << "the font's characters";
    for (GLuint n : {257u, 262u, 1005u, 1001u, 1004u, 1012u, 1003u, 1002u})
        EXPECT_TRUE(glIsList(n)) << "list " << n;
    EXPECT_STREQ("Quorvel\x99, RU, KZ", k->TekstPauzy);
    EXPECT_EQ(0xFF000000ul, k->KlyuchevojCvet);
    EXPECT_EQ(1u, k->VzKolVklNav(ZYM_RODITEL, 0xFFFFFFFE)) << "the parent's moves, followed";

    glDeleteLists(1001, 1);
    // List 2 is the font's character 1 (here a stand-in): no fixed list may take its number.
    glNewList(2, GL_COMPILE);
    glLineWidth(7);
    glEndList();
    for (int i = 0; i < 3; ++i) // constructions after returns to the scene
        ASSERT_EQ(1, ZyGLScenaNach1(k.get()));
    EXPECT_EQ(1, k->VzSpisokS(kTekst)) << "fetched, not built again";
    EXPECT_EQ(257, k->VzSpisokS(kKoordinaty));
    EXPECT_EQ(0, k->GenSpisokS(1, "novyj")) << "the generation stays finished";
    EXPECT_TRUE(glIsList(1001)) << "fixed lists are compiled again";
    glLineWidth(1);
    glCallList(2);
    GLfloat shirina = 0;
    glGetFloatv(GL_LINE_WIDTH, &shirina);
    EXPECT_EQ(7.0f, shirina) << "list 2 untouched";
    glLineWidth(1);
    EXPECT_EQ(1u, k->VzKolVklNav(ZYM_RODITEL, 0xFFFFFFFE)) << "subscribed once per controller";
}

TEST_F(ScenaNach, ThePictureHasEveryPaletteColourOfTheScene) {
    // The scene also shown by a second controller whose list numbers differ (another scene
    // took numbers there first): each window keeps its own font and axis lists.
    {
        zytest::Okno okno2;
        ZYKGLKONTROL k2;
        k2.hwnd = okno2.hwnd();
        k2.threadId = GetCurrentThreadId();
        ASSERT_EQ(1u, k2.ZagryzitFynkciu("ZyKGLOrvanta2.dll\\ZyGLScenaNach1", 1));
        k2.Fynkcii[0].imja = Kopija("Drugaja.dll\\Konstr");
        ASSERT_EQ(1, k2.VsDCFormat(nullptr));
        EXPECT_EQ(1, k2.GenSpisokS(100, "Drugie"));
        delete[] k2.Fynkcii[0].imja;
        k2.Fynkcii[0].imja = Kopija("ZyKGLOrvanta2.dll\\ZyGLScenaNach1");
        ASSERT_EQ(1u, k2.ZagryzitFynkciu(k2.Fynkcii[0].imja, 1));
        ASSERT_EQ(1, ZyGLScenaNach1(&k2));
        EXPECT_EQ(357, k2.VzSpisokS(kKoordinaty));
        MSG m = {};
        m.hwnd = reinterpret_cast<HWND>(&k2);
        m.message = WM_DESTROY;
        WMDestroy(&m);
        ASSERT_TRUE(wglMakeCurrent(k->KontekstDC, k->KontekstGL));
    }
    Kamera(*k, 0, 20, 30); // far enough for the month marker in any month
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    k->Flagi.Vkl(ZYBIT_VIEWPORT, ZYBIT_VIEWPORT);
    k->PozicijaNabludenija(nullptr);
    ZyGLScenaNach3(k.get());
    glFinish();
    RECT c{};
    GetClientRect(k->hwnd, &c);
    std::vector<unsigned char> px(static_cast<size_t>(c.right) * c.bottom * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, c.right, c.bottom, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    std::set<COLORREF> est;
    for (size_t i = 0; i < px.size(); i += 4)
        est.insert(RGB(px[i], px[i + 1], px[i + 2]));
    for (unsigned char n : {8, 10, 30, 50, 90, 130, 170, 210}) {
        PALETTEENTRY e{};
        ASSERT_EQ(1u, GetPaletteEntries(k->Palitra, n, 1, &e));
        EXPECT_TRUE(est.count(RGB(e.peRed, e.peGreen, e.peBlue)))
            << "colour number " << int(n) << " is drawn";
    }
}

TEST_F(ScenaNach, TestObjectsSoundAndTheYearDiskSwitchesTransparency) {
    zyt::ZapisTonov tony;
    MSG f2 = Obj(WM_KEYDOWN, VK_F2);
    k->PuskObjSoob(0x2222, f2);
    EXPECT_TRUE(zyt::EstTon(440, 100));
    EXPECT_TRUE(zyt::EstTon(640, 100));
    EXPECT_FALSE(zyt::EstTon(840, 100)) << "two tones for the year disk";
    MSG f4 = Obj(WM_KEYDOWN, VK_F4);
    k->PuskObjSoob(0x4444, f4);
    EXPECT_TRUE(zyt::EstTon(1040, 100)) << "four for the hour hand";

    MSG fokus = Obj(0x403, 0, 0x3333);
    k->PuskObjSoob(0x3333, fokus);
    for (unsigned long hz : {1000ul, 1500ul, 2000ul})
        EXPECT_TRUE(zyt::EstTon(hz, 50)) << hz;
    EXPECT_TRUE(zyt::EstTon(4500, 100));

    // Every click on the year disk switches transparency: on, off, on.
    MSG klik = Obj(WM_LBUTTONDOWN);
    const bool ozhidaetsja[3] = {true, false, true};
    for (bool vkl : ozhidaetsja) {
        k->PuskObjSoob(0x2222, klik);
        EXPECT_EQ(vkl, Bit(ZYBIT_PROZRACHNO));
    }
}

TEST(ScenaNachZhivaja, ASingleViewFollowsItsHostAViewOfFourDoesNot) {
    for (unsigned long okon : {1ul, 4ul}) {
        SCOPED_TRACE(testing::Message() << okon << " views");
        zyt::Chisto();
        zyt::Hozjain host(300, 200);
        ZYKGLORVANTA2 nav;
        ASSERT_EQ(1u, nav.Pusk(host.okno, okon, nullptr, nullptr));
        HWND v = nav.controllers[0].hwnd;
        RECT do_{};
        GetWindowRect(v, &do_);
        ASSERT_TRUE(zyt::Kachat(
            [&] { return nav.controllers[0].Flagi.Test(ZYBIT_KONTEKST, ZYBIT_KONTEKST); }));
        SetWindowPos(host.okno, nullptr, 0, 0, 420, 330,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r{};
        if (okon == 1) {
            EXPECT_TRUE(zyt::Kachat([&] {
                GetWindowRect(v, &r);
                return r.right - r.left == 420 && r.bottom - r.top == 330;
            })) << "the view fills the host's client area";
        } else {
            zytest::KachatVremja(300);
            GetWindowRect(v, &r);
            EXPECT_EQ(do_.right - do_.left, r.right - r.left);
            EXPECT_EQ(do_.bottom - do_.top, r.bottom - r.top);
        }
    }
}
