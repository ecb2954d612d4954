// The journaled changes of ZYKFAJL64: plans, their undo, the progress rules and the journal's
// bytes.
#include "ZyPlanZhurnala.h"

#include <cstring>

#include "ZyPlanKop.h"

namespace Quorvel {

namespace {

constexpr char ZY_PODPIS[16] = {'Z', 'y', 'K', 'F', 'a', 'j', 'l', '6',
                                '4', 'Z', 'h', 'u', 'r', 'n', 'a', 'l'};
constexpr uint32_t ZY_VERSIJA = 2;  // 1: the data from ZY_DANNYE_SMESH_V1
constexpr size_t ZY_SHAG_BAJT = 56; // one step in the header

// A size step.
ZyShag zyRazmer(uint64_t novyj, uint64_t staryj) {
    ZyShag s;
    s.vid = ZY_SHAG_RAZMER;
    s.kuda = novyj;
    s.otkuda = staryj;
    return s;
}

// A step that moves or writes `dlina` bytes to `kuda`.
ZyShag zyShag(uint32_t vid, uint64_t kuda, uint64_t otkuda, uint64_t dlina) {
    ZyShag s;
    s.vid = vid;
    s.kuda = kuda;
    s.otkuda = otkuda;
    s.dlina = dlina;
    return s;
}

// Gives a step the before-image the journal's data holds at `smesh`.
ZyShag zyObraz(ZyShag s, uint64_t poz, uint64_t dlina, uint64_t smesh) {
    s.obrazPoz = poz;
    s.obrazDlina = dlina;
    s.obrazSmesh = smesh;
    return s;
}

// Appends a step.
void zyDobavit(ZyPlan& p, const ZyShag& s) {
    p.shagi[p.kol++] = s;
}

// Appends a range of the file to copy into the journal's data.
void zyDobavitIzFajla(ZyPlan& p, uint64_t poz, uint64_t dlina, uint64_t smesh) {
    p.izFajla[p.kolIzFajla++] = ZyIzFajla{poz, dlina, smesh};
}

// FNV-1a over n bytes.
uint64_t zyKontrol(const unsigned char* b, size_t n) {
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ b[i]) * 1099511628211ull;
    return h;
}

// Little-endian fields.
void zyPut32(unsigned char* b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<unsigned char>(v >> (8 * i));
}
void zyPut64(unsigned char* b, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        b[i] = static_cast<unsigned char>(v >> (8 * i));
}
uint32_t zyVzjat32(const unsigned char* b) {
    uint32_t v = 0;
    for (int i = 4; i-- > 0;)
        v = v << 8 | b[i];
    return v;
}
uint64_t zyVzjat64(const unsigned char* b) {
    uint64_t v = 0;
    for (int i = 8; i-- > 0;)
        v = v << 8 | b[i];
    return v;
}

// True when the two ranges of a move overlap.
bool zyPerekryvajutsja(const ZyShag& s) {
    const uint64_t r = s.kuda < s.otkuda ? s.otkuda - s.kuda : s.kuda - s.otkuda;
    return r < s.dlina;
}

} // namespace

// Grow, shift the tail up, fill the gap; or, near the end, grow and write the new end.
ZyPlan zyPlanVstavki(uint64_t razmer, uint64_t p, uint64_t n, uint32_t otkuda, uint64_t istochnik,
                     uint64_t malyjKonec) {
    ZyPlan pl;
    pl.razmerDo = razmer;
    pl.razmerPosle = p < razmer ? razmer + n : p + n;
    zyDobavit(pl, zyRazmer(pl.razmerPosle, razmer));
    if (otkuda == ZY_VSTAVKA_OZU && p < razmer && razmer - p <= malyjKonec &&
        n <= malyjKonec - (razmer - p)) {
        // Journal: the bytes from memory at 0, the tail behind them; the write of both puts
        // the tail back on undo.
        const uint64_t hvost = razmer - p;
        zyDobavitIzFajla(pl, p, hvost, n);
        pl.dannye = n + hvost;
        zyDobavit(pl, zyObraz(zyShag(ZY_SHAG_ZAPIS, p, 0, n + hvost), p, hvost, n));
        pl.pervyjShag = 1; // setting the size back is harmless before it grew
        return pl;
    }
    if (p < razmer) {
        ZyShag sdvig = zyShag(ZY_SHAG_SDVIG, p + n, p, razmer - p);
        sdvig.obratno = 1; // the fill lands in the move's source
        zyDobavit(pl, sdvig);
    }
    if (otkuda == ZY_VSTAVKA_OZU) {
        zyDobavit(pl, zyShag(ZY_SHAG_ZAPIS, p, 0, n));
        pl.dannye = n;
    } else if (otkuda == ZY_VSTAVKA_FAJL) {
        const uint64_t s = p < razmer ? ZyIstochnikPosleSdviga(istochnik, p, n) : istochnik;
        if (s != p) zyDobavit(pl, zyShag(ZY_SHAG_SDVIG, p, s, n));
    } else {
        zyDobavit(pl, zyShag(ZY_SHAG_VNESHNIJ, p, 0, n));
    }
    return pl;
}

