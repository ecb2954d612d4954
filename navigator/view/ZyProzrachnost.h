// Transparency: the parent's shared region as the navigator's parent procedure sees it
// (internal to the engine).
#ifndef ZYPROZRACHNOST_H
#define ZYPROZRACHNOST_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// Deletes and clears a parent's shared region (`region`, the navigator's parentRegion) and
// forgets the last copy handed to the parent (`aux`), under the lock that the views' controller
// threads take for them. True when a region existed. Window thread, on the parent's WM_SIZE.
bool ZySbrositRegionRoditelja(HRGN& region, HRGN& aux);

} // namespace Quorvel

#endif // ZYPROZRACHNOST_H
