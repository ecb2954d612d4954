// Setting the pixel format of a window or device context, and its failure reports.
#include "ZyKGLOrvanta2.h"
#include "ZyTestOkno.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace Quorvel;

namespace {

const char kZagolovok[] = "Module: ZyGLStandart";

// The descriptor of the format a device context has now.
PIXELFORMATDESCRIPTOR Tekushchij(HDC dc) {
    PIXELFORMATDESCRIPTOR p = {};
    const int n = GetPixelFormat(dc);
    EXPECT_NE(0, n);
    if (n) DescribePixelFormat(dc, n, sizeof p, &p);
    return p;
}

// A descriptor the window's device context cannot satisfy with the default one chosen.
PIXELFORMATDESCRIPTOR Drugoj() {
    PIXELFORMATDESCRIPTOR p = {};
    p.nSize = sizeof p;
    p.nVersion = 1;
    p.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DEPTH_DONTCARE;
    p.cColorBits = 16;
    return p;
}

} // namespace

TEST(PikselnyjFormat, NullArgumentGivesNull) {
    PIXELFORMATDESCRIPTOR p = {};
    EXPECT_EQ(nullptr, ZyUstanovitPikselnyyFormat(nullptr, &p));
}

TEST(PikselnyjFormat, DefaultFormatOnAWindowGivesItsDeviceContext) {
    zytest::Okno okno;
    ASSERT_NE(nullptr, okno.hwnd());
    HDC dc = static_cast<HDC>(ZyUstanovitPikselnyyFormat(okno.hwnd(), nullptr));
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(GetDC(okno.hwnd()), dc) << "the window's own device context";
    const PIXELFORMATDESCRIPTOR p = Tekushchij(dc);
    const DWORD nuzhno = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    EXPECT_EQ(nuzhno, p.dwFlags & nuzhno);
    EXPECT_EQ(PFD_TYPE_RGBA, p.iPixelType);
    EXPECT_GE(p.cColorBits, 24);
    EXPECT_GE(p.cDepthBits, 24);
}

TEST(PikselnyjFormat, CallersDescriptorIsOverwrittenWithTheFormatObtained) {
    zytest::Okno okno;
    PIXELFORMATDESCRIPTOR p = {};
    p.nSize = sizeof p;
    p.nVersion = 1;
    p.dwFlags = 0; // becomes draw-to-window, OpenGL, double buffer
    p.cColorBits = 24;
    p.cDepthBits = 24;
    HDC dc = static_cast<HDC>(ZyUstanovitPikselnyyFormat(okno.hwnd(), &p));
    ASSERT_NE(nullptr, dc);
    const PIXELFORMATDESCRIPTOR obtained = Tekushchij(dc);
    EXPECT_EQ(0, std::memcmp(&obtained, &p, sizeof p)) << "the caller's copy is the format set";
    EXPECT_EQ(0x25u, p.dwFlags & 0x25u);
}

TEST(PikselnyjFormat, DescriptorOfSizeZeroMeansTheDefault) {
    zytest::Okno okno;
    PIXELFORMATDESCRIPTOR p = {};
    p.nSize = 0;
    p.dwFlags = PFD_DRAW_TO_BITMAP; // ignored with the rest of this descriptor
    HDC dc = static_cast<HDC>(ZyUstanovitPikselnyyFormat(okno.hwnd(), &p));
    ASSERT_NE(nullptr, dc);
    EXPECT_EQ(static_cast<DWORD>(PFD_DOUBLEBUFFER), Tekushchij(dc).dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(sizeof p, p.nSize) << "filled with the format obtained";
}

TEST(PikselnyjFormat, DeviceContextArgumentIsUsedAsIs) {
    zytest::Okno okno;
    HDC dc = GetDC(okno.hwnd());
    EXPECT_EQ(dc, ZyUstanovitPikselnyyFormat(dc, nullptr));
    EXPECT_NE(0, GetPixelFormat(dc));
}

TEST(PikselnyjFormat, ChooseFailureIsReportedAndFlagsZeroBecome0x25) {
    // Not a window and not a device context: the format cannot be chosen.
    PIXELFORMATDESCRIPTOR p = {};
    p.nSize = sizeof p;
    p.nVersion = 1;
    p.dwFlags = 0;
    zytest::ZyStorozhOkon storozh;
    EXPECT_EQ(nullptr, ZyUstanovitPikselnyyFormat(reinterpret_cast<void*>(0x12340), &p));
    ASSERT_TRUE(storozh.Zhdat(1)) << "the report box";
    const std::vector<zytest::ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ(kZagolovok, okna[0].zagolovok);
    EXPECT_EQ("ChoosePixelFormat failed. Str 113.", okna[0].tekst);
    EXPECT_EQ(0x25u, p.dwFlags);
}

TEST(PikselnyjFormat, SecondDifferentFormatIsRefusedAndReported) {
    zytest::Okno okno;
    HDC dc = static_cast<HDC>(ZyUstanovitPikselnyyFormat(okno.hwnd(), nullptr));
    ASSERT_NE(nullptr, dc);
    const int pervyj = GetPixelFormat(dc);
    PIXELFORMATDESCRIPTOR p = Drugoj();
    if (ChoosePixelFormat(dc, &p) == pervyj) GTEST_SKIP() << "no second format to choose";
    zytest::ZyStorozhOkon storozh;
    EXPECT_EQ(nullptr, ZyUstanovitPikselnyyFormat(okno.hwnd(), &p));
    ASSERT_TRUE(storozh.Zhdat(1)) << "the report box";
    const std::vector<zytest::ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ(kZagolovok, okna[0].zagolovok);
    EXPECT_EQ("SetPixelFormat failed. Str 118.", okna[0].tekst);
    EXPECT_EQ(pervyj, GetPixelFormat(dc)) << "the first format stays";
}
