// Helpers of the model scene's tests: OBJ models of coloured cubes made by the test, the
// classes of the pixels a lit model shows, where the pixels of a class lie on a capture, and
// what a user does to the view (a dropped file, a click).
#ifndef ZYTESTMODELI_H
#define ZYTESTMODELI_H

#include "ZyScenaModel.h"
#include "ZyTestEkran.h"
#include "ZyTestOzhidanie.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

namespace zyt {

// An axis-aligned cube of side 2 around (x, y, z) as OBJ text; `n` vertices came before it.
inline std::string Kub(const char* imja, const char* material, double x, double y, double z,
                       int n) {
    std::string t = std::string("g ") + imja + "\nusemtl " + material + "\n";
    char b[96];
    for (int i = 0; i < 8; ++i) {
        std::snprintf(b, sizeof b, "v %g %g %g\n", x + ((i & 4) ? 1 : -1), y + ((i & 2) ? 1 : -1),
                      z + ((i & 1) ? 1 : -1));
        t += b;
    }
    static const int grani[6][4] = {{1, 2, 4, 3}, {5, 7, 8, 6}, {1, 5, 6, 2},
                                    {3, 4, 8, 7}, {1, 3, 7, 5}, {2, 6, 8, 4}};
    for (const auto& g : grani) {
        std::snprintf(b, sizeof b, "f %d %d %d %d\n", n + g[0], n + g[1], n + g[2], n + g[3]);
        t += b;
    }
    return t;
}

// Red "Levaja" at x = -6, green "Srednjaja" at the origin, blue "Pravaja" at x = +6, their
// materials in "Kuby.mtl" (kMtl).
inline std::string TriKuba() {
    return "mtllib Kuby.mtl\n" + Kub("Levaja", "Krasnyj", -6, 0, 0, 0) +
           Kub("Srednjaja", "Zelenyj", 0, 0, 0, 8) + Kub("Pravaja", "Sinij", 6, 0, 0, 16);
}
constexpr const char* kMtl =
    "newmtl Krasnyj\nKd 1 0 0\nnewmtl Zelenyj\nKd 0 1 0\nnewmtl Sinij\nKd 0 0 1\n";

// A 4 x 4 BMP of one colour (24 bits, rows from the bottom).
inline std::string Bmp(unsigned char r, unsigned char g, unsigned char b) {
    std::string t = "BM";
    auto dw = [&t](unsigned v) {
        for (int i = 0; i < 4; ++i)
            t += char((v >> (8 * i)) & 0xFF);
    };
    dw(54 + 48), dw(0), dw(54), dw(40), dw(4), dw(4);
    t += std::string("\x01\x00\x18\x00", 4);
    dw(0), dw(48), dw(2835), dw(2835), dw(0), dw(0);
    for (int i = 0; i < 16; ++i)
        t += std::string{char(b), char(g), char(r)};
    return t;
}

// Pixel classes of lit colours (only the dominant channels are known).
inline bool Krasnyj(COLORREF c) {
    return GetRValue(c) >= 80 && GetGValue(c) * 3 < GetRValue(c) && GetBValue(c) * 3 < GetRValue(c);
}
inline bool Zelenyj(COLORREF c) {
    return GetGValue(c) >= 80 && GetRValue(c) * 3 < GetGValue(c) && GetBValue(c) * 3 < GetGValue(c);
}
inline bool Sinij(COLORREF c) {
    return GetBValue(c) >= 80 && GetRValue(c) * 3 < GetBValue(c) && GetGValue(c) * 3 < GetBValue(c);
}
inline bool Belyj(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200;
}

// Where the pixels of one class lie in a rectangle of the capture.
struct Pjatno {
    long n = 0;
    RECT ramka{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    double cx = 0, cy = 0;
};
inline Pjatno Najti(const zytest::Snimok& s, const RECT& r, bool (*klass)(COLORREF)) {
    Pjatno p;
    for (long y = r.top; y < r.bottom; ++y)
        for (long x = r.left; x < r.right; ++x)
            if (klass(s.Piksel(x, y))) {
                ++p.n;
                p.cx += double(x);
                p.cy += double(y);
                p.ramka = {std::min(p.ramka.left, x), std::min(p.ramka.top, y),
                           std::max(p.ramka.right, x + 1), std::max(p.ramka.bottom, y + 1)};
            }
    if (p.n) {
        p.cx /= double(p.n);
        p.cy /= double(p.n);
    }
    return p;
}

// Captures the screen until `uslovie` holds for the capture (at most 15 s, the thread's messages
// served meanwhile); the last capture.
inline zytest::Snimok Snjat(const std::function<bool(const zytest::Snimok&)>& uslovie) {
    zytest::Snimok s;
    zytest::ZhdatPoka(
        [&] {
            s = zytest::SnjatEkran();
            return !s.Est() || uslovie(s);
        },
        15000);
    return s;
}

// The model scene's state for controller `k` (empty when the scene never ran there).
inline ZYS_SVODKA_MODELI Svodka(Quorvel::ZYKGLKONTROL& k) {
    ZYS_SVODKA_MODELI s{};
    ZyScenaModelSvodka(&k, &s);
    return s;
}

// Drops the file onto view `okno` as the shell does (an HDROP with one wide name).
inline void Sbrosit(HWND okno, const std::wstring& put) {
    const std::size_t bajtov = sizeof(DROPFILES) + (put.size() + 2) * sizeof(wchar_t);
    HGLOBAL h = GlobalAlloc(GHND, bajtov);
    ASSERT_NE(nullptr, h);
    auto* d = static_cast<DROPFILES*>(GlobalLock(h));
    d->pFiles = sizeof(DROPFILES);
    d->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(d) + sizeof(DROPFILES), put.c_str(),
                put.size() * sizeof(wchar_t));
    GlobalUnlock(h);
    ASSERT_TRUE(PostMessageA(okno, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0));
}

// A left click at screen point (x, y) of view `okno`.
inline void Klik(HWND okno, double x, double y) {
    const RECT v = zytest::KlientNaEkrane(okno);
    const LPARAM l = MAKELPARAM(long(x) - v.left, long(y) - v.top);
    PostMessageA(okno, WM_LBUTTONDOWN, MK_LBUTTON, l);
    PostMessageA(okno, WM_LBUTTONUP, 0, l);
}

} // namespace zyt

#endif // ZYTESTMODELI_H
