// bench_vybor: what picking costs next to drawing. A view shows 10, 100 or 1000 named squares
// (this program's own scene); for each count: one ordinary frame of the scene (drawn and
// finished on the controller thread), a click (pick under the cursor and focus), a key in
// object-key mode (selection of the whole view for the focused object) and, as the floor, an
// empty message; each measured from posting to the controller thread until its handler ran.
// Then 100,000 named squares stacked under the cursor (every one a hit of the pick): the
// selection passes and the time of the first click, of the clicks after it and of a key in
// object-key mode, beside the goal (at most 3 passes and 0.5 s a click) and the passes a buffer
// grown by 256 words at a time would take. Last the keystroke latency: WM_KEYDOWN posted to
// the view window until the motion flag is set.
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestOzhidanie.h"
#include "ZyTestPapki.h"
#include "ZyTestVremja.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

constexpr UINT kPustoe = WM_APP + 1, kKadr = WM_APP + 2; // floor; one frame
constexpr int kRaz = 200;                                // measurements of each kind

long kolObjektov = 10;
bool stopka = false; // the squares are stacked in the middle of the view, not in a grid
long prohodov = 0;   // selection passes drawn (controller thread)
double konec = 0;    // clock when the handler being timed ran
HANDLE gotovo;       // set by that handler
double kadrMs = 0;   // the last frame's drawing time, measured on the controller thread

// Columns of the square grid of n objects.
long Stolbcov(long n) {
    return static_cast<long>(std::ceil(std::sqrt(double(n))));
}

// The centre of object i (0-based) as a fraction of the view, y from the top.
void Centr(long i, double& fx, double& fy) {
    if (stopka) {
        fx = fy = 0.5;
        return;
    }
    const long c = Stolbcov(kolObjektov);
    fx = (double(i % c) + 0.5) / double(c);
    fy = (double(i / c) + 0.5) / double(c);
}

// Records the time and wakes the measuring thread.
int Otmetit(MSG*) {
    konec = zytest::Sekundy();
    SetEvent(gotovo);
    return 1;
}

// One ordinary frame of the scene without pacing: projection, scene, finished drawing.
int Kadr(MSG* m) {
    auto* k = reinterpret_cast<ZYKGLKONTROL*>(m->hwnd);
    const double t = zytest::Sekundy();
    ZYS_REGION_VIDA bezShaga{0, 0, 0, 0};
    k->PozicijaNabludenija(&bezShaga);
    k->Fynkcii[2].fyn(k);
    glFinish();
    kadrMs = (zytest::Sekundy() - t) * 1000.0;
    SetEvent(gotovo);
    return 1;
}

// The value below which a share `q` of the sorted values lies.
double Dolja(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(q * (v.size() - 1)))];
}

// One view in a host popup, running this program's scene.
struct Vid {
    zytest::Okno host{0, 0, 640, 480, WS_POPUP, DefWindowProcA, "bench"};
    std::unique_ptr<ZYKGLORVANTA2> nav = std::make_unique<ZYKGLORVANTA2>();
    bool ok = false;

    Vid() {
        zytest::UdalitDerevo("ZyGLDannwe");
        host.PokazatBezAktivacii();
        char modul[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, modul, sizeof modul);
        static std::string imena[4];
        const char* f[4] = {"\\BvKonstr", "\\BvAntrakt", "\\BvPokaz", "\\BvFinal"};
        for (int i = 0; i < 4; ++i)
            imena[i] = std::string(modul) + f[i];
        SGL_SCENA_PARAM sp{{imena[0].c_str(), imena[1].c_str(), imena[2].c_str(), imena[3].c_str()},
                           0};
        ok = nav->Pusk(host.hwnd(), 1, nullptr, &sp) == 1;
    }
    ZYKGLKONTROL& K() { return nav->controllers[0]; }

    // Milliseconds from posting (soob, w, l) to the controller thread until the timed
    // handler ran, `raz` times; empty when a wait ran out.
    std::vector<double> Zaderzhki(UINT soob, WPARAM w, LPARAM l, int raz = kRaz) {
        std::vector<double> r;
        for (int i = 0; i < raz; ++i) {
            ResetEvent(gotovo);
            const double t = zytest::Sekundy();
            PostThreadMessageA(K().threadId, soob, w, l);
            if (!zytest::Zhdat(gotovo, 5000)) return {};
            r.push_back((konec - t) * 1000.0);
        }
        return r;
    }
};

