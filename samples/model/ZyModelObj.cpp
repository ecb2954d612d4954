// Reading and checking an OBJ model (see ZyModelObj.h).
#include "ZyModelObj.h"

#include "ZyPotoki.h"
#include "ZyRazborObj.h"
#include "ZyTekstura.h"
#include "ZyTriangulacija.h"

#include "tiny_obj_loader.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <istream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <streambuf>
#include <unordered_map>

namespace zymodel {

namespace {

// Shares of the load's percentage (reading the file took the part before): the text, then
// the parts.
constexpr int kRazborOt = 10, kRazborDo = 60;

// A read-only stream over bytes already in memory (a material file for tinyobjloader).
class ZyBuferPotoka : public std::streambuf {
public:
    ZyBuferPotoka(const char* b, std::size_t n) {
        char* p = const_cast<char*>(b);
        setg(p, p, p + n);
    }
};

// The byte-order mark of UTF-8 at the start of a text, skipped.
std::size_t BezMetki(const char* t, std::size_t n) {
    return ZyKodirovka(reinterpret_cast<const unsigned char*>(t), n) == ZYK_UTF8_BOM ? 3 : 0;
}

// Reads a .mtl file the model names, by UTF-8 path from the model's folder, with
// tinyobjloader's reader; false when it cannot be read.
bool ChitatMtl(const std::string& papka, const std::string& imja,
               std::vector<tinyobj::material_t>& materialy, std::map<std::string, int>& karta) {
    std::vector<unsigned char> b;
    if (ZyProchestFajl(ZyPutOt(papka, imja), b, kMaksRazmer) != ZYC_GOTOVO) return false;
    const char* t = reinterpret_cast<const char*>(b.data());
    const std::size_t s = BezMetki(t, b.size());
    ZyBuferPotoka bufer(t + s, b.size() - s);
    std::istream potok(&bufer);
    std::string preduprezhdenija;
    tinyobj::LoadMtl(&karta, &materialy, &potok, &preduprezhdenija, nullptr);
    return true;
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

// The material of the faces from `gran` on.
struct ZYS_SMENA {
    std::size_t gran;
    int material;
};

// One part of the file: the faces between two group or object lines.
struct ZYS_OPISANIE {
    std::string imja;
    std::size_t gran0 = 0, granej = 0; // its faces
    std::size_t ugol0 = 0;             // its first corner
    std::size_t smena0 = 0;            // the first material change after its first face
    int material = -1;                 // the material of its first face
    unsigned long long treugolnikov = 0;
};

// Loads the material libraries and resolves the material lines in file order (a material is
// known from the library line that defines it on), then fills the model's materials.
std::vector<ZYS_SMENA> Smeny(const ZYS_RAZBOR_OBJ& r, const std::string& papka, ZYS_MODEL& m) {
    std::vector<tinyobj::material_t> mt;
    std::map<std::string, int> karta;
    std::set<std::string> prochitany;
    std::vector<ZYS_SMENA> smeny;
    for (const ZYS_SOBYTIE_OBJ& s : r.sobytija) {
        if (s.vid == ZYSO_BIBLIOTEKA) {
            // The first of the names that reads (a library read before counts as read).
            std::size_t i = 0;
            while (i < s.tekst.size()) {
                const std::size_t k = std::min(s.tekst.find_first_of(" \t", i), s.tekst.size());
                const std::string imja = s.tekst.substr(i, k - i);
                i = std::min(s.tekst.find_first_not_of(" \t", k), s.tekst.size());
                if (imja.empty()) continue;
                if (prochitany.count(imja) || ChitatMtl(papka, imja, mt, karta)) {
                    prochitany.insert(imja);
                    break;
                }
            }
        } else if (s.vid == ZYSO_MATERIAL) {
            const auto it = karta.find(s.tekst);
            smeny.push_back({s.gran, it == karta.end() ? -1 : it->second});
        }
    }
    Materialy(mt, papka, m);
    return smeny;
}

// The parts of the file in order (parts without faces dropped), with where their corners and
// material changes start.
std::vector<ZYS_OPISANIE> Opisanija(const ZYS_RAZBOR_OBJ& r, const std::vector<ZYS_SMENA>& smeny) {
    std::vector<ZYS_OPISANIE> d;
    std::string imja;
    std::size_t nach = 0;
    auto zakryt = [&](std::size_t kon) {
        if (kon <= nach) return;
        ZYS_OPISANIE o;
        o.imja = imja;
        o.gran0 = nach;
        o.granej = kon - nach;
        d.push_back(std::move(o));
    };
    for (const ZYS_SOBYTIE_OBJ& s : r.sobytija)
        if (s.vid == ZYSO_GRUPPA || s.vid == ZYSO_OBJEKT) {
            zakryt(s.gran);
            imja = s.tekst;
            nach = s.gran;
        }
    zakryt(r.uglov.size());
    std::size_t ugol = 0, gran = 0, smena = 0;
    int material = -1;
    for (ZYS_OPISANIE& o : d) {
        for (; gran < o.gran0; ++gran)
            ugol += r.uglov[gran];
        for (; smena < smeny.size() && smeny[smena].gran <= o.gran0; ++smena)
            material = smeny[smena].material;
        o.ugol0 = ugol;
        o.smena0 = smena;
        o.material = material;
        for (std::size_t f = o.gran0; f < o.gran0 + o.granej; ++f)
            o.treugolnikov += r.uglov[f] - 2;
    }
    return d;
}

// What building one part needs besides the part: per position of the file, the part that last
// counted it and its vertex there. One per worker thread.
struct ZYS_CHERNOVIK {
    explicit ZYS_CHERNOVIK(std::size_t vershin) : metka(vershin, 0), lokal(vershin, 0) {}
    std::vector<unsigned> metka, lokal;
    std::vector<unsigned> ugolVershiny; // the current face's vertices
    std::vector<const float*> ugolTochki;
    std::vector<unsigned> tri;
};

// Scratch space handed to the workers, made once per worker.
class ZyChernoviki {
public:
    explicit ZyChernoviki(std::size_t vershin) : vershin_(vershin) {}
    std::unique_ptr<ZYS_CHERNOVIK> Vzjat() {
        {
            std::lock_guard<std::mutex> g(zamok_);
            if (!svobodnye_.empty()) {
                std::unique_ptr<ZYS_CHERNOVIK> c = std::move(svobodnye_.back());
                svobodnye_.pop_back();
                return c;
            }
        }
        return std::make_unique<ZYS_CHERNOVIK>(vershin_);
    }
    void Vernut(std::unique_ptr<ZYS_CHERNOVIK> c) {
        std::lock_guard<std::mutex> g(zamok_);
        svobodnye_.push_back(std::move(c));
    }

private:
    std::size_t vershin_;
    std::mutex zamok_;
    std::vector<std::unique_ptr<ZYS_CHERNOVIK>> svobodnye_;
};

// Which positions of the file more than one part uses: the seams between parts.
class ZyShvy {
public:
    explicit ZyShvy(std::size_t vershin)
        : pervaja_(new std::atomic<unsigned>[vershin]()),
          obshchaja_(new std::atomic<bool>[vershin]()) {}
    // Position iv is used by part `nomer` (> 0).
    void Otmetit(std::size_t iv, unsigned nomer) {
        unsigned byla = 0;
        if (!pervaja_[iv].compare_exchange_strong(byla, nomer) && byla != nomer)
            obshchaja_[iv].store(true, std::memory_order_relaxed);
    }
    // Whether position iv lies on a seam (once every part is built).
    bool Obshchaja(std::size_t iv) const { return obshchaja_[iv].load(std::memory_order_relaxed); }

private:
    std::unique_ptr<std::atomic<unsigned>[]> pervaja_; // the first part that used it
    std::unique_ptr<std::atomic<bool>[]> obshchaja_;
};

// Marks the vertices of part c that lie on a seam; `pozicii`, the file position of each of its
// vertices, is released.
void OtmetitShvy(const ZyShvy& shvy, std::vector<unsigned>& pozicii, ZYS_CHAST& c) {
    if (std::any_of(pozicii.begin(), pozicii.end(),
                    [&shvy](unsigned p) { return shvy.Obshchaja(p); })) {
        c.shov.resize(pozicii.size());
        for (std::size_t i = 0; i < pozicii.size(); ++i)
            c.shov[i] = shvy.Obshchaja(pozicii[i]) ? 1 : 0;
    }
    std::vector<unsigned>().swap(pozicii);
}

// The part's vertex for a corner at position v with texture coordinate vt (-1 none): made on
// first use; with texture coordinates one per (v, vt) pair.
unsigned Vershina(const ZYS_RAZBOR_OBJ& r, ZYS_CHERNOVIK& ch, ZYS_CHAST& c, unsigned nomer,
                  bool sUv, int v, int vt, std::unordered_map<unsigned long long, unsigned>& pary,
                  ZyShvy& shvy, std::vector<unsigned>& pozicii) {
    const std::size_t iv = std::size_t(v);
    unsigned* mesto;
    if (sUv) {
        const unsigned long long kljuch =
            (static_cast<unsigned long long>(unsigned(v)) << 32) | unsigned(vt < 0 ? -1 : vt);
        auto p = pary.emplace(kljuch, 0u);
        if (!p.second) return p.first->second;
        mesto = &p.first->second;
    } else {
        if (ch.metka[iv] == nomer) return ch.lokal[iv];
        mesto = &ch.lokal[iv];
    }
    const unsigned novaja = unsigned(c.tochki.size() / 3);
    *mesto = novaja;
    const float* p = &r.v[3 * iv];
    c.tochki.insert(c.tochki.end(), p, p + 3);
    pozicii.push_back(unsigned(iv));
    shvy.Otmetit(iv, nomer);
    if (r.cveta.size() == r.v.size())
        c.cveta.insert(c.cveta.end(), &r.cveta[3 * iv], &r.cveta[3 * iv] + 3);
    if (sUv) {
        const bool est = vt >= 0 && std::size_t(vt) < r.vt.size() / 2;
        c.uv.push_back(est ? r.vt[2 * std::size_t(vt)] : 0.0f);
        c.uv.push_back(est ? 1.0f - r.vt[2 * std::size_t(vt) + 1] : 0.0f);
    }
    if (ch.metka[iv] != nomer) {
        ch.metka[iv] = nomer;
        ++c.vershin;
        ZyRasshirit(c.min, c.max, p, c.vershin == 1);
    }
    return novaja;
}

// Builds part `c` (number `nomer` > 0) from its description: checks each corner, splits each
// face into triangles, notes the file position of each vertex in `pozicii` and in `shvy`.
// `gotovo` counts the faces done; `stop` ends the work early.
ZYE_MODEL Chast(const ZYS_RAZBOR_OBJ& r, const ZYS_OPISANIE& d, const std::vector<ZYS_SMENA>& smeny,
                const ZYS_MODEL& m, ZYS_CHERNOVIK& ch, unsigned nomer, ZYS_CHAST& c, ZyShvy& shvy,
                std::vector<unsigned>& pozicii, ZYS_OSHIBKA_MODELI& o,
                std::atomic<std::size_t>& gotovo, const std::atomic<bool>& stop) {
    const long long vershin = static_cast<long long>(r.v.size() / 3);
    c.imja = d.imja;
    c.granej = static_cast<unsigned long>(d.granej);
    // Texture coordinates only where a textured material is used.
    auto tekstura = [&m](int mat) {
        return mat >= 0 && m.materialy[std::size_t(mat)].tekstura >= 0;
    };
    bool sUv = tekstura(d.material);
    for (std::size_t s = d.smena0; !sUv && s < smeny.size() && smeny[s].gran < d.gran0 + d.granej;
         ++s)
        sUv = tekstura(smeny[s].material);
    sUv = sUv && !r.vt.empty() && !r.ugolVt.empty();
    c.treugolniki.reserve(std::size_t(3 * d.treugolnikov));
    c.materialy.reserve(std::size_t(d.treugolnikov));
    std::unordered_map<unsigned long long, unsigned> pary;
    std::size_t ugol = d.ugol0, s = d.smena0;
    int mat = d.material;
    for (std::size_t f = d.gran0; f < d.gran0 + d.granej; ++f) {
        for (; s < smeny.size() && smeny[s].gran <= f; ++s)
            mat = smeny[s].material;
        const unsigned uglov = r.uglov[f];
        ch.ugolVershiny.clear();
        ch.ugolTochki.clear();
        for (unsigned j = 0; j < uglov; ++j) {
            const long long v = r.ugolV[ugol + j];
            if (v < 0 || v >= vershin)
                return ZyOshibka(o, ZYM_INDEKS, v + 1, static_cast<unsigned long>(vershin));
            const int vt = sUv ? r.ugolVt[ugol + j] : -1;
            ch.ugolVershiny.push_back(
                Vershina(r, ch, c, nomer, sUv, int(v), vt, pary, shvy, pozicii));
            ch.ugolTochki.push_back(&r.v[3 * std::size_t(v)]);
        }
        ugol += uglov;
        if (uglov == 3) {
            c.treugolniki.insert(c.treugolniki.end(), ch.ugolVershiny.begin(),
                                 ch.ugolVershiny.end());
            c.materialy.push_back(mat);
        } else {
            ch.tri.clear();
            ZyTriangulirovat(ch.ugolTochki.data(), uglov, ch.tri);
            for (unsigned x : ch.tri)
                c.treugolniki.push_back(ch.ugolVershiny[x]);
            c.materialy.insert(c.materialy.end(), ch.tri.size() / 3, mat);
        }
        if (((f - d.gran0) & 0xFFFF) == 0xFFFF) {
            gotovo += 0x10000;
            if (stop) return ZyOshibka(o, ZYM_PRERVANO);
        }
    }
    return ZYM_GOTOVO;
}

// Builds every part on several threads and puts them into `m` in file order; the failure
// of the earliest part that fails is the one reported.
ZYE_MODEL Chasti(const ZYS_RAZBOR_OBJ& r, const std::vector<ZYS_SMENA>& smeny, ZYS_MODEL& m,
                 ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod) {
    const std::vector<ZYS_OPISANIE> d = Opisanija(r, smeny);
    std::vector<ZYS_CHAST> chasti(d.size());
    std::vector<ZYS_OSHIBKA_MODELI> oshibki(d.size());
    std::vector<ZYE_MODEL> kody(d.size(), ZYM_GOTOVO);
    // The largest parts first, so that no thread is left with a large one at the end.
    std::vector<std::size_t> porjadok(d.size());
    for (std::size_t i = 0; i < d.size(); ++i)
        porjadok[i] = i;
    std::stable_sort(porjadok.begin(), porjadok.end(),
                     [&d](std::size_t a, std::size_t b) { return d[a].granej > d[b].granej; });
    ZyChernoviki chernoviki(r.v.size() / 3);
    ZyShvy shvy(r.v.size() / 3);
    std::vector<std::vector<unsigned>> pozicii(d.size());
    std::atomic<std::size_t> gotovo{0};
    std::atomic<bool> stop{false};
    bool prervano = false;
    ZyParallelno(
        d.size(), ZyChisloPotokov(),
        [&](std::size_t n) {
            const std::size_t i = porjadok[n];
            std::unique_ptr<ZYS_CHERNOVIK> ch = chernoviki.Vzjat();
            kody[i] = Chast(r, d[i], smeny, m, *ch, unsigned(i + 1), chasti[i], shvy, pozicii[i],
                            oshibki[i], gotovo, stop);
            chernoviki.Vernut(std::move(ch));
            gotovo += d[i].granej & 0xFFFF;
            if (kody[i] != ZYM_GOTOVO) stop = true;
        },
        [&] {
            const double dolja = double(gotovo) / double(std::max<std::size_t>(1, r.uglov.size()));
            if (!hod || hod(kRazborDo + int((100 - kRazborDo) * dolja))) return true;
            prervano = true;
            return false;
        },
        stop);
    if (prervano) return ZyOshibka(o, ZYM_PRERVANO);
    for (std::size_t i = 0; i < d.size(); ++i)
        if (kody[i] != ZYM_GOTOVO && kody[i] != ZYM_PRERVANO) {
            o = oshibki[i];
            return kody[i];
        }
    for (std::size_t i = 0; i < d.size(); ++i)
        OtmetitShvy(shvy, pozicii[i], chasti[i]);
    bool pervaja = true;
    for (ZYS_CHAST& c : chasti) {
        m.granej += c.granej;
        m.treugolnikov += static_cast<unsigned long>(c.materialy.size());
        ZyRasshirit(m.min, m.max, c.min, pervaja);
        ZyRasshirit(m.min, m.max, c.max, false);
        pervaja = false;
        m.chasti.push_back(std::move(c));
    }
    return ZYM_GOTOVO;
}

} // namespace

ZYE_MODEL ZyRazobratObj(std::vector<unsigned char>& b, const std::string& put, ZYS_MODEL& m,
                        ZYS_OSHIBKA_MODELI& o, const ZyfHod& hod) {
    const char* t = reinterpret_cast<const char*>(b.data());
    const std::size_t s = BezMetki(t, b.size());
    ZYS_RAZBOR_OBJ r;
    const ZyfHod hodRazbora = [&hod](int p) {
        return !hod || hod(kRazborOt + p * (kRazborDo - kRazborOt) / 100);
    };
    const ZYE_MODEL kod =
        ZyRazobratTekstObj(t + s, b.size() - s, ZyChisloPotokov(), r, o, hodRazbora);
    std::vector<unsigned char>().swap(b); // the text is no longer needed
    if (kod != ZYM_GOTOVO) return kod;
    if (r.v.size() < 3) return ZyOshibka(o, ZYM_NE_OBJ);
    if (!r.konechnye) return ZyOshibka(o, ZYM_CHISLO);
    const std::vector<ZYS_SMENA> smeny = Smeny(r, ZyPapka(put), m);
    const ZYE_MODEL k = Chasti(r, smeny, m, o, hod);
    if (k != ZYM_GOTOVO) return k;
    if (m.chasti.empty()) return ZyOshibka(o, ZYM_NET_GRANEJ);
    return ZYM_GOTOVO;
}

} // namespace zymodel
