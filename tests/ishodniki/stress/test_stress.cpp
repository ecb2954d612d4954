// Cross-process lock stress: four real processes (this program started again with
// "--pomoshnik <index> <file> <operations> <seed>") work on one file through the library's
// reader/writer locks, a thousand mixed operations each: whole 64-byte records written with a
// checksum (the writer side of Kop), records and the whole file read and verified (the reader
// side), and a shared counter incremented by reading and writing it under one writer lock.
// No read may see a torn record, no write may be lost (every record holds its owner's last
// write, the counter every increment), and no process may hang (every wait here is bounded).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ZyKFajl64.h"
#include "ZyTestFajly.h"
#include "ZyTestMutacii.h"
#include "ZyTestPapki.h"
#include "ZyTestStranica.h"
#include "ZyTestVremja.h"

using Quorvel::ZYKFAJL64;
using Quorvel::ZYKNB64;

namespace {

constexpr int kProcessov = 4;
constexpr unsigned kOperacij = 1000;
constexpr int kSvoih = 16;                         // records each process owns
constexpr int kZapisej = kProcessov * kSvoih;      // records of the file
constexpr uint32_t kDlina = 64;                    // bytes of a record
constexpr uint64_t kSchetchik = kZapisej * kDlina; // offset of the shared counter
constexpr uint64_t kRazmer = kSchetchik + kDlina;
constexpr DWORD kDolgo = 120000; // ms the whole run may take
constexpr const char* kItog = "zy_test_stress_itog";
constexpr const char* kStart = "zy_test_stress_start";

ZYKNB64 nb(uint64_t v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}

// What each helper reports through a shared page.
struct Otchet {
    LONG gotov; // 1 when it has run every operation
    LONG kod;   // 0, or the first failure (see Pomoshnik)
    LONG chtenij, zapisej, prirashenij, celyhFajlov;
    LONG porvannyh;         // reads that saw a record whose checksum or identity was wrong
    LONG poslednij[kSvoih]; // the last sequence number written into each own record
};
struct Itog {
    Otchet p[kProcessov];
};

// A record: slot, owner, sequence number, 48 bytes derived from them, checksum of the rest.
struct Zapis {
    uint32_t slot, vladelec, nomer;
    unsigned char dannye[48];
    uint32_t summa;
};
static_assert(sizeof(Zapis) == kDlina, "a record is 64 bytes");

uint32_t Summa(const Zapis& z) {
    uint32_t h = 2166136261u;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&z);
    for (size_t i = 0; i < offsetof(Zapis, summa); ++i)
        h = (h ^ p[i]) * 16777619u;
    return h;
}

Zapis Sdelat(uint32_t slot, uint32_t vladelec, uint32_t nomer) {
    Zapis z{slot, vladelec, nomer, {}, 0};
    for (int i = 0; i < 48; ++i)
        z.dannye[i] = static_cast<unsigned char>(slot * 31 + vladelec * 7 + nomer * 13 + i);
    z.summa = Summa(z);
    return z;
}

// A record read back is whole: its checksum, its slot, its owner, and its bytes as made.
bool Celaja(const Zapis& z, uint32_t slot) {
    if (z.summa != Summa(z) || z.slot != slot || z.vladelec != slot / kSvoih) return false;
    const Zapis o = Sdelat(z.slot, z.vladelec, z.nomer);
    return std::memcmp(&o, &z, sizeof z) == 0;
}

// The shared page, created by the test and opened by the helpers.
using Stranica = zytest::ObshchajaStranica<Itog>;

// Increments the shared counter by reading and writing its bytes under one writer lock.
bool Prirastit(ZYKFAJL64& f) {
    if (!f.FEK_SinhronZapisPref()) return false;
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(f[nb(kSchetchik + i)]) << (8 * i);
    ++v;
    for (int i = 0; i < 4; ++i)
        f[nb(kSchetchik + i)] = static_cast<unsigned char>(v >> (8 * i));
    f.VwklPamjat(); // the bytes reach the file before the gate opens
    return f.FEK_SinhronZapisSyf() != 0;
}

