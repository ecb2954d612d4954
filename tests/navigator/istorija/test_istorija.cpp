// The history and position file: its exact bytes, the moves through it with the scene loader,
// the stored positions, and damaged files that must neither crash nor lose sound entries.
#include "ZyKGLOrvanta2.h"
#include "ZyTestFajly.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

using namespace Quorvel;

namespace {

using Bajty = std::vector<unsigned char>;

constexpr unsigned long NAZAD = ZYH_NAZAD, VPERED = ZYH_VPERED, TEK = ZYH_TEKUSHCHAJA;

uint32_t U32(const Bajty& b, size_t i) {
    return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 |
           uint32_t(b[i + 3]) << 24;
}
uint64_t U64(const Bajty& b, size_t i) {
    return U32(b, i) | uint64_t(U32(b, i + 4)) << 32;
}
void Vs32(Bajty& b, size_t i, uint32_t v) {
    for (int k = 0; k < 4; ++k)
        b[i + k] = static_cast<unsigned char>(v >> (8 * k));
}
void Vs64(Bajty& b, size_t i, uint64_t v) {
    Vs32(b, i, static_cast<uint32_t>(v));
    Vs32(b, i + 4, static_cast<uint32_t>(v >> 32));
}
double D(const Bajty& b, size_t i) {
    double d;
    std::memcpy(&d, &b[i], sizeof d);
    return d;
}

// The scene names the tests load: all are the built-in scene, spelled at different lengths.
const char* const kA = "ZyKGLOrvanta2.dll\\ZyGLScenaNach1";
const char* const kB = "ZyKGLOrvanta2\\ZyGLScenaNach1";
std::string PolnoeImja() {
    char put[MAX_PATH] = "";
    GetModuleFileNameA(GetModuleHandleA("ZyKGLOrvanta2.dll"), put, sizeof put);
    return std::string(put) + "\\ZyGLScenaNach1";
}

// Tones the engine sounds, as the observer sees them.
std::vector<std::pair<unsigned long, unsigned long>> gZvuki;
void Slushat(unsigned long f, unsigned long d) {
    gZvuki.emplace_back(f, d);
}

// One view window's controller without a window, with its own directory below the scratch
// directory; the history file is read and written directly between the controller's uses.
class Istorija : public ::testing::Test {
protected:
    void SetUp() override {
        static unsigned long sledujushchij = 100;
        indeks = sledujushchij++;
        char dir[64];
        std::snprintf(dir, sizeof dir, "ZyGLDannwe\\ZyGLOkno %03lu", indeks);
        put = std::string(dir) + "\\ZyIstorijaScen.ZYI";
        Udalit();
        Novyj();
    }
    void TearDown() override { ZyVsNabljudatelZvuka(nullptr); }

    // A fresh controller for this window, as after a restart.
    void Novyj() {
        k.reset(new ZYKGLKONTROL());
        k->index = indeks;
    }
    // Deletes the history file (it is hidden).
    void Udalit() { zytest::UdalitFajl(put); }
    // Closes the controller's file (it is opened without sharing) and returns its bytes.
    Bajty Fajl() {
        if (k && k->FajlIstorii) k->FajlIstorii->DES();
        return zytest::ChitatBajty(put);
    }
    // Replaces the file with `b` (the controller's file closed first).
    void Zapisat(const Bajty& b) {
        if (k && k->FajlIstorii) k->FajlIstorii->DES();
        Udalit();
        CreateDirectoryA("ZyGLDannwe", nullptr);
        CreateDirectoryA(put.substr(0, put.rfind('\\')).c_str(), nullptr);
        ASSERT_TRUE(zytest::ZapisatBajty(put, b, FILE_ATTRIBUTE_HIDDEN)) << put;
    }
    // Three scenes A, B, C (names of three lengths); the eye of each is moved to x = 1, 2, 3
    // before the next one is loaded (so the stored positions differ).
    void TriSceny() {
        const std::string c = PolnoeImja();
        ASSERT_NE(0ul, k->NScena(kA, nullptr, nullptr, nullptr));
        k->PozNav[0].x = 1;
        ASSERT_NE(0ul, k->NScena(kB, nullptr, nullptr, nullptr));
        k->PozNav[0].x = 2;
        ASSERT_NE(0ul, k->NScena(c.c_str(), nullptr, nullptr, nullptr));
        k->PozNav[0].x = 3;
        ASSERT_EQ(3ul, k->ZagIstorii.TekNom);
    }
    // The starts of the entries, walking forward by the leading lengths.
    static std::vector<uint64_t> Nachala(const Bajty& b) {
        std::vector<uint64_t> n;
        for (uint64_t p = 24; p + 8 <= b.size() && U32(b, p) >= 280 && p + U32(b, p) <= b.size();
             p += U32(b, p))
            n.push_back(p);
        return n;
    }
    std::string Imja(int slot) const { return k->Fynkcii[slot].imja ? k->Fynkcii[slot].imja : ""; }

