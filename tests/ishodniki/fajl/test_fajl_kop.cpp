// Copy, insert, delete and transfer: the edge cases, multi-block overlapping moves checked
// byte for byte against the same operations on memory, result codes, and the failure paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>

#include "ZySchetVyzovov.h"
#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

using Bajty = std::vector<unsigned char>;
constexpr uint64_t kGran = 65536;
// Free address space that makes the copy blocks one granularity unit long.
constexpr uint64_t kMalajaPamjat = 8 * kGran;

// A fresh writable file holding `dannye`.
void novyjFajl(ZYKFAJL64& f, const std::string& imja, const Bajty& dannye) {
    ASSERT_TRUE(ZapisatBajty(imja, dannye));
    ASSERT_EQ(1, otkrytZapis(f, imja));
}

// The same operations on memory, as the file must end up.
struct Model {
    Bajty b;

    // Copies n bytes from s to d (a move), growing with zeros as a file grows.
    void kop(uint64_t d, uint64_t s, uint64_t n) {
        Bajty kusok(b.begin() + s, b.begin() + s + n);
        zapisat(d, kusok);
    }
    // Writes bytes at d.
    void zapisat(uint64_t d, const Bajty& v) {
        if (d + v.size() > b.size()) b.resize(d + v.size(), 0);
        std::copy(v.begin(), v.end(), b.begin() + d);
    }
    // Inserts bytes at p (a point past the end pads with zeros first).
    void vstavit(uint64_t p, const Bajty& v) {
        if (p > b.size()) b.resize(p, 0);
        b.insert(b.begin() + p, v.begin(), v.end());
    }
    // Inserts a copy of n bytes at s.
    void vkl(uint64_t p, uint64_t s, uint64_t n) {
        vstavit(p, Bajty(b.begin() + s, b.begin() + s + n));
    }
    // Deletes up to n bytes at p.
    void vwkl(uint64_t p, uint64_t n) {
        b.erase(b.begin() + p, b.begin() + std::min<uint64_t>(p + n, b.size()));
    }
    // Moves n bytes at s to the point d of the file as it was.
    void peredat(uint64_t d, uint64_t s, uint64_t n) {
        if (d == s || (d > s && d < s + n)) return;
        vkl(d, s, n);
        vwkl(d < s ? s + n : s, n);
    }
};

// Checks the whole file, through the object and through a separate handle.
void proverit(ZYKFAJL64& f, const Model& m, const std::string& imja, const std::string& chto) {
    ASSERT_EQ(m.b.size(), u64(f.Razmer)) << chto;
    const Bajty v = soderzhimoe(f);
    ASSERT_EQ(m.b.size(), v.size()) << chto;
    const auto raznica = std::mismatch(v.begin(), v.end(), m.b.begin());
    ASSERT_TRUE(raznica.first == v.end())
        << chto << ": first difference at " << (raznica.first - v.begin());
    ASSERT_EQ(m.b, ChitatBajty(imja)) << chto;
}

// A simple deterministic generator for the random sequences.
struct Sluchaj {
    uint32_t x;
    uint32_t operator()(uint32_t n) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return n ? x % n : 0;
    }
};

} // namespace

TEST(Kop, WritingPastTheEndGrowsTheFileWithZerosBetween) {
    ZYKFAJL64 f;
    novyjFajl(f, "rost.bin", uzor(100));
    EXPECT_EQ(-1, f.Kop(nb(1000), "0123456789", 10));
    EXPECT_EQ(1010u, u64(f.Razmer));
    EXPECT_EQ(1009u, u64(f.Poz));
    const Bajty v = ChitatBajty("rost.bin");
    ASSERT_EQ(1010u, v.size());
    EXPECT_TRUE(std::equal(v.begin(), v.begin() + 100, uzor(100).begin()));
    EXPECT_TRUE(
        std::all_of(v.begin() + 100, v.begin() + 1000, [](unsigned char c) { return c == 0; }));
    EXPECT_EQ('0', v[1000]);
    EXPECT_EQ('9', v[1009]);
    EXPECT_EQ(1, f.Kop(nb(5), "ab", 2));
    EXPECT_EQ(7u, u64(f.Poz));
}

TEST(Kop, ReadingPastTheEndFailsAndReadsNothing) {
    ZYKFAJL64 f;
    novyjFajl(f, "chtenie.bin", uzor(100));
    Bajty buf(10, 0xEE);
    EXPECT_EQ(0, f.Kop(buf.data(), nb(95), 10));
    EXPECT_EQ(Bajty(10, 0xEE), buf);
    EXPECT_EQ(0, f.Kop(buf.data(), nb(100), 1));
    EXPECT_EQ(-1, f.Kop(buf.data(), nb(90), 10)) << "the range ends at the last byte";
    EXPECT_TRUE(std::equal(buf.begin(), buf.end(), uzor(100).begin() + 90));
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(1, f.Kop(buf.data(), nb(0), 10));
    EXPECT_EQ(10u, u64(f.Poz));
}

TEST(Kop, ZeroLengthAndNullMemory) {
    ZYKFAJL64 f;
    novyjFajl(f, "nol.bin", uzor(100));
    EXPECT_EQ(1, f.Kop(nb(0), "x", 0));
    EXPECT_EQ(1, f.Kop(nb(5000), "x", 0)) << "nothing done, nothing grown";
    EXPECT_EQ(1, f.Kop(nb(0), nb(10), nb(0)));
    EXPECT_EQ(1, f.Vkl(nb(0), "x", 0));
    EXPECT_EQ(1, f.Vwkl(nb(0), nb(0)));
    EXPECT_EQ(1, f.Peredat(nb(3), nb(10), nb(0)));
    EXPECT_EQ(100u, u64(f.Razmer));
    EXPECT_EQ(0, f.Kop(nb(0), static_cast<const void*>(nullptr), 5));
    EXPECT_EQ(0, f.Kop(static_cast<void*>(nullptr), nb(0), 5));
    EXPECT_EQ(0, f.Vkl(nb(0), static_cast<const void*>(nullptr), 5));
    EXPECT_EQ(0, f.Peredat(static_cast<void*>(nullptr), nb(0), 5));
    EXPECT_EQ(uzor(100), ChitatBajty("nol.bin"));
}

