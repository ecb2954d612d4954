// The arithmetic of the block moves of ZYKFAJL64 (internal): in which order the blocks of a copy
// go so that overlapping ranges of one file come out right, and which ranges a delete or a move
// within a file keeps aside, moves and writes back.
//
// Pure logic on 64-bit offsets: no system calls and no platform headers, so that it builds
// with any host compiler as well.
#ifndef ZYPLANKOP_H
#define ZYPLANKOP_H

#include <cstdint>

namespace Quorvel {

// One block of a copy: its offset from the start of both ranges, its length, and whether it
// is the last block the copy handles.
struct ZyBlokPlana {
    uint64_t smeshenie;
    uint64_t dlina;
    bool posl;
};

// True when the blocks go from the start of the ranges toward their end: for different files
// or memory, and within one file when the destination lies below the source. Otherwise they go
// from the end toward the start, so an overlapping copy never reads a byte it has overwritten.
bool ZyPlanVozrast(bool odinFajl, uint64_t kuda, uint64_t otkuda);

// The block of a `dlina`-byte copy in blocks of at most `blok` (> 0) bytes once `gotovo`
// (< dlina) bytes are done, taken in the direction `vozrast`.
ZyBlokPlana ZyPlanBlok(uint64_t dlina, uint64_t blok, uint64_t gotovo, bool vozrast);

// Where the room lies that a copy within one file leaves when it stops after `sdelano` bytes done
// in the order of its blocks: the |kuda - otkuda| bytes from this offset hold nothing the copy
// still needs, and the bytes before and after them are the source range in order. Going down
// (kuda < otkuda) the room is kuda + sdelano ... otkuda + sdelano, going up otkuda + dlina -
// sdelano ... kuda + dlina - sdelano.
uint64_t ZyPlanProbel(uint64_t kuda, uint64_t otkuda, uint64_t dlina, uint64_t sdelano);

// A copy of `dlina` bytes from `otkuda` to `kuda`.
struct ZyKopija {
    uint64_t kuda, otkuda, dlina;
};

// The copy that takes back the first `sdelano` bytes a copy within one file moved (in the order
// of its blocks): it writes them back over their source places, so that the source range is
// whole again. Stopped itself after `nazad` bytes, it leaves the file as the first copy stopped
// after sdelano - nazad bytes.
ZyKopija ZyPlanOtkata(uint64_t kuda, uint64_t otkuda, uint64_t dlina, uint64_t sdelano);

// A rearrangement of a file in three steps: `zapasDlina` bytes at `zapasPoz` are kept aside,
// `kopDlina` bytes move from `kopOtkuda` to `kopKuda` (a copy within the file), and the bytes
// kept aside are written back at `vernutPoz`.
struct ZyPlanZapasa {
    uint64_t zapasPoz, zapasDlina;
    uint64_t kopKuda, kopOtkuda, kopDlina;
    uint64_t vernutPoz;
};

// Deleting `n` bytes at `p` of a file of `razmer` bytes, with p + n < razmer: the end of the
// file that the cut to razmer - n removes is kept aside (the shorter of n and the tail behind
// the deleted bytes), the rest of the tail moves down to p, and the kept bytes go back behind
// it.
ZyPlanZapasa ZyPlanUdalit(uint64_t razmer, uint64_t p, uint64_t n);

// Moving `n` bytes at `s` to the point `d` of the file as it is: the two neighbouring parts
// between them swap places, the shorter one kept aside while the longer one moves. A point d
// from s to s + n changes nothing: zapasDlina and kopDlina are then 0.
ZyPlanZapasa ZyPlanPeremestit(uint64_t d, uint64_t s, uint64_t n);

// Where the source of a same-file insert of `n` bytes at `p` lies once the bytes from p on have
// moved up by n: unchanged at or below p, else n higher.
uint64_t ZyIstochnikPosleSdviga(uint64_t s, uint64_t p, uint64_t n);

} // namespace Quorvel

#endif // ZYPLANKOP_H
