// The glTF loader's implementation (tinygltf, from the system's header, with nlohmann-json),
// compiled once in this module. Its options (no file system of its own, no image codec of its
// own, no writing) are set for the whole module in CMakeLists.txt: files are read through the
// module's callbacks and images decoded by its own loader (ZyModelGltf.cpp).
#define TINYGLTF_IMPLEMENTATION
#include "tiny_gltf.h"
