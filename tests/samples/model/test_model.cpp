// The model scene in a live navigator of this process: three coloured groups at known places
// are all on the screen at the start, a click on one focuses its selection name and the view's
// text names it, coming back through the history does not read the file again, and every kind
// of damaged file gives one translated box and an empty scene.
#include "ZyModel.h"
#include "ZyScenaModel.h"
#include "ZyTestEkran.h"
#include "ZyTestModeli.h"
#include "ZyTestNavigatora.h"
#include "ZyTestPerevod.h"

#include <gtest/gtest.h>

#include <string>

using namespace Quorvel;
using zyt::Belyj;
using zyt::Krasnyj;
using zyt::Najti;
using zyt::Pjatno;
using zyt::Sinij;
using zyt::Svodka;
using zyt::TriKuba;
using zyt::Zelenyj;

namespace {

const char* const kModel = "ZyGLDannwe\\ZyGLOkno 000\\Model.txt";
const char kZagolovok[] = "Module: ZyScenaModel";

// The scene's four names.
const ZYS_ADR_SCENW kAdresa{"ZyScenaModel.dll\\ZyScenaModel1", "ZyScenaModel.dll\\ZyScenaModel2",
                            "ZyScenaModel.dll\\ZyScenaModel3", "ZyScenaModel.dll\\ZyScenaModel4"};

// Writes the model, its materials and "Model.txt" naming it.
void ZapisatModel(const std::string& obj, const std::string& imja = "Kuby.obj") {
    zyt::ZapisatDannye("ZyGLDannwe\\ZyGLOkno 000\\" + imja, obj);
    zyt::ZapisatDannye("ZyGLDannwe\\ZyGLOkno 000\\Kuby.mtl", zyt::kMtl);
    zyt::ZapisatDannye(kModel, imja + "\r\n");
}

// A live navigator with one view of 640 x 480 showing the model scene.
class ModelZhivoj : public zyt::ZhivojNavigator {
protected:
    void SetUp() override {
        ZhivojNavigator::SetUp();
        std::remove(zytest::kFajlPerevoda);
        ZyVsPutPokaza(ZY_POKAZ_GDI);
    }
    void TearDown() override { ZyVsPutPokaza(ZY_POKAZ_AVTO); }
    // Starts the navigator and waits for `kadrov` frames of the scene.
    void Pusk(unsigned long kadrov = 2) {
        SGL_SCENA_PARAM sp{kAdresa, 0};
        ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
        ASSERT_TRUE(zyt::Kachat(
            [&] { return Svodka(k()).kadrov >= kadrov && !Svodka(k()).zagruzka; }, 20000))
            << "frames: " << Svodka(k()).kadrov << "; boxes: " << zakryvatel.Tekst();
    }
    // A left click at client point (x, y) of the view.
    void Klik(long x, long y) {
        const LPARAM l = MAKELPARAM(x, y);
        PostMessageA(k().hwnd, WM_LBUTTONDOWN, MK_LBUTTON, l);
        PostMessageA(k().hwnd, WM_LBUTTONUP, 0, l);
    }
    ZYKGLKONTROL& k() { return nav.controllers[0]; }

    zyt::Hozjain host{640, 480};
    ZYKGLORVANTA2 nav;
};

} // namespace

