// Colour numbers, text through display lists, transparency by key colour and the pause
// screen's words.
#include "ZyTestFajly.h"
#include "ZyTestImport.h"
#include "ZyTestOkno.h"
#include "ZyTestSoobshenija.h"
#include "ZyTestSpiski.h"

#include <GL/gl.h>

#include <string>

using namespace Quorvel;

namespace {

class TekstCvet : public zyt::Spiski {
protected:
    // The colour of the pixel (x, y) of the rendering (from the bottom left), as RGB().
    static COLORREF Piksel(int x, int y) {
        unsigned char p[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return RGB(p[0], p[1], p[2]);
    }
    // Clears the rectangle (x, y, w, h) of the rendering to a colour.
    static void Zalit(int x, int y, int w, int h, float r, float g, float b) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(x, y, w, h);
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    // A flat 2-D projection of the client area for drawing rectangles in pixels.
    void Ploskost() const {
        RECT c{};
        GetClientRect(k->hwnd, &c);
        glViewport(0, 0, c.right, c.bottom);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, c.right, 0, c.bottom, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
};

} // namespace

TEST_F(TekstCvet, PaletteNumbersAndTriplesInBothColourModes) {
    Ploskost();
    const struct {
        unsigned char n;
        COLORREF ozhidaetsja;
    } nomera[] = {{7, RGB(252, 252, 252)}, {10, RGB(255, 0, 0)}, {43, RGB(197, 183, 131)}};
    for (const auto& c : nomera) {
        ASSERT_EQ(1, k->cvet(c.n)) << int(c.n);
        glRectf(0, 0, 8, 8);
        glFinish();
        EXPECT_EQ(c.ozhidaetsja, Piksel(2, 2)) << "colour number " << int(c.n);
    }
    unsigned char zheltyj[3] = {200, 180, 10};
    ASSERT_EQ(1, k->cvet(zheltyj));
    glRectf(0, 0, 8, 8);
    glFinish();
    EXPECT_EQ(RGB(200, 180, 10), Piksel(2, 2)) << "a triple is set as it is";
    EXPECT_EQ(0, k->cvet(nullptr));

    // Colour-index mode: the number itself, or the nearest one to a triple.
    k->FormatPikselej.iPixelType = PFD_TYPE_COLORINDEX;
    GLint indeks = -1;
    ASSERT_EQ(1, k->cvet(static_cast<unsigned char>(7)));
    glGetIntegerv(GL_CURRENT_INDEX, &indeks);
    EXPECT_EQ(7, indeks);
    unsigned char krasnyj[3] = {255, 0, 0};
    ASSERT_EQ(1, k->cvet(krasnyj));
    glGetIntegerv(GL_CURRENT_INDEX, &indeks);
    EXPECT_EQ(10, indeks) << "the palette number nearest to pure red";
    k->FormatPikselej.iPixelType = 7; // neither mode
    EXPECT_EQ(0, k->cvet(static_cast<unsigned char>(7)));
    EXPECT_EQ(0, k->cvet(krasnyj));
}

TEST_F(TekstCvet, TextCallsTheListOfEachByte) {
    Ploskost();
    const long baza = k->GenSpisokS(256, "Tekst");
    ASSERT_NE(0, baza);
    // Lists 'a', 'b', 'c' each draw a square of their own colour and move on by 8 pixels.
    const float cveta[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int i = 0; i < 3; ++i) {
        glNewList(static_cast<GLuint>(baza + 'a' + i), GL_COMPILE);
        glColor3fv(cveta[i]);
        glRectf(0, 0, 8, 8);
        glTranslatef(8, 0, 0);
        glEndList();
    }
    Zalit(0, 0, 64, 48, 0, 0, 0);
    k->Tekst2M(static_cast<unsigned long>(baza), "abc", 0);
    glFinish();
    EXPECT_EQ(RGB(255, 0, 0), Piksel(3, 3));
    EXPECT_EQ(RGB(0, 255, 0), Piksel(11, 3));
    EXPECT_EQ(RGB(0, 0, 255), Piksel(19, 3));
    glLoadIdentity();
    Zalit(0, 0, 64, 48, 0, 0, 0);
    k->Tekst2M(static_cast<unsigned long>(baza), "cab", 1); // one byte only
    glFinish();
    EXPECT_EQ(RGB(0, 0, 255), Piksel(3, 3));
    EXPECT_EQ(RGB(0, 0, 0), Piksel(11, 3));
    k->Tekst2M(static_cast<unsigned long>(baza), nullptr, 0); // nothing
    // Without a font block (base 0) text calls no list, not even lists 1..255 of others.
    glNewList(static_cast<GLuint>('1'), GL_COMPILE);
    glLineWidth(6);
    glEndList();
    glLineWidth(1);
    k->Tekst2M(0ul, "1", 0);
    GLfloat shirinaLinii = 0;
    glGetFloatv(GL_LINE_WIDTH, &shirinaLinii);
    EXPECT_EQ(1.0f, shirinaLinii);

    // The system font's bitmaps become lists of the characters asked for.
    const long shrift = k->GenSpisokS(256, "Shrift");
    k->Tekst2M(4ul, 0ul, 256ul, static_cast<unsigned long>(shrift));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(shrift + 'A')));
    k->Tekst2M(static_cast<void*>(nullptr), 0, 256, static_cast<unsigned long>(shrift));

