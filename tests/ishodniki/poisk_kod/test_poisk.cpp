// Pattern search: the documented cases, then random files much larger than a zone searched
// with random patterns in every mode and compared with a plain search written here.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "fajl_pomoshch.h"

using namespace zytest;
using Quorvel::ZYSMASSIV;

namespace {

using Bajty = std::vector<unsigned char>;
constexpr unsigned long kOtPoz = Quorvel::ZYPS_OT_POZ, kNazad = Quorvel::ZYPS_NAZAD,
                        kVZone = Quorvel::ZYPS_V_ZONE;

// What one search gives.
struct Itog {
    int rez;
    uint64_t kolvo, najdeno, poz;
};

bool operator==(const Itog& a, const Itog& b) {
    return a.rez == b.rez && a.kolvo == b.kolvo && a.najdeno == b.najdeno && a.poz == b.poz;
}

std::ostream& operator<<(std::ostream& o, const Itog& i) {
    return o << "{rez " << i.rez << ", count " << i.kolvo << ", found " << i.najdeno << ", pos "
             << i.poz << "}";
}

// Runs VzPozStr; `found` starts at a marker so an unset one shows.
Itog iskat(ZYKFAJL64& f, const std::string& obr, unsigned long opcii, uint64_t nth = 0,
           ZYSMASSIV* t = nullptr, unsigned long dlina = ~0ul) {
    ZYKNB64 kolvo = nb(77), najdeno = nb(99);
    const ZYKNB64 n = nb(nth);
    Itog i;
    i.rez = f.VzPozStr(kolvo, najdeno, obr.data(), dlina == ~0ul ? obr.size() : dlina, opcii,
                       nth ? &n : nullptr, t);
    i.kolvo = u64(kolvo);
    i.najdeno = u64(najdeno);
    i.poz = u64(f.Poz);
    return i;
}

// The built-in table as the test sees it: letters of both cases, Latin and Windows-1251.
unsigned char registr(unsigned char b) {
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDF)) return b + 0x20;
    if ((b >= 'a' && b <= 'z') || b >= 0xE0) return b - 0x20;
    if (b == 0xA8) return 0xB8;
    if (b == 0xB8) return 0xA8;
    return b;
}

// The plain search: same range, stride, start, direction and occurrence rules.
struct Etalon {
    const Bajty& f;
    const Bajty& obr;
    int tablica; // 0 exact, 1 built-in, 2 the rows below
    const Bajty* stroki;

    bool ravny(unsigned char p, unsigned char b) const {
        if (p == b) return true;
        if (tablica == 1) return registr(p) == b;
        if (tablica == 2)
            for (size_t r = 0; r + 256 <= stroki->size(); r += 256)
                if ((*stroki)[r + p] == b) return true;
        return false;
    }
    bool v(uint64_t c) const {
        for (size_t i = 0; i < obr.size(); ++i)
            if (!ravny(obr[i], f[c + i])) return false;
        return true;
    }
    Itog iskat(unsigned long opcii, uint64_t nth, uint64_t niz, uint64_t verh, uint64_t poz) const {
        const uint64_t posl = f.size() - 1, len = obr.size();
        const uint64_t s = (opcii & 0x0FFFFFFF) < 2 ? 1 : (opcii & 0x0FFFFFFF);
        const uint64_t dalshe = (len + s - 1) / s * s, nuzhno = nth > 1 ? nth : 1;
        Itog i{-1, 0, 99, poz};
        if (!(opcii & kNazad)) {
            uint64_t c = (opcii & kOtPoz) ? (poz < niz ? niz : poz) : niz;
            if (c > verh) return i;
            for (; c + len - 1 <= verh;) {
                if (!v(c)) {
                    c += s;
                    continue;
                }
                i.kolvo++;
                i.najdeno = c;
                if (i.kolvo == nuzhno) {
                    i.rez = c + dalshe <= posl ? 1 : -1;
                    i.poz = c + dalshe <= posl ? c + dalshe : posl;
                    return i;
                }
                c += dalshe;
            }
            i.poz = verh + 1 <= posl ? verh + 1 : posl;
            return i;
        }
        uint64_t c = (opcii & kOtPoz) ? (poz > verh ? verh : poz) : verh;
        if (c < niz) return i;
        i.poz = niz;
        if (verh + 1 < len) return i;
        if (c > verh + 1 - len) {
            const uint64_t k = (c - (verh + 1 - len) + s - 1) / s * s;
            if (k > c) return i;
            c -= k;
        }
        for (; c >= niz; c -= s) {
            if (v(c)) {
                i.kolvo++;
                i.najdeno = c;
                if (i.kolvo == nuzhno) {
                    i.rez = 1;
                    i.poz = c;
                    return i;
                }
            }
            if (c < s) break;
        }
        return i;
    }
};

