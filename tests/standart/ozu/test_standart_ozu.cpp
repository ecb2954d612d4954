// ZyZabronirovatOZU with real refusals and real allocation failures (the boxes are read and
// answered from a helper thread), and the containers ZYKOZU32 and ZYKMASSMATDW.
#include "ZyStandart.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace zytest;

// The whole virtual address space of the process, as the library sees it.
unsigned long long vsjaVirtualnajaPamjat() {
    MEMORYSTATUSEX ms = {};
    ms.dwLength = sizeof ms;
    EXPECT_TRUE(GlobalMemoryStatusEx(&ms));
    return ms.ullTotalVirtual;
}

// Every test in a fresh directory: the boxes' texts are translated through its file.
class Ozu : public VPapkeTesta {};

// ---- ZyZabronirovatOZU --------------------------------------------------------------------------

TEST_F(Ozu, ReservationSucceedsSilentlyOnTheProcessHeap) {
    ZyStorozhOkon storozh{};
    void* p = reinterpret_cast<void*>(1);
    ASSERT_EQ(1, ZyZabronirovatOZU(&p, 1000, "Ozu::Small"));
    ASSERT_NE(nullptr, p);
    std::memset(p, 0x5A, 1000);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, p)); // released the documented way
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, ZyZabronirovatOZU(&p, 0, "Ozu::Zero"));
    EXPECT_EQ(reinterpret_cast<void*>(1), p) << "a size of 0 leaves the target alone";
    EXPECT_EQ(0, ZyZabronirovatOZU(nullptr, 10, "Ozu::NoTarget"));
    EXPECT_TRUE(storozh.Ostanovit().empty());
}

TEST_F(Ozu, RequestBeyondTheVirtualSpaceIsRefusedWithAnExplanation) {
    const unsigned long long vsja = vsjaVirtualnajaPamjat();
    ASSERT_LT(vsja, static_cast<unsigned long long>(SIZE_MAX));
    const SIZE_T razmer = SIZE_T(vsja) + 1;
    ZyStorozhOkon storozh{IDOK};
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, ZyZabronirovatOZU(&p, razmer, "Ozu::Refusal"));
    EXPECT_EQ(reinterpret_cast<void*>(1), p) << "a refusal leaves the target alone";
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(1u, okna.size());
    EXPECT_EQ("Function: \"Ozu::Refusal\" required \"" + std::to_string(razmer) + "\" byte.",
              okna[0].zagolovok);
    const std::string nachalo =
        "Your request exceeds possibilities of virtual space.\r\nVirtual space = \"" +
        std::to_string(vsja) + "\" byte.\r\nYou it is available \"";
    EXPECT_EQ(nachalo, okna[0].tekst.substr(0, nachalo.size()));
    const std::string ostatok = okna[0].tekst.substr(nachalo.size());
    ASSERT_GT(ostatok.size(), 7u);
    EXPECT_EQ("\" byte.", ostatok.substr(ostatok.size() - 7));
    EXPECT_EQ(std::string::npos,
              ostatok.substr(0, ostatok.size() - 7).find_first_not_of("0123456789"));
}

TEST_F(Ozu, FailedAllocationExplainsAndOffersRetryUntilCancel) {
    // Within the virtual space, but never free in one piece: the program's own images and
    // stacks already occupy parts of it.
    const SIZE_T razmer = SIZE_T(vsjaVirtualnajaPamjat() - 0x10000);
    ZyStorozhOkon storozh{IDOK, IDRETRY, IDOK, IDCANCEL};
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, ZyZabronirovatOZU(&p, razmer, "Ozu::Retry"));
    EXPECT_EQ(nullptr, p);
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(4u, okna.size());
    const std::string zagolovok =
        "Function: \"Ozu::Retry\" required \"" + std::to_string(razmer) + "\" byte.";
    const std::string tekst =
        "Can Not select memory in size \"" + std::to_string(razmer) + "\" byte.";
    for (int i : {0, 2}) {
        EXPECT_EQ("ZyMessageError.", okna[i].zagolovok);
        EXPECT_EQ(SistemnyjTekst(ERROR_NOT_ENOUGH_MEMORY), okna[i].tekst);
        EXPECT_EQ(zagolovok, okna[i + 1].zagolovok);
        EXPECT_EQ(tekst, okna[i + 1].tekst);
    }
}

