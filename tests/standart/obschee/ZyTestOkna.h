// Test helper: a thread that waits for the message boxes of one thread, reads their caption
// and text from the real dialog, and presses the scripted buttons.
#ifndef ZYTESTOKNA_H
#define ZYTESTOKNA_H

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace zytest {

// What a box showed.
struct ZyOkno {
    std::string zagolovok;
    std::string tekst;
    HWND vladelec; // the box's owner window
};

// Watches the boxes of thread `potok`. Each box that appears is read and answered with the
// next of the scripted buttons `knopki` (IDOK, IDRETRY, IDCANCEL, ...); a box beyond the script is
// read and closed with IDCANCEL, so that a test never hangs on a box. Every wait is bounded by
// `zhdatMs` per box.
class ZyStorozhOkon {
public:
    ZyStorozhOkon(std::initializer_list<int> knopki, DWORD potok = GetCurrentThreadId(),
                  DWORD zhdatMs = 15000)
        : knopki_(knopki), potok_(potok), zhdatMs_(zhdatMs) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        nit_ = CreateThread(nullptr, 0, &ZyStorozhOkon::Nit, this, 0, nullptr);
    }
    ~ZyStorozhOkon() { Ostanovit(); }
    ZyStorozhOkon(const ZyStorozhOkon&) = delete;
    ZyStorozhOkon& operator=(const ZyStorozhOkon&) = delete;

    // Stops the watcher (bounded) and returns every box it saw, in order.
    const std::vector<ZyOkno>& Ostanovit() {
        if (nit_) {
            SetEvent(stop_);
            WaitForSingleObject(nit_, 20000);
            CloseHandle(nit_);
            CloseHandle(stop_);
            nit_ = nullptr;
        }
        return uvideno_;
    }

private:
    // Finds the first "#32770" window of the watched thread.
    static BOOL CALLBACK Perebor(HWND okno, LPARAM parametr) {
        char klass[16] = {};
        GetClassNameA(okno, klass, sizeof klass);
        if (std::string(klass) == "#32770" && IsWindowVisible(okno)) {
            *reinterpret_cast<HWND*>(parametr) = okno;
            return FALSE;
        }
        return TRUE;
    }

    // Waits for a box of the thread; null when the deadline or the stop comes first.
    HWND ZhdatOkno(DWORD ms) {
        const DWORD nachalo = GetTickCount();
        for (;;) {
            HWND okno = nullptr;
            EnumThreadWindows(potok_, &ZyStorozhOkon::Perebor, reinterpret_cast<LPARAM>(&okno));
            if (okno) return okno;
            if (GetTickCount() - nachalo > ms) return nullptr;
            if (WaitForSingleObject(stop_, 5) == WAIT_OBJECT_0) return nullptr;
        }
    }

    // Reads one box, presses `knopka`, and waits until the box is hidden. NOTE: under Wine on
    // a screen without a window manager the box is destroyed (and the call that showed it
    // returns) only about 2 s after it is hidden: the X driver waits for a confirmation that
    // never comes. Every box costs a test that much.
    void Otvetit(HWND okno, int knopka) {
        char zagolovok[1024] = {};
        char tekst[8192] = {};
        GetWindowTextA(okno, zagolovok, sizeof zagolovok);
        GetDlgItemTextA(okno, 0xFFFF, tekst, sizeof tekst);
        uvideno_.push_back(ZyOkno{zagolovok, tekst, GetWindow(okno, GW_OWNER)});
        PostMessageA(okno, WM_COMMAND, WPARAM(knopka), 0);
        const DWORD nachalo = GetTickCount();
        while (IsWindow(okno) && IsWindowVisible(okno) && GetTickCount() - nachalo < zhdatMs_)
            WaitForSingleObject(stop_, 5);
    }

    // The scripted boxes first, then any extra box is closed until the stop.
    static DWORD WINAPI Nit(void* parametr) {
        ZyStorozhOkon* self = static_cast<ZyStorozhOkon*>(parametr);
        for (int knopka : self->knopki_) {
            HWND okno = self->ZhdatOkno(self->zhdatMs_);
            if (!okno) return 0;
            self->Otvetit(okno, knopka);
        }
        for (;;) {
            HWND okno = self->ZhdatOkno(INFINITE - 1);
            if (!okno) return 0;
            self->Otvetit(okno, IDCANCEL);
        }
    }

    std::vector<int> knopki_;
    DWORD potok_;
    DWORD zhdatMs_;
    HANDLE stop_ = nullptr;
    HANDLE nit_ = nullptr;
    std::vector<ZyOkno> uvideno_;
};

} // namespace zytest

#endif // ZYTESTOKNA_H
