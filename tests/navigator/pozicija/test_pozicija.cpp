// The point of observation on a real GL context: projection, navigation step, speed keys,
// orbit, picking, the viewer-fixed matrix, the focus plane (by its pixels) and NachAtrib.
#include "ZyKGLOrvanta2.h"
#include "ZyTestGL.h"
#include "ZyTestTochki.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace Quorvel;
using zytest::Povernut;
using zytest::Tochka;

namespace {

constexpr int kShirina = 160, kVysota = 120;

// ---- Matrices in plain double arithmetic (column-major, as the rendering library) -----------

struct M4 {
    double m[16];
};

M4 Edinichnaja() {
    M4 r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0;
    return r;
}

M4 operator*(const M4& a, const M4& b) {
    M4 r{};
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 4; ++s)
            for (int k = 0; k < 4; ++k)
                r.m[4 * c + s] += a.m[4 * k + s] * b.m[4 * c + k];
    return r;
}

M4 Sdvig(double x, double y, double z) {
    M4 r = Edinichnaja();
    r.m[12] = x, r.m[13] = y, r.m[14] = z;
    return r;
}

M4 Masshtab(double x, double y, double z) {
    M4 r = Edinichnaja();
    r.m[0] = x, r.m[5] = y, r.m[10] = z;
    return r;
}

M4 Perspektiva(double fovy, double aspekt, double n, double f) {
    const double k = 1.0 / std::tan(fovy * 3.14159265358979323846 / 360.0);
    M4 r{};
    r.m[0] = k / aspekt;
    r.m[5] = k;
    r.m[10] = (f + n) / (n - f);
    r.m[11] = -1.0;
    r.m[14] = 2.0 * f * n / (n - f);
    return r;
}

void Norm(double v[3]) {
    const double d = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    v[0] /= d, v[1] /= d, v[2] /= d;
}

M4 Vzgljad(const TOCHKA3MDF& e, const TOCHKA3MDF& c, const VEKTOR3MDF& up) {
    double f[3] = {c.x - e.x, c.y - e.y, c.z - e.z};
    Norm(f);
    double s[3] = {f[1] * up.z - f[2] * up.y, f[2] * up.x - f[0] * up.z, f[0] * up.y - f[1] * up.x};
    Norm(s);
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                         s[0] * f[1] - s[1] * f[0]};
    M4 r = Edinichnaja();
    for (int k = 0; k < 3; ++k) {
        r.m[4 * k] = s[k];
        r.m[4 * k + 1] = u[k];
        r.m[4 * k + 2] = -f[k];
    }
    return r * Sdvig(-e.x, -e.y, -e.z);
}

// The viewing transform the controller's frame should give: P * [T(0, 0, -d)] * LookAt.
M4 OzhidaemajaProekcija(const ZYKGLKONTROL& k, bool orbita) {
    const TOCHKA3MDF* p = k.PozNav;
    const VEKTOR3MDF up{p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z};
    M4 r = Perspektiva(k.fovy, double(kShirina) / kVysota, k.zNear, k.zFar);
    if (orbita) r = r * Sdvig(0, 0, -k.Distancija);
    return r * Vzgljad(p[0], p[1], up);
}

M4 Proekcija() {
    M4 r;
    glGetDoublev(GL_PROJECTION_MATRIX, r.m);
    return r;
}

// Equal up to the single precision the rendering library keeps its matrices in.
::testing::AssertionResult Blizko(const M4& a, const M4& b) {
    for (int i = 0; i < 16; ++i)
        if (std::fabs(a.m[i] - b.m[i]) > 2e-6 * (1.0 + std::fabs(b.m[i])))
            return ::testing::AssertionFailure()
                   << "element " << i << ": " << a.m[i] << " instead of " << b.m[i];
    return ::testing::AssertionSuccess();
}

const TOCHKA3MDF kNachalo[4] = {{0, 0, 0}, {0, 0, -1000}, {0, 1000, 0}, {1000, 0, 0}};

class Pozicija : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.gotov()) << "no OpenGL context";
        zytest::SbrositSostojanie(kShirina, kVysota);
        k.reset(new ZYKGLKONTROL());
        ASSERT_EQ(ZY_KOL_FLAGOV, k->Flagi.kolBit);
        k->hwnd = gl.okno();
    }
    void Vkl(unsigned long bit) { ASSERT_TRUE(k->Flagi.Vkl(bit, bit)); }
    bool Bit(unsigned long bit) const { return k->Flagi.Test(bit, bit); }

    zytest::GLKontekst& gl = zytest::ObshchijKontekst(kShirina, kVysota);
    std::unique_ptr<ZYKGLKONTROL> k;
};

