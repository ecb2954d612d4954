// ZYKGLORVANTA2: the navigator. Pusk builds the window set: one controller per view window,
// its thread started and ready, its first scene loaded, its window created (the creation
// messages handled on the controller thread), and finally the parent subclassed.
#include "ZyKGLOrvanta2.h"

#include "ZyKontrolVnutr.h"
#include "ZyOkna.h"
#include "ZySetka.h"

#include <cstdio>
#include <new>
#include <vector>

namespace Quorvel {

namespace {

// Largest window count: the view index travels as a 16-bit word, 0xFFFF marks the auxiliary
// window.
constexpr unsigned long ZY_MAKS_OKON = 0xFFFE;

// How long the destructor waits for the controller threads: first for those that are ending
// on their own, then for those it had to stop.
constexpr DWORD ZY_OZHIDANIE_KONCA_MS = 3000;
constexpr DWORD ZY_OZHIDANIE_OSTANOVA_MS = 5000;

// Closes a handle when the scope ends.
struct ZyRuchka {
    HANDLE h;
    ~ZyRuchka() {
        if (h) CloseHandle(h);
    }
};

// The engine library's module handle (by name, else the module holding this code).
HINSTANCE Biblioteka() {
    if (HMODULE h = GetModuleHandleA("ZyKGLOrvanta2.DLL")) return h;
    HMODULE h = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Biblioteka), &h);
    return h;
}

// Registers the view-window class; a class left registered by an earlier call is reused.
void ZaregistrirovatKlass(HINSTANCE inst) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style =
        CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC | CS_BYTEALIGNCLIENT | CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = ZyProcOknaVida;
    wc.cbWndExtra = 6;
    wc.hInstance = inst;
    wc.hIcon = LoadIconA(inst, "ZYICON");
    wc.hCursor = LoadCursorFromFileA("ZyGLCur.cur");
    if (!wc.hCursor) wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    wc.lpszClassName = ZY_KLASS_OKNA;
    wc.hIconSm = static_cast<HICON>(LoadImageA(inst, "ZYICON", IMAGE_ICON, 16, 16, 0));
    if (RegisterClassExA(&wc)) return;
    WNDCLASSA w{};
    w.style = wc.style;
    w.lpfnWndProc = wc.lpfnWndProc;
    w.cbWndExtra = wc.cbWndExtra;
    w.hInstance = wc.hInstance;
    w.hIcon = wc.hIcon;
    w.hCursor = wc.hCursor;
    w.hbrBackground = wc.hbrBackground;
    w.lpszClassName = wc.lpszClassName;
    RegisterClassA(&w);
}

// The thread has ended (or there is none).
bool Zakonchen(HANDLE potok) {
    return !potok || WaitForSingleObject(potok, 0) != WAIT_TIMEOUT;
}

// A quit message taken from this thread's queue while the destructor waits, put back (with
// its exit code) when the wait is over, for the caller's own loop.
struct ZyVyhod {
    bool est = false;
    WPARAM kod = 0;
    ~ZyVyhod() {
        if (est) PostQuitMessage(static_cast<int>(kod));
    }
};

// Waits up to `ms` in all for every thread of the list while this thread's messages are
// dispatched. NOTE: an ending controller releases its rendering contexts, which under Wine
// needs the window thread to go on handling its window events, not only sent messages. A quit
// message in the queue (a host that posted it from its WM_DESTROY and destroys the navigator
// before its loop takes it) does not end the wait: it is kept in `vyhod` and put back later.
void ZhdatPotoki(const std::vector<HANDLE>& potoki, DWORD ms, ZyVyhod& vyhod) {
    const DWORD start = GetTickCount();
    for (HANDLE h : potoki) {
        for (;;) {
            const DWORD proshlo = GetTickCount() - start;
            if (proshlo >= ms) return;
            const DWORD rc = MsgWaitForMultipleObjects(1, &h, FALSE, ms - proshlo, QS_ALLINPUT);
            if (rc != WAIT_OBJECT_0 + 1) break;
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_QUIT) {
                    vyhod.est = true;
                    vyhod.kod = m.wParam;
                    continue;
                }
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
    }
}

