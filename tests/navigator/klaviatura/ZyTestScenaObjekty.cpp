// The test scene of the keyboard and object tests: named objects drawn at known places of the
// view (as fractions of its width and height, at a known distance in front of the initial
// eye), a count of the selection passes, and a task handler that runs a test's code on the
// controller thread (see ZyTestScenaDispatch.h).
#include "ZyTestScenaObjekty.h"

#include <GL/gl.h>

#include <cmath>

using Quorvel::ZYKGLKONTROL;

namespace {

// One object: its name stack, its place (fractions of the view, y from the top), its distance.
struct Objekt {
    unsigned long imena[3];
    int kolImen;
    double fx, fy, rasst;
};

// The layout: 0x2222 under the stack 1, 5; 0x5555 behind 0x6666; 0x7777 and 0x8888 at one
// place and depth; the middle of the top row is empty.
const Objekt kObjekty[] = {
    {{1, 5, 0x2222}, 3, TSO_X_2222, TSO_Y_VERH, 10.0},
    {{0x3333}, 1, TSO_X_3333, TSO_Y_VERH, 10.0},
    {{0x4444}, 1, TSO_X_4444, TSO_Y_NIZ, 10.0},
    {{0x5555}, 1, TSO_X_PARA, TSO_Y_NIZ, 20.0},
    {{0x6666}, 1, TSO_X_PARA, TSO_Y_NIZ, 10.0},
    {{0x7777}, 1, TSO_X_NICHJA, TSO_Y_SEREDINA, 10.0},
    {{0x8888}, 1, TSO_X_NICHJA, TSO_Y_SEREDINA, 10.0},
};

long rezhim = TSO_OBYCHNYJ;
long kolVybora = 0; // selection passes drawn (controller thread only; read through a task)

// A square of half size `pol` (fraction of the view's height) around the view fraction
// (fx, fy), `rasst` in front of the initial eye; the modelview matrix is the identity.
void Kvadrat(ZYKGLKONTROL* k, double fx, double fy, double rasst, double pol) {
    GLint vp[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double aspekt = vp[3] ? double(vp[2]) / double(vp[3]) : 1.0;
    const double hy = rasst * std::tan(k->fovy * 0.5 * 3.14159265358979 / 180.0);
    const double x = (2.0 * fx - 1.0) * hy * aspekt, y = (1.0 - 2.0 * fy) * hy;
    const double h = 2.0 * pol * hy;
    glBegin(GL_QUADS);
    glVertex3d(x - h, y - h, -rasst);
    glVertex3d(x + h, y - h, -rasst);
    glVertex3d(x + h, y + h, -rasst);
    glVertex3d(x - h, y + h, -rasst);
    glEnd();
}

// The named objects of the layout; 0x2222 only when `s2222`.
void Raskladka(ZYKGLKONTROL* k, bool s2222) {
    for (const Objekt& o : kObjekty) {
        if (!s2222 && o.imena[o.kolImen - 1] == 0x2222) continue;
        for (int i = 0; i < o.kolImen; ++i)
            glPushName(o.imena[i]);
        Kvadrat(k, o.fx, o.fy, o.rasst, TSO_POLOVINA);
        for (int i = 0; i < o.kolImen; ++i)
            glPopName();
    }
}

// TSO_MNOGO objects at the middle, each farther away than the one after it.
void Mnogo(ZYKGLKONTROL* k) {
    for (unsigned long i = 0; i < TSO_MNOGO; ++i) {
        glPushName(TSO_PERVOE_MNOGO + i);
        Kvadrat(k, 0.5, 0.5, 20.0 - 0.01 * double(i), TSO_POLOVINA);
        glPopName();
    }
}

} // namespace

extern "C" {

// Chooses what the scene draws (TSO_*).
TSO_API void TsoVsRezhim(long r) {
    rezhim = r;
}

// Selection passes drawn so far (call on the controller thread).
TSO_API long TsoKolVybora() {
    return kolVybora;
}

// Runs the task a ZYT_VYPOLNIT message or a ZYT_KLAVISHA key carries.
__declspec(dllexport) int TsoVypolnit(MSG* m) {
    const bool zadacha =
        m->message == ZYT_VYPOLNIT || (m->message == WM_KEYDOWN && m->wParam == ZYT_KLAVISHA);
    auto* z = reinterpret_cast<ZyTestZadacha*>(m->lParam);
    if (!zadacha || !z) return 0;
    if (z->fn) z->fn(reinterpret_cast<ZYKGLKONTROL*>(m->hwnd), z->arg);
    SetEvent(z->gotovo);
    return 1;
}

// Scene constructor: subscribes the task handler, last of the navigation handlers.
__declspec(dllexport) long TsoKonstr(ZYKGLKONTROL* k) {
    Quorvel::ZYS_SOOB_iFYN_P zapisi[] = {{ZYT_VYPOLNIT, TsoVypolnit, 0xFFFFFFFF},
                                         {WM_KEYDOWN, TsoVypolnit, 0xFFFFFFFF}};
    k->vklNav(zapisi, 2);
    return 1;
}

// Intermission: draws nothing.
__declspec(dllexport) long TsoAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Frame: the objects of the current layout (counting the selection passes).
__declspec(dllexport) long TsoPokaz(ZYKGLKONTROL* k) {
    GLint r = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &r);
    if (r == GL_SELECT) ++kolVybora;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glInitNames();
    if (rezhim == TSO_MNOGO_OBJEKTOV)
        Mnogo(k);
    else
        Raskladka(k, rezhim != TSO_BEZ_2222);
    return 1;
}

// End of frame: shows the frame.
__declspec(dllexport) long TsoFinal(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}

} // extern "C"
