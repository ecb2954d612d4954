// The controller's rendering context: device context with its pixel format, palette, system
// font, the table of system colours and the OpenGL context current on the controller thread.
#include "ZyKGLOrvanta2.h"
#include "ZyPokaz.h"

namespace Quorvel {

namespace {

// Fills the palette numbers nearest to the 25 system colours.
void ZapolnitSistCveta(ZYKGLKONTROL& k) {
    if (!k.Palitra) return;
    for (int i = 0; i < 25; ++i)
        k.IndeksySistCvetov[i] =
            static_cast<unsigned short>(GetNearestPaletteIndex(k.Palitra, GetSysColor(i)));
}

// Creates the palette and the system font when they are missing.
void SozdatPalitruIShrift(ZYKGLKONTROL& k) {
    if (!k.Palitra) k.Palitra = ZySozdatPalitruAutoCAD(PC_NOCOLLAPSE);
    if (!k.Shrift) k.Shrift = ZySistemnwjShrift(4);
}

// Selects the controller's palette and font into its device context, once each.
void VybratVDC(ZYKGLKONTROL& k) {
    // NOTE: selecting twice would record our own palette as "the one replaced", and WMDestroy
    // would then delete a palette still selected; a repeated set-up therefore selects nothing.
    if (k.Palitra && !k.StarajaPalitra)
        k.StarajaPalitra = SelectPalette(k.KontekstDC, k.Palitra, TRUE);
    if (k.Shrift && !k.StaryjShrift) k.StaryjShrift = SelectObject(k.KontekstDC, k.Shrift);
}

} // namespace

// Sets up the view window for drawing: pixel format (pfd or the default), palette, system
// font, system-colour table and a rendering context made current on the calling thread. The
// pixel format and the context are on the view window itself, or on an offscreen target whose
// pictures are copied into the view window (ZyPokaz.h).
// Returns 1 when the context was created now. Once the context exists (bit 71) a call only
// completes palette, font and colour table and returns 0; no second context is made.
int ZYKGLKONTROL::VsDCFormat(PIXELFORMATDESCRIPTOR* pfd) {
    if (Flagi.Test(ZYBIT_KONTEKST, ZYBIT_KONTEKST)) {
        SozdatPalitruIShrift(*this);
        if (IndeksySistCvetov[0] == 0 && IndeksySistCvetov[1] == 0) ZapolnitSistCveta(*this);
        return 0;
    }
    KontekstDC = ZySozdatDCKonteksta(hwnd, pfd);
    if (!KontekstDC) {
        MessageBoxA(nullptr, "Context of video device = NULL.", "Module: ZyGLStandart",
                    MB_ICONERROR);
        return 0;
    }
    SozdatPalitruIShrift(*this);
    ZapolnitSistCveta(*this);
    VybratVDC(*this);

    KontekstGL = wglCreateContext(KontekstDC);
    if (!KontekstGL) return 0;
    if (!wglMakeCurrent(KontekstDC, KontekstGL)) {
        // A context that cannot be made current is of no use: drop it, so that bit 71 never
        // claims a context that drawing cannot reach.
        wglDeleteContext(KontekstGL);
        KontekstGL = nullptr;
        return 0;
    }
    Flagi.Vkl(ZYBIT_KONTEKST, ZYBIT_KONTEKST);
    NachAtrib();
    return 1;
}

// Copies the pixel format of the device context into pfd (40 bytes). 0 for a null pointer.
int ZYKGLKONTROL::VzDCFormat(PIXELFORMATDESCRIPTOR* pfd) {
    if (!pfd) return 0;
    const int nomer = KontekstDC ? GetPixelFormat(KontekstDC) : 0;
    if (nomer != 0) DescribePixelFormat(KontekstDC, nomer, 40, pfd);
    return 1;
}

} // namespace Quorvel
