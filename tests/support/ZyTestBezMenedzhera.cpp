// The per-program setting of Wine's X driver that leaves the program's windows unmanaged, and
// the restart that makes it take effect.
#include "ZyTestBezMenedzhera.h"

#include "ZyTestOzhidanie.h"

#include <windows.h>

#include <string>

namespace zytest {

namespace {

// The registry key of the setting for this program's file name.
std::string KljuchNastrojki() {
    char exe[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const char* imja = exe;
    for (const char* p = exe; *p; ++p)
        if (*p == '\\' || *p == '/') imja = p + 1;
    return std::string("Software\\Wine\\AppDefaults\\") + imja + "\\X11 Driver";
}

} // namespace

bool BezMenedzheraOkon() {
    const std::string put = KljuchNastrojki();
    HKEY k = nullptr;
    char znach[8] = "";
    DWORD dlina = sizeof znach;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, put.c_str(), 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
        const bool est = RegQueryValueExA(k, "Managed", nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(znach), &dlina) == ERROR_SUCCESS;
        RegCloseKey(k);
        if (est) return false;
    }
    if (RegCreateKeyExA(HKEY_CURRENT_USER, put.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool sdelano = RegSetValueExA(k, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"),
                                        2) == ERROR_SUCCESS;
    RegCloseKey(k);
    return sdelano;
}

int ZapustitZanovo() {
    return int(VypolnitSebja(GetCommandLineA(), 550000));
}

} // namespace zytest
