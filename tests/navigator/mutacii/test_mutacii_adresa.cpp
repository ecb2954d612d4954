// Campaign of mutated "AdresaFyn.txt" files: texts in the engine's own form and in forms a user
// may edit (blanks, tabs and line breaks around values, other order, comments, repeated
// keys, names that do not load), damaged byte by byte, then read by a fresh controller whose
// history is empty. Each slot must get the name the file's text gives it when that name loads
// (looked up here by the file's rules, independently of the engine), else the built-in
// default; the file is rewritten with the four names loaded; no box, no crash, no hang.
#include "ZyKGLOrvanta2.h"
#include "ZyTestFajly.h"
#include "ZyTestMutacii.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"
#include "imja_sceny.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;
using zytest::Gruzitsja;
using zytest::ZyGenerator;

namespace {

// Inputs of a CI run (ZY_MUTACII_KOL=10000 for the long one) and the seed.
constexpr unsigned kKolPoUmolchaniju = 2000;
constexpr uint64_t kZerno = 0xAD9E5A;

constexpr unsigned long kOkno = 9;
const char* const kKljuchi[4] = {"KonstryktorScenw", "Antrakt", "PokazScenw", "FinalScenw"};
const char* const kUmolch[4] = {
    "ZyKGLOrvanta2.dll\\ZyGLScenaNach1", "ZyKGLOrvanta2.dll\\ZyGLScenaNach2",
    "ZyKGLOrvanta2.dll\\ZyGLScenaNach3", "ZyKGLOrvanta2.dll\\ZyGLScenaNach4"};

// The value of `kljuch` by the file's rules: its first occurrence, the next "=", up to the
// next ";" or the end, without the bytes at either end that are at most 32 as signed bytes.
// A value holding a zero byte names nothing (no module or function name can hold one).
bool Znachenie(const std::string& t, const char* kljuch, std::string& z) {
    const size_t k = t.find(kljuch);
    if (k == std::string::npos) return false;
    const size_t rav = t.find('=', k + std::strlen(kljuch));
    if (rav == std::string::npos) return false;
    size_t n = rav + 1, e = t.find(';', n);
    if (e == std::string::npos) e = t.size();
    while (n < e && static_cast<signed char>(t[n]) <= 32)
        ++n;
    while (e > n && static_cast<signed char>(t[e - 1]) <= 32)
        --e;
    z = t.substr(n, e - n);
    return !z.empty() && z.find('\0') == std::string::npos;
}

// A text as the engine writes it or as a user may have edited it.
std::string ZdorovyjTekst(ZyGenerator& g) {
    char put[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("ZyKGLOrvanta2.dll"), put, sizeof put);
    const std::string pul[] = {
        "ZyKGLOrvanta2.dll\\ZyGLScenaNach1", "ZyKGLOrvanta2.dll\\ZyGLScenaNach4",
        "ZyKGLOrvanta2\\ZyGLScenaNach2",     std::string(put) + "\\ZyGLScenaNach3",
        "NetTakogo.dll\\ZyGLScenaNach1",     "ZyKGLOrvanta2.dll\\NetTakoj",
        "ZyKGLOrvanta2.dll\\TestSoob"};
    const char* const probely[] = {" ", "", "\t", " \r\n ", "\xA0", "  \t"};
    int porjadok[4] = {0, 1, 2, 3};
    if (g.Raz(3))
        for (int i = 3; i > 0; --i)
            std::swap(porjadok[i], porjadok[g.Do(i + 1)]);
    std::string t = g.Raz(4) ? "; written by hand\r\n" : "";
    for (int s : porjadok) {
        if (g.Raz(10)) continue; // a slot left out
        t += kKljuchi[s];
        t += probely[g.Do(6)];
        t += "=";
        t += probely[g.Do(6)];
        t += pul[g.Raz(2) ? 0 : g.Do(sizeof pul / sizeof pul[0])];
        t += probely[g.Do(6)];
        t += g.Raz(12) ? "" : ";";
        t += "\r\n";
    }
    return t;
}

struct Itogi {
    unsigned vhodov = 0, izFajla = 0, poUmolchaniju = 0;
};

// One mutated file through ZagryzitSceny of a fresh controller; the first failed check or "".
std::string Vhod(ZyGenerator& g, const std::string& put, Itogi& itogi, std::string& opis) {
    std::string t = ZdorovyjTekst(g);
    std::vector<unsigned char> b(t.begin(), t.end());
    opis = zytest::Mutirovat(b, g, zytest::ZyPolja{}, 4);
    t.assign(b.begin(), b.end());
    if (!zytest::ZapisatBajty(put, b)) return "cannot write the input";
    ++itogi.vhodov;
    std::string ozhidaemye[4], ozhidaemyjTekst;
    for (int s = 0; s < 4; ++s) {
        std::string z;
        const bool izFajla = Znachenie(t, kKljuchi[s], z) && Gruzitsja(z);
        ozhidaemye[s] = izFajla ? z : kUmolch[s];
        ++(izFajla ? itogi.izFajla : itogi.poUmolchaniju);
        ozhidaemyjTekst += std::string(kKljuchi[s]) + " = " + ozhidaemye[s] + ";\r\n";
    }
    std::unique_ptr<ZYKGLKONTROL> k(new ZYKGLKONTROL());
    k->index = kOkno;
    if (k->ZagryzitSceny() == 0) return "no scene loaded";
    for (int s = 0; s < 4; ++s) {
        const std::string imja = k->Fynkcii[s].imja ? k->Fynkcii[s].imja : "<null>";
        if (imja != ozhidaemye[s] || !k->Fynkcii[s].fyn)
            return std::string("slot ") + kKljuchi[s] + " holds \"" + imja + "\", expected \"" +
                   ozhidaemye[s] + "\"";
    }
    k.reset();
    const std::string posle = zytest::ChitatFajl(put);
    if (posle != ozhidaemyjTekst) return "the file was rewritten as:\n" + posle;
    return "";
}

} // namespace

// Every damaged text gives each slot the name it names when that loads, else the default.
TEST(MutaciiAdresa, DamagedNameFilesGiveTheirLoadableNamesOrTheDefaults) {
    zytest::ZyPapkaTesta papka;
    zytest::ZyStorozhOkon korobki;
    zytest::ZyKampanija kamp("AdresaFyn", kKolPoUmolchaniju, kZerno);
    char dir[64];
    std::snprintf(dir, sizeof dir, "ZyGLDannwe\\ZyGLOkno %03lu", kOkno);
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA(dir, nullptr);
    const std::string put = std::string(dir) + "\\AdresaFyn.txt";
    Itogi itogi;
    kamp.Provesti([&](ZyGenerator& g, std::string& opis) { return Vhod(g, put, itogi, opis); },
                  &korobki);
    std::printf("AdresaFyn campaign: %u inputs, %u slots named by the file, %u defaults, %.1f s\n",
                itogi.vhodov, itogi.izFajla, itogi.poUmolchaniju, kamp.Sekund());
    EXPECT_TRUE(korobki.Ostanovit().empty());
}
