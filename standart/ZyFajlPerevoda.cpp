// Opening, mapping, locking and appending to the translation file.
#include "ZyFajlPerevoda.h"
#include "ZyKeshPerevoda.h"
#include "ZyStandartVyzovy.h"
#include "ZyZagolovokPerevoda.h"

#include <cstdio>
#include <vector>

namespace zyst {
namespace {

// How long a request waits for another one to finish with the same file.
constexpr DWORD kZhdatZamokMs = 5000;

// The lock's name: a hash of the upper-cased path (a name may not hold backslashes and is
// limited in length).
std::string imjaZamka(std::string put) {
    if (!put.empty()) CharUpperBuffA(&put[0], DWORD(put.size()));
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : put) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char imja[64];
    std::snprintf(imja, sizeof imja, "ZyPerevodTeksta.Zamok.%08lX%08lX",
                  static_cast<unsigned long>(h >> 32), static_cast<unsigned long>(h & 0xFFFFFFFFu));
    return imja;
}

} // namespace

// The current directory, a backslash and `imja` (default "ZyPerevodTeksta.txt"); empty
// when there is no current directory.
std::string ZyPutFajlaPerevoda(const char* imja) {
    const DWORD nuzhno = GetCurrentDirectoryA(0, nullptr);
    if (nuzhno == 0) return std::string();
    std::vector<char> papka(nuzhno + 1);
    const DWORD dlina = GetCurrentDirectoryA(DWORD(papka.size()), papka.data());
    if (dlina == 0 || dlina >= papka.size()) return std::string();
    std::string put(papka.data(), dlina);
    if (put.back() != '\\') put += '\\';
    put += imja ? imja : "ZyPerevodTeksta.txt";
    return put;
}

// Unmaps, closes and unlocks in the reverse order of Otkryt.
ZyFajlPerevoda::~ZyFajlPerevoda() {
    if (tekst_) UnmapViewOfFile(tekst_);
    if (otobrazhenie_) CloseHandle(otobrazhenie_);
    if (fajl_ != INVALID_HANDLE_VALUE) CloseHandle(fajl_);
    if (zamokDerzhim_) ReleaseMutex(zamok_);
    if (zamok_) CloseHandle(zamok_);
}

// Waits a bounded time for the file's lock. Without a lock object at all, requests append as
// they come; when another request keeps the lock too long, this one only reads.
void ZyFajlPerevoda::Zaperet(const std::string& put) {
    zamok_ = ZyOS().CreateMutexA(nullptr, FALSE, imjaZamka(put).c_str());
    if (!zamok_) {
        zamokVzjat_ = true;
        return;
    }
    const DWORD w = WaitForSingleObject(zamok_, kZhdatZamokMs);
    // WAIT_ABANDONED: a request ended inside its lock; its append was a single write, so the
    // file is whole and the lock is ours.
    zamokDerzhim_ = (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED);
    zamokVzjat_ = zamokDerzhim_;
}

// One positioned write on the synchronous handle.
bool ZyFajlPerevoda::Zapisat(const char* dannye, std::size_t dlina, std::uint64_t smeshenie) {
    while (dlina > 0) {
        OVERLAPPED ov = {};
        ov.Offset = DWORD(smeshenie & 0xFFFFFFFFu);
        ov.OffsetHigh = DWORD(smeshenie >> 32);
        const DWORD chast = dlina > 0x40000000u ? 0x40000000u : DWORD(dlina);
        DWORD zapisano = 0;
        if (!ZyOS().WriteFile(fajl_, dannye, chast, &zapisano, &ov) || zapisano == 0) return false;
        dannye += zapisano;
        dlina -= zapisano;
        smeshenie += zapisano;
    }
    return true;
}

// Locks, opens (or creates), writes the header into an empty file, and maps the text.
bool ZyFajlPerevoda::Otkryt(const char* imja) {
    const std::string put = ZyPutFajlaPerevoda(imja);
    if (put.empty()) return false;
    Zaperet(put);
    SetLastError(0);
    fajl_ = ZyOS().CreateFileA(put.c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool nov = fajl_ != INVALID_HANDLE_VALUE && GetLastError() != ERROR_ALREADY_EXISTS;
    pishushij_ = fajl_ != INVALID_HANDLE_VALUE;
    const DWORD oshibka = GetLastError();
    if (fajl_ == INVALID_HANDLE_VALUE &&
        (oshibka == ERROR_ACCESS_DENIED || oshibka == ERROR_SHARING_VIOLATION))
        // A read-only file, or one that another program holds open against writing, still
        // translates; it only collects no new texts.
        fajl_ = ZyOS().CreateFileA(put.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fajl_ == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER razmer;
    if (!GetFileSizeEx(fajl_, &razmer)) return false;
    konec_ = std::uint64_t(razmer.QuadPart);
    if (konec_ == 0 && pishushij_ && (nov || zamokVzjat_)) {
        if (Zapisat(ZyZagolovokPerevoda(), ZyDlinaZagolovkaPerevoda(), 0))
            konec_ = ZyDlinaZagolovkaPerevoda();
        else
            pishushij_ = false;
    }
    if (konec_ == 0) return true; // nothing to map: every text is new
    if (konec_ > SIZE_MAX) return false;
    otobrazhenie_ = ZyOS().CreateFileMappingA(fajl_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!otobrazhenie_) return false;
    // NOTE: a mapped file cannot shrink below its mapping, so the size taken now stays valid
    // for the view even if someone cut the file since it was opened.
    if (!GetFileSizeEx(fajl_, &razmer) || razmer.QuadPart == 0 ||
        std::uint64_t(razmer.QuadPart) > SIZE_MAX)
        return false;
    konec_ = std::uint64_t(razmer.QuadPart);
    tekst_ = static_cast<const char*>(ZyOS().MapViewOfFile(otobrazhenie_, FILE_MAP_READ, 0, 0, 0));
    if (!tekst_) return false;
    razmer_ = std::size_t(konec_);
    ZyKeshPolozhit(put, tekst_, razmer_);
    return true;
}

// Appends one whole entry; on a short write cuts the file back to where it was.
bool ZyFajlPerevoda::Dopisat(const std::string& zapis) {
    if (!pishushij_ || !zamokVzjat_) return false;
    if (Zapisat(zapis.data(), zapis.size(), konec_)) {
        konec_ += zapis.size();
        return true;
    }
    pishushij_ = false;
    LARGE_INTEGER poz;
    poz.QuadPart = LONGLONG(konec_);
    if (SetFilePointerEx(fajl_, poz, nullptr, FILE_BEGIN)) SetEndOfFile(fajl_);
    return false;
}

} // namespace zyst
