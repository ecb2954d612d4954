// The block-copy engine of ZYKFAJL64: locks, block size, progress and the block loop.
#include <windows.h>

#include <cstring>
#include <new>
#include <utility>

#include "ZyBlokKop.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZyPeremeshenie.h"
#include "ZyProgres.h"
#include "ZySistVyzovy.h"
#include "ZyStandart.h"

namespace Quorvel {

namespace {

constexpr DWORD ZY_PAUZA_POSYLKI = 30;  // ms between attempts to reach a starting window
constexpr int ZY_POPYTOK_POSYLKI = 300; // at most about 9 s of attempts

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

// The writer and reader sides one copy holds, taken in the order of the files' names (so two
// processes copying between the same two files in opposite directions cannot deadlock) and
// given back in reverse.
class ZyZamki {
public:
    ~ZyZamki() { otpustit(); }

    // Adds the writer (zapis) or reader side of `f`.
    void dobavit(ZYKFAJL64* f, bool zapis) { z_[n_++] = {f, zapis, false}; }

    // Takes every side; on a failure gives back those taken and returns false.
    bool vzjat() {
        if (n_ == 2 && poImeni(z_[1].f, z_[0].f)) std::swap(z_[0], z_[1]);
        for (int i = 0; i < n_; ++i) {
            Z& z = z_[i];
            z.vzjat = z.zapis ? z.f->FEK_SinhronZapisPref() : z.f->FEK_SinhronChtenPref();
            if (!z.vzjat) {
                otpustit();
                return false;
            }
        }
        return true;
    }

    // Runs the suffix of every side taken; true when all of them succeeded.
    bool otpustit() {
        bool vse = true;
        for (int i = n_ - 1; i >= 0; --i) {
            Z& z = z_[i];
            if (!z.vzjat) continue;
            z.vzjat = false;
            vse &= (z.zapis ? z.f->FEK_SinhronZapisSyf() : z.f->FEK_SinhronChtenSyf()) != 0;
        }
        return vse;
    }

private:
    struct Z {
        ZYKFAJL64* f;
        bool zapis;
        bool vzjat;
    };

    // True when a's lock objects sort before b's (upper-cased paths, byte order).
    static bool poImeni(const ZYKFAJL64* a, const ZYKFAJL64* b) {
        char ia[ZY_BUF_IMENI_SINHRON], ib[ZY_BUF_IMENI_SINHRON];
        zyImjaSinhron(a->Imja, 'M', ia);
        zyImjaSinhron(b->Imja, 'M', ib);
        return std::strcmp(ia, ib) < 0;
    }

    Z z_[2] = {};
    int n_ = 0;
};

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

// The progress window of one copy. Started when the object shows progress and has no window
// yet; told the percentage after every block; closed at the end by the copy that started it
// (a window another operation started stays that operation's).
class ZyProgress {
public:
    ~ZyProgress() { zakonchit(); }

    // Starts (or reuses) the window and resets the bar. False after a report.
    bool nachat(ZYKFAJL64& f, const ZyZadanieKop& z) {
        f_ = &f;
        if (!f.PotokProgressa && !zapustit(f, z)) return false;
        f.Sdelano = zyNB(0);
        f.EdProgressa = zyNB(z.dlina / 100);
        posylatSbros();
        return true;
    }

    // Counts a finished block and posts the percentage.
    void blok(uint64_t n) {
        if (!f_) return;
        const uint64_t sdelano = zySumma(zy64(f_->Sdelano), n);
        f_->Sdelano = zyNB(sdelano);
        uint64_t procent = zyChastnoe(sdelano, zy64(f_->EdProgressa));
        if (procent > 100) procent = 100;
        PostThreadMessageA(f_->PotokProgressa, ZYPR_POZICIJA, WPARAM(procent), 0);
    }

