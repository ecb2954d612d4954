// The model scene's arrays without a view: the OBJ text read in parallel pieces beside
// tinyobjloader's reading of the same text, the refusals with the line they name, the levels
// of detail built from a loaded model (parts, materials, bounds, fewer triangles each), and
// the choice of the level that fits a frame's budget.
#include "ZyModel.h"
#include "ZyRazborObj.h"
#include "ZyUrovni.h"

#include "tiny_obj_loader.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace zymodel;

namespace {

// What a reader made of an OBJ text: positions, texture coordinates, the corners of every
// face in file order (texture coordinate -1 where a corner has none), vertex colours.
struct ZYS_PROCHTENO {
    std::vector<float> v, vt, cveta;
    std::vector<int> ugolV, ugolVt;
    std::vector<unsigned> uglov;
};

// The text read by the scene's reader on `potokov` threads.
ZYS_PROCHTENO Nashe(const std::string& t, unsigned potokov) {
    ZYS_RAZBOR_OBJ r;
    ZYS_OSHIBKA_MODELI o;
    EXPECT_EQ(ZYM_GOTOVO, ZyRazobratTekstObj(t.data(), t.size(), potokov, r, o)) << o.tekst;
    ZYS_PROCHTENO p{r.v, r.vt, r.cveta, r.ugolV, r.ugolVt, r.uglov};
    if (p.ugolVt.empty()) p.ugolVt.assign(p.ugolV.size(), -1);
    return p;
}

// The same text read by tinyobjloader (faces not split, no colour where none is written).
ZYS_PROCHTENO Etalon(const std::string& t) {
    tinyobj::attrib_t a;
    std::vector<tinyobj::shape_t> formy;
    std::vector<tinyobj::material_t> m;
    std::string preduprezhdenija, oshibki;
    std::istringstream vhod(t);
    EXPECT_TRUE(
        tinyobj::LoadObj(&a, &formy, &m, &preduprezhdenija, &oshibki, &vhod, nullptr, false, false))
        << oshibki;
    ZYS_PROCHTENO p{a.vertices, a.texcoords, a.colors, {}, {}, {}};
    for (const tinyobj::shape_t& f : formy) {
        for (const tinyobj::index_t& i : f.mesh.indices) {
            p.ugolV.push_back(i.vertex_index);
            p.ugolVt.push_back(i.texcoord_index);
        }
        for (unsigned char n : f.mesh.num_face_vertices)
            p.uglov.push_back(n);
    }
    return p;
}

// Whether two lists of numbers agree to a float's last digits (the readers round alike only
// for exact decimals).
::testing::AssertionResult Blizko(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << a.size() << " numbers vs " << b.size();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::fabs(a[i] - b[i]) > 1e-6f * std::max(1.0f, std::fabs(a[i])))
            return ::testing::AssertionFailure()
                   << "number " << i << ": " << a[i] << " vs " << b[i];
    return ::testing::AssertionSuccess();
}

// A text of `strok` rows of quads over a strip of vertices, each face written with indices
// counting back from its line (so that they reach into the text read before), CR LF line
// ends: a few megabytes, read in several pieces.
std::string BolshojTekst(int strok) {
    std::string t = "# a long strip\r\n";
    char b[96];
    for (int i = 0; i < strok; ++i) {
        std::snprintf(b, sizeof b, "v %d 0 %d\r\nv %d 1 %d\r\nvt 0.%d 0.5\r\n", i, i % 7, i, i % 5,
                      i % 10);
        t += b;
        if (i > 0) t += "f -4/-2 -2/-1 -1/-1 -3/-2\r\n";
        if (i % 5000 == 0) t += "g Kusok" + std::to_string(i / 5000) + "\r\n";
    }
    return t;
}

// Writes `tekst` into a file of the temporary folder; its path (UTF-8).
std::string VremennyjFajl(const std::string& imja, const std::string& tekst) {
    char papka[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, papka);
    const std::string put = std::string(papka, n) + imja;
    std::ofstream(put, std::ios::binary) << tekst;
    return put;
}

