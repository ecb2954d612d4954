// The block-copy engine of ZYKFAJL64: locks, block size, progress and the block loop, which
// moves the bytes through the file handles (reads and writes at explicit offsets), or through
// mapped views for a handle opened without buffering or on another machine, and for a handle
// that refuses them.
#include <windows.h>

#include <cstring>
#include <new>
#include <utility>

#include "ZyBlokKop.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZyPeremeshenie.h"
#include "ZyPlanKop.h"
#include "ZyProgres.h"
#include "ZySistVyzovy.h"
#include "ZyStandart.h"

namespace Quorvel {

namespace {

constexpr DWORD ZY_PAUZA_POSYLKI = 30;  // ms between attempts to reach a starting window
constexpr int ZY_POPYTOK_POSYLKI = 300; // at most about 9 s of attempts

// Longest block between two files: the bytes pass through a buffer of this size, which stays
// in the processor's cache between the read and the write.
constexpr uint64_t ZY_BUFER_MAKS = 1ull << 20;
// Most bytes one read or write call moves (and the longest block of a memory form).
constexpr uint64_t ZY_VYZOV_MAKS = 1ull << 30;

// A view of a file range, unmapped when it goes.
class ZyVid {
public:
    ZyVid() = default;
    ~ZyVid() {
        if (baza_) ZyOS().UnmapViewOfFile(baza_);
    }
    ZyVid(const ZyVid&) = delete;
    ZyVid& operator=(const ZyVid&) = delete;

