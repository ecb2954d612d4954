// The point of observation: viewport, projection and the per-frame navigation step, the
// viewer-fixed matrix, the focus plane and the saved attribute state.
//
// The whole viewing transform (perspective, orbit offset, gluLookAt) goes on the projection
// stack; the modelview matrix belongs to the scene and is only selected here.
#include "ZyGeometrija.h"
#include "ZyKontrolVnutr.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Quorvel {

namespace {

// Every attribute group up to GL_SCISSOR_BIT except GL_VIEWPORT_BIT: restoring the initial
// state never changes the viewport.
constexpr GLbitfield kMaskaAtributov = 0xFF7FF;
static_assert((kMaskaAtributov & GL_VIEWPORT_BIT) == 0, "the viewport is not restored");

// The initial frame: eye at the origin looking along -z, +y up, +x to the side.
const TOCHKA3MDF kNachalnajaPozicija[4] = {
    {0.0, 0.0, 0.0}, {0.0, 0.0, -1000.0}, {0.0, 1000.0, 0.0}, {1000.0, 0.0, 0.0}};

enum : int { GLAZ = 0, CEL = 1, VERH = 2, BOK = 3 }; // the four points of a frame

// The direction from the eye of `ramka` to its point `kuda`.
VEKTOR3MDF Os(const TOCHKA3MDF* ramka, int kuda) {
    return VEKTOR3MDF{ramka[kuda].x - ramka[GLAZ].x, ramka[kuda].y - ramka[GLAZ].y,
                      ramka[kuda].z - ramka[GLAZ].z};
}

// The direction from the eye to `kuda`, unit length, times `shag`.
VEKTOR3MDF ShagVdol(const TOCHKA3MDF* ramka, int kuda, double shag) {
    VEKTOR3MDF v = Os(ramka, kuda);
    v.Normal();
    return VEKTOR3MDF{v.x * shag, v.y * shag, v.z * shag};
}

// Sets the current colour to palette entry n in the controller's colour mode; false when
// the mode is neither RGBA nor colour index or the entry cannot be read.
// NOTE: the same rule as the controller's colour operation of the text and colour unit.
bool CvetIzPalitry(const ZYKGLKONTROL& k, unsigned char n) {
    if (k.FormatPikselej.iPixelType == PFD_TYPE_COLORINDEX) {
        glIndexs(n);
        return true;
    }
    if (k.FormatPikselej.iPixelType != PFD_TYPE_RGBA) return false;
    PALETTEENTRY pe;
    if (k.Palitra == nullptr || GetPaletteEntries(k.Palitra, n, 1, &pe) != 1) return false;
    glColor3ub(pe.peRed, pe.peGreen, pe.peBlue);
    return true;
}

// A rectangle of half sizes (hx, hy) around the view axis, `rasst` in front of the viewer,
// scaled to 65 % of the view, as GL_QUADS or GL_LINE_LOOP.
void PryamougolnikPloskosti(GLenum vid, double hx, double hy, double rasst) {
    glPushMatrix();
    glTranslated(0.0, 0.0, -rasst);
    glScaled(0.65, 0.65, 0.65);
    glBegin(vid);
    glVertex2d(hx, hy);
    glVertex2d(-hx, hy);
    glVertex2d(-hx, -hy);
    glVertex2d(hx, -hy);
    glEnd();
    glPopMatrix();
}

} // namespace

// Changes the six speeds for one frame from the speed keys: the first matching case only.
// Held motion keys (bits 7..12) select the speeds; without them the active motions (1..6) do.
// A speed whose change would leave the finite numbers keeps its value.
static void IzmenitSkorosti(ZYKGLKONTROL& k) {
    const double c = k.IzmSkorosti;
    const bool bystree = ZyFlag(k, ZYBIT_USKORIT), medlennee = ZyFlag(k, ZYBIT_ZAMEDLIT);
    const bool klavishi = k.Flagi.Test(ZYBIT_KLAVISHA1, ZYBIT_KLAVISHA1 + 5);
    if (!bystree && !medlennee) return;
    const unsigned long pervyj = klavishi ? ZYBIT_KLAVISHA1 : ZYBIT_DVIZH1;
    for (int i = 0; i < 6; ++i) {
        if (!ZyFlag(k, pervyj + i)) continue;
        double s = k.SkorostNav[i];
        if (bystree) {
            s += s * 0.01 * c;
            if (s == 0.0) s = 0.001 * c; // a stopped axis starts again
        } else {
            s -= s * 0.01 * c;
        }
        if (std::isfinite(s)) k.SkorostNav[i] = s;
    }
}

