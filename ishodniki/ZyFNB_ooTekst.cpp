// ZyFNB_ooTekst: text conversion of ZYKNB64 (VsStr writes, VzStr reads) in the radices 10,
// 16, 2 and 8, with digit grouping. Calls nothing of Win32.
#include "ZyNB64.h"

#include <cstring>

namespace Quorvel {

namespace {

// Work area of one radix: the text is built backwards from its end.
struct Osnovanie {
    ZyDW osnovanie; // 10, 16, 2 or 8
    unsigned dlina; // bytes of the work area the buffer must hold
    unsigned bitov; // bits per digit for the powers of two, 0 for decimal
};

constexpr Osnovanie kOsnovanija[] = {{10, 44, 0}, {16, 36, 4}, {2, 132, 1}, {8, 48, 3}};

// The work area of a radix, or null for a radix other than the four.
const Osnovanie* NajtiOsnovanie(long radix) {
    for (const Osnovanie& o : kOsnovanija)
        if (static_cast<long>(o.osnovanie) == radix) return &o;
    return nullptr;
}

// The character of one digit: "0"-"9", then "A"-"F" moved by the letter offset.
unsigned char Cifra(ZyDW d, unsigned char sdvigBukv) {
    if (d < 10) return static_cast<unsigned char>('0' + d);
    return static_cast<unsigned char>(d + 0x37 + sdvigBukv);
}

// Writes digits backwards in front of `konec`, inserting the separator in front of every
// g-th digit; the caller drops a separator left in front of the first digit.
class ZapisNazad {
public:
    ZapisNazad(unsigned char* konec, unsigned gruppa, unsigned char razdel)
        : poz_(konec), gruppa_(gruppa), razdel_(razdel) {}

