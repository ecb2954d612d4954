// The built-in scene: a three-dimensional clock and calendar around the origin with labelled
// coordinate axes, test objects that sound when picked, focused or keyed, and an intermission
// picture. It is also the model of a scene module: named display lists built once per
// controller, fixed lists, object and navigation handlers, palette colours.
#include "ZyScenaNach.h"

#include "ZyReestr.h"
#include "ZyUglyNach.h"
#include "ZyZvuk.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

using Quorvel::ZYKGLKONTROL;
using Quorvel::ZyZvuk;

namespace {

// Block names of the font and axis lists, in code page 1251 ("Текст", "6 Координат").
const char kTekst[] = "\xD2\xE5\xEA\xF1\xF2";
const char kKoordinaty[] = "6 \xCA\xEE\xEE\xF0\xE4\xE8\xED\xE0\xF2";

// GL names of the picked objects.
enum : GLuint { OSI = 15, GOD = 0x2222, DEN = 0x3333, CHAS = 0x4444, MESJAC = 0x5555 };

// Fixed list numbers compiled by the constructor. The list registry never hands out 1001..1012,
// so they belong to no other scene's block. (The filled sphere takes 1004: number 2 would be
// a character of the scene's own font block.)
enum : GLuint {
    SPISOK_NADPIS = 1005,
    SFERA_LINII = 1001,
    SFERA = 1004,
    SFERA_12 = 1012,
    KONUS = 1003,
    CILINDR = 1002
};

// The scene's state in one controller: list numbers are the controller's own (each registry
// hands out its own numbers), and so are the texts and the transparency switch.
struct ZYS_SCENA_NACH {
    long bazaShrifta = 0, bazaOsej = 0;
    char god[8] = {};
    unsigned godDlja = 0;
    char den[4] = {};
    unsigned mesjacDlja = 0, denDlja = 0;
    double ugol = 0;
    bool prozrachnostVkl = true; // the next click switches transparency on
};

// The states of the controllers that showed the scene, until each controller is destroyed.
std::mutex& ZamokSostojanij() {
    static std::mutex m;
    return m;
}
std::map<const ZYKGLKONTROL*, ZYS_SCENA_NACH>& Sostojanija() {
    static std::map<const ZYKGLKONTROL*, ZYS_SCENA_NACH> s;
    return s;
}

// The state of controller `k` (made at its first use). Only the controller's own threads use
// it, so it is read and written without the lock, which guards the map itself.
ZYS_SCENA_NACH& Sostojanie(const ZYKGLKONTROL& k) {
    std::lock_guard<std::mutex> g(ZamokSostojanij());
    return Sostojanija()[&k];
}

// Labels of the half-axes, their raster positions and line ends, in list order.
const struct {
    const char* nadpis;
    double x, y, z;    // raster position of the label
    double kx, ky, kz; // unit direction of the half-axis
} kOsi[6] = {{"+1 x", 1, 0.2, 0, 1, 0, 0},   {"-1 x", -1, 0.2, 0, -1, 0, 0},
             {"+1 y", 0.2, 1, 0, 0, 1, 0},   {"-1 y", 0.2, -1, 0, 0, -1, 0},
             {"+1 z", 0.2, 0.1, 1, 0, 0, 1}, {"-1 z", -0.4, -0.1, -1, 0, 0, -1}};

// Builds the named lists: 256 characters of the message-box font and the six half-axes.
void PostroitImenovannye(ZYKGLKONTROL& k, ZYS_SCENA_NACH& sostojanie) {
    sostojanie.bazaShrifta = k.GenSpisokS(256, kTekst);
    k.Tekst2M(4ul, 0ul, 256ul, static_cast<unsigned long>(sostojanie.bazaShrifta));
    sostojanie.bazaOsej = k.GenSpisokS(6, kKoordinaty);
    for (int i = 0; i < 6 && sostojanie.bazaOsej; ++i) {
        const auto& o = kOsi[i];
        glNewList(static_cast<GLuint>(sostojanie.bazaOsej + i), GL_COMPILE);
        glBegin(GL_LINES);
        glVertex3d(0, 0, 0);
        glVertex3d(100 * o.kx, 100 * o.ky, 100 * o.kz);
        glEnd();
        glPointSize(3);
        glBegin(GL_POINTS);
        glVertex3d(o.kx, o.ky, o.kz);
        glEnd();
        glRasterPos3d(o.x, o.y, o.z);
        k.Tekst2M(static_cast<unsigned long>(sostojanie.bazaShrifta), o.nadpis, 0);
        glEndList();
    }
    k.GenSpisokSFin();
}

// A quadric with the given draw style and smooth normals, used for one list.
struct Kvadrika {
    GLUquadric* q;
    explicit Kvadrika(GLenum stil) : q(gluNewQuadric()) {
        if (q) {
            gluQuadricDrawStyle(q, stil);
            gluQuadricNormals(q, GLU_SMOOTH);
        }
    }
    ~Kvadrika() {
        if (q) gluDeleteQuadric(q);
    }
};

// Compiles the fixed-number lists (at every construction); the caption only with a font.
void PostroitFiksirovannye(long bazaShrifta) {
    glNewList(SPISOK_NADPIS, GL_COMPILE);
    if (bazaShrifta) {
        glListBase(static_cast<GLuint>(bazaShrifta));
        glRasterPos3d(0, 0, -1.2);
        glCallLists(8, GL_UNSIGNED_BYTE, "Quorvel.");
    }
    glEndList();
    const struct {
        GLuint nomer;
        GLenum stil;
        int chastej;
    } sfery[3] = {{SFERA_LINII, GLU_LINE, 16}, {SFERA, GLU_FILL, 16}, {SFERA_12, GLU_LINE, 12}};
    for (const auto& s : sfery) {
        Kvadrika q(s.stil);
        glNewList(s.nomer, GL_COMPILE);
        if (q.q) gluSphere(q.q, 1.0, s.chastej, s.chastej);
        glEndList();
    }
    Kvadrika konus(GLU_FILL);
    glNewList(KONUS, GL_COMPILE);
    if (konus.q) gluCylinder(konus.q, 0.3, 0.0, 0.6, 15, 10);
    glEndList();
    Kvadrika cilindr(GLU_FILL);
    glNewList(CILINDR, GL_COMPILE);
    glRotated(90, 1, 0, 0);
    glTranslated(0, 0, -2);
    if (cilindr.q) gluCylinder(cilindr.q, 0.3, 0.3, 0.6, 12, 2);
    glEndList();
}

// A partial disk of lines (smooth normals) from radius 0.3 to 1.8 over `ugol` degrees.
void Disk(double ugol) {
    Kvadrika q(GLU_LINE);
    if (q.q) gluPartialDisk(q.q, 0.3, 1.8, static_cast<GLint>(ugol), 10, 0.0, ugol);
}

// Updates the texts and the calendar angle when the date changed.
void Data(const SYSTEMTIME& t, ZYS_SCENA_NACH& sostojanie) {
    if (t.wYear != sostojanie.godDlja) {
        std::snprintf(sostojanie.god, sizeof sostojanie.god, "%04u", unsigned(t.wYear));
        sostojanie.godDlja = t.wYear;
    }
    if (t.wMonth != sostojanie.mesjacDlja || t.wDay != sostojanie.denDlja) {
        std::snprintf(sostojanie.den, sizeof sostojanie.den, "%02u", unsigned(t.wDay % 100));
        sostojanie.ugol = Quorvel::ZyUgolKalendarja(t.wMonth, t.wDay);
        sostojanie.mesjacDlja = t.wMonth;
        sostojanie.denDlja = t.wDay;
    }
}

// One hand: colour, rotation about y, distance along z and scale, drawn with list 1001.
void Strelka(ZYKGLKONTROL& k, unsigned char cvet, double ugol, double dalshe, double tolshchina) {
    glPushMatrix();
    k.cvet(cvet);
    glRotated(ugol, 0, 1, 0);
    glTranslated(0, 0, dalshe);
    glScaled(tolshchina, tolshchina, 0.9);
    glCallList(SFERA_LINII);
    glPopMatrix();
}

// The controller of a handler's message.
ZYKGLKONTROL* Kontrol(const MSG* m) {
    return m ? reinterpret_cast<ZYKGLKONTROL*>(m->hwnd) : nullptr;
}

// Tones of a key handler: 440, 640, ... Hz, 100 ms each; the result of the last one.
int Tony(int skolko) {
    for (int i = 0; i < skolko; ++i)
        ZyZvuk(440 + 200 * static_cast<unsigned long>(i), 100);
    return 1;
}

// The common shape of the test handlers: key `klavisha` sounds `tonov` tones; a mouse message
// sounds one tick of `chastota` per picked name. Returns the number of picked names (the key
// branch: the last tone's result).
int Ispytanie(const MSG* m, WPARAM klavisha, int tonov, unsigned long chastota) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!k) return 0;
    const unsigned long n = k->VzKolIm();
    if ((m->message == WM_KEYDOWN || m->message == WM_KEYUP) && m->wParam == klavisha)
        return Tony(tonov);
    if (m->message >= 0x200 && m->message <= 0x209) {
        for (unsigned long i = 0; i < n; ++i)
            ZyZvuk(chastota, 10);
    }
    return static_cast<int>(n);
}

