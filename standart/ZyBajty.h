// ZyBajty: the byte, string and scan functions of ZyStandart (positions are 1-based, 0 means
// not found). Pure logic over the caller's memory: this header needs no <windows.h>, so the
// unit also builds with the host's compilers (tests, sanitizers, fuzzing).
#ifndef ZYBAJTY_H
#define ZYBAJTY_H

#include "ZyTipy.h"

#if !defined(ZYSTANDART_API)
#if defined(ZYSTANDART_BUILD)
#define ZYSTANDART_API ZY_EKSPORT
#else
#define ZYSTANDART_API ZY_IMPORT
#endif
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
ZYSTANDART_API void* ZyNachislitOZU(void* p, ZyDW razmer, ZyDW obrazec);
// Copies `razmer` bytes in 4-byte units, overlapping areas included (as memmove); returns
// `kuda`.
ZYSTANDART_API void* ZySdvinutOZU(void* kuda, const void* otkuda, ZyDW razmer);
// 0 equal, -1 below, 1 above: 32-bit little-endian units compared as numbers, then the last
// bytes; ZY_SRAVNIT_NULL for a null pointer or 0 bytes.
ZYSTANDART_API int ZySravnitOZU(const void* a, const void* b, ZyDW razmer);

#define ZY_SRAVNIT_NULL 0x4C4C554E

// Looks `key` up in `razmer` bytes of file text and appends the answer (the translation, or
// `key` itself), 0x01 and a zero to the zero-terminated `out`, which the caller sizes (strlen
// of `out` + `razmer` + strlen of `key` + 2 bytes always suffice). Returns 1 translated, 0
// entry without translation, -1 no entry.
ZYSTANDART_API int ZyScanStrok(const char* fajl, unsigned razmer, const char* key, char* out);

#ifdef __cplusplus
} // extern "C"
#endif

#endif // ZYBAJTY_H
