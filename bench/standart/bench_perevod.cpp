// bench_perevod: ZyPerevodStroki against a generated translation file of 10,000 entries, for
// the first entry, the last entry and a missing one (which is appended: the file is cut back
// to its size after each such call, outside the timed span), and the same lookups done by a
// plain in-memory search of the file's bytes as the reference.
#include "ZyStandart.h"
#include "ZyTestFajly.h"
#include "ZyTestVremja.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kZapisej = 10000;
const char* const kFajl = "ZyPerevodTeksta.txt";

// The source text of entry i, with one variable part.
std::string tekstZapisi(int i, const char* chast) {
    return "Message number " + std::to_string(i) + " about \"" + chast + "\" was shown.";
}

// The file: a short header and kZapisej translated entries, as a translator leaves it.
std::string sdelatFajl() {
    std::string f = "EN:   generated for the benchmark\r\n***";
    for (int i = 0; i < kZapisej; ++i)
        f += "\r\n " + tekstZapisi(i, "") + "\r\n=Meldung Nummer " + std::to_string(i) +
             " zu \"\" wurde gezeigt.***";
    return f;
}

// Cuts the file back to `razmer` bytes (undoes the append of a missing text).
void obrezat(std::size_t razmer) {
    HANDLE h = CreateFileA(kFajl, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER poz;
    poz.QuadPart = LONGLONG(razmer);
    SetFilePointerEx(h, poz, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
}

// Mean µs of ZyPerevodStroki for `tekst` (the fastest call into *luchshij: the machine is
// shared, so the mean carries the load); `obrezatDo` > 0 cuts the file back after each call.
double zameritPerevod(const std::string& tekst, int raz, std::size_t obrezatDo, std::string* otvet,
                      double* luchshij) {
    double vsego = 0;
    *luchshij = 1e30;
    for (int i = 0; i < raz; ++i) {
        char buf[512];
        std::strcpy(buf, tekst.c_str());
        const double t0 = zytest::Sekundy();
        ZyPerevodStroki(buf, sizeof buf);
        const double dt = (zytest::Sekundy() - t0) * 1e6;
        vsego += dt;
        if (dt < *luchshij) *luchshij = dt;
        if (obrezatDo) obrezat(obrezatDo);
        *otvet = buf;
    }
    return vsego / raz;
}

// The reference: the entry found by a plain search of the file bytes held in memory.
std::string najtiVPamjati(const std::string& fajl, const std::string& kljuch) {
    const std::string obrazec = "\r\n " + kljuch + "\r\n=";
    const std::size_t p = fajl.find(obrazec);
    if (p == std::string::npos) return kljuch;
    const std::size_t nachalo = p + obrazec.size();
    const std::size_t konec = fajl.find("***", nachalo);
    return fajl.substr(nachalo, konec - nachalo);
}

// Mean µs of the in-memory search for `kljuch` over `raz` runs.
double zameritPamjat(const std::string& fajl, const std::string& kljuch, int raz,
                     std::string* otvet) {
    const double t0 = zytest::Sekundy();
    for (int i = 0; i < raz; ++i)
        *otvet = najtiVPamjati(fajl, kljuch);
    return (zytest::Sekundy() - t0) * 1e6 / raz;
}

} // namespace

int main() {
    CreateDirectoryA("bench_perevod", nullptr);
    if (!SetCurrentDirectoryA("bench_perevod")) {
        std::fprintf(stderr, "bench_perevod: cannot enter its directory\n");
        return 1;
    }
    const std::string fajl = sdelatFajl();
    if (!zytest::ZapisatFajl(kFajl, fajl)) {
        std::fprintf(stderr, "bench_perevod: cannot write %s\n", kFajl);
        return 1;
    }
    std::printf("translation file: %d entries, %zu bytes\n", kZapisej, fajl.size());
    struct Sluchaj {
        const char* imja;
        std::string tekst;
        std::string kljuch;
        int raz;
        bool novyj;
    };
    const Sluchaj sluchai[] = {
        {"first entry", tekstZapisi(0, "a.txt"), tekstZapisi(0, ""), 300, false},
        {"last entry", tekstZapisi(kZapisej - 1, "a.txt"), tekstZapisi(kZapisej - 1, ""), 300,
         false},
        {"missing entry", "No such message \"x\" anywhere.", "No such message \"\" anywhere.", 200,
         true},
    };
    std::printf("%-14s %18s %18s %16s %8s\n", "lookup", "ZyPerevodStroki", "(fastest call)",
                "in-memory find", "ratio");
    int rc = 0;
    for (const Sluchaj& s : sluchai) {
        std::string otvet, etalon;
        double luchshij = 0;
        const double us =
            zameritPerevod(s.tekst, s.raz, s.novyj ? fajl.size() : 0, &otvet, &luchshij);
        const double usPamjat = zameritPamjat(fajl, s.kljuch, s.raz * 10, &etalon);
        std::printf("%-14s %15.1f us %15.1f us %13.2f us %7.2fx\n", s.imja, us, luchshij, usPamjat,
                    us / usPamjat);
        if (!s.novyj && otvet.find("Meldung Nummer") != 0) {
            std::fprintf(stderr, "unexpected answer: %s\n", otvet.c_str());
            rc = 1;
        }
    }
    return rc;
}
