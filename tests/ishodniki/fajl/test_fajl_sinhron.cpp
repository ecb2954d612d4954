// Cross-process reader/writer locking with real helper processes: this program started again
// with "--pomoshnik <role> <file> <name>" opens the file, takes the reader or writer side and
// holds it until told to leave. The processes meet through named events; a shared page counts
// who is inside, so a writer that got in too early is seen, not guessed from timing.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "ZyTestStranica.h"
#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

constexpr DWORD kDolgo = 30000; // ms: the longest any step may take
constexpr DWORD kOkno = 300;    // ms a wrongly admitted party is given to show itself
constexpr const char* kStat = "zy_test_fajl_sinhron_stat";

// The shared counts: readers inside, writers inside, most writers at once, most readers a
// writer saw when it got in.
struct Stat {
    volatile LONG chitateli, pisateli, maxPisatelej, chitateliPriVhode;
};

// The shared page, created by the test and opened by the helpers.
using StatStranica = zytest::ObshchajaStranica<Stat>;

// Raises `cel` to `v` if it is lower.
void podnjat(volatile LONG& cel, LONG v) {
    LONG staroe = cel;
    while (v > staroe) {
        const LONG bylo = InterlockedCompareExchange(&cel, v, staroe);
        if (bylo == staroe) break;
        staroe = bylo;
    }
}

// The events of one helper: ready (opened the file), inside (holds its side), leave (told
// to let go), gone (has let go). Manual-reset, named after the helper.
struct Sobytija {
    HANDLE gotov, vnutri, vyjti, vyshel;

    explicit Sobytija(const std::string& imja, bool sozdat) {
        HANDLE* h[] = {&gotov, &vnutri, &vyjti, &vyshel};
        const char* hvost[] = {"_gotov", "_vnutri", "_vyjti", "_vyshel"};
        for (int i = 0; i < 4; ++i) {
            const std::string n = imja + hvost[i];
            *h[i] = sozdat ? CreateEventA(nullptr, TRUE, FALSE, n.c_str())
                           : OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, n.c_str());
        }
    }
    ~Sobytija() {
        for (HANDLE h : {gotov, vnutri, vyjti, vyshel})
            if (h) CloseHandle(h);
    }
};

// The zone reader: maps a zone over the whole file through operator[] of a read-only object,
// waits while the test copies, then reads every byte through the same zone. 0 when they are
// the file's bytes as a fresh handle reads them, 7 when the zone had to be mapped again, 8 when
// a byte differs.
int pomoshnikZony(Sobytija& s, const std::string& put) {
    ZYKFAJL64 f;
    if (!otkrytChtenie(f, put)) return 3;
    const uint64_t n = u64(f.Razmer);
    f[nb(n - 1)];
    unsigned char* const zona = f.BazaZony;
    if (!zona || u64(f.NachaloZony) != 0 || u64(f.KonecZony) < n) return 4;
    f.IntervalIzm = 60000; // no re-measure, which would map the zone again
    f.PoslIzm = GetTickCount();
    SetEvent(s.gotov);
    SetEvent(s.vnutri);
    if (WaitForSingleObject(s.vyjti, kDolgo) != WAIT_OBJECT_0) return 5;
    std::vector<unsigned char> cherezZonu(static_cast<size_t>(n));
    for (uint64_t i = 0; i < n; ++i)
        cherezZonu[static_cast<size_t>(i)] = f[nb(i)];
    const int rez = f.BazaZony != zona ? 7 : cherezZonu != ChitatBajty(put) ? 8 : 0;
    SetEvent(s.vyshel);
    return rez;
}

