// The model scene's levels of detail in a live navigator. A still frame drawn from the indexed
// arrays (in vertex buffers, or compiled into lists of indexed arrays) equals, pixel for
// pixel within a small tolerance, the frame each part's immediate-mode list draws. While a
// grey arrow is held a model of a million triangles is drawn from a coarser level, the frame
// after the release draws the full model and the view comes to rest, and a click during and
// after the motion picks the group the full model has there.
#include "ZyScenaModel.h"
#include "ZyTestEkran.h"
#include "ZyTestModeli.h"
#include "ZyTestNavigatora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace Quorvel;

namespace {

const ZYS_ADR_SCENW kAdresa{"ZyScenaModel.dll\\ZyScenaModel1", "ZyScenaModel.dll\\ZyScenaModel2",
                            "ZyScenaModel.dll\\ZyScenaModel3", "ZyScenaModel.dll\\ZyScenaModel4"};
const std::string kPapka = "ZyGLDannwe\\ZyGLOkno 000\\";
const std::string kObrazcy = ZY_OBRAZCY_MODELEJ;

// A sphere of radius 3 from `shirot` rings of `dolgot` quads, its two halves two groups.
std::string Shar(int shirot, int dolgot) {
    std::string t;
    char b[96];
    for (int i = 0; i <= shirot; ++i)
        for (int j = 0; j < dolgot; ++j) {
            const double a = 3.14159265358979 * i / shirot, d = 6.28318530717959 * j / dolgot;
            std::snprintf(b, sizeof b, "v %.6f %.6f %.6f\n", 3 * std::sin(a) * std::cos(d),
                          3 * std::cos(a), 3 * std::sin(a) * std::sin(d));
            t += b;
        }
    for (int i = 0; i < shirot; ++i) {
        if (i == 0 || i == shirot / 2) t += i == 0 ? "g Sever\n" : "g Jug\n";
        for (int j = 0; j < dolgot; ++j) {
            const int a = i * dolgot + j + 1, c = i * dolgot + (j + 1) % dolgot + 1;
            std::snprintf(b, sizeof b, "f %d %d %d %d\n", a, c, c + dolgot, a + dolgot);
            t += b;
        }
    }
    return t;
}

// A grid of n x n squares in the plane z = 0 (2 n² triangles) in three bands of rows, the
// groups red "Polosa0", green "Polosa1" and blue "Polosa2".
std::string Setka(int n) {
    std::string t = "mtllib Kuby.mtl\n";
    t.reserve(std::size_t(n) * n * 40);
    char b[96];
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(b, sizeof b, "v %d %d 0\n", x, y);
            t += b;
        }
    const char* const materialy[3] = {"Krasnyj", "Zelenyj", "Sinij"};
    for (int y = 0; y < n; ++y) {
        if (y % (n / 3) == 0 && y / (n / 3) < 3) {
            std::snprintf(b, sizeof b, "g Polosa%d\nusemtl %s\n", y / (n / 3),
                          materialy[y / (n / 3)]);
            t += b;
        }
        for (int x = 0; x < n; ++x) {
            const int a = y * (n + 1) + x + 1;
            std::snprintf(b, sizeof b, "f %d %d %d %d\n", a, a + 1, a + n + 2, a + n + 1);
            t += b;
        }
    }
    return t;
}

// The full path of a file of the window's folder (or of a full path), in UTF-16.
std::wstring Put(const std::string& imja) {
    const std::string p = imja.size() > 1 && imja[1] == ':'
                              ? imja
                              : zytest::TekushchajaPapka() + "\\" + kPapka + imja;
    wchar_t w[MAX_PATH * 2];
    return MultiByteToWideChar(CP_UTF8, 0, p.c_str(), -1, w, MAX_PATH * 2) > 0 ? w : L"";
}

// Pixels of view `v` whose colour differs by more than `dopusk` in a channel between two
// captures.
long Raznyh(const zytest::Snimok& a, const zytest::Snimok& b, const RECT& v, int dopusk) {
    long n = 0;
    for (long y = v.top; y < v.bottom; ++y)
        for (long x = v.left; x < v.right; ++x) {
            const COLORREF p = a.Piksel(x, y), q = b.Piksel(x, y);
            n += std::abs(int(GetRValue(p)) - int(GetRValue(q))) > dopusk ||
                 std::abs(int(GetGValue(p)) - int(GetGValue(q))) > dopusk ||
                 std::abs(int(GetBValue(p)) - int(GetBValue(q))) > dopusk;
        }
    return n;
}

// Anything but the background (16, 24, 40).
bool NeFon(COLORREF c) {
    return std::abs(int(GetRValue(c)) - 16) + std::abs(int(GetGValue(c)) - 24) +
               std::abs(int(GetBValue(c)) - 40) >
           30;
}