// ---- Projection -------------------------------------------------------------------------------

// Without flags the frame stays, and the projection is P * LookAt, the same at every call;
// the modelview matrix is selected but left to the scene.
TEST_F(Pozicija, WithoutFlagsTheFrameStaysAndTheProjectionIsPerspectiveTimesLookAt) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(3, 4, 5);
    EXPECT_EQ(1, k->PozicijaNabludenija(nullptr));
    const M4 pervaja = Proekcija();
    EXPECT_EQ(1, k->PozicijaNabludenija(nullptr));
    EXPECT_TRUE(Blizko(Proekcija(), pervaja));
    EXPECT_TRUE(Blizko(pervaja, OzhidaemajaProekcija(*k, false)));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Tochka(k->PozNav[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z));
    GLint rezhim = 0;
    glGetIntegerv(GL_MATRIX_MODE, &rezhim);
    EXPECT_EQ(GL_MODELVIEW, rezhim);
    double mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    EXPECT_DOUBLE_EQ(5.0, mv[14]) << "the modelview matrix is the scene's";
}

// Flag 72 takes the viewport from the client rectangle and keeps the rectangle.
TEST_F(Pozicija, Flag72SetsTheViewportFromTheClientRectangle) {
    glViewport(0, 0, 10, 10);
    Vkl(ZYBIT_VIEWPORT);
    k->PozicijaNabludenija(nullptr);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(kShirina, vp[2]);
    EXPECT_EQ(kVysota, vp[3]);
    EXPECT_EQ(kShirina, k->KlientRect.right);
    EXPECT_EQ(kVysota, k->KlientRect.bottom);
    EXPECT_TRUE(Blizko(Proekcija(), OzhidaemajaProekcija(*k, false)));
}

// A region of zero size renders the normal projection and never moves the frame.
TEST_F(Pozicija, AnAllZeroRegionRendersWithoutMoving) {
    Vkl(ZYBIT_DVIZH1 + 1);
    ZYS_REGION_VIDA nol{0, 0, 0, 0};
    k->PozicijaNabludenija(&nol);
    EXPECT_TRUE(Tochka(k->PozNav[0], 0, 0, 0));
    EXPECT_TRUE(Blizko(Proekcija(), OzhidaemajaProekcija(*k, false)));
}

// A pick region at window y = 0 (the top) is centred at viewport y = H.
TEST_F(Pozicija, APickRegionAtTheTopMapsToViewportHeight) {
    Vkl(ZYBIT_DVIZH1 + 1);
    ZYS_REGION_VIDA r{40.7, 0.0, 4.0, 4.0};
    k->PozicijaNabludenija(&r);
    EXPECT_TRUE(Tochka(k->PozNav[0], 0, 0, 0)) << "picking moves nothing";
    // gluPickMatrix(x, H - y, w, h): T((W - 2x) / w, (H - 2 (H - y)) / h, 0) * S(W / w, H / h, 1).
    const double x = 40.7, y = kVysota - 0.0;
    const M4 pick = Sdvig((kShirina - 2 * x) / 4.0, (kVysota - 2 * y) / 4.0, 0) *
                    Masshtab(kShirina / 4.0, kVysota / 4.0, 1.0);
    EXPECT_TRUE(Blizko(Proekcija(), pick * OzhidaemajaProekcija(*k, false)));

    // y is truncated before the flip: 10.9 counts as 10.
    ZYS_REGION_VIDA r2{40.7, 10.9, 4.0, 4.0};
    k->PozicijaNabludenija(&r2);
    const M4 pick2 = Sdvig((kShirina - 2 * x) / 4.0, (kVysota - 2 * (kVysota - 10.0)) / 4.0, 0) *
                     Masshtab(kShirina / 4.0, kVysota / 4.0, 1.0);
    EXPECT_TRUE(Blizko(Proekcija(), pick2 * OzhidaemajaProekcija(*k, false)));
}

// ---- Navigation step --------------------------------------------------------------------------

