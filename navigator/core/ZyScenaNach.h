// The built-in scene as the rest of the engine sees it (internal).
#ifndef ZYSCENANACH_H
#define ZYSCENANACH_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// Forgets the built-in scene's state of a controller (its list numbers, texts and transparency
// switch); called when the controller is destroyed, so that a controller made later at the
// same address starts afresh.
void ZyScenaNachZabyt(const ZYKGLKONTROL* k);

} // namespace Quorvel

#endif // ZYSCENANACH_H
