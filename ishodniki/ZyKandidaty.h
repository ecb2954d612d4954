// The candidate scan of the pattern search (internal): which positions of a window of bytes may
// hold the pattern, and whether they do.
//
// A candidate is a position whose byte matches the pattern's first byte and whose byte at
// (length - 1) further on matches the pattern's last byte, directly or through the acceptance
// sets of a table. The scan runs sixteen bytes at a time with SSE2 (on i686 only when the
// processor has it, detected at run time) and a word-wide scan otherwise. Pure logic, no
// system calls: the unit can be compiled natively for sanitizers and fuzzing.
#ifndef ZYKANDIDATY_H
#define ZYKANDIDATY_H

#include <cstddef>
#include <cstdint>

namespace Quorvel {

// "No candidate" of the backward scan.
constexpr size_t ZY_NET = ~size_t(0);

// A pattern prepared for the scan.
struct ZyObrazec {
    const unsigned char* bajty = nullptr; // the pattern (not owned)
    size_t dlina = 0;                     // its length (> 0)
    bool sTablicej = false;               // bytes compare through the acceptance sets
    // With a table: bit b of prinjat[p] is set when file byte b counts as pattern byte p.
    uint32_t prinjat[256][8];
    // The file bytes the first and the last pattern byte accept, when there are at most four
    // of each (nPerv, nPosl); 0 when there are more (the scan then tests the sets byte by byte).
    unsigned char perv[4], posl[4];
    int nPerv = 0, nPosl = 0;
};

// Prepares `o` for the pattern `p` of `n` (> 0) bytes. `tablica` holds `strok` rows of 256
// bytes (row r: file byte tablica[r * 256 + p] counts as pattern byte p), or is null for an
// exact comparison.
void zyPrigotovitObrazec(ZyObrazec& o, const unsigned char* p, size_t n,
                         const unsigned char* tablica, size_t strok);

// The first candidate c in [0, n) with c a multiple of `shag` (0 or 1: every position).
// The bytes okno[0 .. n + dlina - 1) must be readable. Returns n when there is none.
size_t zyKandidatVpered(const ZyObrazec& o, const unsigned char* okno, size_t n, size_t shag);

// The last candidate c in [0, n) with (n - 1 - c) a multiple of `shag`. The bytes
// okno[0 .. n + dlina - 1) must be readable. Returns ZY_NET when there is none.
size_t zyKandidatNazad(const ZyObrazec& o, const unsigned char* okno, size_t n, size_t shag);

// True when the `n` file bytes at `p` match the pattern's bytes from `ot` on.
bool zySovpadaet(const ZyObrazec& o, const unsigned char* p, size_t ot, size_t n);

// True when the file byte `b` matches the pattern byte at `i`.
inline bool zyBajtSovpadaet(const ZyObrazec& o, size_t i, unsigned char b) {
    const unsigned char p = o.bajty[i];
    if (!o.sTablicej) return p == b;
    return (o.prinjat[p][b >> 5] >> (b & 31)) & 1u;
}

// Whether the vector scan is in use on this processor.
bool zyVektornyjSkan();

} // namespace Quorvel

#endif // ZYKANDIDATY_H
