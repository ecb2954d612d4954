// The packages as a Windows user gets them (test_paket.sh builds them with CPack, unpacks the
// ZIP and runs this program in a Wine prefix of its own). One table row for each way to get
// the viewer: the installer, run silently per machine and per user, into a fresh folder or its
// default one, and the ZIP unpacked anywhere. For the installer: the installed files are the
// ZIP's, each program and DLL carries the product's version, the uninstall entry and the
// Start-menu shortcut exist; the viewer started from the shortcut's target and working folder
// shows the built-in scene on the screen and ends with 0 when closed; the silent uninstaller
// leaves nothing of what was installed, and the files the viewer wrote into its working
// folder. With the model viewer in the package, "Open with Orvanta" comes and goes with it.
// Paths come as Unix paths in ZY_PAKET_INSTALLER, ZY_PAKET_ZIP (the unpacked ZIP's top
// folder) and ZY_PAKET_RABOTA (a scratch folder).
#include "sistema.h"

#include "ZyTestEkran.h"
#include "ZyTestFajly.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

namespace {

const char kUninstall[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Orvanta";
const char* const kModelTypes[] = {".obj", ".gltf", ".glb"};

enum class Kak { USTANOVSHIK, ZIP };

// One way to get the viewer onto a machine.
struct ZyS_SPOSOB {
    const char* imja;
    Kak kak;
    const char* kljuchi; // the installer's options besides /S and /D=
    bool svojaPapka;     // /D=<a fresh folder of the test>; else the installer's default folder
    bool dljaVseh;       // per machine (HKLM, Program Files), else per user
};

// gtest names a failing row by this.
void PrintTo(const ZyS_SPOSOB& s, std::ostream* os) {
    *os << s.imja;
}

const ZyS_SPOSOB kSposoby[] = {
    {"InstallerPerMachineIntoAFreshFolder", Kak::USTANOVSHIK, "", true, true},
    {"InstallerPerUserIntoItsDefaultFolder", Kak::USTANOVSHIK, " /CurrentUser", false, false},
    {"InstallerPerMachineIntoProgramFiles", Kak::USTANOVSHIK, "", false, true},
    {"ZipUnpackedAnywhere", Kak::ZIP, "", true, false},
};

// A folder given by the test script, as a Windows path ("" when the variable is not set).
std::string Papka(const char* peremennaja) {
    const char* s = std::getenv(peremennaja);
    return s ? paket::VWindows(s) : std::string();
}

bool OdinakovyePuti(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The view window of the viewer's host window: its direct child.
HWND Vid(HWND hozjain) {
    HWND v = GetWindow(hozjain, GW_CHILD);
    return v && GetParent(v) == hozjain ? v : nullptr;
}

// One run of a viewer program in a working folder, closed the way a user closes it.
class Zapusk {
public:
    Zapusk(const std::string& exe, const std::string& papka) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string komanda = "\"" + exe + "\"";
        est_ = CreateProcessA(exe.c_str(), &komanda[0], nullptr, nullptr, FALSE, 0, nullptr,
                              papka.c_str(), &si, &pi_) != 0;
    }
    ~Zapusk() { Zakryt(); }
    Zapusk(const Zapusk&) = delete;
    Zapusk& operator=(const Zapusk&) = delete;

    bool est() const { return est_; }
    DWORD pid() const { return pi_.dwProcessId; }

    // The host window, once it is shown with its view (at most `ms`).
    HWND Okno(DWORD ms) const {
        HWND okno = nullptr;
        zytest::ZhdatPoka(
            [&] {
                for (HWND h : zytest::OknaProcessa(pi_.dwProcessId, "Pattern"))
                    if (IsWindowVisible(h) && Vid(h)) okno = h;
                return okno != nullptr || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0;
            },
            ms);
        return okno;
    }

    // WM_CLOSE to the host window, then the exit code (STILL_ACTIVE when it had to be ended).
    DWORD Zakryt() {
        if (!est_) return kod_;
        est_ = false;
        for (HWND h : zytest::OknaProcessa(pi_.dwProcessId, "Pattern"))
            PostMessageA(h, WM_CLOSE, 0, 0);
        bool vyshel = false;
        for (int i = 0; i < 10 && !vyshel; ++i) {
            vyshel = WaitForSingleObject(pi_.hProcess, 3000) == WAIT_OBJECT_0;
            if (!vyshel) zytest::OtvetitNaSoobshenija(pi_.dwProcessId);
        }
        if (vyshel)
            GetExitCodeProcess(pi_.hProcess, &kod_);
        else {
            TerminateProcess(pi_.hProcess, 99);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
        return kod_;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool est_ = false;
    DWORD kod_ = STILL_ACTIVE;
};

// What the built-in scene puts into the view, wherever the eye looks from at the start: lines
// and labels in the palette's pure colours on a black background, over the whole view; among
// them the blue lines of the unit sphere (palette colour 170) and at least one other colour.
// "" when all is there, else what is missing.
std::string ProverkaScenyNach(const zytest::Snimok& s, const RECT& v) {
    const long w = v.right - v.left, h = v.bottom - v.top;
    const long cx = v.left + w / 2, cy = v.top + h / 2;
    long chernye = 0, sinie = 0, drugie = 0, chetverti[4] = {};
    for (long y = v.top; y < v.bottom; ++y)
        for (long x = v.left; x < v.right; ++x) {
            const COLORREF c = s.Piksel(x, y);
            if (c == RGB(0, 0, 0)) {
                ++chernye;
                continue;
            }
            ++chetverti[(x < cx ? 0 : 1) + (y < cy ? 0 : 2)];
            if (c == RGB(0, 0, 255))
                ++sinie;
            else
                ++drugie;
        }
    std::string net;
    if (chernye < w * h / 2) net += " a black background (" + std::to_string(chernye) + " px);";
    for (int i = 0; i < 4; ++i)
        if (chetverti[i] < 100)
            net += " lines in quarter " + std::to_string(i) + " (" + std::to_string(chetverti[i]) +
                   " px);";
    if (sinie < 200) net += " the blue sphere (" + std::to_string(sinie) + " px);";
    if (drugie < 10) net += " other colours (" + std::to_string(drugie) + " px);";
    return net;
}

// Writes a capture as a PPM file (kept for a look when a check fails).
void ZapisatSnimok(const zytest::Snimok& s, const std::string& imja) {
    if (FILE* f = std::fopen(imja.c_str(), "wb")) {
        std::fprintf(f, "P6\n%ld %ld\n255\n", s.shirina, s.vysota);
        std::fwrite(s.rgb.data(), 1, s.rgb.size(), f);
        std::fclose(f);
    }
}

// Starts the viewer as the shortcut does, checks the built-in scene on the screen, closes it:
// exit code 0 and no message box.
void PokazatScenuNach(const std::string& exe, const std::string& papka, const std::string& snimok) {
    Zapusk z(exe, papka);
    ASSERT_TRUE(z.est()) << exe << " in " << papka << ": error " << GetLastError();
    const HWND okno = z.Okno(30000);
    ASSERT_NE(nullptr, okno) << "the viewer's window; boxes: "
                             << zytest::Opisanie(zytest::OtvetitNaSoobshenija(z.pid()));
    const RECT v = zytest::KlientNaEkrane(Vid(okno));
    ASSERT_GT(v.right - v.left, 200);
    ASSERT_GT(v.bottom - v.top, 200);
    // The engine copies each frame to the screen a moment after it drew it: look again until
    // the scene is there.
    zytest::Snimok s;
    std::string net;
    zytest::ZhdatPoka(
        [&] {
            s = zytest::SnjatEkran();
            net = s.Est() ? ProverkaScenyNach(s, v) : s.oshibka;
            return !s.Est() || net.empty();
        },
        20000);
    ZapisatSnimok(s, snimok);
    ASSERT_TRUE(s.Est()) << s.oshibka;
    EXPECT_EQ("", net) << "the built-in scene on the screen (" << snimok << ")";
    EXPECT_EQ("", zytest::Opisanie(zytest::OtvetitNaSoobshenija(z.pid()))) << "no message box";
    EXPECT_EQ(0u, z.Zakryt()) << "the viewer's exit code after WM_CLOSE";
}

// Every program and DLL of a tree carries the product's version resource, and the CMake
// package its version.
void ProveritVersii(const std::string& papka, const paket::Derevo& d) {
    int programmy = 0;
    for (const auto& f : d) {
        const std::string& imja = f.first;
        const std::string tip = imja.size() > 4 ? imja.substr(imja.size() - 4) : "";
        if (lstrcmpiA(tip.c_str(), ".exe") != 0 && lstrcmpiA(tip.c_str(), ".dll") != 0) continue;
        ++programmy;
        const paket::Versija v = paket::ProchestVersiju(papka + "\\" + imja);
        ASSERT_TRUE(v.est) << imja << " has no version resource";
        char chisla[64];
        std::snprintf(chisla, sizeof chisla, "%u.%u.%u", v.chasti[0], v.chasti[1], v.chasti[2]);
        EXPECT_EQ(ZY_VERSIJA, std::string(chisla)) << imja;
        const std::string fajl = imja.substr(imja.find_last_of('\\') + 1);
        const struct {
            const char* imja;
            std::string ozhidaetsja;
        } stroki[] = {{"ProductName", "Orvanta"},
                      {"ProductVersion", ZY_VERSIJA},
                      {"FileVersion", ZY_VERSIJA},
                      {"CompanyName", "Orvanta"},
                      {"OriginalFilename", fajl == "Uninstall.exe" ? "" : fajl}};
        for (const auto& s : stroki) {
            if (s.ozhidaetsja.empty()) continue;
            const auto i = v.stroki.find(s.imja);
            EXPECT_EQ(s.ozhidaetsja, i == v.stroki.end() ? "(none)" : i->second)
                << imja << ": " << s.imja;
        }
        const auto opisanie = v.stroki.find("FileDescription");
        EXPECT_TRUE(opisanie != v.stroki.end() && !opisanie->second.empty())
            << imja << ": FileDescription";
    }
    EXPECT_GE(programmy, 5) << "orvanta.exe, the three engine DLLs and the model scene";
    // The CMake package of the SDK says the same version.
    const auto cmakePaket = d.find("lib\\cmake\\Orvanta\\OrvantaConfigVersion.cmake");
    ASSERT_TRUE(cmakePaket != d.end()) << "the CMake package's version file";
    EXPECT_NE(std::string::npos,
              cmakePaket->second.find("set(PACKAGE_VERSION \"" ZY_VERSIJA "\")"));
}

// The uninstall entry's values for an installation in `papka`.
void ProveritZapisUdalenija(HKEY koren, const std::string& papka, const std::string& jarlyk,
                            const std::string& rabochaja, long long bajty) {
    const struct {
        const char* imja;
        std::string ozhidaetsja;
    } stroki[] = {
        {"DisplayName", "Orvanta"},
        {"DisplayVersion", ZY_VERSIJA},
        {"Publisher", "Orvanta"},
        {"DisplayIcon", papka + "\\bin\\orvanta.exe,0"},
        {"InstallLocation", papka},
        {"UninstallString", "\"" + papka + "\\Uninstall.exe\""},
        {"QuietUninstallString", "\"" + papka + "\\Uninstall.exe\" /S"},
        {"StartMenuShortcut", jarlyk},
        {"WorkingFolder", rabochaja},
    };
    for (const auto& s : stroki) {
        bool est = false;
        const std::string z = paket::StrokaReestra(koren, kUninstall, s.imja, &est);
        EXPECT_TRUE(est) << s.imja;
        EXPECT_TRUE(OdinakovyePuti(s.ozhidaetsja, z))
            << s.imja << ": expected \"" << s.ozhidaetsja << "\", found \"" << z << "\"";
    }
    const struct {
        const char* imja;
        DWORD ozhidaetsja;
    } chisla[] = {{"NoModify", 1}, {"NoRepair", 1}, {"VersionMajor", 2}, {"VersionMinor", 0}};
    for (const auto& c : chisla) {
        bool est = false;
        EXPECT_EQ(c.ozhidaetsja, paket::ChisloReestra(koren, kUninstall, c.imja, &est)) << c.imja;
        EXPECT_TRUE(est) << c.imja;
    }
    bool est = false;
    const long long kb = paket::ChisloReestra(koren, kUninstall, "EstimatedSize", &est);
    EXPECT_TRUE(est) << "EstimatedSize";
    EXPECT_GE(kb, bajty / 1024 * 95 / 100) << "EstimatedSize in KB of " << bajty << " bytes";
    EXPECT_LE(kb, bajty / 1024 * 105 / 100 + 64) << "EstimatedSize in KB of " << bajty << " bytes";
}

// "Open with Orvanta" on the model file types, present or gone.
void ProveritAssociacii(HKEY koren, const std::string& papka, bool dolzhnyBut) {
    const std::string komanda = "\"" + papka + "\\bin\\orvanta-model.exe\" \"%1\"";
    for (const char* t : kModelTypes) {
        const std::string k =
            std::string("Software\\Classes\\SystemFileAssociations\\") + t + "\\shell\\Orvanta";
        bool est = false;
        const std::string glagol = paket::StrokaReestra(koren, k, "", &est);
        if (!dolzhnyBut) {
            EXPECT_FALSE(paket::EstKljuch(koren, k)) << k << " left behind";
            continue;
        }
        EXPECT_EQ("Open with Orvanta", glagol) << k;
        EXPECT_TRUE(OdinakovyePuti(komanda, paket::StrokaReestra(koren, k + "\\command", "", &est)))
            << k << "\\command";
    }
    EXPECT_EQ(dolzhnyBut,
              paket::EstKljuch(koren, "Software\\Classes\\Applications\\orvanta-model.exe"));
}

class Paket : public testing::TestWithParam<ZyS_SPOSOB> {};

TEST_P(Paket, ItsViewerRunsAndNothingInstalledStaysBehind) {
    const ZyS_SPOSOB& r = GetParam();
    const std::string installer = Papka("ZY_PAKET_INSTALLER");
    const std::string zip = Papka("ZY_PAKET_ZIP");
    const std::string rabota = Papka("ZY_PAKET_RABOTA");
    if (installer.empty() || zip.empty() || rabota.empty())
        GTEST_SKIP() << "run by test_paket.sh (ZY_PAKET_* are not set)";
    const paket::Derevo zipDerevo = paket::ProchestDerevo(zip);
    ASSERT_TRUE(zipDerevo.count("bin\\orvanta.exe")) << "the ZIP holds bin\\orvanta.exe";
    const std::string snimok = rabota + "\\" + r.imja + ".ppm";

    if (r.kak == Kak::ZIP) {
        ProveritVersii(zip, zipDerevo);
        const std::string papka = rabota + "\\" + r.imja;
        zytest::UdalitDerevo(papka);
        ASSERT_TRUE(CreateDirectoryA(papka.c_str(), nullptr)) << papka;
        PokazatScenuNach(zip + "\\bin\\orvanta.exe", papka, snimok);
        EXPECT_EQ("", paket::Raznica(zipDerevo, paket::ProchestDerevo(zip)) +
                          paket::Raznica(paket::ProchestDerevo(zip), zipDerevo))
            << "the viewer wrote into its own folder";
        EXPECT_FALSE(paket::ProchestDerevo(papka).empty()) << "the viewer's files in " << papka;
        return;
    }

    const HKEY koren = r.dljaVseh ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::string papka =
        r.svojaPapka ? rabota + "\\" + r.imja
        : r.dljaVseh ? paket::PapkaOboloch(CSIDL_PROGRAM_FILES) + "\\Orvanta"
                     : paket::PapkaOboloch(CSIDL_LOCAL_APPDATA) + "\\Programs\\Orvanta";
    const std::string jarlyk = paket::PapkaOboloch(CSIDL_PROGRAMS) + "\\Orvanta.lnk";
    const std::string rabochaja = paket::PapkaOboloch(CSIDL_PERSONAL) + "\\Orvanta";
    ASSERT_FALSE(paket::EstKljuch(koren, kUninstall)) << "installed before the test";
    zytest::UdalitDerevo(papka);
    ASSERT_FALSE(paket::EstPapka(papka)) << papka;

    // Install silently.
    std::string komanda = "\"" + installer + "\" /S" + r.kljuchi;
    if (r.svojaPapka) komanda += " /D=" + papka;
    ASSERT_EQ(0u, paket::Vypolnit(komanda, 180000)) << komanda;

    // Exactly the ZIP's files, and the uninstaller.
    paket::Derevo ustanovleno = paket::ProchestDerevo(papka);
    ASSERT_EQ(1u, ustanovleno.erase("Uninstall.exe")) << "the uninstaller in " << papka;
    EXPECT_EQ("", paket::Raznica(zipDerevo, ustanovleno)) << "in the ZIP, not installed";
    EXPECT_EQ("", paket::Raznica(ustanovleno, zipDerevo)) << "installed, not in the ZIP";
    long long bajty = 0;
    for (const auto& f : ustanovleno)
        bajty += static_cast<long long>(f.second.size());
    ProveritVersii(papka, paket::ProchestDerevo(papka));
    const paket::Versija vi = paket::ProchestVersiju(installer);
    EXPECT_EQ(ZY_VERSIJA, vi.stroki.count("ProductVersion") ? vi.stroki.at("ProductVersion") : "")
        << "the installer's own version";

    // The uninstall entry and the shortcut.
    ProveritZapisUdalenija(koren, papka, jarlyk, rabochaja, bajty);
    const paket::Jarlyk j = paket::ProchestJarlyk(jarlyk);
    ASSERT_TRUE(j.prochitan) << "the Start-menu shortcut " << jarlyk;
    EXPECT_TRUE(OdinakovyePuti(papka + "\\bin\\orvanta.exe", j.cel)) << j.cel;
    EXPECT_TRUE(OdinakovyePuti(rabochaja, j.papka)) << j.papka;
    EXPECT_EQ("", j.argumenty);
    ASSERT_TRUE(paket::EstPapka(j.papka)) << "the working folder " << j.papka;
    const bool model = paket::EstFajl(papka + "\\bin\\orvanta-model.exe");
    if (model) ProveritAssociacii(koren, papka, true);

    // The viewer as the shortcut starts it; it writes only into its working folder.
    PokazatScenuNach(j.cel, j.papka, snimok);
    const paket::Derevo rabochieFajly = paket::ProchestDerevo(rabochaja);
    EXPECT_FALSE(rabochieFajly.empty()) << "the viewer's files in " << rabochaja;
    paket::Derevo posle = paket::ProchestDerevo(papka);
    posle.erase("Uninstall.exe");
    EXPECT_EQ("", paket::Raznica(posle, ustanovleno)) << "the viewer wrote into " << papka;

    // Uninstall silently, as Add/Remove Programs does.
    bool est = false;
    const std::string udalit =
        paket::StrokaReestra(koren, kUninstall, "QuietUninstallString", &est);
    ASSERT_TRUE(est);
    ASSERT_EQ(0u, paket::Vypolnit(udalit, 180000)) << udalit;
    EXPECT_FALSE(paket::EstPapka(papka)) << "left behind: " << [&] {
        std::string s;
        for (const auto& f : paket::ProchestDerevo(papka))
            s += f.first + " ";
        return s;
    }();
    EXPECT_FALSE(paket::EstKljuch(koren, kUninstall)) << "the uninstall entry";
    EXPECT_FALSE(paket::EstFajl(jarlyk)) << "the shortcut";
    ProveritAssociacii(koren, papka, false);
    EXPECT_EQ("", paket::Raznica(rabochieFajly, paket::ProchestDerevo(rabochaja)))
        << "the viewer's files in its working folder stay";
}

INSTANTIATE_TEST_SUITE_P(Sposoby, Paket, testing::ValuesIn(kSposoby),
                         [](const testing::TestParamInfo<ZyS_SPOSOB>& i) {
                             return std::string(i.param.imja);
                         });

} // namespace
