// Killed processes lose no byte: a helper process (this program started with "--pomoshnik")
// runs an insert, a delete or a move on a file of 256 MiB and is ended with TerminateProcess at
// points spread over the call: at its n-th write or size change (before it, or after writing
// half of it), at moments spread over its time, and after it returned. The file, opened again
// in this process (which replays the journal the helper left), must then be exactly as before
// the call or as after it; sometimes a second helper opens it first and is killed in the middle
// of the replay. ZY_UBIJSTVA=<points per form> asks for a longer run.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ZySistVyzovy.h"
#include "fajl_pomoshch.h"

using namespace zytest;

namespace {

constexpr uint64_t kMiB = 1ull << 20;
constexpr uint64_t kRazmerA = 256 * kMiB; // the file changed
constexpr uint64_t kRazmerB = 64 * kMiB;  // the file a form copies from
constexpr DWORD kDolgo = 120000;          // ms: the longest any helper may take
constexpr int kTochekPoUmolchaniju = 17;  // kill points per form by write count
constexpr int kVremennyh = 2;             // and by time
constexpr unsigned kVstavok = 3000;       // one-byte inserts of the helper "vstavki"

// ---- The images of the files --------------------------------------------------------------

// Bytes 8w .. 8w + 7 of pattern `zerno`, low byte first.
uint64_t slovo(unsigned zerno, uint64_t w) {
    uint64_t x = w + 0x9E3779B97F4A7C15ull * zerno;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Bytes [ot, ot + n) of pattern `zerno` into `b`, a word at a time where aligned.
void uzorVBufer(unsigned zerno, uint64_t ot, unsigned char* b, uint64_t n) {
    uint64_t i = 0;
    for (; i < n && (ot + i) % 8; ++i)
        b[i] = static_cast<unsigned char>(slovo(zerno, (ot + i) >> 3) >> (8 * ((ot + i) & 7)));
    for (; i + 8 <= n; i += 8) {
        const uint64_t w = slovo(zerno, (ot + i) >> 3);
        std::memcpy(b + i, &w, 8);
    }
    for (; i < n; ++i)
        b[i] = static_cast<unsigned char>(slovo(zerno, (ot + i) >> 3) >> (8 * ((ot + i) & 7)));
}

// A file's content as pieces of patterns: `dlina` bytes of pattern `zerno` from offset `ot`.
struct Kusok {
    uint64_t dlina;
    unsigned zerno;
    uint64_t ot;
};
using Obraz = std::vector<Kusok>;

Obraz uzorA(uint64_t ot, uint64_t n) {
    return {{n, 1, ot}};
}
Obraz uzorB(uint64_t ot, uint64_t n) {
    return {{n, 2, ot}};
}
Obraz uzorOzu(uint64_t n) {
    return {{n, 3, 0}};
}
Obraz operator+(Obraz a, const Obraz& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Bytes [poz, poz + n) of an image into `b`.
void zapolnit(const Obraz& o, uint64_t poz, unsigned char* b, size_t n) {
    uint64_t nachalo = 0;
    for (const Kusok& k : o) {
        const uint64_t ot = poz < nachalo ? nachalo : poz;
        const uint64_t konec = nachalo + k.dlina < poz + n ? nachalo + k.dlina : poz + n;
        if (ot < konec) uzorVBufer(k.zerno, k.ot + (ot - nachalo), b + (ot - poz), konec - ot);
        nachalo += k.dlina;
    }
}

uint64_t dlina(const Obraz& o) {
    uint64_t n = 0;
    for (const Kusok& k : o)
        n += k.dlina;
    return n;
}

// A hash of bytes taken a megabyte at a time (the same pieces for images and files).
uint64_t dobavitHash(uint64_t h, const unsigned char* b, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, b + i, 8);
        h = ((h << 27 | h >> 37) ^ w) * 0x9E3779B97F4A7C15ull;
    }
    for (; i < n; ++i)
        h = (h ^ b[i]) * 0x100000001B3ull;
    return h;
}

// The hash of an image, with byte `poz` replaced by `bajt` when `zamena`.
uint64_t hashObraza(const Obraz& o, bool zamena = false, uint64_t poz = 0, unsigned char bajt = 0) {
    std::vector<unsigned char> b(kMiB);
    uint64_t h = dlina(o);
    for (uint64_t p = 0; p < dlina(o); p += kMiB) {
        const size_t n = size_t(dlina(o) - p < kMiB ? dlina(o) - p : kMiB);
        zapolnit(o, p, b.data(), n);
        if (zamena && poz >= p && poz < p + n) b[size_t(poz - p)] = bajt;
        h = dobavitHash(h, b.data(), n);
    }
    return h;
}

// The hash of a file as it is on disk, or 0 when it cannot be read.
uint64_t hashFajla(const std::string& put) {
    HANDLE f = CreateFileA(put.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER r;
    GetFileSizeEx(f, &r);
    std::vector<unsigned char> b(kMiB);
    uint64_t h = uint64_t(r.QuadPart);
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f, b.data(), DWORD(kMiB), &n, nullptr) || n == 0) break;
        h = dobavitHash(h, b.data(), n);
    }
    CloseHandle(f);
    return h;
}

