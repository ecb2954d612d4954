// Block moves through the file handle: overlapping moves at block boundaries, files one byte longer
// than a block, a read or a write that fails half-way (in a copy, an insert, a delete and a
// move), handles that refuse unaligned or synchronous I/O, and the zone of another object that
// sees the copied bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

#include "fajl_pomoshch.h"
#include "kopija_v_pamjati.h"

using namespace zytest;

namespace {

using Bajty = std::vector<unsigned char>;
constexpr uint64_t kGran = 65536;
// Free address space that makes the copy blocks one granularity unit long.
constexpr uint64_t kMalajaPamjat = 8 * kGran;
// The longest block between two files with memory to spare.
constexpr uint64_t kBuferMaks = 1 << 20;

// A fresh writable file holding `dannye`.
void novyjFajl(ZYKFAJL64& f, const std::string& imja, const Bajty& dannye) {
    ASSERT_TRUE(ZapisatBajty(imja, dannye));
    ASSERT_EQ(1, otkrytZapis(f, imja));
}

// Where two byte arrays first differ, for failure messages.
std::string raznica(const Bajty& a, const Bajty& b) {
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    const auto r = std::mismatch(a.begin(), a.end(), b.begin());
    return r.first == a.end() ? "equal"
                              : "first difference at " + std::to_string(r.first - a.begin());
}

} // namespace

TEST(Peredacha, OverlappingMovesAtBlockBoundariesInBothDirections) {
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30); // blocks of one granularity unit
    const uint64_t B = kGran;
    const Bajty ishodnye = uzor(size_t(6 * B + 3), 21);
    ZYKFAJL64 f;
    novyjFajl(f, "granicy.bin", ishodnye);
    const struct {
        uint64_t kuda, otkuda, dlina;
    } sluchai[] = {
        {0, 1, 3 * B},         {1, 0, 3 * B},         // one byte, blocks of exactly B
        {0, B - 1, 2 * B + 1}, {B - 1, 0, 2 * B + 1}, // distance one short of a block
        {0, B, 3 * B},         {B, 0, 3 * B},         // distance of exactly one block
        {B, 2 * B + 1, B + 1}, {2 * B + 1, B, B + 1}, // distance one past a block
        {7, 7 + 2 * B, B - 1}, {7 + 2 * B, 7, B - 1}, // disjoint, shorter than a block
        {3, 5, 6 * B - 2},     {5, 3, 6 * B - 2},     // nearly the whole file
    };
    for (const auto& s : sluchai) {
        // The file is mapped, so it cannot be written anew from outside: back through f.
        ASSERT_NE(0, f.Kop(nb(0), ishodnye.data(), (unsigned long)ishodnye.size()));
        const int chtenij = podmena.vyzovovChtenija();
        EXPECT_NE(0, f.Kop(nb(s.kuda), nb(s.otkuda), nb(s.dlina)));
        EXPECT_EQ(int((s.dlina + B - 1) / B), podmena.vyzovovChtenija() - chtenij)
            << "one read per block of " << B;
        const Bajty v = ChitatBajty("granicy.bin");
        EXPECT_EQ(sKopiej(ishodnye, s.kuda, ishodnye, s.otkuda, s.dlina), v)
            << s.kuda << " <- " << s.otkuda << ", " << s.dlina << ": "
            << raznica(sKopiej(ishodnye, s.kuda, ishodnye, s.otkuda, s.dlina), v);
    }
}

