// Copy, insert, delete and transfer of ZYKFAJL64: the argument checks of each form, then the
// block-copy engine (ZyBlokKop.h) for a copy, or a journaled change (ZyZhurnal.h) for an
// insert, a delete or a move, which a stopped process cannot leave half-done.
#include <windows.h>

#include <cstring>

#include "ZyBlokKop.h"
#include "ZyKFajl64Vnutr.h"
#include "ZyOtchet.h"
#include "ZyPlanKop.h"
#include "ZySistVyzovy.h"
#include "ZyZhurnal.h"

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

// The copy within one file of Kop(dst, src, len).
int zyKopVFajle(ZYKFAJL64& f, uint64_t d, uint64_t s, uint64_t n) {
    if (!zyZapisyvaemyj(f)) return 0;
    if (n == 0) return 1;
    zyObnovit(f);
    if (!zyVnutri(f, s, n)) return 0;
    if (d == s) {
        const uint64_t konec = zySumma(d, n);
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
    return zyKopirovatBloki(z);
}

// Gives up the zone and the mapping object of `f` (made again by its next access), so that
// this file may be cut: the system refuses to cut a file while a mapping object of it exists.
void zyOtpustitOtobrazhenie(ZYKFAJL64& f) {
    f.VwklPamjat();
    if (f.hOtobr) ZyOS().CloseHandle(f.hOtobr);
    f.hOtobr = nullptr;
}

// A write that lies inside one page of this size is carried out whole or not at all when its
// process is stopped: the system copies a page into its cache in one step.
constexpr uint64_t ZY_STRANICA = 4096;

// Inserts n bytes from memory at p of `f` (the writer lock held, the size current) when the
// new bytes and the bytes behind them lie inside one page: the new end is then one write, so
// the file is before or after at every moment and the change needs no journal. 1 done; 0 not
// such an insert, or its read failed (the file untouched: the journaled way follows); -1 the
// write failed (reported, the end written back).
int zyVstavitVStranicu(ZYKFAJL64& f, uint64_t p, uint64_t n, const void* ozu) {
    const uint64_t razmer = zy64(f.Razmer);
    if (p > razmer || n > ZY_STRANICA || p / ZY_STRANICA != (razmer + n - 1) / ZY_STRANICA ||
        (f.Flagi & ZYF64_CHEREZ_VIDY) || f.BazaZony || f.hOtobr || !zyZhurnalaNet(f.Imja))
        return 0;
    unsigned char b[ZY_STRANICA];
    const uint64_t hvost = razmer - p;
    if (!zyVvodVyvod(f.hFajl, p, b + n, hvost, false)) return 0;
    std::memcpy(b, ozu, static_cast<size_t>(n));
    if (zyVvodVyvod(f.hFajl, p, b, n + hvost, true)) {
        zyPerechitatInfo(f);
        if (!(f.Flagi & ZYF64_BEZ_SHTAMPA)) f.VsVrZap();
        return 1;
    }
    // A write refused part-way (a full disk): the old end back, as the journal's undo would.
    const DWORD oshibka = GetLastError();
    ZyOtchet(ZY_KOP_V_FAJLE, 2);
    zyVvodVyvod(f.hFajl, p, b + n, hvost, true);
    zyUstanovitKonec(f, razmer, false);
    SetLastError(oshibka);
    return -1;
}

// Inserts n (> 0) bytes at p of `f` (writable) from memory, from `f` itself at `s`, or from
// `drugoj` at `s`, as one journaled change under the writer lock (and the source's reader
// lock); the size is taken under the lock. 1 or -1 .. -3 as the copies give, 0 on failure.
int zyVstavit(ZYKFAJL64& f, uint64_t p, uint64_t n, const void* ozu, ZYKFAJL64* drugoj,
              uint64_t s) {
    if (zySumma(p, n) == ZY_MAX64) return 0; // beyond any file
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(&f, true);
    if (drugoj) zamki.dobavit(drugoj, false);
    if (!zamki.vzjat()) return 0;
    f.TestDan();
    if (drugoj) zyObnovit(*drugoj);
    if (!ozu && !zyVnutri(drugoj ? *drugoj : f, s, n)) return 0;
    const int vStranicu = ozu ? zyVstavitVStranicu(f, p, n, ozu) : 0;
    if (vStranicu < 0) return 0;
    if (vStranicu > 0) {
        const int rez = zyPostavitPoz(f, p + n) ? -1 : 1;
        return zamki.otpustit() ? rez : 0;
    }
    // Making the journal recovers one a stopped change left (and refreshes the object); the
    // source is checked again against the size then.
    ZyZhurnal zhurnal(f);
    if (!zhurnal.sozdat() || (!ozu && !zyVnutri(drugoj ? *drugoj : f, s, n))) return 0;
    const uint32_t otkuda = ozu ? ZY_VSTAVKA_OZU : drugoj ? ZY_VSTAVKA_DRUGOJ : ZY_VSTAVKA_FAJL;
    const ZyPlan plan = zyPlanVstavki(zy64(f.Razmer), p, n, otkuda, s, ZY_MALYJ_KONEC);
    if ((ozu && !zhurnal.pisatDannye(0, static_cast<const unsigned char*>(ozu), n)) ||
        !zhurnal.izmenit(plan, drugoj, s))
        return 0;
    int rez = zyPostavitPoz(f, p + n) ? -1 : 1;
    if (drugoj && zyPostavitPoz(*drugoj, s + n)) rez = rez == -1 ? -3 : -2;
    zhurnal.zakryt();
    return zamki.otpustit() ? rez : 0;
}

// True when both objects hold the same file: the same volume and file index, whatever path
// (a hard link, a short name) each was opened by.
bool zyOdnaSushnost(const ZYKFAJL64& a, const ZYKFAJL64& b) {
    return a.Info && b.Info && a.Info->dwVolumeSerialNumber == b.Info->dwVolumeSerialNumber &&
           a.Info->nFileIndexHigh == b.Info->nFileIndexHigh &&
           a.Info->nFileIndexLow == b.Info->nFileIndexLow;
}

} // namespace