// Writes an image as the whole file.
bool zapisat(const std::string& put, const Obraz& o) {
    HANDLE f = CreateFileA(put.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    std::vector<unsigned char> b(kMiB);
    bool ok = true;
    for (uint64_t p = 0; ok && p < dlina(o); p += kMiB) {
        const DWORD n = DWORD(dlina(o) - p < kMiB ? dlina(o) - p : kMiB);
        zapolnit(o, p, b.data(), n);
        DWORD z = 0;
        ok = WriteFile(f, b.data(), n, &z, nullptr) && z == n;
    }
    CloseHandle(f);
    return ok;
}

// ---- The forms ------------------------------------------------------------------------

// One call that moves bytes the caller keeps, with the images before and after it of the file
// it changes (A) and of the file it copies from (B).
struct Forma {
    const char* imja;
    bool dvaFajla;
    int (*vyzov)(ZYKFAJL64& a, ZYKFAJL64& b);
    Obraz doA, posleA, doB, posleB;
};

const uint64_t S = kRazmerA;

// The memory an insert puts in.
std::vector<unsigned char> ozu(uint64_t n) {
    std::vector<unsigned char> v(static_cast<size_t>(n));
    zapolnit(uzorOzu(n), 0, v.data(), v.size());
    return v;
}

std::vector<Forma> formy() {
    const Obraz A = uzorA(0, S), B = uzorB(0, kRazmerB);
    return {
        {"insert of 1000 bytes from memory at 100 (blocks longer than the distance)", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Vkl(nb(100), ozu(1000).data(), 1000); }, A,
         uzorA(0, 100) + uzorOzu(1000) + uzorA(100, S - 100), B, B},
        {"insert of 3 MiB from memory at 1 MiB", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) {
             return a.Vkl(nb(kMiB), ozu(3 * kMiB).data(), (unsigned long)(3 * kMiB));
         },
         A, uzorA(0, kMiB) + uzorOzu(3 * kMiB) + uzorA(kMiB, S - kMiB), B, B},
        {"insert of 4 MiB of the file itself from 100 MiB at 7", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Vkl(nb(7), nb(100 * kMiB), nb(4 * kMiB)); }, A,
         uzorA(0, 7) + uzorA(100 * kMiB, 4 * kMiB) + uzorA(7, S - 7), B, B},
        {"insert of 2 MiB from another file at 100", true,
         [](ZYKFAJL64& a, ZYKFAJL64& b) { return a.Vkl(nb(100), b, nb(7), nb(2 * kMiB)); }, A,
         uzorA(0, 100) + uzorB(7, 2 * kMiB) + uzorA(100, S - 100), B, B},
        {"delete of 1000 bytes at 100 (blocks longer than the distance)", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Vwkl(nb(100), nb(1000)); }, A,
         uzorA(0, 100) + uzorA(1100, S - 1100), B, B},
        {"delete of 5 MiB at 2 MiB", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Vwkl(nb(2 * kMiB), nb(5 * kMiB)); }, A,
         uzorA(0, 2 * kMiB) + uzorA(7 * kMiB, S - 7 * kMiB), B, B},
        {"delete of 200 MiB at 10 MiB (a shorter tail: cut last)", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Vwkl(nb(10 * kMiB), nb(200 * kMiB)); }, A,
         uzorA(0, 10 * kMiB) + uzorA(210 * kMiB, S - 210 * kMiB), B, B},
        {"move of the first MiB behind the end", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Peredat(nb(S), nb(0), nb(kMiB)); }, A,
         uzorA(kMiB, S - kMiB) + uzorA(0, kMiB), B, B},
        {"move of 100 bytes from 5 MiB to 200 MiB", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) { return a.Peredat(nb(200 * kMiB), nb(5 * kMiB), nb(100)); },
         A,
         uzorA(0, 5 * kMiB) + uzorA(5 * kMiB + 100, 195 * kMiB - 100) + uzorA(5 * kMiB, 100) +
             uzorA(200 * kMiB, S - 200 * kMiB),
         B, B},
        {"move of 1 MiB from 0 into memory", false,
         [](ZYKFAJL64& a, ZYKFAJL64&) {
             std::vector<unsigned char> v(kMiB);
             return a.Peredat(v.data(), nb(0), (unsigned long)kMiB);
         },
         A, uzorA(kMiB, S - kMiB), B, B},
        {"move of 2 MiB from another file to 50", true,
         [](ZYKFAJL64& a, ZYKFAJL64& b) { return a.Peredat(nb(50), b, nb(1000), nb(2 * kMiB)); }, A,
         uzorA(0, 50) + uzorB(1000, 2 * kMiB) + uzorA(50, S - 50), B,
         uzorB(0, 1000) + uzorB(1000 + 2 * kMiB, kRazmerB - 1000 - 2 * kMiB)},
    };
}

