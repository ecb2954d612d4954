// The history and position file of a view window: opening it and reading it through the
// controller's file object (internal to the engine). The layout and the entry checks are in
// ZyHodIstorii.h.
#ifndef ZYISTORIJA_H
#define ZYISTORIJA_H

#include "ZyHodIstorii.h"
#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// Opens the controller's "ZyGLDannwe\ZyGLOkno NNN\ZyIstorijaScen.ZYI" unless it is open
// (write access, no sharing, open or create, hidden; missing directories are created).
// 1 when it is open, 0 when it cannot be.
int ZyOtkrytIstoriju(ZYKGLKONTROL& kontrol);

// The open file as the entry walk reads it: its current size and a reader that gives false
// for a range outside the file or a failed read. Valid while `fajl` stays open and unmoved.
ZYS_ISTORIJA ZyIstorijaFajla(ZYKFAJL64& fajl);

} // namespace Quorvel

#endif