// One file: the same path, ignoring case, or the same identity.
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

// Copies len bytes within this file from src to dst (the ranges may overlap).
int ZYKFAJL64::Kop(const ZYKNB64& dst, const ZYKNB64& src, const ZYKNB64& len) {
    return zyKopVFajle(*this, zy64(dst), zy64(src), zy64(len));
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

// Inserts at pos a copy of len bytes at src of this file (src counted before the insert).
int ZYKFAJL64::Vkl(const ZYKNB64& pos, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t n = zy64(len);
    if (n == 0) return 1;
    return zyVstavit(*this, zy64(pos), n, nullptr, nullptr, zy64(src));
}

// Inserts len bytes from memory at pos.
int ZYKFAJL64::Vkl(const ZYKNB64& pos, const void* mem, unsigned long len) {
    if (!zyZapisyvaemyj(*this) || !mem) return 0;
    if (len == 0) return 1;
    return zyVstavit(*this, zy64(pos), len, mem, nullptr, 0);
}

// Inserts at pos a copy of len bytes at src of `from` (the same path: the same-file insert,
// whose clamped position -1 counts for both objects, -3).
int ZYKFAJL64::Vkl(const ZYKNB64& pos, ZYKFAJL64& from, const ZYKNB64& src, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    const uint64_t n = zy64(len);
    if (n == 0) return 1;
    if (!from.hFajl || !from.Imja) return 0;
    const int odin = zyOdinPut(*this, from, ZY_VKL_FAJLY, 1);
    if (odin < 0) return 0;
    if (odin == 1) {
        const int r = Vkl(pos, src, len);
        return r == -1 ? -3 : r;
    }
    return zyVstavit(*this, zy64(pos), n, nullptr, &from, zy64(src));
}

// Deletes len bytes at pos: 1 (position at pos), -1 the file was cut at pos (position at the
// last index), -4 the file is now empty, 0 on failure. A delete up to the end is one cut;
// any other is a journaled change. A file that cannot be cut (another object or process has
// it open, so it is mapped) is reported and left as it was.
int ZYKFAJL64::Vwkl(const ZYKNB64& pos, const ZYKNB64& len) {
    if (!zyZapisyvaemyj(*this)) return 0;
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, true);
    if (!zamki.vzjat()) return 0;
    TestDan(); // the size under the writer lock
    const uint64_t p = zy64(pos), n = zy64(len);
    // A journal a stopped change left is recovered before the size counts: by the look for
    // one before a cut to the end (or nothing), or by making the journal of this change.
    ZyZhurnal zhurnal(*this);
    const bool bezZhurnala = n == 0 || zySumma(p, n) > zy64(PoslIndeks);
    if (bezZhurnala ? !zyBezOstatka(*this) : !zhurnal.sozdat()) return 0;
    const uint64_t razmer = zy64(Razmer);
    if (p > zy64(PoslIndeks)) return 0;
    if (n == 0) return 1;
    int rez = 1;
    if (zySumma(p, n) > zy64(PoslIndeks)) {
        if (!zyUstanovitKonec(*this, p)) return 0;
        Poz = PoslIndeks;
        rez = zy64(Razmer) == 0 ? -4 : -1;
    } else {
        if ((!zhurnal.sozdan() && !zhurnal.sozdat()) ||
            !zhurnal.izmenit(zyPlanUdalenija(razmer, p, n, ZY_MALYJ_KONEC)))
            return 0;
        Poz = zyNB(p);
    }
    zhurnal.zakryt();
    return zamki.otpustit() ? rez : 0;
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
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, true);
    if (!zamki.vzjat() || !zyBezOstatka(*this)) return 0;
    zyObnovit(*this);
    if (!zyVnutri(*this, s, n)) return 0;
    // NOTE: moving a block to a point inside itself changes nothing; done as insert and
    // delete it would lose the bytes between the source and the destination.
    if (d > s && d < s + n) return zamki.otpustit() ? 1 : 0;
    const uint64_t razmer = zy64(Razmer);
    if (zySumma(d, n) == ZY_MAX64) return 0; // no file reaches that far
    const ZyPlan plan = zyPlanPeremeshenija(razmer, d, s, n);
    if (plan.kol) {
        ZyZhurnal zhurnal(*this);
        if (!zhurnal.sozdat() || !zhurnal.izmenit(plan)) return 0;
    }
    // Where the insert would have left the position, against the file as it is now.
    const uint64_t poz = d < razmer ? d + n : d + n - 1;
    const uint64_t posl = zy64(PoslIndeks);
    Poz = zyNB(poz > posl ? posl : poz);
    if (!zamki.otpustit()) return 0;
    return poz >= posl ? -1 : 1;
}