// A sphere of radius 3 from `shirot` rings of `dolgot` quads in `grupp` groups by latitude,
// each with its material (`cveta`: a colour per vertex instead).
std::string Shar(int shirot, int dolgot, int grupp, bool cveta) {
    std::string t = cveta ? "" : "mtllib Shar.mtl\n";
    char b[128];
    for (int i = 0; i <= shirot; ++i)
        for (int j = 0; j < dolgot; ++j) {
            const double a = 3.14159265358979 * i / shirot, d = 6.28318530717959 * j / dolgot;
            std::snprintf(b, sizeof b,
                          cveta ? "v %.6f %.6f %.6f %.3f 0.5 %.3f\n" : "v %.6f %.6f %.6f\n",
                          3 * std::sin(a) * std::cos(d), 3 * std::cos(a),
                          3 * std::sin(a) * std::sin(d), double(i) / shirot, double(j) / dolgot);
            t += b;
        }
    for (int i = 0; i < shirot; ++i) {
        if (i % (shirot / grupp) == 0 && i / (shirot / grupp) < grupp) {
            const int g = i / (shirot / grupp);
            t += "g Pojas" + std::to_string(g) + "\n";
            if (!cveta) t += "usemtl M" + std::to_string(g % 3) + "\n";
        }
        for (int j = 0; j < dolgot; ++j) {
            const int a = i * dolgot + j + 1, c = i * dolgot + (j + 1) % dolgot + 1;
            std::snprintf(b, sizeof b, "f %d %d %d %d\n", a, c, c + dolgot, a + dolgot);
            t += b;
        }
    }
    return t;
}

// Edges of a level that one triangle alone has (by their ends' positions): the holes of the
// level of a closed model.
std::size_t Otkrytyh(const std::vector<ZYS_SETKA>& uroven) {
    std::map<std::array<float, 6>, int> rjobra;
    for (const ZYS_SETKA& s : uroven)
        for (std::size_t t = 0; t < s.Treugolnikov(); ++t)
            for (int e = 0; e < 3; ++e) {
                const float* a = s.vershiny[s.indeksy[3 * t + e]].p;
                const float* b = s.vershiny[s.indeksy[3 * t + (e + 1) % 3]].p;
                if (std::lexicographical_compare(b, b + 3, a, a + 3)) std::swap(a, b);
                ++rjobra[{a[0], a[1], a[2], b[0], b[1], b[2]}];
            }
    return std::size_t(std::count_if(
        rjobra.begin(), rjobra.end(),
        [](const std::pair<const std::array<float, 6>, int>& r) { return r.second == 1; }));
}

} // namespace

TEST(RazborObj, ReadsAsTinyobjloaderDoesOnOneThreadAndInPieces) {
    const struct {
        const char* sluchaj;
        std::string tekst;
    } stroki[] = {
        {"triangles and a quad", "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3\nf 1 2 3 4\n"},
        {"texture coordinates and normals",
         "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvn 0 0 1\n"
         "f 1/1 2/2 3/3\nf 1/1/1 2/2/1 3/3/1\nf 1//1 2//1 3//1\n"},
        {"relative indices", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf -3 -2 -1\nv 2 2 2\nf -4 -1 -2\n"},
        {"CR LF, tabs, blanks, comments",
         "# head\r\nv\t0 0 0\r\n  v 1 0 0  \r\n\r\nv 1 1 0\r\n# a face\r\nf 1\t2 3\r\n"},
        {"vertex colours", "v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 1 1 0 0 0 1\nf 1 2 3\n"},
        {"groups, objects and materials",
         "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 2 3\ng A B\nusemtl M\nf 3 2 1\no O\nf 1 3 2\n"},
        {"several pieces", BolshojTekst(60000)},
    };
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.sluchaj);
        const ZYS_PROCHTENO e = Etalon(r.tekst);
        for (unsigned potokov : {1u, 4u}) {
            SCOPED_TRACE(potokov);
            const ZYS_PROCHTENO n = Nashe(r.tekst, potokov);
            EXPECT_TRUE(Blizko(e.v, n.v));
            EXPECT_TRUE(Blizko(e.vt, n.vt));
            EXPECT_EQ(e.ugolV, n.ugolV);
            EXPECT_EQ(e.ugolVt, n.ugolVt);
            EXPECT_EQ(e.uglov, n.uglov);
            if (!n.cveta.empty()) {
                EXPECT_TRUE(Blizko(e.cveta, n.cveta));
            }
        }
    }
    ZYS_RAZBOR_OBJ r;
    ZYS_OSHIBKA_MODELI o;
    const std::string t = stroki[5].tekst;
    ASSERT_EQ(ZYM_GOTOVO, ZyRazobratTekstObj(t.data(), t.size(), 1, r, o));
    ASSERT_EQ(3u, r.sobytija.size());
    EXPECT_EQ("A B", r.sobytija[0].tekst);
    EXPECT_EQ(1u, r.sobytija[0].gran);
    EXPECT_EQ(ZYSO_MATERIAL, r.sobytija[1].vid);
    EXPECT_EQ(ZYSO_OBJEKT, r.sobytija[2].vid);
    EXPECT_EQ(2u, r.sobytija[2].gran);
}

