// ZYK_VEKTOR_BIT: a fixed-size vector of bits (the controller's flags and their snapshots).
//
// Bit k lives in byte k / 8 under mask 1 << (k % 8). A bit at or past the bit count reads as 0
// and is never written; the spare bits of the last byte exist in memory and are changed only
// by the whole-vector operations. Pure logic: nothing here touches the platform.
//
// Single bits are set and cleared with an atomic OR / AND on their byte: a controller's flags
// are written by two threads (the window thread writes the lock-key bits 69 and 70, the
// controller thread the other bits of the same byte), and a plain read-modify-write of one
// thread would undo the other's change (a lost bit 66 freezes the frames, a lost bit 67 ends a
// pause). The whole-vector operations and resizing are for one thread only.
#include "ZyVektorBit.h"

#include <cstring>
#include <new>

namespace Quorvel {

namespace {

constexpr ZyDW VSE = 0xFFFFFFFFul; // "up to the last bit" / "out of range"

// Bytes needed for n bits.
ZyDW BajtDlja(ZyDW n) {
    return n / 8 + (n % 8 ? 1 : 0);
}

// Value of bit k of a byte array (no range check); the byte is read once, atomically.
bool Bit(const unsigned char* d, ZyDW k) {
    return (__atomic_load_n(&d[k / 8], __ATOMIC_ACQUIRE) >> (k % 8)) & 1u;
}

// Sets or clears bit k of a byte array (no range check) with one atomic OR / AND on its byte,
// so that another thread's change of a neighbouring bit is never lost.
void PostavitBit(unsigned char* d, ZyDW k, bool znach) {
    const unsigned char maska = static_cast<unsigned char>(1u << (k % 8));
    if (znach)
        __atomic_fetch_or(&d[k / 8], maska, __ATOMIC_ACQ_REL);
    else
        __atomic_fetch_and(&d[k / 8], static_cast<unsigned char>(~maska), __ATOMIC_ACQ_REL);
}

} // namespace

// An empty vector, or kolBit bits filled with 0xFF bytes when zapolnit is non-zero.
ZYK_VEKTOR_BIT::ZYK_VEKTOR_BIT(ZyDW kolBit, unsigned char zapolnit)
    : dannye(nullptr), dlinaBajt(0), kolBit(0) {
    if (kolBit) Nado(kolBit, zapolnit);
}

// An empty vector that then takes a copy of `other`.
ZYK_VEKTOR_BIT::ZYK_VEKTOR_BIT(const ZYK_VEKTOR_BIT& other)
    : dannye(nullptr), dlinaBajt(0), kolBit(0) {
    *this = other;
}

// Releases the bytes.
ZYK_VEKTOR_BIT::~ZYK_VEKTOR_BIT() {
    delete[] dannye;
}

// Copies bit count and bytes. An empty source empties this vector too (a copy is a copy:
// keeping the old bits would make the two vectors differ after the assignment).
ZYK_VEKTOR_BIT& ZYK_VEKTOR_BIT::operator=(const ZYK_VEKTOR_BIT& other) {
    if (this == &other) return *this;
    if (other.kolBit == 0 || other.dannye == nullptr) {
        delete[] dannye;
        dannye = nullptr;
        dlinaBajt = 0;
        kolBit = 0;
        return *this;
    }
    Nado(other.kolBit, 0);
    if (dannye) std::memcpy(dannye, other.dannye, dlinaBajt);
    return *this;
}

// Resizes to kolBit bits, all 0 or all 1; the old contents are not kept. 0 bits changes
// nothing. When the bytes cannot be allocated the vector is left empty.
void ZYK_VEKTOR_BIT::Nado(ZyDW kolBit, unsigned char zapolnit) {
    if (kolBit == 0) return;
    delete[] dannye;
    dannye = nullptr;
    dlinaBajt = 0;
    this->kolBit = 0;
    const ZyDW n = BajtDlja(kolBit);
    unsigned char* d = new (std::nothrow) unsigned char[n];
    if (!d) return;
    std::memset(d, zapolnit ? 0xFF : 0x00, n);
    dannye = d;
    dlinaBajt = n;
    this->kolBit = kolBit;
}

// Sets bits a..b; false (and nothing changed) when b is past the last bit.
bool ZYK_VEKTOR_BIT::Vkl(ZyDW a, ZyDW b) {
    if (b == VSE) b = kolBit - 1;
    if (kolBit == 0 || b >= kolBit) return false;
    // b < kolBit <= 0xFFFFFFFF, so ++k cannot wrap past b.
    for (ZyDW k = a; k <= b; ++k)
        PostavitBit(dannye, k, true);
    return true;
}

// Every byte 0xFF (the spare bits too).
void ZYK_VEKTOR_BIT::Vkl() {
    if (dannye) std::memset(dannye, 0xFF, dlinaBajt);
}

// Clears bits a..b; false (and nothing changed) when b is past the last bit.
bool ZYK_VEKTOR_BIT::Vwkl(ZyDW a, ZyDW b) {
    if (b == VSE) b = kolBit - 1;
    if (kolBit == 0 || b >= kolBit) return false;
    for (ZyDW k = a; k <= b; ++k)
        PostavitBit(dannye, k, false);
    return true;
}

// Every byte 0x00.
void ZYK_VEKTOR_BIT::Vwkl() {
    if (dannye) std::memset(dannye, 0x00, dlinaBajt);
}

// Every byte inverted (the spare bits too).
void ZYK_VEKTOR_BIT::Invert() {
    for (ZyDW i = 0; i < dlinaBajt; ++i)
        dannye[i] = static_cast<unsigned char>(~dannye[i]);
}

// True when any of bits a..b is set; false when none is or b is past the last bit.
bool ZYK_VEKTOR_BIT::Test(ZyDW a, ZyDW b) const {
    if (b == VSE) b = kolBit - 1;
    if (kolBit == 0 || b >= kolBit) return false;
    for (ZyDW k = a; k <= b; ++k)
        if (Bit(dannye, k)) return true;
    return false;
}

// True when any of bits 0..kolBit-1 is set (the spare bits do not count).
bool ZYK_VEKTOR_BIT::Test() const {
    return kolBit != 0 && Test(0, kolBit - 1);
}

// Copies bits a..b into kuda (bit i of kuda = bit a+i). Returns 0 on success, 0xFFFFFFFF when
// b is past the last bit, or the number of bytes needed when razmer is too small (nothing is
// written then). a = b = 0xFFFFFFFF means the whole vector. An empty range (a > b) clears kuda;
// a null kuda counts as a buffer of 0 bytes.
ZyDW ZYK_VEKTOR_BIT::VzBitw(unsigned char* kuda, ZyDW razmer, ZyDW a, ZyDW b) const {
    if (!kuda) razmer = 0;
    if (a == VSE && b == VSE) {
        a = 0;
        b = kolBit - 1;
    }
    if (kolBit == 0 || b >= kolBit) return VSE;
    const ZyDW n = a > b ? 0 : b - a + 1;
    const ZyDW nuzhno = BajtDlja(n);
    if (nuzhno > razmer) return nuzhno;
    if (razmer) std::memset(kuda, 0, razmer);
    for (ZyDW i = 0; i < n; ++i)
        if (Bit(dannye, a + i)) PostavitBit(kuda, i, true);
    return 0;
}

// Copies bits from otkuda into a..b (bit a+i = bit i of otkuda); the other bits are kept.
// Results as VzBitw; here b = 0xFFFFFFFF is not expanded. A null otkuda counts as 0 bytes.
ZyDW ZYK_VEKTOR_BIT::VsBitw(ZyDW a, ZyDW b, const unsigned char* otkuda, ZyDW razmer) {
    if (!otkuda) razmer = 0;
    if (kolBit == 0 || b >= kolBit) return VSE;
    const ZyDW n = a > b ? 0 : b - a + 1;
    const ZyDW nuzhno = BajtDlja(n);
    if (nuzhno > razmer) return nuzhno;
    for (ZyDW i = 0; i < n; ++i)
        PostavitBit(dannye, a + i, Bit(otkuda, i));
    return 0;
}

} // namespace Quorvel
