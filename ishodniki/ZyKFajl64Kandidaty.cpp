// The candidate scan of the pattern search: SSE2 (sixteen positions at a time), word-wide, and
// byte by byte for acceptance sets of more than four bytes. Pure logic, no system calls.
//
// NOTE: the C runtime's memchr under Wine is a byte loop (about a tenth of a vector scan), so
// the scan is our own. Testing the last pattern byte together with the first leaves few false
// candidates even for a first byte that is common in the file.
#include "ZyKandidaty.h"

#include <cstring>

#if defined(__i386__) || defined(__x86_64__)
#define ZY_X86 1
#include <cpuid.h>
#include <emmintrin.h>
#if defined(__x86_64__) || defined(__SSE2__)
#define ZY_SSE2_CEL
#else
// NOTE: the i686 build targets processors without SSE2 too; the vector functions are compiled
// for SSE2 on their own and only called when the processor reports it.
#define ZY_SSE2_CEL __attribute__((target("sse2")))
#endif
#endif

namespace Quorvel {

namespace {

// Bits j (0 .. 15) with j % s == r, for strides s of 1 .. 16: the stride positions of a block.
struct ZyReshetka {
    uint16_t m[17][16];
    ZyReshetka() : m() {
        for (unsigned s = 1; s <= 16; ++s)
            for (unsigned r = 0; r < s; ++r)
                for (unsigned j = r; j < 16; j += s)
                    m[s][r] = uint16_t(m[s][r] | (1u << j));
    }
};
const ZyReshetka zyReshetka;

// True when file byte b is accepted for the first (or, posl, the last) pattern byte.
inline bool zyKraj(const ZyObrazec& o, bool posl, unsigned char b) {
    return zyBajtSovpadaet(o, posl ? o.dlina - 1 : 0, b);
}

// True when position c of the window is a candidate.
inline bool zyKandidat(const ZyObrazec& o, const unsigned char* p, size_t c) {
    return zyKraj(o, false, p[c]) && zyKraj(o, true, p[c + o.dlina - 1]);
}

// Byte-by-byte forward scan of [ot, n) over positions ot, ot + shag, ...
size_t zyPoBajtamVpered(const ZyObrazec& o, const unsigned char* p, size_t ot, size_t n,
                        size_t shag) {
    for (size_t c = ot; c < n; c += shag) {
        if (zyKandidat(o, p, c)) return c;
        if (n - c <= shag) break;
    }
    return n;
}

// Byte-by-byte backward scan from `ot` down to 0 over ot, ot - shag, ...
size_t zyPoBajtamNazad(const ZyObrazec& o, const unsigned char* p, size_t ot, size_t shag) {
    for (size_t c = ot;; c -= shag) {
        if (zyKandidat(o, p, c)) return c;
        if (c < shag) return ZY_NET;
    }
}

// ---- Word-wide scan ------------------------------------------------------------------------

using Slovo = size_t;
constexpr Slovo kOdin = ~Slovo(0) / 0xFF; // 0x0101...
constexpr Slovo kSem = kOdin * 0x7F;      // 0x7F7F...

// 0x80 in every byte of x equal to the byte whose copies fill `b`, 0 elsewhere (exactly).
inline Slovo zyRavnye(Slovo x, Slovo b) {
    const Slovo y = x ^ b;
    return ~(((y & kSem) + kSem) | y | kSem);
}

// The bytes of a word that hold any of the `k` values in v.
inline Slovo zyLjuboj(Slovo x, const Slovo* v, int k) {
    Slovo m = zyRavnye(x, v[0]);
    for (int i = 1; i < k; ++i)
        m |= zyRavnye(x, v[i]);
    return m;
}

// A word from unaligned bytes.
inline Slovo zySlovo(const unsigned char* p) {
    Slovo s;
    std::memcpy(&s, p, sizeof s);
    return s;
}

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kSlovnyj = true;
#else
constexpr bool kSlovnyj = false; // the byte order of a word decides which bit is which byte
#endif

// Word-wide forward scan of every position (stride 0 or 1).
size_t zySlovamiVpered(const ZyObrazec& o, const unsigned char* p, size_t n) {
    Slovo f[4], l[4];
    for (int i = 0; i < o.nPerv; ++i)
        f[i] = kOdin * o.perv[i];
    for (int i = 0; i < o.nPosl; ++i)
        l[i] = kOdin * o.posl[i];
    const size_t d = o.dlina - 1;
    size_t i = 0;
    for (; i + sizeof(Slovo) <= n; i += sizeof(Slovo)) {
        const Slovo m =
            zyLjuboj(zySlovo(p + i), f, o.nPerv) & zyLjuboj(zySlovo(p + i + d), l, o.nPosl);
        if (m) return i + size_t(__builtin_ctzll((unsigned long long)m)) / 8;
    }
    return zyPoBajtamVpered(o, p, i, n, 1);
}

// Word-wide backward scan of every position.
size_t zySlovamiNazad(const ZyObrazec& o, const unsigned char* p, size_t n) {
    Slovo f[4], l[4];
    for (int i = 0; i < o.nPerv; ++i)
        f[i] = kOdin * o.perv[i];
    for (int i = 0; i < o.nPosl; ++i)
        l[i] = kOdin * o.posl[i];
    const size_t d = o.dlina - 1;
    size_t i = n;
    for (; i >= sizeof(Slovo); i -= sizeof(Slovo)) {
        const size_t b = i - sizeof(Slovo);
        const Slovo m =
            zyLjuboj(zySlovo(p + b), f, o.nPerv) & zyLjuboj(zySlovo(p + b + d), l, o.nPosl);
        if (m) return b + size_t(63 - __builtin_clzll((unsigned long long)m)) / 8;
    }
    return i == 0 ? ZY_NET : zyPoBajtamNazad(o, p, i - 1, 1);
}

// ---- SSE2 scan -----------------------------------------------------------------------------

#if defined(ZY_X86)

// The lanes of a block equal to any of K values (K of 1, 2 or 4).
template <int K> ZY_SSE2_CEL inline __m128i zyLjubojV(__m128i x, const __m128i* v) {
    __m128i m = _mm_cmpeq_epi8(x, v[0]);
    if (K > 1) m = _mm_or_si128(m, _mm_cmpeq_epi8(x, v[1]));
    if (K > 2) {
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, v[2]));
        m = _mm_or_si128(m, _mm_cmpeq_epi8(x, v[3]));
    }
    return m;
}

