// ZyScenaModel.dll: shows a Wavefront OBJ model (see ZyScenaModel.h).
//
// What it shows a scene author:
//  - static named display lists built once per controller and fetched by name when the user
//    comes back through the history (the model file is then not read again);
//  - a dynamic list rebuilt at will (the box around the focused part);
//  - one selection name per part, focus handlers (0x403 / 0x404) registered by pointer;
//  - navigation handlers by pointer (F5: frame the model again) and by name (F7: background
//    transparency), removed by their order key before they are added again;
//  - the start frame set from the model's bounding box, text in the view, the pause title.
// Missing here: textures, vertex normals of the file (faces are shaded flat), glTF.
#include "ZyScenaModel.h"
#include "ZyModelObj.h"

#include "ZyStandart.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

using Quorvel::ZYKGLKONTROL;

namespace {

// Names of the static list blocks (per controller and scene module, kept by the engine).
const char kSpisokTeksta[] = "ZyModel Tekst";
const char kSpisokChastej[] = "ZyModel Chasti";

// Order keys of the navigation handlers, so that a second construction replaces them.
constexpr unsigned int kKlyuchRamki = 0x5A4D0005u, kKlyuchProzrachnosti = 0x5A4D0007u;

// The background (16, 24, 40) and the same colour as the RGBA bytes transparency compares.
constexpr float kFon[3] = {16 / 255.0f, 24 / 255.0f, 40 / 255.0f};
constexpr unsigned long kKlyuchevojCvet = 0xFF281810ul;

const char kZagolovok[] = "Module: ZyScenaModel";

// One part as the scene keeps it after its lists are compiled.
struct ZYS_CHAST_SCENY {
    std::string imja;
    unsigned long vershin, granej;
    float min[3], max[3];
};

// The scene's state for one controller.
struct ZYS_SOSTOJANIE {
    bool gotov = false; // the model's lists exist
    std::vector<ZYS_CHAST_SCENY> chasti;
    unsigned long granej = 0, treugolnikov = 0, zagruzok = 0, kadrov = 0;
    float min[3] = {0, 0, 0}, max[3] = {0, 0, 0};
    long bazaTeksta = 0;              // first of the 256 character lists
    long bazaChastej = 0;             // first part list; part i is bazaChastej + i
    unsigned long vybrana = 0;        // focused selection name
    unsigned long ramkaVybrannoj = 0; // dynamic list: the box of the focused part
    bool startRamka = false;          // frame the model at the next rendered frame
    std::string tekst;                // what the view shows
    char slovoVershin[64] = "vertices", slovoGranej[64] = "faces"; // translated labels
};

// A controller by its address and its thread: a controller made later at the address of a
// destroyed one is another controller.
using Kljuch = std::pair<const ZYKGLKONTROL*, unsigned long>;
Kljuch KljuchK(const ZYKGLKONTROL* k) {
    return {k, k->threadId};
}

std::mutex zamok;                             // guards sostojanija
std::map<Kljuch, ZYS_SOSTOJANIE> sostojanija; // one per controller

// The controller of a handler's message.
ZYKGLKONTROL* Kontrol(const MSG* m) {
    return m ? reinterpret_cast<ZYKGLKONTROL*>(m->hwnd) : nullptr;
}

// Whether the controller shows this scene now (handlers stay subscribed after a scene change).
bool NashaScena(const ZYKGLKONTROL* k) {
    return k && k->Fynkcii[2].fyn == &ZyScenaModel3;
}

// "ZyGLDannwe\ZyGLOkno NNN\" of the controller's window.
std::string PapkaOkna(const ZYKGLKONTROL* k) {
    char b[64];
    std::snprintf(b, sizeof b, "ZyGLDannwe\\ZyGLOkno %03lu\\", k->index % 1000);
    return b;
}

// The model path named by the first non-blank line of "Model.txt" (relative names are taken
// from the window's data folder); "" with a message text in `oshibka` when there is none.
std::string ImjaModeli(const ZYKGLKONTROL* k, std::string& oshibka) {
    const std::string papka = PapkaOkna(k), spisok = papka + "Model.txt";
    char b[1024] = {};
    std::size_t n = 0;
    if (FILE* f = std::fopen(spisok.c_str(), "rb")) {
        n = std::fread(b, 1, sizeof b - 1, f);
        std::fclose(f);
    } else {
        oshibka = "The file \"" + spisok + "\" that names the model cannot be read.";
        return std::string();
    }
    std::string t(b, n);
    const std::size_t nach = t.find_first_not_of(" \t\r\n");
    if (nach != std::string::npos) t = t.substr(nach, t.find_first_of("\r\n", nach) - nach);
    const std::size_t kon = t.find_last_not_of(" \t");
    if (nach == std::string::npos || kon == std::string::npos) {
        oshibka = "The file \"" + spisok + "\" names no model.";
        return std::string();
    }
    t.resize(kon + 1);
    const bool polnyj = (t.size() > 1 && t[1] == ':') || t[0] == '\\' || t[0] == '/';
    return polnyj ? t : papka + t;
}

// The normal of triangle (a, b, c), unit length or zero.
void Normal(const float* a, const float* b, const float* c, float* n) {
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
    const float d = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; ++i)
        n[i] = d > 0 ? n[i] / d : 0.0f;
}