    // One more digit in front of the text.
    void Cifru(unsigned char c) {
        *--poz_ = c;
        ++cifr_;
        if (gruppa_ != 0 && cifr_ % gruppa_ == 0) *--poz_ = razdel_;
    }
    unsigned Cifr() const { return cifr_; }
    // The text's first byte, a separator left in front of the first digit dropped.
    unsigned char* Nachalo() const {
        return (gruppa_ != 0 && cifr_ % gruppa_ == 0) ? poz_ + 1 : poz_;
    }

private:
    unsigned char* poz_;
    unsigned gruppa_;
    unsigned char razdel_;
    unsigned cifr_ = 0;
};

// A separator byte from the format: 0 means a blank.
unsigned char Razdelitel(ZyDW format) {
    const unsigned char r = static_cast<unsigned char>(format >> 8);
    return r ? r : ' ';
}

bool EstCifra(unsigned char c) {
    return c >= '0' && c <= '9';
}

// The value of one digit of a power-of-two radix, or -1 when c is no digit of it.
int ZnachCifry(unsigned char c, unsigned bitov) {
    int d = -1;
    if (EstCifra(c))
        d = c - '0';
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    return (d >= 0 && d < (1 << bitov)) ? d : -1;
}

// Bits per digit selected by the prefix letter ("X", "O", "B"), 0 for any other.
unsigned BitovPoPrefiksu(unsigned char c) {
    switch (c) {
    case 'X':
    case 'x':
        return 4;
    case 'O':
    case 'o':
        return 3;
    case 'B':
    case 'b':
        return 1;
    default:
        return 0;
    }
}

// Reads a decimal text from the last character to the first: each digit weighted by the
// (saturating) power of ten of its position, separators skipped. False at any other byte.
bool ChitatDesjatichnoe(ZYKNB64& n, const unsigned char* t, ZyDW dlina, unsigned char razdel) {
    n = ZYKNB64{0, 0};
    ZYKNB64 ves{1, 0};
    for (ZyDW i = dlina; i-- > 0;) {
        const unsigned char c = t[i];
        if (EstCifra(c)) {
            n += ves * static_cast<ZyDW>(c - '0');
            ves *= 10ul;
        } else if (c != razdel) {
            return false;
        }
    }
    return true;
}

// Reads the digits after a two-character prefix from the last to the first, OR-ing each in
// at the next bit position; bits at 64 and beyond are dropped. False at any other byte.
bool ChitatDvoichnoe(ZYKNB64& n, const unsigned char* t, ZyDW dlina, unsigned char razdel,
                     unsigned bitov) {
    n = ZYKNB64{0, 0};
    ZyDW poz = 0;
    for (ZyDW i = dlina; i-- > 2;) {
        const unsigned char c = t[i];
        const int d = ZnachCifry(c, bitov);
        if (d >= 0) {
            if (poz < 64) n = n | (ZYKNB64{static_cast<ZyDW>(d), 0} << poz);
            poz += bitov;
        } else if (c != razdel) {
            return false;
        }
    }
    return true;
}

// Length of the text: the count from the format, or up to the terminating byte. A zero byte
// always ends the scan, so a text without its terminator is never read past its end. Returns
// false when a zero byte comes before the given count.
bool DlinaTeksta(const unsigned char* t, ZyDW format, ZyDW& dlina) {
    const ZyDW zadano = format & 0xFF;
    const unsigned char konec = static_cast<unsigned char>(format >> 16);
    if (zadano != 0) {
        for (dlina = 0; dlina < zadano; ++dlina)
            if (t[dlina] == 0) return false;
        return true;
    }
    for (dlina = 0; t[dlina] != konec && t[dlina] != 0; ++dlina) {
    }
    return true;
}

} // namespace

// Writes the number as text in radix 10, 16, 2 or 8 and returns its length. The buffer must
// hold the radix's work area (44, 36, 132 or 48 bytes). A null buffer gives 0; any other
// radix gives an empty text and 0.
ZyDW ZYKNB64::VsStr(unsigned char* buf, ZyDW format, long radix) const {
    if (buf == nullptr) return 0;
    const Osnovanie* o = NajtiOsnovanie(radix);
    if (o == nullptr) {
        buf[0] = 0;
        return 0;
    }
    const unsigned gruppa = format & 0xFF;
    const unsigned char razdel = Razdelitel(format);
    const unsigned maxCifr = (o->dlina - 4) / 2;
    unsigned minCifr = (format >> 16) & 0xFF;
    if (minCifr > maxCifr) minCifr = maxCifr;
    const unsigned char sdvigBukv = static_cast<unsigned char>(format >> 24);

    ZapisNazad zap(buf + o->dlina, gruppa, razdel);
    ZYKNB64 kopija = *this;
    do {
        ZyDW d;
        if (o->bitov == 0) {
            d = (kopija % 10ul).Ml;
            kopija /= 10ul;
        } else {
            d = kopija.Ml & ((1ul << o->bitov) - 1);
            kopija >>= static_cast<ZyDW>(o->bitov);
        }
        zap.Cifru(Cifra(d, sdvigBukv));
    } while (kopija != 0ul);
    while (zap.Cifr() < minCifr)
        zap.Cifru('0');

    unsigned char* nachalo = zap.Nachalo();
    const ZyDW dlina = static_cast<ZyDW>(buf + o->dlina - nachalo);
    std::memmove(buf, nachalo, dlina);
    buf[dlina] = 0;
    return dlina;
}

// Reads the number from text: decimal, or hexadecimal, octal, binary after "0x", "0o",
// "0b" (any first digit, either letter case). A second character equal to the separator
// also selects decimal, so grouped texts such as "1 234 567" read back; a one-digit text is
// decimal. Returns false for a malformed text; the number then holds what had been built up
// to the failing character (unchanged when the text is rejected before reading digits).
bool ZYKNB64::VzStr(const unsigned char* text, ZyDW format) {
    if (text == nullptr || !EstCifra(text[0])) return false;
    ZyDW dlina = 0;
    if (!DlinaTeksta(text, format, dlina)) {
        *this = ZYKNB64{0, 0};
        return false;
    }
    if (dlina == 0) return false;
    const unsigned char razdel = Razdelitel(format);
    if (dlina == 1) return ChitatDesjatichnoe(*this, text, dlina, razdel);
    const unsigned char vtoroj = text[1];
    if (EstCifra(vtoroj)) return ChitatDesjatichnoe(*this, text, dlina, razdel);
    if (const unsigned bitov = BitovPoPrefiksu(vtoroj))
        return ChitatDvoichnoe(*this, text, dlina, razdel, bitov);
    if (vtoroj == razdel) return ChitatDesjatichnoe(*this, text, dlina, razdel);
    return false;
}

} // namespace Quorvel