TEST(Kop, RangesPastTheEndOfTheSourceFail) {
    ZYKFAJL64 f;
    novyjFajl(f, "diapazon.bin", uzor(100));
    EXPECT_EQ(0, f.Kop(nb(0), nb(100), nb(1)));
    EXPECT_EQ(0, f.Kop(nb(0), nb(50), nb(51)));
    EXPECT_EQ(0, f.Kop(nb(0), nb(kMax), nb(1)));
    EXPECT_EQ(0, f.Kop(nb(0), nb(1), nb(kMax)));
    EXPECT_EQ(0, f.Vkl(nb(0), nb(60), nb(41)));
    EXPECT_EQ(0, f.Vwkl(nb(100), nb(1)));
    EXPECT_EQ(0, f.Kop(nb(kMax - 5), "abcdefgh", 8)) << "no file reaches past 2^64";
    EXPECT_EQ(uzor(100), ChitatBajty("diapazon.bin"));
    EXPECT_EQ(-1, f.Kop(nb(50), nb(50), nb(50))) << "onto itself: nothing to move";
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(1, f.Kop(nb(10), nb(10), nb(5)));
    EXPECT_EQ(15u, u64(f.Poz));
}

TEST(Kop, DeletingTheTailOrEverything) {
    ZYKFAJL64 f;
    novyjFajl(f, "udalenie.bin", uzor(100));
    EXPECT_EQ(-1, f.Vwkl(nb(90), nb(10)));
    EXPECT_EQ(90u, u64(f.Razmer));
    EXPECT_EQ(89u, u64(f.Poz));
    EXPECT_EQ(1, f.Vwkl(nb(10), nb(5)));
    EXPECT_EQ(85u, u64(f.Razmer));
    EXPECT_EQ(10u, u64(f.Poz));
    Model m{uzor(100)};
    m.vwkl(90, 10);
    m.vwkl(10, 5);
    proverit(f, m, "udalenie.bin", "delete");
    EXPECT_EQ(-1, f.Vwkl(nb(80), nb(kMax)));
    EXPECT_EQ(-4, f.Vwkl(nb(0), nb(80)));
    EXPECT_EQ(0u, u64(f.Razmer));
    EXPECT_EQ(0, RazmerFajla("udalenie.bin"));
}

TEST(Kop, InsertingAtTheStartShiftsEveryByte) {
    ZYKFAJL64 f;
    novyjFajl(f, "vstavka.bin", uzor(100));
    EXPECT_EQ(1, f.Vkl(nb(0), "ABCDE", 5));
    Model m{uzor(100)};
    m.vstavit(0, Bajty{'A', 'B', 'C', 'D', 'E'});
    proverit(f, m, "vstavka.bin", "insert at 0");
    EXPECT_EQ(-1, f.Vkl(nb(200), "xy", 2)) << "past the end: the file grows first";
    m.vstavit(200, Bajty{'x', 'y'});
    proverit(f, m, "vstavka.bin", "insert past the end");
    EXPECT_EQ(1, f.Vkl(nb(3), nb(50), nb(20)));
    m.vkl(3, 50, 20);
    EXPECT_EQ(1, f.Vkl(nb(60), nb(10), nb(30))) << "source straddling the insertion point";
    m.vkl(60, 10, 30);
    proverit(f, m, "vstavka.bin", "same-file inserts");
    // The object's own size as the position: the insert grows the file, which must not move
    // the place the bytes go to.
    const uint64_t konec = u64(f.Razmer);
    f.Vkl(f.Razmer, "END", 3);
    m.vstavit(konec, Bajty{'E', 'N', 'D'});
    proverit(f, m, "vstavka.bin", "insert at the object's own Razmer");
}

TEST(Kop, MovingABlockUpAndDownAndIntoItself) {
    ZYKFAJL64 f;
    novyjFajl(f, "peremeshenie.bin", uzor(100));
    const Bajty o = uzor(100);
    EXPECT_NE(0, f.Peredat(nb(50), nb(0), nb(10)));
    const Bajty v = ChitatBajty("peremeshenie.bin");
    ASSERT_EQ(100u, v.size());
    EXPECT_TRUE(std::equal(v.begin(), v.begin() + 40, o.begin() + 10)) << "old 10-49 start at 0";
    EXPECT_TRUE(std::equal(v.begin() + 40, v.begin() + 50, o.begin())) << "moved bytes at 40-49";
    EXPECT_TRUE(std::equal(v.begin() + 50, v.end(), o.begin() + 50));

    Model m{v};
    EXPECT_NE(0, f.Peredat(nb(5), nb(60), nb(20)));
    m.peredat(5, 60, 20);
    proverit(f, m, "peremeshenie.bin", "move down");
    EXPECT_EQ(1, f.Peredat(nb(15), nb(10), nb(20))) << "a point inside the block: no change";
    proverit(f, m, "peremeshenie.bin", "move into itself");
    EXPECT_NE(0, f.Peredat(nb(30), nb(10), nb(20))) << "just after the block: no change either";
    m.peredat(30, 10, 20);
    proverit(f, m, "peremeshenie.bin", "move behind itself");
    Bajty buf(7);
    EXPECT_EQ(1, f.Peredat(buf.data(), nb(3), 7));
    EXPECT_TRUE(std::equal(buf.begin(), buf.end(), m.b.begin() + 3));
    m.vwkl(3, 7);
    proverit(f, m, "peremeshenie.bin", "move into memory");
    EXPECT_EQ(-1, f.Peredat(buf.data(), nb(86), 7));
    EXPECT_EQ(86u, u64(f.Razmer));
}

