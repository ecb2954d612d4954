// Dispatch on a live controller: a navigator with one view window runs the test scene; the
// tests subscribe handlers on the controller thread, post messages to it and compare the
// journal of calls with the expected sequence.
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestRaznica.h"
#include "ZyTestScenaDispatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

// ---- Journal -------------------------------------------------------------------------------

std::mutex zamok;
std::vector<std::string> zapisi;
bool zapisyvat = false;

void VZhurnal(const std::string& s) {
    std::lock_guard<std::mutex> l(zamok);
    if (zapisyvat) zapisi.push_back(s);
}

// Starts a fresh journal.
void Nachat() {
    std::lock_guard<std::mutex> l(zamok);
    zapisi.clear();
    zapisyvat = true;
}

// Ends the journal and returns it.
std::vector<std::string> Konec() {
    std::lock_guard<std::mutex> l(zamok);
    zapisyvat = false;
    return zapisi;
}

std::string Hex(unsigned long v) {
    char s[16];
    std::snprintf(s, sizeof s, "%lx", v);
    return s;
}

// The journal is `gruppa` repeated at least once (the window system may add paints of its
// own while a test records).
::testing::AssertionResult Povtorenija(const std::vector<std::string>& gruppa,
                                       const std::vector<std::string>& est) {
    bool ok = !est.empty() && est.size() % gruppa.size() == 0;
    for (std::size_t i = 0; ok && i < est.size(); ++i)
        ok = est[i] == gruppa[i % gruppa.size()];
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Raznica(gruppa, est);
}

// ---- Handlers of the tests ------------------------------------------------------------------

int NavA5(MSG*) {
    VZhurnal("nav A 5");
    return 1;
}
int NavB5(MSG*) {
    VZhurnal("nav B 5");
    return 1;
}
int NavFE(MSG*) {
    VZhurnal("nav FE");
    return 0; // counted all the same
}
int Nav10(MSG*) {
    VZhurnal("nav 10");
    return 1;
}
int NavSoob(MSG* m) {
    VZhurnal("nav " + Hex(m->message));
    return 1;
}
int ObjA(MSG* m) {
    VZhurnal("objA " + Hex(m->message));
    return 1;
}
int ObjB(MSG* m) {
    VZhurnal("objB " + Hex(m->message));
    return 1;
}
int ObjC(MSG* m) {
    VZhurnal("objC " + Hex(m->message));
    return 1;
}
// Focus notifications: message, wParam, lParam and the focus as the handler sees it.
std::string Fokys(const char* kto, MSG* m) {
    auto* k = reinterpret_cast<ZYKGLKONTROL*>(m->hwnd);
    return std::string(kto) + " " + Hex(m->message) +
           " w=" + Hex(static_cast<unsigned long>(m->wParam)) +
           " l=" + Hex(static_cast<unsigned long>(m->lParam)) + " f=" + Hex(k->VzFokys());
}
int FokysA(MSG* m) {
    VZhurnal(Fokys("A", m));
    return 1;
}
int FokysB(MSG* m) {
    VZhurnal(Fokys("B", m));
    return 1;
}

HANDLE pokojSobytie = nullptr;
int Pokoj(MSG* m) {
    VZhurnal("pokoj " + Hex(m->message));
    SetEvent(pokojSobytie);
    return 1;
}

// Frame ticks and other tones, with the thread that sounded them.
void Ton(unsigned long chastota, unsigned long dlitelnost) {
    VZhurnal("ton " + std::to_string(chastota) + " " + std::to_string(dlitelnost));
}

} // namespace

// The journal of the test scene module (found by name in this program).
extern "C" __declspec(dllexport) void ZyTestZhurnal(const char* zapis) {
    VZhurnal(zapis);
}

