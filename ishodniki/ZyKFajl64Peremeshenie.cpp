// Moving bytes between views whose file ranges may overlap.
#include "ZyPeremeshenie.h"

#include <cstring>

namespace Quorvel {

namespace {

// Below this distance the bytes go word by word; above it in memcpy pieces of the distance.
constexpr uint64_t ZY_MALOE_RASSTOJANIE = 256;

// One 8-byte word (or less at the end) from s to d; the barrier keeps the load ahead of the
// store and stops the compiler from merging words across the loop, which would read bytes a
// previous store has already changed through the other view.
inline void zySlovo(unsigned char* d, const unsigned char* s, size_t n) {
    uint64_t slovo = 0;
    std::memcpy(&slovo, s, n);
    __asm__ __volatile__("" ::: "memory");
    std::memcpy(d, &slovo, n);
    __asm__ __volatile__("" ::: "memory");
}

// Ascending word loop: each store lands below every byte not yet loaded.
void zyVverhSlovami(unsigned char* d, const unsigned char* s, size_t n) {
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        zySlovo(d + i, s + i, 8);
    if (i < n) zySlovo(d + i, s + i, n - i);
}

// Descending word loop: each store lands above every byte not yet loaded.
void zyVnizSlovami(unsigned char* d, const unsigned char* s, size_t n) {
    size_t konec = n;
    for (; konec >= 8; konec -= 8)
        zySlovo(d + konec - 8, s + konec - 8, 8);
    if (konec) zySlovo(d, s, konec);
}

} // namespace

// Moves n bytes between views in the direction the file offsets call for.
void ZyPeremestit(unsigned char* kuda, const unsigned char* otkuda, size_t n, uint64_t rasstojanie,
                  bool vozrast) {
    if (n == 0) return;
    if (rasstojanie == 0 || rasstojanie >= n) {
        // Different files, separate memory, or disjoint ranges: plain memmove is right.
        std::memmove(kuda, otkuda, n);
        return;
    }
    if (rasstojanie < ZY_MALOE_RASSTOJANIE) {
        if (vozrast)
            zyVverhSlovami(kuda, otkuda, n);
        else
            zyVnizSlovami(kuda, otkuda, n);
        return;
    }
    // Pieces no longer than the distance are disjoint in the file, and taken in this order
    // none of them reads a byte an earlier piece has written.
    const size_t kusok = static_cast<size_t>(rasstojanie);
    if (vozrast) {
        for (size_t i = 0; i < n; i += kusok)
            std::memcpy(kuda + i, otkuda + i, n - i < kusok ? n - i : kusok);
    } else {
        for (size_t konec = n; konec > 0;) {
            const size_t nachalo = konec > kusok ? konec - kusok : 0;
            std::memcpy(kuda + nachalo, otkuda + nachalo, konec - nachalo);
            konec = nachalo;
        }
    }
}

} // namespace Quorvel
