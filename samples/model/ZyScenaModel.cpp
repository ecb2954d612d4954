// ZyScenaModel.dll: shows a user's model (see ZyScenaModel.h).
//
// What it shows a scene author:
//  - static named display lists built once per model and fetched by name when the user comes
//    back through the history (the model file is then not read again);
//  - a dynamic list rebuilt at will (the box around the focused part);
//  - work off the controller thread: the file is read and its levels of detail are built on
//    threads of their own while the view keeps drawing the progress; the frame that finds the
//    result puts them into vertex buffers (or lists of indexed arrays without them);
//  - a coarser level of the model drawn while the eye moves (the finest whose last measured
//    time fits the frame period), the full model at rest and for picking;
//  - one selection name per part, focus handlers (0x403 / 0x404) registered by pointer;
//  - navigation handlers by pointer (F5 frame, F6 up axis, a dropped file) and by name (F7
//    background transparency), removed by their order key before they are added again;
//  - the start frame set from the model's bounding box, the near distance kept to the model's
//    scale, text in the view, the pause title.
// Missing here: vertex normals of the file (faces are shaded flat), transparency of materials,
// glTF animation, skins, morph targets, cameras and lights.
#include "ZyScenaModel.h"

#include "ZyFajlModeli.h"
#include "ZyKompilacija.h"
#include "ZyOsModeli.h"
#include "ZyRisovanieSetki.h"
#include "ZyUrovni.h"
#include "ZyVidModeli.h"
#include "ZyZagruzkaModeli.h"

#include "ZyStandart.h"

#include <shellapi.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

using Quorvel::ZYKGLKONTROL;

