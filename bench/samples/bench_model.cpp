// bench_model: the model scene with generated grid models of 10k, 100k and 1M triangles (four
// groups each). For each size: the load (the scene's constructor: read, check, compile the
// lists) beside tinyobjloader's parse of the same file alone; one frame (projection, the
// scene's drawing, glFinish); and on the largest model the pick under the cursor, made with
// the same calls the engine makes (pick matrix, selection mode, the scene's drawing). The
// controller and its view run on this thread, as in the engine's controller thread.
#include "ZyScenaModel.h"
#include "ZyTestOkno.h"
#include "ZyTestVremja.h"

#include "tiny_obj_loader.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

const char kPapka[] = "ZyGLDannwe\\ZyGLOkno 000\\";

// Writes a grid of `shirina` x `vysota` squares, two triangles each, in four groups of rows.
std::string Setka(long shirina, long vysota) {
    char imja[64];
    std::snprintf(imja, sizeof imja, "setka_%ld.obj", 2 * shirina * vysota);
    std::string t;
    t.reserve(static_cast<std::size_t>(shirina * vysota) * 48);
    char b[96];
    for (long y = 0; y <= vysota; ++y)
        for (long x = 0; x <= shirina; ++x) {
            std::snprintf(b, sizeof b, "v %ld %ld %g\n", x, y, 0.01 * double((x * 7 + y * 3) % 11));
            t += b;
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
    }
    std::ofstream f(std::string(kPapka) + imja, std::ios::binary);
    f << t;
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

// A controller of this thread on a hidden 640 x 480 window, showing the model scene.
struct Kontroler {
    zytest::Okno okno{0, 0, 640, 480, WS_OVERLAPPEDWINDOW};
    std::unique_ptr<ZYKGLKONTROL> k = std::make_unique<ZYKGLKONTROL>();
    Kontroler() {
        static const char adres[] = "ZyScenaModel.dll\\ZyScenaModel1";
        k->hwnd = okno.hwnd();
        k->threadId = GetCurrentThreadId();
        k->ZagryzitFynkciu(adres, 1);
        k->Fynkcii[0].imja = new char[sizeof adres];
        std::memcpy(k->Fynkcii[0].imja, adres, sizeof adres);
        k->VsDCFormat(nullptr); // the context is made outside the timed load
        glViewport(0, 0, 640, 480);
    }
    ~Kontroler() {
        MSG m{};
        m.hwnd = reinterpret_cast<HWND>(k.get());
        m.message = WM_DESTROY;
        WMDestroy(&m);
        wglMakeCurrent(nullptr, nullptr);
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

} // namespace

int main() {
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 000", nullptr);
    std::printf("%-12s %12s %14s %12s %12s\n", "triangles", "load ms", "parse-only ms", "frame ms",
                "pick ms");
    const struct { long shirina, vysota; } razmery[] = {{100, 50}, {250, 200}, {1000, 500}};
    for (const auto& r : razmery) {
        const std::string imja = Setka(r.shirina, r.vysota);
        {
            std::ofstream m(std::string(kPapka) + "Model.txt", std::ios::binary);
            m << imja << "\r\n";
        }
        const double razbor = Razbor(std::string(kPapka) + imja);
        Kontroler kon;
        // The file is read on the scene's loading thread; the frame that finds the result
        // compiles the lists and frames the model.
        const double t = zytest::Sekundy();
        ZyScenaModel1(kon.k.get());
        ZYS_SVODKA_MODELI s{};
        for (ZyScenaModelSvodka(kon.k.get(), &s); s.zagruzka; ZyScenaModelSvodka(kon.k.get(), &s)) {
            Sleep(2);
            kon.Kadr();
        }
        glFinish();
        const double zagruzka = zytest::Sekundy() - t;
        if (s.chastej == 0) {
            std::printf("%-12ld the model did not load\n", 2 * r.shirina * r.vysota);
            return 1;
        }
        std::vector<double> kadry;
        for (int i = 0; i < 9; ++i)
            kadry.push_back(kon.Kadr());
        std::string vybor = "-";
        if (r.shirina == 1000) {
            std::vector<double> v;
            unsigned long nazvanie = 0;
            for (int i = 0; i < 5; ++i)
                v.push_back(kon.Vybor(320, 240, &nazvanie));
            char b[64];
            std::snprintf(b, sizeof b, "%.1f (name %lx)", 1000 * Mediana(v), nazvanie);
            vybor = b;
        }
        std::printf("%-12lu %12.1f %14.1f %12.2f %12s\n", s.treugolnikov, 1000 * zagruzka,
                    1000 * razbor, 1000 * Mediana(kadry), vybor.c_str());
    }
    std::printf("load: ZyScenaModel1 and frames until the model is shown (read, check, split, "
                "compile the lists); parse-only: "
                "tinyobjloader's LoadObj of the same file; frame and pick: median of 9 and 5\n");
    return 0;
}
