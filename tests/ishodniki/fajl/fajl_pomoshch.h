// Helpers of the file-object tests: a watcher that reads and closes the message boxes a test
// provokes, expected report texts, scratch files, and replacements for the system-call table.
#ifndef FAJL_POMOSHCH_H
#define FAJL_POMOSHCH_H

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "ZyKFajl64.h"
#include "ZySistVyzovy.h"

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

// One message box seen by the watcher.
struct Korobka {
    std::string zagolovok;
    std::string tekst;
};

// Watches the process's message boxes on a thread of its own: reads caption and text and
// presses `knopka`. Every wait is bounded; the destructor stops the thread.
class NabljudatelKorobok {
public:
    explicit NabljudatelKorobok(int knopka = IDOK);
    ~NabljudatelKorobok();
    NabljudatelKorobok(const NabljudatelKorobok&) = delete;
    NabljudatelKorobok& operator=(const NabljudatelKorobok&) = delete;

    // The boxes closed so far.
    std::vector<Korobka> korobki();
    // Waits until at least n boxes were closed (at most `ms`).
    bool zhdat(size_t n, DWORD ms = 20000);
    // Forgets the boxes seen so far.
    void zabyt();

private:
    static DWORD WINAPI potok(void* p);
    void cikl();

    int knopka_;
    HANDLE stop_ = nullptr;
    HANDLE potok_ = nullptr;
    std::mutex m_;
    std::vector<Korobka> korobki_;
};

// The text of a report box: the system's text for `oshibka`, then the fixed report line.
std::string tekstOtcheta(DWORD oshibka, const char* funkcija, unsigned serial,
                         const char* modul = "..\\..\\ishodniki\\ZyKFajl64");
// The system's text for an error code, as the report boxes show it.
std::string tekstOshibki(DWORD oshibka);

// Caption of report boxes and of the library's own messages.
constexpr const char* kZagolovokOshibki = "ZyMessageError.";
constexpr const char* kZagolovokModulja = "..\\..\\ishodniki\\ZyKFajl64";

// The current directory, without a trailing "\".
std::string tekushajaPapka();
// Writes `dannye` as the whole content of `imja` (created or replaced).
bool zapisatFajl(const std::string& imja, const std::vector<unsigned char>& dannye);
// The whole content of `imja`, read with ReadFile.
std::vector<unsigned char> prochitatFajl(const std::string& imja);
// Size of a file by name, or -1.
int64_t razmerFajla(const std::string& imja);
// n bytes of a pattern that differs at every position of a block (seed changes it).
std::vector<unsigned char> uzor(size_t n, unsigned seed = 1);
// Opens `imja` for reading and writing (created when missing), shared with everyone.
int otkrytZapis(ZYKFAJL64& f, const std::string& imja);
// Opens an existing `imja` for reading only.
int otkrytChtenie(ZYKFAJL64& f, const std::string& imja);
// The whole content through the object (Kop into memory), or empty.
std::vector<unsigned char> soderzhimoe(ZYKFAJL64& f);

// Saves the system-call table and puts it back when it goes; the replacements below change it.
class PodmenaVyzovov {
public:
    PodmenaVyzovov();
    ~PodmenaVyzovov();
    Quorvel::ZYS_SIST_VYZOVY& tablica() { return *t_; }

    // The n-th call of MapViewOfFile from now fails with `oshibka` (and only that one).
    void sbojOtobrazhenija(int n, DWORD oshibka = ERROR_NOT_ENOUGH_MEMORY);
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
    // Calls of MapViewOfFile made since the table was saved.
    int vyzovovOtobrazhenija() const;

private:
    Quorvel::ZYS_SIST_VYZOVY* t_;
    Quorvel::ZYS_SIST_VYZOVY sohranennaja_;
};

} // namespace zytest

#endif // FAJL_POMOSHCH_H
