// Transparency as the rest of the engine sees it: the parent's shared region for the
// navigator's parent procedure, and whether a view's region still covers its client area for
// the paint handler (internal to the engine).
#ifndef ZYPROZRACHNOST_H
#define ZYPROZRACHNOST_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// Deletes and clears a parent's shared region (`region`, the navigator's parentRegion) and
// forgets the last copy handed to the parent (`aux`), under the lock that the views' controller
// threads take for them. True when a region existed. Window thread, on the parent's WM_SIZE.
bool ZySbrositRegionRoditelja(HRGN& region, HRGN& aux);

// Part of the window's client area lies outside the window's region: the window was made
// larger after its region was handed over. False without a region. Any thread.
bool ZyKlientVneRegiona(HWND okno);

} // namespace Quorvel

#endif // ZYPROZRACHNOST_H
