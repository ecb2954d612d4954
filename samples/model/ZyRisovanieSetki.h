// ZyRisovanieSetki: indexed meshes (ZyIndeksnajaSetka.h) in the current OpenGL context: in
// vertex buffers where the context has them (OpenGL 1.5 or ARB_vertex_buffer_object, their
// entry points looked up at run time), otherwise compiled into a display list of indexed
// arrays (OpenGL 1.1). Either way the data then lives in the context alone.
#ifndef ZYRISOVANIESETKI_H
#define ZYRISOVANIESETKI_H

#include "ZyIndeksnajaSetka.h"

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

namespace zymodel {

// The vertex-buffer entry points of a context.
struct ZYS_BUFERY_GL {
    PFNGLGENBUFFERSPROC gen = nullptr;
    PFNGLBINDBUFFERPROC bind = nullptr;
    PFNGLBUFFERDATAPROC data = nullptr;
    PFNGLDELETEBUFFERSPROC del = nullptr;
    bool Est() const { return gen && bind && data && del; }
};

// The entry points of the current context; none (Est() false) when it has no vertex buffers.
ZYS_BUFERY_GL ZyNajtiBufery();

// A mesh in the context.
struct ZYS_SETKA_GL {
    GLuint spisok = 0;                        // the compiled list (without vertex buffers)
    GLuint vershiny = 0, uv = 0, indeksy = 0; // the buffers
    std::vector<ZYS_OTREZOK> otrezki;
    bool gladkaja = false;
    unsigned long treugolnikov = 0;
};

// Puts `s` into the context: into buffers when `b` has them, else compiled into list `spisok`
// (`tekstury`: the texture objects of the model's textures, 0 where one could not be made).
// False when the context runs out of memory (then nothing of it is kept).
bool ZyZagruzitSetku(const ZYS_BUFERY_GL& b, const ZYS_SETKA& s, GLuint spisok,
                     const std::vector<GLuint>& tekstury, ZYS_SETKA_GL& g);

// Draws `g` (colour and normal arrays drive the lit colour; the shading model is set here).
void ZyNarisovatSetku(const ZYS_BUFERY_GL& b, const ZYS_SETKA_GL& g,
                      const std::vector<GLuint>& tekstury);

// Deletes the buffers of `g` (a list is deleted with its block).
void ZyUdalitSetku(const ZYS_BUFERY_GL& b, ZYS_SETKA_GL& g);

} // namespace zymodel

#endif // ZYRISOVANIESETKI_H
