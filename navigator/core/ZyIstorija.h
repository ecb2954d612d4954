// The history and position file of a view window: opening it and reading it through the
// controller's file object (internal to the engine). The layout and the entry checks are in
// ZyHodIstorii.h.
#ifndef ZYISTORIJA_H
#define ZYISTORIJA_H

#include "ZyHodIstorii.h"
#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// 64-bit value of a ZYKNB64, and back.
inline uint64_t ZyU64(const ZYKNB64& n) {
    return (uint64_t(n.St) << 32) | n.Ml;
}
inline ZYKNB64 ZyNb(uint64_t v) {
    return ZYKNB64{static_cast<unsigned long>(v & 0xFFFFFFFFu),
                   static_cast<unsigned long>(v >> 32)};
}

// The file object holds an open file.
inline bool ZyFajlOtkryt(const ZYKFAJL64* f) {
    return f != nullptr && f->hFajl != nullptr && f->hFajl != INVALID_HANDLE_VALUE;
}

// Opens the controller's "ZyGLDannwe\ZyGLOkno NNN\ZyIstorijaScen.ZYI" unless it is open
// (write access, no sharing, open or create, hidden; missing directories are created).
// 1 when it is open, 0 when it cannot be.
int ZyOtkrytIstoriju(ZYKGLKONTROL& kontrol);

// The open file as the entry walk reads it: its current size and a reader that gives false
// for a range outside the file or a failed read. Valid while `fajl` stays open and unmoved.
ZYS_ISTORIJA ZyIstorijaFajla(ZYKFAJL64& fajl);

} // namespace Quorvel

#endif