TEST_F(Ozu, FailedAllocationReleasesALiveHeapBlockOfTheTargetAndNothingElse) {
    const SIZE_T razmer = SIZE_T(vsjaVirtualnajaPamjat() - 0x10000);
    int naSteke = 0;
    void* staryj = HeapAlloc(GetProcessHeap(), 0, 8 << 20); // a block of its own pages
    ASSERT_NE(nullptr, staryj);
    void* osvobozhdennyj = HeapAlloc(GetProcessHeap(), 0, 8 << 20);
    ASSERT_NE(nullptr, osvobozhdennyj);
    ASSERT_TRUE(HeapFree(GetProcessHeap(), 0, osvobozhdennyj));
    const struct {
        void* cel;
        const char* chto;
    } sluchai[] = {{staryj, "live heap block"},
                   {&naSteke, "stack address"},
                   {osvobozhdennyj, "block already released"},
                   {reinterpret_cast<void*>(1), "no address at all"}};
    for (const auto& s : sluchai) {
        ZyStorozhOkon storozh{IDOK, IDCANCEL};
        void* p = s.cel;
        EXPECT_EQ(0, ZyZabronirovatOZU(&p, razmer, "Ozu::Release")) << s.chto;
        EXPECT_EQ(nullptr, p) << s.chto;
        EXPECT_EQ(2u, storozh.Ostanovit().size()) << s.chto;
    }
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, staryj)) << "the live block was released";
}

// ---- ZYKOZU32 -----------------------------------------------------------------------------------

TEST_F(Ozu, BufferIndexGivesTheByteOr255PastTheEnd) {
    ZYKOZU32 b(4, 0x44332211);
    ASSERT_EQ(4u, b.razmer);
    EXPECT_EQ(char(0x44), b[3]);
    EXPECT_EQ(char(0xFF), b[4]);
    EXPECT_EQ(char(0xFF), b[0xFFFFFFFFul]);
    ZYKOZU32 pustoj;
    EXPECT_EQ(nullptr, pustoj.dannye);
    EXPECT_EQ(0u, pustoj.razmer);
    EXPECT_EQ(char(0xFF), pustoj[0]);
}

TEST_F(Ozu, BufferCopiesAreIndependent) {
    ZYKOZU32 a(6, 0x1234);
    ZYKOZU32 b(a);
    ASSERT_EQ(6u, b.razmer);
    ASSERT_NE(a.dannye, b.dannye);
    EXPECT_EQ(0, std::memcmp(a.dannye, b.dannye, 6));
    b.dannye[0] = 'x';
    EXPECT_EQ(char(0x34), a[0]);
    ZYKOZU32 c(2, 7);
    c = a;
    EXPECT_EQ(6u, c.razmer);
    EXPECT_EQ(0, std::memcmp(a.dannye, c.dannye, 6));
    a.DES();
    EXPECT_EQ(char(0x12), c[1]); // the copy outlives the original's bytes
    c = c;                       // a self-assignment keeps the bytes
    EXPECT_EQ(6u, c.razmer);
    EXPECT_EQ(char(0x12), c[1]);
    c = a; // copying an empty buffer empties
    EXPECT_EQ(nullptr, c.dannye);
    EXPECT_EQ(0u, c.razmer);
}

TEST_F(Ozu, BufferRefillAndResize) {
    ZYKOZU32 b;
    b = 5ul;
    ASSERT_EQ(5u, b.razmer);
    EXPECT_EQ(0, std::memcmp(b.dannye, "\0\0\0\0\0", 5));
    b(0x7F);
    EXPECT_EQ(0, std::memcmp(b.dannye, "\x7F\x7F\x7F\x7F\x7F", 5));
    b.RZ(6, 0x1234);
    ASSERT_EQ(6u, b.razmer);
    EXPECT_EQ(0, std::memcmp(b.dannye, "\x34\x12\x34\x12\x34\x34", 6));
    b.RZ(0, 1);
    EXPECT_EQ(nullptr, b.dannye);
    EXPECT_EQ(0u, b.razmer);
    b(1); // filling an empty buffer does nothing
    b.DES();
    b.DES(); // twice is harmless
}

// ---- ZYKMASSMATDW -------------------------------------------------------------------------------

