// Provisional rendering context: nothing is created yet.
#include "ZyKGLOrvanta2.h"

namespace Quorvel {

int ZYKGLKONTROL::VsDCFormat(PIXELFORMATDESCRIPTOR*) { return 0; }
int ZYKGLKONTROL::VzDCFormat(PIXELFORMATDESCRIPTOR*) { return 0; }
void* ZyUstanovitPikselnyyFormat(void*, PIXELFORMATDESCRIPTOR*) { return nullptr; }

} // namespace Quorvel
