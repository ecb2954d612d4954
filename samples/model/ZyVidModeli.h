// ZyVidModeli: where the eye looks at a model from. A three-quarter view of the bounding box
// in the frame of the up axis the user chose (never edge-on at a flat model), and the near
// distance of the projection from the model's size and the eye's distance to it, so that the
// depth buffer keeps its precision for models of any scale. Pure arithmetic.
#ifndef ZYVIDMODELI_H
#define ZYVIDMODELI_H

namespace zymodel {

// The up axes, in the order the user steps through them; +Y is the default.
enum ZYE_OS : int {
    ZYO_PLUS_Y = 0,
    ZYO_PLUS_Z,
    ZYO_PLUS_X,
    ZYO_MINUS_Y,
    ZYO_MINUS_Z,
    ZYO_MINUS_X,
    ZYO_KOL, // number of axes
};

// "+Y", "+Z", ... for axis `os`; the axis of a name (-1 for an unknown name).
const char* ZyImjaOsi(int os);
int ZyOsPoImeni(const char* imja);

// The four navigation points of a view: the eye, and the points 1000 units ahead of it, above
// it and to its right.
struct ZYS_RAKURS {
    double glaz[3], cel[3], verh[3], bok[3];
};

// The three-quarter view of box [mn, mx] with up axis `os`: from the front right and above
// (more squarely onto a flat box), at the distance where the box's sphere fits the narrower of
// the view angles (`fovy` degrees vertically, `aspekt` width / height).
ZYS_RAKURS ZyRakurs(const float* mn, const float* mx, int os, double fovy, double aspekt);

// The near distance for an eye at `glaz` looking at box [mn, mx]: half the eye's distance to
// the box, and never below 1/2000 of the box's size (the eye inside the model).
double ZyBlizhnjaja(const float* mn, const float* mx, const double* glaz);

} // namespace zymodel

#endif // ZYVIDMODELI_H
