// Ear clipping of polygons (see ZyTriangulacija.h).
#include "ZyTriangulacija.h"

#include <cmath>

namespace zymodel {

namespace {

// A corner projected onto the polygon's plane.
struct Tochka2 {
    double u, v;
};

// Twice the signed area of triangle (a, b, c): positive when it turns counter-clockwise.
double Povorot(const Tochka2& a, const Tochka2& b, const Tochka2& c) {
    return (b.u - a.u) * (c.v - a.v) - (b.v - a.v) * (c.u - a.u);
}

// Whether p lies inside triangle (a, b, c) of counter-clockwise turn, its edges included.
bool Vnutri(const Tochka2& p, const Tochka2& a, const Tochka2& b, const Tochka2& c) {
    return Povorot(a, b, p) >= 0 && Povorot(b, c, p) >= 0 && Povorot(c, a, p) >= 0;
}

// Projects the corners onto the coordinate plane most parallel to the polygon (Newell's
// normal), turned so that the polygon runs counter-clockwise. False for a polygon of no area.
bool Proekcija(const float* const* p, std::size_t n, std::vector<Tochka2>& t) {
    double nx = 0, ny = 0, nz = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const float* a = p[i];
        const float* b = p[(i + 1) % n];
        nx += (double(a[1]) - b[1]) * (double(a[2]) + b[2]);
        ny += (double(a[2]) - b[2]) * (double(a[0]) + b[0]);
        nz += (double(a[0]) - b[0]) * (double(a[1]) + b[1]);
    }
    const double ax = std::fabs(nx), ay = std::fabs(ny), az = std::fabs(nz);
    if (!(ax + ay + az > 0)) return false;
    // Drop the dominant axis; the other two in cyclic order keep the normal's sense.
    int iu = 1, iv = 2;
    double znak = nx;
    if (ay >= ax && ay >= az) {
        iu = 2, iv = 0, znak = ny;
    } else if (az >= ax && az >= ay) {
        iu = 0, iv = 1, znak = nz;
    }
    t.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        t[i] = {p[i][iu], znak < 0 ? -double(p[i][iv]) : double(p[i][iv])};
    return true;
}

// Whether the corner `i` of the remaining polygon (links `pred`, `sled`) is an ear: convex,
// with no other remaining corner inside its triangle.
bool Uho(const std::vector<Tochka2>& t, const std::vector<unsigned>& pred,
         const std::vector<unsigned>& sled, unsigned i) {
    const unsigned a = pred[i], c = sled[i];
    if (Povorot(t[a], t[i], t[c]) <= 0) return false;
    for (unsigned j = sled[c]; j != a; j = sled[j]) {
        // A corner at the same place as one of the triangle's does not block it.
        const Tochka2& q = t[j];
        const bool sovpadaet = (q.u == t[a].u && q.v == t[a].v) ||
                               (q.u == t[i].u && q.v == t[i].v) || (q.u == t[c].u && q.v == t[c].v);
        if (!sovpadaet && Vnutri(q, t[a], t[i], t[c])) return false;
    }
    return true;
}

// A quad split along the diagonal that lies inside it: 0-2 unless corner 1 or 3 makes the quad
// concave there (seen along the quad's normal), else 1-3.
void Chetyrehugolnik(const float* const* p, std::vector<unsigned>& tri) {
    double n[3] = {0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const float* a = p[i];
        const float* b = p[(i + 1) % 4];
        n[0] += (double(a[1]) - b[1]) * (double(a[2]) + b[2]);
        n[1] += (double(a[2]) - b[2]) * (double(a[0]) + b[0]);
        n[2] += (double(a[0]) - b[0]) * (double(a[1]) + b[1]);
    }
    // The turn at corner i, along the normal: positive where the quad is convex.
    auto povorot = [p, &n](int i) {
        const float* a = p[(i + 3) % 4];
        const float* b = p[i];
        const float* c = p[(i + 1) % 4];
        const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
        const double v[3] = {double(c[0]) - b[0], double(c[1]) - b[1], double(c[2]) - b[2]};
        return (u[1] * v[2] - u[2] * v[1]) * n[0] + (u[2] * v[0] - u[0] * v[2]) * n[1] +
               (u[0] * v[1] - u[1] * v[0]) * n[2];
    };
    if (povorot(1) < 0 || povorot(3) < 0)
        tri.insert(tri.end(), {1u, 2u, 3u, 1u, 3u, 0u});
    else
        tri.insert(tri.end(), {0u, 1u, 2u, 0u, 2u, 3u});
}

} // namespace

void ZyTriangulirovat(const float* const* p, std::size_t n, std::vector<unsigned>& tri) {
    if (n < 3) return;
    if (n == 4) return Chetyrehugolnik(p, tri);
    std::vector<Tochka2> t;
    if (n == 3 || !Proekcija(p, n, t)) {
        for (unsigned j = 1; j + 1 < n; ++j)
            tri.insert(tri.end(), {0u, j, j + 1});
        return;
    }
    std::vector<unsigned> pred(n), sled(n);
    for (unsigned i = 0; i < n; ++i) {
        pred[i] = i == 0 ? unsigned(n - 1) : i - 1;
        sled[i] = i + 1 == n ? 0u : i + 1;
    }
    std::size_t ostalos = n;
    unsigned i = 0, bezUha = 0;
    while (ostalos > 3) {
        if (Uho(t, pred, sled, i)) {
            tri.insert(tri.end(), {pred[i], i, sled[i]});
            sled[pred[i]] = sled[i];
            pred[sled[i]] = pred[i];
            --ostalos;
            bezUha = 0;
            i = pred[i];
        } else if (++bezUha > ostalos) {
            break; // no ear left: the rest crosses itself
        } else {
            i = sled[i];
        }
    }
    // The last triangle, or a fan over what ear clipping could not place.
    const unsigned nach = i;
    for (unsigned j = sled[nach]; sled[j] != nach; j = sled[j])
        tri.insert(tri.end(), {nach, j, sled[j]});
}

} // namespace zymodel
