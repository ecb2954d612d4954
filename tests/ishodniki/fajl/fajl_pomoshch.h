// Helpers of the file-object tests: numbers, expected report texts, patterns, opening the object,
// and replacements for the system-call table (the box watcher and whole-file helpers are the
// shared ones of tests/support).
#ifndef FAJL_POMOSHCH_H
#define FAJL_POMOSHCH_H

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ZyKFajl64.h"
#include "ZySistVyzovy.h"
#include "ZyTestFajly.h"
#include "ZyTestPapki.h"
#include "ZyTestSoobshenija.h"

namespace zytest {

using Quorvel::ZYKFAJL64;
using Quorvel::ZYKNB64;

// A number from a built-in value, and back.
inline ZYKNB64 nb(uint64_t v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}
inline uint64_t u64(const ZYKNB64& n) {
    return (uint64_t(n.St) << 32) | n.Ml;
}
constexpr uint64_t kMax = ~uint64_t(0);

// The text of a report box: the system's text for `oshibka`, then the fixed report line.
std::string tekstOtcheta(DWORD oshibka, const char* funkcija, unsigned serial,
                         const char* modul = "..\\..\\ishodniki\\ZyKFajl64");

// Caption of report boxes and of the library's own messages.
constexpr const char* kZagolovokOshibki = "ZyMessageError.";
constexpr const char* kZagolovokModulja = "..\\..\\ishodniki\\ZyKFajl64";

// n bytes of a pattern that differs at every position of a block (seed changes it).
std::vector<unsigned char> uzor(size_t n, unsigned seed = 1);
// Opens `imja` for reading and writing (created when missing), shared with everyone.
int otkrytZapis(ZYKFAJL64& f, const std::string& imja);
// Opens an existing `imja` for reading only.
int otkrytChtenie(ZYKFAJL64& f, const std::string& imja);
// The whole content through the object (Kop into memory), or empty.
std::vector<unsigned char> soderzhimoe(ZYKFAJL64& f);

// Starts this program again as a helper process: "--pomoshnik " and `argumenty` on its
// command line. The process handle, or null.
HANDLE zapustitPomoshnika(const std::string& argumenty);

// Saves the system-call table and puts it back when it goes; the replacements below change it.
class PodmenaVyzovov {
public:
    PodmenaVyzovov();
    ~PodmenaVyzovov();
    Quorvel::ZYS_SIST_VYZOVY& tablica() { return *t_; }

    // The n-th call from now that maps a view or moves a block through the file handle
    // (MapViewOfFile, ReadFile, WriteFile: one sequence, as each block of a copy reads and
    // writes where it once mapped its two views) fails with `oshibka`, and only that one.
    void sbojOtobrazhenija(int n, DWORD oshibka = ERROR_NOT_ENOUGH_MEMORY);
    // The n-th ReadFile (chtenie) or WriteFile of the file object from now fails with `oshibka`;
    // with `chastichno` a failing write first writes the first half of its bytes, as a write cut
    // short half-way does.
    void sbojVvoda(bool chtenie, int n, DWORD oshibka, bool chastichno = false);
    // The journal of a change cannot be created or opened for a change (CreateFileA of a
    // journal with CREATE_NEW or OPEN_ALWAYS fails with ERROR_ACCESS_DENIED).
    void sbojZhurnala();
    // ReadFile and WriteFile refuse, as a handle opened without buffering does, every offset,
    // length or buffer address that is not a multiple of 512 (ERROR_INVALID_PARAMETER).
    void bezBuferizacii();
    // The first wait for the event `zatvor` (a writer gate) first appends `dobavka` to the
    // file `put` through a handle of its own: another writer that came just before.
    void dopisatPriZatvore(HANDLE zatvor, const std::string& put,
                           const std::vector<unsigned char>& dobavka);
    // GetDriveTypeA reports every drive as remote (DRIVE_REMOTE).
    void udalennyjDisk();
    // The n-th call of CreateFileMappingA from now fails.
    void sbojSozdanijaOtobrazhenija(int n, DWORD oshibka = ERROR_NOT_ENOUGH_MEMORY);
    // CompareStringA fails.
    void sbojSravnenija();
    // GetTempFileNameA fails with ERROR_ACCESS_DENIED.
    void sbojVremennogoImeni();
    // SetEndOfFile fails with ERROR_DISK_FULL.
    void polnyjDisk();
    // GlobalMemoryStatusEx reports these amounts of free address space and physical memory.
    void pamjat(uint64_t virtualnaja, uint64_t fizicheskaja);
    // The n-th HeapAlloc of the file object from now fails (and only that one).
    void sbojVydelenija(int n);
    // Calls that mapped a view or moved a block (as above) made since the table was saved.
    int vyzovovOtobrazhenija() const;
    // Calls of ReadFile and of WriteFile made since the table was saved.
    int vyzovovChtenija() const;
    int vyzovovZapisi() const;

private:
    Quorvel::ZYS_SIST_VYZOVY* t_;
    Quorvel::ZYS_SIST_VYZOVY sohranennaja_;
};

} // namespace zytest

#endif // FAJL_POMOSHCH_H