TEST(RazborObj, RefusesAFaultyTextAndNamesItsFirstBadLine) {
    const std::string dlinnyj = BolshojTekst(60000);
    const std::size_t strok = std::size_t(std::count(dlinnyj.begin(), dlinnyj.end(), '\n'));
    const struct {
        const char* sluchaj;
        std::string tekst;
        ZYE_MODEL kod;
        long long znachenie;
        std::string stroka; // in o.tekst
    } stroki[] = {
        {"a face of two corners", "v 0 0 0\nv 1 0 0\nf 1 2\nf 1 2 1\nf 2\n", ZYM_OBREZAN, 2, ""},
        {"a corner that is a word", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 1 a 3\n", ZYM_OSHIBKA_CHTENIJA, 0,
         "(line 4)"},
        {"a corner 0", "v 0 0 0\nv 1 0 0\nv 1 1 0\nf 0 1 2\n", ZYM_OSHIBKA_CHTENIJA, 0, "(line 4)"},
        {"a bad corner in the last piece", dlinnyj + "f 1 2 x\r\nf 1 2 y\r\n", ZYM_OSHIBKA_CHTENIJA,
         0, "(line " + std::to_string(strok + 1) + ")"},
    };
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.sluchaj);
        for (unsigned potokov : {1u, 4u}) {
            ZYS_RAZBOR_OBJ razbor;
            ZYS_OSHIBKA_MODELI o;
            EXPECT_EQ(r.kod,
                      ZyRazobratTekstObj(r.tekst.data(), r.tekst.size(), potokov, razbor, o));
            EXPECT_EQ(r.znachenie, o.znachenie);
            EXPECT_NE(std::string::npos, o.tekst.find(r.stroka)) << o.tekst;
        }
    }
}