namespace {

// ---- The live navigator ---------------------------------------------------------------------

class Dispatch : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // The cursor far from the windows, so that the window system adds no mouse messages.
        SetCursorPos(1000, 740);
        pokojSobytie = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        roditel = new zytest::Okno(0, 0, 320, 220, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        nav = new ZYKGLORVANTA2();
        SGL_SCENA_PARAM scena = {
            {"ZyTestScenaDispatch.dll\\TsKonstr", "ZyTestScenaDispatch.dll\\TsAntrakt",
             "ZyTestScenaDispatch.dll\\TsPokaz", "ZyTestScenaDispatch.dll\\TsFinal"},
            0};
        pusk = nav->Pusk(roditel->hwnd(), 1, nullptr, &scena);
        ZyVsNabljudatelZvuka(Ton);
        // Mouse rest stays off unless a test turns it on.
        if (pusk) Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->mouseRestDelay = 0; });
    }
    static void TearDownTestSuite() {
        ZyVsNabljudatelZvuka(nullptr);
        delete roditel; // destroys the view window: its controller thread ends
        if (nav && nav->controllers && nav->controllers[0].thread)
            zytest::Zhdat(nav->controllers[0].thread, 10000);
        delete nav;
        nav = nullptr;
        roditel = nullptr;
        CloseHandle(pokojSobytie);
    }
    void SetUp() override { ASSERT_EQ(1u, pusk) << "the navigator did not start"; }

    static ZYKGLKONTROL& K() { return nav->controllers[0]; }

    // Runs fn(controller, arg) on the controller thread and waits (bounded) until it ran.
    // klavishej: sends it as a key, which passes the pause gate.
    static bool Vypolnit(void (*fn)(ZYKGLKONTROL*, void*), void* arg = nullptr,
                         bool klavishej = false) {
        zytest::Sobytie gotovo;
        ZyTestZadacha z = {fn, arg, gotovo.h()};
        const UINT soob = klavishej ? WM_KEYDOWN : ZYT_VYPOLNIT;
        const WPARAM w = klavishej ? ZYT_KLAVISHA : 0;
        if (!PostThreadMessageA(K().threadId, soob, w, reinterpret_cast<LPARAM>(&z))) return false;
        return zytest::Zhdat(gotovo.h(), 10000);
    }
    // Posts a message to the controller thread.
    static void Poslat(UINT soob, WPARAM w = 0, LPARAM l = 0) {
        ASSERT_TRUE(PostThreadMessageA(K().threadId, soob, w, l));
    }
    // Everything posted so far has been handled.
    static void Dozhdatsja() { ASSERT_TRUE(Vypolnit(nullptr)); }

    static std::string Ton900() { return "ton " + std::to_string(900 + 2 * K().threadId) + " 5"; }

    static zytest::Okno* roditel;
    static ZYKGLORVANTA2* nav;
    static unsigned long pusk;
};

zytest::Okno* Dispatch::roditel = nullptr;
ZYKGLORVANTA2* Dispatch::nav = nullptr;
unsigned long Dispatch::pusk = 0;

constexpr UINT kSvoe2 = WM_APP + 2, kSvoe3 = WM_APP + 3, kSvoe4 = WM_APP + 4, kSvoe5 = WM_APP + 5,
               kSvoe6 = WM_APP + 6;

// Path of a file in the test's working directory.
std::string VRabochem(const std::string& imja) {
    return zytest::TekushchajaPapka() + "\\" + imja;
}

// The test scene module next to this program.
std::string ModulScenw() {
    return zytest::PapkaProgrammy() + "\\ZyTestScenaDispatch.dll";
}

} // namespace

TEST_F(Dispatch, MainThenNavigationHandlersByKeyInAddingOrder) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_SOOB_iFYN_P a[] = {{WM_PAINT, NavA5, 5}};
        ZYS_SOOB_iFYN fe[] = {{WM_PAINT, NavFE}};
        ZYS_SOOB_iFYN_P b[] = {{WM_PAINT, NavB5, 5}};
        k->vklNav(a, 1);
        k->vklNav(fe, 1);
        k->vklNav(b, 1);
    }));
    Nachat();
    Poslat(WM_PAINT);
    Dozhdatsja();
    const auto est = Konec();
    // WMPaint (the scene's frame and end of frame, the tick), then key 5 twice, then the rest.
    EXPECT_TRUE(Povtorenija({"pokaz", "final", Ton900(), "nav A 5", "nav B 5", "nav FE"}, est));
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->vwklNav(WM_PAINT, 0xFFFFFFFF); }));
}

