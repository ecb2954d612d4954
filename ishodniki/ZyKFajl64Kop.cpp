// Copy, insert, delete and transfer of ZYKFAJL64: the argument checks of each form, then one
// call of the block-copy engine (ZyBlokKop.h) per block move.
#include <windows.h>

#include "ZyBlokKop.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZyPlanKop.h"
#include "ZySistVyzovy.h"

namespace Quorvel {

namespace {

constexpr const char* ZY_KOP_V_FAJLE = "Kop(ksZYKNB64, ksZYKNB64, ksZYKNB64)";
constexpr const char* ZY_KOP_IZ_OZU = "Kop(ksZYKNB64, kINDEKS, NB32)";
constexpr const char* ZY_KOP_V_OZU = "Kop(kINDEKS, ksZYKNB64, NB32)";
constexpr const char* ZY_KOP_FAJLY = "Kop(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)";
constexpr const char* ZY_VKL_FAJLY = "Vkl(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)";
constexpr const char* ZY_PEREDAT_FAJLY = "Peredat(ksZYKNB64, sZYKFAJL64, ksZYKNB64, ksZYKNB64)";

// True for a writable open file.
bool zyZapisyvaemyj(const ZYKFAJL64& f) {
    return f.hFajl && (f.Flagi & ZYF64_ZAPIS);
}

// The source refresh of a copy (skipped with flag bit 20).
void zyObnovit(ZYKFAJL64& f) {
    if (!(f.Flagi & ZYF64_BEZ_OBNOVL)) f.TestDan();
}

// True when [src, src + n) lies inside the file.
bool zyVnutri(const ZYKFAJL64& f, uint64_t src, uint64_t n) {
    return src <= zy64(f.PoslIndeks) && n <= zyRaznost(zy64(f.Razmer), src);
}

// True when both objects hold the same file: the same volume and file index, whatever path
// (a hard link, a short name) each was opened by.
bool zyOdnaSushnost(const ZYKFAJL64& a, const ZYKFAJL64& b) {
    return a.Info && b.Info && a.Info->dwVolumeSerialNumber == b.Info->dwVolumeSerialNumber &&
           a.Info->nFileIndexHigh == b.Info->nFileIndexHigh &&
           a.Info->nFileIndexLow == b.Info->nFileIndexLow;
}

// Whether two objects show one file: their full paths compared ignoring case (the path names
// the shared lock objects), or the same file identity. 1 the same file, 0 different files,
// -1 the comparison failed (reported with `funkcija` and `serial`).
int zyOdinPut(const ZYKFAJL64& a, const ZYKFAJL64& b, const char* funkcija, unsigned serial) {
    if (&a == &b) return 1;
    const int r =
        ZyOS().CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.Imja, -1, b.Imja, -1);
    if (r == 0) {
        ZyOtchet(funkcija, serial);
        return -1;
    }
    return r == CSTR_EQUAL || zyOdnaSushnost(a, b) ? 1 : 0;
}

// A file side of a copy with its view-failure serials.
ZyStorona zyFajl(ZYKFAJL64& f, uint64_t poz, unsigned serial, unsigned serialPosl) {
    ZyStorona s;
    s.fajl = &f;
    s.poz = poz;
    s.serial = serial;
    s.serialPosl = serialPosl;
    return s;
}

// A memory side of a copy.
ZyStorona zyOzu(const void* p) {
    ZyStorona s;
    s.ozu = static_cast<unsigned char*>(const_cast<void*>(p));
    return s;
}

// The copy within one file of Kop(dst, src, len); `sdelano`, when set, gets the bytes the
// blocks moved before a failure (ZyPlanProbel tells where the copy then left its room).
int zyKopVFajle(ZYKFAJL64& f, uint64_t d, uint64_t s, uint64_t n, uint64_t* sdelano) {
    if (sdelano) *sdelano = 0;
    if (!zyZapisyvaemyj(f)) return 0;
    if (n == 0) return 1;
    zyObnovit(f);
    if (!zyVnutri(f, s, n)) return 0;
    if (d == s) {
        const uint64_t konec = zySumma(d, n);
        if (sdelano) *sdelano = n;
        if (konec > zy64(f.PoslIndeks)) {
            f.Poz = f.PoslIndeks;
            return -1;
        }
        f.Poz = zyNB(konec);
        return 1;
    }
    ZyZadanieKop z;
    z.funkcija = ZY_KOP_V_FAJLE;
    z.kuda = zyFajl(f, d, 2, 3);
    z.otkuda = zyFajl(f, s, 1, 1);
    z.dlina = n;
    z.odinFajl = true;
    z.sdelano = sdelano;
    return zyKopirovatBloki(z);
}

// Gives up the zone and the mapping object of `f` (made again by its next access), so that
// this file may be cut: the system refuses to cut a file while a mapping object of it exists.
void zyOtpustitOtobrazhenie(ZYKFAJL64& f) {
    f.VwklPamjat();
    if (f.hOtobr) ZyOS().CloseHandle(f.hOtobr);
    f.hOtobr = nullptr;
}

// Makes room for `n` bytes at `p`: the file grows to p + n when p is at or past its end,
// otherwise the bytes from p on move up by n. False on failure.
bool zyRazdvinut(ZYKFAJL64& f, uint64_t p, uint64_t n) {
    const uint64_t razmer = zy64(f.Razmer);
    const uint64_t konec = zySumma(p, n);
    if (konec == ZY_MAX64) return false; // beyond any file; FIN would read MAX as "after Poz"
    if (p >= razmer) return zyVyrastit(f, konec) != 0;
    return f.Kop(zyNB(konec), zyNB(p), zyNB(razmer - p)) != 0;
}

// Bytes kept in memory by ZyZapas; a longer range goes to a temporary file.
constexpr uint64_t ZY_ZAPAS_OZU = 16ull << 20;

// A copy of a range of a file kept aside while the file is rearranged: in memory when it is
// small, else in a temporary file (deleted when this goes).
class ZyZapas {
public:
    ZyZapas() = default;
    ~ZyZapas() {
        if (ozu_) HeapFree(GetProcessHeap(), 0, ozu_);
    }
    ZyZapas(const ZyZapas&) = delete;
    ZyZapas& operator=(const ZyZapas&) = delete;

