// The test scene of the keyboard and object tests: named squares at known places of the view
// (see the header), a count of selection passes, and the task handler of the dispatch tests.
#include "ZyTestScenaObjekty.h"

#include <GL/gl.h>

#include <cmath>

using Quorvel::ZYKGLKONTROL;

namespace {

long rezhim = TSO_OBYCHNYJ;
long kolVybora = 0; // selection passes drawn (controller thread only)

// A named square around the view fraction (fx, fy), `rasst` in front of the initial eye.
void Kvadrat(ZYKGLKONTROL* k, const unsigned long* imena, int kol, double fx, double fy,
             double rasst) {
    GLint vp[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double hy = rasst * std::tan(k->fovy * 0.5 * 3.14159265358979 / 180.0);
    const double x = (2 * fx - 1) * hy * vp[2] / (vp[3] ? vp[3] : 1), y = (1 - 2 * fy) * hy;
    const double h = 2 * TSO_POLOVINA * hy;
    for (int i = 0; i < kol; ++i)
        glPushName(imena[i]);
    glPushMatrix();
    glTranslated(0.0, 0.0, -rasst);
    glRectd(x - h, y - h, x + h, y + h);
    glPopMatrix();
    for (int i = 0; i < kol; ++i)
        glPopName();
}

} // namespace

extern "C" {

TSO_API void TsoVsRezhim(long r) {
    rezhim = r;
}

TSO_API long TsoKolVybora() {
    return kolVybora;
}

// Runs the task a ZYT_VYPOLNIT message or a ZYT_KLAVISHA key carries.
__declspec(dllexport) int TsoVypolnit(MSG* m) {
    auto* z = reinterpret_cast<ZyTestZadacha*>(m->lParam);
    if (!z ||
        !(m->message == ZYT_VYPOLNIT || (m->message == WM_KEYDOWN && m->wParam == ZYT_KLAVISHA)))
        return 0;
    if (z->fn) z->fn(reinterpret_cast<ZYKGLKONTROL*>(m->hwnd), z->arg);
    SetEvent(z->gotovo);
    return 1;
}

// Scene constructor: the task handler, last of the navigation handlers, once (the scene may
// be loaded again by a history move).
__declspec(dllexport) long TsoKonstr(ZYKGLKONTROL* k) {
    const unsigned long est = k->VzKolVklNav(ZYT_VYPOLNIT, 0xFFFFFFFF);
    if (est != 0 && est != 0xFFFFFFFF) return 1;
    Quorvel::ZYS_SOOB_iFYN_P z[] = {{ZYT_VYPOLNIT, TsoVypolnit, 0xFFFFFFFF},
                                    {WM_KEYDOWN, TsoVypolnit, 0xFFFFFFFF}};
    k->vklNav(z, 2);
    return 1;
}

__declspec(dllexport) long TsoAntrakt(ZYKGLKONTROL*) {
    return 1;
}

// Frame: 0x2222 under the stack 1, 5 (unless hidden); 0x5555 behind 0x6666; 0x7777 and 0x8888
// at one place and depth; or TSO_MNOGO squares, each nearer than the one before.
__declspec(dllexport) long TsoPokaz(ZYKGLKONTROL* k) {
    GLint r = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &r);
    kolVybora += r == GL_SELECT;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glInitNames();
    if (rezhim == TSO_MNOGO_OBJEKTOV) {
        for (unsigned long i = 0; i < TSO_MNOGO; ++i) {
            const unsigned long im = TSO_PERVOE_MNOGO + i;
            Kvadrat(k, &im, 1, 0.5, 0.5, 20.0 - 0.01 * double(i));
        }
        return 1;
    }
    const unsigned long s2222[3] = {1, 5, 0x2222}, i3 = 0x3333, i4 = 0x4444, i5 = 0x5555,
                        i6 = 0x6666, i7 = 0x7777, i8 = 0x8888;
    if (rezhim != TSO_BEZ_2222) Kvadrat(k, s2222, 3, TSO_X_LEVO, TSO_Y_VERH, 10);
    Kvadrat(k, &i3, 1, TSO_X_PRAVO, TSO_Y_VERH, 10);
    Kvadrat(k, &i4, 1, TSO_X_LEVO, TSO_Y_NIZ, 10);
    Kvadrat(k, &i5, 1, TSO_X_PRAVO, TSO_Y_NIZ, 20);
    Kvadrat(k, &i6, 1, TSO_X_PRAVO, TSO_Y_NIZ, 10);
    Kvadrat(k, &i7, 1, TSO_X_SEREDINA, TSO_Y_SEREDINA, 10);
    Kvadrat(k, &i8, 1, TSO_X_SEREDINA, TSO_Y_SEREDINA, 10);
    return 1;
}

__declspec(dllexport) long TsoFinal(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}

} // extern "C"
