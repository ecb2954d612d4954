// Reading and checking an OBJ model (see ZyModelObj.h).
#include "ZyModelObj.h"

#include "ZyTekstura.h"
#include "ZyTriangulacija.h"

#include "tiny_obj_loader.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <map>
#include <streambuf>
#include <unordered_map>

namespace zymodel {

namespace {

// Share of the load's percentage that parsing takes (reading the file took the part before).
constexpr int kRazborOt = 10, kRazborDo = 75;

// A read-only stream over bytes already in memory, handed out a megabyte at a time so that
// the reader's progress is seen (and a stop makes the loader see the end of the text).
class ZyBuferPotoka : public std::streambuf {
public:
    ZyBuferPotoka(const char* b, std::size_t n, const ZyfHod* hod = nullptr)
        : nach_(const_cast<char*>(b)), kon_(nach_ + n), hod_(hod) {
        setg(nach_, nach_, nach_);
    }
    bool prervano() const { return prervano_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        char* p = egptr();
        if (p >= kon_ || prervano_) return traits_type::eof();
        if (hod_ && *hod_) {
            const double dolja = double(p - nach_) / double(kon_ - nach_);
            if (!(*hod_)(kRazborOt + int(dolja * (kRazborDo - kRazborOt)))) {
                prervano_ = true;
                return traits_type::eof();
            }
        }
        setg(p, p, p + std::min<std::ptrdiff_t>(kon_ - p, kPorcija));
        return traits_type::to_int_type(*gptr());
    }

private:
    static constexpr std::ptrdiff_t kPorcija = 1 << 20;
    char* nach_;
    char* kon_;
    const ZyfHod* hod_;
    bool prervano_ = false;
};

// The byte-order mark of UTF-8 at the start of a text, skipped.
std::size_t BezMetki(const char* t, std::size_t n) {
    return ZyKodirovka(reinterpret_cast<const unsigned char*>(t), n) == ZYK_UTF8_BOM ? 3 : 0;
}

// Reads the .mtl files the model names, by UTF-8 path from the model's folder.
class ZyChitatelMtl : public tinyobj::MaterialReader {
public:
    explicit ZyChitatelMtl(std::string papka) : papka_(std::move(papka)) {}
    bool operator()(const std::string& imja, std::vector<tinyobj::material_t>* materialy,
                    std::map<std::string, int>* karta, std::string* preduprezhdenija,
                    std::string*) override {
        std::vector<unsigned char> b;
        if (ZyProchestFajl(ZyPutOt(papka_, imja), b, kMaksRazmer) != ZYC_GOTOVO) {
            if (preduprezhdenija) *preduprezhdenija += "Material file not found: " + imja + "\n";
            return false;
        }
        const char* t = reinterpret_cast<const char*>(b.data());
        const std::size_t s = BezMetki(t, b.size());
        ZyBuferPotoka bufer(t + s, b.size() - s);
        std::istream potok(&bufer);
        tinyobj::LoadMtl(karta, materialy, &potok, preduprezhdenija, nullptr);
        return true;
    }

private:
    std::string papka_;
};

// The corner count of every face line ("f" and a blank after optional leading blanks, lines
// ended by LF, CR or both, as the loader splits them), in file order. Stops past kMaksGranej.
void UglyGranej(const char* t, std::size_t n, std::vector<unsigned>& ugly) {
    std::size_t i = 0;
    while (i < n && ugly.size() <= kMaksGranej) {
        while (i < n && (t[i] == ' ' || t[i] == '\t'))
            ++i;
        const bool gran = i + 1 < n && t[i] == 'f' && (t[i + 1] == ' ' || t[i + 1] == '\t');
        if (gran) i += 2;
        unsigned uglov = 0;
        bool vSlove = false;
        for (; i < n && t[i] != '\n' && t[i] != '\r'; ++i) {
            const bool probel = t[i] == ' ' || t[i] == '\t';
            if (!probel && !vSlove) ++uglov;
            vSlove = !probel;
        }
        if (gran) ugly.push_back(uglov);
        ++i;
    }
}

// The model's materials: diffuse colours, and textures loaded once per file name from the
// model's folder (or, for a path written on another machine, by its bare name there).
void Materialy(const std::vector<tinyobj::material_t>& mt, const std::string& papka, ZYS_MODEL& m) {
    std::map<std::string, int> tekstury;
    for (const auto& t : mt) {
        ZYS_MATERIAL z;
        for (int i = 0; i < 3; ++i)
            z.cvet[i] =
                std::isfinite(t.diffuse[i]) ? std::min(1.0f, std::max(0.0f, t.diffuse[i])) : 0.7f;
        const std::string& imja = t.diffuse_texname;
        if (!imja.empty()) {
            auto it = tekstury.find(imja);
            if (it == tekstury.end()) {
                ZYS_TEKSTURA tx;
                const bool est = ZyZagruzitTeksturu(ZyPutOt(papka, imja), tx) ||
                                 ZyZagruzitTeksturu(papka + ZyImjaFajla(imja), tx);
                int nomer = -1;
                if (est) {
                    nomer = int(m.tekstury.size());
                    m.tekstury.push_back(std::move(tx));
                } else {
                    m.bezTekstur.push_back(imja);
                }
                it = tekstury.emplace(imja, nomer).first;
            }
            z.tekstura = it->second;
        }
        // A texture carries the surface's colour: the diffuse colour does not darken it.
        if (z.tekstura >= 0) z.cvet[0] = z.cvet[1] = z.cvet[2] = 1.0f;
        m.materialy.push_back(z);
    }
}

// What the conversion of one loader shape needs of the whole model.
struct ZYS_OBSHCHEE {
    ZYS_OBSHCHEE(const tinyobj::attrib_t& a_, const std::vector<unsigned>& ugly_)
        : a(a_), ugly(ugly_), metka(a_.vertices.size() / 3, 0), lokal(a_.vertices.size() / 3, 0) {}
    const tinyobj::attrib_t& a;
    const std::vector<unsigned>& ugly;    // corners of each face, file order
    std::size_t sledGran = 0;             // the next face of `ugly`
    std::vector<unsigned> metka;          // per position: the part that last counted it
    std::vector<unsigned> lokal;          // per position: its vertex in the current part
    std::vector<unsigned> ugolVershiny;   // the current face's vertices
    std::vector<const float*> ugolTochki; // and their positions
    std::vector<unsigned> tri;            // the current face's triangles
};

// The part's vertex for corner (position v, texture coordinate vt); made on first use.
unsigned Vershina(ZYS_OBSHCHEE& ob, ZYS_CHAST& c, unsigned nomer, bool sUv, int v, int vt,
                  std::unordered_map<unsigned long long, unsigned>& pary) {
    const std::size_t iv = std::size_t(v);
    unsigned* mesto;
    if (sUv) {
        const unsigned long long kljuch =
            (static_cast<unsigned long long>(unsigned(v)) << 32) | unsigned(vt < 0 ? -1 : vt);
        auto r = pary.emplace(kljuch, 0u);
        if (!r.second) return r.first->second;
        mesto = &r.first->second;
    } else {
        if (ob.metka[iv] == nomer) return ob.lokal[iv];
        mesto = &ob.lokal[iv];
    }
    const unsigned novaja = unsigned(c.tochki.size() / 3);
    *mesto = novaja;
    const float* p = &ob.a.vertices[3 * iv];
    c.tochki.insert(c.tochki.end(), p, p + 3);
    if (ob.a.colors.size() == ob.a.vertices.size())
        c.cveta.insert(c.cveta.end(), &ob.a.colors[3 * iv], &ob.a.colors[3 * iv] + 3);
    if (sUv) {
        const bool est = vt >= 0 && std::size_t(vt) < ob.a.texcoords.size() / 2;
        c.uv.push_back(est ? ob.a.texcoords[2 * std::size_t(vt)] : 0.0f);
        c.uv.push_back(est ? 1.0f - ob.a.texcoords[2 * std::size_t(vt) + 1] : 0.0f);
    }
    if (ob.metka[iv] != nomer) {
        ob.metka[iv] = nomer;
        ++c.vershin;
        ZyRasshirit(c.min, c.max, p, c.vershin == 1);
    }
    return novaja;
}

// Converts one loader shape into part `c` (number `nomer` > 0): checks each corner, splits
// each face into triangles.
ZYE_MODEL Chast(const tinyobj::shape_t& s, const ZYS_MODEL& m, unsigned nomer, ZYS_OBSHCHEE& ob,
                ZYS_CHAST& c, ZYS_OSHIBKA_MODELI& o) {
    const long long vershin = static_cast<long long>(ob.a.vertices.size() / 3);
    const auto& ind = s.mesh.indices;
    const std::size_t granej = s.mesh.num_face_vertices.size();
    c.imja = s.name;
    c.granej = static_cast<unsigned long>(granej);
    // Texture coordinates only where a textured material is used.
    bool sUv = false;
    for (std::size_t f = 0; f < granej && !sUv && !ob.a.texcoords.empty(); ++f) {
        const int mat = f < s.mesh.material_ids.size() ? s.mesh.material_ids[f] : -1;
        sUv = mat >= 0 && std::size_t(mat) < m.materialy.size() &&
              m.materialy[std::size_t(mat)].tekstura >= 0;
    }
    std::unordered_map<unsigned long long, unsigned> pary;
    std::size_t smeshchenie = 0;
    for (std::size_t f = 0; f < granej; ++f) {
        // The loader keeps a face's corner count in a byte: the count comes from the text.
        const std::size_t uglov = ob.sledGran < ob.ugly.size() ? ob.ugly[ob.sledGran++] : 0;
        if (uglov < 3 || (uglov & 0xFF) != s.mesh.num_face_vertices[f] ||
            smeshchenie + uglov > ind.size()) {
            o.tekst = "a face line does not match its corners";
            return ZyOshibka(o, ZYM_OSHIBKA_CHTENIJA);
        }
        int mat = f < s.mesh.material_ids.size() ? s.mesh.material_ids[f] : -1;
        if (mat < 0 || static_cast<std::size_t>(mat) >= m.materialy.size()) mat = -1;
        ob.ugolVershiny.clear();
        ob.ugolTochki.clear();
        for (std::size_t j = 0; j < uglov; ++j) {
            const auto& u = ind[smeshchenie + j];
            const long long v = u.vertex_index;
            if (v < 0 || v >= vershin)
                return ZyOshibka(o, ZYM_INDEKS, v + 1, static_cast<unsigned long>(vershin));
            ob.ugolVershiny.push_back(Vershina(ob, c, nomer, sUv, int(v), u.texcoord_index, pary));
            ob.ugolTochki.push_back(&ob.a.vertices[3 * std::size_t(v)]);
        }
        ob.tri.clear();
        ZyTriangulirovat(ob.ugolTochki.data(), uglov, ob.tri);
        for (unsigned x : ob.tri)
            c.treugolniki.push_back(ob.ugolVershiny[x]);
        c.materialy.insert(c.materialy.end(), ob.tri.size() / 3, mat);
        smeshchenie += uglov;
        if (c.materialy.size() > kMaksTreugolnikov)
            return ZyOshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
    }
    if (smeshchenie != ind.size()) {
        o.tekst = "a face line does not match its corners";
        return ZyOshibka(o, ZYM_OSHIBKA_CHTENIJA);
    }
    return ZYM_GOTOVO;
}

// Checks the loader's result and fills `m`.
ZYE_MODEL Proverit(const tinyobj::attrib_t& a, const std::vector<tinyobj::shape_t>& shapes,
                   const std::vector<unsigned>& ugly, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o,
                   const ZyfHod& hod) {
    if (a.vertices.size() < 3) return ZyOshibka(o, ZYM_NE_OBJ);
    for (float x : a.vertices)
        if (!std::isfinite(x)) return ZyOshibka(o, ZYM_CHISLO);
    ZYS_OBSHCHEE ob(a, ugly);
    bool pervaja = true;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (shapes[i].mesh.num_face_vertices.empty()) continue;
        ZYS_CHAST c;
        const ZYE_MODEL r =
            Chast(shapes[i], m, static_cast<unsigned>(m.chasti.size() + 1), ob, c, o);
        if (r != ZYM_GOTOVO) return r;
        m.granej += c.granej;
        m.treugolnikov += static_cast<unsigned long>(c.materialy.size());
        if (m.treugolnikov > kMaksTreugolnikov)
            return ZyOshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
        ZyRasshirit(m.min, m.max, c.min, pervaja);
        ZyRasshirit(m.min, m.max, c.max, false);
        pervaja = false;
        m.chasti.push_back(std::move(c));
        if (hod && !hod(kRazborDo + int((100 - kRazborDo) * double(i + 1) / double(shapes.size()))))
            return ZyOshibka(o, ZYM_PRERVANO);
    }
    if (m.chasti.empty()) return ZyOshibka(o, ZYM_NET_GRANEJ);
    return ZYM_GOTOVO;
}

// The first line of the loader's error text.
std::string PervajaStroka(const std::string& s) {
    const std::size_t i = s.find_first_of("\r\n");
    return i == std::string::npos ? s : s.substr(0, i);
}

} // namespace

