// Pieces of the controller shared by the engine's core units (internal to the engine).
#ifndef ZYKONTROLVNUTR_H
#define ZYKONTROLVNUTR_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// What Pusk hands to a new controller thread. It lives on Pusk's stack and is valid only until
// the thread has set the start event.
struct ZYS_START_BLOK {
    DWORD idVyzyvajushchego; // thread that called Pusk
    ZYKGLKONTROL* kontrol;   // the controller the thread runs
    HANDLE startSobytie;     // set once the thread's message queue exists
};

// Stack size of the controller and intermission threads.
constexpr SIZE_T ZY_STEK_POTOKA = 1000000;

// Controller thread: message loop, dispatch and animation (argument: ZYS_START_BLOK*).
DWORD WINAPI ZyPotokKontrolera(void* blok);
// Intermission thread: draws the old scene's Antrakt on the auxiliary window (argument: the
// controller).
DWORD WINAPI ZyPotokAntrakta(void* kontrol);

// Flag bit `bit` of the controller (a bit past the vector's length reads as clear).
inline bool ZyFlag(const ZYKGLKONTROL& k, unsigned long bit) {
    return k.Flagi.Test(bit, bit);
}
// Sets flag bit `bit` when the vector is long enough.
inline void ZyVklFlag(ZYKGLKONTROL& k, unsigned long bit) {
    k.Flagi.Vkl(bit, bit);
}
// Clears flag bit `bit` when the vector is long enough.
inline void ZyVwklFlag(ZYKGLKONTROL& k, unsigned long bit) {
    k.Flagi.Vwkl(bit, bit);
}

// Frames are drawn continuously: some axis moves or the scene animates, and neither the
// mouse-rest timer nor the pause holds the frames back.
inline bool ZyAnimacija(const ZYKGLKONTROL& k) {
    return (ZyFlag(k, ZYBIT_DVIZHETSJA) || ZyFlag(k, ZYBIT_ANIMACIJA)) &&
           !ZyFlag(k, ZYBIT_TAJMER_MYSHI) && !ZyFlag(k, ZYBIT_PAUZA);
}

// Waits up to `ms` for one of `kol` handles while delivering the messages other threads send
// to this thread's windows (a window thread that waited without doing so would deadlock with a
// controller that sends to its window). Returns WAIT_OBJECT_0 + i, WAIT_TIMEOUT or WAIT_FAILED.
DWORD ZyZhdatObsluzhivaja(DWORD kol, const HANDLE* h, DWORD ms);

// Releases what drawing holds: palette and font (put back into the device context first),
// the rendering context and the device context; clears bit 71. Controller thread only.
void ZyOsvoboditRisovanie(ZYKGLKONTROL& k);

// The untranslated error box of the engine's threads (caption "ZYKGLKONTROL", error icon).
void ZyOshibkaPotoka(const char* tekst);

// Calls scene function `slot` (0..3) of the controller when it is loaded.
inline void ZyVyzvatScenu(ZYKGLKONTROL& k, int slot) {
    if (ZYF_SCENA f = k.Fynkcii[slot].fyn) f(&k);
}

} // namespace Quorvel

#endif
