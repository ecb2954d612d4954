// The test scenes' journal: which scene function ran, on which thread, from which module and
// when; and the settings the tests give the scenes. One DLL holds it, shared by the scene
// modules and the test program.
#ifndef ZYTESTZHURNAL_H
#define ZYTESTZHURNAL_H

#include "ZyKGLOrvanta2.h"

#if defined(ZYTESTZHURNAL_BUILD)
#define ZYT_API __declspec(dllexport)
#else
#define ZYT_API __declspec(dllimport)
#endif

// Scene functions (and the scenes' message handler), as journal codes.
enum { ZYT_KONSTR = 1, ZYT_ANTRAKT = 2, ZYT_POKAZ = 3, ZYT_FINAL = 4, ZYT_OBRABOTCHIK = 5 };

// One call of a scene function.
struct ZYT_ZAPIS {
    int fyn;       // ZYT_*
    DWORD potok;   // calling thread
    HMODULE modul; // module of the function that ran
    LONGLONG mks;  // performance counter in microseconds
    Quorvel::ZYKGLKONTROL* kontrol;
    int kontekst; // a GL context was current
    int desVidim; // the auxiliary window was visible
};

// What the test scenes do besides journaling (all off after ZytSbros).
struct ZYT_NASTROJKA {
    volatile long flagKonstr;     // flag bit the constructor sets, -1 none
    volatile long fps;            // frame rate the constructor sets, 0 keeps it
    volatile long rezultat;       // `result` the constructor leaves, 0 none
    volatile long antraktovZhdat; // the constructor waits (up to 10 s) for this many Antrakt
    volatile long pokazovDoFlaga; // after this many PokazScenw calls ...
    volatile long flagPosle;      // ... this flag bit is set, -1 none
    // Called by every scene function after journaling, on its thread; may be null.
    void (*vyzov)(int fyn, Quorvel::ZYKGLKONTROL* k);
};

extern "C" {
// Journals one call of function `fyn` whose code is at `adres`.
ZYT_API void ZytZapisat(int fyn, Quorvel::ZYKGLKONTROL* k, const void* adres);
// Calls of `fyn` so far (all calls for 0).
ZYT_API unsigned long ZytKol(int fyn);
// Copy of call i (in journal order); 0 when there is none.
ZYT_API int ZytVzjat(unsigned long i, ZYT_ZAPIS* z);
// Empties the journal and resets the settings.
ZYT_API void ZytSbros();
// Auto-reset event set after every journaled call.
ZYT_API HANDLE ZytSobytie();
// The settings.
ZYT_API ZYT_NASTROJKA* ZytNastrojka();
}

#endif
