// The block-copy engine behind every copy, insert, delete and transfer of ZYKFAJL64 (internal).
//
// The caller checks its arguments (writable receiver, ranges inside the source, length above
// 0) and describes the copy; the engine grows the receiver, takes the cross-process locks
// (unless an enclosing operation holds them), sizes the blocks from free memory, shows
// progress, moves the bytes through the file handles (reads and writes at explicit offsets,
// straight into or out of the caller's memory, or through one buffer between two files; through
// mapped views for a handle opened without buffering or on another machine), stamps the
// receiver, releases the locks and sets the positions.
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
    bool odinFajl = false; // both sides show one file: the move follows the file offsets and
                           // the source takes no reader side of its own
};

// Runs the copy. Returns 1; -1 when the receiver's position (in the file-to-memory copy:
// the source object's) had to be clamped to its last index; -2 when a separate source
// object's position was clamped; -3 both; 0 on failure (reported; the receiver may be left
// grown).
int zyKopirovatBloki(const ZyZadanieKop& z);

// The writer and reader sides one operation holds, taken in the order of the files' names (so
// two processes copying between the same two files in opposite directions cannot deadlock) and
// given back in reverse. While they are held, the copies this thread makes take no lock of
// those objects and do not refresh them: the operation holds the locks for its whole course
// and keeps the objects current. Reports wait while the sides are held.
class ZyZamki {
public:
    ZyZamki() = default;
    ~ZyZamki() { otpustit(); }
    ZyZamki(const ZyZamki&) = delete;
    ZyZamki& operator=(const ZyZamki&) = delete;

    // Adds the writer (zapis) or reader side of `f`, unless an enclosing operation of this
    // thread holds it already.
    void dobavit(ZYKFAJL64* f, bool zapis);
    // Adds `f` as held without a lock of its own: it shows the file of another side added
    // here, whose lock covers it.
    void dobavitPokrytyj(ZYKFAJL64* f);
    // Takes every side added; on a failure gives back those taken and returns false.
    bool vzjat();
    // Runs the suffix of every side taken; true when all of them succeeded.
    bool otpustit();

private:
    struct Z {
        ZYKFAJL64* f;
        bool zapis;
        bool vzjat;
        bool pokryt; // no lock of its own
    };
    Z z_[2] = {};
    int n_ = 0;
};

// Sets the position of `f` after an operation: `poz`, or its last index when `poz` lies past
// it (then true).
bool zyPostavitPoz(ZYKFAJL64& f, uint64_t poz);

// True while an operation of this thread holds a side of `f` (ZyZamki).
bool zyZamokDerzhitsja(const ZYKFAJL64* f);

// Whether two objects show one file: their full paths compared ignoring case (the path names
// the shared lock objects), or the same file identity (a hard link, a short name). 1 the same
// file, 0 different files, -1 the comparison failed (reported with `funkcija` and `serial`).
int zyOdinPut(const ZYKFAJL64& a, const ZYKFAJL64& b, const char* funkcija, unsigned serial);

// The block length of a copy: from the memory free now, at most 1 MiB between files (see
// ZyKFajl64Blok.cpp); a hundredth of it when `progress`.
uint64_t zyRazmerBloka(const ZyZadanieKop& z, bool progress);

// Reads (zapis false) or writes n bytes at file offset `poz` through handle `h`, in calls of
// at most 1 GiB; a handle opened for overlapped I/O is waited for. False with the last error
// set (ERROR_HANDLE_EOF when the file ends before n bytes).
bool zyVvodVyvod(HANDLE h, uint64_t poz, unsigned char* buf, uint64_t n, bool zapis);

// Reads or writes n bytes at `poz` of `f` through a view of its mapping object (made when
// missing): the way of a handle that refuses or does not keep coherent reads and writes at
// arbitrary offsets (ZYF64_CHEREZ_VIDY). False with the last error set.
bool zyVvodVyvodVidom(ZYKFAJL64& f, uint64_t poz, unsigned char* buf, uint64_t n, bool zapis);

// The progress window of one operation. Started when the object shows progress and has no
// window yet; told the percentage after every block; closed at the end by the operation that
// started it (a window another operation started stays that operation's).
class ZyProgress {
public:
    ZyProgress() = default;
    ~ZyProgress() { zakonchit(); }
    ZyProgress(const ZyProgress&) = delete;
    ZyProgress& operator=(const ZyProgress&) = delete;

    // Starts (or reuses) the window for the copy `z` (its names, its length) and resets the
    // bar. False after a report.
    bool nachat(ZYKFAJL64& f, const ZyZadanieKop& z);
    // Counts a finished block and posts the percentage.
    void blok(uint64_t n);
    // Closes a window this operation started.
    void zakonchit();

private:
    bool zapustit(ZYKFAJL64& f, const ZyZadanieKop& z);
    void posylatSbros();

    ZYKFAJL64* f_ = nullptr;
    HANDLE potok_ = nullptr;
    bool zapustil_ = false;
};

} // namespace Quorvel

#endif // ZYBLOKKOP_H
