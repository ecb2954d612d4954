// Bounded waits that deliver the calling thread's messages.
#include "ZyTestOzhidanie.h"

namespace zytest {

namespace {

constexpr DWORD kShag = 10; // ms between looks at a condition nothing signals

} // namespace

void Prokachat() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool Zhdat(HANDLE h, DWORD ms) {
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

bool ZhdatPoka(const std::function<bool()>& uslovie, DWORD ms, HANDLE budilnik) {
    const DWORD start = GetTickCount();
    for (;;) {
        Prokachat();
        if (uslovie()) return true;
        const DWORD proshlo = GetTickCount() - start;
        if (proshlo >= ms) return uslovie();
        const DWORD ostalos = ms - proshlo;
        MsgWaitForMultipleObjects(budilnik ? 1 : 0, &budilnik, FALSE,
                                  ostalos < kShag ? ostalos : kShag, QS_ALLINPUT);
    }
}

void KachatVremja(DWORD ms) {
    ZhdatPoka([] { return false; }, ms);
}

} // namespace zytest
