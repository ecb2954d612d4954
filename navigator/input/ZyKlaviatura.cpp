// Keyboard navigation: the main handlers of WM_KEYDOWN, WM_KEYUP and WM_CHAR turn keys into
// navigation state (flag bits, the signs and sizes of the six speeds, the typed number); the
// frame step of the point of observation turns that state into motion.
//
// The navigation cluster (extended keys, lParam bit 24) moves, the numeric keypad with Num Lock
// off turns. An auto-repeated key-down (lParam bit 30) is ignored except by Tab, Insert and
// Shift+F2/F3. Ctrl and Shift are read with GetAsyncKeyState when the message is handled.
#include "ZyReestr.h"
#include "ZyZvuk.h"

#include <cmath>
#include <cstring>

namespace Quorvel {

namespace {

constexpr std::size_t kMaksTeksta = 14; // characters of a typed number

enum : int { GLAZ = 0, CEL = 1 }; // points of the navigation frame used here

// One motion key: the speed it drives, its motion bit and its held-key bit.
struct Dvizhenie {
    int os;             // index into SkorostNav
    unsigned long bit;  // motion bit (1..6)
    unsigned long klav; // held-key bit (7..12)
};
constexpr Dvizhenie kVbok{0, 1, 7};     // grey Left / Right: along the side axis
constexpr Dvizhenie kVpered{1, 2, 8};   // grey Up / Down: along the view axis
constexpr Dvizhenie kVverh{2, 3, 9};    // grey Page Up / Down: along the up axis
constexpr Dvizhenie kKivok{3, 4, 10};   // keypad Up / Down: about the side axis
constexpr Dvizhenie kKren{4, 5, 11};    // keypad Page Up / Down: about the view axis
constexpr Dvizhenie kPovorot{5, 6, 12}; // keypad Left / Right: about the up axis

// The key is held now (high bit of the asynchronous key state).
bool Derzhitsja(int klavisha) {
    return (GetAsyncKeyState(klavisha) & 0x8000) != 0;
}

// The message came from the navigation cluster (extended-key flag, lParam bit 24).
bool Rasshirennaja(const MSG& m) {
    return ((static_cast<unsigned long>(m.lParam) >> 24) & 1u) != 0;
}

// The key-down is an auto-repeat (previous key state, lParam bit 30).
bool Povtor(const MSG& m) {
    return ((static_cast<unsigned long>(m.lParam) >> 30) & 1u) != 0;
}

// Asks the controller thread for a paint.
void ZakazatKadr(const ZYKGLKONTROL& k) {
    PostThreadMessageA(k.threadId, WM_PAINT, 0, 0);
}

// The typed number, zero-terminated within its field (a scene may have written the field).
char* Tekst(ZYKGLKONTROL& k) {
    k.valueText[sizeof k.valueText - 1] = '\0';
    return k.valueText;
}

// Applies the typed number to `znachenie` and empties it; false when nothing was typed.
bool PrimenitTekst(ZYKGLKONTROL& k, double& znachenie) {
    char* t = Tekst(k);
    if (t[0] == '\0') return false;
    ZyIzmenitZnachenie(&znachenie, t);
    t[0] = '\0';
    return true;
}

// Applies the typed number to the speed of a motion; a motion already running is latched, so
// that it survives the release of its key.
void PrimenitKSkorosti(ZYKGLKONTROL& k, const Dvizhenie& d) {
    if (PrimenitTekst(k, k.SkorostNav[d.os]) && ZyBit(k, d.bit)) ZyVsBit(k, ZYBIT_ZASHCHELKA, true);
}

// Gives speed `os` the sign of the key: positive or negative, the magnitude kept.
void Znak(ZYKGLKONTROL& k, int os, bool pljus) {
    const double modul = std::fabs(k.SkorostNav[os]);
    k.SkorostNav[os] = pljus ? modul : -modul;
}

// A motion key goes down: typed number, sign, motion and held-key bits.
void Nachat(ZYKGLKONTROL& k, const Dvizhenie& d, bool pljus) {
    ZyVsBit(k, ZYBIT_DVIZHETSJA, true);
    PrimenitKSkorosti(k, d);
    Znak(k, d.os, pljus);
    ZyVsBit(k, d.bit, true);
    ZyVsBit(k, d.klav, true);
}

// A motion key goes up: the motion stops unless latched; the latch is used up.
void Zakonchit(ZYKGLKONTROL& k, const Dvizhenie& d) {
    if (!ZyBit(k, ZYBIT_ZASHCHELKA)) ZyVsBit(k, d.bit, false);
    ZyVsBit(k, d.klav, false);
    ZyVsBit(k, ZYBIT_ZASHCHELKA, false);
}

// Moves the four points of PozNav along the normalised view axis by `shag`.
void SdvinutVpered(ZYKGLKONTROL& k, double shag) {
    VEKTOR3MDF v{k.PozNav[CEL].x - k.PozNav[GLAZ].x, k.PozNav[CEL].y - k.PozNav[GLAZ].y,
                 k.PozNav[CEL].z - k.PozNav[GLAZ].z};
    v.Normal();
    k.SdvigTochek(VEKTOR3MDF{v.x * shag, v.y * shag, v.z * shag}, k.PozNav, 4);
}

// Grey Up / Down: along the view axis, or (orbit mode without Ctrl) the orbit distance only.
// The first Ctrl+Up/Down in orbit mode only shows the focus plane.
void VdolOsiVzgljada(ZYKGLKONTROL& k, bool vverh) {
    const bool orbita = ZyBit(k, ZYBIT_ORBITA);
    ZyVsBit(k, ZYBIT_DVIZHETSJA, true);
    PrimenitKSkorosti(k, kVpered);
    ZyVsBit(k, ZYBIT_ORBITA_DISTANCIJA, !Derzhitsja(VK_CONTROL) && orbita);
    const bool distancija = ZyBit(k, ZYBIT_ORBITA_DISTANCIJA);
    Znak(k, kVpered.os, distancija ? !vverh : vverh);
    ZyVsBit(k, kVpered.bit, true);
    ZyVsBit(k, kVpered.klav, true);
    if (orbita && !ZyBit(k, ZYBIT_ORBITA_PLOSKOST) && !distancija) {
        ZyVsBit(k, ZYBIT_ORBITA_PLOSKOST, true);
        ZyVsBit(k, ZYBIT_PLOSKOST_VSEGDA, true);
        ZakazatKadr(k);
        ZyVsBit(k, kVpered.bit, false);
        ZyVsBit(k, kVpered.klav, false);
    }
}

// Home: Ctrl+Home the initial frame; in orbit mode the orbit distance back to 1 with the view
// kept; otherwise the saved position is loaded again. The keypad Home only repaints.
void Domoj(ZYKGLKONTROL& k, bool rasshirennaja) {
    ZakazatKadr(k);
    if (!rasshirennaja) return;
    if (Derzhitsja(VK_CONTROL)) {
        k.VsPozNavV0();
    } else if (ZyBit(k, ZYBIT_ORBITA)) {
        ZyVsBit(k, ZYBIT_PLOSKOST_VSEGDA, true);
        std::memcpy(k.PozNav, k.PozNavVid, sizeof k.PozNav);
        k.Distancija = 1.0;
        SdvinutVpered(k, k.Distancija);
        k.Distancija = 1.0;
    } else {
        k.VzPozNavIzF();
        ZakazatKadr(k);
    }
}

// Scroll Lock: orbit mode follows the lock. Entering it moves the eye ahead by the orbit
// distance (the viewed position stays); leaving it puts the eye where the view was.
void ScrollLock(ZYKGLKONTROL& k) {
    ZakazatKadr(k);
    const bool zamok = ZyBit(k, ZYBIT_SCROLL_LOCK), orbita = ZyBit(k, ZYBIT_ORBITA);
    if (zamok && !orbita) {
        ZyVsBit(k, ZYBIT_ORBITA, true);
        ZyVsBit(k, ZYBIT_PLOSKOST_VSEGDA, true);
        ZyVsBit(k, ZYBIT_ORBITA_PLOSKOST, true);
        SdvinutVpered(k, k.Distancija);
    } else if (!zamok && orbita) {
        ZyVsBit(k, ZYBIT_ORBITA, false);
        ZyVsBit(k, ZYBIT_ORBITA_PLOSKOST, false);
        std::memcpy(k.PozNav, k.PozNavVid, sizeof k.PozNav);
    }
}

// Tab in object-key mode: the focus goes to the next keyboard object (Shift: the previous),
// wrapping at either end; with no focus to the smallest.
void Tab(ZYKGLKONTROL& k) {
    if (!ZyBit(k, ZYBIT_KLAVISHI_OBJ)) return;
    const unsigned long fokys = k.VzFokys();
    if (fokys == 0) {
        k.VklFokys(k.VzMinObjKlav());
        return;
    }
    unsigned long sled;
    if (Derzhitsja(VK_SHIFT)) {
        sled = k.VzMenObjKlav(fokys);
        if (sled == fokys) sled = k.VzMaxObjKlav();
    } else {
        sled = k.VzBolObjKlav(fokys);
        if (sled == fokys) sled = k.VzMinObjKlav();
    }
    k.VklFokys(sled);
}

// F2 / F3: a step back / forward in the scene history (Shift, also on repeat); without Shift
// and not on repeat, Ctrl goes to the first / last scene.
void Istorija(ZYKGLKONTROL& k, bool povtor, unsigned long shag, unsigned long kraj) {
    if (Derzhitsja(VK_SHIFT)) {
        k.Scena(shag, 1);
        return;
    }
    if (povtor) return;
    k.Scena(Derzhitsja(VK_CONTROL) ? kraj : shag, 1);
}

// The keys that act on an auto-repeat too (F2 / F3 only with Shift).
bool PovtorjaetSja(WPARAM klavisha) {
    return klavisha == VK_TAB || klavisha == VK_INSERT ||
           ((klavisha == VK_F2 || klavisha == VK_F3) && Derzhitsja(VK_SHIFT));
}

// Step 6 of a key-down: the key's own action.
void Klavisha(ZYKGLKONTROL& k, const MSG& m) {
    const bool ext = Rasshirennaja(m), povtor = Povtor(m);
    const bool orbita = ZyBit(k, ZYBIT_ORBITA);
    if (povtor && !PovtorjaetSja(m.wParam)) return;
    switch (m.wParam) {
    case VK_BACK:
        PrimenitTekst(k, k.IzmSkorosti);
        ZyVsBit(k, ZYBIT_USKORIT, false);
        ZyVsBit(k, ZYBIT_ZAMEDLIT, true);
        break;
    case VK_TAB:
        Tab(k);
        break;
    case VK_SPACE:
        PrimenitTekst(k, k.IzmSkorosti);
        ZyVsBit(k, ZYBIT_ZAMEDLIT, false);
        ZyVsBit(k, ZYBIT_USKORIT, true);
        break;
    case VK_PRIOR:
    case VK_NEXT:
        Nachat(k, ext ? kVverh : kKren, m.wParam == VK_PRIOR);
        break;
    case VK_HOME:
        Domoj(k, ext);
        break;
    case VK_LEFT:
    case VK_RIGHT:
        if (ext)
            Nachat(k, kVbok, m.wParam == VK_RIGHT);
        else
            Nachat(k, kPovorot, (m.wParam == VK_RIGHT) != orbita);
        break;
    case VK_UP:
    case VK_DOWN:
        if (ext)
            VdolOsiVzgljada(k, m.wParam == VK_UP);
        else
            Nachat(k, kKivok, (m.wParam == VK_UP) != orbita);
        break;
    case VK_INSERT:
        ZyVsBit(k, ZYBIT_ZASHCHELKA, true);
        break;
    case VK_DELETE:
        if (ZyBit(k, ZYBIT_ORBITA_PLOSKOST)) {
            ZyVsBit(k, ZYBIT_ORBITA_PLOSKOST, false);
        } else {
            Tekst(k)[0] = '\0';
            ZyVsBit(k, ZYBIT_ZASHCHELKA, false);
        }
        ZakazatKadr(k);
        break;
    case 'S':
        // NOTE: the tone tells the user the position was stored, so a failed store is silent.
        if (Derzhitsja(VK_CONTROL) && k.VsPozNavVF()) ZyZvuk(440, 30);
        break;
    case VK_F2:
        Istorija(k, povtor, ZYH_NAZAD, ZYH_PERVAJA);
        break;
    case VK_F3:
        Istorija(k, povtor, ZYH_VPERED, ZYH_POSLEDNJAJA);
        break;
    case VK_SCROLL:
        ScrollLock(k);
        break;
    default:
        break;
    }
}

// The motion a key-up ends, or null for the keys that end none.
const Dvizhenie* DvizhenieKlavishi(const MSG& m) {
    const bool ext = Rasshirennaja(m);
    switch (m.wParam) {
    case VK_PRIOR:
    case VK_NEXT:
        return ext ? &kVverh : &kKren;
    case VK_LEFT:
    case VK_RIGHT:
        return ext ? &kVbok : &kPovorot;
    case VK_UP:
    case VK_DOWN:
        return ext ? &kVpered : &kKivok;
    default:
        return nullptr;
    }
}

// A character that may be part of a typed number.
bool ZnakChisla(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

} // namespace

} // namespace Quorvel

using namespace Quorvel;

// WM_KEYDOWN: Pause, then the object-key mode that follows Num Lock, then the key's action.
int WMKeyDown(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k) return 0;
    if (soob->wParam == VK_PAUSE && !Povtor(*soob)) {
        ZyVsBit(*k, ZYBIT_PAUZA, !ZyBit(*k, ZYBIT_PAUZA));
        ZakazatKadr(*k);
    }
    if (ZyBit(*k, ZYBIT_PAUZA) || ZyBit(*k, ZYBIT_BEZ_KLAVIATURY)) return 0;
    const bool obj = ZyBit(*k, ZYBIT_KLAVISHI_OBJ), numLock = ZyBit(*k, ZYBIT_NUM_LOCK);
    if (!obj && numLock) {
        // The key that turns object-key mode on does nothing else.
        ZyVsBit(*k, ZYBIT_KLAVISHI_OBJ, true);
        if (k->VzFokys() == 0) k->VklFokys(k->VzMinObjKlav());
        return 0;
    }
    if (obj && !numLock) ZyVsBit(*k, ZYBIT_KLAVISHI_OBJ, false);
    if (ZyBit(*k, ZYBIT_KLAVISHI_OBJ) && soob->wParam != VK_TAB) return 0;
    Klavisha(*k, *soob);
    return 0;
}

