// Helpers of the core tests that run a live navigator: waits woken by the scene journal, a
// recorder of the engine's tones, a host window, the window data files and the journal's
// entries, and the fixture every such test starts from.
#ifndef ZYTESTNAVIGATORA_H
#define ZYTESTNAVIGATORA_H

#include "ZyKGLOrvanta2.h"
#include "ZyTestFajly.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"
#include "sceny/ZyTestZhurnal.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace zyt {

// Pumps this thread's messages until `uslovie` holds or `ms` have passed; returns whether it
// holds. Wakes on every message and journal entry.
inline bool Kachat(const std::function<bool()>& uslovie, DWORD ms = 10000) {
    return zytest::ZhdatPoka(uslovie, ms, ZytSobytie());
}

// Every tone the engine sounds, in order.
struct Ton {
    unsigned long chastota, dlitelnost;
    DWORD potok;
};
// The lock of the recorded tones.
inline std::mutex& TonyZamok() {
    static std::mutex m;
    return m;
}
// The recorded tones (under TonyZamok()).
inline std::vector<Ton>& Tony() {
    static std::vector<Ton> t;
    return t;
}
// The engine's tone observer: records one tone with the thread that sounded it.
inline void ZapisatTon(unsigned long ch, unsigned long dl) {
    std::lock_guard<std::mutex> g(TonyZamok());
    Tony().push_back({ch, dl, GetCurrentThreadId()});
}
// A copy of the recorded tones.
inline std::vector<Ton> VzjatTony() {
    std::lock_guard<std::mutex> g(TonyZamok());
    return Tony();
}
// Records tones while it lives.
struct ZapisTonov {
    ZapisTonov() {
        {
            std::lock_guard<std::mutex> g(TonyZamok());
            Tony().clear();
        }
        Quorvel::ZyVsNabljudatelZvuka(ZapisatTon);
    }
    ~ZapisTonov() { Quorvel::ZyVsNabljudatelZvuka(nullptr); }
};
// The tone (ch, dl) was sounded.
inline bool EstTon(unsigned long ch, unsigned long dl) {
    for (const Ton& t : VzjatTony())
        if (t.chastota == ch && t.dlitelnost == dl) return true;
    return false;
}

// WM_SETFOCUS messages the test hosts' own procedure has seen.
inline std::atomic<int>& FokusovHozjaina() {
    static std::atomic<int> n{0};
    return n;
}
// The test hosts' own procedure: counts its focus messages, the rest is default processing.
inline LRESULT CALLBACK ProcHozjaina(HWND o, UINT s, WPARAM w, LPARAM l) {
    if (s == WM_SETFOCUS) ++FokusovHozjaina();
    return DefWindowProcA(o, s, w, l);
}

// A top-level host window with the given client size (a popup: client = window), shown without
// activation and destroyed with the object.
class Hozjain : public zytest::Okno {
public:
    Hozjain(int w, int h) : Okno(10, 10, w, h, WS_POPUP, ProcHozjaina, "host"), okno(hwnd()) {
        PokazatBezAktivacii();
    }
    const HWND okno;
};

constexpr const char* ADRESA = "ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt";
constexpr const char* ISTORIJA = "ZyGLDannwe\\ZyGLOkno 000\\ZyIstorijaScen.ZYI";

// Writes a file, creating the first window's folder "ZyGLDannwe\ZyGLOkno 000" (where the files
// of these tests live) when needed.
inline void ZapisatDannye(const std::string& put, const std::string& t) {
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    EXPECT_TRUE(zytest::ZapisatFajl(put, t)) << put;
}

// A clean working directory: no window data, an empty journal.
inline void Chisto() {
    zytest::UdalitDerevo("ZyGLDannwe");
    ZytSbros();
}

// Journal entries of function `fyn` (all for 0).
inline std::vector<ZYT_ZAPIS> Zapisi(int fyn = 0) {
    std::vector<ZYT_ZAPIS> v;
    ZYT_ZAPIS z;
    for (unsigned long i = 0; ZytVzjat(i, &z); ++i)
        if (fyn == 0 || z.fyn == fyn) v.push_back(z);
    return v;
}

// The file name of a module, without its directory.
inline std::string ImjaModulja(HMODULE m) {
    char b[MAX_PATH] = {};
    GetModuleFileNameA(m, b, sizeof b);
    const std::string s = b;
    const size_t i = s.find_last_of("\\/");
    return i == std::string::npos ? s : s.substr(i + 1);
}

// Scene names of a test module ("ZyTestScenaA.dll\Konstr" ...).
struct Imena {
    std::string k, a, p, f;
    explicit Imena(const std::string& modul)
        : k(modul + "\\Konstr"), a(modul + "\\Antrakt"), p(modul + "\\Pokaz"),
          f(modul + "\\Final") {}
    Quorvel::ZYS_ADR_SCENW Adresa() const { return {k.c_str(), a.c_str(), p.c_str(), f.c_str()}; }
};

// The thread has ended.
inline bool Konchilsja(HANDLE potok) {
    return WaitForSingleObject(potok, 0) == WAIT_OBJECT_0;
}

// A duplicate of a thread handle that outlives the navigator's own.
inline HANDLE Kopija(HANDLE h) {
    HANDLE d = nullptr;
    DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &d, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    return d;
}

// A test of a live navigator: every test starts with a clean working directory and journal,
// and every message box the engine shows is answered and kept (a test expects none).
class ZhivojNavigator : public ::testing::Test {
protected:
    void SetUp() override { Chisto(); }
    zytest::ZyStorozhOkon zakryvatel;
};

} // namespace zyt

#endif // ZYTESTNAVIGATORA_H
