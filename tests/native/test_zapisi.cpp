// The byte layouts of every stored or shared record, printed and compared field by field, so
// that the 32-bit and the 64-bit builds show the same table (and a difference is visible at a
// glance in the log). Also the encoded form of a block: the block arithmetic uses 32-bit
// digits on i686 and 64-bit digits on x86_64, and both must write the same bytes.
#include "ZyHodIstorii.h"
#include "ZyKodArifm.h"
#include "ZyNB64.h"
#include "ZyZagolovokBloka.h"
#include "ZyZapisi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

struct Pole {
    const char* imja;
    std::size_t smeshenie, razmer; // actual
    std::size_t ozhidSmeshenie, ozhidRazmer;
};

#define ZY_POLE(T, f, o, r)                                                                        \
    Pole {                                                                                         \
#T "::" #f, offsetof(T, f), sizeof(T::f), o, r                                             \
    }

// Prints the table and checks every row.
void Sverit(const char* zapis, std::size_t razmer, std::size_t ozhid, const std::vector<Pole>& p) {
    std::printf("%-22s size %3zu (expected %3zu)\n", zapis, razmer, ozhid);
    EXPECT_EQ(razmer, ozhid) << zapis;
    for (const Pole& f : p) {
        std::printf("  %-34s offset %3zu size %3zu\n", f.imja, f.smeshenie, f.razmer);
        EXPECT_EQ(f.smeshenie, f.ozhidSmeshenie) << f.imja;
        EXPECT_EQ(f.razmer, f.ozhidRazmer) << f.imja;
    }
}

TEST(Zapisi, StoredRecordsHaveTheirFixedLayout) {
    Sverit("ZYKNB64", sizeof(ZYKNB64), 8, {ZY_POLE(ZYKNB64, Ml, 0, 4), ZY_POLE(ZYKNB64, St, 4, 4)});
    Sverit("TOCHKA3MDF", sizeof(TOCHKA3MDF), 24,
           {ZY_POLE(TOCHKA3MDF, x, 0, 8), ZY_POLE(TOCHKA3MDF, y, 8, 8),
            ZY_POLE(TOCHKA3MDF, z, 16, 8)});
    Sverit("ZYS_POZ_NAV", sizeof(ZYS_POZ_NAV), 264,
           {ZY_POLE(ZYS_POZ_NAV, flagi, 0, 8), ZY_POLE(ZYS_POZ_NAV, SkorostNav, 8, 48),
            ZY_POLE(ZYS_POZ_NAV, IzmSkorosti, 56, 8), ZY_POLE(ZYS_POZ_NAV, PozNav, 64, 96),
            ZY_POLE(ZYS_POZ_NAV, PozNavVid, 160, 96), ZY_POLE(ZYS_POZ_NAV, Distancija, 256, 8)});
    Sverit("ZYS_ZAG_ISTORII", sizeof(ZYS_ZAG_ISTORII), 24,
           {ZY_POLE(ZYS_ZAG_ISTORII, TekPoz, 0, 8), ZY_POLE(ZYS_ZAG_ISTORII, TekNom, 8, 4),
            ZY_POLE(ZYS_ZAG_ISTORII, PoslPoz, 12, 8), ZY_POLE(ZYS_ZAG_ISTORII, PoslNom, 20, 4)});
    using zyst::ZYS_BLOK_PEREVODA;
    Sverit("ZYS_BLOK_PEREVODA", sizeof(ZYS_BLOK_PEREVODA), 24,
           {ZY_POLE(ZYS_BLOK_PEREVODA, RazmerZag, 0, 4), ZY_POLE(ZYS_BLOK_PEREVODA, Metka, 4, 8),
            ZY_POLE(ZYS_BLOK_PEREVODA, Sostojanie, 12, 4), ZY_POLE(ZYS_BLOK_PEREVODA, Dlina, 16, 4),
            ZY_POLE(ZYS_BLOK_PEREVODA, Okno, 20, 4)});
    std::printf("history: header %u, smallest entry %u; long double %zu bytes\n",
                unsigned(ZY_ZAGOLOVOK_ISTORII), unsigned(ZY_MIN_ZAPIS), sizeof(long double));
    EXPECT_EQ(ZY_ZAGOLOVOK_ISTORII, 24u);
    EXPECT_EQ(ZY_MIN_ZAPIS, 280u);
    EXPECT_EQ(sizeof(long double), sizeof(void*) == 4 ? 12u : 16u) << "the x87 extended type";
}

// The smallest history entry, as the writer lays it out, is read back as sound.
TEST(Zapisi, SmallestHistoryEntryImageIsSound) {
    std::vector<unsigned char> f(24 + 280, 0);
    auto pisat32 = [&](std::size_t poz, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            f[poz + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    pisat32(24, 280);           // R
    pisat32(28, 1);             // number
    pisat32(24 + 280 - 4, 276); // R - 4; the four empty names are the zeros at 296..299
    const ZYS_ISTORIJA ist{f.size(), [&](uint64_t poz, void* kuda, uint32_t n) {
                               if (poz > f.size() || f.size() - poz < n) return false;
                               std::memcpy(kuda, f.data() + poz, n);
                               return true;
                           }};
    std::vector<unsigned char> zapis;
    EXPECT_TRUE(ZyProchestZapis(ist, 24, 1, zapis));
    EXPECT_EQ(zapis.size(), 280u);
}

// One block of known bytes under a known key: the record bytes are the same for every digit
// width of the block arithmetic.
TEST(Zapisi, EncodedRecordIsTheSameOnEveryTarget) {
    ZyKodChislo k;
    ASSERT_TRUE(k.vydelit());
    const unsigned char kljuch[] = "Kljuch";
    std::vector<unsigned char> blok(300);
    for (std::size_t i = 0; i < blok.size(); ++i)
        blok[i] = static_cast<unsigned char>(i * 37 + 11);
    ASSERT_TRUE(k.kljuch(kljuch, 6, blok.size()));
    std::vector<unsigned char> zapis(ZY_KOD_ZAPIS);
    const std::size_t n = k.kodirovat(blok.data(), blok.size(), zapis.data());
    ASSERT_GE(n, 4u);
    const unsigned qn = zapis[0] | zapis[1] << 8, rn = zapis[2] | zapis[3] << 8;
    EXPECT_EQ(n, 4u + qn + rn);
    unsigned long long h = 1469598103934665603ull; // FNV-1a of the record
    for (std::size_t i = 0; i < n; ++i)
        h = (h ^ zapis[i]) * 1099511628211ull;
    std::printf("record: %zu bytes (quotient %u, remainder %u), FNV-1a %016llx\n", n, qn, rn, h);
    EXPECT_EQ(qn, 294u);
    EXPECT_EQ(rn, 6u);
    EXPECT_EQ(h, 0x1bf60171b721dc1aull) << "the same bytes on every target";
    std::vector<unsigned char> nazad(blok.size());
    k.dekodirovat(zapis.data() + 4, qn, zapis.data() + 4 + qn, rn, nazad.data(), nazad.size());
    EXPECT_EQ(nazad, blok);
}

} // namespace