// The helper process. Exit code 0; the report says what it did and what it saw.
int Pomoshnik(int indeks, const std::string& put, unsigned operacij, uint64_t zerno) {
    Stranica itog(kItog, false);
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, kStart);
    if (!itog || !start) return 2;
    Otchet& o = itog->p[indeks];
    ZYKFAJL64 f;
    if (!f(put.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
        return 3;
    const bool vse = WaitForSingleObject(start, kDolgo) == WAIT_OBJECT_0;
    CloseHandle(start);
    if (!vse) return 4;
    zytest::ZyGenerator g(zerno);
    std::vector<unsigned char> fajl(kRazmer);
    for (unsigned n = 0; n < operacij && o.kod == 0; ++n) {
        const uint32_t vybor = g.Do(10);
        if (vybor < 4) { // one record of anyone
            const uint32_t slot = g.Do(kZapisej);
            Zapis z;
            if (f.Kop(&z, nb(uint64_t(slot) * kDlina), kDlina) == 0) o.kod = 10;
            if (!Celaja(z, slot)) ++o.porvannyh;
            ++o.chtenij;
        } else if (vybor < 7) { // one own record, with the next sequence number
            const uint32_t svoj = g.Do(kSvoih), slot = uint32_t(indeks) * kSvoih + svoj;
            const Zapis z = Sdelat(slot, uint32_t(indeks), uint32_t(o.poslednij[svoj]) + 1);
            if (f.Kop(nb(uint64_t(slot) * kDlina), &z, kDlina) == 0)
                o.kod = 11;
            else
                o.poslednij[svoj] = LONG(z.nomer);
            ++o.zapisej;
        } else if (vybor < 9) { // the counter
            if (!Prirastit(f))
                o.kod = 12;
            else
                ++o.prirashenij;
        } else { // the whole file at once
            if (f.Kop(fajl.data(), nb(0), static_cast<unsigned long>(kSchetchik)) == 0) o.kod = 13;
            for (uint32_t s = 0; s < kZapisej; ++s) {
                Zapis z;
                std::memcpy(&z, &fajl[s * kDlina], kDlina);
                if (!Celaja(z, s)) ++o.porvannyh;
            }
            ++o.celyhFajlov;
        }
    }
    o.gotov = 1;
    return 0;
}

// One helper process, ended by force if it is still running when the object goes.
class Process {
public:
    Process(int indeks, const std::string& put, uint64_t zerno) {
        char exe[MAX_PATH];
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        std::string k = std::string("\"") + exe + "\" --pomoshnik " + std::to_string(indeks) +
                        " \"" + put + "\" " + std::to_string(kOperacij) + " " +
                        std::to_string(zerno);
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (CreateProcessA(exe, &k[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            h_ = pi.hProcess;
            CloseHandle(pi.hThread);
        }
    }
    ~Process() {
        if (!h_) return;
        if (WaitForSingleObject(h_, 0) != WAIT_OBJECT_0) TerminateProcess(h_, 99);
        CloseHandle(h_);
    }
    HANDLE h() const { return h_; }
    DWORD Kod() const {
        DWORD k = 0;
        GetExitCodeProcess(h_, &k);
        return k;
    }

private:
    HANDLE h_ = nullptr;
};

} // namespace

// Four processes, a thousand operations each, on one file of 65 records.
TEST(Stress, FourProcessesNeitherTearNorLoseNorDeadlock) {
    zytest::ZyPapkaTesta papka;
    const std::string put = papka.Put() + "\\obshij.bin";
    std::vector<unsigned char> nachalo(kRazmer, 0);
    for (uint32_t s = 0; s < kZapisej; ++s) {
        const Zapis z = Sdelat(s, s / kSvoih, 0);
        std::memcpy(&nachalo[s * kDlina], &z, kDlina);
    }
    ASSERT_TRUE(zytest::ZapisatBajty(put, nachalo));
    Stranica itog(kItog, true);
    ASSERT_TRUE(itog);
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, kStart);
    ASSERT_NE(nullptr, start);

    std::vector<std::unique_ptr<Process>> processy;
    std::vector<HANDLE> h;
    for (int i = 0; i < kProcessov; ++i) {
        processy.emplace_back(new Process(i, put, 0x57E55 + i));
        ASSERT_NE(nullptr, processy.back()->h()) << "helper " << i;
        h.push_back(processy.back()->h());
    }
    const double t0 = zytest::Sekundy();
    SetEvent(start);
    const DWORD w = WaitForMultipleObjects(DWORD(h.size()), h.data(), TRUE, kDolgo);
    const double sekund = zytest::Sekundy() - t0;
    CloseHandle(start);
    ASSERT_EQ(WAIT_OBJECT_0, w) << "the processes did not all end within " << kDolgo / 1000
                                << " s: a deadlock";

    long chtenij = 0, zapisej = 0, prirashenij = 0, celyh = 0, porvannyh = 0;
    for (int i = 0; i < kProcessov; ++i) {
        const Otchet& o = itog->p[i];
        EXPECT_EQ(0u, processy[i]->Kod()) << "helper " << i;
        EXPECT_EQ(1, o.gotov) << "helper " << i;
        EXPECT_EQ(0, o.kod) << "helper " << i << ": an operation failed";
        chtenij += o.chtenij;
        zapisej += o.zapisej;
        prirashenij += o.prirashenij;
        celyh += o.celyhFajlov;
        porvannyh += o.porvannyh;
    }
    EXPECT_EQ(long(kProcessov * kOperacij), chtenij + zapisej + prirashenij + celyh);
    EXPECT_EQ(0, porvannyh) << "torn reads";

    // No lost write: each record holds its owner's last write, the counter every increment.
    const std::vector<unsigned char> konec = zytest::ChitatBajty(put);
    ASSERT_EQ(kRazmer, konec.size());
    for (uint32_t s = 0; s < kZapisej; ++s) {
        Zapis z;
        std::memcpy(&z, &konec[s * kDlina], kDlina);
        EXPECT_TRUE(Celaja(z, s)) << "record " << s;
        EXPECT_EQ(uint32_t(itog->p[s / kSvoih].poslednij[s % kSvoih]), z.nomer) << "record " << s;
    }
    uint32_t schetchik;
    std::memcpy(&schetchik, &konec[kSchetchik], 4);
    EXPECT_EQ(uint32_t(prirashenij), schetchik) << "increments lost";
    std::printf("lock stress: %d processes x %u operations = %ld (%ld record reads, %ld record "
                "writes, %ld counter increments, %ld whole-file reads), %ld torn reads, %.2f s\n",
                kProcessov, kOperacij, chtenij + zapisej + prirashenij + celyh, chtenij, zapisej,
                prirashenij, celyh, porvannyh, sekund);
}

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--pomoshnik") == 0)
        return Pomoshnik(std::atoi(argv[2]), argv[3], unsigned(std::atoi(argv[4])),
                         std::strtoull(argv[5], nullptr, 10));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
