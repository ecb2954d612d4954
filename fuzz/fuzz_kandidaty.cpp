// The candidate scan of the search against a position-by-position scan written here: every
// window, stride, direction, and exact or table comparison; the window and its pattern tail
// sit in an allocation of exactly the bytes the scan may read.
#include "ZyFuzz.h"
#include "ZyKandidaty.h"

#include <cstring>
#include <memory>
#include <vector>

using namespace Quorvel;

namespace {

size_t Etalon(const ZyObrazec& o, const unsigned char* p, size_t n, size_t shag, bool vpered) {
    const size_t s = shag < 2 ? 1 : shag;
    for (size_t i = 0; i < n; i += s) {
        const size_t c = vpered ? i : n - 1 - i;
        if (zyBajtSovpadaet(o, 0, p[c]) && zyBajtSovpadaet(o, o.dlina - 1, p[c + o.dlina - 1]))
            return c;
    }
    return vpered ? n : ZY_NET;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    const size_t strok = d.ConsumeIntegralInRange<size_t>(0, 3); // 0: exact comparison
    const bool sTablicej = d.ConsumeBool();
    const std::vector<unsigned char> tab = d.ConsumeBytes<unsigned char>(256 * strok);
    const std::vector<unsigned char> obr =
        d.ConsumeBytes<unsigned char>(d.ConsumeIntegralInRange<size_t>(1, 24));
    if (obr.empty()) return 0;
    const size_t shag = d.ConsumeIntegralInRange<size_t>(0, 40);
    const std::vector<unsigned char> okno = d.ConsumeRemainingBytes<unsigned char>();
    if (okno.size() < obr.size()) return 0;
    const size_t n = okno.size() - obr.size() + 1; // positions at which the pattern fits
    // The scan may read okno[0 .. n + dlina - 1): exactly the window.
    std::unique_ptr<unsigned char[]> p(new unsigned char[okno.size()]);
    std::memcpy(p.get(), okno.data(), okno.size());
    auto* o = new ZyObrazec;
    const bool t = sTablicej && tab.size() == 256 * strok && strok > 0;
    zyPrigotovitObrazec(*o, obr.data(), obr.size(), t ? tab.data() : nullptr, t ? strok : 0);
    for (unsigned b = 0; b < 256; ++b) { // the acceptance sets are the table's rows
        bool prinjat = b == obr[0];
        for (size_t r = 0; t && r < strok; ++r)
            prinjat = prinjat || tab[r * 256 + obr[0]] == b;
        ZY_PROVERIT(zyBajtSovpadaet(*o, 0, static_cast<unsigned char>(b)) == prinjat,
                    "byte %02x against pattern byte %02x", b, obr[0]);
    }
    const size_t v = zyKandidatVpered(*o, p.get(), n, shag),
                 ev = Etalon(*o, p.get(), n, shag, true);
    ZY_PROVERIT(v == ev, "forward: %zu, expected %zu (window %zu, stride %zu)", v, ev, n, shag);
    const size_t b = zyKandidatNazad(*o, p.get(), n, shag),
                 eb = Etalon(*o, p.get(), n, shag, false);
    ZY_PROVERIT(b == eb, "backward: %zu, expected %zu (window %zu, stride %zu)", b, eb, n, shag);
    if (v < n) { // the whole comparison agrees with a byte-by-byte one
        bool vse = true;
        for (size_t i = 0; i < obr.size(); ++i)
            vse = vse && zyBajtSovpadaet(*o, i, p[v + i]);
        ZY_PROVERIT(zySovpadaet(*o, p.get() + v, 0, obr.size()) == vse, "whole comparison");
    }
    delete o;
    return 0;
}