// The values of an edge byte in lanes; three values repeat the last one as the fourth.
ZY_SSE2_CEL inline void zyZnachenija(const unsigned char* z, int k, __m128i* v) {
    for (int i = 0; i < 4; ++i)
        v[i] = _mm_set1_epi8(char(z[i < k ? i : k - 1]));
}

// Positions passed at once when none of them may be a candidate.
constexpr size_t ZY_PROPUSK = 128;

// True when any of the ZY_PROPUSK positions from p may be a candidate (strides not considered).
template <int KP, int KL>
ZY_SSE2_CEL inline bool zyEstKandidat(const unsigned char* p, size_t d, const __m128i* f,
                                      const __m128i* l) {
    __m128i m0 = _mm_setzero_si128(), m1 = _mm_setzero_si128();
    for (size_t k = 0; k < ZY_PROPUSK; k += 32) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + d));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 16 + d));
        m0 = _mm_or_si128(m0, _mm_and_si128(zyLjubojV<KP>(a0, f), zyLjubojV<KL>(b0, l)));
        m1 = _mm_or_si128(m1, _mm_and_si128(zyLjubojV<KP>(a1, f), zyLjubojV<KL>(b1, l)));
    }
    return _mm_movemask_epi8(_mm_or_si128(m0, m1)) != 0;
}

