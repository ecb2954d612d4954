// ZYKGLKONTROL: construction, reset, move-assignment and destruction of the controller.
//
// The controller is a plain record that scene modules read and write directly, so its layout
// is fixed (the sizes below hold for the 32-bit deliverable). Its threads live in
// ZyKontrolPotok.cpp; its scene loading in ZyScena.cpp.
#include "ZyKGLOrvanta2.h"

#include "ZyKeshModulej.h"
#include "ZyKontrolVnutr.h"
#include "ZyPozNav.h"
#include "ZyReestrSoob.h"
#include "ZyReestrSpiskov.h"
#include "ZyScenaNach.h"
#include "ZyTakt.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace Quorvel {

// Records whose byte layout scene modules, hosts and stored files rely on.
static_assert(sizeof(ZYS_POZ_NAV) == 264, "navigation record");
static_assert(sizeof(ZYS_ZAG_ISTORII) == 24, "history header copy");
#if defined(__i386__)
static_assert(sizeof(SGL_OKNO) == 28, "window description");
static_assert(sizeof(SGL_SCENA_PARAM) == 20, "first-scene record");
static_assert(sizeof(ZYS_ADR_SCENW) == 16, "scene names");
static_assert(sizeof(ZYS_SOOB_iFYN) == 8, "subscription record");
static_assert(sizeof(ZYS_SOOB_iFYN_P) == 12, "subscription record with order key");
static_assert(sizeof(ZYS_OBJ_SOOB_iFYN) == 12, "object subscription record");
static_assert(sizeof(ZYS_FYN_SCENW) == 12, "scene-function record");
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format");
static_assert(sizeof(ZYKGLORVANTA2) == 24, "navigator");
#endif

