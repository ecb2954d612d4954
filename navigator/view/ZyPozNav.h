// Packing the controller's navigation state into the 264-byte record and back (internal).
#ifndef ZYPOZNAV_H
#define ZYPOZNAV_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

static_assert(sizeof(ZYS_POZ_NAV) == 264, "the navigation record is stored byte for byte");

// Flags 0..25, speeds, speed change, the eight frame points and the orbit distance into `zap`.
// A flag vector shorter than 26 bits sounds 600 Hz for 300 ms; the rest is copied anyway.
void ZyUpakovatPozNav(const ZYKGLKONTROL& kontrol, ZYS_POZ_NAV& zap);
// The reverse; flag bits other than 0..25 are left as they are. A record that is not
// ZyPozNavDopustima changes nothing and sounds 600 Hz for 300 ms.
void ZyRaspakovatPozNav(ZYKGLKONTROL& kontrol, const ZYS_POZ_NAV& zap);
// True when every number of the record is finite and the orbit distance is not negative: a
// record read from a file is restored only then (a NaN frame would show nothing, for good).
bool ZyPozNavDopustima(const ZYS_POZ_NAV& zap);

} // namespace Quorvel

#endif
