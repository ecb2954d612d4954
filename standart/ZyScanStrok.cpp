// The reader of the translation file and the exported ZyScanStrok.
//
// An entry is: bytes with codes up to 32, the key, a blank / CR / TAB or directly "=", white
// space, "=", white space, the translation, "***". The first entry whose key matches wins.
#include "ZyScanStrok.h"
#include "ZyBajty.h"

#include <cstring>

namespace zyst {
namespace {

// The bytes the reader counts as white space inside an entry.
inline bool probel(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// The bytes that may follow a key in the file for the key to match.
inline bool posleKljucha(char c) {
    return c == ' ' || c == '=' || c == '\r' || c == '\t';
}

// Skips white space in [p, konec).
inline const char* propustitProbely(const char* p, const char* konec) {
    while (p < konec && probel(*p))
        ++p;
    return p;
}

} // namespace

// Finds the next "***" with memchr on its first asterisk.
const char* ZyNajtiKonecZapisi(const char* p, const char* konec) {
    while (konec - p >= 3) {
        const char* z = static_cast<const char*>(std::memchr(p, '*', std::size_t(konec - p - 2)));
        if (!z) break;
        if (z[1] == '*' && z[2] == '*') return z;
        p = z + 1;
    }
    return konec;
}

// Checks the rest of one entry after its key; see the file's header comment for its form.
bool ZyProveritZapis(const char* p, const char* konec, std::size_t dlinaKljucha, ZyNahodka* n) {
    p += dlinaKljucha;
    const char* const e = ZyNajtiKonecZapisi(p, konec);
    const ZyNahodka bezPerevoda{0, nullptr, 0};
    if (e == p) {
        *n = bezPerevoda;
        return true;
    }
    if (!posleKljucha(*p)) return false;
    const char* q = propustitProbely(p, e);
    if (q == e) {
        *n = bezPerevoda;
        return true;
    }
    if (*q != '=') return false;
    q = propustitProbely(q + 1, e);
    *n = q == e ? bezPerevoda : ZyNahodka{1, q, std::size_t(e - q)};
    return true;
}

// The start of the entry after the one at `p`, or konec.
const char* ZySledujuschajaZapis(const char* p, const char* konec) {
    const char* const e = ZyNajtiKonecZapisi(p, konec);
    if (e == konec) return konec;
    p = e + 3;
    while (p < konec && static_cast<unsigned char>(*p) <= 32)
        ++p;
    return p;
}

// Walks the entries one by one.
ZyNahodka ZyNajtiPerevod(const char* fajl, std::size_t razmer, const char* kljuch,
                         std::size_t dlinaKljucha) {
    const ZyNahodka netZapisi{-1, nullptr, 0};
    if (!fajl || !kljuch || dlinaKljucha == 0 || dlinaKljucha > razmer) return netZapisi;
    const char* const konec = fajl + razmer;
    const char* p = fajl;
    while (p < konec && *p == ' ')
        ++p;
    while (p < konec) {
        if (std::size_t(konec - p) >= dlinaKljucha && std::memcmp(p, kljuch, dlinaKljucha) == 0) {
            ZyNahodka n;
            if (ZyProveritZapis(p, konec, dlinaKljucha, &n)) return n;
            p += dlinaKljucha;
        }
        p = ZySledujuschajaZapis(p, konec);
    }
    return netZapisi;
}

} // namespace zyst

extern "C" {

// Appends the translation of `key` (or `key` itself), 0x01 and a zero to `out`.
int ZyScanStrok(const char* fajl, unsigned razmer, const char* key, char* out) {
    const char* const kljuch = key ? key : "";
    const std::size_t dlinaKljucha = std::strlen(kljuch);
    const zyst::ZyNahodka n = zyst::ZyNajtiPerevod(fajl, razmer, kljuch, dlinaKljucha);
    if (!out) return n.rezultat;
    char* hvost = out + std::strlen(out);
    const char* const otvet = n.rezultat == 1 ? n.perevod : kljuch;
    const std::size_t dlina = n.rezultat == 1 ? n.dlina : dlinaKljucha;
    std::memmove(hvost, otvet, dlina);
    hvost[dlina] = 0x01;
    hvost[dlina + 1] = 0;
    return n.rezultat;
}

} // extern "C"
