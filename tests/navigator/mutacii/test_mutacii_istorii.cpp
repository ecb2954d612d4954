// Campaign of mutated history files: sound histories written byte by byte, damaged (bits
// flipped, lengths and numbers overwritten, bytes inserted and deleted, the file cut, entries
// swapped and duplicated), then opened by a fresh controller, walked with every history command
// and a position stored. After every step the file is read back and checked against its
// state before the step: the header names sound entries, no byte changed outside the header
// and the navigation snapshots of sound entries, and every sound entry is kept (except behind
// a scene that no longer loads, which the loader replaces by a new entry as for a new scene).
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
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;
using zytest::Gruzitsja;
using zytest::ZyGenerator;

namespace {

using Bajty = std::vector<unsigned char>;

// Inputs of a CI run (ZY_MUTACII_KOL=10000 for the long one) and the seed.
constexpr unsigned kKolPoUmolchaniju = 300;
constexpr uint64_t kZerno = 0x15701A;

constexpr unsigned long kOkno = 7; // the window index whose directory the campaign uses
constexpr uint32_t kZag = 24, kMin = 280, kMaks = 1u << 20;

uint32_t U32(const Bajty& b, uint64_t i) {
    return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 |
           uint32_t(b[i + 3]) << 24;
}
uint64_t U64(const Bajty& b, uint64_t i) {
    return U32(b, i) | uint64_t(U32(b, i + 4)) << 32;
}
void Vs32(Bajty& b, uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b.push_back(static_cast<unsigned char>(v >> (8 * k)));
}
void Vs64(Bajty& b, uint64_t v) {
    Vs32(b, uint32_t(v));
    Vs32(b, uint32_t(v >> 32));
}

// ---- The format, read independently of the engine ---------------------------------------

// The entry at p is sound: its length within the file and the limits, its number n (any for
// 0), its trailing length R - 4, and exactly four zero-terminated names. R receives its length.
bool Zdorova(const Bajty& b, uint64_t p, uint32_t n, uint32_t& R) {
    if (p < kZag || p + 8 > b.size()) return false;
    R = U32(b, p);
    if (R < kMin || R > kMaks || b.size() - p < R) return false;
    if (n != 0 && U32(b, p + 4) != n) return false;
    if (U32(b, p + R - 4) != R - 4 || b[p + R - 5] != 0) return false;
    int nulej = 0;
    for (uint64_t i = p + 272; i < p + R - 4; ++i)
        nulej += b[i] == 0;
    return nulej == 4;
}

// The four names of the sound entry at p.
std::vector<std::string> Imena(const Bajty& b, uint64_t p) {
    std::vector<std::string> v;
    const char* s = reinterpret_cast<const char*>(&b[p + 272]);
    for (int i = 0; i < 4; ++i) {
        v.emplace_back(s);
        s += v.back().size() + 1;
    }
    return v;
}

struct Zapis {
    uint32_t R, nomer;
};

// The header and the entries at the places a forward walk from 24 finds them (for messages).
std::string Opis(const Bajty& b) {
    if (b.size() < kZag) return std::to_string(b.size()) + " bytes";
    std::string t = "header " + std::to_string(U64(b, 0)) + "#" + std::to_string(U32(b, 8)) +
                    " last " + std::to_string(U64(b, 12)) + "#" + std::to_string(U32(b, 20)) +
                    "; entries";
    for (uint64_t p = kZag; p + 8 <= b.size() && U32(b, p) >= 8;) {
        const uint32_t R = U32(b, p);
        uint32_t r;
        t += " " + std::to_string(p) + "#" + std::to_string(U32(b, p + 4)) +
             (Zdorova(b, p, 0, r) ? "" : "(damaged)");
        if (R > b.size() - p) break;
        p += R;
    }
    return t + "; " + std::to_string(b.size()) + " bytes";
}

// Every sound entry a walk can reach: forward from the first, and backward and forward from the
// entries the header names when they are sound.
std::map<uint64_t, Zapis> Zdorovye(const Bajty& b) {
    std::map<uint64_t, Zapis> z;
    auto vpered = [&](uint64_t p, uint32_t n) {
        uint32_t R;
        for (int shag = 0; shag < 100000 && Zdorova(b, p, n, R); ++shag, p += R, ++n)
            z[p] = Zapis{R, n};
    };
    auto nazad = [&](uint64_t p, uint32_t n) {
        uint32_t R;
        while (n > 1 && p >= kZag + kMin + 4) {
            const uint32_t T = U32(b, p - 4);
            if (uint64_t(T) + 4 > p - kZag) return;
            const uint64_t pred = p - 4 - T;
            if (!Zdorova(b, pred, n - 1, R) || R != T + 4) return;
            z[pred] = Zapis{R, n - 1};
            p = pred;
            --n;
        }
    };
    vpered(kZag, 1);
    if (b.size() >= kZag) {
        const uint64_t poz[2] = {U64(b, 0), U64(b, 12)};
        const uint32_t nom[2] = {U32(b, 8), U32(b, 20)};
        for (int i = 0; i < 2; ++i) {
            uint32_t R;
            if (nom[i] == 0 || !Zdorova(b, poz[i], nom[i], R)) continue;
            nazad(poz[i], nom[i]);
            vpered(poz[i], nom[i]);
        }
    }
    return z;
}

// ---- Scene names ------------------------------------------------------------------------

// Names the campaign's sound histories use: all load.
std::vector<std::string> ZdorovyeImena() {
    char put[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("ZyKGLOrvanta2.dll"), put, sizeof put);
    return {"ZyKGLOrvanta2.dll\\ZyGLScenaNach1", "ZyKGLOrvanta2.dll\\ZyGLScenaNach2",
            "ZyKGLOrvanta2.dll\\ZyGLScenaNach3", "ZyKGLOrvanta2.dll\\ZyGLScenaNach4",
            "ZyKGLOrvanta2\\ZyGLScenaNach1",     std::string(put) + "\\ZyGLScenaNach3"};
}

// ---- Sound histories --------------------------------------------------------------------

// A sound history of `kol` entries, `tek` current, names from the pool; the entries' starts.
Bajty Istorija(uint32_t kol, uint32_t tek, ZyGenerator& g, std::vector<uint64_t>& nachala) {
    static const std::vector<std::string> pul = ZdorovyeImena();
    Bajty zapisi;
    nachala.clear();
    for (uint32_t n = 1; n <= kol; ++n) {
        std::string imena;
        for (int s = 0; s < 4; ++s)
            imena += pul[g.Do(uint32_t(pul.size()))] + '\0';
        const uint32_t R = 276 + uint32_t(imena.size());
        nachala.push_back(kZag + zapisi.size());
        Vs32(zapisi, R);
        Vs32(zapisi, n);
        ZYS_POZ_NAV snimok{};
        snimok.flagi[0] = static_cast<unsigned char>(g.Do(256));
        for (int i = 0; i < 6; ++i)
            snimok.SkorostNav[i] = 1 + i;
        snimok.IzmSkorosti = 10;
        snimok.PozNav[0].x = n;
        snimok.PozNav[1].z = -1000;
        snimok.Distancija = 5;
        const unsigned char* s = reinterpret_cast<const unsigned char*>(&snimok);
        zapisi.insert(zapisi.end(), s, s + sizeof snimok);
        zapisi.insert(zapisi.end(), imena.begin(), imena.end());
        Vs32(zapisi, R - 4);
    }
    Bajty b;
    Vs64(b, nachala[tek - 1]);
    Vs32(b, tek);
    Vs64(b, nachala.back());
    Vs32(b, kol);
    b.insert(b.end(), zapisi.begin(), zapisi.end());
    return b;
}

// A sound history of 1 .. 6 entries, the offsets of its 32-bit fields (for the mutations) and
// a few values worth planting there.
Bajty ZdorovajaIstorija(ZyGenerator& g, zytest::ZyPolja& polja) {
    const uint32_t kol = 1 + g.Do(6), tek = 1 + g.Do(kol);
    std::vector<uint64_t> nachala;
    const Bajty b = Istorija(kol, tek, g, nachala);
    polja = zytest::ZyPolja{{0, 4, 8, 12, 16, 20}, {kZag, kMin, 279, 281, uint32_t(b.size())}};
    for (uint64_t p : nachala) {
        const uint32_t R = U32(b, p);
        polja.smeshenija.insert(polja.smeshenija.end(),
                                {size_t(p), size_t(p + 4), size_t(p + R - 4)});
        polja.znachenija.insert(polja.znachenija.end(), {uint32_t(p), R, R - 4, R + 4});
    }
    return b;
}

// ---- The campaign -----------------------------------------------------------------------

struct Itogi {
    unsigned vhodov = 0, shagov = 0, zanovo = 0, zamen = 0, bezZdorovyh = 0;
};

// One history file of the campaign and the controller that works on it.
class Kampanija {
public:
    explicit Kampanija(Itogi& itogi) : itogi_(itogi) {
        char dir[64];
        std::snprintf(dir, sizeof dir, "ZyGLDannwe\\ZyGLOkno %03lu", kOkno);
        CreateDirectoryA("ZyGLDannwe", nullptr);
        CreateDirectoryA(dir, nullptr);
        put_ = std::string(dir) + "\\ZyIstorijaScen.ZYI";
    }

