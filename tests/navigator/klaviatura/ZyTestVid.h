// Helper of the keyboard and object tests: a live navigator with one view window running the
// object test scene. Messages are posted to the view window and delivered by this (the
// window) thread, so they travel the real path: view-window procedure, controller thread,
// registry. The state is read on the controller thread after everything posted was handled.
#ifndef ZYTESTVID_H
#define ZYTESTVID_H

#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestScenaObjekty.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zytest {

// The controller's navigation state at one moment.
struct Snimok {
    bool bit[Quorvel::ZY_KOL_FLAGOV];
    double skorost[6];
    double izm;
    std::string tekst;
    Quorvel::TOCHKA3MDF poz[4], vid[4];
    double distancija;
    unsigned long fokys;
    std::vector<unsigned long> imena; // pickedNames
};

// A key held down for real (the system's asynchronous key state, which GetAsyncKeyState reads)
// for the life of the object; `vidit(vniz)` tells whether the reader sees the key as down.
// NOTE: Wine caches a thread's GetAsyncKeyState answers for up to 50 ms, so the object waits
// until the reader (the controller thread) sees the change, on press and on release.
class Derzhat {
public:
    Derzhat(BYTE vk, std::function<bool(bool)> vidit) : vk_(vk), vidit_(std::move(vidit)) {
        keybd_event(vk_, static_cast<BYTE>(MapVirtualKeyA(vk_, 0)), 0, 0);
        ok_ = ZhdatPoka([this] { return vidit_(true); }, 3000);
    }
    ~Derzhat() {
        keybd_event(vk_, static_cast<BYTE>(MapVirtualKeyA(vk_, 0)), KEYEVENTF_KEYUP, 0);
        ZhdatPoka([this] { return vidit_(false); }, 3000);
    }
    Derzhat(const Derzhat&) = delete;
    Derzhat& operator=(const Derzhat&) = delete;
    bool ok() const { return ok_; }

private:
    BYTE vk_;
    std::function<bool(bool)> vidit_;
    bool ok_ = false;
};

