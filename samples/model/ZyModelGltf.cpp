// Reading and checking a glTF 2.0 model (see ZyModelGltf.h).
#include "ZyModelGltf.h"

#include "ZyTekstura.h"

#include "tiny_gltf.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <map>

namespace zymodel {

namespace {

// Shares of the load's percentage: parsing the JSON and buffers, then the nodes.
constexpr int kRazborDo = 60;
// Nodes deeper than this, or more visits of nodes than this, are refused (a cycle or a node
// shared many times over).
constexpr int kMaksGlubina = 64;
constexpr std::size_t kMaksObhod = 200000;

// ---- File access for tinygltf: UTF-8 paths, bounded reads, never the current folder --------

// Whether the file exists; "./name" (the loader's second guess, the current folder) never does.
bool FajlEst(const std::string& put, void*) {
    return put.compare(0, 2, "./") != 0 && ZyFajlEst(put);
}
// Paths are used as they are.
std::string Put(const std::string& put, void*) {
    return put;
}
// A whole buffer or image file, refused above kMaksRazmer.
bool ProchestVes(std::vector<unsigned char>* b, std::string* oshibka, const std::string& put,
                 void*) {
    const ZYE_CHTENIE r = ZyProchestFajl(put, *b, kMaksRazmer);
    if (r == ZYC_GOTOVO) return true;
    if (oshibka) *oshibka = r == ZYC_BOLSHOJ ? "file too large" : "cannot be read";
    return false;
}
// The model is never written.
bool NeZapisyvat(std::string*, const std::string&, const std::vector<unsigned char>&, void*) {
    return false;
}

// Decodes an image with the scene's own limits; an image that cannot be decoded stays empty
// (the model is shown without it) instead of failing the load.
bool Izobrazhenie(tinygltf::Image* im, const int, std::string*, std::string*, int, int,
                  const unsigned char* b, int n, void*) {
    ZYS_TEKSTURA t;
    if (n > 0 && ZyDekodirovat(b, std::size_t(n), t)) {
        im->width = int(t.shirina);
        im->height = int(t.vysota);
        im->component = 4;
        im->bits = 8;
        im->pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
        im->image.swap(t.rgba);
    }
    return true;
}

// ---- Accessors ---------------------------------------------------------------------------

// Components of an accessor type (0 for an unknown type).
int Komponent(int tip) {
    switch (tip) {
    case TINYGLTF_TYPE_SCALAR:
        return 1;
    case TINYGLTF_TYPE_VEC2:
        return 2;
    case TINYGLTF_TYPE_VEC3:
        return 3;
    case TINYGLTF_TYPE_VEC4:
        return 4;
    default:
        return 0;
    }
}

// Bytes of a component type (0 for an unknown type).
int Bajtov(int tip) {
    switch (tip) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;
    }
}

// One component at `p` as a number (normalised integers to 0..1 or -1..1 when `norm`).
double Znachenie(const unsigned char* p, int tip, bool norm) {
    switch (tip) {
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
        const double x = double(static_cast<signed char>(*p));
        return norm ? std::max(-1.0, x / 127.0) : x;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return norm ? *p / 255.0 : *p;
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        short s;
        std::memcpy(&s, p, 2);
        return norm ? std::max(-1.0, s / 32767.0) : s;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        unsigned short s;
        std::memcpy(&s, p, 2);
        return norm ? s / 65535.0 : s;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        unsigned u;
        std::memcpy(&u, p, 4);
        return u;
    }
    default: {
        float f;
        std::memcpy(&f, p, 4);
        return f;
    }
    }
}

// An accessor checked against its buffer: where its elements are and how they are laid out.
struct ZYS_DOSTUP {
    const unsigned char* nach = nullptr; // the first element
    std::size_t shag = 0, kol = 0;       // bytes from one element to the next, elements
    int komponent = 0, tip = 0;          // components an element, component type
    bool norm = false;
    // Component j of element i.
    double Vzjat(std::size_t i, int j) const {
        return Znachenie(nach + i * shag + std::size_t(j) * std::size_t(Bajtov(tip)), tip, norm);
    }
};

