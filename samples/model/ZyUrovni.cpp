// Levels of detail (see ZyUrovni.h).
#include "ZyUrovni.h"

#include "ZyPotoki.h"
#include "ZyUproshchenie.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <new>

namespace zymodel {

namespace {

// The first coarser level's share of the model's triangles, and each next level's share of
// the one before.
constexpr double kPervajaDolja = 1.0 / 6, kSledujushchajaDolja = 0.25;
// Triangles that clustering leaves per grid cell a surface crosses (two per cell, a third
// more where the surface runs obliquely).
constexpr double kTreugolnikovNaYachejku = 2.6;
// Cells along an axis of the clustering grid at most (21 bits of a cell's key).
constexpr double kMaksYacheekNaOs = 2.0e6;
// Drawing time of a triangle assumed while nothing is measured (a software renderer), ms.
constexpr double kVremjaTreugolnika = 1e-4;

// The area of part c's surface.
double Ploshchad(const ZYS_CHAST& c) {
    double s = 0;
    for (std::size_t t = 0; t < c.materialy.size(); ++t) {
        const float* a = &c.tochki[3 * std::size_t(c.treugolniki[3 * t])];
        const float* b = &c.tochki[3 * std::size_t(c.treugolniki[3 * t + 1])];
        const float* d = &c.tochki[3 * std::size_t(c.treugolniki[3 * t + 2])];
        const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
        const double v[3] = {double(d[0]) - a[0], double(d[1]) - a[1], double(d[2]) - a[2]};
        const double x = u[1] * v[2] - u[2] * v[1], y = u[2] * v[0] - u[0] * v[2],
                     z = u[0] * v[1] - u[1] * v[0];
        s += 0.5 * std::sqrt(x * x + y * y + z * z);
    }
    return s;
}

// The cell sizes of the coarser levels of `m` (none for a small or flat model).
std::vector<float> Shagi(const ZYS_MODEL& m) {
    std::vector<float> shagi;
    double cel = m.treugolnikov * kPervajaDolja;
    if (cel < kMinTreugolnikovUrovnja) return shagi;
    double ploshchad = 0;
    for (const ZYS_CHAST& c : m.chasti)
        ploshchad += Ploshchad(c);
    double razmer = 0;
    for (int i = 0; i < 3; ++i)
        razmer = std::max(razmer, double(m.max[i]) - m.min[i]);
    double shag = std::sqrt(kTreugolnikovNaYachejku * ploshchad / cel);
    if (!(shag > 0) || !std::isfinite(shag)) return shagi;
    shag = std::max(shag, razmer / kMaksYacheekNaOs);
    for (; cel >= kMinTreugolnikovUrovnja; cel *= kSledujushchajaDolja) {
        shagi.push_back(float(shag));
        shag /= std::sqrt(kSledujushchajaDolja);
    }
    return shagi;
}

// Releases the arrays of part c (what the scene shows of it stays).
void Osvobodit(ZYS_CHAST& c) {
    std::vector<float>().swap(c.tochki);
    std::vector<float>().swap(c.cveta);
    std::vector<float>().swap(c.uv);
    std::vector<unsigned>().swap(c.treugolniki);
    std::vector<int>().swap(c.materialy);
    std::vector<unsigned char>().swap(c.shov);
}

} // namespace

ZYE_MODEL ZyPostroitUrovni(ZYS_MODEL& m, bool sohranitChasti, ZYS_UROVNI& u, const ZyfHod& hod) {
    u = ZYS_UROVNI();
    try {
        const std::vector<float> shagi = Shagi(m);
        const std::size_t chastej = m.chasti.size(), urovnej = 1 + shagi.size();
        u.setki.assign(urovnej, std::vector<ZYS_SETKA>(chastej));
        // Two tasks per part, the largest parts first: its full arrays, and its chain of
        // coarser levels (each clustered from the one before).
        std::vector<std::size_t> porjadok(chastej);
        for (std::size_t i = 0; i < chastej; ++i)
            porjadok[i] = i;
        std::stable_sort(porjadok.begin(), porjadok.end(), [&m](std::size_t a, std::size_t b) {
            return m.chasti[a].materialy.size() > m.chasti[b].materialy.size();
        });
        std::unique_ptr<std::atomic<int>[]> ostalos(new std::atomic<int>[chastej]);
        for (std::size_t i = 0; i < chastej; ++i)
            ostalos[i] = shagi.empty() ? 1 : 2;
        std::atomic<unsigned long long> gotovo{0};
        std::atomic<bool> stop{false};
        bool prervano = false;
        ZyParallelno(
            chastej * (shagi.empty() ? 1 : 2), ZyChisloPotokov(),
            [&](std::size_t n) {
                const std::size_t i = porjadok[shagi.empty() ? n : n / 2];
                ZYS_CHAST& c = m.chasti[i];
                const std::size_t tri = c.materialy.size();
                if (shagi.empty() || n % 2 == 0) {
                    u.setki[0][i] = ZyPostroitSetku(m.materialy, c);
                } else {
                    ZYS_CHAST gruboe;
                    const ZYS_CHAST* iz = &c;
                    for (std::size_t l = 0; l < shagi.size() && !stop; ++l) {
                        gruboe = ZyUprostit(*iz, m.min, shagi[l]);
                        u.setki[l + 1][i] = ZyPostroitSetku(m.materialy, gruboe);
                        iz = &gruboe;
                    }
                }
                gotovo += tri;
                if (--ostalos[i] == 0 && !sohranitChasti) Osvobodit(c);
            },
            [&] {
                const double vsego =
                    double(std::max(1ul, m.treugolnikov)) * (shagi.empty() ? 1 : 2);
                if (!hod || hod(int(100.0 * double(gotovo) / vsego))) return true;
                prervano = true;
                return false;
            },
            stop);
        if (prervano) {
            u = ZYS_UROVNI();
            return ZYM_PRERVANO;
        }
        for (const std::vector<ZYS_SETKA>& uroven : u.setki) {
            unsigned long t = 0;
            for (const ZYS_SETKA& s : uroven)
                t += static_cast<unsigned long>(s.Treugolnikov());
            u.treugolnikov.push_back(t);
        }
    } catch (const std::bad_alloc&) {
        u = ZYS_UROVNI();
        return ZYM_PAMJAT;
    }
    return ZYM_GOTOVO;
}

std::size_t ZyVybratUroven(const std::vector<double>& vremja,
                           const std::vector<unsigned long>& treugolnikov, double bjudzhet) {
    const std::size_t n = std::min(vremja.size(), treugolnikov.size());
    if (n == 0) return 0;
    // The time of level l: measured, or scaled from the nearest measured level.
    auto ocenka = [&](std::size_t l) {
        if (vremja[l] >= 0) return vremja[l];
        for (std::size_t d = 1; d < n; ++d)
            for (std::size_t m : {l - d, l + d})
                if (m < n && vremja[m] >= 0)
                    return vremja[m] * double(treugolnikov[l]) /
                           double(std::max(1ul, treugolnikov[m]));
        return double(treugolnikov[l]) * kVremjaTreugolnika;
    };
    for (std::size_t l = 0; l < n; ++l)
        if (ocenka(l) <= bjudzhet) return l;
    return n - 1;
}

} // namespace zymodel
