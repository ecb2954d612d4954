// The block plan of the copy engine against plain references: a copy in blocks within one
// array equals one memmove whatever the overlap and block length, every block stays inside the
// ranges, a copy stopped after any block leaves the source in order around its room and can be
// taken back, and the delete and move plans give erase and rotate without touching bytes outside
// the file.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "ZyFuzz.h"
#include "ZyPlanKop.h"

namespace {

using Bajty = std::vector<unsigned char>;

// An array of `n` bytes that tells every position apart.
Bajty obrazec(size_t n) {
    Bajty b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<unsigned char>(i * 131 + 7);
    return b;
}

// Copies `n` bytes from `s` to `d` within `b` in blocks of `blok`, each block read whole before
// it is written, stopping after `blokov` blocks; the bytes done.
uint64_t kopirovat(Bajty& b, uint64_t d, uint64_t s, uint64_t n, uint64_t blok,
                   uint64_t blokov = UINT64_MAX) {
    const bool vozrast = Quorvel::ZyPlanVozrast(true, d, s);
    uint64_t gotovo = 0;
    while (gotovo < n && blokov--) {
        const Quorvel::ZyBlokPlana p = Quorvel::ZyPlanBlok(n, blok, gotovo, vozrast);
        ZY_PROVERIT(p.dlina > 0 && p.dlina <= blok && p.smeshenie + p.dlina <= n,
                    "block %llu+%llu of %llu", (unsigned long long)p.smeshenie,
                    (unsigned long long)p.dlina, (unsigned long long)n);
        const Bajty kusok(b.begin() + s + p.smeshenie, b.begin() + s + p.smeshenie + p.dlina);
        std::copy(kusok.begin(), kusok.end(), b.begin() + d + p.smeshenie);
        gotovo += p.dlina;
        ZY_PROVERIT(p.posl == (gotovo == n), "last flag at %llu", (unsigned long long)gotovo);
    }
    return gotovo;
}

// The whole copy against memmove; then the copy stopped after `stop` blocks and taken back for
// `nazad` blocks of its own: the bytes around the room the plan names are the source range in
// order, and taken back in full, the source range is in place again.
void proveritKopiju(size_t razmer, uint64_t d, uint64_t s, uint64_t n, uint64_t blok, uint64_t stop,
                    uint64_t nazad) {
    Bajty b = obrazec(razmer), ozhid = b;
    const Bajty ist = ozhid;
    std::copy(ist.begin() + s, ist.begin() + s + n, ozhid.begin() + d);
    kopirovat(b, d, s, n, blok);
    ZY_PROVERIT(b == ozhid, "copy %llu->%llu of %llu in blocks of %llu", (unsigned long long)s,
                (unsigned long long)d, (unsigned long long)n, (unsigned long long)blok);
    if (d == s) return;
    b = ist;
    const uint64_t sdelano = kopirovat(b, d, s, n, blok, stop);
    const Quorvel::ZyKopija o = Quorvel::ZyPlanOtkata(d, s, n, sdelano);
    const uint64_t vzjato = kopirovat(b, o.kuda, o.otkuda, o.dlina, blok, nazad);
    const uint64_t probel = Quorvel::ZyPlanProbel(d, s, n, sdelano - vzjato);
    const uint64_t ot = std::min(d, s), po = std::max(d, s) + n, rasst = po - ot - n;
    ZY_PROVERIT(probel >= ot && probel + rasst <= po, "room %llu outside the ranges",
                (unsigned long long)probel);
    Bajty vokrug(b.begin() + ot, b.begin() + probel);
    vokrug.insert(vokrug.end(), b.begin() + probel + rasst, b.begin() + po);
    ZY_PROVERIT(std::equal(vokrug.begin(), vokrug.end(), ist.begin() + s),
                "copy %llu->%llu of %llu stopped after %llu, %llu taken back",
                (unsigned long long)s, (unsigned long long)d, (unsigned long long)n,
                (unsigned long long)sdelano, (unsigned long long)vzjato);
    ZY_PROVERIT(vzjato < sdelano || std::equal(b.begin() + s, b.begin() + s + n, ist.begin() + s),
                "copy %llu->%llu of %llu not taken back", (unsigned long long)s,
                (unsigned long long)d, (unsigned long long)n);
}

// Applies a keep-aside plan to `b`, each range checked to lie inside it.
void primenit(Bajty& b, const Quorvel::ZyPlanZapasa& p) {
    const uint64_t r = b.size();
    ZY_PROVERIT(p.zapasPoz + p.zapasDlina <= r && p.kopOtkuda + p.kopDlina <= r &&
                    p.kopKuda + p.kopDlina <= r && p.vernutPoz + p.zapasDlina <= r,
                "plan leaves the file of %llu bytes", (unsigned long long)r);
    const Bajty zapas(b.begin() + p.zapasPoz, b.begin() + p.zapasPoz + p.zapasDlina);
    const Bajty kusok(b.begin() + p.kopOtkuda, b.begin() + p.kopOtkuda + p.kopDlina);
    std::copy(kusok.begin(), kusok.end(), b.begin() + p.kopKuda);
    std::copy(zapas.begin(), zapas.end(), b.begin() + p.vernutPoz);
}

// Deleting `n` bytes at `p`: the first razmer - n bytes equal erase.
void proveritUdalenie(size_t razmer, uint64_t p, uint64_t n) {
    Bajty b = obrazec(razmer), ozhid = b;
    ozhid.erase(ozhid.begin() + p, ozhid.begin() + p + n);
    primenit(b, Quorvel::ZyPlanUdalit(razmer, p, n));
    b.resize(razmer - n);
    ZY_PROVERIT(b == ozhid, "delete %llu at %llu of %zu", (unsigned long long)n,
                (unsigned long long)p, razmer);
}

// Moving `n` bytes at `s` to the point `d`: equals the rotation of the parts between them.
void proveritPeremeshenie(size_t razmer, uint64_t d, uint64_t s, uint64_t n) {
    Bajty b = obrazec(razmer), ozhid = b;
    if (d < s)
        std::rotate(ozhid.begin() + d, ozhid.begin() + s, ozhid.begin() + s + n);
    else if (d > s + n)
        std::rotate(ozhid.begin() + s, ozhid.begin() + s + n, ozhid.begin() + d);
    primenit(b, Quorvel::ZyPlanPeremestit(d, s, n));
    ZY_PROVERIT(b == ozhid, "move %llu at %llu to %llu of %zu", (unsigned long long)n,
                (unsigned long long)s, (unsigned long long)d, razmer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const size_t razmer = in.ConsumeIntegralInRange<size_t>(1, 600);
    const uint64_t n = in.ConsumeIntegralInRange<uint64_t>(1, razmer);
    const uint64_t s = in.ConsumeIntegralInRange<uint64_t>(0, razmer - n);
    const uint64_t d = in.ConsumeIntegralInRange<uint64_t>(0, razmer - n);
    const uint64_t blok = in.ConsumeIntegralInRange<uint64_t>(1, 700);
    const uint64_t stop = in.ConsumeIntegralInRange<uint64_t>(0, 40);
    proveritKopiju(razmer, d, s, n, blok, stop, in.ConsumeIntegralInRange<uint64_t>(0, 40));
    if (n < razmer)
        proveritUdalenie(razmer, in.ConsumeIntegralInRange<uint64_t>(0, razmer - n - 1), n);
    proveritPeremeshenie(razmer, in.ConsumeIntegralInRange<uint64_t>(0, razmer), s, n);
    return 0;
}
