// The arithmetic of the block moves of ZYKFAJL64: block order, and the ranges of deletes and
// moves within a file.
#include "ZyPlanKop.h"

namespace Quorvel {

namespace {

// Swapping the k bytes at `a` with the m bytes behind them (X Y becomes Y X): the shorter part
// is kept aside, the longer one moves over it, the kept part goes to the other end.
ZyPlanZapasa zyPlanPovorota(uint64_t a, uint64_t k, uint64_t m) {
    if (k == 0 || m == 0) return ZyPlanZapasa{a, 0, a, a, 0, a};
    if (k <= m) return ZyPlanZapasa{a, k, a, a + k, m, a + m};
    return ZyPlanZapasa{a + k, m, a + m, a, k, a};
}

} // namespace

// Ascending for different sides, and for a destination below the source in one file.
bool ZyPlanVozrast(bool odinFajl, uint64_t kuda, uint64_t otkuda) {
    return !odinFajl || kuda < otkuda;
}

// The next block: from the start of the ranges when ascending, from their end otherwise.
ZyBlokPlana ZyPlanBlok(uint64_t dlina, uint64_t blok, uint64_t gotovo, bool vozrast) {
    const uint64_t ostatok = dlina - gotovo;
    const uint64_t n = ostatok < blok ? ostatok : blok;
    return ZyBlokPlana{vozrast ? gotovo : ostatok - n, n, n == ostatok};
}

// Going down, the written bytes start at kuda and the unread ones end at otkuda + dlina; going up,
// the unread ones start at otkuda and the written ones end at kuda + dlina.
uint64_t ZyPlanProbel(uint64_t kuda, uint64_t otkuda, uint64_t dlina, uint64_t sdelano) {
    return kuda < otkuda ? kuda + sdelano : otkuda + (dlina - sdelano);
}

// Going down the moved bytes are the first ones, going up the last ones.
ZyKopija ZyPlanOtkata(uint64_t kuda, uint64_t otkuda, uint64_t dlina, uint64_t sdelano) {
    if (kuda < otkuda) return ZyKopija{otkuda, kuda, sdelano};
    return ZyKopija{otkuda + dlina - sdelano, kuda + dlina - sdelano, sdelano};
}

// The end cut off is the shorter of the deleted length and the tail behind the deleted bytes.
ZyPlanZapasa ZyPlanUdalit(uint64_t razmer, uint64_t p, uint64_t n) {
    const uint64_t hvost = razmer - (p + n);
    const uint64_t zapas = n < hvost ? n : hvost;
    return ZyPlanZapasa{razmer - zapas, zapas, p, p + n, hvost - zapas, p + hvost - zapas};
}

// A move down swaps the bytes between d and s with the block; a move up swaps the block with
// the bytes between its end and d.
ZyPlanZapasa ZyPlanPeremestit(uint64_t d, uint64_t s, uint64_t n) {
    if (d < s) return zyPlanPovorota(d, s - d, n);
    if (d <= s + n) return zyPlanPovorota(s, n, 0); // a point inside the block: no move
    return zyPlanPovorota(s, n, d - s - n);
}

// A source above the insertion point has moved up with the bytes after it.
uint64_t ZyIstochnikPosleSdviga(uint64_t s, uint64_t p, uint64_t n) {
    return s <= p ? s : s + n;
}

} // namespace Quorvel
