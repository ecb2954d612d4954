// The journaled changes on arrays: every insert, delete, move and replacement stopped at every
// write of the file or the journal (before it, half-way through it, just short of its end), and
// every recovery of it stopped again, must end as before or as after the change (a header or
// record cut short is ignored); a change whose write fails is taken back in its own process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ZyIspolnitelZhurnala.h"
#include "ZyPlanZhurnala.h"

using namespace Quorvel;

namespace {

using Bajty = std::vector<unsigned char>;

Bajty uzor(size_t n, unsigned seed) {
    Bajty v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<unsigned char>(i * 37 + seed * 101 + 11);
    return v;
}

// Thrown by the array I/O where the process is killed.
struct Ubit {};

// How the call that is stopped ends: not begun, half done, done but for its last byte, or (a
// size) done.
enum Obryv { Nichego, Polovina, BezPoslednego, Vse };

// A file and its journal as arrays. The `predel`-th write or size change stops the process
// (Obryv says how much of it happened) or, with `otkaz`, fails; cuts can be refused.
struct PamjatIo {
    Bajty fajl, zhurnal, vneshnie;
    int schet = 0, predel = 0;
    Obryv obryv = Nichego;
    bool otkaz = false, otkazSreza = false;

    // True when this call fails; throws where the process stops.
    bool stop(unsigned char* kuda, const unsigned char* b, uint64_t n) {
        if (++schet != predel) return false;
        if (otkaz) return true;
        const uint64_t sdelano = obryv == Polovina        ? n / 2
                                 : obryv == BezPoslednego ? (n ? n - 1 : 0)
                                 : obryv == Vse           ? n
                                                          : 0;
        if (kuda) std::memcpy(kuda, b, size_t(sdelano));
        throw Ubit{};
    }
    bool zapis(Bajty& v, uint64_t poz, const unsigned char* b, uint64_t n) {
        if (poz + n > v.size()) v.resize(size_t(poz + n), 0);
        if (stop(v.data() + poz, b, n)) return false;
        std::memcpy(v.data() + poz, b, size_t(n));
        return true;
    }
    bool chitat(uint64_t poz, unsigned char* b, uint64_t n) {
        if (poz + n > fajl.size()) return false;
        std::memcpy(b, fajl.data() + poz, size_t(n));
        return true;
    }
    bool pisat(uint64_t poz, const unsigned char* b, uint64_t n) {
        if (poz + n > fajl.size()) return false; // the steps set the size first
        return zapis(fajl, poz, b, n);
    }
    bool ustanovitRazmer(uint64_t n) {
        if (otkazSreza && n < fajl.size()) return false;
        if (++schet == predel) {
            if (otkaz) return false;
            if (obryv == Vse) fajl.resize(size_t(n), 0);
            throw Ubit{};
        }
        fajl.resize(size_t(n), 0);
        return true;
    }
    uint64_t razmer() { return fajl.size(); }
    bool chitatZhurnal(uint64_t poz, unsigned char* b, uint64_t n) {
        if (poz + n > zhurnal.size()) return false;
        std::memcpy(b, zhurnal.data() + poz, size_t(n));
        return true;
    }
    bool pisatZhurnal(uint64_t poz, const unsigned char* b, uint64_t n, bool = true) {
        return zapis(zhurnal, poz, b, n);
    }
    bool vneshnij(uint64_t kuda, uint64_t n) {
        return pisat(kuda, vneshnie.data() + 1, n); // the outside range starts at 1
    }
    void progress(uint64_t) {}
};

// One change of the tables below: its plan, the file before and after.
struct Izmenenie {
    std::string chto;
    ZyPlan plan;
    Bajty vstavka; // the bytes an insert from memory puts into the journal's data
    Bajty posle;
};

// The journal's header for a plan, with blocks of `blok` bytes and the data at `smesh`.
ZyZagolovok zagolovok(const ZyPlan& plan, uint64_t blok, uint64_t smesh) {
    ZyZagolovok z;
    z.lichnost = ZyLichnost{7, 1, 2};
    z.plan = plan;
    z.slotBlok = blok;
    z.dannyeSmesh = smesh;
    return z;
}

// Runs the change on `io` up to its end or its stop. True when it ended (as after it, or, after
// a failure taken back, as `ishod` says).
bool zapustit(PamjatIo& io, const Izmenenie& iz, uint64_t blok, ZyIshod& ishod,
              uint64_t smesh = ZY_DANNYE_SMESH) {
    const ZyZagolovok z = zagolovok(iz.plan, blok, smesh);
    Bajty buf(static_cast<size_t>(blok));
    ZyIspolnitel<PamjatIo> isp(io, z, buf.data(), blok);
    try {
        if (!iz.vstavka.empty() && !io.pisatZhurnal(smesh, iz.vstavka.data(), iz.vstavka.size())) {
            ishod = ZyIshod::Do;
            return true;
        }
        if (!isp.nachat()) {
            ishod = ZyIshod::Do; // the file is untouched
            return true;
        }
        ishod = isp.vpered(0) ? ZyIshod::Posle : isp.vosstanovit(isp.progress(), true);
        return true;
    } catch (const Ubit&) {
        return false;
    }
}

// What a later open does with the journal: nothing without a whole header and record, else
// the recovery from the newest record. False when it was stopped itself.
bool vosstanovit(PamjatIo& io, uint64_t blok, ZyIshod& ishod) {
    ZyZagolovok z;
    ZyOtmetka p[2];
    bool est[2] = {false, false};
    ishod = ZyIshod::Do;
    if (io.zhurnal.size() < ZY_ZAGOLOVOK + 2 * ZY_ZAPIS_PROGRESSA)
        io.zhurnal.resize(ZY_ZAGOLOVOK + 2 * ZY_ZAPIS_PROGRESSA, 0);
    if (!zyProchestZagolovok(io.zhurnal.data(), z)) return true;
    for (int i = 0; i < 2; ++i)
        est[i] =
            zyProchestProgress(io.zhurnal.data() + ZY_ZAGOLOVOK + i * ZY_ZAPIS_PROGRESSA, p[i]);
    if (!est[0] && !est[1]) return true;
    const ZyOtmetka& novyj = !est[1] || (est[0] && p[0].nomer > p[1].nomer) ? p[0] : p[1];
    Bajty buf(static_cast<size_t>(blok));
    ZyIspolnitel<PamjatIo> isp(io, z, buf.data(), blok < z.slotBlok ? blok : z.slotBlok);
    try {
        ishod = isp.vosstanovit(novyj, false);
        return true;
    } catch (const Ubit&) {
        return false;
    }
}

// The changes: inserts from memory, from the file and from outside, deletes with long and
// short tails, moves up, down and past the end, replacements that cut and that grow.
std::vector<Izmenenie> izmenenija(const Bajty& a, const Bajty& drugoj) {
    std::vector<Izmenenie> v;
    // `malyj`: the end the plan may keep whole and write again (0: never).
    auto vstavka = [&](uint64_t p, uint64_t n, uint32_t otkuda, uint64_t ist, uint64_t malyj = 0) {
        Izmenenie iz;
        iz.chto = "insert " + std::to_string(n) + " at " + std::to_string(p) + " from " +
                  (otkuda == ZY_VSTAVKA_OZU    ? "memory"
                   : otkuda == ZY_VSTAVKA_FAJL ? "the file"
                                               : "outside") +
                  (otkuda == ZY_VSTAVKA_FAJL ? " " + std::to_string(ist) : "") +
                  (malyj ? ", end kept" : "");
        iz.plan = zyPlanVstavki(a.size(), p, n, otkuda, ist, malyj);
        Bajty vst = otkuda == ZY_VSTAVKA_OZU    ? uzor(size_t(n), 9)
                    : otkuda == ZY_VSTAVKA_FAJL ? Bajty(a.begin() + ist, a.begin() + ist + n)
                                                : Bajty(drugoj.begin() + 1, drugoj.begin() + 1 + n);
        if (otkuda == ZY_VSTAVKA_OZU) iz.vstavka = vst;
        iz.posle = a;
        if (p > iz.posle.size()) iz.posle.resize(size_t(p), 0);
        iz.posle.insert(iz.posle.begin() + p, vst.begin(), vst.end());
        v.push_back(iz);
    };
    auto udalenie = [&](uint64_t p, uint64_t n, uint64_t malyj = 0) {
        Izmenenie iz;
        iz.chto = "delete " + std::to_string(n) + " at " + std::to_string(p) +
                  (malyj ? ", end kept" : "");
        iz.plan = zyPlanUdalenija(a.size(), p, n, malyj);
        iz.posle = a;
        iz.posle.erase(iz.posle.begin() + p, iz.posle.begin() + p + n);
        v.push_back(iz);
    };
    auto peremeshenie = [&](uint64_t d, uint64_t s, uint64_t n) {
        Izmenenie iz;
        iz.chto =
            "move " + std::to_string(n) + " from " + std::to_string(s) + " to " + std::to_string(d);
        iz.plan = zyPlanPeremeshenija(a.size(), d, s, n);
        iz.posle = a;
        if (d > iz.posle.size()) iz.posle.resize(size_t(d), 0);
        if (d < s)
            std::rotate(iz.posle.begin() + d, iz.posle.begin() + s, iz.posle.begin() + s + n);
        else if (d > s + n)
            std::rotate(iz.posle.begin() + s, iz.posle.begin() + s + n, iz.posle.begin() + d);
        v.push_back(iz);
    };
    auto zamena = [&](uint64_t nachalo, uint64_t n) {
        Izmenenie iz;
        iz.chto = "replace from " + std::to_string(nachalo) + " with " + std::to_string(n);
        iz.plan = zyPlanZameny(a.size(), nachalo, n);
        iz.vstavka = uzor(size_t(n), 5);
        iz.posle = Bajty(a.begin(), a.begin() + nachalo);
        iz.posle.insert(iz.posle.end(), iz.vstavka.begin(), iz.vstavka.end());
        v.push_back(iz);
    };
    const uint64_t S = a.size();
    for (uint64_t n : {1, 2, 5, 9}) {
        vstavka(3, n, ZY_VSTAVKA_OZU, 0);
        vstavka(0, n, ZY_VSTAVKA_DRUGOJ, 0);
    }
    vstavka(S - 1, 4, ZY_VSTAVKA_OZU, 0);
    vstavka(S, 3, ZY_VSTAVKA_OZU, 0);
    vstavka(S + 4, 3, ZY_VSTAVKA_DRUGOJ, 0);
    vstavka(6, 5, ZY_VSTAVKA_FAJL, 2);  // source below, overlapping the point
    vstavka(6, 5, ZY_VSTAVKA_FAJL, 13); // source above
    vstavka(6, 4, ZY_VSTAVKA_FAJL, 6);  // source at the point
    vstavka(S + 2, 4, ZY_VSTAVKA_FAJL, 1);
    for (uint64_t n : {1, 2, 4, 7, 9, 12, 17})
        udalenie(2, n);
    udalenie(0, S - 1);
    udalenie(S - 2, 1);
    // Near the end: the whole end kept in the journal and written again.
    for (uint64_t n : {1, 3, 9}) {
        vstavka(S - 5, n, ZY_VSTAVKA_OZU, 0, 16);
        udalenie(S - 2 * n - 2, n, 16);
    }
    vstavka(S - 1, 4, ZY_VSTAVKA_OZU, 0, 5); // exactly the limit
    udalenie(S - 11, 10, 11);                // a tail shorter than the bytes
    vstavka(S - 5, 3, ZY_VSTAVKA_OZU, 0, 7); // over the limit: the move
    peremeshenie(0, 3, 2);
    peremeshenie(2, 9, 11);
    peremeshenie(S, 1, 3);
    peremeshenie(S - 1, 0, S - 3);
    peremeshenie(S + 5, 4, 6);
    peremeshenie(12, 0, 12); // to its own end: nothing
    zamena(4, 3);
    zamena(4, S + 9);
    zamena(0, S);
    return v;
}

// The outcome against the images: after as after, before as before.
std::string proverka(const Bajty& f, const Bajty& a, const Izmenenie& iz, ZyIshod ishod) {
    if (ishod == ZyIshod::Posle && f == iz.posle) return "";
    if (ishod == ZyIshod::Do && f == a) return "";
    if (ishod == ZyIshod::Sboj) return "recovery failed";
    return f == a          ? "as before, reported after"
           : f == iz.posle ? "as after, reported before"
                           : "neither before nor after";
}

} // namespace