// A live navigator with one view of 640 x 480 showing the model scene, started on the three
// cubes; the models made here are in the window's folder.
class Urovni : public zyt::ZhivojNavigator {
protected:
    void SetUp() override {
        ZhivojNavigator::SetUp();
        zyt::ZapisatDannye(kPapka + "Kuby.obj", zyt::TriKuba());
        zyt::ZapisatDannye(kPapka + "Kuby.mtl", zyt::kMtl);
        std::string cveta = "g Zheltyj\n";
        for (int i = 0; i < 8; ++i)
            cveta += "v " + std::to_string(i & 4 ? 1 : -1) + " " + std::to_string(i & 2 ? 1 : -1) +
                     " " + std::to_string(i & 1 ? 1 : -1) + " 1 " + std::to_string(i & 1) + " 0\n";
        zyt::ZapisatDannye(kPapka + "Cveta.obj", cveta + "f 1 2 4 3\nf 5 7 8 6\nf 1 5 6 2\n"
                                                         "f 3 4 8 7\nf 1 3 7 5\nf 2 6 8 4\n");
        zyt::ZapisatDannye(
            kPapka + "Tekstura.obj",
            "mtllib Tekstura.mtl\ng Kartina\nusemtl Kartina\nv -1 -1 0\nv 1 -1 0\n"
            "v 1 1 0\nv -1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nf 1/1 2/2 3/3 4/4\n");
        zyt::ZapisatDannye(kPapka + "Tekstura.mtl",
                           "newmtl Kartina\nKd 1 0 0\nmap_Kd Goluboj.bmp\n");
        zyt::ZapisatDannye(kPapka + "Goluboj.bmp", zyt::Bmp(0, 255, 255));
        zyt::ZapisatDannye(kPapka + "Shar.obj", Shar(40, 80));
        ZyVsPutPokaza(ZY_POKAZ_GDI);
        SGL_SCENA_PARAM sp{kAdresa, ZyScenaModelFajl(Put("Kuby.obj").c_str())};
        ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().chastej == 3; }, 20000))
            << zakryvatel.Tekst();
    }
    void TearDown() override { ZyVsPutPokaza(ZY_POKAZ_AVTO); }
    ZYKGLKONTROL& k() { return nav.controllers[0]; }
    ZYS_SVODKA_MODELI Svodka() { return zyt::Svodka(k()); }
    // Shows model `imja`: dropped onto the view, waited for.
    bool Pokazat(const std::string& imja, DWORD ms = 20000) {
        const std::wstring put = Put(imja);
        const unsigned long zagruzok = Svodka().zagruzok;
        zyt::Sbrosit(k().hwnd, put);
        return zyt::Kachat([&] { return Svodka().zagruzok > zagruzok && !Svodka().zagruzka; },
                           ms) &&
               Svodka().chastej > 0;
    }
    // The screen once the view has drawn two more frames (the first one, then one after it
    // has been presented).
    zytest::Snimok Kadr() {
        for (int i = 0; i < 2; ++i) {
            const unsigned long kadrov = Svodka().kadrov;
            InvalidateRect(k().hwnd, nullptr, FALSE);
            EXPECT_TRUE(zyt::Kachat([&] { return Svodka().kadrov > kadrov; }));
        }
        return zytest::SnjatEkran();
    }

    zyt::Hozjain host{640, 480};
    ZYKGLORVANTA2 nav;
};

} // namespace

TEST_F(Urovni, AStillFrameFromTheIndexedArraysEqualsTheImmediateModeListsFrame) {
    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    const struct {
        const char* sluchaj;
        std::string fajl;
        unsigned long massivy; // 0: vertex buffers; ZY_RISOVANIE_BEZ_BUFEROV: lists of arrays
    } stroki[] = {
        {"materials in vertex buffers", "Kuby.obj", 0},
        {"materials in lists of indexed arrays", "Kuby.obj", ZY_RISOVANIE_BEZ_BUFEROV},
        {"per-vertex colours (smooth)", "Cveta.obj", 0},
        {"a texture", "Tekstura.obj", 0},
        {"a curved surface", "Shar.obj", 0},
        {"a curved surface in lists of indexed arrays", "Shar.obj", ZY_RISOVANIE_BEZ_BUFEROV},
        {"glTF: nodes, textures", kObrazcy + "ZyDomik.glb", 0},
        {"the sample model", kObrazcy + "ZyPrimer.obj", 0},
    };
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.sluchaj);
        ZyScenaModelRisovanie(&k(), ZY_RISOVANIE_ETALON | r.massivy);
        ASSERT_TRUE(Pokazat(r.fajl)) << zakryvatel.Tekst();
        const zytest::Snimok spiski = Kadr();
        ZyScenaModelRisovanie(&k(), ZY_RISOVANIE_UROVNI | r.massivy);
        const zytest::Snimok massivy = Kadr();
        ASSERT_TRUE(spiski.Est() && massivy.Est()) << spiski.oshibka << massivy.oshibka;
        EXPECT_EQ(r.massivy ? 0ul : 1ul, Svodka().bufery);
        EXPECT_EQ(0ul, Svodka().urovenKadra);
        EXPECT_EQ(Svodka().treugolnikov, Svodka().treugolnikovKadra);
        EXPECT_GT(zyt::Najti(massivy, v, NeFon).n, 2000) << "the model is drawn";
        EXPECT_EQ(0, Raznyh(spiski, massivy, v, 3)) << "pixels that differ";
    }
    ZyScenaModelRisovanie(&k(), ZY_RISOVANIE_UROVNI);
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