    // Copies n bytes at `poz` of `f` aside. False after a report.
    bool sohranit(ZYKFAJL64& f, uint64_t poz, uint64_t n) {
        n_ = n;
        if (n <= ZY_ZAPAS_OZU) {
            ozu_ = static_cast<unsigned char*>(ZyOS().HeapAlloc(GetProcessHeap(), 0, SIZE_T(n)));
            if (ozu_) return f.Kop(ozu_, zyNB(poz), static_cast<unsigned long>(n)) != 0;
        }
        if (!vremennyj_(reinterpret_cast<const char*>(-1), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr))
            return false;
        return vremennyj_.Kop(zyNB(0), f, zyNB(poz), zyNB(n)) != 0;
    }

    // Writes the bytes kept aside to `poz` of `f`. False after a report.
    bool vernut(ZYKFAJL64& f, uint64_t poz) {
        if (ozu_) return f.Kop(zyNB(poz), ozu_, static_cast<unsigned long>(n_)) != 0;
        return f.Kop(zyNB(poz), vremennyj_, zyNB(0), zyNB(n_)) != 0;
    }

private:
    unsigned char* ozu_ = nullptr;
    uint64_t n_ = 0;
    ZYKFAJL64 vremennyj_;
};

// Runs a rearrangement of `f` planned by ZyPlanKop: keeps its bytes aside, moves the others
// within the file, writes the kept bytes back. When the move or the write-back fails, the bytes
// moved so far go back and the kept bytes return to their place: the file is as it was. Should
// that fail as well, the kept bytes go into the room the move left where it stopped, so that
// the file still holds every byte it held. False after a report.
bool zyPrimenitPlan(ZYKFAJL64& f, const ZyPlanZapasa& plan) {
    if (plan.zapasDlina == 0 && plan.kopDlina == 0) return true;
    ZyZapas zapas;
    if (!zapas.sohranit(f, plan.zapasPoz, plan.zapasDlina)) return false;
    uint64_t sdelano = 0, nazad = 0;
    if (zyKopVFajle(f, plan.kopKuda, plan.kopOtkuda, plan.kopDlina, &sdelano) &&
        zapas.vernut(f, plan.vernutPoz))
        return true;
    if (sdelano) {
        const ZyKopija o = ZyPlanOtkata(plan.kopKuda, plan.kopOtkuda, plan.kopDlina, sdelano);
        zyKopVFajle(f, o.kuda, o.otkuda, o.dlina, &nazad);
    }
    zapas.vernut(f, ZyPlanProbel(plan.kopKuda, plan.kopOtkuda, plan.kopDlina, sdelano - nazad));
    return false;
}

} // namespace

// Copies len bytes within this file from src to dst (the ranges may overlap).
int ZYKFAJL64::Kop(const ZYKNB64& dst, const ZYKNB64& src, const ZYKNB64& len) {
    return zyKopVFajle(*this, zy64(dst), zy64(src), zy64(len), nullptr);
}

