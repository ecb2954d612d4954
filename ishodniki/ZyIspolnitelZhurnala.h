// Runs a journaled change of a file and takes it back or carries it through after a stop
// (internal): the steps of ZyPlanZhurnala.h with their progress records, over any I/O.
//
// `Io` provides (each true on success):
//   bool chitat(uint64_t poz, unsigned char* b, uint64_t n)        read the file
//   bool pisat(uint64_t poz, const unsigned char* b, uint64_t n)   write the file
//   bool ustanovitRazmer(uint64_t n)                                set the file's size
//   uint64_t razmer()                                               the file's size now
//   bool chitatZhurnal(uint64_t poz, unsigned char* b, uint64_t n)
//   bool pisatZhurnal(uint64_t poz, const unsigned char* b, uint64_t n, bool otchet = true)
//                                                                   (report a failure?)
//   bool vneshnij(uint64_t kuda, uint64_t n)                        copy the outside bytes in
//   void progress(uint64_t n)                                       n more bytes handled
// Every write of the journal happens before the writes of the file it protects, in one
// thread, so a process that stops at any moment leaves a journal that describes the file.
// Pure logic: no system calls of its own.
#ifndef ZYISPOLNITELZHURNALA_H
#define ZYISPOLNITELZHURNALA_H

#include <cstdint>

#include "ZyPlanKop.h"
#include "ZyPlanZhurnala.h"

