// Window procedures of the navigator (internal to the engine).
#ifndef ZYOKNA_H
#define ZYOKNA_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

#pragma pack(push, 2)
// lpParam of CreateWindowExA for a view window: an unused word, the navigator, the index.
struct ZYS_BLOK_SOZDANIJA {
    WORD neIspolzuetsja;
    ZYKGLORVANTA2* navigator;
    WORD index; // ZY_INDEX_DES for the auxiliary child window
};
#pragma pack(pop)

// Index of the auxiliary child window in its creation block.
constexpr WORD ZY_INDEX_DES = 0xFFFF;

// Window property of the parent that holds the navigator.
constexpr const char* ZY_SVOJSTVO = "ZYKGL";

// The view-window class name (also the default title): the library's name with the byte 0x99.
constexpr const char* ZY_KLASS_OKNA = "ZyKGLOrvanta2 in OpenGL Quorvel\x99 V2.0";

// Procedure of every view window and of their auxiliary child windows (window thread).
LRESULT CALLBACK ZyProcOknaVida(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam);
// Procedure that subclasses the parent window (window thread).
LRESULT CALLBACK ZyProcRoditelja(HWND okno, UINT soob, WPARAM wParam, LPARAM lParam);
// Moves the keyboard focus from `ot` by the Tab rule (modifiers read with GetKeyState).
void ZyTabFokys(HWND ot);

} // namespace Quorvel

#endif