ZYE_MODEL ZyRazobratObj(const char* t, std::size_t n, const std::string& put, ZYS_MODEL& m,
                        ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod) {
    const std::size_t s = BezMetki(t, n);
    t += s;
    n -= s;
    std::vector<unsigned> ugly;
    UglyGranej(t, n, ugly);
    if (ugly.size() > kMaksGranej) return ZyOshibka(o, ZYM_MNOGO_GRANEJ, 0, kMaksGranej);
    // The loader drops faces of fewer than three corners with a mere warning.
    const std::size_t korotkih =
        std::size_t(std::count_if(ugly.begin(), ugly.end(), [](unsigned u) { return u < 3; }));
    if (korotkih) return ZyOshibka(o, ZYM_OBREZAN, static_cast<long long>(korotkih));

    ZyBuferPotoka bufer(t, n, &hod);
    std::istream potok(&bufer);
    ZyChitatelMtl chitatelMtl(ZyPapka(put));
    tinyobj::attrib_t a;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materialy;
    std::string preduprezhdenija, oshibki;
    const bool razobran = tinyobj::LoadObj(&a, &shapes, &materialy, &preduprezhdenija, &oshibki,
                                           &potok, &chitatelMtl, false, false);
    if (bufer.prervano()) return ZyOshibka(o, ZYM_PRERVANO);
    if (!razobran) {
        o.tekst = PervajaStroka(oshibki);
        return ZyOshibka(o, ZYM_OSHIBKA_CHTENIJA);
    }
    Materialy(materialy, ZyPapka(put), m);
    return Proverit(a, shapes, ugly, m, o, hod);
}

} // namespace zymodel
