// ZyScenaMinimal.dll: the smallest complete scene. A yellow triangle in front of the starting
// point of observation on a blue background, built once into a named display list.
//
// Name it in "ZyGLDannwe\ZyGLOkno 000\AdresaFyn.txt" (one line per scene function):
//   KonstryktorScenw = ZyScenaMinimal.dll\ZyScenaMinimal1;
//   Antrakt = ZyScenaMinimal.dll\ZyScenaMinimal2;
//   PokazScenw = ZyScenaMinimal.dll\ZyScenaMinimal3;
//   FinalScenw = ZyScenaMinimal.dll\ZyScenaMinimal4;
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

using Quorvel::ZYKGLKONTROL;

namespace {
long treugolnik = 0; // first number of the block "Minimal Treugolnik"
} // namespace

extern "C" {

// Constructor (controller thread): the rendering context, then the lists, built only the first
// time this controller shows the scene and fetched by name when the user comes back.
__declspec(dllexport) long ZyScenaMinimal1(ZYKGLKONTROL* k) {
    k->VsDCFormat(nullptr); // the first scene of a window creates the context here
    if (k->GenSpisokTestS() == 1) {
        treugolnik = k->GenSpisokS(1, "Minimal Treugolnik");
        glNewList(static_cast<GLuint>(treugolnik), GL_COMPILE);
        k->cvet(static_cast<unsigned char>(2)); // palette entry 2: yellow
        glBegin(GL_TRIANGLES);
        glVertex3d(-1.0, -1.0, -5.0);
        glVertex3d(1.0, -1.0, -5.0);
        glVertex3d(0.0, 1.0, -5.0);
        glEnd();
        glEndList();
        k->GenSpisokSFin();
    } else {
        treugolnik = k->VzSpisokS("Minimal Treugolnik");
    }
    glClearColor(0.0f, 0.2f, 0.6f, 1.0f); // the engine clears with it before each frame
    return 1;
}

// Intermission (intermission thread, its own context): shown while a later scene loads.
__declspec(dllexport) long ZyScenaMinimal2(ZYKGLKONTROL* k) {
    glClearColor(0.0f, 0.2f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (k->desDC) SwapBuffers(k->desDC);
    return 1;
}

// Frame (controller thread): projection and point of observation are already loaded.
__declspec(dllexport) long ZyScenaMinimal3(ZYKGLKONTROL*) {
    glPushName(1); // a selection name, so that a click can pick the triangle
    glCallList(static_cast<GLuint>(treugolnik));
    glPopName();
    return 1;
}

// End of frame: show the picture; the next frame clears colour and depth.
__declspec(dllexport) long ZyScenaMinimal4(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    return 1;
}
}
