// Presentation of the view pictures: directly on the window, or through an offscreen target
// and a GDI copy (see ZyPokaz.h for when and why).
#include "ZyPokaz.h"

#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace Quorvel {

namespace {

// Class of the hidden windows that carry the offscreen targets' pixel formats.
const char kKlassCeli[] = "ZyGLCelPokaza";

// The path forced by ZyVsPutPokaza (ZY_POKAZ_AVTO: chosen by the platform).
std::atomic<long> putPokaza{ZY_POKAZ_AVTO};

// One offscreen target: the hidden window whose rendering the visible window shows, and the
// last picture read back from it (bottom-up rows of 32-bit BGRA pixels, as a DIB holds them).
struct ZYS_CEL_POKAZA {
    HWND vidimoe;                 // the window the picture is shown in
    HWND skrytoe;                 // the hidden window with the pixel format
    HDC dc;                       // its own device context (the rendering context's DC)
    long shirina, vysota;         // the hidden window's client size
    std::vector<DWORD> kadr;      // the last picture
    long kadrShirina, kadrVysota; // its size
};

// The engine library's module (the class and the windows are registered in it).
HINSTANCE Modul() {
    HMODULE h = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&Modul), &h);
    return h;
}

// The engine runs under Wine (its ntdll exports wine_get_version).
bool PodWine() {
    static const bool wine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

// Registers the hidden windows' class once; true when it is available.
bool KlassCeli() {
    static const bool est = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = Modul();
        wc.lpszClassName = kKlassCeli;
        return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return est;
}

// Client size of a window, at least 1 x 1 (an empty auxiliary window still gets a target).
SIZE RazmerKlienta(HWND okno) {
    RECT r{};
    if (!GetClientRect(okno, &r)) return {1, 1};
    return {r.right > r.left ? r.right - r.left : 1, r.bottom > r.top ? r.bottom - r.top : 1};
}

// The target a device context belongs to, or null (a window DC of another class, or no window).
ZYS_CEL_POKAZA* CelDC(HDC dc) {
    if (!dc) return nullptr;
    HWND okno = WindowFromDC(dc);
    char klass[sizeof kKlassCeli + 1] = {};
    if (!okno || GetClassNameA(okno, klass, sizeof klass) == 0) return nullptr;
    if (std::strcmp(klass, kKlassCeli) != 0) return nullptr;
    auto* cel = reinterpret_cast<ZYS_CEL_POKAZA*>(GetWindowLongPtrA(okno, GWLP_USERDATA));
    return cel && cel->dc == dc ? cel : nullptr;
}

// A new target for `vidimoe` on the calling thread: hidden window, its DC, no pixel format
// yet. Null when the window or the memory cannot be had.
ZYS_CEL_POKAZA* SozdatCel(HWND vidimoe) {
    if (!KlassCeli()) return nullptr;
    auto* cel = new (std::nothrow) ZYS_CEL_POKAZA{};
    if (!cel) return nullptr;
    const SIZE s = RazmerKlienta(vidimoe);
    cel->vidimoe = vidimoe;
    cel->shirina = s.cx;
    cel->vysota = s.cy;
    cel->skrytoe = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kKlassCeli, "", WS_POPUP, 0,
                                   0, s.cx, s.cy, nullptr, nullptr, Modul(), nullptr);
    if (cel->skrytoe) cel->dc = GetDC(cel->skrytoe);
    if (!cel->dc) {
        if (cel->skrytoe) DestroyWindow(cel->skrytoe);
        delete cel;
        return nullptr;
    }
    SetWindowLongPtrA(cel->skrytoe, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cel));
    return cel;
}

// Destroys a target: its DC, its hidden window and the kept picture.
void UnichtozhitCel(ZYS_CEL_POKAZA* cel) {
    SetWindowLongPtrA(cel->skrytoe, GWLP_USERDATA, 0);
    ReleaseDC(cel->skrytoe, cel->dc);
    DestroyWindow(cel->skrytoe);
    delete cel;
}

// Copies the kept picture into the visible window (clipped by its children, siblings and
// region). NOTE: a cache DC, not the class's own DC, which the window thread uses for its
// paints at the same time.
void Skopirovat(const ZYS_CEL_POKAZA& cel) {
    if (cel.kadr.empty() || !IsWindow(cel.vidimoe)) return;
    HDC dc = GetDCEx(cel.vidimoe, nullptr, DCX_CACHE | DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS);
    if (!dc) return;
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = cel.kadrShirina;
    bmi.bmiHeader.biHeight = cel.kadrVysota; // bottom-up, as glReadPixels delivers the rows
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, cel.kadrShirina, cel.kadrVysota, 0, 0, 0, cel.kadrVysota,
                      cel.kadr.data(), &bmi, DIB_RGB_COLORS);
    ReleaseDC(cel.vidimoe, dc);
}

