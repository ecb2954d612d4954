// A user's own model, opened the two ways a user opens it: with orvanta-model.exe (the file on
// its UTF-16 command line) and by a drop onto the view of a live navigator. One table of
// models, made here or shipped by Debian (assimp-testmodels) or by the project (gen_gltf.py):
// what the screen shows (pixels of the model's colours, a flat model seen, the hole of a
// concave face), what a click names, the near distance of a large model; each damaged file
// gives its box and leaves the model shown before. Then the keys of the scene (F5 shows the
// framed model at once, F6 turns the up axis and is remembered) and the progress of a large
// load.
#include "ZyScenaModel.h"
#include "ZyTestEkran.h"
#include "ZyTestModeli.h"
#include "ZyTestNavigatora.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

const ZYS_ADR_SCENW kAdresa{"ZyScenaModel.dll\\ZyScenaModel1", "ZyScenaModel.dll\\ZyScenaModel2",
                            "ZyScenaModel.dll\\ZyScenaModel3", "ZyScenaModel.dll\\ZyScenaModel4"};
const char kPapka[] = "modeli\\";
// The real files: Debian's test models and the project's glTF sample.
const std::string kDebian = "Z:\\usr\\share\\assimp\\models\\";
const std::string kObrazcy = ZY_OBRAZCY_MODELEJ;

// ---- Files made by the test ---------------------------------------------------------------

