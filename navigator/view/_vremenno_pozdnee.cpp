// Provisional transparency, pause screen and display-list clean-up: they do nothing yet.
#include "ZyKGLOrvanta2.h"

namespace Quorvel {

int ZYKGLKONTROL::Prozrachno() { return 1; }
void ZYKGLKONTROL::NeProzrachno() {}
int ZYKGLKONTROL::Pauza() { return 0; }
int ZYKGLKONTROL::VwklSpiskiD(const char*) { return 0; }

} // namespace Quorvel
