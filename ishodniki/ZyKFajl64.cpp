// ZYKFAJL64: construction and transfer, open, byte access through the mapped zone, position,
// scan zone, end of file, close and delete, refresh and the zone multiplier.
//
// The zone is one view of the file's mapping object; operator[] maps, moves and resizes it.
// Every system call whose failure is reported goes through the table of ZySistVyzovy.h.
#include <windows.h>

#include <cstring>
#include <utility>

#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZySistVyzovy.h"
#include "ZyZhurnal.h"

extern "C" int ZySozdatPyt(const char* path, SECURITY_ATTRIBUTES* sa);

namespace Quorvel {

namespace {

constexpr unsigned long ZY_INTERVAL_NACH = 3000; // first re-measure interval, ms
constexpr unsigned long ZY_INTERVAL_MAX = 60000; // longest re-measure interval, ms
constexpr const char* ZY_MUTEX_SOZDANIJA = "Quorvel::ZYKFAJL64";

// Every field zero, the construction marker all ones.
void zySbrosit(ZYKFAJL64& f) {
    std::memset(static_cast<void*>(&f), 0, sizeof f);
    f.Marker = zyNB(ZY_MAX64);
}

// Size and last index from a file information record.
void zyRazmerIzInfo(ZYKFAJL64& f, const BY_HANDLE_FILE_INFORMATION& info) {
    const uint64_t razmer = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    f.Razmer = zyNB(razmer);
    f.PoslIndeks = zyNB(razmer ? razmer - 1 : 0);
}

// Reads into `info` what a change of the file alters (its three times and its size): two
// cheap calls instead of the whole record, whose volume serial number costs a query of the
// volume each time. The identity (volume serial, file index) and the attributes stay as read
// at open. False with the last error set.
bool zyChitatIzmenchivoe(HANDLE h, BY_HANDLE_FILE_INFORMATION& info) {
    LARGE_INTEGER razmer;
    if (!ZyOS().GetFileTime(h, &info.ftCreationTime, &info.ftLastAccessTime,
                            &info.ftLastWriteTime) ||
        !ZyOS().GetFileSizeEx(h, &razmer))
        return false;
    info.nFileSizeLow = DWORD(uint64_t(razmer.QuadPart));
    info.nFileSizeHigh = DWORD(uint64_t(razmer.QuadPart) >> 32);
    return true;
}

// The mutexes one open has taken; given back before any message box and at the end.
struct ZyVladenie {
    HANDLE sozdanija = nullptr;
    HANDLE fajla = nullptr;