// H2 (year disk): F2; a click also toggles transparency on every second click.
int H2(MSG* m) {
    const int n = Ispytanie(m, VK_F2, 2, 1000);
    ZYKGLKONTROL* k = Kontrol(m);
    if (k && m->message >= 0x200 && m->message <= 0x209) {
        ZYS_SCENA_NACH& sostojanie = Sostojanie(*k);
        if (sostojanie.prozrachnostVkl)
            k->Flagi.Vkl(Quorvel::ZYBIT_PROZRACHNO, Quorvel::ZYBIT_PROZRACHNO);
        else
            k->Flagi.Vwkl(Quorvel::ZYBIT_PROZRACHNO, Quorvel::ZYBIT_PROZRACHNO);
        sostojanie.prozrachnostVkl = !sostojanie.prozrachnostVkl;
        if (HWND r = GetParent(k->hwnd)) InvalidateRect(r, nullptr, TRUE);
    }
    return n;
}
// H3 (day disk): F3. H4 (hour hand): F4.
int H3(MSG* m) {
    return Ispytanie(m, VK_F3, 3, 2000);
}
int H4(MSG* m) {
    return Ispytanie(m, VK_F4, 4, 3000);
}

// Tones of a focus change: from 1000 Hz up (gained) or down (lost) by `shag`, one per object
// rank (2, 3 or 4 tones), 50 ms each, then the closing tone.
int Fokus(const MSG* m, long shag, unsigned long konec) {
    if (!m) return 0;
    const unsigned long obj = static_cast<unsigned long>(m->lParam);
    const int tonov = obj == GOD ? 2 : obj == DEN ? 3 : obj == CHAS ? 4 : 0;
    for (int i = 0; i < tonov; ++i)
        ZyZvuk(static_cast<unsigned long>(1000 + shag * i), 50);
    ZyZvuk(konec, 100);
    return 0;
}
// H5 (focus gained), H6 (focus lost).
int H5(MSG* m) {
    return Fokus(m, 500, 4500);
}
int H6(MSG* m) {
    return Fokus(m, -200, 450);
}

