// ZYKMASSMATDW: a three-dimensional array of 32-bit values in rows of d3 values.
#include "ZyStandart.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// The requester named in the messages of the array's reservations.
constexpr const char* kKto = "ZYKMASSMATDW::Sozdat";

// Iterations of the cube root; from x = 1 the largest 32-bit n converges in about 60.
constexpr int kMaksIteracij = 200;

// Reserves `razmer` bytes, or null.
void* zabronirovat(std::uint64_t razmer) {
    void* blok = nullptr;
    if (razmer > SIZE_MAX || !ZyZabronirovatOZU(&blok, SIZE_T(razmer), kKto)) return nullptr;
    return blok;
}

// Releases a block reserved by zabronirovat.
void osvobodit(void* blok) {
    if (blok) HeapFree(GetProcessHeap(), 0, blok);
}

// Tells the user that the array could not be made.
void soobschitOshibku() {
    ZyMessage(nullptr, "Mistake at the separation of memory.", "ZYKMASSMATDW::ZYKMASSMATDW",
              MB_SYSTEMMODAL | MB_ICONERROR);
}

// The real cube root of n truncated toward zero. Newton's iteration
// x <- (2x + n / x^2) / 3 from x = 1, the square formed as exp(2 ln x), until two values
// differ by less than 1e-13. The iteration is bounded (near large n the values may keep
// alternating in their last bit) and the truncated result is corrected by integer cubes,
// since the converged value may lie a rounding error below an exact root (27 -> 2.999...).
unsigned long kubicheskijKoren(unsigned long n) {
    double x = 1.0;
    for (int i = 0; i < kMaksIteracij; ++i) {
        const double novyj = ((3 - 1) * x + double(n) / std::exp((3 - 1) * std::log(x))) / 3;
        const bool sxoditsja = std::fabs(x - novyj) * 1e13 < 1;
        x = novyj;
        if (sxoditsja) break;
    }
    std::uint64_t s = x > 0 ? std::uint64_t(x) : 0;
    while (s > 0 && s * s * s > n)
        --s;
    while ((s + 1) * (s + 1) * (s + 1) <= n)
        ++s;
    return static_cast<unsigned long>(s);
}

} // namespace

// Empty, or d1 x d2 x d3 when all three are non-zero.
ZYKMASSMATDW::ZYKMASSMATDW(unsigned long d1, unsigned long d2, unsigned long d3)
    : elementy(nullptr), d1(0), d2(0), d3(0), bajt(0) {
    if (d1 && d2 && d3) Sozdat(d1, d2, d3);
}

// An independent copy with equal elements.
ZYKMASSMATDW::ZYKMASSMATDW(const ZYKMASSMATDW& other)
    : elementy(nullptr), d1(0), d2(0), d3(0), bajt(0) {
    *this = other;
}

ZYKMASSMATDW::~ZYKMASSMATDW() {
    DES();
}

// Recreates the array with the other's extents and copies every element.
ZYKMASSMATDW& ZYKMASSMATDW::operator=(const ZYKMASSMATDW& other) {
    if (&other == this) return *this;
    DES();
    if (!other.bajt || !other.elementy) return *this;
    Sozdat(other.d1, other.d2, other.d3);
    if (!bajt) return *this;
    for (unsigned long i = 0; i < d1; ++i)
        for (unsigned long j = 0; j < d2; ++j)
            ZySdvinutOZU(elementy[i][j], other.elementy[i][j], d3 * 4);
    return *this;
}

// A cube of side = the cube root of n (empty for n 0).
ZYKMASSMATDW& ZYKMASSMATDW::operator=(unsigned long n) {
    DES();
    if (n != 0) {
        const unsigned long s = kubicheskijKoren(n);
        Sozdat(s, s, s);
    }
    return *this;
}

// Allocates the two pointer levels and the rows; `bajt` is set only when all exist. An array
// whose byte count would not fit in 32 bits is refused like a failed reservation.
void ZYKMASSMATDW::Sozdat(unsigned long d1, unsigned long d2, unsigned long d3) {
    if (!d1 || !d2 || !d3) return;
    DES();
    const std::uint64_t ploskost = std::uint64_t(d1) * d2;
    if (ploskost * d3 / d3 != ploskost || ploskost * d3 > 0xFFFFFFFFu / 4) {
        soobschitOshibku();
        return;
    }
    this->d1 = d1;
    this->d2 = d2;
    this->d3 = d3;
    elementy = static_cast<unsigned long***>(zabronirovat(std::uint64_t(d1) * sizeof(void*)));
    bool udalos = elementy != nullptr;
    if (udalos) std::memset(elementy, 0, std::size_t(d1) * sizeof(void*));
    for (unsigned long i = 0; udalos && i < d1; ++i) {
        elementy[i] = static_cast<unsigned long**>(zabronirovat(std::uint64_t(d2) * sizeof(void*)));
        udalos = elementy[i] != nullptr;
        if (udalos) std::memset(elementy[i], 0, std::size_t(d2) * sizeof(void*));
        for (unsigned long j = 0; udalos && j < d2; ++j) {
            elementy[i][j] = static_cast<unsigned long*>(zabronirovat(std::uint64_t(d3) * 4));
            udalos = elementy[i][j] != nullptr;
        }
    }
    if (!udalos) {
        soobschitOshibku();
        DES();
        return;
    }
    bajt = static_cast<unsigned long>(ploskost * d3 * 4);
}

// Sets every element to `znachenie`.
void ZYKMASSMATDW::Zapolnit(unsigned long znachenie) {
    if (!bajt || !elementy) return;
    for (unsigned long i = 0; i < d1; ++i)
        for (unsigned long j = 0; j < d2; ++j)
            for (unsigned long k = 0; k < d3; ++k)
                elementy[i][j][k] = znachenie;
}

// Releases every row and pointer level that exists, also of an array left half-built.
void ZYKMASSMATDW::DES() {
    if (elementy) {
        for (unsigned long i = 0; i < d1; ++i) {
            if (!elementy[i]) continue;
            for (unsigned long j = 0; j < d2; ++j)
                osvobodit(elementy[i][j]);
            osvobodit(elementy[i]);
        }
        osvobodit(elementy);
    }
    elementy = nullptr;
    d1 = d2 = d3 = 0;
    bajt = 0;
}