// Cut first (a tail of at least n, or a short end) or move first and cut last (a shorter
// tail).
ZyPlan zyPlanUdalenija(uint64_t razmer, uint64_t p, uint64_t n, uint64_t malyjKonec) {
    ZyPlan pl;
    pl.razmerDo = razmer;
    pl.razmerPosle = razmer - n;
    const uint64_t hvost = razmer - p - n;
    if (razmer - p <= malyjKonec) {
        // Journal: everything from p on; the cut keeps the last n bytes (at hvost), the tail
        // is written from the journal over the deleted bytes (kept at 0).
        zyDobavitIzFajla(pl, p, razmer - p, 0);
        pl.dannye = razmer - p;
        zyDobavit(pl, zyObraz(zyRazmer(razmer - n, razmer), razmer - n, n, hvost));
        zyDobavit(pl, zyObraz(zyShag(ZY_SHAG_ZAPIS, p, n, hvost), p, hvost, 0));
        pl.pervyjShag = 1; // before the cut, its undo writes back bytes the file still holds
        return pl;
    }
    if (hvost >= n) {
        // Journal: the deleted bytes at 0, the last n bytes at n.
        zyDobavitIzFajla(pl, p, n, 0);
        zyDobavitIzFajla(pl, razmer - n, n, n);
        pl.dannye = 2 * n;
        zyDobavit(pl, zyObraz(zyRazmer(razmer - n, razmer), razmer - n, n, n));
        ZyShag zapis = zyShag(ZY_SHAG_ZAPIS, p + hvost - n, n, n);
        if (hvost > n) {
            // NOTE: moved back on undo even where the ranges do not overlap: the write of the
            // kept bytes behind the tail lands in the move's source.
            ZyShag sdvig = zyObraz(zyShag(ZY_SHAG_SDVIG, p, p + n, hvost - n), p, n, 0);
            sdvig.obratno = 1;
            zyDobavit(pl, sdvig);
        } else {
            zapis = zyObraz(zapis, p, n, 0);
        }
        zyDobavit(pl, zapis);
        return pl;
    }
    // The tail moves onto the first of the deleted bytes, which the journal keeps; the source
    // stays until the cut, which ends the change.
    zyDobavitIzFajla(pl, p, hvost, 0);
    pl.dannye = hvost;
    zyDobavit(pl, zyObraz(zyShag(ZY_SHAG_SDVIG, p, p + n, hvost), p, hvost, 0));
    zyDobavit(pl, zyRazmer(razmer - n, razmer));
    return pl;
}

// Grow when d lies past the end, then the swap of the two parts.
ZyPlan zyPlanPeremeshenija(uint64_t razmer, uint64_t d, uint64_t s, uint64_t n) {
    ZyPlan pl;
    pl.razmerDo = razmer;
    pl.razmerPosle = d > razmer ? d : razmer;
    const ZyPlanZapasa z = ZyPlanPeremestit(d, s, n);
    if (z.zapasDlina == 0 || z.kopDlina == 0) {
        pl.razmerPosle = razmer;
        return pl;
    }
    if (d > razmer) zyDobavit(pl, zyRazmer(d, razmer));
    zyDobavitIzFajla(pl, z.zapasPoz, z.zapasDlina, 0);
    pl.dannye = z.zapasDlina;
    ZyShag sdvig = zyObraz(zyShag(ZY_SHAG_SDVIG, z.kopKuda, z.kopOtkuda, z.kopDlina), z.zapasPoz,
                           z.zapasDlina, 0);
    sdvig.obratno = 1; // the kept part is written back into the move's source
    zyDobavit(pl, sdvig);
    zyDobavit(pl, zyShag(ZY_SHAG_ZAPIS, z.vernutPoz, 0, z.zapasDlina));
    return pl;
}

// The size, then the data.
ZyPlan zyPlanZameny(uint64_t razmer, uint64_t nachalo, uint64_t n) {
    ZyPlan pl;
    pl.razmerDo = razmer;
    pl.razmerPosle = nachalo + n;
    pl.tolkoVpered = 1;
    pl.dannye = n;
    if (pl.razmerPosle != razmer) zyDobavit(pl, zyRazmer(pl.razmerPosle, razmer));
    if (n) zyDobavit(pl, zyShag(ZY_SHAG_ZAPIS, nachalo, 0, n));
    return pl;
}

