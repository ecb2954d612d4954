// Transparency by key colour: the pixels of the view's rendering that equal the key colour are
// cut out of the view window's region (and the view's client area out of the parent's region,
// shared by every view of the navigator), so that what lies behind shows through.
//
// The parent's shared region is built by the controller threads of all its views and dropped
// by the window thread when the parent is resized: it is only touched under one lock, and a
// copy of it is handed to the parent after the lock is released (handing a region to a window
// of another thread waits for that thread, which may itself be waiting for the lock).
#include "ZyProzrachnost.h"

#include "ZyKontrolVnutr.h"
#include "ZyPokaz.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

namespace Quorvel {

namespace {

// The lock of every navigator's parentRegion and parentRegionAux.
std::mutex zamokRoditelja;

// A region of the key-coloured runs that cannot be made is reported once (transparency tries
// again at every frame).
std::atomic<bool> soobshchenoORegione{false};

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

// Under the lock: the parent's region, created from its client rectangle when it does not
// exist yet; null when the controller has no navigator's region.
HRGN RegionRoditelja(ZYKGLKONTROL& k, HWND roditel) {
    if (!k.pParentRegion) return nullptr;
    if (!*k.pParentRegion) {
        RECT r{};
        GetClientRect(roditel, &r);
        *k.pParentRegion = CreateRectRgnIndirect(&r);
    }
    return *k.pParentRegion;
}

// Under the lock: a fresh copy of the parent's region, which becomes the last copy handed to
// the parent (parentRegionAux); null when there is none. The caller hands it over.
HRGN KopijaDljaRoditelja(ZYKGLKONTROL& k, HRGN region) {
    if (!k.pParentRegionAux || !region) return nullptr;
    HRGN kopija = CreateRectRgn(0, 0, 0, 0);
    if (!kopija) return nullptr;
    CombineRgn(kopija, region, nullptr, RGN_COPY);
    // NOTE: the previous copy was handed to the parent, which owns and frees it when it takes
    // the new one; the navigator's field only tracks the last copy handed over.
    *k.pParentRegionAux = kopija;
    return kopija;
}

// A region of this unit's own, deleted with the object.
struct SvojRegion {
    HRGN h;
    explicit SvojRegion(HRGN r) : h(r) {}
    ~SvojRegion() {
        if (h) DeleteObject(h);
    }
    SvojRegion(const SvojRegion&) = delete;
    SvojRegion& operator=(const SvojRegion&) = delete;
};

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

// A region made of the rectangles into `r` (null for none). False when it cannot be made (the
// first time reported); may throw std::bad_alloc.
bool RegionIz(const std::vector<RECT>& prjamougolniki, HRGN& r) {
    r = nullptr;
    if (prjamougolniki.empty()) return true;
    std::vector<unsigned char> dannye(sizeof(RGNDATAHEADER) + prjamougolniki.size() * sizeof(RECT));
    auto* rd = reinterpret_cast<RGNDATA*>(dannye.data());
    rd->rdh.dwSize = sizeof(RGNDATAHEADER);
    rd->rdh.iType = RDH_RECTANGLES;
    rd->rdh.nCount = static_cast<DWORD>(prjamougolniki.size());
    rd->rdh.nRgnSize = static_cast<DWORD>(prjamougolniki.size() * sizeof(RECT));
    RECT granicy = prjamougolniki.front();
    for (const RECT& p : prjamougolniki)
        UnionRect(&granicy, &granicy, &p);
    rd->rdh.rcBound = granicy;
    std::memcpy(rd->Buffer, prjamougolniki.data(), prjamougolniki.size() * sizeof(RECT));
    r = ExtCreateRegion(nullptr, static_cast<DWORD>(dannye.size()), rd);
    if (r) return true;
    if (!soobshchenoORegione.exchange(true)) ZyOshibkaPotoka("ExtCreateRegion() fails.");
    return false;
}

// Cuts the key-coloured runs of every rendered row out of `r` (client coordinates, row 0 at
// the top). The rendering is read once, whatever pixel settings the scene left, and the runs
// are cut in one region operation (each run XOR-ed out of the whole client area, as they never
// overlap). False when the buffers or the region of the runs cannot be had (nothing is cut).
bool VyrezatKlyuch(const ZYKGLKONTROL& k, HRGN r, long w, long h) {
    HRGN dyry = nullptr;
    try {
        std::vector<unsigned long> kadr(static_cast<size_t>(w) * static_cast<size_t>(h) + 1);
        ZyProchestRGBA(0, 0, w, h, kadr.data());
        std::vector<RECT> probegi;
        for (long y = 0; y < h; ++y)
            Probegi(&kadr[static_cast<size_t>(h - 1 - y) * static_cast<size_t>(w)], w, y,
                    k.KlyuchevojCvet, probegi);
        if (!RegionIz(probegi, dyry)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (dyry) {
        CombineRgn(r, r, dyry, RGN_XOR);
        DeleteObject(dyry);
    }
    return true;
}

// Puts the view's client area C (parent coordinates) into the parent's region: as the shape
// `forma` (client coordinates of the view) when given, else whole. Returns the copy to hand to
// the parent (null when there is nothing to hand over). `sozdat`: a missing region is made
// from the parent's client rectangle; otherwise only an existing one changes.
HRGN ObnovitRoditelja(ZYKGLKONTROL& k, HWND roditel, const RECT& c, HRGN forma, bool sozdat) {
    std::lock_guard<std::mutex> zamok(zamokRoditelja);
    const bool bylo = k.pParentRegion && *k.pParentRegion;
    HRGN obshchij = RegionRoditelja(k, roditel);
    if (!obshchij) return nullptr;
    if (bylo || sozdat) {
        if (HRGN kr = CreateRectRgnIndirect(&c)) {
            CombineRgn(obshchij, obshchij, kr, forma ? RGN_DIFF : RGN_OR);
            DeleteObject(kr);
        }
        if (forma) {
            OffsetRgn(forma, c.left, c.top);
            CombineRgn(obshchij, obshchij, forma, RGN_OR);
        }
    }
    return KopijaDljaRoditelja(k, obshchij);
}

} // namespace

// Drops a parent's shared region on its resize, under the lock. True when there was one (the
// caller then gives the parent a plain region).
bool ZySbrositRegionRoditelja(HRGN& region, HRGN& aux) {
    std::lock_guard<std::mutex> zamok(zamokRoditelja);
    const bool bylo = region != nullptr;
    if (region) DeleteObject(region);
    region = nullptr;
    // The last copy handed to the parent went with its previous region.
    aux = nullptr;
    return bylo;
}

// Part of the window's client area lies outside the window's region (the window was made
// larger after its region was handed over). False for a window without a region and when the
// regions cannot be had. Any thread.
bool ZyKlientVneRegiona(HWND okno) {
    RECT w{}, c{};
    POINT o{0, 0};
    if (!okno || !GetWindowRect(okno, &w) || !GetClientRect(okno, &c) || IsRectEmpty(&c) ||
        !ClientToScreen(okno, &o))
        return false;
    OffsetRect(&c, o.x - w.left, o.y - w.top); // the window region is in window coordinates
    const SvojRegion forma(CreateRectRgn(0, 0, 0, 0));
    const SvojRegion vne(CreateRectRgnIndirect(&c));
    if (!forma.h || !vne.h || GetWindowRgn(okno, forma.h) == ERROR) return false;
    return CombineRgn(vne.h, vne.h, forma.h, RGN_DIFF) > NULLREGION;
}

// Shapes the view window by the key colour of the current rendering (bit 76 on); see the
// unit's comment. 1, or 0 when the line buffer or the region of the runs cannot be had (the
// window then keeps its current shape).
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
    if (HRGN forma = CreateRectRgn(0, 0, 0, 0)) {
        CombineRgn(forma, RegionOkna, nullptr, RGN_COPY);
        HRGN dlja = ObnovitRoditelja(*this, roditel, KlientVRoditele(hwnd, roditel), forma, true);
        DeleteObject(forma);
        DatRegion(roditel, dlja, TRUE);
    }
    DatRegion(hwnd, RegionOkna, FALSE);
    return 1;
}

// Gives the view window (and its part of the parent) back its whole area; clears bit 77. The
// view's region is 100 pixels larger than the desktop to the right and bottom, and at least as
// large as the view itself (a view larger than the desktop is not clipped either).
void ZYKGLKONTROL::NeProzrachno() {
    RECT d{}, c{};
    GetWindowRect(GetDesktopWindow(), &d);
    GetClientRect(hwnd, &c);
    RegionOkna =
        CreateRectRgn(0, 0, std::max(d.right + 100, c.right), std::max(d.bottom + 100, c.bottom));
    DatRegion(hwnd, RegionOkna, TRUE);
    if (HWND roditel = Roditel(hwnd))
        DatRegion(roditel,
                  ObnovitRoditelja(*this, roditel, KlientVRoditele(hwnd, roditel), nullptr, false),
                  TRUE);
    Flagi.Vwkl(ZYBIT_PROZRACHNO_EST, ZYBIT_PROZRACHNO_EST);
    RegionOkna = nullptr; // the window owns it
}

} // namespace Quorvel