    unsigned long indeks = 0;
    std::string put;
    std::unique_ptr<ZYKGLKONTROL> k;
};

// ---- Layout ---------------------------------------------------------------------------------

// The first entry: a hidden file of header + entry, both header halves naming entry 1 at 24,
// the entry's own length first and its length minus 4 last, the snapshot at 8.
TEST_F(Istorija, AFirstEntryHasTheExactLayout) {
    const char* imena[4] = {kA, "", "m\\f", "ZyKGLOrvanta2.dll\\ZyGLScenaNach4"};
    for (int i = 0; i < 4; ++i) {
        k->Fynkcii[i].imja = new char[std::strlen(imena[i]) + 1];
        std::strcpy(k->Fynkcii[i].imja, imena[i]);
    }
    k->Flagi.Vkl(3, 3);
    k->Flagi.Vkl(25, 25);
    k->Flagi.Vkl(40, 40); // not part of the record
    k->SkorostNav[4] = 12.5;
    k->Distancija = 7.25;
    k->PozNav[1].z = -900;
    const uint32_t R = 276 + 33 + 1 + 4 + 33;
    EXPECT_EQ(R + 24, k->VFajlIstorii());

    const DWORD atr = GetFileAttributesA(put.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, atr);
    EXPECT_TRUE(atr & FILE_ATTRIBUTE_HIDDEN);
    const Bajty b = Fajl();
    ASSERT_EQ(24 + R, b.size());
    EXPECT_EQ(24u, U64(b, 0));
    EXPECT_EQ(1u, U32(b, 8));
    EXPECT_EQ(24u, U64(b, 12));
    EXPECT_EQ(1u, U32(b, 20));
    EXPECT_EQ(R, U32(b, 24));
    EXPECT_EQ(1u, U32(b, 28));
    const size_t s = 24 + 8; // the navigation record
    EXPECT_EQ(0x08, b[s + 0]);
    EXPECT_EQ(0x02, b[s + 3]) << "bit 25";
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(0, b[s + i]) << "bits past 25 are not stored";
    EXPECT_EQ(1.0, D(b, s + 8));
    EXPECT_EQ(12.5, D(b, s + 8 + 32));
    EXPECT_EQ(10.0, D(b, s + 56));
    EXPECT_EQ(-900.0, D(b, s + 64 + 24 + 16)) << "PozNav[1].z";
    EXPECT_EQ(-1000.0, D(b, s + 160 + 24 + 16)) << "PozNavVid[1].z";
    EXPECT_EQ(7.25, D(b, s + 256));
    const std::string imenaVFajle(reinterpret_cast<const char*>(&b[24 + 272]), R - 276);
    EXPECT_EQ(std::string(kA) + '\0' + '\0' + "m\\f" + '\0' + "ZyKGLOrvanta2.dll\\ZyGLScenaNach4" +
                  '\0',
              imenaVFajle);
    EXPECT_EQ(R - 4, U32(b, 24 + R - 4));
}

// A flag vector too short for the record: the flag bytes stay zero, 600 Hz for 300 ms sounds,
// and the other fields are stored all the same.
TEST_F(Istorija, AShortFlagVectorSoundsAndStoresTheRest) {
    ASSERT_NE(0ul, k->NScena(kA, nullptr, nullptr, nullptr));
    k->Flagi.Nado(10, 1);
    k->SkorostNav[0] = 4.5;
    ZyVsNabljudatelZvuka(Slushat);
    gZvuki.clear();
    EXPECT_EQ(1ul, k->VsPozNavVF());
    ASSERT_EQ(1u, gZvuki.size());
    EXPECT_EQ(600u, gZvuki[0].first);
    EXPECT_EQ(300u, gZvuki[0].second);
    const Bajty b = Fajl();
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(0, b[24 + 8 + i]);
    EXPECT_EQ(4.5, D(b, 24 + 16));
}

// ---- Moves through the history with the scene loader ----------------------------------------

// Names of three lengths: the trailing length of every entry leads back to the start of the
// one before exactly, and the header names the last.
TEST_F(Istorija, TrailingLengthsLeadBackOverEntriesOfDifferentLengths) {
    TriSceny();
    const Bajty b = Fajl();
    const std::vector<uint64_t> n = Nachala(b);
    ASSERT_EQ(3u, n.size());
    EXPECT_EQ(b.size(), n[2] + U32(b, n[2]));
    EXPECT_NE(U32(b, n[0]), U32(b, n[1]));
    EXPECT_NE(U32(b, n[1]), U32(b, n[2]));
    for (int i = 2; i >= 1; --i) {
        const uint32_t t = U32(b, n[i] - 4);
        EXPECT_EQ(n[i - 1], n[i] - 4 - t) << "entry " << i + 1;
        EXPECT_EQ(uint32_t(i + 1), U32(b, n[i] + 4));
    }
    EXPECT_EQ(n[2], U64(b, 0));
    EXPECT_EQ(3u, U32(b, 8));
    EXPECT_EQ(n[2], U64(b, 12));
    EXPECT_EQ(3u, U32(b, 20));

    // The loader walks back the same way.
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 1));
    EXPECT_EQ(2u, k->ZagIstorii.TekNom);
    EXPECT_EQ(n[1], k->ZagIstorii.TekPoz.Ml);
    EXPECT_EQ(kB, Imja(0));
}

