// bench_kadr: how well a controller keeps its frame period with continuous animation (flag 16)
// at 25 and 60 frames per second, what an idle controller costs, and how long it takes from
// Pusk to the first frame. The scene is this program's own four exported functions.
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestVremja.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

// What the scene does in this run, and what it records.
struct Nastrojka {
    bool animacija = false;
    unsigned short fps = 25;
};
Nastrojka nastrojka;
std::vector<double> kadry(100000); // clock (seconds) at each PokazScenw
std::atomic<size_t> kolKadrov{0};

// Milliseconds between two clock values.
double Ms(double a, double b) {
    return (b - a) * 1000.0;
}

// Pumps until the first frame was drawn (at most `ms`); false on time-out.
bool ZhdatKadr(DWORD ms) {
    return zytest::ZhdatPoka([] { return kolKadrov > 0; }, ms);
}

// One navigator with one view in a host popup, running this program's scene.
struct Vid {
    zytest::Okno host{0, 0, 640, 480, WS_POPUP, DefWindowProcA, "bench"};
    std::unique_ptr<ZYKGLORVANTA2> nav;
    double pusk = 0; // clock just before Pusk

    Vid() {
        zytest::UdalitDerevo("ZyGLDannwe"); // so that each run starts the same way
        kolKadrov = 0;
        host.PokazatBezAktivacii();
        char modul[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, modul, sizeof modul);
        const std::string m = modul;
        static std::string imena[4];
        const char* f[4] = {"\\BenchKonstr", "\\BenchAntrakt", "\\BenchPokaz", "\\BenchFinal"};
        for (int i = 0; i < 4; ++i)
            imena[i] = m + f[i];
        SGL_SCENA_PARAM sp{{imena[0].c_str(), imena[1].c_str(), imena[2].c_str(), imena[3].c_str()},
                           0};
        nav = std::make_unique<ZYKGLORVANTA2>();
        pusk = zytest::Sekundy();
        if (!nav->Pusk(host.hwnd(), 1, nullptr, &sp)) std::printf("  Pusk failed\n");
    }
    ZYKGLKONTROL& K() { return nav->controllers[0]; }
};

// The value below which a share `q` of the sorted values lies.
double Dolja(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * (v.size() - 1) + 0.5))];
}

// Continuous animation at `fps` for `sekund` seconds.
void Temp(unsigned short fps, int sekund) {
    nastrojka.animacija = true;
    nastrojka.fps = fps;
    Vid v;
    if (!ZhdatKadr(5000)) {
        std::printf("  no frame\n");
        return;
    }
    zytest::KachatVremja(500); // past the first paints
    const size_t s = kolKadrov;
    zytest::KachatVremja(static_cast<DWORD>(sekund) * 1000);
    const size_t e = kolKadrov;
    if (e < s + 2) {
        std::printf("  too few frames\n");
        return;
    }
    const double nominal = 1000.0 / fps;
    std::vector<double> otkl;
    for (size_t i = s + 1; i < e; ++i)
        otkl.push_back(std::fabs(Ms(kadry[i - 1], kadry[i]) - nominal));
    const double vsego = Ms(kadry[s], kadry[e - 1]);
    const double srednij = vsego / double(e - 1 - s);
    const long ozhidalos = std::lround(vsego / nominal);
    const long propushcheno = std::max(0L, ozhidalos - long(e - 1 - s));
    std::printf("  fps %3u: %zu frames in %.1f s, mean period %.3f ms (nominal %.3f, pacer %lu),"
                " |deviation| p50 %.3f ms p99 %.3f ms max %.3f ms, frames missed %ld\n",
                fps, e - s, vsego / 1000.0, srednij, nominal,
                static_cast<unsigned long>(fps ? 1000 / fps : 40), Dolja(otkl, 0.5),
                Dolja(otkl, 0.99), Dolja(otkl, 1.0), propushcheno);
}

// An idle controller over `sekund` seconds.
void Prostoj(int sekund) {
    nastrojka.animacija = false;
    Vid v;
    if (!ZhdatKadr(5000)) return;
    zytest::KachatVremja(500);
    const double k0 = zytest::VremjaPotoka(v.K().thread),
                 a0 = zytest::VremjaPotoka(v.K().PotokAntrakta);
    const size_t f0 = kolKadrov;
    zytest::KachatVremja(static_cast<DWORD>(sekund) * 1000);
    std::printf("  idle %d s: controller thread %.2f ms CPU, intermission thread %.2f ms CPU,"
                " %zu frames\n",
                sekund, zytest::VremjaPotoka(v.K().thread) - k0,
                zytest::VremjaPotoka(v.K().PotokAntrakta) - a0, kolKadrov - f0);
}

// Time from Pusk to the first PokazScenw, `raz` times.
void Start(int raz) {
    nastrojka.animacija = false;
    std::vector<double> t;
    for (int i = 0; i < raz; ++i) {
        Vid v;
        if (ZhdatKadr(5000)) t.push_back(Ms(v.pusk, kadry[0]));
    }
    if (t.empty()) return;
    std::printf("  Pusk to first frame over %d starts: min %.1f ms, median %.1f ms, max %.1f ms\n",
                raz, Dolja(t, 0), Dolja(t, 0.5), Dolja(t, 1.0));
}

} // namespace

extern "C" {
// Constructor: rendering context, frame rate, animation flag.
__declspec(dllexport) long BenchKonstr(ZYKGLKONTROL* k) {
    k->VsDCFormat(nullptr);
    k->fps = nastrojka.fps;
    if (nastrojka.animacija) k->Flagi.Vkl(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA);
    return 1;
}
// Intermission: nothing to show.
__declspec(dllexport) long BenchAntrakt(ZYKGLKONTROL*) {
    return 1;
}
// Frame: a clear, and the time of the frame.
__declspec(dllexport) long BenchPokaz(ZYKGLKONTROL*) {
    const size_t i = kolKadrov;
    if (i < kadry.size()) {
        kadry[i] = zytest::Sekundy();
        kolKadrov = i + 1;
    }
    glClearColor(0.1f, 0.1f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}
// End of frame: the swap.
__declspec(dllexport) long BenchFinal(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}
}

int main() {
    std::printf("bench_kadr: frame pacing with continuous animation (flag 16), 10 s each\n");
    Temp(25, 10);
    Temp(60, 10);
    std::printf("bench_kadr: idle controller\n");
    Prostoj(5);
    std::printf("bench_kadr: start-up\n");
    Start(5);
    return 0;
}