// The helper process: 0 when it went in and out as told.
int pomoshnik(const std::string& rol, const std::string& put, const std::string& imja) {
    Sobytija s(imja, false);
    StatStranica stat(kStat, false);
    if (!s.gotov || !stat) return 2;
    if (rol == "zona") return pomoshnikZony(s, put);
    ZYKFAJL64 f;
    if (!otkrytZapis(f, put)) return 3;
    if (rol == "derzhatel" || rol == "dopisatel" || rol == "peremeshatel") {
        // Holds the file open until told to leave; the writer first grows it by 3 bytes at
        // 2000 and closes it again; the mover first moves 50 bytes from 100 to 500 (a change
        // through the journal, which it then holds).
        if (rol == "dopisatel") {
            if (f.Kop(nb(2000), "XYZ", 3) == 0) return 4;
            f.DES();
        }
        if (rol == "peremeshatel" && f.Peredat(nb(500), nb(100), nb(50)) != 1) return 4;
        SetEvent(s.gotov);
        SetEvent(s.vnutri);
        if (WaitForSingleObject(s.vyjti, kDolgo) != WAIT_OBJECT_0) return 5;
        SetEvent(s.vyshel);
        return 0;
    }
    SetEvent(s.gotov);
    if (rol == "chitatel") {
        if (!f.FEK_SinhronChtenPref()) return 4;
        InterlockedIncrement(&stat->chitateli);
    } else {
        if (!f.FEK_SinhronZapisPref()) return 4;
        podnjat(stat->chitateliPriVhode, stat->chitateli);
        podnjat(stat->maxPisatelej, InterlockedIncrement(&stat->pisateli));
    }
    SetEvent(s.vnutri);
    if (WaitForSingleObject(s.vyjti, kDolgo) != WAIT_OBJECT_0) return 5;
    int rez = 0;
    if (rol == "chitatel") {
        InterlockedDecrement(&stat->chitateli);
        if (!f.FEK_SinhronChtenSyf()) rez = 6;
    } else {
        InterlockedDecrement(&stat->pisateli);
        if (!f.FEK_SinhronZapisSyf()) rez = 6;
    }
    SetEvent(s.vyshel);
    return rez;
}

// One helper process started by a test, with its events; ended (forcibly, if it hangs)
// when the object goes.
class Pomoshnik {
public:
    Pomoshnik(const std::string& rol, const std::string& put, const std::string& imja)
        : s_(imja, true) {
        process_ = zapustitPomoshnika(rol + " \"" + put + "\" " + imja);
    }
    ~Pomoshnik() {
        if (!process_) return;
        SetEvent(s_.vyjti);
        if (WaitForSingleObject(process_, kDolgo) != WAIT_OBJECT_0) TerminateProcess(process_, 99);
        CloseHandle(process_);
    }

    bool zapushen() const { return process_ != nullptr; }
    // Waits (bounded) until the helper has opened the file.
    bool gotov() { return WaitForSingleObject(s_.gotov, kDolgo) == WAIT_OBJECT_0; }
    // Waits until it is inside, at most `ms`.
    bool vnutri(DWORD ms = kDolgo) { return WaitForSingleObject(s_.vnutri, ms) == WAIT_OBJECT_0; }
    HANDLE sobytieVnutri() const { return s_.vnutri; }
    // Tells it to leave and waits until it has, then for its exit code.
    int vyjti() {
        SetEvent(s_.vyjti);
        if (WaitForSingleObject(s_.vyshel, kDolgo) != WAIT_OBJECT_0) return -1;
        if (WaitForSingleObject(process_, kDolgo) != WAIT_OBJECT_0) return -2;
        DWORD kod = 0;
        GetExitCodeProcess(process_, &kod);
        CloseHandle(process_);
        process_ = nullptr;
        return int(kod);
    }

private:
    Sobytija s_;
    HANDLE process_ = nullptr;
};

// The reader count of a file, read from its shared page ("P").
LONG schetchikChitatelej(const std::string& put) {
    std::string imja;
    for (char c : put)
        imja += c == '\\' ? '*' : c;
    CharUpperA(&imja[0]);
    imja += 'P';
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, imja.c_str());
    if (!h) return -1;
    LONG* p = static_cast<LONG*>(MapViewOfFile(h, FILE_MAP_READ, 0, 0, sizeof(LONG)));
    const LONG v = p ? *p : -1;
    if (p) UnmapViewOfFile(p);
    CloseHandle(h);
    return v;
}

// A fresh shared page and a file to lock.
class Sinhron : public ::testing::Test {
protected:
    void SetUp() override {
        put_ = TekushchajaPapka() + "\\obshij.bin";
        ASSERT_TRUE(ZapisatBajty(put_, uzor(1000)));
        ASSERT_TRUE(stat_);
    }
    std::string put_;
    StatStranica stat_{kStat, true};
};

} // namespace

