// Colour from a palette number or an RGB triple in either colour mode, and text drawn through
// bitmap display lists made from a GDI font.
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <cstring>

namespace Quorvel {

namespace {

constexpr BYTE kRGBA = PFD_TYPE_RGBA, kIndeks = PFD_TYPE_COLORINDEX;

// Makes the list of every character without a visible glyph (the blank among them) move the
// raster position by the character's width and draw nothing: under Wine the lists that
// wglUseFontBitmapsA makes for such characters do not move it, and words would run together.
void zyPustyeZnaki(HDC dc, unsigned long pervyj, unsigned long kolichestvo, unsigned long baza) {
    static const MAT2 kEdinichnaja = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    static const GLubyte kNichego = 0; // a bitmap of no pixels still needs an address
    for (unsigned long i = 0; i < kolichestvo; ++i) {
        const UINT znak = static_cast<UINT>(pervyj + i);
        GLYPHMETRICS gm;
        if (GetGlyphOutlineA(dc, znak, GGO_BITMAP, &gm, 0, nullptr, &kEdinichnaja) != 0) continue;
        INT shirina = 0;
        if (!GetCharWidth32A(dc, znak, znak, &shirina) || shirina <= 0) continue;
        glNewList(static_cast<GLuint>(baza + i), GL_COMPILE);
        glBitmap(0, 0, 0, 0, static_cast<GLfloat>(shirina), 0, &kNichego);
        glEndList();
    }
}

} // namespace

// Colour number n: glIndexs in colour-index mode, the palette entry's RGB in RGBA mode.
// 0 when the entry cannot be read or the mode is neither.
int ZYKGLKONTROL::cvet(unsigned char n) {
    if (FormatPikselej.iPixelType == kIndeks) {
        glIndexs(n);
        return 1;
    }
    if (FormatPikselej.iPixelType != kRGBA) return 0;
    PALETTEENTRY e{};
    if (!Palitra || GetPaletteEntries(Palitra, n, 1, &e) != 1) return 0;
    const GLubyte rgb[3] = {e.peRed, e.peGreen, e.peBlue};
    glColor3ubv(rgb);
    return 1;
}

// The colour rgb[0..2]: directly in RGBA mode, the nearest palette number in colour-index mode.
int ZYKGLKONTROL::cvet(unsigned char* rgb) {
    if (!rgb) return 0;
    if (FormatPikselej.iPixelType == kRGBA) {
        glColor3ubv(rgb);
        return 1;
    }
    if (FormatPikselej.iPixelType != kIndeks || !Palitra) return 0;
    const UINT n = GetNearestPaletteIndex(Palitra, RGB(rgb[0], rgb[1], rgb[2]));
    if (n == CLR_INVALID) return 0;
    glIndexi(static_cast<GLint>(n));
    return 1;
}

// Bitmap display lists bazaSpiskov... for the characters pervyj ... pervyj + kolichestvo - 1
// of the font (selected into the screen's DC for the time). Needs the rendering context.
void ZYKGLKONTROL::Tekst2M(void* shrift, unsigned long pervyj, unsigned long kolichestvo,
                           unsigned long bazaSpiskov) {
    if (!shrift) return;
    HDC ekran = GetDC(nullptr);
    if (!ekran) return;
    HGDIOBJ prezhnij = SelectObject(ekran, static_cast<HGDIOBJ>(shrift));
    if (bazaSpiskov && wglUseFontBitmapsA(ekran, pervyj, kolichestvo, bazaSpiskov))
        zyPustyeZnaki(ekran, pervyj, kolichestvo, bazaSpiskov);
    if (prezhnij) SelectObject(ekran, prezhnij);
    ReleaseDC(nullptr, ekran);
}

// The same with the system font `vidShrifta`. Choice: the font is deleted once the lists are
// built (the lists keep the bitmaps), so repeated calls leak nothing.
void ZYKGLKONTROL::Tekst2M(unsigned long vidShrifta, unsigned long pervyj,
                           unsigned long kolichestvo, unsigned long bazaSpiskov) {
    HFONT f = ZySistemnwjShrift(vidShrifta);
    if (!f) return;
    Tekst2M(static_cast<void*>(f), pervyj, kolichestvo, bazaSpiskov);
    DeleteObject(f);
}

// Draws `tekst` (dlina bytes, 0: up to its end) through the lists bazaSpiskov + byte. Base 0
// is no font block (a failed GenSpisokS): nothing is drawn, rather than whatever lists 1..255
// hold (other scenes' blocks).
void ZYKGLKONTROL::Tekst2M(unsigned long bazaSpiskov, const char* tekst, int dlina) {
    if (!tekst || bazaSpiskov == 0) return;
    const size_t n = dlina > 0 ? static_cast<size_t>(dlina) : std::strlen(tekst);
    if (n == 0) return;
    glListBase(static_cast<GLuint>(bazaSpiskov));
    glCallLists(static_cast<GLsizei>(n), GL_UNSIGNED_BYTE, tekst);
}

} // namespace Quorvel
