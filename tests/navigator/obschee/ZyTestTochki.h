// Helpers of the geometry and position tests: a point compared within a tolerance, and an
// independent oracle for a rotation about an axis.
#ifndef ZYTESTTOCHKI_H
#define ZYTESTTOCHKI_H

#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zytest {

// Expects point p to be (x, y, z) within `dopusk` in every coordinate.
inline ::testing::AssertionResult Tochka(const Quorvel::TOCHKA3MDF& p, double x, double y, double z,
                                         double dopusk = 1e-9) {
    if (std::fabs(p.x - x) <= dopusk && std::fabs(p.y - y) <= dopusk &&
        std::fabs(p.z - z) <= dopusk)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << p.x << ", " << p.y << ", " << p.z
                                         << "), expected (" << x << ", " << y << ", " << z << ")";
}

// The axis-angle rotation formula in plain doubles: p turned by `gradusy` about the axis a -> b.
inline Quorvel::TOCHKA3MDF Povernut(Quorvel::TOCHKA3MDF p, Quorvel::TOCHKA3MDF a,
                                    Quorvel::TOCHKA3MDF b, double gradusy) {
    double n[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const double d = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    n[0] /= d, n[1] /= d, n[2] /= d;
    const double t = gradusy * 3.14159265358979323846 / 180.0, c = std::cos(t), s = std::sin(t);
    const double v[3] = {p.x - a.x, p.y - a.y, p.z - a.z};
    const double kv = n[0] * v[0] + n[1] * v[1] + n[2] * v[2];
    const double x[3] = {n[1] * v[2] - n[2] * v[1], n[2] * v[0] - n[0] * v[2],
                         n[0] * v[1] - n[1] * v[0]};
    return Quorvel::TOCHKA3MDF{a.x + v[0] * c + x[0] * s + n[0] * kv * (1 - c),
                               a.y + v[1] * c + x[1] * s + n[1] * kv * (1 - c),
                               a.z + v[2] * c + x[2] * s + n[2] * kv * (1 - c)};
}

} // namespace zytest

#endif // ZYTESTTOCHKI_H
