// Scene loading: the four scene functions found by "module\function" names, remembered per
// window in "AdresaFyn.txt", chosen from the window's history, and a new scene's constructor
// run while the old scene's intermission is shown.
#include "ZyKGLOrvanta2.h"

#include "ZyAdresaFyn.h"
#include "ZyIstorija.h"
#include "ZyKeshModulej.h"
#include "ZyKontrolVnutr.h"
#include "ZyPozNav.h"
#include "ZyReestrSpiskov.h"

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace Quorvel {

namespace {

// Bytes of "AdresaFyn.txt" that are read; the engine rewrites the file after every load, so a
// larger (damaged or foreign) file only has its beginning looked at.
constexpr uint64_t ZY_MAKS_ADRESA = 4u << 20;

// How long the controller waits for the window thread to show or hide the auxiliary window.
// The window thread answers at once when it runs its loop; the bound only keeps a controller
// from hanging on a window thread that is stuck or gone.
constexpr DWORD ZY_OZHIDANIE_OKNA_MS = 10000;

// Access, disposition and attributes of the per-window files (arguments of CreateFileA).
constexpr unsigned long ZY_ZAPIS = 0x40000000ul;
constexpr unsigned long ZY_OTKRYT_ILI_SOZDAT = 4;
constexpr unsigned long ZY_OBYCHNYJ = 0x80;

// Replaces the owned name of a slot (null or a failed allocation leaves it empty).
void VsImja(ZYS_FYN_SCENW& slot, const char* imja) {
    char* novoe = nullptr;
    if (imja) {
        const size_t n = std::strlen(imja);
        novoe = new (std::nothrow) char[n + 1];
        if (novoe) std::memcpy(novoe, imja, n + 1);
    }
    delete[] slot.imja;
    slot.imja = novoe;
}

// The whole (or the first ZY_MAKS_ADRESA bytes) of an open file.
std::string Soderzhimoe(ZYKFAJL64& f) {
    const uint64_t razmer = ZyU64(f.Razmer);
    std::string t;
    if (razmer == 0) return t;
    t.resize(static_cast<size_t>(razmer < ZY_MAKS_ADRESA ? razmer : ZY_MAKS_ADRESA));
    if (f.Kop(&t[0], ZyNb(0), static_cast<unsigned long>(t.size())) == 0) t.clear();
    return t;
}

// Rewrites "AdresaFyn.txt" with the current names.
void ZapisatAdresa(ZYKFAJL64& f, const ZYKGLKONTROL& k) {
    const char* imena[4] = {k.Fynkcii[0].imja, k.Fynkcii[1].imja, k.Fynkcii[2].imja,
                            k.Fynkcii[3].imja};
    const std::string t = ZyTekstAdresa(imena);
    if (f.FIN(ZyNb(0)) == 0) return;
    f.Kop(ZyNb(0), t.data(), static_cast<unsigned long>(t.size()));
}

// The controller's header copy as plain numbers, and back.
ZYS_POZICII_ISTORII Pozicii(const ZYS_ZAG_ISTORII& z) {
    return {ZyU64(z.TekPoz), z.TekNom, ZyU64(z.PoslPoz), z.PoslNom};
}
ZYS_ZAG_ISTORII Zagolovok(const ZYS_POZICII_ISTORII& p) {
    return {ZyNb(p.tekPoz), p.tekNom, ZyNb(p.poslPoz), p.poslNom};
}

// Takes the navigation snapshot and the four names of a checked entry into the controller.
void VzjatZapis(ZYKGLKONTROL& k, const std::vector<unsigned char>& zapis) {
    std::memcpy(&k.SnimokNav, zapis.data() + 8, sizeof k.SnimokNav);
    const char* imja = reinterpret_cast<const char*>(zapis.data() + 272);
    for (ZYS_FYN_SCENW& slot : k.Fynkcii) {
        VsImja(slot, imja);
        imja += std::strlen(imja) + 1;
    }
}

// How often the wait for the window thread looks whether the view window still exists.
constexpr DWORD ZY_SHAG_OKNA_MS = 20;

// Shows (0x407) or hides (0x408) the auxiliary window through the window thread and waits
// until it has done so. SendNotifyMessageA does not block this thread. NOTE: a view window
// destroyed before its thread got to the request never answers; the wait ends then too, so
// that closing the program during a scene change does not stall its exit.
void OknoDes(ZYKGLKONTROL& k, UINT soob) {
    ResetEvent(k.windowOpEvent);
    if (!k.hwnd || !SendNotifyMessageA(k.hwnd, soob, 0, 0)) return;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(k.windowOpEvent, ZY_SHAG_OKNA_MS) == WAIT_TIMEOUT)
        if (!IsWindow(k.hwnd) || GetTickCount() - start >= ZY_OZHIDANIE_OKNA_MS) return;
}

} // namespace