// Sixteen positions at a time forward; the stride positions of each block from zyReshetka.
// Runs of ZY_PROPUSK positions without a candidate are passed at once.
template <int KP, int KL>
ZY_SSE2_CEL size_t zyVektoromVpered(const ZyObrazec& o, const unsigned char* p, size_t n,
                                    size_t shag) {
    __m128i f[4], l[4];
    zyZnachenija(o.perv, o.nPerv, f);
    zyZnachenija(o.posl, o.nPosl, l);
    const size_t d = o.dlina - 1;
    const size_t s = shag < 2 ? 1 : shag;
    const unsigned sdvig = unsigned(16 % s);
    const unsigned sdvigPropuska = unsigned(ZY_PROPUSK % s);
    unsigned faza = 0; // i % s
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        while (i + ZY_PROPUSK <= n && !zyEstKandidat<KP, KL>(p + i, d, f, l)) {
            i += ZY_PROPUSK;
            faza += sdvigPropuska;
            if (faza >= s) faza -= unsigned(s);
        }
        if (i + 16 > n) break;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + d));
        unsigned m =
            unsigned(_mm_movemask_epi8(_mm_and_si128(zyLjubojV<KP>(a, f), zyLjubojV<KL>(b, l))));
        if (m) {
            if (s > 1) m &= zyReshetka.m[s][faza ? s - faza : 0];
            if (m) return i + unsigned(__builtin_ctz(m));
        }
        faza += sdvig;
        if (faza >= s) faza -= unsigned(s);
    }
    return zyPoBajtamVpered(o, p, faza ? i + (s - faza) : i, n, s);
}

// Sixteen positions at a time backward, from the end of the window.
template <int KP, int KL>
ZY_SSE2_CEL size_t zyVektoromNazad(const ZyObrazec& o, const unsigned char* p, size_t n,
                                   size_t shag) {
    __m128i f[4], l[4];
    zyZnachenija(o.perv, o.nPerv, f);
    zyZnachenija(o.posl, o.nPosl, l);
    const size_t d = o.dlina - 1;
    const size_t s = shag < 2 ? 1 : shag;
    const unsigned sdvig = unsigned(16 % s);
    const unsigned sdvigPropuska = unsigned(ZY_PROPUSK % s);
    unsigned faza = unsigned(15 % s); // (n - 1 - b) % s for the block at b = n - 16
    size_t i = n;
    for (; i >= 16; i -= 16) {
        while (i >= ZY_PROPUSK && !zyEstKandidat<KP, KL>(p + i - ZY_PROPUSK, d, f, l)) {
            i -= ZY_PROPUSK;
            faza += sdvigPropuska;
            if (faza >= s) faza -= unsigned(s);
        }
        if (i < 16) break;
        const size_t b0 = i - 16;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + b0));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + b0 + d));
        unsigned m =
            unsigned(_mm_movemask_epi8(_mm_and_si128(zyLjubojV<KP>(a, f), zyLjubojV<KL>(b, l))));
        if (m) {
            if (s > 1) m &= zyReshetka.m[s][faza];
            if (m) return b0 + 31 - unsigned(__builtin_clz(m));
        }
        faza += sdvig;
        if (faza >= s) faza -= unsigned(s);
    }
    if (i == 0) return ZY_NET;
    // The head [0, i): the highest stride position below i.
    const size_t e = (s - (n - i) % s) % s;
    return i - 1 < e ? ZY_NET : zyPoBajtamNazad(o, p, i - 1 - e, s);
}

// Number of values rounded to an instantiation: 1, 2 or 4.
inline int zyKlass(int k) {
    return k <= 1 ? 1 : (k == 2 ? 2 : 4);
}

// Picks the instantiation for the pattern's edge sets.
template <bool Vpered>
ZY_SSE2_CEL size_t zyVektorom(const ZyObrazec& o, const unsigned char* p, size_t n, size_t shag) {
    const int kp = zyKlass(o.nPerv), kl = zyKlass(o.nPosl);
#define ZY_VARIANT(A, B)                                                                           \
    if (kp == A && kl == B)                                                                        \
        return Vpered ? zyVektoromVpered<A, B>(o, p, n, shag)                                      \
                      : zyVektoromNazad<A, B>(o, p, n, shag);
    ZY_VARIANT(1, 1)
    ZY_VARIANT(1, 2)
    ZY_VARIANT(1, 4)
    ZY_VARIANT(2, 1)
    ZY_VARIANT(2, 2)
    ZY_VARIANT(2, 4)
    ZY_VARIANT(4, 1)
    ZY_VARIANT(4, 2)
#undef ZY_VARIANT
    return Vpered ? zyVektoromVpered<4, 4>(o, p, n, shag) : zyVektoromNazad<4, 4>(o, p, n, shag);
}