TEST_F(Dispatch, SubscriptionsCountAndRemoveByKey) {
    struct Itog {
        unsigned long vse, k5, kFE, nikogda, posle5, bez7, posle7, vseUdaleny, pusto, snova, soob,
            soobPosle, soobSnova;
    } itog = {};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            auto& r = *static_cast<Itog*>(arg);
            ZYS_SOOB_iFYN_P p[] = {{kSvoe5, Nav10, 10}, {kSvoe5, NavA5, 5}};
            ZYS_SOOB_iFYN plain[] = {{kSvoe5, NavFE}};
            k->vklNav(p, 2);
            k->vklNav(plain, 1);
            r.vse = k->VzKolVklNav(kSvoe5, 0xFFFFFFFF);
            r.k5 = k->VzKolVklNav(kSvoe5, 5);
            r.kFE = k->VzKolVklNav(kSvoe5, 0xFFFFFFFE);
            r.nikogda = k->VzKolVklNav(kSvoe6, 0xFFFFFFFF);
        },
        &itog));
    EXPECT_EQ(3u, itog.vse);
    EXPECT_EQ(1u, itog.k5);
    EXPECT_EQ(1u, itog.kFE);
    EXPECT_EQ(0xFFFFFFFFu, itog.nikogda);

    Nachat();
    Poslat(kSvoe5);
    Dozhdatsja();
    auto est = Konec();
    std::vector<std::string> ozhidaem = {"nav A 5", "nav 10", "nav FE"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);

    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            auto& r = *static_cast<Itog*>(arg);
            r.k5 = k->vwklNav(kSvoe5, 5);
            r.posle5 = k->VzKolVklNav(kSvoe5, 0xFFFFFFFF);
            r.bez7 = k->vwklNav(kSvoe5, 7); // no record with key 7
            r.posle7 = k->VzKolVklNav(kSvoe5, 0xFFFFFFFF);
            r.vseUdaleny = k->vwklNav(kSvoe5, 0xFFFFFFFF);
            r.pusto = k->VzKolVklNav(kSvoe5, 0xFFFFFFFF);
            r.snova = k->vwklNav(kSvoe5, 0xFFFFFFFF);
            r.soob = k->vwklSoob(kSvoe5);
            r.soobPosle = k->VzKolVklNav(kSvoe5, 0xFFFFFFFF);
            r.soobSnova = k->vwklSoob(kSvoe5);
        },
        &itog));
    EXPECT_EQ(1u, itog.k5);
    EXPECT_EQ(2u, itog.posle5);
    EXPECT_EQ(1u, itog.bez7);
    EXPECT_EQ(2u, itog.posle7);
    EXPECT_EQ(1u, itog.vseUdaleny);
    EXPECT_EQ(0u, itog.pusto) << "the entry stays";
    EXPECT_EQ(0u, itog.snova) << "nothing left to remove";
    EXPECT_EQ(1u, itog.soob);
    EXPECT_EQ(0xFFFFFFFFu, itog.soobPosle) << "the entry is gone";
    EXPECT_EQ(0u, itog.soobSnova);
}

TEST_F(Dispatch, SameHandlerTwiceRunsTwiceAndRemovedEntryReachesNothing) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_SOOB_iFYN z[] = {{kSvoe6, NavSoob}, {kSvoe6, NavSoob}};
        k->vklNav(z, 2);
        ZYS_OBJ_SOOB_iFYN o[] = {{0x7777, kSvoe6, ObjA}};
        k->VklObjSoob(o, 1);
    }));
    Nachat();
    Poslat(kSvoe6);
    Dozhdatsja();
    auto est = Konec();
    std::vector<std::string> ozhidaem = {"nav " + Hex(kSvoe6), "nav " + Hex(kSvoe6),
                                         "objA " + Hex(kSvoe6)};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);

    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->vwklSoob(kSvoe6); }));
    Nachat();
    Poslat(kSvoe6);
    Dozhdatsja();
    est = Konec();
    EXPECT_TRUE(est.empty()) << Raznica({}, est);
}

