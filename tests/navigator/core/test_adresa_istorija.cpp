// The text of "AdresaFyn.txt" (lookup in user-edited text, the lines written) and the walk
// through the history file's entries, healthy and damaged, on in-memory files.
#include "ZyAdresaFyn.h"
#include "ZyHodIstorii.h"
#include "ZyTestSluchajnye.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

// The value of `klyuch` in `tekst`, or "<none>".
std::string Znach(const std::string& tekst, const char* klyuch) {
    std::string z;
    return ZyNajtiZnachenie(tekst.data(), tekst.size(), klyuch, z) ? z : "<none>";
}

} // namespace

TEST(AdresaFyn, LookupTrimsBlanksTabsAndLineBreaks) {
    EXPECT_EQ("a.dll\\F", Znach("KonstryktorScenw = a.dll\\F;\r\n", "KonstryktorScenw"));
    EXPECT_EQ("a b.dll\\F", Znach("Antrakt=\t \r\n a b.dll\\F \t\r\n;", "Antrakt"));
    // Bytes 0x80..0xFF count as blanks at either end, not inside.
    EXPECT_EQ("x\xE9y", Znach("PokazScenw = \xA0\xFFx\xE9y\x80;", "PokazScenw"));
    // No ";": the value runs to the end of the text.
    EXPECT_EQ("m\\f", Znach("FinalScenw = m\\f  \r\n", "FinalScenw"));
    // The first occurrence of the key, then the next "=".
    EXPECT_EQ("1", Znach("Antrakt junk = 1; Antrakt = 2;", "Antrakt"));
}

TEST(AdresaFyn, LookupWithoutAValue) {
    EXPECT_EQ("<none>", Znach("", "Antrakt"));
    EXPECT_EQ("<none>", Znach("Antrakt a.dll\\F;", "Antrakt"));   // no "="
    EXPECT_EQ("<none>", Znach("Antrakt = ;", "Antrakt"));         // empty
    EXPECT_EQ("<none>", Znach("Antrakt = \t\r\n;", "Antrakt"));   // blanks only
    EXPECT_EQ("<none>", Znach("antrakt = a.dll\\F;", "Antrakt")); // keys are case-sensitive
    EXPECT_EQ("<none>", Znach(std::string("Antrakt = a\0b;", 14), "Antrakt")); // a zero byte
    std::string z;
    EXPECT_FALSE(ZyNajtiZnachenie(nullptr, 10, "Antrakt", z));
}

TEST(AdresaFyn, LookupInRandomBytesNeverReadsPastTheText) {
    const std::string t = zytest::SluchajnyjTekst(12345, 4096) + "Antrakt =";
    for (const char* k : ZyKlyuchiScenw) {
        std::string z;
        ZyNajtiZnachenie(t.data(), t.size(), k, z);
        EXPECT_LE(z.size(), t.size());
    }
    EXPECT_EQ("<none>", Znach(t, "Antrakt")); // "=" at the very end: empty value
}

TEST(AdresaFyn, WrittenTextAndPath) {
    EXPECT_EQ("KonstryktorScenw = ZyKGLOrvanta2.dll\\ZyGLScenaNach1;\r\n"
              "Antrakt = ZyKGLOrvanta2.dll\\ZyGLScenaNach2;\r\n"
              "PokazScenw = ZyKGLOrvanta2.dll\\ZyGLScenaNach3;\r\n"
              "FinalScenw = ZyKGLOrvanta2.dll\\ZyGLScenaNach4;\r\n",
              ZyTekstAdresa(ZyImenaPoUmolchaniju));
    const std::string t = ZyTekstAdresa(ZyImenaPoUmolchaniju);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ZyImenaPoUmolchaniju[i], Znach(t, ZyKlyuchiScenw[i]));
    EXPECT_EQ("ZyGLDannwe\\ZyGLOkno 000\\AdresaFyn.txt", ZyPutOkna(0, "AdresaFyn.txt"));
    EXPECT_EQ("ZyGLDannwe\\ZyGLOkno 042\\ZyIstorijaScen.ZYI", ZyPutOkna(42, "ZyIstorijaScen.ZYI"));
}

namespace {

// An in-memory history file built entry by entry.
struct Fajl {
    std::vector<unsigned char> b = std::vector<unsigned char>(24, 0);
    std::vector<uint64_t> poz; // position of entry i + 1

