#!/usr/bin/env python3
"""Writes ZyPrimer.obj and ZyPrimer.mtl: a small model made by the project for the model scene.

Four named groups with their own diffuse colours: a base slab, a tower, a dome on the tower
and a ring around it (a few hundred faces in all).

    python3 gen_model.py [output-folder]     (default: this script's folder)
"""
import math
import os
import sys


class Obj:
    """Collects vertices and faces group by group (OBJ indices are 1-based)."""

    def __init__(self):
        self.lines = ["# Made by gen_model.py", "mtllib ZyPrimer.mtl"]
        self.count = 0

    def group(self, name, material):
        self.lines += ["g " + name, "usemtl " + material]

    def vertex(self, x, y, z):
        self.lines.append("v %.5f %.5f %.5f" % (x, y, z))
        self.count += 1
        return self.count

    def face(self, *corners):
        self.lines.append("f " + " ".join(str(c) for c in corners))


def box(o, x0, y0, z0, x1, y1, z1):
    """Six quads of an axis-aligned box."""
    v = [o.vertex(x, y, z) for x in (x0, x1) for y in (y0, y1) for z in (z0, z1)]
    for a, b, c, d in ((0, 1, 3, 2), (4, 6, 7, 5), (0, 4, 5, 1), (2, 3, 7, 6), (0, 2, 6, 4),
                       (1, 5, 7, 3)):
        o.face(v[a], v[b], v[c], v[d])


def prism(o, radius, y0, y1, sides):
    """The side quads of an upright prism around the y axis."""
    low, high = [], []
    for i in range(sides):
        a = 2 * math.pi * i / sides
        low.append(o.vertex(radius * math.cos(a), y0, radius * math.sin(a)))
        high.append(o.vertex(radius * math.cos(a), y1, radius * math.sin(a)))
    for i in range(sides):
        j = (i + 1) % sides
        o.face(low[i], low[j], high[j], high[i])


def dome(o, radius, y0, slices, stacks):
    """A hemisphere of quads (triangles at the pole) standing on height y0."""
    rings = []
    for s in range(stacks):
        t = (math.pi / 2) * s / stacks
        rings.append([o.vertex(radius * math.cos(t) * math.cos(2 * math.pi * i / slices),
                               y0 + radius * math.sin(t),
                               radius * math.cos(t) * math.sin(2 * math.pi * i / slices))
                      for i in range(slices)])
    pole = o.vertex(0, y0 + radius, 0)
    for s in range(stacks - 1):
        for i in range(slices):
            j = (i + 1) % slices
            o.face(rings[s][i], rings[s][j], rings[s + 1][j], rings[s + 1][i])
    for i in range(slices):
        o.face(rings[-1][i], rings[-1][(i + 1) % slices], pole)


def ring(o, big, small, y, segments, sides):
    """A torus around the y axis at height y."""
    idx = []
    for i in range(segments):
        a = 2 * math.pi * i / segments
        idx.append([o.vertex((big + small * math.cos(2 * math.pi * j / sides)) * math.cos(a),
                             y + small * math.sin(2 * math.pi * j / sides),
                             (big + small * math.cos(2 * math.pi * j / sides)) * math.sin(a))
                    for j in range(sides)])
    for i in range(segments):
        for j in range(sides):
            i2, j2 = (i + 1) % segments, (j + 1) % sides
            o.face(idx[i][j], idx[i2][j], idx[i2][j2], idx[i][j2])


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    o = Obj()
    o.group("Osnovanie", "Kamen")
    box(o, -4, -0.5, -4, 4, 0, 4)
    o.group("Bashnja", "Kirpich")
    prism(o, 1.2, 0, 4, 24)
    o.group("Kupol", "Med")
    dome(o, 1.4, 4, 24, 6)
    o.group("Kolco", "Trava")
    ring(o, 2.6, 0.25, 1.5, 32, 8)
    with open(os.path.join(out, "ZyPrimer.obj"), "w", newline="\n") as f:
        f.write("\n".join(o.lines) + "\n")
    with open(os.path.join(out, "ZyPrimer.mtl"), "w", newline="\n") as f:
        f.write("# Made by gen_model.py\n")
        for name, rgb in (("Kamen", "0.60 0.60 0.62"), ("Kirpich", "0.80 0.25 0.15"),
                          ("Med", "0.20 0.55 0.85"), ("Trava", "0.25 0.75 0.30")):
            f.write("newmtl %s\nKd %s\n\n" % (name, rgb))


if __name__ == "__main__":
    main()