TEST_F(Dispatch, PauseLetsOnlyKeysAndPaintsThrough) {
    struct Itog {
        bool tajmer;
    } itog = {true};
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_SOOB_iFYN_P z[] = {{WM_MOUSEMOVE, NavSoob, 67},
                               {kSvoe2, NavSoob, 67},
                               {WM_PAINT, NavSoob, 67},
                               {WM_KEYDOWN, NavSoob, 67}};
        k->vklNav(z, 4);
        k->mouseRestDelay = 1000; // WMMouseMove would arm the timer if it ran
        k->Flagi.Vkl(ZYBIT_PAUZA, ZYBIT_PAUZA);
    }));
    Nachat();
    Poslat(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    Poslat(kSvoe2);
    Poslat(WM_PAINT);
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            static_cast<Itog*>(arg)->tajmer = k->Flagi.Test(ZYBIT_TAJMER_MYSHI, ZYBIT_TAJMER_MYSHI);
            k->Flagi.Vwkl(ZYBIT_PAUZA, ZYBIT_PAUZA);
            k->mouseRestDelay = 0;
            for (UINT m : {UINT(WM_MOUSEMOVE), kSvoe2, UINT(WM_PAINT), UINT(WM_KEYDOWN)})
                k->vwklNav(m, 67);
        },
        &itog, true));
    const auto est = Konec();
    // The paint only swaps and shows the pause (no frame, no tick); the key reaches its
    // handlers; the mouse move and the other message reach nothing.
    const std::vector<std::string> ozhidaem = {"nav f", "nav 100"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
    EXPECT_FALSE(itog.tajmer) << "WMMouseMove did not run";
}

TEST_F(Dispatch, NamedHandlersLoadTheirModuleOnFirstUse) {
    const std::string kat = VRabochem("kat alog");
    CreateDirectoryA(kat.c_str(), nullptr);
    CreateDirectoryA((kat + "\\vnutri").c_str(), nullptr);
    const std::string kopija = kat + "\\vnutri\\kopija.dll";
    const std::string bezFunkcii = kat + "\\kopija2.dll";
    const std::string pozdnij = kat + "\\pozdnij.dll";
    ASSERT_TRUE(CopyFileA(ModulScenw().c_str(), kopija.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(ModulScenw().c_str(), bezFunkcii.c_str(), FALSE));
    DeleteFileA(pozdnij.c_str());

    static std::string imena[5];
    imena[0] = "ZyTestScenaDispatch.dll\\TsImenovannyj";
    imena[1] = kopija + "\\TsImenovannyj"; // a path with directories and a blank
    imena[2] = "TsImenovannyj";            // no backslash: never called
    imena[3] = bezFunkcii + "\\NetTakojFunkcii";
    imena[4] = pozdnij + "\\TsImenovannyj"; // the module appears later
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        for (const std::string& i : imena) {
            ZYS_SOOB_snFYN_P z = {kSvoe3, i.c_str(), 3};
            k->vklNav(&z, 1);
        }
        ZYS_SOOB_snFYN z = {kSvoe3, "ZyTestScenaDispatch.dll"}; // a module name alone: never called
        k->vklNav(&z, 1);
    }));
    Nachat();
    Poslat(kSvoe3);
    Dozhdatsja();
    auto est = Konec();
    std::vector<std::string> ozhidaem = {"imenovannyj ZyTestScenaDispatch.dll",
                                         "imenovannyj kopija.dll"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
    EXPECT_NE(nullptr, GetModuleHandleA(kopija.c_str())) << "stays loaded with its record";
    EXPECT_EQ(nullptr, GetModuleHandleA(bezFunkcii.c_str()))
        << "a module without the function is released at once";

    // The missing module is tried again at the next message.
    ASSERT_TRUE(CopyFileA(ModulScenw().c_str(), pozdnij.c_str(), FALSE));
    Nachat();
    Poslat(kSvoe3);
    Dozhdatsja();
    est = Konec();
    ozhidaem.push_back("imenovannyj pozdnij.dll");
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);

    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) { k->vwklSoob(kSvoe3); }));
    EXPECT_EQ(nullptr, GetModuleHandleA(kopija.c_str())) << "released with its record";
    EXPECT_EQ(nullptr, GetModuleHandleA(pozdnij.c_str()));
}