// Compiles one part: flat-shaded triangles in the materials' diffuse colours (grey without).
void KompilirovatChast(const zymodel::ZYS_MODEL& m, const zymodel::ZYS_CHAST& c, GLuint spisok) {
    static const float kSeryj[3] = {0.7f, 0.7f, 0.7f};
    glNewList(spisok, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    int prezhnij = -2;
    for (std::size_t t = 0; t < c.materialy.size(); ++t) {
        const int mat = c.materialy[t];
        if (mat != prezhnij) {
            glColor3fv(mat >= 0 ? &m.cveta[3 * static_cast<std::size_t>(mat)] : kSeryj);
            prezhnij = mat;
        }
        const float* v[3];
        for (int j = 0; j < 3; ++j)
            v[j] = &m.vershiny[3 * static_cast<std::size_t>(c.treugolniki[3 * t + j])];
        float n[3];
        Normal(v[0], v[1], v[2], n);
        glNormal3fv(n);
        for (int j = 0; j < 3; ++j)
            glVertex3fv(v[j]);
    }
    glEnd();
    glEndList();
}

// Builds the static lists of a freshly loaded model (font, one list per part) and keeps what
// the scene needs afterwards; the model's arrays are released by the caller.
void Postroit(ZYKGLKONTROL& k, const zymodel::ZYS_MODEL& m, ZYS_SOSTOJANIE& s) {
    s.bazaTeksta = k.GenSpisokS(256, kSpisokTeksta);
    if (s.bazaTeksta) k.Tekst2M(4ul, 0ul, 256ul, static_cast<unsigned long>(s.bazaTeksta));
    s.bazaChastej = k.GenSpisokS(static_cast<long>(m.chasti.size()), kSpisokChastej);
    s.chasti.clear();
    for (std::size_t i = 0; i < m.chasti.size(); ++i) {
        const zymodel::ZYS_CHAST& c = m.chasti[i];
        if (s.bazaChastej) KompilirovatChast(m, c, static_cast<GLuint>(s.bazaChastej + i));
        ZYS_CHAST_SCENY cs{c.imja, c.vershin, c.granej, {}, {}};
        std::memcpy(cs.min, c.min, sizeof cs.min);
        std::memcpy(cs.max, c.max, sizeof cs.max);
        s.chasti.push_back(cs);
    }
    k.GenSpisokSFin();
    s.granej = m.granej;
    s.treugolnikov = m.treugolnikov;
    std::memcpy(s.min, m.min, sizeof s.min);
    std::memcpy(s.max, m.max, sizeof s.max);
    s.gotov = s.bazaTeksta != 0 && s.bazaChastej != 0;
    s.startRamka = true;
}

// Whether the point of observation is still the engine's initial frame (no stored position).
bool NachalnajaRamka(const ZYKGLKONTROL& k) {
    const Quorvel::TOCHKA3MDF nach[4] = {
        {0.0, 0.0, 0.0}, {0.0, 0.0, -1000.0}, {0.0, 1000.0, 0.0}, {1000.0, 0.0, 0.0}};
    return std::memcmp(k.PozNav, nach, sizeof nach) == 0;
}

// Puts the eye in front of the bounding box (looking along -z, y up) so that the sphere around
// the box fits the narrower of the two view angles.
void Ramka(ZYKGLKONTROL& k, const ZYS_SOSTOJANIE& s) {
    const double pi = 3.14159265358979323846;
    double c[3], r2 = 0;
    for (int i = 0; i < 3; ++i) {
        c[i] = 0.5 * (double(s.min[i]) + double(s.max[i]));
        const double h = 0.5 * (double(s.max[i]) - double(s.min[i]));
        r2 += h * h;
    }
    const double r = std::max(std::sqrt(r2), 1e-3);
    GLint vp[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double aspekt = vp[3] > 0 ? double(vp[2]) / double(vp[3]) : 1.0;
    const double v = 0.5 * k.fovy * pi / 180.0;
    const double ugol = std::min(v, std::atan(std::tan(v) * aspekt));
    const double d = 1.05 * r / std::sin(ugol);
    const Quorvel::TOCHKA3MDF glaz{c[0], c[1], c[2] + d};
    k.PozNav[0] = glaz;
    k.PozNav[1] = {glaz.x, glaz.y, glaz.z - 1000.0};
    k.PozNav[2] = {glaz.x, glaz.y + 1000.0, glaz.z};
    k.PozNav[3] = {glaz.x + 1000.0, glaz.y, glaz.z};
    std::memcpy(k.PozNavVid, k.PozNav, sizeof k.PozNavVid);
}

// Compiles the dynamic list with the box of the focused part (replacing the previous one).
void RamkaChasti(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s, const ZYS_CHAST_SCENY& c) {
    if (s.ramkaVybrannoj) k.VwklSpisok(s.ramkaVybrannoj);
    s.ramkaVybrannoj = static_cast<unsigned long>(k.GenSpisokD(1));
    if (!s.ramkaVybrannoj) return;
    const float* a = c.min;
    const float* b = c.max;
    glNewList(static_cast<GLuint>(s.ramkaVybrannoj), GL_COMPILE);
    glBegin(GL_LINES);
    for (int os = 0; os < 3; ++os) // four edges along each axis
        for (int i = 0; i < 4; ++i) {
            float p[3], q[3];
            for (int j = 0, bit = 0; j < 3; ++j) {
                if (j == os) {
                    p[j] = a[j];
                    q[j] = b[j];
                } else {
                    p[j] = q[j] = ((i >> bit++) & 1) ? b[j] : a[j];
                }
            }
            glVertex3fv(p);
            glVertex3fv(q);
        }
    glEnd();
    glEndList();
}

// 0x403, a part gained the focus: its name and counts become the view's text.
int Fokus(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!NashaScena(k)) return 0;
    std::lock_guard<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    const unsigned long obj = static_cast<unsigned long>(m->lParam);
    if (obj < ZY_MODEL_IMJA0 || obj - ZY_MODEL_IMJA0 >= s.chasti.size()) return 0;
    const ZYS_CHAST_SCENY& c = s.chasti[obj - ZY_MODEL_IMJA0];
    char b[160];
    std::snprintf(b, sizeof b, "%.100s: %lu %s, %lu %s", c.imja.empty() ? "-" : c.imja.c_str(),
                  c.vershin, s.slovoVershin, c.granej, s.slovoGranej);
    s.tekst = b;
    s.vybrana = obj;
    RamkaChasti(*k, s, c);
    InvalidateRect(k->hwnd, nullptr, FALSE); // a frame with the text
    return 1;
}

// 0x404, a part lost the focus: no text, no box.
int NeFokus(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!NashaScena(k)) return 0;
    std::lock_guard<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    if (static_cast<unsigned long>(m->lParam) != s.vybrana) return 0;
    s.vybrana = 0;
    s.tekst.clear();
    if (s.ramkaVybrannoj) k->VwklSpisok(s.ramkaVybrannoj);
    s.ramkaVybrannoj = 0;
    InvalidateRect(k->hwnd, nullptr, FALSE);
    return 1;
}

