// The bit vector against a plain vector of bools: a sequence of operations from the input on
// vectors of any size; out-of-range arguments report and change nothing; range copies in and
// out agree bit by bit; copies are independent.
#include "ZyFuzz.h"
#include "ZyVektorBit.h"

#include <vector>

using namespace Quorvel;

namespace {

constexpr ZyDW VSE = 0xFFFFFFFFu;

// The vector's bits, spare bits of the last byte included, as the reference holds them.
bool Sovpadaet(const ZYK_VEKTOR_BIT& v, const std::vector<bool>& e) {
    if (v.dlinaBajt != (e.size() + 7) / 8) return false;
    for (size_t k = 0; k < e.size(); ++k)
        if (((v.dannye[k / 8] >> (k % 8)) & 1) != e[k]) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    const ZyDW kolBit = d.ConsumeIntegralInRange<ZyDW>(0, 300);
    const unsigned char zap = d.ConsumeBool();
    ZYK_VEKTOR_BIT v(kolBit, zap);
    // The reference covers whole bytes: bits past kolBit exist in memory.
    std::vector<bool> e(kolBit ? (kolBit + 7) / 8 * 8 : 0, zap && kolBit);
    ZY_PROVERIT(v.kolBit == kolBit && Sovpadaet(v, e), "construction of %u bits", unsigned(kolBit));
    while (d.remaining_bytes() > 0) {
        const int op = d.ConsumeIntegralInRange<int>(0, 7);
        ZyDW a = d.ConsumeIntegralInRange<ZyDW>(0, kolBit + 2);
        ZyDW b = d.ConsumeBool() ? VSE : d.ConsumeIntegralInRange<ZyDW>(0, kolBit + 2);
        const ZyDW bb = b == VSE && kolBit ? kolBit - 1 : b;
        const bool vRamke = kolBit && bb < kolBit;
        switch (op) {
        case 0:
        case 1: {
            const bool r = op == 0 ? v.Vkl(a, b) : v.Vwkl(a, b);
            ZY_PROVERIT(r == vRamke, "Vkl/Vwkl(%u, %u) of %u bits gave %d", unsigned(a),
                        unsigned(b), unsigned(kolBit), r);
            if (r)
                for (ZyDW k = a; k <= bb; ++k)
                    e[k] = op == 0;
            break;
        }
        case 2: {
            bool ozhid = false;
            for (ZyDW k = a; vRamke && k <= bb; ++k)
                ozhid = ozhid || e[k];
            ZY_PROVERIT(v.Test(a, b) == ozhid, "Test(%u, %u)", unsigned(a), unsigned(b));
            break;
        }
        case 3: {
            bool ozhid = false;
            for (ZyDW k = 0; k < kolBit; ++k)
                ozhid = ozhid || e[k];
            ZY_PROVERIT(v.Test() == ozhid, "Test()");
            break;
        }
        case 4:
            v.Invert();
            e.flip();
            break;
        case 5: { // bits out and back in
            unsigned char buf[48];
            const ZyDW razmer = d.ConsumeIntegralInRange<ZyDW>(0, sizeof buf);
            const bool oba = a == VSE && b == VSE;
            const ZyDW a2 = oba ? 0 : a, b2 = oba ? (kolBit ? kolBit - 1 : VSE) : b;
            const ZyDW r = v.VzBitw(buf, razmer, a, b);
            if (!kolBit || b2 >= kolBit) {
                ZY_PROVERIT(r == VSE, "VzBitw out of range gave %u", unsigned(r));
                break;
            }
            const ZyDW nbit = a2 > b2 ? 0 : b2 - a2 + 1, nuzhno = (nbit + 7) / 8;
            if (nuzhno > razmer) {
                ZY_PROVERIT(r == nuzhno, "VzBitw needs %u, gave %u", unsigned(nuzhno), unsigned(r));
                break;
            }
            ZY_PROVERIT(r == 0, "VzBitw gave %u", unsigned(r));
            for (ZyDW i = 0; i < razmer * 8; ++i)
                ZY_PROVERIT(((buf[i / 8] >> (i % 8)) & 1) == (i < nbit && e[a2 + i]),
                            "VzBitw bit %u", unsigned(i));
            for (auto& c : buf)
                c = static_cast<unsigned char>(d.ConsumeIntegral<uint8_t>());
            const ZyDW s = v.VsBitw(a2, b2, buf, razmer);
            ZY_PROVERIT(s == 0, "VsBitw gave %u", unsigned(s));
            for (ZyDW i = 0; i < nbit; ++i)
                e[a2 + i] = (buf[i / 8] >> (i % 8)) & 1;
            break;
        }
        case 6: { // a copy is independent of the original
            ZYK_VEKTOR_BIT c(v);
            ZY_PROVERIT(c.kolBit == v.kolBit && Sovpadaet(c, e), "copy");
            c.Vkl();
            c.Invert();
            ZY_PROVERIT(Sovpadaet(v, e), "changing the copy changed the original");
            break;
        }
        default:
            if (d.ConsumeBool())
                v.Vkl(), e.assign(e.size(), true);
            else
                v.Vwkl(), e.assign(e.size(), false);
            break;
        }
        ZY_PROVERIT(Sovpadaet(v, e), "after operation %d (%u, %u)", op, unsigned(a), unsigned(b));
    }
    return 0;
}
