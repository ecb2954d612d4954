// ZyKGLOrvanta2: the navigator engine.
//
// A host creates one ZYKGLORVANTA2 and calls Pusk with its window; the engine fills the
// window with OpenGL view windows, each run by a ZYKGLKONTROL on a thread of its own. Scene
// modules export four functions (constructor, intermission, frame, end of frame) that receive
// the controller and reach everything through its public fields and members.
//
// Everything here is what a host and a scene author need: the navigator, the controller, the
// geometry types, the flag vector, the records of the scene, window and handler interfaces.
#ifndef ZYKGLORVANTA2_H
#define ZYKGLORVANTA2_H

#include <windows.h>
#include <vector>

#include "ZyKFajl64.h"

#if defined(ZYKGLORVANTA2_BUILD)
#define ZYKGLORVANTA2_API __declspec(dllexport)
#else
#define ZYKGLORVANTA2_API __declspec(dllimport)
#endif

#include "ZyVektorBit.h"
#include "ZyZapisi.h"

namespace Quorvel {

class ZYKGLKONTROL;

// Bits of ZYKGLKONTROL::Flagi.
enum : unsigned long {
    ZYBIT_ZASHCHELKA = 0,        // keep moving after the key is released (latch)
    ZYBIT_DVIZH1 = 1,            // 1..6: motion along / about axis 1..6
    ZYBIT_KLAVISHA1 = 7,         // 7..12: the key of motion 1..6 is held
    ZYBIT_USKORIT = 13,          // speed up
    ZYBIT_ZAMEDLIT = 14,         // slow down
    ZYBIT_DVIZHETSJA = 15,       // some axis is moving
    ZYBIT_ANIMACIJA = 16,        // animate continuously
    ZYBIT_ORBITA = 17,           // orbit mode
    ZYBIT_ORBITA_PLOSKOST = 18,  // focus plane in orbit mode
    ZYBIT_PLOSKOST_VSEGDA = 19,  // focus plane even when still
    ZYBIT_ORBITA_DISTANCIJA = 20,// view-axis motion changes only the orbit distance
    ZYBIT_UNICHTOZHENO = 22,     // window destroyed, stop the loop
    ZYBIT_NE_DVIGAT = 23,        // do not move the point of observation before drawing
    ZYBIT_KLAVISHI_OBJ = 24,     // keys go to the focused object
    ZYBIT_BEZ_KLAVIATURY = 25,   // keyboard ignored
    ZYBIT_BEZ_PLOSKOSTI = 64,    // no focus plane while moving
    ZYBIT_ATRIB_SOHRANEN = 65,   // initial attributes saved
    ZYBIT_TAJMER_MYSHI = 66,     // mouse-rest timer armed
    ZYBIT_PAUZA = 67,            // paused
    ZYBIT_POKAZAT = 68,          // show the window at its first paint
    ZYBIT_SCROLL_LOCK = 69,      // Scroll Lock on
    ZYBIT_NUM_LOCK = 70,         // Num Lock on
    ZYBIT_KONTEKST = 71,         // rendering context ready
    ZYBIT_VIEWPORT = 72,         // re-read the client rectangle and set the viewport
    ZYBIT_NOVAJA_SCENA = 74,     // a new scene is being loaded
    ZYBIT_HODKA_ISTORII = 75,    // a history move is being loaded
    ZYBIT_PROZRACHNO = 76,       // transparency wanted
    ZYBIT_PROZRACHNO_EST = 77,   // transparency applied
    ZY_KOL_FLAGOV = 78,          // bits in Flagi
};

// ---- Records --------------------------------------------------------------------------------

// The four scene-function names "module\function", in slot order; null keeps a slot.
struct ZYS_ADR_SCENW {
    const char* KonstryktorScenw;
    const char* Antrakt;
    const char* PokazScenw;
    const char* FinalScenw;
};

// Optional description of one view window.
struct SGL_OKNO {
    unsigned long RasshStil; // extended window style
    const char* Zagolovok;   // window title
    unsigned long Stil;      // window style
    long x, y;               // position (parent client or screen coordinates)
    long Shirina, Vysota;    // size
};

// Optional first scene of one view window.
struct SGL_SCENA_PARAM {
    ZYS_ADR_SCENW adresa;
    unsigned long sceneParam; // copied into the controller for the scene's own use
};

// A scene function: receives the controller, its result is ignored.
typedef long (*ZYF_SCENA)(ZYKGLKONTROL* kontrol);
// A message handler: the window slot of the message holds the controller's address.
typedef int (*ZYF_SOOB)(MSG* soob);

// Subscription records; a scene's constructor typically builds arrays of these.
struct ZYS_SOOB_iFYN {
    unsigned long soob;
    ZYF_SOOB iFyn;
};
struct ZYS_SOOB_snFYN {
    unsigned long soob;
    const char* snFyn; // "module\function", copied
};
struct ZYS_SOOB_iFYN_P {
    unsigned long soob;
    ZYF_SOOB iFyn;
    unsigned long prioritet;
};
struct ZYS_SOOB_snFYN_P {
    unsigned long soob;
    const char* snFyn;
    unsigned long prioritet;
};
struct ZYS_OBJ_SOOB_iFYN {
    unsigned long obj;
    unsigned long soob;
    ZYF_SOOB iFyn;
};
struct ZYS_OBJ_SOOB_snFYN {
    unsigned long obj;
    unsigned long soob;
    const char* snFyn;
};

// One scene-function slot of the controller.
struct ZYS_FYN_SCENW {
    char* imja;       // "module\function" (owned)
    HMODULE modul;    // module of the last successful load
    ZYF_SCENA fyn;    // null when not loaded
};

// Engine-private messages posted to a controller thread.
enum : unsigned long {
    ZYM_NCCREATE = 0x400,   // forwarded WM_NCCREATE
    ZYM_CREATE = 0x401,     // forwarded WM_CREATE
    ZYM_RODITEL = 0x402,    // parent moved or resized; lParam -> WINDOWPOS
    ZYM_FOKYS = 0x403,      // object gained the focus
    ZYM_NE_FOKYS = 0x404,   // object lost the focus
    ZYM_MYSH_POKOJ = 0x405, // mouse at rest
    ZYM_POKAZAT_DES = 0x407,// show the auxiliary window
    ZYM_SKRYT_DES = 0x408,  // hide the auxiliary window
};

// History commands of ZYKGLKONTROL::Scena.
enum : unsigned long {
    ZYH_TEKUSHCHAJA = 0x3E,
    ZYH_PERVAJA = 0x3C3C3C28,
    ZYH_NAZAD = 0x3C3C7C,
    ZYH_POSLEDNJAJA = 0x293E3E3E,
    ZYH_VPERED = 0x7C3E3E,
};

// Internal objects owned by the controller (defined inside the engine).
class ZYKREESTR_SOOB;    // message registry
class ZYKTAKT;           // frame pacer
class ZYKREESTR_SPISKOV; // display-list registry
class ZYKKESH_MODULEJ;   // module cache

// ---- Controller -----------------------------------------------------------------------------

// The per-view-window controller. Every scene function and handler receives it; its fields
// are read and written directly by scene modules.
class ZYKGLORVANTA2_API ZYKGLKONTROL {
public:
    unsigned long razmer;               // sizeof(ZYKGLKONTROL), for layout checks
    unsigned long index;                // position in the navigator's array
    HANDLE replyEvent;                  // set after a message is handled
    HANDLE windowOpEvent;               // set after the auxiliary window was shown / hidden
    ZYKREESTR_SOOB* messageRegistry;    // message -> handlers
    std::vector<unsigned long>* pickedNames; // name stack of the last picked hit
    long result;                        // value for the view-window procedure to return
    unsigned long mouseRestDelay;       // ms; 0 disables the mouse-rest notice
    ZYS_ZAG_ISTORII ZagIstorii;         // copy of the history-file header
    ZYKFAJL64* FajlIstorii;             // the history and position file
    unsigned long windowCount;          // view windows of the navigator
    unsigned long KlyuchevojCvet;       // pixel value cut out by transparency (RGBA bytes)
    char TekstPauzy[32];                // text of the pause screen
    unsigned long MaskaOchistki;        // glClear mask for each frame
    long TajmautCikla;                  // wait timeout of the controller thread, ms
    long TajmautAntrakta;               // wait timeout of the intermission thread, ms
    unsigned short fps;                 // frames per second; the period is 40 ms when 0
    ZYKTAKT* Takt;                      // frame pacer
    ZYKREESTR_SPISKOV* SpiskiImena;     // named display lists
    LPTHREAD_START_ROUTINE ProcPotoka;  // controller thread procedure
    HANDLE thread;                      // controller thread
    unsigned long threadId;
    long threadAlive;                   // the loop runs while non-zero
    HRGN* pParentRegion;                // the navigator's parentRegion
    HRGN* pParentRegionAux;             // the navigator's parentRegionAux
    HRGN RegionOkna;                    // this view's transparency region
    HWND hwnd;                          // the view window
    HDC KontekstDC;
    HGLRC KontekstGL;
    long showCommand;                   // applied at the first paint
    LPTHREAD_START_ROUTINE ProcAntrakta;// intermission thread procedure
    HANDLE PotokAntrakta;               // intermission thread
    unsigned long IdAntrakta;
    HWND desHwnd;                       // auxiliary child window
    HDC desDC;
    HGLRC desGL;
    RECT KlientRect;                    // last client rectangle seen by the paint handler
    PIXELFORMATDESCRIPTOR FormatPikselej; // pixel format obtained
    char ImjaSobytija[16];              // scratch for the event names
    HANDLE frameEvent;                  // drawing token between the two threads
    ZYKKESH_MODULEJ* ZagrModuli;        // loaded scene modules
    ZYS_FYN_SCENW Fynkcii[4];           // KonstryktorScenw, Antrakt, PokazScenw, FinalScenw
    unsigned long sceneParam;           // for the scene's own use
    ZYK_VEKTOR_BIT Flagi;               // 78 mode and state flags (ZYBIT_*)
    ZYS_POZ_NAV SnimokNav;              // navigation snapshot
    double SkorostNav[6];               // units/s along side, view, up; degrees/s about them
    double IzmSkorosti;                 // speed change per frame, percent
    char valueText[16];                 // number typed on the keyboard
    MATRICA_DF4x4 Matrica;              // a transform for the scene's use
    TOCHKA3MDF PozNav[4];               // eye, target, up point, side point
    TOCHKA3MDF PozNavVid[4];            // the frame as viewed
    double fovy, zNear, zFar;
    double Distancija;                  // orbit distance
    unsigned short IndeksySistCvetov[25]; // palette number nearest to each system colour
    HPALETTE Palitra;
    HPALETTE StarajaPalitra;
    HFONT Shrift;
    HGDIOBJ StaryjShrift;
    ZYKNB64 initMarker;                 // all ones once initialised