// Going back restores the position stored when the entry was left, not the one it began with.
TEST_F(Istorija, GoingBackRestoresThePositionTheEntryWasLeftAt) {
    TriSceny();
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 1));
    EXPECT_EQ(2.0, k->PozNav[0].x);
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 1));
    EXPECT_EQ(1.0, k->PozNav[0].x);
    EXPECT_EQ(kA, Imja(0));
    EXPECT_EQ(long(VPERED), k->Scena(VPERED, 2));
    EXPECT_EQ(3.0, k->PozNav[0].x) << "stored when entry 3 was left going back";
}

// Back five from entry 3 lands on entry 1, forward past the last on the last, back 0 stays.
TEST_F(Istorija, StepsAreBoundedByTheFirstAndTheLastEntry) {
    TriSceny();
    EXPECT_EQ(long(TEK), k->Scena(NAZAD, 0));
    EXPECT_EQ(3u, k->ZagIstorii.TekNom);
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 5));
    EXPECT_EQ(1u, k->ZagIstorii.TekNom);
    EXPECT_EQ(24u, k->ZagIstorii.TekPoz.Ml);
    EXPECT_EQ(long(TEK), k->Scena(NAZAD, 1)) << "nothing before the first";
    EXPECT_EQ(long(VPERED), k->Scena(VPERED, 10));
    EXPECT_EQ(3u, k->ZagIstorii.TekNom);
    EXPECT_EQ(PolnoeImja(), Imja(0));
    // The moves changed only the header and the stored snapshots: three entries remain.
    EXPECT_EQ(3u, Nachala(Fajl()).size());
}

