// Pattern search and encode/decode throughput of the file object, in one run:
//  - a 256 MiB file of random bytes: (a) reading every byte through the object's zones, the
//    ceiling of any search; (b) VzPozStr for a pattern that does not occur, exact forward,
//    backward, stride 4 and with the built-in case table; (c) std::search with the
//    Boyer-Moore-Horspool searcher over the same bytes in memory;
//  - Kod and Dekod of a 64 MiB file with 4-, 16- and 256-byte keys, and the block arithmetic
//    alone on the same blocks in memory (the figures to set beside Python's int divmod, which
//    bench/ishodniki/bench_poisk_kod.sh runs on the same blocks and keys).
// Every zone is released before a timed run, so each run maps the file afresh. Figures are the
// best of three runs, in MB/s (10^6 bytes) of the file's bytes.
// Argument "ostavit": keep the encode data file for the Python comparison.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <emmintrin.h>

#include "ZyKFajl64.h"
#include "ZyKodArifm.h"
#include "ZyTestVremja.h"

using namespace Quorvel;

namespace {

constexpr unsigned long long kMiB = 1ull << 20;
constexpr unsigned long long kPoisk = 256 * kMiB;
constexpr unsigned long long kKod = 64 * kMiB;
constexpr int kPovtorov = 3;
const char* kImjaPoiska = "bench_poisk.bin";
const char* kImjaKoda = "bench_kod_dannye.bin";

ZYKNB64 nb(unsigned long long v) {
    return ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}
unsigned long long u64(const ZYKNB64& n) {
    return (unsigned long long)n.St << 32 | n.Ml;
}

// Best time of kPovtorov runs; `podgotovka` runs untimed before each.
double luchshee(const std::function<void()>& op, const std::function<void()>& podgotovka = {}) {
    return zytest::LuchsheeVremja(op, kPovtorov, podgotovka);
}

double mbs(unsigned long long bajt, double s) {
    return double(bajt) / 1e6 / s;
}

// A file of n random bytes (xorshift), written a megabyte at a time.
bool zapolnit(const char* imja, unsigned long long n, unsigned long long zerno) {
    HANDLE h = CreateFileA(imja, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::vector<unsigned long long> buf(kMiB / 8);
    bool ok = true;
    for (unsigned long long i = 0; i < n && ok; i += kMiB) {
        for (auto& x : buf) {
            zerno ^= zerno << 13;
            zerno ^= zerno >> 7;
            zerno ^= zerno << 17;
            x = zerno;
        }
        DWORD z = 0;
        ok = WriteFile(h, buf.data(), DWORD(kMiB), &z, nullptr) && z == kMiB;
    }
    CloseHandle(h);
    return ok;
}

// The sum of n bytes, sixteen at a time: a read of every byte.
__attribute__((target("sse2"))) unsigned long long summa(const unsigned char* p, size_t n) {
    __m128i s = _mm_setzero_si128();
    size_t i = 0;
    for (; i + 16 <= n; i += 16)
        s = _mm_add_epi64(s, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)),
                                          _mm_setzero_si128()));
    unsigned long long r[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(r), s);
    unsigned long long v = r[0] + r[1];
    for (; i < n; ++i)
        v += p[i];
    return v;
}

// (a) Every byte of the file through the object's zones.
unsigned long long chitatZony(ZYKFAJL64& f) {
    unsigned long long v = 0;
    const unsigned long long n = u64(f.Razmer);
    for (unsigned long long p = 0; p < n;) {
        const unsigned char* z = &f[nb(p)];
        const unsigned long long konec = u64(f.KonecZony);
        v += summa(z, size_t(konec - p));
        p = konec;
    }
    return v;
}

