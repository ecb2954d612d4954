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

#ifdef __cplusplus
extern "C" {
#endif

// ---- Byte and string functions ------------------------------------------------------------

// ZyScan modes (bits of `rezhim`).
#define ZY_SCAN_BYTE 0x1u       // elements are bytes
#define ZY_SCAN_WORD 0x2u       // elements are 16-bit units (only if bit 0 is clear)
#define ZY_SCAN_DWORD 0x4u      // elements are 32-bit units (only if bits 0 and 1 are clear)
#define ZY_SCAN_NOT 0x10u       // find the first element that differs from the value
#define ZY_SCAN_BACKWARD 0x100u // scan from `p` towards lower addresses
#define ZY_SCAN_UNLIMITED 0xFFFFFFFFu

// 1-based position of the first matching element among at most `kol`, 0 if none. The value
// is compared in the element's width; a null `p`, `kol` 0 or no width bit gives 0. Backwards,
// element 1 is the one at `p`, element 2 the one just below it, and so on.
ZYSTANDART_API unsigned ZyScan(const void* p, unsigned kol, unsigned znachenie, unsigned rezhim);
// Appends `chto` with its zero to the zero-terminated `kuda` (unbounded: the caller sizes
// `kuda`); returns `kuda`.
ZYSTANDART_API char* ZyStrAdd(char* kuda, const char* chto);
// Replaces every byte `chto` among the first `dlina` bytes by `na`; returns how many.
ZYSTANDART_API int ZyZamenaZnaka(char* buf, unsigned dlina, char chto, char na);
// First occurrence of the zero-terminated `chto` inside the first `dlina` bytes of `gde`, or
// null. An empty `chto` finds the first zero byte among the first `dlina` + 1 bytes (so the
// byte after the counted ones must be readable then).
ZYSTANDART_API const char* ZyNaytiStroku(const char* gde, const char* chto, unsigned dlina);
// Cuts the text between the next `nachalo` and the following `konec` (within the `*dlina`
// counted bytes of `gde`) into `kuda` (with a zero; `kuda` needs room for it); the rest of the
// counted bytes closes up and the freed bytes at their end become zeros. Returns the position
// after `konec`, or null. On return *dlina counts the live bytes from `konec` on. An empty or
// null delimiter gives null and changes nothing.
ZYSTANDART_API const char* ZyVyrezatMezhduStrok(char* gde, const char* nachalo, const char* konec,
                                                unsigned* dlina, char* kuda);
// Replaces the text between the next `nachalo` and the following `konec` by `chto`, within
// the `*dlina` counted bytes, which never grow: a longer text pushes the tail right and what
// passes the end is dropped; a shorter one pulls it left and zero-fills the end. Returns the
// position after `konec`, or null; on return *dlina counts the live bytes after it. An empty
// or null delimiter gives null and changes nothing.
ZYSTANDART_API const char* ZyVstavitMezhduStrok(char* gde, const char* nachalo, const char* konec,
                                                unsigned* dlina, const char* chto);
// Fills `razmer` bytes with a 32-bit pattern: 0 for `obrazec` 0, the byte four times up to
// 0xFF, the 16-bit value twice up to 0xFFFF, else `obrazec` itself; the last `razmer` mod 4
// bytes get the pattern's low byte. Returns `p`.
ZYSTANDART_API void* ZyNachislitOZU(void* p, unsigned long razmer, unsigned long obrazec);
// Copies `razmer` bytes in 4-byte units, overlapping areas included (as memmove); returns
// `kuda`.
ZYSTANDART_API void* ZySdvinutOZU(void* kuda, const void* otkuda, unsigned long razmer);
// 0 equal, -1 below, 1 above: 32-bit little-endian units compared as numbers, then the last
// bytes; ZY_SRAVNIT_NULL for a null pointer or 0 bytes.
ZYSTANDART_API int ZySravnitOZU(const void* a, const void* b, unsigned long razmer);

#define ZY_SRAVNIT_NULL 0x4C4C554E

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
// Looks `key` up in `razmer` bytes of file text and appends the answer (the translation, or
// `key` itself), 0x01 and a zero to the zero-terminated `out`, which the caller sizes (strlen
// of `out` + `razmer` + strlen of `key` + 2 bytes always suffice). Returns 1 translated, 0
// entry without translation, -1 no entry.
ZYSTANDART_API int ZyScanStrok(const char* fajl, unsigned razmer, const char* key, char* out);
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