// Steps from `shag` down: each one's reverse move or size, then its before-image.
uint32_t zyOtkat(const ZyPlan& plan, uint32_t shag, uint64_t gotovo, ZyShag* d) {
    uint32_t k = 0;
    if (plan.kol == 0) return 0;
    const uint32_t ot = shag < plan.kol ? shag : plan.kol - 1;
    for (uint32_t j = ot + 1; j-- > 0;) {
        const ZyShag& s = plan.shagi[j];
        const bool tekushij = j == shag;
        const bool nichego = tekushij && gotovo == 0;
        if (s.vid == ZY_SHAG_RAZMER && nichego) continue; // the size has not changed
        if (s.vid == ZY_SHAG_RAZMER) d[k++] = zyRazmer(s.otkuda, s.kuda);
        if (s.vid == ZY_SHAG_SDVIG && s.obratno) {
            const uint64_t sdelano = tekushij ? gotovo : s.dlina;
            if (sdelano) {
                const ZyKopija o = ZyPlanOtkata(s.kuda, s.otkuda, s.dlina, sdelano);
                d[k++] = zyShag(ZY_SHAG_SDVIG, o.kuda, o.otkuda, o.dlina);
            }
        }
        // NOTE: also when the step's count says nothing was done: a move's count is a lower
        // bound, and writing the kept bytes back over bytes that were not touched is harmless.
        if (s.obrazDlina) d[k++] = zyShag(ZY_SHAG_ZAPIS, s.obrazPoz, s.obrazSmesh, s.obrazDlina);
    }
    return k;
}

// Back, unless the change cannot go back, has ended, or only a final cut is left of it and
// its process is gone.
ZyNapravlenie zyKudaVosstanovit(const ZyPlan& plan, uint32_t shag, bool sdelan, bool zhivoj) {
    if (shag >= plan.kol) return ZyNapravlenie::Gotovo;
    const ZyShag& s = plan.shagi[shag];
    const bool razmer = s.vid == ZY_SHAG_RAZMER;
    const bool konechnyjSrez = shag + 1 == plan.kol && razmer && s.kuda < s.otkuda && !s.obrazDlina;
    if (konechnyjSrez && sdelan) return ZyNapravlenie::Gotovo;
    if (plan.tolkoVpered)
        return shag == 0 && razmer && !sdelan ? ZyNapravlenie::Nazad : ZyNapravlenie::Vpered;
    if (konechnyjSrez && !zhivoj) return ZyNapravlenie::Vpered;
    return ZyNapravlenie::Nazad;
}

// An overlapping move that is taken back, or that takes a change back.
bool zySlezhenie(const ZyShag& s, bool otkat) {
    return s.vid == ZY_SHAG_SDVIG && (otkat || s.obratno) && zyPerekryvajutsja(s);
}

// Blocks longer than the distance of an overlapping move.
bool zyNuzhenSlot(uint64_t rasstojanie, uint64_t dlina, uint64_t blok) {
    return rasstojanie < dlina && rasstojanie < blok;
}

// The bytes written since the record may not run more than the distance past it.
bool zyNuzhnaZapis(uint64_t zapisano, uint64_t konec, uint64_t rasstojanie) {
    return konec - zapisano > rasstojanie;
}

// After the data, rounded up to 4096.
uint64_t zySlotySmesh(const ZyZagolovok& z) {
    return (z.dannyeSmesh + z.plan.dannye + 4095) / 4096 * 4096;
}

// Signature, version, identity, sizes, plan, checksum.
void zyZapisatZagolovok(const ZyZagolovok& z, unsigned char* b) {
    std::memset(b, 0, ZY_ZAGOLOVOK);
    std::memcpy(b, ZY_PODPIS, sizeof ZY_PODPIS);
    zyPut32(b + 16, z.dannyeSmesh == ZY_DANNYE_SMESH_V1 ? 1 : ZY_VERSIJA);
    zyPut32(b + 20, z.lichnost.tom);
    zyPut32(b + 24, z.lichnost.indeksSt);
    zyPut32(b + 28, z.lichnost.indeksMl);
    const ZyPlan& p = z.plan;
    zyPut64(b + 32, p.razmerDo);
    zyPut64(b + 40, p.razmerPosle);
    zyPut64(b + 48, p.dannye);
    zyPut64(b + 56, z.slotBlok);
    zyPut32(b + 64, p.kol);
    zyPut32(b + 68, p.tolkoVpered);
    zyPut32(b + 72, p.kolIzFajla);
    for (uint32_t i = 0; i < 2; ++i) {
        unsigned char* f = b + 80 + 24 * i;
        zyPut64(f, p.izFajla[i].poz);
        zyPut64(f + 8, p.izFajla[i].dlina);
        zyPut64(f + 16, p.izFajla[i].smesh);
    }
    for (uint32_t i = 0; i < ZY_SHAGOV_MAKS; ++i) {
        const ZyShag& s = p.shagi[i];
        unsigned char* f = b + 128 + ZY_SHAG_BAJT * i;
        zyPut32(f, s.vid);
        zyPut32(f + 4, s.obratno);
        const uint64_t polja[6] = {s.kuda,     s.otkuda,     s.dlina,
                                   s.obrazPoz, s.obrazDlina, s.obrazSmesh};
        for (int k = 0; k < 6; ++k)
            zyPut64(f + 8 + 8 * k, polja[k]);
    }
    zyPut64(b + ZY_ZAGOLOVOK - 8, zyKontrol(b, ZY_ZAGOLOVOK - 8));
}

