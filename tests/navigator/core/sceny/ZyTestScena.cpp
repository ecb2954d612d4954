// A test scene: its four functions journal every call and do what the test's settings ask.
// Built several times under different module names.
#include "ZyTestZhurnal.h"

#include <GL/gl.h>

using Quorvel::ZYKGLKONTROL;

namespace {

// The test's extra work for function `fyn`.
void Vyzov(int fyn, ZYKGLKONTROL* k) {
    if (auto f = ZytNastrojka()->vyzov) f(fyn, k);
}

// Waits until `n` Antrakt calls are journaled, at most 10 s.
void ZhdatAntrakty(long n) {
    const DWORD start = GetTickCount();
    while (ZytKol(ZYT_ANTRAKT) < static_cast<unsigned long>(n) && GetTickCount() - start < 10000)
        WaitForSingleObject(ZytSobytie(), 100);
}

} // namespace

extern "C" {

// Constructor: the rendering context, then the settings.
__declspec(dllexport) long Konstr(ZYKGLKONTROL* k) {
    ZytZapisat(ZYT_KONSTR, k, reinterpret_cast<const void*>(&Konstr));
    ZYT_NASTROJKA& n = *ZytNastrojka();
    k->VsDCFormat(nullptr);
    if (n.flagKonstr >= 0) k->Flagi.Vkl(n.flagKonstr, n.flagKonstr);
    if (n.fps) k->fps = static_cast<unsigned short>(n.fps);
    if (n.rezultat) k->result = n.rezultat;
    if (n.antraktovZhdat) ZhdatAntrakty(n.antraktovZhdat);
    Vyzov(ZYT_KONSTR, k);
    return 1;
}

// Intermission: a cleared frame on the auxiliary window.
__declspec(dllexport) long Antrakt(ZYKGLKONTROL* k) {
    ZytZapisat(ZYT_ANTRAKT, k, reinterpret_cast<const void*>(&Antrakt));
    glClearColor(0.5f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (k->desDC) SwapBuffers(k->desDC);
    Vyzov(ZYT_ANTRAKT, k);
    return 1;
}

// Frame: a cleared frame; optionally sets a flag after a number of frames.
__declspec(dllexport) long Pokaz(ZYKGLKONTROL* k) {
    ZytZapisat(ZYT_POKAZ, k, reinterpret_cast<const void*>(&Pokaz));
    glClearColor(0.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ZYT_NASTROJKA& n = *ZytNastrojka();
    const long nomer = static_cast<long>(ZytKol(ZYT_POKAZ));
    if (n.flagPosle >= 0 && n.pokazovDoFlaga && nomer >= n.pokazovDoFlaga)
        k->Flagi.Vkl(n.flagPosle, n.flagPosle);
    Vyzov(ZYT_POKAZ, k);
    return 1;
}

// End of frame: the buffers are swapped.
__declspec(dllexport) long Final(ZYKGLKONTROL* k) {
    ZytZapisat(ZYT_FINAL, k, reinterpret_cast<const void*>(&Final));
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    Vyzov(ZYT_FINAL, k);
    return 1;
}

// A message handler a test subscribes by pointer: journaled with the controller of the message.
__declspec(dllexport) int Obrabotchik(MSG* soob) {
    ZytZapisat(ZYT_OBRABOTCHIK, reinterpret_cast<ZYKGLKONTROL*>(soob->hwnd),
               reinterpret_cast<const void*>(&Obrabotchik));
    return 1;
}
}