// Checks accessor `a` (of `komponentMin`..4 components); a message in `oshibka` when it is not
// usable.
bool Dostup(const tinygltf::Model& g, int a, int komponentMin, ZYS_DOSTUP& d,
            std::string& oshibka) {
    char b[160];
    if (a < 0 || std::size_t(a) >= g.accessors.size()) {
        std::snprintf(b, sizeof b, "accessor %d does not exist", a);
        oshibka = b;
        return false;
    }
    const tinygltf::Accessor& x = g.accessors[std::size_t(a)];
    std::snprintf(b, sizeof b, "accessor %d is not usable", a);
    oshibka = b;
    d.komponent = Komponent(x.type);
    d.tip = x.componentType;
    d.norm = x.normalized;
    d.kol = x.count;
    const std::size_t razmer = std::size_t(d.komponent) * std::size_t(Bajtov(d.tip));
    if (d.komponent < komponentMin || razmer == 0 || x.sparse.isSparse) return false;
    if (x.bufferView < 0 || std::size_t(x.bufferView) >= g.bufferViews.size()) return false;
    const tinygltf::BufferView& v = g.bufferViews[std::size_t(x.bufferView)];
    if (v.buffer < 0 || std::size_t(v.buffer) >= g.buffers.size()) return false;
    const std::vector<unsigned char>& bufer = g.buffers[std::size_t(v.buffer)].data;
    if (v.byteOffset > bufer.size() || v.byteLength > bufer.size() - v.byteOffset) return false;
    d.shag = v.byteStride ? v.byteStride : razmer;
    if (d.shag < razmer || x.byteOffset > v.byteLength) return false;
    if (d.kol > 0 && (d.kol - 1 > (v.byteLength - x.byteOffset) / d.shag ||
                      (d.kol - 1) * d.shag + razmer > v.byteLength - x.byteOffset))
        return false;
    d.nach = bufer.data() + v.byteOffset + x.byteOffset;
    oshibka.clear();
    return true;
}

// ---- Nodes -------------------------------------------------------------------------------

// A 4 x 4 matrix, columns first (as glTF writes them).
struct Matrica {
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

// a * b.
Matrica Umnozhit(const Matrica& a, const Matrica& b) {
    Matrica r;
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 4; ++s) {
            double x = 0;
            for (int k = 0; k < 4; ++k)
                x += a.m[k * 4 + s] * b.m[c * 4 + k];
            r.m[c * 4 + s] = x;
        }
    return r;
}

