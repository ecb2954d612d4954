// ZyModelGltf: a glTF 2.0 model (.gltf with its buffers and images, or .glb) read with
// tinygltf and checked before anything is drawn: every accessor is bounded by its buffer,
// every index by its vertex count, the node tree by a depth limit and a cycle check. Each node
// with a mesh becomes one object named after the node (or its mesh); node transforms are
// applied to the positions, base-colour factors and textures become materials, COLOR_0 and
// TEXCOORD_0 per-vertex colours and texture coordinates.
#ifndef ZYMODELGLTF_H
#define ZYMODELGLTF_H

#include "ZyModel.h"

namespace zymodel {

// Reads the glTF bytes `b` (JSON, or binary when `dvoichnyj`) of the file `put` into `m`;
// external buffers and images are read from the file's folder.
ZYE_MODEL ZyRazobratGltf(const std::vector<unsigned char>& b, bool dvoichnyj,
                         const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o,
                         const ZyfHod& hod);

} // namespace zymodel

#endif // ZYMODELGLTF_H