// Prints the median and the 90th percentile of a series.
void Pechat(const char* chto, const std::vector<double>& v) {
    if (v.empty()) {
        std::printf("    %-40s timed out\n", chto);
        return;
    }
    std::printf("    %-40s median %8.3f ms  p90 %8.3f ms\n", chto, Dolja(v, 0.5), Dolja(v, 0.9));
}

// The four series for n objects.
void Vybor(long n) {
    kolObjektov = n;
    Vid v;
    if (!v.ok || !zytest::ZhdatPoka([&] { return v.K().KontekstGL != nullptr; }, 5000)) {
        std::printf("  %ld objects: the view did not start\n", n);
        return;
    }
    std::printf("  %ld named objects\n", n);
    std::vector<double> kadry;
    for (int i = 0; i < kRaz; ++i) {
        ResetEvent(gotovo);
        PostThreadMessageA(v.K().threadId, kKadr, 0, 0);
        if (!zytest::Zhdat(gotovo, 5000)) break;
        kadry.push_back(kadrMs);
    }
    Pechat("ordinary frame (draw + glFinish)", kadry);
    Pechat("empty message (floor)", v.Zaderzhki(kPustoe, 0, 0));
    RECT r{};
    GetClientRect(v.K().hwnd, &r);
    double fx = 0, fy = 0;
    Centr(n / 2, fx, fy);
    const LPARAM tochka = MAKELPARAM(LONG(fx * r.right), LONG(fy * r.bottom));
    Pechat("click: pick under the cursor + focus", v.Zaderzhki(WM_LBUTTONDOWN, 1, tochka));
    // The click focused object n/2 + 1; in object-key mode its key handler runs after a
    // selection pass over the whole view.
    v.K().Flagi.Vkl(ZYBIT_KLAVISHI_OBJ, ZYBIT_KLAVISHI_OBJ);
    v.K().Flagi.Vkl(ZYBIT_NUM_LOCK, ZYBIT_NUM_LOCK);
    Pechat("key in object-key mode: whole-view select", v.Zaderzhki(WM_KEYDOWN, 'A', 1));
}

// 100,000 squares under the cursor: passes and time of the first click, of the clicks after
// it (the selection buffer is kept) and of a key in object-key mode.
void Stopka() {
    constexpr long kN = 100000;
    constexpr int kRazStopki = 10;
    kolObjektov = kN;
    stopka = true;
    Vid v;
    if (!v.ok || !zytest::ZhdatPoka([&] { return v.K().KontekstGL != nullptr; }, 5000)) {
        std::printf("  %ld stacked objects: the view did not start\n", kN);
        stopka = false;
        return;
    }
    RECT r{};
    GetClientRect(v.K().hwnd, &r);
    const LPARAM tochka = MAKELPARAM(r.right / 2, r.bottom / 2);
    std::printf("  %ld named objects, all under the cursor (4 words of hits each)\n", kN);
    std::printf("    goal: at most 3 passes and 0.5 s a click; growing by 256 words would take "
                "%ld passes\n",
                (4 * kN + 255) / 256);
    v.Zaderzhki(kPustoe, 0, 0, 1); // the first frame is drawn
    const long do_ = prohodov;
    const std::vector<double> pervyj = v.Zaderzhki(WM_LBUTTONDOWN, 1, tochka, 1);
    const long pervyjProhodov = prohodov - do_;
    if (pervyj.empty()) {
        std::printf("    first click timed out\n");
    } else {
        std::printf("    first click: %ld selection passes, %8.1f ms\n", pervyjProhodov, pervyj[0]);
    }
    const long posle = prohodov;
    Pechat("later clicks: pick under the cursor + focus",
           v.Zaderzhki(WM_LBUTTONDOWN, 1, tochka, kRazStopki));
    std::printf("    later clicks: %.1f selection passes each\n",
                double(prohodov - posle) / kRazStopki);
    v.K().Flagi.Vkl(ZYBIT_KLAVISHI_OBJ, ZYBIT_KLAVISHI_OBJ);
    v.K().Flagi.Vkl(ZYBIT_NUM_LOCK, ZYBIT_NUM_LOCK);
    const long kl = prohodov;
    Pechat("key in object-key mode: whole-view select",
           v.Zaderzhki(WM_KEYDOWN, 'A', 1, kRazStopki));
    std::printf("    keys: %.1f selection passes each\n", double(prohodov - kl) / kRazStopki);
    stopka = false;
}

