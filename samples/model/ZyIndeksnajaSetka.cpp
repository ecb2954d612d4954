// A part as indexed arrays (see ZyIndeksnajaSetka.h).
#include "ZyIndeksnajaSetka.h"

#include <cmath>
#include <unordered_map>

namespace zymodel {

namespace {

// The colour of a triangle without material: grey, or white under per-vertex colours.
constexpr float kSeryj[3] = {0.7f, 0.7f, 0.7f}, kBelyj[3] = {1.0f, 1.0f, 1.0f};
constexpr unsigned kNet = ~0u;

// The unit normal of triangle (a, b, c) as signed shorts (zero for a triangle of no area).
void Normal(const float* a, const float* b, const float* c, short* n) {
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    const float x[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                        u[0] * v[1] - u[1] * v[0]};
    const float d = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (int i = 0; i < 3; ++i)
        n[i] = static_cast<short>(d > 0 ? std::lround(x[i] / d * 32767.0f) : 0);
}

// A colour component (0..1) as a byte.
unsigned char Bajt(float x) {
    return static_cast<unsigned char>(std::lround(std::min(1.0f, std::max(0.0f, x)) * 255.0f));
}

// Builds the arrays; the part's colours decide the shading.
class ZyStroitel {
public:
    ZyStroitel(const std::vector<ZYS_MATERIAL>& materialy, const ZYS_CHAST& c)
        : mt_(materialy), c_(c), sCvetom_(!c.cveta.empty() && c.cveta.size() == c.tochki.size()),
          sUv_(!c.uv.empty() && c.uv.size() / 2 == c.tochki.size() / 3),
          pervaja_(c.tochki.size() / 3, kNet), pervMaterial_(c.tochki.size() / 3, 0) {
        s_.gladkaja = sCvetom_;
        const std::size_t tri = c.materialy.size();
        s_.indeksy.reserve(3 * tri);
        s_.vershiny.reserve(c.tochki.size() / 3 + (sCvetom_ ? 2 * tri : tri / 2));
    }

    ZYS_SETKA Postroit() {
        const std::size_t tri = c_.materialy.size();
        for (std::size_t t = 0; t < tri; ++t) {
            const int mat = c_.materialy[t];
            const unsigned* v = &c_.treugolniki[3 * t];
            short n[3];
            Normal(&c_.tochki[3 * std::size_t(v[0])], &c_.tochki[3 * std::size_t(v[1])],
                   &c_.tochki[3 * std::size_t(v[2])], n);
            if (sCvetom_)
                Gladkij(v, mat, n);
            else
                Ploskij(v, mat, n);
            Otrezok(unsigned(t), mat);
        }
        if (!sUv_ || !tekstur_) std::vector<float>().swap(s_.uv);
        s_.vershiny.shrink_to_fit();
        return std::move(s_);
    }

private:
    // The material's colour, or that of no material.
    const float* Cvet(int mat) const {
        return mat >= 0 ? mt_[std::size_t(mat)].cvet : sCvetom_ ? kBelyj : kSeryj;
    }

    // A new vertex for part vertex `i` in material `mat`, normal zero.
    unsigned Novaja(unsigned i, int mat) {
        ZYS_VERSHINA_SETKI w{};
        for (int j = 0; j < 3; ++j)
            w.p[j] = c_.tochki[3 * std::size_t(i) + j];
        const float* cv = Cvet(mat);
        for (int j = 0; j < 3; ++j)
            w.cvet[j] = Bajt(sCvetom_ ? cv[j] * c_.cveta[3 * std::size_t(i) + j] : cv[j]);
        w.cvet[3] = 255;
        s_.vershiny.push_back(w);
        if (sUv_)
            s_.uv.insert(s_.uv.end(), &c_.uv[2 * std::size_t(i)], &c_.uv[2 * std::size_t(i)] + 2);
        zadana_.push_back(0);
        return unsigned(s_.vershiny.size() - 1);
    }

