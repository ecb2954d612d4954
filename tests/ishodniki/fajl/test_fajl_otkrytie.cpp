// Opening, closing, deleting and transferring ZYKFAJL64: names and paths, wildcards,
// directory creation, temporary files, refusals and their reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

// Opens with CREATE_ALWAYS for reading and writing.
int sozdat(ZYKFAJL64& f, const std::string& imja) {
    return f(imja.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
             FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A full path of exactly n characters below the current directory (a directory of up to 200
// characters, then the file name).
std::string putDlinoj(size_t n) {
    std::string put = TekushchajaPapka() + "\\";
    while (put.size() + 201 < n)
        put += std::string(200 - 1, 'd') + "\\";
    put += std::string(n - put.size(), 'f');
    return put;
}

} // namespace

TEST(Otkrytie, RelativeNameCreatesItsDirectoryAndKeepsTheFullPath) {
    DeleteFileA("papka_otn\\fajl.bin");
    RemoveDirectoryA("papka_otn");
    ZYKFAJL64 f;
    ASSERT_EQ(1, sozdat(f, "papka_otn\\fajl.bin"));
    EXPECT_STREQ((TekushchajaPapka() + "\\papka_otn\\fajl.bin").c_str(), f.Imja);
    EXPECT_EQ(std::strlen(f.Imja), f.DlinaImeni);
    EXPECT_EQ(Quorvel::ZYF64_ZAPIS, f.Flagi & Quorvel::ZYF64_ZAPIS);
    EXPECT_EQ(0u, f.Flagi & Quorvel::ZYF64_SUSHESTVOVAL);
    EXPECT_EQ(0u, u64(f.Razmer));
    EXPECT_EQ(nullptr, f.hOtobr) << "an empty file has no mapping object";
    EXPECT_NE(nullptr, f.hZatvor);
    EXPECT_NE(nullptr, f.hPropusk);
    EXPECT_NE(nullptr, f.hSchetchik);
    EXPECT_NE(nullptr, f.hMutex);
    EXPECT_EQ(nullptr, f.hMutexSozd);
    EXPECT_EQ(65536u, f.Granuljarnost);
    EXPECT_EQ(3000u, f.IntervalIzm);
    EXPECT_EQ(kMax, u64(f.Marker));
    f.DES();

    ZYKFAJL64 g;
    ASSERT_EQ(1, otkrytZapis(g, "papka_otn\\.\\..\\papka_otn\\fajl.bin"));
    EXPECT_STREQ((TekushchajaPapka() + "\\papka_otn\\fajl.bin").c_str(), g.Imja)
        << "dot components are resolved, so every process names the file alike";
    EXPECT_NE(0u, g.Flagi & Quorvel::ZYF64_SUSHESTVOVAL);
    g.DES();
    ZYKFAJL64 h;
    ASSERT_EQ(1, otkrytChtenie(h, "papka_otn\\fajl.bin"));
    EXPECT_NE(0u, h.Flagi & Quorvel::ZYF64_SUSHESTVOVAL) << "OPEN_EXISTING opens an existing file";
    EXPECT_EQ(0u, h.Flagi & Quorvel::ZYF64_ZAPIS);
}

TEST(Otkrytie, NonEmptyFileGetsItsMappingObjectAndSize) {
    ASSERT_TRUE(ZapisatBajty("nepustoj.bin", uzor(1000)));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "nepustoj.bin"));
    EXPECT_NE(nullptr, f.hOtobr);
    EXPECT_EQ(1000u, u64(f.Razmer));
    EXPECT_EQ(999u, u64(f.PoslIndeks));
    ASSERT_NE(nullptr, f.Info);
    EXPECT_EQ(1000u, f.Info->nFileSizeLow);
}

TEST(Otkrytie, WildcardOpensTheFirstMatchingFileThatIsNoDirectory) {
    CreateDirectoryA("shablon", nullptr);
    CreateDirectoryA("shablon\\a_papka.txt", nullptr);
    ASSERT_TRUE(ZapisatBajty("shablon\\b_fajl.txt", uzor(10)));
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "shablon\\*.txt"));
    EXPECT_STREQ((TekushchajaPapka() + "\\shablon\\b_fajl.txt").c_str(), f.Imja);
    EXPECT_EQ(1, otkrytChtenie(f, "shablon\\b_f?jl.txt"));

    EXPECT_EQ(0, otkrytChtenie(f, "shablon\\*.net"));
    EXPECT_EQ(0, otkrytChtenie(f, "shablon\\a_*"));
    EXPECT_EQ(nullptr, f.hFajl);
    EXPECT_EQ(nullptr, f.Imja);
    EXPECT_TRUE(nabljudatel.Okna().empty()) << "no match fails without a message";
}