// A writable file holding `b`, opened.
void fajl(ZYKFAJL64& f, const std::string& imja, const Bajty& b) {
    ASSERT_TRUE(ZapisatBajty(imja, b));
    ASSERT_EQ(1, otkrytZapis(f, imja));
}

Bajty bajty(const std::string& s) {
    return Bajty(s.begin(), s.end());
}

} // namespace

TEST(Poisk, DocumentedCases) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    ZYKFAJL64 f7, f6, abcb, ab, shag, zona, pustoj;
    fajl(f7, "sem.bin", bajty("xAByAbz"));
    fajl(f6, "shest.bin", bajty("xAByAb"));
    fajl(abcb, "abcb.bin", bajty("abcb"));
    fajl(ab, "ab.bin", bajty("ab"));
    fajl(shag, "shag.bin", bajty("......ab......"));
    Bajty z(40, '.');
    z[25] = 'q';
    fajl(zona, "zona.bin", z);
    fajl(pustoj, "pustoj.bin", {});
    zona.VsZonSkan(10, 20);
    f7.Flagi |= Quorvel::ZYF64_VPERED;
    const unsigned long f7Flagi = f7.Flagi;
    struct Sluchaj {
        const char* chto;
        ZYKFAJL64* f;
        std::string obr;
        unsigned long opcii;
        uint64_t nth;
        ZYSMASSIV* t;
        Itog zhdem;
    };
    const Sluchaj sluchai[] = {
        {"a, b with the table, first", &f7, "ab", 0, 0, ZY_TABLICA_REGISTRA, {1, 1, 1, 3}},
        {"a, b with the table, second", &f7, "ab", 0, 2, ZY_TABLICA_REGISTRA, {1, 2, 4, 6}},
        {"second in 6 bytes: past the end", &f6, "ab", 0, 2, ZY_TABLICA_REGISTRA, {-1, 2, 4, 5}},
        {"exact: only A b", &f7, "Ab", 0, 0, nullptr, {1, 1, 4, 6}},
        {"third does not exist", &f7, "ab", 0, 3, ZY_TABLICA_REGISTRA, {-1, 2, 4, 6}},
        {"backward b in abcb", &abcb, "b", kNazad, 0, nullptr, {1, 1, 3, 3}},
        {"backward second b", &abcb, "b", kNazad, 2, nullptr, {1, 2, 1, 1}},
        {"backward second a of one, found at 0", &ab, "a", kNazad, 2, nullptr, {-1, 1, 0, 0}},
        {"stride 4 misses 6", &shag, "ab", 4, 0, nullptr, {-1, 0, 99, 13}},
        {"stride 3 finds 6", &shag, "ab", 3, 0, nullptr, {1, 1, 6, 9}},
        {"scan zone 10..20 misses 25", &zona, "q", kVZone, 0, nullptr, {-1, 0, 99, 21}},
        {"empty file", &pustoj, "a", 0, 0, nullptr, {-1, 0, 99, 0}},
    };
    for (const Sluchaj& s : sluchai)
        EXPECT_EQ(s.zhdem, iskat(*s.f, s.obr, s.opcii, s.nth, s.t)) << s.chto;
    EXPECT_EQ(f7Flagi, f7.Flagi) << "the flags word comes back";
    f7.VsPoz(5);
    EXPECT_EQ((Itog{1, 1, 4, 4}), iskat(f7, "ab", kNazad | kOtPoz, 0, ZY_TABLICA_REGISTRA))
        << "backward from the position";
    EXPECT_EQ(f7Flagi, f7.Flagi) << "the flags word comes back after a backward search";

    // Missing patterns and tables fail with 0.
    ZYKNB64 k = nb(5), n = nb(0);
    EXPECT_EQ(0, f7.VzPozStr(k, n, "", 0, 0, nullptr, nullptr)) << "empty text";
    EXPECT_EQ(0, f7.VzPozStr(k, n, nullptr, 3, 0, nullptr, nullptr)) << "no pattern";
    ZYSMASSIV bezStrok{512, nullptr};
    EXPECT_EQ(0, f7.VzPozStr(k, n, "ab", 2, 0, nullptr, &bezStrok)) << "rows missing";
    EXPECT_EQ(1, f7.VzPozStr(k, n, "yA", 0, 0, nullptr, nullptr)) << "length from the text";
    EXPECT_EQ(3u, u64(n));
    EXPECT_TRUE(storozh.Ostanovit().empty());
}

