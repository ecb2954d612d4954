// ZyUproshchenie: a coarser version of a part by vertex clustering on a grid. The vertices in
// one cell of the grid become one vertex at their mean position, with their mean colour and
// the texture coordinates of the first of them; a triangle left with fewer than three
// distinct corners is dropped, and so is one that repeats a triangle already kept (the same
// corners in any order, the same material). Materials and the triangles' winding stay. A cell
// that holds vertices of a seam (ZYS_CHAST::shov) takes the mean of those alone, which every
// part along the seam computes alike, and stays on the seam: the parts keep meeting there. No
// system calls.
#ifndef ZYUPROSHCHENIE_H
#define ZYUPROSHCHENIE_H

#include "ZyModel.h"

namespace zymodel {

// Part `c` clustered on the grid of cubic cells of side `shag` whose corner is `nachalo`.
// The result holds vertices, colours, texture coordinates, seam marks, triangles and materials.
ZYS_CHAST ZyUprostit(const ZYS_CHAST& c, const float* nachalo, float shag);

} // namespace zymodel

#endif // ZYUPROSHCHENIE_H
