// Matrix arithmetic behind the geometry types and the point transforms (internal).
//
// All matrices are sixteen doubles in the order glLoadMatrixd takes them: element [4c + r] is
// row r, column c. Everything here is plain double arithmetic and touches no rendering state.
#ifndef ZYGEOMETRIJA_H
#define ZYGEOMETRIJA_H

#include "ZyKGLOrvanta2.h"

namespace Quorvel {

// r := a * b (column-major reading). r may alias a or b.
void ZyUmnozhit4x4(const double a[16], const double b[16], double r[16]);

// The identity matrix.
void ZyEdinichnaja(double m[16]);

// The rotation that glRotated(ugol, os) builds: ugol degrees, counter-clockwise about the
// direction os (right-hand rule). A zero or non-finite axis gives the identity.
void ZyMatricaPovorota(double ugol, const VEKTOR3MDF& os, double m[16]);

// T(a) * R(ugol, b - a) * T(-a): the rotation about the line through a and b.
void ZyMatricaPovorotaVokrug(double ugol, const TOCHKA3MDF& a, const TOCHKA3MDF& b, double m[16]);

// The rotation part of gluLookAt with the eye at the origin: rows side, up, -forward, where
// forward = vpered / |vpered|, side = forward x vverh normalised, up = side x forward.
// Degenerate directions give zero rows, as the rendering library's own gluLookAt does.
void ZyMatricaVzgljada(const VEKTOR3MDF& vpered, const VEKTOR3MDF& vverh, double m[16]);

} // namespace Quorvel

#endif
