// Reading and walking the history file's entries, every length checked before it is trusted
// (pure logic over a reader, internal to the engine).
//
// Layout: a 24-byte header {current position u64, current number u32, last position u64, last
// number u32}, then entries from offset 24: {R u32, number u32, 264-byte navigation record,
// four zero-terminated names, R - 4 u32}. All little-endian.
#ifndef ZYHODISTORII_H
#define ZYHODISTORII_H

#include <cstdint>
#include <functional>
#include <vector>

namespace Quorvel {

// Reads `dlina` bytes at `poz` into `kuda`; false when they are not all there.
using ZyChitatIstoriju = std::function<bool(uint64_t poz, void* kuda, uint32_t dlina)>;

// The history as the walk sees it: its size and how to read it.
struct ZYS_ISTORIJA {
    uint64_t razmer;
    ZyChitatIstoriju chitat;
};

// The header's four values.
struct ZYS_POZICII_ISTORII {
    uint64_t tekPoz;
    uint32_t tekNom;
    uint64_t poslPoz;
    uint32_t poslNom;
};

constexpr uint64_t ZY_ZAGOLOVOK_ISTORII = 24; // header bytes
constexpr uint32_t ZY_MIN_ZAPIS = 280;        // entry with four empty names
constexpr uint32_t ZY_MAKS_ZAPIS = 1u << 20;  // larger entries are taken as damage
constexpr uint32_t ZY_MAKS_REMONT = 100000;   // entries a repair scan looks at, at most

// Reads and checks the entry at `poz`: its length inside the file and within the limits, its
// number equal to `nomer` (any number when 0), its trailing length R - 4, and exactly four
// zero-terminated names. On success `zapis` holds the whole entry.
bool ZyProchestZapis(const ZYS_ISTORIJA& ist, uint64_t poz, uint32_t nomer,
                     std::vector<unsigned char>& zapis);

// The header points at sound entries: current and last, in order.
bool ZyZagolovokZdorov(const ZYS_ISTORIJA& ist, const ZYS_POZICII_ISTORII& z);

// Rebuilds a damaged header from the entries: walks forward while the entries are sound, from
// the current entry of the damaged header `byl` when that is sound (else from its last entry
// when that is sound, else from the first entry), so that a damaged first entry does not cost
// the entries the header still reaches; the last sound one becomes both current and last.
// False when no start is sound.
bool ZyVosstanovitZagolovok(const ZYS_ISTORIJA& ist, ZYS_POZICII_ISTORII& z,
                            const ZYS_POZICII_ISTORII* byl = nullptr);

// Moves the current entry of a sound header by a history command (first, back `kol`, last,
// forward `kol`; anything else stays). A damaged entry met on the way ends the walk at the
// last sound one. Returns the command performed, or 0x3E when the current entry did not
// change (first and last always count as performed).
unsigned long ZyShagIstorii(const ZYS_ISTORIJA& ist, ZYS_POZICII_ISTORII& z, unsigned long komanda,
                            unsigned long kol);

} // namespace Quorvel

#endif
