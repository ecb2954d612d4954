// The OpenGL context of the tests and the benchmarks.
#include "ZyTestGL.h"

namespace zytest {

GLKontekst::GLKontekst(int shirina, int vysota)
    : okno_(0, 0, shirina, vysota, WS_POPUP | WS_VISIBLE, DefWindowProcA, "ZyTestGL") {
    if (!okno_.hwnd()) return;
    dc_ = GetDC(okno_.hwnd());
    gotov_ = Nastroit();
}

GLKontekst::~GLKontekst() {
    if (gl_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(gl_);
    }
    if (dc_) ReleaseDC(okno_.hwnd(), dc_);
}

bool GLKontekst::Nastroit() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 24;
    const int nomer = ChoosePixelFormat(dc_, &pfd);
    if (nomer == 0 || !SetPixelFormat(dc_, nomer, &pfd)) return false;
    DescribePixelFormat(dc_, nomer, sizeof format_, &format_);
    gl_ = wglCreateContext(dc_);
    return gl_ && wglMakeCurrent(dc_, gl_);
}

std::vector<unsigned char> GLKontekst::Piksel(int x, int y) {
    std::vector<unsigned char> p(4, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    return p;
}

GLKontekst& ObshchijKontekst(int shirina, int vysota) {
    static GLKontekst kontekst(shirina, vysota);
    return kontekst;
}

void SbrositSostojanie(int shirina, int vysota) {
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

SostojanieMatric SostojanieMatric::Seichas() {
    SostojanieMatric s;
    glGetIntegerv(GL_MATRIX_MODE, &s.rezhim);
    glGetDoublev(GL_MODELVIEW_MATRIX, s.modelview);
    return s;
}

bool SostojanieMatric::operator==(const SostojanieMatric& d) const {
    for (int i = 0; i < 16; ++i)
        if (modelview[i] != d.modelview[i]) return false;
    return rezhim == d.rezhim;
}

} // namespace zytest
