// Independent reference arithmetic for the ZYKNB64 tests: 64- and 128-bit integers with
// explicit saturation and clamping, and the operand sets the tests sweep.
#ifndef NB64_ORAKUL_H
#define NB64_ORAKUL_H

#include "ZyNB64.h"

#include <cstdint>
#include <random>
#include <vector>

namespace orakul {

using u64 = std::uint64_t;

#if defined(__SIZEOF_INT128__)
using u128 = unsigned __int128;
#else
// A 32-bit compiler has no 128-bit integer: a plain two-half one with the few operations the
// reference needs (division by shift and subtract, one bit at a time).
struct u128 {
    u64 hi = 0, lo = 0;
    u128() = default;
    u128(u64 v) : lo(v) {} // NOLINT: converts like the built-in type
    explicit operator u64() const { return lo; }
    explicit operator bool() const { return hi || lo; }
    friend bool operator<(u128 a, u128 b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }
    friend bool operator>(u128 a, u128 b) { return b < a; }
    friend bool operator==(u128 a, u128 b) { return a.hi == b.hi && a.lo == b.lo; }
    friend bool operator>=(u128 a, u128 b) { return !(a < b); }
    friend u128 operator+(u128 a, u128 b) {
        u128 r;
        r.lo = a.lo + b.lo;
        r.hi = a.hi + b.hi + (r.lo < a.lo);
        return r;
    }
    friend u128 operator-(u128 a, u128 b) {
        u128 r;
        r.lo = a.lo - b.lo;
        r.hi = a.hi - b.hi - (a.lo < b.lo);
        return r;
    }
    friend u128 operator<<(u128 a, int s) {
        if (s == 0) return a;
        u128 r;
        if (s >= 64)
            r.hi = a.lo << (s - 64);
        else
            r.hi = a.hi << s | a.lo >> (64 - s), r.lo = a.lo << s;
        return r;
    }
    friend u128 operator>>(u128 a, int s) {
        if (s == 0) return a;
        u128 r;
        if (s >= 64)
            r.lo = a.hi >> (s - 64);
        else
            r.lo = a.lo >> s | a.hi << (64 - s), r.hi = a.hi >> s;
        return r;
    }
    friend u128 operator&(u128 a, u128 b) {
        u128 r;
        r.hi = a.hi & b.hi, r.lo = a.lo & b.lo;
        return r;
    }
    friend u128 operator*(u128 a, u128 b) { // low 128 bits of the product
        u128 r;
        for (int i = 0; i < 128; ++i)
            if (((b >> i) & u128(1)).lo) r = r + (a << i);
        return r;
    }
    static void DelitSOstatkom(u128 a, u128 b, u128& q, u128& r) {
        q = u128(), r = u128();
        for (int i = 127; i >= 0; --i) {
            r = r << 1;
            r.lo |= ((a >> i).lo & 1);
            if (r >= b) r = r - b, q = q + (u128(1) << i);
        }
    }
    friend u128 operator/(u128 a, u128 b) {
        u128 q, r;
        DelitSOstatkom(a, b, q, r);
        return q;
    }
    friend u128 operator%(u128 a, u128 b) {
        u128 q, r;
        DelitSOstatkom(a, b, q, r);
        return r;
    }
    u128& operator++() { return *this = *this + u128(1); }
};
#endif
constexpr u64 kMax = ~0ull;
constexpr u64 kMax32 = 0xFFFFFFFFull;

inline u64 V(const Quorvel::ZYKNB64& n) {
    return (u64(n.St) << 32) | n.Ml;
}
inline Quorvel::ZYKNB64 N(u64 v) {
    return Quorvel::ZYKNB64{static_cast<ZyDW>(v), static_cast<ZyDW>(v >> 32)};
}

inline u64 Summa(u64 a, u64 b) {
    u64 s;
    return __builtin_add_overflow(a, b, &s) ? kMax : s;
}
inline u64 Raznost(u64 a, u64 b) {
    return a < b ? 0 : a - b;
}
inline u64 Proizv(u64 a, u64 b) {
    u64 p;
    return __builtin_mul_overflow(a, b, &p) ? kMax : p;
}
// Quotient with a number on the left: x < y gives 0, x = y gives 1, y = 0 gives x.
inline u64 Chastnoe(u64 x, u64 y) {
    if (x < y) return 0;
    if (x == y) return 1;
    if (y == 0) return x;
    return x / y;
}
// Remainder with a number on the left: x < y or y = 0 gives x, x = y gives 0.
inline u64 Ostatok(u64 x, u64 y) {
    if (x < y || y == 0) return x;
    return x % y;
}

// Values around every boundary the halves and the saturation can meet.
inline std::vector<u64> Granicy() {
    return {0,
            1,
            2,
            3,
            5,
            7,
            10,
            0x7FFFFFFFull,
            0x80000000ull,
            0xFFFFFFFEull,
            0xFFFFFFFFull,
            0x100000000ull,
            0x100000001ull,
            0x1FFFFFFFFull,
            0xFFFFFFFF00000000ull,
            0x5555555555555555ull,
            0xAAAAAAAAAAAAAAAAull,
            0x7FFFFFFFFFFFFFFFull,
            0x8000000000000000ull,
            0x8000000000000001ull,
            0xFFFFFFFFFFFFFFFEull,
            kMax};
}

// Random values whose bit length is itself uniform, so small and large operands both occur.
class Sluchajnye {
public:
    explicit Sluchajnye(u64 zerno) : g_(zerno) {}
    u64 operator()() {
        const unsigned bitov = unsigned(g_() % 65);
        if (bitov == 0) return 0;
        const u64 v = g_();
        return bitov == 64 ? v : (v & ((1ull << bitov) - 1)) | (1ull << (bitov - 1));
    }
    u64 Syroe() { return g_(); }

private:
    std::mt19937_64 g_;
};

// Boundary values and `kol` random ones.
inline std::vector<u64> Operandy(std::size_t kol, u64 zerno) {
    std::vector<u64> v = Granicy();
    Sluchajnye s(zerno);
    for (std::size_t i = 0; i < kol; ++i)
        v.push_back(s());
    return v;
}

} // namespace orakul

#endif