TEST(Kop, OneByteDownOverManyBlocks) {
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    const size_t n = 40 * kGran + 123;
    ZYKFAJL64 f;
    novyjFajl(f, "sdvig.bin", uzor(n, 3));
    const int pered = podmena.vyzovovOtobrazhenija();
    EXPECT_EQ(1, f.Kop(nb(0), nb(1), nb(n - 1)));
    EXPECT_GE(podmena.vyzovovOtobrazhenija() - pered, 2 * 40) << "one pair of views per block";
    Model m{uzor(n, 3)};
    m.kop(0, 1, n - 1);
    proverit(f, m, "sdvig.bin", "one byte down");
    EXPECT_EQ(-1, f.Kop(nb(1), nb(0), nb(n - 1)));
    m.kop(1, 0, n - 1);
    proverit(f, m, "sdvig.bin", "one byte up");
    EXPECT_EQ(1, f.Kop(nb(100), nb(300), nb(n - 1000))) << "distance of 200: word moves";
    m.kop(100, 300, n - 1000);
    EXPECT_EQ(1, f.Kop(nb(5000), nb(200), nb(n - 6000))) << "distance of 4800: memcpy pieces";
    m.kop(5000, 200, n - 6000);
    proverit(f, m, "sdvig.bin", "overlapping distances");
}

TEST(Kop, RandomSequencesMatchTheMemoryModel) {
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    Sluchaj sl{12345};
    Model m{uzor(600000, 5)};
    ZYKFAJL64 f, drugoj;
    novyjFajl(f, "sluchaj.bin", m.b);
    novyjFajl(drugoj, "sluchaj_drugoj.bin", uzor(300000, 6));
    Model md{uzor(300000, 6)};
    for (int shag = 0; shag < 60; ++shag) {
        const uint64_t razmer = m.b.size();
        const uint64_t s = sl(uint32_t(razmer));
        // At most the rest of the file and less than the other file's size.
        const uint64_t n = 1 + sl(uint32_t(std::min<uint64_t>(razmer - s, 4 * kGran)));
        const uint64_t d = sl(uint32_t(razmer + 1000));
        const std::string chto = "step " + std::to_string(shag) + " kind ";
        int r = 0;
        switch (sl(7)) {
        case 0:
            r = f.Kop(nb(d), nb(s), nb(n));
            m.kop(d, s, n);
            EXPECT_EQ(d + n > m.b.size() - 1 ? -1 : 1, r) << chto << 0;
            break;
        case 1:
            r = f.Vkl(nb(d), nb(s), nb(n));
            m.vkl(d, s, n);
            EXPECT_EQ(d >= razmer ? -1 : 1, r) << chto << 1;
            break;
        case 2: {
            const Bajty v = uzor(size_t(n), shag);
            r = f.Vkl(nb(d), v.data(), (unsigned long)n);
            m.vstavit(d, v);
            break;
        }
        case 3:
            if (m.b.size() < 200000) continue;
            r = f.Vwkl(nb(s), nb(n));
            m.vwkl(s, n);
            break;
        case 4:
            r = f.Peredat(nb(d), nb(s), nb(n));
            m.peredat(d, s, n);
            break;
        case 5: {
            const uint64_t sd = sl(uint32_t(md.b.size() - n));
            r = f.Kop(nb(d), drugoj, nb(sd), nb(n));
            m.zapisat(d, Bajty(md.b.begin() + sd, md.b.begin() + sd + n));
            break;
        }
        case 6: {
            const uint64_t sd = sl(uint32_t(md.b.size() - n));
            r = f.Vkl(nb(d), drugoj, nb(sd), nb(n));
            m.vstavit(d, Bajty(md.b.begin() + sd, md.b.begin() + sd + n));
            break;
        }
        }
        ASSERT_NE(0, r) << chto;
        proverit(f, m, "sluchaj.bin", chto);
    }
    proverit(drugoj, md, "sluchaj_drugoj.bin", "the other file stays as it was");
}

TEST(Kop, CopyingBetweenFilesSetsBothPositions) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "priemnik.bin", uzor(100, 1));
    novyjFajl(b, "istochnik.bin", uzor(100, 2));
    EXPECT_EQ(1, a.Kop(nb(0), b, nb(10), nb(20)));
    EXPECT_EQ(20u, u64(a.Poz));
    EXPECT_EQ(30u, u64(b.Poz));
    EXPECT_EQ(-1, a.Kop(nb(90), b, nb(10), nb(10)));
    EXPECT_EQ(-2, a.Kop(nb(0), b, nb(90), nb(10)));
    EXPECT_EQ(-3, a.Kop(nb(95), b, nb(90), nb(10)));
    EXPECT_EQ(105u, u64(a.Razmer));
    Model m{uzor(100, 1)};
    const Bajty o = uzor(100, 2);
    m.zapisat(0, Bajty(o.begin() + 10, o.begin() + 30));
    m.zapisat(90, Bajty(o.begin() + 10, o.begin() + 20));
    m.zapisat(0, Bajty(o.begin() + 90, o.begin() + 100));
    m.zapisat(95, Bajty(o.begin() + 90, o.begin() + 100));
    proverit(a, m, "priemnik.bin", "two-file copies");
    EXPECT_EQ(uzor(100, 2), ChitatBajty("istochnik.bin"));
    EXPECT_EQ(0, b.Kop(nb(0), a, nb(200), nb(1)));
    ZYKFAJL64 zakrytyj;
    EXPECT_EQ(0, a.Kop(nb(0), zakrytyj, nb(0), nb(1)));
}

