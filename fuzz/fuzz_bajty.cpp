// The byte functions against plain references written here: scans in every width, direction
// and sense within a buffer of exactly the scanned size, substring search in counted bytes,
// comparison by 32-bit units, overlapping moves, pattern fills and byte replacement.
#include "ZyBajty.h"
#include "ZyFuzz.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

uint32_t Element(const unsigned char* p, unsigned w) {
    uint32_t v = 0;
    for (unsigned i = 0; i < w; ++i)
        v |= uint32_t(p[i]) << (8 * i);
    return v;
}

void Skan(FuzzedDataProvider& d, const std::vector<unsigned char>& b) {
    static const unsigned kShirina[] = {1, 2, 4};
    const unsigned wi = d.ConsumeIntegralInRange<unsigned>(0, 2), w = kShirina[wi];
    const bool ne = d.ConsumeBool(), nazad = d.ConsumeBool();
    const unsigned rezhim = (1u << wi) | (ne ? ZY_SCAN_NOT : 0) | (nazad ? ZY_SCAN_BACKWARD : 0);
    const unsigned znach = d.ConsumeIntegral<unsigned>();
    const unsigned elementov = unsigned(b.size() / w);
    if (elementov == 0) return;
    const unsigned kol = d.ConsumeIntegralInRange<unsigned>(1, elementov);
    // The scanned elements sit in their own allocation of exactly kol * w bytes.
    std::unique_ptr<unsigned char[]> m(new unsigned char[size_t(kol) * w]);
    std::memcpy(m.get(), b.data(), size_t(kol) * w);
    const unsigned char* p = nazad ? m.get() + size_t(kol - 1) * w : m.get();
    const uint32_t maska = w == 4 ? 0xFFFFFFFFu : (1u << (8 * w)) - 1;
    unsigned ozhid = 0;
    for (unsigned i = 0; i < kol && !ozhid; ++i) {
        const unsigned char* el = nazad ? p - size_t(i) * w : p + size_t(i) * w;
        if ((Element(el, w) == (znach & maska)) != ne) ozhid = i + 1;
    }
    const unsigned fakt = ZyScan(p, kol, znach, rezhim);
    ZY_PROVERIT(fakt == ozhid, "ZyScan mode %x count %u: %u, expected %u", rezhim, kol, fakt,
                ozhid);
}

void Poisk(FuzzedDataProvider& d, const std::vector<unsigned char>& b) {
    const std::string chto = d.ConsumeRandomLengthString(8);
    const size_t m = std::strlen(chto.c_str());
    if (m == 0) return;
    const unsigned dlina = unsigned(b.size());
    std::unique_ptr<char[]> gde(new char[dlina ? dlina : 1]);
    if (dlina) std::memcpy(gde.get(), b.data(), dlina);
    const char* ozhid = nullptr;
    for (size_t i = 0; i + m <= dlina && !ozhid; ++i)
        if (std::memcmp(gde.get() + i, chto.c_str(), m) == 0) ozhid = gde.get() + i;
    const char* fakt = ZyNaytiStroku(gde.get(), chto.c_str(), dlina);
    ZY_PROVERIT(fakt == ozhid, "ZyNaytiStroku over %u bytes: %td, expected %td", dlina,
                fakt ? fakt - gde.get() : -1, ozhid ? ozhid - gde.get() : -1);
}

void Sravnit(FuzzedDataProvider& d, const std::vector<unsigned char>& b) {
    const size_t n = b.size() / 2;
    if (n == 0) return;
    std::vector<unsigned char> a(b.begin(), b.begin() + n), c(b.begin() + n, b.begin() + 2 * n);
    if (d.ConsumeBool())
        c = a, c[d.ConsumeIntegralInRange<size_t>(0, n - 1)] ^= d.ConsumeIntegral<unsigned char>();
    int ozhid = 0;
    size_t i = 0;
    for (; i + 4 <= n && !ozhid; i += 4) {
        const uint32_t x = Element(&a[i], 4), y = Element(&c[i], 4);
        ozhid = x < y ? -1 : x > y ? 1 : 0;
    }
    for (; i < n && !ozhid; ++i)
        ozhid = a[i] < c[i] ? -1 : a[i] > c[i] ? 1 : 0;
    const int fakt = ZySravnitOZU(a.data(), c.data(), ZyDW(n));
    ZY_PROVERIT(fakt == ozhid, "ZySravnitOZU of %zu bytes: %d, expected %d", n, fakt, ozhid);
}

void Sdvinut(FuzzedDataProvider& d, const std::vector<unsigned char>& b) {
    if (b.empty()) return;
    const size_t n = d.ConsumeIntegralInRange<size_t>(0, b.size());
    const size_t ot = d.ConsumeIntegralInRange<size_t>(0, b.size() - n);
    const size_t k = d.ConsumeIntegralInRange<size_t>(0, b.size() - n);
    std::vector<unsigned char> fakt = b, ozhid = b;
    std::memmove(ozhid.data() + k, ozhid.data() + ot, n);
    ZY_PROVERIT(ZySdvinutOZU(fakt.data() + k, fakt.data() + ot, ZyDW(n)) == fakt.data() + k,
                "result");
    ZY_PROVERIT(fakt == ozhid, "ZySdvinutOZU of %zu bytes from %zu to %zu", n, ot, k);
}

void Zapolnit(FuzzedDataProvider& d) {
    const ZyDW obrazec = d.ConsumeIntegral<uint32_t>() >> d.ConsumeIntegralInRange<int>(0, 31);
    const size_t n = d.ConsumeIntegralInRange<size_t>(0, 64);
    const uint32_t p = obrazec == 0        ? 0
                       : obrazec <= 0xFF   ? obrazec * 0x01010101u
                       : obrazec <= 0xFFFF ? obrazec * 0x00010001u
                                           : obrazec;
    std::vector<unsigned char> ozhid(n), fakt(n + 1, 0xA5);
    for (size_t i = 0; i < n; ++i)
        ozhid[i] = i < n / 4 * 4 ? (unsigned char)(p >> (8 * (i % 4))) : (unsigned char)p;
    ZyNachislitOZU(fakt.data(), ZyDW(n), obrazec);
    ZY_PROVERIT((n == 0 || std::memcmp(fakt.data(), ozhid.data(), n) == 0) && fakt[n] == 0xA5,
                "ZyNachislitOZU(%zu, %x)", n, unsigned(obrazec));
}

void Zamenit(FuzzedDataProvider& d, const std::vector<unsigned char>& b) {
    const char chto = char(d.ConsumeIntegral<unsigned char>()),
               na = char(d.ConsumeIntegral<unsigned char>());
    std::vector<char> fakt(b.begin(), b.end()), ozhid = fakt;
    int kol = 0;
    for (char& c : ozhid)
        if (c == chto) c = na, ++kol;
    const int r = ZyZamenaZnaka(fakt.data(), unsigned(fakt.size()), chto, na);
    ZY_PROVERIT(r == kol && fakt == ozhid, "ZyZamenaZnaka: %d, expected %d", r, kol);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    const int chto = d.ConsumeIntegralInRange<int>(0, 5);
    const size_t n = d.ConsumeIntegralInRange<size_t>(0, 512);
    std::vector<unsigned char> b = d.ConsumeBytes<unsigned char>(n);
    switch (chto) {
    case 0:
        Skan(d, b);
        break;
    case 1:
        Poisk(d, b);
        break;
    case 2:
        Sravnit(d, b);
        break;
    case 3:
        Sdvinut(d, b);
        break;
    case 4:
        Zapolnit(d);
        break;
    default:
        Zamenit(d, b);
        break;
    }
    return 0;
}
