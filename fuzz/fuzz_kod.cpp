// The block arithmetic of encode and decode: a block encoded under a key decodes to itself;
// the record's lengths are those of the significant bytes; the key number is zero exactly
// when the plain formula gives zero; for short blocks quotient, remainder and the decoded
// product agree with 128-bit arithmetic done here; any quotient and remainder bytes decode
// without touching memory outside the block.
#include "ZyFuzz.h"
#include "ZyKodArifm.h"

#include <cstring>
#include <vector>

using namespace Quorvel;
using u128 = unsigned __int128;

namespace {

u128 Chislo(const unsigned char* p, size_t n) { // n <= 16
    u128 v = 0;
    for (size_t i = n; i-- > 0;)
        v = v << 8 | p[i];
    return v;
}
size_t Znachimyh(const unsigned char* p, size_t n) {
    while (n > 0 && p[n - 1] == 0)
        --n;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ZyKodChislo chislo;
    static const bool gotovo = chislo.vydelit();
    ZY_PROVERIT(gotovo, "work area");
    FuzzedDataProvider d(data, size);
    const std::vector<unsigned char> kljuch =
        d.ConsumeBytes<unsigned char>(d.ConsumeIntegralInRange<size_t>(1, 40));
    if (kljuch.empty()) return 0;
    const bool proizvolno = d.ConsumeBool();
    // A long block is a short pattern repeated up to a length near the largest, so that records
    // of the largest lengths come out of inputs of a few bytes.
    const bool dlinnyj = d.ConsumeBool();
    const size_t dlina =
        dlinnyj ? d.ConsumeIntegralInRange<size_t>(ZY_KOD_BLOK - 64, ZY_KOD_BLOK) : 0;
    std::vector<unsigned char> blok = d.ConsumeRemainingBytes<unsigned char>();
    if (dlinnyj) {
        if (blok.empty()) blok.push_back(0xFF);
        for (size_t i = blok.size(), shablon = blok.size(); i < dlina; ++i) {
            const unsigned char b = blok[i % shablon];
            blok.push_back(b);
        }
        blok.resize(dlina);
    }
    const size_t n = std::min(blok.size(), ZY_KOD_BLOK);
    const uint64_t dannye = n ? n : 1;

    // The key number by its formula.
    const size_t L = zyDlinaKljucha(kljuch.size(), dannye);
    ZY_PROVERIT(L >= 1 && L <= kljuch.size() && L <= ZY_KOD_BLOK, "key length %zu", L);
    std::vector<unsigned char> K(L);
    for (size_t j = 0; j < L; ++j) {
        const unsigned char x = kljuch[j], y = kljuch[L - 1 - j];
        K[j] = static_cast<unsigned char>(
            ~(x * (unsigned char)(x - j) * (unsigned char)(y - (L - 1 - j))));
    }
    const bool est = chislo.kljuch(kljuch.data(), kljuch.size(), dannye);
    ZY_PROVERIT(est == (Znachimyh(K.data(), L) > 0), "key number zero: %d", !est);
    if (!est) return 0;

    // Exactly the documented room of a record: a byte written past it is a heap overflow.
    std::vector<unsigned char> zapis(ZY_KOD_ZAPIS, 0xEE), nazad(n + 1, 0xEE);
    if (proizvolno) { // any quotient and remainder bytes decode to n bytes, no more
        const size_t qn = std::min(n, blok.size() / 2), rn = std::min(n, blok.size() - qn);
        chislo.dekodirovat(blok.data(), qn, blok.data() + qn, rn, nazad.data(), n);
        ZY_PROVERIT(nazad[n] == 0xEE, "decode wrote past the block");
        const size_t mK = Znachimyh(K.data(), L);
        if (qn + mK <= 16 && rn <= 16 && n <= 16) {
            const u128 v =
                Chislo(blok.data(), qn) * Chislo(K.data(), mK) + Chislo(blok.data() + qn, rn);
            ZY_PROVERIT(Chislo(nazad.data(), n) == (n == 16 ? v : v & ((u128(1) << (8 * n)) - 1)),
                        "decoded product differs");
        }
        return 0;
    }
    const size_t dlinaZapisi = chislo.kodirovat(blok.data(), n, zapis.data());
    const size_t qn = zapis[0] | zapis[1] << 8, rn = zapis[2] | zapis[3] << 8;
    ZY_PROVERIT(dlinaZapisi == 4 + qn + rn && dlinaZapisi <= ZY_KOD_ZAPIS, "record length %zu",
                dlinaZapisi);
    for (size_t i = dlinaZapisi; i < zapis.size(); ++i)
        ZY_PROVERIT(zapis[i] == 0xEE, "byte %zu written past a record of %zu", i, dlinaZapisi);
    ZY_PROVERIT((qn == 0 || zapis[4 + qn - 1] != 0) && (rn == 0 || zapis[4 + qn + rn - 1] != 0),
                "lengths are not those of the significant bytes");
    const size_t mK = Znachimyh(K.data(), L);
    if (n <= 16) {
        const u128 B = Chislo(blok.data(), n), k = Chislo(K.data(), mK);
        ZY_PROVERIT(qn <= 16 && rn <= 16 && Chislo(&zapis[4], qn) == B / k &&
                        Chislo(&zapis[4 + qn], rn) == B % k,
                    "quotient or remainder differs from 128-bit division");
    }
    chislo.dekodirovat(&zapis[4], qn, &zapis[4 + qn], rn, nazad.data(), n);
    ZY_PROVERIT((n == 0 || std::memcmp(nazad.data(), blok.data(), n) == 0) && nazad[n] == 0xEE,
                "block of %zu bytes did not come back", n);
    return 0;
}