TEST_F(Sinhron, TwoReadersProceedTogetherAndAWriterWaitsForBoth) {
    Pomoshnik r1("chitatel", put_, "zy_r1"), r2("chitatel", put_, "zy_r2");
    ASSERT_TRUE(r1.zapushen() && r2.zapushen());
    ASSERT_TRUE(r1.vnutri()) << "first reader";
    ASSERT_TRUE(r2.vnutri()) << "second reader, while the first is inside";
    EXPECT_EQ(2, stat_->chitateli);
    EXPECT_EQ(2, schetchikChitatelej(put_));

    Pomoshnik w("pisatel", put_, "zy_w");
    ASSERT_TRUE(w.gotov());
    EXPECT_FALSE(w.vnutri(kOkno)) << "a writer does not enter while readers are inside";
    EXPECT_EQ(0, r1.vyjti());
    EXPECT_EQ(1, schetchikChitatelej(put_));
    EXPECT_FALSE(w.vnutri(kOkno)) << "nor while one reader is left";
    EXPECT_EQ(0, r2.vyjti());
    ASSERT_TRUE(w.vnutri()) << "the last reader opens the gate";
    EXPECT_EQ(0, stat_->chitateliPriVhode);
    EXPECT_EQ(0, schetchikChitatelej(put_));
    EXPECT_EQ(0, w.vyjti());
}

TEST_F(Sinhron, AnEndingWriterLetsExactlyOneWaiterThrough) {
    Pomoshnik w1("pisatel", put_, "zy_w1");
    ASSERT_TRUE(w1.vnutri());
    Pomoshnik w2("pisatel", put_, "zy_w2"), w3("pisatel", put_, "zy_w3");
    ASSERT_TRUE(w2.gotov() && w3.gotov());
    const HANDLE ozhidanie[2] = {w2.sobytieVnutri(), w3.sobytieVnutri()};
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForMultipleObjects(2, ozhidanie, FALSE, kOkno));
    EXPECT_EQ(0, w1.vyjti());
    const DWORD kto = WaitForMultipleObjects(2, ozhidanie, FALSE, kDolgo);
    ASSERT_TRUE(kto == WAIT_OBJECT_0 || kto == WAIT_OBJECT_0 + 1);
    Pomoshnik& voshel = kto == WAIT_OBJECT_0 ? w2 : w3;
    Pomoshnik& zhdet = kto == WAIT_OBJECT_0 ? w3 : w2;
    EXPECT_FALSE(zhdet.vnutri(kOkno)) << "the auto-reset gate lets one through";
    EXPECT_EQ(0, voshel.vyjti());
    ASSERT_TRUE(zhdet.vnutri());
    EXPECT_EQ(0, zhdet.vyjti());
    EXPECT_EQ(1, stat_->maxPisatelej);
}

TEST_F(Sinhron, OpeningAnOpenFileKeepsTheReaderCount) {
    Pomoshnik r1("chitatel", put_, "zy_k1"), r2("chitatel", put_, "zy_k2");
    ASSERT_TRUE(r1.vnutri() && r2.vnutri());
    ASSERT_EQ(2, schetchikChitatelej(put_));
    {
        ZYKFAJL64 esheOdin;
        ASSERT_EQ(1, otkrytZapis(esheOdin, put_));
        EXPECT_EQ(2, schetchikChitatelej(put_)) << "the objects existed: the count is kept";
    }
    Pomoshnik r3("chitatel", put_, "zy_k3");
    ASSERT_TRUE(r3.vnutri()) << "a reader opening later joins the others";
    EXPECT_EQ(3, schetchikChitatelej(put_));
    EXPECT_EQ(0, r1.vyjti());
    EXPECT_EQ(0, r3.vyjti());
    Pomoshnik w("pisatel", put_, "zy_kw");
    ASSERT_TRUE(w.gotov());
    EXPECT_FALSE(w.vnutri(kOkno)) << "one reader is still inside";
    EXPECT_EQ(0, r2.vyjti());
    ASSERT_TRUE(w.vnutri());
    EXPECT_EQ(0, stat_->chitateliPriVhode);
    EXPECT_EQ(0, w.vyjti());
}