// WM_KEYDOWN, subscribed by pointer: F5 frames the whole model again.
int KlavishaRamki(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!NashaScena(k) || m->wParam != VK_F5) return 0;
    std::lock_guard<std::mutex> g(zamok);
    const ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    if (s.gotov) Ramka(*k, s);
    return 1;
}

// Subscribes the part handlers (a duplicate is dropped by the engine) and the two navigation
// handlers (first removed by their order keys, so that they never run twice).
void Podpisat(ZYKGLKONTROL& k, std::size_t chastej) {
    std::vector<Quorvel::ZYS_OBJ_SOOB_iFYN> obj;
    for (std::size_t i = 0; i < chastej; ++i) {
        const unsigned long imja = ZY_MODEL_IMJA0 + static_cast<unsigned long>(i);
        obj.push_back({imja, 0x403, Fokus});
        obj.push_back({imja, 0x404, NeFokus});
    }
    if (!obj.empty()) k.VklObjSoob(obj.data(), static_cast<unsigned int>(obj.size()));
    k.vwklNav(WM_KEYDOWN, kKlyuchRamki);
    k.vwklNav(WM_KEYDOWN, kKlyuchProzrachnosti);
    Quorvel::ZYS_SOOB_iFYN_P poUkazatelju[1] = {{WM_KEYDOWN, KlavishaRamki, kKlyuchRamki}};
    k.vklNav(poUkazatelju, 1);
    Quorvel::ZYS_SOOB_snFYN_P poImeni[1] = {
        {WM_KEYDOWN, "ZyScenaModel.dll\\ZyScenaModelKlavisha", kKlyuchProzrachnosti}};
    k.vklNav(poImeni, 1);
}