// Three scenes, back two, a new scene: entry 1 and the new entry 2, the rest cut off.
TEST_F(Istorija, ANewSceneAfterGoingBackDiscardsTheForwardHistory) {
    TriSceny();
    const Bajty do_ = Fajl();
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 2));
    EXPECT_NE(0ul, k->NScena(kB, nullptr, nullptr, nullptr));
    const Bajty b = Fajl();
    const std::vector<uint64_t> n = Nachala(b);
    ASSERT_EQ(2u, n.size());
    EXPECT_EQ(b.size(), n[1] + U32(b, n[1]));
    EXPECT_EQ(2u, U32(b, n[1] + 4));
    EXPECT_EQ(n[1], U64(b, 0));
    EXPECT_EQ(2u, U32(b, 8));
    EXPECT_EQ(n[1], U64(b, 12));
    EXPECT_EQ(2u, U32(b, 20));
    // Entry 1 kept byte for byte apart from its snapshot (stored again when it was left).
    EXPECT_EQ(0, std::memcmp(&do_[24], &b[24], 8));
    EXPECT_EQ(0, std::memcmp(&do_[24 + 272], &b[24 + 272], U32(b, 24) - 272));
}

// A restart reads the history: the current entry's scene and the position stored last.
TEST_F(Istorija, ARestartContinuesAtTheStoredPosition) {
    TriSceny();
    EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 1));
    k->PozNav[0].y = 42.5;
    EXPECT_EQ(1ul, k->VsPozNavVF()); // as the window's destruction does
    Novyj();
    EXPECT_EQ(long(TEK), k->Scena(TEK, 1));
    EXPECT_EQ(2u, k->ZagIstorii.TekNom);
    EXPECT_EQ(kB, Imja(0));
    EXPECT_EQ(42.5, k->PozNav[0].y);
    EXPECT_EQ(2.0, k->PozNav[0].x);
}

// Restoring reads the stored state back; a controller that never read the header has no
// current entry to store into or restore from.
TEST_F(Istorija, StoreAndRestoreNeedACurrentEntry) {
    EXPECT_EQ(0ul, k->VsPozNavVF()) << "no file yet";
    EXPECT_EQ(0ul, k->VzPozNavIzF());
    ASSERT_NE(0ul, k->NScena(kA, nullptr, nullptr, nullptr));
    k->PozNav[3].z = 17;
    k->SkorostNav[5] = 3;
    k->Flagi.Vkl(17, 17);
    EXPECT_EQ(1ul, k->VsPozNavVF());
    k->VsPozNavV0();
    k->SkorostNav[5] = 30;
    k->Flagi.Vwkl(17, 17);
    k->Flagi.Vkl(70, 70);
    EXPECT_EQ(1ul, k->VzPozNavIzF());
    EXPECT_EQ(17.0, k->PozNav[3].z);
    EXPECT_EQ(3.0, k->SkorostNav[5]);
    EXPECT_TRUE(k->Flagi.Test(17, 17));
    EXPECT_TRUE(k->Flagi.Test(70, 70)) << "bits past 25 are left alone";

    // A state holding a number that is no position is never stored over the entry; a new
    // entry then takes the last sound snapshot.
    const Bajty zdorovyj = Fajl();
    k->SkorostNav[1] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(0ul, k->VsPozNavVF());
    EXPECT_EQ(zdorovyj, Fajl());
    k->PozNav[0].x = std::nan("");
    EXPECT_NE(0ul, k->VFajlIstorii());
    EXPECT_EQ(1ul, k->VzPozNavIzF()) << "the new entry holds a sound record";
    EXPECT_EQ(17.0, k->PozNav[3].z);
    EXPECT_EQ(0.0, k->PozNav[0].x);
    EXPECT_EQ(1.0, k->SkorostNav[1]);

    const Bajty b = Fajl();
    Novyj();
    EXPECT_EQ(0ul, k->VsPozNavVF()) << "the header was not read";
    EXPECT_EQ(b, Fajl());
}

// ---- Damaged files --------------------------------------------------------------------------

