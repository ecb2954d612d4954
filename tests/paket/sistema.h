// What the installer test reads back from Windows: folder trees, registry values, Start-menu
// shortcuts, version resources, the shell's folders, and processes run to their end (with the
// processes they start).
#ifndef ZY_PAKET_SISTEMA_H
#define ZY_PAKET_SISTEMA_H

#include <windows.h>

#include <map>
#include <string>

namespace paket {

// Every file below a folder: its path relative to the folder -> its content.
using Derevo = std::map<std::string, std::string>;
Derevo ProchestDerevo(const std::string& papka);

// "a, b (+3 more)": the names of a tree that the other tree lacks or holds with another content.
std::string Raznica(const Derevo& a, const Derevo& b);

bool EstFajl(const std::string& put);
bool EstPapka(const std::string& put);

// A Unix path as Wine shows it to a Windows program.
std::string VWindows(std::string put);

// A registry string (REG_SZ or REG_EXPAND_SZ, unexpanded); `est` false when there is none.
std::string StrokaReestra(HKEY koren, const std::string& kljuch, const char* imja, bool* est);
// A registry DWORD; `est` false when there is none.
DWORD ChisloReestra(HKEY koren, const std::string& kljuch, const char* imja, bool* est);
bool EstKljuch(HKEY koren, const std::string& kljuch);

// What a shell link (.lnk) starts.
struct Jarlyk {
    bool prochitan = false;
    std::string cel, papka, argumenty;
};
Jarlyk ProchestJarlyk(const std::string& lnk);

// A folder of the shell (CSIDL_...) of the current user.
std::string PapkaOboloch(int csidl);

// The version resource of a program or DLL.
struct Versija {
    bool est = false;
    WORD chasti[4] = {};                       // the fixed file version, most significant first
    std::map<std::string, std::string> stroki; // ProductName, FileVersion, ...
};
Versija ProchestVersiju(const std::string& fajl);

// Runs a command line and waits up to `ms` for it and for every process it started: its exit
// code, or ZY_NE_ZAPUSK when it did not start, ZY_NE_KONEC when it did not end in time.
constexpr DWORD ZY_NE_ZAPUSK = 0xE0000001, ZY_NE_KONEC = 0xE0000002;
DWORD Vypolnit(const std::string& komanda, DWORD ms);

} // namespace paket

#endif // ZY_PAKET_SISTEMA_H