    static void Pisat32(std::vector<unsigned char>& v, size_t i, uint32_t x) {
        for (int k = 0; k < 4; ++k)
            v[i + k] = static_cast<unsigned char>(x >> (8 * k));
    }
    static void Pisat64(std::vector<unsigned char>& v, size_t i, uint64_t x) {
        Pisat32(v, i, static_cast<uint32_t>(x));
        Pisat32(v, i + 4, static_cast<uint32_t>(x >> 32));
    }
    // Appends entry n with four names of the given lengths.
    void Dobavit(size_t dlinaImeni) {
        const uint32_t nomer = static_cast<uint32_t>(poz.size() + 1);
        std::vector<unsigned char> z(272, 0);
        Pisat32(z, 4, nomer);
        z[8] = static_cast<unsigned char>(nomer); // a recognisable snapshot byte
        for (int i = 0; i < 4; ++i) {
            z.insert(z.end(), dlinaImeni + i, static_cast<unsigned char>('a' + i));
            z.push_back(0);
        }
        const uint32_t R = static_cast<uint32_t>(z.size() + 4);
        z.resize(R);
        Pisat32(z, 0, R);
        Pisat32(z, R - 4, R - 4);
        poz.push_back(b.size());
        b.insert(b.end(), z.begin(), z.end());
    }
    // The header: current entry n, last entry the last one.
    ZYS_POZICII_ISTORII Zag(uint32_t tek) const {
        return {poz[tek - 1], tek, poz.back(), static_cast<uint32_t>(poz.size())};
    }
    ZYS_ISTORIJA Ist() const {
        return {b.size(), [this](uint64_t p, void* kuda, uint32_t n) {
                    if (p > b.size() || b.size() - p < n) return false;
                    std::memcpy(kuda, b.data() + p, n);
                    return true;
                }};
    }
};

// A file of `n` entries with names of growing length.
Fajl Istorija(int n) {
    Fajl f;
    for (int i = 0; i < n; ++i)
        f.Dobavit(static_cast<size_t>(i * 3));
    return f;
}

} // namespace

TEST(HodIstorii, StepCommandsAndTheirLimits) {
    const Fajl f = Istorija(5);
    const ZYS_ISTORIJA ist = f.Ist();
    struct Sluchaj {
        uint32_t tek;
        unsigned long komanda, kol;
        uint32_t cel;
        unsigned long sdelano;
    } const sluchai[] = {
        {3, 0x3C3C7C, 5, 1, 0x3C3C7C},     // back past the first lands on the first
        {3, 0x3C3C7C, 1, 2, 0x3C3C7C},     // back one
        {5, 0x3C3C7C, 3, 2, 0x3C3C7C},     // back, walking forward from the first
        {5, 0x3C3C7C, 1, 4, 0x3C3C7C},     // back, walking backward from the current one
        {3, 0x3C3C7C, 0, 3, 0x3E},         // back zero: nothing
        {1, 0x3C3C7C, 1, 1, 0x3E},         // back from the first: nothing
        {2, 0x7C3E3E, 9, 5, 0x7C3E3E},     // forward past the last lands on the last
        {1, 0x7C3E3E, 1, 2, 0x7C3E3E},     // forward, walking from the current one
        {1, 0x7C3E3E, 3, 4, 0x7C3E3E},     // forward, walking backward from the last
        {5, 0x7C3E3E, 1, 5, 0x3E},         // forward from the last: nothing
        {4, 0x3C3C3C28, 0, 1, 0x3C3C3C28}, // first
        {1, 0x3C3C3C28, 0, 1, 0x3C3C3C28}, // first, already there: still performed
        {2, 0x293E3E3E, 0, 5, 0x293E3E3E}, // last
        {2, 0x3E, 0, 2, 0x3E},
        {2, 0x12345, 7, 2, 0x3E}, // any other command stays
    };
    for (const Sluchaj& s : sluchai) {
        ZYS_POZICII_ISTORII z = f.Zag(s.tek);
        ASSERT_TRUE(ZyZagolovokZdorov(ist, z));
        EXPECT_EQ(s.sdelano, ZyShagIstorii(ist, z, s.komanda, s.kol))
            << std::hex << s.komanda << " from " << s.tek;
        EXPECT_EQ(s.cel, z.tekNom) << std::hex << s.komanda << " from " << s.tek;
        EXPECT_EQ(f.poz[s.cel - 1], z.tekPoz) << std::hex << s.komanda << " from " << s.tek;
    }
}

