// Display-list blocks per scene: static blocks by name, dynamic blocks, deletion of the lists
// in the rendering context, scene keys, and the counters' restart.
#include "ZyTestSpiski.h"

#include <GL/gl.h>

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
    EXPECT_EQ(1, k->GenSpisokS(10, "zhivoj"));
    EXPECT_EQ(11, k->GenSpisokS(0x7FFFFFF0, "ogromnyj"));
    // NOTE: without a current context the huge block goes without a glDeleteLists of two
    // thousand million numbers.
    wglMakeCurrent(nullptr, nullptr);
    EXPECT_EQ(1, k->VwklSpisok(11));
    wglMakeCurrent(k->KontekstDC, k->KontekstGL);
    // Past 0x7FFFFFFF the counter starts again at 1, where "zhivoj" still holds 1..10.
    EXPECT_EQ(11, k->GenSpisokS(0x10, "posle"));
    EXPECT_EQ(27, k->GenSpisokS(1, "dalshe"));
}
