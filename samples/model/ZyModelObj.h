// ZyModelObj: a Wavefront OBJ model read and checked before anything is drawn: the face and
// triangle counts are bounded while the text is read, every corner index is validated against
// the vertex list, polygons of any number of corners are split here by ear clipping,
// per-vertex colours ("v x y z r g b") and the materials' diffuse colours and map_Kd textures
// are kept. The text is read on several threads, the parts are built on several threads.
#ifndef ZYMODELOBJ_H
#define ZYMODELOBJ_H

#include "ZyModel.h"

namespace zymodel {

// Reads the OBJ text `b` of the file `put` (its .mtl files and textures are looked up beside
// it) into `m`, emptying `b` once it is read; `hod` sees the percentage done.
ZYE_MODEL ZyRazobratObj(std::vector<unsigned char>& b, const std::string& put, ZYS_MODEL& m,
                        ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod);

} // namespace zymodel

#endif // ZYMODELOBJ_H
