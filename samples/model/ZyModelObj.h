// ZyModelObj: a Wavefront OBJ model read with tinyobjloader and checked before anything is
// drawn: the face count is bounded before parsing, every corner index is validated against the
// vertex list, polygons of any number of corners are split here by ear clipping (never by the
// loader, which would read the corners before anyone checked them), per-vertex colours
// ("v x y z r g b") and the materials' diffuse colours and map_Kd textures are kept.
#ifndef ZYMODELOBJ_H
#define ZYMODELOBJ_H

#include "ZyModel.h"

namespace zymodel {

// Reads the OBJ text t[0..n-1] of the file `put` (its .mtl files and textures are looked up
// beside it) into `m`; `hod` sees the percentage parsed.
ZYE_MODEL ZyRazobratObj(const char* t, std::size_t n, const std::string& put, ZYS_MODEL& m,
                        ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod);

} // namespace zymodel

#endif // ZYMODELOBJ_H