// The node's own transform: its matrix, or translation * rotation * scale.
Matrica Lokalnaja(const tinygltf::Node& n) {
    Matrica r;
    if (n.matrix.size() == 16) {
        for (int i = 0; i < 16; ++i)
            r.m[i] = n.matrix[std::size_t(i)];
        return r;
    }
    double q[4] = {0, 0, 0, 1}, s[3] = {1, 1, 1}, t[3] = {0, 0, 0};
    if (n.rotation.size() == 4) std::copy(n.rotation.begin(), n.rotation.end(), q);
    if (n.scale.size() == 3) std::copy(n.scale.begin(), n.scale.end(), s);
    if (n.translation.size() == 3) std::copy(n.translation.begin(), n.translation.end(), t);
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    const double rot[9] = {
        1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
        2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
        2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
    for (int c = 0; c < 3; ++c)
        for (int s2 = 0; s2 < 3; ++s2)
            r.m[c * 4 + s2] = rot[c * 3 + s2] * s[c];
    r.m[12] = t[0], r.m[13] = t[1], r.m[14] = t[2];
    return r;
}

// What the walk over the nodes carries along.
struct ZYS_OBHOD {
    ZYS_OBHOD(const tinygltf::Model& g_, ZYS_MODEL& m_, ZYS_OSHIBKA_MODELI& o_, const ZyfHod& hod_)
        : g(g_), m(m_), o(o_), hod(hod_), naPuti(g_.nodes.size(), 0) {}
    const tinygltf::Model& g;
    ZYS_MODEL& m;
    ZYS_OSHIBKA_MODELI& o;
    const ZyfHod& hod;
    std::vector<char> naPuti; // per node: on the path from the root now
    std::size_t projdeno = 0; // nodes visited
};

// Appends the triangles of `mode` over `kol` corners (corner i is vertex ugol(i)) to `c`.
template <class Ugol>
void Treugolniki(int mode, std::size_t kol, Ugol ugol, ZYS_CHAST& c, int material) {
    const std::size_t do_ = c.treugolniki.size();
    if (mode == TINYGLTF_MODE_TRIANGLE_STRIP) {
        for (std::size_t i = 0; i + 2 < kol; ++i)
            if (i % 2 == 0)
                c.treugolniki.insert(c.treugolniki.end(), {ugol(i), ugol(i + 1), ugol(i + 2)});
            else
                c.treugolniki.insert(c.treugolniki.end(), {ugol(i + 1), ugol(i), ugol(i + 2)});
    } else if (mode == TINYGLTF_MODE_TRIANGLE_FAN) {
        for (std::size_t i = 1; i + 1 < kol; ++i)
            c.treugolniki.insert(c.treugolniki.end(), {ugol(0), ugol(i), ugol(i + 1)});
    } else {
        for (std::size_t i = 0; i + 2 < kol; i += 3)
            c.treugolniki.insert(c.treugolniki.end(), {ugol(i), ugol(i + 1), ugol(i + 2)});
    }
    c.materialy.insert(c.materialy.end(), (c.treugolniki.size() - do_) / 3, material);
}

// Adds primitive `p` of a node with world transform `w` to part `c`.
ZYE_MODEL Primitiv(ZYS_OBHOD& ob, const tinygltf::Primitive& p, const Matrica& w, ZYS_CHAST& c) {
    const int mode = p.mode < 0 ? TINYGLTF_MODE_TRIANGLES : p.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        mode != TINYGLTF_MODE_TRIANGLE_FAN)
        return ZYM_GOTOVO; // points and lines have no faces to show
    auto atribut = [&p](const char* imja) {
        auto it = p.attributes.find(imja);
        return it == p.attributes.end() ? -1 : it->second;
    };
    ZYS_DOSTUP poz, cvet, uv, ind;
    if (!Dostup(ob.g, atribut("POSITION"), 3, poz, ob.o.tekst) ||
        poz.tip != TINYGLTF_COMPONENT_TYPE_FLOAT)
        return ZyOshibka(ob.o, ZYM_OSHIBKA_CHTENIJA);
    if (poz.kol > 3ul * kMaksTreugolnikov)
        return ZyOshibka(ob.o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
    std::string net;
    const bool estCvet = atribut("COLOR_0") >= 0 &&
                         Dostup(ob.g, atribut("COLOR_0"), 3, cvet, net) && cvet.kol == poz.kol;
    const bool estUv = atribut("TEXCOORD_0") >= 0 &&
                       Dostup(ob.g, atribut("TEXCOORD_0"), 2, uv, net) && uv.kol == poz.kol;
    const std::size_t baza = c.tochki.size() / 3;
    // Parts with colours or texture coordinates have them for every vertex.
    const bool cvetChasti = estCvet || !c.cveta.empty(), uvChasti = estUv || !c.uv.empty();
    if (cvetChasti) c.cveta.resize(3 * baza, 1.0f);
    if (uvChasti) c.uv.resize(2 * baza, 0.0f);
    for (std::size_t i = 0; i < poz.kol; ++i) {
        double v[3];
        for (int j = 0; j < 3; ++j)
            v[j] = poz.Vzjat(i, j);
        float t[3];
        for (int j = 0; j < 3; ++j) {
            t[j] = float(w.m[j] * v[0] + w.m[4 + j] * v[1] + w.m[8 + j] * v[2] + w.m[12 + j]);
            if (!std::isfinite(t[j])) return ZyOshibka(ob.o, ZYM_CHISLO);
        }
        c.tochki.insert(c.tochki.end(), t, t + 3);
        ZyRasshirit(c.min, c.max, t, c.tochki.size() == 3);
        if (cvetChasti)
            for (int j = 0; j < 3; ++j)
                c.cveta.push_back(estCvet ? float(std::min(1.0, std::max(0.0, cvet.Vzjat(i, j))))
                                          : 1.0f);
        if (uvChasti)
            for (int j = 0; j < 2; ++j)
                c.uv.push_back(estUv && std::isfinite(uv.Vzjat(i, j)) ? float(uv.Vzjat(i, j))
                                                                      : 0.0f);
    }
    c.vershin += static_cast<unsigned long>(poz.kol);
    const int material =
        p.material >= 0 && std::size_t(p.material) < ob.m.materialy.size() ? p.material : -1;
    if (p.indices < 0) {
        Treugolniki(
            mode, poz.kol, [baza](std::size_t i) { return unsigned(baza + i); }, c, material);
        return ZYM_GOTOVO;
    }
    if (!Dostup(ob.g, p.indices, 1, ind, ob.o.tekst) || ind.komponent != 1 ||
        (ind.tip != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
         ind.tip != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
         ind.tip != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT))
        return ZyOshibka(ob.o, ZYM_OSHIBKA_CHTENIJA);
    if (ind.kol > 3ul * kMaksTreugolnikov)
        return ZyOshibka(ob.o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
    for (std::size_t i = 0; i < ind.kol; ++i) {
        const double x = ind.Vzjat(i, 0);
        if (x >= double(poz.kol))
            return ZyOshibka(ob.o, ZYM_INDEKS, static_cast<long long>(x) + 1,
                             static_cast<unsigned long>(poz.kol));
    }
    Treugolniki(
        mode, ind.kol,
        [&ind, baza](std::size_t i) { return unsigned(baza + std::size_t(ind.Vzjat(i, 0))); }, c,
        material);
    return ZYM_GOTOVO;
}

// The part of a node with a mesh: named after the node, else its mesh, else "mesh N".
ZYE_MODEL Setka(ZYS_OBHOD& ob, const tinygltf::Node& n, const Matrica& w) {
    const tinygltf::Mesh& s = ob.g.meshes[std::size_t(n.mesh)];
    ZYS_CHAST c;
    c.imja = !n.name.empty() ? n.name : !s.name.empty() ? s.name : "mesh " + std::to_string(n.mesh);
    for (const tinygltf::Primitive& p : s.primitives) {
        const ZYE_MODEL r = Primitiv(ob, p, w, c);
        if (r != ZYM_GOTOVO) return r;
    }
    c.granej = static_cast<unsigned long>(c.materialy.size());
    if (c.granej == 0) return ZYM_GOTOVO;
    ob.m.granej += c.granej;
    ob.m.treugolnikov += c.granej;
    if (ob.m.treugolnikov > kMaksTreugolnikov)
        return ZyOshibka(ob.o, ZYM_MNOGO_GRANEJ, 0, kMaksTreugolnikov);
    ZyRasshirit(ob.m.min, ob.m.max, c.min, ob.m.chasti.empty());
    ZyRasshirit(ob.m.min, ob.m.max, c.max, false);
    ob.m.chasti.push_back(std::move(c));
    return ZYM_GOTOVO;
}

// Walks node `i` under the parent transform `roditel`, `glubina` levels down.
ZYE_MODEL Uzel(ZYS_OBHOD& ob, int i, const Matrica& roditel, int glubina) {
    if (i < 0 || std::size_t(i) >= ob.g.nodes.size()) {
        ob.o.tekst = "node " + std::to_string(i) + " does not exist";
        return ZyOshibka(ob.o, ZYM_OSHIBKA_CHTENIJA);
    }
    if (ob.naPuti[std::size_t(i)] || glubina > kMaksGlubina || ob.projdeno > kMaksObhod) {
        ob.o.tekst = "the nodes form a cycle";
        return ZyOshibka(ob.o, ZYM_OSHIBKA_CHTENIJA);
    }
    const tinygltf::Node& n = ob.g.nodes[std::size_t(i)];
    const Matrica w = Umnozhit(roditel, Lokalnaja(n));
    if (n.mesh >= 0 && std::size_t(n.mesh) < ob.g.meshes.size()) {
        const ZYE_MODEL r = Setka(ob, n, w);
        if (r != ZYM_GOTOVO) return r;
    }
    ++ob.projdeno;
    if (ob.hod &&
        !ob.hod(kRazborDo + int((100 - kRazborDo) *
                                std::min(1.0, double(ob.projdeno) / double(ob.g.nodes.size())))))
        return ZyOshibka(ob.o, ZYM_PRERVANO);
    ob.naPuti[std::size_t(i)] = 1;
    for (int d : n.children) {
        const ZYE_MODEL r = Uzel(ob, d, w, glubina + 1);
        if (r != ZYM_GOTOVO) return r;
    }
    ob.naPuti[std::size_t(i)] = 0;
    return ZYM_GOTOVO;
}

// The root nodes to show: the default scene's, else the first scene's, else every node that
// is nobody's child.
std::vector<int> Korni(const tinygltf::Model& g) {
    if (!g.scenes.empty()) {
        const std::size_t s = g.defaultScene >= 0 && std::size_t(g.defaultScene) < g.scenes.size()
                                  ? std::size_t(g.defaultScene)
                                  : 0;
        return g.scenes[s].nodes;
    }
    std::vector<char> rebenok(g.nodes.size(), 0);
    for (const tinygltf::Node& n : g.nodes)
        for (int d : n.children)
            if (d >= 0 && std::size_t(d) < rebenok.size()) rebenok[std::size_t(d)] = 1;
    std::vector<int> k;
    for (std::size_t i = 0; i < g.nodes.size(); ++i)
        if (!rebenok[i]) k.push_back(int(i));
    return k;
}

// The materials: base-colour factors and textures (the images decoded by the loader).
void Materialy(const tinygltf::Model& g, ZYS_MODEL& m) {
    std::map<int, int> nashi; // image -> texture of the model
    for (const tinygltf::Material& x : g.materials) {
        ZYS_MATERIAL z;
        const auto& f = x.pbrMetallicRoughness.baseColorFactor;
        for (int i = 0; i < 3; ++i)
            if (f.size() >= 3 && std::isfinite(f[std::size_t(i)]))
                z.cvet[i] = float(std::min(1.0, std::max(0.0, f[std::size_t(i)])));
            else
                z.cvet[i] = 1.0f;
        const tinygltf::TextureInfo& ti = x.pbrMetallicRoughness.baseColorTexture;
        const int t = ti.index;
        if (t >= 0 && std::size_t(t) < g.textures.size() && ti.texCoord == 0) {
            const int im = g.textures[std::size_t(t)].source;
            if (im >= 0 && std::size_t(im) < g.images.size()) {
                auto it = nashi.find(im);
                if (it == nashi.end()) {
                    const tinygltf::Image& i = g.images[std::size_t(im)];
                    int nomer = -1;
                    if (!i.image.empty() && i.width > 0 && i.height > 0 && i.component == 4 &&
                        i.bits == 8 &&
                        i.image.size() == std::size_t(i.width) * std::size_t(i.height) * 4) {
                        nomer = int(m.tekstury.size());
                        ZYS_TEKSTURA tx;
                        tx.shirina = unsigned(i.width);
                        tx.vysota = unsigned(i.height);
                        tx.rgba = i.image;
                        m.tekstury.push_back(std::move(tx));
                    } else {
                        m.bezTekstur.push_back(!i.uri.empty()    ? i.uri
                                               : !i.name.empty() ? i.name
                                                                 : "image " + std::to_string(im));
                    }
                    it = nashi.emplace(im, nomer).first;
                }
                z.tekstura = it->second;
            }
        }
        m.materialy.push_back(z);
    }
}

// The first line of the loader's error text.
std::string PervajaStroka(const std::string& s) {
    const std::size_t i = s.find_first_of("\r\n");
    return i == std::string::npos ? s : s.substr(0, i);
}

} // namespace

ZYE_MODEL ZyRazobratGltf(const std::vector<unsigned char>& b, bool dvoichnyj,
                         const std::string& put, ZYS_MODEL& m, ZYS_OSHIBKA_MODELI& o,
                         const ZyfHod& hod) {
    if (b.size() > UINT_MAX)
        return ZyOshibka(o, ZYM_BOLSHOJ, static_cast<long long>(kMaksRazmer >> 20));
    tinygltf::TinyGLTF chitatel;
    chitatel.SetFsCallbacks({FajlEst, Put, ProchestVes, NeZapisyvat, nullptr});
    chitatel.SetImageLoader(Izobrazhenie, nullptr);
    std::string papka = ZyPapka(put);
    if (!papka.empty()) papka.pop_back(); // the loader adds its own separator
    tinygltf::Model g;
    std::string oshibki, preduprezhdenija;
    const bool razobran =
        dvoichnyj ? chitatel.LoadBinaryFromMemory(&g, &oshibki, &preduprezhdenija, b.data(),
                                                  unsigned(b.size()), papka)
                  : chitatel.LoadASCIIFromString(&g, &oshibki, &preduprezhdenija,
                                                 reinterpret_cast<const char*>(b.data()),
                                                 unsigned(b.size()), papka);
    if (!razobran) {
        o.tekst = PervajaStroka(oshibki.empty() ? preduprezhdenija : oshibki);
        return ZyOshibka(o, ZYM_OSHIBKA_CHTENIJA);
    }
    if (hod && !hod(kRazborDo)) return ZyOshibka(o, ZYM_PRERVANO);
    Materialy(g, m);
    ZYS_OBHOD ob(g, m, o, hod);
    for (int k : Korni(g)) {
        const ZYE_MODEL r = Uzel(ob, k, Matrica(), 0);
        if (r != ZYM_GOTOVO) return r;
    }
    if (m.chasti.empty()) return ZyOshibka(o, ZYM_NET_GRANEJ);
    return ZYM_GOTOVO;
}

} // namespace zymodel
