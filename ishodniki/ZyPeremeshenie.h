// Moving bytes between two views that may show overlapping parts of one file (internal).
//
// Two views of one file sit at different addresses, so memmove cannot see that their bytes
// overlap: the direction has to come from the file offsets. Pure logic, no system calls.
#ifndef ZYPEREMESHENIE_H
#define ZYPEREMESHENIE_H

#include <cstddef>
#include <cstdint>

namespace Quorvel {

// Moves n bytes from `otkuda` to `kuda`. `rasstojanie` is the distance of the two ranges in
// the file (0 when they are not parts of one file, or do not overlap there); `vozrast` is true
// when the destination lies below the source in the file (the bytes go from the first up),
// false when it lies above (from the last down). The result is that of a move of the file's
// bytes: every destination byte gets the source byte as it was before the call.
void ZyPeremestit(unsigned char* kuda, const unsigned char* otkuda, size_t n, uint64_t rasstojanie,
                  bool vozrast);

} // namespace Quorvel

#endif // ZYPEREMESHENIE_H
