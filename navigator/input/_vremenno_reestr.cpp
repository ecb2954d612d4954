// Provisional message registry: messages reach no handler yet.
#include "ZyReestrSoob.h"

namespace Quorvel {

ZYKREESTR_SOOB* ZyReestrSozdat() { return nullptr; }
void ZyReestrDes(ZYKREESTR_SOOB*) {}
unsigned long ZyReestrRazoslat(ZYKREESTR_SOOB*, MSG*, ZYKGLKONTROL*) { return 0; }
void ZyReestrUstanovitOsnovnwe(ZYKREESTR_SOOB*, const ZYS_SOOB_iFYN*, unsigned int) {}
const ZYS_SOOB_iFYN ZyOsnovnweObrabotchiki[10] = {};

} // namespace Quorvel
