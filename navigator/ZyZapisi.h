// ZyZapisi: the geometry types and the records of the engine that have a fixed byte layout
// (the navigation record stored in the history file, the history header). This header needs
// no <windows.h>, so the layouts can be checked by host builds too; they are the same on
// every target (little-endian, no padding). ZyDW is `unsigned long` under Windows.
#ifndef ZYZAPISI_H
#define ZYZAPISI_H

#include "ZyNB64.h"
#include "ZyTipy.h"

#if !defined(ZYKGLORVANTA2_API)
#if defined(ZYKGLORVANTA2_BUILD)
#define ZYKGLORVANTA2_API ZY_EKSPORT
#else
#define ZYKGLORVANTA2_API ZY_IMPORT
#endif
#endif

namespace Quorvel {

// ---- Geometry (angles in degrees) -----------------------------------------------------------

struct MATRICA_DF4x4;

// A direction or displacement.
struct ZYKGLORVANTA2_API VEKTOR3MDF {
    double x, y, z;
    double Normal();    // divides by the length; returns the length before (0: unchanged)
    double Mod() const; // the length
};

// A point; arrays of points are contiguous (24 bytes a point).
struct ZYKGLORVANTA2_API TOCHKA3MDF {
    double x, y, z;
    // The point as row vector (x, y, z, 1) times m (translation in m[12..14]); no division by w.
    TOCHKA3MDF operator*(const MATRICA_DF4x4& m) const;
};

// Sixteen doubles in the order glLoadMatrixd takes them (column-major).
struct ZYKGLORVANTA2_API MATRICA_DF4x4 {
    double m[16];
    // The row-major matrix times the column vector (x, y, z, 1) (translation in m[3], m[7],
    // m[11]); no division by w.
    TOCHKA3MDF operator*(const TOCHKA3MDF& p) const;
    // this := b * this in the column-major reading (this * b for row vectors), in double
    // precision; the rendering state is not touched.
    MATRICA_DF4x4& operator*=(const MATRICA_DF4x4& b);
    void Transponirovat();
};

// ---- Records --------------------------------------------------------------------------------

// View region for picking, in window pixels; y from the top edge.
struct ZYS_REGION_VIDA {
    double x, y, w, h;
};

// The 264-byte navigation record stored in the history file (little-endian).
struct ZYS_POZ_NAV {
    unsigned char flagi[8];  // bits 0..25 of Flagi
    double SkorostNav[6];    // three linear, three angular speeds
    double IzmSkorosti;      // speed change per frame, percent
    TOCHKA3MDF PozNav[4];    // eye, target, up point, side point
    TOCHKA3MDF PozNavVid[4]; // the frame as viewed
    double Distancija;       // orbit distance
};

// The controller's copy of the 24-byte history-file header.
struct ZYS_ZAG_ISTORII {
    ZYKNB64 TekPoz;  // position of the current entry
    ZyDW TekNom;     // number of the current entry (first = 1)
    ZYKNB64 PoslPoz; // position of the last entry
    ZyDW PoslNom;    // number of the last entry
};

} // namespace Quorvel

#endif // ZYZAPISI_H
