// Test windows and window lookups.
#include "ZyTestOkno.h"

#include <cstdio>

namespace zytest {

namespace {

// Registers (once; a class left from an earlier window is reused) the class of windows run by
// `proc`, and returns its name.
std::string Klass(WNDPROC proc) {
    char imja[64];
    std::snprintf(imja, sizeof imja, "ZyTestOkno%p", reinterpret_cast<void*>(proc));
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = imja;
    RegisterClassA(&wc);
    return imja;
}

// What EnumWindows collects into.
struct Poisk {
    DWORD pid;
    std::string klass;
    std::vector<HWND> okna;
};

// Keeps a top-level window of the wanted process and class (NOTE: a plain CALLBACK function,
// since a lambda does not convert to the stdcall procedure type of 32-bit Windows).
BOOL CALLBACK Sobrat(HWND okno, LPARAM parametr) {
    Poisk& p = *reinterpret_cast<Poisk*>(parametr);
    DWORD pid = 0;
    GetWindowThreadProcessId(okno, &pid);
    if (pid == p.pid && KlassOkna(okno) == p.klass) p.okna.push_back(okno);
    return TRUE;
}

} // namespace

Okno::Okno(int x, int y, int w, int h, DWORD stil, WNDPROC proc, const char* zagolovok) {
    const std::string klass = Klass(proc);
    hwnd_ = CreateWindowExA(0, klass.c_str(), zagolovok, stil, x, y, w, h, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
}

Okno::~Okno() {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

// NOTE: a window shown without activation (and without a caption) stays unmanaged under Wine,
// so hiding or destroying it does not wait two seconds for a window manager Xvfb does not have.
void Okno::PokazatBezAktivacii() const {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

std::vector<HWND> OknaProcessa(DWORD pid, const char* klass) {
    Poisk p{pid, klass, {}};
    EnumWindows(Sobrat, reinterpret_cast<LPARAM>(&p));
    return p.okna;
}

std::string KlassOkna(HWND okno) {
    char b[256] = {};
    GetClassNameA(okno, b, sizeof b);
    return b;
}

} // namespace zytest