// Loads scene function `slot` (1..4) from "module\function" (split at the last backslash).
// Returns the slot, or 0 when the name cannot be split, the module not loaded or the function
// not found (the module is released again at once).
unsigned long ZYKGLKONTROL::ZagryzitFynkciu(const char* name, unsigned long slot) {
    if (!name || slot < 1 || slot > 4) return 0;
    const char* posl = std::strrchr(name, '\\');
    if (!posl || posl == name || posl[1] == '\0') return 0;
    const std::string modul(name, posl);
    // NOTE: no system dialog for a module that is missing or not a DLL; the caller falls back.
    DWORD rezhim = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &rezhim);
    HMODULE h = LoadLibraryA(modul.c_str());
    SetThreadErrorMode(rezhim, nullptr);
    if (!h) return 0;
    FARPROC f = GetProcAddress(h, posl + 1);
    if (!f) {
        FreeLibrary(h);
        return 0;
    }
    ZYS_FYN_SCENW& z = Fynkcii[slot - 1];
    // NOTE: through void(*)(), the one function type GCC lets any other be cast to silently.
    z.fyn = reinterpret_cast<ZYF_SCENA>(reinterpret_cast<void (*)()>(f));
    z.modul = h;
    if (ZagrModuli) ZagrModuli->Dobavit(h, name, *this);
    if (slot == 1) ZySpiskiSbrositKlyuch(SpiskiImena);
    return slot;
}

// Loads the four functions named by the slots. A slot whose name does not load takes the name
// from "AdresaFyn.txt", else the built-in default (and marks the scene as new); after slot 1
// the new constructor runs under the old intermission. Then "AdresaFyn.txt" is rewritten and
// the history updated. 0 only when even a built-in default does not load.
unsigned long ZYKGLKONTROL::ZagryzitSceny() {
    ZYKFAJL64 fajl;
    const std::string put = ZyPutOkna(index, "AdresaFyn.txt");
    // Without the file the names still load; only the remembered names are missing.
    const bool estFajl =
        fajl(put.c_str(), ZY_ZAPIS, 0, nullptr, ZY_OTKRYT_ILI_SOZDAT, ZY_OBYCHNYJ, nullptr) == 1;
    const std::string tekst = estFajl ? Soderzhimoe(fajl) : std::string();
    for (unsigned long s = 1; s <= 4; ++s) {
        ZYS_FYN_SCENW& slot = Fynkcii[s - 1];
        if (!ZagryzitFynkciu(slot.imja, s)) {
            ZyVklFlag(*this, ZYBIT_NOVAJA_SCENA);
            std::string znach;
            if (ZyNajtiZnachenie(tekst.data(), tekst.size(), ZyKlyuchiScenw[s - 1], znach) &&
                ZagryzitFynkciu(znach.c_str(), s)) {
                VsImja(slot, znach.c_str());
            } else {
                VsImja(slot, ZyImenaPoUmolchaniju[s - 1]);
                if (!ZagryzitFynkciu(ZyImenaPoUmolchaniju[s - 1], s)) return 0;
            }
        }
        if (s == 1) AntraktKonstryktor();
    }
    if (estFajl) ZapisatAdresa(fajl, *this);
    if (ZyFlag(*this, ZYBIT_NOVAJA_SCENA)) {
        ZyVwklFlag(*this, ZYBIT_NOVAJA_SCENA);
        Flagi.Vwkl(0, 24);
        VsPozNavV0();
        // The scene is loaded even when its history entry cannot be stored (the history
        // file cannot be opened): that is not a failure of the load.
        const unsigned long r = VFajlIstorii();
        return r ? r : 1;
    }
    if (ZyFlag(*this, ZYBIT_HODKA_ISTORII)) {
        ZyVwklFlag(*this, ZYBIT_HODKA_ISTORII);
        if (ZyFajlOtkryt(FajlIstorii)) FajlIstorii->Kop(ZyNb(0), &ZagIstorii, sizeof ZagIstorii);
    }
    return 1;
}