void poisk() {
    if (!zapolnit(kImjaPoiska, kPoisk, 0x9E3779B97F4A7C15ull)) {
        std::printf("cannot write %s\n", kImjaPoiska);
        return;
    }
    ZYKFAJL64 f;
    if (!f(kImjaPoiska, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) return;
    const char obr[] = "Net takogo tut!!"; // 16 bytes that do not occur, in any letter case
    const unsigned long dlina = 16;
    std::vector<unsigned char> ozu(kPoisk);
    f.Kop(ozu.data(), nb(0), (unsigned long)kPoisk);
    const auto osvobodit = [&] { f.VwklPamjat(); };
    volatile unsigned long long sled = 0;

    const double tA = luchshee([&] { sled = sled + chitatZony(f); }, osvobodit);
    int rez = 0;
    const auto vz = [&](unsigned long opcii, ZYSMASSIV* t) {
        return luchshee(
            [&] {
                ZYKNB64 k, n;
                rez = f.VzPozStr(k, n, obr, dlina, opcii, nullptr, t);
            },
            osvobodit);
    };
    const double tVpered = vz(0, nullptr);
    const int rVpered = rez;
    const double tNazad = vz(ZYPS_NAZAD, nullptr);
    const double tShag = vz(4, nullptr);
    const double tTab = vz(0, ZY_TABLICA_REGISTRA);
    std::vector<unsigned char>::iterator gde;
    const double tC = luchshee([&] {
        gde = std::search(ozu.begin(), ozu.end(),
                          std::boyer_moore_horspool_searcher<const char*>(obr, obr + dlina));
    });

    const double a = mbs(kPoisk, tA);
    std::printf("Search, 256 MiB of random bytes, a 16-byte pattern that does not occur "
                "(VzPozStr %d, std::search %s)\n",
                rVpered, gde == ozu.end() ? "none" : "FOUND");
    std::printf("%-44s %9s %8s %8s\n", "", "MB/s", "/(a)", "/(c)");
    const double c = mbs(kPoisk, tC);
    const auto stroka = [&](const char* chto, double t) {
        std::printf("%-44s %9.0f %8.2f %8.2f\n", chto, mbs(kPoisk, t), mbs(kPoisk, t) / a,
                    mbs(kPoisk, t) / c);
    };
    stroka("(a) every byte through the zones", tA);
    stroka("(b) VzPozStr exact forward", tVpered);
    stroka("(b) VzPozStr exact backward", tNazad);
    stroka("(b) VzPozStr stride 4", tShag);
    stroka("(b) VzPozStr built-in case table", tTab);
    stroka("(c) std::search, Boyer-Moore-Horspool, memory", tC);
    f.DES();
    DeleteFileA(kImjaPoiska);
}

// The key texts of the encode figures: 4, 16 and 256 bytes (Python uses the same).
std::vector<std::string> kljuchi() {
    std::string dlinnyj(256, ' ');
    for (int i = 0; i < 256; ++i)
        dlinnyj[i] = char('A' + (i * 7) % 26);
    return {"Kl4!", "Kljuch 16 bajtov", dlinnyj};
}

// Opens (or creates) a writable file and empties it.
bool pustoj(ZYKFAJL64& f, const char* imja) {
    if (!f(imja, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
           OPEN_ALWAYS, 0, nullptr))
        return false;
    return f.FIN(nb(0)) != 0;
}

void kod() {
    if (!zapolnit(kImjaKoda, kKod, 0x2545F4914F6CDD1Dull)) return;
    ZYKFAJL64 ist;
    if (!ist(kImjaKoda, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) return;
    std::vector<unsigned char> dannye(kKod), vyshlo(kKod);
    ist.Kop(dannye.data(), nb(0), (unsigned long)kKod);

    std::printf("\nEncode / decode, 64 MiB of random bytes, MB/s of unencoded bytes\n");
    std::printf("%-10s %9s %9s %12s %12s %9s\n", "key", "Kod", "Dekod", "divide only",
                "multiply only", "same");
    for (const std::string& k : kljuchi()) {
        ZYKFAJL64 kodF, vyhF;
        if (!pustoj(kodF, "bench_kod_kod.bin") || !pustoj(vyhF, "bench_kod_vyh.bin")) return;
        int r1 = 0, r2 = 0;
        const double tKod =
            luchshee([&] { r1 = ist.Kod(k.c_str(), nb(0), &kodF); }, [&] { kodF.FIN(nb(0)); });
        const double tDekod =
            luchshee([&] { r2 = kodF.Dekod(k.c_str(), nb(0), &vyhF); }, [&] { vyhF.FIN(nb(0)); });
        vyhF.Kop(vyshlo.data(), nb(0), (unsigned long)kKod);
        const bool odinakovo = r1 == -1 && r2 == -1 && vyshlo == dannye;

        // The arithmetic alone on the same blocks in memory.
        ZyKodChislo chislo;
        chislo.vydelit();
        chislo.kljuch(reinterpret_cast<const unsigned char*>(k.data()), k.size(), kKod);
        const size_t blokov = (kKod + ZY_KOD_BLOK - 1) / ZY_KOD_BLOK;
        std::vector<unsigned char> zapisi(blokov * ZY_KOD_ZAPIS);
        std::vector<size_t> dliny(blokov);
        const double tDel = luchshee([&] {
            for (size_t b = 0; b < blokov; ++b) {
                const size_t n = std::min<size_t>(ZY_KOD_BLOK, kKod - b * ZY_KOD_BLOK);
                dliny[b] = chislo.kodirovat(dannye.data() + b * ZY_KOD_BLOK, n,
                                            zapisi.data() + b * ZY_KOD_ZAPIS);
            }
        });
        const double tUmn = luchshee([&] {
            for (size_t b = 0; b < blokov; ++b) {
                const unsigned char* z = zapisi.data() + b * ZY_KOD_ZAPIS;
                const size_t qn = z[0] | z[1] << 8, rn = z[2] | z[3] << 8;
                const size_t n = std::min<size_t>(ZY_KOD_BLOK, kKod - b * ZY_KOD_BLOK);
                chislo.dekodirovat(z + 4, qn, z + 4 + qn, rn, vyshlo.data() + b * ZY_KOD_BLOK, n);
            }
        });
        const bool tozhe = vyshlo == dannye;
        std::printf("%-10s %9.0f %9.0f %12.0f %12.0f %9s\n",
                    (std::to_string(k.size()) + " bytes").c_str(), mbs(kKod, tKod),
                    mbs(kKod, tDekod), mbs(kKod, tDel), mbs(kKod, tUmn),
                    odinakovo && tozhe ? "yes" : "NO");
        kodF.STER();
        vyhF.STER();
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool ostavit = argc > 1 && std::strcmp(argv[1], "ostavit") == 0;
    poisk();
    kod();
    if (!ostavit) DeleteFileA(kImjaKoda);
    return 0;
}
