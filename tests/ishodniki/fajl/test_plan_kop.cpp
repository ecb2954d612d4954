// The block plan of the copy engine on memory: the order of the blocks, overlapping copies
// in blocks against one move, and the delete and move ranges against the cut and the swap.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "ZyPlanKop.h"
#include "kopija_v_pamjati.h"

namespace {

using Bajty = std::vector<unsigned char>;

// `n` bytes of a pattern that tells positions apart, different for each `seed`.
Bajty uzor(size_t n, unsigned seed) {
    Bajty v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<unsigned char>(i * 131 + seed * 29 + 7);
    return v;
}

// Applies the block plan of a copy within one array, each block read whole before it is
// written, as the engine does through its buffer; stops after `blokov` blocks when given.
void kopirovatPoPlanu(Bajty& b, uint64_t d, uint64_t s, uint64_t n, uint64_t blok,
                      uint64_t blokov = UINT64_MAX) {
    const bool vozrast = Quorvel::ZyPlanVozrast(true, d, s);
    for (uint64_t gotovo = 0; gotovo < n && blokov--;) {
        const Quorvel::ZyBlokPlana p = Quorvel::ZyPlanBlok(n, blok, gotovo, vozrast);
        const Bajty kusok(b.begin() + s + p.smeshenie, b.begin() + s + p.smeshenie + p.dlina);
        std::copy(kusok.begin(), kusok.end(), b.begin() + d + p.smeshenie);
        gotovo += p.dlina;
        EXPECT_EQ(gotovo == n, p.posl);
    }
}

// Applies a keep-aside plan to an array: kept bytes copied out, the move, the write back.
void primenit(Bajty& b, const Quorvel::ZyPlanZapasa& p) {
    const Bajty zapas(b.begin() + p.zapasPoz, b.begin() + p.zapasPoz + p.zapasDlina);
    Bajty kusok(b.begin() + p.kopOtkuda, b.begin() + p.kopOtkuda + p.kopDlina);
    std::copy(kusok.begin(), kusok.end(), b.begin() + p.kopKuda);
    std::copy(zapas.begin(), zapas.end(), b.begin() + p.vernutPoz);
}

} // namespace

TEST(PlanKop, BlocksGoFromTheEndTowardWhichTheDestinationLies) {
    const struct {
        bool odinFajl;
        uint64_t kuda, otkuda, dlina, blok;
        std::vector<std::pair<uint64_t, uint64_t>> bloki; // offset, length, in order
    } sluchai[] = {
        {false, 100, 0, 10, 4, {{0, 4}, {4, 4}, {8, 2}}}, // other file: always ascending
        {false, 0, 100, 10, 4, {{0, 4}, {4, 4}, {8, 2}}},
        {true, 0, 5, 10, 4, {{0, 4}, {4, 4}, {8, 2}}},        // destination below: ascending
        {true, 5, 0, 10, 4, {{6, 4}, {2, 4}, {0, 2}}},        // destination above: descending
        {true, 9, 1, 8, 4, {{4, 4}, {0, 4}}},                 // an exact multiple of the block
        {true, 1, 0, 3, 8, {{0, 3}}},                         // one block shorter than the size
        {true, 2, 0, 3, 1, {{2, 1}, {1, 1}, {0, 1}}},         // blocks of one byte
        {true, 0, 1, 65537, 65536, {{0, 65536}, {65536, 1}}}, // one byte past a block
        {true, 1, 0, 65537, 65536, {{1, 65536}, {0, 1}}},
    };
    for (const auto& s : sluchai) {
        const bool vozrast = Quorvel::ZyPlanVozrast(s.odinFajl, s.kuda, s.otkuda);
        std::vector<std::pair<uint64_t, uint64_t>> bloki;
        for (uint64_t gotovo = 0; gotovo < s.dlina && bloki.size() < 100;) {
            const Quorvel::ZyBlokPlana b = Quorvel::ZyPlanBlok(s.dlina, s.blok, gotovo, vozrast);
            bloki.emplace_back(b.smeshenie, b.dlina);
            gotovo += b.dlina;
            EXPECT_EQ(gotovo == s.dlina, b.posl) << "the last block is the one that ends the copy";
        }
        EXPECT_EQ(s.bloki, bloki) << s.kuda << " <- " << s.otkuda << ", " << s.dlina << " in "
                                  << s.blok;
    }
}

TEST(PlanKop, EveryOverlappingCopyInBlocksEqualsAMove) {
    // Every distance, length and block size up to a few blocks: the plan applied block by block
    // must give what one move of the whole range gives.
    const Bajty ishodnye = uzor(64, 3);
    for (uint64_t blok : {1u, 2u, 3u, 7u, 16u})
        for (uint64_t n = 1; n <= 24; ++n)
            for (uint64_t s = 0; s + n <= 40; s += 3)
                for (uint64_t d = 0; d + n <= 64; ++d) {
                    Bajty b = ishodnye;
                    kopirovatPoPlanu(b, d, s, n, blok);
                    const Bajty ozhidaemoe = sKopiej(ishodnye, d, ishodnye, s, n);
                    ASSERT_EQ(ozhidaemoe, b) << d << " <- " << s << ", " << n << " in " << blok;
                }
}