TEST_F(Dispatch, OtherMessagesReachEveryObjectInNameOrder) {
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_OBJ_SOOB_iFYN o[] = {{0x3333, kSvoe4, ObjB},
                                 {0x2222, kSvoe4, ObjA},
                                 {0x2222, kSvoe4, ObjC}, // a second handler is dropped
                                 {0x3333, WM_SETFOCUS, ObjB},
                                 {0x2222, WM_SETFOCUS, ObjA}};
        k->VklObjSoob(o, 5);
        ZYS_SOOB_iFYN_P n[] = {{kSvoe4, NavSoob, 4}, {WM_SETFOCUS, NavSoob, 4}};
        k->vklNav(n, 2);
    }));
    Nachat();
    Poslat(kSvoe4);
    Poslat(WM_SETFOCUS);
    Dozhdatsja();
    const auto est = Konec();
    const std::vector<std::string> ozhidaem = {"nav " + Hex(kSvoe4),
                                               "objA " + Hex(kSvoe4),
                                               "objB " + Hex(kSvoe4),
                                               "nav 7",
                                               "objA 7",
                                               "objB 7"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);

    struct Itog {
        unsigned long vse, snova, nol, b;
    } itog = {};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            auto& r = *static_cast<Itog*>(arg);
            r.vse = k->VwklObjSoob(0x2222, 0);
            r.snova = k->VwklObjSoob(0x2222, kSvoe4);
            r.nol = k->VwklObjSoob(0, kSvoe4);
            r.b = k->VwklObjSoob(0x3333, kSvoe4);
            k->VwklObjSoob(0x3333, 0);
            k->vwklNav(kSvoe4, 4);
            k->vwklNav(WM_SETFOCUS, 4);
        },
        &itog));
    EXPECT_EQ(2u, itog.vse) << "both messages of the object";
    EXPECT_EQ(0u, itog.snova);
    EXPECT_EQ(0u, itog.nol);
    EXPECT_EQ(1u, itog.b);
}

TEST_F(Dispatch, FocusMovesNotifyBothObjectsAndAClickOnNothingRemovesIt) {
    struct Itog {
        unsigned long r1, r2, r3, posle;
    } itog = {};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            ZYS_OBJ_SOOB_iFYN o[] = {{0x2222, ZYM_FOKYS, FokysA},
                                     {0x2222, ZYM_NE_FOKYS, FokysA},
                                     {0x3333, ZYM_FOKYS, FokysB},
                                     {0x3333, ZYM_NE_FOKYS, FokysB}};
            k->VklObjSoob(o, 4);
            ZYS_SOOB_iFYN_P n[] = {{WM_LBUTTONDOWN, NavSoob, 9}};
            k->vklNav(n, 1);
            Nachat();
            auto& r = *static_cast<Itog*>(arg);
            r.r1 = k->VklFokys(0x2222);
            r.r2 = k->VklFokys(0x3333);
            r.r3 = k->VklFokys(0x3333);
        },
        &itog));
    auto est = Konec();
    std::vector<std::string> ozhidaem = {"A 403 w=0 l=2222 f=2222", "A 404 w=3333 l=2222 f=3333",
                                         "B 403 w=2222 l=3333 f=3333"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
    EXPECT_EQ(0u, itog.r1) << "there was no focus before";
    EXPECT_EQ(0x2222u, itog.r2);
    EXPECT_EQ(0u, itog.r3) << "unchanged";

    // The test scene draws no named objects: a click finds nothing and removes the focus
    // before the button's own handlers run.
    Nachat();
    Poslat(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            static_cast<Itog*>(arg)->posle = k->VzFokys();
            k->VwklObjSoob(0x2222, 0);
            k->VwklObjSoob(0x3333, 0);
            k->vwklNav(WM_LBUTTONDOWN, 9);
        },
        &itog));
    est = Konec();
    ozhidaem = {"B 404 w=0 l=3333 f=0", "nav 201"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
    EXPECT_EQ(0u, itog.posle);
}

