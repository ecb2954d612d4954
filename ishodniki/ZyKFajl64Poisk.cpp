// Pattern search of ZYKFAJL64 (VzPozStr): the n-th occurrence forward or backward, on a stride,
// inside the scan zone, exactly or through byte tables, read through the object's zones under
// the reader lock.
//
// Each step addresses one byte with operator[] and scans the part of the mapped zone around it
// (ZyKandidaty.h). An occurrence that starts in the zone but ends past it is compared piece by
// piece through the zones that follow, so no occurrence is passed over, with or without a
// stride, whatever the length of the pattern.
#include <windows.h>

#include "ZyKFajl64Vnutr.h"
#include "ZyKandidaty.h"

namespace Quorvel {

namespace {

// The built-in table: Latin A-Z <-> a-z and the Windows-1251 Cyrillic letters (0xA8 <-> 0xB8,
// 0xC0-0xDF <-> 0xE0-0xFF) match regardless of case.
struct ZyTablicaRegistra {
    unsigned char t[256];
    ZyTablicaRegistra() {
        for (unsigned b = 0; b < 256; ++b)
            t[b] = static_cast<unsigned char>(b);
        for (unsigned b = 'A'; b <= 'Z'; ++b) {
            t[b] = static_cast<unsigned char>(b + 0x20);
            t[b + 0x20] = static_cast<unsigned char>(b);
        }
        t[0xA8] = 0xB8;
        t[0xB8] = 0xA8;
        for (unsigned b = 0xC0; b <= 0xDF; ++b) {
            t[b] = static_cast<unsigned char>(b + 0x20);
            t[b + 0x20] = static_cast<unsigned char>(b);
        }
    }
};
const ZyTablicaRegistra zyTablicaRegistra;

// The occurrences of one prepared pattern in [niz, verh] of a file, at positions on a stride.
class ZyPoisk {
public:
    ZyPoisk(ZYKFAJL64& f, const ZyObrazec& o, uint64_t niz, uint64_t verh, uint64_t shag)
        : f_(f), o_(o), niz_(niz), verh_(verh), s_(shag < 2 ? 1 : shag) {}

    // The first occurrence at `c` or after it at c + k * shag; false when there is none or the
    // file could not be read (sboj()).
    bool vpered(uint64_t c, uint64_t& m) {
        const uint64_t len = o_.dlina;
        while (c <= verh_ && verh_ - c + 1 >= len) {
            if (!adres(c)) return false;
            // Candidates whose whole pattern lies in the zone and in the range.
            const uint64_t verhPolnyh = ze_ >= len ? min(ze_ - len, verh_ + 1 - len) : 0;
            if (ze_ >= len && verhPolnyh >= c) {
                const size_t n = size_t(verhPolnyh - c + 1);
                const unsigned char* p = baza_ + (c - zs_);
                for (size_t i = zyKandidatVpered(o_, p, n, size_t(s_)); i < n;) {
                    if (zySovpadaet(o_, p + i, 0, size_t(len))) {
                        m = c + i;
                        return true;
                    }
                    if (n - i <= s_) break;
                    i += size_t(s_);
                    i += zyKandidatVpered(o_, p + i, n - i, size_t(s_));
                }
                c += (n + s_ - 1) / s_ * s_;
            }
            // Candidates that start in the zone and end past it.
            for (; c < ze_ && c <= verh_ + 1 - len; c += s_) {
                if (!o_.sTablicej && baza_[c - zs_] != o_.bajty[0]) continue;
                if (o_.sTablicej && !zyBajtSovpadaet(o_, 0, baza_[c - zs_])) continue;
                const uint64_t zona = zs_;
                if (celikom(c)) {
                    m = c;
                    return true;
                }
                if (sboj_) return false;
                if (!adres(c) || zs_ != zona) break; // the zone moved: scan it afresh
            }
            if (sboj_) return false;
        }
        return false;
    }

    // The last occurrence at `c` or before it at c - k * shag.
    bool nazad(uint64_t c, uint64_t& m) {
        const uint64_t len = o_.dlina;
        if (verh_ + 1 < len) return false;
        if (c > verh_ + 1 - len) {
            const uint64_t k = (c - (verh_ + 1 - len) + s_ - 1) / s_ * s_;
            if (k > c) return false;
            c -= k;
        }
        while (c >= niz_) {
            if (!adres(c)) return false;
            // Candidates that end past the zone, from the highest down.
            while (c + len > ze_) {
                if (zyBajtSovpadaet(o_, 0, baza_[c - zs_]) && celikom(c)) {
                    m = c;
                    return true;
                }
                if (sboj_ || c < niz_ + s_) return false;
                c -= s_;
                if (!adres(c)) return false;
            }
            const uint64_t nizOkna = max(zs_, niz_);
            const size_t n = size_t(c - nizOkna + 1);
            const unsigned char* p = baza_ + (nizOkna - zs_);
            for (size_t i = zyKandidatNazad(o_, p, n, size_t(s_)); i != ZY_NET;) {
                if (zySovpadaet(o_, p + i, 0, size_t(len))) {
                    m = nizOkna + i;
                    return true;
                }
                if (i < s_) break;
                i = zyKandidatNazad(o_, p, i - size_t(s_) + 1, size_t(s_));
            }
            const uint64_t shagov = (c - nizOkna) / s_ + 1;
            if (shagov * s_ > c) return false;
            c -= shagov * s_;
        }
        return false;
    }

    // True when a zone could not be mapped (operator[] has reported it).
    bool sboj() const { return sboj_; }

private:
    static uint64_t min(uint64_t a, uint64_t b) { return a < b ? a : b; }
    static uint64_t max(uint64_t a, uint64_t b) { return a > b ? a : b; }