TEST(Kop, TransferBetweenFilesCombinesBothResults) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "t_priemnik.bin", uzor(100, 1));
    novyjFajl(b, "t_istochnik.bin", uzor(100, 2));
    Model ma{uzor(100, 1)}, mb{uzor(100, 2)};
    EXPECT_EQ(1, a.Peredat(nb(10), b, nb(20), nb(5)));
    ma.vstavit(10, Bajty(mb.b.begin() + 20, mb.b.begin() + 25));
    mb.vwkl(20, 5);
    EXPECT_EQ(-1, a.Peredat(nb(105), b, nb(0), nb(5))) << "receiver clamped";
    ma.vstavit(105, Bajty(mb.b.begin(), mb.b.begin() + 5));
    mb.vwkl(0, 5);
    EXPECT_EQ(-2, a.Peredat(nb(0), b, nb(80), nb(10))) << "source cut at its end";
    ma.vstavit(0, Bajty(mb.b.begin() + 80, mb.b.begin() + 90));
    mb.vwkl(80, 10);
    proverit(a, ma, "t_priemnik.bin", "receiver");
    proverit(b, mb, "t_istochnik.bin", "source");
    EXPECT_EQ(-5, a.Peredat(nb(u64(a.Razmer)), b, nb(0), nb(80))) << "clamped and emptied";
    EXPECT_EQ(0u, u64(b.Razmer));
    ZYKFAJL64 c;
    novyjFajl(c, "t_tretij.bin", uzor(10, 3));
    EXPECT_EQ(-4, a.Peredat(nb(0), c, nb(0), nb(10)));

    ZYKFAJL64 chtenie;
    ASSERT_TRUE(ZapisatBajty("t_chtenie.bin", uzor(10, 4)));
    ASSERT_EQ(1, otkrytChtenie(chtenie, "t_chtenie.bin"));
    const uint64_t razmer = u64(a.Razmer);
    EXPECT_EQ(0, a.Peredat(nb(0), chtenie, nb(0), nb(5))) << "a source that cannot lose bytes";
    EXPECT_EQ(razmer, u64(a.Razmer)) << "nothing was inserted";
}

TEST(Kop, TwoObjectsOnOnePathInAnotherCaseAreOneFile) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "Odin_Put.bin", uzor(5 * kGran, 8));
    ASSERT_EQ(1, otkrytZapis(b, "ODIN_PUT.BIN"));
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    Model m{uzor(5 * kGran, 8)};
    EXPECT_EQ(1, a.Kop(nb(10), b, nb(0), nb(4 * kGran))) << "overlapping through two objects";
    m.kop(10, 0, 4 * kGran);
    proverit(a, m, "odin_put.bin", "copy between the two objects");
    EXPECT_EQ(1, a.Kop(nb(0), b, nb(777), nb(3 * kGran)));
    m.kop(0, 777, 3 * kGran);
    proverit(a, m, "odin_put.bin", "copy down between the two objects");
    EXPECT_EQ(-3, a.Vkl(nb(u64(a.Razmer)), b, nb(0), nb(100))) << "same-file insert, -1 as -3";
    m.vkl(m.b.size(), 0, 100);
    proverit(a, m, "odin_put.bin", "insert through the other object");
    EXPECT_EQ(1, a.Vkl(nb(5), b, nb(1000), nb(50)));
    m.vkl(5, 1000, 50);
    proverit(a, m, "odin_put.bin", "insert through the other object");
    // The move cuts the file: the other object gives up its mapping object for it.
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(1, a.Peredat(nb(100), b, nb(3 * kGran), nb(kGran + 17)));
    m.peredat(100, 3 * kGran, kGran + 17);
    proverit(a, m, "odin_put.bin", "move through the other object");
    EXPECT_EQ(-3, a.Peredat(nb(u64(a.Razmer)), b, nb(0), nb(10)));
    m.peredat(m.b.size(), 0, 10);
    proverit(a, m, "odin_put.bin", "move to the end through the other object");
    EXPECT_TRUE(nabljudatel.Okna().empty());
    b.TestDan();
    proverit(b, m, "odin_put.bin", "the other object sees the same file");
}

TEST(Kop, AHardLinkOrAShortNameIsTheSameFile) {
    // Another path to the same file: an overlapping copy through it must still be overlap-safe.
    const std::string dlinnoe = "dlinnoe_imja_fajla.dannye";
    const Bajty ishodnye = uzor(5 * kGran, 9);
    ASSERT_TRUE(ZapisatBajty(dlinnoe, ishodnye));
    DeleteFileA("zhestkaja_ssylka.bin"); // left by an earlier run
    ASSERT_TRUE(CreateHardLinkA("zhestkaja_ssylka.bin", dlinnoe.c_str(), nullptr));
    char korotkoe[MAX_PATH] = {};
    GetShortPathNameA(dlinnoe.c_str(), korotkoe, MAX_PATH);
    std::vector<std::string> drugie{"zhestkaja_ssylka.bin"};
    if (korotkoe[0] && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, korotkoe, -1,
                                      dlinnoe.c_str(), -1) != CSTR_EQUAL)
        drugie.push_back(korotkoe);
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    for (const std::string& drugoe : drugie) {
        ASSERT_TRUE(ZapisatBajty(dlinnoe, ishodnye));
        ZYKFAJL64 a, b;
        ASSERT_EQ(1, otkrytZapis(a, dlinnoe));
        ASSERT_EQ(1, otkrytZapis(b, drugoe));
        Model m{ishodnye};
        EXPECT_EQ(1, a.Kop(nb(10), b, nb(0), nb(4 * kGran))) << drugoe;
        m.kop(10, 0, 4 * kGran);
        proverit(a, m, dlinnoe, "copy up through " + drugoe);
        EXPECT_EQ(1, a.Kop(nb(0), b, nb(777), nb(3 * kGran))) << drugoe;
        m.kop(0, 777, 3 * kGran);
        proverit(a, m, dlinnoe, "copy down through " + drugoe);
    }
}