TEST(Peredacha, FilesOneByteLongerThanABlock) {
    // Every form on a file of one block and a byte, for the small blocks of a machine short of
    // memory and for the longest block.
    for (const bool malo : {true, false}) {
        PodmenaVyzovov podmena;
        if (malo) podmena.pamjat(kMalajaPamjat, 1ull << 30);
        const uint64_t n = (malo ? kGran : kBuferMaks) + 1;
        const Bajty a = uzor(size_t(n), 31), drugie = uzor(size_t(n), 32);
        const struct {
            const char* chto;
            int rezultat;
            std::function<int(ZYKFAJL64&, ZYKFAJL64&, Bajty&)> dejstvie;
            std::function<Bajty()> ozhidaemoe;
        } sluchai[] = {
            {"file to file", -3,
             [&](ZYKFAJL64& f, ZYKFAJL64& g, Bajty&) { return f.Kop(nb(0), g, nb(0), nb(n)); },
             [&] { return drugie; }},
            {"one byte up", -1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) { return f.Kop(nb(1), nb(0), nb(n)); },
             [&] { return sKopiej(a, 1, a, 0, n); }},
            {"one byte down", 1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) { return f.Kop(nb(0), nb(1), nb(n - 1)); },
             [&] { return sKopiej(a, 0, a, 1, n - 1); }},
            {"file to memory", -1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty& ozu) {
                 const int r = f.Kop(ozu.data(), nb(0), (unsigned long)n);
                 return ozu == a ? r : 0;
             },
             [&] { return a; }},
            {"memory to file", -1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) {
                 return f.Kop(nb(0), drugie.data(), (unsigned long)n);
             },
             [&] { return drugie; }},
            {"insert of a byte at 0", 1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) { return f.Vkl(nb(0), "X", 1); },
             [&] {
                 Bajty v = a;
                 v.insert(v.begin(), 'X');
                 return v;
             }},
            {"delete of a byte at 0", 1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) { return f.Vwkl(nb(0), nb(1)); },
             [&] { return Bajty(a.begin() + 1, a.end()); }},
            {"move of the first byte to the end", -1,
             [&](ZYKFAJL64& f, ZYKFAJL64&, Bajty&) { return f.Peredat(nb(n), nb(0), nb(1)); },
             [&] {
                 Bajty v = a;
                 std::rotate(v.begin(), v.begin() + 1, v.end());
                 return v;
             }},
        };
        for (const auto& s : sluchai) {
            const std::string chto = std::string(s.chto) + (malo ? " (small blocks)" : "");
            ZYKFAJL64 f, g;
            novyjFajl(f, "blok_i_bajt.bin", a);
            novyjFajl(g, "blok_i_bajt_drugoj.bin", drugie);
            Bajty ozu(static_cast<size_t>(n));
            ZyStorozhOkon nabljudatel;
            EXPECT_EQ(s.rezultat, s.dejstvie(f, g, ozu)) << chto;
            const Bajty v = ChitatBajty("blok_i_bajt.bin");
            EXPECT_TRUE(s.ozhidaemoe() == v) << chto << ": " << raznica(s.ozhidaemoe(), v);
            EXPECT_EQ(drugie, ChitatBajty("blok_i_bajt_drugoj.bin")) << chto;
            EXPECT_TRUE(nabljudatel.Okna().empty()) << chto << ": " << nabljudatel.Tekst();
        }
    }
}