// Threads of the array that still run.
std::vector<HANDLE> Zhivye(ZYKGLKONTROL* k, unsigned long n) {
    std::vector<HANDLE> v;
    for (unsigned long i = 0; i < n; ++i)
        if (!Zakonchen(k[i].thread)) v.push_back(k[i].thread);
    return v;
}

// Tells a controller thread to stop and wakes it: its loop handles what is already queued
// (a WM_DESTROY in flight still releases the context) and ends.
void Ostanovit(ZYKGLKONTROL& k) {
    k.threadAlive = 0;
    PostThreadMessageA(k.threadId, WM_NULL, 0, 0);
}

// Ends every controller thread of the array, bounded. A view window that still exists on this
// thread is destroyed, which ends its controller the usual way; a controller without a window
// (its creation failed, or its WM_DESTROY is already queued) is told to stop; whatever still
// runs after the first wait is told to stop too. Returns true when no thread runs any more
// (then the controllers may be freed).
bool OstanovitPotoki(ZYKGLKONTROL* k, unsigned long n) {
    ZyVyhod vyhod;
    for (unsigned long i = 0; i < n; ++i) {
        if (Zakonchen(k[i].thread)) continue;
        HWND vid = k[i].hwnd;
        if (vid && IsWindow(vid) && GetWindowThreadProcessId(vid, nullptr) == GetCurrentThreadId())
            DestroyWindow(vid);
        else
            Ostanovit(k[i]);
    }
    ZhdatPotoki(Zhivye(k, n), ZY_OZHIDANIE_KONCA_MS, vyhod);
    for (unsigned long i = 0; i < n; ++i)
        if (!Zakonchen(k[i].thread)) Ostanovit(k[i]);
    ZhdatPotoki(Zhivye(k, n), ZY_OZHIDANIE_OSTANOVA_MS, vyhod);
    if (!Zhivye(k, n).empty()) return false;
    for (unsigned long i = 0; i < n; ++i) {
        if (k[i].thread) CloseHandle(k[i].thread);
        k[i].thread = nullptr;
    }
    return true;
}

// The grid cell of view i, or the caller's description of the window.
struct ZyMesto {
    long x, y, w, h;
};

} // namespace

// All fields zero.
ZYKGLORVANTA2::ZYKGLORVANTA2()
    : controllers(nullptr), windowCount(0), oldParentProc(nullptr), parentWindow(nullptr),
      parentRegion(nullptr), parentRegionAux(nullptr) {}

// Restores the parent's procedure, ends the controller threads (bounded) and frees the
// controllers and regions. NOTE: when a controller thread is stuck (a scene function that never
// returns) its controllers are deliberately left allocated: freeing them, and unloading the
// scene modules, under a running thread would crash the process at exit.
ZYKGLORVANTA2::~ZYKGLORVANTA2() {
    if (oldParentProc && parentWindow && IsWindow(parentWindow)) {
        SetWindowLongPtrA(parentWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldParentProc));
        RemovePropA(parentWindow, ZY_SVOJSTVO);
    }
    oldParentProc = nullptr;
    if (controllers && OstanovitPotoki(controllers, windowCount)) delete[] controllers;
    controllers = nullptr;
    if (parentRegion) DeleteObject(parentRegion);
    // NOTE: parentRegionAux was handed to the parent window, which owns it now.
    parentRegion = parentRegionAux = nullptr;
}

// A new array of max(count, 1) controllers, each reset and numbered. 0 when the array cannot
// be allocated, when count is above 0xFFFE (view indexes are 16-bit words) or while a thread of
// the current array still runs (its controller must not be freed under it).
unsigned long ZYKGLORVANTA2::KolOkon(unsigned long count) {
    if (count > ZY_MAKS_OKON) return 0;
    if (controllers) {
        if (!Zhivye(controllers, windowCount).empty()) return 0;
        for (unsigned long i = 0; i < windowCount; ++i)
            if (controllers[i].thread) CloseHandle(controllers[i].thread);
        delete[] controllers;
        controllers = nullptr;
    }
    windowCount = count ? count : 1;
    controllers = new (std::nothrow) ZYKGLKONTROL[windowCount];
    if (!controllers) return 0;
    for (unsigned long i = 0; i < windowCount; ++i)
        controllers[i].index = i;
    return 1;
}

