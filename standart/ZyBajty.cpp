// Byte, string and scan functions. Pure logic: no platform calls, only memory of the caller.
#include "ZyBajty.h"

#include <cstdint>
#include <cstring>

namespace {

// Reads a 32-bit little-endian unit at any alignment.
inline std::uint32_t chitat32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Loads one element of `shirina` bytes (1, 2 or 4) at any alignment.
inline std::uint32_t chitatElement(const unsigned char* p, unsigned shirina) {
    if (shirina == 1) return p[0];
    if (shirina == 2) return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8;
    return chitat32(p);
}

// Element width selected by the mode bits, 0 when none is set.
inline unsigned shirinaRezhima(unsigned rezhim) {
    if (rezhim & ZY_SCAN_BYTE) return 1;
    if (rezhim & ZY_SCAN_WORD) return 2;
    if (rezhim & ZY_SCAN_DWORD) return 4;
    return 0;
}

// Length of a zero-terminated text; 0 for null.
inline std::size_t dlinaStroki(const char* s) {
    return s ? std::strlen(s) : 0;
}

// Locates the delimited region shared by the cut and the insert: sets s (after `nachalo`), e
// (at `konec`) and *dlina (the counted bytes from s on). False when there is no such region.
bool najtiMezhdu(char* gde, const char* nachalo, const char* konec, unsigned* dlina, char*& s,
                 char*& e) {
    if (!gde || !dlina || !nachalo || !konec || !*nachalo || !*konec) return false;
    const unsigned L = *dlina;
    const char* nach = ZyNaytiStroku(gde, nachalo, L);
    if (!nach) return false;
    s = const_cast<char*>(nach) + std::strlen(nachalo);
    const std::size_t n = std::size_t(s - gde);
    if (n >= L) return false;
    *dlina = unsigned(L - n);
    const char* kon = ZyNaytiStroku(s, konec, *dlina);
    if (!kon) return false;
    e = const_cast<char*>(kon);
    return true;
}

} // namespace