TEST_F(Sinhron, WritingCopiesWaitForAReaderInAnotherProcess) {
    Pomoshnik r("chitatel", put_, "zy_kr");
    ASSERT_TRUE(r.vnutri());
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytZapis(f, put_));
    // A reading copy shares with the reader.
    std::vector<unsigned char> buf(100);
    EXPECT_EQ(1, f.Kop(buf.data(), nb(0), 100));
    EXPECT_EQ(1, schetchikChitatelej(put_));
    // A writing copy waits: it is released from a second thread once the reader has gone.
    struct Kopija {
        ZYKFAJL64* f;
        HANDLE gotovo;
        static DWORD WINAPI potok(void* p) {
            Kopija* k = static_cast<Kopija*>(p);
            k->f->Kop(nb(0), "abc", 3);
            SetEvent(k->gotovo);
            return 0;
        }
    } kopija{&f, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE potok = CreateThread(nullptr, 0, Kopija::potok, &kopija, 0, nullptr);
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), WaitForSingleObject(kopija.gotovo, kOkno));
    EXPECT_EQ(uzor(1000)[0], ChitatBajty(put_)[0]);
    EXPECT_EQ(0, r.vyjti());
    EXPECT_EQ(DWORD(WAIT_OBJECT_0), WaitForSingleObject(kopija.gotovo, kDolgo));
    WaitForSingleObject(potok, kDolgo);
    CloseHandle(potok);
    CloseHandle(kopija.gotovo);
    EXPECT_EQ('a', ChitatBajty(put_)[0]);
}

TEST_F(Sinhron, AGrowingWriteKeepsWhatAnotherProcessWroteFurtherOut) {
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytZapis(f, put_)); // believes the file holds 1000 bytes
    Pomoshnik p("dopisatel", put_, "zy_dop");
    ASSERT_TRUE(p.vnutri());
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(1, f.Kop(nb(1500), "0123456789", 10)) << "past the end it knew of";
    auto ozhidaemoe = uzor(1000);
    ozhidaemoe.resize(2003, 0);
    std::memcpy(&ozhidaemoe[2000], "XYZ", 3);
    std::memcpy(&ozhidaemoe[1500], "0123456789", 10);
    EXPECT_EQ(ozhidaemoe, ChitatBajty(put_));
    EXPECT_TRUE(nabljudatel.Okna().empty()) << nabljudatel.Tekst();
    EXPECT_EQ(0, p.vyjti());
}

TEST_F(Sinhron, DeleteWhileAnotherProcessHoldsTheFileLeavesItUnchanged) {
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytZapis(f, put_));
    Pomoshnik p("derzhatel", put_, "zy_derzh");
    ASSERT_TRUE(p.vnutri());
    ZyStorozhOkon nabljudatel;
    EXPECT_EQ(0, f.Vwkl(nb(100), nb(50)));
    EXPECT_EQ(uzor(1000), ChitatBajty(put_));
    ASSERT_TRUE(nabljudatel.Zhdat(1));
    EXPECT_EQ(tekstOtcheta(ERROR_USER_MAPPED_FILE, "FIN", 5), nabljudatel.Okna()[0].tekst);
    EXPECT_EQ(1, f.Peredat(nb(500), nb(100), nb(50))) << "a move keeps the size: no cut";
    auto ozhidaemoe = uzor(1000);
    std::rotate(ozhidaemoe.begin() + 100, ozhidaemoe.begin() + 150, ozhidaemoe.begin() + 500);
    EXPECT_EQ(ozhidaemoe, ChitatBajty(put_));
    EXPECT_EQ(0, p.vyjti());
}

TEST_F(Sinhron, AJournalAnotherProcessHoldsBetweenItsChangesServesThisProcessToo) {
    const std::string zhurnal = put_ + ".ZYKFAJL64-zhurnal";
    ZyStorozhOkon nabljudatel;
    ZYKFAJL64 f;
    ASSERT_EQ(1, otkrytZapis(f, put_));
    Pomoshnik p("peremeshatel", put_, "zy_perem");
    ASSERT_TRUE(p.vnutri());
    EXPECT_EQ(1, RazmerFajla(zhurnal)) << "held by the helper, no change in it";
    EXPECT_EQ(1, f.Peredat(nb(0), nb(900), nb(10)));
    auto ozhidaemoe = uzor(1000);
    std::rotate(ozhidaemoe.begin() + 100, ozhidaemoe.begin() + 150, ozhidaemoe.begin() + 500);
    std::rotate(ozhidaemoe.begin(), ozhidaemoe.begin() + 900, ozhidaemoe.begin() + 910);
    EXPECT_EQ(ozhidaemoe, ChitatBajty(put_));
    EXPECT_EQ(0, p.vyjti());
    EXPECT_EQ(1, RazmerFajla(zhurnal)) << "this process still holds it";
    f.DES();
    EXPECT_EQ(-1, RazmerFajla(zhurnal)) << "gone with the last object";
    EXPECT_TRUE(nabljudatel.Okna().empty()) << nabljudatel.Tekst();
}