// Checks that every element of `m` is `v`.
bool vseRavny(const ZYKMASSMATDW& m, unsigned long v) {
    for (unsigned long i = 0; i < m.d1; ++i)
        for (unsigned long j = 0; j < m.d2; ++j)
            for (unsigned long k = 0; k < m.d3; ++k)
                if (m.elementy[i][j][k] != v) return false;
    return true;
}

TEST_F(Ozu, CubeSideIsTheTruncatedCubeRoot) {
    ZYKMASSMATDW m;
    m = 27ul;
    EXPECT_EQ(3u, m.d1);
    EXPECT_EQ(3u, m.d2);
    EXPECT_EQ(3u, m.d3);
    EXPECT_EQ(27u * 4, m.bajt);
    m.Zapolnit(7);
    EXPECT_TRUE(vseRavny(m, 7));
    m = 26ul;
    EXPECT_EQ(2u, m.d1);
    EXPECT_EQ(32u, m.bajt);
    m.Zapolnit(7);
    EXPECT_TRUE(vseRavny(m, 7));
    m = 1000ul;
    EXPECT_EQ(10u, m.d1);
    m = 1ul;
    EXPECT_EQ(1u, m.d1);
    m = 0ul;
    EXPECT_EQ(nullptr, m.elementy);
    EXPECT_EQ(0u, m.d1 + m.d2 + m.d3 + m.bajt);
    // Exact cubes and their neighbours: no rounding error may cost a whole unit.
    for (unsigned long s = 2; s <= 40; ++s) {
        m = s * s * s;
        ASSERT_EQ(s, m.d1) << s * s * s;
        m = s * s * s - 1;
        ASSERT_EQ(s - 1, m.d1) << s * s * s - 1;
    }
}

TEST_F(Ozu, ArrayCopiesAreIndependentWithEqualElements) {
    ZYKMASSMATDW a(2, 3, 4);
    ASSERT_EQ(96u, a.bajt);
    for (unsigned long i = 0; i < 2; ++i)
        for (unsigned long j = 0; j < 3; ++j)
            for (unsigned long k = 0; k < 4; ++k)
                a.elementy[i][j][k] = i * 100 + j * 10 + k;
    ZYKMASSMATDW b(a);
    ASSERT_EQ(3u, b.d2);
    ASSERT_EQ(96u, b.bajt);
    EXPECT_EQ(123u, b.elementy[1][2][3]);
    b.elementy[1][2][3] = 5;
    EXPECT_EQ(123u, a.elementy[1][2][3]);
    ZYKMASSMATDW c(1, 1, 1);
    c = a;
    EXPECT_EQ(4u, c.d3);
    EXPECT_EQ(12u, c.elementy[0][1][2]);
    c = c;
    EXPECT_EQ(12u, c.elementy[0][1][2]);
    a.DES();
    EXPECT_EQ(12u, c.elementy[0][1][2]);
    c = a; // an empty source empties
    EXPECT_EQ(nullptr, c.elementy);
}

TEST_F(Ozu, ArrayWithAZeroExtentIsNotMade) {
    ZYKMASSMATDW m(4, 0, 4);
    EXPECT_EQ(nullptr, m.elementy);
    EXPECT_EQ(0u, m.bajt);
    m.Zapolnit(3); // harmless when empty
    m.Sozdat(2, 2, 2);
    m.Zapolnit(9);
    m.Sozdat(0, 5, 5); // changes nothing
    EXPECT_EQ(2u, m.d1);
    EXPECT_TRUE(vseRavny(m, 9));
}

TEST_F(Ozu, ArrayTooLargeForItsByteCountIsReportedAndLeftEmpty) {
    ZyStorozhOkon storozh{IDOK, IDOK};
    ZYKMASSMATDW m(0x10000, 0x10000, 1);
    EXPECT_EQ(nullptr, m.elementy);
    EXPECT_EQ(0u, m.d1 + m.d2 + m.d3 + m.bajt);
    m = 0xFFFFFFFFul; // a cube of side 1625: more than 2^32 bytes
    EXPECT_EQ(nullptr, m.elementy);
    const std::vector<ZyOkno>& okna = storozh.Ostanovit();
    ASSERT_EQ(2u, okna.size());
    for (const ZyOkno& o : okna) {
        EXPECT_EQ("ZYKMASSMATDW::ZYKMASSMATDW", o.zagolovok);
        EXPECT_EQ("Mistake at the separation of memory.", o.tekst);
    }
}

} // namespace
