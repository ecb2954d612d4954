// Journaled changes of ZYKFAJL64: the journal file beside the file, the I/O that runs a change
// (ZyIspolnitelZhurnala.h) on the real file and journal, a change of a file object, and the
// recovery of a change whose process stopped.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "ZyBlokKop.h"
#include "ZyIspolnitelZhurnala.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZySistVyzovy.h"
#include "ZyZhurnal.h"

namespace Quorvel {

namespace {

constexpr const char* ZY_ZHURNAL = "Zhurnal"; // function name of the journal's reports
constexpr const char* ZY_KOP_V_FAJLE = "Kop(ksZYKNB64, ksZYKNB64, ksZYKNB64)";
constexpr uint64_t ZY_BLOK_ZHURNALA = 1ull << 20; // longest block of a change (and slot)
constexpr DWORD ZY_DOSTUP_ZHURNALA = GENERIC_READ | GENERIC_WRITE;
constexpr size_t ZY_PERVAJA_STRANICA = 4096; // the journal's first page
// The byte of the journal whose lock a change or recovery holds while it uses the journal
// (far beyond any journal's end): the system gives it up when its process stops, so a journal
// whose byte can be locked has no living change in it.
constexpr DWORD ZY_ZAMOK_ST = 0x40000000; // offset 2^62
constexpr int ZY_POPYTOK = 200;           // tries 1 ms apart at a journal held for a moment

// Report serials of the journal.
enum : unsigned {
    ZY_Z_SOZDAT = 1,  // the journal cannot be created: the change is refused
    ZY_Z_PISAT = 2,   // a write of the journal failed
    ZY_Z_CHITAT = 3,  // a read of the journal failed
    ZY_Z_OSTATOK = 4, // a journal left by a stopped change cannot be recovered now
};

// Reports unless `otchet` is false; the last error stays.
void zyOtchetZh(bool otchet, const char* funkcija, unsigned serial) {
    if (otchet) ZyOtchet(funkcija, serial);
}

// The journal's name of `put` in `imja`; false when it does not fit a path of the short form.
bool zyKorotkoeImja(const char* put, char (&imja)[MAX_PATH]) {
    const size_t n = std::strlen(put), h = std::strlen(ZY_ZHURNAL_HVOST);
    if (n + h > ZY_DLINA_PUTI) return false;
    std::memcpy(imja, put, n);
    std::memcpy(imja + n, ZY_ZHURNAL_HVOST, h + 1);
    return true;
}

// Opens the journal of `put`, sharing reads and writes (not removal): the existing one
// (OPEN_EXISTING) or it or a new one (OPEN_ALWAYS). With DELETE access the open succeeds only
// while no other handle of the journal is open. A name longer than a path may be goes through
// the wide function with the "\\?\" prefix. INVALID_HANDLE_VALUE with the last error set on
// failure.
HANDLE zyOtkrytZhurnal(const char* put, DWORD raspolozhenie, DWORD dostup = ZY_DOSTUP_ZHURNALA) {
    const DWORD sovmestno = FILE_SHARE_READ | FILE_SHARE_WRITE;
    char korotkoe[MAX_PATH];
    if (zyKorotkoeImja(put, korotkoe))
        return ZyOS().CreateFileA(korotkoe, dostup, sovmestno, nullptr, raspolozhenie,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    // "\\?\" before a drive path, "\\?\UNC\" instead of the "\\" of a network path.
    const bool unc = put[0] == '\\' && put[1] == '\\';
    const wchar_t* prefiks = unc ? L"\\\\?\\UNC\\" : L"\\\\?\\";
    wchar_t imja[2 * MAX_PATH];
    const size_t p = std::wcslen(prefiks);
    std::wmemcpy(imja, prefiks, p);
    const char* ot = unc ? put + 2 : put;
    const int w = MultiByteToWideChar(CP_ACP, 0, ot, -1, imja + p, int(MAX_PATH));
    if (w <= 0) return INVALID_HANDLE_VALUE;
    const int wh = MultiByteToWideChar(CP_ACP, 0, ZY_ZHURNAL_HVOST, -1, imja + p + w - 1,
                                       int(2 * MAX_PATH - p - w));
    if (wh <= 0) return INVALID_HANDLE_VALUE;
    return CreateFileW(imja, dostup, sovmestno, nullptr, raspolozhenie, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Removes the journal held by `h` (opened with DELETE access) and closes it.
void zyUdalitZhurnal(HANDLE h) {
    FILE_DISPOSITION_INFO udalit{TRUE};
    ZyOS().SetFileInformationByHandle(h, FileDispositionInfo, &udalit, sizeof udalit);
    ZyOS().CloseHandle(h);
}

// Locks the journal's lock byte without waiting; false with the last error set (a living
// change or recovery holds it: ERROR_LOCK_VIOLATION).
bool zyZaperet(HANDLE zh) {
    OVERLAPPED o{};
    o.OffsetHigh = ZY_ZAMOK_ST;
    return ZyOS().LockFileEx(zh, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                             &o) != FALSE;
}

// Locks the lock byte, trying again while a recovery holds it for a moment; false after
// ZY_POPYTOK tries or another failure.
bool zyZaperetPodozhdav(HANDLE zh) {
    for (int popytka = 0;; ++popytka) {
        if (zyZaperet(zh)) return true;
        if (GetLastError() != ERROR_LOCK_VIOLATION || popytka == ZY_POPYTOK) return false;
        Sleep(1);
    }
}

// Gives the lock byte up.
void zyOtperet(HANDLE zh) {
    OVERLAPPED o{};
    o.OffsetHigh = ZY_ZAMOK_ST;
    ZyOS().UnlockFileEx(zh, 0, 1, 0, &o);
}

// The size of the journal held by `zh`; -1 when it cannot be read.
LONGLONG zyRazmerZhurnala(HANDLE zh) {
    LARGE_INTEGER li;
    return ZyOS().GetFileSizeEx(zh, &li) ? li.QuadPart : -1;
}

// True when a journal of `razmer` bytes records no change: one kept between changes, or one a
// change made and left before its first write.
bool zyPustoj(LONGLONG razmer) {
    return razmer >= 0 && razmer <= ZY_HRANIMYJ_ZHURNAL;
}

// Cuts the journal held by `zh` to the one byte of a journal kept between changes; false with
// the last error set.
bool zyOchistit(HANDLE zh) {
    FILE_END_OF_FILE_INFO konec{};
    konec.EndOfFile.QuadPart = ZY_HRANIMYJ_ZHURNAL;
    return ZyOS().SetFileInformationByHandle(zh, FileEndOfFileInfo, &konec, sizeof konec) != FALSE;
}

// The journals this process holds open between changes, one per file object (by its file
// handle): opening and closing one at every small change would cost more than the change.
class ZyDerzhimyeZhurnaly {
public:
    HANDLE najti(HANDLE fajl) {
        AcquireSRWLockShared(&zamok_);
        HANDLE zh = INVALID_HANDLE_VALUE;
        for (const Zapis& z : zapisi_)
            if (z.fajl == fajl) zh = z.zh;
        ReleaseSRWLockShared(&zamok_);
        return zh;
    }
    // False when there is no room (the caller then closes the journal after the change).
    bool zapomnit(HANDLE fajl, HANDLE zh) {
        AcquireSRWLockExclusive(&zamok_);
        bool ok = true;
        try {
            zapisi_.push_back(Zapis{fajl, zh});
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        ReleaseSRWLockExclusive(&zamok_);
        return ok;
    }
    // The object's journal, no longer held; INVALID_HANDLE_VALUE when it held none.
    HANDLE zabyt(HANDLE fajl) {
        AcquireSRWLockExclusive(&zamok_);
        HANDLE zh = INVALID_HANDLE_VALUE;
        for (size_t i = 0; i < zapisi_.size(); ++i)
            if (zapisi_[i].fajl == fajl) {
                zh = zapisi_[i].zh;
                zapisi_[i] = zapisi_.back();
                zapisi_.pop_back();
                break;
            }
        ReleaseSRWLockExclusive(&zamok_);
        return zh;
    }

private:
    struct Zapis {
        HANDLE fajl, zh;
    };
    SRWLOCK zamok_ = SRWLOCK_INIT;
    std::vector<Zapis> zapisi_;
};

ZyDerzhimyeZhurnaly& zyDerzhimye() {
    static ZyDerzhimyeZhurnaly d;
    return d;
}

// The identity of the file behind `h`; false when it cannot be read.
bool zyLichnost(HANDLE h, ZyLichnost& l) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!ZyOS().GetFileInformationByHandle(h, &info)) return false;
    l = ZyLichnost{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// The I/O of a change on the real file and journal: a file object's handle (through views for
// a handle that needs them), or for a recovery a handle of its own. Failures are reported with
// the same-file copy's serials (1 read, 2 write), the journal's with its own; a recovery that
// runs unasked reports nothing.
struct ZyIoFajla {
    HANDLE h;          // the file
    ZYKFAJL64* f;      // its object, null for a recovery's own handle
    HANDLE zh;         // the journal
    ZYKFAJL64* drugoj; // where an outside step copies from
    uint64_t drugojPoz;
    ZyProgress* hod; // the progress window, or null
    bool otchet;
    ZyZapasZhurnala* zapas = nullptr; // the journal's data held in memory, or null

    // Every byte of the journal held back is written before the file changes.
    bool zhurnalGotov() {
        if (!zapas || zapas->sbrosit(zh)) return true;
        zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_PISAT);
        return false;
    }
    bool vvod(uint64_t poz, unsigned char* b, uint64_t n, bool zapis) {
        if (zapis && !zhurnalGotov()) return false;
        const bool ok = f && (f->Flagi & ZYF64_CHEREZ_VIDY) ? zyVvodVyvodVidom(*f, poz, b, n, zapis)
                                                            : zyVvodVyvod(h, poz, b, n, zapis);
        if (!ok) zyOtchetZh(otchet, ZY_KOP_V_FAJLE, zapis ? 2 : 1);
        return ok;
    }
    bool chitat(uint64_t poz, unsigned char* b, uint64_t n) { return vvod(poz, b, n, false); }
    bool pisat(uint64_t poz, const unsigned char* b, uint64_t n) {
        return vvod(poz, const_cast<unsigned char*>(b), n, true);
    }
    bool ustanovitRazmer(uint64_t n) {
        if (!zhurnalGotov()) return false;
        if (f) return zyUstanovitKonec(*f, n, false) != 0;
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(n);
        if (li.QuadPart < 0 || !ZyOS().SetFilePointerEx(h, li, nullptr, FILE_BEGIN)) {
            zyOtchetZh(otchet, "FIN", 4);
            return false;
        }
        if (!ZyOS().SetEndOfFile(h)) {
            zyOtchetZh(otchet, "FIN", 5);
            return false;
        }
        return true;
    }
    uint64_t razmer() {
        if (f) return zy64(f->Razmer);
        LARGE_INTEGER li;
        return ZyOS().GetFileSizeEx(h, &li) ? uint64_t(li.QuadPart) : ZY_MAX64;
    }
    bool chitatZhurnal(uint64_t poz, unsigned char* b, uint64_t n) {
        if (zapas ? zapas->chitat(zh, poz, b, n) : zyVvodVyvod(zh, poz, b, n, false)) return true;
        zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_CHITAT);
        return false;
    }
    bool pisatZhurnal(uint64_t poz, const unsigned char* b, uint64_t n, bool soobshit = true) {
        if (zapas ? zapas->pisat(zh, poz, b, n)
                  : zyVvodVyvod(zh, poz, const_cast<unsigned char*>(b), n, true))
            return true;
        zyOtchetZh(otchet && soobshit, ZY_ZHURNAL, ZY_Z_PISAT);
        return false;
    }
    bool vneshnij(uint64_t kuda, uint64_t n) {
        return zhurnalGotov() && f && drugoj &&
               f->Kop(zyNB(kuda), *drugoj, zyNB(drugojPoz), zyNB(n)) != 0;
    }
    void progress(uint64_t n) {
        if (hod) hod->blok(n);
    }
};

// A block buffer from the heap, freed when it goes.
class ZyBuferZhurnala {
public:
    ~ZyBuferZhurnala() {
        if (p_) HeapFree(GetProcessHeap(), 0, p_);
    }
    unsigned char* vydelit(uint64_t n) {
        p_ = static_cast<unsigned char*>(ZyOS().HeapAlloc(GetProcessHeap(), 0, SIZE_T(n)));
        if (!p_) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return p_;
    }
    unsigned char* vydelen() const { return p_; }

private:
    unsigned char* p_ = nullptr;
};

// Reads the header and the newer of the two records; false when the journal holds no whole
// header and record (a journal cut short before the file was touched).
bool zyProchestZhurnal(HANDLE zh, ZyZagolovok& z, ZyOtmetka& p) {
    unsigned char b[ZY_ZAGOLOVOK + 2 * ZY_ZAPIS_PROGRESSA];
    if (!zyVvodVyvod(zh, 0, b, sizeof b, false) || !zyProchestZagolovok(b, z)) return false;
    ZyOtmetka r[2];
    const bool est0 = zyProchestProgress(b + ZY_ZAGOLOVOK, r[0]);
    const bool est1 = zyProchestProgress(b + ZY_ZAGOLOVOK + ZY_ZAPIS_PROGRESSA, r[1]);
    if (!est0 && !est1) return false;
    p = !est1 || (est0 && r[0].nomer > r[1].nomer) ? r[0] : r[1];
    return true;
}

// Sets the current time as the file's last-write time, so that every object sees the change.
void zyShtamp(HANDLE h) {
    FILETIME sejchas;
    GetSystemTimeAsFileTime(&sejchas);
    ZyOS().SetFileTime(h, nullptr, nullptr, &sejchas);
}

// The recovery of an opened journal through `svoj`, an object of the file open for writing
// (whose handle the caller may have opened without sharing writes), or else through a handle
// of its own on the file.
ZyOstatok zyVosstanovitOtkrytyj(const char* put, HANDLE zh, bool otchet, ZYKFAJL64* svoj) {
    ZyZagolovok z;
    ZyOtmetka p;
    if (!zyProchestZhurnal(zh, z, p)) return ZyOstatok::Vosstanovlen; // the file is untouched
    if (svoj && !(svoj->hFajl && (svoj->Flagi & ZYF64_ZAPIS) && zyPerechitatInfo(*svoj)))
        svoj = nullptr;
    HANDLE h = svoj ? svoj->hFajl
                    : ZyOS().CreateFileA(put, GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD oshibka = GetLastError();
        if (oshibka == ERROR_FILE_NOT_FOUND) return ZyOstatok::Vosstanovlen; // the file is gone
        zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_OSTATOK);
        return ZyOstatok::Nelzja;
    }
    // The journal must describe this file as it is: its identity, a size of before or after,
    // a block that fits the buffer.
    ZyLichnost l;
    LARGE_INTEGER razmer;
    ZyIshod ishod = ZyIshod::Sboj;
    SetLastError(ERROR_FILE_INVALID);
    if (zyLichnost(h, l) && l.tom == z.lichnost.tom && l.indeksSt == z.lichnost.indeksSt &&
        l.indeksMl == z.lichnost.indeksMl && ZyOS().GetFileSizeEx(h, &razmer) &&
        (uint64_t(razmer.QuadPart) == z.plan.razmerDo ||
         uint64_t(razmer.QuadPart) == z.plan.razmerPosle) &&
        z.slotBlok > 0 && z.slotBlok <= ZY_BLOK_ZHURNALA) {
        ZyBuferZhurnala buf;
        if (buf.vydelit(z.slotBlok)) {
            ZyIoFajla io{h, svoj, zh, nullptr, 0, nullptr, otchet};
            ZyIspolnitel<ZyIoFajla> isp(io, z, buf.vydelen(), z.slotBlok);
            ishod = isp.vosstanovit(p, false);
        }
    }
    if (ishod != ZyIshod::Sboj) zyShtamp(h);
    if (!svoj) ZyOS().CloseHandle(h);
    if (ishod == ZyIshod::Sboj) {
        zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_OSTATOK);
        return ZyOstatok::Nelzja;
    }
    return ZyOstatok::Vosstanovlen;
}

} // namespace

// Opens the journal (trying again while an object that closes removes it); none, one in use
// (its lock byte held), or one to recover (cut to its kept byte afterwards unless it cannot be
// recovered, when a message names it).
ZyOstatok zyVosstanovitZhurnal(const char* put, bool otchet, ZYKFAJL64* otpustit, bool zhdat) {
    HANDLE zh = INVALID_HANDLE_VALUE;
    for (int popytka = 0; zh == INVALID_HANDLE_VALUE; ++popytka) {
        zh = zyOtkrytZhurnal(put, OPEN_EXISTING);
        if (zh != INVALID_HANDLE_VALUE) break;
        const DWORD oshibka = GetLastError();
        if (oshibka == ERROR_FILE_NOT_FOUND || oshibka == ERROR_PATH_NOT_FOUND)
            return ZyOstatok::Net;
        if (oshibka != ERROR_SHARING_VIOLATION) {
            zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_OSTATOK);
            return ZyOstatok::Nelzja;
        }
        if (popytka == ZY_POPYTOK) return ZyOstatok::Zanjat;
        Sleep(1);
    }
    if (!(zhdat ? zyZaperetPodozhdav(zh) : zyZaperet(zh))) {
        const DWORD oshibka = GetLastError();
        ZyOS().CloseHandle(zh);
        if (oshibka == ERROR_LOCK_VIOLATION) return ZyOstatok::Zanjat;
        SetLastError(oshibka);
        zyOtchetZh(otchet, ZY_ZHURNAL, ZY_Z_OSTATOK);
        return ZyOstatok::Nelzja;
    }
    ZyOstatok o = ZyOstatok::Net;
    if (!zyPustoj(zyRazmerZhurnala(zh))) {
        if (otpustit) {
            // The recovery may cut the file, which the system refuses while a mapping object
            // of it exists; this object makes its own again when it next needs it.
            otpustit->VwklPamjat();
            if (otpustit->hOtobr) ZyOS().CloseHandle(otpustit->hOtobr);
            otpustit->hOtobr = nullptr;
        }
        o = zyVosstanovitOtkrytyj(put, zh, otchet, otpustit);
        if (o == ZyOstatok::Vosstanovlen) zyOchistit(zh);
    }
    zyOtperet(zh);
    ZyOS().CloseHandle(zh);
    if (o == ZyOstatok::Nelzja && otchet) {
        char tekst[2 * MAX_PATH];
        wsprintfA(tekst, "Zhurnal fajla ne vosstanovlen: \"%s%s\"", put, ZY_ZHURNAL_HVOST);
        ZySoobshenie(tekst);
    }
    return o;
}