TEST(PlanKop, ACopyStoppedAfterAnyBlockCanBeTakenBackAndLeavesTheSourceAroundItsRoom) {
    // Whatever block a copy within one array stops after, the bytes before and after the room
    // the plan names are the whole source range, in order: a failed move can put bytes kept
    // aside into that room and lose nothing.
    const Bajty ishodnye = uzor(48, 5);
    for (uint64_t blok : {1u, 3u, 8u})
        for (uint64_t n = 1; n <= 20; ++n)
            for (uint64_t s = 0; s + n <= 48; s += 5)
                for (uint64_t d = 0; d + n <= 48; ++d) {
                    if (d == s) continue;
                    const uint64_t vsego = (n + blok - 1) / blok, rasst = d < s ? s - d : d - s;
                    for (uint64_t blokov = 0; blokov <= vsego; ++blokov) {
                        Bajty b = ishodnye;
                        kopirovatPoPlanu(b, d, s, n, blok, blokov);
                        const uint64_t sdelano = std::min(n, blokov * blok);
                        const uint64_t probel = Quorvel::ZyPlanProbel(d, s, n, sdelano);
                        const uint64_t ot = std::min(d, s), po = std::max(d, s) + n;
                        Bajty vokrug(b.begin() + ot, b.begin() + probel);
                        vokrug.insert(vokrug.end(), b.begin() + probel + rasst, b.begin() + po);
                        const Bajty istochnik(ishodnye.begin() + s, ishodnye.begin() + s + n);
                        ASSERT_EQ(istochnik, vokrug)
                            << d << " <- " << s << ", " << n << " in " << blok << ", stopped after "
                            << blokov << " blocks";
                        // Taking the moved bytes back, stopped after any block of its own, leaves
                        // the file as the copy stopped that much earlier; in full, the source
                        // range is back in place.
                        const Quorvel::ZyKopija o = Quorvel::ZyPlanOtkata(d, s, n, sdelano);
                        for (uint64_t nazad = 0; nazad <= blokov; ++nazad) {
                            Bajty c = b;
                            kopirovatPoPlanu(c, o.kuda, o.otkuda, o.dlina, blok, nazad);
                            const uint64_t ostalos = sdelano - std::min(sdelano, nazad * blok);
                            const uint64_t pr = Quorvel::ZyPlanProbel(d, s, n, ostalos);
                            Bajty vokrugC(c.begin() + ot, c.begin() + pr);
                            vokrugC.insert(vokrugC.end(), c.begin() + pr + rasst, c.begin() + po);
                            ASSERT_EQ(istochnik, vokrugC)
                                << d << " <- " << s << ", " << n << " in " << blok << ": " << blokov
                                << " blocks, " << nazad << " back";
                            if (ostalos == 0) {
                                ASSERT_TRUE(
                                    std::equal(istochnik.begin(), istochnik.end(), c.begin() + s))
                                    << d << " <- " << s << ", " << n << " taken back";
                            }
                        }
                    }
                }
}

TEST(PlanKop, DeleteAndMoveRangesGiveTheCutAndTheSwap) {
    const Bajty ishodnye = uzor(30, 4);
    for (uint64_t p = 0; p < 30; ++p)
        for (uint64_t n = 1; p + n < 30; ++n) {
            // Delete: keep the end aside, cut, move the rest of the tail, write back.
            Bajty b = ishodnye;
            const Quorvel::ZyPlanZapasa plan = Quorvel::ZyPlanUdalit(30, p, n);
            const Bajty zapas(b.begin() + plan.zapasPoz,
                              b.begin() + plan.zapasPoz + plan.zapasDlina);
            ASSERT_EQ(30u, plan.zapasPoz + plan.zapasDlina) << "the kept bytes are the end cut off";
            b.resize(30 - n);
            std::memmove(b.data() + plan.kopKuda, b.data() + plan.kopOtkuda, size_t(plan.kopDlina));
            std::copy(zapas.begin(), zapas.end(), b.begin() + plan.vernutPoz);
            Bajty ozhidaemoe = ishodnye;
            ozhidaemoe.erase(ozhidaemoe.begin() + p, ozhidaemoe.begin() + p + n);
            ASSERT_EQ(ozhidaemoe, b) << "delete " << n << " at " << p;
        }
    for (uint64_t s = 0; s < 30; ++s)
        for (uint64_t n = 1; s + n <= 30; ++n)
            for (uint64_t d = 0; d <= 30; ++d) {
                Bajty b = ishodnye;
                const Quorvel::ZyPlanZapasa plan = Quorvel::ZyPlanPeremestit(d, s, n);
                EXPECT_LE(plan.zapasDlina, plan.kopDlina) << "the shorter part is kept aside";
                primenit(b, plan);
                Bajty ozhidaemoe = ishodnye;
                if (d >= s && d <= s + n) { // a point inside the block or at its ends
                    EXPECT_EQ(0u, plan.zapasDlina + plan.kopDlina) << d << " " << s << " " << n;
                } else if (d < s) {
                    std::rotate(ozhidaemoe.begin() + d, ozhidaemoe.begin() + s,
                                ozhidaemoe.begin() + s + n);
                } else {
                    std::rotate(ozhidaemoe.begin() + s, ozhidaemoe.begin() + s + n,
                                ozhidaemoe.begin() + d);
                }
                ASSERT_EQ(ozhidaemoe, b) << "move " << n << " at " << s << " to " << d;
            }
    EXPECT_EQ(5u, Quorvel::ZyIstochnikPosleSdviga(5, 5, 3)) << "a source at the point stays";
    EXPECT_EQ(9u, Quorvel::ZyIstochnikPosleSdviga(6, 5, 3)) << "above it, it moved up";
}
