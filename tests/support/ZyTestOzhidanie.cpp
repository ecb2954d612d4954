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

DWORD VypolnitSebja(std::string komanda, DWORD ms) {
    char exe[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, exe, MAX_PATH)) return ZY_NE_ZAPUSTILSJA;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe, &komanda[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return ZY_NE_ZAPUSTILSJA;
    CloseHandle(pi.hThread);
    DWORD kod = ZY_NE_ZAKONCHILSJA;
    if (WaitForSingleObject(pi.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &kod);
    else
        TerminateProcess(pi.hProcess, ZY_NE_ZAKONCHILSJA);
    CloseHandle(pi.hProcess);
    return kod;
}

} // namespace zytest
