// A scene module for the screen tests: a background of (51, 153, 102) with a white square in
// the middle, animated at 10 frames a second. At its third frame it reports in "ZyEkran.txt"
// the background colour as glReadPixels reads it and where the view's client area lies on the
// screen: "r g b x y width height".
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <cstdio>

using Quorvel::ZYKGLKONTROL;

namespace {

// Writes the report through a temporary file, so that a reader never sees half of it.
void Otchet(ZYKGLKONTROL* k) {
    unsigned char px[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(4, 4, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    RECT r{};
    GetClientRect(k->hwnd, &r);
    POINT p{0, 0};
    ClientToScreen(k->hwnd, &p);
    if (FILE* f = std::fopen("ZyEkran.tmp", "w")) {
        std::fprintf(f, "%d %d %d %ld %ld %ld %ld\n", px[0], px[1], px[2], p.x, p.y, r.right,
                     r.bottom);
        std::fclose(f);
        MoveFileExA("ZyEkran.tmp", "ZyEkran.txt", MOVEFILE_REPLACE_EXISTING);
    }
}

} // namespace

extern "C" {

// Constructor: the rendering context and continuous frames.
__declspec(dllexport) long ZyTSEKonstr(ZYKGLKONTROL* k) {
    k->VsDCFormat(nullptr);
    k->fps = 10;
    k->Flagi.Vkl(Quorvel::ZYBIT_ANIMACIJA, Quorvel::ZYBIT_ANIMACIJA);
    return 1;
}

// Intermission: nothing to show.
__declspec(dllexport) long ZyTSEAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Frame: the background and the white square (half the view's height, in its middle).
__declspec(dllexport) long ZyTSEPokaz(ZYKGLKONTROL*) {
    glClearColor(0.2f, 0.6f, 0.4f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glColor3f(1.0f, 1.0f, 1.0f);
    glRectf(-0.25f, -0.5f, 0.25f, 0.5f);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return 1;
}

// End of frame: the buffers are swapped; the third frame is reported.
__declspec(dllexport) long ZyTSEFinal(ZYKGLKONTROL* k) {
    static int kadrov = 0;
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    if (++kadrov == 3) Otchet(k);
    return 1;
}
}