// H7 (the parent moved or was resized): a single view window fills the parent's client area.
int H7(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!k || k->windowCount != 1 || !m->lParam) return 0;
    const HWND roditel = reinterpret_cast<const WINDOWPOS*>(m->lParam)->hwnd;
    RECT r{};
    if (!roditel || !GetClientRect(roditel, &r)) return 0;
    SetWindowPos(k->hwnd, nullptr, 0, 0, r.right, r.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    return 0;
}

// H7 is among the controller's navigation handlers of 0x402 (subscriptions never replace one
// another, so each return to the scene would add it once more).
bool EstH7(const ZYKGLKONTROL& k) {
    if (!k.messageRegistry) return false;
    const auto e = k.messageRegistry->entries.find(Quorvel::ZYM_RODITEL);
    if (e == k.messageRegistry->entries.end()) return false;
    for (const auto& para : e->second.nav)
        if (para.second && !para.second->removed && para.second->fn == H7) return true;
    return false;
}

// Registers the object handlers (a duplicate is dropped by the engine) and, once per
// controller, the navigation handler of the scene.
void ZaregistrirovatObrabotchiki(ZYKGLKONTROL& k) {
    Quorvel::ZYS_OBJ_SOOB_iFYN obj[15] = {
        {GOD, WM_KEYDOWN, H2},     {GOD, WM_KEYUP, H2},     {GOD, 0x403, H5},
        {GOD, 0x404, H6},          {DEN, WM_KEYDOWN, H3},   {DEN, WM_KEYUP, H3},
        {DEN, 0x403, H5},          {DEN, 0x404, H6},        {CHAS, WM_KEYDOWN, H4},
        {CHAS, WM_KEYUP, H4},      {CHAS, WM_SETFOCUS, H5}, {CHAS, WM_KILLFOCUS, H6},
        {GOD, WM_LBUTTONDOWN, H2}, {DEN, WM_LBUTTONUP, H3}, {CHAS, WM_LBUTTONDBLCLK, H4}};
    k.VklObjSoob(obj, 15);
    Quorvel::ZYS_OBJ_SOOB_snFYN poImeni[1] = {
        {MESJAC, WM_LBUTTONUP, "ZyKGLOrvanta2.dll\\TestSoob"}};
    k.VklObjSoob(poImeni, 1);
    if (EstH7(k)) return;
    Quorvel::ZYS_SOOB_iFYN nav[1] = {{0x402, H7}};
    k.vklNav(nav, 1);
}

} // namespace

