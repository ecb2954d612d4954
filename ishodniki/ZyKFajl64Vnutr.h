// Pieces shared by the units of the large-file object (internal).
#ifndef ZYKFAJL64VNUTR_H
#define ZYKFAJL64VNUTR_H

#include <windows.h>

#include <cstdint>

#include "ZyKFajl64.h"

namespace Quorvel {

constexpr uint64_t ZY_MAX64 = ~uint64_t(0); // "no value" / "up to the end"

// State bit of Flagi set by open: the handle was opened without buffering, or the file lies on
// another machine. Reads and writes through such a handle are not kept coherent with mapped
// views (and unbuffered ones must be sector-aligned), so the copies go through views.
constexpr unsigned long ZYF64_CHEREZ_VIDY = 1ul << 29;

// Longest full path, without its terminating zero.
constexpr unsigned ZY_DLINA_PUTI = MAX_PATH - 1;
// Longest path part of a synchronisation object's name (with its letter MAX_PATH - 1).
constexpr unsigned ZY_DLINA_IMENI_SINHRON = MAX_PATH - 2;
// Buffer for the name of a synchronisation object: the path part, one letter and the zero.
constexpr unsigned ZY_BUF_IMENI_SINHRON = MAX_PATH + 2;
// Buffer for the name of the file-mapping object (FEK_VsImjaOtr): at most MAX_PATH bytes.
constexpr unsigned ZY_BUF_IMENI_OTR = MAX_PATH;

// The number as a built-in 64-bit value.
inline uint64_t zy64(const ZYKNB64& n) {
    return (uint64_t(n.St) << 32) | n.Ml;
}

// A built-in 64-bit value as a number.
inline ZYKNB64 zyNB(uint64_t v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}

// Sum that stops at the largest value.
inline uint64_t zySumma(uint64_t a, uint64_t b) {
    return a > ZY_MAX64 - b ? ZY_MAX64 : a + b;
}

// Difference that stops at 0.
inline uint64_t zyRaznost(uint64_t a, uint64_t b) {
    return a > b ? a - b : 0;
}

// Quotient with the number's rules: below the divisor 0, equal 1, by 0 or 1 the dividend.
inline uint64_t zyChastnoe(uint64_t a, uint64_t b) {
    if (a < b) return 0;
    if (a == b) return 1;
    return b < 2 ? a : a / b;
}

// True when the value needs more than 32 bits.
inline bool zyShire32(uint64_t v) {
    return (v >> 32) != 0;
}

// Waits for a mutex without time-out; an abandoned mutex counts as obtained (its owner died,
// the protected data are still consistent because every writer of them holds it briefly).
bool zyZhdatMutex(HANDLE mutex);

// Name of a synchronisation object of the file `put`: the path with every "\" replaced by "*",
// upper-cased, with `bukva` appended (a path too long for an object name keeps its end behind
// a hash of the whole path). `buf` holds ZY_BUF_IMENI_SINHRON bytes.
void zyImjaSinhron(const char* put, char bukva, char* buf);

// Makes sure the file object has its mapping object (created as the byte access does).
// 1: it exists; 0: the file is empty, nothing to map; -1: creation failed (last error set).
int zyGotovoOtobrazhenie(ZYKFAJL64& f);

// Re-reads the file information record; size and last index follow it. False on failure.
bool zyPerechitatInfo(ZYKFAJL64& f);

// Sets the end of the file to `konec` without taking the writer lock (the caller holds it):
// the steps of FIN, with the last-write stamp unless `shtamp` is false. 1, or 0 after a
// report.
int zyUstanovitKonec(ZYKFAJL64& f, uint64_t konec, bool shtamp = true);

// Grows the file to `konec` bytes unless it is already that long as re-read under the writer
// lock (then the object is only refreshed); never makes it shorter. 1, or 0 after a report.
int zyVyrastit(ZYKFAJL64& f, uint64_t konec);

} // namespace Quorvel

#endif // ZYKFAJL64VNUTR_H
