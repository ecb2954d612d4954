// ZyTipy: the few platform types that the pure units share with Windows code, without
// <windows.h>.
//
// ZyDW is the 32-bit unsigned word of the exported interfaces. With mingw-w64 (both targets)
// it is `unsigned long`, the type those signatures have always had, so nothing changes for a
// caller or in an export's name. A host build (Linux tests, sanitizers, fuzzing) has a 64-bit
// `unsigned long` on x86_64; there the word is uint32_t, so every record keeps the layout it
// has under Windows.
#ifndef ZYTIPY_H
#define ZYTIPY_H

#if defined(_WIN32)
typedef unsigned long ZyDW;
#define ZY_EKSPORT __declspec(dllexport)
#define ZY_IMPORT __declspec(dllimport)
#else
#include <stdint.h>
typedef uint32_t ZyDW;
// A host build links the pure units statically: nothing is exported or imported.
#define ZY_EKSPORT
#define ZY_IMPORT
#endif

#endif // ZYTIPY_H
