// One handler record: a function pointer, or a "module\function" text resolved on first use.
#include "ZyReestr.h"

namespace Quorvel {

namespace {

// LoadLibraryA without the system's critical-error boxes: a missing or broken module named by
// a scene is a silent "no handler", never a dialog on the controller thread.
HMODULE ZagruzitTiho(const std::string& modul) {
    DWORD prezhnij = 0;
    const BOOL izmenen =
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &prezhnij);
    HMODULE h = LoadLibraryA(modul.c_str());
    if (izmenen) SetThreadErrorMode(prezhnij, nullptr);
    return h;
}

} // namespace

// Releases the module loaded for the name.
HandlerRecord::~HandlerRecord() {
    if (module) FreeLibrary(module);
}

// Calls the function, resolving a named record first (see the declaration for the results).
int HandlerRecord::Vyzvat(MSG* soob) {
    if (!fn) {
        if (name.empty()) return 0;
        const std::string::size_type razdel = name.rfind('\\');
        if (razdel == std::string::npos || razdel == 0 || razdel + 1 == name.size()) return 0;
        if (!module) {
            module = ZagruzitTiho(name.substr(0, razdel));
            if (!module) return 0;
        }
        const std::string funkcija = name.substr(razdel + 1);
        fn = reinterpret_cast<ZYF_SOOB>(
            reinterpret_cast<void*>(GetProcAddress(module, funkcija.c_str())));
        if (!fn) {
            FreeLibrary(module);
            module = nullptr;
            return 0;
        }
    }
    fn(soob);
    return 1;
}

} // namespace Quorvel
