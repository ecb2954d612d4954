// The reader of the translation file over any file text and key: the entry walk, the indexed
// lookup and the exported ZyScanStrok agree with a plain reading of the entry rules written
// here, and no byte outside the file text is read (the text sits in an allocation of exactly
// its size).
#include "ZyBajty.h"
#include "ZyFuzz.h"
#include "ZyScanStrok.h"
#include "ZyUkazatelPerevoda.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

struct Otvet {
    int rezultat;
    std::string perevod;
};

// Index of the first "***" at or after p, or n.
size_t Zvezdy(const char* f, size_t n, size_t p) {
    for (size_t i = p; i + 3 <= n; ++i)
        if (f[i] == '*' && f[i + 1] == '*' && f[i + 2] == '*') return i;
    return n;
}
bool Probel(char c) {
    return c == ' ' || c == '\r' || c == '\n' || c == '\t';
}

// The entry rules, one step after the other.
Otvet Etalon(const char* f, size_t n, const std::string& k) {
    if (k.empty() || k.size() > n) return {-1, ""};
    size_t p = 0;
    while (p < n && f[p] == ' ')
        ++p;
    for (;;) {
        if (n - p >= k.size() && std::memcmp(f + p, k.data(), k.size()) == 0) {
            const size_t q0 = p + k.size();
            const size_t e = Zvezdy(f, n, q0);
            if (e == q0) return {0, ""};
            const char c = f[q0];
            if (c == ' ' || c == '=' || c == '\r' || c == '\t') {
                size_t q = q0;
                while (q < e && Probel(f[q]))
                    ++q;
                if (q == e) return {0, ""};
                if (f[q] == '=') {
                    ++q;
                    while (q < e && Probel(f[q]))
                        ++q;
                    if (q == e) return {0, ""};
                    return {1, std::string(f + q, e - q)};
                }
            }
            p = q0;
        }
        const size_t e = Zvezdy(f, n, p);
        if (e == n) return {-1, ""};
        p = e + 3;
        while (p < n && static_cast<unsigned char>(f[p]) <= 32)
            ++p;
        if (p >= n) return {-1, ""};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider d(data, size);
    std::string kljuch = d.ConsumeRandomLengthString(40);
    kljuch.resize(std::strlen(kljuch.c_str())); // the exported form takes a zero-ended key
    const std::string tekst = d.ConsumeRemainingBytesAsString();
    const size_t n = tekst.size();
    std::unique_ptr<char[]> f(new char[n ? n : 1]);
    std::memcpy(f.get(), tekst.data(), n);

    const Otvet ozhid = Etalon(f.get(), n, kljuch);
    const zyst::ZyNahodka h = zyst::ZyNajtiPerevod(f.get(), n, kljuch.data(), kljuch.size());
    ZY_PROVERIT(h.rezultat == ozhid.rezultat, "walk: %d, expected %d", h.rezultat, ozhid.rezultat);
    if (h.rezultat == 1) {
        ZY_PROVERIT(h.perevod >= f.get() && h.dlina <= size_t(f.get() + n - h.perevod),
                    "translation outside the text");
        ZY_PROVERIT(std::string(h.perevod, h.dlina) == ozhid.perevod, "walk: other translation");
    }
    const zyst::ZyUkazatelPerevoda ukazatel(f.get(), n);
    const zyst::ZyNahodka u = ukazatel.Najti(kljuch.data(), kljuch.size());
    ZY_PROVERIT(u.rezultat == h.rezultat && u.perevod == h.perevod && u.dlina == h.dlina,
                "index: %d, walk %d", u.rezultat, h.rezultat);

    // The exported form appends the answer, 0x01 and a zero to what `out` holds.
    std::string out(3 + n + kljuch.size() + 2, '\0');
    out[0] = 'a', out[1] = 'b';
    const int r = ZyScanStrok(f.get(), unsigned(n), kljuch.c_str(), &out[0]);
    const std::string otvet = r == 1 ? ozhid.perevod : kljuch;
    ZY_PROVERIT(r == ozhid.rezultat &&
                    std::memcmp(out.data() + 2, otvet.data(), otvet.size()) == 0 &&
                    out[2 + otvet.size()] == 0x01 && out[3 + otvet.size()] == 0,
                "ZyScanStrok: %d", r);
    return 0;
}
