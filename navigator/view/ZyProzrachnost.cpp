// Transparency by key colour: the pixels of the view's rendering that equal the key colour are
// cut out of the view window's region (and the view's client area out of the parent's region,
// shared by every view of the navigator), so that what lies behind shows through.
#include "ZyKGLOrvanta2.h"

#include <GL/gl.h>

#include <cstring>
#include <new>
#include <vector>

namespace Quorvel {

namespace {

// Hands a region given in client coordinates of `okno` to the window, with the frame (window
// minus client area) kept whole. The window owns the region afterwards. 0 for null arguments.
int DatRegion(HWND okno, HRGN r, BOOL perisovat) {
    if (!okno || !r) return 0;
    RECT w{}, c{};
    GetWindowRect(okno, &w);
    GetClientRect(okno, &c);
    POINT o{0, 0};
    ClientToScreen(okno, &o);
    const int dx = o.x - w.left, dy = o.y - w.top; // client origin inside the window
    // The window rectangle in client coordinates; the frame is its XOR with the client area.
    HRGN ramka = CreateRectRgn(w.left - o.x, w.top - o.y, w.right - o.x, w.bottom - o.y);
    HRGN klient = CreateRectRgnIndirect(&c);
    if (ramka && klient) {
        CombineRgn(ramka, ramka, klient, RGN_XOR);
        CombineRgn(r, r, klient, RGN_AND);
        CombineRgn(r, r, ramka, RGN_OR);
    }
    if (ramka) DeleteObject(ramka);
    if (klient) DeleteObject(klient);
    OffsetRgn(r, dx, dy);
    if (!SetWindowRgn(okno, r, perisovat)) {
        DeleteObject(r); // not taken: still ours
        return 0;
    }
    return 1;
}

// The view's client area in the parent's client coordinates: the window rectangle shrunk on
// each side by half the difference between window and client size.
RECT KlientVRoditele(HWND okno, HWND roditel) {
    RECT w{}, c{};
    GetWindowRect(okno, &w);
    GetClientRect(okno, &c);
    MapWindowPoints(HWND_DESKTOP, roditel, reinterpret_cast<POINT*>(&w), 2);
    const int rx = ((w.right - w.left) - c.right) / 2, ry = ((w.bottom - w.top) - c.bottom) / 2;
    return RECT{w.left + rx, w.top + ry, w.right - rx, w.bottom - ry};
}

// The parent's region, created from its client rectangle when it does not exist yet.
HRGN& RegionRoditelja(ZYKGLKONTROL& k, HWND roditel) {
    static HRGN net = nullptr;
    if (!k.pParentRegion) return net;
    if (!*k.pParentRegion) {
        RECT r{};
        GetClientRect(roditel, &r);
        *k.pParentRegion = CreateRectRgnIndirect(&r);
    }
    return *k.pParentRegion;
}

// Hands a fresh copy of the parent's region to the parent, replacing the previous copy.
void DatRoditelju(ZYKGLKONTROL& k, HWND roditel, HRGN region) {
    if (!k.pParentRegionAux || !region) return;
    HRGN kopija = CreateRectRgn(0, 0, 0, 0);
    if (!kopija) return;
    CombineRgn(kopija, region, nullptr, RGN_COPY);
    // NOTE: the previous copy was handed to the parent, which owns and frees it when it takes
    // the new one; the navigator's field only tracks the last copy handed over.
    *k.pParentRegionAux = kopija;
    DatRegion(roditel, kopija, TRUE);
}

// The parent of a child view window, else null.
HWND Roditel(HWND okno) {
    return (GetWindowLongPtrA(okno, GWL_STYLE) & WS_CHILD) ? GetParent(okno) : nullptr;
}

// The key-coloured runs of one row (`w` pixels and the end mark after them), as rectangles of
// window row `y`.
void Probegi(const unsigned long* stroka, long w, long y, unsigned long klyuch,
             std::vector<RECT>& kuda) {
    for (long i = 0; i < w;) {
        if (stroka[i] != klyuch) {
            ++i;
            continue;
        }
        long konec = i;
        while (konec < w && stroka[konec] == klyuch)
            ++konec;
        kuda.push_back(RECT{i, y, konec, y + 1});
        i = konec;
    }
}

// A region made of the rectangles (null for none or on failure).
HRGN RegionIz(const std::vector<RECT>& prjamougolniki) {
    if (prjamougolniki.empty()) return nullptr;
    std::vector<unsigned char> dannye(sizeof(RGNDATAHEADER) + prjamougolniki.size() * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(dannye.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(prjamougolniki.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(prjamougolniki.size() * sizeof(RECT));
    RECT granicy = prjamougolniki.front();
    for (const RECT& r : prjamougolniki)
        UnionRect(&granicy, &granicy, &r);
    rd->rdh.rcBound = granicy;
    std::memcpy(rd->Buffer, prjamougolniki.data(), prjamougolniki.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, static_cast<DWORD>(dannye.size()), rd);
}

// Cuts the key-coloured runs of every rendered row out of `r` (client coordinates, row 0 at
// the top). The rendering is read once and the runs are cut in one region operation (each run
// XOR-ed out of the whole client area, as they never overlap). False when the buffers cannot
// be had.
bool VyrezatKlyuch(const ZYKGLKONTROL& k, HRGN r, long w, long h) {
    std::vector<unsigned long> kadr;
    std::vector<RECT> probegi;
    try {
        kadr.resize(static_cast<size_t>(w) * static_cast<size_t>(h) + 1);
        const unsigned long klyuch = k.KlyuchevojCvet;
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_RGBA,
                     GL_UNSIGNED_BYTE, kadr.data());
        glPopClientAttrib();
        for (long y = 0; y < h; ++y)
            Probegi(&kadr[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w)], w, y, klyuch,
                    probegi);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (HRGN dyry = RegionIz(probegi)) {
        CombineRgn(r, r, dyry, RGN_XOR);
        DeleteObject(dyry);
    }
    return true;
}

} // namespace

// Shapes the view window by the key colour of the current rendering (bit 76 on); see the
// unit's comment. 1, or 0 when the line buffer cannot be allocated (the window then keeps the
// whole client area).
int ZYKGLKONTROL::Prozrachno() {
    RECT c{};
    GetClientRect(hwnd, &c);
    RegionOkna = CreateRectRgnIndirect(&c);
    if (!RegionOkna) return 0;
    if (Flagi.Test(ZYBIT_PROZRACHNO, ZYBIT_PROZRACHNO) &&
        !VyrezatKlyuch(*this, RegionOkna, c.right, c.bottom)) {
        DeleteObject(RegionOkna); // never handed over: the window keeps its current shape
        RegionOkna = nullptr;
        return 0;
    }
    HWND roditel = Roditel(hwnd);
    if (!roditel) {
        DatRegion(hwnd, RegionOkna, TRUE);
        Flagi.Vkl(ZYBIT_PROZRACHNO_EST, ZYBIT_PROZRACHNO_EST);
        return 1;
    }
    HRGN kopija = CreateRectRgn(0, 0, 0, 0);
    if (kopija) CombineRgn(kopija, RegionOkna, nullptr, RGN_COPY);
    const RECT k = KlientVRoditele(hwnd, roditel);
    HRGN& obshchij = RegionRoditelja(*this, roditel);
    if (obshchij && kopija) {
        if (HRGN kr = CreateRectRgnIndirect(&k)) {
            CombineRgn(obshchij, obshchij, kr, RGN_DIFF);
            DeleteObject(kr);
        }
        OffsetRgn(kopija, k.left, k.top);
        CombineRgn(obshchij, obshchij, kopija, RGN_OR);
    }
    if (kopija) DeleteObject(kopija);
    DatRoditelju(*this, roditel, obshchij);
    DatRegion(hwnd, RegionOkna, FALSE);
    return 1;
}

// Gives the view window (and its part of the parent) back its whole area; clears bit 77.
void ZYKGLKONTROL::NeProzrachno() {
    RECT d{};
    GetWindowRect(GetDesktopWindow(), &d);
    RegionOkna = CreateRectRgn(0, 0, d.right + 100, d.bottom + 100);
    DatRegion(hwnd, RegionOkna, TRUE);
    if (HWND roditel = Roditel(hwnd)) {
        const RECT k = KlientVRoditele(hwnd, roditel);
        const bool bylo = pParentRegion && *pParentRegion;
        HRGN& obshchij = RegionRoditelja(*this, roditel);
        if (bylo && obshchij) {
            if (HRGN kr = CreateRectRgnIndirect(&k)) {
                CombineRgn(obshchij, obshchij, kr, RGN_OR);
                DeleteObject(kr);
            }
        }
        DatRoditelju(*this, roditel, obshchij);
    }
    Flagi.Vwkl(ZYBIT_PROZRACHNO_EST, ZYBIT_PROZRACHNO_EST);
    RegionOkna = nullptr; // the window owns it
}

} // namespace Quorvel