// Writes len bytes from memory to the file at dst, growing the file as needed.
int ZYKFAJL64::Kop(const ZYKNB64& dst, const void* mem, unsigned long len) {
    if (!zyZapisyvaemyj(*this) || !mem) return 0;
    if (len == 0) return 1;
    ZyZadanieKop z;
    z.funkcija = ZY_KOP_IZ_OZU;
    z.kuda = zyFajl(*this, zy64(dst), 1, 2);
    z.otkuda = zyOzu(mem);
    z.dlina = len;
    return zyKopirovatBloki(z);
}

// Reads len bytes of the file at src into memory; the whole range must lie in the file.
int ZYKFAJL64::Kop(void* mem, const ZYKNB64& src, unsigned long len) {
    if (!mem || !hFajl) return 0;
    if (len == 0) return 1;
    zyObnovit(*this);
    const uint64_t s = zy64(src);
    if (!zyVnutri(*this, s, len)) return 0;
    ZyZadanieKop z;
    z.funkcija = ZY_KOP_V_OZU;
    z.kuda = zyOzu(mem);
    z.otkuda = zyFajl(*this, s, 1, 2);
    z.dlina = len;
    return zyKopirovatBloki(z);
}

// Copies len bytes at src of `from` to dst of this file. Two objects of one path (in any
// letter case) count as one file: the copy is overlap-safe and takes no reader side.
int ZYKFAJL64::Kop(const ZYKNB64& dst, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t d = zy64(dst), s = zy64(src), n = zy64(len);
    if (n == 0) return 1;
    if (!from.hFajl || !from.Imja) return 0;
    const int odin = zyOdinPut(*this, from, ZY_KOP_FAJLY, 0);
    if (odin < 0) return 0;
    zyObnovit(from);
    if (!zyVnutri(from, s, n)) return 0;
    ZyZadanieKop z;
    z.funkcija = ZY_KOP_FAJLY;
    z.kuda = zyFajl(*this, d, 1, 1);
    z.otkuda = zyFajl(from, s, 1, 1);
    z.dlina = n;
    z.odinFajl = odin == 1;
    return zyKopirovatBloki(z);
}

// Inserts at pos a copy of len bytes at src of this file. NOTE: the positions are taken by
// value first: a caller may pass the object's own fields (Razmer, Poz), which the insert
// changes on its way.
int ZYKFAJL64::Vkl(const ZYKNB64& pos, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t p = zy64(pos), s = zy64(src), n = zy64(len);
    if (n == 0) return 1;
    zyObnovit(*this);
    if (!zyVnutri(*this, s, n) || !zyRazdvinut(*this, p, n)) return 0;
    return Kop(zyNB(p), zyNB(ZyIstochnikPosleSdviga(s, p, n)), zyNB(n));
}

// Inserts len bytes from memory at pos (taken by value first, as above).
int ZYKFAJL64::Vkl(const ZYKNB64& pos, const void* mem, unsigned long len) {
    if (!zyZapisyvaemyj(*this) || !mem) return 0;
    if (len == 0) return 1;
    zyObnovit(*this);
    const uint64_t p = zy64(pos);
    if (!zyRazdvinut(*this, p, len)) return 0;
    return Kop(zyNB(p), mem, len);
}

// Inserts at pos a copy of len bytes at src of `from` (the same path: the same-file insert,
// whose clamped position -1 counts for both objects, -3).
int ZYKFAJL64::Vkl(const ZYKNB64& pos, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t s = zy64(src), n = zy64(len);
    if (n == 0) return 1;
    if (!from.hFajl || !from.Imja) return 0;
    const int odin = zyOdinPut(*this, from, ZY_VKL_FAJLY, 1);
    if (odin < 0) return 0;
    if (odin == 1) {
        const int r = Vkl(pos, src, len);
        return r == -1 ? -3 : r;
    }
    zyObnovit(from);
    zyObnovit(*this);
    const uint64_t p = zy64(pos);
    if (!zyVnutri(from, s, n) || !zyRazdvinut(*this, p, n)) return 0;
    return Kop(zyNB(p), from, zyNB(s), zyNB(n));
}

