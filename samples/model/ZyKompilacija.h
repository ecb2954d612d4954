// ZyKompilacija: a loaded model into OpenGL 1.1 objects of the current context: one texture
// object per texture, and, kept for comparison with the indexed drawing (tests, benchmarks),
// one immediate-mode display list per part (flat-shaded triangles in the material colours,
// per-vertex colours, textured where the material has a texture).
#ifndef ZYKOMPILACIJA_H
#define ZYKOMPILACIJA_H

#include "ZyModel.h"

#include <windows.h>

#include <GL/gl.h>

#include <vector>

namespace zymodel {

// Texture objects of the model's textures (0 where one could not be made), in model order.
std::vector<GLuint> ZySozdatTekstury(const ZYS_MODEL& m);

// Compiles part `c` of `m` into list `spisok`; `tekstury` are the model's texture objects.
void ZyKompilirovatChast(const ZYS_MODEL& m, const ZYS_CHAST& c,
                         const std::vector<GLuint>& tekstury, GLuint spisok);

} // namespace zymodel

#endif // ZYKOMPILACIJA_H