// True when the processor has SSE2 (always on x86_64).
bool zyEstSSE2() {
#if defined(__x86_64__) || defined(__SSE2__)
    return true;
#else
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && (d & bit_SSE2);
#endif
}

const bool zySSE2 = zyEstSSE2();

#else
const bool zySSE2 = false;
#endif

// Adds byte b to an edge set of at most four values (k > 4 once the set is larger).
void zyDobavit(unsigned char* z, int& k, unsigned char b) {
    for (int i = 0; i < k && i < 4; ++i)
        if (z[i] == b) return;
    if (k < 4) z[k] = b;
    ++k;
}

// The values an edge byte accepts; k = 0 when they are more than four.
void zyKrajMnozhestvo(const ZyObrazec& o, size_t i, unsigned char* z, int& k) {
    k = 0;
    for (unsigned b = 0; b < 256; ++b)
        if (zyBajtSovpadaet(o, i, static_cast<unsigned char>(b))) zyDobavit(z, k, (unsigned char)b);
    if (k > 4) k = 0;
}

} // namespace

void zyPrigotovitObrazec(ZyObrazec& o, const unsigned char* p, size_t n,
                         const unsigned char* tablica, size_t strok) {
    o.bajty = p;
    o.dlina = n;
    o.sTablicej = tablica != nullptr;
    if (o.sTablicej) {
        std::memset(o.prinjat, 0, sizeof o.prinjat);
        for (unsigned b = 0; b < 256; ++b)
            o.prinjat[b][b >> 5] |= 1u << (b & 31);
        for (size_t r = 0; r < strok; ++r)
            for (unsigned b = 0; b < 256; ++b) {
                const unsigned char f = tablica[r * 256 + b];
                o.prinjat[b][f >> 5] |= 1u << (f & 31);
            }
    }
    zyKrajMnozhestvo(o, 0, o.perv, o.nPerv);
    zyKrajMnozhestvo(o, n - 1, o.posl, o.nPosl);
}

// The first candidate of a window: vector, word-wide or byte by byte as the pattern allows.
size_t zyKandidatVpered(const ZyObrazec& o, const unsigned char* okno, size_t n, size_t shag) {
    if (n == 0) return 0;
    const size_t s = shag < 2 ? 1 : shag;
    const bool malye = o.nPerv > 0 && o.nPosl > 0;
#if defined(ZY_X86)
    if (malye && zySSE2 && s <= 16) return zyVektorom<true>(o, okno, n, s);
#endif
    if (malye && kSlovnyj && s == 1) return zySlovamiVpered(o, okno, n);
    return zyPoBajtamVpered(o, okno, 0, n, s);
}

// The last candidate of a window, likewise.
size_t zyKandidatNazad(const ZyObrazec& o, const unsigned char* okno, size_t n, size_t shag) {
    if (n == 0) return ZY_NET;
    const size_t s = shag < 2 ? 1 : shag;
    const bool malye = o.nPerv > 0 && o.nPosl > 0;
#if defined(ZY_X86)
    if (malye && zySSE2 && s <= 16) return zyVektorom<false>(o, okno, n, s);
#endif
    if (malye && kSlovnyj && s == 1) return zySlovamiNazad(o, okno, n);
    return zyPoBajtamNazad(o, okno, n - 1, s);
}

// Compares file bytes with a part of the pattern, exactly or through the acceptance sets.
bool zySovpadaet(const ZyObrazec& o, const unsigned char* p, size_t ot, size_t n) {
    if (!o.sTablicej) return std::memcmp(p, o.bajty + ot, n) == 0;
    for (size_t i = 0; i < n; ++i)
        if (!zyBajtSovpadaet(o, ot + i, p[i])) return false;
    return true;
}

// Whether the SSE2 scan runs here.
bool zyVektornyjSkan() {
    return zySSE2;
}

} // namespace Quorvel