// One look at the journal's name: "not found", or the size of a journal with no change in it.
bool zyZhurnalaNet(const char* put) {
    char imja[MAX_PATH];
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!zyKorotkoeImja(put, imja)) return false;
    if (ZyOS().GetFileAttributesExA(imja, GetFileExInfoStandard, &d))
        return d.nFileSizeHigh == 0 && zyPustoj(LONGLONG(d.nFileSizeLow));
    const DWORD oshibka = GetLastError();
    return oshibka == ERROR_FILE_NOT_FOUND || oshibka == ERROR_PATH_NOT_FOUND;
}

// The object's journal is closed; then the journal is opened for removal, which succeeds only
// while no other handle of it is open (no other object holds it, no change or recovery runs),
// and removed when it records no change.
void zyOtpustitZhurnal(ZYKFAJL64& f) {
    const DWORD oshibka = GetLastError(); // a close leaves the caller's last error alone
    const HANDLE svoj = zyDerzhimye().zabyt(f.hFajl);
    if (svoj != INVALID_HANDLE_VALUE) ZyOS().CloseHandle(svoj);
    const HANDLE zh = f.Imja ? zyOtkrytZhurnal(f.Imja, OPEN_EXISTING, ZY_DOSTUP_ZHURNALA | DELETE)
                             : INVALID_HANDLE_VALUE;
    if (zh != INVALID_HANDLE_VALUE && zyPustoj(zyRazmerZhurnala(zh)))
        zyUdalitZhurnal(zh);
    else if (zh != INVALID_HANDLE_VALUE)
        ZyOS().CloseHandle(zh);
    SetLastError(oshibka);
}

