// bench_model: the model scene with generated grid models of 10k, 100k, 1M and 20M triangles
// (four groups each). For each size, in one run:
//  - load: the scene's constructor and the frames until the model is shown (read, parse,
//    check, index, build the levels of detail, put them into the context, the first frame);
//  - parse: tinyobjloader's parse of the same file alone (the reference);
//  - rest: a frame of the full model; moving: a frame while a motion bit is set (the scene
//    draws the level that fits the frame period);
//  - list: a frame of the same model from each part's immediate-mode list (the reference
//    path: how the scene drew before it had indexed arrays and levels);
// and on the two largest the pick under the cursor, made with the calls the engine makes.
// A frame is the projection, the scene's drawing and glFinish. The controller and its view
// run on this thread, as in the engine's controller thread. Memory: the process's peak commit
// after the scene's load (before the reference parse and lists), and the levels' arrays.
// ZY_BENCH_MODEL_DO=<triangles> in the environment skips the larger sizes.
#include "ZyScenaModel.h"
#include "ZyTestOkno.h"
#include "ZyTestVremja.h"

#include "tiny_obj_loader.h"

#include <psapi.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

const char kPapka[] = "ZyGLDannwe\\ZyGLOkno 000\\";

// Writes a grid of `shirina` x `vysota` squares, two triangles each, in four groups of rows;
// returns its file name.
std::string Setka(long shirina, long vysota) {
    char imja[64];
    std::snprintf(imja, sizeof imja, "setka_%ld.obj", 2 * shirina * vysota);
    std::ofstream f(std::string(kPapka) + imja, std::ios::binary);
    std::string t;
    char b[96];
    auto sbrosit = [&]() {
        f << t;
        t.clear();
    };
    for (long y = 0; y <= vysota; ++y) {
        for (long x = 0; x <= shirina; ++x) {
            std::snprintf(b, sizeof b, "v %ld %ld %g\n", x, y, 0.01 * double((x * 7 + y * 3) % 11));
            t += b;
        }
        sbrosit();
    }
    for (long y = 0; y < vysota; ++y) {
        if (y % ((vysota + 3) / 4) == 0) {
            std::snprintf(b, sizeof b, "g Polosa%ld\n", y / ((vysota + 3) / 4));
            t += b;
        }
        for (long x = 0; x < shirina; ++x) {
            const long a = y * (shirina + 1) + x + 1, c = a + shirina + 1;
            std::snprintf(b, sizeof b, "f %ld %ld %ld\nf %ld %ld %ld\n", a, a + 1, c + 1, a, c + 1,
                          c);
            t += b;
        }
        sbrosit();
    }
    return imja;
}

// tinyobjloader alone on the file (the reference), seconds.
double Razbor(const std::string& put) {
    const double t = zytest::Sekundy();
    tinyobj::attrib_t a;
    std::vector<tinyobj::shape_t> s;
    std::vector<tinyobj::material_t> m;
    std::string w, e;
    tinyobj::LoadObj(&a, &s, &m, &w, &e, put.c_str(), nullptr, false, false);
    return zytest::Sekundy() - t;
}

// The median of `v`.
double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The process's peak commit and peak working set, MB.
void Pamjat(double& kommit, double& rabochij) {
    PROCESS_MEMORY_COUNTERS p{};
    p.cb = sizeof p;
    kommit = rabochij = 0;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &p, sizeof p)) return;
    kommit = double(p.PeakPagefileUsage) / (1 << 20);
    rabochij = double(p.PeakWorkingSetSize) / (1 << 20);
}

// The processors the system reports.
unsigned long Processorov() {
    SYSTEM_INFO si{};
    GetSystemInfo(&si);
    return si.dwNumberOfProcessors;
}