// Every coordinate of the frame and the orbit distance are finite numbers.
static bool RamkaKonechna(const ZYKGLKONTROL& k) {
    for (const TOCHKA3MDF& t : k.PozNav)
        if (!std::isfinite(t.x) || !std::isfinite(t.y) || !std::isfinite(t.z)) return false;
    return std::isfinite(k.Distancija);
}

// Moves the frame PozNav by one time step of the active motions, in the fixed order.
static void DvigatRamku(ZYKGLKONTROL& k) {
    const double f = k.fps ? double(k.fps) : 1.0;
    double t[6];
    for (int i = 0; i < 6; ++i)
        t[i] = k.SkorostNav[i] / f;
    TOCHKA3MDF* p = k.PozNav;
    if (ZyFlag(k, ZYBIT_DVIZH1)) k.SdvigTochek(ShagVdol(p, BOK, t[0]), p, 4);
    if (ZyFlag(k, ZYBIT_DVIZH1 + 1)) {
        if (!ZyFlag(k, ZYBIT_ORBITA_DISTANCIJA)) k.SdvigTochek(ShagVdol(p, CEL, t[1]), p, 4);
        if (ZyFlag(k, ZYBIT_ORBITA)) {
            k.Distancija += t[1];
            if (k.Distancija < 0.0) k.Distancija = 0.0;
        }
    }
    if (ZyFlag(k, ZYBIT_DVIZH1 + 2)) k.SdvigTochek(ShagVdol(p, VERH, t[2]), p, 4);
    // The axis points are copied: the rotation moves the very points it is given.
    const double ugly[3] = {t[3], t[4], -t[5]};
    const int osi[3] = {BOK, CEL, VERH};
    for (int i = 0; i < 3; ++i) {
        if (!ZyFlag(k, ZYBIT_DVIZH1 + 3 + i)) continue;
        const TOCHKA3MDF a = p[GLAZ], b = p[osi[i]];
        k.PovorotTochek(ugly[i], a, b, p, 4);
    }
}

