// The controller's two threads: the controller thread (messages, dispatch, animation) and the
// intermission thread (the old scene's Antrakt on the auxiliary window while a new scene's
// constructor runs). Every wait here is bounded by a message, a handle or a timeout.
#include "ZyKontrolVnutr.h"

#include "ZyPokaz.h"
#include "ZyReestrSoob.h"
#include "ZyTakt.h"
#include "ZyZvuk.h"

#include <GL/gl.h>

namespace Quorvel {

namespace {

// Period of one frame at the controller's rate; also stored in the pacer.
void VsPeriod(ZYKGLKONTROL& k) {
    if (k.Takt) k.Takt->period = ZyPeriodKadra(k.fps);
}

// Waits for the pacer when there is one.
void ZhdatKadr(ZYKGLKONTROL& k) {
    if (k.Takt) k.Takt->Zhdat();
}

// One animation frame on the controller thread, presented once the scene has ended it.
void Kadr(ZYKGLKONTROL& k) {
    ZyRazmerCeliPokaza(k.KontekstDC);
    ZhdatKadr(k);
    if (!ZyFlag(k, ZYBIT_NE_DVIGAT)) k.PozicijaNabludenija(nullptr);
    ZyVyzvatScenu(k, 2);
    if (ZyFlag(k, ZYBIT_PROZRACHNO)) k.Prozrachno();
    ZyVyzvatScenu(k, 3);
    ZyPokazatKadr(k.KontekstDC);
}

// Starts the intermission thread; it runs at once and its id goes into the controller.
void PustitAntrakt(ZYKGLKONTROL& k) {
    if (k.PotokAntrakta) return;
    k.ProcAntrakta = ZyPotokAntrakta;
    k.PotokAntrakta = CreateThread(nullptr, ZY_STEK_POTOKA, ZyPotokAntrakta, &k,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION, &k.IdAntrakta);
    if (!k.PotokAntrakta) k.IdAntrakta = 0;
}

// The forwarded WM_CREATE: the first scene's constructor, the registry, then the rendering
// context (a constructor that made its own keeps it), the intermission thread and a first paint.
// When the constructor or a handler refuses the creation (-1 in `result`), the window is
// destroyed before the engine ever hears of it: what drawing holds is released at once.
void SozdanieOkna(ZYKGLKONTROL& k, MSG& m) {
    ZyVyzvatScenu(k, 0);
    ZyReestrRazoslat(k.messageRegistry, &m, &k);
    if (k.result == -1) {
        ZyOsvoboditRisovanie(k);
        return;
    }
    k.VsDCFormat(nullptr);
    k.VzDCFormat(&k.FormatPikselej);
    PustitAntrakt(k);
    PostThreadMessageA(GetCurrentThreadId(), WM_PAINT, 0, 0);
}

// Handles one message taken from the queue; WM_PAINTs already queued behind it are folded
// into one paint.
void Obrabotat(ZYKGLKONTROL& k, MSG& m) {
    if (m.hwnd) {
        // A window of this thread (an offscreen target, or a window a scene made here): the
        // view's own messages come as thread messages.
        TranslateMessage(&m);
        DispatchMessageA(&m);
        return;
    }
    m.hwnd = reinterpret_cast<HWND>(&k);
    if (m.message == ZYM_CREATE) {
        SozdanieOkna(k, m);
    } else if (m.message == WM_PAINT) {
        MSG sled;
        while (PeekMessageA(&sled, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            m = sled;
        m.hwnd = reinterpret_cast<HWND>(&k);
        ZyReestrRazoslat(k.messageRegistry, &m, &k);
    } else {
        ZyReestrRazoslat(k.messageRegistry, &m, &k);
    }
}

// The loop's timeout after a message: infinite while idle, 0 (one frame per period) while
// animating with a rendering context.
void VybratTajmaut(ZYKGLKONTROL& k) {
    if (!ZyAnimacija(k)) {
        k.TajmautCikla = -1;
        return;
    }
    VsPeriod(k);
    if (ZyFlag(k, ZYBIT_KONTEKST)) k.TajmautCikla = 0;
}

// Ends the intermission thread: gives it the drawing token (in case it waits for its turn),
// asks it to end and waits for it. NOTE: a thread that has only just started may not have its
// message queue yet, so the request is repeated until it is accepted or the thread is gone.
void ZavershitAntrakt(ZYKGLKONTROL& k) {
    if (!k.PotokAntrakta) return;
    SetEvent(k.frameEvent);
    while (!PostThreadMessageA(k.IdAntrakta, WM_DESTROY, 0, 0))
        if (WaitForSingleObject(k.PotokAntrakta, 10) != WAIT_TIMEOUT) break;
    WaitForSingleObject(k.PotokAntrakta, INFINITE);
    CloseHandle(k.PotokAntrakta);
    k.PotokAntrakta = nullptr;
}

// Longest run of messages handled after the loop has ended (see DoobrabotatOchered).
constexpr int ZY_MAKS_OSTATOK = 10000;

// Handles what is still queued once the loop has ended, so that a WM_DESTROY that arrived
// while the thread was told to stop still stores the position and releases the context.
// Paints are dropped: nobody sees a frame of a closing view. Bounded: the window is gone, so
// nothing refills the queue, and a runaway poster cannot keep the thread alive.
void DoobrabotatOchered(ZYKGLKONTROL& k) {
    MSG m;
    for (int i = 0; i < ZY_MAKS_OSTATOK && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i)
        if (m.message != WM_PAINT) Obrabotat(k, m);
}

// Drawing resources still held at the thread's end (no WM_DESTROY ever came, for example when
// the window's creation failed) are released here, on the thread that made them.
void OsvoboditOstatki(ZYKGLKONTROL& k) {
    if (k.KontekstGL || k.KontekstDC || k.Palitra || k.Shrift) ZyOsvoboditRisovanie(k);
}

// The controller thread's main loop; returns once threadAlive is 0.
void Cikl(ZYKGLKONTROL& k) {
    while (k.threadAlive) {
        const DWORD rc = MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                                   static_cast<DWORD>(k.TajmautCikla), QS_ALLINPUT);
        if (rc == WAIT_OBJECT_0) {
            if (ZyFlag(k, ZYBIT_UNICHTOZHENO)) k.threadAlive = 0;
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                const UINT soob = m.message;
                Obrabotat(k, m);
                VybratTajmaut(k);
                // The window thread waits for the creation messages whatever a handler left
                // in `result`; it takes and resets the value itself.
                if (k.result == 0 || soob == ZYM_NCCREATE || soob == ZYM_CREATE)
                    SetEvent(k.replyEvent);
            }
        } else if (!ZyAnimacija(k)) {
            // Animation stopped inside a frame (a scene cleared its flag or paused): go idle
            // instead of spinning on a zero timeout.
            k.TajmautCikla = -1;
            if (rc == WAIT_FAILED) {
                ZyOshibkaPotoka("MsgWaitForMultipleObjects() fails.");
                if (k.hwnd) PostMessageA(k.hwnd, WM_CLOSE, 0, 0);
            }
        } else {
            Kadr(k);
        }
    }
}

// The intermission's own rendering context for the auxiliary window, made once. One attempt
// only: a failure is reported once (by the pixel-format call) and the intermission then draws
// nothing. Never on a window that is gone (the view is being closed).
void PodgotovitKontekst(ZYKGLKONTROL& k, bool& popytka) {
    if (popytka || !k.desHwnd || !IsWindow(k.desHwnd)) return;
    popytka = true;
    // A copy: the pixel-format call writes back the format obtained, and the controller's own
    // field belongs to the controller thread.
    PIXELFORMATDESCRIPTOR pfd = k.FormatPikselej;
    k.desDC = ZySozdatDCKonteksta(k.desHwnd, &pfd);
    if (!k.desDC) return;
    k.desGL = wglCreateContext(k.desDC);
    if (k.desGL) wglMakeCurrent(k.desDC, k.desGL);
}

// One intermission frame on the intermission thread, presented on the auxiliary window.
void KadrAntrakta(ZYKGLKONTROL& k, bool& popytka) {
    PodgotovitKontekst(k, popytka);
    ZyRazmerCeliPokaza(k.desDC);
    ZhdatKadr(k);
    if (!ZyFlag(k, ZYBIT_NE_DVIGAT)) k.PozicijaNabludenija(nullptr);
    ZyVyzvatScenu(k, 1);
    ZyPokazatKadr(k.desDC);
}

// Releases the intermission's context and device context. The auxiliary window belongs to
// the window thread: it is destroyed here only when this thread owns it; otherwise it is
// asked to close (NOTE: Wine's DestroyWindow of another thread's window sends a message to
// the owner and waits, which can deadlock with a window thread that waits for this thread).
void OsvoboditAntrakt(ZYKGLKONTROL& k) {
    wglMakeCurrent(nullptr, nullptr);
    if (k.desGL) wglDeleteContext(k.desGL);
    k.desGL = nullptr;
    ZyOsvoboditDCKonteksta(k.desHwnd, k.desDC);
    k.desDC = nullptr;
    if (k.desHwnd && IsWindow(k.desHwnd)) {
        if (GetWindowThreadProcessId(k.desHwnd, nullptr) == GetCurrentThreadId())
            DestroyWindow(k.desHwnd);
        else
            PostMessageA(k.desHwnd, WM_CLOSE, 0, 0);
    }
}

} // namespace

// Controller thread procedure (argument: the start block of Pusk).
DWORD WINAPI ZyPotokKontrolera(void* arg) {
    ZYS_START_BLOK* blok = static_cast<ZYS_START_BLOK*>(arg);
    if (!blok) {
        ZyOshibkaPotoka("arg = NULL in new thread.");
        return 0;
    }
    ZYKGLKONTROL* kontrol = blok->kontrol;
    if (!kontrol) {
        SetEvent(blok->startSobytie); // Pusk sees the thread end
        ZyOshibkaPotoka("Not class ZYKGLKONTROL in new thread.");
        return 0;
    }
    ZYKGLKONTROL& k = *kontrol;
    MSG m;
    // NOTE: the first peek creates the thread's message queue; the window thread posts the
    // forwarded creation messages as soon as the start event is set.
    PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(blok->startSobytie); // the block is not used after this
    k.TajmautCikla = -1;
    ZyReestrUstanovitOsnovnwe(k.messageRegistry, ZyOsnovnweObrabotchiki, 10);
    Cikl(k);
    DoobrabotatOchered(k);
    OsvoboditOstatki(k);
    ZavershitAntrakt(k);
    if (k.hwnd) PostMessageA(k.hwnd, WM_CLOSE, 0, 0);
    ZyZvuk(2 * k.threadId + 500, 100);
    ZyZvuk(2 * k.threadId + 300, 100);
    return 0;
}

// Intermission thread procedure (argument: the controller).
DWORD WINAPI ZyPotokAntrakta(void* arg) {
    if (!arg) {
        ZyOshibkaPotoka("Not thread destructor.");
        return 0;
    }
    ZYKGLKONTROL& k = *static_cast<ZYKGLKONTROL*>(arg);
    MSG m;
    PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_NOREMOVE); // the queue, before any request
    k.TajmautAntrakta = -1;
    // HACK: the context is made at the first intermission frame, not here: at the thread's
    // start the controller thread is still building its own context and the scene's lists
    // while the window thread serves only sent messages, and under Wine the two set-ups at
    // once can stall; on the direct path Wine also hands this thread a device context of the
    // auxiliary window that is freed under it.
    bool popytka = false; // the context has been tried (see PodgotovitKontekst)
    for (;;) {
        const DWORD rc = MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(k.TajmautAntrakta), QS_ALLINPUT);
        WaitForSingleObject(k.frameEvent, INFINITE); // the drawing token
        if (rc != WAIT_OBJECT_0) {
            if (ZyFlag(k, ZYBIT_ANIMACIJA) || ZyFlag(k, ZYBIT_DVIZHETSJA))
                KadrAntrakta(k, popytka);
            else
                k.TajmautAntrakta = -1; // nothing animates: wait for the next request
        } else {
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_DESTROY) {
                    OsvoboditAntrakt(k);
                    ZyZvuk(2 * k.threadId + 900, 100);
                    ZyZvuk(2 * k.threadId - 100, 100);
                    return static_cast<DWORD>(m.wParam);
                }
                if (m.hwnd) {
                    DispatchMessageA(&m); // the offscreen target's own window
                    continue;
                }
                // NOTE: a paint request left over when the view closes draws nothing.
                if (m.message == WM_PAINT && !ZyFlag(k, ZYBIT_UNICHTOZHENO))
                    KadrAntrakta(k, popytka);
                if (ZyFlag(k, ZYBIT_ANIMACIJA) || ZyFlag(k, ZYBIT_DVIZHETSJA)) {
                    VsPeriod(k);
                    k.TajmautAntrakta = 0;
                } else {
                    k.TajmautAntrakta = -1;
                }
            }
        }
        SetEvent(k.frameEvent);
    }
}

} // namespace Quorvel