    // Runs one mutated file through the steps; the first check that fails, or "".
    std::string Vhod(ZyGenerator& g, std::string& opis) {
        zytest::ZyPolja polja;
        Bajty b = ZdorovajaIstorija(g, polja);
        opis = zytest::Mutirovat(b, g, polja, 3);
        zytest::UdalitFajl(put_);
        if (!zytest::ZapisatBajty(put_, b, FILE_ATTRIBUTE_HIDDEN)) return "cannot write the input";
        ++itogi_.vhodov;
        if (Zdorovye(b).empty()) ++itogi_.bezZdorovyh;
        k_.reset(new ZYKGLKONTROL());
        k_->index = kOkno;
        std::string oshibka = Shag(b, ZYH_TEKUSHCHAJA, 1, "open");
        static const unsigned long komandy[4] = {ZYH_PERVAJA, ZYH_NAZAD, ZYH_POSLEDNJAJA,
                                                 ZYH_VPERED};
        for (int i = 0; i < 3 && oshibka.empty(); ++i) {
            const unsigned long kom = komandy[g.Do(4)];
            oshibka = Shag(b, kom, g.Do(5), "walk");
        }
        if (oshibka.empty()) oshibka = Sohranit(b, g);
        k_.reset();
        return oshibka;
    }

private:
    // The file as it is now (the controller's file closed: it is opened without sharing).
    Bajty Fajl() {
        if (k_->FajlIstorii) k_->FajlIstorii->DES();
        return zytest::ChitatBajty(put_);
    }