// Recovers a journal a stopped change left beside the file, before a change plans on the
// file's size (the caller holds the writer lock). False after a report.
bool zyBezOstatka(ZYKFAJL64& f) {
    switch (zyVosstanovitZhurnal(f.Imja, true, &f, true)) {
    case ZyOstatok::Net:
        return true;
    case ZyOstatok::Vosstanovlen:
        zyPerechitatInfo(f);
        return true;
    case ZyOstatok::Zanjat: // not a change (the writer lock is ours): a program holds it
        SetLastError(ERROR_SHARING_VIOLATION);
        ZyOtchet(ZY_ZHURNAL, ZY_Z_OSTATOK);
        return false;
    default:
        return false;
    }
}

// Kept back when the bytes continue the data held and fit; else written after it.
bool ZyZapasZhurnala::pisat(HANDLE zh, uint64_t poz, const unsigned char* b, uint64_t n) {
    const uint64_t smesh = poz - ZY_DANNYE_SMESH;
    if (!zakryt_ && poz >= ZY_DANNYE_SMESH && smesh == dlina_ && n <= ZY_MALYJ_KONEC - dlina_) {
        if (!b_) b_ = new (std::nothrow) unsigned char[ZY_MALYJ_KONEC];
        if (b_) {
            std::memcpy(b_ + dlina_, b, static_cast<size_t>(n));
            dlina_ += n;
            return true;
        }
    }
    // The header with its records and data held since the start of the data area, all inside
    // the first page: one write, which a stop leaves whole or absent.
    if (!zakryt_ && poz == 0 && n <= ZY_DANNYE_SMESH && zapisano_ == 0 && dlina_ > 0 &&
        ZY_DANNYE_SMESH + dlina_ <= ZY_PERVAJA_STRANICA) {
        unsigned char stranica[ZY_PERVAJA_STRANICA] = {};
        std::memcpy(stranica, b, static_cast<size_t>(n));
        std::memcpy(stranica + ZY_DANNYE_SMESH, b_, static_cast<size_t>(dlina_));
        if (!zyVvodVyvod(zh, 0, stranica, ZY_DANNYE_SMESH + dlina_, true)) return false;
        zapisano_ = dlina_;
        zakryt_ = true;
        return true;
    }
    if (!sbrosit(zh)) return false;
    zakryt_ = true;
    // A write over held bytes makes them stale: from now on they are read from the journal.
    if (poz < ZY_DANNYE_SMESH + dlina_ && poz + n > ZY_DANNYE_SMESH) dlina_ = zapisano_ = 0;
    return zyVvodVyvod(zh, poz, const_cast<unsigned char*>(b), n, true);
}

