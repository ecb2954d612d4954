// One run of the real viewer (see ZyTestProsmotr.h).
#include "ZyTestProsmotr.h"

#include "ZyTestOkno.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"

#include <vector>

namespace zytest {

Prosmotr::Prosmotr() {
    const std::string exe = PapkaProgrammy() + "\\orvanta.exe";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::vector<char> stroka(exe.begin(), exe.end());
    stroka.push_back('\0');
    zapushcheno_ = CreateProcessA(exe.c_str(), stroka.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  nullptr, &si, &pi_) != 0;
}

std::string Prosmotr::ZakrytSoobshchenija() {
    return Opisanie(OtvetitNaSoobshenija(pi_.dwProcessId, IDOK));
}

bool Prosmotr::Zakryt(DWORD ms) {
    if (!zapushcheno_) return true;
    zapushcheno_ = false;
    for (HWND h : OknaProcessa(pi_.dwProcessId, "Pattern"))
        PostMessageA(h, WM_CLOSE, 0, 0);
    bool vyshel = false;
    for (int i = 0; i < 10 && !vyshel; ++i) {
        vyshel = WaitForSingleObject(pi_.hProcess, ms / 10) == WAIT_OBJECT_0;
        if (!vyshel) ZakrytSoobshchenija();
    }
    if (!vyshel) {
        TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, ms);
    }
    GetExitCodeProcess(pi_.hProcess, &kod_);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
    return vyshel;
}

} // namespace zytest