    // One Scena command; `b` is the file before it and becomes the file after it.
    std::string Shag(Bajty& b, unsigned long kom, unsigned long kol, const char* chto) {
        ++itogi_.shagov;
        const uint32_t byl = k_->ZagIstorii.TekNom;
        const long r = k_->Scena(kom, kol);
        char t[96];
        std::snprintf(t, sizeof t, "%s %lX,%lu (from entry %u) gave %ld: ", chto, kom, kol, byl, r);
        if (r == 0) return t + std::string("the command failed");
        if (!k_->Fynkcii[0].fyn) return t + std::string("no scene loaded");
        const Bajty a = Fajl();
        std::string oshibka = Sravnit(b, a, kom, kol, byl, chto[0] == 'o');
        if (!oshibka.empty()) oshibka += "\n  before: " + Opis(b) + "\n  after:  " + Opis(a);
        b = a;
        return oshibka.empty() ? oshibka : t + oshibka;
    }

    // Stores a new position into the current entry: only its snapshot changes, to the state.
    std::string Sohranit(Bajty& b, ZyGenerator& g) {
        ++itogi_.shagov;
        k_->PozNav[0].y = 1 + g.Do(1000);
        if (k_->VsPozNavVF() != 1) return "storing the position failed";
        const Bajty a = Fajl();
        const uint64_t p = uint64_t(k_->ZagIstorii.TekPoz.St) << 32 | k_->ZagIstorii.TekPoz.Ml;
        if (a.size() != b.size()) return "storing the position changed the file's size";
        for (uint64_t i = 0; i < a.size(); ++i) {
            if (a[i] == b[i] || (i >= p + 8 && i < p + 272)) continue;
            return "storing the position wrote at " + std::to_string(i);
        }
        if (std::memcmp(&a[p + 8], &k_->SnimokNav, sizeof k_->SnimokNav) != 0)
            return "the stored snapshot is not the controller's";
        b = a;
        return "";
    }

