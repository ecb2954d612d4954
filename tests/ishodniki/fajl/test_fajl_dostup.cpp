// Byte access through the zone, the zone multiplier, end of file, position, scan zone and the
// refresh after a change by another object.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

constexpr uint64_t kGran = 65536;

// A fresh writable file of n pattern bytes.
void novyjFajl(ZYKFAJL64& f, const std::string& imja, size_t n, unsigned seed = 1) {
    ASSERT_TRUE(ZapisatBajty(imja, uzor(n, seed)));
    ASSERT_EQ(1, otkrytZapis(f, imja));
}

} // namespace

TEST(Dostup, FirstByteOfAnEmptyWritableFileGrowsItToIndexPlusOne) {
    ZYKFAJL64 f;
    novyjFajl(f, "pustoj.bin", 0);
    EXPECT_EQ(nullptr, f.hOtobr);
    f[nb(0)] = 'x';
    EXPECT_EQ(1u, u64(f.Razmer));
    EXPECT_NE(nullptr, f.hOtobr);
    f[nb(9)] = 'y';
    EXPECT_EQ(10u, u64(f.Razmer));
    EXPECT_EQ(9u, u64(f.Poz));
    f.DES();
    const auto v = ChitatBajty("pustoj.bin");
    ASSERT_EQ(10u, v.size());
    EXPECT_EQ('x', v[0]);
    EXPECT_EQ(0, v[5]);
    EXPECT_EQ('y', v[9]);
}

TEST(Dostup, ReadOnlyFilePastItsEndGivesTheLastByte) {
    ASSERT_TRUE(ZapisatBajty("chtenie.bin", uzor(100)));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "chtenie.bin"));
    EXPECT_EQ(uzor(100)[99], f[nb(5000)]);
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(uzor(100)[42], f[nb(42)]);
    EXPECT_EQ(100u, u64(f.Razmer)) << "a read-only file never grows";
}

TEST(Dostup, EmptyReadOnlyFileReportsAndGivesTheErrorCell) {
    ASSERT_TRUE(ZapisatBajty("pustoj_chtenie.bin", {}));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "pustoj_chtenie.bin"));
    ZyStorozhOkon nabljudatel;
    unsigned char& b = f[nb(0)];
    EXPECT_EQ(0, b);
    EXPECT_EQ(reinterpret_cast<unsigned char*>(&f.Oshibka), &b);
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_HANDLE_EOF, "operator[]", 7), nabljudatel.Okna()[0].tekst);
}

TEST(Dostup, ClosedObjectSaysThereIsNoFile) {
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, f[nb(3)]);
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(kZagolovokModulja, nabljudatel.Okna()[0].zagolovok);
    EXPECT_EQ("Ne sozdan fajl.", nabljudatel.Okna()[0].tekst);
}

TEST(Dostup, ZoneIsCentredOnTheByteOrStartsAtItWithForwardZones) {
    PodmenaVyzovov podmena;
    podmena.pamjat(4 * kGran, 1ull << 30); // multiplier 2: zones of two granularity units
    ZYKFAJL64 f;
    novyjFajl(f, "zona.bin", 300000);
    f.PoslIzm = GetTickCount() - 4000;
    const auto obrazec = uzor(300000);
    EXPECT_EQ(obrazec[200000], f[nb(200000)]);
    EXPECT_EQ(2u, f.MnZony);
    EXPECT_EQ(131072u, u64(f.NachaloZony)) << "(200000 - 65536) rounded down";
    EXPECT_EQ(131072u, f.DlinaZony);
    EXPECT_EQ(262144u, u64(f.KonecZony));
    unsigned char* baza = f.BazaZony;
    EXPECT_EQ(obrazec[140000], f[nb(140000)]);
    EXPECT_EQ(baza, f.BazaZony) << "a byte inside the zone keeps the zone";

    EXPECT_EQ(obrazec[299999], f[nb(299999)]);
    EXPECT_EQ(196608u, u64(f.NachaloZony));
    EXPECT_EQ(300000u - 196608u, f.DlinaZony) << "cut at the end of the file";
    EXPECT_EQ(obrazec[10], f[nb(10)]);
    EXPECT_EQ(0u, u64(f.NachaloZony));

    f.Flagi |= Quorvel::ZYF64_VPERED;
    EXPECT_EQ(obrazec[200000], f[nb(200000)]);
    EXPECT_EQ(196608u, u64(f.NachaloZony)) << "forward zones start at the byte's unit";
    EXPECT_EQ(obrazec[100000], f[nb(100000)]);
    EXPECT_EQ(0u, u64(f.NachaloZony)) << "a position below the zone length starts at 0";
}

