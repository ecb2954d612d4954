// Picking scene objects by OpenGL selection (internal to the engine).
#ifndef ZYVYBOR_H
#define ZYVYBOR_H

#include "ZyKGLOrvanta2.h"

#include <cstddef>

namespace Quorvel {

// The selection name of the object under the cursor of a mouse message (client pixels in
// lParam), or 0; a hit with names replaces the controller's pickedNames.
unsigned long ZyVybratPodKursorom(const MSG* soob, ZYKGLKONTROL& kontrol);
// Renders the whole view in selection mode into the controller's selection buffer (grown as
// needed); the number of hit records left in it, whose words are at `slova` (`kol` of them).
long ZyVybratVesVid(ZYKGLKONTROL& kontrol, const unsigned int*& slova, std::size_t& kol);
// pickedNames := the kol names of one hit record, in record order.
void ZyZapomnitImena(ZYKGLKONTROL& kontrol, const unsigned int* imena, unsigned long kol);

} // namespace Quorvel

#endif