    // The vertex of part vertex `i` in material `mat` (one per pair; normal not yet given).
    unsigned Vershina(unsigned i, int mat) {
        if (pervaja_[i] == kNet) {
            pervaja_[i] = Novaja(i, mat);
            pervMaterial_[i] = mat;
            return pervaja_[i];
        }
        if (pervMaterial_[i] == mat) return pervaja_[i];
        const unsigned long long kljuch =
            (static_cast<unsigned long long>(i) << 32) | static_cast<unsigned>(mat);
        auto r = drugie_.emplace(kljuch, 0u);
        if (r.second) r.first->second = Novaja(i, mat);
        return r.first->second;
    }

    // Whether vertex `w` can end a triangle of normal n: it carries none yet (then it takes
    // n) or carries n.
    bool Podhodit(unsigned w, const short* n) {
        ZYS_VERSHINA_SETKI& x = s_.vershiny[w];
        if (!zadana_[w]) {
            zadana_[w] = 1;
            for (int j = 0; j < 3; ++j)
                x.n[j] = n[j];
            return true;
        }
        return x.n[0] == n[0] && x.n[1] == n[1] && x.n[2] == n[2];
    }

    // A flat-shaded triangle: turned to end on a corner that carries its normal.
    void Ploskij(const unsigned* v, int mat, const short* n) {
        unsigned w[3] = {Vershina(v[0], mat), Vershina(v[1], mat), Vershina(v[2], mat)};
        int posl = -1;
        for (int j : {2, 0, 1})
            if (Podhodit(w[j], n)) {
                posl = j;
                break;
            }
        if (posl < 0) {
            w[2] = Novaja(v[2], mat);
            Podhodit(w[2], n);
            posl = 2;
        }
        for (int j = 1; j <= 3; ++j)
            s_.indeksy.push_back(w[(posl + j) % 3]);
    }

    // A smoothly shaded triangle: the face's normal at every corner; a vertex is shared with
    // the triangle before it that used the same part vertex in the same plane and material.
    void Gladkij(const unsigned* v, int mat, const short* n) {
        for (int j = 0; j < 3; ++j) {
            const unsigned i = v[j];
            unsigned w = pervaja_[i];
            const bool ta = w != kNet && pervMaterial_[i] == mat && s_.vershiny[w].n[0] == n[0] &&
                            s_.vershiny[w].n[1] == n[1] && s_.vershiny[w].n[2] == n[2];
            if (!ta) {
                w = Novaja(i, mat);
                for (int k = 0; k < 3; ++k)
                    s_.vershiny[w].n[k] = n[k];
                pervaja_[i] = w;
                pervMaterial_[i] = mat;
            }
            s_.indeksy.push_back(w);
        }
    }

    // Adds triangle t of material `mat` to the run of its texture.
    void Otrezok(unsigned t, int mat) {
        const int tx = sUv_ && mat >= 0 ? mt_[std::size_t(mat)].tekstura : -1;
        tekstur_ = tekstur_ || tx >= 0;
        if (s_.otrezki.empty() || s_.otrezki.back().tekstura != tx)
            s_.otrezki.push_back({t, 0, tx});
        ++s_.otrezki.back().kol;
    }

    const std::vector<ZYS_MATERIAL>& mt_;
    const ZYS_CHAST& c_;
    const bool sCvetom_, sUv_;
    bool tekstur_ = false;
    ZYS_SETKA s_;
    std::vector<unsigned> pervaja_;     // per part vertex: its first vertex here
    std::vector<int> pervMaterial_;     // ... and that vertex's material
    std::vector<unsigned char> zadana_; // per vertex here: its normal is given
    std::unordered_map<unsigned long long, unsigned> drugie_; // (part vertex, material) beyond
};

} // namespace

ZYS_SETKA ZyPostroitSetku(const std::vector<ZYS_MATERIAL>& materialy, const ZYS_CHAST& c) {
    return ZyStroitel(materialy, c).Postroit();
}

} // namespace zymodel