TEST_F(Dispatch, MouseRestIsNoticedOnceAfterTheDelay) {
    constexpr unsigned long kZaderzhka = 150;
    ASSERT_TRUE(Vypolnit(+[](ZYKGLKONTROL* k, void*) {
        ZYS_SOOB_iFYN_P n[] = {{ZYM_MYSH_POKOJ, Pokoj, 5}};
        k->vklNav(n, 1);
        ZYS_OBJ_SOOB_iFYN o[] = {{0x5555, ZYM_MYSH_POKOJ, ObjA}};
        k->VklObjSoob(o, 1);
        k->mouseRestDelay = kZaderzhka;
    }));
    ResetEvent(pokojSobytie);
    Nachat();
    const DWORD start = GetTickCount();
    for (int i = 0; i < 3; ++i) // each move restarts the delay
        Poslat(WM_MOUSEMOVE, 0, MAKELPARAM(20 + i, 20));
    ASSERT_TRUE(zytest::Zhdat(pokojSobytie, 5000)) << "0x405 within 5 s";
    const DWORD proshlo = GetTickCount() - start;
    EXPECT_FALSE(zytest::Zhdat(pokojSobytie, 4 * kZaderzhka)) << "only once";

    struct Itog {
        bool tajmer;
    } itog = {true};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            static_cast<Itog*>(arg)->tajmer = k->Flagi.Test(ZYBIT_TAJMER_MYSHI, ZYBIT_TAJMER_MYSHI);
            k->mouseRestDelay = 0;
            k->vwklNav(ZYM_MYSH_POKOJ, 5);
            k->VwklObjSoob(0x5555, 0);
        },
        &itog));
    const auto est = Konec();
    const std::vector<std::string> ozhidaem = {"pokoj 405", "objA 405"};
    EXPECT_EQ(ozhidaem, est) << Raznica(ozhidaem, est);
    EXPECT_GE(proshlo + 16, kZaderzhka) << "not before the delay (tick granularity)";
    EXPECT_FALSE(itog.tajmer) << "bit 66 cleared when the notice was posted";
}

TEST_F(Dispatch, MouseRestDelayZeroArmsNothing) {
    struct Itog {
        bool tajmer;
    } itog = {true};
    Poslat(WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            static_cast<Itog*>(arg)->tajmer = k->Flagi.Test(ZYBIT_TAJMER_MYSHI, ZYBIT_TAJMER_MYSHI);
        },
        &itog));
    EXPECT_FALSE(itog.tajmer);
}

// Last: the view window's end releases what the rendering context set up.
TEST_F(Dispatch, ZzDestroyReleasesPaletteFontAndContexts) {
    struct Itog {
        HPALETTE pal;
        HFONT font;
        HGLRC gl;
    } itog = {};
    ASSERT_TRUE(Vypolnit(
        +[](ZYKGLKONTROL* k, void* arg) {
            auto& r = *static_cast<Itog*>(arg);
            r.pal = k->Palitra;
            r.font = k->Shrift;
            r.gl = k->KontekstGL;
        },
        &itog));
    ASSERT_NE(nullptr, itog.pal);
    ASSERT_NE(nullptr, itog.font);
    ASSERT_NE(nullptr, itog.gl);
    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(itog.pal));

    DestroyWindow(roditel->hwnd());
    ASSERT_TRUE(zytest::Zhdat(K().thread, 10000)) << "the controller thread ends";
    EXPECT_EQ(0u, GetObjectType(itog.pal));
    EXPECT_EQ(0u, GetObjectType(itog.font));
    EXPECT_EQ(nullptr, K().KontekstGL);
    EXPECT_EQ(nullptr, K().KontekstDC);
    EXPECT_EQ(nullptr, K().Palitra);
    EXPECT_EQ(nullptr, K().Shrift);
    EXPECT_EQ(nullptr, K().hwnd);
    EXPECT_EQ(0, K().threadAlive);
    EXPECT_TRUE(K().Flagi.Test(ZYBIT_UNICHTOZHENO, ZYBIT_UNICHTOZHENO));
}
