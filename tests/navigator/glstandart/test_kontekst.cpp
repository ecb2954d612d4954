// The controller's rendering context: set-up on a real window, the context current and
// drawing, a repeated set-up, the format read back, and the release on WM_DESTROY.
#include "ZyKGLOrvanta2.h"
#include "ZyTestKontroler.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <vector>

using namespace Quorvel;

namespace {

// A controller on the test thread with a window of its own.
class Kontekst : public zytest::KontrolerNaOkne {
protected:
    void TearDown() override {
        // Whatever a test left behind: no context stays current on the test thread, and the
        // GDI objects go back to the system.
        wglMakeCurrent(nullptr, nullptr);
        if (!k) return;
        if (k->KontekstGL) wglDeleteContext(k->KontekstGL);
        if (k->KontekstDC && k->StarajaPalitra)
            SelectPalette(k->KontekstDC, static_cast<HPALETTE>(k->StarajaPalitra), TRUE);
        if (k->KontekstDC && k->StaryjShrift) SelectObject(k->KontekstDC, k->StaryjShrift);
        if (k->Palitra) DeleteObject(k->Palitra);
        if (k->Shrift) DeleteObject(k->Shrift);
    }
};

} // namespace

TEST_F(Kontekst, SetUpMakesAContextCurrentWithPaletteFontAndColourTable) {
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

TEST_F(Kontekst, TheContextDraws) {
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

TEST_F(Kontekst, SecondSetUpMakesNoSecondContextAndCompletesTheTable) {
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

TEST_F(Kontekst, FormatReadBackIsTheOneInUse) {
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

TEST_F(Kontekst, NoDeviceContextIsReportedUntranslated) {
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

TEST_F(Kontekst, DestroyReleasesPaletteFontAndContexts) {
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
    EXPECT_EQ(staraja, GetCurrentObject(dc, OBJ_PAL)) << "the replaced palette is back";
    EXPECT_EQ(staryj, GetCurrentObject(dc, OBJ_FONT)) << "the replaced font is back";
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

TEST_F(Kontekst, DestroyWithoutContextReleasesWhatThereIs) {
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
