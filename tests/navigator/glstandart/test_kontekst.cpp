// The controller's rendering context: set-up on a real window, the context current and
// drawing, a repeated set-up, the format read back, and the release on WM_DESTROY.
#include "ZyKGLOrvanta2.h"
#include "ZyTestKontroler.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

// A controller on the test thread with a window of its own, its pictures presented directly
// on the window or through the offscreen target and the GDI copy (the parameter).
class Kontekst : public zytest::KontrolerNaOkne, public testing::WithParamInterface<long> {
protected:
    void SetUp() override {
        ZyVsPutPokaza(GetParam());
        KontrolerNaOkne::SetUp();
    }
    void TearDown() override {
        // Whatever a test left behind goes back to the system the engine's way, and no
        // context stays current on the test thread.
        if (k && (k->KontekstDC || k->KontekstGL || k->Palitra || k->Shrift)) {
            MSG m = Soob(WM_DESTROY);
            WMDestroy(&m);
        }
        wglMakeCurrent(nullptr, nullptr);
        ZyVsPutPokaza(ZY_POKAZ_AVTO);
    }
    bool CherezGDI() const { return GetParam() == ZY_POKAZ_GDI; }
};

} // namespace

TEST_P(Kontekst, SetUpMakesAContextCurrentWithPaletteFontAndColourTable) {
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    EXPECT_TRUE(Bit(ZYBIT_KONTEKST));
    ASSERT_NE(nullptr, k->KontekstDC);
    ASSERT_NE(nullptr, k->KontekstGL);
    EXPECT_EQ(k->KontekstGL, wglGetCurrentContext());
    EXPECT_EQ(k->KontekstDC, wglGetCurrentDC());

    EXPECT_EQ(static_cast<DWORD>(OBJ_PAL), GetObjectType(k->Palitra));
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(k->Shrift));
    EXPECT_EQ(static_cast<HGDIOBJ>(k->Palitra), GetCurrentObject(k->KontekstDC, OBJ_PAL));
    EXPECT_EQ(static_cast<HGDIOBJ>(k->Shrift), GetCurrentObject(k->KontekstDC, OBJ_FONT));
    EXPECT_NE(nullptr, k->StarajaPalitra);
    EXPECT_NE(nullptr, k->StaryjShrift);
    PALETTEENTRY e = {};
    ASSERT_EQ(1u, GetPaletteEntries(k->Palitra, 1, 1, &e));
    EXPECT_EQ(PC_NOCOLLAPSE, e.peFlags) << "the engine's palette flags";

    bool nenulevye = false;
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(GetNearestPaletteIndex(k->Palitra, GetSysColor(i)), k->IndeksySistCvetov[i])
            << "system colour " << i;
        nenulevye = nenulevye || k->IndeksySistCvetov[i] != 0;
    }
    EXPECT_TRUE(nenulevye) << "the table was filled";
}