// Speed 1 at 25 frames per second moves all four points 0.04 along the view axis; at rate 0
// the step is a whole second's.
TEST_F(Pozicija, ViewAxisMotionMovesTheFrameBySpeedOverFrameRate) {
    Vkl(ZYBIT_DVIZH1 + 1);
    k->fps = 25;
    k->PozicijaNabludenija(nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Tochka(k->PozNav[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z - 0.04))
            << "point " << i;
    EXPECT_TRUE(Blizko(Proekcija(), OzhidaemajaProekcija(*k, false)));

    k->VsPozNavV0();
    k->fps = 0;
    k->PozicijaNabludenija(nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Tochka(k->PozNav[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z - 1.0));
}

// The side and up axes move by their own speeds, all in one frame.
TEST_F(Pozicija, SideAndUpMotionsUseTheirOwnSpeeds) {
    Vkl(ZYBIT_DVIZH1);
    Vkl(ZYBIT_DVIZH1 + 2);
    k->fps = 10;
    k->SkorostNav[0] = 2.0;
    k->SkorostNav[2] = -5.0;
    k->PozicijaNabludenija(nullptr);
    EXPECT_TRUE(Tochka(k->PozNav[0], 0.2, -0.5, 0));
    EXPECT_TRUE(Tochka(k->PozNav[3], 1000.2, -0.5, 0));
}

// Bits 4 and 5 turn by +t about the side and view axes, bit 6 by -t about the up axis.
TEST_F(Pozicija, RotationsTurnTheFrameAboutItsOwnAxesWithTheirSigns) {
    struct Sluchaj {
        unsigned long bit;
        int os;      // axis point of the frame
        double znak; // sense of the turn
    } const sluchai[] = {
        {ZYBIT_DVIZH1 + 3, 3, +1}, {ZYBIT_DVIZH1 + 4, 1, +1}, {ZYBIT_DVIZH1 + 5, 2, -1}};
    for (const Sluchaj& s : sluchai) {
        k.reset(new ZYKGLKONTROL());
        k->fps = 25;
        Vkl(s.bit);
        // Move the eye off the origin first so that "about the eye" is really checked.
        TOCHKA3MDF ramka[4];
        for (int i = 0; i < 4; ++i) {
            k->PozNav[i] = TOCHKA3MDF{kNachalo[i].x + 5, kNachalo[i].y - 7, kNachalo[i].z + 2};
            ramka[i] = k->PozNav[i];
        }
        k->PozicijaNabludenija(nullptr);
        const double t = s.znak * 30.0 / 25.0;
        for (int i = 0; i < 4; ++i) {
            const TOCHKA3MDF e = Povernut(ramka[i], ramka[0], ramka[s.os], t);
            EXPECT_TRUE(Tochka(k->PozNav[i], e.x, e.y, e.z, 1e-8))
                << "bit " << s.bit << ", point " << i;
        }
    }
    // Concretely: bit 6 turns the view axis from -z towards +x (a turn to the right).
    EXPECT_GT(k->PozNav[1].x, 5.0 + 20.0);
}

// Speed keys: bit 13 with bit 7 starts a stopped axis at 0.001 * change, then adds 10 %.
TEST_F(Pozicija, SpeedUpStartsAStoppedAxisAndThenGrowsItByThePercentage) {
    Vkl(ZYBIT_USKORIT);
    Vkl(ZYBIT_KLAVISHA1);
    k->SkorostNav[0] = 0.0;
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(0.01, k->SkorostNav[0], 1e-15);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(0.011, k->SkorostNav[0], 1e-15);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(i < 3 ? 1.0 : 30.0, k->SkorostNav[i]);
}

// Held motion keys (7..12) select the speeds when any is held, else the active motions do.
TEST_F(Pozicija, SpeedChangeTakesTheFirstMatchingCase) {
    Vkl(ZYBIT_USKORIT);
    Vkl(ZYBIT_DVIZH1);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(1.1, k->SkorostNav[0], 1e-12) << "bit 13 with bit 1 and no key";
    EXPECT_EQ(1.0, k->SkorostNav[1]);

    Vkl(ZYBIT_KLAVISHA1 + 1);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(1.1, k->SkorostNav[0], 1e-12) << "a held key takes over";
    EXPECT_NEAR(1.1, k->SkorostNav[1], 1e-12);

    // Slowing down: bit 14 with a held key, then with only an active motion.
    k.reset(new ZYKGLKONTROL());
    Vkl(ZYBIT_ZAMEDLIT);
    Vkl(ZYBIT_KLAVISHA1 + 5);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(27.0, k->SkorostNav[5], 1e-12);
    k->Flagi.Vwkl(ZYBIT_KLAVISHA1 + 5, ZYBIT_KLAVISHA1 + 5);
    Vkl(ZYBIT_DVIZH1 + 3);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(27.0, k->SkorostNav[3], 1e-12);
    EXPECT_NEAR(27.0, k->SkorostNav[5], 1e-12);

    // Both keys: speeding up wins.
    k.reset(new ZYKGLKONTROL());
    Vkl(ZYBIT_USKORIT);
    Vkl(ZYBIT_ZAMEDLIT);
    Vkl(ZYBIT_KLAVISHA1 + 2);
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(1.1, k->SkorostNav[2], 1e-12);
}

// A speed change or a step whose result would be no finite number is not taken.
TEST_F(Pozicija, ResultsBeyondTheFiniteNumbersAreNotTaken) {
    Vkl(ZYBIT_USKORIT);
    Vkl(ZYBIT_KLAVISHA1 + 1);
    Vkl(ZYBIT_DVIZH1 + 1);
    k->fps = 0;
    k->IzmSkorosti = 1e300;
    k->SkorostNav[1] = 1e8;
    k->PozicijaNabludenija(nullptr); // speed about 1e306
    const double skorost = k->SkorostNav[1];
    ASSERT_TRUE(std::isfinite(skorost));
    for (int i = 0; i < 3; ++i)
        k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(skorost, k->SkorostNav[1]) << "the speed stays at its last finite value";
    k->Flagi.Vwkl(ZYBIT_USKORIT, ZYBIT_USKORIT);
    k->SkorostNav[1] = 1.7e308;
    for (int i = 0; i < 3; ++i)
        k->PozicijaNabludenija(nullptr);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(std::isfinite(k->PozNav[i].z)) << "point " << i;
    EXPECT_TRUE(std::isfinite(k->Distancija));
}

// Object-key mode freezes speeds and motion.
TEST_F(Pozicija, ObjectKeyModeFreezesNavigation) {
    Vkl(ZYBIT_KLAVISHI_OBJ);
    Vkl(ZYBIT_DVIZH1 + 1);
    Vkl(ZYBIT_USKORIT);
    k->PozicijaNabludenija(nullptr);
    EXPECT_TRUE(Tochka(k->PozNav[0], 0, 0, 0));
    EXPECT_EQ(1.0, k->SkorostNav[1]);
}

// ---- Orbit ------------------------------------------------------------------------------------

// With bit 20 the view-axis motion only changes the orbit distance, never below 0; the viewed
// frame sits the distance behind the eye and the projection holds T(0, 0, -d).
TEST_F(Pozicija, OrbitWithBit20ChangesOnlyTheDistance) {
    Vkl(ZYBIT_ORBITA);
    Vkl(ZYBIT_ORBITA_DISTANCIJA);
    Vkl(ZYBIT_DVIZH1 + 1);
    k->fps = 25;
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(1.04, k->Distancija, 1e-12);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Tochka(k->PozNav[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z));
        EXPECT_TRUE(Tochka(k->PozNavVid[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z + 1.04));
    }
    EXPECT_TRUE(Blizko(Proekcija(), OzhidaemajaProekcija(*k, true)));

    k->SkorostNav[1] = -50.0; // a step of -2
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(0.0, k->Distancija);
    EXPECT_TRUE(Tochka(k->PozNavVid[0], 0, 0, 0));
}

// Without bit 20 orbit mode moves the frame and the distance together.
TEST_F(Pozicija, OrbitWithoutBit20MovesTheFrameToo) {
    Vkl(ZYBIT_ORBITA);
    Vkl(ZYBIT_DVIZH1 + 1);
    k->fps = 25;
    k->PozicijaNabludenija(nullptr);
    EXPECT_NEAR(1.04, k->Distancija, 1e-12);
    EXPECT_TRUE(Tochka(k->PozNav[0], 0, 0, -0.04));
    EXPECT_TRUE(Tochka(k->PozNavVid[0], 0, 0, 1.0));
}

// ---- Frame reset and viewer-fixed matrix ------------------------------------------------------

TEST_F(Pozicija, ResetFrameRestoresTheInitialPointsAndCopiesThem) {
    for (int i = 0; i < 4; ++i)
        k->PozNav[i] = k->PozNavVid[i] = TOCHKA3MDF{1.0 * i, 2.0, 3.0};
    k->SkorostNav[0] = 7.0;
    k->Distancija = 9.0;
    k->VsPozNavV0();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(Tochka(k->PozNav[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z));
        EXPECT_TRUE(Tochka(k->PozNavVid[i], kNachalo[i].x, kNachalo[i].y, kNachalo[i].z));
    }
    EXPECT_EQ(7.0, k->SkorostNav[0]);
    EXPECT_EQ(9.0, k->Distancija);
}

// The viewer-fixed matrix undoes the frame's view: LookAt * VsMatrPozNav is the identity,
// in whichever matrix mode it is loaded; orbit mode takes the viewed eye.
TEST_F(Pozicija, ViewerFixedMatrixIsTheInverseOfTheView) {
    const TOCHKA3MDF e{3, -2, 1};
    k->PozNav[0] = e;
    k->PozNav[1] = Povernut({e.x, e.y, e.z - 1000}, e, {e.x, e.y + 1, e.z}, 25.0);
    k->PozNav[2] = Povernut({e.x, e.y + 1000, e.z}, e, {e.x, e.y + 1, e.z}, 25.0);
    k->PozNav[3] = Povernut({e.x + 1000, e.y, e.z}, e, {e.x, e.y + 1, e.z}, 25.0);
    const VEKTOR3MDF up{k->PozNav[2].x - e.x, k->PozNav[2].y - e.y, k->PozNav[2].z - e.z};
    const M4 vzgljad = Vzgljad(e, k->PozNav[1], up);

    glMatrixMode(GL_MODELVIEW);
    k->VsMatrPozNav();
    M4 mv;
    glGetDoublev(GL_MODELVIEW_MATRIX, mv.m);
    EXPECT_TRUE(Blizko(vzgljad * mv, Edinichnaja()));

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    k->VsMatrPozNav();
    EXPECT_TRUE(Blizko(vzgljad * Proekcija(), Edinichnaja()))
        << "loaded into the current (projection) matrix";
    M4 mv2;
    glGetDoublev(GL_MODELVIEW_MATRIX, mv2.m);
    EXPECT_TRUE(Blizko(mv2, mv)) << "the modelview matrix was not touched";

    Vkl(ZYBIT_ORBITA);
    k->PozNavVid[0] = TOCHKA3MDF{10, 20, 30};
    glMatrixMode(GL_MODELVIEW);
    k->VsMatrPozNav();
    glGetDoublev(GL_MODELVIEW_MATRIX, mv.m);
    EXPECT_NEAR(10.0, mv.m[12], 1e-5);
    EXPECT_NEAR(20.0, mv.m[13], 1e-5);
    EXPECT_NEAR(30.0, mv.m[14], 1e-5);
}

// ---- Attribute state --------------------------------------------------------------------------

// The first call saves the attribute state, later calls return to it; the stack stays at 1
// and the viewport is never restored.
TEST_F(Pozicija, NachAtribSavesOnceAndRestoresTheSavedState) {
    EXPECT_FALSE(Bit(ZYBIT_ATRIB_SOHRANEN));
    glDisable(GL_DEPTH_TEST);
    k->NachAtrib();
    EXPECT_TRUE(Bit(ZYBIT_ATRIB_SOHRANEN));
    k->NachAtrib();
    GLint glubina = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &glubina);
    EXPECT_EQ(1, glubina);

    glEnable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
    glViewport(0, 0, 50, 40);
    k->NachAtrib();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLfloat w = 0;
    glGetFloatv(GL_LINE_WIDTH, &w);
    EXPECT_EQ(1.0f, w);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(50, vp[2]) << "the viewport is left as it is";

    // A scene that pushed and forgot to pop: the whole stack goes, the saved state returns.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_DEPTH_TEST);
    glPushAttrib(GL_ENABLE_BIT);
    k->NachAtrib();
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &glubina);
    EXPECT_EQ(1, glubina);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
}

