// The test scene of the dispatch tests: a scene module whose constructor lets a test run code
// on the controller thread, and whose functions and handlers write to the test's journal.
#ifndef ZYTESTSCENADISPATCH_H
#define ZYTESTSCENADISPATCH_H

#include "ZyKGLOrvanta2.h"

// A piece of work for the controller thread; `gotovo` is set once it ran.
struct ZyTestZadacha {
    void (*fn)(Quorvel::ZYKGLKONTROL* k, void* arg);
    void* arg;
    HANDLE gotovo;
};

// Posted to the controller thread with lParam -> ZyTestZadacha.
constexpr UINT ZYT_VYPOLNIT = WM_APP + 1;
// WM_KEYDOWN with this key code (unassigned) also carries lParam -> ZyTestZadacha; keys pass
// the pause gate, so a paused controller can still be reached.
constexpr WPARAM ZYT_KLAVISHA = 0xE8;

// The journal the scene writes to: exported by the test program, found by name in the main
// module, so that every copy of the scene module writes to the same journal.
typedef void (*ZYT_ZHURNAL)(const char* zapis);
constexpr const char* kImjaZhurnala = "ZyTestZhurnal";

#endif
