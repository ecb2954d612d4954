// Test helper: what a person sees. Captures the X screen (the root window, as the X server
// shows it) with ImageMagick's `import`, a Unix program that Wine starts like any other, and
// reads pixels of the capture.
#ifndef ZYTESTEKRAN_H
#define ZYTESTEKRAN_H

#include <windows.h>

#include <string>
#include <vector>

namespace zytest {

// One capture of the screen: rows from the top, three bytes (red, green, blue) a pixel.
struct Snimok {
    long shirina = 0, vysota = 0;
    std::vector<unsigned char> rgb;
    std::string oshibka; // why the capture failed (empty when it worked)

    bool Est() const { return shirina > 0 && vysota > 0; }
    // The pixel at screen position (x, y) as RGB(); CLR_INVALID outside the capture.
    COLORREF Piksel(long x, long y) const;
    // Pixels of the rectangle (screen coordinates) that differ from black.
    long NeChernyh(const RECT& r) const;
};

// Captures the screen now, serving this thread's messages while `import` runs (at most `ms`).
Snimok SnjatEkran(DWORD ms = 20000);

// The top-left corner of a window's client area and its size, in screen coordinates.
RECT KlientNaEkrane(HWND okno);

} // namespace zytest

#endif // ZYTESTEKRAN_H
