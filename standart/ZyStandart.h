// ZyStandart: general functions shared by every module of the navigator and by scene modules.
//
//  - translation of every text shown to the user through "ZyPerevodTeksta.txt";
//  - message boxes whose text and caption are translated;
//  - byte, string and scan functions (positions are 1-based, 0 means not found);
//  - memory reservation that explains a failure and offers Retry, and two owning containers.
//
// Every function is exported with its plain, unmangled name (extern "C", cdecl), so it can be
// found with GetProcAddress on both the 32-bit and the 64-bit build.
#ifndef ZYSTANDART_H
#define ZYSTANDART_H

#include <windows.h>

#if defined(ZYSTANDART_BUILD)
#define ZYSTANDART_API __declspec(dllexport)
#else
#define ZYSTANDART_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---- Byte and string functions ------------------------------------------------------------

// ZyScan modes (bits of `rezhim`).
#define ZY_SCAN_BYTE 0x1u      // elements are bytes
#define ZY_SCAN_WORD 0x2u      // elements are 16-bit units
#define ZY_SCAN_DWORD 0x4u     // elements are 32-bit units
#define ZY_SCAN_NOT 0x10u      // find the first element that differs from the value
#define ZY_SCAN_BACKWARD 0x100u // scan towards lower addresses
#define ZY_SCAN_UNLIMITED 0xFFFFFFFFu

// 1-based position of the first matching element among at most `kol`, 0 if none.
ZYSTANDART_API unsigned ZyScan(const void* p, unsigned kol, unsigned znachenie, unsigned rezhim);
// Appends `chto` with its zero to the zero-terminated `kuda`; returns `kuda`.
ZYSTANDART_API char* ZyStrAdd(char* kuda, const char* chto);
// Replaces every byte `chto` among the first `dlina` bytes by `na`; returns how many.
ZYSTANDART_API int ZyZamenaZnaka(char* buf, unsigned dlina, char chto, char na);
// First occurrence of `chto` inside the first `dlina` bytes of `gde`, or null.
ZYSTANDART_API const char* ZyNaytiStroku(const char* gde, const char* chto, unsigned dlina);
// Cuts the text between the next `nachalo` and the following `konec` into `kuda`; the
// counted bytes of `gde` close up. Returns the position after `konec`, or null.
ZYSTANDART_API const char* ZyVyrezatMezhduStrok(char* gde, const char* nachalo, const char* konec,
                                                unsigned* dlina, char* kuda);
// Replaces the text between the next `nachalo` and the following `konec` by `chto`, within
// the `*dlina` counted bytes. Returns the position after `konec`, or null.
ZYSTANDART_API const char* ZyVstavitMezhduStrok(char* gde, const char* nachalo, const char* konec,
                                                unsigned* dlina, const char* chto);
// Fills `razmer` bytes with the pattern derived from `obrazec`; returns `p`.
ZYSTANDART_API void* ZyNachislitOZU(void* p, unsigned long razmer, unsigned long obrazec);
// Copies `razmer` bytes, overlapping areas included; returns `kuda`.
ZYSTANDART_API void* ZySdvinutOZU(void* kuda, const void* otkuda, unsigned long razmer);
// 0 equal, -1 below, 1 above (by 32-bit units, then bytes); 0x4C4C554E for null or 0 bytes.
ZYSTANDART_API int ZySravnitOZU(const void* a, const void* b, unsigned long razmer);

#define ZY_SRAVNIT_NULL 0x4C4C554E

// ---- Translation ----------------------------------------------------------------------------

// Answers the translation block `blokName` (null: "ZyPerevodTeksta") from the file `fajlName`
// in the current directory. Returns 1 when the block was answered.
ZYSTANDART_API int ZyPerevodTeksta(const char* blokName, const char* prefix, const char* suffix,
                                   const char* fajlName);
// Looks `key` up in `razmer` bytes of file text and appends the answer, 0x01 and a zero to
// `out`. Returns 1 translated, 0 entry without translation, -1 no entry.
ZYSTANDART_API int ZyScanStrok(const char* fajl, unsigned razmer, const char* key, char* out);
// Translates `text` in place; returns the new length, or 0 (text unchanged) when it does not
// fit in `bufSize` bytes.
ZYSTANDART_API int ZyPerevodStroki(char* text, unsigned bufSize);
// Translates the texts of the menu's own items; returns the number of items.
ZYSTANDART_API int ZyPerevodMenu(HMENU menu);

// ---- Message boxes --------------------------------------------------------------------------

// MessageBoxA with translated text and caption; returns the button that closed the box.
ZYSTANDART_API int ZyMessage(HWND owner, const char* text, const char* caption, unsigned type);
// The system's text for the thread's last error, followed by `extra`, caption "ZyMessageError.".
ZYSTANDART_API int ZyMessageError(const char* extra, unsigned type);

// ---- Memory ---------------------------------------------------------------------------------

// Reserves `razmer` bytes into *kuda; explains a failure and offers Retry. 1 on success.
ZYSTANDART_API int ZyZabronirovatOZU(void** kuda, unsigned long razmer, const char* kto);

#ifdef __cplusplus
} // extern "C"

// A byte buffer that owns its bytes. Empty: null pointer and size 0.
class ZYSTANDART_API ZYKOZU32 {
public:
    char* dannye;          // the bytes (owned)
    unsigned long razmer;  // number of bytes

    ZYKOZU32(unsigned long razmer = 0, unsigned long obrazec = 0);
    ZYKOZU32(const ZYKOZU32& other);
    virtual ~ZYKOZU32();
    ZYKOZU32& operator=(const ZYKOZU32& other);
    ZYKOZU32& operator=(unsigned long razmer);
    char operator[](unsigned long i) const; // 0xFF past the end
    void operator()(unsigned long obrazec);
    void RZ(unsigned long razmer, unsigned long obrazec);
    void DES();
};

// A three-dimensional array of 32-bit values; element (i, j, k) is elementy[i][j][k].
class ZYSTANDART_API ZYKMASSMATDW {
public:
    unsigned long*** elementy; // d1 pointers to d2 pointers to rows of d3 values (owned)
    unsigned long d1, d2, d3;  // extents
    unsigned long bajt;        // d1 * d2 * d3 * 4 once complete, 0 while building

    ZYKMASSMATDW(unsigned long d1 = 0, unsigned long d2 = 0, unsigned long d3 = 0);
    ZYKMASSMATDW(const ZYKMASSMATDW& other);
    virtual ~ZYKMASSMATDW();
    ZYKMASSMATDW& operator=(const ZYKMASSMATDW& other);
    ZYKMASSMATDW& operator=(unsigned long n);
    void Sozdat(unsigned long d1, unsigned long d2, unsigned long d3);
    void Zapolnit(unsigned long znachenie);
    void DES();
};
#endif // __cplusplus

#endif // ZYSTANDART_H
