// orvanta.exe as a separate process: its window (class, title bytes, outer size, shown normal
// whatever show state it is started with), the view window inside it, its icon resource and
// its exit code after WM_CLOSE.
#include "ZyTestOkno.h"
#include "ZyTestPapki.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char ZAGOLOVOK[] = "ZyKGLOrvanta2 in OpenGL Quorvel\x99 V2.0 .RU";
const char KLASS_VIDA[] = "ZyKGLOrvanta2 in OpenGL Quorvel\x99 V2.0";

// orvanta.exe next to the test program.
std::string Programma() {
    return zytest::PapkaProgrammy() + "\\orvanta.exe";
}

// A running host started with show state `pokaz`; closed and waited for by the destructor.
struct Hozjain {
    PROCESS_INFORMATION pi{};
    HWND okno = nullptr;

    explicit Hozjain(WORD pokaz) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = pokaz;
        std::string komanda = "\"" + Programma() + "\"";
        if (!CreateProcessA(nullptr, &komanda[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return;
        WaitForInputIdle(pi.hProcess, 10000);
        // The window is ready once WinMain has shown it (the view is made inside its creation);
        // the process handle bounds each wait and ends it when the program has died.
        for (int i = 0; i < 200; ++i) {
            HWND w = NajtiOkno();
            if (w && IsWindowVisible(w) && GetWindow(w, GW_CHILD)) {
                okno = w;
                break;
            }
            if (WaitForSingleObject(pi.hProcess, 50) != WAIT_TIMEOUT) break;
        }
    }
    // The process's "Pattern" window.
    HWND NajtiOkno() const {
        const std::vector<HWND> okna = zytest::OknaProcessa(pi.dwProcessId, "Pattern");
        return okna.empty() ? nullptr : okna[0];
    }
    // Closes the window; returns the exit code, or STILL_ACTIVE when it did not end.
    DWORD Zakryt() {
        if (okno) PostMessageA(okno, WM_CLOSE, 0, 0);
        DWORD kod = STILL_ACTIVE;
        if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &kod);
        return kod;
    }
    ~Hozjain() {
        if (!pi.hProcess) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
            Zakryt();
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

} // namespace

TEST(Orvanta, WindowClassTitleSizeAndView) {
    Hozjain h(SW_SHOWNORMAL);
    ASSERT_NE(nullptr, h.okno) << "no \"Pattern\" window";
    char zag[128] = {};
    GetWindowTextA(h.okno, zag, sizeof zag);
    EXPECT_EQ(std::string(ZAGOLOVOK), zag);
    EXPECT_EQ(static_cast<char>(0x99), zag[31]) << "the trademark byte of code page 1251";
    RECT r{};
    GetWindowRect(h.okno, &r);
    EXPECT_EQ(800, r.right - r.left);
    EXPECT_EQ(475, r.bottom - r.top);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, GetWindowLongA(h.okno, GWL_STYLE) & WS_OVERLAPPEDWINDOW);

    // One view window of the engine fills the client area.
    HWND vid = GetWindow(h.okno, GW_CHILD);
    ASSERT_NE(nullptr, vid);
    EXPECT_EQ(KLASS_VIDA, zytest::KlassOkna(vid));
    EXPECT_EQ(nullptr, GetWindow(vid, GW_HWNDNEXT)) << "a single view";
    RECT kl{}, v{};
    GetClientRect(h.okno, &kl);
    GetWindowRect(vid, &v);
    EXPECT_EQ(kl.right, v.right - v.left);
    EXPECT_EQ(kl.bottom, v.bottom - v.top);

    EXPECT_EQ(0u, h.Zakryt()) << "the exit code is PostQuitMessage's argument";
}

TEST(Orvanta, ShownNormalWhateverTheStartShowState) {
    for (WORD pokaz : {WORD(SW_SHOWMINIMIZED), WORD(SW_HIDE), WORD(SW_SHOWMAXIMIZED)}) {
        Hozjain h(pokaz);
        ASSERT_NE(nullptr, h.okno) << "show state " << pokaz;
        EXPECT_TRUE(IsWindowVisible(h.okno)) << "show state " << pokaz;
        EXPECT_FALSE(IsIconic(h.okno)) << "show state " << pokaz;
        EXPECT_FALSE(IsZoomed(h.okno)) << "show state " << pokaz;
        RECT r{};
        GetWindowRect(h.okno, &r);
        EXPECT_EQ(800, r.right - r.left) << "show state " << pokaz;
        EXPECT_EQ(475, r.bottom - r.top) << "show state " << pokaz;
        EXPECT_EQ(0u, h.Zakryt()) << "show state " << pokaz;
    }
}

TEST(Orvanta, ProgramFileCarriesIcon101) {
    HMODULE m = LoadLibraryExA(Programma().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, m);
    EXPECT_NE(nullptr,
              FindResourceA(m, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14))); // RT_GROUP_ICON
    FreeLibrary(m);
}