constexpr const char* kA = "zhurnal_a.bin";
constexpr const char* kB = "zhurnal_b.bin";
constexpr const char* kZhurnalA = "zhurnal_a.bin.ZYKFAJL64-zhurnal";
constexpr const char* kZhurnalB = "zhurnal_b.bin.ZYKFAJL64-zhurnal";

// ---- The helper process ---------------------------------------------------------------------

Quorvel::ZYS_SIST_VYZOVY gIshodnaja;
std::atomic<long> gSchet{0};
long gPredel = 0;       // the write or size change to stop at (0: none)
bool gPolovina = false; // a write to stop at writes half its bytes first
HANDLE gStop = nullptr;

// At the point: the process signals and waits to be killed.
void ostanovka(HANDLE f, LPCVOID buf, DWORD n, LPOVERLAPPED o) {
    if (f && gPolovina && n > 1) {
        DWORD z = 0;
        gIshodnaja.WriteFile(f, buf, n / 2, &z, o);
    }
    SetEvent(gStop);
    Sleep(kDolgo);
    ExitProcess(97); // never killed: the test has failed already
}

BOOL WINAPI schetWrite(HANDLE h, LPCVOID buf, DWORD n, LPDWORD z, LPOVERLAPPED o) {
    if (++gSchet == gPredel) ostanovka(h, buf, n, o);
    return gIshodnaja.WriteFile(h, buf, n, z, o);
}

BOOL WINAPI schetSetEnd(HANDLE h) {
    if (++gSchet == gPredel) ostanovka(nullptr, nullptr, 0, nullptr);
    return gIshodnaja.SetEndOfFile(h);
}

// The events of one helper: ready (about to call), at the point, done (the call returned).
struct Sobytija {
    HANDLE gotov, stop, gotovo;
    Sobytija(const std::string& imja, bool sozdat) {
        HANDLE* h[] = {&gotov, &stop, &gotovo};
        const char* hvost[] = {"_gotov", "_stop", "_gotovo"};
        for (int i = 0; i < 3; ++i) {
            const std::string n = imja + hvost[i];
            *h[i] = sozdat ? CreateEventA(nullptr, TRUE, FALSE, n.c_str())
                           : OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, n.c_str());
        }
    }
    ~Sobytija() {
        for (HANDLE h : {gotov, stop, gotovo})
            if (h) CloseHandle(h);
    }
};