namespace Quorvel {

// How a change ended: as after it, as before it, or neither (the journal must stay).
enum class ZyIshod { Posle, Do, Sboj };

template <class Io> class ZyIspolnitel {
public:
    // `buf` holds `blok` bytes; `blok` is at most the journal's slot size z.slotBlok.
    ZyIspolnitel(Io& io, const ZyZagolovok& z, unsigned char* buf, uint64_t blok)
        : io_(io), z_(z), buf_(buf), blok_(blok) {}

    // Before the first change: the ranges of the file the plan keeps into the journal's data,
    // then the header and the first record in one write (a journal cut short before it has no
    // header and is ignored).
    bool nachat() {
        for (uint32_t i = 0; i < z_.plan.kolIzFajla; ++i) {
            const ZyIzFajla& f = z_.plan.izFajla[i];
            for (uint64_t s = 0; s < f.dlina;) {
                const uint64_t t = kusok(f.dlina - s);
                if (!io_.chitat(f.poz + s, buf_, t) ||
                    !io_.pisatZhurnal(z_.dannyeSmesh + f.smesh + s, buf_, t))
                    return false;
                s += t;
            }
        }
        unsigned char b[ZY_ZAGOLOVOK + 2 * ZY_ZAPIS_PROGRESSA] = {};
        zyZapisatZagolovok(z_, b);
        ZyOtmetka p;
        p.nomer = 1; // in the second place, as zapisat puts odd numbers
        if (z_.plan.pervyjShag < z_.plan.kol) p.shag = z_.plan.pervyjShag;
        zyZapisatProgress(p, b + ZY_ZAGOLOVOK + ZY_ZAPIS_PROGRESSA);
        if (!io_.pisatZhurnal(0, b, sizeof b)) return false;
        posl_ = p;
        return true;
    }

    // Runs the steps from `ot` on and records the end unless `konec` is false (the caller
    // then removes the journal at once, or calls otmetitKonec). False when a step failed:
    // the journal's last record then tells where, for vosstanovit.
    bool vpered(uint32_t ot, bool konec = true) {
        for (uint32_t j = ot; j < z_.plan.kol; ++j) {
            // The record already says so: this step, or, for the first record, a later one
            // whose undo covers this step too.
            const bool zapisano = posl_.faza == 0 && posl_.gotovo == 0 && posl_.slot == 0 &&
                                  (posl_.shag == j || (posl_.nomer == 1 && j < posl_.shag));
            if ((!zapisano && !zapisat(0, j, 0)) || !dejstvie(z_.plan.shagi[j], false, 0))
                return false;
        }
        if (konec) otmetitKonec();
        return true;
    }

    // The end on record, so that a journal that outlives the change does nothing. The
    // change is done even when this fails.
    void otmetitKonec() { zapisat(0, z_.plan.kol, 0, false); }

    // The record the journal holds now.
    const ZyOtmetka& progress() const { return posl_; }

    // Brings a change stopped where record `p` says to its state before or after it:
    // `zhivoj` as for zyKudaVosstanovit.
    ZyIshod vosstanovit(const ZyOtmetka& p, bool zhivoj) {
        posl_ = p;
        if (p.faza == 1) return nazad(p);
        uint64_t gotovo = p.gotovo;
        bool sdelan = false;
        if (p.shag < z_.plan.kol) {
            if (p.slot && !perepisatSlot(p)) return ZyIshod::Sboj;
            if (p.slot) gotovo += p.slotDlina;
            const ZyShag& s = z_.plan.shagi[p.shag];
            if (s.vid == ZY_SHAG_RAZMER) {
                sdelan = io_.razmer() == s.kuda;
                gotovo = sdelan ? 1 : 0;
            }
        }
        switch (zyKudaVosstanovit(z_.plan, p.shag, sdelan, zhivoj)) {
        case ZyNapravlenie::Gotovo:
            return ZyIshod::Posle;
        case ZyNapravlenie::Vpered:
            if (vpered(p.shag)) return ZyIshod::Posle;
            if (z_.plan.tolkoVpered) return ZyIshod::Sboj;
            // The final cut was refused: take the change back instead.
            gotovo = io_.razmer() == z_.plan.shagi[p.shag].kuda ? 1 : 0;
            break;
        case ZyNapravlenie::Nazad:
            break;
        }
        ZyShag d[ZY_DEJSTVIJ_MAKS];
        if (zyOtkat(z_.plan, p.shag, gotovo, d) == 0) return ZyIshod::Do; // nothing was done
        ZyOtmetka n;
        n.faza = 1;
        n.otkatShag = p.shag;
        n.otkatGotovo = gotovo;
        if (!zapisat(n)) return ZyIshod::Sboj;
        return nazad(posl_);
    }

private:
    // Bytes one read or write moves: at most a block.
    uint64_t kusok(uint64_t ostalos) const { return ostalos < blok_ ? ostalos : blok_; }

    // Where slot k (1 or 2) lies in the journal.
    uint64_t slot(uint32_t k) const { return zySlotySmesh(z_) + (k - 1) * z_.slotBlok; }

    // Writes record `p` (numbered after the last one) into the older of the two places; a
    // failure is reported unless `otchet` is false.
    bool zapisat(ZyOtmetka p, bool otchet = true) {
        p.nomer = posl_.nomer + 1;
        unsigned char b[ZY_ZAPIS_PROGRESSA];
        zyZapisatProgress(p, b);
        if (!io_.pisatZhurnal(ZY_ZAGOLOVOK + (p.nomer % 2) * ZY_ZAPIS_PROGRESSA, b, sizeof b,
                              otchet))
            return false;
        posl_ = p;
        return true;
    }
    // A record of the phase, the step or action, and its bytes done.
    bool zapisat(uint32_t faza, uint32_t shag, uint64_t gotovo, bool otchet = true) {
        ZyOtmetka p = posl_;
        p.faza = faza;
        p.shag = shag;
        p.gotovo = gotovo;
        p.slot = 0;
        p.slotKuda = p.slotDlina = 0;
        return zapisat(p, otchet);
    }

    // Writes the block a record kept in its slot to its place again.
    bool perepisatSlot(const ZyOtmetka& p) {
        if (p.slotDlina > blok_ || p.slotDlina > z_.slotBlok) return false;
        return io_.chitatZhurnal(slot(p.slot), buf_, p.slotDlina) &&
               io_.pisat(p.slotKuda, buf_, p.slotDlina);
    }

    // The actions that take the change back from the record's origin, from its action on.
    ZyIshod nazad(const ZyOtmetka& p) {
        ZyShag d[ZY_DEJSTVIJ_MAKS];
        const uint32_t kol = zyOtkat(z_.plan, p.otkatShag, p.otkatGotovo, d);
        uint64_t gotovo = p.gotovo;
        if (p.shag < kol && p.slot) {
            if (!perepisatSlot(p)) return ZyIshod::Sboj;
            gotovo += p.slotDlina;
        }
        for (uint32_t a = p.shag; a < kol; ++a) {
            if (a != p.shag && !zapisat(1, a, 0)) return ZyIshod::Sboj;
            if (dejstvie(d[a], true, a == p.shag ? gotovo : 0)) continue;
            // A cut that is refused (the file is mapped elsewhere) ends the undo of a change
            // that grew the file; carried through instead, the change needs no cut.
            if (d[a].vid != ZY_SHAG_RAZMER || d[a].kuda > io_.razmer() || !vperedMozhno())
                return ZyIshod::Sboj;
            return zapisat(0, 0, 0) && vpered(0) ? ZyIshod::Posle : ZyIshod::Sboj;
        }
        // The end of the undo on record, so that a journal that outlives it does nothing.
        zapisat(1, kol, 0, false);
        return ZyIshod::Do;
    }

    // True when every step can run again from the start with what the journal and the file
    // hold (nothing comes from outside).
    bool vperedMozhno() const {
        for (uint32_t j = 0; j < z_.plan.kol; ++j)
            if (z_.plan.shagi[j].vid == ZY_SHAG_VNESHNIJ) return false;
        return true;
    }

    // One step or action, from `gotovo` of its bytes on (only a followed move resumes).
    bool dejstvie(const ZyShag& s, bool otkat, uint64_t gotovo) {
        switch (s.vid) {
        case ZY_SHAG_RAZMER: // nothing to do when the file has that size (a step not done)
            return io_.razmer() == s.kuda || io_.ustanovitRazmer(s.kuda);
        case ZY_SHAG_VNESHNIJ:
            return io_.vneshnij(s.kuda, s.dlina);
        case ZY_SHAG_ZAPIS:
            for (uint64_t g = 0; g < s.dlina;) {
                const uint64_t t = kusok(s.dlina - g);
                if (!io_.chitatZhurnal(z_.dannyeSmesh + s.otkuda + g, buf_, t) ||
                    !io_.pisat(s.kuda + g, buf_, t))
                    return false;
                g += t;
                io_.progress(t);
            }
            return true;
        default:
            return sdvig(s, otkat, gotovo);
        }
    }

    // A move in blocks in the order of ZyPlanBlok. When its progress is followed, each block
    // either goes into a slot first (blocks longer than the distance) or the count is recorded
    // often enough that the bytes written never run more than the distance past it.
    bool sdvig(const ZyShag& s, bool otkat, uint64_t gotovo) {
        const bool slezhenie = zySlezhenie(s, otkat);
        const bool vozrast = ZyPlanVozrast(true, s.kuda, s.otkuda);
        const uint64_t rasstojanie = s.kuda < s.otkuda ? s.otkuda - s.kuda : s.kuda - s.otkuda;
        const bool sloty = slezhenie && zyNuzhenSlot(rasstojanie, s.dlina, blok_);
        uint64_t zapisano = gotovo;
        for (uint64_t g = gotovo; g < s.dlina;) {
            const ZyBlokPlana b = ZyPlanBlok(s.dlina, blok_, g, vozrast);
            if (!io_.chitat(s.otkuda + b.smeshenie, buf_, b.dlina)) return false;
            if (sloty) {
                ZyOtmetka p = posl_;
                p.gotovo = g;
                p.slot = posl_.slot == 1 ? 2 : 1;
                p.slotKuda = s.kuda + b.smeshenie;
                p.slotDlina = b.dlina;
                if (!io_.pisatZhurnal(slot(p.slot), buf_, b.dlina) || !zapisat(p)) return false;
            } else if (slezhenie && zyNuzhnaZapis(zapisano, g + b.dlina, rasstojanie)) {
                ZyOtmetka p = posl_;
                p.gotovo = g;
                if (!zapisat(p)) return false;
                zapisano = g;
            }
            if (!io_.pisat(s.kuda + b.smeshenie, buf_, b.dlina)) return false;
            g += b.dlina;
            io_.progress(b.dlina);
        }
        return true;
    }

    Io& io_;
    const ZyZagolovok& z_;
    unsigned char* buf_;
    uint64_t blok_;
    ZyOtmetka posl_; // the last record written
};

} // namespace Quorvel

#endif // ZYISPOLNITELZHURNALA_H
