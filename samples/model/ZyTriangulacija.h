// ZyTriangulacija: splits a polygon of any number of corners into triangles by ear clipping
// in the polygon's best-fit plane, so that concave faces (a ring with a slit, an L) are filled
// as drawn. Pure arithmetic, no system calls.
#ifndef ZYTRIANGULACIJA_H
#define ZYTRIANGULACIJA_H

#include <cstddef>
#include <vector>

namespace zymodel {

// Appends n - 2 triangles of the polygon whose corners are p[0..n-1] (three floats each, in
// order around the polygon) to `tri`, as corner numbers 0..n-1 in the polygon's own winding.
// A polygon that is not simple (it crosses itself) or has no area is still split into n - 2
// triangles: what ear clipping cannot place is filled as a fan.
void ZyTriangulirovat(const float* const* p, std::size_t n, std::vector<unsigned>& tri);

} // namespace zymodel

#endif // ZYTRIANGULACIJA_H