// "izmenit <form> <point> <half> <name>": opens the files, counts the writes and size changes
// of the call and stops at the point; without a point it returns the count. "otkryt <point>
// <name>": opens the file (the open replays a journal) and stops at the point of the replay.
int pomoshnik(int argc, char** argv) {
    if (argc < 6) return -2;
    const std::string rol = argv[2];
    Sobytija s(argv[argc - 1], false);
    if (!s.gotov) return -3;
    gStop = s.stop;
    Quorvel::ZYS_SIST_VYZOVY* t = ZyKFajl64SistVyzovy();
    gIshodnaja = *t;
    t->WriteFile = schetWrite;
    t->SetEndOfFile = schetSetEnd;
    ZYKFAJL64 a, b;
    if (rol == "otkryt") {
        gPredel = std::atol(argv[3]);
        SetEvent(s.gotov);
        const int r = otkrytZapis(a, kA);
        SetEvent(s.gotovo);
        return r == 1 ? 0 : -4;
    }
    if (rol == "vstavki") { // one-byte inserts 50 bytes before the end, until killed
        if (otkrytZapis(a, kA) != 1) return -4;
        SetEvent(s.gotov);
        for (unsigned i = 1; i <= kVstavok; ++i) {
            const unsigned char bajt = static_cast<unsigned char>(i % 251 + 1);
            if (a.Vkl(nb(u64(a.Razmer) - 50), &bajt, 1) == 0) return -5;
        }
        SetEvent(s.gotovo);
        Sleep(kDolgo);
        return -6;
    }
    const Forma f = formy()[size_t(std::atoi(argv[3]))];
    if (!otkrytZapis(a, kA) || (f.dvaFajla && !otkrytZapis(b, kB))) return -4;
    gSchet = 0;
    gPredel = std::atol(argv[4]);
    gPolovina = argv[5][0] == '1';
    SetEvent(s.gotov);
    const int r = f.vyzov(a, b);
    SetEvent(s.gotovo);
    if (r == 0) return -5;
    if (gPredel == 0) return int(gSchet.load()); // the count, for the test
    Sleep(kDolgo);                               // waits to be killed after the call
    return -6;
}

// A helper started by the test, ended by TerminateProcess when the object goes.
class Pomoshnik {
public:
    explicit Pomoshnik(const std::string& argumenty) {
        static int nomer = 0;
        imja_ = "zy_ubit_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++nomer);
        s_.reset(new Sobytija(imja_, true));
        process_ = zapustitPomoshnika(argumenty + " " + imja_);
    }
    ~Pomoshnik() { ubit(); }
    bool zapushen() const { return process_ != nullptr; }
    // Waits until the helper is about to call, at most kDolgo.
    bool gotov() { return zhdat(s_->gotov); }
    // What the helper is: "running", or how it ended (for the report of a failure).
    std::string itog() const {
        DWORD k = 0;
        if (!process_ || !GetExitCodeProcess(process_, &k)) return "not started";
        return k == STILL_ACTIVE ? "running" : "ended with " + std::to_string(long(k));
    }
    // Waits until it reached its point, returned, or ended.
    bool doTochki() {
        const HANDLE h[3] = {s_->stop, s_->gotovo, process_};
        return WaitForMultipleObjects(3, h, FALSE, kDolgo) != WAIT_TIMEOUT;
    }
    bool naTochke() const { return WaitForSingleObject(s_->stop, 0) == WAIT_OBJECT_0; }
    // Waits for its end; its exit code, or -1.
    int kod() {
        if (WaitForSingleObject(process_, kDolgo) != WAIT_OBJECT_0) return -1;
        DWORD k = 0;
        GetExitCodeProcess(process_, &k);
        return int(k);
    }
    void ubit() {
        if (!process_) return;
        TerminateProcess(process_, 9);
        WaitForSingleObject(process_, kDolgo);
        CloseHandle(process_);
        process_ = nullptr;
    }

private:
    bool zhdat(HANDLE e) {
        const HANDLE h[2] = {e, process_};
        return WaitForMultipleObjects(2, h, FALSE, kDolgo) == WAIT_OBJECT_0;
    }
    std::string imja_;
    std::unique_ptr<Sobytija> s_;
    HANDLE process_ = nullptr;
};

