// Test helper: a real OpenGL context (a top-level window of the tests' own class, a
// double-buffered RGBA pixel format with depth, a rendering context current on the calling
// thread), and the state checks of the tests that draw with it.
#ifndef ZYTESTGL_H
#define ZYTESTGL_H

#include "ZyTestOkno.h"

#include <windows.h>
#include <GL/gl.h>

#include <vector>

namespace zytest {

class GLKontekst {
public:
    // A popup window whose client area is shirina x vysota pixels, and its context made current.
    explicit GLKontekst(int shirina = 160, int vysota = 120);
    ~GLKontekst();
    GLKontekst(const GLKontekst&) = delete;
    GLKontekst& operator=(const GLKontekst&) = delete;

    bool gotov() const { return gotov_; }
    HWND okno() const { return okno_.hwnd(); }
    HDC dc() const { return dc_; }
    HGLRC gl() const { return gl_; }
    const PIXELFORMATDESCRIPTOR& format() const { return format_; }

    // The RGBA bytes of pixel (x, y) of the back buffer, y counted from the bottom.
    static std::vector<unsigned char> Piksel(int x, int y);

private:
    // Sets the pixel format and makes a context current; false when either fails.
    bool Nastroit();

    Okno okno_;
    HDC dc_ = nullptr;
    HGLRC gl_ = nullptr;
    PIXELFORMATDESCRIPTOR format_{};
    bool gotov_ = false;
};

// One context for the whole test program (NOTE: making a context costs about two seconds under
// Wine, so tests share one and reset the state they use). The size is the first caller's.
GLKontekst& ObshchijKontekst(int shirina = 160, int vysota = 120);

// Puts back the state a test may have left: empty attribute stack, identity matrices,
// the given viewport, no depth test, line width 1, modelview mode, no pending error.
void SbrositSostojanie(int shirina, int vysota);

// The current matrix mode and the modelview matrix, to check that an operation left them.
struct SostojanieMatric {
    GLint rezhim = 0;
    double modelview[16] = {};

    // The state now.
    static SostojanieMatric Seichas();
    // Same mode and the same matrix to the bit.
    bool operator==(const SostojanieMatric& d) const;
};

} // namespace zytest

#endif // ZYTESTGL_H
