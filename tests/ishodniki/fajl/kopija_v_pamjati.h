// What a copy leaves in a file, worked out on an array: the model the copy tests compare with.
// No platform headers, so that the host build of the block-plan tests uses it too.
#ifndef KOPIJA_V_PAMJATI_H
#define KOPIJA_V_PAMJATI_H

#include <cstdint>
#include <cstring>
#include <vector>

// `b` with `n` bytes of `v` copied to `d` (grown with zeros), as a copy leaves a file.
inline std::vector<unsigned char> sKopiej(std::vector<unsigned char> b, uint64_t d,
                                          const std::vector<unsigned char>& v, uint64_t s,
                                          uint64_t n) {
    if (d + n > b.size()) b.resize(size_t(d + n), 0);
    std::memmove(b.data() + d, v.data() + s, size_t(n));
    return b;
}

#endif // KOPIJA_V_PAMJATI_H
