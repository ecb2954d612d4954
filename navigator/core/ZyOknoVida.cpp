// The view-window procedure: during creation it hands the creation messages to the controller
// thread and waits for the answer; afterwards it forwards every message to the controller
// thread without waiting, and serves the controller's requests to show and hide the auxiliary
// window (0x407, 0x408).
#include "ZyOkna.h"

#include "ZyKontrolVnutr.h"

namespace Quorvel {

namespace {

// The toggle state of a lock key.
bool Vkljuchena(int klavisha) {
    return (GetKeyState(klavisha) & 1) != 0;
}

// The window a Tab press moves the focus to: left Ctrl to the parent (or owner, or the first
// window of the level), right Ctrl to the first child (or the last window of the level), Shift
// to the previous window (or the last), no modifier to the next window (or the first).
HWND CelTab(HWND ot) {
    if (GetKeyState(VK_LCONTROL) < 0) {
        HWND t = (GetWindowLongPtrA(ot, GWL_STYLE) & WS_CHILD) ? GetParent(ot) : nullptr;
        if (!t) t = GetWindow(ot, GW_OWNER);
        return t ? t : GetWindow(ot, GW_HWNDFIRST);
    }
    if (GetKeyState(VK_RCONTROL) < 0) {
        HWND t = GetWindow(ot, GW_CHILD);
        return t ? t : GetWindow(ot, GW_HWNDLAST);
    }
    if (GetKeyState(VK_SHIFT) < 0) {
        HWND t = GetWindow(ot, GW_HWNDPREV);
        return t ? t : GetWindow(ot, GW_HWNDLAST);
    }
    HWND t = GetWindow(ot, GW_HWNDNEXT);
    return t ? t : GetWindow(ot, GW_HWNDFIRST);
}

// The controller's `result`, taken and reset.
long VzjatRezultat(ZYKGLKONTROL& k) {
    const long r = k.result;
    k.result = 0;
    return r;
}

// WM_NCCREATE / WM_CREATE of a view window: stores the window (and, on WM_NCCREATE, creates
// the auxiliary child), forwards the message as 0x400 / 0x401 and waits until the controller
// thread has handled it. The wait ends early when the controller thread is gone, and answers
// messages sent to this thread meanwhile (a constructor may touch the window).
LRESULT Sozdanie(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    const CREATESTRUCTA* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    const ZYS_BLOK_SOZDANIJA* blok =
        cs ? static_cast<const ZYS_BLOK_SOZDANIJA*>(cs->lpCreateParams) : nullptr;
    if (!blok || blok->index == ZY_INDEX_DES || !blok->navigator)
        return DefWindowProcA(okno, soob, wParam, lParam);
    ZYKGLORVANTA2& nav = *blok->navigator;
    if (!nav.controllers || blok->index >= nav.windowCount)
        return DefWindowProcA(okno, soob, wParam, lParam);
    ZYKGLKONTROL& k = nav.controllers[blok->index];
    k.hwnd = okno;
    if (soob == WM_NCCREATE) {
        ZYS_BLOK_SOZDANIJA des{0, &nav, ZY_INDEX_DES};
        k.desHwnd =
            CreateWindowExA(cs->dwExStyle, ZY_KLASS_OKNA, "ZyGLDes", WS_CHILD | WS_VISIBLE, 0, 0, 0,
                            0, okno, reinterpret_cast<HMENU>(1), cs->hInstance, &des);
    }
    // A stale signal of an earlier message must not end this wait.
    ResetEvent(k.replyEvent);
    const UINT vpered = soob == WM_NCCREATE ? ZYM_NCCREATE : ZYM_CREATE;
    if (PostThreadMessageA(k.threadId, vpered, wParam, lParam)) {
        const HANDLE h[2] = {k.replyEvent, k.thread};
        ZyZhdatObsluzhivaja(k.thread ? 2 : 1, h, INFINITE);
        if (const long r = VzjatRezultat(k)) return r;
    }
    return DefWindowProcA(okno, soob, wParam, lParam);
}

// Serves 0x407 (show the auxiliary window over the whole client area) and 0x408 (hide it).
void OknoDes(ZYKGLKONTROL& k, bool pokazat) {
    if (k.desHwnd) {
        if (pokazat) {
            RECT r{};
            GetClientRect(k.hwnd, &r);
            SetWindowPos(k.desHwnd, HWND_TOP, 0, 0, r.right - r.left, r.bottom - r.top,
                         SWP_SHOWWINDOW);
        } else {
            SetWindowPos(k.desHwnd, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        }
    }
    SetEvent(k.windowOpEvent);
}

} // namespace

// Moves the keyboard focus from `ot` by the Tab rule.
void ZyTabFokys(HWND ot) {
    if (HWND cel = CelTab(ot)) SetFocus(cel);
}

// See the unit's comment. The navigator is in GWLP_USERDATA and the index in window word 4
// once Pusk has stored them; before that only the creation messages are served.
LRESULT CALLBACK ZyProcOknaVida(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    ZYKGLORVANTA2* nav = reinterpret_cast<ZYKGLORVANTA2*>(GetWindowLongPtrA(okno, GWLP_USERDATA));
    if (!nav) {
        if (soob == WM_NCCREATE || soob == WM_CREATE) return Sozdanie(okno, soob, wParam, lParam);
        return DefWindowProcA(okno, soob, wParam, lParam);
    }
    const WORD index = GetWindowWord(okno, 4);
    if (!nav->controllers || index >= nav->windowCount)
        return DefWindowProcA(okno, soob, wParam, lParam);
    ZYKGLKONTROL& k = nav->controllers[index];
    switch (soob) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(k.hwnd);
        break;
    case ZYM_POKAZAT_DES:
        OknoDes(k, true);
        return 0;
    case ZYM_SKRYT_DES:
        OknoDes(k, false);
        return 0;
    default:
        break;
    }
    if (soob == WM_KEYDOWN && wParam == VK_TAB) ZyTabFokys(okno);
    if (soob == WM_KEYDOWN || soob == WM_SETFOCUS) {
        if (Vkljuchena(VK_SCROLL))
            ZyVklFlag(k, ZYBIT_SCROLL_LOCK);
        else
            ZyVwklFlag(k, ZYBIT_SCROLL_LOCK);
        if (Vkljuchena(VK_NUMLOCK))
            ZyVklFlag(k, ZYBIT_NUM_LOCK);
        else
            ZyVwklFlag(k, ZYBIT_NUM_LOCK);
    }
    if (k.threadAlive && PostThreadMessageA(k.threadId, soob, wParam, lParam))
        if (const long r = VzjatRezultat(k)) return r;
    return DefWindowProcA(okno, soob, wParam, lParam);
}

} // namespace Quorvel