TEST(Otkrytie, NullAndEmptyNamesGiveZero) {
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, f(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(0, f("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_TRUE(nabljudatel.Okna().empty());
}

TEST(Otkrytie, NamesOf259CharactersOpenLongerOnesAreReported) {
    const std::string put259 = putDlinoj(259);
    ASSERT_EQ(259u, put259.size());
    {
        ZyStorozhOkon nabljudatel;
        ZYKFAJL64 f;
        ASSERT_EQ(1, sozdat(f, put259))
            << (nabljudatel.Zhdat(1, 3000) ? nabljudatel.Okna()[0].tekst : "");
        EXPECT_EQ(259u, f.DlinaImeni);
        EXPECT_EQ(-1, f.Kop(nb(0), "abc", 3)) << "the position after the range is past the end";
        EXPECT_EQ(1, f.STER());
        EXPECT_TRUE(nabljudatel.Okna().empty());
    }
    for (size_t n : {size_t(260), size_t(300)}) {
        ZyStorozhOkon nabljudatel;
        ZYKFAJL64 f;
        EXPECT_EQ(0, sozdat(f, putDlinoj(n))) << n;
        ASSERT_TRUE(nabljudatel.Zhdat(1)) << n;
        const auto k = nabljudatel.Okna();
        ASSERT_EQ(1u, k.size());
        EXPECT_EQ(kZagolovokOshibki, k[0].zagolovok);
        EXPECT_EQ(tekstOtcheta(ERROR_FILENAME_EXCED_RANGE, "operator()", 6), k[0].tekst);
        EXPECT_EQ(nullptr, f.hFajl);
        EXPECT_EQ(nullptr, f.hMutex);
    }
    // A relative name of 259 characters is too long once joined to the current directory.
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, sozdat(f, std::string(259, 'r')));
    EXPECT_TRUE(nabljudatel.Zhdat(1));
}

TEST(Otkrytie, PathThatCannotBeCreatedIsReportedWithTheFullPath) {
    ASSERT_TRUE(ZapisatBajty("prostoj_fajl", uzor(4)));
    const std::string put = TekushchajaPapka() + "\\prostoj_fajl\\pod\\x.bin";
    HANDLE proba = CreateFileA(put.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, proba);
    const DWORD oshibka = GetLastError();

    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, sozdat(f, "prostoj_fajl\\pod\\x.bin"));
    ASSERT_TRUE(nabljudatel.Zhdat(2));
    const auto k = nabljudatel.Okna();
    ASSERT_EQ(2u, k.size());
    EXPECT_EQ(kZagolovokOshibki, k[0].zagolovok);
    EXPECT_EQ(tekstOtcheta(oshibka, "operator()", 5), k[0].tekst);
    EXPECT_EQ(kZagolovokModulja, k[1].zagolovok);
    EXPECT_EQ("\"" + put + "\"", k[1].tekst);
    EXPECT_EQ(nullptr, f.hFajl);
    EXPECT_EQ(nullptr, f.Imja);
    EXPECT_EQ(nullptr, f.hMutex);
    EXPECT_EQ(0u, f.Flagi);
    EXPECT_EQ(4, RazmerFajla("prostoj_fajl")) << "the file in the way is untouched";
}

TEST(Otkrytie, MissingFileOpenedForReadingLeavesNoDirectoriesBehind) {
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, otkrytChtenie(f, "net_papki\\net_fajla.bin"));
    ASSERT_TRUE(nabljudatel.Zhdat(2));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("net_papki"));
}

TEST(Otkrytie, PipeIsRefused) {
    const char* imja = "\\\\.\\pipe\\zy_test_fajl_kanal";
    HANDLE server =
        CreateNamedPipeA(imja, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 4, 4096, 4096, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, server);
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, f(imja, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    const auto k = nabljudatel.Okna();
    ASSERT_EQ(1u, k.size());
    EXPECT_EQ(kZagolovokModulja, k[0].zagolovok);
    EXPECT_EQ("Otkrwt fajl tipa kanal.", k[0].tekst);
    EXPECT_EQ(nullptr, f.hFajl);
    CloseHandle(server);
}

TEST(Otkrytie, TemporaryFileIsCreatedUnderTheCreationMutexAndDeletedOnClose) {
    ZYKFAJL64 f;
    ASSERT_EQ(1, f(reinterpret_cast<const char*>(-1), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_NE(0u, f.Flagi & Quorvel::ZYF64_VREMENNYJ);
    EXPECT_NE(nullptr, f.hMutexSozd);
    char papka[MAX_PATH];
    GetTempPathA(MAX_PATH, papka);
    char polnaja[MAX_PATH];
    GetFullPathNameA(papka, MAX_PATH, polnaja, nullptr);
    EXPECT_EQ(0, _strnicmp(polnaja, f.Imja, std::strlen(polnaja))) << f.Imja;
    const std::string imja = f.Imja;
    EXPECT_EQ(-1, f.Kop(nb(0), "vremja", 6));
    EXPECT_EQ(6, RazmerFajla(imja));

    // The class-wide mutex is free again once open has returned.
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "Quorvel::ZYKFAJL64");
    ASSERT_NE(nullptr, m);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 5000));
    ReleaseMutex(m);
    CloseHandle(m);

    f.DES();
    EXPECT_EQ(-1, RazmerFajla(imja)) << "deleted on close";
    EXPECT_EQ(nullptr, f.hMutexSozd);
}

