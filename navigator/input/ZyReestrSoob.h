// The controller's message registry as the rest of the engine sees it (internal).
#ifndef ZYREESTRSOOB_H
#define ZYREESTRSOOB_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// A new, empty registry, or null when it cannot be allocated.
ZYKREESTR_SOOB* ZyReestrSozdat();
// Destroys a registry and every handler record in it (null is ignored).
void ZyReestrDes(ZYKREESTR_SOOB* reestr);
// Dispatches one message whose window slot already holds the controller; returns the number
// of handlers called.
unsigned long ZyReestrRazoslat(ZYKREESTR_SOOB* reestr, MSG* soob, ZYKGLKONTROL* kontrol);
// Installs main handlers: for each record the entry's main function becomes iFyn.
void ZyReestrUstanovitOsnovnwe(ZYKREESTR_SOOB* reestr, const ZYS_SOOB_iFYN* zapisi,
                               unsigned int kol);
// The engine's ten built-in main handlers, in installation order.
extern const ZYS_SOOB_iFYN ZyOsnovnweObrabotchiki[10];

} // namespace Quorvel

#endif