TEST(HodIstorii, EntriesOfDifferentLengthsWalkBackExactly) {
    const Fajl f = Istorija(6);
    const ZYS_ISTORIJA ist = f.Ist();
    for (uint32_t ot = 2; ot <= 6; ++ot) {
        ZYS_POZICII_ISTORII z = f.Zag(ot);
        ZyShagIstorii(ist, z, 0x3C3C7C, 1);
        EXPECT_EQ(f.poz[ot - 2], z.tekPoz) << "from entry " << ot;
        std::vector<unsigned char> zapis;
        ASSERT_TRUE(ZyProchestZapis(ist, z.tekPoz, z.tekNom, zapis));
        EXPECT_EQ(ot - 1, zapis[8]);
    }
}

TEST(HodIstorii, DamagedEntriesAreRecognised) {
    Fajl f = Istorija(2);
    std::vector<unsigned char> zapis;
    EXPECT_TRUE(ZyProchestZapis(f.Ist(), f.poz[1], 2, zapis));
    EXPECT_FALSE(ZyProchestZapis(f.Ist(), f.poz[1], 3, zapis)) << "wrong number";
    EXPECT_FALSE(ZyProchestZapis(f.Ist(), 23, 0, zapis)) << "inside the header";
    EXPECT_FALSE(ZyProchestZapis(f.Ist(), f.b.size(), 0, zapis)) << "at the end";

    struct Porcha {
        const char* chto;
        size_t smeshchenie; // from the start of entry 2
        uint32_t znach;
    } const porchi[] = {
        {"length 0", 0, 0},
        {"length below the smallest entry", 0, 279},
        {"length past the end of the file", 0, 100000},
        {"length above the limit", 0, 0x7FFFFFFF},
        {"trailing length", 0, 0xFFFFFFFF},
    };
    for (const Porcha& p : porchi) {
        Fajl g = f;
        if (p.znach == 0xFFFFFFFF)
            Fajl::Pisat32(g.b, g.b.size() - 4, 5);
        else
            Fajl::Pisat32(g.b, g.poz[1] + p.smeshchenie, p.znach);
        EXPECT_FALSE(ZyProchestZapis(g.Ist(), g.poz[1], 2, zapis)) << p.chto;
    }
    Fajl g = f;
    g.b[g.b.size() - 5] = 'x'; // the fourth name loses its terminator
    EXPECT_FALSE(ZyProchestZapis(g.Ist(), g.poz[1], 2, zapis));
}

TEST(HodIstorii, WalkEndsAtTheLastSoundEntry) {
    Fajl f = Istorija(5);
    Fajl::Pisat32(f.b, f.poz[2] + 4, 77); // entry 3 carries a wrong number
    const ZYS_ISTORIJA ist = f.Ist();
    ZYS_POZICII_ISTORII z = f.Zag(1);
    z.poslPoz = f.poz[1];
    z.poslNom = 2; // a header whose last entry is sound
    EXPECT_EQ(0x7C3E3E, ZyShagIstorii(ist, z, 0x7C3E3E, 1));
    EXPECT_EQ(2u, z.tekNom);

    ZYS_POZICII_ISTORII w = f.Zag(5);
    ZyShagIstorii(ist, w, 0x3C3C7C, 3); // target 2: backward from 5 stops before entry 3
    EXPECT_EQ(4u, w.tekNom);
    EXPECT_EQ(f.poz[3], w.tekPoz);
}

TEST(HodIstorii, DamagedHeaderIsRebuiltFromTheSoundEntries) {
    Fajl f = Istorija(4);
    const ZYS_ISTORIJA ist = f.Ist();
    ZYS_POZICII_ISTORII z{999999, 3, 12, 2}; // positions nowhere near an entry
    EXPECT_FALSE(ZyZagolovokZdorov(ist, z));
    ASSERT_TRUE(ZyVosstanovitZagolovok(ist, z));
    EXPECT_EQ(4u, z.tekNom);
    EXPECT_EQ(4u, z.poslNom);
    EXPECT_EQ(f.poz[3], z.tekPoz);

    Fajl::Pisat32(f.b, f.poz[2], 0); // entry 3 destroyed: the run of sound entries is 1..2
    ZYS_POZICII_ISTORII w{};
    ASSERT_TRUE(ZyVosstanovitZagolovok(f.Ist(), w));
    EXPECT_EQ(2u, w.tekNom);
    EXPECT_EQ(f.poz[1], w.poslPoz);

    Fajl::Pisat32(f.b, f.poz[0], 0);
    EXPECT_FALSE(ZyVosstanovitZagolovok(f.Ist(), w));
    EXPECT_FALSE(ZyZagolovokZdorov(f.Ist(), ZYS_POZICII_ISTORII{}));
}