// Constructor: the rendering context, the pause title, the named lists (built once per
// controller, fetched afterwards), the handlers and the fixed lists.
long ZyGLScenaNach1(ZYKGLKONTROL* k) {
    if (!k) return 0;
    k->VsDCFormat(nullptr);
    std::strncpy(k->TekstPauzy, "Quorvel\x99, RU, KZ", sizeof k->TekstPauzy - 1);
    ZYS_SCENA_NACH& sostojanie = Sostojanie(*k);
    if (k->GenSpisokTestS() == 1) {
        PostroitImenovannye(*k, sostojanie);
    } else {
        sostojanie.bazaShrifta = k->VzSpisokS(kTekst);
        sostojanie.bazaOsej = k->VzSpisokS(kKoordinaty);
    }
    k->GenSpisokTestD();
    ZaregistrirovatObrabotchiki(*k);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    k->KlyuchevojCvet = 0xFF000000ul;
    glLineWidth(1);
    glPointSize(1);
    glPushMatrix();
    PostroitFiksirovannye(sostojanie.bazaShrifta);
    glPopMatrix();
    return 1;
}

// Intermission (on the intermission thread): the six half-axes in colour 10, then a tone.
long ZyGLScenaNach2(ZYKGLKONTROL* k) {
    if (!k) return 0;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glLineWidth(3);
    k->cvet(static_cast<unsigned char>(10));
    glBegin(GL_LINES);
    for (const auto& o : kOsi) {
        glVertex3d(0, 0, 0);
        glVertex3d(100 * o.kx, 100 * o.ky, 100 * o.kz);
    }
    glEnd();
    if (k->desDC) SwapBuffers(k->desDC);
    ZyZvuk(1000, 1000);
    return 1;
}