// ---- Focus plane ------------------------------------------------------------------------------

class Ploskost : public Pozicija {
protected:
    void SetUp() override {
        Pozicija::SetUp();
        // A palette with the desktop colour at 5 and the active-border colour at 9.
        struct {
            WORD versija, kol;
            PALETTEENTRY e[16];
        } lp{0x300, 16, {}};
        lp.e[5] = PALETTEENTRY{20, 200, 40, 0};
        lp.e[9] = PALETTEENTRY{250, 10, 10, 0};
        palitra = CreatePalette(reinterpret_cast<LOGPALETTE*>(&lp));
        ASSERT_NE(nullptr, palitra);
        k->Palitra = palitra;
        k->IndeksySistCvetov[1] = 5;
        k->IndeksySistCvetov[10] = 9;
        k->FormatPikselej = gl.format();
        k->MaskaOchistki = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
        glClearColor(0, 0, 0, 1);
        k->NachAtrib(); // as the context set-up does
        Vkl(ZYBIT_ORBITA);
        Vkl(ZYBIT_ORBITA_PLOSKOST);
    }
    void TearDown() override {
        k->Palitra = nullptr;
        DeleteObject(palitra);
    }
    // The RGB of a pixel of the back buffer, y from the bottom.
    static std::vector<int> Cvet(int x, int y) {
        const std::vector<unsigned char> p = zytest::GLKontekst::Piksel(x, y);
        return {p[0], p[1], p[2]};
    }
    HPALETTE palitra = nullptr;
};