TEST(Dostup, ForwardScanByteByByteStaysInsideEveryZone) {
    // Zones of two granularity units; the file spans several of them and ends inside one.
    PodmenaVyzovov podmena;
    podmena.pamjat(4 * kGran, 1ull << 30);
    const size_t n = 5 * 2 * kGran + 777;
    ZYKFAJL64 f;
    novyjFajl(f, "vpered.bin", n, 4);
    f.PoslIzm = GetTickCount() - 4000;
    f.Flagi |= Quorvel::ZYF64_VPERED;
    const auto obrazec = uzor(n, 4);
    for (size_t p = 0; p < n; ++p) {
        unsigned char& b = f[nb(p)];
        ASSERT_GE(&b, f.BazaZony) << p;
        ASSERT_LT(&b, f.BazaZony + f.DlinaZony) << "byte " << p << " lies past the zone";
        ASSERT_EQ(obrazec[p], b) << p;
    }
}

TEST(Dostup, WritesThroughMovingZonesReachTheFile) {
    ZyStorozhOkon nabljudatel;
    PodmenaVyzovov podmena;
    podmena.pamjat(4 * kGran, 1ull << 30);
    ZYKFAJL64 f;
    novyjFajl(f, "zony.bin", 0);
    f.PoslIzm = GetTickCount() - 4000;
    const auto obrazec = uzor(700000, 7);
    for (size_t i = 0; i < obrazec.size(); i += 997)
        f[nb(i)] = obrazec[i];
    for (size_t i = obrazec.size() - 1; i >= 1013; i -= 1013)
        f[nb(i)] = obrazec[i];
    EXPECT_EQ(obrazec.size(), u64(f.Razmer));
    for (auto& k : nabljudatel.Okna())
        ADD_FAILURE() << k.tekst;
    f.DES();
    const auto v = ChitatBajty("zony.bin");
    ASSERT_EQ(obrazec.size(), v.size());
    for (size_t i = 0; i < obrazec.size(); i += 997)
        ASSERT_EQ(obrazec[i], v[i]) << i;
    for (size_t i = obrazec.size() - 1; i >= 1013; i -= 1013)
        ASSERT_EQ(obrazec[i], v[i]) << i;
}

TEST(Dostup, FailedViewIsReportedAndTheNextAccessRecovers) {
    ZYKFAJL64 f;
    novyjFajl(f, "sboj_vida.bin", 1000);
    PodmenaVyzovov podmena;
    podmena.sbojOtobrazhenija(1, ERROR_NOT_ENOUGH_MEMORY);
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(0, f[nb(10)]);
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "operator[]", 7), nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(nullptr, f.BazaZony);
    EXPECT_EQ(uzor(1000)[10], f[nb(10)]);
}

TEST(Dostup, MultiplierIsHalfTheFreeAddressSpaceAndStopsAt16Bits) {
    ZYKFAJL64 f;
    novyjFajl(f, "mnozhitel.bin", 10);
    {
        PodmenaVyzovov podmena;
        podmena.pamjat(10 * kGran + 5, 1ull << 30);
        f.FEK_VsMnRazmPam();
        EXPECT_EQ(5u, f.MnZony);
        podmena.pamjat(1ull << 46, 1ull << 30);
        f.FEK_VsMnRazmPam();
        EXPECT_EQ(0xFFFFu, f.MnZony) << "saturates instead of wrapping";
    }
    f[nb(3)];
    EXPECT_NE(nullptr, f.BazaZony);
    f.FEK_VsMnRazmPam();
    EXPECT_EQ(nullptr, f.BazaZony) << "measuring releases the zone";
}

