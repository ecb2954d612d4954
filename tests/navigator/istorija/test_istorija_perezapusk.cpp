// A restart of the viewer: the first run moves the point of observation (its scene does) and
// is closed; destroying the window stores the position; the second run, a new process, shows
// the same scene at that position.
#include "ZyTestFajly.h"
#include "ZyTestOkno.h"
#include "ZyTestPapki.h"
#include "ZyTestProsmotr.h"
#include "ZyTestSoobshenija.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kIstorija = "ZyGLDannwe\\ZyGLOkno 000\\ZyIstorijaScen.ZYI";
const char* const kAdresa = "ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt";
constexpr DWORD kOzhidanie = 30000;

// The eye position the test scene reported (the first line of its file), or an empty text.
std::string Pozicija() {
    const std::string t = zytest::ChitatFajl("pozicija.txt");
    return t.substr(0, t.find_first_of("\r\n"));
}

// Runs the viewer until its scene has drawn a frame, then closes it. The reported position.
std::string OdinZapusk(HANDLE kadr) {
    ResetEvent(kadr);
    std::remove("pozicija.txt");
    zytest::Prosmotr p;
    EXPECT_TRUE(p.zapushcheno()) << "orvanta.exe did not start";
    if (!p.zapushcheno()) return "";
    const bool narisovano = WaitForSingleObject(kadr, kOzhidanie) == WAIT_OBJECT_0;
    EXPECT_TRUE(narisovano) << "no frame of the test scene; boxes: " << p.ZakrytSoobshchenija();
    EXPECT_TRUE(p.Zakryt()) << "the viewer did not end after WM_CLOSE";
    return Pozicija();
}

TEST(IstorijaPerezapusk, TheNextStartShowsTheSceneAtThePositionTheWindowWasDestroyedAt) {
    zytest::UdalitFajl(kIstorija);
    zytest::UdalitFajl(kAdresa);
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    ASSERT_TRUE(zytest::ZapisatFajl(kAdresa,
                                    "KonstryktorScenw = ZyTestScenaIstorii.dll\\ZyTSIKonstr;\r\n"
                                    "Antrakt = ZyTestScenaIstorii.dll\\ZyTSIAntrakt;\r\n"
                                    "PokazScenw = ZyTestScenaIstorii.dll\\ZyTSIPokaz;\r\n"
                                    "FinalScenw = ZyTestScenaIstorii.dll\\ZyTSIFinal;\r\n"));
    HANDLE kadr = CreateEventA(nullptr, TRUE, FALSE, "ZyTestIstorijaKadr");
    ASSERT_NE(nullptr, kadr);

    // First run: the scene moves the eye; closing the viewer stores the position.
    ASSERT_TRUE(zytest::ZapisatFajl("dvigat.txt", "1"));
    EXPECT_EQ("77.500000 0.000000 -3.000000", OdinZapusk(kadr));
    std::remove("dvigat.txt");

    const std::vector<unsigned char> b = zytest::ChitatBajty(kIstorija);
    ASSERT_GE(b.size(), 24u + 280u) << "no history written";
    double x = 0;
    std::memcpy(&x, &b[24 + 8 + 64], sizeof x);
    EXPECT_EQ(77.5, x) << "the position was not stored when the window was destroyed";
    EXPECT_TRUE(GetFileAttributesA(kIstorija) & FILE_ATTRIBUTE_HIDDEN);

    // Second run, a new process: the same scene, at the stored position.
    EXPECT_EQ("77.500000 0.000000 -3.000000", OdinZapusk(kadr));
    const std::vector<unsigned char> b2 = zytest::ChitatBajty(kIstorija);
    ASSERT_EQ(b.size(), b2.size()) << "a restart adds no entry";
    const std::string imena(reinterpret_cast<const char*>(&b2[24 + 272]), 39);
    EXPECT_EQ(std::string("ZyTestScenaIstorii.dll\\ZyTSIKonstr") + '\0', imena.substr(0, 35));
    CloseHandle(kadr);
}

} // namespace

namespace {

// x and z of a reported eye position ("x y z").
struct XZ {
    double x = 0, z = 0;
};
XZ Razobrat(const std::string& t) {
    XZ p;
    double y = 0;
    std::sscanf(t.c_str(), "%lf %lf %lf", &p.x, &y, &p.z);
    return p;
}

// x and z of the eye stored in the history file's first entry.
XZ Sohranennaja() {
    const std::vector<unsigned char> b = zytest::ChitatBajty(kIstorija);
    XZ p;
    if (b.size() < 24u + 280u) return p;
    std::memcpy(&p.x, &b[24 + 8 + 64], sizeof p.x);
    std::memcpy(&p.z, &b[24 + 8 + 64 + 16], sizeof p.z);
    return p;
}

} // namespace

// A view that is still drawing frames when the program is closed (continuous animation, or a
// latched motion) stores the position it was closed at; the next start shows it.
TEST(IstorijaPerezapusk, ClosingWhileTheViewAnimatesOrMovesStoresThePositionAtClose) {
    struct Sluchaj {
        const char* fajl; // what the scene's constructor does besides moving the eye
        bool dvizhetsja;  // the eye keeps moving
    };
    const Sluchaj sluchai[] = {{"animirovat.txt", false}, {"zashchelka.txt", true}};
    HANDLE kadr = CreateEventA(nullptr, TRUE, FALSE, "ZyTestIstorijaKadr");
    ASSERT_NE(nullptr, kadr);
    for (const Sluchaj& s : sluchai) {
        SCOPED_TRACE(s.fajl);
        zytest::UdalitFajl(kIstorija);
        CreateDirectoryA("ZyGLDannwe", nullptr);
        CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
        ASSERT_TRUE(zytest::ZapisatFajl(
            kAdresa, "KonstryktorScenw = ZyTestScenaIstorii.dll\\ZyTSIKonstr;\r\n"
                     "Antrakt = ZyTestScenaIstorii.dll\\ZyTSIAntrakt;\r\n"
                     "PokazScenw = ZyTestScenaIstorii.dll\\ZyTSIPokaz;\r\n"
                     "FinalScenw = ZyTestScenaIstorii.dll\\ZyTSIFinal;\r\n"));
        ASSERT_TRUE(zytest::ZapisatFajl("dvigat.txt", "1"));
        ASSERT_TRUE(zytest::ZapisatFajl(s.fajl, "1"));
        const XZ zakryta = Razobrat(OdinZapusk(kadr)); // the last frame before the close
        std::remove("dvigat.txt");
        std::remove(s.fajl);

        const XZ hranitsja = Sohranennaja();
        EXPECT_EQ(77.5, hranitsja.x) << "the position at close was not stored";
        EXPECT_NEAR(zakryta.z, hranitsja.z, 1e-6);
        if (s.dvizhetsja) {
            EXPECT_LT(hranitsja.z, -3.0) << "the latched motion moved the eye";
        }

        std::remove("pervaja.txt");
        OdinZapusk(kadr);
        const XZ pervaja = Razobrat(zytest::ChitatFajl("pervaja.txt"));
        EXPECT_EQ(77.5, pervaja.x);
        // The first frame of the next start has moved at most one step further (the restored
        // latch moves on at the default 25 frames a second: 0.04 a frame).
        EXPECT_NEAR(hranitsja.z, pervaja.z, s.dvizhetsja ? 0.0401 : 1e-9);
    }
    CloseHandle(kadr);
}