TEST(Otkrytie, TransferMovesTheOpenFileAndLeavesTheSourceClosed) {
    ASSERT_TRUE(ZapisatBajty("peredacha.bin", uzor(100)));
    ZYKFAJL64 a;
    ASSERT_EQ(1, otkrytZapis(a, "peredacha.bin"));
    const HANDLE fajl = a.hFajl;
    ZYKFAJL64 b;
    ASSERT_EQ(1, otkrytZapis(b, "drugoj.bin"));
    b = a;
    EXPECT_EQ(fajl, b.hFajl);
    EXPECT_EQ(100u, u64(b.Razmer));
    EXPECT_EQ(nullptr, a.hFajl);
    EXPECT_EQ(nullptr, a.Imja);
    EXPECT_EQ(0u, a.Flagi);
    EXPECT_EQ(kMax, u64(a.Marker));

    ZYKFAJL64 c(b);
    EXPECT_EQ(fajl, c.hFajl);
    EXPECT_EQ(nullptr, b.hFajl);

    ZYKFAJL64& sam = c;
    c = sam;
    EXPECT_EQ(fajl, c.hFajl) << "assigning an object to itself keeps it open";
    std::vector<unsigned char> v(100);
    EXPECT_EQ(-1, c.Kop(v.data(), nb(0), 100));
    EXPECT_EQ(uzor(100), v);

    // The file the target had open was closed by the transfer: it can be deleted.
    EXPECT_TRUE(DeleteFileA("drugoj.bin"));
}

TEST(Otkrytie, CloseTwiceIsHarmlessAndDeleteRemovesTheFile) {
    ZYKFAJL64 f;
    ASSERT_EQ(1, sozdat(f, "udalit.bin"));
    EXPECT_EQ(-1, f.Kop(nb(0), "x", 1));
    f.DES();
    f.DES();
    EXPECT_EQ(nullptr, f.hFajl);
    EXPECT_EQ(1, RazmerFajla("udalit.bin"));
    EXPECT_EQ(0, f.STER()) << "nothing open";
    ASSERT_EQ(1, otkrytZapis(f, "udalit.bin"));
    EXPECT_EQ(1, f.STER());
    EXPECT_EQ(-1, RazmerFajla("udalit.bin"));
    EXPECT_EQ(nullptr, f.hFajl);
}

TEST(Otkrytie, OpeningAgainClosesWhatWasOpen) {
    ZYKFAJL64 f;
    ASSERT_EQ(1, sozdat(f, "pervyj.bin"));
    ASSERT_EQ(1, sozdat(f, "vtoroj.bin"));
    EXPECT_TRUE(DeleteFileA("pervyj.bin")) << "the first file was closed";
}

TEST(Otkrytie, ReadOnlyFileRefusesEveryChange) {
    ASSERT_TRUE(ZapisatBajty("tolko_chtenie.bin", uzor(50)));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "tolko_chtenie.bin"));
    EXPECT_EQ(0, f.FIN(nb(10)));
    EXPECT_EQ(0, f.Kop(nb(0), "abc", 3));
    EXPECT_EQ(0, f.Kop(nb(0), nb(10), nb(5)));
    EXPECT_EQ(0, f.Vkl(nb(0), "abc", 3));
    EXPECT_EQ(0, f.Vwkl(nb(0), nb(5)));
    char buf[5];
    EXPECT_EQ(0, f.Peredat(buf, nb(0), 5));
    EXPECT_EQ(50u, u64(f.Razmer));
    EXPECT_EQ(uzor(50), ChitatBajty("tolko_chtenie.bin"));
}

