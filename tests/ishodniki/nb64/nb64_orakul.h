// Independent reference arithmetic for the ZYKNB64 tests: 64- and 128-bit integers with
// explicit saturation and clamping, and the operand sets the tests sweep.
#ifndef NB64_ORAKUL_H
#define NB64_ORAKUL_H

#include "ZyKFajl64.h"

#include <cstdint>
#include <random>
#include <vector>

namespace orakul {

using u64 = std::uint64_t;
using u128 = unsigned __int128;
constexpr u64 kMax = ~0ull;
constexpr u64 kMax32 = 0xFFFFFFFFull;

inline u64 V(const Quorvel::ZYKNB64& n) {
    return (u64(n.St) << 32) | n.Ml;
}
inline Quorvel::ZYKNB64 N(u64 v) {
    return Quorvel::ZYKNB64{static_cast<unsigned long>(v), static_cast<unsigned long>(v >> 32)};
}

inline u64 Summa(u64 a, u64 b) {
    const u128 s = u128(a) + b;
    return s > kMax ? kMax : u64(s);
}
inline u64 Raznost(u64 a, u64 b) {
    return a < b ? 0 : a - b;
}
inline u64 Proizv(u64 a, u64 b) {
    const u128 p = u128(a) * b;
    return p > kMax ? kMax : u64(p);
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