    // The checks of one step from the file before (`b`) to the file after (`a`).
    std::string Sravnit(const Bajty& b, const Bajty& a, unsigned long kom, unsigned long kol,
                        uint32_t byl, bool otkrytie) {
        if (a.size() < kZag + kMin) return "no history left";
        const uint64_t tek = U64(a, 0), posl = U64(a, 12);
        const uint32_t tekN = U32(a, 8), poslN = U32(a, 20);
        uint32_t R = 0, Rp = 0;
        if (!Zdorova(a, tek, tekN, R) || !Zdorova(a, posl, poslN, Rp) || tekN > poslN || tek > posl)
            return "the header names no sound entries";
        const ZYS_ZAG_ISTORII& z = k_->ZagIstorii;
        if (z.TekPoz.Ml != uint32_t(tek) || z.TekNom != tekN || z.PoslPoz.Ml != uint32_t(posl) ||
            z.PoslNom != poslN)
            return "the controller's header copy differs from the file's";
        const std::map<uint64_t, Zapis> zdorovye = Zdorovye(b);
        auto dozvoleno = [&](uint64_t i) {
            if (i < kZag) return true;
            auto it = zdorovye.upper_bound(i);
            if (it == zdorovye.begin()) return false;
            --it;
            return i >= it->first + 8 && i < it->first + 272;
        };
        auto sravnitDo = [&](uint64_t konec) -> std::string {
            for (uint64_t i = 0; i < konec && i < b.size(); ++i)
                if (a[i] != b[i] && !dozvoleno(i))
                    return "byte " + std::to_string(i) +
                           " changed outside a sound entry's snapshot";
            return "";
        };
        // Only moved: the same bytes but for the header and snapshots, and the current entry
        // lies in the direction of the command.
        std::string tolkoHod = "the file changed";
        if (a.size() == b.size() && sravnitDo(a.size()).empty()) {
            tolkoHod = otkrytie ? "" : Napravlenie(a, kom, kol, byl, tekN, tek == posl);
            if (tolkoHod.empty()) return "";
        }
        // Else a new entry: it is the last, the file ends with it, and it follows a sound entry
        // of the file before whose scene did not load (or starts a history that had none).
        // NOTE: such an entry may have the very bytes of the one it replaced; the direction
        // of the move tells them apart then.
        const std::string novaja = NovajaZapis(b, a, zdorovye, tek, tekN, posl, R, sravnitDo);
        return novaja.empty() ? novaja : tolkoHod == "the file changed" ? novaja : tolkoHod;
    }

