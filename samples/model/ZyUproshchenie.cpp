// Vertex clustering (see ZyUproshchenie.h).
#include "ZyUproshchenie.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zymodel {

namespace {

constexpr std::uint32_t kPusto = ~0u;

// Mixes a 64-bit key into a table position.
std::uint64_t Smeshat(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdull;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ull;
    x ^= x >> 33;
    return x;
}

// The cell of point p: 21 bits per axis.
std::uint64_t Yachejka(const float* p, const float* nachalo, float shag) {
    std::uint64_t k = 0;
    for (int i = 0; i < 3; ++i) {
        const double x = std::floor((double(p[i]) - nachalo[i]) / shag);
        const std::uint64_t c = std::uint64_t(std::min(double((1 << 21) - 1), std::max(0.0, x)));
        k |= c << (21 * i);
    }
    return k;
}

// The clusters of the vertices: per vertex its cluster, per cluster the sums of its vertices.
struct ZYS_KLASTERY {
    std::vector<std::uint32_t> vershiny; // per vertex of the part, its cluster
    std::vector<double> summy;           // x, y, z, r, g, b per cluster
    std::vector<std::uint32_t> kolichestvo, pervaja;
    std::vector<double> shvy;         // x, y, z per cluster: the sums of its seam vertices
    std::vector<std::uint32_t> shvov; // per cluster, its seam vertices
};

// The cells met so far, each the number of its cluster.
class ZyYachejki {
public:
    // The cluster of cell `kljuch`; a new cell gets the next number.
    std::uint32_t Klaster(std::uint64_t kljuch) {
        if (2 * (kljuchi_.size() + 1) > mesta_.size()) Rasshirit();
        std::size_t j = Smeshat(kljuch) & (mesta_.size() - 1);
        for (; mesta_[j] != kPusto; j = (j + 1) & (mesta_.size() - 1))
            if (kljuchi_[mesta_[j]] == kljuch) return mesta_[j];
        mesta_[j] = std::uint32_t(kljuchi_.size());
        kljuchi_.push_back(kljuch);
        return mesta_[j];
    }

private:
    // Doubles the table and places the cells again.
    void Rasshirit() {
        mesta_.assign(std::max<std::size_t>(1024, 2 * mesta_.size()), kPusto);
        for (std::uint32_t i = 0; i < kljuchi_.size(); ++i) {
            std::size_t j = Smeshat(kljuchi_[i]) & (mesta_.size() - 1);
            while (mesta_[j] != kPusto)
                j = (j + 1) & (mesta_.size() - 1);
            mesta_[j] = i;
        }
    }

    std::vector<std::uint64_t> kljuchi_; // per cluster, its cell
    std::vector<std::uint32_t> mesta_;
};

// Puts every vertex of `c` into the cluster of its cell.
ZYS_KLASTERY Klastery(const ZYS_CHAST& c, const float* nachalo, float shag) {
    const std::size_t n = c.tochki.size() / 3;
    const bool sCvetom = c.cveta.size() == c.tochki.size();
    ZYS_KLASTERY k;
    k.vershiny.resize(n);
    ZyYachejki yachejki;
    for (std::size_t i = 0; i < n; ++i) {
        const float* p = &c.tochki[3 * i];
        const std::uint32_t kl = yachejki.Klaster(Yachejka(p, nachalo, shag));
        if (kl == k.kolichestvo.size()) {
            k.kolichestvo.push_back(0);
            k.pervaja.push_back(std::uint32_t(i));
            k.summy.insert(k.summy.end(), 6, 0.0);
            if (!c.shov.empty()) {
                k.shvov.push_back(0);
                k.shvy.insert(k.shvy.end(), 3, 0.0);
            }
        }
        k.vershiny[i] = kl;
        ++k.kolichestvo[kl];
        double* s = &k.summy[6 * std::size_t(kl)];
        for (int a = 0; a < 3; ++a)
            s[a] += p[a];
        if (sCvetom)
            for (int a = 0; a < 3; ++a)
                s[3 + a] += c.cveta[3 * i + a];
        if (!c.shov.empty() && c.shov[i]) {
            ++k.shvov[kl];
            for (int a = 0; a < 3; ++a)
                k.shvy[3 * std::size_t(kl) + a] += p[a];
        }
    }
    return k;
}

// Triangles kept so far, found again by their corners and material.
class ZyMnozhestvoTreugolnikov {
public:
    // Whether triangle (a, b, c) of material `mat` is new; it is then remembered as number `t`
    // of `tri` (three corners each) and `mat` of `materialy`.
    bool Novyj(const std::vector<std::uint32_t>& tri, const std::vector<int>& materialy,
               std::uint32_t t) {
        if (2 * (kol_ + 1) > mesta_.size()) Rasshirit(tri, materialy);
        std::size_t j = Hesh(&tri[3 * std::size_t(t)], materialy[t]) & (mesta_.size() - 1);
        for (; mesta_[j] != kPusto; j = (j + 1) & (mesta_.size() - 1))
            if (Ravny(tri, materialy, mesta_[j], t)) return false;
        mesta_[j] = t;
        ++kol_;
        return true;
    }

private:
    // The corners in ascending order with the material, mixed.
    static std::uint64_t Hesh(const std::uint32_t* v, int mat) {
        std::uint32_t s[3] = {v[0], v[1], v[2]};
        std::sort(s, s + 3);
        return Smeshat((std::uint64_t(s[0]) << 32 | s[1]) ^
                       Smeshat(std::uint64_t(s[2]) << 20 ^ std::uint32_t(mat)));
    }
    static bool Ravny(const std::vector<std::uint32_t>& tri, const std::vector<int>& materialy,
                      std::uint32_t a, std::uint32_t b) {
        if (materialy[a] != materialy[b]) return false;
        std::uint32_t x[3] = {tri[3 * a], tri[3 * a + 1], tri[3 * a + 2]};
        std::uint32_t y[3] = {tri[3 * b], tri[3 * b + 1], tri[3 * b + 2]};
        std::sort(x, x + 3);
        std::sort(y, y + 3);
        return x[0] == y[0] && x[1] == y[1] && x[2] == y[2];
    }
    // Doubles the table and places the triangles kept again.
    void Rasshirit(const std::vector<std::uint32_t>& tri, const std::vector<int>& materialy) {
        std::vector<std::uint32_t> stary(std::max<std::size_t>(64, 2 * mesta_.size()), kPusto);
        stary.swap(mesta_);
        for (std::uint32_t t : stary)
            if (t != kPusto) {
                std::size_t j = Hesh(&tri[3 * std::size_t(t)], materialy[t]) & (mesta_.size() - 1);
                while (mesta_[j] != kPusto)
                    j = (j + 1) & (mesta_.size() - 1);
                mesta_[j] = t;
            }
    }