    // Each character moves the raster position by its width, the blank too, so words keep
    // their gaps ("+1 x" is wider than "+1x" by one blank).
    auto shirina = [&](const char* tekst) {
        glLoadIdentity();
        glRasterPos2i(0, 0);
        k->Tekst2M(static_cast<unsigned long>(shrift), tekst, 0);
        GLfloat poz[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, poz);
        return poz[0];
    };
    const float probel = shirina(" ");
    EXPECT_GT(probel, 0.0f) << "the blank moves the raster position";
    EXPECT_FLOAT_EQ(shirina("+1x") + probel, shirina("+1 x"));
    EXPECT_FLOAT_EQ(3 * probel, shirina("   "));
}

// ExtCreateRegion that fails.
HRGN WINAPI NetRegiona(const XFORM*, DWORD, const RGNDATA*) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// A scene's pixel-store and pixel-transfer settings, as a scene may leave them.
struct SostojaniePikselej {
    const char* chto;
    void (*vkl)(int w, int h);
    void (*vykl)();
};
const SostojaniePikselej kSostojanija[] = {
    {"defaults", [](int, int) {}, [] {}},
    {"pack rows and pixels skipped",
     [](int, int h) {
         glPixelStorei(GL_PACK_SKIP_ROWS, h / 2);
         glPixelStorei(GL_PACK_SKIP_PIXELS, 7);
     },
     [] {
         glPixelStorei(GL_PACK_SKIP_ROWS, 0);
         glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
     }},
    {"pack row length and alignment",
     [](int w, int) {
         glPixelStorei(GL_PACK_ROW_LENGTH, w + 13);
         glPixelStorei(GL_PACK_ALIGNMENT, 8);
     },
     [] {
         glPixelStorei(GL_PACK_ROW_LENGTH, 0);
         glPixelStorei(GL_PACK_ALIGNMENT, 4);
     }},
    {"transfer scale and bias",
     [](int, int) {
         glPixelTransferf(GL_ALPHA_SCALE, 0.5f);
         glPixelTransferf(GL_RED_BIAS, 0.5f);
     },
     [] {
         glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
         glPixelTransferf(GL_RED_BIAS, 0.0f);
     }},
    {"colour maps", [](int, int) { glPixelTransferi(GL_MAP_COLOR, GL_TRUE); },
     [] { glPixelTransferi(GL_MAP_COLOR, GL_FALSE); }},
};

