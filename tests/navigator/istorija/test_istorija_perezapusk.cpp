// A restart of the viewer: the first run moves the point of observation (its scene does) and
// is closed; destroying the window stores the position; the second run, a new process, shows
// the same scene at that position.
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

std::string PapkaProgrammy() {
    char put[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, put, sizeof put);
    std::string p(put);
    return p.substr(0, p.rfind('\\'));
}

struct PoiskOkon {
    DWORD pid;
    const char* klass;
    std::vector<HWND> okna;
};

// Collects a top-level window of the wanted process and class (NOTE: a plain CALLBACK function,
// since a lambda does not convert to the stdcall procedure type of 32-bit Windows).
BOOL CALLBACK SobratOkno(HWND h, LPARAM l) {
    PoiskOkon& p = *reinterpret_cast<PoiskOkon*>(l);
    DWORD pid = 0;
    char k[64] = "";
    GetWindowThreadProcessId(h, &pid);
    GetClassNameA(h, k, sizeof k);
    if (pid == p.pid && std::strcmp(k, p.klass) == 0) p.okna.push_back(h);
    return TRUE;
}

// The top-level windows of process `pid` of window class `klass`.
std::vector<HWND> OknaProcessa(DWORD pid, const char* klass) {
    PoiskOkon p{pid, klass, {}};
    EnumWindows(SobratOkno, reinterpret_cast<LPARAM>(&p));
    return p.okna;
}

// One run of orvanta.exe in the current directory.
class Prosmotr {
public:
    Prosmotr() {
        const std::string exe = PapkaProgrammy() + "\\orvanta.exe";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> stroka(exe.begin(), exe.end());
        stroka.push_back('\0');
        zapushcheno_ = CreateProcessA(exe.c_str(), stroka.data(), nullptr, nullptr, FALSE, 0,
                                      nullptr, nullptr, &si, &pi_) != 0;
    }
    ~Prosmotr() { Zakryt(); }
    bool zapushcheno() const { return zapushcheno_; }

    // The texts of the message boxes the viewer shows, each pressed away with OK.
    std::string ZakrytSoobshchenija() {
        std::string teksty;
        for (HWND box : OknaProcessa(pi_.dwProcessId, "#32770")) {
            char t[512] = "";
            GetDlgItemTextA(box, 0xFFFF, t, sizeof t);
            teksty += std::string("[") + t + "] ";
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return teksty;
    }

    // Closes the host window and waits for the process; false when it had to be ended.
    bool Zakryt() {
        if (!zapushcheno_) return true;
        zapushcheno_ = false;
        for (HWND h : OknaProcessa(pi_.dwProcessId, "Pattern"))
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

// The eye position the test scene reported, or an empty text.
std::string Pozicija() {
    char t[128] = "";
    if (FILE* f = std::fopen("pozicija.txt", "r")) {
        if (!std::fgets(t, sizeof t, f)) t[0] = '\0';
        std::fclose(f);
    }
    std::string s(t);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::vector<unsigned char> Bajty(const char* put) {
    std::vector<unsigned char> b;
    HANDLE h = CreateFileA(put, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return b;
    b.resize(GetFileSize(h, nullptr));
    DWORD n = 0;
    if (!b.empty()) ReadFile(h, b.data(), DWORD(b.size()), &n, nullptr);
    b.resize(n);
    CloseHandle(h);
    return b;
}

void Udalit(const char* put) {
    SetFileAttributesA(put, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(put);
}

void ZapisatTekst(const char* put, const std::string& t) {
    if (FILE* f = std::fopen(put, "wb")) {
        std::fwrite(t.data(), 1, t.size(), f);
        std::fclose(f);
    }
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
    Udalit(kIstorija);
    Udalit(kAdresa);
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    ZapisatTekst(kAdresa, "KonstryktorScenw = ZyTestScenaIstorii.dll\\ZyTSIKonstr;\r\n"
                          "Antrakt = ZyTestScenaIstorii.dll\\ZyTSIAntrakt;\r\n"
                          "PokazScenw = ZyTestScenaIstorii.dll\\ZyTSIPokaz;\r\n"
                          "FinalScenw = ZyTestScenaIstorii.dll\\ZyTSIFinal;\r\n");
    HANDLE kadr = CreateEventA(nullptr, TRUE, FALSE, "ZyTestIstorijaKadr");
    ASSERT_NE(nullptr, kadr);

    // First run: the scene moves the eye; closing the viewer stores the position.
    ZapisatTekst("dvigat.txt", "1");
    EXPECT_EQ("77.500000 0.000000 -3.000000", OdinZapusk(kadr));
    std::remove("dvigat.txt");

    const std::vector<unsigned char> b = Bajty(kIstorija);
    ASSERT_GE(b.size(), 24u + 280u) << "no history written";
    double x = 0;
    std::memcpy(&x, &b[24 + 8 + 64], sizeof x);
    EXPECT_EQ(77.5, x) << "the position was not stored when the window was destroyed";
    EXPECT_TRUE(GetFileAttributesA(kIstorija) & FILE_ATTRIBUTE_HIDDEN);

    // Second run, a new process: the same scene, at the stored position.
    EXPECT_EQ("77.500000 0.000000 -3.000000", OdinZapusk(kadr));
    const std::vector<unsigned char> b2 = Bajty(kIstorija);
    ASSERT_EQ(b.size(), b2.size()) << "a restart adds no entry";
    const std::string imena(reinterpret_cast<const char*>(&b2[24 + 272]), 39);
    EXPECT_EQ(std::string("ZyTestScenaIstorii.dll\\ZyTSIKonstr") + '\0', imena.substr(0, 35));
    CloseHandle(kadr);
}

} // namespace
