// Bounded waits that deliver the calling thread's messages.
#include "ZyTestOzhidanie.h"

#include <cstdio>

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

HANDLE ZapustitSebja(std::string komanda) {
    char exe[MAX_PATH];
    if (!GetModuleFileNameA(nullptr, exe, MAX_PATH)) return nullptr;
    for (DWORD popytka = 0; popytka < 5; ++popytka) {
        if (popytka) Sleep(50u << (2 * popytka - 2)); // 50, 200, 800, 3200 ms
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(exe, &komanda[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            CloseHandle(pi.hThread);
            return pi.hProcess;
        }
        const DWORD oshibka = GetLastError();
        std::fprintf(stderr, "the system refused to start a helper (error %lu)\n",
                     static_cast<unsigned long>(oshibka));
        SetLastError(oshibka);
    }
    return nullptr;
}

DWORD VypolnitSebja(std::string komanda, DWORD ms) {
    const HANDLE process = ZapustitSebja(std::move(komanda));
    if (!process) return ZY_NE_ZAPUSTILSJA;
    DWORD kod = ZY_NE_ZAKONCHILSJA;
    if (WaitForSingleObject(process, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &kod);
    else
        TerminateProcess(process, ZY_NE_ZAKONCHILSJA);
    CloseHandle(process);
    return kod;
}

} // namespace zytest
