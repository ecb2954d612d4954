// Failure reports of the large-file library: one format, shown through ZyStandart.
#include <windows.h>

#include "ZyOtchet.h"
#include "ZyStandart.h"

namespace Quorvel {

// Formats the report line and shows it after the system's text for the last error.
void ZyOtchet(const char* funkcija, unsigned serial, const char* modul) {
    const DWORD oshibka = GetLastError();
    char tekst[260];
    wsprintfA(tekst, "Module: \"%s\"::Function: \"%s\"::Serial: \"%u\"", modul, funkcija, serial);
    SetLastError(oshibka);
    ZyMessageError(tekst, ZY_STIL_OTCHETA);
    SetLastError(oshibka);
}

// Shows a plain message captioned with the module path.
void ZySoobshenie(const char* tekst) {
    const DWORD oshibka = GetLastError();
    ZyMessage(nullptr, tekst, ZY_MODUL_KFAJL64, ZY_STIL_OTCHETA);
    SetLastError(oshibka);
}

} // namespace Quorvel
