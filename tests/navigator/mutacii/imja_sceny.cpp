// Loading a scene name's module and looking up its function, with no system error box.
#include "imja_sceny.h"

#include <windows.h>

#include <map>

namespace zytest {

bool Gruzitsja(const std::string& imja) {
    static std::map<std::string, bool> izvestno;
    const auto it = izvestno.find(imja);
    if (it != izvestno.end()) return it->second;
    bool da = false;
    const size_t k = imja.rfind('\\');
    if (k != std::string::npos && k > 0 && k + 1 < imja.size()) {
        DWORD rezhim = 0;
        SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &rezhim);
        HMODULE h = LoadLibraryA(imja.substr(0, k).c_str());
        SetThreadErrorMode(rezhim, nullptr);
        if (h) {
            da = GetProcAddress(h, imja.c_str() + k + 1) != nullptr;
            FreeLibrary(h);
        }
    }
    izvestno[imja] = da;
    return da;
}

} // namespace zytest
