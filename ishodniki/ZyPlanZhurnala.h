// The journaled changes of ZYKFAJL64 (internal): what an insert, a delete, a move within a file
// or a replacement of a file's data does to the file, step by step; what each step destroys and
// the journal keeps; how a change stopped anywhere is taken back; when the journal must record
// progress; and the journal's bytes (header and progress records).
//
// A change runs as a list of steps (a new size, a move within the file, a write of the
// journal's data, a copy from outside). Before the first step the journal beside the file holds
// the plan and every byte a step destroys that the file does not keep elsewhere. Whoever finds
// the journal of a change that did not end (the next open, in any process) takes the change
// back to the state before it, or, when the change cannot be taken back or has nothing left
// but idempotent writes, carries it through. An overlapping move is the only step whose
// progress matters: the journal records it so that the bytes already moved are known exactly.
//
// Pure logic on 64-bit offsets: no system calls and no platform headers.
#ifndef ZYPLANZHURNALA_H
#define ZYPLANZHURNALA_H

#include <cstddef>
#include <cstdint>

namespace Quorvel {

// Kinds of step.
enum : uint32_t {
    ZY_SHAG_RAZMER = 1,  // the file's size becomes `kuda` (it was `otkuda`)
    ZY_SHAG_SDVIG = 2,   // `dlina` bytes move within the file from `otkuda` to `kuda`
    ZY_SHAG_ZAPIS = 3,   // `dlina` bytes of the journal's data from offset `otkuda` go to `kuda`
    ZY_SHAG_VNESHNIJ = 4 // `dlina` bytes from outside the file (another file) go to `kuda`
};

// One step of a change, or one action that takes steps back.
struct ZyShag {
    uint32_t vid = 0;        // ZY_SHAG_*
    uint32_t obratno = 0;    // a move whose undo moves the bytes back (its ranges overlap)
    uint64_t kuda = 0;       // see the kinds
    uint64_t otkuda = 0;     // see the kinds
    uint64_t dlina = 0;      // see the kinds
    uint64_t obrazPoz = 0;   // the bytes the step destroys and the file keeps nowhere else:
    uint64_t obrazDlina = 0; // their file offset and length, and where the journal's data
    uint64_t obrazSmesh = 0; // holds them (undo writes them back)
};

// A range of the file copied into the journal's data before the change.
struct ZyIzFajla {
    uint64_t poz = 0, dlina = 0, smesh = 0;
};

constexpr uint32_t ZY_SHAGOV_MAKS = 4;
// The end of a file (the bytes an insert or delete changes from its point on) short enough to
// be kept whole in the journal and written again in one step.
constexpr uint64_t ZY_MALYJ_KONEC = 64 * 1024;
constexpr uint32_t ZY_DEJSTVIJ_MAKS = 2 * ZY_SHAGOV_MAKS; // actions that take a plan back

// A change: its steps, the data the journal keeps, the sizes before and after.
struct ZyPlan {
    uint32_t kol = 0;
    ZyShag shagi[ZY_SHAGOV_MAKS];
    uint32_t kolIzFajla = 0;
    ZyIzFajla izFajla[2];     // before-images read from the file into the journal
    uint64_t dannye = 0;      // bytes of the journal's data
    uint64_t razmerDo = 0;    // the file's size before the change
    uint64_t razmerPosle = 0; // and after it
    uint32_t tolkoVpered = 0; // the change cannot be taken back once its first step is done
    // The step the first record names (not in the header): 1 when undoing the first step is
    // harmless whether or not it was done (a size step whose image the file still holds
    // until then), so that no record need be written before the second.
    uint32_t pervyjShag = 0;
};

// Where the inserted bytes of an insert come from.
enum : uint32_t {
    ZY_VSTAVKA_OZU = 1,   // memory: the journal keeps them (data offset 0)
    ZY_VSTAVKA_FAJL = 2,  // this file, at `istochnik` before the insert
    ZY_VSTAVKA_DRUGOJ = 3 // another file
};

// Inserting n (> 0) bytes at p into a file of `razmer` bytes (p at or past the end: the file
// grows to p + n). The file grows first, the bytes from p on move up, the gap is filled.
// Nothing the file holds is destroyed, so the journal keeps only the bytes from memory.
// An insert from memory near the end, whose bytes and tail together are at most `malyjKonec`,
// instead keeps the tail too and writes the new end from the journal in one step: a followed
// move of a short tail costs more writes of the journal than the bytes it moves.
ZyPlan zyPlanVstavki(uint64_t razmer, uint64_t p, uint64_t n, uint32_t otkuda, uint64_t istochnik,
                     uint64_t malyjKonec = 0);

// Deleting n (> 0) bytes at p of a file of `razmer` bytes, with p + n < razmer (a delete up to
// the end is one cut). With a tail T = razmer - p - n of at least n: the file is cut first (its
// last n bytes kept), the tail moves down, the kept bytes go behind it; the journal keeps the
// deleted bytes and the last n (2n bytes). With a shorter tail: the tail moves down (a move
// that does not overlap) and the file is cut last; the journal keeps the T bytes the move
// overwrites. Either way a file that cannot be cut is refused before anything moves or after
// a cheap undo. A delete near the end, whose bytes and tail together are at most
// `malyjKonec`, keeps them all, cuts first and writes the tail from the journal.
ZyPlan zyPlanUdalenija(uint64_t razmer, uint64_t p, uint64_t n, uint64_t malyjKonec = 0);

// Moving n bytes at s to the point d of a file of `razmer` bytes (d counted in the file as it
// is; d past the end grows the file to d first). The two parts between s and d swap places:
// the journal keeps the shorter, the longer moves over it, the kept part goes behind. No step
// when d lies within [s, s + n].
ZyPlan zyPlanPeremeshenija(uint64_t razmer, uint64_t d, uint64_t s, uint64_t n);

// Replacing everything from `nachalo` on, in a file of `razmer` bytes, with the n bytes of the
// journal's data: the size is set, the data written. Cannot be taken back (the old bytes are
// not kept); a change stopped before its first step leaves the file as it was.
ZyPlan zyPlanZameny(uint64_t razmer, uint64_t nachalo, uint64_t n);

// The actions that take a plan back from its step `shag`, of which `gotovo` is done (a move:
// its bytes done in the order of its blocks, as ZyPlanBlok takes them; a size: 1 when the
// file has the new size, else 0), and every earlier step done. Their number (at most
// ZY_DEJSTVIJ_MAKS) into `d`. The actions leave the file as before the change.
uint32_t zyOtkat(const ZyPlan& plan, uint32_t shag, uint64_t gotovo, ZyShag* d);

// What to do with a change found stopped at step `shag` (`sdelan`: a size step in progress
// already has its size). `zhivoj`: the change failed in the process that runs it, which wants
// the state before; otherwise its process is gone and the cheaper way will do.
enum class ZyNapravlenie { Gotovo, Vpered, Nazad };
ZyNapravlenie zyKudaVosstanovit(const ZyPlan& plan, uint32_t shag, bool sdelan, bool zhivoj);

// True when the journal follows the progress of the move `s` (forward, or as an action
// taking a change back, `otkat`): its ranges overlap and a stop in its middle must be known
// exactly, because the move is taken back (or, as an action, carried on) from there.
bool zySlezhenie(const ZyShag& s, bool otkat);

// True when a move of `dlina` bytes over `rasstojanie` in blocks of at most `blok` bytes
// needs the block being written kept in the journal (a slot) before it goes: the block is
// longer than the distance, so a block written in part leaves bytes of the overlap that no
// count of bytes done can tell.
bool zyNuzhenSlot(uint64_t rasstojanie, uint64_t dlina, uint64_t blok);

// True when a move over `rasstojanie` whose progress was last recorded at `zapisano` bytes
// must record it again before its block from `nachalo` to `konec` (bytes in the order of its
// blocks) is written: without the record the bytes written could run more than the distance
// past the recorded count, and taking the move back from that count would lose bytes.
bool zyNuzhnaZapis(uint64_t zapisano, uint64_t konec, uint64_t rasstojanie);

// The journal's bytes. A header of ZY_ZAGOLOVOK bytes at offset 0, two progress records after
// it (the valid one with the higher number counts, so a record cut short leaves the other),
// the data from ZY_DANNYE_SMESH (in the first page with the header, so that a small change's
// data and header can go out in one write), then two slots of a block each. Journals of the
// first version (their header says so) hold the data from ZY_DANNYE_SMESH_V1.
constexpr size_t ZY_ZAGOLOVOK = 512;
constexpr size_t ZY_ZAPIS_PROGRESSA = 128;
constexpr uint64_t ZY_DANNYE_SMESH = 1024;
constexpr uint64_t ZY_DANNYE_SMESH_V1 = 4096;

// The identity of the file a journal belongs to.
struct ZyLichnost {
    uint32_t tom = 0;                    // volume serial number
    uint32_t indeksSt = 0, indeksMl = 0; // file index
};

// What the header holds.
struct ZyZagolovok {
    ZyLichnost lichnost;
    ZyPlan plan;
    uint64_t slotBlok = 0;                  // bytes of a slot (0: no slots)
    uint64_t dannyeSmesh = ZY_DANNYE_SMESH; // where the data begins
};

// The progress of a change, as a record says it.
struct ZyOtmetka {
    uint64_t nomer = 0;       // the newer record counts
    uint32_t faza = 0;        // 0 the change, 1 taking it back
    uint32_t shag = 0;        // the step, or the action taking it back
    uint64_t gotovo = 0;      // of it done (see zyOtkat)
    uint32_t otkatShag = 0;   // taking back: the step it started from
    uint64_t otkatGotovo = 0; // and how much of that step was done
    uint32_t slot = 0;        // 1 or 2: the block being written is in that slot
    uint64_t slotKuda = 0;    // its file offset
    uint64_t slotDlina = 0;   // and length
};

// Where the slots begin: after the data, at a multiple of 4096.
uint64_t zySlotySmesh(const ZyZagolovok& z);

// The header's bytes (ZY_ZAGOLOVOK).
void zyZapisatZagolovok(const ZyZagolovok& z, unsigned char* b);
// Reads a header; false when the bytes are not a whole, sound header.
bool zyProchestZagolovok(const unsigned char* b, ZyZagolovok& z);
// A progress record's bytes (ZY_ZAPIS_PROGRESSA).
void zyZapisatProgress(const ZyOtmetka& p, unsigned char* b);
// Reads a progress record; false when the bytes are not a whole, sound record.
bool zyProchestProgress(const unsigned char* b, ZyOtmetka& p);

} // namespace Quorvel

#endif // ZYPLANZHURNALA_H