TEST(Kop, AGrowingWriteKeepsWhatAnotherObjectWroteFurtherOut) {
    // `a` still believes the file holds 100 bytes when it writes past that end; meanwhile `b`
    // has written further out, and has closed the file again or still holds it.
    ZYKFAJL64 c;
    novyjFajl(c, "rost_istochnik.bin", uzor(50, 3));
    const Bajty novye = uzor(50, 3);
    const struct {
        const char* forma;
        int (*pisat)(ZYKFAJL64& a, ZYKFAJL64& c);
    } formy[] = {
        {"memory", [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Kop(nb(200), uzor(50, 3).data(), 50); }},
        {"two files", [](ZYKFAJL64& a, ZYKFAJL64& c) { return a.Kop(nb(200), c, nb(0), nb(50)); }},
        {"byte access",
         [](ZYKFAJL64& a, ZYKFAJL64&) {
             for (size_t i = 0; i < 50; ++i)
                 a[nb(200 + i)] = uzor(50, 3)[i];
             return 1;
         }},
    };
    for (const auto& f : formy) {
        for (const bool drugojOtkryt : {false, true}) {
            ZYKFAJL64 a, b;
            novyjFajl(a, "rost.bin", uzor(100));
            ASSERT_EQ(1, otkrytZapis(b, "rost.bin"));
            EXPECT_EQ(-1, b.Kop(nb(1000), "XYZ", 3));
            if (!drugojOtkryt) b.DES();
            ZyStorozhOkon nabljudatel;
            EXPECT_NE(0, f.pisat(a, c)) << f.forma << " " << drugojOtkryt;
            Model m{uzor(100)};
            m.zapisat(1000, Bajty{'X', 'Y', 'Z'});
            m.zapisat(200, novye);
            EXPECT_EQ(m.b, ChitatBajty("rost.bin")) << f.forma << " " << drugojOtkryt;
            EXPECT_TRUE(nabljudatel.Okna().empty()) << nabljudatel.Tekst();
        }
    }
}

TEST(Kop, DeleteOrMoveWhileAnotherObjectHoldsTheFileLosesNothing) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "derzhit.bin", uzor(1000));
    ASSERT_EQ(1, otkrytZapis(b, "derzhit.bin"));
    Model m{uzor(1000)};
    {
        ZyStorozhOkon nabljudatel;
        const struct { uint64_t p, n; } udalenija[] = {{100, 50}, {100, 850}, {0, 999}, {500, 1}};
        for (const auto& u : udalenija) {
            nabljudatel.Zabyt();
            EXPECT_EQ(0, a.Vwkl(nb(u.p), nb(u.n))) << u.p << "+" << u.n;
            EXPECT_EQ(m.b, ChitatBajty("derzhit.bin")) << u.p << "+" << u.n;
            ASSERT_TRUE(nabljudatel.Zhdat(1));
            EXPECT_EQ(tekstOtcheta(ERROR_USER_MAPPED_FILE, "FIN", 5), nabljudatel.Okna()[0].tekst);
        }
        nabljudatel.Zabyt();
        Bajty buf(20);
        EXPECT_EQ(0, a.Peredat(buf.data(), nb(30), 20));
        EXPECT_EQ(m.b, ChitatBajty("derzhit.bin")) << "move into memory";
        EXPECT_TRUE(nabljudatel.Zhdat(1));
    }
    // A move within the file keeps its size (or grows it): it needs no cut and goes through.
    ZyStorozhOkon nabljudatel;
    const struct {
        uint64_t d, s, n;
    } peremeshenija[] = {{500, 100, 50}, {10, 600, 100}, {1200, 100, 50}, {0, 900, 300}};
    for (const auto& p : peremeshenija) {
        const Model bylo = m;
        const int r = a.Peredat(nb(p.d), nb(p.s), nb(p.n));
        m.peredat(p.d, p.s, p.n);
        if (r == 0) m = bylo;
        EXPECT_NE(0, r) << p.d << " " << p.s << " " << p.n;
        EXPECT_EQ(m.b, ChitatBajty("derzhit.bin")) << p.d << " " << p.s << " " << p.n;
    }
    EXPECT_TRUE(nabljudatel.Okna().empty()) << nabljudatel.Tekst();
    b.DES();
    EXPECT_EQ(1, a.Vwkl(nb(100), nb(50)));
    m.vwkl(100, 50);
    proverit(a, m, "derzhit.bin", "delete once the file is free");
}