namespace {

// Names of the static list blocks (per controller and scene module, kept by the engine).
const char kSpisokTeksta[] = "ZyModel Tekst";
const char kSpisokChastej[] = "ZyModel Chasti";
const char kSpisokEtalona[] = "ZyModel Etalon";

// Order keys of the navigation handlers, so that a second construction replaces them.
constexpr unsigned int kKlyuchKlavish = 0x5A4D0005u, kKlyuchProzrachnosti = 0x5A4D0007u,
                       kKlyuchSbrosa = 0x5A4D0008u;

// The background (16, 24, 40) and the same colour as the RGBA bytes transparency compares.
constexpr float kFon[3] = {16 / 255.0f, 24 / 255.0f, 40 / 255.0f};
constexpr unsigned long kKlyuchevojCvet = 0xFF281810ul;

// The near distance is set again when it is off by more than this factor.
constexpr double kDopuskBlizhnej = 1.25;

// The share of the frame period the model's drawing may take while the eye moves (the rest:
// clearing, the texts, presenting the frame).
constexpr double kDoljaPerioda = 0.75;

// One part as the scene keeps it after its lists are compiled.
struct ZYS_CHAST_SCENY {
    std::string imja;
    unsigned long vershin, granej;
    float min[3], max[3];
};

// The words of the view's texts, translated once.
struct ZYS_SLOVA {
    char vershina[64] = "vertex", vershin[64] = "vertices";
    char gran[64] = "face", granej[64] = "faces";
    char zagruzka[96] = "Loading the model";
};

// The scene's state for one controller.
struct ZYS_SOSTOJANIE {
    bool gotov = false; // the model is in the context
    std::vector<ZYS_CHAST_SCENY> chasti;
    unsigned long granej = 0, treugolnikov = 0, zagruzok = 0, kadrov = 0;
    float min[3] = {0, 0, 0}, max[3] = {0, 0, 0};
    long bazaTeksta = 0;  // first of the 256 character lists
    long bazaChastej = 0; // without vertex buffers, the levels' lists: level l of part i is
                          // bazaChastej + l * parts + i
    long bazaEtalona = 0; // the parts' immediate-mode lists, when kept for comparison
    zymodel::ZYS_BUFERY_GL bufery;                          // the context's vertex buffers
    std::vector<std::vector<zymodel::ZYS_SETKA_GL>> urovni; // [level][part]
    std::vector<unsigned long> treugolnikovUrovnja;         // per level
    std::vector<double> vremja;    // per level, its last drawing time (ms), negative: none yet
    unsigned long long bajtov = 0; // of the levels' arrays
    unsigned long sposob = ZY_RISOVANIE_UROVNI;
    bool dvizhenie = false; // the last frame was drawn while the eye moved
    unsigned long treugolnikovKadra = 0, urovenKadra = 0, kadrovVDvizhenii = 0;
    std::vector<GLuint> tekstury;     // texture objects of the model
    unsigned long vybrana = 0;        // focused selection name
    unsigned long ramkaVybrannoj = 0; // dynamic list: the box of the focused part
    bool startRamka = false;          // frame the model at the next rendered frame
    bool ramkaVsegda = false;         // ... even when the eye has left the initial frame
    bool prinimaet = false;           // the view accepts dropped files
    std::string tekst;                // what the view shows
    std::string put;                  // the model file shown (UTF-8, full path)
    std::shared_ptr<zymodel::ZYS_ZADANIE> zadanie; // the file being read
    int os = zymodel::ZYO_PLUS_Y;                  // the up axis
    double nashNear = 0, prezhnijNear = 0;         // the near distance set here, and the one before
    ZYS_SLOVA slova;
};

// A controller by its address and its thread: a controller made later at the address of a
// destroyed one is another controller.
using Kljuch = std::pair<const ZYKGLKONTROL*, unsigned long>;
Kljuch KljuchK(const ZYKGLKONTROL* k) {
    return {k, k->threadId};
}

std::mutex zamok;                             // guards sostojanija
std::map<Kljuch, ZYS_SOSTOJANIE> sostojanija; // one per controller

std::mutex zamokFajlov;         // guards fajly
std::vector<std::string> fajly; // registered model files (UTF-8); key = position + 1

// The key of a model file, registered on first use (under zamokFajlov).
unsigned long KljuchFajla(const std::string& put) {
    for (std::size_t i = 0; i < fajly.size(); ++i)
        if (fajly[i] == put) return static_cast<unsigned long>(i + 1);
    fajly.push_back(put);
    return static_cast<unsigned long>(fajly.size());
}

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

// The model path (UTF-8) named by the first non-blank line of "Model.txt" (a UTF-8 mark is
// skipped; text that is not UTF-8 is the system code page; relative names are taken from the
// window's data folder); "" with a message text in `oshibka` when there is none.
std::string ImjaIzSpiska(const ZYKGLKONTROL* k, std::string& oshibka) {
    const std::string papka = PapkaOkna(k), spisok = papka + "Model.txt";
    std::vector<unsigned char> b;
    if (zymodel::ZyProchestFajl(spisok, b, 64 * 1024) != zymodel::ZYC_GOTOVO) {
        oshibka = "The file \"" + spisok + "\" that names the model cannot be read.";
        return std::string();
    }
    const zymodel::ZYE_KODIROVKA kod = zymodel::ZyKodirovka(b.data(), b.size());
    if (kod == zymodel::ZYK_UTF16) {
        oshibka = "The file \"" + spisok +
                  "\" that names the model is a UTF-16 text file: save it as UTF-8 or ANSI text.";
        return std::string();
    }
    std::string t(b.begin() + (kod == zymodel::ZYK_UTF8_BOM ? 3 : 0), b.end());
    const std::size_t nach = t.find_first_not_of(" \t\r\n");
    if (nach != std::string::npos) t = t.substr(nach, t.find_first_of("\r\n", nach) - nach);
    const std::size_t kon = t.find_last_not_of(" \t");
    if (nach == std::string::npos || kon == std::string::npos) {
        oshibka = "The file \"" + spisok + "\" names no model.";
        return std::string();
    }
    t.resize(kon + 1);
    if (!zymodel::ZyEtoUtf8(t)) t = zymodel::ZyUtf8IzAnsi(t);
    return zymodel::ZyPutOt(papka, t);
}

// The model the controller is to show: the file the host registered under sceneParam, else
// the one "Model.txt" names.
std::string ImjaModeli(const ZYKGLKONTROL* k, std::string& oshibka) {
    {
        std::lock_guard<std::mutex> g(zamokFajlov);
        if (k->sceneParam > 0 && k->sceneParam <= fajly.size()) return fajly[k->sceneParam - 1];
    }
    return ImjaIzSpiska(k, oshibka);
}

// Starts reading `put`; a load still going on is stopped (its result is never shown).
void Nachat(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s, const std::string& put, bool ramkaVsegda) {
    if (s.zadanie) s.zadanie->otmena = true;
    ++s.zagruzok;
    s.zadanie = zymodel::ZyNachatZagruzku(put, k.hwnd,
                                          (s.sposob & ZY_RISOVANIE_VID) == ZY_RISOVANIE_ETALON);
    s.ramkaVsegda = ramkaVsegda;
}

// The font's 256 character lists, in the static block being generated.
void Shrift(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    s.bazaTeksta = k.GenSpisokS(256, kSpisokTeksta);
    if (s.bazaTeksta) k.Tekst2M(4ul, 0ul, 256ul, static_cast<unsigned long>(s.bazaTeksta));
}

// Deletes the model's buffers and textures from the context (its lists go with their block).
void UdalitModel(ZYS_SOSTOJANIE& s) {
    for (auto& uroven : s.urovni)
        for (zymodel::ZYS_SETKA_GL& g : uroven)
            zymodel::ZyUdalitSetku(s.bufery, g);
    s.urovni.clear();
    if (!s.tekstury.empty()) glDeleteTextures(GLsizei(s.tekstury.size()), s.tekstury.data());
    s.tekstury.clear();
    s.bazaChastej = s.bazaEtalona = 0;
    s.gotov = false;
}

// Puts the levels of a freshly loaded model into the context, each array released once it is
// there; false when the context runs out of memory (what was put is deleted again).
bool Zagruzit(ZYKGLKONTROL& k, zymodel::ZYS_UROVNI& u, ZYS_SOSTOJANIE& s) {
    const std::size_t urovnej = u.setki.size(), chastej = urovnej ? u.setki[0].size() : 0;
    if (!s.bufery.Est()) {
        s.bazaChastej = k.GenSpisokS(static_cast<long>(urovnej * chastej), kSpisokChastej);
        if (!s.bazaChastej) return false;
    }
    s.urovni.assign(urovnej, std::vector<zymodel::ZYS_SETKA_GL>(chastej));
    s.bajtov = 0;
    for (std::size_t l = 0; l < urovnej; ++l)
        for (std::size_t i = 0; i < chastej; ++i) {
            zymodel::ZYS_SETKA& setka = u.setki[l][i];
            const GLuint spisok = static_cast<GLuint>(s.bazaChastej + long(l * chastej + i));
            s.bajtov += setka.Bajtov();
            if (!zymodel::ZyZagruzitSetku(s.bufery, setka, spisok, s.tekstury, s.urovni[l][i]))
                return false;
            setka = zymodel::ZYS_SETKA();
        }
    s.treugolnikovUrovnja = u.treugolnikov;
    s.vremja.assign(urovnej, -1.0);
    return true;
}

// Builds the static lists and buffers of a freshly loaded model (font, the levels, the
// immediate-mode lists when they are kept) and its textures, replacing those of the model
// shown before; keeps what the scene needs afterwards. False when the context has no room.
bool Postroit(ZYKGLKONTROL& k, zymodel::ZYS_ZADANIE& z, ZYS_SOSTOJANIE& s) {
    const zymodel::ZYS_MODEL& m = z.model;
    // The first model of the scene joins the font's block; a later one replaces every block.
    const bool zamena = k.GenSpisokTestS() == 0;
    if (zamena) k.VwklSpiskiS();
    UdalitModel(s);
    if (s.ramkaVybrannoj) k.VwklSpisok(s.ramkaVybrannoj);
    s.ramkaVybrannoj = 0;
    s.vybrana = 0;
    s.tekst.clear();
    if (zamena || !s.bazaTeksta) Shrift(k, s);
    s.bufery =
        (s.sposob & ZY_RISOVANIE_BEZ_BUFEROV) ? zymodel::ZYS_BUFERY_GL() : zymodel::ZyNajtiBufery();
    s.tekstury = zymodel::ZySozdatTekstury(m);
    const bool v = Zagruzit(k, z.urovni, s);
    z.urovni = zymodel::ZYS_UROVNI();
    if (v && z.etalon) {
        s.bazaEtalona = k.GenSpisokS(static_cast<long>(m.chasti.size()), kSpisokEtalona);
        for (std::size_t i = 0; s.bazaEtalona && i < m.chasti.size(); ++i)
            zymodel::ZyKompilirovatChast(m, m.chasti[i], s.tekstury,
                                         static_cast<GLuint>(s.bazaEtalona + long(i)));
    }
    k.GenSpisokSFin();
    if (!v) {
        UdalitModel(s);
        s.chasti.clear();
        k.VwklSpiskiS();
        Shrift(k, s);
        k.GenSpisokSFin();
        return false;
    }
    s.chasti.clear();
    for (const zymodel::ZYS_CHAST& c : m.chasti) {
        ZYS_CHAST_SCENY cs{c.imja, c.vershin, c.granej, {}, {}};
        std::memcpy(cs.min, c.min, sizeof cs.min);
        std::memcpy(cs.max, c.max, sizeof cs.max);
        s.chasti.push_back(cs);
    }
    s.granej = m.granej;
    s.treugolnikov = m.treugolnikov;
    std::memcpy(s.min, m.min, sizeof s.min);
    std::memcpy(s.max, m.max, sizeof s.max);
    s.gotov = s.bazaTeksta != 0;
    s.startRamka = true;
    return true;
}

void PodpisatChasti(ZYKGLKONTROL& k, std::size_t chastej);

// Takes the finished load: the new model replaces the one shown; a failed load (already
// reported by its box) leaves the model shown before, or an empty scene.
void Prinjat(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    std::shared_ptr<zymodel::ZYS_ZADANIE> z = std::move(s.zadanie);
    if (z->kod != zymodel::ZYM_GOTOVO) {
        if (!s.gotov && k.GenSpisokTestS() == 1) k.GenSpisokSFin(); // the font alone
        return;
    }
    bool v;
    try {
        v = Postroit(k, *z, s);
    } catch (const std::bad_alloc&) {
        v = false;
    }
    z->model = zymodel::ZYS_MODEL(); // the arrays live on in the context only
    z->urovni = zymodel::ZYS_UROVNI();
    if (!v) {
        zymodel::ZYS_OSHIBKA_MODELI o;
        zymodel::ZyOshibka(o, zymodel::ZYM_PAMJAT);
        zymodel::ZyPokazatOshibku(zymodel::ZyTekstOshibki(o, z->put));
        return;
    }
    PodpisatChasti(k, s.chasti.size());
    s.put = zymodel::ZyPolnyjPut(z->put);
    s.os = zymodel::ZyVzOs(PapkaOkna(&k), s.put);
    const std::string imja = zymodel::ZyAnsi(zymodel::ZyImjaFajla(s.put));
    std::snprintf(k.TekstPauzy, sizeof k.TekstPauzy, "%s", imja.c_str());
    unsigned long kljuch;
    {
        std::lock_guard<std::mutex> g(zamokFajlov);
        kljuch = KljuchFajla(s.put);
    }
    k.sceneParam = kljuch; // a reload of the scene opens this model
    static const UINT soob = RegisterWindowMessageA(ZY_SOOB_MODEL_FAJL);
    if (HWND verh = GetAncestor(k.hwnd, GA_ROOT)) PostMessageA(verh, soob, kljuch, 0);
}

// Whether the point of observation is still the engine's initial frame (no stored position).
bool NachalnajaRamka(const ZYKGLKONTROL& k) {
    const Quorvel::TOCHKA3MDF nach[4] = {
        {0.0, 0.0, 0.0}, {0.0, 0.0, -1000.0}, {0.0, 1000.0, 0.0}, {1000.0, 0.0, 0.0}};
    return std::memcmp(k.PozNav, nach, sizeof nach) == 0;
}

// Sets the near distance for the eye's place; reloads the projection of this frame when it
// changed. Render mode only: a pick's projection must not be touched.
void Blizhnjaja(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    const bool orbita = k.Flagi.Test(Quorvel::ZYBIT_ORBITA, Quorvel::ZYBIT_ORBITA);
    const Quorvel::TOCHKA3MDF& e = orbita ? k.PozNavVid[0] : k.PozNav[0];
    const double glaz[3] = {e.x, e.y, e.z};
    const double n = zymodel::ZyBlizhnjaja(s.min, s.max, glaz);
    if (k.zNear > 0 && n < k.zNear * kDopuskBlizhnej && k.zNear < n * kDopuskBlizhnej) return;
    if (k.zNear != s.nashNear) s.prezhnijNear = k.zNear;
    k.zNear = s.nashNear = n;
    Quorvel::ZYS_REGION_VIDA bezShaga{0, 0, 0, 0};
    k.PozicijaNabludenija(&bezShaga);
}

// Puts the eye at the three-quarter view of the model in the frame of its up axis.
void Ramka(ZYKGLKONTROL& k, const ZYS_SOSTOJANIE& s) {
    GLint vp[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double aspekt = vp[3] > 0 ? double(vp[2]) / double(vp[3]) : 1.0;
    const zymodel::ZYS_RAKURS r = zymodel::ZyRakurs(s.min, s.max, s.os, k.fovy, aspekt);
    const double* t[4] = {r.glaz, r.cel, r.verh, r.bok};
    for (int i = 0; i < 4; ++i)
        k.PozNav[i] = {t[i][0], t[i][1], t[i][2]};
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
    const ZYS_SLOVA& w = s.slova;
    char b[160];
    std::snprintf(b, sizeof b, "%.100s: %lu %s, %lu %s",
                  c.imja.empty() ? "-" : zymodel::ZyAnsi(c.imja).c_str(), c.vershin,
                  c.vershin == 1 ? w.vershina : w.vershin, c.granej,
                  c.granej == 1 ? w.gran : w.granej);
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

// WM_KEYDOWN, subscribed by pointer: F5 frames the whole model again, F6 steps to the next up
// axis (remembered for the model) and frames the model in it; either shows at once. While
// another scene is shown, the near distance this scene set is given back.
int Klavisha(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    if (!k) return 0;
    std::lock_guard<std::mutex> g(zamok);
    auto it = sostojanija.find(KljuchK(k));
    if (it == sostojanija.end()) return 0;
    ZYS_SOSTOJANIE& s = it->second;
    if (!NashaScena(k)) {
        if (s.nashNear > 0 && k->zNear == s.nashNear) k->zNear = s.prezhnijNear;
        s.nashNear = 0;
        return 0;
    }
    if ((m->wParam != VK_F5 && m->wParam != VK_F6) || !s.gotov) return 0;
    if (m->wParam == VK_F6) {
        s.os = (s.os + 1) % zymodel::ZYO_KOL;
        zymodel::ZyVsOs(PapkaOkna(k), s.put, s.os);
    }
    Ramka(*k, s);
    InvalidateRect(k->hwnd, nullptr, FALSE);
    return 1;
}

// WM_DROPFILES, subscribed by pointer: the first file dropped onto the view replaces the model.
int Sbros(MSG* m) {
    ZYKGLKONTROL* k = Kontrol(m);
    HDROP h = reinterpret_cast<HDROP>(m ? m->wParam : 0);
    if (!k || !h) return 0;
    const UINT n = DragQueryFileW(h, 0, nullptr, 0); // its length, without the end
    std::wstring put(n + 1, L'\0');
    put.resize(n && DragQueryFileW(h, 0, &put[0], n + 1) == n ? n : 0);
    DragFinish(h);
    if (!NashaScena(k) || put.empty()) return 0;
    std::lock_guard<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    Nachat(*k, s, zymodel::ZyUtf8(put), true);
    InvalidateRect(k->hwnd, nullptr, FALSE);
    return 1;
}

// Subscribes the focus handlers of the parts (a duplicate is dropped by the engine).
void PodpisatChasti(ZYKGLKONTROL& k, std::size_t chastej) {
    std::vector<Quorvel::ZYS_OBJ_SOOB_iFYN> obj;
    for (std::size_t i = 0; i < chastej; ++i) {
        const unsigned long imja = ZY_MODEL_IMJA0 + static_cast<unsigned long>(i);
        obj.push_back({imja, 0x403, Fokus});
        obj.push_back({imja, 0x404, NeFokus});
    }
    if (!obj.empty()) k.VklObjSoob(obj.data(), static_cast<unsigned int>(obj.size()));
}

// Subscribes the navigation handlers (first removed by their order keys, so that they never
// run twice).
void Podpisat(ZYKGLKONTROL& k) {
    k.vwklNav(WM_KEYDOWN, kKlyuchKlavish);
    k.vwklNav(WM_KEYDOWN, kKlyuchProzrachnosti);
    k.vwklNav(WM_DROPFILES, kKlyuchSbrosa);
    Quorvel::ZYS_SOOB_iFYN_P poUkazatelju[2] = {{WM_KEYDOWN, Klavisha, kKlyuchKlavish},
                                                {WM_DROPFILES, Sbros, kKlyuchSbrosa}};
    k.vklNav(poUkazatelju, 2);
    Quorvel::ZYS_SOOB_snFYN_P poImeni[1] = {
        {WM_KEYDOWN, "ZyScenaModel.dll\\ZyScenaModelKlavisha", kKlyuchProzrachnosti}};
    k.vklNav(poImeni, 1);
}

// Starts reading the model named for this window; without a name the scene stays empty and
// the message for the user is returned.
std::string Zagruzit(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    std::string oshibka;
    const std::string put = ImjaModeli(&k, oshibka);
    if (put.empty()) {
        k.GenSpisokSFin(); // the font alone
        return oshibka;
    }
    Nachat(k, s, put, false);
    return std::string();
}

// Draws `t` in the view's line `stroka` (0 the top one), in window pixels.
void Tekst(ZYKGLKONTROL& k, const ZYS_SOSTOJANIE& s, const std::string& t, int stroka) {
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
    glDisable(GL_TEXTURE_2D);
    k.cvet(static_cast<unsigned char>(7));
    glRasterPos2i(8, vp[3] - 20 - 18 * stroka);
    k.Tekst2M(static_cast<unsigned long>(s.bazaTeksta), t.c_str(), 0);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

// The progress line of a model being read.
std::string Hod(const ZYS_SOSTOJANIE& s) {
    char b[400];
    std::snprintf(b, sizeof b, "%s \"%.200s\": %d %%", s.slova.zagruzka,
                  zymodel::ZyAnsi(zymodel::ZyImjaFajla(s.zadanie->put)).c_str(),
                  s.zadanie->procent.load());
    return b;
}

// Light from the viewer's upper right, the colour driving ambient and diffuse reflection, a
// texture modulating the lit colour.
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
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

// Lets the view accept dropped files, once.
// NOTE: not in the constructor, and never under the scene's lock: the style change is sent to
// the window thread, which may be waiting for the constructor, or for the lock (a test's
// ZyScenaModelSvodka).
void PrinimatFajly(ZYKGLKONTROL& k) {
    {
        std::lock_guard<std::mutex> g(zamok);
        ZYS_SOSTOJANIE& s = sostojanija[KljuchK(&k)];
        if (s.prinimaet) return;
        s.prinimaet = true;
    }
    DragAcceptFiles(k.hwnd, TRUE);
}

// The work of a rendered frame before drawing: a finished load taken, the start frame, the
// near distance.
void PeredKadrom(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    if (s.zadanie && s.zadanie->gotovo) Prinjat(k, s);
    if (s.startRamka && s.gotov) {
        s.startRamka = false;
        if (s.ramkaVsegda || NachalnajaRamka(k)) Ramka(k, s);
        s.ramkaVsegda = false;
    }
    if (s.gotov) Blizhnjaja(k, s);
    ++s.kadrov;
}

// Seconds from the high-resolution counter.
double Sekundy() {
    static const double chastota = [] {
        LARGE_INTEGER f{};
        return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? double(f.QuadPart) : 1000.0;
    }();
    LARGE_INTEGER t{};
    if (QueryPerformanceCounter(&t)) return double(t.QuadPart) / chastota;
    return GetTickCount() / 1000.0;
}

// Whether the eye moves in this frame: a motion bit is set and the keys are not an object's.
bool Dvizhetsja(const ZYKGLKONTROL& k) {
    return k.Flagi.Test(Quorvel::ZYBIT_DVIZH1, Quorvel::ZYBIT_DVIZH1 + 5) &&
           !k.Flagi.Test(Quorvel::ZYBIT_KLAVISHI_OBJ, Quorvel::ZYBIT_KLAVISHI_OBJ);
}

// The level of a rendered frame: at rest the full model; while the eye moves the finest level
// whose last measured time fits the frame's share of the period (a new motion measures the
// coarser levels anew). After a coarser frame the scene animates, so that the frame after the
// motion comes and shows the full model; that frame stops the animation again.
std::size_t Uroven(ZYKGLKONTROL& k, ZYS_SOSTOJANIE& s) {
    const bool dvizhetsja = Dvizhetsja(k);
    if (dvizhetsja && !s.dvizhenie)
        for (std::size_t l = 1; l < s.vremja.size(); ++l)
            s.vremja[l] = -1;
    s.dvizhenie = dvizhetsja;
    std::size_t uroven = 0;
    if (dvizhetsja && (s.sposob & ZY_RISOVANIE_VID) == ZY_RISOVANIE_UROVNI) {
        const double period = 1000.0 / (k.fps ? k.fps : 25);
        uroven = zymodel::ZyVybratUroven(s.vremja, s.treugolnikovUrovnja, kDoljaPerioda * period);
    }
    if (uroven > 0)
        k.Flagi.Vkl(Quorvel::ZYBIT_ANIMACIJA, Quorvel::ZYBIT_ANIMACIJA);
    else if (!dvizhetsja)
        k.Flagi.Vwkl(Quorvel::ZYBIT_ANIMACIJA, Quorvel::ZYBIT_ANIMACIJA);
    return uroven;
}

// Whether the parts are drawn from their immediate-mode lists.
bool Etalon(const ZYS_SOSTOJANIE& s) {
    return (s.sposob & ZY_RISOVANIE_VID) == ZY_RISOVANIE_ETALON && s.bazaEtalona != 0;
}

// Every part at `uroven` under its selection name: only a part's name may be hit in a pick,
// the name stack holds nothing else.
void Model(const ZYS_SOSTOJANIE& s, std::size_t uroven) {
    const bool etalon = Etalon(s);
    for (std::size_t i = 0; i < s.chasti.size(); ++i) {
        glPushName(ZY_MODEL_IMJA0 + static_cast<GLuint>(i));
        if (etalon)
            glCallList(static_cast<GLuint>(s.bazaEtalona + long(i)));
        else if (uroven < s.urovni.size() && i < s.urovni[uroven].size())
            zymodel::ZyNarisovatSetku(s.bufery, s.urovni[uroven][i], s.tekstury);
        glPopName();
    }
}

// Records a rendered frame of level `uroven` that took `sekund` to draw.
void Zamerit(ZYS_SOSTOJANIE& s, std::size_t uroven, double sekund) {
    if (uroven < s.vremja.size() && !Etalon(s)) s.vremja[uroven] = 1000 * sekund;
    s.urovenKadra = static_cast<unsigned long>(uroven);
    s.treugolnikovKadra = Etalon(s)                               ? s.treugolnikov
                          : uroven < s.treugolnikovUrovnja.size() ? s.treugolnikovUrovnja[uroven]
                                                                  : 0;
    if (s.dvizhenie) ++s.kadrovVDvizhenii;
}

} // namespace

// Constructor: the rendering context, the model (read again only when this controller has no
// lists of it), the handlers, the background.
long ZyScenaModel1(ZYKGLKONTROL* k) {
    if (!k) return 0;
    k->VsDCFormat(nullptr);
    // Keep the module loaded for the process: the lists' descriptions, the loads in progress
    // and the handlers subscribed by pointer live in it. Without the pin (the call failed) an
    // unloaded module only costs a reload below.
    HMODULE sam = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&ZyScenaModel1), &sam);
    std::unique_lock<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    s.vybrana = 0;
    s.tekst.clear();
    s.ramkaVybrannoj = 0; // the engine deletes a scene's dynamic lists on its own terms
    s.nashNear = 0;
    std::string oshibka;
    const bool spiskiEst = k->GenSpisokTestS() == 0;
    if (spiskiEst && s.gotov) {
        // Back through the history: the lists exist, nothing is read again.
        s.bazaTeksta = k->VzSpisokS(kSpisokTeksta);
        s.bazaChastej = k->VzSpisokS(kSpisokChastej);
        s.bazaEtalona = k->VzSpisokS(kSpisokEtalona);
    } else if (!s.zadanie) {
        if (spiskiEst) k->VwklSpiskiS(); // lists this module no longer knows
        UdalitModel(s);
        const unsigned long zagruzok = s.zagruzok, sposob = s.sposob;
        s = ZYS_SOSTOJANIE();
        s.zagruzok = zagruzok;
        s.sposob = sposob;
        ZYS_SLOVA& w = s.slova;
        for (char* slovo : {w.vershina, w.vershin, w.gran, w.granej})
            ZyPerevodStroki(slovo, 64);
        ZyPerevodStroki(w.zagruzka, sizeof w.zagruzka);
        Shrift(*k, s);
        oshibka = Zagruzit(*k, s);
    }
    PodpisatChasti(*k, s.gotov ? s.chasti.size() : 0);
    Podpisat(*k);
    k->KlyuchevojCvet = kKlyuchevojCvet;
    k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    glClearColor(kFon[0], kFon[1], kFon[2], 1.0f);
    g.unlock();
    // NOTE: no owner: the window thread may be waiting for this constructor.
    if (!oshibka.empty())
        ZyMessage(nullptr, zymodel::ZyAnsi(oshibka).c_str(), zymodel::kZagolovok,
                  MB_OK | MB_ICONERROR);
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
// and the texts. Picking calls this in selection mode, where only named things may be drawn,
// and the full model is drawn.
long ZyScenaModel3(ZYKGLKONTROL* k) {
    if (!k) return 0;
    GLint rezhim = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &rezhim);
    const bool risovanie = rezhim == GL_RENDER;
    if (risovanie) PrinimatFajly(*k);
    std::lock_guard<std::mutex> g(zamok);
    ZYS_SOSTOJANIE& s = sostojanija[KljuchK(k)];
    if (risovanie) PeredKadrom(*k, s);
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_TEXTURE_BIT);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (s.gotov) {
        glEnable(GL_DEPTH_TEST);
        Svet();
        const std::size_t uroven = risovanie ? Uroven(*k, s) : 0;
        const double nachalo = risovanie ? Sekundy() : 0;
        Model(s, uroven);
        if (risovanie) {
            glFinish(); // the time measured is the drawing's own
            Zamerit(s, uroven, Sekundy() - nachalo);
        }
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
    }
    if (risovanie && s.gotov && s.ramkaVybrannoj) {
        k->cvet(static_cast<unsigned char>(2)); // yellow
        glLineWidth(2);
        glCallList(static_cast<GLuint>(s.ramkaVybrannoj));
    }
    if (risovanie && s.bazaTeksta) {
        int stroka = 0;
        if (!s.tekst.empty()) Tekst(*k, s, s.tekst, stroka++);
        if (s.zadanie) Tekst(*k, s, Hod(s), stroka);
    }
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
    s->zagruzka = z.zadanie ? 1 : 0;
    s->os = static_cast<unsigned long>(z.os);
    s->tekstur = static_cast<unsigned long>(z.tekstury.size());
    std::snprintf(s->fajl, sizeof s->fajl, "%s", (z.zadanie ? z.zadanie->put : z.put).c_str());
    s->urovnej = z.gotov ? static_cast<unsigned long>(z.urovni.size()) : 0;
    s->treugolnikovKadra = z.treugolnikovKadra;
    s->urovenKadra = z.urovenKadra;
    s->kadrovVDvizhenii = z.kadrovVDvizhenii;
    s->bajtov = z.gotov ? z.bajtov : 0;
    s->bufery = z.gotov && z.bufery.Est() ? 1 : 0;
    for (std::size_t l = 0; l < 8; ++l)
        s->treugolnikovUrovnja[l] =
            z.gotov && l < z.treugolnikovUrovnja.size() ? z.treugolnikovUrovnja[l] : 0;
    return 1;
}

int ZyScenaModelRisovanie(ZYKGLKONTROL* k, unsigned long sposob) {
    if (!k) return 0;
    std::lock_guard<std::mutex> g(zamok);
    sostojanija[KljuchK(k)].sposob = sposob;
    return 1;
}

unsigned long ZyScenaModelFajl(const wchar_t* put) {
    if (!put || !*put) return 0;
    const std::string u = zymodel::ZyUtf8(put);
    if (u.empty()) return 0;
    std::lock_guard<std::mutex> g(zamokFajlov);
    return KljuchFajla(zymodel::ZyPolnyjPut(u));
}

unsigned long ZyScenaModelImja(unsigned long kljuch, wchar_t* bufer, unsigned long razmer) {
    std::string u;
    {
        std::lock_guard<std::mutex> g(zamokFajlov);
        if (kljuch == 0 || kljuch > fajly.size()) return 0;
        u = fajly[kljuch - 1];
    }
    const std::wstring w = zymodel::ZyShirokie(u);
    if (!bufer || w.size() + 1 > razmer) return 0;
    std::memcpy(bufer, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    return static_cast<unsigned long>(w.size());
}
