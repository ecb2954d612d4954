// The minimal scene built on its own against the installed package (ustanovka.cmake installs
// the tree, configures and builds samples/minimal with find_package) and shown by the
// installed viewer: its yellow triangle and blue background are on the screen.
// The folder of that run comes in the environment variable ZY_USTANOVKA (a Unix path).
#include "ZyTestEkran.h"
#include "ZyTestFajly.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A Unix path as Wine shows it to a Windows program.
std::string VWindows(std::string put) {
    for (char& c : put)
        if (c == '/') c = '\\';
    return "Z:" + put;
}

// What Vid looks for and what it found.
struct ZYS_POISK_VIDA {
    HWND hozjain, vid;
};

// EnumChildWindows callback: stops at the first direct child of the host.
BOOL CALLBACK RebenokHozjaina(HWND c, LPARAM l) {
    auto* q = reinterpret_cast<ZYS_POISK_VIDA*>(l);
    if (GetParent(c) != q->hozjain) return TRUE;
    q->vid = c;
    return FALSE;
}

// The view window of the viewer's host window: its direct child.
HWND Vid(HWND hozjain) {
    ZYS_POISK_VIDA p{hozjain, nullptr};
    EnumChildWindows(hozjain, RebenokHozjaina, reinterpret_cast<LPARAM>(&p));
    return p.vid;
}

// One run of the installed viewer in folder `papka`, ended with WM_CLOSE (bounded).
class UstanovlennyjProsmotr {
public:
    UstanovlennyjProsmotr(const std::string& exe, const std::string& papka) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> stroka(exe.begin(), exe.end());
        stroka.push_back('\0');
        zapushcheno = CreateProcessA(exe.c_str(), stroka.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, papka.c_str(), &si, &pi) != 0;
    }
    ~UstanovlennyjProsmotr() {
        if (!zapushcheno) return;
        for (HWND h : zytest::OknaProcessa(pi.dwProcessId, "Pattern"))
            PostMessageA(h, WM_CLOSE, 0, 0);
        bool vyshel = false;
        for (int i = 0; i < 10 && !vyshel; ++i) {
            vyshel = WaitForSingleObject(pi.hProcess, 3000) == WAIT_OBJECT_0;
            if (!vyshel) zytest::OtvetitNaSoobshenija(pi.dwProcessId);
        }
        if (!vyshel) TerminateProcess(pi.hProcess, 99);
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    UstanovlennyjProsmotr(const UstanovlennyjProsmotr&) = delete;
    UstanovlennyjProsmotr& operator=(const UstanovlennyjProsmotr&) = delete;

    PROCESS_INFORMATION pi{};
    bool zapushcheno = false;
};

bool Zheltyj(COLORREF c) {
    return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) < 60;
}

} // namespace

TEST(Ustanovka, TheMinimalSceneBuiltAgainstTheInstalledPackageIsShownByTheInstalledViewer) {
    const char* korenj = std::getenv("ZY_USTANOVKA");
    if (!korenj) GTEST_SKIP() << "run by ustanovka.cmake (ZY_USTANOVKA is not set)";
    const std::string papka = VWindows(korenj);
    const std::string exe = papka + "\\prefix\\bin\\orvanta.exe";
    const std::string dll = papka + "\\build\\ZyScenaMinimal.dll";
    ASSERT_NE(-1, zytest::RazmerFajla(exe)) << exe;
    ASSERT_NE(-1, zytest::RazmerFajla(dll)) << dll;

    // A fresh working folder naming the scene by its full path.
    const std::string rabota = papka + "\\run";
    zytest::UdalitDerevo(rabota);
    CreateDirectoryA(rabota.c_str(), nullptr);
    CreateDirectoryA((rabota + "\\ZyGLDannwe").c_str(), nullptr);
    CreateDirectoryA((rabota + "\\ZyGLDannwe\\ZyGLOkno 000").c_str(), nullptr);
    std::string adresa;
    const char* const kljuchi[4] = {"KonstryktorScenw", "Antrakt", "PokazScenw", "FinalScenw"};
    for (int i = 0; i < 4; ++i)
        adresa +=
            std::string(kljuchi[i]) + " = " + dll + "\\ZyScenaMinimal" + char('1' + i) + ";\r\n";
    ASSERT_TRUE(zytest::ZapisatFajl(rabota + "\\ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt", adresa));

    UstanovlennyjProsmotr p(exe, rabota);
    ASSERT_TRUE(p.zapushcheno) << exe;
    HWND vid = nullptr;
    ASSERT_TRUE(zytest::ZhdatPoka(
        [&] {
            for (HWND h : zytest::OknaProcessa(p.pi.dwProcessId, "Pattern"))
                if (IsWindowVisible(h) && (vid = Vid(h)) != nullptr) return true;
            return false;
        },
        30000))
        << "the viewer's window; boxes: "
        << zytest::Opisanie(zytest::OtvetitNaSoobshenija(p.pi.dwProcessId));
    const RECT v = zytest::KlientNaEkrane(vid);
    ASSERT_GT(v.right - v.left, 100);
    ASSERT_GT(v.bottom - v.top, 100);
    const long cx = (v.left + v.right) / 2, cy = (v.top + v.bottom) / 2;
    const COLORREF fon = RGB(0, 51, 153); // glClearColor(0, 0.2, 0.6)
    zytest::Snimok s;
    zytest::ZhdatPoka(
        [&] {
            s = zytest::SnjatEkran();
            return !s.Est() ||
                   (Zheltyj(s.Piksel(cx, cy)) && s.Piksel(v.left + 4, v.top + 4) == fon);
        },
        20000);
    ASSERT_TRUE(s.Est()) << s.oshibka;
    EXPECT_TRUE(Zheltyj(s.Piksel(cx, cy)))
        << "the triangle in the middle: " << std::hex << s.Piksel(cx, cy);
    EXPECT_EQ(fon, s.Piksel(v.left + 4, v.top + 4)) << "the background in a corner";
    EXPECT_EQ(fon, s.Piksel(v.right - 5, v.bottom - 5)) << "the background in a corner";
    EXPECT_EQ("", zytest::Opisanie(zytest::OtvetitNaSoobshenija(p.pi.dwProcessId)))
        << "no message box";
}