TEST_F(Urovni, WhileAGreyArrowIsHeldACoarserLevelIsDrawnAndAClickPicksTheFullModel) {
    zyt::ZapisatDannye(kPapka + "Setka.obj", Setka(708));
    ASSERT_TRUE(Pokazat("Setka.obj", 60000)) << zakryvatel.Tekst();
    const ZYS_SVODKA_MODELI s0 = Svodka();
    ASSERT_EQ(3ul, s0.chastej);
    ASSERT_GT(s0.urovnej, 1ul) << "coarser levels were built";
    const unsigned long polnaja = s0.treugolnikovUrovnja[0];
    EXPECT_EQ(2ul * 708 * 708, polnaja);
    EXPECT_EQ(polnaja, s0.treugolnikovKadra) << "at rest the full model";
    // A frame period that no level fits in: every frame in motion draws the coarsest level.
    const unsigned short fps = k().fps;
    k().fps = 1000;
    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    const struct {
        const char* klavisha;
        WPARAM vk;
    } stroki[] = {{"grey Up", VK_UP}, {"grey Left", VK_LEFT}, {"grey Page Down", VK_NEXT}};
    for (const auto& r : stroki) {
        SCOPED_TRACE(r.klavisha);
        // The green band's middle, from a frame at rest; a click on the background clears the
        // focus.
        const zytest::Snimok s = Kadr();
        const zyt::Pjatno zelenaja = zyt::Najti(s, v, zyt::Zelenyj);
        ASSERT_GT(zelenaja.n, 1000);
        zyt::Klik(k().hwnd, v.left + 3, v.top + 3);
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().vybrana == 0; }));

        const unsigned long vDvizhenii = Svodka().kadrovVDvizhenii;
        PostMessageA(k().hwnd, WM_KEYDOWN, r.vk, 0x01000001); // an extended (grey) key
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().kadrovVDvizhenii > vDvizhenii + 3; }));
        const ZYS_SVODKA_MODELI dvizhenie = Svodka();
        EXPECT_GT(dvizhenie.urovenKadra, 0ul);
        EXPECT_LT(dvizhenie.treugolnikovKadra, polnaja / 4) << "the coarse level is drawn";
        zyt::Klik(k().hwnd, zelenaja.cx, zelenaja.cy);
        EXPECT_TRUE(zyt::Kachat([&] { return Svodka().vybrana == ZY_MODEL_IMJA0 + 1; }))
            << "picked while moving: " << std::hex << Svodka().vybrana;
        const unsigned long poKliku = Svodka().kadrovVDvizhenii;
        EXPECT_TRUE(zyt::Kachat([&] { return Svodka().kadrovVDvizhenii > poKliku; }))
            << "still moving after the pick";

        PostMessageA(k().hwnd, WM_KEYUP, r.vk, 0xC1000001);
        const unsigned long kadrov = Svodka().kadrov;
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().urovenKadra == 0; }));
        EXPECT_EQ(polnaja, Svodka().treugolnikovKadra) << "the full model after the release";
        EXPECT_LE(Svodka().kadrov, kadrov + 2) << "the next frame (or the one under way)";
        // At rest: no more frames come by themselves.
        const unsigned long pokoj = Svodka().kadrov;
        zytest::ZhdatPoka([] { return false; }, 300);
        EXPECT_EQ(pokoj, Svodka().kadrov);
        EXPECT_FALSE(k().Flagi.Test(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA));

        zyt::Klik(k().hwnd, zelenaja.cx, zelenaja.cy);
        EXPECT_TRUE(zyt::Kachat([&] { return Svodka().vybrana == ZY_MODEL_IMJA0 + 1; }))
            << "picked at rest: " << std::hex << Svodka().vybrana;
    }
    k().fps = fps;
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}