class Vid : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetCursorPos(1000, 740); // far from the windows: no mouse messages of the system's own
        roditel = new Okno(0, 0, 320, 240, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        nav = new Quorvel::ZYKGLORVANTA2();
        Quorvel::SGL_SCENA_PARAM scena = {
            {"ZyTestScenaObjekty.dll\\TsoKonstr", "ZyTestScenaObjekty.dll\\TsoAntrakt",
             "ZyTestScenaObjekty.dll\\TsoPokaz", "ZyTestScenaObjekty.dll\\TsoFinal"},
            0};
        pusk = nav->Pusk(roditel->hwnd(), 1, nullptr, &scena);
    }
    static void TearDownTestSuite() {
        delete roditel; // destroys the view window: its controller thread ends
        if (nav && nav->controllers && nav->controllers[0].thread)
            Zhdat(nav->controllers[0].thread, 10000);
        delete nav;
        nav = nullptr;
        roditel = nullptr;
    }
    // A started navigator, locks off, the scene's usual layout, and the controller back at its
    // initial navigation state with no focus and no mouse-rest notice.
    void SetUp() override {
        ASSERT_EQ(1u, pusk) << "the navigator did not start";
        Zamki(false, false);
        TsoVsRezhim(TSO_OBYCHNYJ);
        ASSERT_TRUE(Vypolnit(+[](Quorvel::ZYKGLKONTROL* k, void*) {
            k->Flagi.Vwkl(0, 25);
            k->Flagi.Vwkl(Quorvel::ZYBIT_PAUZA, Quorvel::ZYBIT_PAUZA);
            const double s[6] = {1.0, 1.0, 1.0, 30.0, 30.0, 30.0};
            std::memcpy(k->SkorostNav, s, sizeof s);
            k->IzmSkorosti = 10.0;
            k->valueText[0] = '\0';
            k->Distancija = 1.0;
            k->fps = 25;
            k->mouseRestDelay = 0;
            k->VsPozNavV0();
            k->VklFokys(0);
        }));
    }

    static Quorvel::ZYKGLKONTROL& K() { return nav->controllers[0]; }
    static HWND VidOkno() { return K().hwnd; }

    // Runs fn(controller, arg) on the controller thread and waits (bounded) until it ran.
    // klavishej: sent as a key, which passes the pause gate.
    static bool Vypolnit(void (*fn)(Quorvel::ZYKGLKONTROL*, void*), void* arg = nullptr,
                         bool klavishej = false) {
        Sobytie gotovo;
        ZyTestZadacha z = {fn, arg, gotovo.h()};
        const UINT soob = klavishej ? WM_KEYDOWN : ZYT_VYPOLNIT;
        const WPARAM w = klavishej ? ZYT_KLAVISHA : 0;
        if (!PostThreadMessageA(K().threadId, soob, w, reinterpret_cast<LPARAM>(&z))) return false;
        return Zhdat(gotovo.h(), 10000);
    }

    // Holds a key down for real until the object ends, once the controller thread sees it.
    static std::unique_ptr<Derzhat> Uderzhat(BYTE vk) {
        return std::make_unique<Derzhat>(vk, [vk](bool vniz) {
            struct Vopros {
                BYTE vk;
                bool vniz;
            } v{vk, false};
            const bool ok = Vypolnit(
                +[](Quorvel::ZYKGLKONTROL*, void* arg) {
                    auto& r = *static_cast<Vopros*>(arg);
                    r.vniz = GetAsyncKeyState(r.vk) < 0;
                },
                &v);
            return ok && v.vniz == vniz;
        });
    }

    // The toggle state of Num Lock and Scroll Lock as this (the window) thread reads them.
    static void Zamki(bool num, bool scroll) {
        BYTE klav[256];
        GetKeyboardState(klav);
        klav[VK_NUMLOCK] = num ? 1 : 0;
        klav[VK_SCROLL] = scroll ? 1 : 0;
        SetKeyboardState(klav);
    }

    // Posts a message to the view window and delivers it (the view-window procedure hands it
    // to the controller thread).
    static void Poslat(UINT soob, WPARAM w, LPARAM l) {
        ASSERT_TRUE(PostMessageA(VidOkno(), soob, w, l));
        Prokachat();
    }
    // A key message as the system builds it: extended-key flag (bit 24), previous state
    // (bit 30: auto-repeat for a key-down, always for a key-up), transition (bit 31, key-up).
    static void Klavisha(UINT soob, WPARAM vk, bool ext, bool povtor = false) {
        unsigned long l = 1;
        if (ext) l |= 1ul << 24;
        if (povtor || soob == WM_KEYUP) l |= 1ul << 30;
        if (soob == WM_KEYUP) l |= 1ul << 31;
        Poslat(soob, vk, static_cast<LPARAM>(l));
    }
    // A mouse button at client pixel (x, y).
    static void Klik(UINT soob, int x, int y) { Poslat(soob, MK_LBUTTON, MAKELPARAM(x, y)); }
    // Client pixel of a view fraction.
    static POINT Piksel(double fx, double fy) {
        RECT r{};
        GetClientRect(VidOkno(), &r);
        return POINT{static_cast<LONG>(fx * r.right), static_cast<LONG>(fy * r.bottom)};
    }

    // The state once everything posted so far was handled. klavishej: read through a key,
    // which passes the pause gate.
    static Snimok Sostojanie(bool klavishej = false) {
        Snimok s{};
        EXPECT_TRUE(Vypolnit(
            +[](Quorvel::ZYKGLKONTROL* k, void* arg) {
                Snimok& r = *static_cast<Snimok*>(arg);
                for (unsigned long b = 0; b < Quorvel::ZY_KOL_FLAGOV; ++b)
                    r.bit[b] = k->Flagi.Test(b, b);
                std::memcpy(r.skorost, k->SkorostNav, sizeof r.skorost);
                r.izm = k->IzmSkorosti;
                r.tekst = k->valueText;
                std::memcpy(r.poz, k->PozNav, sizeof r.poz);
                std::memcpy(r.vid, k->PozNavVid, sizeof r.vid);
                r.distancija = k->Distancija;
                r.fokys = k->VzFokys();
                if (k->pickedNames) r.imena = *k->pickedNames;
            },
            &s, klavishej));
        return s;
    }

    static Okno* roditel;
    static Quorvel::ZYKGLORVANTA2* nav;
    static unsigned long pusk;
};

inline Okno* Vid::roditel = nullptr;
inline Quorvel::ZYKGLORVANTA2* Vid::nav = nullptr;
inline unsigned long Vid::pusk = 0;

} // namespace zytest

#endif // ZYTESTVID_H