// Keystroke latency: grey Right posted to the view window until bit 1 is set, and its release
// until bit 1 is clear (this thread delivers the view window's messages meanwhile).
void Klavisha() {
    kolObjektov = 10;
    Vid v;
    if (!v.ok || !zytest::ZhdatPoka([&] { return v.K().KontekstGL != nullptr; }, 5000)) return;
    auto bit1 = [&] { return v.K().Flagi.Test(1, 1); };
    std::vector<double> vniz, vverh;
    for (int i = 0; i < kRaz; ++i) {
        double t = zytest::Sekundy();
        PostMessageA(v.K().hwnd, WM_KEYDOWN, VK_RIGHT, 0x01000001);
        while (!bit1() && zytest::Sekundy() - t < 5)
            zytest::Prokachat();
        vniz.push_back((zytest::Sekundy() - t) * 1000.0);
        t = zytest::Sekundy();
        PostMessageA(v.K().hwnd, WM_KEYUP, VK_RIGHT, 0xC1000001);
        while (bit1() && zytest::Sekundy() - t < 5)
            zytest::Prokachat();
        vverh.push_back((zytest::Sekundy() - t) * 1000.0);
    }
    std::printf("  keystroke latency (10 objects on screen)\n");
    Pechat("WM_KEYDOWN grey Right -> bit 1 set", vniz);
    Pechat("WM_KEYUP grey Right -> bit 1 clear", vverh);
}

} // namespace

extern "C" {
// Constructor: rendering context; the timed handlers.
__declspec(dllexport) long BvKonstr(ZYKGLKONTROL* k) {
    k->VsDCFormat(nullptr);
    k->mouseRestDelay = 0;
    ZYS_SOOB_iFYN nav[] = {{kPustoe, Otmetit}, {kKadr, Kadr}, {WM_LBUTTONDOWN, Otmetit}};
    k->vklNav(nav, 3);
    std::vector<ZYS_OBJ_SOOB_iFYN> obj;
    for (long i = 1; i <= 1000; ++i)
        obj.push_back({static_cast<unsigned long>(i), WM_KEYDOWN, Otmetit});
    k->VklObjSoob(obj.data(), static_cast<unsigned int>(obj.size()));
    return 1;
}
// Intermission: nothing to show.
__declspec(dllexport) long BvAntrakt(ZYKGLKONTROL*) {
    return 1;
}
// Frame: the named squares in a grid over the view, 10 units in front of the eye.
__declspec(dllexport) long BvPokaz(ZYKGLKONTROL* k) {
    GLint vp[4] = {0, 0, 1, 1};
    glGetIntegerv(GL_VIEWPORT, vp);
    const double hy = 10.0 * std::tan(k->fovy * 0.5 * 3.14159265358979 / 180.0);
    const double hx = hy * (vp[3] ? double(vp[2]) / vp[3] : 1.0);
    const double pol = stopka ? 0.1 : 0.4 / double(Stolbcov(kolObjektov));
    glClearColor(0.1f, 0.1f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    GLint rezhim = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &rezhim);
    prohodov += rezhim == GL_SELECT;
    glInitNames();
    glPushName(0);
    glColor3f(1.0f, 1.0f, 0.0f);
    for (long i = 0; i < kolObjektov; ++i) {
        double fx = 0, fy = 0;
        Centr(i, fx, fy);
        glLoadName(static_cast<GLuint>(i + 1));
        glBegin(GL_QUADS);
        glVertex3d((2 * (fx - pol) - 1) * hx, (1 - 2 * (fy - pol)) * hy, -10.0);
        glVertex3d((2 * (fx + pol) - 1) * hx, (1 - 2 * (fy - pol)) * hy, -10.0);
        glVertex3d((2 * (fx + pol) - 1) * hx, (1 - 2 * (fy + pol)) * hy, -10.0);
        glVertex3d((2 * (fx - pol) - 1) * hx, (1 - 2 * (fy + pol)) * hy, -10.0);
        glEnd();
    }
    glPopName();
    return 1;
}
// End of frame: the swap.
__declspec(dllexport) long BvFinal(ZYKGLKONTROL* k) {
    if (k->KontekstDC) SwapBuffers(k->KontekstDC);
    return 1;
}
}

int main() {
    gotovo = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::printf("bench_vybor: picking next to one ordinary frame, %d measurements each\n", kRaz);
    for (long n : {10L, 100L, 1000L})
        Vybor(n);
    Stopka();
    Klavisha();
    CloseHandle(gotovo);
    return 0;
}