// Reads the model named for this window; a failure shows a translated box and leaves `s` empty.
void Zagruzit(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    std::string oshibka;
    const std::string put = ImjaModeli(&k, oshibka);
    zymodel::ZYS_MODEL m;
    if (!put.empty()) {
        zymodel::ZYS_OSHIBKA_MODELI o;
        ++s.zagruzok;
        if (zymodel::ZyZagruzitObj(put, m, o) != zymodel::ZYM_GOTOVO)
            oshibka = zymodel::ZyTekstOshibki(o, put);
    }
    if (!oshibka.empty()) {
        // NOTE: no owner: the window thread may be waiting for this constructor.
        ZyMessage(nullptr, oshibka.c_str(), kZagolovok, MB_OK | MB_ICONERROR);
        return;
    }
    Postroit(k, m, s);
    const std::size_t i = put.find_last_of("\\/");
    std::snprintf(k.TekstPauzy, sizeof k.TekstPauzy, "%s",
                  put.c_str() + (i == std::string::npos ? 0 : i + 1));
}

// Draws the text in the view's top-left corner in window pixels.
void Tekst(ZYKGLKONTROL& k, const ZYS_SOSTOJANIE& s) {
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, vp[2], 0, vp[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    k.cvet(static_cast<unsigned char>(7));
    glRasterPos2i(8, vp[3] - 20);
    k.Tekst2M(static_cast<unsigned long>(s.bazaTeksta), s.tekst.c_str(), 0);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// Light from the viewer's upper right, the colour driving ambient and diffuse reflection.
void Svet() {
    const GLfloat napravlenie[4] = {0.4f, 0.6f, 1.0f, 0.0f};
    const GLfloat rassejannyj[4] = {0.7f, 0.7f, 0.7f, 1.0f};
    const GLfloat fon[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, napravlenie);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, rassejannyj);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, fon);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
}

} // namespace

// Constructor: the rendering context, the model's lists (read and compiled only when this
// controller has none yet), the handlers, the background.
long ZyScenaModel1(ZYKGLKONTROL* k) {
    if (!k) return 0;
    k->VsDCFormat(nullptr);
    // Keep the module loaded for the process: the lists' descriptions and the handlers
    // subscribed by pointer live in it. Without the pin (the call failed) an unloaded module
    // only costs a reload below.
    HMODULE sam = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&ZyScenaModel1), &sam);
    ZYS_SOSTOJANIE s;
    {
        std::lock_guard<std::mutex> g(zamok);
        auto it = sostojanija.find(KljuchK(k));
        if (it != sostojanija.end()) s = it->second;
    }
    s.vybrana = 0;
    s.tekst.clear();
    s.ramkaVybrannoj = 0; // the engine deletes a scene's dynamic lists on its own terms
    if (k->GenSpisokTestS() == 0 && s.gotov) {
        // Back through the history: the lists exist, nothing is read again.
        s.bazaTeksta = k->VzSpisokS(kSpisokTeksta);
        s.bazaChastej = k->VzSpisokS(kSpisokChastej);
    } else {
        if (k->GenSpisokTestS() == 0) k->VwklSpiskiS(); // lists this module no longer knows
        s = ZYS_SOSTOJANIE();
        {
            std::lock_guard<std::mutex> g(zamok);
            auto it = sostojanija.find(KljuchK(k));
            if (it != sostojanija.end()) s.zagruzok = it->second.zagruzok;
        }
        ZyPerevodStroki(s.slovoVershin, sizeof s.slovoVershin);
        ZyPerevodStroki(s.slovoGranej, sizeof s.slovoGranej);
        Zagruzit(*k, s);
    }
    Podpisat(*k, s.gotov ? s.chasti.size() : 0);
    k->KlyuchevojCvet = kKlyuchevojCvet;
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    glClearColor(kFon[0], kFon[1], kFon[2], 1.0f);
    std::lock_guard<std::mutex> g(zamok);
    sostojanija[KljuchK(k)] = s;
    return 1;
}

