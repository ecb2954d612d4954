// The engine's main handlers called directly on a controller whose window and rendering
// context belong to the test thread: the steps of a paint, the pause, the frame period, the
// focus loss and the mouse-rest timer.
#include "ZyKGLOrvanta2.h"
#include "ZyTakt.h"
#include "ZyTestKontroler.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestRaznica.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

std::vector<std::string> zhurnal;

// Journals a tone sounded on this thread.
void Ton(unsigned long chastota, unsigned long dlitelnost) {
    char s[64];
    std::snprintf(s, sizeof s, "ton %lu %lu", chastota, dlitelnost);
    zhurnal.push_back(s);
}

// Scene frame and end of frame: journal themselves and whether the viewport bit is set.
long Pokaz(ZYKGLKONTROL* k) {
    zhurnal.push_back(k->Flagi.Test(ZYBIT_VIEWPORT, ZYBIT_VIEWPORT) ? "pokaz vp" : "pokaz");
    return 1;
}
long Final(ZYKGLKONTROL* k) {
    zhurnal.push_back(k->Flagi.Test(ZYBIT_VIEWPORT, ZYBIT_VIEWPORT) ? "final vp" : "final");
    return 1;
}

// A controller with a rendering context; its frame and end-of-frame functions and its tones
// are journalled.
class Obrabotchiki : public zytest::KontrolerNaOkne {
protected:
    void SetUp() override {
        KontrolerNaOkne::SetUp();
        if (HasFatalFailure()) return;
        zhurnal.clear();
        k->threadAlive = 1;
        ASSERT_EQ(1, k->VsDCFormat(nullptr));
        k->Fynkcii[2].fyn = Pokaz;
        k->Fynkcii[3].fyn = Final;
        prezhnij = ZyVsNabljudatelZvuka(Ton);
    }
    void TearDown() override {
        ZyVsNabljudatelZvuka(prezhnij);
        if (!k) return;
        MSG m = Soob(WM_DESTROY);
        WMDestroy(&m);
    }
    // Turns flag `b` on.
    void Vkl(unsigned long b) { k->Flagi.Vkl(b, b); }
    // One paint through the engine's handler.
    void Paint() {
        MSG m = Soob(WM_PAINT);
        WMPaint(&m);
    }
    // The frame tick of this controller's thread, as journalled.
    std::string Ton900() const {
        char s[64];
        std::snprintf(s, sizeof s, "ton %lu 5", 900 + 2 * k->threadId);
        return s;
    }

    ZYF_ZVUK prezhnij = nullptr;
};

// A projection matrix no paint would load.
void MetkaProekcii() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScaled(7.0, 7.0, 7.0);
    glMatrixMode(GL_MODELVIEW);
}
bool MetkaNaMeste() {
    GLdouble p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    return p[0] == 7.0 && p[5] == 7.0 && p[10] == 7.0;
}

} // namespace

TEST_F(Obrabotchiki, PaintDrawsTheFrameThenSoundsTheTick) {
    MetkaProekcii();
    Paint();
    const std::vector<std::string> ozhidaem = {"pokaz vp", "final vp", Ton900()};
    EXPECT_EQ(ozhidaem, zhurnal) << Raznica(ozhidaem, zhurnal);
    EXPECT_FALSE(Bit(ZYBIT_VIEWPORT)) << "cleared after the frame";
    EXPECT_FALSE(MetkaNaMeste()) << "the point of observation was applied";
    RECT r;
    GetClientRect(okno.hwnd(), &r);
    EXPECT_TRUE(EqualRect(&r, &k->KlientRect)) << "the client rectangle is remembered";
}

TEST_F(Obrabotchiki, FramePeriodFollowsTheFrameRate) {
    ASSERT_NE(nullptr, k->Takt);
    const struct {
        unsigned short fps;
        unsigned long period;
    } sluchai[] = {{0, 40}, {25, 40}, {30, 33}, {1000, 1}, {7, 142}};
    for (const auto& s : sluchai) {
        k->fps = s.fps;
        k->Takt->period = 0; // no wait in this paint
        Paint();
        EXPECT_EQ(s.period, k->Takt->period) << "fps " << s.fps;
    }
}

TEST_F(Obrabotchiki, FirstPaintShowsTheWindow) {
    zytest::Okno skrytoe(0, 0, 64, 48, WS_OVERLAPPEDWINDOW);
    k->hwnd = skrytoe.hwnd();
    k->showCommand = SW_SHOWNOACTIVATE;
    Vkl(ZYBIT_POKAZAT);
    Paint();
    EXPECT_FALSE(Bit(ZYBIT_POKAZAT));
    EXPECT_TRUE(zytest::ZhdatPoka([&] { return IsWindowVisible(skrytoe.hwnd()) != FALSE; }, 2000))
        << "the asynchronous show is delivered by the queue";
    k->hwnd = okno.hwnd();
}

