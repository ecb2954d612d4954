// A restart of the viewer: the first run moves the point of observation (its scene does) and
// is closed; destroying the window stores the position; the second run, a new process, shows
// the same scene at that position.
#include "ZyTestFajly.h"
#include "ZyTestOkno.h"
#include "ZyTestPapki.h"
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

// One run of orvanta.exe in the current directory.
class Prosmotr {
public:
    Prosmotr() {
        const std::string exe = zytest::PapkaProgrammy() + "\\orvanta.exe";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> stroka(exe.begin(), exe.end());
        stroka.push_back('\0');
        zapushcheno_ = CreateProcessA(exe.c_str(), stroka.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &si, &pi_) != 0;
    }
    ~Prosmotr() { Zakryt(); }
    bool zapushcheno() const { return zapushcheno_; }

    // The message boxes the viewer shows now, each pressed away with OK ("caption: text" lines).
    std::string ZakrytSoobshchenija() {
        return zytest::Opisanie(zytest::OtvetitNaSoobshenija(pi_.dwProcessId, IDOK));
    }

    // Closes the host window and waits for the process; false when it had to be ended.
    bool Zakryt() {
        if (!zapushcheno_) return true;
        zapushcheno_ = false;
        for (HWND h : zytest::OknaProcessa(pi_.dwProcessId, "Pattern"))
            PostMessageA(h, WM_CLOSE, 0, 0);
        bool vyshel = false;
        for (int i = 0; i < 10 && !vyshel; ++i) {
            vyshel = WaitForSingleObject(pi_.hProcess, kOzhidanie / 10) == WAIT_OBJECT_0;
            if (!vyshel) ZakrytSoobshchenija();
        }
        if (!vyshel) {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, kOzhidanie);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
        return vyshel;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool zapushcheno_ = false;
};

// The eye position the test scene reported (the first line of its file), or an empty text.
std::string Pozicija() {
    const std::string t = zytest::ChitatFajl("pozicija.txt");
    return t.substr(0, t.find_first_of("\r\n"));
}

// Runs the viewer until its scene has drawn a frame, then closes it. The reported position.
std::string OdinZapusk(HANDLE kadr) {
    ResetEvent(kadr);
    std::remove("pozicija.txt");
    Prosmotr p;
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