namespace {

// Watches the boxes of this process on a thread of its own: at every box it looks whether
// `zamok` (an event or a mutex of the file) is free at that moment, gives it back at once,
// and presses OK. Runs until stopped; every wait is bounded.
class ProverkaZamka {
public:
    ProverkaZamka(HANDLE zamok, bool mutex)
        : zamok_(zamok), mutex_(mutex), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        potok_ = CreateThread(nullptr, 0, rabota, this, 0, nullptr);
    }
    ~ProverkaZamka() { ostanovit(); }

    // Stops the watcher; the number of boxes seen, and how many showed with the lock held.
    std::pair<int, int> ostanovit() {
        if (potok_) {
            SetEvent(stop_);
            WaitForSingleObject(potok_, kDolgo);
            CloseHandle(potok_);
            CloseHandle(stop_);
            potok_ = nullptr;
        }
        return {okon_, zanjatyh_};
    }
    std::string tekst;

private:
    static DWORD WINAPI rabota(void* p) {
        ProverkaZamka* z = static_cast<ProverkaZamka*>(p);
        while (WaitForSingleObject(z->stop_, 10) == WAIT_TIMEOUT) {
            if (VidimyeSoobshenija(GetCurrentProcessId()).empty()) continue;
            const DWORD w = WaitForSingleObject(z->zamok_, 0);
            const bool svoboden = w == WAIT_OBJECT_0 || w == WAIT_ABANDONED;
            if (svoboden && z->mutex_) ReleaseMutex(z->zamok_);
            if (svoboden && !z->mutex_) SetEvent(z->zamok_);
            for (const ZyOkno& o : OtvetitNaSoobshenija(GetCurrentProcessId(), IDOK)) {
                ++z->okon_;
                if (!svoboden) ++z->zanjatyh_;
                z->tekst += o.tekst + "\n";
            }
        }
        return 0;
    }

    HANDLE zamok_;
    bool mutex_;
    HANDLE stop_;
    HANDLE potok_ = nullptr;
    int okon_ = 0, zanjatyh_ = 0;
};

HANDLE WINAPI bezSemafora(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCSTR) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
}

} // namespace

TEST_F(Sinhron, ReportsAreShownWithTheLocksGivenBack) {
    ZYKFAJL64 f, svidetel;
    ASSERT_EQ(1, otkrytZapis(f, put_));
    ASSERT_EQ(1, otkrytZapis(svidetel, put_)); // the same named gate and mutex
    const struct {
        const char* chto;
        bool mutex; // the lock to look at: the file mutex, else the writer gate
        int (*dejstvie)(ZYKFAJL64& f, PodmenaVyzovov& podmena, const std::string& put);
    } sluchai[] = {
        {"FIN on a full disk", false,
         [](ZYKFAJL64& f, PodmenaVyzovov& podmena, const std::string&) {
             podmena.polnyjDisk();
             return f.FIN(nb(5000));
         }},
        {"writing copy with a view that fails", false,
         [](ZYKFAJL64& f, PodmenaVyzovov& podmena, const std::string&) {
             podmena.sbojOtobrazhenija(1); // the count's page stays mapped from open
             return f.Kop(nb(10), "abc", 3);
         }},
        {"reading copy with a view that fails", false,
         [](ZYKFAJL64& f, PodmenaVyzovov& podmena, const std::string&) {
             podmena.sbojOtobrazhenija(1);
             char buf[3];
             return f.Kop(buf, nb(10), 3);
         }},
        {"open whose reader pass cannot be made", true,
         [](ZYKFAJL64&, PodmenaVyzovov& podmena, const std::string& put) {
             podmena.tablica().CreateSemaphoreA = bezSemafora;
             ZYKFAJL64 g;
             return otkrytZapis(g, put);
         }},
    };
    for (const auto& s : sluchai) {
        PodmenaVyzovov podmena;
        ProverkaZamka proverka(s.mutex ? svidetel.hMutex : svidetel.hZatvor, s.mutex);
        EXPECT_EQ(0, s.dejstvie(f, podmena, put_)) << s.chto;
        const auto itog = proverka.ostanovit();
        EXPECT_GE(itog.first, 1) << s.chto;
        EXPECT_EQ(0, itog.second) << s.chto << ": shown with the lock held\n" << proverka.tekst;
    }
    EXPECT_EQ(uzor(1000), ChitatBajty(put_));
}