// A controller of this thread on a hidden 640 x 480 window, showing the model scene drawn
// the way `sposob` says.
struct Kontroler {
    zytest::Okno okno{0, 0, 640, 480, WS_OVERLAPPEDWINDOW};
    std::unique_ptr<ZYKGLKONTROL> k = std::make_unique<ZYKGLKONTROL>();
    explicit Kontroler(unsigned long sposob) {
        static const char adres[] = "ZyScenaModel.dll\\ZyScenaModel1";
        k->hwnd = okno.hwnd();
        k->threadId = GetCurrentThreadId();
        k->ZagryzitFynkciu(adres, 1);
        k->Fynkcii[0].imja = new char[sizeof adres];
        std::memcpy(k->Fynkcii[0].imja, adres, sizeof adres);
        k->VsDCFormat(nullptr); // the context is made outside the timed load
        glViewport(0, 0, 640, 480);
        ZyScenaModelRisovanie(k.get(), sposob);
    }
    ~Kontroler() {
        MSG m{};
        m.hwnd = reinterpret_cast<HWND>(k.get());
        m.message = WM_DESTROY;
        WMDestroy(&m);
        wglMakeCurrent(nullptr, nullptr);
    }
    ZYS_SVODKA_MODELI Svodka() {
        ZYS_SVODKA_MODELI s{};
        ZyScenaModelSvodka(k.get(), &s);
        return s;
    }
    // Loads the model "Model.txt" names; seconds until it is shown, or -1 when it is not.
    double Zagruzit() {
        const double t = zytest::Sekundy();
        ZyScenaModel1(k.get());
        for (ZYS_SVODKA_MODELI s = Svodka(); s.zagruzka; s = Svodka()) {
            Sleep(2);
            Kadr();
        }
        glFinish();
        return Svodka().chastej ? zytest::Sekundy() - t : -1;
    }
    // One frame without pacing: projection and eye, the scene, finished drawing; seconds.
    double Kadr() {
        const double t = zytest::Sekundy();
        ZYS_REGION_VIDA bezShaga{0, 0, 0, 0};
        k->PozicijaNabludenija(&bezShaga);
        ZyScenaModel3(k.get());
        glFinish();
        return zytest::Sekundy() - t;
    }
    // The median of `n` frames (after `propustit` frames not counted), ms.
    double Kadry(int n, int propustit = 0) {
        std::vector<double> v;
        for (int i = 0; i < propustit + n; ++i) {
            const double t = Kadr();
            if (i >= propustit) v.push_back(t);
        }
        return 1000 * Mediana(v);
    }
    // The same while the eye moves along its view axis (the eye itself is not moved here).
    double KadryVDvizhenii(int n, int propustit) {
        k->Flagi.Vkl(ZYBIT_DVIZH1 + 1, ZYBIT_DVIZH1 + 1);
        k->Flagi.Vkl(ZYBIT_DVIZHETSJA, ZYBIT_DVIZHETSJA);
        const double t = Kadry(n, propustit);
        k->Flagi.Vwkl(ZYBIT_DVIZH1 + 1, ZYBIT_DVIZH1 + 1);
        k->Flagi.Vwkl(ZYBIT_DVIZHETSJA, ZYBIT_DVIZHETSJA);
        return t;
    }
    // A pick of 4 x 4 pixels at (x, y) as the engine makes it; seconds; the picked name in *imja.
    double Vybor(double x, double y, unsigned long* imja) {
        const double t = zytest::Sekundy();
        ZYS_REGION_VIDA r{x, y, 4.0, 4.0};
        k->PozicijaNabludenija(&r);
        std::vector<GLuint> bufer(256, 0);
        glSelectBuffer(static_cast<GLsizei>(bufer.size()), bufer.data());
        glRenderMode(GL_SELECT);
        glInitNames();
        ZyScenaModel3(k.get());
        const GLint popadanij = glRenderMode(GL_RENDER);
        const double dt = zytest::Sekundy() - t;
        *imja = popadanij > 0 && bufer[0] > 0 ? bufer[2 + bufer[0]] : 0;
        return dt;
    }
};

