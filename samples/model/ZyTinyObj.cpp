// The OBJ loader's implementation (tinyobjloader, from the system's header), compiled once in
// this module.
#define TINYOBJLOADER_IMPLEMENTATION
#include "tiny_obj_loader.h"