// WM_KEYUP: ends the speed change or the motion of the key; bit 15 goes once nothing moves.
int WMKeyUp(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k || ZyBit(*k, ZYBIT_KLAVISHI_OBJ)) return 0;
    if (soob->wParam == VK_BACK) ZyVsBit(*k, ZYBIT_ZAMEDLIT, false);
    if (soob->wParam == VK_SPACE) ZyVsBit(*k, ZYBIT_USKORIT, false);
    if (const Dvizhenie* d = DvizhenieKlavishi(*soob)) Zakonchit(*k, *d);
    if (!k->Flagi.Test(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5)) ZyVsBit(*k, ZYBIT_DVIZHETSJA, false);
    return 0;
}

// WM_CHAR: collects the typed number (at most 14 characters); "*" and "/" start it anew.
int WMChar(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k || ZyBit(*k, ZYBIT_KLAVISHI_OBJ)) return 0;
    const char c = static_cast<char>(static_cast<signed char>(soob->wParam & 0xFF));
    char* t = Tekst(*k);
    if (ZnakChisla(c)) {
        const std::size_t dlina = std::strlen(t);
        if (dlina < kMaksTeksta) {
            t[dlina] = c;
            t[dlina + 1] = '\0';
        }
    } else if (c == '*' || c == '/') {
        t[0] = c;
        t[1] = '\0';
    }
    return 0;
}