const std::vector<int> kZalivka{20, 200, 40}, kRamka{250, 10, 10}, kChernyj{0, 0, 0};

// Bit 19 shows the plane at rest: filled in the middle, outlined, 65 % of the view.
TEST_F(Ploskost, IsDrawnAtRestWithBit19AndCoversTwoThirdsOfTheView) {
    Vkl(ZYBIT_PLOSKOST_VSEGDA);
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(kZalivka, Cvet(kShirina / 2, kVysota / 2));
    EXPECT_EQ(kZalivka, Cvet(40, 30));
    EXPECT_EQ(kChernyj, Cvet(3, 3)) << "the corners stay clear";
    EXPECT_EQ(kChernyj, Cvet(kShirina / 2, kVysota - 4));
    // The outline runs along the plane's edge, 17.5 % in from each side.
    bool ramka = false;
    for (int y = int(kVysota * 0.825) - 3; y <= int(kVysota * 0.825) + 3; ++y)
        ramka = ramka || Cvet(kShirina / 2, y) == kRamka;
    EXPECT_TRUE(ramka) << "no outline near the top edge of the plane";
    GLint glubina = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &glubina);
    EXPECT_EQ(1, glubina);
    double mv[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, mv);
    EXPECT_EQ(1.0, mv[0]);
    EXPECT_EQ(0.0, mv[12]) << "the modelview matrix is reset after the plane";
}