    // Maps [poz, poz + n) of `f` from poz rounded down to the granularity; the address of
    // the byte at poz, or null (last error set).
    unsigned char* otobrazit(const ZYKFAJL64& f, uint64_t poz, uint64_t n, DWORD dostup) {
        const uint64_t gran = f.Granuljarnost ? f.Granuljarnost : 1;
        const uint64_t nachalo = poz - poz % gran;
        const uint64_t dlina = poz + n - nachalo;
        if (dlina > SIZE_T(-1)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        baza_ = static_cast<unsigned char*>(ZyOS().MapViewOfFile(
            f.hOtobr, dostup, DWORD(nachalo >> 32), DWORD(nachalo), SIZE_T(dlina)));
        return baza_ ? baza_ + (poz - nachalo) : nullptr;
    }

private:
    unsigned char* baza_ = nullptr;
};

// Objects whose sides an operation of this thread holds (ZyZamki), innermost last.
constexpr int ZY_DERZHIMYH = 8;
thread_local const ZYKFAJL64* tDerzhimye[ZY_DERZHIMYH];
thread_local int tKolDerzhimyh = 0;

// True when a's lock objects sort before b's (upper-cased paths, byte order).
bool zyPoImeni(const ZYKFAJL64* a, const ZYKFAJL64* b) {
    char ia[ZY_BUF_IMENI_SINHRON], ib[ZY_BUF_IMENI_SINHRON];
    zyImjaSinhron(a->Imja, 'M', ia);
    zyImjaSinhron(b->Imja, 'M', ib);
    return std::strcmp(ia, ib) < 0;
}

// Copies a file name into a field of the progress block; a long path keeps its end.
void zyImjaVBlok(char* pole, const char* imja) {
    const size_t mesto = 255;
    const size_t n = std::strlen(imja);
    if (n <= mesto) {
        std::memcpy(pole, imja, n + 1);
        return;
    }
    std::memcpy(pole, "...", 3);
    std::memcpy(pole + 3, imja + (n - (mesto - 3)), mesto - 3 + 1);
}

// One side's name in the progress block: the file's path, or "RAM" (translated).
void zyStoronaVBlok(char* pole, const ZyStorona& s) {
    if (s.fajl) {
        zyImjaVBlok(pole, s.fajl->Imja);
        return;
    }
    std::strcpy(pole, "RAM");
    ZyPerevodStroki(pole, 256);
}

// The object whose memory sizes the blocks and whose flag asks for progress: the receiver,
// or the source object when copying into memory.
ZYKFAJL64& zyHozjain(const ZyZadanieKop& z) {
    return z.kuda.fajl ? *z.kuda.fajl : *z.otkuda.fajl;
}

// Makes sure a file side has its mapping object; false after a report.
bool zyOtobrazhenieStorony(const ZyStorona& s) {
    if (!s.fajl) return true;
    const int r = zyGotovoOtobrazhenie(*s.fajl);
    if (r > 0) return true;
    if (r == 0) SetLastError(ERROR_HANDLE_EOF);
    ZyOtchet("operator[]", 1);
    return false;
}

// How one copy ended: done, failed (reported), or refused by the file handle before any byte
// moved, so that the copy goes through views instead.
enum class ZyItog { Gotovo, Sboj, CherezVidy };

// The address of one block of a side: its view mapped, or its memory.
unsigned char* zyAdresBloka(const ZyZadanieKop& z, const ZyStorona& s, bool priemnik,
                            const ZyBlokPlana& b, ZyVid& vid) {
    if (!s.fajl) return s.ozu + b.smeshenie;
    DWORD dostup = priemnik ? FILE_MAP_WRITE : FILE_MAP_READ;
    if (!z.kuda.fajl) dostup = (s.fajl->Flagi & ZYF64_ZAPIS) ? FILE_MAP_WRITE : FILE_MAP_READ;
    unsigned char* a = vid.otobrazit(*s.fajl, s.poz + b.smeshenie, b.dlina, dostup);
    if (!a) ZyOtchet(z.funkcija, b.posl ? s.serialPosl : s.serial);
    return a;
}

// The block loop through views, for a file whose handle refuses reads and writes at arbitrary
// offsets or does not keep them coherent with views (opened without buffering, or on another
// machine): the bytes move directly between mapped views. False after a report.
bool zyBlokiCherezVidy(const ZyZadanieKop& z, uint64_t blok, ZyProgress* progress) {
    const bool vozrast = ZyPlanVozrast(z.odinFajl, z.kuda.poz, z.otkuda.poz);
    const uint64_t rasstojanie = !z.odinFajl                 ? 0
                                 : z.kuda.poz < z.otkuda.poz ? z.otkuda.poz - z.kuda.poz
                                                             : z.kuda.poz - z.otkuda.poz;
    for (uint64_t gotovo = 0; gotovo < z.dlina;) {
        const ZyBlokPlana b = ZyPlanBlok(z.dlina, blok, gotovo, vozrast);
        ZyVid vidIst, vidPriem;
        const unsigned char* s = zyAdresBloka(z, z.otkuda, false, b, vidIst);
        if (!s) return false;
        unsigned char* d = zyAdresBloka(z, z.kuda, true, b, vidPriem);
        if (!d) return false;
        ZyPeremestit(d, s, static_cast<size_t>(b.dlina), rasstojanie, vozrast);
        gotovo += b.dlina;
        if (progress) progress->blok(b.dlina);
    }
    return true;
}

// A buffer for the bytes of one block between two files, freed when it goes.
class ZyBufer {
public:
    ZyBufer() = default;
    ~ZyBufer() {
        if (p_) HeapFree(GetProcessHeap(), 0, p_);
    }
    ZyBufer(const ZyBufer&) = delete;
    ZyBufer& operator=(const ZyBufer&) = delete;

