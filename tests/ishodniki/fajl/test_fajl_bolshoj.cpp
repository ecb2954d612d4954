// A sparse file larger than 4 GiB: growth with FIN, bytes above 2^32 through operator[] and
// Kop, copies across the 2^32 boundary, delete and the cut back, so every 64-bit path runs.
#include <gtest/gtest.h>

#include <windows.h>

#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

constexpr uint64_t k4G = 1ull << 32;
constexpr uint64_t kRazmer = k4G + (40 << 20) + 12345;
constexpr uint64_t kMetka = k4G + 300000; // a marked byte away from the copied ranges
constexpr const char* kImja = "bolshoj.bin";

// Removes the file whatever the test's outcome.
struct Uborka {
    ~Uborka() { DeleteFileA(kImja); }
};

} // namespace

TEST(Bolshoj, FileAbove4GiBThroughEveryForm) {
    Uborka uborka;
    DeleteFileA(kImja);
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    ASSERT_EQ(1, f(kImja, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                   FILE_ATTRIBUTE_NORMAL, nullptr));
    // NOTE: growing with SetEndOfFile leaves the file sparse here, so no disk space is used.
    ASSERT_EQ(1, f.FIN(nb(kRazmer)));
    EXPECT_EQ(kRazmer, u64(f.Razmer));
    EXPECT_EQ(int64_t(kRazmer), RazmerFajla(kImja));

    // Bytes above 2^32 through the zone, and the zone's start beyond 32 bits.
    f[nb(kMetka)] = 0xA5;
    f[nb(kRazmer - 1)] = 0x5A;
    EXPECT_GT(u64(f.KonecZony), k4G);
    EXPECT_EQ(0xA5, f[nb(kMetka)]);
    EXPECT_EQ(0, f[nb(kMetka + 1)]);
    EXPECT_EQ(0x5A, f[nb(kRazmer - 1)]);
    EXPECT_EQ(kRazmer - 1, u64(f.Poz));

    // Memory forms at offsets that need the high half.
    const auto obrazec = uzor(200000, 4);
    EXPECT_EQ(1, f.Kop(nb(k4G - 100000), obrazec.data(), (unsigned long)obrazec.size()))
        << "a range across 2^32";
    std::vector<unsigned char> nazad(obrazec.size());
    EXPECT_EQ(1, f.Kop(nazad.data(), nb(k4G - 100000), (unsigned long)nazad.size()));
    EXPECT_EQ(obrazec, nazad);
    EXPECT_EQ(k4G + 100000, u64(f.Poz));

    // Same-file copies across the boundary, in both directions and overlapping.
    EXPECT_EQ(1, f.Kop(nb(k4G + 1000000), nb(k4G - 100000), nb(200000)));
    EXPECT_EQ(1, f.Kop(nazad.data(), nb(k4G + 1000000), 200000));
    EXPECT_EQ(obrazec, nazad);
    EXPECT_EQ(1, f.Kop(nb(k4G - 100007), nb(k4G - 100000), nb(200000)));
    EXPECT_EQ(1, f.Kop(nazad.data(), nb(k4G - 100007), 200000));
    EXPECT_EQ(obrazec, nazad);
    EXPECT_EQ(-1, f.Kop(nb(kRazmer - 10), nb(kMetka), nb(10)));
    EXPECT_EQ(0xA5, f[nb(kRazmer - 10)]);

    // Delete and insert far above 2^32, then the cut back below it.
    unsigned char z[4] = {1, 2, 3, 4};
    EXPECT_EQ(1, f.Vkl(nb(kMetka - 3), z, 4));
    EXPECT_EQ(kRazmer + 4, u64(f.Razmer));
    EXPECT_EQ(4, f[nb(kMetka)]);
    EXPECT_EQ(0xA5, f[nb(kMetka + 4)]);
    EXPECT_EQ(1, f.Vwkl(nb(kMetka - 3), nb(4)));
    EXPECT_EQ(kRazmer, u64(f.Razmer));
    EXPECT_EQ(0xA5, f[nb(kMetka)]);

    ASSERT_EQ(1, f.VsPoz(nb(k4G)));
    EXPECT_EQ(1, f.FIN(nb(kMax))) << "cut just after the position";
    EXPECT_EQ(k4G + 1, u64(f.Razmer));
    EXPECT_EQ(int64_t(k4G + 1), RazmerFajla(kImja));
    EXPECT_EQ(-1, f.VsPoz(0xFFFFFFFFul));
    EXPECT_EQ(k4G, u64(f.Poz));

    EXPECT_TRUE(nabljudatel.Okna().empty());
    EXPECT_EQ(1, f.STER());
    EXPECT_EQ(-1, RazmerFajla(kImja));
}