    ZYKGLKONTROL();
    ZYKGLKONTROL(const ZYKGLKONTROL& other);            // moves: the source is emptied
    ZYKGLKONTROL& operator=(const ZYKGLKONTROL& other); // moves: the source is emptied
    ~ZYKGLKONTROL();
    void operator()(); // reset a fresh or zeroed object to its initial state

    // Scenes and history.
    unsigned long ZagryzitFynkciu(const char* name, unsigned long slot);
    unsigned long ZagryzitSceny();
    unsigned long AntraktKonstryktor();
    unsigned long NScena(const ZYS_ADR_SCENW& imena);
    unsigned long NScena(const char* konstryktor, const char* antrakt, const char* pokaz,
                         const char* final);
    long Scena(unsigned long command, unsigned long count);
    long RazmerByfRazgr(long n);
    unsigned long VFajlIstorii();
    unsigned long VsPozNavVF();
    unsigned long VzPozNavIzF();

    // Point transforms, in place, in double precision; 0 for a null array or a count below 1.
    int SdvigTochek(const VEKTOR3MDF& v, TOCHKA3MDF* points, int count);
    int PovorotTochek(const double& angle, const TOCHKA3MDF& a, const TOCHKA3MDF& b,
                      TOCHKA3MDF* points, int count);
    int IzmenenieTochek(const MATRICA_DF4x4& m, TOCHKA3MDF* points, int count);

