// The arithmetic of encode and decode (internal): the key number, and each block read as one
// large little-endian integer, divided by the key number (encode) or rebuilt as quotient x key
// number + remainder (decode), digit by digit. Pure logic, no system calls: the unit can be
// compiled natively for sanitizers and fuzzing.
#ifndef ZYKODARIFM_H
#define ZYKODARIFM_H

#include <cstddef>
#include <cstdint>

namespace Quorvel {

constexpr size_t ZY_KOD_BLOK = 65532;            // bytes of a block (0xFFFC)
constexpr size_t ZY_KOD_ZAPIS = ZY_KOD_BLOK + 8; // room for the longest record (block + 5)

// The digit of the block arithmetic: 64 bits where the compiler has a 128-bit type for the
// products (x86_64), 32 bits otherwise (i686).
#if defined(__SIZEOF_INT128__)
using ZyKodCifra = uint64_t;
#else
using ZyKodCifra = uint32_t;
#endif

// Length L of the key text that makes the key number, for a key text of `dlina` bytes and
// `dannye` bytes of data to encode: half the data (at least 1) when the key is not shorter
// than the data, and at most one block.
size_t zyDlinaKljucha(size_t dlina, uint64_t dannye);

// The L bytes of the key number K from the key text x: byte j is the low byte of
// NOT(x[j] * (x[j] - j) * (x[L-1-j] - (L-1-j))) in 8-bit arithmetic. K is zero above byte L.
void zyKljuchevoeChislo(const unsigned char* x, size_t L, unsigned char* K);

// Significant bytes of a little-endian number of n bytes (up to its highest non-zero byte).
size_t zyZnachimyh(const unsigned char* p, size_t n);

// Division of u (n digits) by v (m digits, v[m-1] != 0, n >= m >= 1): quotient q (n - m + 1
// digits) and remainder r (m digits). `rab` holds n + m + 1 digits of work space. Long
// division with normalised digits (Knuth's algorithm D); exact. The 32-bit form of the template
// the blocks use with ZyKodCifra digits.
void zyDelit(const uint32_t* u, size_t n, const uint32_t* v, size_t m, uint32_t* q, uint32_t* r,
             uint32_t* rab);

// p = (a x b + c) modulo 2^(32 k): the k low digits (a: na digits, b: nb, c: nc).
void zyUmnozhitSlozhit(const uint32_t* a, size_t na, const uint32_t* b, size_t nb,
                       const uint32_t* c, size_t nc, uint32_t* p, size_t k);

// The key number of one encoding, with the work area of its blocks.
class ZyKodChislo {
public:
    ZyKodChislo() = default;
    ~ZyKodChislo();
    ZyKodChislo(const ZyKodChislo&) = delete;
    ZyKodChislo& operator=(const ZyKodChislo&) = delete;

    // Allocates the work area; false when memory is short.
    bool vydelit();
    // Derives K from the key text (`dlina` bytes) for `dannye` bytes of data; false when K is
    // zero (the key cannot divide).
    bool kljuch(const unsigned char* tekst, size_t dlina, uint64_t dannye);
    // Length L of the key text that made K.
    size_t dlinaKljucha() const { return L_; }

    // Encodes a block of n (<= ZY_KOD_BLOK) bytes as a record (lengths of quotient and
    // remainder, 16 bits each, then their significant bytes) into `zapis` (ZY_KOD_ZAPIS bytes);
    // returns the record's length.
    size_t kodirovat(const unsigned char* blok, size_t n, unsigned char* zapis);
    // The first n (<= ZY_KOD_BLOK) bytes of quotient x K + remainder into `blok`
    // (quotient qn and remainder rn bytes, each at most ZY_KOD_BLOK).
    void dekodirovat(const unsigned char* q, size_t qn, const unsigned char* r, size_t rn,
                     unsigned char* blok, size_t n);

private:
    size_t L_ = 0;
    size_t mK_ = 0;             // significant digits of K
    ZyKodCifra* k_ = nullptr;   // K
    ZyKodCifra* u_ = nullptr;   // the block's digits
    ZyKodCifra* q_ = nullptr;   // quotient
    ZyKodCifra* r_ = nullptr;   // remainder
    ZyKodCifra* rab_ = nullptr; // division work space
    ZyKodCifra* pamjat_ = nullptr;
};

} // namespace Quorvel

#endif // ZYKODARIFM_H