// From memory when held, else from the journal.
bool ZyZapasZhurnala::chitat(HANDLE zh, uint64_t poz, unsigned char* b, uint64_t n) {
    if (poz >= ZY_DANNYE_SMESH && poz - ZY_DANNYE_SMESH <= dlina_ &&
        n <= dlina_ - (poz - ZY_DANNYE_SMESH)) {
        std::memcpy(b, b_ + (poz - ZY_DANNYE_SMESH), static_cast<size_t>(n));
        return true;
    }
    return sbrosit(zh) && zyVvodVyvod(zh, poz, b, n, false);
}

// The held bytes not yet written, in one write.
bool ZyZapasZhurnala::sbrosit(HANDLE zh) {
    if (zapisano_ == dlina_) return true;
    if (!zyVvodVyvod(zh, ZY_DANNYE_SMESH + zapisano_, b_ + zapisano_, dlina_ - zapisano_, true))
        return false;
    zapisano_ = dlina_;
    return true;
}

// Cut to its kept byte unless it must outlive the change, and its lock byte given up; closed
// unless the object holds it.
void ZyZhurnal::zakryt() {
    if (h_ == INVALID_HANDLE_VALUE) return;
    if (zaperto_) {
        if (!ostavit_ && !zavershen_) zyOchistit(h_);
        zyOtperet(h_);
        zaperto_ = false;
    }
    if (!derzhat_) ZyOS().CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
}