    // Point of observation.
    int PozicijaNabludenija(ZYS_REGION_VIDA* region);
    void VsPozNavV0();
    void VsMatrPozNav();
    void UniversalnajaPloskost();
    void NachAtrib();

    // Rendering context.
    int VsDCFormat(PIXELFORMATDESCRIPTOR* pfd);
    int VzDCFormat(PIXELFORMATDESCRIPTOR* pfd);

    // Display lists.
    int GenSpisokTestS();
    long GenSpisokS(long count, const char* name);
    void GenSpisokSFin();
    long VzSpisokS(const char* name);
    int GenSpisokTestD();
    long GenSpisokD(long count);
    int VwklSpisok(unsigned long first);
    bool VwklSpiskiS();
    bool VwklSpiskiD();
    int VwklSpiski();
    int VwklSpiskiD(const char* sceneKey);

    // Text, colour, transparency, pause.
    int cvet(unsigned char n);
    int cvet(unsigned char* rgb);
    void Tekst2M(void* shrift, unsigned long pervyj, unsigned long kolichestvo,
                 unsigned long bazaSpiskov);
    void Tekst2M(unsigned long vidShrifta, unsigned long pervyj, unsigned long kolichestvo,
                 unsigned long bazaSpiskov);
    void Tekst2M(unsigned long bazaSpiskov, const char* tekst, int dlina);
    int Prozrachno();
    void NeProzrachno();
    int Pauza();