TEST_F(Sinhron, CopiesAreSeenThroughTheZoneOfAnObjectInAnotherProcess) {
    // The copies write through the file handle; the other process reads through the view it
    // mapped before them, which the system keeps on the same pages as the file's cache.
    const uint64_t n = 3 * 65536 + 1;
    const auto ishodnye = uzor(size_t(n), 71), drugie = uzor(size_t(n), 72);
    const std::string drugoj = TekushchajaPapka() + "\\istochnik_zony.bin";
    ASSERT_TRUE(ZapisatBajty(put_, ishodnye));
    ASSERT_TRUE(ZapisatBajty(drugoj, drugie));
    Pomoshnik p("zona", put_, "zy_zona");
    ASSERT_TRUE(p.zapushen());
    ASSERT_TRUE(p.vnutri()) << "the helper has its zone";
    ZYKFAJL64 f, g;
    ASSERT_EQ(1, otkrytZapis(f, put_));
    ASSERT_EQ(1, otkrytZapis(g, drugoj));
    auto model = ishodnye;
    EXPECT_EQ(1, f.Kop(nb(5), g, nb(100), nb(65536 + 3)));
    std::copy(drugie.begin() + 100, drugie.begin() + 100 + 65536 + 3, model.begin() + 5);
    EXPECT_EQ(1, f.Kop(nb(70000), nb(2), nb(65536)));
    std::memmove(&model[70000], &model[2], 65536);
    EXPECT_EQ(1, f.Kop(nb(9), "kopija", 6));
    std::memcpy(&model[9], "kopija", 6);
    ASSERT_EQ(model, ChitatBajty(put_));
    ASSERT_NE(ishodnye, model);
    EXPECT_EQ(0, p.vyjti()) << "7: its zone was mapped again; 8: it shows other bytes";
}

namespace {

// Copies between two files, one way round, many times: the thread of the deadlock test.
struct Vstrechnaja {
    std::string kuda, otkuda;
    HANDLE start;
    LONG gotovo = 0;
    static DWORD WINAPI potok(void* p) {
        Vstrechnaja* v = static_cast<Vstrechnaja*>(p);
        ZYKFAJL64 a, b;
        if (!otkrytZapis(a, v->kuda) || !otkrytZapis(b, v->otkuda)) return 1;
        if (WaitForSingleObject(v->start, kDolgo) != WAIT_OBJECT_0) return 3;
        for (int i = 0; i < 300; ++i)
            if (a.Kop(nb(i), b, nb(0), nb(500)) == 0) return 2;
        InterlockedExchange(&v->gotovo, 1);
        return 0;
    }
};

} // namespace

TEST_F(Sinhron, CopiesInOppositeDirectionsDoNotDeadlock) {
    // Each copy holds the writer side of its receiver and the reader side of its source; the
    // two sides are always taken in the same order of the paths, so two copies between the
    // same files in opposite directions cannot wait for each other.
    const std::string drugoj = TekushchajaPapka() + "\\vstrechnyj.bin";
    ASSERT_TRUE(ZapisatBajty(drugoj, uzor(1000, 2)));
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Vstrechnaja tuda{put_, drugoj, start}, obratno{drugoj, put_, start};
    HANDLE potoki[2] = {CreateThread(nullptr, 0, Vstrechnaja::potok, &tuda, 0, nullptr),
                        CreateThread(nullptr, 0, Vstrechnaja::potok, &obratno, 0, nullptr)};
    SetEvent(start);
    if (WaitForMultipleObjects(2, potoki, TRUE, kDolgo) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the two copies deadlocked";
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1); // the threads can never be ended otherwise
    }
    for (HANDLE h : potoki) {
        DWORD kod = 9;
        GetExitCodeThread(h, &kod);
        EXPECT_EQ(0u, kod);
        CloseHandle(h);
    }
    EXPECT_EQ(1, tuda.gotovo);
    EXPECT_EQ(1, obratno.gotovo);
    CloseHandle(start);
}

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--pomoshnik") == 0)
        return pomoshnik(argv[2], argv[3], argv[4]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