// Random files of ten zones: every mode against the plain search, with occurrences planted
// across the zone boundaries and a pattern longer than a zone.
TEST(Poisk, RandomFilesAgainstThePlainSearch) {
    ZyPapkaTesta papka;
    ZyStorozhOkon storozh;
    PodmenaVyzovov podmena;
    podmena.pamjat(4 * 65536, 1ull << 32); // zones of two granularity units, 128 KiB
    const size_t razmer = 10 * 65536 + 777;
    Bajty stroki(512);
    for (unsigned b = 0; b < 256; ++b) {
        stroki[b] = static_cast<unsigned char>(b == 'a' ? 'c' : b);
        stroki[256 + b] = static_cast<unsigned char>(b == 'b' ? 0xE1 : b);
    }
    ZYSMASSIV svoja{static_cast<unsigned long>(stroki.size()), stroki.data()};
    const char alfavit[] = "abcABC\xE1\xC1xy";
    uint32_t x = 12345;
    auto sluch = [&](uint32_t n) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x % n;
    };
    int proverok = 0;
    for (unsigned zerno = 1; zerno <= 3; ++zerno) {
        Bajty dannye(razmer);
        for (auto& b : dannye)
            b = static_cast<unsigned char>(alfavit[sluch(10)]);
        const size_t len = 2 + sluch(5);
        Bajty obr(dannye.begin() + 4000, dannye.begin() + 4000 + len);
        obr[0] = 'a';
        obr[len - 1] = 'b';
        for (size_t k = 1; k < 10; ++k) // across the boundaries of the granularity
            std::copy(obr.begin(), obr.end(), dannye.begin() + k * 65536 - 1 - (k % len));
        ZYKFAJL64 f;
        fajl(f, "sluchajnyj" + std::to_string(zerno) + ".bin", dannye);
        const std::string s(obr.begin(), obr.end());
        for (unsigned long napr : {0ul, kNazad})
            for (unsigned long shag : {0ul, 3ul, 4ul, 17ul})
                for (int t : {0, 1, 2})
                    for (uint64_t nth : {1u, 4u})
                        for (int rezhim = 0; rezhim < 3; ++rezhim) {
                            // rezhim 0: the whole file; 1: a scan zone; 2: from the position
                            const unsigned long opcii = napr | shag | (rezhim == 1 ? kVZone : 0) |
                                                        (rezhim == 2 ? kOtPoz : 0);
                            uint64_t niz = 0, verh = razmer - 1;
                            if (rezhim == 1) {
                                niz = 131070;
                                verh = 400003;
                                f.VsZonSkan(nb(niz), nb(verh));
                            }
                            const uint64_t poz = 327679 + zerno;
                            f.VsPoz(nb(poz));
                            Etalon e{dannye, obr, t, &stroki};
                            ZYSMASSIV* tab = t == 0   ? nullptr
                                             : t == 1 ? ZY_TABLICA_REGISTRA
                                                      : &svoja;
                            const Itog zhdem = e.iskat(opcii, nth, niz, verh, poz);
                            ASSERT_EQ(zhdem, iskat(f, s, opcii, nth, tab))
                                << "seed " << zerno << " options 0x" << std::hex << opcii
                                << std::dec << " table " << t << " nth " << nth;
                            ++proverok;
                        }
        // A pattern longer than a zone, found forward and backward.
        const size_t dlinnyj = 150000;
        const std::string d(dannye.begin() + 200001, dannye.begin() + 200001 + dlinnyj);
        const Bajty dB(d.begin(), d.end());
        Etalon e{dannye, dB, 0, nullptr};
        for (unsigned long opcii : {0ul, kNazad}) {
            EXPECT_EQ(e.iskat(opcii, 1, 0, razmer - 1, 0), iskat(f, d, opcii)) << "long pattern";
            EXPECT_EQ(200001u, iskat(f, d, opcii).najdeno);
        }
    }
    EXPECT_EQ(3 * 144, proverok);
    EXPECT_TRUE(storozh.Ostanovit().empty());
}

TEST(Poisk, ReadOnlyFileAndOccurrenceInTheLastBytes) {
    ZyPapkaTesta papka;
    Bajty b(70000, 'x');
    b[69998] = 'e';
    b[69999] = 'n';
    ASSERT_TRUE(ZapisatBajty("chtenie.bin", b));
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytChtenie(f, "chtenie.bin"));
    EXPECT_EQ((Itog{-1, 1, 69998, 69999}), iskat(f, "en", 0))
        << "the position after lies past the end";
    EXPECT_EQ((Itog{1, 1, 69998, 69998}), iskat(f, "en", kNazad));
    EXPECT_EQ(70000u, u64(f.Razmer)) << "the search never grows a file";
}
