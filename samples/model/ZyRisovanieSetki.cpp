// Indexed meshes in an OpenGL context (see ZyRisovanieSetki.h).
#include "ZyRisovanieSetki.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace zymodel {

namespace {

// An entry point of the current context, under its core name or else its extension's name.
// NOTE: some drivers give 1, 2, 3 or -1 instead of null for a function they lack.
template <class F> F Funkcija(const char* jadro, const char* rasshirenie) {
    for (const char* imja : {jadro, rasshirenie}) {
        if (!imja) continue;
        const PROC p = wglGetProcAddress(imja);
        const std::intptr_t x = reinterpret_cast<std::intptr_t>(p);
        if (p && x != 1 && x != 2 && x != 3 && x != -1)
            return reinterpret_cast<F>(reinterpret_cast<void (*)()>(p));
    }
    return nullptr;
}

// Whether the current context has vertex buffers: OpenGL 1.5 or later under the core names,
// else ARB_vertex_buffer_object under its own (-1: none, 0: core, 1: extension).
int VidBuferov() {
    const char* versija = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int glavnaja = 0, vtorichnaja = 0;
    if (versija && std::sscanf(versija, "%d.%d", &glavnaja, &vtorichnaja) == 2 &&
        (glavnaja > 1 || (glavnaja == 1 && vtorichnaja >= 5)))
        return 0;
    const char* r = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!r) return -1;
    const char* imja = "GL_ARB_vertex_buffer_object";
    const std::size_t n = std::strlen(imja);
    for (const char* p = std::strstr(r, imja); p; p = std::strstr(p + 1, imja))
        if ((p == r || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return 1;
    return -1;
}

// Drops errors left by earlier calls, so that the next look sees only ours (bounded: a lost
// context may report an error every time).
void SbrositOshibki() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// Whether an error since SbrositOshibki() says the context is out of memory.
bool NetPamjati() {
    bool net = false;
    for (GLenum e; (e = glGetError()) != GL_NO_ERROR;)
        net = net || e == GL_OUT_OF_MEMORY;
    return net;
}

// Triangles drawn between two flushes of a mesh in buffers.
// NOTE: a software rasterizer (Mesa's llvmpipe) rasterizes what it was sent only once it is
// flushed; flushing every batch lets it rasterize one batch on its threads while the next is
// sent, which measured about 40 % off a frame of a million triangles (batches of 16k to 64k
// triangles did about as well). A graphics card takes a flush in stride.
constexpr std::size_t kTreugolnikovDoSbrosa = 32768;

// The runs of triangles with their textures; `baza` is the index array, or null for the
// bound index buffer (then drawn in batches, each flushed).
void Otrezki(const std::vector<ZYS_OTREZOK>& otrezki, const unsigned* baza,
             const std::vector<GLuint>& tekstury) {
    for (const ZYS_OTREZOK& o : otrezki) {
        const GLuint t = o.tekstura >= 0 && std::size_t(o.tekstura) < tekstury.size()
                             ? tekstury[std::size_t(o.tekstura)]
                             : 0;
        if (t) {
            glBindTexture(GL_TEXTURE_2D, t);
            glEnable(GL_TEXTURE_2D);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        if (baza) {
            glDrawElements(GL_TRIANGLES, GLsizei(3 * std::size_t(o.kol)), GL_UNSIGNED_INT,
                           baza + 3 * std::size_t(o.nachalo));
            continue;
        }
        for (std::size_t t = o.nachalo, kon = std::size_t(o.nachalo) + o.kol; t < kon;) {
            const std::size_t n = std::min(kon - t, kTreugolnikovDoSbrosa);
            glDrawElements(GL_TRIANGLES, GLsizei(3 * n), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(3 * t * sizeof(unsigned)));
            glFlush();
            t += n;
        }
    }
    glDisable(GL_TEXTURE_2D);
}

// Points the vertex arrays at `vershiny` and `uv` (client memory, or offsets into the bound
// buffers when they are null) and switches them on.
void Massivy(const ZYS_VERSHINA_SETKI* vershiny, const float* uv, bool sUv, const ZYS_BUFERY_GL* b,
             GLuint buferUv) {
    const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(vershiny);
    auto pole = [v](std::size_t smeshchenie) {
        return reinterpret_cast<const void*>(v + smeshchenie);
    };
    const GLsizei shag = sizeof(ZYS_VERSHINA_SETKI);
    glVertexPointer(3, GL_FLOAT, shag, pole(offsetof(ZYS_VERSHINA_SETKI, p)));
    glNormalPointer(GL_SHORT, shag, pole(offsetof(ZYS_VERSHINA_SETKI, n)));
    glColorPointer(4, GL_UNSIGNED_BYTE, shag, pole(offsetof(ZYS_VERSHINA_SETKI, cvet)));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (sUv) {
        if (b) b->bind(GL_ARRAY_BUFFER, buferUv);
        glTexCoordPointer(2, GL_FLOAT, 0, uv);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

// Puts `s` into buffers; false when the context is out of memory.
bool VBufery(const ZYS_BUFERY_GL& b, const ZYS_SETKA& s, ZYS_SETKA_GL& g) {
    GLuint id[3] = {0, 0, 0};
    const GLsizei n = s.uv.empty() ? 2 : 3;
    b.gen(n, id);
    b.bind(GL_ARRAY_BUFFER, id[0]);
    b.data(GL_ARRAY_BUFFER, GLsizeiptr(s.vershiny.size() * sizeof(ZYS_VERSHINA_SETKI)),
           s.vershiny.data(), GL_STATIC_DRAW);
    b.bind(GL_ELEMENT_ARRAY_BUFFER, id[1]);
    b.data(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(s.indeksy.size() * sizeof(unsigned)),
           s.indeksy.data(), GL_STATIC_DRAW);
    if (!s.uv.empty()) {
        b.bind(GL_ARRAY_BUFFER, id[2]);
        b.data(GL_ARRAY_BUFFER, GLsizeiptr(s.uv.size() * sizeof(float)), s.uv.data(),
               GL_STATIC_DRAW);
    }
    b.bind(GL_ARRAY_BUFFER, 0);
    b.bind(GL_ELEMENT_ARRAY_BUFFER, 0);
    if (NetPamjati() || !id[0] || !id[1] || (n == 3 && !id[2])) {
        b.del(n, id);
        return false;
    }
    g.vershiny = id[0];
    g.indeksy = id[1];
    g.uv = id[2];
    return true;
}

// Compiles `s` into list `spisok`; false when the context is out of memory.
bool VSpisok(const ZYS_SETKA& s, GLuint spisok, const std::vector<GLuint>& tekstury,
             ZYS_SETKA_GL& g) {
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    Massivy(s.vershiny.data(), s.uv.data(), !s.uv.empty(), nullptr, 0);
    // The arrays are read into the list as it is compiled.
    glNewList(spisok, GL_COMPILE);
    glShadeModel(s.gladkaja ? GL_SMOOTH : GL_FLAT);
    Otrezki(s.otrezki, s.indeksy.data(), tekstury);
    glEndList();
    glPopClientAttrib();
    if (NetPamjati()) {
        glNewList(spisok, GL_COMPILE); // the list left empty
        glEndList();
        return false;
    }
    g.spisok = spisok;
    return true;
}

} // namespace

ZYS_BUFERY_GL ZyNajtiBufery() {
    ZYS_BUFERY_GL b;
    const int vid = VidBuferov();
    if (vid < 0) return b;
    const bool arb = vid == 1;
    b.gen = Funkcija<PFNGLGENBUFFERSPROC>(arb ? nullptr : "glGenBuffers", "glGenBuffersARB");
    b.bind = Funkcija<PFNGLBINDBUFFERPROC>(arb ? nullptr : "glBindBuffer", "glBindBufferARB");
    b.data = Funkcija<PFNGLBUFFERDATAPROC>(arb ? nullptr : "glBufferData", "glBufferDataARB");
    b.del =
        Funkcija<PFNGLDELETEBUFFERSPROC>(arb ? nullptr : "glDeleteBuffers", "glDeleteBuffersARB");
    if (!b.Est()) b = ZYS_BUFERY_GL();
    return b;
}

bool ZyZagruzitSetku(const ZYS_BUFERY_GL& b, const ZYS_SETKA& s, GLuint spisok,
                     const std::vector<GLuint>& tekstury, ZYS_SETKA_GL& g) {
    g = ZYS_SETKA_GL();
    g.otrezki = s.otrezki;
    g.gladkaja = s.gladkaja;
    g.treugolnikov = static_cast<unsigned long>(s.Treugolnikov());
    if (s.indeksy.empty()) return true; // nothing to draw
    SbrositOshibki();
    const bool gotovo = b.Est() ? VBufery(b, s, g) : VSpisok(s, spisok, tekstury, g);
    if (!gotovo) g = ZYS_SETKA_GL();
    return gotovo;
}

void ZyNarisovatSetku(const ZYS_BUFERY_GL& b, const ZYS_SETKA_GL& g,
                      const std::vector<GLuint>& tekstury) {
    if (g.spisok) {
        glCallList(g.spisok);
        return;
    }
    if (!g.vershiny || !b.Est()) return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glShadeModel(g.gladkaja ? GL_SMOOTH : GL_FLAT);
    b.bind(GL_ARRAY_BUFFER, g.vershiny);
    Massivy(nullptr, nullptr, g.uv != 0, &b, g.uv);
    b.bind(GL_ELEMENT_ARRAY_BUFFER, g.indeksy);
    Otrezki(g.otrezki, nullptr, tekstury);
    b.bind(GL_ARRAY_BUFFER, 0);
    b.bind(GL_ELEMENT_ARRAY_BUFFER, 0);
    glPopClientAttrib();
}

void ZyUdalitSetku(const ZYS_BUFERY_GL& b, ZYS_SETKA_GL& g) {
    GLuint id[3] = {g.vershiny, g.indeksy, g.uv};
    if (b.Est() && (id[0] || id[1] || id[2])) b.del(3, id);
    g = ZYS_SETKA_GL();
}

} // namespace zymodel
