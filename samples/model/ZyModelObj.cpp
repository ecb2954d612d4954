// Reading and checking an OBJ model (see ZyModelObj.h).
#include "ZyModelObj.h"

#include <windows.h>

#include "tiny_obj_loader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <istream>
#include <new>
#include <streambuf>

namespace zymodel {

namespace {

// A read-only stream over bytes already in memory (no copy of a file of many megabytes).
class ZyBuferPotoka : public std::streambuf {
public:
    ZyBuferPotoka(char* b, std::size_t n) { setg(b, b, b + n); }
};

// Owns a file handle.
struct ZyFajl {
    HANDLE h;
    explicit ZyFajl(const std::string& put)
        : h(CreateFileA(put.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ZyFajl() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    ZyFajl(const ZyFajl&) = delete;
    ZyFajl& operator=(const ZyFajl&) = delete;
};

// Sets the failure and returns its code.
ZYE_MODEL Oshibka(ZYS_OSHIBKA_MODELI& o, ZYE_MODEL kod, long long znachenie = 0,
                  unsigned long predel = 0) {
    o.kod = kod;
    o.znachenie = znachenie;
    o.predel = predel;
    return kod;
}

// The whole file into `tekst`, refusing files above kMaksRazmer.
ZYE_MODEL ProchestFajl(const std::string& put, std::string& tekst, ZYS_OSHIBKA_MODELI& o) {
    ZyFajl f(put);
    if (f.h == INVALID_HANDLE_VALUE) return Oshibka(o, ZYM_NET_FAJLA);
    LARGE_INTEGER razmer{};
    if (!GetFileSizeEx(f.h, &razmer)) return Oshibka(o, ZYM_NET_FAJLA);
    if (static_cast<unsigned long long>(razmer.QuadPart) > kMaksRazmer)
        return Oshibka(o, ZYM_BOLSHOJ, static_cast<long long>(kMaksRazmer >> 20));
    tekst.resize(static_cast<std::size_t>(razmer.QuadPart));
    std::size_t prochitano = 0;
    while (prochitano < tekst.size()) {
        DWORD porcija = 0;
        const DWORD nado =
            static_cast<DWORD>(std::min<std::size_t>(tekst.size() - prochitano, 1u << 24));
        if (!ReadFile(f.h, &tekst[prochitano], nado, &porcija, nullptr) || porcija == 0)
            return Oshibka(o, ZYM_NET_FAJLA);
        prochitano += porcija;
    }
    return ZYM_GOTOVO;
}

// Counts the face lines ("f" and a blank after optional leading blanks) the way the loader
// recognises them; stops as soon as there are more than kMaksGranej.
unsigned long SchitatGrani(const std::string& t) {
    unsigned long n = 0;
    std::size_t i = 0;
    const std::size_t konec = t.size();
    while (i < konec && n <= kMaksGranej) {
        while (i < konec && (t[i] == ' ' || t[i] == '\t'))
            ++i;
        if (i + 1 < konec && t[i] == 'f' && (t[i + 1] == ' ' || t[i + 1] == '\t')) ++n;
        const std::size_t nl = t.find('\n', i);
        if (nl == std::string::npos) break;
        i = nl + 1;
    }
    return n;
}

// The folder of `put` with its trailing separator ("" for a bare file name).
std::string Papka(const std::string& put) {
    const std::size_t i = put.find_last_of("\\/");
    return i == std::string::npos ? std::string() : put.substr(0, i + 1);
}

// The first line of the loader's error text.
std::string PervajaStroka(const std::string& s) {
    const std::size_t i = s.find_first_of("\r\n");
    return i == std::string::npos ? s : s.substr(0, i);
}

// Grows the box [mn, mx] by the point p.
void Rasshirit(float* mn, float* mx, const float* p, bool pervaja) {
    for (int i = 0; i < 3; ++i) {
        if (pervaja || p[i] < mn[i]) mn[i] = p[i];
        if (pervaja || p[i] > mx[i]) mx[i] = p[i];
    }
}

// Checks one loader shape and splits its polygons into triangles (fans) in `c`; `metka` marks
// the vertices already counted for this part (value `nomer`).
ZYE_MODEL Chast(const tinyobj::shape_t& s, const ZYS_MODEL& m, std::vector<unsigned>& metka,
                unsigned nomer, std::size_t materialov, ZYS_CHAST& c, ZYS_OSHIBKA_MODELI& o) {
    const long long vershin = static_cast<long long>(m.vershiny.size() / 3);
    const auto& ind = s.mesh.indices;
    std::size_t smeshchenie = 0;
    c.imja = s.name;
    c.granej = static_cast<unsigned long>(s.mesh.num_face_vertices.size());
    for (std::size_t f = 0; f < s.mesh.num_face_vertices.size(); ++f) {
        const std::size_t uglov = s.mesh.num_face_vertices[f];
        if (uglov < 3) return Oshibka(o, ZYM_OBREZAN);
        if (smeshchenie + uglov > ind.size()) return Oshibka(o, ZYM_UGLY, 255);
        int mat = f < s.mesh.material_ids.size() ? s.mesh.material_ids[f] : -1;
        if (mat < 0 || static_cast<std::size_t>(mat) >= materialov) mat = -1;
        for (std::size_t j = 0; j < uglov; ++j) {
            const long long v = ind[smeshchenie + j].vertex_index;
            if (v < 0 || v >= vershin)
                return Oshibka(o, ZYM_INDEKS, v + 1, static_cast<unsigned long>(vershin));
            if (metka[static_cast<std::size_t>(v)] != nomer) {
                metka[static_cast<std::size_t>(v)] = nomer;
                ++c.vershin;
                Rasshirit(c.min, c.max, &m.vershiny[3 * static_cast<std::size_t>(v)],
                          c.vershin == 1);
            }
        }
        for (std::size_t j = 1; j + 1 < uglov; ++j) {
            c.treugolniki.push_back(static_cast<unsigned>(ind[smeshchenie].vertex_index));
            c.treugolniki.push_back(static_cast<unsigned>(ind[smeshchenie + j].vertex_index));
            c.treugolniki.push_back(static_cast<unsigned>(ind[smeshchenie + j + 1].vertex_index));
            c.materialy.push_back(mat);
        }
        smeshchenie += uglov;
        if (c.materialy.size() > kMaksTreugolnikov)
            return Oshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
    }
    // More corners than the face counts cover: the loader's per-face count overflowed.
    if (smeshchenie != ind.size()) return Oshibka(o, ZYM_UGLY, 255);
    return ZYM_GOTOVO;
}

// Checks the loader's result and fills `m`.
ZYE_MODEL Proverit(tinyobj::attrib_t& a, const std::vector<tinyobj::shape_t>& shapes,
                   const std::vector<tinyobj::material_t>& materialy, unsigned long strokGranej,
                   ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o) {
    m.vershiny.swap(a.vertices);
    if (m.vershiny.size() < 3) return Oshibka(o, ZYM_NE_OBJ);
    for (float x : m.vershiny)
        if (!std::isfinite(x)) return Oshibka(o, ZYM_CHISLO);
    for (const auto& mt : materialy)
        for (int i = 0; i < 3; ++i)
            m.cveta.push_back(std::isfinite(mt.diffuse[i])
                                  ? std::min(1.0f, std::max(0.0f, float(mt.diffuse[i])))
                                  : 0.7f);
    std::vector<unsigned> metka(m.vershiny.size() / 3, 0);
    bool pervaja = true;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].mesh.num_face_vertices.empty()) continue;
        ZYS_CHAST c;
        const ZYE_MODEL r = Chast(shapes[i], m, metka, static_cast<unsigned>(m.chasti.size() + 1),
                                  materialy.size(), c, o);
        if (r != ZYM_GOTOVO) return r;
        m.granej += c.granej;
        m.treugolnikov += static_cast<unsigned long>(c.materialy.size());
        if (m.treugolnikov > kMaksTreugolnikov)
            return Oshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
        Rasshirit(m.min, m.max, c.min, pervaja);
        Rasshirit(m.min, m.max, c.max, false);
        pervaja = false;
        m.chasti.push_back(std::move(c));
    }
    if (m.chasti.empty()) return Oshibka(o, ZYM_NET_GRANEJ);
    // The loader drops faces of fewer than three corners with a mere warning.
    if (m.granej < strokGranej) return Oshibka(o, ZYM_OBREZAN, strokGranej - m.granej);
    return ZYM_GOTOVO;
}

// The load itself; may throw std::bad_alloc.
ZYE_MODEL Zagruzit(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o) {
    std::string tekst;
    if (ProchestFajl(put, tekst, o) != ZYM_GOTOVO) return o.kod;
    const unsigned long strokGranej = SchitatGrani(tekst);
    if (strokGranej > kMaksGranej) return Oshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksGranej);