    // Maps the zone holding byte p; its bounds and base in zs_, ze_, baza_. False on failure.
    bool adres(uint64_t p) {
        unsigned char* b = &f_[zyNB(p)];
        if (b == reinterpret_cast<unsigned char*>(&f_.Oshibka) || !f_.BazaZony ||
            p < zy64(f_.NachaloZony) || p >= zy64(f_.KonecZony)) {
            sboj_ = true;
            return false;
        }
        zs_ = zy64(f_.NachaloZony);
        ze_ = zy64(f_.KonecZony);
        baza_ = f_.BazaZony;
        return true;
    }

    // Compares the whole pattern at c, zone by zone.
    bool celikom(uint64_t c) {
        for (uint64_t gotovo = 0; gotovo < o_.dlina;) {
            if (!adres(c + gotovo)) return false;
            const uint64_t n = min(ze_ - (c + gotovo), o_.dlina - gotovo);
            if (!zySovpadaet(o_, baza_ + (c + gotovo - zs_), size_t(gotovo), size_t(n)))
                return false;
            gotovo += n;
        }
        return true;
    }

    ZYKFAJL64& f_;
    const ZyObrazec& o_;
    uint64_t niz_, verh_, s_;
    uint64_t zs_ = 0, ze_ = 0;
    const unsigned char* baza_ = nullptr;
    bool sboj_ = false;
};

// The rows of the table argument: the built-in table, the caller's whole rows, or none.
// False for a table whose rows are missing.
bool zyStrokiTablicy(const ZYSMASSIV* t, const unsigned char*& stroki, size_t& n) {
    stroki = nullptr;
    n = 0;
    if (!t) return true;
    if (t == ZY_TABLICA_REGISTRA) {
        stroki = zyTablicaRegistra.t;
        n = 1;
        return true;
    }
    n = t->Razmer / 256;
    stroki = t->Bajty;
    if (n && !stroki) return false;
    if (!stroki) stroki = zyTablicaRegistra.t; // no rows: every byte equals only itself
    return true;
}

} // namespace

// The n-th occurrence of a pattern; 1 found, -1 not found or past the end, 0 failure.
int ZYKFAJL64::VzPozStr(ZYKNB64& count, ZYKNB64& found, const void* pattern, unsigned long length,
                        unsigned long options, const ZYKNB64* nth, ZYSMASSIV* table) {
    if (!pattern) return 0;
    const size_t len = length ? length : size_t(lstrlenA(static_cast<const char*>(pattern)));
    if (len == 0) return 0;
    count = zyNB(0);
    const unsigned char* stroki;
    size_t nStrok;
    if (!hFajl || !zyStrokiTablicy(table, stroki, nStrok)) return 0;
    if (!FEK_SinhronChtenPref()) return 0;
    if (!(Flagi & ZYF64_BEZ_OBNOVL)) TestDan();
    const unsigned long flagi = Flagi;
    FEK_VsMnRazmPamVr();

    const uint64_t posl = zy64(PoslIndeks);
    uint64_t niz = 0, verh = posl;
    if (options & ZYPS_V_ZONE) {
        niz = zy64(SkanNiz);
        verh = (niz == 0 && zy64(SkanVerh) == 0) ? posl : zy64(SkanVerh);
        if (verh > posl) verh = posl;
    } else {
        SkanNiz = zyNB(0);
        SkanVerh = PoslIndeks;
    }
    const bool nazad = (options & ZYPS_NAZAD) != 0;
    const uint64_t poz = zy64(Poz);
    uint64_t start;
    int rez = -1;
    bool est = zy64(Razmer) != 0 && niz <= verh;
    if (!nazad) {
        start = (options & ZYPS_OT_POZ) ? (poz < niz ? niz : poz) : niz;
        if (start > verh) est = false;
    } else {
        Flagi &= ~ZYF64_VPERED; // zones centre on the addressed byte
        start = (options & ZYPS_OT_POZ) ? (poz > verh ? verh : poz) : verh;
        if (start < niz) est = false;
    }

    if (est) {
        ZyObrazec o;
        zyPrigotovitObrazec(o, static_cast<const unsigned char*>(pattern), len,
                            table ? stroki : nullptr, nStrok);
        const uint64_t shag = options & ZYPS_SHAG;
        const uint64_t s = shag < 2 ? 1 : shag;
        const uint64_t dalshe = (uint64_t(len) + s - 1) / s * s; // the length on the stride
        const uint64_t nuzhno = nth && zy64(*nth) > 1 ? zy64(*nth) : 1;
        ZyPoisk poisk(*this, o, niz, verh, shag);
        uint64_t kolvo = 0, m = 0;
        for (uint64_t c = start;;) {
            const bool najdeno = nazad ? poisk.nazad(c, m) : poisk.vpered(c, m);
            if (poisk.sboj()) {
                rez = 0;
                break;
            }
            if (najdeno) {
                count = zyNB(++kolvo);
                found = zyNB(m);
                if (kolvo >= nuzhno) {
                    rez = VsPoz(zyNB(nazad ? m : zySumma(m, dalshe)));
                    break;
                }
                if (nazad ? m >= s : zySumma(m, dalshe) != ZY_MAX64) {
                    c = nazad ? m - s : m + dalshe;
                    continue;
                }
            }
            // Not found, or no position left to search from: the range's bound, as the plain
            // search leaves it.
            VsPoz(zyNB(nazad ? niz : zySumma(verh, 1)));
            break;
        }
    }
    Flagi = flagi;
    if (!FEK_SinhronChtenSyf()) return 0;
    return rez;
}

} // namespace Quorvel
