// Campaign of mutated translation files: the header and entries of every form a translator
// writes (translations empty, blank, on several lines, with quoted parts; keys that are prefixes
// of others), damaged byte by byte, then asked for texts through ZyPerevodStroki. Every answer
// must be the one the file's rules give (looked up here by a plain reader written from those
// rules), the file may only grow by exactly the new entries of texts it had none for, and
// nothing may crash, hang or show a box.
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestMutacii.h"
#include "ZyTestPapki.h"
#include "ZyTestPerevod.h"
#include "ZyTestSoobshenija.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using zytest::ZyGenerator;

namespace {

// Inputs of a CI run (ZY_MUTACII_KOL=10000 for the long one) and the seed.
constexpr unsigned kKolPoUmolchaniju = 2000;
constexpr uint64_t kZerno = 0x9E4EF0;

// ---- The file's rules, read independently of the library ---------------------------------

bool Probel(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// The lookup of `kljuch` in the file text: 1 with its translation, 0 for an entry without
// one, -1 for no entry.
int Najti(const std::string& f, const std::string& kljuch, std::string& perevod) {
    const size_t k = kljuch.size(), n = f.size();
    if (k == 0 || k > n) return -1;
    size_t p = 0;
    while (p < n && f[p] == ' ')
        ++p;
    for (;;) {
        if (p + k <= n && f.compare(p, k, kljuch) == 0) {
            size_t q = p + k;
            size_t e = f.find("***", q);
            if (e == std::string::npos) e = n;
            if (e == q) return 0;
            if (f[q] == ' ' || f[q] == '=' || f[q] == '\r' || f[q] == '\t') {
                while (q < e && Probel(f[q]))
                    ++q;
                if (q == e) return 0;
                if (f[q] == '=') {
                    ++q;
                    while (q < e && Probel(f[q]))
                        ++q;
                    if (q == e) return 0;
                    perevod = f.substr(q, e - q);
                    return 1;
                }
            }
            p = q;
        }
        const size_t z = f.find("***", p);
        if (z == std::string::npos) return -1;
        p = z + 3;
        while (p < n && static_cast<unsigned char>(f[p]) <= 32)
            ++p;
        if (p >= n) return -1;
    }
}

// Cuts the contents of every pair of double quotes out of `t`; the contents in order.
std::vector<std::string> Vyrezat(std::string& t) {
    std::vector<std::string> chasti;
    size_t p = 0;
    for (;;) {
        const size_t a = t.find('"', p);
        if (a == std::string::npos) break;
        const size_t b = t.find('"', a + 1);
        if (b == std::string::npos) break;
        chasti.push_back(t.substr(a + 1, b - a - 1));
        t.erase(a + 1, b - a - 1);
        p = a + 2;
    }
    return chasti;
}

// Puts the parts back, one into each pair of double quotes of `t` from the start.
void Vstavit(std::string& t, const std::vector<std::string>& chasti) {
    size_t p = 0;
    for (const std::string& c : chasti) {
        const size_t a = t.find('"', p);
        if (a == std::string::npos) return;
        const size_t b = t.find('"', a + 1);
        if (b == std::string::npos) return;
        t.replace(a + 1, b - a - 1, c);
        p = a + c.size() + 2;
    }
}

// ---- Inputs -----------------------------------------------------------------------------

struct Para {
    const char* kljuch;
    const char* perevod;
};
const Para kZapisi[] = {
    {"Open file \"\"", "Datei \"\" \xF6"
                       "ffnen"},
    {"Close", "Schliessen"},
    {"Close all", ""},
    {"Save", "   "},
    {"Function: \"\" required \"\" byte.", "F: \"\" / \"\" b."},
    {"Multi", "line one\r\n  line two  "},
    {"Abcd", "Four"},
    {"Abc", "Three"},
    {"Three \"\" \"\" \"\"", "3: \"\" \"\""},
    {"Not \"\"quoted", "\"\"\"\""},
};
const char* const kTeksty[] = {"Open file \"a.txt\"",
                               "Close",
                               "Close all",
                               "Save",
                               "Function: \"f\" required \"12\" byte.",
                               "Multi",
                               "Abc",
                               "Abcd",
                               "Three \"1\" \"2\" \"3\"",
                               "Not \"x\"quoted",
                               "Unknown \"q\" text",
                               "Ab",
                               "Open file",
                               "\"only\" \"parts\""};

// The header and the entries, each in one of the forms a translator may write.
std::string ZdorovyjFajl(ZyGenerator& g) {
    std::string f = g.Raz(8) ? "" : zytest::Zagolovok();
    for (const Para& z : kZapisi) {
        if (g.Raz(6)) continue;
        switch (g.Do(4)) {
        case 0:
            f += zytest::Zapis(z.kljuch, z.perevod);
            break;
        case 1:
            f += std::string("\r\n") + z.kljuch + " = " + z.perevod + "***";
            break;
        case 2:
            f += std::string("\r\n") + z.kljuch + "\t=\r\n" + z.perevod + "***";
            break;
        default:
            f += zytest::NovajaZapis(z.kljuch);
            break;
        }
    }
    return f;
}

// A text to ask for: one of the pool, now and then damaged itself (never empty, no zero).
std::string Tekst(ZyGenerator& g) {
    std::string t = kTeksty[g.Do(sizeof kTeksty / sizeof kTeksty[0])];
    if (g.Raz(4)) {
        std::vector<unsigned char> b(t.begin(), t.end());
        zytest::Mutirovat(b, g, zytest::ZyPolja{}, 2);
        t.clear();
        for (unsigned char c : b)
            if (c) t += char(c);
        if (t.empty()) t = "x";
    }
    return t;
}

struct Itogi {
    unsigned vhodov = 0, zaprosov = 0, perevedeno = 0, novyh = 0, neVlezlo = 0;
};

// One mutated file and a few requests; the first failed check, or "".
std::string Vhod(ZyGenerator& g, Itogi& itogi, std::string& opis) {
    const std::string zdorovyj = ZdorovyjFajl(g);
    std::vector<unsigned char> b(zdorovyj.begin(), zdorovyj.end());
    opis = zytest::Mutirovat(b, g, zytest::ZyPolja{}, 4);
    std::string f(b.begin(), b.end());
    if (!zytest::ZapisatFajl(zytest::kFajlPerevoda, f)) return "cannot write the input";
    ++itogi.vhodov;
    if (f.empty()) f = zytest::Zagolovok(); // an empty file gets the header first
    const unsigned kol = 1 + g.Do(4);
    for (unsigned z = 0; z < kol; ++z) {
        ++itogi.zaprosov;
        const std::string tekst = Tekst(g);
        std::string kljuch = tekst, perevod;
        const std::vector<std::string> chasti = Vyrezat(kljuch);
        const int najdeno = Najti(f, kljuch, perevod);
        std::string otvet = najdeno == 1 ? perevod.substr(0, perevod.find('\0')) : "";
        if (otvet.empty()) otvet = kljuch;
        Vstavit(otvet, chasti);
        const unsigned razmer = unsigned(tekst.size() + 1 + g.Do(g.Raz(2) ? 4 : 64));
        std::vector<char> buf(razmer + 8, 'G');
        std::memcpy(buf.data(), tekst.c_str(), tekst.size() + 1);
        const int r = ZyPerevodStroki(buf.data(), razmer);
        const bool vlezlo = otvet.size() + 1 <= razmer;
        const std::string vyshlo(buf.data(), strnlen(buf.data(), razmer));
        const std::string oshibka = "request \"" + tekst + "\" in " + std::to_string(razmer) +
                                    " bytes gave " + std::to_string(r) + " \"" + vyshlo +
                                    "\", expected \"" + otvet + "\"";
        if (vlezlo && (r != int(otvet.size()) || vyshlo != otvet)) return oshibka;
        if (!vlezlo && (r != 0 || vyshlo != tekst)) return oshibka + " (does not fit)";
        if (buf[razmer] != 'G') return oshibka + ": written past the buffer";
        itogi.perevedeno += najdeno == 1;
        itogi.neVlezlo += !vlezlo;
        if (najdeno == -1) {
            f += zytest::NovajaZapis(kljuch);
            ++itogi.novyh;
        }
        const std::string posle = zytest::ChitatFajl(zytest::kFajlPerevoda);
        if (posle != f) {
            size_t i = 0;
            while (i < posle.size() && i < f.size() && posle[i] == f[i])
                ++i;
            return "after request \"" + tekst + "\" the file differs from byte " +
                   std::to_string(i) + " (" + std::to_string(posle.size()) + " bytes, expected " +
                   std::to_string(f.size()) + ")";
        }
    }
    return "";
}

} // namespace

// Every damaged file answers by its rules and only grows by the entries it lacked.
TEST(MutaciiPerevoda, DamagedTranslationFilesAnswerByTheirRulesAndOnlyGrow) {
    zytest::ZyPapkaTesta papka;
    zytest::ZyStorozhOkon korobki;
    zytest::ZyKampanija kamp("translation", kKolPoUmolchaniju, kZerno);
    Itogi itogi;
    kamp.Provesti([&](ZyGenerator& g, std::string& opis) { return Vhod(g, itogi, opis); });
    std::printf("translation campaign: %u inputs, %u requests (%u translated, %u new entries, %u "
                "too long for their buffer), %.1f s\n",
                itogi.vhodov, itogi.zaprosov, itogi.perevedeno, itogi.novyh, itogi.neVlezlo,
                kamp.Sekund());
    EXPECT_TRUE(korobki.Ostanovit().empty()) << korobki.Tekst();
}