// The fields back, after the signature, the version, the checksum and the counts are checked.
bool zyProchestZagolovok(const unsigned char* b, ZyZagolovok& z) {
    const uint32_t versija = zyVzjat32(b + 16);
    if (std::memcmp(b, ZY_PODPIS, sizeof ZY_PODPIS) != 0 ||
        (versija != 1 && versija != ZY_VERSIJA) ||
        zyVzjat64(b + ZY_ZAGOLOVOK - 8) != zyKontrol(b, ZY_ZAGOLOVOK - 8))
        return false;
    z = ZyZagolovok();
    if (versija == 1) z.dannyeSmesh = ZY_DANNYE_SMESH_V1;
    z.lichnost.tom = zyVzjat32(b + 20);
    z.lichnost.indeksSt = zyVzjat32(b + 24);
    z.lichnost.indeksMl = zyVzjat32(b + 28);
    ZyPlan& p = z.plan;
    p.razmerDo = zyVzjat64(b + 32);
    p.razmerPosle = zyVzjat64(b + 40);
    p.dannye = zyVzjat64(b + 48);
    z.slotBlok = zyVzjat64(b + 56);
    p.kol = zyVzjat32(b + 64);
    p.tolkoVpered = zyVzjat32(b + 68);
    p.kolIzFajla = zyVzjat32(b + 72);
    if (p.kol > ZY_SHAGOV_MAKS || p.kolIzFajla > 2) return false;
    for (uint32_t i = 0; i < 2; ++i) {
        const unsigned char* f = b + 80 + 24 * i;
        p.izFajla[i] = ZyIzFajla{zyVzjat64(f), zyVzjat64(f + 8), zyVzjat64(f + 16)};
    }
    for (uint32_t i = 0; i < ZY_SHAGOV_MAKS; ++i) {
        ZyShag& s = p.shagi[i];
        const unsigned char* f = b + 128 + ZY_SHAG_BAJT * i;
        s.vid = zyVzjat32(f);
        s.obratno = zyVzjat32(f + 4);
        uint64_t* polja[6] = {&s.kuda,     &s.otkuda,     &s.dlina,
                              &s.obrazPoz, &s.obrazDlina, &s.obrazSmesh};
        for (int k = 0; k < 6; ++k)
            *polja[k] = zyVzjat64(f + 8 + 8 * k);
        if (i < p.kol && (s.vid < ZY_SHAG_RAZMER || s.vid > ZY_SHAG_VNESHNIJ)) return false;
    }
    return true;
}

// The fields, then the checksum in the record's last 8 bytes.
void zyZapisatProgress(const ZyOtmetka& p, unsigned char* b) {
    std::memset(b, 0, ZY_ZAPIS_PROGRESSA);
    zyPut64(b, p.nomer);
    zyPut32(b + 8, p.faza);
    zyPut32(b + 12, p.shag);
    zyPut64(b + 16, p.gotovo);
    zyPut32(b + 24, p.otkatShag);
    zyPut32(b + 28, p.slot);
    zyPut64(b + 32, p.otkatGotovo);
    zyPut64(b + 40, p.slotKuda);
    zyPut64(b + 48, p.slotDlina);
    zyPut64(b + ZY_ZAPIS_PROGRESSA - 8, zyKontrol(b, ZY_ZAPIS_PROGRESSA - 8));
}

// The fields back when the checksum holds.
bool zyProchestProgress(const unsigned char* b, ZyOtmetka& p) {
    if (zyVzjat64(b + ZY_ZAPIS_PROGRESSA - 8) != zyKontrol(b, ZY_ZAPIS_PROGRESSA - 8)) return false;
    p.nomer = zyVzjat64(b);
    p.faza = zyVzjat32(b + 8);
    p.shag = zyVzjat32(b + 12);
    p.gotovo = zyVzjat64(b + 16);
    p.otkatShag = zyVzjat32(b + 24);
    p.slot = zyVzjat32(b + 28);
    p.otkatGotovo = zyVzjat64(b + 32);
    p.slotKuda = zyVzjat64(b + 40);
    p.slotDlina = zyVzjat64(b + 48);
    return p.faza <= 1 && p.slot <= 2 && p.nomer != 0;
}

} // namespace Quorvel