TEST(Peredacha, AFailedReadOrWriteIsReportedWithTheSerialOfItsViewAndLosesNothing) {
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    const uint64_t B = kGran, n = 3 * B + 1; // four blocks, the last of one byte
    const Bajty ishodnye = uzor(size_t(5 * B), 41), drugie = uzor(size_t(5 * B), 42);
    const char* vFajle = "Kop(ksZYKNB64, ksZYKNB64, ksZYKNB64)";
    const char* fajly = "Kop(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)";
    const char* vOzu = "Kop(kINDEKS, ksZYKNB64, NB32)";
    const char* izOzu = "Kop(ksZYKNB64, kINDEKS, NB32)";
    enum Forma { VFajle, Fajly, VOzu, IzOzu };
    const struct {
        const char* chto;
        Forma forma;
        uint64_t kuda, otkuda;
        bool chtenie; // a read fails, else a write
        int nomer;    // the failing call of its kind
        const char* funkcija;
        unsigned serial;
        uint64_t sdelanoOt, sdelanoDo; // offsets of the copy that were done before the failure
    } sluchai[] = {
        {"other file, second write", Fajly, 10, 20, false, 2, fajly, 1, 0, B},
        {"other file, third read", Fajly, 10, 20, true, 3, fajly, 1, 0, 2 * B},
        {"down, second read", VFajle, 100, 200, true, 2, vFajle, 1, 0, B},
        {"down, second write", VFajle, 100, 200, false, 2, vFajle, 2, 0, B},
        {"down, last write", VFajle, 100, 200, false, 4, vFajle, 3, 0, 3 * B},
        {"up, second read", VFajle, 300, 100, true, 2, vFajle, 1, 2 * B + 1, n},
        {"up, first write", VFajle, 300, 100, false, 1, vFajle, 2, n, n},
        {"up, last write", VFajle, 300, 100, false, 4, vFajle, 3, 1, n},
        {"into memory, second read", VOzu, 0, 50, true, 2, vOzu, 1, 0, B},
        {"into memory, last read", VOzu, 0, 50, true, 4, vOzu, 2, 0, 3 * B},
        {"from memory, first write", IzOzu, 70, 0, false, 1, izOzu, 1, 0, 0},
        {"from memory, last write", IzOzu, 70, 0, false, 4, izOzu, 2, 0, 3 * B},
    };
    for (const auto& s : sluchai) {
        ZYKFAJL64 f, g;
        novyjFajl(f, "sboj_vvoda.bin", ishodnye);
        novyjFajl(g, "sboj_vvoda_drugoj.bin", drugie);
        Bajty ozu(static_cast<size_t>(n), 0xEE);
        // What the copy would write; only the part done before the failure may have arrived.
        const Bajty& ist = s.forma == Fajly ? drugie : s.forma == IzOzu ? drugie : ishodnye;
        Bajty ozhidaemoe = ishodnye;
        if (s.forma != VOzu)
            ozhidaemoe = sKopiej(ishodnye, s.kuda + s.sdelanoOt, ist, s.otkuda + s.sdelanoOt,
                                 s.sdelanoDo - s.sdelanoOt);
        ZyStorozhOkon nabljudatel;
        podmena.sbojVvoda(s.chtenie, s.nomer, ERROR_DISK_FULL);
        int r = -9;
        switch (s.forma) {
        case VFajle:
            r = f.Kop(nb(s.kuda), nb(s.otkuda), nb(n));
            break;
        case Fajly:
            r = f.Kop(nb(s.kuda), g, nb(s.otkuda), nb(n));
            break;
        case VOzu:
            r = f.Kop(ozu.data(), nb(s.otkuda), (unsigned long)n);
            break;
        case IzOzu:
            r = f.Kop(nb(s.kuda), drugie.data(), (unsigned long)n);
            break;
        }
        podmena.sbojVvoda(s.chtenie, 0, 0);
        EXPECT_EQ(0, r) << s.chto;
        ASSERT_TRUE(nabljudatel.Zhdat(1)) << s.chto;
        EXPECT_EQ(tekstOtcheta(ERROR_DISK_FULL, s.funkcija, s.serial), nabljudatel.Okna()[0].tekst)
            << s.chto;
        EXPECT_EQ(1u, nabljudatel.Okna().size()) << s.chto << ": " << nabljudatel.Tekst();
        const Bajty v = ChitatBajty("sboj_vvoda.bin");
        EXPECT_TRUE(ozhidaemoe == v) << s.chto << ": " << raznica(ozhidaemoe, v);
        EXPECT_EQ(drugie, ChitatBajty("sboj_vvoda_drugoj.bin")) << s.chto << ": source intact";
        if (s.forma == VOzu) {
            EXPECT_TRUE(
                std::equal(ozu.begin(), ozu.begin() + s.sdelanoDo, ishodnye.begin() + s.otkuda))
                << s.chto << ": the blocks read before the failure";
        }
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0)) << s.chto << ": gate free";
        SetEvent(f.hZatvor);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g.hZatvor, 0)) << s.chto << ": gate free";
        SetEvent(g.hZatvor);
        EXPECT_EQ(1, f.Kop(nb(0), "A", 1)) << s.chto << ": the next copy works";
    }
}

