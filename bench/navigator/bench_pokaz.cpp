// bench_pokaz: what presenting a frame costs. A view of 800 x 475 and one of 1024 x 768 run the
// built-in scene's frame continuously as fast as the controller goes (the pacer's period of
// 1 ms is always exceeded, so it never sleeps). The scene's own drawing is timed from the start
// of PokazScenw to the end of FinalScenw (glFinish before the swap); the rest of each frame
// interval is the engine's: on the GDI path the read-back and copy into the view window, on the
// direct path almost nothing. Both paths, same sizes, one run; then the built-in scene with
// transparency by key colour on (its cut-out runs between the drawing and the end of frame, so
// it shows in the drawing time).
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestVremja.h"

#include <GL/gl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

constexpr size_t kMaks = 20000;
std::vector<double> nachalo(kMaks), konec(kMaks); // clock at PokazScenw start / FinalScenw end
std::atomic<size_t> kolKadrov{0};
bool sProzrachnostju = false; // the constructor switches transparency on

// The value below which a share `q` of the sorted values lies.
double Dolja(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * (v.size() - 1) + 0.5))];
}

// Frames of a w x h view on path `put` for `sekund` seconds: the drawing and the rest.
void Zamer(long put, long w, long h, int sekund, bool prozrachno = false) {
    ZyVsPutPokaza(put);
    sProzrachnostju = prozrachno;
    zytest::UdalitDerevo("ZyGLDannwe");
    kolKadrov = 0;
    zytest::Okno host{0, 0, 1024, 768, WS_POPUP, DefWindowProcA, "bench"};
    host.PokazatBezAktivacii();
    char modul[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, modul, sizeof modul);
    const std::string m = modul;
    const std::string imena[4] = {m + "\\BenchKonstr", m + "\\BenchAntrakt", m + "\\BenchPokaz",
                                  m + "\\BenchFinal"};
    SGL_SCENA_PARAM sp{{imena[0].c_str(), imena[1].c_str(), imena[2].c_str(), imena[3].c_str()}, 0};
    SGL_OKNO okno{0, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, w, h};
    auto nav = std::make_unique<ZYKGLORVANTA2>();
    if (!nav->Pusk(host.hwnd(), 1, &okno, &sp)) {
        std::printf("  Pusk failed\n");
        return;
    }
    zytest::KachatVremja(500); // past the first paints
    const size_t s = kolKadrov;
    zytest::KachatVremja(static_cast<DWORD>(sekund) * 1000);
    const size_t e = std::min(kolKadrov.load(), kMaks);
    nav.reset();
    std::vector<double> risovanie, ostatok;
    for (size_t i = s + 1; i < e; ++i) {
        risovanie.push_back((konec[i] - nachalo[i]) * 1000.0);
        ostatok.push_back((nachalo[i] - konec[i - 1]) * 1000.0);
    }
    if (risovanie.empty()) {
        std::printf("  no frames\n");
        return;
    }
    double summa = 0;
    for (double r : risovanie)
        summa += r;
    std::printf("  %-6s%s %4ld x %-4ld %5zu frames: scene drawing mean %.3f ms, median %.3f,"
                " p99 %.3f; engine between frames median %.3f ms (p90 %.3f)\n",
                put == ZY_POKAZ_GDI ? "GDI" : "direct", prozrachno ? "+cut" : "    ", w, h,
                risovanie.size(), summa / double(risovanie.size()), Dolja(risovanie, 0.5),
                Dolja(risovanie, 0.99), Dolja(ostatok, 0.5), Dolja(ostatok, 0.9));
}

} // namespace

extern "C" {
// Constructor: the built-in scene's, then continuous frames with a 1 ms period.
__declspec(dllexport) long BenchKonstr(ZYKGLKONTROL* k) {
    ZyGLScenaNach1(k);
    k->fps = 1000;
    k->Flagi.Vkl(ZYBIT_ANIMACIJA, ZYBIT_ANIMACIJA);
    if (sProzrachnostju) k->Flagi.Vkl(ZYBIT_PROZRACHNO, ZYBIT_PROZRACHNO);
    return 1;
}
// Intermission: nothing to show.
__declspec(dllexport) long BenchAntrakt(ZYKGLKONTROL*) {
    return 1;
}
// Frame: the built-in scene's frame, timed from here.
__declspec(dllexport) long BenchPokaz(ZYKGLKONTROL* k) {
    const size_t i = kolKadrov;
    if (i < kMaks) nachalo[i] = zytest::Sekundy();
    return ZyGLScenaNach3(k);
}
// End of frame: finished drawing and the built-in scene's swap, timed to here.
__declspec(dllexport) long BenchFinal(ZYKGLKONTROL* k) {
    glFinish();
    const long r = ZyGLScenaNach4(k);
    const size_t i = kolKadrov;
    if (i < kMaks) {
        konec[i] = zytest::Sekundy();
        kolKadrov = i + 1;
    }
    return r;
}
}

int main() {
    std::printf("bench_pokaz: the built-in scene's frames and their presentation, 5 s per case\n");
    for (long put : {ZY_POKAZ_GDI, ZY_POKAZ_PRJAMO}) {
        Zamer(put, 800, 475, 5);
        Zamer(put, 1024, 768, 5);
    }
    Zamer(ZY_POKAZ_GDI, 800, 475, 5, true);
    ZyVsPutPokaza(ZY_POKAZ_AVTO);
    return 0;
}
