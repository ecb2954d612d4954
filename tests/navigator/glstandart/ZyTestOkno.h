// Helpers of the engine's window tests: a real top-level window, a closer for the message
// boxes a test provokes, and bounded waits that keep the calling thread's windows served.
#ifndef ZYTESTOKNO_H
#define ZYTESTOKNO_H

#include <windows.h>

#include <string>

namespace zytest {

// Delivers every message queued for the calling thread.
inline void Prokachat() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Waits up to ms for h while delivering the calling thread's messages. true when signalled.
inline bool Zhdat(HANDLE h, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD proshlo = GetTickCount() - start;
        if (proshlo >= ms) return WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
        const DWORD rc = MsgWaitForMultipleObjects(1, &h, FALSE, ms - proshlo, QS_ALLINPUT);
        if (rc == WAIT_OBJECT_0) return true;
        if (rc == WAIT_OBJECT_0 + 1)
            Prokachat();
        else if (rc != WAIT_TIMEOUT)
            return false;
    }
}

// An auto-reset event that closes itself.
class Sobytie {
public:
    Sobytie() : h_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~Sobytie() { CloseHandle(h_); }
    Sobytie(const Sobytie&) = delete;
    Sobytie& operator=(const Sobytie&) = delete;
    HANDLE h() const { return h_; }
    void Vkl() const { SetEvent(h_); }

private:
    HANDLE h_;
};

// A top-level window of a class with its own device context, destroyed with the object.
class Okno {
public:
    explicit Okno(int x = 0, int y = 0, int w = 96, int h = 64, DWORD stil = WS_OVERLAPPEDWINDOW,
                  WNDPROC proc = DefWindowProcA, const char* zagolovok = "Zy test window") {
        WNDCLASSA wc = {};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = Klass(proc);
        RegisterClassA(&wc); // a class left from an earlier window is reused
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, zagolovok, stil, x, y, w, h, nullptr, nullptr,
                                wc.hInstance, nullptr);
    }
    ~Okno() {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }
    Okno(const Okno&) = delete;
    Okno& operator=(const Okno&) = delete;
    HWND hwnd() const { return hwnd_; }

private:
    // One class name per window procedure.
    static const char* Klass(WNDPROC proc) {
        static char imja[64];
        wsprintfA(imja, "ZyTestOkno%p", reinterpret_cast<void*>(proc));
        return imja;
    }
    HWND hwnd_ = nullptr;
};

// Closes the first message box with the given caption that appears within ms, pressing
// `knopka`, and keeps its text. Runs on a thread of its own, since the box is modal on the
// thread that shows it.
class ZakrytieOkna {
public:
    explicit ZakrytieOkna(const char* zagolovok, DWORD ms = 10000, int knopka = IDOK)
        : zagolovok_(zagolovok), ms_(ms), knopka_(knopka) {
        potok_ = CreateThread(nullptr, 0, &ZakrytieOkna::Potok, this, 0, nullptr);
    }
    ~ZakrytieOkna() {
        stop_.Vkl();
        WaitForSingleObject(potok_, 15000);
        CloseHandle(potok_);
    }
    ZakrytieOkna(const ZakrytieOkna&) = delete;
    ZakrytieOkna& operator=(const ZakrytieOkna&) = delete;

    // Waits (bounded) until the box was found and closed; true when it was.
    bool Zakryto() {
        WaitForSingleObject(potok_, ms_ + 5000);
        return najdeno_;
    }
    const std::string& Tekst() const { return tekst_; }

private:
    static DWORD WINAPI Potok(void* arg) {
        auto* z = static_cast<ZakrytieOkna*>(arg);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < z->ms_) {
            // NOTE: the box is polled for: nothing signals its appearance to another thread.
            if (HWND box = FindWindowA("#32770", z->zagolovok_.c_str())) {
                char tekst[512] = "";
                GetDlgItemTextA(box, 0xFFFF, tekst, sizeof tekst);
                z->tekst_ = tekst;
                z->najdeno_ = true;
                PostMessageA(box, WM_COMMAND, z->knopka_, 0);
                return 0;
            }
            if (WaitForSingleObject(z->stop_.h(), 20) == WAIT_OBJECT_0) return 0;
        }
        return 0;
    }

    std::string zagolovok_;
    DWORD ms_;
    int knopka_;
    Sobytie stop_;
    HANDLE potok_ = nullptr;
    bool najdeno_ = false;
    std::string tekst_;
};

} // namespace zytest

#endif
