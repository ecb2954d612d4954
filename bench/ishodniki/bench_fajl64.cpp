// Throughput of the file object's block moves on a 256 MiB file, side by side with the same
// move done by hand: a plain memmove over mapped views of the same sizes (the limit of a
// mapped copy) and ReadFile/WriteFile through a 1 MiB buffer (what a user would write).
// Every figure is the best of a few runs, in MiB/s of bytes moved; the ratios compare the
// file object with both.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "ZyKFajl64.h"
#include "ZyTestVremja.h"
#include "ZySchetVyzovov.h"

using namespace Quorvel;

namespace {

constexpr unsigned long long kMiB = 1ull << 20;
constexpr unsigned long long kKiB = 1ull << 10;
constexpr unsigned long long kRazmer = 256 * kMiB;
constexpr unsigned long kBufer = 1 << 20;
constexpr int kPovtorov = 3;

ZYKNB64 nb(unsigned long long v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}

// Best time of kPovtorov runs; `podgotovka` runs untimed before each.
double luchshee(const std::function<void()>& op, const std::function<void()>& podgotovka = {}) {
    return zytest::LuchsheeVremja(op, kPovtorov, podgotovka);
}

// A plain file handle for the hand-written baselines.
struct Fajl {
    HANDLE h = INVALID_HANDLE_VALUE;
    explicit Fajl(const char* imja) {
        h = CreateFileA(imja, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~Fajl() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    void razmer(unsigned long long n) const {
        LARGE_INTEGER li;
        li.QuadPart = LONGLONG(n);
        SetFilePointerEx(h, li, nullptr, FILE_BEGIN);
        SetEndOfFile(h);
    }
    void chitat(unsigned long long poz, void* buf, unsigned long n) const {
        OVERLAPPED o{};
        o.Offset = DWORD(poz);
        o.OffsetHigh = DWORD(poz >> 32);
        DWORD sdelano = 0;
        ReadFile(h, buf, n, &sdelano, &o);
    }
    void pisat(unsigned long long poz, const void* buf, unsigned long n) const {
        OVERLAPPED o{};
        o.Offset = DWORD(poz);
        o.OffsetHigh = DWORD(poz >> 32);
        DWORD sdelano = 0;
        WriteFile(h, buf, n, &sdelano, &o);
    }
};

// A whole-file mapping and view for the memmove baseline.
struct Vid {
    HANDLE m = nullptr;
    unsigned char* p = nullptr;
    Vid(const Fajl& f, bool zapis) {
        m = CreateFileMappingA(f.h, nullptr, zapis ? PAGE_READWRITE : PAGE_READONLY, 0, 0, nullptr);
        if (m)
            p = static_cast<unsigned char*>(
                MapViewOfFile(m, zapis ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, 0));
    }
    ~Vid() {
        if (p) UnmapViewOfFile(p);
        if (m) CloseHandle(m);
    }
};

// Hand-written move of n bytes within a file through a buffer, safe for overlap.
void peremestitRukami(const Fajl& f, unsigned long long kuda, unsigned long long otkuda,
                      unsigned long long n, std::vector<unsigned char>& buf) {
    if (kuda > otkuda) {
        for (unsigned long long konec = n; konec > 0;) {
            const unsigned long kus = konec < kBufer ? (unsigned long)konec : kBufer;
            konec -= kus;
            f.chitat(otkuda + konec, buf.data(), kus);
            f.pisat(kuda + konec, buf.data(), kus);
        }
    } else {
        for (unsigned long long i = 0; i < n; i += kBufer) {
            const unsigned long kus = n - i < kBufer ? (unsigned long)(n - i) : kBufer;
            f.chitat(otkuda + i, buf.data(), kus);
            f.pisat(kuda + i, buf.data(), kus);
        }
    }
}

// The baselines of an insert of n bytes at 0 of a file of kRazmer bytes: the file grown, its
// bytes moved up by n over a view, or by hand through a buffer, the n bytes written.
void vstavkaMemmove(const Fajl& c, const std::vector<unsigned char>& ozu, unsigned long long n) {
    c.razmer(kRazmer + n);
    Vid v(c, true);
    if (!v.p) return;
    std::memmove(v.p + n, v.p, kRazmer);
    std::memcpy(v.p, ozu.data(), n);
}
void vstavkaRukami(const Fajl& c, const std::vector<unsigned char>& ozu, unsigned long long n,
                   std::vector<unsigned char>& buf) {
    c.razmer(kRazmer + n);
    peremestitRukami(c, n, 0, kRazmer, buf);
    c.pisat(0, ozu.data(), (unsigned long)n);
}

// One line of the table: the three figures and the ratios.
void stroka(const char* forma, unsigned long long bajt, double tKop, double tMemmove, double tRW) {
    const double mb = double(bajt) / double(kMiB);
    const double kop = mb / tKop, mm = mb / tMemmove, rw = mb / tRW;
    std::printf("%-34s %9.0f %9.0f %9.0f %8.2f %8.2f\n", forma, kop, mm, rw, kop / mm, kop / rw);
}

// Fills a file with n bytes of a pattern.
void zapolnit(const char* imja, unsigned long long n) {
    Fajl f(imja);
    f.razmer(0);
    std::vector<unsigned char> buf(kBufer);
    for (unsigned long i = 0; i < kBufer; ++i)
        buf[i] = static_cast<unsigned char>(i * 131 + 7);
    for (unsigned long long i = 0; i < n; i += kBufer)
        f.pisat(i, buf.data(), kBufer);
}

} // namespace

int main() {
    const char* imjaA = "bench_fajl64_a.bin";
    const char* imjaB = "bench_fajl64_b.bin";
    const char* imjaC = "bench_fajl64_c.bin";
    const char* imjaD = "bench_fajl64_d.bin";
    for (const char* imja : {imjaA, imjaB, imjaC, imjaD})
        zapolnit(imja, kRazmer);

    ZYKFAJL64 a, b;
    const unsigned long dostup = GENERIC_READ | GENERIC_WRITE;
    if (!a(imjaA, dostup, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr) ||
        !b(imjaB, dostup, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {
        std::printf("cannot open the benchmark files\n");
        return 1;
    }
    Fajl c(imjaC), d(imjaD); // the baselines work on files of their own
    std::vector<unsigned char> buf(kBufer);
    std::vector<unsigned char> ozu(kRazmer, 0x5A);
    const unsigned long long sdvig = 64 * kMiB, dlinaSdviga = kRazmer - sdvig;

    std::printf("256 MiB file; MiB/s of bytes moved, best of %d\n", kPovtorov);
    std::printf("%-34s %9s %9s %9s %8s %8s\n", "form", "ZYKFAJL64", "memmove", "Read/Wr",
                "/memmove", "/RW");

    stroka("Kop file to file", kRazmer, luchshee([&] { b.Kop(nb(0), a, nb(0), nb(kRazmer)); }),
           luchshee([&] {
               Vid vc(c, false), vd(d, true);
               std::memmove(vd.p, vc.p, kRazmer);
           }),
           luchshee([&] {
               for (unsigned long long i = 0; i < kRazmer; i += kBufer) {
                   c.chitat(i, buf.data(), kBufer);
                   d.pisat(i, buf.data(), kBufer);
               }
           }));

    stroka("Kop same file, overlapping", dlinaSdviga,
           luchshee([&] { a.Kop(nb(sdvig), nb(0), nb(dlinaSdviga)); }), luchshee([&] {
               Vid v(c, true);
               std::memmove(v.p + sdvig, v.p, dlinaSdviga);
           }),
           luchshee([&] { peremestitRukami(c, sdvig, 0, dlinaSdviga, buf); }));

    // Insert and delete alternate, so the file is back at 256 MiB before each insert.
    const double tVkl = luchshee([&] { a.Vkl(nb(0), ozu.data(), (unsigned long)kMiB); },
                                 [&] { a.FIN(nb(kRazmer)); });
    const double tVwkl =
        luchshee([&] { a.Vwkl(nb(0), nb(kMiB)); }, [&] { a.FIN(nb(kRazmer + kMiB)); });
    const double mmVkl =
        luchshee([&] { vstavkaMemmove(c, ozu, kMiB); }, [&] { c.razmer(kRazmer); });
    const double mmVwkl = luchshee(
        [&] {
            {
                Vid v(c, true);
                std::memmove(v.p, v.p + kMiB, kRazmer);
            }
            c.razmer(kRazmer);
        },
        [&] { c.razmer(kRazmer + kMiB); });
    const double rwVkl =
        luchshee([&] { vstavkaRukami(c, ozu, kMiB, buf); }, [&] { c.razmer(kRazmer); });
    const double rwVwkl = luchshee(
        [&] {
            peremestitRukami(c, 0, kMiB, kRazmer, buf);
            c.razmer(kRazmer);
        },
        [&] { c.razmer(kRazmer + kMiB); });
    stroka("Vkl 1 MiB at 0 (256 MiB shifted)", kRazmer, tVkl, mmVkl, rwVkl);
    stroka("Vwkl 1 MiB at 0 (256 MiB shifted)", kRazmer, tVwkl, mmVwkl, rwVwkl);

    // An insert shorter than a block: the journal keeps each block of the shift before it is
    // written.
    stroka("Vkl 1 KiB at 0 (blocks kept first)", kRazmer,
           luchshee([&] { a.Vkl(nb(0), ozu.data(), (unsigned long)kKiB); },
                    [&] { a.FIN(nb(kRazmer)); }),
           luchshee([&] { vstavkaMemmove(c, ozu, kKiB); }, [&] { c.razmer(kRazmer); }),
           luchshee([&] { vstavkaRukami(c, ozu, kKiB, buf); }, [&] { c.razmer(kRazmer); }));

    // A move of the first MiB behind the rest: the MiB kept aside, the rest shifted down, the
    // MiB written back at the end.
    std::vector<unsigned char> zapas(kMiB);
    stroka("Peredat 1 MiB from 0 to the end", kRazmer,
           luchshee([&] { a.Peredat(nb(kRazmer), nb(0), nb(kMiB)); }), luchshee([&] {
               Vid v(c, true);
               std::memcpy(zapas.data(), v.p, kMiB);
               std::memmove(v.p, v.p + kMiB, kRazmer - kMiB);
               std::memcpy(v.p + kRazmer - kMiB, zapas.data(), kMiB);
           }),
           luchshee([&] {
               c.chitat(0, zapas.data(), (unsigned long)kMiB);
               peremestitRukami(c, 0, kMiB, kRazmer - kMiB, buf);
               c.pisat(kRazmer - kMiB, zapas.data(), (unsigned long)kMiB);
           }));

    stroka("Kop file to memory", kRazmer,
           luchshee([&] { a.Kop(ozu.data(), nb(0), (unsigned long)kRazmer); }), luchshee([&] {
               Vid v(c, false);
               std::memcpy(ozu.data(), v.p, kRazmer);
           }),
           luchshee([&] {
               for (unsigned long long i = 0; i < kRazmer; i += kBufer)
                   c.chitat(i, ozu.data() + i, kBufer);
           }));
    stroka("Kop memory to file", kRazmer,
           luchshee([&] { a.Kop(nb(0), ozu.data(), (unsigned long)kRazmer); }), luchshee([&] {
               Vid v(d, true);
               std::memcpy(v.p, ozu.data(), kRazmer);
           }),
           luchshee([&] {
               for (unsigned long long i = 0; i < kRazmer; i += kBufer)
                   d.pisat(i, ozu.data() + i, kBufer);
           }));

    // The fixed cost of a call beside the bytes it moves, against the least a locked one-byte
    // write needs: one named-mutex wait and release and one WriteFile of 1 byte. Batches of
    // the operation and of the reference alternate, so that both see the machine alike; each
    // figure is the best batch.
    // The reference writes through the file object's own handle, to the same file; the
    // gigabytes the figures above left in the cache are written out first, so that neither
    // waits for their write-back.
    constexpr int kVyzovov = 400, kKrugov = 6;
    constexpr DWORD kPauza = 300; // ms before each batch
    for (HANDLE h : {a.hFajl, b.hFajl, c.h, d.h})
        FlushFileBuffers(h);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "bench_fajl64_mutex");
    const auto oporn = [&] {
        for (int i = 0; i < kVyzovov; ++i) {
            WaitForSingleObject(mutex, INFINITE);
            OVERLAPPED o{};
            o.Offset = DWORD(kRazmer / 2 + 1);
            DWORD sdelano = 0;
            WriteFile(a.hFajl, "x", 1, &sdelano, &o);
            ReleaseMutex(mutex);
        }
    };
    // One small operation of each kind: its time per call and, in one more batch through the
    // counting table, the system calls it makes.
    const struct {
        const char* imja;
        std::function<void(int)> op;   // the i-th call of a batch
        std::function<void()> prezhde; // untimed, before each batch
    } malye[] = {
        {"Kop of 1 byte", [&](int) { a.Kop(nb(kRazmer / 2), "x", 1); }, {}},
        // An end 1000 bytes into a page: each insert and the bytes behind it lie inside it.
        {"Vkl of 1 byte 100 bytes before the end",
         [&](int i) { a.Vkl(nb(kRazmer + 1000 + i - 100), "x", 1); },
         [&] { a.FIN(nb(kRazmer + 1000)); }},
        // The same across the start of a page: one write would not be whole on a stop.
        {"Vkl of 1 byte across a page boundary", [&](int) { a.Vkl(nb(kRazmer - 1), "x", 1); },
         [&] { a.FIN(nb(kRazmer)); }},
        {"Vwkl of 1 byte 100 bytes before the end",
         [&](int i) { a.Vwkl(nb(kRazmer + kVyzovov - i - 101), nb(1)); },
         [&] { a.FIN(nb(kRazmer + kVyzovov)); }},
        {"operator[] write + TestDan",
         [&](int i) {
             a[nb(kRazmer / 2 + unsigned(i) % 4096)] = 'y';
             a.TestDan();
         },
         {}},
    };
    std::printf("fixed cost of one call, best of %d batches of %d (each after %lu ms of rest), "
                "beside the reference (named-mutex wait + release + WriteFile of 1 byte) "
                "measured between them:\n",
                kKrugov, kVyzovov, static_cast<unsigned long>(kPauza));
    // Each batch starts after a pause: under Wine on these machines a batch of calls that
    // make and remove files leaves every system call of the next ~100 ms several times slower
    // (the reference too), so batches run back to back measure their neighbours.
    const auto posle = [](const std::function<void()>& prezhde) {
        return [prezhde] {
            if (prezhde) prezhde();
            Sleep(kPauza);
        };
    };
    for (const auto& m : malye) {
        double tOp = 1e30, tOporn = 1e30;
        for (int k = 0; k < kKrugov; ++k) {
            tOporn = std::min(tOporn, zytest::LuchsheeVremja(oporn, 1, posle({})));
            tOp = std::min(tOp, zytest::LuchsheeVremja(
                                    [&] {
                                        for (int i = 0; i < kVyzovov; ++i)
                                            m.op(i);
                                    },
                                    1, posle(m.prezhde)));
        }
        const double us = tOp / kVyzovov * 1e6, ref = tOporn / kVyzovov * 1e6;
        std::printf("  %-40s %7.1f us, reference %6.1f us: %5.2f x reference\n", m.imja, us, ref,
                    us / ref);
    }
    CloseHandle(mutex);
    for (const auto& m : malye) {
        posle(m.prezhde)();
        zytest::schet::ZySchetVyzovov schet;
        const double t0 = zytest::schet::sejchas();
        for (int i = 0; i < kVyzovov; ++i)
            m.op(i);
        const double us = (zytest::schet::sejchas() - t0) / kVyzovov * 1e6;
        std::printf("system calls of one %s (%.1f us a call here): %.4g:%s\n", m.imja, us,
                    double(schet.vsego()) / kVyzovov, schet.opis(kVyzovov).c_str());
    }
    a.FIN(nb(kRazmer));

    // What the journal adds to a change that moves bytes the caller keeps, done by hand as the
    // file object does it: the journal its object holds, its lock byte locked, its size looked
    // at, the header with its first record and the kept byte in one write, cut back to one
    // byte, the byte unlocked.
    std::vector<unsigned char> zhurnal(4096 + 1, 0x33);
    HANDLE z = CreateFileA("bench_fajl64_a.bin.ZYKFAJL64-zhurnal", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    const double tZhurnal = zytest::LuchsheeVremja(
        [&] {
            for (int i = 0; i < kVyzovov; ++i) {
                OVERLAPPED zamok{};
                zamok.OffsetHigh = 0x40000000;
                LockFileEx(z, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &zamok);
                LARGE_INTEGER razmer;
                GetFileSizeEx(z, &razmer);
                const struct {
                    unsigned long long poz;
                    unsigned long n;
                } zapisi[] = {{0, 1024 + 1}};
                for (const auto& w : zapisi) {
                    OVERLAPPED o{};
                    o.Offset = DWORD(w.poz);
                    DWORD sdelano = 0;
                    WriteFile(z, zhurnal.data(), w.n, &sdelano, &o);
                }
                FILE_END_OF_FILE_INFO konec{};
                konec.EndOfFile.QuadPart = 1;
                SetFileInformationByHandle(z, FileEndOfFileInfo, &konec, sizeof konec);
                UnlockFileEx(z, 0, 1, 0, &zamok);
            }
        },
        kKrugov, posle({}));
    CloseHandle(z);
    std::printf("the journal of a small change alone (lock, size, write, cut, unlock): %.1f us; "
                "no flush\n",
                tZhurnal / kVyzovov * 1e6);

    a.DES();
    b.DES();
    for (const char* imja : {imjaA, imjaB, imjaC, imjaD})
        DeleteFileA(imja);
    return 0;
}
