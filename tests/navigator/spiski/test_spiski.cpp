// Display-list blocks per scene: static blocks by name, dynamic blocks, deletion of the lists
// in the rendering context, scene keys, and the counters' restart.
#include "ZyTestSpiski.h"

#include <GL/gl.h>

#include <string>

using namespace Quorvel;

namespace {

class Spiski : public zyt::Spiski {};

// Compiles `n` empty lists from `pervyj` on.
void Skompilirovat(long pervyj, long n) {
    for (long i = 0; i < n; ++i) {
        glNewList(static_cast<GLuint>(pervyj + i), GL_COMPILE);
        glEndList();
    }
}

} // namespace

TEST_F(Spiski, StaticAndDynamicBlocksOfAFirstAndASecondVisit) {
    struct Shag {
        const char* chto;
        long (*deistvie)(ZYKGLKONTROL&);
        long ozhidaetsja;
    };
    const Shag shagi[] = {
        {"generation needed", [](ZYKGLKONTROL& k) -> long { return k.GenSpisokTestS(); }, 1},
        {"first static block", [](ZYKGLKONTROL& k) { return k.GenSpisokS(256, "Tekst"); }, 1},
        {"second static block", [](ZYKGLKONTROL& k) { return k.GenSpisokS(6, "Osi"); }, 257},
        {"past the built-in scene's fixed numbers 1001..1012",
         [](ZYKGLKONTROL& k) { return k.GenSpisokS(800, "Dlinnyj"); }, 1013},
        {"the next right after it", [](ZYKGLKONTROL& k) { return k.GenSpisokS(2, "Dalshe"); },
         1813},
        {"no name", [](ZYKGLKONTROL& k) { return k.GenSpisokS(6, nullptr); }, 0},
        {"no count", [](ZYKGLKONTROL& k) { return k.GenSpisokS(0, "x"); }, 0},
        {"not before the end", [](ZYKGLKONTROL& k) { return k.VzSpisokS("Osi"); }, 0},
        {"end of generation",
         [](ZYKGLKONTROL& k) -> long {
             k.GenSpisokSFin();
             return 1;
         },
         1},
        {"fetched by name", [](ZYKGLKONTROL& k) { return k.VzSpisokS("Osi"); }, 257},
        {"unknown name", [](ZYKGLKONTROL& k) { return k.VzSpisokS("Net"); }, 0},
        {"second visit", [](ZYKGLKONTROL& k) -> long { return k.GenSpisokTestS(); }, 0},
        {"no generation then", [](ZYKGLKONTROL& k) { return k.GenSpisokS(6, "Novyj"); }, 0},
        {"no dynamic block", [](ZYKGLKONTROL& k) -> long { return k.GenSpisokTestD(); }, 1},
        {"first dynamic block", [](ZYKGLKONTROL& k) { return k.GenSpisokD(3); },
         static_cast<long>(0x80000000ul)},
        {"next right after it", [](ZYKGLKONTROL& k) { return k.GenSpisokD(2); },
         static_cast<long>(0x80000003ul)},
        {"dynamic count 0", [](ZYKGLKONTROL& k) { return k.GenSpisokD(0); }, 0},
        {"a dynamic block exists", [](ZYKGLKONTROL& k) -> long { return k.GenSpisokTestD(); }, 0},
        {"static block deleted", [](ZYKGLKONTROL& k) -> long { return k.VwklSpisok(1); }, 1},
        {"its name is gone", [](ZYKGLKONTROL& k) { return k.VzSpisokS("Tekst"); }, 0},
        {"dynamic block deleted",
         [](ZYKGLKONTROL& k) -> long { return k.VwklSpisok(0x80000000ul); }, -1},
        {"no block there", [](ZYKGLKONTROL& k) -> long { return k.VwklSpisok(12345); }, 0},
        {"remaining dynamic", [](ZYKGLKONTROL& k) -> long { return k.VwklSpiskiD(); }, 1},
        {"remaining static", [](ZYKGLKONTROL& k) -> long { return k.VwklSpiskiS(); }, 1},
        {"generation open again", [](ZYKGLKONTROL& k) -> long { return k.GenSpisokTestS(); }, 1},
        {"record removed", [](ZYKGLKONTROL& k) -> long { return k.VwklSpiski(); }, 1},
        {"nothing left to remove", [](ZYKGLKONTROL& k) -> long { return k.VwklSpiski(); }, 0},
    };
    for (const Shag& s : shagi)
        EXPECT_EQ(s.ozhidaetsja, s.deistvie(*k)) << s.chto;
}

TEST_F(Spiski, DeletingABlockDeletesItsListsInTheContext) {
    const long s = k->GenSpisokS(4, "S");
    const long d = k->GenSpisokD(3);
    Skompilirovat(s, 4);
    Skompilirovat(d, 3);
    ASSERT_TRUE(glIsList(static_cast<GLuint>(s + 3)));
    ASSERT_TRUE(glIsList(static_cast<GLuint>(d)));
    EXPECT_EQ(1, k->VwklSpisok(static_cast<unsigned long>(s)));
    EXPECT_EQ(-1, k->VwklSpisok(static_cast<unsigned long>(d)));
    for (long i = 0; i < 4; ++i)
        EXPECT_FALSE(glIsList(static_cast<GLuint>(s + i))) << "static list " << i;
    for (long i = 0; i < 3; ++i)
        EXPECT_FALSE(glIsList(static_cast<GLuint>(d + i))) << "dynamic list " << i;
}

