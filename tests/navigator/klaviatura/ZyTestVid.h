// Helper of the keyboard and object tests: a live navigator with one view window running the
// object test scene. Messages are posted to the view window and delivered by this (the window)
// thread, so they travel the real path: view-window procedure, controller thread, registry.
// The state is read on the controller thread once everything posted before was handled.
#ifndef ZYTESTVID_H
#define ZYTESTVID_H

#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestScenaObjekty.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace zytest {

// The controller's state at one moment.
struct Snimok {
    bool bit[Quorvel::ZY_KOL_FLAGOV];
    double skorost[6];
    double izm; // IzmSkorosti
    std::string tekst;
    Quorvel::TOCHKA3MDF poz[4];
    unsigned long fokys;
    std::vector<unsigned long> imena; // pickedNames
};

class Vid : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetCursorPos(1000, 740); // far from the windows: no mouse messages of the system's own
        roditel = new Okno(0, 0, 320, 240, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        nav = new Quorvel::ZYKGLORVANTA2();
        Quorvel::SGL_SCENA_PARAM s = {
            {"ZyTestScenaObjekty.dll\\TsoKonstr", "ZyTestScenaObjekty.dll\\TsoAntrakt",
             "ZyTestScenaObjekty.dll\\TsoPokaz", "ZyTestScenaObjekty.dll\\TsoFinal"},
            0};
        pusk = nav->Pusk(roditel->hwnd(), 1, nullptr, &s);
    }
    static void TearDownTestSuite() {
        delete roditel; // destroys the view window: its controller thread ends
        if (nav && nav->controllers && nav->controllers[0].thread)
            Zhdat(nav->controllers[0].thread, 10000);
        delete nav;
    }
    // Locks off, the usual layout, the initial navigation state, no focus, no mouse rest.
    void SetUp() override {
        ASSERT_EQ(1u, pusk) << "the navigator did not start";
        Zamki(false, false);
        TsoVsRezhim(TSO_OBYCHNYJ);
        ASSERT_TRUE(Vypolnit(+[](Quorvel::ZYKGLKONTROL* k, void*) {
            k->Flagi.Vwkl(0, 25);
            k->Flagi.Vwkl(Quorvel::ZYBIT_PAUZA, Quorvel::ZYBIT_PAUZA);
            const double s[6] = {1.0, 1.0, 1.0, 30.0, 30.0, 30.0};
            std::memcpy(k->SkorostNav, s, sizeof s);
            k->valueText[0] = '\0';
            k->IzmSkorosti = 10.0;
            k->Distancija = 1.0;
            k->mouseRestDelay = 0;
            k->VsPozNavV0();
            k->VklFokys(0);
        }));
    }

    static Quorvel::ZYKGLKONTROL& K() { return nav->controllers[0]; }

    // Runs fn(controller, arg) on the controller thread and waits (bounded) until it ran.
    // klavishej: sent as a key, which passes the pause gate.
    static bool Vypolnit(void (*fn)(Quorvel::ZYKGLKONTROL*, void*), void* arg = nullptr,
                         bool klavishej = false) {
        Sobytie gotovo;
        ZyTestZadacha z = {fn, arg, gotovo.h()};
        if (!PostThreadMessageA(K().threadId, klavishej ? WM_KEYDOWN : ZYT_VYPOLNIT,
                                klavishej ? ZYT_KLAVISHA : 0, reinterpret_cast<LPARAM>(&z)))
            return false;
        return Zhdat(gotovo.h(), 10000);
    }

    // Presses (vniz) or releases a key for real (the system's asynchronous key state) and
    // waits until the controller thread reads it so. NOTE: Wine caches a thread's
    // GetAsyncKeyState answers for up to 50 ms, so the change shows there a little later.
    static bool Modifikator(BYTE vk, bool vniz) {
        keybd_event(vk, static_cast<BYTE>(MapVirtualKeyA(vk, 0)), vniz ? 0 : KEYEVENTF_KEYUP, 0);
        struct V {
            BYTE vk;
            bool vniz;
        } v{vk, !vniz};
        return ZhdatPoka(
            [&] {
                return Vypolnit(
                           +[](Quorvel::ZYKGLKONTROL*, void* a) {
                               auto& r = *static_cast<V*>(a);
                               r.vniz = GetAsyncKeyState(r.vk) < 0;
                           },
                           &v) &&
                       v.vniz == vniz;
            },
            3000);
    }

    // The toggle state of Num Lock and Scroll Lock as this (the window) thread reads them.
    static void Zamki(bool num, bool scroll) {
        BYTE klav[256];
        GetKeyboardState(klav);
        klav[VK_NUMLOCK] = num ? 1 : 0;
        klav[VK_SCROLL] = scroll ? 1 : 0;
        SetKeyboardState(klav);
    }

    // Posts a message to the view window and delivers it.
    static void Poslat(UINT soob, WPARAM w, LPARAM l) {
        ASSERT_TRUE(PostMessageA(K().hwnd, soob, w, l));
        Prokachat();
    }
    // A key message with the extended-key flag (bit 24) and the previous state (bit 30: a
    // repeat for a key-down, always for a key-up) as the system sets them.
    static void Klavisha(UINT soob, WPARAM vk, bool ext, bool povtor = false) {
        const unsigned long up = soob == WM_KEYUP ? 0xC0000000ul : 0;
        Poslat(soob, vk, LPARAM(1 | (ext ? 1ul << 24 : 0) | (povtor ? 1ul << 30 : 0) | up));
    }
    // A mouse message at a view fraction; its lParam.
    static LPARAM Mysh(UINT soob, double fx, double fy) {
        RECT r{};
        GetClientRect(K().hwnd, &r);
        const LPARAM l = MAKELPARAM(fx * r.right, fy * r.bottom);
        Poslat(soob, MK_LBUTTON, l);
        return l;
    }

    // The state once everything posted so far was handled (klavishej: read through a key).
    static Snimok Sostojanie(bool klavishej = false) {
        Snimok s{};
        EXPECT_TRUE(Vypolnit(
            +[](Quorvel::ZYKGLKONTROL* k, void* arg) {
                Snimok& r = *static_cast<Snimok*>(arg);
                for (unsigned long b = 0; b < Quorvel::ZY_KOL_FLAGOV; ++b)
                    r.bit[b] = k->Flagi.Test(b, b);
                std::memcpy(r.skorost, k->SkorostNav, sizeof r.skorost);
                r.izm = k->IzmSkorosti;
                std::memcpy(r.poz, k->PozNav, sizeof r.poz);
                r.tekst = k->valueText;
                r.fokys = k->VzFokys();
                r.imena = *k->pickedNames;
            },
            &s, klavishej));
        return s;
    }

    static inline Okno* roditel = nullptr;
    static inline Quorvel::ZYKGLORVANTA2* nav = nullptr;
    static inline unsigned long pusk = 0;
};

} // namespace zytest

#endif // ZYTESTVID_H
