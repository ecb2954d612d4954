// ZyGLStandart: OpenGL support functions of the engine.
//
//  - ZyUstanovitPikselnyyFormat: pixel format of a window or device context;
//  - ZySozdatPalitruAutoCAD: the 256-colour palette the scenes' colour numbers refer to;
//  - ZyIzmenitZnachenie: edits a number by a short command text (keyboard value entry).
//
// Failures are reported in a translated message box with the caption "Module: ZyGLStandart".
#include "ZyKGLOrvanta2.h"
#include "ZyStandart.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace Quorvel {

namespace {

const char kModul[] = "Module: ZyGLStandart";

// ---- Pixel format ----------------------------------------------------------------------------

// The descriptor used when the caller gives none (or one with nSize 0).
PIXELFORMATDESCRIPTOR FormatPoUmolchaniju() {
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER | PFD_SWAP_COPY;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 32;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

// A device context taken from a window, given back unless it is handed on to the caller.
class DCOkna {
public:
    DCOkna(HWND okno, HDC dc) : okno_(okno), dc_(dc) {}
    ~DCOkna() {
        if (okno_ && dc_) ReleaseDC(okno_, dc_);
    }
    DCOkna(const DCOkna&) = delete;
    DCOkna& operator=(const DCOkna&) = delete;
    HDC Vz() const { return dc_; }
    // The caller keeps the context from now on.
    HDC Otdat() {
        okno_ = nullptr;
        return dc_;
    }

private:
    HWND okno_;
    HDC dc_;
};

// ---- Palette ---------------------------------------------------------------------------------

// Channel values of the 24 hue columns by brightness level: saturated and pale rows.
constexpr unsigned char kNasyshchennye[5][5] = {{0, 112, 169, 215, 255},
                                                {0, 87, 131, 167, 197},
                                                {0, 73, 112, 142, 169},
                                                {0, 55, 83, 105, 125},
                                                {0, 35, 55, 69, 83}};
constexpr unsigned char kBlednye[5][5] = {{169, 193, 215, 236, 255},
                                          {131, 149, 167, 183, 197},
                                          {112, 128, 142, 156, 169},
                                          {83, 94, 105, 115, 125},
                                          {55, 62, 69, 76, 83}};
// For each hue the column (0..4) of red, green and blue.
constexpr unsigned char kOttenki[24][3] = {
    {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
    {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
    {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1}};
// Entries 0..9 and the greys 250..255.
constexpr unsigned char kOsnovnye[10][3] = {
    {0, 0, 0},   {252, 0, 0},   {252, 252, 0},   {0, 252, 0},     {0, 252, 252},
    {0, 0, 252}, {252, 0, 252}, {252, 252, 252}, {175, 175, 175}, {223, 223, 223}};
constexpr unsigned char kSerye[6] = {132, 162, 188, 212, 234, 255};

// Red, green and blue of colour number n (0..255).
std::array<unsigned char, 3> CvetNomera(unsigned n) {
    if (n < 10) return {kOsnovnye[n][0], kOsnovnye[n][1], kOsnovnye[n][2]};
    if (n >= 250) return {kSerye[n - 250], kSerye[n - 250], kSerye[n - 250]};
    const unsigned ottenok = (n - 10) / 10, ten = (n - 10) % 10;
    const unsigned char* rjad = (ten % 2 == 0) ? kNasyshchennye[ten / 2] : kBlednye[ten / 2];
    const unsigned char* k = kOttenki[ottenok];
    return {rjad[k[0]], rjad[k[1]], rjad[k[2]]};
}

// ---- Value editing ---------------------------------------------------------------------------

// The absolute decimal value of a text (C library conversion; no digits gives 0).
double ModulChisla(const char* tekst) {
    return std::fabs(std::strtod(tekst, nullptr));
}

} // namespace

// Sets the pixel format of a window (its device context is taken with GetDC) or of a device
// context. Returns the device context, or null after a reported failure. A caller's descriptor
// with flags 0 gets PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER written into it;
// on success the caller's descriptor receives the format actually obtained.
void* ZyUstanovitPikselnyyFormat(void* oknoIliDC, PIXELFORMATDESCRIPTOR* pfd) {
    if (!oknoIliDC) return nullptr;
    HWND okno = IsWindow(static_cast<HWND>(oknoIliDC)) ? static_cast<HWND>(oknoIliDC) : nullptr;
    // NOTE: a DC taken from a window goes back to it when setting the format fails, so a failed
    // call leaks nothing (for a class or own DC, ReleaseDC does nothing).
    DCOkna dc(okno, okno ? GetDC(okno) : static_cast<HDC>(oknoIliDC));

    PIXELFORMATDESCRIPTOR umolch = FormatPoUmolchaniju();
    PIXELFORMATDESCRIPTOR* opisanie = &umolch;
    if (pfd && pfd->nSize != 0) {
        if (pfd->dwFlags == 0)
            pfd->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        opisanie = pfd;
    }

    const int nomer = ChoosePixelFormat(dc.Vz(), opisanie);
    if (nomer == 0) {
        ZyMessage(nullptr, "ChoosePixelFormat failed. Str 113.", kModul, 0);
        return nullptr;
    }
    if (!SetPixelFormat(dc.Vz(), nomer, opisanie)) {
        ZyMessage(nullptr, "SetPixelFormat failed. Str 118.", kModul, 0);
        return nullptr;
    }
    if (pfd) {
        const int poluchen = GetPixelFormat(dc.Vz());
        if (poluchen != 0) DescribePixelFormat(dc.Vz(), poluchen, 40, pfd);
    }
    return dc.Otdat();
}

// The logical palette of the 256 colour numbers scenes draw with; entries 1..255 carry
// `flagi` (the engine passes PC_NOCOLLAPSE), entry 0 flags 0. The caller deletes the palette.
HPALETTE ZySozdatPalitruAutoCAD(unsigned char flagi) {
    static_assert(sizeof(LOGPALETTE) == 8, "LOGPALETTE holds one entry after its header");
    std::vector<unsigned char> pamjat(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(pamjat.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (unsigned n = 0; n < 256; ++n) {
        const auto rgb = CvetNomera(n);
        lp->palPalEntry[n] = {rgb[0], rgb[1], rgb[2], static_cast<BYTE>(n ? flagi : 0)};
    }
    return CreatePalette(lp);
}

// Changes *znachenie by a command text: a text starting with a digit or "." sets the number;
// "+b", "-b", "*b", "/b" work on its absolute value with b = |value of the rest| ("-" stops at
// 0, "/0" divides by 1); any other first character only takes the absolute value. Null or
// empty arguments and one-character commands change nothing, and so does a result that is no
// finite number ("1e999", "*1e300" on 1e300): a speed of infinity would turn the position into
// NaN at the next frame.
void ZyIzmenitZnachenie(double* znachenie, char* tekst) {
    if (!znachenie || !tekst || tekst[0] == '\0') return;
    const char komanda = tekst[0];
    if ((komanda >= '0' && komanda <= '9') || komanda == '.') {
        const double chislo = std::strtod(tekst, nullptr);
        if (std::isfinite(chislo)) *znachenie = chislo;
        return;
    }
    if (tekst[1] == '\0') return;
    double chislo = std::fabs(*znachenie);
    const double b = ModulChisla(tekst + 1);
    if (!std::isfinite(b)) return; // "-1e999" and "/nan" are no numbers either
    switch (komanda) {
    case '-':
        chislo = chislo >= b ? chislo - b : 0.0;
        break;
    case '+':
        chislo += b;
        break;
    case '/':
        chislo /= (b == 0.0 ? 1.0 : b);
        break;
    case '*':
        chislo *= b;
        break;
    default:
        break;
    }
    if (std::isfinite(chislo)) *znachenie = chislo;
}

} // namespace Quorvel
