// Packing the controller's navigation state into the 264-byte navigation record and back.
#include "ZyPozNav.h"
#include "ZyZvuk.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace Quorvel {

// The record is stored byte for byte in the history file and must read the same on both
// targets: no padding anywhere, the offsets of the file layout.
static_assert(offsetof(ZYS_POZ_NAV, flagi) == 0, "flags at 0");
static_assert(offsetof(ZYS_POZ_NAV, SkorostNav) == 8, "speeds at 8");
static_assert(offsetof(ZYS_POZ_NAV, IzmSkorosti) == 56, "speed change at 56");
static_assert(offsetof(ZYS_POZ_NAV, PozNav) == 64, "frame at 64");
static_assert(offsetof(ZYS_POZ_NAV, PozNavVid) == 160, "viewed frame at 160");
static_assert(offsetof(ZYS_POZ_NAV, Distancija) == 256, "orbit distance at 256");
static_assert(sizeof(TOCHKA3MDF) == 24, "a point is three doubles");

namespace {

constexpr unsigned long kPoslBit = 25; // bits 0..25 of Flagi travel in the record

// The tone of a flag vector too short for the record.
void ZvukNechitaemojZapisi() {
    ZyZvuk(600, 300);
}

} // namespace

// Flags 0..25, the six speeds, the speed change, the eight frame points and the orbit distance
// into `zap`. A flag vector shorter than 26 bits leaves the flag bytes zero and sounds 600 Hz
// for 300 ms; the other fields are copied anyway.
void ZyUpakovatPozNav(const ZYKGLKONTROL& kontrol, ZYS_POZ_NAV& zap) {
    std::memset(zap.flagi, 0, sizeof zap.flagi);
    if (kontrol.Flagi.VzBitw(zap.flagi, sizeof zap.flagi, 0, kPoslBit) != 0) {
        std::memset(zap.flagi, 0, sizeof zap.flagi);
        ZvukNechitaemojZapisi();
    }
    std::memcpy(zap.SkorostNav, kontrol.SkorostNav, sizeof zap.SkorostNav);
    zap.IzmSkorosti = kontrol.IzmSkorosti;
    std::memcpy(zap.PozNav, kontrol.PozNav, sizeof zap.PozNav);
    std::memcpy(zap.PozNavVid, kontrol.PozNavVid, sizeof zap.PozNavVid);
    zap.Distancija = kontrol.Distancija;
}

// The reverse: bits 0..25 of Flagi are set or cleared from the record, the other bits stay.
// A flag vector shorter than 26 bits sounds 600 Hz for 300 ms; the other fields are copied.
// A record whose numbers are no position (see ZyPozNavDopustima) cannot be read: the same tone
// sounds and nothing changes.
void ZyRaspakovatPozNav(ZYKGLKONTROL& kontrol, const ZYS_POZ_NAV& zap) {
    if (!ZyPozNavDopustima(zap)) {
        ZvukNechitaemojZapisi();
        return;
    }
    if (kontrol.Flagi.VsBitw(0, kPoslBit, zap.flagi, sizeof zap.flagi) != 0)
        ZvukNechitaemojZapisi();
    std::memcpy(kontrol.SkorostNav, zap.SkorostNav, sizeof zap.SkorostNav);
    kontrol.IzmSkorosti = zap.IzmSkorosti;
    std::memcpy(kontrol.PozNav, zap.PozNav, sizeof zap.PozNav);
    std::memcpy(kontrol.PozNavVid, zap.PozNavVid, sizeof zap.PozNavVid);
    kontrol.Distancija = zap.Distancija;
}

// True when every number of the record is finite and the orbit distance is not negative.
bool ZyPozNavDopustima(const ZYS_POZ_NAV& zap) {
    double chisla[32];
    static_assert(sizeof chisla == sizeof(ZYS_POZ_NAV) - sizeof zap.flagi, "all the doubles");
    std::memcpy(chisla, &zap.SkorostNav, sizeof chisla);
    for (double d : chisla)
        if (!std::isfinite(d)) return false;
    return zap.Distancija >= 0.0;
}

} // namespace Quorvel