// While moving the plane shows; bit 64 hides it while moving; at rest without bit 19 it is
// hidden; object-key mode hides it always.
TEST_F(Ploskost, FollowsMotionAndItsSwitches) {
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(kChernyj, Cvet(kShirina / 2, kVysota / 2)) << "at rest";

    Vkl(ZYBIT_DVIZH1 + 4); // turning about the view axis keeps the plane in the middle
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(kZalivka, Cvet(kShirina / 2, kVysota / 2)) << "moving";

    Vkl(ZYBIT_BEZ_PLOSKOSTI);
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(kChernyj, Cvet(kShirina / 2, kVysota / 2)) << "bit 64";

    Vkl(ZYBIT_PLOSKOST_VSEGDA);
    Vkl(ZYBIT_KLAVISHI_OBJ);
    k->PozicijaNabludenija(nullptr);
    EXPECT_EQ(kChernyj, Cvet(kShirina / 2, kVysota / 2)) << "object-key mode";
}

// Past zFar from the origin the plane is not drawn and the view-axis motion stops.
TEST_F(Ploskost, PastTheFarDistanceStopsTheViewAxisMotion) {
    k->zFar = 100.0;
    for (int i = 0; i < 4; ++i)
        k->PozNav[i].z += 500.0;
    Vkl(ZYBIT_DVIZH1 + 1);
    k->PozicijaNabludenija(nullptr);
    EXPECT_FALSE(Bit(ZYBIT_DVIZH1 + 1));
    EXPECT_EQ(kChernyj, Cvet(kShirina / 2, kVysota / 2));
}

} // namespace
