// The block-copy engine behind every copy, insert, delete and transfer of ZYKFAJL64 (internal).
//
// The caller checks its arguments (writable receiver, ranges inside the source, length above
// 0) and describes the copy; the engine grows the receiver, takes the cross-process locks,
// sizes the blocks from free memory, shows progress, moves the bytes through the file handles
// (reads and writes at explicit offsets, straight into or out of the caller's memory, or
// through one buffer between two files), stamps the receiver, releases the locks and sets the
// positions.
#ifndef ZYBLOKKOP_H
#define ZYBLOKKOP_H

#include <cstdint>

#include "ZyKFajl64.h"

namespace Quorvel {

// One side of a copy: a range of a file, or memory.
struct ZyStorona {
    ZYKFAJL64* fajl = nullptr;    // the file object, null for memory
    unsigned char* ozu = nullptr; // the memory, when fajl is null
    uint64_t poz = 0;             // file offset of the range
    unsigned serial = 0;          // report serial of a block that cannot be read or written
                                  // (or its view mapped), first blocks
    unsigned serialPosl = 0;      // the same for the last block
};

// A checked copy of `dlina` (> 0) bytes from `otkuda` to `kuda`.
struct ZyZadanieKop {
    const char* funkcija = ""; // function name in the reports
    ZyStorona kuda;            // receiver
    ZyStorona otkuda;          // source
    uint64_t dlina = 0;
    bool odinFajl = false;       // both sides show one file: the move follows the file offsets and
                                 // the source takes no reader side of its own
    uint64_t* sdelano = nullptr; // when set: the bytes whose blocks were written whole, in the
                                 // order of the blocks (dlina on success)
};

// Runs the copy. Returns 1; -1 when the receiver's position (in the file-to-memory copy:
// the source object's) had to be clamped to its last index; -2 when a separate source
// object's position was clamped; -3 both; 0 on failure (reported; the receiver may be left
// grown).
int zyKopirovatBloki(const ZyZadanieKop& z);

} // namespace Quorvel

#endif // ZYBLOKKOP_H