TEST(Dostup, RemeasureWaitsForItsIntervalWhichStaysCapped) {
    ZYKFAJL64 f;
    novyjFajl(f, "interval.bin", 10);
    PodmenaVyzovov podmena;
    podmena.pamjat(6 * kGran, 1ull << 30);
    f.PoslIzm = GetTickCount() - 4000; // the tick count of a young session may be below 3000
    f[nb(1)];
    EXPECT_EQ(3u, f.MnZony) << "the first access measures";
    podmena.pamjat(20 * kGran, 1ull << 30);
    f[nb(2)];
    EXPECT_EQ(3u, f.MnZony) << "not again within the interval";
    f.PoslIzm = GetTickCount() - 4000;
    f[nb(3)];
    EXPECT_EQ(10u, f.MnZony);

    f.Flagi |= Quorvel::ZYF64_ADAPTIV;
    f.IntervalIzm = 50000;
    f.PoslIzm = GetTickCount() - 60000;
    f.FEK_VsMnRazmPamVr(); // same physical memory before and after: a = b, no change
    EXPECT_EQ(50000u, f.IntervalIzm);
    f.IntervalIzm = 70000;
    f.FEK_VsMnRazmPamVr();
    EXPECT_EQ(60000u, f.IntervalIzm);
}

TEST(Dostup, FinCutsAfterThePositionAndIsRefusedOnReadOnlyFiles) {
    ZYKFAJL64 f;
    novyjFajl(f, "fin.bin", 100);
    ASSERT_EQ(1, f.VsPoz(nb(41)));
    EXPECT_EQ(1, f.FIN(nb(kMax)));
    EXPECT_EQ(42u, u64(f.Razmer));
    EXPECT_EQ(41u, u64(f.PoslIndeks));
    EXPECT_EQ(0u, u64(f.Poz));
    EXPECT_EQ(nullptr, f.hOtobr) << "made again by the next access";
    EXPECT_EQ(uzor(100)[41], f[nb(41)]);
    EXPECT_EQ(1, f.FIN(nb(0)));
    EXPECT_EQ(0u, u64(f.Razmer));
    EXPECT_EQ(0u, u64(f.PoslIndeks));
    EXPECT_EQ(1, f.FIN(nb(5000)));
    EXPECT_EQ(5000, RazmerFajla("fin.bin"));
    f.DES();

    ZYKFAJL64 g;
    ASSERT_EQ(1, otkrytChtenie(g, "fin.bin"));
    EXPECT_EQ(0, g.FIN(nb(10)));
    EXPECT_EQ(5000, RazmerFajla("fin.bin"));
}

TEST(Dostup, FullDiskIsReportedByFin) {
    ZYKFAJL64 f;
    novyjFajl(f, "polnyj_disk.bin", 100);
    PodmenaVyzovov podmena;
    podmena.polnyjDisk();
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(0, f.FIN(nb(1000000)));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_DISK_FULL, "FIN", 5), nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(100u, u64(f.Razmer));
    nabljudatel.Zabyt();
    EXPECT_EQ(0, f[nb(500)]) << "a byte the file cannot grow to is the error cell";
    EXPECT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(100, RazmerFajla("polnyj_disk.bin"));
}

TEST(Dostup, PositionIsClampedToTheLastIndex) {
    ZYKFAJL64 f;
    novyjFajl(f, "poz.bin", 100);
    EXPECT_EQ(1, f.VsPoz(nb(99)));
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(-1, f.VsPoz(0xFFFFFFFFul));
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(1, f.VsPoz(7ul));
    EXPECT_EQ(7u, u64(f.Poz));
    EXPECT_EQ(-1, f.VsPoz(1ul, 0ul));
    EXPECT_EQ(99u, u64(f.Poz));
    EXPECT_EQ(1, f.VsPoz(0ul, 50ul));
    EXPECT_EQ(50u, u64(f.Poz));
    EXPECT_EQ(-1, f.VsPoz(nb(kMax)));
}