// Frame: axes, year, calendar disk, month marker with the day disk, three hands, the dial.
long ZyGLScenaNach3(ZYKGLKONTROL* k) {
    if (!k) return 0;
    SYSTEMTIME t{};
    GetLocalTime(&t);
    ZYS_SCENA_NACH& sostojanie = Sostojanie(*k);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(1);
    glPointSize(1);
    glPushMatrix();

    k->cvet(static_cast<unsigned char>(8));
    glPushName(OSI);
    for (int i = 0; i < 6 && sostojanie.bazaOsej; ++i)
        glCallList(static_cast<GLuint>(sostojanie.bazaOsej + i));
    glPopName();

    Data(t, sostojanie);
    const unsigned long shrift = static_cast<unsigned long>(sostojanie.bazaShrifta);
    k->cvet(static_cast<unsigned char>(50));
    glRasterPos3d(0, 1.9, 0);
    k->Tekst2M(shrift, sostojanie.god, 4);

    k->cvet(static_cast<unsigned char>(10));
    glPushName(GOD);
    Disk(sostojanie.ugol);
    glPopName();

    glPushName(MESJAC);
    k->cvet(static_cast<unsigned char>(50));
    glPushMatrix();
    glRotated(30.0 * t.wMonth, 0, 1, 0);
    glTranslated(0, 0, 4.5);
    glScaled(0.3, 0.3, 0.3);
    glCallList(SFERA_LINII);
    k->cvet(static_cast<unsigned char>(30));
    glRasterPos3d(0, 0, 5);
    k->Tekst2M(shrift, sostojanie.den, 2);
    glPushMatrix();
    glPushName(DEN);
    glRotated(90, 1, 0, 0);
    glScaled(1.3, 1.3, 1.3);
    Disk(12.0 * t.wDay);
    glPopName();
    glPopMatrix();
    glPopMatrix();
    glPopName();

    glPushName(CHAS);
    Strelka(*k, 90, Quorvel::ZyUgolChasa(t.wHour, t.wMinute), 2.2, 0.2);
    glPopName();
    Strelka(*k, 130, Quorvel::ZyUgolMinuty(t.wMinute), 2.4, 0.15);
    Strelka(*k, 210, Quorvel::ZyUgolSekundy(t.wSecond), 2.6, 0.1);

    k->cvet(static_cast<unsigned char>(50));
    static const char cifry[] = "121 2 3 4 5 6 7 8 9 1011";
    for (int i = 0; i < 12; ++i) {
        glPushMatrix();
        glRotated(30.0 * i, 0, 1, 0);
        glTranslated(0, 0, 3.5);
        glRasterPos3d(0, 0, 0);
        k->Tekst2M(shrift, cifry + 2 * i, 2);
        glPopMatrix();
    }

    k->cvet(static_cast<unsigned char>(170));
    glCallList(SFERA_12);
    k->cvet(static_cast<unsigned char>(94));
    glColor4f(1, 0, 0, 0);
    glScaled(100, 100, 100);
    glCallList(SFERA_12);
    k->cvet(static_cast<unsigned char>(255));
    glScaled(1e-9, 1e-9, 1e-9);
    glCallList(SFERA_12);
    glPopMatrix();
    return 1;
}

// End of frame: the buffers of the current device context are swapped; the next frame
// clears colour and depth.
long ZyGLScenaNach4(ZYKGLKONTROL* k) {
    if (!k) return 0;
    if (HDC dc = wglGetCurrentDC()) SwapBuffers(dc);
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    return 1;
}

// Object handler registered by name: F1 sounds 440 Hz; a mouse message one tick per name.
int TestSoob(MSG* m) {
    return Ispytanie(m, VK_F1, 1, 440);
}

namespace Quorvel {

// Forgets the scene's state of a controller that is being destroyed.
void ZyScenaNachZabyt(const ZYKGLKONTROL* k) {
    std::lock_guard<std::mutex> g(ZamokSostojanij());
    Sostojanija().erase(k);
}

} // namespace Quorvel