    // Navigation handler subscriptions.
    void vklNav(ZYS_SOOB_iFYN* zapisi, unsigned int kol);
    void vklNav(ZYS_SOOB_snFYN* zapisi, unsigned int kol);
    void vklNav(ZYS_SOOB_iFYN_P* zapisi, unsigned int kol);
    void vklNav(ZYS_SOOB_snFYN_P* zapisi, unsigned int kol);
    unsigned long vwklNav(unsigned int soob, unsigned int prioritet);
    unsigned long VzKolVklNav(unsigned int soob, unsigned int prioritet);
    unsigned long vwklSoob(unsigned int soob);

    // Object messages and focus.
    void VklObjSoob(ZYS_OBJ_SOOB_iFYN* zapisi, unsigned int kol);
    void VklObjSoob(ZYS_OBJ_SOOB_snFYN* zapisi, unsigned int kol);
    unsigned long VwklObjSoob(unsigned long obj, unsigned int soob);
    unsigned long PuskObjSoob(unsigned long obj, const MSG& soob);
    unsigned long VklFokys(unsigned long obj);
    unsigned long VzFokys();
    unsigned long VzMinObjKlav();
    unsigned long VzMaxObjKlav();
    unsigned long VzMenObjKlav(unsigned long obj);
    unsigned long VzBolObjKlav(unsigned long obj);
    unsigned long VzKolIm();
    unsigned long VzIm(unsigned long i);
    unsigned long VzImObj();
};

// ---- Navigator ------------------------------------------------------------------------------

class ZYKGLORVANTA2_API ZYKGLORVANTA2 {
public:
    ZYKGLKONTROL* controllers; // one per view window
    unsigned long windowCount;
    WNDPROC oldParentProc;     // the parent's procedure before Pusk subclassed it
    HWND parentWindow;         // null = desktop
    HRGN parentRegion;         // the parent's window region built by transparency
    HRGN parentRegionAux;

    ZYKGLORVANTA2();
    ~ZYKGLORVANTA2();
    unsigned long KolOkon(unsigned long count);
    // Builds the window set in `parent` (null = desktop). 1 on success, 0 on failure.
    unsigned long Pusk(void* parent, unsigned long count, SGL_OKNO* windows,
                       SGL_SCENA_PARAM* scenes);

private:
    ZYKGLORVANTA2(const ZYKGLORVANTA2&) = delete;
    ZYKGLORVANTA2& operator=(const ZYKGLORVANTA2&) = delete;
};

// ---- Rendering support ("ZyGLStandart") ------------------------------------------------------

// Sets the pixel format of a window or device context; returns the device context or null.
ZYKGLORVANTA2_API void* ZyUstanovitPikselnyyFormat(void* oknoIliDC, PIXELFORMATDESCRIPTOR* pfd);
// The palette of the 256 colour numbers scenes draw with (entry 0 black, 1..7 the primaries,
// 10..249 hues by shade, 250..255 greys); entries 1..255 carry `flagi`. The caller owns it.
ZYKGLORVANTA2_API HPALETTE ZySozdatPalitruAutoCAD(unsigned char flagi);
// Edits a number by a command text: "2.5" sets, "+2" "-2" "*2" "/2" change its magnitude.
ZYKGLORVANTA2_API void ZyIzmenitZnachenie(double* znachenie, char* tekst);

// ---- Diagnostics ----------------------------------------------------------------------------

// Observer of every tone the engine sounds (frequency Hz, length ms), called on the sounding
// thread before Beep. Returns the previous observer; null removes it.
typedef void (*ZYF_ZVUK)(unsigned long chastota, unsigned long dlitelnost);
ZYKGLORVANTA2_API ZYF_ZVUK ZyVsNabljudatelZvuka(ZYF_ZVUK nabljudatel);

// How the view pictures reach the screen: chosen by the platform (under Wine through an
// offscreen target and a GDI copy, elsewhere directly on the window), or forced either way.
enum : long { ZY_POKAZ_AVTO = 0, ZY_POKAZ_PRJAMO = 1, ZY_POKAZ_GDI = 2 };
// Forces the path of the rendering contexts made from now on (for tests; the product chooses
// by itself); returns the previous setting.
ZYKGLORVANTA2_API long ZyVsPutPokaza(long put);

} // namespace Quorvel

