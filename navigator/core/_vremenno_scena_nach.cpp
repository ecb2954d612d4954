// Provisional built-in scene: until the clock-and-calendar scene arrives, the default scene
// makes the rendering context, clears each frame to a palette colour, draws a wire cube in
// front of the eye and swaps the buffers, so that a view window shows a picture.
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <cstring>

namespace {

// Palette entry 176 (dark blue) and entry 2 (yellow), as RGB.
constexpr float FON[3] = {0.0f, 0.0f, 125.0f / 255.0f};
constexpr float LINII[3] = {252.0f / 255.0f, 252.0f / 255.0f, 0.0f};

// A wire cube of edge 2 around the origin.
void Kub() {
    static const float v[8][3] = {{-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1},
                                  {-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}};
    static const int r[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                 {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    glBegin(GL_LINES);
    for (const auto& e : r) {
        glVertex3fv(v[e[0]]);
        glVertex3fv(v[e[1]]);
    }
    glEnd();
}

} // namespace

// Constructor: the rendering context with the default format, and the pause text.
long ZyGLScenaNach1(Quorvel::ZYKGLKONTROL* k) {
    if (!k) return 0;
    k->VsDCFormat(nullptr);
    std::strncpy(k->TekstPauzy, "Quorvel\x99, RU, KZ", sizeof k->TekstPauzy - 1);
    return 1;
}

// Intermission: a plain frame on the auxiliary window.
long ZyGLScenaNach2(Quorvel::ZYKGLKONTROL* k) {
    if (!k) return 0;
    glClearColor(FON[0], FON[1], FON[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (k->desDC) SwapBuffers(k->desDC);
    return 1;
}

// Frame: background colour and the cube, 6 units in front of the eye.
long ZyGLScenaNach3(Quorvel::ZYKGLKONTROL* k) {
    if (!k) return 0;
    glClearColor(FON[0], FON[1], FON[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(0.0, 0.0, -6.0);
    glRotated(20.0, 1.0, 1.0, 0.0);
    glColor3fv(LINII);
    Kub();
    return 1;
}

// End of frame: the buffers are swapped; the next frame clears colour and depth.
long ZyGLScenaNach4(Quorvel::ZYKGLKONTROL* k) {
    if (!k) return 0;
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    return 1;
}

// Object handler of the built-in scene's test objects (none are drawn yet).
int TestSoob(MSG*) {
    return 0;
}
