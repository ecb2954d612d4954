// Reading a model file of any of the kinds the scene shows (see ZyModel.h).
#include "ZyModel.h"

#include "ZyModelGltf.h"
#include "ZyModelObj.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace zymodel {

namespace {

// Share of the load's percentage that reading the file takes.
constexpr int kChtenieDo = 10;

// Whether the bytes are glTF's JSON: "{" first, after blanks and a UTF-8 mark.
bool EtoJson(const std::vector<unsigned char>& b) {
    std::size_t i = ZyKodirovka(b.data(), b.size()) == ZYK_UTF8_BOM ? 3 : 0;
    while (i < b.size() && (b[i] == ' ' || b[i] == '\t' || b[i] == '\r' || b[i] == '\n'))
        ++i;
    return i < b.size() && b[i] == '{';
}

// The load itself; may throw std::bad_alloc.
ZYE_MODEL Zagruzit(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod) {
    std::vector<unsigned char> b;
    const ZyfHod hodChtenija = [&hod](int p) { return !hod || hod(p * kChtenieDo / 100); };
    switch (ZyProchestFajl(put, b, kMaksRazmer, hodChtenija)) {
    case ZYC_GOTOVO:
        break;
    case ZYC_BOLSHOJ:
        return ZyOshibka(o, ZYM_BOLSHOJ, static_cast<long long>(kMaksRazmer >> 20));
    case ZYC_PRERVANO:
        return ZyOshibka(o, ZYM_PRERVANO);
    default:
        return ZyOshibka(o, ZYM_NET_FAJLA);
    }
    if (b.size() >= 4 && std::memcmp(b.data(), "glTF", 4) == 0)
        return ZyRazobratGltf(b, true, put, m, o, hod);
    if (ZyKodirovka(b.data(), b.size()) == ZYK_UTF16) return ZyOshibka(o, ZYM_UTF16);
    if (EtoJson(b)) return ZyRazobratGltf(b, false, put, m, o, hod);
    return ZyRazobratObj(b, put, m, o, hod);
}

} // namespace

ZYE_MODEL ZyOshibka(ZYS_OSHIBKA_MODELI& o, ZYE_MODEL kod, long long znachenie,
                    unsigned long predel) {
    o.kod = kod;
    o.znachenie = znachenie;
    o.predel = predel;
    return kod;
}

void ZyRasshirit(float* mn, float* mx, const float* p, bool pervaja) {
    for (int i = 0; i < 3; ++i) {
        if (pervaja || p[i] < mn[i]) mn[i] = p[i];
        if (pervaja || p[i] > mx[i]) mx[i] = p[i];
    }
}

ZYE_MODEL ZyZagruzitModel(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o,
                          const ZyfHod& hod) {
    m = ZYS_MODEL();
    o = ZYS_OSHIBKA_MODELI();
    ZYE_MODEL r;
    try {
        r = Zagruzit(put, m, o, hod);
    } catch (const std::bad_alloc&) {
        r = ZyOshibka(o, ZYM_PAMJAT);
    }
    if (r != ZYM_GOTOVO) m = ZYS_MODEL();
    return r;
}

std::string ZyTekstOshibki(const ZYS_OSHIBKA_MODELI& o, const std::string& put) {
    char b[900];
    const std::string imja = ZyAnsi(put), tekst = ZyAnsi(o.tekst);
    const char* p = imja.c_str();
    switch (o.kod) {
    case ZYM_GOTOVO:
    case ZYM_PRERVANO:
        return std::string();
    case ZYM_NET_FAJLA:
        std::snprintf(b, sizeof b, "The model file \"%s\" cannot be opened.", p);
        break;
    case ZYM_BOLSHOJ:
        std::snprintf(b, sizeof b, "The model file \"%s\" is larger than \"%lld\" MB.", p,
                      o.znachenie);
        break;
    case ZYM_MNOGO_GRANEJ:
        std::snprintf(b, sizeof b,
                      "The model \"%s\" has more than \"%lu\" faces or triangles: it is not "
                      "loaded.",
                      p, o.predel);
        break;
    case ZYM_OSHIBKA_CHTENIJA:
        std::snprintf(b, sizeof b, "The model \"%s\" cannot be read: \"%.300s\"", p, tekst.c_str());
        break;
    case ZYM_NE_OBJ:
        std::snprintf(b, sizeof b, "The file \"%s\" is not an OBJ model: it has no vertices.", p);
        break;
    case ZYM_NET_GRANEJ:
        std::snprintf(b, sizeof b, "The model \"%s\" has no faces.", p);
        break;
    case ZYM_OBREZAN:
        std::snprintf(b, sizeof b,
                      "The model \"%s\" has faces with fewer than three corners: the file may "
                      "be cut short.",
                      p);
        break;
    case ZYM_INDEKS:
        std::snprintf(b, sizeof b,
                      "A face of the model \"%s\" refers to vertex \"%lld\", but the file has "
                      "\"%lu\" vertices.",
                      p, o.znachenie, o.predel);
        break;
    case ZYM_CHISLO:
        std::snprintf(b, sizeof b, "The model \"%s\" has a vertex coordinate that is not a number.",
                      p);
        break;
    case ZYM_PAMJAT:
        std::snprintf(b, sizeof b, "The model \"%s\" does not fit in memory.", p);
        break;
    case ZYM_UTF16:
        std::snprintf(b, sizeof b,
                      "The model \"%s\" is a UTF-16 text file: save it as UTF-8 or ANSI text.", p);
        break;
    default:
        std::snprintf(b, sizeof b, "The model \"%s\" cannot be loaded.", p);
        break;
    }
    return b;
}

} // namespace zymodel
