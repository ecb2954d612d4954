// Test helper: whether a file left by a failed delete still holds every byte it should keep, in
// order, with the room of the deleted bytes at some point on the way.
#ifndef ZYTESTBEZPOTER_H
#define ZYTESTBEZPOTER_H

#include <cstddef>
#include <vector>

namespace zytest {

// `f` has the size of `b` and is b with the n bytes at p deleted and room for n bytes (any
// content) put back somewhere between p and the end: the original itself, or its tail moved
// down part of the way.
bool UdalenieBezPoter(const std::vector<unsigned char>& b, const std::vector<unsigned char>& f,
                      std::size_t p, std::size_t n);

} // namespace zytest

#endif // ZYTESTBEZPOTER_H
