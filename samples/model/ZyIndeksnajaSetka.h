// ZyIndeksnajaSetka: a part of a model as indexed arrays for OpenGL. A vertex shared between
// faces is stored once (position, normal, colour by material) and the triangles index it.
// Faces stay flat-shaded without a vertex per corner: under flat shading OpenGL takes a
// triangle's lit colour from its last corner, so every triangle is turned (its winding kept)
// to end on a vertex that carries its own normal; a vertex serves so for every triangle of
// its plane, and a triangle that finds none of its corners free gets a copy of one. Parts with
// per-vertex colours blend their colours across a face as before: they are shaded smoothly,
// with the face's normal at each corner. No OpenGL calls.
#ifndef ZYINDEKSNAJASETKA_H
#define ZYINDEKSNAJASETKA_H

#include "ZyModel.h"

#include <cstddef>
#include <vector>

namespace zymodel {

// One vertex as OpenGL reads it: position, normal (signed shorts, 32767 = 1), colour (RGBA).
struct ZYS_VERSHINA_SETKI {
    float p[3];
    short n[3];
    short zapas;
    unsigned char cvet[4];
};
static_assert(sizeof(ZYS_VERSHINA_SETKI) == 24, "24 bytes a vertex");

// Triangles [nachalo, nachalo + kol) drawn with the model's texture `tekstura` (-1: none).
struct ZYS_OTREZOK {
    unsigned nachalo, kol;
    int tekstura;
};

// A part ready for OpenGL.
struct ZYS_SETKA {
    std::vector<ZYS_VERSHINA_SETKI> vershiny;
    std::vector<float> uv;         // s, t per vertex; empty when no triangle is textured
    std::vector<unsigned> indeksy; // three per triangle
    std::vector<ZYS_OTREZOK> otrezki;
    bool gladkaja = false; // smooth shading (per-vertex colours)

    std::size_t Treugolnikov() const { return indeksy.size() / 3; }
    // Bytes of its arrays.
    std::size_t Bajtov() const {
        return vershiny.size() * sizeof(ZYS_VERSHINA_SETKI) + uv.size() * sizeof(float) +
               indeksy.size() * sizeof(unsigned);
    }
};

// The arrays of part `c` with the model's materials `materialy`, coloured as the part has
// always been drawn: the material's colour (grey without one), times the vertex colour where
// the part has them (white then without a material).
ZYS_SETKA ZyPostroitSetku(const std::vector<ZYS_MATERIAL>& materialy, const ZYS_CHAST& c);

} // namespace zymodel

#endif // ZYINDEKSNAJASETKA_H