// Intermission (on the intermission thread, its own context, no lists): the background alone.
long ZyScenaModel2(ZYKGLKONTROL* k) {
    if (!k) return 0;
    glClearColor(kFon[0], kFon[1], kFon[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (k->desDC) SwapBuffers(k->desDC);
    return 1;
}

// Frame: every part under its selection name, lit; in render mode also the focused part's box
// and the text. Picking calls this in selection mode, where only named things may be drawn.
long ZyScenaModel3(ZYKGLKONTROL* k) {
    if (!k) return 0;
    GLint rezhim = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &rezhim);
    const bool risovanie = rezhim == GL_RENDER;
    std::lock_guard<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    if (risovanie && s.startRamka) {
        s.startRamka = false;
        if (NachalnajaRamka(*k) && s.gotov) {
            Ramka(*k, s);
            Quorvel::ZYS_REGION_VIDA bezShaga{0, 0, 0, 0};
            k->PozicijaNabludenija(&bezShaga); // this frame already sees the new position
        }
    }
    if (risovanie) ++s.kadrov;
    if (!s.gotov) return 1;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    Svet();
    for (std::size_t i = 0; i < s.chasti.size(); ++i) {
        glPushName(ZY_MODEL_IMJA0 + static_cast<GLuint>(i));
        glCallList(static_cast<GLuint>(s.bazaChastej + static_cast<long>(i)));
        glPopName();
    }
    glDisable(GL_LIGHTING);
    if (risovanie && s.ramkaVybrannoj) {
        k->cvet(static_cast<unsigned char>(2)); // yellow
        glLineWidth(2);
        glCallList(static_cast<GLuint>(s.ramkaVybrannoj));
    }
    if (risovanie && !s.tekst.empty()) Tekst(*k, s);
    glPopMatrix();
    glPopAttrib();
    glClearColor(kFon[0], kFon[1], kFon[2], 1.0f);
    return 1;
}

// End of frame: the picture is shown; the next frame clears colour and depth.
long ZyScenaModel4(ZYKGLKONTROL* k) {
    if (!k) return 0;
    if (HDC dc = wglGetCurrentDC()) SwapBuffers(dc);
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    return 1;
}

// WM_KEYDOWN, subscribed by name: F7 switches the transparency of the background on and off.
int ZyScenaModelKlavisha(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!NashaScena(k) || m->wParam != VK_F7) return 0;
    if (k->Flagi.Test(Quorvel::ZYBIT_PROZRACHNO, Quorvel::ZYBIT_PROZRACHNO))
        k->Flagi.Vwkl(Quorvel::ZYBIT_PROZRACHNO, Quorvel::ZYBIT_PROZRACHNO);
    else
        k->Flagi.Vkl(Quorvel::ZYBIT_PROZRACHNO, Quorvel::ZYBIT_PROZRACHNO);
    if (HWND r = GetParent(k->hwnd)) InvalidateRect(r, nullptr, TRUE);
    return 1;
}

int ZyScenaModelSvodka(ZYKGLKONTROL* k, ZYS_SVODKA_MODELI* s) {
    if (!k || !s) return 0;
    std::lock_guard<std::mutex> g(zamok);
    auto it = sostojanija.find(KljuchK(k));
    if (it == sostojanija.end()) return 0;
    const ZYS_SOSTOJANIE& z = it->second;
    *s = ZYS_SVODKA_MODELI();
    s->chastej = z.gotov ? static_cast<unsigned long>(z.chasti.size()) : 0;
    s->granej = z.granej;
    s->treugolnikov = z.treugolnikov;
    s->zagruzok = z.zagruzok;
    s->kadrov = z.kadrov;
    s->vybrana = z.vybrana;
    std::memcpy(s->min, z.min, sizeof s->min);
    std::memcpy(s->max, z.max, sizeof s->max);
    std::snprintf(s->tekst, sizeof s->tekst, "%s", z.tekst.c_str());
    return 1;
}