// Builds the window set; see the unit's comment. Returns 0 at once on an invalid parent, a
// second call, a failed allocation, a thread that cannot be created or ends before it is
// ready, a window that cannot be created or a parent property that cannot be set; what was
// created so far stays.
unsigned long ZYKGLORVANTA2::Pusk(void* parent, unsigned long count, SGL_OKNO* windows,
                                  SGL_SCENA_PARAM* scenes) {
    HWND roditel = static_cast<HWND>(parent);
    if (roditel && !IsWindow(roditel)) return 0;
    if (oldParentProc || (controllers && controllers[0].thread)) return 0; // once per navigator
    parentWindow = roditel;
    if (!KolOkon(count)) return 0;
    const HINSTANCE inst = Biblioteka();
    ZaregistrirovatKlass(inst);

    ZYS_SETKA setka;
    if (!windows) {
        RECT r{};
        GetClientRect(roditel ? roditel : GetDesktopWindow(), &r);
        setka = ZyRaschetSetki(r.right - r.left, r.bottom - r.top, windowCount, roditel != nullptr);
    }

    char imja[64];
    std::snprintf(imja, sizeof imja, "%s%u", "1 ZYKGLORVANTA2 Sinhron Thread ",
                  static_cast<unsigned>(GetCurrentThreadId()));
    ZyRuchka start{CreateEventA(nullptr, FALSE, FALSE, imja)};
    if (!start.h) return 0;

    for (unsigned long i = 0; i < windowCount; ++i) {
        ZYKGLKONTROL& k = controllers[i];
        ZYS_START_BLOK blok{GetCurrentThreadId(), &k, start.h};
        k.ProcPotoka = ZyPotokKontrolera;
        k.thread = CreateThread(nullptr, ZY_STEK_POTOKA, ZyPotokKontrolera, &blok,
                                CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION, &k.threadId);
        if (!k.thread) return 0;
        k.threadAlive = 1;
        ZyVklFlag(k, ZYBIT_POKAZAT);
        k.showCommand = SW_SHOW;
        k.pParentRegion = &parentRegion;
        k.pParentRegionAux = &parentRegionAux;
        k.windowCount = windowCount;
        ResumeThread(k.thread);
        const HANDLE h[2] = {start.h, k.thread};
        if (ZyZhdatObsluzhivaja(2, h, INFINITE) != WAIT_OBJECT_0) return 0;

        if (scenes) {
            k.NScena(scenes[i].adresa);
            k.sceneParam = scenes[i].sceneParam;
        } else if (k.Scena(ZYH_TEKUSHCHAJA, 1) == 0) {
            MessageBoxA(nullptr, "Not Scene", "ZYKGLKONTROL", MB_ICONERROR);
        }

        DWORD stil;
        if (roditel)
            stil = windows ? windows[i].Stil : (WS_CHILD | WS_VISIBLE | WS_BORDER);
        else
            stil = (windows ? windows[i].Stil : WS_OVERLAPPEDWINDOW) & ~DWORD(WS_CHILD);
        const ZyMesto m =
            windows ? ZyMesto{windows[i].x, windows[i].y, windows[i].Shirina, windows[i].Vysota}
                    : ZyMesto{setka.x[i], setka.y[i], setka.shirina, setka.vysota};
        const char* zagolovok =
            windows && windows[i].Zagolovok ? windows[i].Zagolovok : ZY_KLASS_OKNA;
        const HMENU id =
            (roditel && (stil & WS_CHILD)) ? reinterpret_cast<HMENU>(UINT_PTR(i)) : nullptr;
        ZYS_BLOK_SOZDANIJA sozd{0, this, static_cast<WORD>(i)};
        HWND okno = CreateWindowExA(windows ? windows[i].RasshStil : 0, ZY_KLASS_OKNA, zagolovok,
                                    stil, m.x, m.y, m.w, m.h, roditel, id, inst, &sozd);
        k.hwnd = okno;
        if (!okno) return 0;
        SetWindowLongPtrA(okno, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowWord(okno, 4, static_cast<WORD>(i));
    }

    if (roditel) {
        // The property first: the parent procedure finds the parent's own procedure through it.
        if (!SetPropA(roditel, ZY_SVOJSTVO, this)) return 0;
        oldParentProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(roditel, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ZyProcRoditelja)));
    }
    return 1;
}

} // namespace Quorvel