// What this process finds after a kill: 0 before, 1 after; -1 neither (with `chto` saying
// what).
int sostojanie(const Forma& f, uint64_t hDoA, uint64_t hPosleA, uint64_t hDoB, uint64_t hPosleB,
               std::string& chto) {
    {
        ZYKFAJL64 a, b; // each open replays its file's journal
        if (otkrytZapis(a, kA) != 1 || (f.dvaFajla && otkrytZapis(b, kB) != 1)) {
            chto = "a file cannot be opened";
            return -1;
        }
    }
    if (GetFileAttributesA(kZhurnalA) != INVALID_FILE_ATTRIBUTES ||
        GetFileAttributesA(kZhurnalB) != INVALID_FILE_ATTRIBUTES) {
        chto = "a journal is still there";
        return -1;
    }
    const uint64_t a = hashFajla(kA);
    const int sa = a == hDoA ? 0 : a == hPosleA ? 1 : -1;
    if (!f.dvaFajla || sa < 0) {
        if (sa < 0) chto = "the file is neither as before nor as after";
        return sa;
    }
    const uint64_t b = hashFajla(kB);
    const int sb = b == hDoB ? 0 : b == hPosleB ? 1 : -1;
    if (sb < 0 || (sa == 0 && sb == 1)) {
        chto = sb < 0 ? "the source file is neither as before nor as after"
                      : "the bytes left the source but did not arrive";
        return -1;
    }
    return sa;
}

} // namespace

