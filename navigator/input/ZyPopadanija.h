// The hit records an OpenGL selection pass leaves in its buffer, walked safely (internal).
//
// A record is: name count n, minimum depth, maximum depth, then n names (outermost first).
// Every walk here ends with "no hit" when a record does not fit in the words that remain:
// the buffer then does not hold what the hit count claims (a scene that changed the selection
// buffer or mode while drawing), and nothing of it can be trusted.
#ifndef ZYPOPADANIJA_H
#define ZYPOPADANIJA_H

#include <cstddef>

namespace Quorvel {

// Words of a record before its names: name count, minimum depth, maximum depth.
constexpr std::size_t ZY_ZAGOLOVOK_POPADANIJA = 3;
// A walk that found no record.
constexpr std::size_t ZY_NET_POPADANIJA = static_cast<std::size_t>(-1);

// Position of the record with the smallest minimum depth (compared unsigned; the earlier record
// wins a tie) among `popadanij` records in the `kol` words at `slova`; ZY_NET_POPADANIJA for no
// hits or when a record does not fit.
std::size_t ZyBlizhajsheePopadanie(const unsigned int* slova, std::size_t kol, long popadanij);

// Position of the first record whose innermost name is `imja`; ZY_NET_POPADANIJA when there is
// none or a record before it does not fit.
std::size_t ZyPopadanieObjekta(const unsigned int* slova, std::size_t kol, long popadanij,
                               unsigned long imja);

} // namespace Quorvel

#endif // ZYPOPADANIJA_H