TEST_F(ModelZhivoj, TheWholeModelIsInViewAndAClickFocusesAGroupAndNamesIt) {
    ZapisatModel(TriKuba());
    Pusk();
    const ZYS_SVODKA_MODELI s0 = Svodka(k());
    ASSERT_EQ(3u, s0.chastej) << zakryvatel.Tekst();
    EXPECT_EQ(18u, s0.granej);
    EXPECT_EQ(36u, s0.treugolnikov);
    EXPECT_EQ(-7.0f, s0.min[0]);
    EXPECT_EQ(7.0f, s0.max[0]);
    EXPECT_STREQ("", s0.tekst);

    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    ASSERT_GT(v.right - v.left, 600);
    ASSERT_GT(v.bottom - v.top, 440);
    const auto triVidny = [&](const zytest::Snimok& s) {
        return Najti(s, v, Krasnyj).n > 100 && Najti(s, v, Zelenyj).n > 100 &&
               Najti(s, v, Sinij).n > 100;
    };
    zytest::Snimok s = zyt::Snjat(triVidny);
    ASSERT_TRUE(s.Est()) << s.oshibka;
    const struct {
        const char* imja;
        bool (*klass)(COLORREF);
    } gruppy[3] = {
        {"Levaja (red)", Krasnyj}, {"Srednjaja (green)", Zelenyj}, {"Pravaja (blue)", Sinij}};
    Pjatno p[3];
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(gruppy[i].imja);
        p[i] = Najti(s, v, gruppy[i].klass);
        ASSERT_GT(p[i].n, 100) << "the group is on the screen";
        // Framed: no group touches the view's edge.
        EXPECT_GT(p[i].ramka.left, v.left);
        EXPECT_GT(p[i].ramka.top, v.top);
        EXPECT_LT(p[i].ramka.right, v.right);
        EXPECT_LT(p[i].ramka.bottom, v.bottom);
    }
    EXPECT_LT(p[0].cx, p[1].cx) << "red left of green";
    EXPECT_LT(p[1].cx, p[2].cx) << "green left of blue";
    EXPECT_EQ(0, Najti(s, RECT{v.left, v.top, v.left + 320, v.top + 30}, Belyj).n)
        << "no text before a click";

    // A click on each group: its selection name has the focus, the text names it.
    const char* const teksty[3] = {"Levaja: 8 vertices, 6 faces", "Srednjaja: 8 vertices, 6 faces",
                                   "Pravaja: 8 vertices, 6 faces"};
    for (int i : {1, 2, 0}) {
        SCOPED_TRACE(gruppy[i].imja);
        Klik(long(p[i].cx) - v.left, long(p[i].cy) - v.top);
        EXPECT_TRUE(zyt::Kachat([&] { return Svodka(k()).vybrana == ZY_MODEL_IMJA0 + i; }))
            << "focused: " << std::hex << Svodka(k()).vybrana;
        EXPECT_EQ(ZY_MODEL_IMJA0 + i, k().VzFokys());
        EXPECT_STREQ(teksty[i], Svodka(k()).tekst);
    }
    s = zyt::Snjat([&](const zytest::Snimok& c) {
        return Najti(c, RECT{v.left, v.top, v.left + 320, v.top + 30}, Belyj).n > 20;
    });
    EXPECT_GT(Najti(s, RECT{v.left, v.top, v.left + 320, v.top + 30}, Belyj).n, 20)
        << "the text is drawn in the view's top-left corner";

    // A click on the empty background takes the focus and the text away.
    Klik(5, v.bottom - v.top - 10);
    EXPECT_TRUE(zyt::Kachat([&] { return Svodka(k()).vybrana == 0; }));
    EXPECT_EQ(0u, k().VzFokys());
    EXPECT_STREQ("", Svodka(k()).tekst);
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

namespace {
// Calls NScena with the model scene at the end of a test scene's frame, once, when armed.
std::atomic<bool> kModelu{false};
void VModel(int fyn, ZYKGLKONTROL* k) {
    if (fyn == ZYT_FINAL && kModelu.exchange(false)) k->NScena(kAdresa);
}
} // namespace

TEST_F(ModelZhivoj, ComingBackThroughTheHistoryDoesNotReadTheFileAgain) {
    ZapisatModel(TriKuba());
    zyt::ZapisatDannye(kModel, "\xEF\xBB\xBFKuby.obj\r\n"); // a UTF-8 mark first
    const zyt::Imena a("ZyTestScenaA.dll");
    SGL_SCENA_PARAM sp{a.Adresa(), 0};
    ZytNastrojka()->fps = 25;
    ZytNastrojka()->vyzov = VModel;
    ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
    ASSERT_TRUE(zyt::Kachat([] { return ZytKol(ZYT_FINAL) >= 1; }));
    kModelu = true; // entry 2: the model scene
    ASSERT_TRUE(zyt::Kachat([&] { return Svodka(k()).chastej == 3; }, 20000));
    EXPECT_EQ(1u, Svodka(k()).zagruzok);
    EXPECT_EQ(3u, Svodka(k()).chastej);

    // F2: back to the test scene; F3: forward to the model scene again.
    PostMessageA(k().hwnd, WM_KEYDOWN, VK_F2, 1);
    PostMessageA(k().hwnd, WM_KEYUP, VK_F2, 0xC0000001);
    const unsigned long konstr = ZytKol(ZYT_KONSTR);
    ASSERT_TRUE(zyt::Kachat([&] { return ZytKol(ZYT_KONSTR) > konstr; }, 20000));
    const unsigned long kadrov = Svodka(k()).kadrov;
    PostMessageA(k().hwnd, WM_KEYDOWN, VK_F3, 1);
    PostMessageA(k().hwnd, WM_KEYUP, VK_F3, 0xC0000001);
    ASSERT_TRUE(zyt::Kachat([&] { return Svodka(k()).kadrov > kadrov; }, 20000));
    EXPECT_EQ(&ZyScenaModel3, k().Fynkcii[2].fyn) << "the model scene is shown again";
    EXPECT_EQ(1u, Svodka(k()).zagruzok) << "the file was read once";
    EXPECT_EQ(3u, Svodka(k()).chastej) << "the lists are fetched by name";
    ZytNastrojka()->vyzov = nullptr;
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}