TEST(Zhurnal, AProcessKilledAnywhereInAChangeLeavesTheFileAsBeforeOrAsAfter) {
    const char* dolgo = std::getenv("ZY_UBIJSTVA");
    const int tochek = dolgo && std::atoi(dolgo) > 1 ? std::atoi(dolgo) : kTochekPoUmolchaniju;
    const auto nachalo = std::chrono::steady_clock::now();
    for (const char* ostatok : {kZhurnalA, kZhurnalB}) // of a run that was stopped
        DeleteFileA(ostatok);
    int ubijstv = 0, vosstanovlenij = 0, vPovtore = 0, itogov[2] = {0, 0};
    const std::vector<Forma> vse = formy();
    for (size_t nf = 0; nf < vse.size(); ++nf) {
        const Forma& f = vse[nf];
        const uint64_t hDoA = hashObraza(f.doA), hPosleA = hashObraza(f.posleA);
        const uint64_t hDoB = hashObraza(f.doB), hPosleB = hashObraza(f.posleB);
        ASSERT_NE(hDoA, hPosleA) << f.imja;
        // The whole call once: its count of writes and size changes, and its time.
        ASSERT_TRUE(zapisat(kA, f.doA) && zapisat(kB, f.doB));
        double vremja = 0;
        long vsego = 0;
        {
            Pomoshnik p(std::string("izmenit ") + std::to_string(nf) + " 0 0");
            ASSERT_TRUE(p.zapushen() && p.gotov()) << f.imja << ", the helper " << p.itog();
            const auto t0 = std::chrono::steady_clock::now();
            vsego = p.kod();
            vremja = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            ASSERT_GT(vsego, 2) << f.imja << ": the call failed or counted nothing";
            ASSERT_EQ(hPosleA, hashFajla(kA)) << f.imja << ": not as after";
        }
        bool doFajly = false; // the files hold the images before
        // The points: writes spread over the count (every other one written half), one after
        // the call returned, and moments spread over its time.
        for (int t = 0; t < tochek + 1 + kVremennyh; ++t) {
            const std::string gde = std::string(f.imja) + ", point " + std::to_string(t);
            if (!doFajly) {
                ASSERT_TRUE(zapisat(kA, f.doA) && zapisat(kB, f.doB));
            }
            doFajly = true;
            const bool poVremeni = t > tochek;
            // (The first two are the first writes of the journal, the second written half.)
            const long tochka = t < 2        ? t + 1
                                : t < tochek ? 1 + long((vsego - 1) * int64_t(t) / (tochek - 1))
                                             : vsego + 1;
            const bool polovina = t % 2 == 1;
            {
                Pomoshnik p("izmenit " + std::to_string(nf) + " " +
                            std::to_string(poVremeni ? 0x7FFFFFFF : tochka) + " " +
                            (polovina ? "1" : "0"));
                ASSERT_TRUE(p.zapushen() && p.gotov()) << gde << ", the helper " << p.itog();
                if (poVremeni) {
                    const int ms = int(vremja * 1000 * (t - tochek) / (kVremennyh + 1));
                    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
                } else {
                    ASSERT_TRUE(p.doTochki()) << gde << ": the helper hangs";
                }
                p.ubit();
            }
            ++ubijstv;
            // Every third time another process opens the file first and is killed during the
            // replay, at one of its writes.
            if (t % 3 == 2) {
                const long kPovtor[] = {1, 2, 5, 20, 100, 300, 1000};
                Pomoshnik r("otkryt " + std::to_string(kPovtor[(t / 3) % 7]) + " 0 0");
                ASSERT_TRUE(r.zapushen() && r.gotov()) << gde << ", the helper " << r.itog();
                ASSERT_TRUE(r.doTochki()) << gde << ": the replaying helper hangs";
                if (r.naTochke()) ++vPovtore;
                r.ubit();
                ++vosstanovlenij;
            }
            std::string chto;
            const int s = sostojanie(f, hDoA, hPosleA, hDoB, hPosleB, chto);
            ASSERT_GE(s, 0) << gde << " (" << (poVremeni ? "by time" : "at write ")
                            << (poVremeni ? "" : std::to_string(tochka)) << " of " << vsego
                            << (polovina ? ", half written" : "") << "): " << chto;
            ++itogov[s];
            doFajly = s == 0;
        }
    }
    const double sekund =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - nachalo).count();
    std::printf("kill test: %d kills over %zu forms on files of %llu MiB (%d as before, %d as "
                "after); %d replays by another process, %d of them killed half-way; %.1f s\n",
                ubijstv, vse.size(), (unsigned long long)(kRazmerA / kMiB), itogov[0], itogov[1],
                vosstanovlenij, vPovtore, sekund);
    EXPECT_GE(ubijstv, 200);
    EXPECT_GT(vPovtore, 0) << "no replay was killed half-way";
    DeleteFileA(kA);
    DeleteFileA(kB);
}

TEST(Zhurnal, AProcessKilledAmongSmallInsertsInsideOnePageLeavesThemWholeOrAbsent) {
    // Such an insert is one write and makes no journal. A helper inserts byte after byte 50
    // bytes before the end of a file whose last page has room for all of them, and is killed
    // after a while: the file holds the first k of its bytes in order, for some k, nothing
    // else, and no journal.
    const uint64_t kNachalo = 2 * 4096 + 100;
    const Obraz nachalo = uzorA(0, kNachalo);
    std::vector<unsigned char> ishodnye(static_cast<size_t>(kNachalo));
    zapolnit(nachalo, 0, ishodnye.data(), ishodnye.size());
    int srednih = 0; // kills that came between the first insert and the last
    for (int t = 0; t < 12; ++t) {
        ASSERT_TRUE(zapisat(kA, nachalo));
        {
            Pomoshnik p("vstavki 0 0 0");
            ASSERT_TRUE(p.zapushen() && p.gotov()) << t << ", the helper " << p.itog();
            Sleep(DWORD(5 + 23 * t));
        }
        std::vector<unsigned char> v;
        {
            ZYKFAJL64 a;
            ASSERT_EQ(1, otkrytZapis(a, kA)) << t;
            v = soderzhimoe(a);
        }
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kZhurnalA)) << t;
        ASSERT_GE(v.size(), ishodnye.size()) << t;
        const size_t k = v.size() - ishodnye.size();
        ASSERT_LE(k, kVstavok) << t;
        std::vector<unsigned char> ozhidaemye(ishodnye.begin(), ishodnye.end() - 50);
        for (size_t i = 1; i <= k; ++i)
            ozhidaemye.push_back(static_cast<unsigned char>(i % 251 + 1));
        ozhidaemye.insert(ozhidaemye.end(), ishodnye.end() - 50, ishodnye.end());
        EXPECT_TRUE(v == ozhidaemye) << t << ": " << k << " inserts, the bytes differ";
        if (k > 0 && k < kVstavok) ++srednih;
    }
    EXPECT_GT(srednih, 0) << "no kill came in the middle of the inserts";
    DeleteFileA(kA);
}

