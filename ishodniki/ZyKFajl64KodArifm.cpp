// The arithmetic of encode and decode: key number, long division and multiplication of blocks
// read as large little-endian integers. Pure logic, no system calls.
//
// Digits are 64 bits where the compiler has a 128-bit type (x86_64), 32 bits otherwise (i686);
// the code is one template for both. The quotient digit is estimated from the top digits with
// a reciprocal of the divisor's top digit computed once per key (Moeller and Granlund,
// "Improved division by invariant integers"), so the digit loop has no hardware division.
#include "ZyKodArifm.h"

#include <cstring>
#include <new>

namespace Quorvel {

namespace {

// Digits in memory are their own little-endian bytes: the conversions are copies.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kMladshijPervym = true;
#else
constexpr bool kMladshijPervym = false;
#endif

// The digit type C with its double-width type D.
template <typename C, typename D> struct ZyCifry {
    static constexpr unsigned W = sizeof(C) * 8;

    // Leading zero bits of a non-zero digit.
    static unsigned nuli(C x) {
        return sizeof(C) == 8 ? unsigned(__builtin_clzll((unsigned long long)x))
                              : unsigned(__builtin_clz((unsigned)x));
    }

    // The reciprocal of a normalised digit d (top bit set): floor((B^2 - 1) / d) - B.
    static C obratnoe(C d) { return C((D(C(~d)) << W | D(C(~C(0)))) / d); }

    // (u1 u0) / d for u1 < d, d normalised with reciprocal v: quotient q and remainder r.
    static void delit21(C u1, C u0, C d, C v, C& q, C& r) {
        const D p = D(v) * u1 + (D(u1) << W | u0);
        C q1 = C(p >> W) + 1;
        const C q0 = C(p);
        C ost = C(u0 - q1 * d);
        if (ost > q0) {
            --q1;
            ost = C(ost + d);
        }
        if (ost >= d) {
            ++q1;
            ost = C(ost - d);
        }
        q = q1;
        r = ost;
    }

    // Long division, see zyDelit. rab: n + m + 1 digits.
    static void delit(const C* u, size_t n, const C* v, size_t m, C* q, C* r, C* rab) {
        const unsigned s = nuli(v[m - 1]);
        C* vn = rab;
        C* un = rab + m;
        for (size_t i = m - 1; i > 0; --i)
            vn[i] = s ? C(v[i] << s | v[i - 1] >> (W - s)) : v[i];
        vn[0] = C(v[0] << s);
        un[n] = s ? C(u[n - 1] >> (W - s)) : C(0);
        for (size_t i = n - 1; i > 0; --i)
            un[i] = s ? C(u[i] << s | u[i - 1] >> (W - s)) : u[i];
        un[0] = C(u[0] << s);
        if (m == 1) {
            const C vTop = vn[0], inv = obratnoe(vTop);
            C ost = un[n];
            for (size_t j = n; j-- > 0;)
                delit21(ost, un[j], vTop, inv, q[j], ost);
            r[0] = C(ost >> s);
            return;
        }
        if (m == 2)
            delit32(un, n, vn, q);
        else
            dlinnoe(un, n, vn, m, q);
        for (size_t i = 0; i < m; ++i)
            r[i] = s ? C(un[i] >> s | un[i + 1] << (W - s)) : un[i];
    }

    // The digit loop of long division on normalised digits: un (n + 1 digits, left with the
    // remainder) by vn (m >= 2 digits), quotient q (n - m + 1 digits).
    static void dlinnoe(C* un, size_t n, const C* vn, size_t m, C* q) {
        const C vTop = vn[m - 1];
        const C inv = obratnoe(vTop);
        const C vSled = vn[m - 2];
        for (size_t j = n - m + 1; j-- > 0;) {
            // Estimate the quotient digit from the top digits, then correct it (at most twice).
            const C u2 = un[j + m], u1 = un[j + m - 1], u0 = un[j + m - 2];
            C qh, rh;
            bool rhVelik = false; // the remainder estimate reached B: no correction needed
            if (u2 >= vTop) {
                qh = C(~C(0));
                const D t = D(u1) + vTop;
                rh = C(t);
                rhVelik = (t >> W) != 0;
            } else {
                delit21(u2, u1, vTop, inv, qh, rh);
            }
            while (!rhVelik && D(qh) * vSled > (D(rh) << W | u0)) {
                --qh;
                const D t = D(rh) + vTop;
                rh = C(t);
                rhVelik = (t >> W) != 0;
            }
            // Multiply and subtract.
            C perenos = 0, zaem = 0;
            for (size_t i = 0; i < m; ++i) {
                const D p = D(qh) * vn[i] + perenos;
                perenos = C(p >> W);
                const C pl = C(p), x = un[i + j];
                const C t = C(x - pl);
                const C b1 = x < pl;
                un[i + j] = C(t - zaem);
                zaem = C(b1 + (t < zaem));
            }
            const D vsego = D(perenos) + zaem;
            const bool minus = D(un[j + m]) < vsego;
            un[j + m] = C(un[j + m] - C(vsego));
            if (minus) {
                // The estimate was one too large: add the divisor back.
                --qh;
                C c = 0;
                for (size_t i = 0; i < m; ++i) {
                    const D sum = D(un[i + j]) + vn[i] + c;
                    un[i + j] = C(sum);
                    c = C(sum >> W);
                }
                un[j + m] = C(un[j + m] + c);
            }
            q[j] = qh;
        }
    }

    // Division by a normalised two-digit divisor (d1 d0), one quotient digit a step from the
    // top three digits with a reciprocal of the divisor (3-by-2 division, no multiply-subtract
    // loop). un: n + 1 digits, left with the remainder in its two low digits.
    static void delit32(C* un, size_t n, const C* vn, C* q) {
        const C d1 = vn[1], d0 = vn[0];
        // The reciprocal floor((B^3 - 1) / (d1 d0)) - B, by the general loop once.
        C uu[4] = {C(~C(0)), C(~C(0)), C(~C(0)), 0}, qq[2];
        dlinnoe(uu, 3, vn, 2, qq);
        const C inv = qq[0];
        const D d = D(d1) << W | d0;
        C n2 = un[n], n1 = un[n - 1];
        for (size_t j = n - 1; j-- > 0;) {
            const C n0 = un[j];
            const D p = D(n2) * inv + (D(n2) << W | n1);
            C qh = C(p >> W);
            const C q0 = C(p);
            const C r1 = C(n1 - d1 * qh);
            D ost = (D(r1) << W | n0) - d - D(d0) * qh;
            ++qh;
            if (C(ost >> W) >= q0) {
                --qh;
                ost += d;
            }
            if (ost >= d) {
                ++qh;
                ost -= d;
            }
            q[j] = qh;
            n2 = C(ost >> W);
            n1 = C(ost);
        }
        un[2] = 0;
        un[1] = n2;
        un[0] = n1;
    }

    // p = (a x b + c) modulo B^k.
    static void umnozhit(const C* a, size_t na, const C* b, size_t nb, const C* c, size_t nc, C* p,
                         size_t k) {
        std::memset(p, 0, k * sizeof *p);
        for (size_t i = 0; i < nc && i < k; ++i)
            p[i] = c[i];
        for (size_t i = 0; i < na && i < k; ++i) {
            const C ai = a[i];
            if (ai == 0) continue;
            C perenos = 0;
            const size_t kon = nb < k - i ? nb : k - i;
            size_t j = 0;
            for (; j < kon; ++j) {
                const D t = D(ai) * b[j] + p[i + j] + perenos;
                p[i + j] = C(t);
                perenos = C(t >> W);
            }
            for (size_t x = i + j; perenos && x < k; ++x) {
                const D t = D(p[x]) + perenos;
                p[x] = C(t);
                perenos = C(t >> W);
            }
        }
    }

    // Digits of a little-endian byte string (zero-padded to whole digits); their count.
    static size_t izBajtov(const unsigned char* b, size_t n, C* c) {
        const size_t w = (n + sizeof(C) - 1) / sizeof(C);
        if (kMladshijPervym) {
            c[w ? w - 1 : 0] = 0;
            if (b) std::memcpy(c, b, n); // an empty block may come without a buffer (n is 0 then)
            return w;
        }
        for (size_t i = 0; i < w; ++i) {
            C x = 0;
            const size_t ot = i * sizeof(C);
            const size_t kon = ot + sizeof(C) < n ? ot + sizeof(C) : n;
            for (size_t j = kon; j-- > ot;)
                x = C(x << 8 | b[j]);
            c[i] = x;
        }
        return w;
    }

    // The first n bytes of the digits.
    static void vBajty(const C* c, unsigned char* b, size_t n) {
        if (kMladshijPervym) {
            if (b) std::memcpy(b, c, n);
            return;
        }
        for (size_t i = 0; i < n; ++i)
            b[i] = static_cast<unsigned char>(c[i / sizeof(C)] >> (8 * (i % sizeof(C))));
    }

    // Digits without the leading zero digits.
    static size_t bezNulej(const C* c, size_t n) {
        while (n > 0 && c[n - 1] == 0)
            --n;
        return n;
    }

    // -1, 0, 1 as a is below, equal to or above b (both without leading zero digits).
    static int sravnit(const C* a, size_t na, const C* b, size_t nb) {
        if (na != nb) return na < nb ? -1 : 1;
        for (size_t i = na; i-- > 0;)
            if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
        return 0;
    }
};

#if defined(__SIZEOF_INT128__)
using ZyBlokCifry = ZyCifry<uint64_t, unsigned __int128>;
#else
using ZyBlokCifry = ZyCifry<uint32_t, uint64_t>;
#endif
using ZyC = ZyKodCifra;
constexpr size_t ZY_CIFR = (ZY_KOD_BLOK + sizeof(ZyC) - 1) / sizeof(ZyC) + 2;

// The significant bytes of n digits into b, and no byte more (b may end right after them);
// their count.
size_t zyVZnachimye(const ZyC* c, size_t n, unsigned char* b) {
    n = ZyBlokCifry::bezNulej(c, n);
    if (n == 0) return 0;
    size_t bajt = (n - 1) * sizeof(ZyC);
    for (ZyC verh = c[n - 1]; verh; verh = ZyC(verh >> 8))
        ++bajt;
    ZyBlokCifry::vBajty(c, b, bajt);
    return bajt;
}

// Writes a 16-bit length, low byte first.
void zyDlina16(unsigned char* p, size_t n) {
    p[0] = static_cast<unsigned char>(n);
    p[1] = static_cast<unsigned char>(n >> 8);
}

} // namespace

// The key text length that makes the key number.
size_t zyDlinaKljucha(size_t dlina, uint64_t dannye) {
    uint64_t L = dlina;
    if (L >= dannye) {
        L = dannye / 2;
        if (L < 1) L = 1;
    }
    return size_t(L > ZY_KOD_BLOK ? ZY_KOD_BLOK : L);
}

// The key number's bytes from the key text.
void zyKljuchevoeChislo(const unsigned char* x, size_t L, unsigned char* K) {
    for (size_t j = 0; j < L; ++j) {
        const size_t z = L - 1 - j;
        const unsigned a = x[j], b = unsigned(x[j] - j) & 0xFF, c = unsigned(x[z] - z) & 0xFF;
        K[j] = static_cast<unsigned char>(~(a * b * c));
    }
}

// Length up to the highest non-zero byte.
size_t zyZnachimyh(const unsigned char* p, size_t n) {
    while (n > 0 && p[n - 1] == 0)
        --n;
    return n;
}

// Long division with 32-bit digits.
void zyDelit(const uint32_t* u, size_t n, const uint32_t* v, size_t m, uint32_t* q, uint32_t* r,
             uint32_t* rab) {
    ZyCifry<uint32_t, uint64_t>::delit(u, n, v, m, q, r, rab);
}

// a x b + c with 32-bit digits, the low k digits.
void zyUmnozhitSlozhit(const uint32_t* a, size_t na, const uint32_t* b, size_t nb,
                       const uint32_t* c, size_t nc, uint32_t* p, size_t k) {
    ZyCifry<uint32_t, uint64_t>::umnozhit(a, na, b, nb, c, nc, p, k);
}

// Frees the work area.
ZyKodChislo::~ZyKodChislo() {
    delete[] pamjat_;
}

// Allocates the digits of K, block, quotient, remainder and division work space.
bool ZyKodChislo::vydelit() {
    if (pamjat_) return true;
    // K, the block (with room for a product's carry), quotient, remainder, and the division's
    // work space (dividend plus one digit and divisor), in digits of ZyC.
    pamjat_ = new (std::nothrow) ZyC[7 * ZY_CIFR];
    if (!pamjat_) return false;
    k_ = pamjat_;
    u_ = k_ + ZY_CIFR;
    q_ = u_ + ZY_CIFR;
    r_ = q_ + ZY_CIFR;
    rab_ = r_ + ZY_CIFR;
    return true;
}

// Derives K; false when it is zero.
bool ZyKodChislo::kljuch(const unsigned char* tekst, size_t dlina, uint64_t dannye) {
    L_ = zyDlinaKljucha(dlina, dannye);
    unsigned char* K = reinterpret_cast<unsigned char*>(rab_); // free between blocks
    zyKljuchevoeChislo(tekst, L_, K);
    std::memset(k_, 0, ZY_CIFR * sizeof *k_);
    mK_ = ZyBlokCifry::bezNulej(k_, ZyBlokCifry::izBajtov(K, L_, k_));
    return mK_ > 0;
}

// One block as a record: quotient and remainder by K.
size_t ZyKodChislo::kodirovat(const unsigned char* blok, size_t n, unsigned char* zapis) {
    const size_t nu = ZyBlokCifry::bezNulej(u_, ZyBlokCifry::izBajtov(blok, n, u_));
    size_t qn = 0, rn = 0;
    unsigned char* q = zapis + 4;
    const int sr = ZyBlokCifry::sravnit(u_, nu, k_, mK_);
    if (sr < 0) {
        rn = zyVZnachimye(u_, nu, q); // quotient 0, remainder the block
    } else if (sr == 0) {
        q[0] = 1; // quotient 1, remainder 0
        qn = 1;
    } else {
        ZyBlokCifry::delit(u_, nu, k_, mK_, q_, r_, rab_);
        qn = zyVZnachimye(q_, nu - mK_ + 1, q);
        rn = zyVZnachimye(r_, mK_, q + qn);
    }
    zyDlina16(zapis, qn);
    zyDlina16(zapis + 2, rn);
    return 4 + qn + rn;
}

// One record back to the block: quotient x K + remainder.
void ZyKodChislo::dekodirovat(const unsigned char* q, size_t qn, const unsigned char* r, size_t rn,
                              unsigned char* blok, size_t n) {
    const size_t nq = ZyBlokCifry::izBajtov(q, qn, q_);
    const size_t nr = ZyBlokCifry::izBajtov(r, rn, r_);
    const size_t k = (n + sizeof(ZyC) - 1) / sizeof(ZyC);
    // The short key number outside, the long quotient in the inner loop.
    ZyBlokCifry::umnozhit(k_, mK_, q_, nq, r_, nr, u_, k);
    ZyBlokCifry::vBajty(u_, blok, n);
}

} // namespace Quorvel
