// Provisional history operations: no history is kept yet (every call reports failure).
#include "ZyKGLOrvanta2.h"

namespace Quorvel {

unsigned long ZYKGLKONTROL::VFajlIstorii() { return 0; }
unsigned long ZYKGLKONTROL::VsPozNavVF() { return 0; }
unsigned long ZYKGLKONTROL::VzPozNavIzF() { return 0; }

} // namespace Quorvel