TEST(Dostup, ScanZoneIsOrderedAndClamped) {
    ZYKFAJL64 f;
    novyjFajl(f, "skan.bin", 100);
    EXPECT_EQ(0, f.VneZonSkan(nb(99))) << "both bounds 0: the whole file";
    EXPECT_EQ(1, f.VneZonSkan(nb(100)));
    f.VsZonSkan(nb(60), nb(20));
    EXPECT_EQ(20u, u64(f.SkanNiz));
    EXPECT_EQ(60u, u64(f.SkanVerh));
    EXPECT_EQ(-1, f.VneZonSkan(nb(19)));
    EXPECT_EQ(0, f.VneZonSkan(nb(20)));
    EXPECT_EQ(0, f.VneZonSkan(nb(60)));
    EXPECT_EQ(1, f.VneZonSkan(nb(61)));
    f.VsZonSkan(10ul, 0xFFFFFFFFul);
    EXPECT_EQ(10u, u64(f.SkanNiz));
    EXPECT_EQ(99u, u64(f.SkanVerh));
    f.VsZonSkan(nb(500), 30ul);
    EXPECT_EQ(30u, u64(f.SkanNiz));
    EXPECT_EQ(99u, u64(f.SkanVerh));
    f.VsZonSkan(0xFFFFFFFFul, nb(5));
    EXPECT_EQ(5u, u64(f.SkanNiz));
    EXPECT_EQ(99u, u64(f.SkanVerh));
}

TEST(Dostup, ChangeByAnotherObjectIsSeenByTheRefresh) {
    ZYKFAJL64 a, b;
    novyjFajl(a, "obnovlenie.bin", 100);
    ASSERT_EQ(1, otkrytZapis(b, "obnovlenie.bin"));
    EXPECT_EQ(uzor(100)[5], a[nb(5)]);
    const auto novoe = uzor(300, 9);
    ASSERT_NE(0, b.Kop(nb(0), novoe.data(), 300));
    EXPECT_EQ(100u, u64(a.Razmer)) << "not yet refreshed";
    EXPECT_EQ(1, a.VsPoz(nb(250)));
    EXPECT_EQ(300u, u64(a.Razmer));
    EXPECT_EQ(nullptr, a.BazaZony) << "the old zone was released";
    EXPECT_EQ(novoe[250], a[nb(250)]);
    EXPECT_EQ(novoe[5], a[nb(5)]);

    a.Flagi |= Quorvel::ZYF64_BEZ_OBNOVL;
    ASSERT_EQ(1, b.FIN(nb(400)));
    EXPECT_EQ(-1, a.VsPoz(nb(350))) << "no refresh: the old size still counts";
    EXPECT_EQ(299u, u64(a.Poz));
    a.TestDan();
    EXPECT_EQ(400u, u64(a.Razmer));
}

TEST(Dostup, FileCannotBeCutWhileAnotherObjectHasItMapped) {
    // The system keeps a file at least as long as any mapping object of it: a second object
    // (or process) with the file open makes FIN refuse to cut, with a report.
    ZYKFAJL64 a, b;
    novyjFajl(a, "otrezat.bin", 100);
    ASSERT_EQ(1, otkrytZapis(b, "otrezat.bin"));
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(0, b.FIN(nb(50)));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_USER_MAPPED_FILE, "FIN", 5), nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(100, RazmerFajla("otrezat.bin"));
    a.DES();
    EXPECT_EQ(1, b.FIN(nb(50)));
    EXPECT_EQ(50, RazmerFajla("otrezat.bin"));
}

TEST(Dostup, StampMovesTheLastWriteTimeForward) {
    ZYKFAJL64 f;
    novyjFajl(f, "shtamp.bin", 10);
    FILETIME pered = f.Info->ftLastWriteTime;
    f.VsVrZap();
    EXPECT_GT(CompareFileTime(&f.Info->ftLastWriteTime, &pered), 0);
    pered = f.Info->ftLastWriteTime;
    f.VsVrZap();
    EXPECT_GT(CompareFileTime(&f.Info->ftLastWriteTime, &pered), 0)
        << "two stamps in a row differ even when the clock has not moved";
    BY_HANDLE_FILE_INFORMATION info;
    ASSERT_TRUE(GetFileInformationByHandle(f.hFajl, &info));
    EXPECT_EQ(0, CompareFileTime(&info.ftLastWriteTime, &f.Info->ftLastWriteTime));
}
