// ZyRazborObj: the text of a Wavefront OBJ file read into flat arrays: vertex positions and
// colours, texture coordinates, the corners of every face, and the lines that name groups,
// objects, materials and material libraries, in their place among the faces. The text is cut
// at line ends into pieces that are read in parallel and joined in file order. Only the
// syntax is checked here; whether the corners point into the vertex list is the caller's.
// No system calls.
#ifndef ZYRAZBOROBJ_H
#define ZYRAZBOROBJ_H

#include "ZyModel.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zymodel {

// The kind of a line that changes what the faces after it belong to.
enum ZYE_STROKA_OBJ : unsigned char {
    ZYSO_GRUPPA,     // "g": a group (its names joined by blanks)
    ZYSO_OBJEKT,     // "o": an object (the rest of the line)
    ZYSO_MATERIAL,   // "usemtl": the material of the faces after it
    ZYSO_BIBLIOTEKA, // "mtllib": material files (the rest of the line)
};

// Such a line, after `gran` faces of the file.
struct ZYS_SOBYTIE_OBJ {
    std::size_t gran;
    ZYE_STROKA_OBJ vid;
    std::string tekst;
};

// The file's content.
struct ZYS_RAZBOR_OBJ {
    std::vector<float> v;        // x, y, z per vertex
    std::vector<float> cveta;    // r, g, b per vertex when every vertex line has them, else empty
    std::vector<float> vt;       // s, t per texture coordinate
    std::vector<int> ugolV;      // per corner, the vertex (0-based; relative indices resolved)
    std::vector<int> ugolVt;     // per corner, the texture coordinate or -1; empty when none has
    std::vector<unsigned> uglov; // corners of each face, in file order
    std::vector<ZYS_SOBYTIE_OBJ> sobytija; // in file order
    bool konechnye = true;                 // every vertex coordinate is a finite number
};

// Reads the OBJ text t[0..n-1] on up to `potokov` threads. `hod` sees the percentage read and
// may stop the work (ZYM_PRERVANO). Failures, the first that applies: ZYM_MNOGO_GRANEJ past
// kMaksGranej faces or kMaksTreugolnikov triangles (found while reading, before the rest is
// kept), ZYM_OBREZAN for faces of fewer than three corners (their number), and
// ZYM_OSHIBKA_CHTENIJA for a corner that is not a vertex number (o.tekst names the line).
ZYE_MODEL ZyRazobratTekstObj(const char* t, std::size_t n, unsigned potokov, ZYS_RAZBOR_OBJ& r,
                             ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod = {});

} // namespace zymodel

#endif // ZYRAZBOROBJ_H
