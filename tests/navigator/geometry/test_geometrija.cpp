// Vector, point and matrix operators and the three point transforms, on a real GL context.
#include "ZyKGLOrvanta2.h"
#include "ZyTestGL.h"
#include "ZyTestTochki.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace Quorvel;
using zytest::Povernut;
using zytest::Tochka;

namespace {

constexpr double kTochno = 1e-9;

// The identity matrix.
MATRICA_DF4x4 Edinichnaja() {
    MATRICA_DF4x4 m{};
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1.0;
    return m;
}

class Geometrija : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.gotov()) << "no OpenGL context";
        zytest::SbrositSostojanie(160, 120);
        kontrol.reset(new ZYKGLKONTROL());
        // A modelview matrix and mode a transform must leave as they are.
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslated(1.5, -2.0, 3.25);
        glRotated(20.0, 0.0, 1.0, 0.0);
        glMatrixMode(GL_PROJECTION);
        do_ = zytest::SostojanieMatric::Seichas();
    }
    void TearDown() override {
        EXPECT_TRUE(zytest::SostojanieMatric::Seichas() == do_)
            << "matrix mode or modelview matrix changed";
        EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
    }

    zytest::GLKontekst& gl = zytest::ObshchijKontekst();
    std::unique_ptr<ZYKGLKONTROL> kontrol;
    zytest::SostojanieMatric do_;
};

// ---- Shift ------------------------------------------------------------------------------------

// One, four, five and seven points (full groups, partial groups, both): each moves by v once.
TEST_F(Geometrija, ShiftMovesEveryPointOnceWhateverTheGroupSplit) {
    const VEKTOR3MDF v{0.5, -1.25, 1e3};
    for (int kol : {1, 2, 3, 4, 5, 7, 8, 9}) {
        TOCHKA3MDF t[9];
        for (int i = 0; i < 9; ++i)
            t[i] = TOCHKA3MDF{double(i), 10.0 * i, -100.0 * i};
        ASSERT_EQ(1, kontrol->SdvigTochek(v, t, kol)) << kol;
        for (int i = 0; i < kol; ++i)
            EXPECT_TRUE(Tochka(t[i], i + 0.5, 10.0 * i - 1.25, -100.0 * i + 1e3))
                << kol << " points, point " << i;
        for (int i = kol; i < 9; ++i)
            EXPECT_TRUE(Tochka(t[i], i, 10.0 * i, -100.0 * i)) << "point past the count moved";
    }
}

// Tiny steps on far points keep double precision (a single-precision stack would lose 4e-5).
TEST_F(Geometrija, ShiftKeepsDoublePrecisionOnFarPoints) {
    TOCHKA3MDF t[4] = {{0, 0, 0}, {0, 0, -1000}, {0, 1000, 0}, {1000, 0, 0}};
    const VEKTOR3MDF v{0.0, 0.0, -0.04};
    for (int i = 0; i < 25; ++i)
        kontrol->SdvigTochek(v, t, 4);
    EXPECT_TRUE(Tochka(t[1], 0, 0, -1001.0));
    EXPECT_TRUE(Tochka(t[3], 1000, 0, -1.0));
}

// ---- Rotation ---------------------------------------------------------------------------------

// 90 degrees about +z maps x to y, about -z maps x to -y; points on the axis stay.
TEST_F(Geometrija, RotationSenseFollowsTheRightHandRule) {
    const double ugol = 90.0;
    TOCHKA3MDF t[3] = {{1, 0, 0}, {0, 0, 5}, {0, 0, -2}};
    ASSERT_EQ(1, kontrol->PovorotTochek(ugol, {0, 0, 0}, {0, 0, 1}, t, 3));
    EXPECT_TRUE(Tochka(t[0], 0, 1, 0));
    EXPECT_TRUE(Tochka(t[1], 0, 0, 5));
    EXPECT_TRUE(Tochka(t[2], 0, 0, -2));

    TOCHKA3MDF u[1] = {{1, 0, 0}};
    ASSERT_EQ(1, kontrol->PovorotTochek(ugol, {0, 0, 0}, {0, 0, -1}, u, 1));
    EXPECT_TRUE(Tochka(u[0], 0, -1, 0));

    const double minus = -90.0;
    TOCHKA3MDF w[1] = {{0, 1, 0}};
    kontrol->PovorotTochek(minus, {0, 0, 0}, {1, 0, 0}, w, 1);
    EXPECT_TRUE(Tochka(w[0], 0, 0, -1));
}

// The axis runs through a, not through the origin.
TEST_F(Geometrija, RotationAboutALineAwayFromTheOrigin) {
    const double ugol = 90.0;
    TOCHKA3MDF t[2] = {{3, 3, 0}, {2, 3, 7}};
    ASSERT_EQ(1, kontrol->PovorotTochek(ugol, {2, 3, 0}, {2, 3, 5}, t, 2));
    EXPECT_TRUE(Tochka(t[0], 2, 4, 0));
    EXPECT_TRUE(Tochka(t[1], 2, 3, 7)) << "a point on the line stays";
}

