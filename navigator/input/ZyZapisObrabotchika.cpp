// One handler record: a function pointer, or a "module\function" text resolved on first use.
#include "ZyReestr.h"

#include <cstring>

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

// A reference to the module whose code holds `adres`, with its file in `fajl`; null when no
// module is loaded there. `derzhat` false: no reference is taken.
HMODULE ModulKoda(const void* adres, std::string& fajl, bool derzhat) {
    HMODULE h = nullptr;
    const DWORD flagi = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                        (derzhat ? 0 : GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT);
    if (!GetModuleHandleExA(flagi, static_cast<LPCSTR>(adres), &h)) return nullptr;
    char put[MAX_PATH];
    const DWORD n = GetModuleFileNameA(h, put, MAX_PATH);
    fajl.assign(put, n < MAX_PATH ? n : 0);
    return h;
}

} // namespace

// Notes the module file that holds the function's code, unless that is the program or this
// library, which stay loaded as long as any handler can run.
HandlerRecord::HandlerRecord(ZYF_SOOB funkcija) : fn(funkcija) {
    if (!fn) return;
    std::string fajl;
    const HMODULE h = ModulKoda(reinterpret_cast<const void*>(fn), fajl, false);
    std::string svoj;
    if (h && h != GetModuleHandleA(nullptr) &&
        h != ModulKoda(reinterpret_cast<const void*>(&ZagruzitTiho), svoj, false))
        kodFajl = fajl;
}

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
    if (module || kodFajl.empty()) { // its own module keeps the code, or no module held it
        fn(soob);
        return 1;
    }
    // A function given by pointer runs only while the module that held it is loaded at the
    // same place, and that module is held for the call: the module cache may have unloaded the
    // scene that subscribed it (another module may since sit at that address), and another
    // view's thread may unload it meanwhile.
    std::string fajl;
    const HMODULE derzhit = ModulKoda(reinterpret_cast<const void*>(fn), fajl, true);
    if (!derzhit) return 0;
    if (_stricmp(fajl.c_str(), kodFajl.c_str()) != 0) {
        FreeLibrary(derzhit);
        return 0;
    }
    fn(soob);
    FreeLibrary(derzhit);
    return 1;
}

} // namespace Quorvel