    // Releases the file mutex, then the creation mutex.
    void otpustit() {
        if (fajla) ZyOS().ReleaseMutex(fajla);
        if (sozdanija) ZyOS().ReleaseMutex(sozdanija);
        fajla = sozdanija = nullptr;
    }
    ~ZyVladenie() { otpustit(); }
};

enum class ZyPut { Est, Dlinnyj, NetSovpadenija };

// Joins a relative name to the current directory (a "\" between unless the name starts with
// one); a name whose second character is "\" or ":" or whose third is "\" is taken as it is.
// The result is then normalised (".", "..", "/") so that every process names a file alike.
bool zySobratPut(const char* imja, char* put) {
    const size_t n = std::strlen(imja);
    char sobrannyj[2 * MAX_PATH];
    const bool kakEst =
        (n >= 2 && (imja[1] == '\\' || imja[1] == ':')) || (n >= 3 && imja[2] == '\\');
    if (kakEst) {
        if (n > ZY_DLINA_PUTI) return false;
        std::memcpy(sobrannyj, imja, n + 1);
    } else {
        const DWORD t = GetCurrentDirectoryA(MAX_PATH, sobrannyj);
        if (t == 0 || t > ZY_DLINA_PUTI) return false;
        const bool razdelitel = imja[0] != '\\' && sobrannyj[t - 1] != '\\';
        if (t + (razdelitel ? 1 : 0) + n > ZY_DLINA_PUTI) return false;
        if (razdelitel) sobrannyj[t] = '\\';
        std::memcpy(sobrannyj + t + (razdelitel ? 1 : 0), imja, n + 1);
    }
    const DWORD r = GetFullPathNameA(sobrannyj, MAX_PATH, put, nullptr);
    return r != 0 && r <= ZY_DLINA_PUTI;
}

// Replaces a last component with "*" or "?" by the first matching file that is not a
// directory.
ZyPut zyRaskrytShablon(char* put) {
    char* komp = std::strrchr(put, '\\');
    komp = komp ? komp + 1 : put;
    if (!std::strpbrk(komp, "*?")) return ZyPut::Est;
    WIN32_FIND_DATAA dannye;
    HANDLE poisk = FindFirstFileA(put, &dannye);
    if (poisk == INVALID_HANDLE_VALUE) return ZyPut::NetSovpadenija;
    bool najden = false;
    do {
        najden = !(dannye.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    } while (!najden && FindNextFileA(poisk, &dannye));
    FindClose(poisk);
    if (!najden) return ZyPut::NetSovpadenija;
    const size_t dlina = std::strlen(dannye.cFileName);
    if (size_t(komp - put) + dlina > ZY_DLINA_PUTI) return ZyPut::Dlinnyj;
    std::memcpy(komp, dannye.cFileName, dlina + 1);
    return ZyPut::Est;
}

// The full path of `imja` with wildcards resolved.
ZyPut zyPolnyjPut(const char* imja, char* put) {
    if (!zySobratPut(imja, put)) return ZyPut::Dlinnyj;
    return zyRaskrytShablon(put);
}

// A unique name in the temporary directory (the file is created empty by the system).
bool zyVzAdresImjaVrF(char* put) {
    char papka[MAX_PATH + 1];
    const DWORD d = GetTempPathA(MAX_PATH, papka);
    if (d == 0 || d >= MAX_PATH) return false;
    return ZyOS().GetTempFileNameA(papka, "ZYKFAJL64", 0, put) != 0;
}

// Creates and takes the class-wide mutex of temporary files and gets a temporary name.
bool zyVremennoeImja(ZYKFAJL64& f, SECURITY_ATTRIBUTES* sa, ZyVladenie& vl, char* put) {
    f.hMutexSozd = ZyOS().CreateMutexA(sa, FALSE, ZY_MUTEX_SOZDANIJA);
    if (!f.hMutexSozd) {
        ZyOtchet("operator()", 1);
        return false;
    }
    if (!zyZhdatMutex(f.hMutexSozd)) {
        ZyOtchet("operator()", 2);
        return false;
    }
    vl.sozdanija = f.hMutexSozd;
    f.Flagi |= ZYF64_VREMENNYJ;
    if (!zyVzAdresImjaVrF(put)) {
        vl.otpustit();
        ZyOtchet("ZyVzAdresImjaVrF", 1, ZY_MODUL_FFAJL64);
        return false;
    }
    return true;
}

// True when the disposition may create the file (then missing directories are worth making).
bool zySozdajushee(unsigned long raspolozhenie) {
    return raspolozhenie == CREATE_NEW || raspolozhenie == CREATE_ALWAYS ||
           raspolozhenie == OPEN_ALWAYS;
}

// Creates the directories above the file named by the full path `put`.
void zySozdatPapki(const char* put) {
    char papka[MAX_PATH];
    std::strcpy(papka, put);
    char* konec = std::strrchr(papka, '\\');
    if (!konec || konec == papka) return;
    *konec = 0;
    ZySozdatPyt(papka, nullptr);
}

// CreateFileA, once more after making the missing directories of the path.
HANDLE zySozdatFajl(const char* put, unsigned long dostup, unsigned long sovmestno,
                    SECURITY_ATTRIBUTES* sa, unsigned long raspolozhenie, unsigned long flagi,
                    void* shablon) {
    HANDLE h = ZyOS().CreateFileA(put, dostup, sovmestno, sa, raspolozhenie, flagi, shablon);
    if (h != INVALID_HANDLE_VALUE) return h;
    // NOTE: only a missing directory is worth creating; any other failure (a missing file
    // opened for reading, a refused access) would only leave empty directories behind.
    if (GetLastError() != ERROR_PATH_NOT_FOUND || !zySozdajushee(raspolozhenie)) return h;
    zySozdatPapki(put);
    return ZyOS().CreateFileA(put, dostup, sovmestno, sa, raspolozhenie, flagi, shablon);
}

// True when the file lies on another machine: a network path, or a drive the system reports
// as remote.
bool zyUdalennyj(const char* put) {
    if (put[0] == '\\' && put[1] == '\\') return true;
    const char koren[4] = {put[0], ':', '\\', 0};
    return put[1] == ':' && ZyOS().GetDriveTypeA(koren) == DRIVE_REMOTE;
}

// Recovers the journal a stopped change left beside the file (the file mutex is held) and
// gives the writer gate, which the stopped process held, to whoever waits for it. False after
// a report when the journal cannot be recovered: the file is not opened half-changed.
bool zyVosstanovitPriOtkrytii(const char* put, ZyVladenie& vl) {
    const ZyOstatok o = zyVosstanovitZhurnal(put, true);
    if (o == ZyOstatok::Nelzja) {
        vl.otpustit();
        return false;
    }
    if (o == ZyOstatok::Vosstanovlen) {
        char imja[ZY_BUF_IMENI_SINHRON];
        zyImjaSinhron(put, 'E', imja);
        HANDLE zatvor = OpenEventA(EVENT_MODIFY_STATE, FALSE, imja);
        if (zatvor) {
            ZyOS().SetEvent(zatvor);
            ZyOS().CloseHandle(zatvor);
        }
    }
    return true;
}

// Reports an allocation of open that failed (serial 9), after giving the mutexes back; false.
bool zyBezPamjati(ZyVladenie& vl) {
    vl.otpustit();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ZyOtchet("operator()", 9);
    return false;
}

// The steps of open; on false the caller closes the object. The mutexes taken are given back
// when this returns, and before any message box so that no other process waits on a box.
bool zyOtkryt(ZYKFAJL64& f, const char* imja, unsigned long dostup, unsigned long sovmestno,
              SECURITY_ATTRIBUTES* sa, unsigned long raspolozhenie, unsigned long flagi,
              void* shablon) {
    ZyOtlozhennyeOtchety otlozhit; // shown after the mutexes below are given back
    ZyVladenie vl;
    char vremennoe[MAX_PATH];
    if (imja == reinterpret_cast<const char*>(-1)) {
        if (!zyVremennoeImja(f, sa, vl, vremennoe)) return false;
        imja = vremennoe;
        flagi |= FILE_FLAG_DELETE_ON_CLOSE;
    }
    SYSTEM_INFO si;
    GetSystemInfo(&si);
    f.Granuljarnost = si.dwAllocationGranularity;
    f.MnZony = 2;
    f.IntervalIzm = ZY_INTERVAL_NACH;

    char put[MAX_PATH];
    const ZyPut rez = zyPolnyjPut(imja, put);
    if (rez == ZyPut::NetSovpadenija) return false;
    if (rez == ZyPut::Dlinnyj) {
        vl.otpustit();
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        ZyOtchet("operator()", 6);
        return false;
    }

    char imjaMutexa[ZY_BUF_IMENI_SINHRON];
    zyImjaSinhron(put, 'M', imjaMutexa);
    f.hMutex = ZyOS().CreateMutexA(sa, FALSE, imjaMutexa);
    if (!f.hMutex) {
        vl.otpustit();
        ZyOtchet("operator()", 3);
        return false;
    }
    if (!zyZhdatMutex(f.hMutex)) {
        vl.otpustit();
        ZyOtchet("operator()", 4);
        return false;
    }
    vl.fajla = f.hMutex;

    // A change another process left half-done is brought to its state before or after, so
    // that no object opens the file in between.
    if (!zyVosstanovitPriOtkrytii(put, vl)) return false;

    const size_t dlina = std::strlen(put);
    f.Imja = static_cast<char*>(ZyOS().HeapAlloc(GetProcessHeap(), 0, dlina + 1));
    if (!f.Imja) return zyBezPamjati(vl);
    std::memcpy(f.Imja, put, dlina + 1);
    f.DlinaImeni = static_cast<unsigned short>(dlina);
    const bool zapis = (dostup & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    if (zapis) dostup |= GENERIC_READ;

    HANDLE h = zySozdatFajl(put, dostup, sovmestno, sa, raspolozhenie, flagi, shablon);
    if (h == INVALID_HANDLE_VALUE) {
        vl.otpustit();
        ZyOtchet("operator()", 5);
        char tekst[MAX_PATH + 4];
        wsprintfA(tekst, "\"%s\"", put);
        ZySoobshenie(tekst);
        return false;
    }
    const DWORD posleSozdanija = GetLastError();
    f.hFajl = h;
    if (GetFileType(h) == FILE_TYPE_PIPE) {
        vl.otpustit();
        ZySoobshenie("Otkrwt fajl tipa kanal.");
        return false;
    }
    // NOTE: the system reports an existing file only for the dispositions that may create
    // one; opening with OPEN_EXISTING / TRUNCATE_EXISTING succeeds only on an existing file.
    if (posleSozdanija == ERROR_ALREADY_EXISTS || raspolozhenie == OPEN_EXISTING ||
        raspolozhenie == TRUNCATE_EXISTING)
        f.Flagi |= ZYF64_SUSHESTVOVAL;

    f.Info = static_cast<BY_HANDLE_FILE_INFORMATION*>(
        ZyOS().HeapAlloc(GetProcessHeap(), 0, sizeof(BY_HANDLE_FILE_INFORMATION)));
    if (!f.Info) return zyBezPamjati(vl);
    if (!ZyOS().GetFileInformationByHandle(h, f.Info)) {
        vl.otpustit();
        ZyOtchet("operator()", 7);
        return false;
    }
    zyRazmerIzInfo(f, *f.Info);
    if (zapis) f.Flagi |= ZYF64_ZAPIS;
    if ((flagi & FILE_FLAG_NO_BUFFERING) || zyUdalennyj(put)) f.Flagi |= ZYF64_CHEREZ_VIDY;
    f.Zashita = sa;

    if (!f.FEK_SozdatSinhronObj()) return false;
    if (zyGotovoOtobrazhenie(f) < 0) {
        vl.otpustit();
        ZyOtchet("operator()", 8);
        return false;
    }
    return true;
}

// Gives up a mapped zone for a new one: flushed unless flag bit 16, then unmapped.
void zyOtdatZonu(ZYKFAJL64& f, bool shire32) {
    if (!(f.Flagi & ZYF64_BEZ_SBROSA) && !ZyOS().FlushViewOfFile(f.BazaZony, 0))
        ZyOtchet("operator[]", shire32 ? 2 : 5);
    if (!ZyOS().UnmapViewOfFile(f.BazaZony)) ZyOtchet("operator[]", shire32 ? 3 : 6);
    f.BazaZony = nullptr;
}

// File offset of the zone that will hold position `p`, and the zone's length.
void zyRaschetZony(const ZYKFAJL64& f, uint64_t p, uint64_t& nachalo, uint64_t& dlina) {
    const uint64_t gran = f.Granuljarnost ? f.Granuljarnost : 1;
    dlina = uint64_t(f.MnZony) * gran;
    if (f.Flagi & ZYF64_VPERED) {
        nachalo = p >= dlina ? p - p % gran : 0;
    } else {
        const uint64_t polovina = dlina / 2;
        nachalo = p > polovina ? (p - polovina) - (p - polovina) % gran : 0;
    }
    const uint64_t ostatok = zyRaznost(zy64(f.Razmer), nachalo);
    if (ostatok < dlina) dlina = ostatok;
}

// Available memory, 0 for both when the system cannot tell.
void zyPamjat(uint64_t& virtualnaja, uint64_t& fizicheskaja) {
    MEMORYSTATUSEX ms;
    ms.dwLength = sizeof ms;
    if (!ZyOS().GlobalMemoryStatusEx(&ms)) {
        virtualnaja = fizicheskaja = 0;
        return;
    }
    virtualnaja = ms.ullAvailVirtual;
    fizicheskaja = ms.ullAvailPhys;
}

} // namespace

// Waits for a mutex without time-out; an abandoned one counts as obtained.
bool zyZhdatMutex(HANDLE mutex) {
    const DWORD w = ZyOS().WaitForSingleObject(mutex, INFINITE);
    return w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
}

// Re-reads the file information record; size and last index follow it.
bool zyPerechitatInfo(ZYKFAJL64& f) {
    if (!f.hFajl || !f.Info) return false;
    BY_HANDLE_FILE_INFORMATION info = *f.Info;
    if (!zyChitatIzmenchivoe(f.hFajl, info)) return false;
    *f.Info = info;
    zyRazmerIzInfo(f, info);
    return true;
}

// Creates the mapping object over the whole file, named after the file's identity, unless the
// file is empty. The record is re-read first, so the object covers the file as it is now.
int zyGotovoOtobrazhenie(ZYKFAJL64& f) {
    if (f.hOtobr) return 1;
    if (!f.hFajl) {
        SetLastError(ERROR_INVALID_HANDLE);
        return -1;
    }
    zyPerechitatInfo(f);
    if (zy64(f.Razmer) == 0) return 0;
    unsigned char imja[ZY_BUF_IMENI_OTR];
    if (!f.FEK_VsImjaOtr(imja)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const DWORD zashita = (f.Flagi & ZYF64_ZAPIS) ? PAGE_READWRITE : PAGE_READONLY;
    f.hOtobr = ZyOS().CreateFileMappingA(f.hFajl, f.Zashita, zashita, 0, 0,
                                         reinterpret_cast<const char*>(imja));
    return f.hOtobr ? 1 : -1;
}

// Every field zero, the construction marker all ones.
ZYKFAJL64::ZYKFAJL64() {
    zySbrosit(*this);
}

// Takes over the file of `other`, which is left as freshly constructed.
ZYKFAJL64::ZYKFAJL64(const ZYKFAJL64& other) {
    std::memcpy(static_cast<void*>(this), &other, sizeof *this);
    zySbrosit(const_cast<ZYKFAJL64&>(other));
}

// Closes this object, then takes over the file of `other` (left as freshly constructed).
// Assigning an object to itself changes nothing.
ZYKFAJL64& ZYKFAJL64::operator=(const ZYKFAJL64& other) {
    if (&other == this) return *this;
    DES();
    std::memcpy(static_cast<void*>(this), &other, sizeof *this);
    zySbrosit(const_cast<ZYKFAJL64&>(other));
    return *this;
}

ZYKFAJL64::~ZYKFAJL64() {
    DES();
}

// Opens (or creates) a file; (const char*)-1 asks for a temporary file deleted on close.
// Returns 1, or 0 with the object closed.
int ZYKFAJL64::operator()(const char* name, unsigned long access, unsigned long share,
                          SECURITY_ATTRIBUTES* sa, unsigned long disposition, unsigned long flags,
                          void* templateFile) {
    DES();
    if (!name || (name != reinterpret_cast<const char*>(-1) && !name[0])) return 0;
    if (zyOtkryt(*this, name, access, share, sa, disposition, flags, templateFile)) return 1;
    DES();
    return 0;
}

// The byte at `index`, mapping the zone that holds it. A writable file grows to hold the
// index; a read-only file gives its last byte for an index past its end. On failure the
// result is the error cell, set to 0. The reference lasts until the next call that moves
// or releases the zone.
unsigned char& ZYKFAJL64::operator[](const ZYKNB64& index) {
    unsigned char& oshibka = *reinterpret_cast<unsigned char*>(&Oshibka);
    Oshibka = 0;
    FEK_VsMnRazmPamVr();
    const uint64_t i = zy64(index);
    Poz = index;
    for (bool vyros = false;; vyros = true) {
        if (!hFajl) {
            ZySoobshenie("Ne sozdan fajl.");
            return oshibka;
        }
        if (!hOtobr && zy64(Razmer) != 0 && zyGotovoOtobrazhenie(*this) < 0) {
            ZyOtchet("operator[]", 1);
            return oshibka;
        }
        if (zy64(Poz) < zy64(Razmer)) break;
        if (!(Flagi & ZYF64_ZAPIS)) {
            Poz = PoslIndeks;
            break;
        }
        // NOTE: one growth only: a file that does not hold the index after FIN (a full
        // disk, an index beyond any file) must not loop.
        if (vyros || !zyVyrastit(*this, zySumma(i, 1))) return oshibka;
        Poz = index;
    }

    const uint64_t p = zy64(Poz);
    if (BazaZony && p >= zy64(NachaloZony) && p < zy64(KonecZony))
        return BazaZony[p - zy64(NachaloZony)];
    const bool shire32 = zyShire32(p) || zyShire32(zy64(Razmer));
    if (BazaZony) zyOtdatZonu(*this, shire32);
    if (!hOtobr) {
        SetLastError(ERROR_HANDLE_EOF); // an empty read-only file has nothing to map
        ZyOtchet("operator[]", shire32 ? 4 : 7);
        return oshibka;
    }
    if (MnZony < 2) MnZony = 2;
    uint64_t nachalo, dlina;
    zyRaschetZony(*this, p, nachalo, dlina);
    void* vid = ZyOS().MapViewOfFile(hOtobr, (Flagi & ZYF64_ZAPIS) ? FILE_MAP_WRITE : FILE_MAP_READ,
                                     DWORD(nachalo >> 32), DWORD(nachalo), SIZE_T(dlina));
    if (!vid) {
        ZyOtchet("operator[]", shire32 ? 4 : 7);
        return oshibka;
    }
    BazaZony = static_cast<unsigned char*>(vid);
    DlinaZony = static_cast<unsigned long>(dlina);
    NachaloZony = zyNB(nachalo);
    KonecZony = zyNB(nachalo + dlina);
    return BazaZony[p - nachalo];
}

// Sets the position: 1, or -1 with the position at the last index when `pos` is MAX or past it.
int ZYKFAJL64::VsPoz(const ZYKNB64& pos) {
    if (!(Flagi & ZYF64_BEZ_OBNOVL)) TestDan();
    const uint64_t p = zy64(pos);
    if (p != ZY_MAX64 && p <= zy64(PoslIndeks)) {
        Poz = pos;
        return 1;
    }
    Poz = PoslIndeks;
    return -1;
}

// 32-bit position; 0xFFFFFFFF stands for MAX.
int ZYKFAJL64::VsPoz(unsigned long pos) {
    return VsPoz(pos == 0xFFFFFFFFul ? zyNB(ZY_MAX64) : zyNB(pos));
}

// Position from its two halves, high half first.
int ZYKFAJL64::VsPoz(unsigned long high, unsigned long low) {
    return VsPoz(ZYKNB64{low, high});
}

// Sets the scan zone: bounds ordered, MAX or past the end meaning the last index.
void ZYKFAJL64::VsZonSkan(const ZYKNB64& a, const ZYKNB64& b) {
    if (!(Flagi & ZYF64_BEZ_OBNOVL)) TestDan();
    uint64_t niz = zy64(a), verh = zy64(b);
    if (niz > verh) std::swap(niz, verh);
    const uint64_t posl = zy64(PoslIndeks);
    SkanNiz = zyNB(niz > posl ? posl : niz);
    SkanVerh = zyNB(verh > posl ? posl : verh);
}

namespace {
// A 32-bit bound, 0xFFFFFFFF standing for MAX.
ZYKNB64 zyGranica(unsigned long v) {
    return v == 0xFFFFFFFFul ? zyNB(ZY_MAX64) : zyNB(v);
}
} // namespace

void ZYKFAJL64::VsZonSkan(unsigned long a, unsigned long b) {
    VsZonSkan(zyGranica(a), zyGranica(b));
}
void ZYKFAJL64::VsZonSkan(unsigned long a, const ZYKNB64& b) {
    VsZonSkan(zyGranica(a), b);
}
void ZYKFAJL64::VsZonSkan(const ZYKNB64& a, unsigned long b) {
    VsZonSkan(a, zyGranica(b));
}

// 1 above the scan zone, -1 below it, 0 inside; both bounds 0 mean the whole file.
int ZYKFAJL64::VneZonSkan(const ZYKNB64& pos) {
    const uint64_t p = zy64(pos), niz = zy64(SkanNiz);
    const uint64_t verh = (niz == 0 && zy64(SkanVerh) == 0) ? zy64(PoslIndeks) : zy64(SkanVerh);
    if (p > verh) return 1;
    if (p < niz) return -1;
    return 0;
}

// Sets the end of a writable file (MAX: just after the position) under the writer lock.
// The zone and the mapping object go; the next byte access makes them again. 1 or 0.
int ZYKFAJL64::FIN(const ZYKNB64& end) {
    if (!(Flagi & ZYF64_ZAPIS) || !hFajl) return 0;
    ZyOtlozhennyeOtchety otlozhit;
    if (!FEK_SinhronZapisPref()) return 0;
    const uint64_t konec = zy64(end) == ZY_MAX64 ? zySumma(zy64(Poz), 1) : zy64(end);
    const int gotovo = zyUstanovitKonec(*this, konec);
    if (!FEK_SinhronZapisSyf()) return 0;
    return gotovo;
}

// The steps of FIN between the writer prefix and suffix: zone and mapping object given up,
// the new end set, the record re-read, the stamp. 1 or 0 (reported).
int zyUstanovitKonec(ZYKFAJL64& f, uint64_t konec, bool shtamp) {
    if (f.BazaZony) {
        if (!(konec < zy64(f.NachaloZony) || (f.Flagi & ZYF64_BEZ_SBROSA)) &&
            !ZyOS().FlushViewOfFile(f.BazaZony, 0))
            ZyOtchet("FIN", 1);
        if (!ZyOS().UnmapViewOfFile(f.BazaZony)) ZyOtchet("FIN", 2);
        f.BazaZony = nullptr;
    }
    if (f.hOtobr) {
        if (!ZyOS().CloseHandle(f.hOtobr)) ZyOtchet("FIN", 3);
        f.hOtobr = nullptr;
    }
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(konec);
    if (li.QuadPart < 0 || !ZyOS().SetFilePointerEx(f.hFajl, li, nullptr, FILE_BEGIN)) {
        if (li.QuadPart < 0) SetLastError(ERROR_NEGATIVE_SEEK);
        ZyOtchet("FIN", 4);
        return 0;
    }
    const bool gotovo = ZyOS().SetEndOfFile(f.hFajl) != FALSE;
    if (!gotovo) ZyOtchet("FIN", 5);
    zyPerechitatInfo(f);
    if (!gotovo) return 0;
    f.MnZony = 0;
    f.DlinaZony = 0;
    f.NachaloZony = f.KonecZony = f.Poz = zyNB(0);
    if (shtamp) f.VsVrZap();
    return 1;
}

// Grows a writable file to hold `konec` bytes, under the writer lock and after re-reading its
// size there: a file another object or process has made longer meanwhile is left as it is
// (only the object is refreshed), never cut back. 1 or 0 (reported).
int zyVyrastit(ZYKFAJL64& f, uint64_t konec) {
    if (!(f.Flagi & ZYF64_ZAPIS) || !f.hFajl) return 0;
    ZyOtlozhennyeOtchety otlozhit;
    if (!f.FEK_SinhronZapisPref()) return 0;
    f.TestDan();
    const int gotovo = konec > zy64(f.Razmer) ? zyUstanovitKonec(f, konec) : 1;
    if (!f.FEK_SinhronZapisSyf()) return 0;
    return gotovo;
}

// Closes the file and every object of it; harmless on a closed object.
void ZYKFAJL64::DES() {
    ZyOtlozhennyeOtchety otlozhit; // shown after the mutexes are given back
    bool sozdanija = false, fajla = false;
    if (hMutexSozd) {
        sozdanija = zyZhdatMutex(hMutexSozd);
        if (!sozdanija) ZyOtchet("DES", 0);
    }
    if (hMutex) {
        fajla = zyZhdatMutex(hMutex);
        if (!fajla) ZyOtchet("DES", 1);
    }
    if (BazaZony) {
        ZyOS().FlushViewOfFile(BazaZony, DlinaZony);
        ZyOS().UnmapViewOfFile(BazaZony);
        BazaZony = nullptr;
    }
    zyOtpustitZhurnal(*this);
    FEK_DesSinhronObj();
    if (hOtobr) ZyOS().CloseHandle(hOtobr);
    if (hFajl) ZyOS().CloseHandle(hFajl);
    hOtobr = hFajl = nullptr;
    if (Imja) HeapFree(GetProcessHeap(), 0, Imja);
    if (Info) HeapFree(GetProcessHeap(), 0, Info);
    Imja = nullptr;
    Info = nullptr;
    if (hMutex) {
        if (fajla) ZyOS().ReleaseMutex(hMutex);
        ZyOS().CloseHandle(hMutex);
        hMutex = nullptr;
    }
    if (hMutexSozd) {
        if (sozdanija) ZyOS().ReleaseMutex(hMutexSozd);
        ZyOS().CloseHandle(hMutexSozd);
        hMutexSozd = nullptr;
    }
    Flagi = 0;
    DlinaImeni = 0;
    MnZony = 0;
    DlinaZony = 0;
    Razmer = PoslIndeks = NachaloZony = KonecZony = Poz = zyNB(0);
}

// Closes the file and deletes it; DeleteFileA's success (0 when nothing was open).
int ZYKFAJL64::STER() {
    if (!Imja) return 0;
    char put[MAX_PATH];
    std::strcpy(put, Imja);
    DES();
    return DeleteFileA(put) ? 1 : 0;
}

// Releases the zone; a writable file's zone and buffers are flushed first unless bit 16.
int ZYKFAJL64::VwklPamjat() {
    if (!BazaZony) return 1;
    if (!(Flagi & ZYF64_BEZ_SBROSA) && (Flagi & ZYF64_ZAPIS)) {
        if (!ZyOS().FlushViewOfFile(BazaZony, 0)) ZyOtchet("VwklPamjat", 1);
        if (!ZyOS().FlushFileBuffers(hFajl)) ZyOtchet("VwklPamjat", 2);
    }
    if (!ZyOS().UnmapViewOfFile(BazaZony)) ZyOtchet("VwklPamjat", 3);
    BazaZony = nullptr;
    return 1;
}

// Stamps the current time as the file's last-write time and keeps it in the record. The stamp
// always moves forward, so every change gives the mapping object a new name even when the
// clock has not advanced since the previous stamp.
void ZYKFAJL64::VsVrZap() {
    if (!hFajl || !Info) return;
    FILETIME sejchas;
    GetSystemTimeAsFileTime(&sejchas);
    if (CompareFileTime(&sejchas, &Info->ftLastWriteTime) <= 0) {
        ULARGE_INTEGER v;
        v.LowPart = Info->ftLastWriteTime.dwLowDateTime;
        v.HighPart = Info->ftLastWriteTime.dwHighDateTime;
        ++v.QuadPart;
        sejchas.dwLowDateTime = v.LowPart;
        sejchas.dwHighDateTime = v.HighPart;
    }
    if (!ZyOS().SetFileTime(hFajl, nullptr, nullptr, &sejchas)) return;
    // NOTE: read back rather than store: a file system keeps times at its own resolution,
    // and a stored value it cannot represent would look like someone else's change. Only
    // the times: the stamp changes nothing else.
    FILETIME sozdanie, dostup, zapis;
    if (ZyOS().GetFileTime(hFajl, &sozdanie, &dostup, &zapis)) {
        Info->ftCreationTime = sozdanie;
        Info->ftLastAccessTime = dostup;
        Info->ftLastWriteTime = zapis;
    } else {
        Info->ftLastWriteTime = sejchas;
    }
}

// Refreshes the object after a change by someone else (another last-write time or size),
// from the times and the size alone.
void ZYKFAJL64::TestDan() {
    if (!Info || !hFajl) return;
    BY_HANDLE_FILE_INFORMATION novoe = *Info;
    if (!zyChitatIzmenchivoe(hFajl, novoe)) return;
    if (CompareFileTime(&novoe.ftLastWriteTime, &Info->ftLastWriteTime) == 0 &&
        novoe.nFileSizeLow == Info->nFileSizeLow && novoe.nFileSizeHigh == Info->nFileSizeHigh)
        return;
    VwklPamjat();
    if (hOtobr) {
        if (!ZyOS().CloseHandle(hOtobr)) ZyOtchet("TestDan", 1);
        hOtobr = nullptr;
    }
    *Info = novoe;
    zyRazmerIzInfo(*this, novoe);
}

// Name of the mapping object: the last path component, "|0x" and the last-write time in
// hexadecimal, then the size, the file's identity (volume serial and file index) and the
// access ("W" or "R"). Objects of one unchanged file opened alike share one mapping object;
// a copy with the same name and time, or a reader beside a writer, gets one of its own.
// `buf` holds ZY_BUF_IMENI_OTR (MAX_PATH) bytes; a long component is cut to fit. 1 or 0.
int ZYKFAJL64::FEK_VsImjaOtr(unsigned char* buf) {
    if (!buf || !Imja || !Info) return 0;
    unsigned char vremja[40], razmer[40];
    ZYKNB64{Info->ftLastWriteTime.dwLowDateTime, Info->ftLastWriteTime.dwHighDateTime}.VsStr(vremja,
                                                                                             0, 16);
    ZYKNB64{Info->nFileSizeLow, Info->nFileSizeHigh}.VsStr(razmer, 0, 16);
    char hvost[128];
    wsprintfA(hvost, "|0x%s|0x%s|%08lX.%08lX%08lX|%c", reinterpret_cast<char*>(vremja),
              reinterpret_cast<char*>(razmer), Info->dwVolumeSerialNumber, Info->nFileIndexHigh,
              Info->nFileIndexLow, (Flagi & ZYF64_ZAPIS) ? 'W' : 'R');
    const char* komp = std::strrchr(Imja, '\\');
    komp = komp ? komp + 1 : Imja;
    const size_t dh = std::strlen(hvost);
    size_t dk = std::strlen(komp);
    if (dk + dh > ZY_BUF_IMENI_OTR - 1) dk = ZY_BUF_IMENI_OTR - 1 - dh;
    std::memcpy(buf, komp, dk);
    std::memcpy(buf + dk, hvost, dh + 1);
    return 1;
}

// Releases the zone and sets the multiplier to half the free address space in granularity
// units, at most 0xFFFF.
int ZYKFAJL64::FEK_VsMnRazmPam() {
    VwklPamjat();
    uint64_t virtualnaja, fizicheskaja;
    zyPamjat(virtualnaja, fizicheskaja);
    // NOTE: the free address space of a 64-bit process exceeds 16 bits of granularity units
    // by far; the multiplier stops at its largest value instead of wrapping.
    const uint64_t mn = zyChastnoe(virtualnaja / 2, Granuljarnost);
    MnZony = static_cast<unsigned short>(mn > 0xFFFF ? 0xFFFF : mn);
    return 1;
}

// FEK_VsMnRazmPam once the re-measure interval has passed; with flag bit 17 the interval
// adapts to how much physical memory releasing the zone gave back.
int ZYKFAJL64::FEK_VsMnRazmPamVr() {
    const DWORD sejchas = GetTickCount();
    if (sejchas - PoslIzm > IntervalIzm) {
        if (Flagi & ZYF64_ADAPTIV) {
            uint64_t v, do_, posle;
            zyPamjat(v, do_);
            FEK_VsMnRazmPam();
            zyPamjat(v, posle);
            uint64_t a = posle / 2, b = zyRaznost(posle, do_);
            if (posle == do_) b = a;
            if (a == 0) a = b / 2;
            if (a > b) {
                const uint64_t k = zyChastnoe(a, b);
                const uint64_t novyj = uint64_t(IntervalIzm) * k;
                IntervalIzm = (zyShire32(k) || zyShire32(novyj))
                                  ? 0xFFFFFFFFul
                                  : static_cast<unsigned long>(novyj);
            } else if (a < b) {
                IntervalIzm /= 2;
                if (IntervalIzm == 0) IntervalIzm = ZY_INTERVAL_NACH;
            }
        } else {
            FEK_VsMnRazmPam();
        }
        PoslIzm = sejchas;
    }
    if (IntervalIzm > ZY_INTERVAL_MAX) IntervalIzm = ZY_INTERVAL_MAX;
    return 1;
}

} // namespace Quorvel