    std::vector<std::uint32_t> mesta_;
    std::size_t kol_ = 0;
};

} // namespace

ZYS_CHAST ZyUprostit(const ZYS_CHAST& c, const float* nachalo, float shag) {
    const ZYS_KLASTERY k = Klastery(c, nachalo, shag);
    // The triangles over the clusters, their corners still cluster numbers.
    std::vector<std::uint32_t> tri;
    std::vector<int> materialy;
    ZyMnozhestvoTreugolnikov mnozhestvo;
    for (std::size_t t = 0; t < c.materialy.size(); ++t) {
        const std::uint32_t a = k.vershiny[c.treugolniki[3 * t]],
                            b = k.vershiny[c.treugolniki[3 * t + 1]],
                            d = k.vershiny[c.treugolniki[3 * t + 2]];
        if (a == b || b == d || a == d) continue;
        tri.insert(tri.end(), {a, b, d});
        materialy.push_back(c.materialy[t]);
        if (!mnozhestvo.Novyj(tri, materialy, std::uint32_t(materialy.size() - 1))) {
            tri.resize(tri.size() - 3);
            materialy.pop_back();
        }
    }
    // Only the clusters a triangle uses become vertices.
    const bool sCvetom = c.cveta.size() == c.tochki.size();
    const bool sUv = !c.uv.empty() && c.uv.size() / 2 == c.tochki.size() / 3;
    std::vector<std::uint32_t> nomer(k.kolichestvo.size(), kPusto);
    ZYS_CHAST r;
    r.treugolniki.reserve(tri.size());
    for (std::uint32_t kl : tri) {
        if (nomer[kl] == kPusto) {
            nomer[kl] = std::uint32_t(r.tochki.size() / 3);
            const double* s = &k.summy[6 * std::size_t(kl)];
            const double n = k.kolichestvo[kl];
            // A cell on a seam: the mean of its seam vertices, which the part beyond the seam
            // finds there too, so that the two stay joined.
            const bool shov = !k.shvov.empty() && k.shvov[kl] > 0;
            const double* t = shov ? &k.shvy[3 * std::size_t(kl)] : s;
            const double nt = shov ? k.shvov[kl] : n;
            for (int a = 0; a < 3; ++a)
                r.tochki.push_back(float(t[a] / nt));
            if (!c.shov.empty()) r.shov.push_back(shov ? 1 : 0);
            if (sCvetom)
                for (int a = 0; a < 3; ++a)
                    r.cveta.push_back(float(s[3 + a] / n));
            if (sUv) {
                const std::size_t i = k.pervaja[kl];
                r.uv.insert(r.uv.end(), &c.uv[2 * i], &c.uv[2 * i] + 2);
            }
        }
        r.treugolniki.push_back(nomer[kl]);
    }
    r.materialy = std::move(materialy);
    r.vershin = static_cast<unsigned long>(r.tochki.size() / 3);
    r.granej = static_cast<unsigned long>(r.materialy.size());
    return r;
}

} // namespace zymodel