TEST(Peredacha, AnInsertDeleteOrMoveThatFailsHalfWayIsTakenBack) {
    // Each read, then each write (failing whole, or after writing half its bytes) of an insert,
    // a delete or a move within a file of several blocks fails in turn. The operation reports
    // once, returns 0 and leaves the file exactly as before, also when a block longer than the
    // distance of a move was written in part.
    PodmenaVyzovov podmena;
    podmena.pamjat(kMalajaPamjat, 1ull << 30);
    const uint64_t B = kGran;
    const Bajty ishodnye = uzor(size_t(5 * B), 71);
    enum Vid { Udalenie, Peremeshenie, Vstavka, VstavkaOzu };
    const struct {
        const char* chto;
        Vid vid;
        uint64_t kuda, otkuda, dlina;
    } sluchai[] = {
        {"delete, a tail longer than the deleted bytes", Udalenie, 0, 100, B + 7},
        {"delete, a tail shorter than the deleted bytes", Udalenie, 0, 2 * B, 2 * B + 5},
        {"delete of 3 bytes: blocks longer than the distance", Udalenie, 0, 10, 3},
        {"move up, the block kept", Peremeshenie, 4 * B + 3, 10, B + 1},
        {"move up, the bytes passed over kept", Peremeshenie, 5 * B, 5, 3 * B},
        {"move down, the block kept", Peremeshenie, 10, 3 * B, B / 2},
        {"move down, the bytes passed over kept", Peremeshenie, 7, 2 * B, 2 * B + 9},
        {"insert of 5 bytes from the file", Vstavka, 20, 3 * B, 5},
        {"insert of 5 bytes from memory at the end: one write, no journal", VstavkaOzu, 5 * B, 0,
         5},
    };
    for (const auto& s : sluchai) {
        Bajty posle = ishodnye;
        if (s.vid == Udalenie) {
            posle.erase(posle.begin() + s.otkuda, posle.begin() + s.otkuda + s.dlina);
        } else if (s.vid == Vstavka || s.vid == VstavkaOzu) {
            const Bajty v(ishodnye.begin() + s.otkuda, ishodnye.begin() + s.otkuda + s.dlina);
            posle.insert(posle.begin() + s.kuda, v.begin(), v.end());
        } else if (s.kuda < s.otkuda) {
            std::rotate(posle.begin() + s.kuda, posle.begin() + s.otkuda,
                        posle.begin() + s.otkuda + s.dlina);
        } else {
            std::rotate(posle.begin() + s.otkuda, posle.begin() + s.otkuda + s.dlina,
                        posle.begin() + s.kuda);
        }
        for (const int sposob : {0, 1, 2}) { // a read fails, a write fails, a write half done
            int nomer = 1;
            for (; nomer <= 60; ++nomer) {
                const char* kak[] = {", read ", ", write ", ", half a write "};
                const std::string chto = std::string(s.chto) + kak[sposob] + std::to_string(nomer);
                ZYKFAJL64 f;
                novyjFajl(f, "poteri.bin", ishodnye);
                ZyStorozhOkon nabljudatel;
                podmena.sbojVvoda(sposob == 0, nomer, ERROR_DISK_FULL, sposob == 2);
                const int r = s.vid == Udalenie  ? f.Vwkl(nb(s.otkuda), nb(s.dlina))
                              : s.vid == Vstavka ? f.Vkl(nb(s.kuda), nb(s.otkuda), nb(s.dlina))
                              : s.vid == VstavkaOzu
                                  ? f.Vkl(nb(s.kuda), &ishodnye[size_t(s.otkuda)], s.dlina)
                                  : f.Peredat(nb(s.kuda), nb(s.otkuda), nb(s.dlina));
                podmena.sbojVvoda(sposob == 0, 0, 0);
                const Bajty v = ChitatBajty("poteri.bin");
                if (r != 0) { // the failing call was not reached
                    EXPECT_TRUE(posle == v) << chto << ": " << raznica(posle, v);
                    EXPECT_TRUE(nabljudatel.Okna().empty()) << chto << ": " << nabljudatel.Tekst();
                    break;
                }
                EXPECT_TRUE(nabljudatel.Zhdat(1)) << chto;
                EXPECT_EQ(1u, nabljudatel.Okna().size()) << chto << ": " << nabljudatel.Tekst();
                EXPECT_TRUE(v == ishodnye) << chto << ": " << raznica(ishodnye, v);
                ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(f.hZatvor, 0)) << chto << ": gate";
                SetEvent(f.hZatvor);
            }
            EXPECT_LE(nomer, 60) << s.chto << ": never succeeded";
        }
    }
}