    ZyBuferPotoka bufer(&tekst[0], tekst.size());
    std::istream potok(&bufer);
    tinyobj::MaterialFileReader chitatelMtl(Papka(put));
    tinyobj::attrib_t a;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materialy;
    std::string preduprezhdenija, oshibki;
    if (!tinyobj::LoadObj(&a, &shapes, &materialy, &preduprezhdenija, &oshibki, &potok,
                          &chitatelMtl, false, false)) {
        o.tekst = PervajaStroka(oshibki);
        return Oshibka(o, ZYM_OSHIBKA_CHTENIJA);
    }
    std::string().swap(tekst);
    return Proverit(a, shapes, materialy, strokGranej, m, o);
}

} // namespace

ZYE_MODEL ZyZagruzitObj(const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o) {
    m = ZYS_MODEL();
    o = ZYS_OSHIBKA_MODELI();
    ZYE_MODEL r;
    try {
        r = Zagruzit(put, m, o);
    } catch (const std::bad_alloc&) {
        r = Oshibka(o, ZYM_PAMJAT);
    }
    if (r != ZYM_GOTOVO) m = ZYS_MODEL();
    return r;
}

std::string ZyTekstOshibki(const ZYS_OSHIBKA_MODELI& o, const std::string& put) {
    char b[600];
    const char* p = put.c_str();
    switch (o.kod) {
    case ZYM_GOTOVO:
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
        std::snprintf(b, sizeof b, "The model \"%s\" cannot be read: \"%s\"", p, o.tekst.c_str());
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
    case ZYM_UGLY:
        std::snprintf(b, sizeof b, "The model \"%s\" has a face with more than \"%lld\" corners.",
                      p, o.znachenie);
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
    default:
        std::snprintf(b, sizeof b, "The model \"%s\" cannot be loaded.", p);
        break;
    }
    return b;
}

} // namespace zymodel
