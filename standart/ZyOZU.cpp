// Memory reservation that explains a failure to the user and offers to retry.
#include "ZyStandart.h"
#include "ZyStandartVyzovy.h"

#include <string>

namespace {

// Message box styles: system-modal with an information icon, with a warning icon, and with
// an information icon and the buttons Retry and Cancel.
constexpr unsigned kStilOtkaz = MB_SYSTEMMODAL | MB_ICONINFORMATION;
constexpr unsigned kStilOshibka = MB_SYSTEMMODAL | MB_ICONWARNING;
constexpr unsigned kStilPovtor = MB_SYSTEMMODAL | MB_ICONINFORMATION | MB_RETRYCANCEL;

// The caption that names the requester and the size: Function: "kto" required "n" byte.
std::string zagolovokZaprosa(const char* kto, SIZE_T razmer) {
    return std::string("Function: \"") + (kto ? kto : "") + "\" required \"" +
           std::to_string(static_cast<unsigned long long>(razmer)) + "\" byte.";
}

// Explains that the request exceeds the whole virtual address space.
void pokazatOtkaz(const std::string& zagolovok, const MEMORYSTATUSEX& ms) {
    const std::string tekst =
        "Your request exceeds possibilities of virtual space.\r\nVirtual space = \"" +
        std::to_string(ms.ullTotalVirtual) + "\" byte.\r\nYou it is available \"" +
        std::to_string(ms.ullAvailPhys + ms.ullAvailPageFile) + "\" byte.";
    ZyMessage(nullptr, tekst.c_str(), zagolovok.c_str(), kStilOtkaz);
}

// Releases what *kuda points to if it is a live block of the process heap (the heap this
// function reserves from), and clears it. Anything else (null, a stack or static address, a
// block already released or of another heap) is only forgotten: the heap's own validation
// decides, so a stray pointer is never handed to HeapFree.
void osvoboditStaryj(void** kuda) {
    void* staryj = *kuda;
    *kuda = nullptr;
    if (staryj && HeapValidate(GetProcessHeap(), 0, staryj)) HeapFree(GetProcessHeap(), 0, staryj);
}

// One reservation attempt after another until it succeeds, is refused or is cancelled.
int zabronirovat(void** kuda, SIZE_T razmer, const char* kto) {
    const std::string zagolovok = zagolovokZaprosa(kto, razmer);
    for (;;) {
        MEMORYSTATUSEX ms = {};
        ms.dwLength = sizeof ms;
        if (GlobalMemoryStatusEx(&ms) && razmer > ms.ullTotalVirtual) {
            pokazatOtkaz(zagolovok, ms);
            return 0;
        }
        SetLastError(ERROR_SUCCESS);
        void* blok = zyst::ZyOS().HeapAlloc(GetProcessHeap(), 0, razmer);
        if (blok) {
            *kuda = blok;
            return 1;
        }
        // NOTE: HeapAlloc need not set the last error; the explanation needs one.
        if (GetLastError() == ERROR_SUCCESS) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ZyMessageError(nullptr, kStilOshibka);
        const std::string tekst = "Can Not select memory in size \"" +
                                  std::to_string(static_cast<unsigned long long>(razmer)) +
                                  "\" byte.";
        const int otvet = ZyMessage(nullptr, tekst.c_str(), zagolovok.c_str(), kStilPovtor);
        osvoboditStaryj(kuda);
        if (otvet != IDRETRY) return 0;
    }
}

} // namespace

extern "C" {

// Reserves `razmer` bytes of the process heap into *kuda.
int ZyZabronirovatOZU(void** kuda, SIZE_T razmer, const char* kto) {
    if (!kuda || razmer == 0) return 0;
    try {
        return zabronirovat(kuda, razmer, kto);
    } catch (...) {
        return 0; // not even the message texts could be made
    }
}

} // extern "C"
