// Decoding texture images (see ZyTekstura.h).
#include "ZyTekstura.h"

#include "stb_image.h"

#include <climits>
#include <cstring>
#include <memory>

namespace zymodel {

namespace {

// Frees what stb_image returned.
struct Osvobodit {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};

} // namespace

bool ZyDekodirovat(const unsigned char* b, std::size_t n, ZYS_TEKSTURA& t) {
    t = ZYS_TEKSTURA();
    if (!b || n == 0 || n > std::size_t(INT_MAX)) return false;
    int w = 0, h = 0, kanalov = 0;
    if (!stbi_info_from_memory(b, int(n), &w, &h, &kanalov)) return false;
    if (w < 1 || h < 1 || unsigned(w) > kMaksStoronyTekstury || unsigned(h) > kMaksStoronyTekstury)
        return false;
    std::unique_ptr<unsigned char, Osvobodit> p(
        stbi_load_from_memory(b, int(n), &w, &h, &kanalov, 4));
    if (!p) return false;
    t.shirina = unsigned(w);
    t.vysota = unsigned(h);
    t.rgba.assign(p.get(), p.get() + std::size_t(w) * std::size_t(h) * 4);
    return true;
}

bool ZyZagruzitTeksturu(const std::string& put, ZYS_TEKSTURA& t) {
    std::vector<unsigned char> b;
    if (ZyProchestFajl(put, b, kMaksRazmer) != ZYC_GOTOVO) return false;
    return ZyDekodirovat(b.data(), b.size(), t);
}

} // namespace zymodel
