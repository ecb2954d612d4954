// Failure reports of the large-file library: one format, shown through ZyStandart, held back
// while the thread is inside an operation that holds locks.
#include <windows.h>

#include <cstring>

#include "ZyOtchet.h"
#include "ZyStandart.h"

namespace Quorvel {

namespace {

// One report or message waiting to be shown.
struct ZyOtchetVOcheredi {
    char tekst[300];
    DWORD oshibka;   // the thread's last error when it was made
    bool soobshenie; // a plain message, else a report after the system's error text
};

constexpr int ZY_OCHERED = 16; // reports one operation holds back; further ones show at once

thread_local int tGlubina = 0; // ZyOtlozhennyeOtchety alive on this thread
thread_local int tKol = 0;
thread_local ZyOtchetVOcheredi tOchered[ZY_OCHERED];

// Shows one report or message; the thread's last error is the same afterwards.
void zyPokazat(const char* tekst, DWORD oshibka, bool soobshenie) {
    const DWORD bylo = GetLastError();
    SetLastError(oshibka);
    if (soobshenie)
        ZyMessage(nullptr, tekst, ZY_MODUL_KFAJL64, ZY_STIL_OTCHETA);
    else
        ZyMessageError(tekst, ZY_STIL_OTCHETA);
    SetLastError(bylo);
}

// Queues the text while reports are held back and there is room; else shows it now.
void zyOtchetIliOchered(const char* tekst, bool soobshenie) {
    const DWORD oshibka = GetLastError();
    if (tGlubina > 0 && tKol < ZY_OCHERED) {
        ZyOtchetVOcheredi& o = tOchered[tKol++];
        lstrcpynA(o.tekst, tekst, sizeof o.tekst);
        o.oshibka = oshibka;
        o.soobshenie = soobshenie;
        return;
    }
    zyPokazat(tekst, oshibka, soobshenie);
}

} // namespace

// Formats the report line and shows it (or queues it) after the system's text for the last
// error.
void ZyOtchet(const char* funkcija, unsigned serial, const char* modul) {
    const DWORD oshibka = GetLastError();
    char tekst[260];
    wsprintfA(tekst, "Module: \"%s\"::Function: \"%s\"::Serial: \"%u\"", modul, funkcija, serial);
    SetLastError(oshibka);
    zyOtchetIliOchered(tekst, false);
}

// Shows (or queues) a plain message captioned with the module path.
void ZySoobshenie(const char* tekst) {
    zyOtchetIliOchered(tekst, true);
}

ZyOtlozhennyeOtchety::ZyOtlozhennyeOtchety() {
    ++tGlubina;
}

// The outermost one shows what waited, in order.
ZyOtlozhennyeOtchety::~ZyOtlozhennyeOtchety() {
    if (--tGlubina > 0) return;
    const int kol = tKol;
    ZyOtchetVOcheredi ochered[ZY_OCHERED];
    std::memcpy(ochered, tOchered, sizeof(ZyOtchetVOcheredi) * kol);
    tKol = 0;
    for (int i = 0; i < kol; ++i)
        zyPokazat(ochered[i].tekst, ochered[i].oshibka, ochered[i].soobshenie);
}

} // namespace Quorvel