TEST_F(Obrabotchiki, PausedPaintOnlySwapsAndShowsThePause) {
    Vkl(ZYBIT_PAUZA);
    Vkl(ZYBIT_POKAZAT);
    k->Takt->period = 777;
    MetkaProekcii();
    Paint();
    EXPECT_TRUE(zhurnal.empty()) << Raznica({}, zhurnal);
    EXPECT_EQ(777u, k->Takt->period) << "no frame period while paused";
    EXPECT_TRUE(MetkaNaMeste()) << "no point of observation while paused";
    EXPECT_FALSE(Bit(ZYBIT_POKAZAT)) << "the window is shown even when paused";
    EXPECT_TRUE(Bit(ZYBIT_PAUZA));
}

TEST_F(Obrabotchiki, KeptTransparentPictureIsNotRedrawn) {
    GetClientRect(k->hwnd, &k->KlientRect); // same size: the paint keeps the shape
    Vkl(ZYBIT_PROZRACHNO);
    Vkl(ZYBIT_PROZRACHNO_EST);
    Paint();
    EXPECT_TRUE(zhurnal.empty()) << Raznica({}, zhurnal);
    MSG m = Soob(WM_KILLFOCUS);
    WMKillFocus(&m);
    EXPECT_FALSE(Bit(ZYBIT_PROZRACHNO_EST)) << "losing the focus ends the kept picture";
    EXPECT_TRUE(Bit(ZYBIT_PROZRACHNO));
    Paint();
    const std::vector<std::string> ozhidaem = {"pokaz vp", "final vp", Ton900()};
    EXPECT_EQ(ozhidaem, zhurnal) << Raznica(ozhidaem, zhurnal);
}

TEST_F(Obrabotchiki, FixedPointOfObservationIsNotMoved) {
    Vkl(ZYBIT_NE_DVIGAT);
    MetkaProekcii();
    Paint();
    EXPECT_TRUE(MetkaNaMeste());
    const std::vector<std::string> ozhidaem = {"pokaz vp", "final vp", Ton900()};
    EXPECT_EQ(ozhidaem, zhurnal) << Raznica(ozhidaem, zhurnal);
}

TEST_F(Obrabotchiki, PaintWithoutSceneStillTicks) {
    k->Fynkcii[2].fyn = nullptr;
    k->Fynkcii[3].fyn = nullptr;
    Paint();
    const std::vector<std::string> ozhidaem = {Ton900()};
    EXPECT_EQ(ozhidaem, zhurnal) << Raznica(ozhidaem, zhurnal);
}

TEST_F(Obrabotchiki, MouseMoveArmsTheRestTimerUnlessTheDelayIsZero) {
    k->mouseRestDelay = 0;
    MSG m = Soob(WM_MOUSEMOVE);
    WMMouseMove(&m);
    EXPECT_FALSE(Bit(ZYBIT_TAJMER_MYSHI));

    k->mouseRestDelay = 60;
    const DWORD start = GetTickCount();
    WMMouseMove(&m);
    EXPECT_TRUE(Bit(ZYBIT_TAJMER_MYSHI));
    // The timer belongs to this (the controller's) thread: its tick arrives in this queue.
    MSG t = {};
    bool tik = false;
    while (!tik && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_TIMER);
        tik = PeekMessageA(&t, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE) && t.hwnd == nullptr;
    }
    ASSERT_TRUE(tik) << "a thread timer of the controller thread";
    EXPECT_GE(GetTickCount() - start + 16, 60u) << "not before the delay (tick granularity)";

    MSG d = Soob(WM_DESTROY);
    WMDestroy(&d);
    EXPECT_FALSE(Bit(ZYBIT_TAJMER_MYSHI)) << "the window's end stops the timer";
}

TEST_F(Obrabotchiki, HandlersIgnoreAMissingController) {
    MSG m = {};
    m.message = WM_PAINT;
    EXPECT_EQ(0, WMPaint(nullptr));
    EXPECT_EQ(0, WMPaint(&m));
    EXPECT_EQ(0, WMDestroy(&m));
    EXPECT_EQ(0, WMMouseMove(&m));
    EXPECT_EQ(0, WMKillFocus(&m));
    EXPECT_EQ(0, WMSize(&m));
    EXPECT_EQ(0, WMSetFocus(&m));
    EXPECT_EQ(0, WMWindowPosChangedParentZyGL(&m));
    EXPECT_TRUE(zhurnal.empty());
}