TEST(Kop, SizesAreTakenUnderTheWriterLockOfTheChange) {
    // Another writer appends just before the change gets the writer lock: the change sees the
    // appended bytes (they move with the tail, stay behind a delete, are encoded with the rest).
    const Bajty ishodnye = uzor(1000, 31), dobavka = uzor(50, 32);
    Bajty vse = ishodnye;
    vse.insert(vse.end(), dobavka.begin(), dobavka.end());
    auto kodirovano = [](const Bajty& b) { // the encoded form, made through a receiver
        ZYKFAJL64 ist, priem;
        novyjFajl(ist, "kod_ist.bin", b);
        novyjFajl(priem, "kod_priem.bin", {});
        EXPECT_EQ(-1, ist.Kod("kljuch", nb(0), &priem));
        priem.DES();
        return ChitatBajty("kod_priem.bin");
    };
    Bajty vstavka = vse, udalenie = vse, peremeshenie = vse;
    vstavka.insert(vstavka.begin() + 10, {'a', 'b', 'c'});
    udalenie.erase(udalenie.begin() + 10, udalenie.begin() + 15);
    std::rotate(peremeshenie.begin(), peremeshenie.begin() + 5, peremeshenie.end());
    const struct {
        const char* chto;
        int (*vyzov)(ZYKFAJL64& f);
        Bajty posle;
    } sluchai[] = {
        {"insert", [](ZYKFAJL64& f) { return f.Vkl(nb(10), "abc", 3); }, vstavka},
        {"delete", [](ZYKFAJL64& f) { return f.Vwkl(nb(10), nb(5)); }, udalenie},
        {"move to the end", [](ZYKFAJL64& f) { return f.Peredat(nb(1050), nb(0), nb(5)); },
         peremeshenie},
        {"encode in place", [](ZYKFAJL64& f) { return f.Kod("kljuch", nb(0), nullptr); },
         kodirovano(vse)},
    };
    for (const auto& s : sluchai) {
        ZYKFAJL64 f;
        novyjFajl(f, "dopisano.bin", ishodnye);
        ZyStorozhOkon nabljudatel;
        {
            PodmenaVyzovov podmena;
            podmena.dopisatPriZatvore(f.hZatvor, "dopisano.bin", dobavka);
            EXPECT_NE(0, s.vyzov(f)) << s.chto;
        }
        f.DES();
        EXPECT_TRUE(s.posle == ChitatBajty("dopisano.bin")) << s.chto;
        EXPECT_TRUE(nabljudatel.Okna().empty()) << s.chto << ": " << nabljudatel.Tekst();
    }
}

TEST(Kop, TheJournalIsHeldBetweenChangesAndGoesWithTheLastObjectOfTheFile) {
    // A change leaves the journal cut to one byte and held by its object; another object of the
    // file uses the same journal; it goes when the last object closes. A journal of no change
    // (one or no byte) that a stopped process left changes nothing; one that another program
    // holds without sharing refuses the change and loses nothing.
    const std::string zh = "derzhim.bin.ZYKFAJL64-zhurnal";
    const Bajty ishodnye = uzor(3 * kGran, 5);
    const struct {
        const char* chto;
        const char* ostatok; // the journal beside the file before it is opened, or null
        bool chuzhoj;        // another program holds the journal without sharing
    } sluchai[] = {
        {"no journal", nullptr, false},
        {"a kept byte a stopped process left", "k", false},
        {"an empty journal a stopped process left", "", false},
        {"a journal another program holds", "", true},
    };
    for (const auto& s : sluchai) {
        ZyStorozhOkon nabljudatel;
        if (s.ostatok) {
            ASSERT_TRUE(ZapisatFajl(zh, s.ostatok)) << s.chto;
        }
        ZYKFAJL64 a, b;
        novyjFajl(a, "derzhim.bin", ishodnye);
        ASSERT_EQ(1, otkrytZapis(b, "derzhim.bin")) << s.chto;
        Model m{ishodnye};
        HANDLE chuzhoj = INVALID_HANDLE_VALUE;
        if (s.chuzhoj) {
            chuzhoj = CreateFileA(zh.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, chuzhoj) << s.chto;
            EXPECT_EQ(0, a.Vkl(nb(kGran), "0123456789", 10)) << s.chto;
            ASSERT_TRUE(nabljudatel.Zhdat(1)) << s.chto;
            EXPECT_EQ(tekstOtcheta(ERROR_SHARING_VIOLATION, "Zhurnal", 1),
                      nabljudatel.Okna()[0].tekst);
            proverit(a, m, "derzhim.bin", std::string(s.chto) + ": refused");
            CloseHandle(chuzhoj);
        }
        EXPECT_EQ(1, a.Vkl(nb(kGran), "0123456789", 10)) << s.chto;
        m.vstavit(kGran, Bajty{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
        EXPECT_EQ(1u, ChitatBajty(zh).size()) << s.chto << ": kept, no change in it";
        EXPECT_EQ(1, b.Vkl(nb(7), "abc", 3)) << s.chto;
        m.vstavit(7, Bajty{'a', 'b', 'c'});
        EXPECT_NE(0, a.Peredat(nb(3 * kGran), nb(5), nb(100))) << s.chto;
        m.peredat(3 * kGran, 5, 100);
        proverit(a, m, "derzhim.bin", s.chto);
        a.DES();
        EXPECT_EQ(1u, ChitatBajty(zh).size()) << s.chto << ": the other object holds it";
        b.DES();
        EXPECT_EQ(-1, RazmerFajla(zh)) << s.chto << ": gone with the last object";
        EXPECT_EQ(s.chuzhoj ? 1u : 0u, nabljudatel.Okna().size()) << nabljudatel.Tekst();
    }
}

TEST(Kop, LongRangesAreKeptInTheJournalAndAJournalThatCannotBeMadeChangesNothing) {
    // What a delete or a move keeps goes to the journal beside the file; without a journal
    // nothing moves.
    const uint64_t m16 = 16ull << 20;
    ZYKFAJL64 f;
    novyjFajl(f, "dlinnyj.bin", uzor(size_t(3 * m16 + 4 * kGran), 11));
    Model m{uzor(size_t(3 * m16 + 4 * kGran), 11)};
    {
        PodmenaVyzovov podmena;
        podmena.sbojZhurnala();
        ZyStorozhOkon nabljudatel;
        EXPECT_EQ(0, f.Vwkl(nb(kGran), nb(m16 + kGran))) << "no journal: nothing changes";
        ASSERT_TRUE(nabljudatel.Zhdat(1));
        EXPECT_EQ(tekstOtcheta(ERROR_ACCESS_DENIED, "Zhurnal", 1), nabljudatel.Okna()[0].tekst);
        EXPECT_EQ(0, f.Vkl(nb(5), "abc", 3)) << "nor for an insert";
        EXPECT_EQ(0, f.Peredat(nb(0), nb(m16 + 100), nb(m16 + 3))) << "nor for a move";
        proverit(f, m, "dlinnyj.bin", "changes that could not keep their bytes");
    }
    EXPECT_EQ(1, f.Vwkl(nb(kGran), nb(m16 + kGran)));
    m.vwkl(kGran, m16 + kGran);
    EXPECT_EQ(1, f.Peredat(nb(0), nb(m16 + 100), nb(m16 + 3)));
    m.peredat(0, m16 + 100, m16 + 3);
    proverit(f, m, "dlinnyj.bin", "delete and move of long ranges");
    EXPECT_EQ(1u, ChitatBajty("dlinnyj.bin.ZYKFAJL64-zhurnal").size())
        << "the journal is kept between changes, with no change in it";
    f.DES();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("dlinnyj.bin.ZYKFAJL64-zhurnal"))
        << "the journal is gone with the file's last object";
}

TEST(Kop, FailedViewsAreReportedWithTheirSerialAndReleaseTheLocks) {
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    const size_t n = 4 * kGran;
    ZYKFAJL64 f;
    novyjFajl(f, "sboj.bin", uzor(n + 10));
    const char* vFajle = "Kop(ksZYKNB64, ksZYKNB64, ksZYKNB64)";
    // The reader count's page stays mapped from open; ascending blocks, per block the source
    // view first: calls 1 2 | 3 4 | 5 6 | 7 8.
    const struct {
        int vyzov;
        unsigned serial;
    } sluchai[] = {{3, 1}, {4, 2}, {8, 3}};
    for (const auto& s : sluchai) {
        ZyStorozhOkon nabljudatel;
        podmena.sbojOtobrazhenija(s.vyzov, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(0, f.Kop(nb(0), nb(10), nb(n))) << s.vyzov;
        ASSERT_TRUE(nabljudatel.Zhdat(1));
        EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, vFajle, s.serial),
                  nabljudatel.Okna()[0].tekst);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0)) << "the writer gate is free";
        SetEvent(f.hZatvor);
    }
    Bajty buf(3 * kGran);
    // One file view per block: calls 1 2 3.
    for (const auto& s : {std::make_pair(2, 1u), std::make_pair(3, 2u)}) {
        ZyStorozhOkon nabljudatel;
        podmena.sbojOtobrazhenija(s.first, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(0, f.Kop(buf.data(), nb(0), (unsigned long)buf.size()));
        ASSERT_TRUE(nabljudatel.Zhdat(1));
        EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "Kop(kINDEKS, ksZYKNB64, NB32)", s.second),
                  nabljudatel.Okna()[0].tekst);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0)) << "the reader left";
        SetEvent(f.hZatvor);
    }
    {
        ZyStorozhOkon nabljudatel;
        podmena.sbojOtobrazhenija(1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(0, f.Kop(nb(5), buf.data(), 100));
        ASSERT_TRUE(nabljudatel.Zhdat(1));
        EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "Kop(ksZYKNB64, kINDEKS, NB32)", 2),
                  nabljudatel.Okna()[0].tekst)
            << "a single block is the last block";
    }
    {
        // A second object finds the count's page made and maps it at its first lock.
        ZYKFAJL64 g;
        ASSERT_EQ(1, otkrytZapis(g, "sboj.bin"));
        ZyStorozhOkon nabljudatel;
        podmena.sbojOtobrazhenija(1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(0, g.Kop(nb(5), buf.data(), 100));
        ASSERT_TRUE(nabljudatel.Zhdat(1));
        EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "FEK_SinhronZapisPref", 3),
                  nabljudatel.Okna()[0].tekst);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0))
            << "a writer prefix that failed gives the gate back";
        SetEvent(f.hZatvor);
    }
    EXPECT_EQ(-1, f.Kop(buf.data(), nb(kGran + 10), (unsigned long)buf.size()));
    EXPECT_TRUE(std::equal(buf.begin(), buf.end(), ChitatBajty("sboj.bin").begin() + kGran + 10));
}