TEST(UrovniModeli, EachLevelKeepsThePartsAndTheirMaterialsWithFewerTriangles) {
    VremennyjFajl("Shar.mtl", "newmtl M0\nKd 1 0 0\nnewmtl M1\nKd 0 1 0\nnewmtl M2\nKd 0 0 1\n");
    const struct {
        const char* sluchaj;
        std::string tekst;
        std::size_t urovnej; // at least
        bool cveta;
    } stroki[] = {
        {"a sphere of 240,000 triangles in three groups", Shar(300, 400, 3, false), 3, false},
        {"a sphere with vertex colours in two groups", Shar(100, 200, 2, true), 2, true},
        {"too small for a coarser level", Shar(40, 40, 2, false), 1, false},
    };
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.sluchaj);
        ZYS_MODEL m;
        ZYS_OSHIBKA_MODELI o;
        ASSERT_EQ(ZYM_GOTOVO, ZyZagruzitModel(VremennyjFajl("Shar.obj", r.tekst), m, o)) << o.tekst;
        const ZYS_MODEL kopija = m;
        ZYS_UROVNI u;
        ASSERT_EQ(ZYM_GOTOVO, ZyPostroitUrovni(m, false, u));
        ASSERT_GE(u.setki.size(), r.urovnej);
        ASSERT_EQ(u.setki.size(), u.treugolnikov.size());
        if (r.urovnej == 1) {
            EXPECT_EQ(1u, u.setki.size());
        }
        EXPECT_EQ(kopija.treugolnikov, u.treugolnikov[0]);
        const float dopusk = 0.02f * (kopija.max[0] - kopija.min[0]);
        std::set<std::vector<unsigned char>> polnyeCveta;
        for (std::size_t l = 0; l < u.setki.size(); ++l) {
            SCOPED_TRACE(l);
            ASSERT_EQ(kopija.chasti.size(), u.setki[l].size()) << "every part in every level";
            if (l > 0) {
                EXPECT_LE(u.treugolnikov[l] * 3, u.treugolnikov[l - 1]) << "about a quarter each";
                EXPECT_GE(u.treugolnikov[l], kMinTreugolnikovUrovnja);
            }
            unsigned long treugolnikov = 0;
            for (std::size_t i = 0; i < u.setki[l].size(); ++i) {
                const ZYS_SETKA& s = u.setki[l][i];
                treugolnikov += static_cast<unsigned long>(s.Treugolnikov());
                EXPECT_GT(s.Treugolnikov(), 0u) << "part " << i << " is still drawn";
                EXPECT_EQ(r.cveta, s.gladkaja);
                for (unsigned k : s.indeksy)
                    ASSERT_LT(k, s.vershiny.size());
                for (std::size_t t = 0; l > 0 && t < s.Treugolnikov(); ++t) {
                    const float* a = s.vershiny[s.indeksy[3 * t]].p;
                    const float* b = s.vershiny[s.indeksy[3 * t + 1]].p;
                    const float* c = s.vershiny[s.indeksy[3 * t + 2]].p;
                    EXPECT_FALSE(std::equal(a, a + 3, b) || std::equal(b, b + 3, c) ||
                                 std::equal(a, a + 3, c))
                        << "a clustered triangle that lost a corner, " << t;
                }
                for (const ZYS_VERSHINA_SETKI& v : s.vershiny) {
                    for (int k = 0; k < 3; ++k) {
                        EXPECT_GE(v.p[k], kopija.chasti[i].min[k] - dopusk);
                        EXPECT_LE(v.p[k], kopija.chasti[i].max[k] + dopusk);
                    }
                    const std::vector<unsigned char> cvet(v.cvet, v.cvet + 4);
                    if (l == 0) {
                        polnyeCveta.insert(cvet);
                    } else if (!r.cveta) {
                        EXPECT_EQ(1u, polnyeCveta.count(cvet)) << "a material's colour";
                    }
                }
            }
            EXPECT_EQ(u.treugolnikov[l], treugolnikov);
            if (l > 0) {
                EXPECT_EQ(0u, Otkrytyh(u.setki[l])) << "the groups stay joined";
            }
        }
    }
}

TEST(UrovniModeli, TheFinestLevelThatFitsTheBudgetIsChosen) {
    const std::vector<unsigned long> tri = {1000000, 127000, 31000, 7800};
    const struct {
        const char* sluchaj;
        std::vector<double> vremja; // ms, negative: not measured
        double bjudzhet;
        std::size_t uroven;
    } stroki[] = {
        {"nothing measured: a software renderer's rate", {-1, -1, -1, -1}, 30, 1},
        {"the full model measured within the budget", {25, -1, -1, -1}, 30, 0},
        {"the full model too slow: the next scaled from it", {65, -1, -1, -1}, 30, 1},
        {"a level measured too slow: the next scaled from it", {65, 35, -1, -1}, 30, 2},
        {"a fast renderer: the full model again", {-1, 2, -1, -1}, 30, 0},
        {"none fits: the coarsest", {900, 400, 100, 50}, 30, 3},
        {"no levels", {}, 30, 0},
    };
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.sluchaj);
        const std::vector<unsigned long> t(tri.begin(), tri.begin() + long(r.vremja.size()));
        EXPECT_EQ(r.uroven, ZyVybratUroven(r.vremja, t, r.bjudzhet));
    }
}