// An arbitrary angle and skew axis against the axis-angle rotation formula (to 1e-9), for seven
// points so that a partial group is included; and against the rendering library's own glRotated.
TEST_F(Geometrija, RotationMatchesTheAxisAngleFormulaAndTheRenderingLibrary) {
    const double ugol = 37.5;
    const TOCHKA3MDF a{1, -2, 0.5}, b{2, 0, 3.5};
    TOCHKA3MDF t[7], ishodnye[7];
    for (int i = 0; i < 7; ++i)
        t[i] = ishodnye[i] = TOCHKA3MDF{i * 1.5 - 3, 2.0 - i, 0.25 * i * i};
    ASSERT_EQ(1, kontrol->PovorotTochek(ugol, a, b, t, 7));
    const VEKTOR3MDF os{b.x - a.x, b.y - a.y, b.z - a.z};
    for (int i = 0; i < 7; ++i) {
        const TOCHKA3MDF e = Povernut(ishodnye[i], a, b, ugol);
        EXPECT_TRUE(Tochka(t[i], e.x, e.y, e.z)) << "point " << i;
    }
    // glRotated's sense (single precision there, so a coarse tolerance).
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(a.x, a.y, a.z);
    glRotated(ugol, os.x, os.y, os.z);
    glTranslated(-a.x, -a.y, -a.z);
    MATRICA_DF4x4 m;
    glGetDoublev(GL_MODELVIEW_MATRIX, m.m);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    for (int i = 0; i < 7; ++i) {
        const TOCHKA3MDF g = ishodnye[i] * m;
        EXPECT_NEAR(g.x, t[i].x, 1e-5);
        EXPECT_NEAR(g.y, t[i].y, 1e-5);
        EXPECT_NEAR(g.z, t[i].z, 1e-5);
    }
}

// A rotation axis of zero length turns nothing (and produces no NaN).
TEST_F(Geometrija, RotationAboutAZeroAxisLeavesThePoints) {
    const double ugol = 45.0;
    TOCHKA3MDF t[1] = {{1, 2, 3}};
    EXPECT_EQ(1, kontrol->PovorotTochek(ugol, {4, 4, 4}, {4, 4, 4}, t, 1));
    EXPECT_TRUE(Tochka(t[0], 1, 2, 3));
}

// ---- Change by a matrix -----------------------------------------------------------------------

// The translation in m[12..14] moves the points; a fourth row is applied without division by w.
TEST_F(Geometrija, ChangeByAMatrixUsesItsTranslationAndIgnoresTheFourthRow) {
    MATRICA_DF4x4 m = Edinichnaja();
    m.m[12] = 10, m.m[13] = -20, m.m[14] = 30;
    TOCHKA3MDF t[5] = {{1, 2, 3}, {0, 0, 0}, {-1, -1, -1}, {4, 5, 6}, {7, 8, 9}};
    ASSERT_EQ(1, kontrol->IzmenenieTochek(m, t, 5));
    EXPECT_TRUE(Tochka(t[0], 11, -18, 33));
    EXPECT_TRUE(Tochka(t[4], 17, -12, 39));

    // A general matrix with a fourth row (2, 3, 4, 5): w would be far from 1.
    MATRICA_DF4x4 g;
    for (int i = 0; i < 16; ++i)
        g.m[i] = i + 1;
    TOCHKA3MDF p[1] = {{1, -1, 2}};
    ASSERT_EQ(1, kontrol->IzmenenieTochek(g, p, 1));
    // r_i = x m[i] + y m[4+i] + z m[8+i] + m[12+i]
    EXPECT_TRUE(Tochka(p[0], 1 * 1 - 5 + 2 * 9 + 13, 2 - 6 + 2 * 10 + 14, 3 - 7 + 2 * 11 + 15));
}

// Null arrays and counts below 1 are refused and change nothing.
TEST_F(Geometrija, TransformsRefuseEmptyInput) {
    TOCHKA3MDF t[1] = {{1, 2, 3}};
    const double ugol = 30.0;
    const MATRICA_DF4x4 m = Edinichnaja();
    EXPECT_EQ(0, kontrol->SdvigTochek({1, 1, 1}, nullptr, 3));
    EXPECT_EQ(0, kontrol->SdvigTochek({1, 1, 1}, t, 0));
    EXPECT_EQ(0, kontrol->SdvigTochek({1, 1, 1}, t, -4));
    EXPECT_EQ(0, kontrol->PovorotTochek(ugol, {0, 0, 0}, {0, 0, 1}, nullptr, 1));
    EXPECT_EQ(0, kontrol->PovorotTochek(ugol, {0, 0, 0}, {0, 0, 1}, t, 0));
    EXPECT_EQ(0, kontrol->IzmenenieTochek(m, nullptr, 1));
    EXPECT_EQ(0, kontrol->IzmenenieTochek(m, t, 0));
    EXPECT_TRUE(Tochka(t[0], 1, 2, 3));
}

