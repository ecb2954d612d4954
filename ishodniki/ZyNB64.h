// ZyNB64: ZYKNB64, the unsigned 64-bit number of the large-file library, and its operators.
// Pure arithmetic and text conversion: this header needs no <windows.h>, so the units
// ZyFNB_oo and ZyFNB_ooTekst also build with the host's compilers (tests, sanitizers, fuzzing,
// 32-bit runs of the x87 paths). ZyDW is `unsigned long` under Windows (ZyTipy.h).
#ifndef ZYNB64_H
#define ZYNB64_H

#include "ZyTipy.h"

#if !defined(ZYKFAJL64_API)
#if defined(ZYKFAJL64_BUILD)
#define ZYKFAJL64_API ZY_EKSPORT
#else
#define ZYKFAJL64_API ZY_IMPORT
#endif
#endif

namespace Quorvel {

// Unsigned 64-bit number: the low 32-bit half first, then the high half, so its memory image
// is the little-endian image of the value. A plain aggregate: build it as ZYKNB64{low, high}.
struct ZYKFAJL64_API ZYKNB64 {
    ZyDW Ml; // low half
    ZyDW St; // high half

    // Shifts take the count modulo 64 (the low six bits of the count).
    ZYKNB64& operator<<=(const ZYKNB64& n);
    ZYKNB64& operator<<=(ZyDW n);
    ZYKNB64& operator>>=(const ZYKNB64& n);
    ZYKNB64& operator>>=(ZyDW n);
    ZYKNB64 operator<<(const ZYKNB64& n) const;
    ZYKNB64 operator<<(ZyDW n) const;
    ZYKNB64 operator>>(const ZYKNB64& n) const;
    ZYKNB64 operator>>(ZyDW n) const;

    ZYKNB64 operator~() const;
    ZYKNB64 operator|(const ZYKNB64& n) const;
    ZYKNB64 operator|(ZyDW n) const; // into the low half, high half kept
    ZYKNB64 operator^(const ZYKNB64& n) const;
    ZYKNB64 operator^(ZyDW n) const; // into the low half, high half kept
    ZYKNB64 operator&(const ZYKNB64& n) const;
    ZYKNB64 operator&(ZyDW n) const; // with the low half, high half 0

    bool operator==(const ZYKNB64& n) const;
    bool operator!=(const ZYKNB64& n) const;
    bool operator<=(const ZYKNB64& n) const;
    bool operator<(const ZYKNB64& n) const;
    bool operator>=(const ZYKNB64& n) const;
    bool operator>(const ZYKNB64& n) const;
    bool operator==(ZyDW n) const;
    bool operator!=(ZyDW n) const;
    bool operator<=(ZyDW n) const;
    bool operator<(ZyDW n) const;
    bool operator>=(ZyDW n) const;
    bool operator>(ZyDW n) const;

    ZYKNB64& operator+=(const ZYKNB64& n); // saturates at the largest value
    ZYKNB64& operator+=(ZyDW n);
    ZYKNB64& operator-=(const ZYKNB64& n); // clamps at 0
    ZYKNB64& operator-=(ZyDW n);
    ZYKNB64& operator*=(const ZYKNB64& n); // saturates
    ZYKNB64& operator*=(ZyDW n);
    ZYKNB64& operator/=(const ZYKNB64& n); // by 0 leaves the value
    ZYKNB64& operator/=(ZyDW n);
    ZYKNB64& operator%=(const ZYKNB64& n); // by 0 leaves the value
    ZYKNB64& operator%=(ZyDW n);

    // From floating: NaN keeps the value, <= 0 gives 0, too large gives the largest value,
    // otherwise the value truncated toward zero.
    ZYKNB64& operator=(const float& v);
    ZYKNB64& operator=(const double& v);
    ZYKNB64& operator=(const long double& v);
    // To floating, exact in the extended format. Explicit, so that mixed expressions with
    // integer literals stay unambiguous: write double(n), not n + 0.5.
    explicit operator float() const;
    explicit operator double() const;
    explicit operator long double() const;

    // Text out. format: byte 0 group size, byte 1 separator (0 = blank), byte 2 minimum
    // digits, byte 3 offset added to hexadecimal letters. radix 10, 16, 2 or 8. The buffer
    // must hold the radix's work area (44, 36, 132 or 48 bytes). Returns the text's length.
    ZyDW VsStr(unsigned char* buf, ZyDW format, long radix) const;
    // Text in. format: byte 0 length (0 = up to the byte in byte 2, or a zero byte), byte 1
    // separator (0 = blank). Decimal (one digit, or grouped as VsStr writes it), or "0x",
    // "0o", "0b" prefixed. Returns true on success.
    bool VzStr(const unsigned char* text, ZyDW format);
};

ZYKFAJL64_API ZyDW& operator<<=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZyDW& operator>>=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator<<(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator>>(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator|(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator^(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator&(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator==(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator!=(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator<=(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator<(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator>=(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API bool operator>(ZyDW a, const ZYKNB64& n);
ZYKFAJL64_API ZyDW& operator+=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator+(const ZYKNB64& a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64 operator+(const ZYKNB64& a, ZyDW b);
ZYKFAJL64_API ZYKNB64 operator+(ZyDW a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64& operator++(ZYKNB64& a);
ZYKFAJL64_API ZyDW& operator-=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator-(const ZYKNB64& a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64 operator-(const ZYKNB64& a, ZyDW b);
ZYKFAJL64_API ZYKNB64 operator-(ZyDW a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64& operator--(ZYKNB64& a);
ZYKFAJL64_API ZyDW& operator*=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator*(const ZYKNB64& a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64 operator*(const ZYKNB64& a, ZyDW b);
ZYKFAJL64_API ZYKNB64 operator*(ZyDW a, const ZYKNB64& b);
ZYKFAJL64_API ZyDW& operator/=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator/(const ZYKNB64& a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64 operator/(const ZYKNB64& a, ZyDW b);
ZYKFAJL64_API ZYKNB64 operator/(ZyDW a, const ZYKNB64& b);
ZYKFAJL64_API ZyDW& operator%=(ZyDW& a, const ZYKNB64& n);
ZYKFAJL64_API ZYKNB64 operator%(const ZYKNB64& a, const ZYKNB64& b);
ZYKFAJL64_API ZYKNB64 operator%(const ZYKNB64& a, ZyDW b);
ZYKFAJL64_API ZYKNB64 operator%(ZyDW a, const ZYKNB64& b);

} // namespace Quorvel

#endif // ZYNB64_H