TEST_F(TekstCvet, KeyColouredPixelsBecomeHolesUntilTheShapeIsRemoved) {
    RECT c{};
    GetClientRect(k->hwnd, &c);
    const int w = c.right, h = c.bottom;
    glViewport(0, 0, w, h);
    Zalit(0, 0, w, h, 1, 1, 1);
    Zalit(0, 0, w / 2, h, 0, 0, 0); // the key colour (0, 0, 0, 255): left half
    Zalit(w - 1, 0, 1, h, 0, 0, 0); // and the last column
    glFinish();
    k->KlyuchevojCvet = 0xFF000000ul;
    k->Flagi.Vkl(ZYBIT_PROZRACHNO, ZYBIT_PROZRACHNO);

    // The region is in window coordinates: the client area starts inside the frame.
    RECT okno{};
    GetWindowRect(k->hwnd, &okno);
    POINT o{0, 0};
    ClientToScreen(k->hwnd, &o);
    const int dx = o.x - okno.left, dy = o.y - okno.top;
    const struct {
        int x, y;
        bool vidno;
        const char* chto;
    } tochki[] = {{2, 2, false, "left half"},
                  {w / 2 - 1, h - 1, false, "left half, last row"},
                  {w / 2 + 1, 2, true, "right half"},
                  {w - 2, h / 2, true, "right half before the last column"},
                  {w - 1, h / 2, false, "last column"}};
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    // Whatever pixel settings the scene left, the shape is the same and the settings stay.
    for (const SostojaniePikselej& s : kSostojanija) {
        SCOPED_TRACE(s.chto);
        s.vkl(w, h);
        GLint skip = -1;
        GLfloat bias = -1;
        ASSERT_EQ(1, k->Prozrachno());
        glGetIntegerv(GL_PACK_SKIP_ROWS, &skip);
        glGetFloatv(GL_RED_BIAS, &bias);
        s.vykl();
        EXPECT_TRUE(Bit(ZYBIT_PROZRACHNO_EST));
        ASSERT_NE(ERROR, GetWindowRgn(k->hwnd, r));
        for (const auto& t : tochki)
            EXPECT_EQ(t.vidno, PtInRegion(r, t.x + dx, t.y + dy) != 0) << t.chto;
        EXPECT_TRUE(PtInRegion(r, dx > 0 ? dx - 1 : 0, 0)) << "the frame stays whole";
        EXPECT_TRUE(skip == 0 || skip == h / 2) << "the scene's settings are restored";
        EXPECT_TRUE(bias == 0.0f || bias == 0.5f);
    }

    k->NeProzrachno();
    EXPECT_FALSE(Bit(ZYBIT_PROZRACHNO_EST));
    EXPECT_EQ(nullptr, k->RegionOkna);
    ASSERT_NE(ERROR, GetWindowRgn(k->hwnd, r));
    for (const auto& t : tochki)
        EXPECT_TRUE(PtInRegion(r, t.x + dx, t.y + dy)) << "whole again: " << t.chto;

    // A region that cannot be made cuts nothing: reported once, and 0.
    {
        zytest::ZyStorozhOkon korobki;
        zytest::ZamenaImporta bezRegiona(GetModuleHandleA("ZyKGLOrvanta2.dll"), "gdi32.dll",
                                         "ExtCreateRegion", reinterpret_cast<void*>(NetRegiona));
        ASSERT_TRUE(bezRegiona.Est());
        EXPECT_EQ(0, k->Prozrachno());
        EXPECT_EQ(0, k->Prozrachno());
        EXPECT_EQ(1u, korobki.Ostanovit().size()) << "one report";
        ASSERT_NE(ERROR, GetWindowRgn(k->hwnd, r));
        EXPECT_TRUE(PtInRegion(r, 2 + dx, 2 + dy)) << "nothing cut";
    }
    k->NeProzrachno();

    // A view larger than the desktop is whole again too.
    zytest::Okno bolshoe(0, 0, 1400, 1000, WS_POPUP);
    RECT b{};
    GetWindowRect(bolshoe.hwnd(), &b);
    ASSERT_GT(b.right - b.left, GetSystemMetrics(SM_CXSCREEN) + 100);
    const HWND svoe = k->hwnd;
    k->hwnd = bolshoe.hwnd();
    k->NeProzrachno();
    k->hwnd = svoe;
    ASSERT_NE(ERROR, GetWindowRgn(bolshoe.hwnd(), r));
    EXPECT_TRUE(PtInRegion(r, b.right - b.left - 1, b.bottom - b.top - 1)) << "its far corner";
    DeleteObject(r);
}

TEST_F(TekstCvet, ThePauseScreenTranslatesItsWordsAndShowsTheTitleLineOnlyWithATitle) {
    const char* slova[] = {"PAUSE",   "VENDOR",    "RENDERER",
                           "VERSION", "NAVIGATOR", "NAVIGATOR VERSION"};
    std::remove("ZyPerevodTeksta.txt");
    k->TekstPauzy[0] = '\0';
    HDC svoj = GetDC(k->hwnd); // the window class's own DC, which the window thread paints with
    const int fon = GetBkMode(svoj);
    const COLORREF cvet = GetTextColor(svoj);
    k->Pauza();
    EXPECT_EQ(fon, GetBkMode(svoj)) << "the pause screen draws on a DC of its own";
    EXPECT_EQ(cvet, GetTextColor(svoj));
    ReleaseDC(k->hwnd, svoj);
    std::string t = zytest::ChitatFajl("ZyPerevodTeksta.txt");
    for (const char* s : slova)
        EXPECT_NE(std::string::npos, t.find(std::string("\r\n ") + s + "\r\n")) << s;
    EXPECT_EQ(std::string::npos, t.find("SCENE")) << "no title, no title line";

    std::strcpy(k->TekstPauzy, "Moja scena");
    k->Pauza();
    t = zytest::ChitatFajl("ZyPerevodTeksta.txt");
    EXPECT_NE(std::string::npos, t.find("SCENE"));
}