namespace {

// Names generated so far in this process (part of every event name).
std::atomic<unsigned long> schetchikImen{0};

// "hZyGL" and sqrt(r + t + k) with five decimals, cut to 15 characters: r from the runtime's
// generator seeded anew with the time, t the tick count, k the process-wide name counter.
void GenImjaSobytija(char (&imja)[16]) {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const double r = std::rand();
    const double t = GetTickCount();
    const double k = ++schetchikImen;
    char tekst[64];
    std::snprintf(tekst, sizeof tekst, "%s%.5f", "hZyGL", std::sqrt(r + t + k));
    std::memcpy(imja, tekst, 15);
    imja[15] = '\0';
}

// An auto-reset, unsignalled event with a freshly generated name. The generated names only
// need to differ, but two names can coincide once the text is cut to 15 characters (and other
// processes generate names too): an existing object is never shared, a new name is taken
// instead, and after a few tries the event is created without a name.
HANDLE SozdatSobytie(char (&imja)[16]) {
    for (int popytka = 0; popytka < 8; ++popytka) {
        GenImjaSobytija(imja);
        HANDLE h = CreateEventA(nullptr, FALSE, FALSE, imja);
        if (h && GetLastError() != ERROR_ALREADY_EXISTS) return h;
        if (h) CloseHandle(h);
    }
    return CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

// Closes a handle field and clears it.
void Zakryt(HANDLE& h) {
    if (h) CloseHandle(h);
    h = nullptr;
}

// Everything the controller owns, released; each field is skipped when null. Neither the
// threads nor the rendering contexts are touched (they end with the window).
void OsvoboditVse(ZYKGLKONTROL& k) {
    ZyScenaNachZabyt(&k);
    Zakryt(k.replyEvent);
    Zakryt(k.windowOpEvent);
    Zakryt(k.frameEvent);
    ZyReestrDes(k.messageRegistry);
    k.messageRegistry = nullptr;
    delete k.pickedNames;
    k.pickedNames = nullptr;
    delete k.ZagrModuli; // FreeLibrary for every cached scene module
    k.ZagrModuli = nullptr;
    delete k.FajlIstorii;
    k.FajlIstorii = nullptr;
    delete k.Takt;
    k.Takt = nullptr;
    ZySpiskiDes(k.SpiskiImena);
    k.SpiskiImena = nullptr;
    for (ZYS_FYN_SCENW& f : k.Fynkcii) {
        delete[] f.imja;
        f = ZYS_FYN_SCENW{};
    }
    delete[] k.Flagi.dannye;
    k.Flagi.dannye = nullptr;
    k.Flagi.dlinaBajt = 0;
    k.Flagi.kolBit = 0;
}

// The identity matrix.
MATRICA_DF4x4 Edinichnaja() {
    MATRICA_DF4x4 m{};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0;
    return m;
}

} // namespace

// An empty flag vector, then the reset.
ZYKGLKONTROL::ZYKGLKONTROL() : Flagi() {
    (*this)();
}

// Takes over everything `other` owns (the source is left all zero).
ZYKGLKONTROL::ZYKGLKONTROL(const ZYKGLKONTROL& other) : Flagi() {
    // The other fields are still indeterminate: zero them so that the assignment does not
    // mistake this object for an initialised one.
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    *this = other;
}

// A move in the clothes of a copy: this object's own contents are released first (when it is
// initialised), then every byte of `other` is taken over and `other` is zeroed, so its
// destructor releases nothing. Threads that already run for `other` keep its old address, so
// only controllers without threads are moved.
ZYKGLKONTROL& ZYKGLKONTROL::operator=(const ZYKGLKONTROL& other) {
    if (this == &other) return *this;
    if (initMarker.Ml == 0xFFFFFFFFul && initMarker.St == 0xFFFFFFFFul) OsvoboditVse(*this);
    std::memcpy(static_cast<void*>(this), static_cast<const void*>(&other), sizeof *this);
    std::memset(static_cast<void*>(const_cast<ZYKGLKONTROL*>(&other)), 0, sizeof other);
    return *this;
}

// Releases the owned objects and unloads the scene modules (see OsvoboditVse).
ZYKGLKONTROL::~ZYKGLKONTROL() {
    OsvoboditVse(*this);
}

// Reset: every field to its initial value, the three events created, the owned objects
// allocated (a field stays null when its allocation fails), 78 clear flags, the navigation
// snapshot taken from the defaults. What the object owned before is not released, so this is
// only for fresh or zeroed objects.
void ZYKGLKONTROL::operator()() {
    std::memset(static_cast<void*>(this), 0, sizeof *this);
    razmer = sizeof(ZYKGLKONTROL);
    replyEvent = SozdatSobytie(ImjaSobytija);
    windowOpEvent = SozdatSobytie(ImjaSobytija);
    frameEvent = SozdatSobytie(ImjaSobytija);
    messageRegistry = ZyReestrSozdat();
    pickedNames = new (std::nothrow) std::vector<unsigned long>();
    mouseRestDelay = 1000;
    FajlIstorii = new (std::nothrow) ZYKFAJL64();
    KlyuchevojCvet = 0xFF000000ul;
    TajmautCikla = -1;
    TajmautAntrakta = -1;
    fps = 25;
    Takt = new (std::nothrow) ZYKTAKT();
    SpiskiImena = ZySpiskiSozdat();
    showCommand = SW_SHOW;
    ZagrModuli = new (std::nothrow) ZYKKESH_MODULEJ();
    Flagi.Nado(ZY_KOL_FLAGOV, 0);
    const double skorosti[6] = {1.0, 1.0, 1.0, 30.0, 30.0, 30.0};
    std::memcpy(SkorostNav, skorosti, sizeof SkorostNav);
    IzmSkorosti = 10.0;
    Matrica = Edinichnaja();
    PozNav[0] = {0.0, 0.0, 0.0};
    PozNav[1] = {0.0, 0.0, -1000.0};
    PozNav[2] = {0.0, 1000.0, 0.0};
    PozNav[3] = {1000.0, 0.0, 0.0};
    for (int i = 0; i < 4; ++i)
        PozNavVid[i] = PozNav[i];
    fovy = 30.0;
    zNear = 0.01;
    zFar = 1e20;
    Distancija = 1.0;
    ZyUpakovatPozNav(*this, SnimokNav);
    initMarker = ZYKNB64{0xFFFFFFFFul, 0xFFFFFFFFul};
}

// The untranslated error box of the engine's threads.
void ZyOshibkaPotoka(const char* tekst) {
    MessageBoxA(nullptr, tekst, "ZYKGLKONTROL", MB_ICONERROR);
}

// Waits for the handles while answering sent messages (never posted ones: those stay queued
// for the thread's own loop).
DWORD ZyZhdatObsluzhivaja(DWORD kol, const HANDLE* h, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD ostalos = INFINITE;
        if (ms != INFINITE) {
            const DWORD proshlo = GetTickCount() - start;
            if (proshlo >= ms) return WAIT_TIMEOUT;
            ostalos = ms - proshlo;
        }
        const DWORD rc = MsgWaitForMultipleObjects(kol, h, FALSE, ostalos, QS_SENDMESSAGE);
        if (rc != WAIT_OBJECT_0 + kol) return rc;
        MSG m;
        // NOTE: a peek restricted to sent messages delivers them and removes nothing else.
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace Quorvel
