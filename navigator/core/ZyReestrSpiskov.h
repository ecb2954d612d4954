// The controller's display-list registry as the core sees it (internal to the engine).
#ifndef ZYREESTRSPISKOV_H
#define ZYREESTRSPISKOV_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// A new, empty registry, or null when it cannot be allocated.
ZYKREESTR_SPISKOV* ZySpiskiSozdat();
// Destroys a registry and every block it holds (null is ignored).
void ZySpiskiDes(ZYKREESTR_SPISKOV* reestr);
// Forgets the current scene key, so that the next list operation derives it from the newly
// loaded constructor's name (null is ignored).
void ZySpiskiSbrositKlyuch(ZYKREESTR_SPISKOV* reestr);

} // namespace Quorvel

#endif