// Reads the current context's colour buffer (w x h) into `kuda` as BGRA rows (a DIB's order).
void Prochest(long w, long h, DWORD* kuda) {
    glPushAttrib(GL_PIXEL_MODE_BIT);
    // NOTE: the back buffer keeps the frame after SwapBuffers here (the hidden window's front
    // buffer has no pixels of its own); a single-buffered format has only the front buffer.
    GLboolean dvojnoj = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &dvojnoj);
    glReadBuffer(dvojnoj ? GL_BACK : GL_FRONT);
    // NOTE: Mesa reads RGBA about three times faster than BGRA here; swapping red and blue
    // afterwards costs less than the difference.
    ZyProchestRGBA(0, 0, w, h, kuda);
    glPopAttrib();
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    for (size_t i = 0; i < n; ++i) {
        const DWORD p = kuda[i];
        kuda[i] = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
    }
}

} // namespace

void ZyProchestRGBA(long x, long y, long w, long h, void* kuda) {
    glPushAttrib(GL_PIXEL_MODE_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_LSB_FIRST, GL_FALSE);
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    for (GLenum m : {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE})
        glPixelTransferf(m, 1.0f);
    for (GLenum m : {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS})
        glPixelTransferf(m, 0.0f);
    glReadPixels(x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, kuda);
    glPopClientAttrib();
    glPopAttrib();
}

bool ZyPokazCherezGDI() {
    const long put = putPokaza.load();
    if (put == ZY_POKAZ_PRJAMO) return false;
    if (put == ZY_POKAZ_GDI) return true;
    return PodWine();
}

HDC ZySozdatDCKonteksta(HWND vidimoe, PIXELFORMATDESCRIPTOR* pfd) {
    if (!vidimoe || !ZyPokazCherezGDI())
        return static_cast<HDC>(ZyUstanovitPikselnyyFormat(vidimoe, pfd));
    ZYS_CEL_POKAZA* cel = SozdatCel(vidimoe);
    if (!cel) return nullptr;
    if (!ZyUstanovitPikselnyyFormat(cel->skrytoe, pfd)) {
        UnichtozhitCel(cel);
        return nullptr;
    }
    return cel->dc;
}

void ZyOsvoboditDCKonteksta(HWND vidimoe, HDC dc) {
    if (!dc) return;
    if (ZYS_CEL_POKAZA* cel = CelDC(dc))
        UnichtozhitCel(cel);
    else
        ReleaseDC(vidimoe, dc);
}

bool ZyEstCelPokaza(HDC dc) {
    return CelDC(dc) != nullptr;
}

void ZyRazmerCeliPokaza(HDC dc) {
    ZYS_CEL_POKAZA* cel = CelDC(dc);
    if (!cel || !IsWindow(cel->vidimoe)) return;
    const SIZE s = RazmerKlienta(cel->vidimoe);
    if (s.cx == cel->shirina && s.cy == cel->vysota) return;
    if (!SetWindowPos(cel->skrytoe, nullptr, 0, 0, s.cx, s.cy,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW))
        return;
    cel->shirina = s.cx;
    cel->vysota = s.cy;
    // HACK: Mesa takes a window's new size for its colour buffers at the next buffer swap;
    // without it this frame would still be drawn into buffers of the old size.
    if (wglGetCurrentDC() == dc) SwapBuffers(dc);
}

void ZyPokazatKadr(HDC dc) {
    ZYS_CEL_POKAZA* cel = CelDC(dc);
    if (!cel || wglGetCurrentDC() != dc) return;
    const size_t n = static_cast<size_t>(cel->shirina) * static_cast<size_t>(cel->vysota);
    if (cel->kadr.size() != n) {
        try {
            cel->kadr.assign(n, 0);
        } catch (const std::bad_alloc&) {
            cel->kadr.clear(); // no picture this time; the next frame tries again
            return;
        }
    }
    Prochest(cel->shirina, cel->vysota, cel->kadr.data());
    cel->kadrShirina = cel->shirina;
    cel->kadrVysota = cel->vysota;
    Skopirovat(*cel);
}

void ZyPovtoritKadr(HDC dc) {
    if (const ZYS_CEL_POKAZA* cel = CelDC(dc)) Skopirovat(*cel);
}

// Forces the presentation path of rendering contexts made from now on (ZY_POKAZ_*); returns
// the previous setting. For tests: the product chooses by itself.
long ZyVsPutPokaza(long put) {
    if (put != ZY_POKAZ_PRJAMO && put != ZY_POKAZ_GDI) put = ZY_POKAZ_AVTO;
    return putPokaza.exchange(put);
}

} // namespace Quorvel