// Viewport, projection and viewing for one frame. `region` null: a normal frame with the
// navigation step; non-null: no step, and a pick matrix when its width and height are both
// non-zero. Always 1.
int ZYKGLKONTROL::PozicijaNabludenija(ZYS_REGION_VIDA* region) {
    GLint vp[4] = {0, 0, 0, 0};
    RECT r;
    if (ZyFlag(*this, ZYBIT_VIEWPORT) && GetClientRect(hwnd, &r)) {
        KlientRect = r;
        vp[2] = std::abs(r.right - r.left);
        vp[3] = std::abs(r.bottom - r.top);
        glViewport(0, 0, vp[2], vp[3]);
    } else {
        glGetIntegerv(GL_VIEWPORT, vp);
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (vp[3] == 0) vp[3] = 1;
    const double aspekt = double(vp[2]) / double(vp[3]);
    if (region != nullptr && region->w != 0.0 && region->h != 0.0)
        gluPickMatrix(region->x, double(vp[3]) - std::trunc(region->y), region->w, region->h, vp);
    gluPerspective(fovy, aspekt, zNear, zFar);

    if (!ZyFlag(*this, ZYBIT_KLAVISHI_OBJ) && region == nullptr) {
        IzmenitSkorosti(*this);
        // A step that would leave the finite numbers is not taken: the frame stays usable (and
        // storable) at its last position.
        TOCHKA3MDF ramka[4];
        std::memcpy(ramka, PozNav, sizeof ramka);
        const double distancija = Distancija;
        DvigatRamku(*this);
        if (!RamkaKonechna(*this)) {
            std::memcpy(PozNav, ramka, sizeof ramka);
            Distancija = distancija;
        }
    }
    if (ZyFlag(*this, ZYBIT_ORBITA)) {
        glTranslated(0.0, 0.0, -Distancija);
        std::memcpy(PozNavVid, PozNav, sizeof PozNavVid);
        SdvigTochek(ShagVdol(PozNav, CEL, -Distancija), PozNavVid, 4);
    }
    const TOCHKA3MDF& e = PozNav[GLAZ];
    const TOCHKA3MDF& c = PozNav[CEL];
    const VEKTOR3MDF u = Os(PozNav, VERH);
    gluLookAt(e.x, e.y, e.z, c.x, c.y, c.z, u.x, u.y, u.z);

    glMatrixMode(GL_MODELVIEW);
    glClear(MaskaOchistki);
    if (ZyFlag(*this, ZYBIT_ORBITA) && ZyFlag(*this, ZYBIT_ORBITA_PLOSKOST) &&
        !ZyFlag(*this, ZYBIT_KLAVISHI_OBJ)) {
        UniversalnajaPloskost();
        glLoadIdentity();
    }
    return 1;
}

// Back to the initial frame; PozNavVid becomes a copy of it. Nothing else changes.
void ZYKGLKONTROL::VsPozNavV0() {
    std::memcpy(PozNav, kNachalnajaPozicija, sizeof PozNav);
    std::memcpy(PozNavVid, PozNav, sizeof PozNavVid);
}

// Loads into the current matrix T(eye) * R^t, the map from the viewer's own coordinates to
// world coordinates (R: the rotation of gluLookAt for the frame's view and up axes; the eye
// of PozNavVid in orbit mode, else of PozNav). Drawn after it, things stay with the viewer.
// NOTE: formed in double precision and loaded at once rather than read back from the
// modelview stack, so it is right whichever matrix mode is current.
void ZYKGLKONTROL::VsMatrPozNav() {
    MATRICA_DF4x4 r;
    ZyMatricaVzgljada(Os(PozNav, CEL), Os(PozNav, VERH), r.m);
    r.Transponirovat(); // the 3x3 part; the rest is the identity's and stays
    const TOCHKA3MDF& glaz = ZyFlag(*this, ZYBIT_ORBITA) ? PozNavVid[GLAZ] : PozNav[GLAZ];
    r.m[12] = glaz.x;
    r.m[13] = glaz.y;
    r.m[14] = glaz.z;
    glLoadMatrixd(r.m);
}

// The focus plane: a rectangle of 65 % of the view at the orbit distance in the desktop
// colour, outlined 0.2 % nearer in the active-border colour. Drawn while moving (unless bit 64)
// within zFar of the origin, or always with bit 19. Going past zFar stops the view-axis motion.
// Leaves the attribute state as initially saved and the modelview matrix viewer-fixed.
void ZYKGLKONTROL::UniversalnajaPloskost() {
    const VEKTOR3MDF glaz{PozNavVid[GLAZ].x, PozNavVid[GLAZ].y, PozNavVid[GLAZ].z};
    const double m = glaz.Mod();
    if (m > zFar) ZyVwklFlag(*this, ZYBIT_DVIZH1 + 1);
    const bool dvizhenie = Flagi.Test(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5);
    const bool risovat = (!ZyFlag(*this, ZYBIT_BEZ_PLOSKOSTI) && dvizhenie && m <= zFar) ||
                         ZyFlag(*this, ZYBIT_PLOSKOST_VSEGDA);
    NachAtrib();
    if (!risovat) return;
    glEnable(GL_DEPTH_TEST);
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    if (vp[2] == 0 || vp[3] == 0) return;
    const double aspekt = double(vp[2]) / double(vp[3]);
    const double tangens = std::tan(fovy * 0.5 * 0.017453292519944444);

    VsMatrPozNav();
    CvetIzPalitry(*this, static_cast<unsigned char>(IndeksySistCvetov[1]));
    const double hy = tangens * Distancija;
    PryamougolnikPloskosti(GL_QUADS, hy * aspekt, hy, Distancija);

    const double rasst = Distancija * 0.998;
    const double hy2 = tangens * rasst;
    CvetIzPalitry(*this, static_cast<unsigned char>(IndeksySistCvetov[10]));
    const float tolshchina = GetSystemMetrics(SM_CXFRAME) / 2.0f;
    glLineWidth(tolshchina >= 1.0f ? tolshchina : 1.0f);
    PryamougolnikPloskosti(GL_LINE_LOOP, hy2 * aspekt, hy2, rasst);
    NachAtrib();
}

// Returns the attribute state to the one saved at the first call (bit 65 tells whether it was
// saved): pops the whole attribute stack and pushes the saved state again.
void ZYKGLKONTROL::NachAtrib() {
    if (!ZyFlag(*this, ZYBIT_ATRIB_SOHRANEN)) {
        glPushAttrib(kMaskaAtributov);
        ZyVklFlag(*this, ZYBIT_ATRIB_SOHRANEN);
        return;
    }
    GLint glubina = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &glubina);
    for (GLint i = 0; i < glubina; ++i)
        glPopAttrib();
    if (glubina != 0) glPushAttrib(kMaskaAtributov);
}

} // namespace Quorvel