// The figures of one size.
struct ZYS_ZAMER {
    unsigned long treugolnikov = 0;
    double zagruzka = 0, razbor = 0, pokoj = 0, dvizhenie = 0, spisok = 0, vybor = 0;
    unsigned long imja = 0, urovenDvizhenija = 0, treugolnikovDvizhenija = 0;
    ZYS_SVODKA_MODELI s{};
    double kommit = 0, rabochij = 0;
};

// Measures the model of `shirina` x `vysota` squares.
bool Zamerit(long shirina, long vysota, ZYS_ZAMER& z) {
    const std::string imja = Setka(shirina, vysota);
    {
        std::ofstream m(std::string(kPapka) + "Model.txt", std::ios::binary);
        m << imja << "\r\n";
    }
    {
        Kontroler kon(ZY_RISOVANIE_UROVNI);
        z.zagruzka = 1000 * kon.Zagruzit();
        if (z.zagruzka < 0) return false;
        z.pokoj = kon.Kadry(9);
        z.dvizhenie = kon.KadryVDvizhenii(9, 6);
        z.s = kon.Svodka();
        z.urovenDvizhenija = z.s.urovenKadra;
        z.treugolnikovDvizhenija = z.s.treugolnikovKadra;
        if (shirina * vysota >= 500000) {
            kon.Kadr(); // at rest again
            std::vector<double> v;
            for (int i = 0; i < 5; ++i)
                v.push_back(kon.Vybor(320, 240, &z.imja));
            z.vybor = 1000 * Mediana(v);
        }
        Pamjat(z.kommit, z.rabochij);
    }
    z.treugolnikov = z.s.treugolnikov;
    z.razbor = 1000 * Razbor(std::string(kPapka) + imja);
    Kontroler etalon(ZY_RISOVANIE_ETALON);
    if (etalon.Zagruzit() < 0) return false;
    z.spisok = etalon.Kadry(9);
    return true;
}

} // namespace

int main() {
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    const struct {
        long shirina, vysota;
    } razmery[] = {{100, 50}, {250, 200}, {1000, 500}, {4000, 2500}};
    const char* predel = std::getenv("ZY_BENCH_MODEL_DO");
    const long doTreugolnikov = predel ? std::atol(predel) : 0;
    for (const auto& r : razmery) {
        if (doTreugolnikov > 0 && 2 * r.shirina * r.vysota > doTreugolnikov) break;
        ZYS_ZAMER z;
        if (!Zamerit(r.shirina, r.vysota, z)) {
            std::printf("%ld triangles: the model did not load\n", 2 * r.shirina * r.vysota);
            return 1;
        }
        std::printf("%lu triangles: load %.0f ms, parse %.0f ms, rest %.1f ms, moving %.1f ms, "
                    "list %.1f ms\n",
                    z.treugolnikov, z.zagruzka, z.razbor, z.pokoj, z.dvizhenie, z.spisok);
        std::printf("    levels:");
        for (unsigned long l = 0; l < z.s.urovnej && l < 8; ++l)
            std::printf(" %lu", z.s.treugolnikovUrovnja[l]);
        std::printf(" triangles; moving drew level %lu (%lu triangles); %s; arrays %.1f bytes a "
                    "triangle; peak commit %.0f MB, working set %.0f MB",
                    z.urovenDvizhenija, z.treugolnikovDvizhenija,
                    z.s.bufery ? "vertex buffers" : "lists of indexed arrays",
                    double(z.s.bajtov) / double(std::max(1ul, z.treugolnikov)), z.kommit,
                    z.rabochij);
        if (z.vybor > 0) std::printf("; pick %.1f ms (name %lx)", z.vybor, z.imja);
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("load: constructor and frames until the model is shown; parse: tinyobjloader's "
                "LoadObj of the same file; rest, moving, list: median of 9 frames (moving after 6 "
                "frames that choose the level); pick: median of 5; %lu processors\n",
                Processorov());
    return 0;
}
