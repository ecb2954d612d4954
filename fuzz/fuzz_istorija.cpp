// The history walk over damaged files. A history of sound entries is built from the input and
// then damaged (bytes changed, lengths rewritten, cut short, entries swapped), or the input
// bytes are taken as the file itself. Properties: no read outside the file; every entry the
// reader accepts is sound by a check written here; after every command the current entry is
// sound and within the header's range; on an undamaged file every command lands exactly where
// the plain arithmetic of the commands says.
#include "ZyFuzz.h"
#include "ZyHodIstorii.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace Quorvel;

namespace {

constexpr unsigned long PERVAJA = 0x3C3C3C28, NAZAD = 0x3C3C7C, POSLEDNJAJA = 0x293E3E3E,
                        VPERED = 0x7C3E3E, TEKUSHCHAJA = 0x3E;

uint32_t U32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint64_t U64(const unsigned char* p) {
    return uint64_t(U32(p)) | uint64_t(U32(p + 4)) << 32;
}
void Pisat32(std::vector<unsigned char>& f, size_t poz, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        f[poz + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The entry at poz is sound: its own check, independent of the unit's.
bool Zdorova(const std::vector<unsigned char>& f, uint64_t poz, uint32_t nomer) {
    if (poz < 24 || poz + 4 > f.size()) return false;
    const uint32_t R = U32(&f[poz]);
    if (R < 280 || R > (1u << 20) || poz + R > f.size()) return false;
    if (nomer && U32(&f[poz + 4]) != nomer) return false;
    if (U32(&f[poz + R - 4]) != R - 4) return false;
    int nulej = 0;
    for (uint64_t i = poz + 272; i < poz + R - 4; ++i)
        nulej += f[i] == 0;
    return nulej == 4 && f[poz + R - 5] == 0;
}

// A file of `kol` sound entries (header current = last = the last entry).
std::vector<unsigned char> Postroit(FuzzedDataProvider& d, uint32_t kol,
                                    std::vector<uint64_t>& pozicii) {
    std::vector<unsigned char> f(24, 0);
    for (uint32_t nom = 1; nom <= kol; ++nom) {
        const uint64_t poz = f.size();
        pozicii.push_back(poz);
        std::vector<unsigned char> imena;
        for (int i = 0; i < 4; ++i) {
            const size_t n = d.ConsumeIntegralInRange<size_t>(0, 12);
            for (size_t j = 0; j < n; ++j)
                imena.push_back(
                    static_cast<unsigned char>('A' + (d.ConsumeIntegral<uint8_t>() % 26)));
            imena.push_back(0);
        }
        const uint32_t R = uint32_t(276 + imena.size());
        f.resize(poz + R, 0);
        Pisat32(f, poz, R);
        Pisat32(f, poz + 4, nom);
        for (size_t i = 8; i < 272; ++i)
            f[poz + i] = static_cast<unsigned char>(nom * 31 + i);
        std::memcpy(&f[poz + 272], imena.data(), imena.size());
        Pisat32(f, poz + R - 4, R - 4);
    }
    Pisat32(f, 0, uint32_t(pozicii.back()));
    Pisat32(f, 8, kol);
    Pisat32(f, 12, uint32_t(pozicii.back()));
    Pisat32(f, 20, kol);
    return f;
}

// Damages the file in one of several ways.
void Povredit(FuzzedDataProvider& d, std::vector<unsigned char>& f,
              const std::vector<uint64_t>& poz) {
    const int kak = d.ConsumeIntegralInRange<int>(0, 4);
    if (kak == 0) { // bytes changed
        const int n = d.ConsumeIntegralInRange<int>(1, 8);
        for (int i = 0; i < n; ++i)
            f[d.ConsumeIntegralInRange<size_t>(0, f.size() - 1)] = d.ConsumeIntegral<uint8_t>();
    } else if (kak == 1) { // a length or number rewritten
        const uint64_t p = poz[d.ConsumeIntegralInRange<size_t>(0, poz.size() - 1)];
        const size_t gde = d.ConsumeBool() ? p : d.ConsumeBool() ? p + 4 : p + U32(&f[p]) - 4;
        Pisat32(f, gde, d.ConsumeIntegral<uint32_t>());
    } else if (kak == 2) { // cut short
        f.resize(d.ConsumeIntegralInRange<size_t>(0, f.size()));
    } else if (kak == 3 && poz.size() >= 2) { // two entries swapped (the file keeps its size)
        const size_t i = d.ConsumeIntegralInRange<size_t>(0, poz.size() - 2);
        const uint64_t a = poz[i], b = poz[i + 1], c = i + 2 < poz.size() ? poz[i + 2] : f.size();
        std::vector<unsigned char> sled(f.begin() + b, f.begin() + c);
        sled.insert(sled.end(), f.begin() + a, f.begin() + b);
        std::copy(sled.begin(), sled.end(), f.begin() + a);
    } else { // header rewritten
        Pisat32(f, d.ConsumeIntegralInRange<size_t>(0, 20), d.ConsumeIntegral<uint32_t>());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    std::vector<unsigned char> f;
    std::vector<uint64_t> pozicii;
    const int vid = d.ConsumeIntegralInRange<int>(0, 2); // 0 sound, 1 damaged, 2 raw bytes
    if (vid == 2) {
        f = d.ConsumeBytes<unsigned char>(d.ConsumeIntegralInRange<size_t>(0, 4000));
    } else {
        f = Postroit(d, d.ConsumeIntegralInRange<uint32_t>(1, 12), pozicii);
        if (vid == 1) Povredit(d, f, pozicii);
    }
    const ZYS_ISTORIJA ist{f.size(), [&](uint64_t poz, void* kuda, uint32_t n) {
                               ZY_PROVERIT(poz <= f.size() && n <= f.size() - poz,
                                           "read of %u bytes at %llu in a file of %zu", n,
                                           (unsigned long long)poz, f.size());
                               std::memcpy(kuda, f.data() + poz, n);
                               return true;
                           }};
    ZYS_POZICII_ISTORII z{};
    if (f.size() >= 24) z = {U64(&f[0]), U32(&f[8]), U64(&f[12]), U32(&f[20])};
    const bool zdorov = ZyZagolovokZdorov(ist, z);
    if (zdorov) {
        ZY_PROVERIT(Zdorova(f, z.tekPoz, z.tekNom) && Zdorova(f, z.poslPoz, z.poslNom),
                    "an unsound header passed");
    } else if (!ZyVosstanovitZagolovok(ist, z)) {
        ZY_PROVERIT(!Zdorova(f, 24, 1), "the first entry is sound but the repair gave up");
        return 0;
    }
    ZY_PROVERIT(Zdorova(f, z.tekPoz, z.tekNom) && Zdorova(f, z.poslPoz, z.poslNom) &&
                    z.tekNom >= 1 && z.tekNom <= z.poslNom,
                "header after repair: current %u at %llu, last %u at %llu", z.tekNom,
                (unsigned long long)z.tekPoz, z.poslNom, (unsigned long long)z.poslPoz);
    while (d.remaining_bytes() > 0) {
        static const unsigned long kKomandy[] = {PERVAJA, NAZAD,       POSLEDNJAJA,
                                                 VPERED,  TEKUSHCHAJA, 0};
        const unsigned long k = kKomandy[d.ConsumeIntegralInRange<int>(0, 5)];
        const unsigned long kol = d.ConsumeIntegralInRange<unsigned long>(0, 20);
        const uint32_t byl = z.tekNom;
        const unsigned long r = ZyShagIstorii(ist, z, k, kol);
        ZY_PROVERIT(Zdorova(f, z.tekPoz, z.tekNom) && z.tekNom >= 1 && z.tekNom <= z.poslNom,
                    "command %lx %lu left entry %u at %llu", k, kol, z.tekNom,
                    (unsigned long long)z.tekPoz);
        ZY_PROVERIT(r == (z.tekNom != byl || k == PERVAJA || k == POSLEDNJAJA ? k : TEKUSHCHAJA) ||
                        (r == TEKUSHCHAJA && k == PERVAJA),
                    "command %lx gave %lx", k, r);
        if (vid == 0) { // the plain arithmetic of the commands
            uint64_t cel = byl;
            if (k == PERVAJA)
                cel = 1;
            else if (k == POSLEDNJAJA)
                cel = z.poslNom;
            else if (k == NAZAD && kol > 0)
                cel = kol < byl ? byl - kol : 1;
            else if (k == VPERED && kol > 0)
                cel = std::min<uint64_t>(uint64_t(byl) + kol, z.poslNom);
            ZY_PROVERIT(z.tekNom == cel && z.tekPoz == pozicii[cel - 1],
                        "sound file: command %lx %lu from %u gave %u, expected %llu", k, kol, byl,
                        z.tekNom, (unsigned long long)cel);
        }
    }
    return 0;
}