namespace {
// Three vertices, then `grani`.
std::string Treugolnik(const std::string& grani) {
    return "v 0 0 0\nv 1 0 0\nv 0 1 0\n" + grani;
}
// One face of more corners than the scene accepts triangles.
std::string MillionyTreugolnikov() {
    std::string t = Treugolnik("f");
    const std::size_t raz = zymodel::kMaksTreugolnikov / 3 + 2;
    t.reserve(t.size() + 6 * raz + 1);
    for (std::size_t i = 0; i < raz; ++i)
        t += " 1 2 3";
    return t + "\n";
}
} // namespace

TEST_F(ModelZhivoj, EveryDamagedFileGivesOneTranslatedBoxAndAnEmptyScene) {
    const std::string tri = TriKuba();
    const std::string predel =
        "has more than \"" + std::to_string(zymodel::kMaksTreugolnikov) + "\" faces or triangles";
    const struct {
        const char* sluchaj;
        std::string obj;   // model text; "-" none written
        std::string imja;  // what "Model.txt" holds; "-": no "Model.txt"
        const char* tekst; // part of the box text
    } sluchai[] = {
        {"missing model file", "-", "Net.obj", "\"ZyGLDannwe\\ZyGLOkno 000\\Net.obj\" cannot be"},
        {"no Model.txt", "-", "-", "that names the model cannot be read"},
        {"Model.txt names nothing", "-", " \r\n", "names no model"},
        // The last line "f 18 22 24 20" cut after its second corner.
        {"truncated in a face", tri.substr(0, tri.size() - 7), "Kuby.obj",
         "fewer than three corners: the file may be cut short"},
        {"not OBJ", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Kuby.obj",
         "is not an OBJ model"},
        {"only vertices", Treugolnik(""), "Kuby.obj", "has no faces"},
        {"face past the vertex list", Treugolnik("f 1 2 4\n"), "Kuby.obj",
         "refers to vertex \"4\", but the file has \"3\" vertices"},
        {"relative index before the list", Treugolnik("f -1 -2 -5\n"), "Kuby.obj",
         "refers to vertex \"-1\""},
        {"zero index", Treugolnik("f 0 1 2\n"), "Kuby.obj", "cannot be read"},
        {"Model.txt in UTF-16", tri, std::string("\xFF\xFEK\0u\0b\0y\0.\0o\0b\0j\0", 18),
         "that names the model is a UTF-16 text file"},
        {"millions of triangles", MillionyTreugolnikov(), "Kuby.obj", predel.c_str()},
    };
    for (const auto& c : sluchai) {
        SCOPED_TRACE(c.sluchaj);
        zyt::Chisto();
        if (c.obj != "-") zyt::ZapisatDannye("ZyGLDannwe\\ZyGLOkno 000\\Kuby.obj", c.obj);
        if (c.imja != "-") zyt::ZapisatDannye(kModel, c.imja);
        zakryvatel.Zabyt();
        ZYKGLORVANTA2 n;
        SGL_SCENA_PARAM sp{kAdresa, 0};
        ASSERT_EQ(1u, n.Pusk(host.okno, 1, nullptr, &sp));
        ASSERT_TRUE(zakryvatel.Zhdat(1)) << "a box";
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka(n.controllers[0]).kadrov >= 2; }))
            << "the empty scene is drawn";
        const std::vector<zytest::ZyOkno> okna = zakryvatel.Okna();
        ASSERT_EQ(1u, okna.size()) << zakryvatel.Tekst();
        EXPECT_EQ(kZagolovok, okna[0].zagolovok);
        EXPECT_NE(std::string::npos, okna[0].tekst.find(c.tekst)) << okna[0].tekst;
        EXPECT_EQ(0u, Svodka(n.controllers[0]).chastej);
    }
}

TEST_F(ModelZhivoj, TheBoxGoesThroughTheTranslationFile) {
    ASSERT_TRUE(zytest::ZapisatFajl(
        zytest::kFajlPerevoda,
        zytest::Zagolovok() + zytest::Zapis(kZagolovok, "Modul: ZyScenaModel") +
            zytest::Zapis("The model file \"\" cannot be opened.", "Die Modelldatei \"\" fehlt.")));
    zyt::ZapisatDannye(kModel, "Net.obj\r\n");
    Pusk();
    ASSERT_TRUE(zakryvatel.Zhdat(1));
    const std::vector<zytest::ZyOkno> okna = zakryvatel.Okna();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Modul: ZyScenaModel", okna[0].zagolovok);
    EXPECT_EQ("Die Modelldatei \"ZyGLDannwe\\ZyGLOkno 000\\Net.obj\" fehlt.", okna[0].tekst);
}