// The journal the object holds, or the one beside the file opened now (or made) and held
// from now on; then its lock byte. One with a change in it is what a stopped change left: it
// is recovered first (through a handle of its own). So a change needs no look for a journal of
// a stopped change before it takes its own.
bool ZyZhurnal::sozdat() {
    h_ = zyDerzhimye().najti(f_.hFajl);
    derzhat_ = h_ != INVALID_HANDLE_VALUE;
    for (int popytka = 0; h_ == INVALID_HANDLE_VALUE; ++popytka) {
        h_ = zyOtkrytZhurnal(f_.Imja, OPEN_ALWAYS);
        if (h_ != INVALID_HANDLE_VALUE) {
            derzhat_ = zyDerzhimye().zapomnit(f_.hFajl, h_);
            break;
        }
        // An object that closes may hold it for a moment to remove it.
        if (GetLastError() != ERROR_SHARING_VIOLATION || popytka == ZY_POPYTOK) {
            ZyOtchet(ZY_ZHURNAL, ZY_Z_SOZDAT);
            return false;
        }
        Sleep(1);
    }
    for (bool vosstanovlen = false;; vosstanovlen = true) {
        if (!zyZaperetPodozhdav(h_)) {
            ZyOtchet(ZY_ZHURNAL, ZY_Z_SOZDAT);
            return false;
        }
        zaperto_ = true;
        const LONGLONG razmer = zyRazmerZhurnala(h_);
        if (zyPustoj(razmer)) return true;
        zyOtperet(h_);
        zaperto_ = false;
        if (razmer < 0 || vosstanovlen) {
            ZyOtchet(ZY_ZHURNAL, ZY_Z_SOZDAT);
            return false;
        }
        if (!zyBezOstatka(f_)) return false;
    }
}

