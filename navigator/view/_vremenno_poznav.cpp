// Provisional point of observation: viewport and a fixed perspective only, no navigation.
#include "ZyKGLOrvanta2.h"
#include "ZyPozNav.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace Quorvel {

int ZYKGLKONTROL::PozicijaNabludenija(ZYS_REGION_VIDA*) {
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, vp[3] ? double(vp[2]) / vp[3] : 1.0, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
    glClear(MaskaOchistki);
    return 1;
}
void ZYKGLKONTROL::VsPozNavV0() {}
void ZYKGLKONTROL::VsMatrPozNav() {}
void ZYKGLKONTROL::UniversalnajaPloskost() {}
void ZYKGLKONTROL::NachAtrib() {}
void ZyUpakovatPozNav(const ZYKGLKONTROL&, ZYS_POZ_NAV&) {}
void ZyRaspakovatPozNav(ZYKGLKONTROL&, const ZYS_POZ_NAV&) {}

} // namespace Quorvel