TEST(Peredacha, UnbufferedRemoteAndOverlappedHandlesStillCopy) {
    // Reads and writes through an unbuffered handle, or a handle to a file on another machine,
    // are not kept coherent with mapped views (other objects' zones): such copies go through
    // views from the start and never reach ReadFile or WriteFile.
    const uint64_t n = 3 * kGran + 5;
    const Bajty a = uzor(size_t(n), 51), drugie = uzor(size_t(n), 52);
    const struct {
        const char* chto;
        bool bezBufera;      // reads and writes must be aligned
        bool udalennyj;      // the drive is reported as remote
        unsigned long flagi; // CreateFileA flags of both files
    } sluchai[] = {
        {"unbuffered", true, false, FILE_FLAG_NO_BUFFERING},
        {"on a remote drive", false, true, 0},
        {"overlapped", false, false, FILE_FLAG_OVERLAPPED},
    };
    for (const auto& s : sluchai) {
        ASSERT_TRUE(ZapisatBajty("osobyj.bin", a));
        ASSERT_TRUE(ZapisatBajty("osobyj_drugoj.bin", drugie));
        PodmenaVyzovov podmena;
        if (s.bezBufera) podmena.bezBuferizacii();
        if (s.udalennyj) podmena.udalennyjDisk();
        ZYKFAJL64 f, g;
        const unsigned long dostup = GENERIC_READ | GENERIC_WRITE;
        const unsigned long sovmestno = FILE_SHARE_READ | FILE_SHARE_WRITE;
        ASSERT_EQ(1, f("osobyj.bin", dostup, sovmestno, nullptr, OPEN_EXISTING, s.flagi, nullptr));
        ASSERT_EQ(
            1, g("osobyj_drugoj.bin", dostup, sovmestno, nullptr, OPEN_EXISTING, s.flagi, nullptr));
        ZyStorozhOkon nabljudatel;
        Bajty model = a;
        EXPECT_NE(0, f.Kop(nb(1), nb(3), nb(n - 10))) << s.chto;
        model = sKopiej(model, 1, model, 3, n - 10);
        EXPECT_NE(0, f.Kop(nb(7), nb(2), nb(n - 10))) << s.chto;
        model = sKopiej(model, 7, model, 2, n - 10);
        EXPECT_NE(0, f.Kop(nb(kGran + 1), g, nb(9), nb(2 * kGran))) << s.chto;
        model = sKopiej(model, kGran + 1, drugie, 9, 2 * kGran);
        EXPECT_NE(0, f.Kop(nb(n - 3), drugie.data(), 1000)) << s.chto << ": grows the file";
        model = sKopiej(model, n - 3, drugie, 0, 1000);
        Bajty ozu(static_cast<size_t>(n));
        EXPECT_NE(0, f.Kop(ozu.data(), nb(5), (unsigned long)n)) << s.chto;
        EXPECT_TRUE(std::equal(ozu.begin(), ozu.end(), model.begin() + 5)) << s.chto;
        if (s.bezBufera || s.udalennyj) {
            EXPECT_EQ(0, podmena.vyzovovChtenija() + podmena.vyzovovZapisi())
                << s.chto << ": through views from the start";
        }
        const Bajty v = ChitatBajty("osobyj.bin");
        EXPECT_TRUE(model == v) << s.chto << ": " << raznica(model, v);
        EXPECT_EQ(drugie, ChitatBajty("osobyj_drugoj.bin")) << s.chto;
        EXPECT_TRUE(nabljudatel.Okna().empty()) << s.chto << ": " << nabljudatel.Tekst();
    }
}

TEST(Peredacha, TheZoneOfAnotherObjectSeesTheCopiedBytesWithoutBeingMappedAgain) {
    const uint64_t n = 2 * kGran + 17;
    const Bajty a = uzor(size_t(n), 61), drugie = uzor(size_t(n), 62);
    ZYKFAJL64 f, g;
    novyjFajl(f, "zona.bin", a);
    novyjFajl(g, "zona_drugoj.bin", drugie);
    ZYKFAJL64 chitatel;
    ASSERT_EQ(1, otkrytChtenie(chitatel, "zona.bin"));
    ASSERT_EQ(a[n - 1], chitatel[nb(n - 1)]);
    unsigned char* const zona = chitatel.BazaZony;
    ASSERT_NE(nullptr, zona);
    ASSERT_EQ(0u, u64(chitatel.NachaloZony)) << "the zone holds the whole file";
    ASSERT_GE(u64(chitatel.KonecZony), n);
    chitatel.IntervalIzm = 60000; // no re-measure (which would map the zone again) meanwhile
    chitatel.PoslIzm = GetTickCount();

    Bajty model = a;
    EXPECT_EQ(1, f.Kop(nb(3), g, nb(100), nb(kGran)));
    model = sKopiej(model, 3, drugie, 100, kGran);
    EXPECT_EQ(1, f.Kop(nb(kGran), nb(1), nb(kGran + 5)));
    model = sKopiej(model, kGran, model, 1, kGran + 5);
    EXPECT_EQ(1, f.Kop(nb(11), "zona", 4));
    model = sKopiej(model, 11, Bajty{'z', 'o', 'n', 'a'}, 0, 4);
    Bajty cherezZonu(static_cast<size_t>(n));
    for (uint64_t i = 0; i < n; ++i)
        cherezZonu[size_t(i)] = chitatel[nb(i)];
    EXPECT_EQ(zona, chitatel.BazaZony) << "the same view as before the copies";
    EXPECT_TRUE(model == cherezZonu) << raznica(model, cherezZonu);
}
