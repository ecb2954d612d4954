// A real OpenGL context for tests: a top-level window of the test's own class, a double-buffered
// RGBA pixel format with depth, and a rendering context current on the calling thread.
#ifndef ZYTESTKONTEKST_H
#define ZYTESTKONTEKST_H

#include <windows.h>
#include <GL/gl.h>

#include <vector>

namespace zytest {

class GLKontekst {
public:
    // A window whose client area is shirina x vysota pixels, and its context made current.
    GLKontekst(int shirina = 160, int vysota = 120) {
        static const char* klass = RegistrirovatKlass();
        RECT r{0, 0, shirina, vysota};
        AdjustWindowRect(&r, WS_POPUP, FALSE);
        okno_ =
            CreateWindowA(klass, "ZyTestGL", WS_POPUP | WS_VISIBLE, 0, 0, r.right - r.left,
                          r.bottom - r.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (!okno_) return;
        dc_ = GetDC(okno_);
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 24;
        pfd.cDepthBits = 24;
        const int nomer = ChoosePixelFormat(dc_, &pfd);
        if (nomer == 0 || !SetPixelFormat(dc_, nomer, &pfd)) return;
        DescribePixelFormat(dc_, nomer, sizeof format_, &format_);
        gl_ = wglCreateContext(dc_);
        if (gl_ && wglMakeCurrent(dc_, gl_)) gotov_ = true;
    }
    ~GLKontekst() {
        if (gl_) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(gl_);
        }
        if (dc_) ReleaseDC(okno_, dc_);
        if (okno_) DestroyWindow(okno_);
    }
    GLKontekst(const GLKontekst&) = delete;
    GLKontekst& operator=(const GLKontekst&) = delete;

    bool gotov() const { return gotov_; }
    HWND okno() const { return okno_; }
    HDC dc() const { return dc_; }
    HGLRC gl() const { return gl_; }
    const PIXELFORMATDESCRIPTOR& format() const { return format_; }

    // The RGBA bytes of pixel (x, y) of the back buffer, y counted from the bottom.
    static std::vector<unsigned char> Piksel(int x, int y) {
        std::vector<unsigned char> p(4, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }

private:
    static const char* RegistrirovatKlass() {
        WNDCLASSA wc{};
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZyTestGLOkno";
        RegisterClassA(&wc);
        return wc.lpszClassName;
    }

    HWND okno_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC gl_ = nullptr;
    PIXELFORMATDESCRIPTOR format_{};
    bool gotov_ = false;
};

// One context for the whole test program (NOTE: making a context costs about two seconds under
// Wine, so tests share one and reset the state they use). The size is the first caller's.
inline GLKontekst& ObshchijKontekst(int shirina = 160, int vysota = 120) {
    static GLKontekst kontekst(shirina, vysota);
    return kontekst;
}

// Puts back the state a test may have left: empty attribute stack, identity matrices,
// the given viewport, no depth test, line width 1, modelview mode.
inline void SbrositSostojanie(int shirina, int vysota) {
    GLint glubina = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &glubina);
    for (GLint i = 0; i < glubina; ++i)
        glPopAttrib();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, shirina, vysota);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(1.0f);
    while (glGetError() != GL_NO_ERROR) {
    }
}

// The current matrix mode and the modelview matrix, to check that an operation left them.
struct SostojanieMatric {
    GLint rezhim = 0;
    double modelview[16] = {};

    static SostojanieMatric Seichas() {
        SostojanieMatric s;
        glGetIntegerv(GL_MATRIX_MODE, &s.rezhim);
        glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview);
        return s;
    }
    bool operator==(const SostojanieMatric& d) const {
        for (int i = 0; i < 16; ++i)
            if (modelview[i] != d.modelview[i]) return false;
        return rezhim == d.rezhim;
    }
};

} // namespace zytest

#endif
