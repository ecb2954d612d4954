// Test helper: campaigns of mutated inputs. A seeded generator (the same inputs on every run
// and on both targets), byte mutations (bits flipped, bytes set, ranges inserted, deleted,
// duplicated and moved, the end cut, 32-bit fields overwritten with boundary values), and a
// campaign that numbers its inputs, bounds each in time and tells how to run one input again.
#ifndef ZYTESTMUTACII_H
#define ZYTESTMUTACII_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zytest {

class ZyStorozhOkon;

// splitmix64: small, fast and the same everywhere.
class ZyGenerator {
public:
    explicit ZyGenerator(uint64_t zerno) : s_(zerno) {}
    uint64_t Chislo();
    // A number in 0 .. n - 1 (0 for n 0).
    uint32_t Do(uint32_t n) { return n ? uint32_t(Chislo() % n) : 0; }
    // True with probability 1 / n.
    bool Raz(uint32_t n) { return Do(n) == 0; }

private:
    uint64_t s_;
};

// Where a byte mutation may aim besides random places: offsets of 32-bit little-endian fields
// of the format (lengths, numbers, positions), so that boundary values land on them.
struct ZyPolja {
    std::vector<size_t> smeshenija;
    std::vector<uint32_t> znachenija; // values worth writing there (besides 0, 1, ~0, ...)
};

// Applies 1 .. `maks` mutations chosen by `g` to `b`; returns a short description of each
// ("flip@12 ins@40+3 ..."), for the failure message.
std::string Mutirovat(std::vector<unsigned char>& b, ZyGenerator& g, const ZyPolja& polja,
                      unsigned maks = 4);

// One campaign: the number of inputs and the seed (environment ZY_MUTACII_KOL overrides the
// count, ZY_MUTACII_ZERNO the seed, ZY_MUTACII_OT the first index), and a watchdog thread that
// ends the process with a message naming the input when one input takes longer than `srokMs`
// (a hang must not wait for the CTest time-out without saying where it was).
class ZyKampanija {
public:
    ZyKampanija(const char* imja, unsigned kolPoUmolchaniju, uint64_t zerno, DWORD srokMs = 20000);
    ~ZyKampanija();
    ZyKampanija(const ZyKampanija&) = delete;
    ZyKampanija& operator=(const ZyKampanija&) = delete;

    unsigned Ot() const { return ot_; }
    unsigned Do() const { return ot_ + kol_; }
    // The generator of input i (independent of every other input).
    ZyGenerator Generator(unsigned i) const;
    // Marks the start of input i for the watchdog; `chto` describes it in the hang message.
    void Nachalo(unsigned i, const std::string& chto = "");
    // "campaign <name>, seed <s>, input <i> (ZY_MUTACII_ZERNO=s ZY_MUTACII_OT=i
    // ZY_MUTACII_KOL=1 repeats it)".
    std::string Gde(unsigned i) const;
    // Seconds since construction.
    double Sekund() const;
    // Runs every input in turn: `vhod` makes input i from its generator, checks it and gives ""
    // or what went wrong (with the mutations it applied in `opis`). Each failure is a test
    // failure naming the input; so is a message box that appears during an input, when
    // `korobki` watches them. Stops after 10 failures.
    void Provesti(const std::function<std::string(ZyGenerator& g, std::string& opis)>& vhod,
                  const ZyStorozhOkon* korobki = nullptr);

private:
    static DWORD WINAPI Storozh(void* p);

    std::string imja_;
    unsigned kol_ = 0, ot_ = 0;
    uint64_t zerno_ = 0;
    DWORD srok_;
    volatile LONG tekushij_ = -1;
    CRITICAL_SECTION zamok_;
    std::string chto_; // what the current input does (under zamok_)
    HANDLE shag_ = nullptr, stop_ = nullptr, potok_ = nullptr;
    double start_ = 0;
};

} // namespace zytest

#endif // ZYTESTMUTACII_H