TEST(PlanZhurnala, EveryChangeStoppedAnywhereAndRecoveredEndsBeforeOrAfter) {
    const Bajty a = uzor(24, 1), drugoj = uzor(40, 2);
    int ostanovok = 0, vtoryh = 0;
    for (const Izmenenie& iz : izmenenija(a, drugoj)) {
        for (uint64_t blok : {3, 4, 8, 64}) {
            // The calls of a whole run, then a stop at each of them in each way.
            PamjatIo suhoj{a, {}, drugoj};
            ZyIshod ishod;
            ASSERT_TRUE(zapustit(suhoj, iz, blok, ishod)) << iz.chto;
            ASSERT_EQ("", proverka(suhoj.fajl, a, iz, ishod)) << iz.chto << ", blocks " << blok;
            for (int k = 1; k <= suhoj.schet; ++k) {
                for (Obryv o : {Nichego, Polovina, BezPoslednego, Vse}) {
                    const std::string gde = iz.chto + ", blocks " + std::to_string(blok) +
                                            ", stopped at call " + std::to_string(k) + " (" +
                                            std::to_string(int(o)) + ")";
                    PamjatIo io{a, {}, drugoj};
                    io.predel = k;
                    io.obryv = o;
                    ASSERT_FALSE(zapustit(io, iz, blok, ishod)) << gde;
                    ++ostanovok;
                    // The recovery, and the recovery of each of its own stops.
                    PamjatIo posle = io;
                    posle.predel = 0;
                    posle.schet = 0;
                    PamjatIo povtor = posle;
                    ASSERT_TRUE(vosstanovit(povtor, blok, ishod)) << gde;
                    ASSERT_EQ("", proverka(povtor.fajl, a, iz, ishod)) << gde;
                    for (int k2 = 1; k2 <= povtor.schet; k2 += 1 + k2 / 3) {
                        PamjatIo dvazhdy = posle;
                        dvazhdy.predel = k2;
                        dvazhdy.obryv = o;
                        if (vosstanovit(dvazhdy, blok, ishod)) continue;
                        ++vtoryh;
                        dvazhdy.predel = 0;
                        ASSERT_TRUE(vosstanovit(dvazhdy, blok, ishod))
                            << gde << ", again at " << k2;
                        ASSERT_EQ("", proverka(dvazhdy.fajl, a, iz, ishod))
                            << gde << ", recovery stopped at " << k2;
                    }
                }
            }
        }
    }
    EXPECT_GT(ostanovok, 5000);
    EXPECT_GT(vtoryh, 5000);
    // A journal of the first version (its data from ZY_DANNYE_SMESH_V1) that a stopped process
    // left is recovered as it was written.
    for (const Izmenenie& iz : izmenenija(a, drugoj)) {
        PamjatIo suhoj{a, {}, drugoj};
        ZyIshod ishod;
        ASSERT_TRUE(zapustit(suhoj, iz, 8, ishod, ZY_DANNYE_SMESH_V1)) << iz.chto;
        for (int k = 1; k <= suhoj.schet; ++k) {
            PamjatIo io{a, {}, drugoj};
            io.predel = k;
            io.obryv = Polovina;
            ASSERT_FALSE(zapustit(io, iz, 8, ishod, ZY_DANNYE_SMESH_V1)) << iz.chto;
            io.predel = 0;
            ASSERT_TRUE(vosstanovit(io, 8, ishod)) << iz.chto;
            ASSERT_EQ("", proverka(io.fajl, a, iz, ishod)) << iz.chto << ", version 1, call " << k;
        }
    }
}

