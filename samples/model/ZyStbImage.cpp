// The image decoder's implementation (stb_image, from the system's header), compiled once in
// this module; decoding from memory only (the model's files are read by the module itself).
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_FAILURE_USERMSG
#include "stb_image.h"