// Moves len bytes of the file at src into memory: a read, then the delete, under one writer
// lock (no one changes the bytes between); Vwkl's result.
int ZYKFAJL64::Peredat(void* mem, const ZYKNB64& src, unsigned long len) {
    if (!mem) return 0;
    if (len == 0) return 1;
    // A file that cannot lose the bytes gives nothing, rather than a copy reported as failed.
    if (!zyZapisyvaemyj(*this)) return 0;
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, true);
    if (!zamki.vzjat() || !Kop(mem, src, len)) return 0;
    const int r = Vwkl(src, zyNB(len));
    return zamki.otpustit() ? r : 0;
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
    // Both writer locks for the whole move: the bytes inserted here are the bytes deleted
    // there. Each half is a journaled change: a stop between them leaves the bytes in both
    // files, never in neither.
    ZyOtlozhennyeOtchety otlozhit;
    ZyZamki zamki;
    zamki.dobavit(this, true);
    zamki.dobavit(&from, true);
    if (!zamki.vzjat()) return 0;
    int r = Vkl(dst, from, src, len);
    if (r == 0) return 0;
    if (r == -2) r = 1;
    const int s = from.Vwkl(src, len);
    if (!zamki.otpustit() || s == 0) return 0;
    const bool priemSdvinut = r == -1 || r == -3;
    if (priemSdvinut && s == 1) return -1;
    if (r == 1 && s == -1) return -2;
    if (priemSdvinut && s == -1) return -3;
    if (r == 1 && s == -4) return -4;
    if (priemSdvinut && s == -4) return -5;
    return 1;
}

} // namespace Quorvel
