// The test scene of the keyboard and object tests: where its named objects are, and the two
// functions a test program calls to choose the layout and count the selection passes.
#ifndef ZYTESTSCENAOBJEKTY_H
#define ZYTESTSCENAOBJEKTY_H

#include "ZyTestScenaDispatch.h"

// Places of the objects as fractions of the view's width (X) and height (Y, from the top).
constexpr double TSO_X_2222 = 0.2, TSO_X_3333 = 0.8, TSO_X_4444 = 0.2, TSO_X_PARA = 0.8,
                 TSO_X_NICHJA = 0.5, TSO_X_PUSTO = 0.5;
constexpr double TSO_Y_VERH = 0.2, TSO_Y_NIZ = 0.8, TSO_Y_SEREDINA = 0.5;
// Half size of each square, as a fraction of the view's height.
constexpr double TSO_POLOVINA = 0.05;

// Layouts: every object; every object but 0x2222; TSO_MNOGO objects at the middle.
enum : long { TSO_OBYCHNYJ = 0, TSO_BEZ_2222 = 1, TSO_MNOGO_OBJEKTOV = 2 };
constexpr unsigned long TSO_MNOGO = 300, TSO_PERVOE_MNOGO = 0x9000;

#ifdef ZYTESTSCENAOBJEKTY_BUILD
#define TSO_API __declspec(dllexport)
#else
#define TSO_API __declspec(dllimport)
#endif

extern "C" {
TSO_API void TsoVsRezhim(long rezhim);
TSO_API long TsoKolVybora();
}

#endif // ZYTESTSCENAOBJEKTY_H