TEST(PlanZhurnala, AChangeWhoseWriteOrCutFailsIsTakenBackInItsProcess) {
    const Bajty a = uzor(24, 1), drugoj = uzor(40, 2);
    for (const Izmenenie& iz : izmenenija(a, drugoj)) {
        for (bool srez : {false, true}) {
            PamjatIo suhoj{a, {}, drugoj};
            suhoj.otkazSreza = srez;
            ZyIshod ishod;
            zapustit(suhoj, iz, 4, ishod);
            for (int k = 1; k <= suhoj.schet + 1; ++k) {
                const std::string gde = iz.chto + (srez ? ", cuts refused" : "") + ", call " +
                                        std::to_string(k) + " fails";
                PamjatIo io{a, {}, drugoj};
                io.predel = k;
                io.otkaz = true;
                io.otkazSreza = srez;
                ASSERT_TRUE(zapustit(io, iz, 4, ishod)) << gde;
                // Taken back, except a change that cannot go back (or whose undo needs a cut
                // the system refuses), which is carried through, and one whose only failure
                // was the record of its end. A journal whose own write failed while taking
                // the change back stays for the next open.
                if (ishod == ZyIshod::Posle && k < suhoj.schet && iz.plan.kol &&
                    !iz.plan.tolkoVpered) {
                    EXPECT_TRUE(srez) << gde << ": carried through though it could go back";
                }
                if (ishod == ZyIshod::Sboj) {
                    // Left for the next open; an insert from outside waits there for the cut.
                    io.predel = 0;
                    ASSERT_TRUE(vosstanovit(io, 4, ishod)) << gde;
                    if (ishod == ZyIshod::Sboj && srez) {
                        io.otkazSreza = false;
                        ASSERT_TRUE(vosstanovit(io, 4, ishod)) << gde;
                    }
                }
                EXPECT_EQ("", proverka(io.fajl, a, iz, ishod)) << gde;
            }
        }
    }
}

TEST(PlanZhurnala, DeletesKeepTheShorterOfTheTwoWaysInTheJournal) {
    const struct {
        uint64_t razmer, p, n;
        uint64_t dannye; // bytes the journal keeps
        uint32_t shagov; // steps
        bool srezPervym; // the file is cut before anything moves
    } sluchai[] = {
        {100, 10, 20, 40, 3, true},  // tail 70: cut first, the deleted and the last 20 kept
        {100, 10, 45, 90, 2, true},  // tail 45 = n: no move, the tail written from the journal
        {100, 10, 60, 30, 2, false}, // tail 30 < n: the 30 bytes the move overwrites
        {100, 0, 99, 1, 2, false},   // one byte of tail
    };
    for (const auto& s : sluchai) {
        const ZyPlan p = zyPlanUdalenija(s.razmer, s.p, s.n);
        EXPECT_EQ(s.dannye, p.dannye) << s.p << ", " << s.n;
        EXPECT_EQ(s.shagov, p.kol) << s.p << ", " << s.n;
        EXPECT_EQ(s.srezPervym, p.shagi[0].vid == ZY_SHAG_RAZMER) << s.p << ", " << s.n;
        EXPECT_EQ(s.razmer - s.n, p.razmerPosle);
    }
}
