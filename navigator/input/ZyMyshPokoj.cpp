// The mouse-rest notice: every mouse move over the view restarts a timer of mouseRestDelay ms;
// when it expires, message 0x405 is posted once to the controller thread.
//
// NOTE: the timer is a thread timer of the controller thread, not a timer of the view window.
// The window belongs to the window thread: Windows refuses SetTimer on another thread's
// window, and Wine accepts it but then delivers WM_TIMER (and runs the timer procedure) on the
// window's thread, which would have to write the controller's flags from a second thread. A
// thread timer's WM_TIMER arrives in the controller thread's own queue (it also wakes the
// loop's MsgWaitForMultipleObjects), and the dispatch takes it before any handler sees it.
#include "ZyReestr.h"

namespace Quorvel {

// Ends a running mouse-rest timer and clears bit 66.
void ZyMyshPokojStop(MessageRegistry& reestr, ZYKGLKONTROL& kontrol) {
    if (reestr.restTimer) KillTimer(nullptr, reestr.restTimer);
    reestr.restTimer = 0;
    ZyVsBit(kontrol, ZYBIT_TAJMER_MYSHI, false);
}

// A tick of the mouse-rest timer: the timer ends, bit 66 is cleared and 0x405 posted.
bool ZyMyshPokojTik(MessageRegistry& reestr, const MSG& soob, ZYKGLKONTROL& kontrol) {
    // NOTE: the timer has no procedure (lParam 0): the controller loop does not call
    // DispatchMessage, and Wine would hand a procedure over as a wrapped handle anyway.
    if (soob.message != WM_TIMER || reestr.restTimer == 0 || soob.wParam != reestr.restTimer ||
        soob.lParam != 0)
        return false;
    ZyMyshPokojStop(reestr, kontrol);
    PostThreadMessageA(kontrol.threadId, ZYM_MYSH_POKOJ, 0, 0);
    return true;
}

} // namespace Quorvel

using namespace Quorvel;

// WM_MOUSEMOVE: restarts the mouse-rest timer (bit 66 while it runs); mouseRestDelay 0 turns
// the notice off.
int WMMouseMove(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k || !k->messageRegistry || k->mouseRestDelay == 0) return 0;
    MessageRegistry& r = *k->messageRegistry;
    // A timer still running although bit 66 was cleared elsewhere is ended as well, so that
    // there is never more than one.
    ZyMyshPokojStop(r, *k);
    r.restTimer = SetTimer(nullptr, 0, k->mouseRestDelay, nullptr);
    if (r.restTimer) ZyVsBit(*k, ZYBIT_TAJMER_MYSHI, true);
    return 0;
}