// Runs the new constructor. Once the window shows a scene (rendering context ready), the
// auxiliary window covers the view and the intermission thread draws the old Antrakt while
// the constructor runs; the drawing token comes back when it has finished its frame. In every
// case the navigation state is restored from the snapshot afterwards.
unsigned long ZYKGLKONTROL::AntraktKonstryktor() {
    if (ZyFlag(*this, ZYBIT_KONTEKST)) {
        ZyVklFlag(*this, ZYBIT_VIEWPORT);
        OknoDes(*this, ZYM_POKAZAT_DES);
        TajmautAntrakta = -1;
        SetEvent(frameEvent);
        if (IdAntrakta) PostThreadMessageA(IdAntrakta, WM_PAINT, 0, 0);
        TekstPauzy[0] = '\0';
        ZyVyzvatScenu(*this, 0);
        // The token; an intermission thread that has ended cannot give it back.
        const HANDLE h[2] = {frameEvent, PotokAntrakta};
        WaitForMultipleObjects(PotokAntrakta ? 2 : 1, h, FALSE, INFINITE);
        OknoDes(*this, ZYM_SKRYT_DES);
        PostThreadMessageA(GetCurrentThreadId(), WM_PAINT, 0, 0);
    }
    ZyRaspakovatPozNav(*this, SnimokNav);
    return 1;
}

// A new scene by names; a null name keeps its slot. The position of the scene being left is
// stored in its history entry first.
unsigned long ZYKGLKONTROL::NScena(const ZYS_ADR_SCENW& imena) {
    const char* const novye[4] = {imena.KonstryktorScenw, imena.Antrakt, imena.PokazScenw,
                                  imena.FinalScenw};
    for (int i = 0; i < 4; ++i)
        if (novye[i]) VsImja(Fynkcii[i], novye[i]);
    ZyVklFlag(*this, ZYBIT_NOVAJA_SCENA);
    VsPozNavVF();
    return ZagryzitSceny();
}

// The same with four separate names.
unsigned long ZYKGLKONTROL::NScena(const char* konstryktor, const char* antrakt, const char* pokaz,
                                   const char* final) {
    return NScena(ZYS_ADR_SCENW{konstryktor, antrakt, pokaz, final});
}

// Goes to a scene of the window's history. 0 on failure (or command 0), -1 when the history
// was empty and the scene came from "AdresaFyn.txt" or the defaults, otherwise the command
// performed (0x3E when the current entry did not change). A damaged header is rebuilt from
// the sound entries; a damaged entry ends a walk at the last sound one; nothing sound is lost.
long ZYKGLKONTROL::Scena(unsigned long command, unsigned long count) {
    if (command == 0) return 0;
    if (!ZyOtkrytIstoriju(*this)) return 0;
    if (command != ZYH_TEKUSHCHAJA) VsPozNavVF();
    ZYKFAJL64& f = *FajlIstorii;
    const ZYS_ISTORIJA ist = ZyIstorijaFajla(f);
    ZYS_ZAG_ISTORII zag{};
    if (ist.razmer < ZY_ZAGOLOVOK_ISTORII + ZY_MIN_ZAPIS || !ist.chitat(0, &zag, sizeof zag)) {
        return ZagryzitSceny() ? -1 : 0;
    }
    ZYS_POZICII_ISTORII p = Pozicii(zag);
    const ZYS_POZICII_ISTORII prochitano = p;
    const bool remont = !ZyZagolovokZdorov(ist, p);
    if (remont && !ZyVosstanovitZagolovok(ist, p, &prochitano)) {
        // Nothing sound to go to: start as with an empty history (the damaged bytes are
        // replaced by the next entry).
        ZagIstorii = ZYS_ZAG_ISTORII{};
        return ZagryzitSceny() ? -1 : 0;
    }
    const unsigned long sdelano = ZyShagIstorii(ist, p, command, count);
    std::vector<unsigned char> zapis;
    if (!ZyProchestZapis(ist, p.tekPoz, p.tekNom, zapis)) return 0; // checked by the walk
    ZagIstorii = Zagolovok(p);
    VzjatZapis(*this, zapis);
    if (sdelano != ZYH_TEKUSHCHAJA || remont) ZyVklFlag(*this, ZYBIT_HODKA_ISTORII);
    ZagryzitSceny();
    return static_cast<long>(sdelano);
}

// Module-cache capacity: 4 n (n scenes) when n > 1; returns the capacity.
long ZYKGLKONTROL::RazmerByfRazgr(long n) {
    return ZagrModuli ? ZagrModuli->VsEmkost(n) : 0;
}

} // namespace Quorvel