TEST(Kop, FailedReaderPrefixGivesTheGateBack) {
    ZYKFAJL64 sozdatel, f; // f finds the reader count's page made and maps it at its first lock
    novyjFajl(sozdatel, "sboj_chtenija.bin", uzor(100));
    ASSERT_EQ(1, otkrytZapis(f, "sboj_chtenija.bin"));
    PodmenaVyzovov podmena;
    podmena.sbojOtobrazhenija(1, ERROR_NOT_ENOUGH_MEMORY); // the reader count's page
    ZyStorozhOkon nabljudatel;
    Bajty buf(10);
    EXPECT_EQ(0, f.Kop(buf.data(), nb(0), 10));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "FEK_SinhronChtenPref", 3),
              nabljudatel.Okna()[0].tekst);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0)) << "the first reader's gate";
    SetEvent(f.hZatvor);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(f.hPropusk, 0)) << "no pass left behind";
    EXPECT_EQ(1, f.Kop(buf.data(), nb(0), 10));
}

TEST(Kop, FailedPathComparisonIsReported) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "sravnenie_a.bin", uzor(10));
    novyjFajl(b, "sravnenie_b.bin", uzor(10));
    PodmenaVyzovov podmena;
    podmena.sbojSravnenija();
    const struct {
        const char* funkcija;
        unsigned serial;
    } ozhidaemye[] = {{"Kop(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)", 0},
                      {"Vkl(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)", 1},
                      {"Peredat(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)", 1}};
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(0, a.Kop(nb(0), b, nb(0), nb(5)));
    EXPECT_EQ(0, a.Vkl(nb(0), b, nb(0), nb(5)));
    EXPECT_EQ(0, a.Peredat(nb(0), b, nb(0), nb(5)));
    ASSERT_TRUE(nabljudatel.Zhdat(3));
    const auto k = nabljudatel.Okna();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(
            tekstOtcheta(ERROR_INVALID_PARAMETER, ozhidaemye[i].funkcija, ozhidaemye[i].serial),
            k[i].tekst);
    EXPECT_EQ(uzor(10), ChitatBajty("sravnenie_a.bin"));
    EXPECT_EQ(uzor(10), ChitatBajty("sravnenie_b.bin"));
}