    // The current entry after a move lies in the direction of the command from entry `byl`.
    static std::string Napravlenie(const Bajty& a, unsigned long kom, unsigned long kol,
                                   uint32_t byl, uint32_t tekN, bool posled) {
        uint32_t R1;
        if (kom == ZYH_PERVAJA && Zdorova(a, kZag, 1, R1) && tekN != 1)
            return "going to the first entry stopped at " + std::to_string(tekN);
        if (kom == ZYH_POSLEDNJAJA && !posled) return "the last entry was not reached";
        if (kom == ZYH_NAZAD &&
            (tekN > byl || tekN < (kol < byl ? byl - kol : 1) || (kol == 0 && tekN != byl)))
            return "going back ended at " + std::to_string(tekN);
        if (kom == ZYH_VPERED && (tekN < byl || tekN > byl + kol))
            return "going forward ended at " + std::to_string(tekN);
        return "";
    }

    // The checks of a new entry at `tek` (number tekN) ending the file after a step.
    template <class Sravnit>
    std::string NovajaZapis(const Bajty& b, const Bajty& a,
                            const std::map<uint64_t, Zapis>& zdorovye, uint64_t tek, uint32_t tekN,
                            uint64_t posl, uint32_t R, const Sravnit& sravnitDo) {
        if (tek != posl || a.size() != tek + R) return "entries after the current one remain";
        if (tek == kZag) {
            if (!zdorovye.empty()) {
                const auto& perv = *zdorovye.begin();
                return "the history started afresh over " + std::to_string(zdorovye.size()) +
                       " sound entries (the first at " + std::to_string(perv.first) + ", number " +
                       std::to_string(perv.second.nomer) + ")";
            }
            ++itogi_.zanovo;
            return "";
        }
        for (const auto& e : zdorovye) {
            if (e.first + e.second.R != tek || e.second.nomer + 1 != tekN) continue;
            bool vseGruzjatsja = true;
            for (const std::string& imja : Imena(b, e.first))
                vseGruzjatsja = vseGruzjatsja && Gruzitsja(imja);
            if (vseGruzjatsja) return "a new entry follows an entry whose scene loads";
            const std::string o = sravnitDo(tek);
            if (o.empty()) ++itogi_.zamen;
            return o;
        }
        return "a new entry at " + std::to_string(tek) + " follows no sound entry";
    }

    Itogi& itogi_;
    std::string put_;
    std::unique_ptr<ZYKGLKONTROL> k_;
};

} // namespace

// Sound histories damaged in every way the mutations know, opened, walked and stored into.
TEST(MutaciiIstorii, DamagedHistoriesNeitherCrashNorHangNorLoseSoundEntries) {
    zytest::ZyPapkaTesta papka;
    zytest::ZyStorozhOkon korobki;
    zytest::ZyKampanija kamp("history", kKolPoUmolchaniju, kZerno);
    Itogi itogi;
    Kampanija k(itogi);
    kamp.Provesti([&](ZyGenerator& g, std::string& opis) { return k.Vhod(g, opis); }, &korobki);
    std::printf("history campaign: %u inputs (%u with no sound entry), %u steps, %u fresh "
                "starts, %u replaced scenes, %.1f s\n",
                itogi.vhodov, itogi.bezZdorovyh, itogi.shagov, itogi.zanovo, itogi.zamen,
                kamp.Sekund());
    EXPECT_TRUE(korobki.Ostanovit().empty());
}

