// Campaigns of mutated inputs: generator, byte mutations, numbering and the per-input watchdog.
#include "ZyTestMutacii.h"

#include "ZyTestSoobshenija.h"
#include "ZyTestVremja.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace zytest {

namespace {

// Boundary values every 32-bit field is tried with.
constexpr uint32_t kGranicy[] = {
    0,    1,     2,      3,      4,       23,         24,          0x7F,        0x80,
    0xFF, 0x100, 0x7FFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
// Bytes worth planting: zero, blanks and line ends, the format's delimiters, high bytes.
constexpr unsigned char kBajty[] = {0,   1,   9,    10,   13,   32,   '"',  '*',
                                    ';', '=', '\\', 0x7F, 0x80, 0xA0, 0xE9, 0xFF};

// A number from the environment, or `umolch`.
uint64_t Okruzhenie(const char* imja, uint64_t umolch) {
    char buf[32];
    const DWORD n = GetEnvironmentVariableA(imja, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return umolch;
    return std::strtoull(buf, nullptr, 0);
}

// Writes a little-endian 32-bit value at i if it fits.
void Vs32(std::vector<unsigned char>& b, size_t i, uint32_t v) {
    if (i + 4 > b.size()) return;
    for (int k = 0; k < 4; ++k)
        b[i + k] = static_cast<unsigned char>(v >> (8 * k));
}

uint32_t U32(const std::vector<unsigned char>& b, size_t i) {
    return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 |
           uint32_t(b[i + 3]) << 24;
}

// One mutation; appends its description.
void Odna(std::vector<unsigned char>& b, ZyGenerator& g, const ZyPolja& polja, std::string& opis) {
    char t[64];
    const size_t n = b.size();
    switch (g.Do(10)) {
    case 0: { // bits flipped
        if (n == 0) break;
        const unsigned kol = 1 + g.Do(8);
        for (unsigned k = 0; k < kol; ++k)
            b[g.Do(uint32_t(n))] ^= static_cast<unsigned char>(1u << g.Do(8));
        std::snprintf(t, sizeof t, "flip*%u ", kol);
        break;
    }
    case 1: { // bytes set to planted values
        if (n == 0) break;
        const size_t i = g.Do(uint32_t(n));
        b[i] = kBajty[g.Do(sizeof kBajty)];
        std::snprintf(t, sizeof t, "set@%zu=%02X ", i, b[i]);
        break;
    }
    case 2: { // random bytes inserted (the length changes)
        const size_t i = g.Do(uint32_t(n + 1)), k = 1 + g.Do(g.Raz(4) ? 300 : 8);
        std::vector<unsigned char> v(k);
        for (unsigned char& c : v)
            c = g.Raz(2) ? kBajty[g.Do(sizeof kBajty)] : static_cast<unsigned char>(g.Chislo());
        b.insert(b.begin() + i, v.begin(), v.end());
        std::snprintf(t, sizeof t, "ins@%zu+%zu ", i, k);
        break;
    }
    case 3: { // a range deleted
        if (n == 0) break;
        const size_t i = g.Do(uint32_t(n)), k = 1 + g.Do(uint32_t(std::min<size_t>(n - i, 64)));
        b.erase(b.begin() + i, b.begin() + i + k);
        std::snprintf(t, sizeof t, "del@%zu-%zu ", i, k);
        break;
    }
    case 4: { // the end cut off
        const size_t i = g.Do(uint32_t(n + 1));
        b.resize(i);
        std::snprintf(t, sizeof t, "cut@%zu ", i);
        break;
    }
    case 5: { // a range duplicated elsewhere
        if (n == 0) break;
        const size_t i = g.Do(uint32_t(n)), k = 1 + g.Do(uint32_t(std::min<size_t>(n - i, 400)));
        const size_t j = g.Do(uint32_t(n + 1));
        const std::vector<unsigned char> v(b.begin() + i, b.begin() + i + k);
        b.insert(b.begin() + j, v.begin(), v.end());
        std::snprintf(t, sizeof t, "dup@%zu-%zu>%zu ", i, k, j);
        break;
    }
    case 6: { // two ranges swapped (entries or lines shuffled when they fall on boundaries)
        if (n < 2) break;
        size_t i = g.Do(uint32_t(n)), j = g.Do(uint32_t(n));
        if (i > j) std::swap(i, j);
        const size_t k = std::min<size_t>(1 + g.Do(400), j - i);
        if (k == 0 || j + k > n) break;
        std::swap_ranges(b.begin() + i, b.begin() + i + k, b.begin() + j);
        std::snprintf(t, sizeof t, "swap@%zu,%zu-%zu ", i, j, k);
        break;
    }
    default: { // a structural field overwritten with a boundary or a format value
        if (polja.smeshenija.empty()) {
            Odna(b, g, ZyPolja{{0}, {}}, opis);
            return;
        }
        const size_t i = polja.smeshenija[g.Do(uint32_t(polja.smeshenija.size()))];
        if (i + 4 > n) break;
        uint32_t v;
        const uint32_t c = g.Do(4);
        if (c == 0 && !polja.znachenija.empty())
            v = polja.znachenija[g.Do(uint32_t(polja.znachenija.size()))];
        else if (c == 1)
            v = U32(b, i) + g.Do(9) - 4; // near the value it had
        else if (c == 2)
            v = uint32_t(g.Chislo());
        else
            v = kGranicy[g.Do(sizeof kGranicy / sizeof kGranicy[0])];
        Vs32(b, i, v);
        std::snprintf(t, sizeof t, "field@%zu=%lX ", i, static_cast<unsigned long>(v));
        break;
    }
    }
    opis += t;
}

} // namespace

uint64_t ZyGenerator::Chislo() {
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::string Mutirovat(std::vector<unsigned char>& b, ZyGenerator& g, const ZyPolja& polja,
                      unsigned maks) {
    std::string opis;
    const unsigned kol = 1 + g.Do(maks ? maks : 1);
    for (unsigned k = 0; k < kol; ++k)
        Odna(b, g, polja, opis);
    return opis;
}

ZyKampanija::ZyKampanija(const char* imja, unsigned kolPoUmolchaniju, uint64_t zerno, DWORD srokMs)
    : imja_(imja), srok_(srokMs) {
    kol_ = unsigned(Okruzhenie("ZY_MUTACII_KOL", kolPoUmolchaniju));
    zerno_ = Okruzhenie("ZY_MUTACII_ZERNO", zerno);
    ot_ = unsigned(Okruzhenie("ZY_MUTACII_OT", 0));
    InitializeCriticalSection(&zamok_);
    shag_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (shag_ && stop_) potok_ = CreateThread(nullptr, 0, Storozh, this, 0, nullptr);
    start_ = Sekundy();
}

ZyKampanija::~ZyKampanija() {
    if (potok_) {
        SetEvent(stop_);
        WaitForSingleObject(potok_, 10000);
        CloseHandle(potok_);
    }
    if (shag_) CloseHandle(shag_);
    if (stop_) CloseHandle(stop_);
    DeleteCriticalSection(&zamok_);
}

ZyGenerator ZyKampanija::Generator(unsigned i) const {
    ZyGenerator g(zerno_ ^ (uint64_t(i) * 0xD1B54A32D192ED03ull));
    g.Chislo();
    return g;
}

void ZyKampanija::Nachalo(unsigned i, const std::string& chto) {
    EnterCriticalSection(&zamok_);
    chto_ = chto;
    LeaveCriticalSection(&zamok_);
    InterlockedExchange(&tekushij_, LONG(i));
    SetEvent(shag_);
}

std::string ZyKampanija::Gde(unsigned i) const {
    char t[200];
    std::snprintf(t, sizeof t,
                  "campaign %s, seed %llu, input %u (ZY_MUTACII_ZERNO=%llu ZY_MUTACII_OT=%u "
                  "ZY_MUTACII_KOL=1 repeats it)",
                  imja_.c_str(), static_cast<unsigned long long>(zerno_), i,
                  static_cast<unsigned long long>(zerno_), i);
    return t;
}

double ZyKampanija::Sekund() const {
    return Sekundy() - start_;
}

void ZyKampanija::Provesti(
    const std::function<std::string(ZyGenerator& g, std::string& opis)>& vhod,
    const ZyStorozhOkon* korobki) {
    int oshibok = 0;
    for (unsigned i = Ot(); i < Do() && oshibok < 10; ++i) {
        Nachalo(i);
        ZyGenerator g = Generator(i);
        std::string opis;
        const size_t okon = korobki ? korobki->Okna().size() : 0;
        const std::string oshibka = vhod(g, opis);
        if (!oshibka.empty()) {
            ++oshibok;
            ADD_FAILURE() << Gde(i) << "\n  mutations: " << opis << "\n  " << oshibka;
        }
        if (korobki && korobki->Okna().size() != okon) {
            ++oshibok;
            ADD_FAILURE() << Gde(i) << ": a message box\n" << korobki->Tekst();
        }
    }
}

// Waits for each input to start within the bound of the one before; otherwise names the input
// that is stuck and ends the process (the test would otherwise hang until CTest kills it).
DWORD WINAPI ZyKampanija::Storozh(void* p) {
    ZyKampanija* k = static_cast<ZyKampanija*>(p);
    const HANDLE h[2] = {k->stop_, k->shag_};
    for (;;) {
        const DWORD w = WaitForMultipleObjects(2, h, FALSE, k->srok_);
        if (w == WAIT_OBJECT_0 + 1) continue;
        if (w != WAIT_TIMEOUT) return 0;
        if (k->tekushij_ < 0) continue; // not started yet
        EnterCriticalSection(&k->zamok_);
        std::fprintf(stderr, "HANG: %s %s took more than %lu ms\n",
                     k->Gde(unsigned(k->tekushij_)).c_str(), k->chto_.c_str(),
                     static_cast<unsigned long>(k->srok_));
        LeaveCriticalSection(&k->zamok_);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
}

} // namespace zytest
