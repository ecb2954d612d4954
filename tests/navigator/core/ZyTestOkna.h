// Helpers of the window-level core tests: bounded message pumping, a closer of message boxes,
// a tone recorder, a host window and scratch directories.
#ifndef ZYTESTOKNA_H
#define ZYTESTOKNA_H

#include "ZyKGLOrvanta2.h"
#include "sceny/ZyTestZhurnal.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zyt {

// Pumps this thread's messages until `uslovie` holds or `ms` have passed; returns whether it
// holds. Wakes on every message and journal entry, and at least every 20 ms.
inline bool Kachat(const std::function<bool()>& uslovie, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        if (uslovie()) return true;
        const DWORD proshlo = GetTickCount() - start;
        if (proshlo >= ms) return uslovie();
        HANDLE h = ZytSobytie();
        const DWORD ostalos = ms - proshlo;
        MsgWaitForMultipleObjects(1, &h, FALSE, ostalos < 20 ? ostalos : 20, QS_ALLINPUT);
    }
}

// Pumps messages for an observation window of `ms` (to see that nothing more happens).
inline void KachatVremja(DWORD ms) {
    Kachat([] { return false; }, ms);
}

// Every tone the engine sounds, in order.
struct Ton {
    unsigned long chastota, dlitelnost;
    DWORD potok;
};
inline std::mutex& TonyZamok() {
    static std::mutex m;
    return m;
}
inline std::vector<Ton>& Tony() {
    static std::vector<Ton> t;
    return t;
}
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

// Closes every message box ("#32770") of this process that appears while it lives, pressing
// OK, and keeps caption and text of each.
class ZakryvatelOkon {
public:
    ZakryvatelOkon() : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        potok_ = std::thread([this] { Rabota(); });
    }
    ~ZakryvatelOkon() {
        SetEvent(stop_);
        potok_.join();
        CloseHandle(stop_);
    }
    // "caption: text" of every box closed so far.
    std::vector<std::string> Okna() {
        std::lock_guard<std::mutex> g(zamok_);
        return okna_;
    }
    // The same, one line each (for failure messages).
    std::string Tekst() {
        std::string t;
        for (const std::string& o : Okna())
            t += o + "\n";
        return t;
    }

private:
    void Rabota() {
        while (WaitForSingleObject(stop_, 20) == WAIT_TIMEOUT) {
            HWND box = nullptr;
            while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                if (pid != GetCurrentProcessId() || !IsWindowVisible(box)) continue;
                char zag[256] = {}, tekst[1024] = {};
                GetWindowTextA(box, zag, sizeof zag);
                GetDlgItemTextA(box, 0xFFFF, tekst, sizeof tekst);
                {
                    std::lock_guard<std::mutex> g(zamok_);
                    okna_.push_back(std::string(zag) + ": " + tekst);
                }
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
    }
    HANDLE stop_;
    std::thread potok_;
    std::mutex zamok_;
    std::vector<std::string> okna_;
};

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

// A top-level host window with the given client size (a popup: client = window) (destroyed with the
// object).
class Hozjain {
public:
    Hozjain(int w, int h) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ProcHozjaina;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZyTestHozjain";
        RegisterClassA(&wc);
        // NOTE: a popup without a caption, shown without activation: Wine leaves such a window
        // unmanaged, so hiding it does not wait two seconds for a window manager that Xvfb
        // does not have.
        okno = CreateWindowExA(0, "ZyTestHozjain", "host", WS_POPUP, 10, 10, w, h, nullptr, nullptr,
                               wc.hInstance, nullptr);
        SetWindowPos(okno, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    ~Hozjain() {
        if (okno && IsWindow(okno)) DestroyWindow(okno);
    }
    HWND okno = nullptr;
};

// Deletes a directory tree (hidden and read-only files too).
inline void UdalitDerevo(const std::string& put) {
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((put + "\\*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string imja = d.cFileName;
            if (imja == "." || imja == "..") continue;
            const std::string polnoe = put + "\\" + imja;
            if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                UdalitDerevo(polnoe);
            } else {
                SetFileAttributesA(polnoe.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(polnoe.c_str());
            }
        } while (FindNextFileA(h, &d));
        FindClose(h);
    }
    RemoveDirectoryA(put.c_str());
}

// The whole content of a file ("" when missing).
inline std::string ProchestFajl(const std::string& put) {
    std::string t;
    HANDLE h = CreateFileA(put.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return t;
    char b[4096];
    DWORD n = 0;
    while (ReadFile(h, b, sizeof b, &n, nullptr) && n)
        t.append(b, n);
    CloseHandle(h);
    return t;
}

// Writes a file, creating the window directory "ZyGLDannwe\ZyGLOkno 000" when needed.
inline void ZapisatFajl(const std::string& put, const std::string& t) {
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    HANDLE h = CreateFileA(put.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(h, t.data(), static_cast<DWORD>(t.size()), &n, nullptr);
    CloseHandle(h);
}

constexpr const char* ADRESA = "ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt";
constexpr const char* ISTORIJA = "ZyGLDannwe\\ZyGLOkno 000\\ZyIstorijaScen.ZYI";

// A clean working directory: no window data, an empty journal.
inline void Chisto() {
    UdalitDerevo("ZyGLDannwe");
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

} // namespace zyt

#endif