    // Allocates n bytes, or, when the heap cannot give them, one granularity unit; the length
    // had (0 with the last error set when not even that).
    uint64_t vydelit(uint64_t n, uint64_t edinica) {
        for (uint64_t dlina : {n, n < edinica ? n : edinica}) {
            p_ = static_cast<unsigned char*>(
                ZyOS().HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(dlina)));
            if (p_) return dlina;
        }
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    unsigned char* adres() const { return p_; }

private:
    unsigned char* p_ = nullptr;
};

// Reports a failed read or write of a block with the serial of its side (the serial a view of
// that block had), unless it is the refusal of an unbuffered handle before any byte moved.
ZyItog zyOtkazBloka(const ZyZadanieKop& z, const ZyStorona& s, const ZyBlokPlana& b,
                    uint64_t gotovo) {
    if (gotovo == 0 && GetLastError() == ERROR_INVALID_PARAMETER) return ZyItog::CherezVidy;
    ZyOtchet(z.funkcija, b.posl ? s.serialPosl : s.serial);
    return ZyItog::Sboj;
}

// The block loop through the file handles. Each block is read whole (into the caller's memory,
// or into the buffer between two files) before it is written, and the blocks go in the order
// of ZyPlanVozrast, so an overlapping copy within a file never reads bytes it has already
// overwritten. Mapped views of the file, this object's and other processes', see the bytes at
// once: the system keeps file I/O and the views of a local file on the same pages.
ZyItog zyBlokiCikl(const ZyZadanieKop& z, uint64_t blok, ZyProgress* progress) {
    ZyBufer bufer;
    if (z.kuda.fajl && z.otkuda.fajl) {
        const ZYKFAJL64& h = *z.kuda.fajl;
        const uint64_t nuzhno = blok < z.dlina ? blok : z.dlina;
        blok = bufer.vydelit(nuzhno, h.Granuljarnost ? h.Granuljarnost : 1);
        if (!blok) { // as a source view that cannot be mapped
            ZyOtchet(z.funkcija, nuzhno == z.dlina ? z.otkuda.serialPosl : z.otkuda.serial);
            return ZyItog::Sboj;
        }
    }
    const bool vozrast = ZyPlanVozrast(z.odinFajl, z.kuda.poz, z.otkuda.poz);
    for (uint64_t gotovo = 0; gotovo < z.dlina;) {
        const ZyBlokPlana b = ZyPlanBlok(z.dlina, blok, gotovo, vozrast);
        unsigned char* dannye = z.otkuda.ozu ? z.otkuda.ozu + b.smeshenie : bufer.adres();
        if (z.otkuda.fajl) {
            if (z.kuda.ozu) dannye = z.kuda.ozu + b.smeshenie;
            if (!zyVvodVyvod(z.otkuda.fajl->hFajl, z.otkuda.poz + b.smeshenie, dannye, b.dlina,
                             false))
                return zyOtkazBloka(z, z.otkuda, b, gotovo);
        }
        if (z.kuda.fajl &&
            !zyVvodVyvod(z.kuda.fajl->hFajl, z.kuda.poz + b.smeshenie, dannye, b.dlina, true))
            return zyOtkazBloka(z, z.kuda, b, gotovo);
        gotovo += b.dlina;
        if (progress) progress->blok(b.dlina);
    }
    return ZyItog::Gotovo;
}

} // namespace

// A new position past its object's last index is clamped to it; true when it was.
bool zyPostavitPoz(ZYKFAJL64& f, uint64_t poz) {
    if (poz > zy64(f.PoslIndeks)) {
        f.Poz = f.PoslIndeks;
        return true;
    }
    f.Poz = zyNB(poz);
    return false;
}

// Starts (or reuses) the window and resets the bar. False after a report.
bool ZyProgress::nachat(ZYKFAJL64& f, const ZyZadanieKop& z) {
    f_ = &f;
    if (!f.PotokProgressa && !zapustit(f, z)) return false;
    f.Sdelano = zyNB(0);
    f.EdProgressa = zyNB(z.dlina / 100);
    posylatSbros();
    return true;
}

// Counts a finished block and posts the percentage.
void ZyProgress::blok(uint64_t n) {
    if (!f_) return;
    const uint64_t sdelano = zySumma(zy64(f_->Sdelano), n);
    f_->Sdelano = zyNB(sdelano);
    uint64_t procent = zyChastnoe(sdelano, zy64(f_->EdProgressa));
    if (procent > 100) procent = 100;
    PostThreadMessageA(f_->PotokProgressa, ZYPR_POZICIJA, WPARAM(procent), 0);
}

// Closes a window this operation started.
void ZyProgress::zakonchit() {
    if (zapustil_) {
        PostThreadMessageA(f_->PotokProgressa, ZYPR_ZAKRYT, 0, 0);
        f_->PotokProgressa = 0;
        zapustil_ = false;
    }
    if (potok_) CloseHandle(potok_);
    potok_ = nullptr;
    f_ = nullptr;
}

// Fills a text block and starts the window's thread, which owns the block from then on.
bool ZyProgress::zapustit(ZYKFAJL64& f, const ZyZadanieKop& z) {
    unsigned char* blok = new (std::nothrow) unsigned char[ZYPR_BLOK];
    if (!blok) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ZyOtchet(z.funkcija, 2);
        return false;
    }
    std::memset(blok, 0, ZYPR_BLOK);
    char* t = reinterpret_cast<char*>(blok);
    std::strcpy(t + ZYPR_ZAGOLOVOK, "\"ZYKFAJL64\" - Copying");
    ZyPerevodStroki(t + ZYPR_ZAGOLOVOK, 85);
    std::strcpy(t + ZYPR_METKA1, "Source:");
    ZyPerevodStroki(t + ZYPR_METKA1, 85);
    std::strcpy(t + ZYPR_METKA2, "Receiver:");
    ZyPerevodStroki(t + ZYPR_METKA2, 85);
    zyStoronaVBlok(t + ZYPR_ISTOCHNIK, z.otkuda);
    zyStoronaVBlok(t + ZYPR_PRIEMNIK, z.kuda);
    DWORD id = 0;
    potok_ = ZyOS().CreateThread(nullptr, 0, ZyProgresPotok, blok, 0, &id);
    if (!potok_) {
        delete[] blok;
        ZyOtchet(z.funkcija, 2);
        return false;
    }
    f.PotokProgressa = id;
    zapustil_ = true;
    return true;
}

// Posts the reset, retrying every 30 ms while the new thread has no message queue yet; gives
// up when the thread has ended or after about 9 s.
void ZyProgress::posylatSbros() {
    for (int i = 0; i < ZY_POPYTOK_POSYLKI; ++i) {
        if (PostThreadMessageA(f_->PotokProgressa, ZYPR_POZICIJA, 0, 0)) return;
        if (!potok_) return; // a window of another operation: its queue exists or is gone
        if (WaitForSingleObject(potok_, ZY_PAUZA_POSYLKI) != WAIT_TIMEOUT) return;
    }
}

// Adds a side unless an enclosing operation of this thread holds the object.
void ZyZamki::dobavit(ZYKFAJL64* f, bool zapis) {
    if (!zyZamokDerzhitsja(f)) z_[n_++] = {f, zapis, false, false};
}

// Held under the lock of another side.
void ZyZamki::dobavitPokrytyj(ZYKFAJL64* f) {
    if (!zyZamokDerzhitsja(f)) z_[n_++] = {f, false, false, true};
}

// Takes the sides in the order of the names and notes the objects as held.
bool ZyZamki::vzjat() {
    if (n_ == 2 && zyPoImeni(z_[1].f, z_[0].f)) std::swap(z_[0], z_[1]);
    for (int i = 0; i < n_; ++i) {
        Z& z = z_[i];
        z.vzjat = z.pokryt || (z.zapis ? z.f->FEK_SinhronZapisPref() : z.f->FEK_SinhronChtenPref());
        if (!z.vzjat) {
            otpustit();
            return false;
        }
        if (tKolDerzhimyh < ZY_DERZHIMYH) tDerzhimye[tKolDerzhimyh++] = z.f;
    }
    return true;
}

// Gives the sides back in reverse, and the objects stop counting as held.
bool ZyZamki::otpustit() {
    bool vse = true;
    for (int i = n_ - 1; i >= 0; --i) {
        Z& z = z_[i];
        if (!z.vzjat) continue;
        z.vzjat = false;
        for (int k = tKolDerzhimyh; k-- > 0;) {
            if (tDerzhimye[k] != z.f) continue;
            tDerzhimye[k] = tDerzhimye[--tKolDerzhimyh];
            break;
        }
        if (z.pokryt) continue;
        vse &= (z.zapis ? z.f->FEK_SinhronZapisSyf() : z.f->FEK_SinhronChtenSyf()) != 0;
    }
    return vse;
}

// Held by an operation of this thread.
bool zyZamokDerzhitsja(const ZYKFAJL64* f) {
    for (int k = 0; k < tKolDerzhimyh; ++k)
        if (tDerzhimye[k] == f) return true;
    return false;
}

// Block length: a half of the zone multiplier measured now, less one granularity unit, at most
// half the free physical memory; at least one granularity unit so that a machine short of
// memory still makes progress; memory copies at most the length; with progress a hundredth of
// that; at most the buffer between two files, or what one read or write call moves.
uint64_t zyRazmerBloka(const ZyZadanieKop& z, bool progress) {
    ZYKFAJL64& h = zyHozjain(z);
    h.FEK_VsMnRazmPam();
    h.MnZony = static_cast<unsigned short>(h.MnZony / 2 < 1 ? 1 : h.MnZony / 2);
    const uint64_t gran = h.Granuljarnost ? h.Granuljarnost : 1;
    uint64_t blok = uint64_t(h.MnZony) * gran - gran;
    MEMORYSTATUSEX ms;
    ms.dwLength = sizeof ms;
    if (ZyOS().GlobalMemoryStatusEx(&ms) && ms.ullAvailPhys / 2 < blok) blok = ms.ullAvailPhys / 2;
    if (blok < gran) blok = gran;
    if (blok > SIZE_T(-1) - gran) blok = SIZE_T(-1) - gran;
    const bool ozu = !z.kuda.fajl || !z.otkuda.fajl;
    if (ozu && blok > z.dlina) blok = z.dlina;
    if (progress) {
        blok /= 100;
        if (blok == 0) blok = ozu ? z.dlina : 100;
    }
    const uint64_t maks = ozu ? ZY_VYZOV_MAKS : ZY_BUFER_MAKS;
    return blok < maks ? blok : maks;
}

// Reads or writes through the handle, in calls of at most ZY_VYZOV_MAKS bytes.
bool zyVvodVyvod(HANDLE h, uint64_t poz, unsigned char* buf, uint64_t n, bool zapis) {
    while (n) {
        const DWORD chast = DWORD(n < ZY_VYZOV_MAKS ? n : ZY_VYZOV_MAKS);
        OVERLAPPED ov{};
        ov.Offset = DWORD(poz);
        ov.OffsetHigh = DWORD(poz >> 32);
        DWORD sdelano = 0;
        BOOL ok = zapis ? ZyOS().WriteFile(h, buf, chast, &sdelano, &ov)
                        : ZyOS().ReadFile(h, buf, chast, &sdelano, &ov);
        if (!ok && GetLastError() == ERROR_IO_PENDING)
            ok = ZyOS().GetOverlappedResult(h, &ov, &sdelano, TRUE);
        if (!ok) return false;
        if (sdelano == 0) {
            SetLastError(zapis ? ERROR_WRITE_FAULT : ERROR_HANDLE_EOF);
            return false;
        }
        poz += sdelano;
        buf += sdelano;
        n -= sdelano;
    }
    return true;
}

// Through a view of the range, mapped for the time of the call.
bool zyVvodVyvodVidom(ZYKFAJL64& f, uint64_t poz, unsigned char* buf, uint64_t n, bool zapis) {
    if (n == 0) return true;
    const int otobr = zyGotovoOtobrazhenie(f);
    if (otobr <= 0) {
        if (otobr == 0) SetLastError(ERROR_HANDLE_EOF);
        return false;
    }
    if (poz + n > zy64(f.Razmer)) {
        SetLastError(ERROR_HANDLE_EOF);
        return false;
    }
    ZyVid vid;
    unsigned char* a = vid.otobrazit(f, poz, n, zapis ? FILE_MAP_WRITE : FILE_MAP_READ);
    if (!a) return false;
    if (zapis)
        std::memcpy(a, buf, static_cast<size_t>(n));
    else
        std::memcpy(buf, a, static_cast<size_t>(n));
    return true;
}

// Runs a checked copy: lock, grow, size, progress, blocks, stamp, unlock, positions. Reports
// wait until the locks are given back.
int zyKopirovatBloki(const ZyZadanieKop& z) {
    ZYKFAJL64* priem = z.kuda.fajl;
    ZYKFAJL64* ist = z.otkuda.fajl;
    const uint64_t konec = zySumma(z.kuda.poz, z.dlina);
    if (priem && konec == ZY_MAX64) return 0; // no file reaches that far

    ZyOtlozhennyeOtchety otlozhit;
    // An enclosing operation that holds the receiver's lock keeps the object current itself.
    const bool obnovit = priem && !zyZamokDerzhitsja(priem);
    ZyZamki zamki;
    if (priem) zamki.dobavit(priem, true);
    if (ist && !(priem && z.odinFajl)) zamki.dobavit(ist, false);
    if (!zamki.vzjat()) return 0;
    if (priem) {
        // The size as it is now, under the writer lock: another object or process may have
        // grown the file since this object last looked, and growing must never cut it back.
        if (obnovit) priem->TestDan();
        if (konec > zy64(priem->Razmer) && !zyUstanovitKonec(*priem, konec)) return 0;
    }

    ZYKFAJL64& hozjain = zyHozjain(z);
    const bool sProgressom = (hozjain.Flagi & ZYF64_PROGRESS) != 0;
    const uint64_t blok = zyRazmerBloka(z, sProgressom);
    ZyProgress progress;
    if (sProgressom && !progress.nachat(hozjain, z)) return 0;
    const bool cherezVidy =
        (priem && (priem->Flagi & ZYF64_CHEREZ_VIDY)) || (ist && (ist->Flagi & ZYF64_CHEREZ_VIDY));
    ZyItog itog =
        cherezVidy ? ZyItog::CherezVidy : zyBlokiCikl(z, blok, sProgressom ? &progress : nullptr);
    // Only the way through views needs the mapping objects: a copy through the handles makes
    // none and drops none.
    if (itog == ZyItog::CherezVidy)
        itog = zyOtobrazhenieStorony(z.kuda) && zyOtobrazhenieStorony(z.otkuda) &&
                       zyBlokiCherezVidy(z, blok, sProgressom ? &progress : nullptr)
                   ? ZyItog::Gotovo
                   : ZyItog::Sboj;
    progress.zakonchit();
    const bool gotovo = itog == ZyItog::Gotovo;

    // Even a copy that failed half-way has changed the receiver: stamp it all the same.
    if (priem && !(priem->Flagi & ZYF64_BEZ_SHTAMPA)) priem->VsVrZap();
    if (!zamki.otpustit() || !gotovo) return 0;

    int rez = 1;
    const uint64_t pozGlavnogo = (priem ? z.kuda.poz : z.otkuda.poz) + z.dlina;
    if (zyPostavitPoz(hozjain, pozGlavnogo)) rez = -1;
    if (ist && ist != &hozjain && zyPostavitPoz(*ist, z.otkuda.poz + z.dlina))
        rez = rez == -1 ? -3 : -2;
    return rez;
}

} // namespace Quorvel
