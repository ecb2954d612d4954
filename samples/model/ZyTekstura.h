// ZyTekstura: images of a model's textures (PNG, JPEG, BMP, TGA, GIF, ...) decoded with
// stb_image into RGBA bytes, refusing images larger than kMaksStoronyTekstury on a side.
#ifndef ZYTEKSTURA_H
#define ZYTEKSTURA_H

#include "ZyModel.h"

#include <cstddef>

namespace zymodel {

// Decodes the image bytes b[0..n-1] into `t`; false (and `t` empty) when they are not an image
// stb_image reads or the image is too large.
bool ZyDekodirovat(const unsigned char* b, std::size_t n, ZYS_TEKSTURA& t);

// Reads and decodes the image file `put` (UTF-8); false when it cannot be read or decoded.
bool ZyZagruzitTeksturu(const std::string& put, ZYS_TEKSTURA& t);

} // namespace zymodel

#endif // ZYTEKSTURA_H
