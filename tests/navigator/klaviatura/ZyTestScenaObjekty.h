// The test scene of the keyboard and object tests: where its named squares are (fractions of
// the view, y from the top), its layouts, and the functions a test calls to choose the layout
// and count the selection passes.
#ifndef ZYTESTSCENAOBJEKTY_H
#define ZYTESTSCENAOBJEKTY_H

#include "ZyTestScenaDispatch.h"

constexpr double TSO_X_LEVO = 0.2, TSO_X_SEREDINA = 0.5, TSO_X_PRAVO = 0.8;
constexpr double TSO_Y_VERH = 0.2, TSO_Y_SEREDINA = 0.5, TSO_Y_NIZ = 0.8;
constexpr double TSO_POLOVINA = 0.05; // half size of a square, fraction of the view's height

enum : long { TSO_OBYCHNYJ = 0, TSO_BEZ_2222 = 1, TSO_MNOGO_OBJEKTOV = 2 };
constexpr unsigned long TSO_MNOGO = 300, TSO_PERVOE_MNOGO = 0x9000;

#ifdef ZYTESTSCENAOBJEKTY_BUILD
#define TSO_API __declspec(dllexport)
#else
#define TSO_API __declspec(dllimport)
#endif

extern "C" {
TSO_API void TsoVsRezhim(long rezhim);
TSO_API long TsoKolVybora(); // call on the controller thread
}

#endif // ZYTESTSCENAOBJEKTY_H