TEST(Otkrytie, MappingObjectNameCarriesNameTimeAndIdentity) {
    ASSERT_TRUE(ZapisatBajty("imja_otr.bin", uzor(10)));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytZapis(f, "imja_otr.bin"));
    unsigned char buf[MAX_PATH];
    ASSERT_EQ(1, f.FEK_VsImjaOtr(buf));
    unsigned char vremja[40];
    ZYKNB64{f.Info->ftLastWriteTime.dwLowDateTime, f.Info->ftLastWriteTime.dwHighDateTime}.VsStr(
        vremja, 0, 16);
    const std::string nachalo =
        std::string("imja_otr.bin|0x") + reinterpret_cast<char*>(vremja) + "|";
    EXPECT_EQ(0, std::strncmp(nachalo.c_str(), reinterpret_cast<char*>(buf), nachalo.size()))
        << buf;
    EXPECT_EQ(0, f.FEK_VsImjaOtr(nullptr));
    ZYKFAJL64 zakrytyj;
    EXPECT_EQ(0, zakrytyj.FEK_VsImjaOtr(buf));
}

TEST(Otkrytie, CopiesWithTheSameNameAndTimeDoNotShareContent) {
    // Two files of one name and one last-write time in different directories (as a copy
    // that keeps its time would be) must not meet in one mapping object.
    CreateDirectoryA("kopija1", nullptr);
    CreateDirectoryA("kopija2", nullptr);
    ASSERT_TRUE(ZapisatBajty("kopija1\\f.bin", std::vector<unsigned char>(64, 'A')));
    ASSERT_TRUE(ZapisatBajty("kopija2\\f.bin", std::vector<unsigned char>(64, 'B')));
    ZYKFAJL64 a, b;
    ASSERT_EQ(1, otkrytZapis(a, "kopija1\\f.bin"));
    ASSERT_EQ(1, otkrytZapis(b, "kopija2\\f.bin"));
    ASSERT_TRUE(SetFileTime(b.hFajl, nullptr, nullptr, &a.Info->ftLastWriteTime));
    b.TestDan();
    ASSERT_EQ(0, CompareFileTime(&a.Info->ftLastWriteTime, &b.Info->ftLastWriteTime));
    EXPECT_EQ('A', a[nb(5)]);
    EXPECT_EQ('B', b[nb(5)]);
}

TEST(Otkrytie, FailingMappingCreationIsReportedAndLeavesTheObjectClosed) {
    ASSERT_TRUE(ZapisatBajty("sboj_otr.bin", uzor(100)));
    PodmenaVyzovov podmena;
    // The first mapping an open creates is the reader count's page, the second the file's.
    podmena.sbojSozdanijaOtobrazhenija(2, ERROR_NOT_ENOUGH_MEMORY);
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, otkrytZapis(f, "sboj_otr.bin"));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "operator()", 8), nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(nullptr, f.hFajl);
    EXPECT_EQ(nullptr, f.hMutex);
    EXPECT_EQ(1, otkrytZapis(f, "sboj_otr.bin")) << "the next open works";
}

TEST(Otkrytie, TemporaryNameThatCannotBeHadIsReportedAndFreesTheCreationMutex) {
    PodmenaVyzovov podmena;
    podmena.sbojVremennogoImeni();
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    EXPECT_EQ(0, f(reinterpret_cast<const char*>(-1), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                   CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(
        tekstOtcheta(ERROR_ACCESS_DENIED, "ZyVzAdresImjaVrF", 1, "..\\..\\ishodniki\\ZyFFajl64"),
        nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(nullptr, f.hMutexSozd);
    EXPECT_EQ(0u, f.Flagi);
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "Quorvel::ZYKFAJL64");
    if (m) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(m, 5000)) << "not left owned";
        ReleaseMutex(m);
        CloseHandle(m);
    }
}

TEST(Otkrytie, OpenWithoutMemoryIsReportedAndThrowsNothing) {
    ASSERT_TRUE(ZapisatBajty("bez_pamjati.bin", uzor(10)));
    for (int n : {1, 2}) { // the full path, the file information record
        PodmenaVyzovov podmena;
        podmena.sbojVydelenija(n);
        ZyStorozhOkon nabljudatel;
        ZYKFAJL64 f;
        int r = -1;
        EXPECT_NO_THROW(r = otkrytZapis(f, "bez_pamjati.bin")) << n;
        EXPECT_EQ(0, r) << n;
        EXPECT_EQ(nullptr, f.hFajl);
        EXPECT_EQ(nullptr, f.hMutex);
        ASSERT_TRUE(nabljudatel.Zhdat(1)) << n;
        EXPECT_EQ(tekstOtcheta(ERROR_NOT_ENOUGH_MEMORY, "operator()", 9),
                  nabljudatel.Okna()[0].tekst);
    }
    ZYKFAJL64 f;
    EXPECT_EQ(1, otkrytZapis(f, "bez_pamjati.bin")) << "nothing was left locked";
}
