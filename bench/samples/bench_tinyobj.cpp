// tinyobjloader's implementation for the benchmark's reference figure (parse alone).
#define TINYOBJLOADER_IMPLEMENTATION
#include "tiny_obj_loader.h"
