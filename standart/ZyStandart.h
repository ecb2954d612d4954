// ZyStandart: general functions shared by every module of the navigator and by scene modules.
//
//  - translation of every text shown to the user through "ZyPerevodTeksta.txt";
//  - message boxes whose text and caption are translated;
//  - byte, string and scan functions (positions are 1-based, 0 means not found);
//  - memory reservation that explains a failure and offers Retry, and two owning containers.
//
// Every function is exported with its plain, unmangled name (extern "C", cdecl), so it can be
// found with GetProcAddress on both the 32-bit and the 64-bit build. No function throws.
#ifndef ZYSTANDART_H
#define ZYSTANDART_H

#include <windows.h>

#if defined(ZYSTANDART_BUILD)
#define ZYSTANDART_API __declspec(dllexport)
#else
#define ZYSTANDART_API __declspec(dllimport)
#endif

#include "ZyBajty.h"

#ifdef __cplusplus
extern "C" {
#endif

// ---- Translation ----------------------------------------------------------------------------
//
// Texts are looked up in "ZyPerevodTeksta.txt" in the current directory; a text not yet in it
// is appended as an entry with an empty translation. Parts of a text between double quotes are
// variable: they are cut out for the lookup and put back into the translation's "" pairs.

// Answers the translation block `blokName` (null: "ZyPerevodTeksta") from the file `fajlName`
// in the current directory; `prefix` follows the CR LF that opens a new entry, `suffix` ends
// it (null: nothing). Returns 1 when the block was answered, 0 otherwise (the requester then
// keeps its own texts).
ZYSTANDART_API int ZyPerevodTeksta(const char* blokName, const char* prefix, const char* suffix,
                                   const char* fajlName);
// Translates `text` in place; returns the new length, or 0 (text unchanged) when the text or
// its translation does not fit in `bufSize` bytes.
ZYSTANDART_API int ZyPerevodStroki(char* text, unsigned bufSize);
// Translates the texts of the menu's own items (not of its submenus), keeping each item's
// other properties; returns the number of items, 0 for a null or invalid handle.
ZYSTANDART_API int ZyPerevodMenu(HMENU menu);

// ---- Message boxes --------------------------------------------------------------------------

// MessageBoxA with translated text and caption; returns the button that closed the box.
ZYSTANDART_API int ZyMessage(HWND owner, const char* text, const char* caption, unsigned type);
// The system's text for the thread's last error, followed directly by `extra` (may be null),
// caption "ZyMessageError."; returns the button that closed the box.
ZYSTANDART_API int ZyMessageError(const char* extra, unsigned type);

// ---- Memory ---------------------------------------------------------------------------------

// Reserves `razmer` bytes of the process heap into *kuda (release them with
// HeapFree(GetProcessHeap(), 0, p)). A request beyond the virtual address space is refused
// with an explanation; a failed allocation is explained and offers Retry. `kto` names the
// requesting function in the messages. 1 on success; 0 with *kuda null otherwise.
ZYSTANDART_API int ZyZabronirovatOZU(void** kuda, SIZE_T razmer, const char* kto);

#ifdef __cplusplus
} // extern "C"

// A byte buffer that owns its bytes. Empty: null pointer and size 0. Every reservation goes
// through ZyZabronirovatOZU; a failed one leaves the buffer empty.
class ZYSTANDART_API ZYKOZU32 {
public:
    char* dannye;         // the bytes (owned)
    unsigned long razmer; // number of bytes

    ZYKOZU32(unsigned long razmer = 0, unsigned long obrazec = 0);
    ZYKOZU32(const ZYKOZU32& other);
    virtual ~ZYKOZU32();
    ZYKOZU32& operator=(const ZYKOZU32& other);
    ZYKOZU32& operator=(unsigned long razmer); // new bytes, all 0
    char operator[](unsigned long i) const;    // 0xFF past the end
    void operator()(unsigned long obrazec);    // fills with the ZyNachislitOZU pattern
    void RZ(unsigned long razmer, unsigned long obrazec);
    void DES();
};

// A three-dimensional array of 32-bit values; element (i, j, k) is elementy[i][j][k]. The
// values are not initialised on creation. A failed creation is reported in a message box and
// leaves the array empty (elementy null, all counts 0).
class ZYSTANDART_API ZYKMASSMATDW {
public:
    unsigned long*** elementy; // d1 pointers to d2 pointers to rows of d3 values (owned)
    unsigned long d1, d2, d3;  // extents
    unsigned long bajt;        // d1 * d2 * d3 * 4 once complete, 0 while building

    ZYKMASSMATDW(unsigned long d1 = 0, unsigned long d2 = 0, unsigned long d3 = 0);
    ZYKMASSMATDW(const ZYKMASSMATDW& other);
    virtual ~ZYKMASSMATDW();
    ZYKMASSMATDW& operator=(const ZYKMASSMATDW& other);
    ZYKMASSMATDW& operator=(unsigned long n); // a cube whose side is the cube root of n
    void Sozdat(unsigned long d1, unsigned long d2, unsigned long d3);
    void Zapolnit(unsigned long znachenie);
    void DES();
};
#endif // __cplusplus

#endif // ZYSTANDART_H
