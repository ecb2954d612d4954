// The arithmetic of encode and decode: key number, long division and multiplication of blocks
// read as large little-endian integers with 32-bit digits. Pure logic, no system calls.
#include "ZyKodArifm.h"

#include <cstring>
#include <new>

namespace Quorvel {

namespace {

// Digits of a little-endian byte string (n bytes, zero-padded to whole digits); their count.
size_t zyVCifry(const unsigned char* b, size_t n, uint32_t* c) {
    const size_t w = (n + 3) / 4;
    for (size_t i = 0; i < n / 4; ++i)
        c[i] = uint32_t(b[4 * i]) | uint32_t(b[4 * i + 1]) << 8 | uint32_t(b[4 * i + 2]) << 16 |
               uint32_t(b[4 * i + 3]) << 24;
    if (n % 4) {
        uint32_t x = 0;
        for (size_t j = n % 4; j-- > 0;)
            x = x << 8 | b[n / 4 * 4 + j];
        c[n / 4] = x;
    }
    return w;
}

// Digits without the leading zero digits.
size_t zyBezNulej(const uint32_t* c, size_t n) {
    while (n > 0 && c[n - 1] == 0)
        --n;
    return n;
}

// The significant bytes of n digits into b; their count.
size_t zyVBajty(const uint32_t* c, size_t n, unsigned char* b) {
    n = zyBezNulej(c, n);
    for (size_t i = 0; i < n; ++i) {
        b[4 * i] = static_cast<unsigned char>(c[i]);
        b[4 * i + 1] = static_cast<unsigned char>(c[i] >> 8);
        b[4 * i + 2] = static_cast<unsigned char>(c[i] >> 16);
        b[4 * i + 3] = static_cast<unsigned char>(c[i] >> 24);
    }
    return zyZnachimyh(b, 4 * n);
}

// -1, 0, 1 as a (na digits) is below, equal to or above b (nb digits); both without leading
// zero digits.
int zySravnit(const uint32_t* a, size_t na, const uint32_t* b, size_t nb) {
    if (na != nb) return na < nb ? -1 : 1;
    for (size_t i = na; i-- > 0;)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

// Division by one digit; the remainder.
uint32_t zyDelitNaCifru(const uint32_t* u, size_t n, uint32_t v, uint32_t* q) {
    uint64_t ost = 0;
    for (size_t i = n; i-- > 0;) {
        const uint64_t t = ost << 32 | u[i];
        q[i] = uint32_t(t / v);
        ost = t % v;
    }
    return uint32_t(ost);
}

// Writes a 16-bit length, low byte first.
void zyDlina16(unsigned char* p, size_t n) {
    p[0] = static_cast<unsigned char>(n);
    p[1] = static_cast<unsigned char>(n >> 8);
}

} // namespace

size_t zyDlinaKljucha(size_t dlina, uint64_t dannye) {
    uint64_t L = dlina;
    if (L >= dannye) {
        L = dannye / 2;
        if (L < 1) L = 1;
    }
    return size_t(L > ZY_KOD_BLOK ? ZY_KOD_BLOK : L);
}

void zyKljuchevoeChislo(const unsigned char* x, size_t L, unsigned char* K) {
    for (size_t j = 0; j < L; ++j) {
        const size_t z = L - 1 - j;
        const unsigned a = x[j], b = unsigned(x[j] - j) & 0xFF, c = unsigned(x[z] - z) & 0xFF;
        K[j] = static_cast<unsigned char>(~(a * b * c));
    }
}

size_t zyZnachimyh(const unsigned char* p, size_t n) {
    while (n > 0 && p[n - 1] == 0)
        --n;
    return n;
}

void zyDelit(const uint32_t* u, size_t n, const uint32_t* v, size_t m, uint32_t* q, uint32_t* r,
             uint32_t* rab) {
    if (m == 1) {
        r[0] = zyDelitNaCifru(u, n, v[0], q);
        return;
    }
    // Normalise: the divisor's top digit gets its top bit set; the dividend moves alike.
    const unsigned s = unsigned(__builtin_clz(v[m - 1]));
    uint32_t* vn = rab;
    uint32_t* un = rab + m;
    for (size_t i = m - 1; i > 0; --i)
        vn[i] = s ? (v[i] << s | v[i - 1] >> (32 - s)) : v[i];
    vn[0] = v[0] << s;
    un[n] = s ? u[n - 1] >> (32 - s) : 0;
    for (size_t i = n - 1; i > 0; --i)
        un[i] = s ? (u[i] << s | u[i - 1] >> (32 - s)) : u[i];
    un[0] = u[0] << s;

    const uint64_t b = uint64_t(1) << 32;
    const uint64_t vTop = vn[m - 1], vSled = vn[m - 2];
    for (size_t j = n - m + 1; j-- > 0;) {
        // Estimate the quotient digit from the top two digits, then correct it (at most twice).
        const uint64_t chislo = uint64_t(un[j + m]) << 32 | un[j + m - 1];
        uint64_t qh = chislo / vTop, rh = chislo % vTop;
        while (qh >= b || qh * vSled > (rh << 32 | un[j + m - 2])) {
            --qh;
            rh += vTop;
            if (rh >= b) break;
        }
        // Multiply and subtract.
        int64_t zaem = 0;
        uint64_t perenos = 0;
        for (size_t i = 0; i < m; ++i) {
            const uint64_t p = qh * vn[i] + perenos;
            perenos = p >> 32;
            const int64_t t = int64_t(un[i + j]) - int64_t(uint32_t(p)) + zaem;
            un[i + j] = uint32_t(t);
            zaem = t >> 32;
        }
        const int64_t t = int64_t(un[j + m]) - int64_t(perenos) + zaem;
        un[j + m] = uint32_t(t);
        if (t < 0) {
            // The estimate was one too large: add the divisor back.
            --qh;
            uint64_t c = 0;
            for (size_t i = 0; i < m; ++i) {
                const uint64_t sum = uint64_t(un[i + j]) + vn[i] + c;
                un[i + j] = uint32_t(sum);
                c = sum >> 32;
            }
            un[j + m] = uint32_t(un[j + m] + c);
        }
        q[j] = uint32_t(qh);
    }
    for (size_t i = 0; i < m; ++i)
        r[i] = s ? (un[i] >> s | un[i + 1] << (32 - s)) : un[i];
}

void zyUmnozhitSlozhit(const uint32_t* a, size_t na, const uint32_t* b, size_t nb,
                       const uint32_t* c, size_t nc, uint32_t* p, size_t k) {
    std::memset(p, 0, k * sizeof *p);
    for (size_t i = 0; i < nc && i < k; ++i)
        p[i] = c[i];
    for (size_t i = 0; i < na && i < k; ++i) {
        const uint64_t ai = a[i];
        if (ai == 0) continue;
        uint64_t perenos = 0;
        const size_t kon = nb < k - i ? nb : k - i;
        size_t j = 0;
        for (; j < kon; ++j) {
            const uint64_t t = ai * b[j] + p[i + j] + perenos;
            p[i + j] = uint32_t(t);
            perenos = t >> 32;
        }
        for (size_t x = i + j; perenos && x < k; ++x) {
            const uint64_t t = uint64_t(p[x]) + perenos;
            p[x] = uint32_t(t);
            perenos = t >> 32;
        }
    }
}

ZyKodChislo::~ZyKodChislo() {
    delete[] pamjat_;
}

bool ZyKodChislo::vydelit() {
    if (pamjat_) return true;
    // K, the block (one digit more for the carry of a product), quotient, remainder, and the
    // division's work space (dividend plus one digit and divisor).
    const size_t w = ZY_KOD_SLOV + 2;
    pamjat_ = new (std::nothrow) uint32_t[7 * w];
    if (!pamjat_) return false;
    k_ = pamjat_;
    u_ = k_ + w;
    q_ = u_ + w;
    r_ = q_ + w;
    rab_ = r_ + w;
    return true;
}

bool ZyKodChislo::kljuch(const unsigned char* tekst, size_t dlina, uint64_t dannye) {
    L_ = zyDlinaKljucha(dlina, dannye);
    unsigned char* K = reinterpret_cast<unsigned char*>(rab_); // free between blocks
    zyKljuchevoeChislo(tekst, L_, K);
    std::memset(k_, 0, ZY_KOD_SLOV * sizeof *k_);
    mK_ = zyBezNulej(k_, zyVCifry(K, L_, k_));
    return mK_ > 0;
}

size_t ZyKodChislo::kodirovat(const unsigned char* blok, size_t n, unsigned char* zapis) {
    const size_t nu = zyBezNulej(u_, zyVCifry(blok, n, u_));
    size_t qn = 0, rn = 0;
    unsigned char* q = zapis + 4;
    const int sr = zySravnit(u_, nu, k_, mK_);
    if (sr < 0) {
        rn = zyVBajty(u_, nu, q); // quotient 0, remainder the block
    } else if (sr == 0) {
        q[0] = 1; // quotient 1, remainder 0
        qn = 1;
    } else {
        zyDelit(u_, nu, k_, mK_, q_, r_, rab_);
        qn = zyVBajty(q_, nu - mK_ + 1, q);
        rn = zyVBajty(r_, mK_, q + qn);
    }
    zyDlina16(zapis, qn);
    zyDlina16(zapis + 2, rn);
    return 4 + qn + rn;
}

void ZyKodChislo::dekodirovat(const unsigned char* q, size_t qn, const unsigned char* r, size_t rn,
                              unsigned char* blok, size_t n) {
    const size_t nq = zyVCifry(q, qn, q_);
    const size_t nr = zyVCifry(r, rn, r_);
    const size_t k = (n + 3) / 4;
    zyUmnozhitSlozhit(q_, nq, k_, mK_, r_, nr, u_, k);
    for (size_t i = 0; i < n; ++i)
        blok[i] = static_cast<unsigned char>(u_[i / 4] >> (8 * (i % 4)));
}

} // namespace Quorvel
