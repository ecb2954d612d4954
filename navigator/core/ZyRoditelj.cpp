// The parent procedure: Pusk subclasses the parent window so that its size, position,
// keyboard focus and Tab key reach the view windows. Four messages are listed; each does its
// work and then, like every unlisted message, goes on to the parent's own procedure.
#include "ZyOkna.h"

#include "ZyKontrolVnutr.h"
#include "ZyProzrachnost.h"

#include <algorithm>

namespace Quorvel {

namespace {

// The navigator of a subclassed parent (its "ZYKGL" property).
ZYKGLORVANTA2* Navigator(HWND okno) {
    return static_cast<ZYKGLORVANTA2*>(GetPropA(okno, ZY_SVOJSTVO));
}

// The parent's own procedure. NOTE: it is looked up per window (from the property) rather than
// kept once for the library, so that several navigators of one process (each with its own
// parent) pass their messages on to the right procedure.
WNDPROC Prezhnjaja(HWND okno) {
    ZYKGLORVANTA2* nav = Navigator(okno);
    return nav ? nav->oldParentProc : nullptr;
}

// Passes the message on to the parent's own procedure.
LRESULT Dalshe(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    if (WNDPROC p = Prezhnjaja(okno)) return CallWindowProcA(p, okno, soob, wParam, lParam);
    return DefWindowProcA(okno, soob, wParam, lParam);
}

// WM_SIZE: resizing the parent ends any transparency cut-outs: the parent gets a plain
// rectangle region larger than the desktop (and than itself), and the two shared regions are
// dropped.
LRESULT NaRazmer(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    ZYKGLORVANTA2* nav = Navigator(okno);
    if (nav && ZySbrositRegionRoditelja(nav->parentRegion, nav->parentRegionAux)) {
        RECT r{}, w{};
        GetWindowRect(GetDesktopWindow(), &r);
        GetWindowRect(okno, &w); // a parent larger than the desktop is not clipped either
        if (HRGN rgn = CreateRectRgn(r.left, r.top, std::max(r.right + 100, w.right - w.left),
                                     std::max(r.bottom + 100, w.bottom - w.top)))
            if (!SetWindowRgn(okno, rgn, TRUE)) DeleteObject(rgn); // else the system owns it
    }
    return Dalshe(okno, soob, wParam, lParam);
}

// WM_WINDOWPOSCHANGED: a copy of the WINDOWPOS goes to every view window as 0x402. The copy is
// one buffer of the library: the views read it on their threads after this returns.
LRESULT NaPoziciju(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    static WINDOWPOS kopija;
    ZYKGLORVANTA2* nav = Navigator(okno);
    if (nav && nav->controllers && lParam) {
        kopija = *reinterpret_cast<const WINDOWPOS*>(lParam);
        for (unsigned long i = 0; i < nav->windowCount; ++i) {
            HWND vid = nav->controllers[i].hwnd;
            if (vid && IsWindow(vid))
                PostMessageA(vid, ZYM_RODITEL, wParam, reinterpret_cast<LPARAM>(&kopija));
        }
    }
    return Dalshe(okno, soob, wParam, lParam);
}

// WM_KEYDOWN: Tab moves the focus from the parent by the view windows' rule.
LRESULT NaKlavishu(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    if (wParam == VK_TAB) ZyTabFokys(okno);
    return Dalshe(okno, soob, wParam, lParam);
}

// WM_SETFOCUS: the focus goes on to the parent's first child.
LRESULT NaFokys(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    if (HWND rebenok = GetWindow(okno, GW_CHILD)) SetFocus(rebenok);
    return Dalshe(okno, soob, wParam, lParam);
}

// The parent's four listed messages, looked up in order.
const ZYS_DELITEL_PARA tablica[4] = {
    {WM_SIZE, NaRazmer},
    {WM_WINDOWPOSCHANGED, NaPoziciju},
    {WM_KEYDOWN, NaKlavishu},
    {WM_SETFOCUS, NaFokys},
};

} // namespace

// Procedure of the subclassed parent window: the four listed messages through the library's
// table dispatcher; an unlisted one goes to the parent's own procedure.
LRESULT CALLBACK ZyProcRoditelja(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam) {
    DispatchTable t{ZYD_CALLWINDOWPROC, 4, const_cast<ZYS_DELITEL_PARA*>(tablica),
                    Prezhnjaja(okno)};
    return ZyDelitelWM(&t, okno, soob, wParam, lParam);
}

} // namespace Quorvel