TEST_F(Spiski, ScenesKeepSeparateBlocksUnderEqualNamesAndEvictionDeletesByKey) {
    EXPECT_EQ(1, k->GenSpisokS(5, "Obshchee"));
    k->GenSpisokSFin();
    const long dA = k->GenSpisokD(2);
    Scena("ModB.dll\\Konstr"); // a second scene module (one backslash: the key is "ModB.dll")
    EXPECT_EQ(1, k->GenSpisokTestS()) << "the second scene has its own record";
    EXPECT_EQ(6, k->GenSpisokS(5, "Obshchee"));
    k->GenSpisokSFin();
    EXPECT_EQ(6, k->VzSpisokS("Obshchee"));
    EXPECT_EQ(0, k->VwklSpisok(static_cast<unsigned long>(dA))) << "not this scene's block";
    EXPECT_EQ(1, k->GenSpisokTestD());

    EXPECT_EQ(0, k->VwklSpiskiD(nullptr));
    EXPECT_EQ(0, k->VwklSpiskiD("Net.dll"));
    EXPECT_EQ(1, k->VwklSpiskiD("ModA.dll")) << "the first scene's dynamic blocks, by key";
    Scena("C:\\scenes\\ModA.dll\\Konstr");
    EXPECT_EQ(1, k->VzSpisokS("Obshchee")) << "its static blocks stay";
    EXPECT_EQ(1, k->GenSpisokTestD());
}

TEST_F(Spiski, AnAddressWithoutABackslashMakesEveryOperationZero) {
    Scena("BezKosoj");
    EXPECT_EQ(0, k->GenSpisokTestS());
    EXPECT_EQ(0, k->GenSpisokS(4, "a"));
    k->GenSpisokSFin();
    EXPECT_EQ(0, k->VzSpisokS("a"));
    EXPECT_EQ(0, k->GenSpisokTestD());
    EXPECT_EQ(0, k->GenSpisokD(4));
    EXPECT_EQ(0, k->VwklSpisok(1));
    EXPECT_FALSE(k->VwklSpiskiS());
    EXPECT_FALSE(k->VwklSpiskiD());
    EXPECT_EQ(0, k->VwklSpiski());
}

TEST_F(Spiski, ARestartedCounterSkipsNumbersStillInUse) {
    // NOTE: without a current context the huge blocks go without a glDeleteLists of two
    // thousand million numbers.
    const auto udalit = [](ZYKGLKONTROL& k, long pervyj) -> long {
        wglMakeCurrent(nullptr, nullptr);
        const long r = k.VwklSpisok(static_cast<unsigned long>(pervyj));
        wglMakeCurrent(k.KontekstDC, k.KontekstGL);
        return r;
    };
    const struct {
        const char* chto;
        long kol; // numbers asked for, or 0: delete the block "ogromnyj" instead
        long ozhidaetsja;
    } shagi[] = {
        {"zhivoj", 10, 1},
        {"ogromnyj", 0x7FFFF000, 1013},
        {"verkh", 0x10, 0x7FFFF3F5},
        {"ogromnyj deleted", 0, 1},
        // Past 0x7FFFFFFF the counter starts again at 1, where "zhivoj" still holds 1..10.
        {"posle", 0x1000, 1013},
        // Up to "verkh" exactly fits; one more would reach into it, and no other range is free.
        {"do verha s lishnim", 0x7FFFE001, 0},
        {"do verha", 0x7FFFE000, 0x13F5},
    };
    long ogromnyj = 0;
    for (const auto& s : shagi) {
        const long r = s.kol ? k->GenSpisokS(s.kol, s.chto) : udalit(*k, ogromnyj);
        EXPECT_EQ(s.ozhidaetsja, r) << s.chto;
        if (std::string(s.chto) == "ogromnyj") ogromnyj = r;
    }
}

TEST_F(Spiski, ABlockDeletesItsListsOnlyInItsControllersContext) {
    const long s = k->GenSpisokS(2, "S");
    Skompilirovat(s, 2);
    // Another controller's context current: lists of the same numbers there stay.
    zytest::Okno okno2;
    ZYKGLKONTROL k2;
    k2.hwnd = okno2.hwnd();
    ASSERT_EQ(1, k2.VsDCFormat(nullptr));
    Skompilirovat(s, 2);
    EXPECT_EQ(1, k->VwklSpisok(static_cast<unsigned long>(s)));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(s))) << "the other context's list";
    MSG m = {};
    m.hwnd = reinterpret_cast<HWND>(&k2);
    m.message = WM_DESTROY;
    WMDestroy(&m);
    ASSERT_TRUE(wglMakeCurrent(k->KontekstDC, k->KontekstGL));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(s))) << "not deleted in the wrong context";
}
