// The per-process cache of translation file texts, keyed by the file's full path.
#include "ZyKeshPerevoda.h"

#include <windows.h>

#include <cstdint>
#include <new>
#include <vector>

namespace zyst {
namespace {

// How many files' texts are kept (one per current directory in practice).
constexpr std::size_t kFajlov = 8;

// File times whose last write lies less than this before the read (100 ns units) may hide a
// later write with the same stamp (file systems stamp writes with a coarse clock).
constexpr std::uint64_t kSvezhest = 20 * 10000; // 20 ms

// What identifies one version of a file.
struct ZyVersija {
    std::uint64_t razmer;
    std::uint64_t sozdan;
    std::uint64_t zapisan;
    bool operator==(const ZyVersija& d) const {
        return razmer == d.razmer && sozdan == d.sozdan && zapisan == d.zapisan;
    }
};

// One cached file.
struct ZyZapisKesha {
    std::string put;
    ZyVersija versija;
    std::shared_ptr<const ZyTekstPerevoda> tekst;
};

SRWLOCK zamokKesha = SRWLOCK_INIT;
std::vector<ZyZapisKesha>* kesh = nullptr; // never freed: in use until the process ends

// A FILETIME as one number.
std::uint64_t chislo(const FILETIME& ft) {
    return (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// The version of the file at `put`; false when its attributes cannot be read or it is no file.
bool versijaFajla(const std::string& put, ZyVersija* v) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExA(put.c_str(), GetFileExInfoStandard, &a)) return false;
    if (a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    v->razmer = (std::uint64_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    v->sozdan = chislo(a.ftCreationTime);
    v->zapisan = chislo(a.ftLastWriteTime);
    return true;
}

// The cache entry of `put`, or null; called under the lock.
ZyZapisKesha* najtiZapis(const std::string& put) {
    if (!kesh) return nullptr;
    for (ZyZapisKesha& z : *kesh)
        if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, z.put.data(), int(z.put.size()),
                           put.data(), int(put.size())) == CSTR_EQUAL)
            return &z;
    return nullptr;
}

// Forgets what is kept for `put`; called under the exclusive lock.
void zabyt(const std::string& put) {
    ZyZapisKesha* z = najtiZapis(put);
    if (z) kesh->erase(kesh->begin() + (z - kesh->data()));
}

} // namespace

// Compares the file's version with the kept one under the shared lock.
std::shared_ptr<const ZyTekstPerevoda> ZyKeshNajti(const std::string& put) {
    ZyVersija v;
    if (!versijaFajla(put, &v)) return nullptr;
    AcquireSRWLockShared(&zamokKesha);
    std::shared_ptr<const ZyTekstPerevoda> tekst;
    const ZyZapisKesha* z = najtiZapis(put);
    if (z && z->versija == v) tekst = z->tekst;
    ReleaseSRWLockShared(&zamokKesha);
    return tekst;
}

// Takes the version before copying, so that any write after the copy changes the version.
void ZyKeshPolozhit(const std::string& put, const char* tekst, std::size_t razmer) {
    FILETIME sejchas;
    GetSystemTimeAsFileTime(&sejchas);
    ZyVersija v;
    const bool godno = tekst && versijaFajla(put, &v) && v.razmer == razmer &&
                       v.zapisan + kSvezhest < chislo(sejchas);
    std::shared_ptr<const ZyTekstPerevoda> kopija;
    try {
        if (godno) kopija = std::make_shared<const ZyTekstPerevoda>(tekst, razmer);
        AcquireSRWLockExclusive(&zamokKesha);
        try {
            zabyt(put);
            if (kopija) {
                if (!kesh) kesh = new std::vector<ZyZapisKesha>();
                if (kesh->size() >= kFajlov) kesh->erase(kesh->begin());
                kesh->push_back(ZyZapisKesha{put, v, kopija});
            }
        } catch (const std::bad_alloc&) {
        }
        ReleaseSRWLockExclusive(&zamokKesha);
    } catch (const std::bad_alloc&) {
        // Out of memory: the file is simply read again next time.
    }
}

} // namespace zyst
