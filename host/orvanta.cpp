// orvanta.exe: the host program. It owns one top-level window and hands it to the navigator,
// which fills the client area with OpenGL view windows and does all further work.
#include "ZyKGLOrvanta2.h"

namespace {

// The navigator: constructed before WinMain, destroyed after the message loop has ended.
Quorvel::ZYKGLORVANTA2 navigator;

// The host window's title: the trademark sign is byte 0x99 of code page 1251.
constexpr const char* ZAGOLOVOK = "ZyKGLOrvanta2 in OpenGL Quorvel\x99 V2.0 .RU";

// Outer size of the host window.
constexpr int SHIRINA = 800;
constexpr int VYSOTA = 475;

// The host window's procedure. From WM_CREATE on, the navigator's parent procedure sees every
// message first and passes it on to this one.
LRESULT CALLBACK ProcOkna(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    switch (soob) {
    case WM_CREATE:
        // A failed start leaves the window empty; the engine has reported what it could.
        navigator.Pusk(okno, 1, nullptr, nullptr);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(okno, &ps);
        EndPaint(okno, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(okno, soob, wParam, lParam);
    }
}

} // namespace

// Registers the class, creates and shows the window (always normal), runs the message loop.
int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = ProcOkna;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "Pattern";
    wc.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (!RegisterClassExA(&wc)) return 0;
    HWND okno = CreateWindowExA(0, "Pattern", ZAGOLOVOK, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, SHIRINA, VYSOTA, nullptr, nullptr, inst, nullptr);
    ShowWindow(okno, SW_SHOWNORMAL);
    UpdateWindow(okno);
    MSG m{};
    // A result of -1 (an invalid window in the call) keeps the loop going like any message.
    while (GetMessageA(&m, nullptr, 0, 0)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return static_cast<int>(m.wParam);
}