// ---- Operators --------------------------------------------------------------------------------

// point x matrix takes the translation from m[12..14], matrix x point from m[3], m[7], m[11].
TEST_F(Geometrija, TheTwoPointProductsDifferForATranslationAndAgreeForASymmetricMatrix) {
    MATRICA_DF4x4 t = Edinichnaja();
    t.m[12] = 5, t.m[13] = 6, t.m[14] = 7;
    const TOCHKA3MDF p{1, 2, 3};
    EXPECT_TRUE(Tochka(p * t, 6, 8, 10));
    EXPECT_TRUE(Tochka(t * p, 1, 2, 3)) << "m[3], m[7], m[11] are 0";

    MATRICA_DF4x4 s{};
    const double sim[16] = {2, 1, 0, 4, 1, 3, 5, 6, 0, 5, 7, 8, 4, 6, 8, 1};
    for (int i = 0; i < 16; ++i)
        s.m[i] = sim[i];
    const TOCHKA3MDF a = p * s, b = s * p;
    EXPECT_TRUE(Tochka(a, b.x, b.y, b.z));
    EXPECT_TRUE(Tochka(a, 2 + 2 + 0 + 4, 1 + 6 + 15 + 6, 0 + 10 + 21 + 8));
}

// (p * A) * B == p * (A *= B) for affine matrices; *= leaves mode and modelview as found.
TEST_F(Geometrija, ProductComposesRowVectorTransforms) {
    MATRICA_DF4x4 a = Edinichnaja(), b = Edinichnaja();
    // A: a rotation of 90 degrees about z with a translation; B: a scale with a translation.
    a.m[0] = 0, a.m[1] = 1, a.m[4] = -1, a.m[5] = 0;
    a.m[12] = 1, a.m[13] = 2, a.m[14] = 3;
    b.m[0] = 2, b.m[5] = 3, b.m[10] = 4;
    b.m[12] = -1, b.m[13] = 0.5, b.m[14] = 10;
    const TOCHKA3MDF p{1.5, -2, 0.25};
    const TOCHKA3MDF dva_shaga = (p * a) * b;
    MATRICA_DF4x4 ab = a;
    MATRICA_DF4x4& rez = (ab *= b);
    EXPECT_EQ(&ab, &rez);
    EXPECT_TRUE(Tochka(p * ab, dva_shaga.x, dva_shaga.y, dva_shaga.z));
    // In the rendering library's reading: ab = b * a, as glLoadMatrixd(b); glMultMatrixd(a).
    EXPECT_TRUE(Tochka(dva_shaga, (2 + 1) * 2 - 1, (1.5 + 2) * 3 + 0.5, (0.25 + 3) * 4 + 10));
}

// Transposing twice gives the matrix back; once swaps m[4i + j] and m[4j + i].
TEST_F(Geometrija, TransposeSwapsRowsAndColumns) {
    MATRICA_DF4x4 m;
    for (int i = 0; i < 16; ++i)
        m.m[i] = i * 1.25 - 3;
    MATRICA_DF4x4 t = m;
    t.Transponirovat();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_EQ(m.m[4 * j + i], t.m[4 * i + j]);
    t.Transponirovat();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], t.m[i]);
}

// Normal() returns the length before and leaves a unit vector; a zero vector stays zero.
TEST_F(Geometrija, NormalAndLength) {
    VEKTOR3MDF v{3, 4, 0};
    EXPECT_DOUBLE_EQ(5.0, v.Mod());
    EXPECT_DOUBLE_EQ(5.0, v.Normal());
    EXPECT_NEAR(0.6, v.x, kTochno);
    EXPECT_NEAR(0.8, v.y, kTochno);
    EXPECT_EQ(0.0, v.z);
    VEKTOR3MDF nol{0, 0, 0};
    EXPECT_EQ(0.0, nol.Normal());
    EXPECT_EQ(0.0, nol.x);
    EXPECT_EQ(0.0, nol.y);
    EXPECT_EQ(0.0, nol.z);
}

// The types are plain memory: the point of observation is passed as one array of four.
TEST(GeometrijaRaskladka, TypesArePlainDoubles) {
    static_assert(sizeof(VEKTOR3MDF) == 24, "three doubles");
    static_assert(sizeof(TOCHKA3MDF) == 24, "three doubles");
    static_assert(sizeof(MATRICA_DF4x4) == 128, "sixteen doubles");
    static_assert(sizeof(ZYS_REGION_VIDA) == 32, "four doubles");
    SUCCEED();
}

} // namespace
