// Cost of the navigation step and of the point transforms, each beside the same work done in
// plain double arithmetic, and beside the same product formed on the rendering library's
// matrix stack (group of four points per glLoadMatrixd / glMultMatrixd / glGetDoublev), with
// the largest deviation of each from the plain result.
#include "ZyKGLOrvanta2.h"
#include "ZyTestGL.h"
#include "ZyTestVremja.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Quorvel;

namespace {

// ---- Timing ---------------------------------------------------------------------------------

// Median time of one call in microseconds over `serij` series of `povtorov` calls each.
double Mediana(const std::function<void()>& f, int povtorov, int serij = 15) {
    std::vector<double> t;
    for (int s = 0; s < serij; ++s) {
        const double t0 = zytest::Sekundy();
        for (int i = 0; i < povtorov; ++i)
            f();
        t.push_back((zytest::Sekundy() - t0) * 1e6 / povtorov);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// ---- Plain double arithmetic ----------------------------------------------------------------

// Shifts n points by v.
void Sdvig(const VEKTOR3MDF& v, TOCHKA3MDF* p, int n) {
    for (int i = 0; i < n; ++i)
        p[i].x += v.x, p[i].y += v.y, p[i].z += v.z;
}

// Rotation about a -> b by `gradusy`, the axis-angle formula as a 3x3 matrix, point by point.
void Povorot(double gradusy, const TOCHKA3MDF& a, const TOCHKA3MDF& b, TOCHKA3MDF* p, int n) {
    double k[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const double d = std::sqrt(k[0] * k[0] + k[1] * k[1] + k[2] * k[2]);
    k[0] /= d, k[1] /= d, k[2] /= d;
    const double t = gradusy * 3.14159265358979323846 / 180.0, c = std::cos(t), s = std::sin(t);
    const double r[3][3] = {{c + k[0] * k[0] * (1 - c), k[0] * k[1] * (1 - c) - k[2] * s,
                             k[0] * k[2] * (1 - c) + k[1] * s},
                            {k[1] * k[0] * (1 - c) + k[2] * s, c + k[1] * k[1] * (1 - c),
                             k[1] * k[2] * (1 - c) - k[0] * s},
                            {k[2] * k[0] * (1 - c) - k[1] * s, k[2] * k[1] * (1 - c) + k[0] * s,
                             c + k[2] * k[2] * (1 - c)}};
    for (int i = 0; i < n; ++i) {
        const double v[3] = {p[i].x - a.x, p[i].y - a.y, p[i].z - a.z};
        p[i].x = a.x + r[0][0] * v[0] + r[0][1] * v[1] + r[0][2] * v[2];
        p[i].y = a.y + r[1][0] * v[0] + r[1][1] * v[1] + r[1][2] * v[2];
        p[i].z = a.z + r[2][0] * v[0] + r[2][1] * v[1] + r[2][2] * v[2];
    }
}

// The six motions of one frame on the four points of a frame, in the engine's order.
void ShestDvizhenij(TOCHKA3MDF* p, const double t[6]) {
    auto os = [&](int j) {
        VEKTOR3MDF v{p[j].x - p[0].x, p[j].y - p[0].y, p[j].z - p[0].z};
        v.Normal();
        return v;
    };
    auto sdvig = [&](int j, double shag) {
        const VEKTOR3MDF v = os(j);
        Sdvig(VEKTOR3MDF{v.x * shag, v.y * shag, v.z * shag}, p, 4);
    };
    sdvig(3, t[0]);
    sdvig(1, t[1]);
    sdvig(2, t[2]);
    const double ugly[3] = {t[3], t[4], -t[5]};
    const int osi[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        const TOCHKA3MDF a = p[0], b = p[osi[i]];
        Povorot(ugly[i], a, b, p, 4);
    }
}

// ---- The same product on the rendering library's matrix stack -------------------------------

// M * P for groups of four points, formed with glLoadMatrixd / glMultMatrixd / glGetDoublev.
void NaSteke(const double m[16], TOCHKA3MDF* p, int n) {
    GLint rezhim;
    glGetIntegerv(GL_MATRIX_MODE, &rezhim);
    glMatrixMode(GL_MODELVIEW);
    double sohr[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, sohr);
    for (int i = 0; i < n; i += 4) {
        const int g = std::min(4, n - i);
        double q[16];
        for (int c = 0; c < 4; ++c) {
            const TOCHKA3MDF t = c < g ? p[i + c] : TOCHKA3MDF{0, 0, 0};
            q[4 * c] = t.x, q[4 * c + 1] = t.y, q[4 * c + 2] = t.z, q[4 * c + 3] = 1;
        }
        glLoadMatrixd(m);
        glMultMatrixd(q);
        glGetDoublev(GL_MODELVIEW_MATRIX, q);
        for (int c = 0; c < g; ++c)
            p[i + c] = TOCHKA3MDF{q[4 * c], q[4 * c + 1], q[4 * c + 2]};
    }
    glLoadMatrixd(sohr);
    glMatrixMode(rezhim);
}

// The rotation by `ugol` degrees about the axis from a to b, formed on the GL matrix stack.
void MatricaPovorota(double ugol, const TOCHKA3MDF& a, const TOCHKA3MDF& b, double m[16]) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(a.x, a.y, a.z);
    glRotated(ugol, b.x - a.x, b.y - a.y, b.z - a.z);
    glTranslated(-a.x, -a.y, -a.z);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glPopMatrix();
}

// The largest coordinate difference between two point sets.
double MaksOtklonenie(const std::vector<TOCHKA3MDF>& a, const std::vector<TOCHKA3MDF>& b) {
    double m = 0;
    for (size_t i = 0; i < a.size(); ++i)
        m = std::max({m, std::fabs(a[i].x - b[i].x), std::fabs(a[i].y - b[i].y),
                      std::fabs(a[i].z - b[i].z)});
    return m;
}

// n points spread over a cube of side 1000.
std::vector<TOCHKA3MDF> Oblako(int n) {
    std::vector<TOCHKA3MDF> p(n);
    for (int i = 0; i < n; ++i)
        p[i] = TOCHKA3MDF{std::sin(i * 0.7) * 1000.0, std::cos(i * 1.3) * 1000.0,
                          (i % 97) * 10.0 - 485.0};
    return p;
}

// One line of the report.
void Stroka(const char* chto, double mks, const char* dop = "") {
    std::printf("  %-52s %10.3f us%s\n", chto, mks, dop);
}

} // namespace

int main() {
    zytest::GLKontekst kontekst(320, 240);
    if (!kontekst.gotov()) {
        std::printf("no OpenGL context\n");
        return 1;
    }
    std::unique_ptr<ZYKGLKONTROL> k(new ZYKGLKONTROL());
    k->hwnd = kontekst.okno();
    glViewport(0, 0, 320, 240);

    // ---- Navigation step with all six motions ----
    std::printf("one frame with all six motions on (fps 25):\n");
    k->Flagi.Vkl(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5);
    const double pozNav = Mediana([&] { k->PozicijaNabludenija(nullptr); }, 2000);
    Stroka("PozicijaNabludenija (projection, six motions)", pozNav);
    k->Flagi.Vwkl(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5);
    const double bezDvizh = Mediana([&] { k->PozicijaNabludenija(nullptr); }, 2000);
    Stroka("PozicijaNabludenija without motion", bezDvizh);
    TOCHKA3MDF ramka[4] = {{0, 0, 0}, {0, 0, -1000}, {0, 1000, 0}, {1000, 0, 0}};
    double t[6];
    for (int i = 0; i < 6; ++i)
        t[i] = k->SkorostNav[i] / 25.0;
    const double prostoe = Mediana([&] { ShestDvizhenij(ramka, t); }, 20000);
    Stroka("the six motions in plain double arithmetic", prostoe);

    // Deviation after 1000 frames: the engine against plain doubles.
    k->VsPozNavV0();
    k->Flagi.Vkl(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5);
    TOCHKA3MDF etalon[4] = {{0, 0, 0}, {0, 0, -1000}, {0, 1000, 0}, {1000, 0, 0}};
    for (int i = 0; i < 1000; ++i) {
        k->PozicijaNabludenija(nullptr);
        ShestDvizhenij(etalon, t);
    }
    k->Flagi.Vwkl(ZYBIT_DVIZH1, ZYBIT_DVIZH1 + 5);
    const double otkl = MaksOtklonenie(std::vector<TOCHKA3MDF>(k->PozNav, k->PozNav + 4),
                                       std::vector<TOCHKA3MDF>(etalon, etalon + 4));
    std::printf("  frame after 1000 frames, largest deviation from plain doubles: %.3g\n", otkl);

    // ---- 10,000 points ----
    const int kol = 10000;
    const std::vector<TOCHKA3MDF> ishodnye = Oblako(kol);
    std::vector<TOCHKA3MDF> a = ishodnye, b = ishodnye, c = ishodnye;
    const VEKTOR3MDF v{0.25, -0.5, 0.04};
    const double ugol = 1.2;
    const TOCHKA3MDF os_a{10, -20, 30}, os_b{11, -18, 33};

    std::printf("10,000 points:\n");
    Stroka("SdvigTochek", Mediana([&] { k->SdvigTochek(v, a.data(), kol); }, 20));
    Stroka("shift in plain double arithmetic", Mediana([&] { Sdvig(v, b.data(), kol); }, 20));
    {
        double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, v.x, v.y, v.z, 1};
        Stroka("shift on the GL matrix stack", Mediana([&] { NaSteke(m, c.data(), kol); }, 20));
    }
    Stroka("PovorotTochek",
           Mediana([&] { k->PovorotTochek(ugol, os_a, os_b, a.data(), kol); }, 20));
    Stroka("rotation in plain double arithmetic",
           Mediana([&] { Povorot(ugol, os_a, os_b, b.data(), kol); }, 20));
    {
        double m[16];
        MatricaPovorota(ugol, os_a, os_b, m);
        Stroka("rotation on the GL matrix stack", Mediana([&] { NaSteke(m, c.data(), kol); }, 20));
    }

    // Precision of one application each, against plain doubles.
    a = b = c = ishodnye;
    k->PovorotTochek(ugol, os_a, os_b, a.data(), kol);
    Povorot(ugol, os_a, os_b, b.data(), kol);
    {
        double m[16];
        MatricaPovorota(ugol, os_a, os_b, m);
        NaSteke(m, c.data(), kol);
    }
    std::printf("  one rotation of points within 1000 units, largest deviation from plain "
                "doubles:\n    engine %.3g, GL matrix stack %.3g\n",
                MaksOtklonenie(a, b), MaksOtklonenie(c, b));
    return 0;
}
