// Provisional display-list registry: no registry exists yet (the controller keeps a null
// pointer, which every user of the field tolerates). Replaced by the display-list unit.
#include "ZyReestrSpiskov.h"

namespace Quorvel {

ZYKREESTR_SPISKOV* ZySpiskiSozdat() {
    return nullptr;
}
void ZySpiskiDes(ZYKREESTR_SPISKOV*) {}
void ZySpiskiSbrositKlyuch(ZYKREESTR_SPISKOV*) {}

} // namespace Quorvel
