// The controller's frame loop, live: the period of continuous animation, frames stopped by the
// pause and mouse-rest flags, queued paints folded into one, and no processor time while idle.
#include "ZyTestNavigatora.h"
#include "ZyTestVremja.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

using namespace Quorvel;

namespace {

// A navigator with one view of scene A in a host window.
struct Vid {
    zyt::Hozjain host{320, 240};
    ZYKGLORVANTA2 nav;
    ZYKGLKONTROL* k = nullptr;
    Vid() {
        const zyt::Imena a("ZyTestScenaA.dll");
        SGL_SCENA_PARAM sp{a.Adresa(), 0};
        if (nav.Pusk(host.okno, 1, nullptr, &sp)) k = &nav.controllers[0];
    }
};

std::atomic<long> fpsKonstr{-1};
// Sets the frame rate (0 included) from the constructor.
void VsFps(int fyn, ZYKGLKONTROL* k) {
    if (fyn == ZYT_KONSTR && fpsKonstr >= 0) k->fps = static_cast<unsigned short>(fpsKonstr);
}

class Kadr : public zyt::ZhivojNavigator {
protected:
    void SetUp() override {
        ZhivojNavigator::SetUp();
        fpsKonstr = -1;
    }
};

} // namespace

TEST_F(Kadr, ContinuousAnimationKeepsThePeriodOfTheFrameRate) {
    struct Sluchaj {
        long fps;
        double period;
    } const sluchai[] = {{25, 40.0}, {0, 40.0}, {50, 20.0}};
    for (const Sluchaj& s : sluchai) {
        zyt::Chisto();
        ZytNastrojka()->flagKonstr = ZYBIT_ANIMACIJA;
        ZytNastrojka()->vyzov = VsFps;
        fpsKonstr = s.fps;
        Vid v;
        ASSERT_NE(nullptr, v.k);
        ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) >= 40; }, 20000)) << s.fps;
        const auto pokaz = zyt::Zapisi(ZYT_POKAZ);
        std::vector<double> intervaly;
        for (size_t i = 6; i < pokaz.size(); ++i) // after the first paints
            intervaly.push_back((pokaz[i].mks - pokaz[i - 1].mks) / 1000.0);
        const double srednee =
            std::accumulate(intervaly.begin(), intervaly.end(), 0.0) / intervaly.size();
        EXPECT_GT(srednee, s.period - 3.0) << "fps " << s.fps;
        EXPECT_LT(srednee, s.period + 8.0) << "fps " << s.fps;
        for (const ZYT_ZAPIS& z : pokaz)
            EXPECT_EQ(v.k->threadId, z.potok);
        // Every frame ends with the end-of-frame function, in order.
        const auto vse = zyt::Zapisi();
        int otkryto = 0;
        for (const ZYT_ZAPIS& z : vse) {
            if (z.fyn == ZYT_POKAZ) {
                EXPECT_EQ(0, otkryto) << "frame without its end";
                ++otkryto;
            }
            if (z.fyn == ZYT_FINAL) otkryto = 0;
        }
    }
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Kadr, PauseAndMouseRestStopTheFrames) {
    for (long flag : {long(ZYBIT_PAUZA), long(ZYBIT_TAJMER_MYSHI)}) {
        zyt::Chisto();
        ZYT_NASTROJKA& n = *ZytNastrojka();
        n.flagKonstr = ZYBIT_ANIMACIJA;
        n.pokazovDoFlaga = 5;
        n.flagPosle = flag;
        Vid v;
        ASSERT_NE(nullptr, v.k);
        ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_POKAZ) >= 5; })) << "flag " << flag;
        const double cpu = zytest::VremjaPotoka(v.k->thread);
        zytest::KachatVremja(500);
        EXPECT_EQ(5u, ZytKol(ZYT_POKAZ)) << "flag " << flag << " stops the frames";
        EXPECT_TRUE(v.k->Flagi.Test(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA));
        EXPECT_LT(zytest::VremjaPotoka(v.k->thread) - cpu, 20.0)
            << "flag " << flag << ": idle, no spin";
    }
}

namespace {
std::atomic<bool> zaderzhat{false};
HANDLE otpustit = CreateEventA(nullptr, TRUE, FALSE, nullptr);
// Holds one frame until the test has queued its paints.
void Zaderzhat(int fyn, ZYKGLKONTROL*) {
    if (fyn == ZYT_POKAZ && zaderzhat.exchange(false)) WaitForSingleObject(otpustit, 5000);
}
} // namespace

TEST_F(Kadr, QueuedPaintsAreFoldedIntoOne) {
    ZytNastrojka()->vyzov = Zaderzhat;
    Vid v;
    ASSERT_NE(nullptr, v.k);
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_FINAL) >= 1; }));
    zytest::KachatVremja(200); // the first paints of the window are over
    const unsigned long byl = ZytKol(ZYT_POKAZ);
    ResetEvent(otpustit);
    zaderzhat = true;
    ASSERT_TRUE(PostThreadMessageA(v.k->threadId, WM_PAINT, 0, 0));
    ASSERT_TRUE(zyt::Kachat([&] { return ZytKol(ZYT_POKAZ) == byl + 1; })); // now held
    for (int i = 0; i < 20; ++i)
        PostThreadMessageA(v.k->threadId, WM_PAINT, 0, 0);
    SetEvent(otpustit);
    zytest::KachatVremja(400);
    EXPECT_EQ(byl + 2, ZytKol(ZYT_POKAZ)) << "twenty queued paints, one frame";
}

TEST_F(Kadr, IdleControllerUsesNoProcessorTime) {
    Vid v;
    ASSERT_NE(nullptr, v.k);
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_FINAL) >= 1; }));
    zytest::KachatVremja(200);
    const unsigned long kadrov = ZytKol(ZYT_POKAZ);
    const double cpu = zytest::VremjaPotoka(v.k->thread);
    const double cpuAntrakt = zytest::VremjaPotoka(v.k->PotokAntrakta);
    zytest::KachatVremja(1000);
    EXPECT_LT(zytest::VremjaPotoka(v.k->thread) - cpu, 5.0);
    EXPECT_LT(zytest::VremjaPotoka(v.k->PotokAntrakta) - cpuAntrakt, 5.0);
    EXPECT_EQ(kadrov, ZytKol(ZYT_POKAZ)) << "no frames without a reason";
}