// ---- Table dispatchers, handlers, built-in scene (plain export names) -----------------------

typedef LRESULT (*ZYF_OKNO)(HWND, UINT, WPARAM, LPARAM);
typedef LRESULT (*ZYF_KOMANDA)(HWND, WORD, WORD, LPARAM);

// One (message, handler) pair of a DispatchTable.
struct ZYS_DELITEL_PARA {
    unsigned long soob;
    ZYF_OKNO fyn;
};
#pragma pack(push, 1)
// One (command identifier, handler) entry of a WM_COMMAND table, packed.
struct ZYS_DELITEL_KOMANDA {
    unsigned short id;
    ZYF_KOMANDA fyn;
};
#pragma pack(pop)

// Default processing bits of DispatchTable::flags; the first set bit wins.
enum : unsigned long {
    ZYD_DEFWINDOWPROC = 0x01,
    ZYD_DEFDLGPROC = 0x02,
    ZYD_DEFFRAMEPROC = 0x04,
    ZYD_DEFMDICHILDPROC = 0x08,
    ZYD_CALLWINDOWPROC = 0x10,
};

struct DispatchTable {
    unsigned long flags; // default processing of unlisted messages (ZYD_*)
    long count;          // number of items
    void* items;         // ZYS_DELITEL_PARA[] or ZYS_DELITEL_KOMANDA[]
    WNDPROC prevProc;    // procedure replaced by subclassing, may be null
};

extern "C" {
ZYKGLORVANTA2_API LRESULT ZyDelitelWM(DispatchTable* table, HWND okno, UINT soob, WPARAM wParam,
                                      LPARAM lParam);
ZYKGLORVANTA2_API LRESULT ZyDelitelWMCommand(DispatchTable* table, HWND okno, WPARAM wParam,
                                             LPARAM lParam);
ZYKGLORVANTA2_API LRESULT ZyDelitelDef(DispatchTable* table, HWND okno, UINT soob, WPARAM wParam,
                                       LPARAM lParam);
// A new font from the non-client metrics: 0 caption, 1 small caption, 2 menu, 3 status,
// 4 message box; null above 4. The caller deletes it.
ZYKGLORVANTA2_API HFONT ZySistemnwjShrift(unsigned long index);

// The engine's main handlers.
ZYKGLORVANTA2_API int WMSize(MSG* soob);
ZYKGLORVANTA2_API int WMWindowPosChangedParentZyGL(MSG* soob);
ZYKGLORVANTA2_API int WMPaint(MSG* soob);
ZYKGLORVANTA2_API int WMKeyDown(MSG* soob);
ZYKGLORVANTA2_API int WMChar(MSG* soob);
ZYKGLORVANTA2_API int WMKeyUp(MSG* soob);
ZYKGLORVANTA2_API int WMSetFocus(MSG* soob);
ZYKGLORVANTA2_API int WMKillFocus(MSG* soob);
ZYKGLORVANTA2_API int WMMouseMove(MSG* soob);
ZYKGLORVANTA2_API int WMDestroy(MSG* soob);

// The built-in scene: constructor, intermission, frame, end of frame; an object handler.
ZYKGLORVANTA2_API long ZyGLScenaNach1(Quorvel::ZYKGLKONTROL* kontrol);
ZYKGLORVANTA2_API long ZyGLScenaNach2(Quorvel::ZYKGLKONTROL* kontrol);
ZYKGLORVANTA2_API long ZyGLScenaNach3(Quorvel::ZYKGLKONTROL* kontrol);
ZYKGLORVANTA2_API long ZyGLScenaNach4(Quorvel::ZYKGLKONTROL* kontrol);
ZYKGLORVANTA2_API int TestSoob(MSG* soob);
}

#endif // ZYKGLORVANTA2_H