// The data area of the journal.
bool ZyZhurnal::pisatDannye(uint64_t smesh, const unsigned char* b, uint64_t n) {
    if (zapas_.pisat(h_, ZY_DANNYE_SMESH + smesh, b, n)) return true;
    ZyOtchet(ZY_ZHURNAL, ZY_Z_PISAT);
    return false;
}

// Header, steps, and on a failure the way back.
bool ZyZhurnal::izmenit(const ZyPlan& plan, ZYKFAJL64* drugoj, uint64_t drugojPoz) {
    if (plan.kol == 0) return true;
    // The bytes the steps move, for the progress bar; blocks sized as a copy within the file,
    // and no longer than the longest step or kept range (a small change needs no megabyte).
    uint64_t vsego = 0, naibolshij = 1;
    for (uint32_t i = 0; i < plan.kol; ++i) {
        vsego = zySumma(vsego, plan.shagi[i].dlina);
        if (plan.shagi[i].dlina > naibolshij) naibolshij = plan.shagi[i].dlina;
    }
    for (uint32_t i = 0; i < plan.kolIzFajla; ++i)
        if (plan.izFajla[i].dlina > naibolshij) naibolshij = plan.izFajla[i].dlina;
    ZyZadanieKop z;
    z.funkcija = ZY_KOP_V_FAJLE;
    z.kuda.fajl = z.otkuda.fajl = &f_;
    z.dlina = vsego ? vsego : 1;
    z.odinFajl = true;
    const bool sProgressom = (f_.Flagi & ZYF64_PROGRESS) != 0;
    uint64_t blok = zyRazmerBloka(z, sProgressom);
    if (blok > ZY_BLOK_ZHURNALA) blok = ZY_BLOK_ZHURNALA;
    if (blok > naibolshij) blok = naibolshij;
    ZyBuferZhurnala buf;
    if (!buf.vydelit(blok)) {
        ZyOtchet(ZY_KOP_V_FAJLE, 1);
        return false;
    }
    ZyProgress hod;
    if (sProgressom && !hod.nachat(f_, z)) return false;
    ZyZagolovok zag;
    zag.plan = plan;
    zag.slotBlok = blok;
    if (f_.Info)
        zag.lichnost = ZyLichnost{f_.Info->dwVolumeSerialNumber, f_.Info->nFileIndexHigh,
                                  f_.Info->nFileIndexLow};
    ZyIoFajla io{f_.hFajl, &f_, h_, drugoj, drugojPoz, sProgressom ? &hod : nullptr, true};
    io.zapas = &zapas_;
    ZyIspolnitel<ZyIoFajla> isp(io, zag, buf.vydelen(), blok);
    if (!isp.nachat()) return false; // the file is untouched
    ZyIshod ishod = ZyIshod::Posle;
    if (isp.vpered(0, false)) {
        // Done: the journal is cut to its kept byte. Only one that cannot be cut gets the end on
        // record, so that it does nothing when found.
        zavershen_ = zyOchistit(h_);
        if (!zavershen_) isp.otmetitKonec();
    } else {
        ishod = isp.vosstanovit(isp.progress(), true);
    }
    ostavit_ = ishod == ZyIshod::Sboj;
    if (!(f_.Flagi & ZYF64_BEZ_SHTAMPA)) f_.VsVrZap();
    return ishod == ZyIshod::Posle;
}

} // namespace Quorvel