// Writes `t` to modeli\<imja> (a UTF-8 name).
void Zapisat(const std::string& imja, const std::string& t) {
    CreateDirectoryA("modeli", nullptr);
    wchar_t w[MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, (kPapka + imja).c_str(), -1, w, MAX_PATH);
    HANDLE h = CreateFileW(w, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    EXPECT_TRUE(h != INVALID_HANDLE_VALUE && WriteFile(h, t.data(), DWORD(t.size()), &n, nullptr) &&
                n == t.size())
        << imja;
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

// Copies a file into modeli\ under `imja` (the first `obrezat` bytes when not 0).
void Skopirovat(const std::string& iz, const std::string& imja, std::size_t obrezat = 0) {
    bool est = false;
    const std::string t = zytest::ChitatFajl(iz, &est);
    ASSERT_TRUE(est) << iz;
    Zapisat(imja, obrezat ? t.substr(0, obrezat) : t);
}

// OBJ text with every vertex coordinate multiplied by `k`.
std::string Masshtab(const std::string& obj, double k) {
    std::string r;
    std::size_t i = 0;
    while (i < obj.size()) {
        const std::size_t kon = obj.find('\n', i);
        std::string s = obj.substr(i, kon - i);
        double x, y, z;
        if (std::sscanf(s.c_str(), "v %lf %lf %lf", &x, &y, &z) == 3) {
            char b[96];
            std::snprintf(b, sizeof b, "v %g %g %g", x * k, y * k, z * k);
            s = b;
        }
        r += s + "\n";
        i = kon == std::string::npos ? obj.size() : kon + 1;
    }
    return r;
}

// One polygon of `n` corners on a circle of radius 2 in the plane z = 0.
std::string Mnogougolnik(int n) {
    std::string t = "g Disk\n", f = "f";
    char b[96];
    for (int i = 0; i < n; ++i) {
        const double a = 2 * 3.14159265358979 * i / n;
        std::snprintf(b, sizeof b, "v %.6f %.6f 0\n", 2 * std::cos(a), 2 * std::sin(a));
        t += b;
        f += " " + std::to_string(i + 1);
    }
    return t + f + "\n";
}

// A ring (radii 1 and 2, 32 sides) with a slit, written as one concave polygon: the outer
// circle one way, the inner one back.
std::string Kolco() {
    std::string t = "g Kolco\n", f = "f";
    char b[96];
    int n = 0;
    for (int krug = 0; krug < 2; ++krug)
        for (int i = 0; i <= 32; ++i) {
            const double a = 2 * 3.14159265358979 * (krug ? 32 - i : i) / 32 + 0.01;
            const double r = krug ? 1.0 : 2.0;
            std::snprintf(b, sizeof b, "v %.6f %.6f 0\n", r * std::cos(a), r * std::sin(a));
            t += b;
            f += " " + std::to_string(++n);
        }
    return t + f + "\n";
}

// Writes the models made here into modeli\ and copies the real ones there.
void ZapisatModeli() {
    const std::string tri = zyt::TriKuba();
    Zapisat("Kuby.obj", tri);
    Zapisat("Kuby.mtl", zyt::kMtl);
    Zapisat("KubyBom.obj", "\xEF\xBB\xBF" + tri);
    Zapisat("Kuby1000.obj", Masshtab(tri, 1000));
    Zapisat("Stena.obj", "g Stena\nv 0 -1 -1\nv 0 -1 1\nv 0 1 1\nv 0 1 -1\nf 1 2 3 4\n");
    Zapisat("Kolco.obj", Kolco());
    Zapisat("Disk300.obj", Mnogougolnik(300));
    Zapisat("Odin.obj", "g Odin\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    std::string cveta = "g Zheltyj\n";
    for (int i = 0; i < 8; ++i)
        cveta += "v " + std::to_string(i & 4 ? 1 : -1) + " " + std::to_string(i & 2 ? 1 : -1) +
                 " " + std::to_string(i & 1 ? 1 : -1) + " 1 1 0\n";
    Zapisat("Cveta.obj",
            cveta + "f 1 2 4 3\nf 5 7 8 6\nf 1 5 6 2\nf 3 4 8 7\nf 1 3 7 5\nf 2 6 8 4\n");
    // Red as the diffuse colour, cyan in the texture: cyan on the screen means the texture.
    Zapisat("Tekstura.obj", "mtllib Tekstura.mtl\ng Kartina\nusemtl Kartina\nv -1 -1 0\nv 1 -1 0\n"
                            "v 1 1 0\nv -1 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                            "f 1/1 2/2 3/3 4/4\n");
    Zapisat("Tekstura.mtl", "newmtl Kartina\nKd 1 0 0\nmap_Kd Goluboj.bmp\n");
    Zapisat("Goluboj.bmp", zyt::Bmp(0, 255, 255));
    for (const char* f : {"spider.mtl", "wal67ar_small.jpg", "wal69ar_small.jpg", "SpiderTex.jpg",
                          "drkwood2.jpg", "engineflare1.jpg"})
        Skopirovat(kDebian + "OBJ\\" + f, f);
    Skopirovat(kDebian + "OBJ\\spider.obj", "\xD0\xBF\xD0\xB0\xD1\x83\xD0\xBA.obj"); // паук
    Skopirovat(kDebian + "OBJ\\box_UTF16BE.obj", "Utf16.obj");
    for (const char* f : {"ZyDomik.gltf", "ZyDomik.bin", "ZyDomik.png", "ZyDomik.glb"})
        Skopirovat(kObrazcy + f, f);
    Skopirovat(kObrazcy + "ZyDomik.glb", "Obrezan.glb",
               std::size_t(zytest::RazmerFajla(kObrazcy + "ZyDomik.glb") / 2));
    CreateDirectoryA("modeli\\bezbin", nullptr);
    Skopirovat(kObrazcy + "ZyDomik.gltf", "bezbin\\ZyDomik.gltf");
}

// ---- The table ---------------------------------------------------------------------------

// Pixel classes beyond those of zyt.
bool NeFon(COLORREF c) { // anything but the background (16, 24, 40)
    return std::abs(int(GetRValue(c)) - 16) + std::abs(int(GetGValue(c)) - 24) +
               std::abs(int(GetBValue(c)) - 40) >
           60;
}
bool Zheltyj(COLORREF c) {
    return GetRValue(c) >= 80 && GetGValue(c) >= 80 && GetBValue(c) * 3 < GetRValue(c);
}
bool Goluboj(COLORREF c) {
    return GetGValue(c) >= 80 && GetBValue(c) >= 80 && GetRValue(c) * 3 < GetGValue(c);
}
bool Kirpich(COLORREF c) { // bricks and roof tiles
    return GetRValue(c) >= 80 && GetRValue(c) > GetGValue(c) + 40 &&
           GetRValue(c) > GetBValue(c) + 50;
}
bool Trava(COLORREF c) {
    return GetGValue(c) >= 70 && GetGValue(c) > GetRValue(c) + 25 &&
           GetGValue(c) > GetBValue(c) + 25;
}

struct ZYS_STROKA {
    const char* sluchaj;
    std::string fajl;        // in modeli\, or a full path
    bool (*klass)(COLORREF); // a class of pixels the model shows
    const char* klik;        // what a click on them names ("" not checked)
    const char* korobka;     // damaged: part of the box's text; null: no box
    bool dyra;               // the view's centre shows the background
    double blizhnjaja;       // at least this near distance once shown (0: not checked)
};

const std::vector<ZYS_STROKA>& Tablica() {
    static const std::vector<ZYS_STROKA> t = {
        {"three cubes", "Kuby.obj", zyt::Sinij, "Pravaja: 8 vertices, 6 faces", nullptr, false, 0},
        {"a UTF-8 mark first", "KubyBom.obj", zyt::Krasnyj, "Levaja: 8 vertices, 6 faces", nullptr,
         false, 0},
        {"a thousand times larger", "Kuby1000.obj", zyt::Zelenyj, "Srednjaja: 8 vertices, 6 faces",
         nullptr, false, 1000},
        {"flat in the plane x = 0", "Stena.obj", NeFon, "Stena: 4 vertices, 1 face", nullptr, false,
         0},
        {"a ring with a slit (concave)", "Kolco.obj", NeFon, "Kolco: 66 vertices, 1 face", nullptr,
         true, 0},
        {"a face of 300 corners", "Disk300.obj", NeFon, "Disk: 300 vertices, 1 face", nullptr,
         false, 0},
        {"one triangle", "Odin.obj", NeFon, "Odin: 3 vertices, 1 face", nullptr, false, 0},
        {"per-vertex colours", "Cveta.obj", Zheltyj, "Zheltyj: 8 vertices, 6 faces", nullptr, false,
         0},
        {"a map_Kd texture", "Tekstura.obj", Goluboj, "Kartina: 4 vertices, 1 face", nullptr, false,
         0},
        {"a real textured model, non-ASCII name", "\xD0\xBF\xD0\xB0\xD1\x83\xD0\xBA.obj", NeFon, "",
         nullptr, false, 0},
        {"glTF with .bin and image", "ZyDomik.gltf", Kirpich, "", nullptr, false, 0},
        {"GLB", "ZyDomik.glb", Trava, "Gazon: 4 vertices, 2 faces", nullptr, false, 0},
        {"UTF-16 OBJ", "Utf16.obj", nullptr, "", "is a UTF-16 text file", false, 0},
        {"cut GLB", "Obrezan.glb", nullptr, "", "cannot be read", false, 0},
        {"glTF without its .bin", "bezbin\\ZyDomik.gltf", nullptr, "", "ZyDomik.bin", false, 0},
        {"glTF index out of range", kDebian + "glTF2\\IndexOutOfRange\\IndexOutOfRange.gltf",
         nullptr, "", "refers to vertex", false, 0},
        {"glTF with infinite coordinates",
         kDebian + "glTF2\\BoxWithInfinites-glTF-Binary\\BoxWithInfinites.glb", nullptr, "",
         "not a number", false, 0},
        {"glTF nodes in a cycle", kDebian + "glTF2\\RecursiveNodes\\RecursiveNodes.gltf", nullptr,
         "", "cycle", false, 0},
    };
    return t;
}

// The row's file as a full Windows path, in UTF-16.
std::wstring Put(const ZYS_STROKA& r) {
    const std::string p = r.fajl.size() > 1 && r.fajl[1] == ':'
                              ? r.fajl
                              : zytest::TekushchajaPapka() + "\\" + kPapka + r.fajl;
    wchar_t w[MAX_PATH * 2];
    const int n = MultiByteToWideChar(CP_UTF8, 0, p.c_str(), -1, w, MAX_PATH * 2);
    return n > 0 ? w : L"";
}

// The file's name alone.
std::wstring Imja(const std::wstring& put) {
    return put.substr(put.find_last_of(L"\\/") + 1);
}

// Whether the capture shows the row's model in view `v`: its pixels, and its hole.
bool Pokazan(const zytest::Snimok& s, const RECT& v, const ZYS_STROKA& r) {
    if (zyt::Najti(s, v, r.klass).n <= 100) return false;
    return !r.dyra || !NeFon(s.Piksel((v.left + v.right) / 2, (v.top + v.bottom) / 2));
}

// The pixel of a class nearest to the centre of all of them (on the model even where its
// centre is a hole).
POINT Blizhajshij(const zytest::Snimok& s, const RECT& v, bool (*klass)(COLORREF)) {
    const zyt::Pjatno p = zyt::Najti(s, v, klass);
    POINT b{long(p.cx), long(p.cy)};
    double d = 1e300;
    for (long y = v.top; y < v.bottom; ++y)
        for (long x = v.left; x < v.right; ++x) {
            const double dx = x - p.cx, dy = y - p.cy;
            if (dx * dx + dy * dy < d && klass(s.Piksel(x, y))) {
                d = dx * dx + dy * dy;
                b = {x, y};
            }
        }
    return b;
}

// ---- orvanta-model.exe -------------------------------------------------------------------

// orvanta-model.exe with one file on its command line; closed (WM_CLOSE) by the destructor.
class ProgrammaModeli {
public:
    explicit ProgrammaModeli(const std::wstring& fajl) {
        char papka[MAX_PATH * 2];
        std::snprintf(papka, sizeof papka, "%s\\orvanta-model.exe",
                      zytest::PapkaProgrammy().c_str());
        wchar_t exe[MAX_PATH * 2];
        MultiByteToWideChar(CP_ACP, 0, papka, -1, exe, MAX_PATH * 2);
        std::wstring komanda = L"\"" + std::wstring(exe) + L"\" \"" + fajl + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        zapushcheno_ = CreateProcessW(exe, &komanda[0], nullptr, nullptr, FALSE, 0, nullptr,
                                      nullptr, &si, &pi_) != 0;
    }
    ~ProgrammaModeli() {
        if (!zapushcheno_) return;
        for (HWND h : zytest::OknaProcessa(pi_.dwProcessId, "Orvanta Model"))
            PostMessageA(h, WM_CLOSE, 0, 0);
        bool vyshel = false;
        for (int i = 0; i < 10 && !vyshel; ++i) {
            vyshel = WaitForSingleObject(pi_.hProcess, 3000) == WAIT_OBJECT_0;
            if (!vyshel) zytest::OtvetitNaSoobshenija(pi_.dwProcessId);
        }
        if (!vyshel) TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    ProgrammaModeli(const ProgrammaModeli&) = delete;
    ProgrammaModeli& operator=(const ProgrammaModeli&) = delete;

    bool zapushcheno() const { return zapushcheno_; }
    DWORD pid() const { return pi_.dwProcessId; }
    // The program's top-level window, once shown with its view inside (null before).
    HWND Okno() const {
        for (HWND h : zytest::OknaProcessa(pi_.dwProcessId, "Orvanta Model"))
            if (IsWindowVisible(h) && GetWindow(h, GW_CHILD)) return h;
        return nullptr;
    }

private:
    PROCESS_INFORMATION pi_{};
    bool zapushcheno_ = false;
};

// The title of a window in UTF-16.
std::wstring Zagolovok(HWND h) {
    wchar_t b[512] = {};
    GetWindowTextW(h, b, 512);
    return b;
}

// A text for a failure message.
std::string Utf8(const std::wstring& w) {
    char b[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, b, sizeof b, nullptr, nullptr);
    return b;
}

// ---- A live navigator --------------------------------------------------------------------

// A live navigator with one view of 640 x 480 showing the model scene, started on the three
// cubes (registered with the scene as a host registers its file).
class ModelZhivoj : public zyt::ZhivojNavigator {
protected:
    void SetUp() override {
        ZhivojNavigator::SetUp();
        ZapisatModeli();
        ZyVsPutPokaza(ZY_POKAZ_GDI);
        SGL_SCENA_PARAM sp{kAdresa, ZyScenaModelFajl(Put(Tablica()[0]).c_str())};
        ASSERT_EQ(1u, nav.Pusk(host.okno, 1, nullptr, &sp));
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().chastej == 3; }, 20000))
            << zakryvatel.Tekst();
    }
    void TearDown() override { ZyVsPutPokaza(ZY_POKAZ_AVTO); }
    ZYS_SVODKA_MODELI Svodka() { return zyt::Svodka(k()); }
    ZYKGLKONTROL& k() { return nav.controllers[0]; }
    void Sbrosit(const std::wstring& put) { zyt::Sbrosit(k().hwnd, put); }
    void Klik(double x, double y) { zyt::Klik(k().hwnd, x, y); }
    // A key pressed and released in the view.
    void Klavisha(WPARAM vk) {
        PostMessageA(k().hwnd, WM_KEYDOWN, vk, 1);
        PostMessageA(k().hwnd, WM_KEYUP, vk, 0xC0000001);
    }

    zyt::Hozjain host{640, 480};
    ZYKGLORVANTA2 nav;
};

} // namespace

TEST(ModelProgramma, EachModelOpensFromTheCommandLine) {
    zyt::Chisto();
    ZapisatModeli();
    for (const ZYS_STROKA& r : Tablica()) {
        SCOPED_TRACE(r.sluchaj);
        const std::wstring put = Put(r);
        ProgrammaModeli p(put);
        ASSERT_TRUE(p.zapushcheno());
        HWND okno = nullptr;
        ASSERT_TRUE(zytest::ZhdatPoka([&] { return (okno = p.Okno()) != nullptr; }, 30000))
            << zytest::Opisanie(zytest::OtvetitNaSoobshenija(p.pid()));
        EXPECT_EQ(Utf8(Imja(put) + L" - Orvanta"), Utf8(Zagolovok(okno))) << "the title";
        if (r.korobka) {
            std::vector<zytest::ZyOkno> okna;
            ASSERT_TRUE(zytest::ZhdatPoka(
                [&] { return !zytest::VidimyeSoobshenija(p.pid()).empty(); }, 20000));
            okna = zytest::OtvetitNaSoobshenija(p.pid());
            ASSERT_EQ(1u, okna.size()) << zytest::Opisanie(okna);
            EXPECT_EQ("Module: ZyScenaModel", okna[0].zagolovok);
            EXPECT_NE(std::string::npos, okna[0].tekst.find(r.korobka)) << okna[0].tekst;
            continue;
        }
        const RECT v = zytest::KlientNaEkrane(GetWindow(okno, GW_CHILD));
        const zytest::Snimok s =
            zyt::Snjat([&](const zytest::Snimok& c) { return Pokazan(c, v, r); });
        ASSERT_TRUE(s.Est()) << s.oshibka;
        EXPECT_TRUE(Pokazan(s, v, r)) << "pixels of the model: " << zyt::Najti(s, v, r.klass).n;
        EXPECT_EQ("", zytest::Opisanie(zytest::OtvetitNaSoobshenija(p.pid()))) << "no box";
    }
}

TEST_F(ModelZhivoj, EachModelOpensWhenDroppedAndAClickNamesIt) {
    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    for (const ZYS_STROKA& r : Tablica()) {
        SCOPED_TRACE(r.sluchaj);
        const std::wstring put = Put(r);
        const ZYS_SVODKA_MODELI prezhde = Svodka();
        zakryvatel.Zabyt();
        Sbrosit(put);
        ASSERT_TRUE(zyt::Kachat([&] { return Svodka().zagruzok > prezhde.zagruzok; }));
        ASSERT_TRUE(zyt::Kachat([&] { return !Svodka().zagruzka; }, 20000));
        if (r.korobka) {
            ASSERT_TRUE(zakryvatel.Zhdat(1));
            const std::vector<zytest::ZyOkno> okna = zakryvatel.Okna();
            ASSERT_EQ(1u, okna.size()) << zakryvatel.Tekst();
            EXPECT_NE(std::string::npos, okna[0].tekst.find(r.korobka)) << okna[0].tekst;
            EXPECT_STREQ(prezhde.fajl, Svodka().fajl) << "the model shown before stays";
            EXPECT_EQ(prezhde.chastej, Svodka().chastej);
            continue;
        }
        EXPECT_EQ(Utf8(put), Svodka().fajl);
        const zytest::Snimok s =
            zyt::Snjat([&](const zytest::Snimok& c) { return Pokazan(c, v, r); });
        ASSERT_TRUE(s.Est()) << s.oshibka;
        ASSERT_TRUE(Pokazan(s, v, r)) << "pixels of the model: " << zyt::Najti(s, v, r.klass).n;
        if (r.blizhnjaja > 0) {
            EXPECT_GE(k().zNear, r.blizhnjaja) << "the near distance";
        }
        if (*r.klik) {
            const POINT p = Blizhajshij(s, v, r.klass);
            Klik(p.x, p.y);
            EXPECT_TRUE(zyt::Kachat([&] { return Svodka().tekst == std::string(r.klik); }))
                << "the click names: " << Svodka().tekst;
            Klik(v.left + 3, v.bottom - 3); // the background: no focus for the next row
            EXPECT_TRUE(zyt::Kachat([&] { return Svodka().vybrana == 0; }));
        }
        EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
    }
}

TEST_F(ModelZhivoj, F5ShowsTheFramedModelAtOnceAndF6TurnsTheUpAxisForTheModel) {
    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    const long vnachale = zyt::Najti(zyt::Snjat([&](const zytest::Snimok& c) {
                                         return zyt::Najti(c, v, zyt::Zelenyj).n > 100;
                                     }),
                                     v, zyt::Zelenyj)
                              .n;
    ASSERT_GT(vnachale, 100);
    // Away from the model: "9" sets the speed, the grey Down arrow held (an extended key)
    // moves the eye back.
    PostMessageA(k().hwnd, WM_CHAR, '9', 1);
    PostMessageA(k().hwnd, WM_KEYDOWN, VK_DOWN, 0x01000001);
    zytest::ZhdatPoka([] { return false; }, 2000);
    PostMessageA(k().hwnd, WM_KEYUP, VK_DOWN, 0xC1000001);
    const zytest::Snimok daleko = zyt::Snjat([&](const zytest::Snimok& c) {
        return zyt::Najti(c, v, zyt::Zelenyj).n < vnachale * 7 / 10;
    });
    ASSERT_LT(zyt::Najti(daleko, v, zyt::Zelenyj).n, vnachale * 7 / 10) << "the eye moved away";
    Klavisha(VK_F5);
    const zytest::Snimok snova = zyt::Snjat([&](const zytest::Snimok& c) {
        return zyt::Najti(c, v, zyt::Zelenyj).n > vnachale * 9 / 10;
    });
    EXPECT_GT(zyt::Najti(snova, v, zyt::Zelenyj).n, vnachale * 9 / 10) << "framed again, shown";

    // F6: +Z up, written for this model; the next opening of the model finds it.
    Klavisha(VK_F6);
    ASSERT_TRUE(zyt::Kachat([&] { return Svodka().os == 1; }));
    const std::string osi = zytest::ChitatFajl("ZyGLDannwe\\ZyGLOkno 000\\OsiModelej.txt");
    EXPECT_EQ("+Z " + Utf8(Put(Tablica()[0])) + "\r\n", osi);
    Sbrosit(Put(Tablica()[1]));
    ASSERT_TRUE(zyt::Kachat([&] { return Svodka().os == 0 && !Svodka().zagruzka; }, 20000));
    Sbrosit(Put(Tablica()[0]));
    EXPECT_TRUE(zyt::Kachat([&] { return Svodka().os == 1 && !Svodka().zagruzka; }, 20000))
        << "the axis remembered for the model";
}

TEST_F(ModelZhivoj, ALargeModelShowsItsProgressWhileTheViewKeepsDrawing) {
    // A grid of 1,000,000 triangles: long enough to load for frames to come meanwhile.
    std::string t;
    t.reserve(40u << 20);
    char b[64];
    const int n = 708;
    for (int y = 0; y <= n; ++y)
        for (int x = 0; x <= n; ++x) {
            std::snprintf(b, sizeof b, "v %d %d 0\n", x, y);
            t += b;
        }
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const int a = y * (n + 1) + x + 1;
            std::snprintf(b, sizeof b, "f %d %d %d %d\n", a, a + 1, a + n + 2, a + n + 1);
            t += b;
        }
    Zapisat("Setka.obj", t);
    const RECT v = zytest::KlientNaEkrane(k().hwnd);
    const RECT stroka{v.left, v.top, v.left + 320, v.top + 30}; // the view's first text line
    Sbrosit(Put({"grid", "Setka.obj", nullptr, "", nullptr, false, 0}));
    ASSERT_TRUE(zyt::Kachat([&] { return Svodka().zagruzka == 1; }));
    const unsigned long kadrov = Svodka().kadrov;
    const zytest::Snimok s = zyt::Snjat([&](const zytest::Snimok& c) {
        return zyt::Najti(c, stroka, zyt::Belyj).n > 20 || !Svodka().zagruzka;
    });
    EXPECT_GT(zyt::Najti(s, stroka, zyt::Belyj).n, 20) << "the progress line";
    ZYS_SVODKA_MODELI pozzhe{};
    zyt::Kachat([&] {
        pozzhe = Svodka();
        return pozzhe.kadrov > kadrov || !pozzhe.zagruzka;
    });
    EXPECT_TRUE(pozzhe.zagruzka && pozzhe.kadrov > kadrov) << "frames while loading";
    ASSERT_TRUE(zyt::Kachat([&] { return !Svodka().zagruzka; }, 60000));
    EXPECT_EQ(2ul * n * n, Svodka().treugolnikov);
    EXPECT_TRUE(zakryvatel.Okna().empty()) << zakryvatel.Tekst();
}
