// Journaled changes of ZYKFAJL64 (internal): the journal beside the file, a change run through
// it, and the recovery of a change whose process stopped.
//
// The journal is the file's full path followed by ZY_ZHURNAL_HVOST. Every object that has
// made a change holds it open between changes (sharing reads and writes, not removal): making
// and removing a file at every small change would cost more than the change. A change or a
// recovery locks one byte of it far beyond its end (LockFileEx) while it uses it; the system
// gives that lock up when its process stops, so a journal whose byte can be locked has no
// living change in it. A change is made only under the file's writer lock; the journal is
// written before the first byte of the file changes and, when the file is as after the change
// (or, after a failure, as before it), cut to one byte. A journal of at most one byte records
// no change. Whoever finds a journal with a change in it and its byte free brings the file to
// one of the two states (ZyPlanZhurnala.h) and cuts it to one byte. An object that closes
// removes the journal when no other handle of it is open, so none stays beside the file after
// its last object (in any process) has closed.
#ifndef ZYZHURNAL_H
#define ZYZHURNAL_H

#include <windows.h>

#include <cstdint>

#include "ZyKFajl64.h"
#include "ZyPlanZhurnala.h"

namespace Quorvel {

// The journal's data of a small change, held in memory while it is written and read: adjacent
// writes of the data area go out as one write, before any other write of the journal or of
// the file (so the order the change relies on stays), and reads of it come from memory.
class ZyZapasZhurnala {
public:
    ZyZapasZhurnala() = default;
    ~ZyZapasZhurnala() { delete[] b_; }
    ZyZapasZhurnala(const ZyZapasZhurnala&) = delete;
    ZyZapasZhurnala& operator=(const ZyZapasZhurnala&) = delete;

    // Writes n bytes at `poz` of the journal `zh`: kept back when they continue the data held
    // so far and the whole fits, else after what is held. False with the last error set.
    bool pisat(HANDLE zh, uint64_t poz, const unsigned char* b, uint64_t n);
    // Reads n bytes at `poz`: from memory when held, else from the journal after what is held
    // has been written. False with the last error set.
    bool chitat(HANDLE zh, uint64_t poz, unsigned char* b, uint64_t n);
    // Writes what is held back. False with the last error set.
    bool sbrosit(HANDLE zh);

private:
    unsigned char* b_ = nullptr; // the data area from its start, ZY_MALYJ_KONEC bytes
    uint64_t dlina_ = 0;         // bytes of it held
    uint64_t zapisano_ = 0;      // of them already in the journal
    bool zakryt_ = false;        // no more bytes are taken (a write elsewhere came between)
};

// What follows the file's path in its journal's name.
constexpr const char* ZY_ZHURNAL_HVOST = ".ZYKFAJL64-zhurnal";
// The size of a journal kept between changes (no header: no change in it).
constexpr LONGLONG ZY_HRANIMYJ_ZHURNAL = 1;

// One change of the file object `f`, whose writer lock (and the reader lock of a file the
// change copies from) the caller holds.
class ZyZhurnal {
public:
    explicit ZyZhurnal(ZYKFAJL64& f) : f_(f) {}
    ~ZyZhurnal() { zakryt(); }
    ZyZhurnal(const ZyZhurnal&) = delete;
    ZyZhurnal& operator=(const ZyZhurnal&) = delete;

    // Creates the journal, after recovering one a stopped change left (the object is then
    // refreshed). False after a report (the file is untouched).
    bool sozdat();
    // The journal has been created.
    bool sozdan() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes the journal: removed, or left for the next open. Before the writer lock goes, so
    // that the next writer finds no journal of a change that has ended.
    void zakryt();
    // Writes n bytes of the journal's data at `smesh` (the bytes an insert from memory puts in,
    // or the new data of a replacement). False after a report.
    bool pisatDannye(uint64_t smesh, const unsigned char* b, uint64_t n);
    // Runs the change `plan` of the file: its before-images into the journal, the header, the
    // steps. `drugoj` at `drugojPoz` is where an outside step copies from. A failed step is
    // taken back (a change that cannot go back is carried through). True when the file is as
    // after the change; false after a report, with the file as before it, or, when that could
    // not be reached, with the journal left for the next open.
    bool izmenit(const ZyPlan& plan, ZYKFAJL64* drugoj = nullptr, uint64_t drugojPoz = 0);

private:
    ZYKFAJL64& f_;
    HANDLE h_ = INVALID_HANDLE_VALUE;
    bool ostavit_ = false;   // the journal must outlive the change
    bool zavershen_ = false; // cut to its kept byte
    bool zaperto_ = false;   // its lock byte is locked
    bool derzhat_ = false;   // the object holds it (it stays open after the change)
    ZyZapasZhurnala zapas_;
};

// What became of the journal of a file.
enum class ZyOstatok {
    Net,          // none
    Zanjat,       // a change of a living process holds it
    Vosstanovlen, // one left by a stopped process was recovered and removed
    Nelzja        // one was left but cannot be recovered now (reported when asked to)
};

// Recovers the journal a stopped change left beside the file `put`, if any, through a handle
// of its own: the file ends as before or as after that change, and the journal goes. The
// caller holds the file's mutex, or its writer lock. `otchet`: report a journal that cannot be
// recovered (with a message naming it). `otpustit`: an object of the file whose zone and
// mapping object are given up before a recovery (a mapped file cannot be cut), and whose
// handle the recovery uses when it is open for writing.
// `zhdat`: wait a moment for a recovery that holds the journal's lock byte (a change waits;
// an open or a waiting reader does not).
ZyOstatok zyVosstanovitZhurnal(const char* put, bool otchet, ZYKFAJL64* otpustit = nullptr,
                               bool zhdat = false);

// True only when the file `put` surely has no journal of a change beside it (none, or one kept
// between changes): one look at the name, no open (a name too long for the short form, or a
// look that fails, counts as maybe).
bool zyZhurnalaNet(const char* put);

// Closes the journal the object `f` holds between its changes (before its file handle goes),
// and removes the journal beside the file when no other handle of it is open and it records
// no change.
void zyOtpustitZhurnal(ZYKFAJL64& f);

// Recovers a journal a stopped change left beside the file of `f`, before a change plans on
// the file's size (the caller holds the writer lock; `f` is refreshed after a recovery).
// False after a report: it cannot be recovered, or a program other than a change holds it.
bool zyBezOstatka(ZYKFAJL64& f);

} // namespace Quorvel

#endif // ZYZHURNAL_H
