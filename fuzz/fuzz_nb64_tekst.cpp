// ZYKNB64 text conversion: number -> text -> number gives the number back in every radix,
// grouping, separator, minimum digit count and letter case; any bytes read as text never make
// VzStr read past the text, and a decimal text that VzStr accepts has the value a plain
// saturating reader gives it.
#include "ZyFuzz.h"
#include "ZyNB64.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace Quorvel;
using u64 = std::uint64_t;

namespace {

u64 V(const ZYKNB64& n) {
    return u64(n.St) << 32 | n.Ml;
}
ZYKNB64 N(u64 v) {
    return ZYKNB64{ZyDW(v), ZyDW(v >> 32)};
}
bool Cifra(unsigned char c, long osn) {
    if (c >= '0' && c <= '9') return c - '0' < osn;
    if (osn != 16) return false;
    return (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Number -> text -> number.
void KrugTeksta(FuzzedDataProvider& d) {
    const u64 v = d.ConsumeIntegral<u64>();
    static const long kOsn[] = {10, 16, 2, 8};
    const long osn = kOsn[d.ConsumeIntegralInRange<int>(0, 3)];
    const unsigned g = d.ConsumeIntegralInRange<unsigned>(0, 8);
    unsigned char razdel = d.ConsumeIntegral<unsigned char>();
    // A separator that is itself a digit, a prefix letter or the terminator cannot read back.
    if (razdel == 0 || Cifra(razdel, 16) || razdel == 'x' || razdel == 'X' || razdel == 'o' ||
        razdel == 'O' || razdel == 'b' || razdel == 'B')
        razdel = ' ';
    const unsigned minCifr = d.ConsumeIntegralInRange<unsigned>(0, 99);
    const unsigned char sdvig = d.ConsumeBool() ? 0x20 : 0;
    const ZyDW format = g | ZyDW(razdel) << 8 | ZyDW(minCifr) << 16 | ZyDW(sdvig) << 24;
    unsigned char buf[140];
    std::memset(buf, 0xEE, sizeof buf);
    const ZyDW n = N(v).VsStr(buf + 2, format, osn);
    ZY_PROVERIT(n > 0 && n < 135 && buf[2 + n] == 0 && std::strlen((char*)buf + 2) == n,
                "VsStr length %u", unsigned(n));
    unsigned char* t = buf + 2;
    if (osn != 10) { // the reader wants the radix prefix
        t = buf;
        t[0] = '0';
        t[1] = osn == 16 ? 'x' : osn == 8 ? 'o' : 'b';
    }
    ZYKNB64 r{0x1234, 0x5678};
    const bool ok = r.VzStr(t, ZyDW(razdel) << 8);
    // A decimal text whose second character is a separator is grouped ("1 234"): read as well.
    ZY_PROVERIT(ok && V(r) == v, "radix %ld format %08x: %016llx -> '%s' -> %d %016llx", osn,
                unsigned(format), (unsigned long long)v, (const char*)t, ok,
                (unsigned long long)V(r));
}

// Any bytes: no read past the text; an accepted decimal text has the plain reader's value.
void LjubojTekst(FuzzedDataProvider& d) {
    const unsigned char razdel = d.ConsumeIntegral<unsigned char>();
    const bool sDlinoj = d.ConsumeBool();
    const std::vector<unsigned char> bajty =
        d.ConsumeBytes<unsigned char>(d.ConsumeIntegralInRange<size_t>(0, sDlinoj ? 255 : 300));
    std::vector<unsigned char> t;
    ZyDW format = ZyDW(razdel) << 8;
    if (sDlinoj) { // a counted text, exactly as long as its count
        if (bajty.empty()) return;
        t = bajty;
        format |= ZyDW(t.size());
    } else { // a text ended by a zero byte
        t = bajty;
        t.push_back(0);
    }
    ZYKNB64 r{0, 0};
    const bool ok = r.VzStr(t.data(), format);
    size_t dlina = sDlinoj ? t.size() : std::strlen((const char*)t.data());
    if (!ok || dlina < 1) return;
    if (sDlinoj && std::memchr(t.data(), 0, dlina)) return;
    const unsigned char sep = razdel ? razdel : ' ';
    // Decimal when the second character is a digit, or the separator unless it is a prefix
    // letter (the prefix wins), or there is none.
    if (dlina >= 2 && !(t[1] >= '0' && t[1] <= '9')) {
        if (t[1] != sep || std::strchr("xXoObB", t[1])) return;
    }
    u64 ozhid = 0;
    bool polno = false;
    for (size_t i = 0; i < dlina; ++i) {
        const unsigned char c = t[i];
        if (c >= '0' && c <= '9') {
            const unsigned __int128 s = (unsigned __int128)ozhid * 10 + (c - '0');
            if (s > ~0ull)
                polno = true;
            else
                ozhid = u64(s);
        } else {
            ZY_PROVERIT(c == sep, "accepted byte %02x in a decimal text", c);
        }
    }
    if (polno) ozhid = ~0ull;
    ZY_PROVERIT(V(r) == ozhid, "decimal '%.*s' read as %016llx, expected %016llx", int(dlina),
                (const char*)t.data(), (unsigned long long)V(r), (unsigned long long)ozhid);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    if (d.ConsumeBool())
        KrugTeksta(d);
    else
        LjubojTekst(d);
    return 0;
}