// Deletes len bytes at pos: 1 (position at pos), -1 the file was cut at pos (position at the
// last index), -4 the file is now empty, 0 on failure. The file is cut first: a file that
// cannot be cut (another object or process has it open, so it is mapped) is reported and
// left exactly as it was. The end cut off is kept aside and written back behind the tail.
int ZYKFAJL64::Vwkl(const ZYKNB64& pos, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    zyObnovit(*this);
    const uint64_t p = zy64(pos), n = zy64(len);
    if (p > zy64(PoslIndeks)) return 0;
    if (n == 0) return 1;
    const uint64_t razmer = zy64(Razmer);
    if (zySumma(p, n) > zy64(PoslIndeks)) {
        if (!FIN(pos)) return 0;
        Poz = PoslIndeks;
        return zy64(Razmer) == 0 ? -4 : -1;
    }
    const ZyPlanZapasa plan = ZyPlanUdalit(razmer, p, n);
    ZyZapas zapas;
    if (!zapas.sohranit(*this, plan.zapasPoz, plan.zapasDlina)) return 0;
    if (FIN(zyNB(razmer - n)) &&
        (!plan.kopDlina || Kop(zyNB(plan.kopKuda), zyNB(plan.kopOtkuda), zyNB(plan.kopDlina))) &&
        zapas.vernut(*this, plan.vernutPoz)) {
        Poz = zyNB(p);
        return 1;
    }
    // Once the file is cut, the end kept aside goes back where it was: every byte not to be
    // deleted is then in the file again, in order, with the room of the deleted bytes where
    // the tail stopped moving down (exactly as before when it did not move).
    if (zy64(Razmer) < razmer) zapas.vernut(*this, razmer - plan.zapasDlina);
    return 0;
}

// Moves len bytes within this file from src to dst (dst counted in the file as it was). The
// result and position are those of an insert at dst followed by the delete of the source,
// but the bytes are swapped in place: the file keeps its size (it only grows when dst lies
// past its end), so a move needs no cut and works while others have the file open. A
// destination inside the source range leaves the file as it is.
int ZYKFAJL64::Peredat(const ZYKNB64& dst, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t d = zy64(dst), s = zy64(src), n = zy64(len);
    if (d == s || n == 0) return 1;
    zyObnovit(*this);
    if (!zyVnutri(*this, s, n)) return 0;
    // NOTE: moving a block to a point inside itself changes nothing; done as insert and
    // delete it would lose the bytes between the source and the destination.
    if (d > s && d < s + n) return 1;
    const uint64_t razmer = zy64(Razmer);
    if (zySumma(d, n) == ZY_MAX64) return 0; // no file reaches that far
    if (d > razmer && !zyVyrastit(*this, d)) return 0;
    if (!zyPrimenitPlan(*this, ZyPlanPeremestit(d, s, n))) return 0;
    // Where the insert would have left the position, against the file as it is now.
    const uint64_t poz = d < razmer ? d + n : d + n - 1;
    const uint64_t posl = zy64(PoslIndeks);
    Poz = zyNB(poz > posl ? posl : poz);
    return poz >= posl ? -1 : 1;
}

// Moves len bytes of the file at src into memory: a read, then the delete; Vwkl's result.
int ZYKFAJL64::Peredat(void* mem, const ZYKNB64& src, unsigned long len) {
    if (!mem) return 0;
    if (len == 0) return 1;
    // A file that cannot lose the bytes gives nothing, rather than a copy reported as failed.
    if (!zyZapisyvaemyj(*this)) return 0;
    if (!Kop(mem, src, len)) return 0;
    return Vwkl(src, zyNB(len));
}

// Moves len bytes at src of `from` to dst of this file: the insert here, the delete there.
int ZYKFAJL64::Peredat(const ZYKNB64& dst, ZYKFAJL64& from, const ZYKNB64& src,
                       const ZYKNB64& len) {
    if (zy64(len) == 0) return 1;
    if (!zyZapisyvaemyj(*this) || !from.hFajl || !from.Imja) return 0;
    const int odin = zyOdinPut(*this, from, ZY_PEREDAT_FAJLY, 1);
    if (odin < 0) return 0;
    if (odin == 1) {
        if (&from != this) zyOtpustitOtobrazhenie(from);
        const int r = Peredat(dst, src, len);
        return r == -1 ? -3 : r;
    }
    // A source that cannot lose the bytes is refused before anything is inserted here.
    if (!zyZapisyvaemyj(from)) return 0;
    int r = Vkl(dst, from, src, len);
    if (r == 0) return 0;
    if (r == -2) r = 1;
    const int s = from.Vwkl(src, len);
    if (s == 0) return 0;
    const bool priemSdvinut = r == -1 || r == -3;
    if (priemSdvinut && s == 1) return -1;
    if (r == 1 && s == -1) return -2;
    if (priemSdvinut && s == -1) return -3;
    if (r == 1 && s == -4) return -4;
    if (priemSdvinut && s == -4) return -5;
    return 1;
}

} // namespace Quorvel