TEST(Kop, NoFreeMemoryStillCopiesInBlocksOfOneUnit) {
    PodmenaVyzovov podmena;
    podmena.pamjat(0, 0);
    ZYKFAJL64 f;
    novyjFajl(f, "bez_pamjati.bin", uzor(3 * kGran + 7));
    EXPECT_EQ(1, f.Kop(nb(1), nb(2), nb(3 * kGran)));
    Model m{uzor(3 * kGran + 7)};
    m.kop(1, 2, 3 * kGran);
    proverit(f, m, "bez_pamjati.bin", "block of one unit");
}

TEST(Kop, ProgressDividesTheBlockSoTensOfMegabytesTakeSeveralBlocks) {
    const size_t n = 24 << 20;
    ZYKFAJL64 f;
    novyjFajl(f, "progress.bin", uzor(n, 11));
    f.Flagi |= Quorvel::ZYF64_PROGRESS;
    PodmenaVyzovov podmena;
    EXPECT_EQ(1, f.Kop(nb(3), nb(1000), nb(n - 2000)));
    EXPECT_GE(podmena.vyzovovOtobrazhenija(), 4) << "at least two blocks";
    EXPECT_EQ(1, f.Vkl(nb(7), nb(5), nb(n - 10)));
    EXPECT_EQ(0u, f.PotokProgressa) << "the window this copy started is gone with it";
    Model m{uzor(n, 11)};
    m.kop(3, 1000, n - 2000);
    m.vkl(7, 5, n - 10);
    proverit(f, m, "progress.bin", "with progress");
}

TEST(Kop, SmallCopiesMakeOnlyTheSystemCallsTheyNeed) {
    // A one-byte copy through the file handle: the lock (gate, mutex; the reader count's page
    // stays mapped from open),
    // the size and times (no whole information record, which queries the volume), one read or
    // write, the stamp; no mapping object and no view of the file. Each case runs once before
    // it is counted.
    ZYKFAJL64 f;
    novyjFajl(f, "malye.bin", uzor(4 * kGran));
    char bajt = 'x';
    const struct {
        const char* chto;
        int (*dejstvie)(ZYKFAJL64& f, char* bajt);
        const char* vyzovy;
    } sluchai[] = {
        {"Kop of 1 byte from memory",
         [](ZYKFAJL64& f, char* b) { return f.Kop(nb(kGran + 7), b, 1); },
         "SetFileTime 1, SetEvent 1, WaitForSingleObject 2, "
         "GlobalMemoryStatusEx 2, WriteFile 1, ReleaseMutex 1, GetFileSizeEx 1, GetFileTime 2"},
        {"Kop of 1 byte into memory",
         [](ZYKFAJL64& f, char* b) { return f.Kop(b, nb(kGran + 8), 1); },
         "ReleaseSemaphore 1, SetEvent 1, "
         "WaitForSingleObject 3, WaitForMultipleObjects 1, GlobalMemoryStatusEx 2, ReadFile 1, "
         "ReleaseMutex 2, GetFileSizeEx 1, GetFileTime 1"},
        // The journal of a small change: held open by the object since the first call, its
        // lock byte locked and its size looked at, its header and data in one write inside its
        // first page, cut back to its kept byte; no flush, and the end written again from
        // memory in one write.
        {"Vkl of 1 byte 100 bytes before the end",
         [](ZYKFAJL64& f, char* b) { return f.Vkl(nb(4 * kGran - 100), b, 1); },
         "SetFilePointerEx 1, SetEndOfFile 1, SetFileTime 1, SetEvent 1, WaitForSingleObject 2, "
         "GlobalMemoryStatusEx 2, HeapAlloc 1, ReadFile 1, WriteFile 2, ReleaseMutex 1, "
         "GetFileSizeEx 3, GetFileTime 3, SetFileInformationByHandle 1, LockFileEx 1, "
         "UnlockFileEx 1"},
        // Inside the last page: one look that no journal is left, the end read and written
        // again in one write; no journal, no size change.
        {"Vkl of 1 byte inside the last page",
         [](ZYKFAJL64& f, char* b) { return f.Vkl(nb(4 * kGran + 1), b, 1); },
         "SetFileTime 1, SetEvent 1, WaitForSingleObject 2, ReadFile 1, WriteFile 1, "
         "ReleaseMutex 1, GetFileSizeEx 2, GetFileTime 3, GetFileAttributesExA 1"},
        // A delete always keeps its bytes in the journal: the same calls as the insert.
        {"Vwkl of 1 byte 100 bytes before the end",
         [](ZYKFAJL64& f, char*) { return f.Vwkl(nb(4 * kGran - 100), nb(1)); },
         "SetFilePointerEx 1, SetEndOfFile 1, SetFileTime 1, SetEvent 1, WaitForSingleObject 2, "
         "GlobalMemoryStatusEx 2, HeapAlloc 1, ReadFile 1, WriteFile 2, ReleaseMutex 1, "
         "GetFileSizeEx 3, GetFileTime 3, SetFileInformationByHandle 1, LockFileEx 1, "
         "UnlockFileEx 1"},
    };
    for (const auto& s : sluchai) {
        ASSERT_EQ(1, s.dejstvie(f, &bajt)) << s.chto << ", first call";
        schet::ZySchetVyzovov schet;
        EXPECT_EQ(1, s.dejstvie(f, &bajt)) << s.chto;
        EXPECT_EQ(std::string(s.vyzovy), schet.spisok()) << s.chto;
    }
    EXPECT_EQ('x', ChitatBajty("malye.bin")[kGran + 7]);
}