TEST(Zhurnal, AWriterOfAnotherProcessWaitingForAKilledChangeRecoversItAndGoesOn) {
    // This process has the file open when the helper is killed in the middle of a change that
    // only grows or keeps the size; the helper held the writer gate. A copy here waits a
    // second, finds the journal of a stopped change, takes the change back (through its own
    // object, whose mapping it gives up first) and gets the gate.
    const std::vector<Forma> vse = formy();
    for (size_t nf : {size_t(0), size_t(7)}) { // an insert, a move to the end
        const Forma& f = vse[nf];
        ASSERT_TRUE(zapisat(kA, f.doA));
        ZYKFAJL64 a;
        ASSERT_EQ(1, otkrytZapis(a, kA));
        {
            Pomoshnik p("izmenit " + std::to_string(nf) + " 40 0");
            ASSERT_TRUE(p.zapushen() && p.gotov() && p.doTochki()) << f.imja;
            ASSERT_TRUE(p.naTochke()) << f.imja << ": stopped in the middle";
        }
        struct Kopija {
            ZYKFAJL64* a;
            int rez = -9;
            static DWORD WINAPI potok(void* k) {
                Kopija* kop = static_cast<Kopija*>(k);
                kop->rez = kop->a->Kop(nb(5), "Z", 1);
                return 0;
            }
        } kopija{&a};
        HANDLE potok = CreateThread(nullptr, 0, Kopija::potok, &kopija, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(potok, 60000)) << f.imja << ": still waits";
        CloseHandle(potok);
        EXPECT_EQ(1, kopija.rez) << f.imja;
        a.DES();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kZhurnalA)) << f.imja;
        const uint64_t h = hashFajla(kA);
        EXPECT_TRUE(h == hashObraza(f.doA, true, 5, 'Z') || h == hashObraza(f.posleA, true, 5, 'Z'))
            << f.imja << ": neither as before nor as after, with the copy";
    }
    DeleteFileA(kA);
}

TEST(Zhurnal, AJournalThatDoesNotFitTheFileIsReportedAndTheFileIsNotOpened) {
    // The helper is killed in the middle of a delete; then the file is changed by hand (a byte
    // appended: a size of neither before nor after). The open reports the journal, naming it,
    // and fails; once the journal is removed by hand the file opens as it is.
    const Forma& f = formy()[5];
    ASSERT_TRUE(zapisat(kA, f.doA));
    {
        Pomoshnik p("izmenit 5 30 0");
        ASSERT_TRUE(p.zapushen() && p.gotov() && p.doTochki() && p.naTochke());
    }
    HANDLE h = CreateFileA(kA, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    SetFilePointer(h, 0, nullptr, FILE_END);
    DWORD z = 0;
    WriteFile(h, "!", 1, &z, nullptr);
    CloseHandle(h);
    ZyStorozhOkon korobki;
    ZYKFAJL64 a;
    EXPECT_EQ(0, otkrytZapis(a, kA));
    ASSERT_TRUE(korobki.Zhdat(2));
    EXPECT_EQ(tekstOtcheta(ERROR_FILE_INVALID, "Zhurnal", 4), korobki.Okna()[0].tekst);
    EXPECT_NE(std::string::npos, korobki.Okna()[1].tekst.find(kZhurnalA)) << korobki.Tekst();
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(kZhurnalA)) << "the journal is kept";
    ASSERT_TRUE(DeleteFileA(kZhurnalA));
    EXPECT_EQ(1, otkrytZapis(a, kA));
    a.DES();
    DeleteFileA(kA);
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--pomoshnik") == 0) return pomoshnik(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