    // Closes a window this copy started.
    void zakonchit() {
        if (zapustil_) {
            PostThreadMessageA(f_->PotokProgressa, ZYPR_ZAKRYT, 0, 0);
            f_->PotokProgressa = 0;
            zapustil_ = false;
        }
        if (potok_) CloseHandle(potok_);
        potok_ = nullptr;
        f_ = nullptr;
    }

private:
    // Fills a text block and starts the window's thread, which owns the block from then on.
    bool zapustit(ZYKFAJL64& f, const ZyZadanieKop& z) {
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

    // Posts the reset, retrying every 30 ms while the new thread has no message queue yet;
    // gives up when the thread has ended or after about 9 s.
    void posylatSbros() {
        for (int i = 0; i < ZY_POPYTOK_POSYLKI; ++i) {
            if (PostThreadMessageA(f_->PotokProgressa, ZYPR_POZICIJA, 0, 0)) return;
            if (!potok_) return; // a window of another operation: its queue exists or is gone
            if (WaitForSingleObject(potok_, ZY_PAUZA_POSYLKI) != WAIT_TIMEOUT) return;
        }
    }

    ZYKFAJL64* f_ = nullptr;
    HANDLE potok_ = nullptr;
    bool zapustil_ = false;
};

// The object whose memory sizes the blocks and whose flag asks for progress: the receiver,
// or the source object when copying into memory.
ZYKFAJL64& zyHozjain(const ZyZadanieKop& z) {
    return z.kuda.fajl ? *z.kuda.fajl : *z.otkuda.fajl;
}

// Block length: a half of the zone multiplier measured now, less one granularity unit, at most
// half the free physical memory; at least one granularity unit (the smallest view worth a
// mapping) so that a machine short of memory still makes progress; memory copies at most the
// length; with progress a hundredth of that.
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
    return blok;
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

// The address of one block of a side: its view mapped, or its memory.
unsigned char* zyAdresBloka(const ZyZadanieKop& z, const ZyStorona& s, bool priemnik,
                            uint64_t smeshenie, uint64_t n, bool posl, ZyVid& vid) {
    if (!s.fajl) return s.ozu + smeshenie;
    DWORD dostup = priemnik ? FILE_MAP_WRITE : FILE_MAP_READ;
    if (!z.kuda.fajl) dostup = (s.fajl->Flagi & ZYF64_ZAPIS) ? FILE_MAP_WRITE : FILE_MAP_READ;
    unsigned char* a = vid.otobrazit(*s.fajl, s.poz + smeshenie, n, dostup);
    if (!a) ZyOtchet(z.funkcija, posl ? s.serialPosl : s.serial);
    return a;
}

// The block loop. Blocks go from the start of the ranges when the destination lies below the
// source in one file (or the sides are different files or memory), else from the end, so an
// overlapping copy never reads bytes it has already overwritten. False after a report.
bool zyBlokiCikl(const ZyZadanieKop& z, uint64_t blok, ZyProgress* progress) {
    const bool vverh = !z.odinFajl || z.kuda.poz < z.otkuda.poz;
    const uint64_t rasstojanie =
        z.odinFajl ? (vverh ? z.otkuda.poz - z.kuda.poz : z.kuda.poz - z.otkuda.poz) : 0;
    for (uint64_t gotovo = 0; gotovo < z.dlina;) {
        const uint64_t n = z.dlina - gotovo < blok ? z.dlina - gotovo : blok;
        const uint64_t smeshenie = vverh ? gotovo : z.dlina - gotovo - n;
        const bool posl = gotovo + n == z.dlina;
        ZyVid vidIst, vidPriem;
        const unsigned char* s = zyAdresBloka(z, z.otkuda, false, smeshenie, n, posl, vidIst);
        if (!s) return false;
        unsigned char* d = zyAdresBloka(z, z.kuda, true, smeshenie, n, posl, vidPriem);
        if (!d) return false;
        ZyPeremestit(d, s, static_cast<size_t>(n), rasstojanie, vverh);
        gotovo += n;
        if (progress) progress->blok(n);
    }
    return true;
}

// A new position past its object's last index is clamped to it; true when it was.
bool zyPostavitPoz(ZYKFAJL64& f, uint64_t poz) {
    if (poz > zy64(f.PoslIndeks)) {
        f.Poz = f.PoslIndeks;
        return true;
    }
    f.Poz = zyNB(poz);
    return false;
}

} // namespace

// Runs a checked copy: lock, grow, size, progress, blocks, stamp, unlock, positions. Reports
// wait until the locks are given back.
int zyKopirovatBloki(const ZyZadanieKop& z) {
    ZYKFAJL64* priem = z.kuda.fajl;
    ZYKFAJL64* ist = z.otkuda.fajl;
    const uint64_t konec = zySumma(z.kuda.poz, z.dlina);
    if (priem && konec == ZY_MAX64) return 0; // no file reaches that far

    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    if (priem) zamki.dobavit(priem, true);
    if (ist && !(priem && z.odinFajl)) zamki.dobavit(ist, false);
    if (!zamki.vzjat()) return 0;
    if (priem) {
        // The size as it is now, under the writer lock: another object or process may have
        // grown the file since this object last looked, and growing must never cut it back.
        priem->TestDan();
        if (konec > zy64(priem->Razmer) && !zyUstanovitKonec(*priem, konec)) return 0;
    }
    if (!zyOtobrazhenieStorony(z.kuda) || !zyOtobrazhenieStorony(z.otkuda)) return 0;

    ZYKFAJL64& hozjain = zyHozjain(z);
    const bool sProgressom = (hozjain.Flagi & ZYF64_PROGRESS) != 0;
    const uint64_t blok = zyRazmerBloka(z, sProgressom);
    ZyProgress progress;
    if (sProgressom && !progress.nachat(hozjain, z)) return 0;
    const bool gotovo = zyBlokiCikl(z, blok, sProgressom ? &progress : nullptr);
    progress.zakonchit();

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
