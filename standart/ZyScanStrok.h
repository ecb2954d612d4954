// The reader of the translation file: finds a key's entry and its translation in the file
// text. Pure logic over a byte range; the exported ZyScanStrok wraps it.
#ifndef ZYSCANSTROK_H
#define ZYSCANSTROK_H

#include <cstddef>

namespace zyst {

// What the lookup of one key found.
struct ZyNahodka {
    int rezultat;        // 1 translated, 0 entry without translation, -1 no entry
    const char* perevod; // the translation inside the file text (rezultat 1), else null
    std::size_t dlina;   // its length in bytes
};

// Looks the `dlinaKljucha` bytes of `kljuch` up in the `razmer` bytes at `fajl`. Never reads
// outside that range; an empty key or one longer than the text is not found.
ZyNahodka ZyNajtiPerevod(const char* fajl, std::size_t razmer, const char* kljuch,
                         std::size_t dlinaKljucha);

// Whether the entry at `p`, whose first `dlinaKljucha` bytes equal the key, answers the key
// (the bytes after the key and the "=" fit the entry's form); *n then holds the answer.
bool ZyProveritZapis(const char* p, const char* konec, std::size_t dlinaKljucha, ZyNahodka* n);

// The start of the entry after the one at `p` (after its "***" and the bytes up to 32 that
// follow), or konec.
const char* ZySledujuschajaZapis(const char* p, const char* konec);

// Position of the first run of three asterisks in [p, konec), or konec.
const char* ZyNajtiKonecZapisi(const char* p, const char* konec);

} // namespace zyst

#endif // ZYSCANSTROK_H
