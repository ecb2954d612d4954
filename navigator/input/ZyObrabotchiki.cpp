// The engine's own main handlers of the view-window messages: painting, size and position,
// focus and destruction. Each runs on the controller thread; the window slot of the message
// holds the controller.
#include "ZyKontrolVnutr.h"
#include "ZyPokaz.h"
#include "ZyProzrachnost.h"
#include "ZyReestr.h"
#include "ZyTakt.h"
#include "ZyZvuk.h"

namespace Quorvel {

namespace {

// Calls a scene function of the current scene when it is loaded.
void VyzvatScenu(ZYKGLKONTROL& k, int slot) {
    if (k.Fynkcii[slot].fyn) k.Fynkcii[slot].fyn(&k);
}

// Puts the palette that VsDCFormat replaced back into the device context and deletes ours.
void VernutPalitru(ZYKGLKONTROL& k) {
    if (k.StarajaPalitra && k.KontekstDC) SelectPalette(k.KontekstDC, k.StarajaPalitra, TRUE);
    // NOTE: the controller deletes only the palette it created, also when it was never
    // selected (a repeated VsDCFormat creates one without selecting it).
    if (k.Palitra) DeleteObject(k.Palitra);
    k.Palitra = nullptr;
    k.StarajaPalitra = nullptr;
}

// Puts the font that VsDCFormat replaced back into the device context and deletes ours.
void VernutShrift(ZYKGLKONTROL& k) {
    if (k.StaryjShrift && k.KontekstDC) SelectObject(k.KontekstDC, k.StaryjShrift);
    if (k.Shrift) DeleteObject(k.Shrift);
    k.Shrift = nullptr;
    k.StaryjShrift = nullptr;
}

// Releases the rendering context and the device context of the view window.
void OsvoboditKonteksty(ZYKGLKONTROL& k) {
    if (k.KontekstGL) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(k.KontekstGL);
        k.KontekstGL = nullptr;
    }
    ZyVsBit(k, ZYBIT_KONTEKST, false);
    ZyOsvoboditDCKonteksta(k.hwnd, k.KontekstDC);
    k.KontekstDC = nullptr;
}

// The drawing part of a paint: a new frame, unless a transparent picture is kept (then the
// last picture is shown again).
void NarisovatKadr(ZYKGLKONTROL& k) {
    RECT klient = {};
    GetClientRect(k.hwnd, &klient);
    if (!EqualRect(&klient, &k.KlientRect)) {
        k.KlientRect = klient;
        k.NeProzrachno();
    }
    if (ZyBit(k, ZYBIT_PROZRACHNO_EST) && ZyBit(k, ZYBIT_PROZRACHNO)) {
        ZyPovtoritKadr(k.KontekstDC);
        return;
    }

    ZyRazmerCeliPokaza(k.KontekstDC);
    if (k.Takt) k.Takt->Zhdat();
    ZyVsBit(k, ZYBIT_VIEWPORT, true);
    if (!ZyBit(k, ZYBIT_NE_DVIGAT)) k.PozicijaNabludenija(nullptr);
    VyzvatScenu(k, 2);
    // NOTE: the stored client rectangle compared above is also written by PozicijaNabludenija
    // (in this frame after the pacer's wait, on the intermission thread while a new scene is
    // built). A view made larger meanwhile has no size change left for the next paint to see,
    // and would keep the region of its old size, and with it a picture cut to the old size:
    // the region itself is checked.
    if (ZyBit(k, ZYBIT_PROZRACHNO))
        k.Prozrachno();
    else if (k.RegionOkna || ZyKlientVneRegiona(k.hwnd))
        k.NeProzrachno();
    VyzvatScenu(k, 3);
    ZyPokazatKadr(k.KontekstDC);
    ZyVsBit(k, ZYBIT_VIEWPORT, false);
    if (k.Takt) k.Takt->period = ZyPeriodKadra(k.fps);
    ZyZvuk(900 + 2 * k.threadId, 5);
}

} // namespace

void ZyOsvoboditRisovanie(ZYKGLKONTROL& k) {
    VernutPalitru(k);
    VernutShrift(k);
    OsvoboditKonteksty(k);
}

} // namespace Quorvel

using namespace Quorvel;

// WM_SIZE: nothing of its own; the viewport follows the window size at every paint.
int WMSize(MSG*) {
    return 0;
}

// 0x402 (the parent moved or was resized): nothing of its own; scenes may subscribe to it.
int WMWindowPosChangedParentZyGL(MSG*) {
    return 0;
}

// WM_SETFOCUS: nothing of its own.
int WMSetFocus(MSG*) {
    return 0;
}

// WM_KILLFOCUS: the next paint draws the scene again instead of keeping a transparent picture.
int WMKillFocus(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (k) ZyVsBit(*k, ZYBIT_PROZRACHNO_EST, false);
    return 0;
}

// WM_PAINT: shows the window at its first paint; while paused only swaps the buffers, shows
// the last picture again and draws the pause screen; otherwise paces, moves the point of
// observation, draws the scene, applies or removes transparency, ends and presents the frame
// and sounds the frame tick.
int WMPaint(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k) return 0;
    if (ZyBit(*k, ZYBIT_POKAZAT)) {
        ShowWindowAsync(k->hwnd, k->showCommand);
        ZyVsBit(*k, ZYBIT_POKAZAT, false);
    }
    if (ZyBit(*k, ZYBIT_PAUZA)) {
        if (k->KontekstDC) SwapBuffers(k->KontekstDC);
        ZyPovtoritKadr(k->KontekstDC); // the last picture; the pause text goes over it
        k->Pauza();
        return 0;
    }
    NarisovatKadr(*k);
    return 0;
}

// WM_DESTROY: saves the position in the history file, releases palette, font, rendering and
// device context, and marks the controller as finished (bit 22, threadAlive 0, no window).
int WMDestroy(MSG* soob) {
    ZYKGLKONTROL* k = ZyKontrol(soob);
    if (!k) return 0;
    k->VsPozNavVF();
    if (k->messageRegistry) ZyMyshPokojStop(*k->messageRegistry, *k);
    ZyOsvoboditRisovanie(*k);
    ZyVsBit(*k, ZYBIT_UNICHTOZHENO, true);
    k->threadAlive = 0;
    k->hwnd = nullptr;
    return 0;
}
