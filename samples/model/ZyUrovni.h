// ZyUrovni: the levels of detail of a model and the choice among them. Level 0 is the full
// model, drawn at rest and for picking; levels 1, 2, ... are coarser versions made by vertex
// clustering, each about a quarter of the one before (the first a sixth of the model), for
// the frames drawn while the eye moves. The parts keep their places in every level, so that
// names, focus and colours stay. No OpenGL calls.
#ifndef ZYUROVNI_H
#define ZYUROVNI_H

#include "ZyIndeksnajaSetka.h"
#include "ZyModel.h"

#include <cstddef>
#include <vector>

namespace zymodel {

// Models with fewer triangles than this get no coarser level; no level is made smaller.
constexpr unsigned long kMinTreugolnikovUrovnja = 4000;

// The levels of one model.
struct ZYS_UROVNI {
    std::vector<std::vector<ZYS_SETKA>> setki; // [level][part]
    std::vector<unsigned long> treugolnikov;   // per level, of the whole model
};

// Builds the levels of `m` on several threads (each part's full arrays beside its chain of
// coarser levels). Unless `sohranitChasti`, the parts' own arrays are released as they are
// used (their names, counts and boxes stay). `hod` sees the percentage done and may stop the
// work (ZYM_PRERVANO); ZYM_PAMJAT when memory runs out.
ZYE_MODEL ZyPostroitUrovni(ZYS_MODEL& m, bool sohranitChasti, ZYS_UROVNI& u,
                           const ZyfHod& hod = {});

// The level to draw while the eye moves: the finest whose drawing time fits `bjudzhet` (ms).
// `vremja` holds per level the last time measured (ms, negative when never measured; it is
// then estimated from the nearest measured level by the triangle counts, or at 100 ns a
// triangle when none is); the coarsest level when none fits.
std::size_t ZyVybratUroven(const std::vector<double>& vremja,
                           const std::vector<unsigned long>& treugolnikov, double bjudzhet);

} // namespace zymodel

#endif // ZYUROVNI_H