extern "C" {

// Scans up to `kol` elements of the width chosen by `rezhim` for the first (un)equal one.
unsigned ZyScan(const void* p, unsigned kol, unsigned znachenie, unsigned rezhim) {
    const unsigned shirina = shirinaRezhima(rezhim);
    if (!p || kol == 0 || shirina == 0) return 0;
    const std::uint32_t maska = shirina == 4 ? 0xFFFFFFFFu : (1u << (8 * shirina)) - 1;
    const std::uint32_t iskomoe = znachenie & maska;
    const bool ne = (rezhim & ZY_SCAN_NOT) != 0;
    const bool nazad = (rezhim & ZY_SCAN_BACKWARD) != 0;
    const unsigned char* u = static_cast<const unsigned char*>(p);
    for (unsigned i = 0; kol == ZY_SCAN_UNLIMITED || i < kol; ++i) {
        const unsigned char* el =
            nazad ? u - std::ptrdiff_t(i) * shirina : u + std::size_t(i) * shirina;
        const bool ravno = chitatElement(el, shirina) == iskomoe;
        if (ravno != ne) return i + 1;
        if (i == 0xFFFFFFFEu) break; // the position would no longer be representable
    }
    return 0;
}

// Appends `chto` (with its zero) at the terminating zero of `kuda`.
char* ZyStrAdd(char* kuda, const char* chto) {
    if (kuda && chto) std::memmove(kuda + std::strlen(kuda), chto, std::strlen(chto) + 1);
    return kuda;
}

// Replaces each byte `chto` within the first `dlina` bytes by `na` and counts them.
int ZyZamenaZnaka(char* buf, unsigned dlina, char chto, char na) {
    if (!buf) return 0;
    int kol = 0;
    char* p = buf;
    char* const konec = buf + dlina;
    while (p < konec) {
        char* naideno = static_cast<char*>(std::memchr(p, chto, std::size_t(konec - p)));
        if (!naideno) break;
        *naideno = na;
        ++kol;
        p = naideno + 1;
    }
    return kol;
}

// First occurrence of `chto` that lies entirely within the first `dlina` bytes of `gde`.
const char* ZyNaytiStroku(const char* gde, const char* chto, unsigned dlina) {
    if (!gde || !chto) return nullptr;
    const std::size_t m = std::strlen(chto);
    if (m == 0) return static_cast<const char*>(std::memchr(gde, 0, std::size_t(dlina) + 1));
    if (m > dlina) return nullptr;
    const char* p = gde;
    const char* const predel = gde + (dlina - m); // last start at which `chto` still fits
    while (p <= predel) {
        p = static_cast<const char*>(std::memchr(p, chto[0], std::size_t(predel - p) + 1));
        if (!p) return nullptr;
        if (ZySravnitOZU(p, chto, m) == 0) return p;
        ++p;
    }
    return nullptr;
}

// Moves the text between the delimiters to `kuda` and closes the gap in the counted bytes.
const char* ZyVyrezatMezhduStrok(char* gde, const char* nachalo, const char* konec, unsigned* dlina,
                                 char* kuda) {
    char* s = nullptr;
    char* e = nullptr;
    if (!najtiMezhdu(gde, nachalo, konec, dlina, s, e)) return nullptr;
    const unsigned k = unsigned(e - s);
    if (kuda) {
        std::memmove(kuda, s, k);
        kuda[k] = 0;
    }
    *dlina -= k;
    std::memmove(s, e, *dlina);
    std::memset(s + *dlina, 0, k);
    return s + std::strlen(konec);
}

// Puts `chto` between the delimiters, shifting the tail within the counted bytes.
const char* ZyVstavitMezhduStrok(char* gde, const char* nachalo, const char* konec, unsigned* dlina,
                                 const char* chto) {
    char* s = nullptr;
    char* e = nullptr;
    if (!najtiMezhdu(gde, nachalo, konec, dlina, s, e)) return nullptr;
    const unsigned mesto = *dlina; // counted bytes from s on
    const unsigned k = unsigned(e - s);
    unsigned t = unsigned(dlinaStroki(chto));
    if (t > mesto) t = mesto; // the region never grows: the text itself is cut at its end
    if (k < t) {
        *dlina = mesto - t;
        std::memmove(s + t, e, *dlina);
        std::memmove(s, chto, t);
    } else {
        std::memmove(s, chto, t);
        *dlina = mesto - k;
        std::memmove(s + t, e, *dlina);
        std::memset(s + t + *dlina, 0, k - t);
    }
    const unsigned dlinaKonca = unsigned(std::strlen(konec));
    *dlina = *dlina > dlinaKonca ? *dlina - dlinaKonca : 0;
    const std::size_t posle = std::size_t(t) + dlinaKonca;
    return s + (posle < mesto ? posle : mesto);
}

// Writes the 32-bit pattern derived from `obrazec` over `razmer` bytes.
void* ZyNachislitOZU(void* p, ZyDW razmer, ZyDW obrazec) {
    if (!p) return p;
    std::uint32_t uzor;
    if (obrazec == 0)
        uzor = 0;
    else if (obrazec <= 0xFF)
        uzor = std::uint32_t(obrazec) * 0x01010101u;
    else if (obrazec <= 0xFFFF)
        uzor = std::uint32_t(obrazec) * 0x00010001u;
    else
        uzor = std::uint32_t(obrazec);
    const unsigned char bajty[4] = {std::uint8_t(uzor), std::uint8_t(uzor >> 8),
                                    std::uint8_t(uzor >> 16), std::uint8_t(uzor >> 24)};
    unsigned char* u = static_cast<unsigned char*>(p);
    const ZyDW celyh = razmer / 4;
    for (ZyDW i = 0; i < celyh; ++i, u += 4)
        std::memcpy(u, bajty, 4);
    std::memset(u, bajty[0], razmer % 4);
    return p;
}

// Copies in 4-byte units forwards or backwards, whichever keeps an overlap intact.
void* ZySdvinutOZU(void* kuda, const void* otkuda, ZyDW razmer) {
    if (!kuda || !otkuda || kuda == otkuda || razmer == 0) return kuda;
    unsigned char* d = static_cast<unsigned char*>(kuda);
    const unsigned char* s = static_cast<const unsigned char*>(otkuda);
    const ZyDW celyh = razmer / 4;
    const ZyDW ostatok = razmer % 4;
    std::uint32_t edinica;
    if (d < s) {
        for (ZyDW i = 0; i < celyh; ++i, d += 4, s += 4) {
            std::memcpy(&edinica, s, 4);
            std::memcpy(d, &edinica, 4);
        }
        for (ZyDW i = 0; i < ostatok; ++i)
            d[i] = s[i];
    } else {
        d += razmer;
        s += razmer;
        for (ZyDW i = 0; i < celyh; ++i) {
            d -= 4;
            s -= 4;
            std::memcpy(&edinica, s, 4);
            std::memcpy(d, &edinica, 4);
        }
        for (ZyDW i = 0; i < ostatok; ++i)
            *--d = *--s;
    }
    return kuda;
}

// Orders two blocks by their 32-bit little-endian units, then by their last bytes.
int ZySravnitOZU(const void* a, const void* b, ZyDW razmer) {
    if (!a || !b || razmer == 0) return ZY_SRAVNIT_NULL;
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    const ZyDW celyh = razmer / 4;
    for (ZyDW i = 0; i < celyh; ++i, x += 4, y += 4) {
        const std::uint32_t ex = chitat32(x);
        const std::uint32_t ey = chitat32(y);
        if (ex != ey) return ex < ey ? -1 : 1;
    }
    for (ZyDW i = 0; i < razmer % 4; ++i)
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return 0;
}

} // extern "C"
