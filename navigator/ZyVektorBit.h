// ZyVektorBit: ZYK_VEKTOR_BIT, the fixed-size bit vector of the controller's flags. Pure
// logic: this header needs no <windows.h>, so the unit also builds with the host's compilers.
// ZyDW is `unsigned long` under Windows (ZyTipy.h).
#ifndef ZYVEKTORBIT_H
#define ZYVEKTORBIT_H

#include "ZyTipy.h"

#if !defined(ZYKGLORVANTA2_API)
#if defined(ZYKGLORVANTA2_BUILD)
#define ZYKGLORVANTA2_API ZY_EKSPORT
#else
#define ZYKGLORVANTA2_API ZY_IMPORT
#endif
#endif

namespace Quorvel {

// ---- Bit vector -----------------------------------------------------------------------------

// A fixed-size vector of bits: bit k in byte k / 8 under mask 1 << (k % 8). A bit at or past
// the bit count reads as 0 and is never written. Range b = 0xFFFFFFFF means up to the end.
class ZYKGLORVANTA2_API ZYK_VEKTOR_BIT {
public:
    unsigned char* dannye; // the bytes (owned)
    ZyDW dlinaBajt;        // number of bytes
    ZyDW kolBit;           // number of bits

    ZYK_VEKTOR_BIT(ZyDW kolBit = 0, unsigned char zapolnit = 0);
    ZYK_VEKTOR_BIT(const ZYK_VEKTOR_BIT& other);
    ~ZYK_VEKTOR_BIT();
    ZYK_VEKTOR_BIT& operator=(const ZYK_VEKTOR_BIT& other);
    void Nado(ZyDW kolBit, unsigned char zapolnit);
    bool Vkl(ZyDW a, ZyDW b);
    void Vkl();
    bool Vwkl(ZyDW a, ZyDW b);
    void Vwkl();
    void Invert();
    bool Test(ZyDW a, ZyDW b) const;
    bool Test() const;
    ZyDW VzBitw(unsigned char* kuda, ZyDW razmer, ZyDW a, ZyDW b) const;
    ZyDW VsBitw(ZyDW a, ZyDW b, const unsigned char* otkuda, ZyDW razmer);
};

} // namespace Quorvel

#endif // ZYVEKTORBIT_H