// A written history of three entries, then the damage, then a restart.
class Povrezhdenie : public Istorija {
protected:
    void SetUp() override {
        Istorija::SetUp();
        TriSceny();
        zdorovyj = Fajl();
        n = Nachala(zdorovyj);
        ASSERT_EQ(3u, n.size());
        Novyj();
    }
    // The restart must show a scene; returns what Scena gave.
    long Zapusk() {
        const long r = k->Scena(TEK, 1);
        EXPECT_NE(0, r);
        EXPECT_NE(nullptr, k->Fynkcii[0].fyn) << "a scene is loaded";
        return r;
    }
    // Entries 1 .. kol of the sound file are still there byte for byte (snapshots aside).
    void SohranenyPervye(const Bajty& b, size_t kol) {
        for (size_t i = 0; i < kol; ++i) {
            const uint32_t R = U32(zdorovyj, n[i]);
            ASSERT_LE(n[i] + R, b.size()) << "entry " << i + 1;
            EXPECT_EQ(0, std::memcmp(&zdorovyj[n[i]], &b[n[i]], 8)) << "entry " << i + 1;
            EXPECT_EQ(0, std::memcmp(&zdorovyj[n[i] + 272], &b[n[i] + 272], R - 272))
                << "entry " << i + 1;
        }
    }
    Bajty zdorovyj;
    std::vector<uint64_t> n;
};

// Cut inside entry 3: entries 1 and 2 are the history, 2 is current; a new scene follows 2.
TEST_F(Povrezhdenie, TruncatedInsideAnEntry) {
    Bajty b(zdorovyj.begin(), zdorovyj.begin() + n[2] + 100);
    Zapisat(b);
    Zapusk();
    EXPECT_EQ(2u, k->ZagIstorii.TekNom);
    EXPECT_EQ(kB, Imja(0));
    EXPECT_EQ(2.0, k->PozNav[0].x);
    ASSERT_NE(0ul, k->NScena(kA, nullptr, nullptr, nullptr));
    const Bajty posle = Fajl();
    SohranenyPervye(posle, 2);
    const std::vector<uint64_t> m = Nachala(posle);
    ASSERT_EQ(3u, m.size());
    EXPECT_EQ(posle.size(), m[2] + U32(posle, m[2])) << "the damaged tail is gone";
    EXPECT_EQ(3u, U32(posle, m[2] + 4));
}

// Entry 2's length 0, far past the end, or just past it: entries 1 and 3 stay reachable and
// untouched, the walk never crosses entry 2.
TEST_F(Povrezhdenie, ZeroAndOverlongLengths) {
    for (uint32_t plohaja : {0u, 0x7FFFFFF0u, uint32_t(zdorovyj.size())}) {
        Bajty b = zdorovyj;
        Vs32(b, n[1], plohaja);
        Zapisat(b);
        Novyj();
        Zapusk();
        EXPECT_EQ(3u, k->ZagIstorii.TekNom) << "length " << plohaja;
        EXPECT_EQ(long(TEK), k->Scena(NAZAD, 1)) << "no way back over the damage";
        EXPECT_EQ(long(NAZAD), k->Scena(NAZAD, 2));
        EXPECT_EQ(1u, k->ZagIstorii.TekNom);
        EXPECT_EQ(kA, Imja(0));
        EXPECT_EQ(long(TEK), k->Scena(VPERED, 1)) << "no way forward over the damage";
        EXPECT_EQ(1ul, k->VsPozNavVF());
        const Bajty posle = Fajl();
        SohranenyPervye(posle, 1);
        ASSERT_EQ(zdorovyj.size(), posle.size());
        EXPECT_EQ(
            0, std::memcmp(&zdorovyj[n[2] + 272], &posle[n[2] + 272], zdorovyj.size() - n[2] - 272))
            << "entry 3 kept";
    }
}

// A header pointing outside the file: the last sound entry becomes current and last.
TEST_F(Povrezhdenie, HeaderOutsideTheFile) {
    Bajty b = zdorovyj;
    Vs64(b, 0, 1ull << 40);
    Vs32(b, 8, 7);
    Vs64(b, 12, 1ull << 41);
    Vs32(b, 20, 9);
    Zapisat(b);
    Zapusk();
    EXPECT_EQ(3u, k->ZagIstorii.TekNom);
    EXPECT_EQ(n[2], uint64_t(k->ZagIstorii.TekPoz.Ml));
    const Bajty posle = Fajl();
    SohranenyPervye(posle, 3);
    EXPECT_EQ(n[2], U64(posle, 0)) << "the repaired header is written";
    EXPECT_EQ(3u, U32(posle, 20));
}