TEST_P(Kontekst, TheContextDraws) {
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    glViewport(0, 0, 16, 16);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char px[4] = {1, 2, 3, 4};
    glReadPixels(2, 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(GL_NO_ERROR, static_cast<int>(glGetError()));
    EXPECT_EQ(255, px[0]);
    EXPECT_EQ(0, px[1]);
    EXPECT_EQ(0, px[2]);
    EXPECT_NE(nullptr, glGetString(GL_VERSION));
}

TEST_P(Kontekst, SecondSetUpMakesNoSecondContextAndCompletesTheTable) {
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    const HGLRC gl = k->KontekstGL;
    const HDC dc = k->KontekstDC;
    const HPALETTE pal = k->Palitra;
    const unsigned short rabochij = k->IndeksySistCvetov[COLOR_WINDOW];
    for (unsigned short& i : k->IndeksySistCvetov)
        i = 0;

    EXPECT_EQ(0, k->VsDCFormat(nullptr));
    EXPECT_EQ(gl, k->KontekstGL);
    EXPECT_EQ(dc, k->KontekstDC);
    EXPECT_EQ(gl, wglGetCurrentContext());
    EXPECT_EQ(pal, k->Palitra) << "an existing palette is kept";
    EXPECT_EQ(rabochij, k->IndeksySistCvetov[COLOR_WINDOW]) << "the emptied table is refilled";
    EXPECT_TRUE(Bit(ZYBIT_KONTEKST));
}

TEST_P(Kontekst, FormatReadBackIsTheOneInUse) {
    PIXELFORMATDESCRIPTOR p = {};
    EXPECT_EQ(0, k->VzDCFormat(nullptr));
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    ASSERT_EQ(1, k->VzDCFormat(&p));
    PIXELFORMATDESCRIPTOR ozhidaemyj = {};
    DescribePixelFormat(k->KontekstDC, GetPixelFormat(k->KontekstDC), sizeof ozhidaemyj,
                        &ozhidaemyj);
    EXPECT_EQ(0, memcmp(&ozhidaemyj, &p, sizeof p));
    EXPECT_EQ(PFD_TYPE_RGBA, p.iPixelType);
}

TEST_P(Kontekst, NoDeviceContextIsReportedUntranslated) {
    k->hwnd = nullptr;
    zytest::ZyStorozhOkon storozh;
    EXPECT_EQ(0, k->VsDCFormat(nullptr));
    ASSERT_TRUE(storozh.Zhdat(1)) << "the report box";
    const std::vector<zytest::ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Module: ZyGLStandart", okna[0].zagolovok);
    EXPECT_EQ("Context of video device = NULL.", okna[0].tekst);
    EXPECT_FALSE(Bit(ZYBIT_KONTEKST));
    EXPECT_EQ(nullptr, k->KontekstGL);
}

TEST_P(Kontekst, DestroyReleasesPaletteFontAndContexts) {
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    const HDC dc = k->KontekstDC;
    const HGLRC gl = k->KontekstGL;
    const HPALETTE pal = k->Palitra;
    const HFONT font = k->Shrift;
    const HGDIOBJ staraja = k->StarajaPalitra;
    const HGDIOBJ staryj = k->StaryjShrift;
    k->threadAlive = 1;

    MSG m = Soob(WM_DESTROY);
    WMDestroy(&m);

    EXPECT_EQ(0u, GetObjectType(pal)) << "palette deleted";
    EXPECT_EQ(0u, GetObjectType(font)) << "font deleted";
    if (CherezGDI()) {
        EXPECT_EQ(0u, GetObjectType(dc)) << "the offscreen target's DC went with its window";
    } else {
        EXPECT_EQ(staraja, GetCurrentObject(dc, OBJ_PAL)) << "the replaced palette is back";
        EXPECT_EQ(staryj, GetCurrentObject(dc, OBJ_FONT)) << "the replaced font is back";
    }
    EXPECT_EQ(nullptr, wglGetCurrentContext());
    EXPECT_FALSE(wglMakeCurrent(dc, gl)) << "the context was deleted";
    EXPECT_EQ(nullptr, k->KontekstGL);
    EXPECT_EQ(nullptr, k->KontekstDC);
    EXPECT_EQ(nullptr, k->Palitra);
    EXPECT_EQ(nullptr, k->Shrift);
    EXPECT_EQ(nullptr, k->StarajaPalitra);
    EXPECT_EQ(nullptr, k->StaryjShrift);
    EXPECT_TRUE(Bit(ZYBIT_UNICHTOZHENO));
    EXPECT_FALSE(Bit(ZYBIT_KONTEKST));
    EXPECT_EQ(0, k->threadAlive);
    EXPECT_EQ(nullptr, k->hwnd);
}

TEST_P(Kontekst, DestroyWithoutContextReleasesWhatThereIs) {
    // A palette and font made after a failed set-up were never selected: still deleted.
    k->Palitra = ZySozdatPalitruAutoCAD(PC_NOCOLLAPSE);
    k->Shrift = ZySistemnwjShrift(4);
    const HPALETTE pal = k->Palitra;
    const HFONT font = k->Shrift;
    MSG m = Soob(WM_DESTROY);
    WMDestroy(&m);
    EXPECT_EQ(0u, GetObjectType(pal));
    EXPECT_EQ(0u, GetObjectType(font));
    EXPECT_TRUE(Bit(ZYBIT_UNICHTOZHENO));
}

TEST_P(Kontekst, ThePixelFormatIsOnTheViewOrOnAHiddenTargetOfItsClientSize) {
    ASSERT_EQ(1, k->VsDCFormat(nullptr));
    HDC vida = GetDC(k->hwnd);
    const int naVide = GetPixelFormat(vida);
    ReleaseDC(k->hwnd, vida);
    HWND nositel = WindowFromDC(k->KontekstDC);
    if (!CherezGDI()) {
        EXPECT_NE(0, naVide);
        EXPECT_EQ(k->hwnd, nositel);
        return;
    }
    EXPECT_EQ(0, naVide) << "GDI output into the view needs a window without a pixel format";
    ASSERT_NE(nullptr, nositel);
    EXPECT_NE(k->hwnd, nositel);
    EXPECT_FALSE(IsWindowVisible(nositel));
    EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(nositel, nullptr));
    EXPECT_EQ(0, GetWindowLongPtrA(nositel, GWL_STYLE) & WS_CHILD);
    RECT a{}, b{};
    GetClientRect(k->hwnd, &a);
    GetClientRect(nositel, &b);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
}

INSTANTIATE_TEST_SUITE_P(Puti, Kontekst, testing::Values(ZY_POKAZ_PRJAMO, ZY_POKAZ_GDI),
                         [](const testing::TestParamInfo<long>& i) {
                             return i.param == ZY_POKAZ_GDI ? std::string("CherezGDI")
                                                            : std::string("Prjamo");
                         });