// A damaged first entry and a header whose last entry is damaged, while its current entry is
// sound: the header is rebuilt from the current entry, and no entry is written over (the
// history used to start afresh at the first entry, cutting the sound entries off).
TEST(MutaciiIstorii, ADamagedFirstEntryKeepsTheEntriesTheHeaderReaches) {
    zytest::ZyPapkaTesta papka;
    zytest::ZyStorozhOkon korobki;
    ZyGenerator g(1);
    std::vector<uint64_t> n;
    Bajty b = Istorija(3, 2, g, n);
    b[n[0]] = 0;                       // entry 1: length 0
    b[12] = b[13] = b[14] = b[15] = 7; // the last position: nowhere
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 007", nullptr);
    const std::string put = "ZyGLDannwe\\ZyGLOkno 007\\ZyIstorijaScen.ZYI";
    ASSERT_TRUE(zytest::ZapisatBajty(put, b, FILE_ATTRIBUTE_HIDDEN));
    std::unique_ptr<ZYKGLKONTROL> k(new ZYKGLKONTROL());
    k->index = kOkno;
    EXPECT_EQ(long(ZYH_TEKUSHCHAJA), k->Scena(ZYH_TEKUSHCHAJA, 1));
    EXPECT_EQ(3u, k->ZagIstorii.TekNom);
    EXPECT_EQ(n[2], k->ZagIstorii.TekPoz.Ml);
    EXPECT_EQ(long(ZYH_NAZAD), k->Scena(ZYH_NAZAD, 1));
    EXPECT_EQ(2u, k->ZagIstorii.TekNom);
    k.reset();
    const Bajty a = zytest::ChitatBajty(put);
    ASSERT_EQ(b.size(), a.size());
    for (int i = 1; i < 3; ++i) {
        const uint32_t R = U32(b, n[i]);
        EXPECT_EQ(0, std::memcmp(&a[n[i]], &b[n[i]], 8)) << "entry " << i + 1;
        EXPECT_EQ(0, std::memcmp(&a[n[i] + 272], &b[n[i] + 272], R - 272)) << "entry " << i + 1;
    }
    EXPECT_EQ(n[1], U64(a, 0));
    EXPECT_EQ(n[2], U64(a, 12)) << "the repaired header is written";
    EXPECT_TRUE(korobki.Ostanovit().empty());
}

// A damaged entry between the current entry and the target of a step: the walk stops at the
// damage and never moves further than asked (it used to start at the far end of the history,
// stop there at the damage and land beyond the target).
TEST(MutaciiIstorii, AStepOverADamagedEntryNeverPassesItsTarget) {
    zytest::ZyPapkaTesta papka;
    const struct {
        uint32_t tek;         // current entry of six
        uint32_t povrezhdena; // the entry whose trailing length is damaged
        unsigned long komanda, kol;
        uint32_t ozhidaetsja;
    } sluchai[] = {
        {1, 5, ZYH_VPERED, 4, 4}, // the target 5 is damaged: stop at 4, not at the last (6)
        {6, 2, ZYH_NAZAD, 4, 3},  // the target 2 is damaged: stop at 3, not at the first (1)
        {1, 3, ZYH_VPERED, 4, 5}, // the damage lies behind the walk from the last
        {6, 4, ZYH_NAZAD, 1, 5},  // not on the way: the step is made
    };
    CreateDirectoryA("ZyGLDannwe", nullptr);
    CreateDirectoryA("ZyGLDannwe\\ZyGLOkno 007", nullptr);
    const std::string put = "ZyGLDannwe\\ZyGLOkno 007\\ZyIstorijaScen.ZYI";
    for (const auto& s : sluchai) {
        ZyGenerator g(2);
        std::vector<uint64_t> n;
        Bajty b = Istorija(6, s.tek, g, n);
        const uint64_t hvost = n[s.povrezhdena - 1] + U32(b, n[s.povrezhdena - 1]) - 4;
        b[hvost] ^= 0x40;
        ASSERT_TRUE(zytest::UdalitFajl(put) || true);
        ASSERT_TRUE(zytest::ZapisatBajty(put, b, FILE_ATTRIBUTE_HIDDEN));
        std::unique_ptr<ZYKGLKONTROL> k(new ZYKGLKONTROL());
        k->index = kOkno;
        ASSERT_EQ(long(ZYH_TEKUSHCHAJA), k->Scena(ZYH_TEKUSHCHAJA, 1));
        ASSERT_EQ(s.tek, k->ZagIstorii.TekNom);
        k->Scena(s.komanda, s.kol);
        EXPECT_EQ(s.ozhidaetsja, k->ZagIstorii.TekNom)
            << "from " << s.tek << " by " << std::hex << s.komanda << std::dec << " " << s.kol
            << " over damaged entry " << s.povrezhdena;
    }
}