// A trailing length that does not lead back to an entry start: the walk back stops at the
// sound entry it is on, nothing is lost, and going to the first entry still works.
TEST_F(Povrezhdenie, TrailingLengthsThatLeadNowhere) {
    Bajty b = zdorovyj;
    Vs32(b, n[2] - 4, U32(b, n[2] - 4) + 13); // entry 2's trailer
    Zapisat(b);
    Zapusk();
    const unsigned long byl = k->ZagIstorii.TekNom;
    const long r = k->Scena(NAZAD, 1);
    EXPECT_TRUE(r == long(TEK) || r == long(NAZAD));
    EXPECT_GE(k->ZagIstorii.TekNom, 1u);
    EXPECT_LE(k->ZagIstorii.TekNom, byl);
    EXPECT_EQ(long(ZYH_PERVAJA), k->Scena(ZYH_PERVAJA, 1));
    EXPECT_EQ(1u, k->ZagIstorii.TekNom);
    EXPECT_EQ(kA, Imja(0));
    SohranenyPervye(Fajl(), 1);
}

// Random bytes are no history: the viewer starts afresh with entry 1.
TEST_F(Povrezhdenie, RandomBytes) {
    Bajty b(5000);
    uint32_t x = 12345;
    for (unsigned char& c : b) {
        x = x * 1103515245u + 12345u;
        c = static_cast<unsigned char>(x >> 16);
    }
    Zapisat(b);
    EXPECT_EQ(-1, Zapusk());
    const Bajty posle = Fajl();
    const std::vector<uint64_t> m = Nachala(posle);
    ASSERT_EQ(1u, m.size());
    EXPECT_EQ(posle.size(), 24 + U32(posle, 24));
    EXPECT_EQ(24u, U64(posle, 0));
}

// A header copy that names no sound entry: storing writes nothing, a new entry goes after the
// last sound one rather than into the damaged bytes.
TEST_F(Povrezhdenie, StaleHeaderCopyNeverWritesIntoDamage) {
    Zapusk();
    k->ZagIstorii.TekPoz = ZYKNB64{static_cast<unsigned long>(n[1] + 50), 0};
    const Bajty do_ = Fajl();
    EXPECT_EQ(0ul, k->VsPozNavVF());
    EXPECT_EQ(0ul, k->VzPozNavIzF());
    EXPECT_EQ(do_, Fajl());
    EXPECT_NE(0ul, k->VFajlIstorii());
    const Bajty posle = Fajl();
    SohranenyPervye(posle, 3);
    const std::vector<uint64_t> m = Nachala(posle);
    ASSERT_EQ(4u, m.size());
    EXPECT_EQ(4u, U32(posle, m[3] + 4));
    EXPECT_EQ(4u, k->ZagIstorii.TekNom);
}

// A stored record with numbers that are no position (NaN here) is not restored, neither by
// the scene loader nor by VzPozNavIzF: the long tone sounds and the state stays.
TEST_F(Povrezhdenie, UnusableStoredNumbersAreNotRestored) {
    Bajty b = zdorovyj;
    const double nan = std::nan("");
    std::memcpy(&b[n[2] + 8 + 64], &nan, sizeof nan);
    Zapisat(b);
    ZyVsNabljudatelZvuka(Slushat);
    gZvuki.clear();
    Zapusk();
    EXPECT_FALSE(std::isnan(k->PozNav[0].x));
    EXPECT_EQ(0.0, k->PozNav[0].x);
    EXPECT_FALSE(gZvuki.empty());
    k->PozNav[0].x = 5;
    gZvuki.clear();
    EXPECT_EQ(0ul, k->VzPozNavIzF());
    EXPECT_EQ(5.0, k->PozNav[0].x);
    ASSERT_EQ(1u, gZvuki.size());
    EXPECT_EQ(600u, gZvuki[0].first);
    EXPECT_EQ(300u, gZvuki[0].second);
}

} // namespace
