#!/usr/bin/env python3
"""Writes ZyDomik.gltf (with ZyDomik.bin and ZyDomik.png) and ZyDomik.glb: a small glTF 2.0
model made by the project for the model scene.

A house on a lawn with a tree: textured walls, roof and lawn (one image of three regions:
bricks, roof tiles, grass), a tree with per-vertex colours (COLOR_0), node transforms (the
house turned and raised, its roof a child node), one named node per object.

    python3 gen_gltf.py [output-folder]     (default: this script's folder)
"""
import json
import math
import os
import struct
import sys
import zlib

SIDE = 256  # the texture's side in pixels; rows 0-127 bricks, 128-191 roof, 192-255 grass


def texture():
    """RGB rows of the texture atlas."""
    rows = []
    for y in range(SIDE):
        row = bytearray()
        for x in range(SIDE):
            if y < 128:  # bricks in running bond, light mortar
                course, off = y // 16, (8 if (y // 16) % 2 else 0)
                mortar = y % 16 in (0, 1) or (x + off * 2) % 32 in (0, 1)
                shade = 20 * ((x // 32 + course * 3) % 3)
                c = (205, 200, 190) if mortar else (150 + shade, 60 + shade // 2, 45)
            elif y < 192:  # roof tiles: dark red rows with a shadow line
                shadow = (y - 128) % 12 < 3
                c = (90, 30, 25) if shadow else (160, 50 + (x // 16 % 2) * 12, 40)
            else:  # grass: greens in a fine checker
                c = (60, 130, 50) if (x // 4 + y // 4) % 2 else (80, 155, 60)
            row += bytes(c)
        rows.append(bytes(row))
    return rows


def png(rows):
    """The rows as a PNG file (8-bit RGB)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + r for r in rows)
    header = struct.pack(">IIBBBBB", SIDE, SIDE, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


class Mesh:
    """Positions, texture coordinates or colours, and triangle indices of one mesh."""

    def __init__(self):
        self.pos, self.uv, self.col, self.ind = [], [], [], []

    def quad(self, a, b, c, d, uv=None, col=None):
        """A quad a-b-c-d (counter-clockwise seen from outside)."""
        base = len(self.pos)
        self.pos += [a, b, c, d]
        if uv:
            self.uv += uv
        if col:
            self.col += [col] * 4
        self.ind += [base, base + 1, base + 2, base, base + 2, base + 3]

    def tri(self, a, b, c, col):
        base = len(self.pos)
        self.pos += [a, b, c]
        self.col += [col] * 3
        self.ind += [base, base + 1, base + 2]


def walls():
    """A 4 x 3 x 2.5 box without floor and top, bricks repeated along the walls."""
    m = Mesh()
    w, d, h = 2.0, 1.5, 2.5
    corners = [(-w, -d), (w, -d), (w, d), (-w, d)]
    for i in range(4):
        (x0, z0), (x1, z1) = corners[i], corners[(i + 1) % 4]
        length = math.hypot(x1 - x0, z1 - z0)
        u = length / 2.0  # one brick tile per 2 units
        m.quad((x0, 0, z0), (x0, h, z0), (x1, h, z1), (x1, 0, z1),
               uv=[(0, 0.5), (0, 0), (u, 0), (u, 0.5)])
    m.ind = [m.ind[i + j] for i in range(0, len(m.ind), 3) for j in (0, 2, 1)]
    return m


def roof():
    """A gable roof over the walls (its node sits on top of them)."""
    m = Mesh()
    w, d, h, o = 2.3, 1.8, 1.4, 0.0
    tiles = [(0, 0.75), (0, 0.5), (3, 0.5), (3, 0.75)]
    m.quad((-w, o, d), (w, o, d), (w, h, 0), (-w, h, 0), uv=tiles)
    m.quad((w, o, -d), (-w, o, -d), (-w, h, 0), (w, h, 0), uv=tiles)
    gable = [(0, 0.5), (0.5, 0.5), (0.25, 0.25)]
    for x in (-2.0, 2.0):
        s = 1 if x > 0 else -1
        base = len(m.pos)
        m.pos += [(x, 0, -1.5 * s), (x, 0, 1.5 * s), (x, h * 1.5 / 1.8, 0)]
        m.uv += gable
        m.ind += [base, base + 2, base + 1] if s > 0 else [base, base + 1, base + 2]
    return m


def lawn():
    """A 12 x 10 lawn, the grass repeated."""
    m = Mesh()
    m.quad((-6, 0, 5), (6, 0, 5), (6, 0, -5), (-6, 0, -5),
           uv=[(0, 0.97), (6, 0.97), (6, 0.8), (0, 0.8)])
    return m


def tree():
    """A trunk and a cone of leaves, coloured per vertex."""
    m = Mesh()
    n = 12
    brown, green, light = (0.45, 0.3, 0.15), (0.1, 0.45, 0.15), (0.35, 0.75, 0.3)
    for i in range(n):
        a0, a1 = 2 * math.pi * i / n, 2 * math.pi * (i + 1) / n
        p = lambda a, r, y: (r * math.cos(a), y, r * math.sin(a))
        m.quad(p(a0, 0.2, 0), p(a1, 0.2, 0), p(a1, 0.2, 1.2), p(a0, 0.2, 1.2), col=brown)
        base = len(m.pos)
        m.pos += [p(a0, 1.1, 1.0), p(a1, 1.1, 1.0), (0, 3.6, 0)]
        m.col += [green, green, light]
        m.ind += [base, base + 2, base + 1]
    return m


def build():
    """The glTF document and its binary buffer."""
    buf = bytearray()
    views, accessors = [], []

    def add(data, fmt, count, kind, comp, target, minmax=None):
        while len(buf) % 4:
            buf.append(0)
        views.append({"buffer": 0, "byteOffset": len(buf), "byteLength": len(data),
                      "target": target})
        buf.extend(data)
        acc = {"bufferView": len(views) - 1, "componentType": comp, "count": count,
               "type": kind}
        if minmax:
            acc["min"], acc["max"] = minmax
        accessors.append(acc)
        return len(accessors) - 1

    def mesh(m, name, material):
        flat = [c for p in m.pos for c in p]
        mins = [min(p[i] for p in m.pos) for i in range(3)]
        maxs = [max(p[i] for p in m.pos) for i in range(3)]
        attrs = {"POSITION": add(struct.pack("<%df" % len(flat), *flat), "f", len(m.pos),
                                 "VEC3", 5126, 34962, (mins, maxs))}
        if m.uv:
            f = [c for t in m.uv for c in t]
            attrs["TEXCOORD_0"] = add(struct.pack("<%df" % len(f), *f), "f", len(m.uv),
                                      "VEC2", 5126, 34962)
        if m.col:
            f = [c for t in m.col for c in t]
            attrs["COLOR_0"] = add(struct.pack("<%df" % len(f), *f), "f", len(m.col),
                                   "VEC3", 5126, 34962)
        ind = add(struct.pack("<%dH" % len(m.ind), *m.ind), "H", len(m.ind), "SCALAR", 5123,
                  34963)
        prim = {"attributes": attrs, "indices": ind}
        if material is not None:
            prim["material"] = material
        return {"name": name, "primitives": [prim]}

    meshes = [mesh(walls(), "Walls", 0), mesh(roof(), "Roof", 0), mesh(lawn(), "Lawn", 0),
              mesh(tree(), "Tree", None)]
    turn = math.radians(-25)
    doc = {
        "asset": {"version": "2.0", "generator": "gen_gltf.py"},
        "scene": 0,
        "scenes": [{"name": "Domik", "nodes": [0, 2, 3]}],
        "nodes": [
            {"name": "Steny", "mesh": 0, "children": [1], "translation": [-1.0, 0.0, 0.0],
             "rotation": [0.0, math.sin(turn / 2), 0.0, math.cos(turn / 2)]},
            {"name": "Krysha", "mesh": 1, "translation": [0.0, 2.5, 0.0]},
            {"name": "Gazon", "mesh": 2},
            {"name": "Derevo", "mesh": 3, "translation": [3.5, 0.0, 1.5],
             "scale": [1.0, 1.1, 1.0]},
        ],
        "meshes": meshes,
        "materials": [{"name": "Atlas", "pbrMetallicRoughness": {
            "baseColorTexture": {"index": 0}, "metallicFactor": 0.0}}],
        "textures": [{"source": 0, "sampler": 0}],
        "samplers": [{"wrapS": 10497, "wrapT": 10497}],
        "images": [{"uri": "ZyDomik.png"}],
        "buffers": [{"uri": "ZyDomik.bin", "byteLength": len(buf)}],
        "bufferViews": views,
        "accessors": accessors,
    }
    return doc, bytes(buf)


def glb(doc, buf, image):
    """The same model as one binary file, the image in the buffer."""
    doc = json.loads(json.dumps(doc))
    body = bytearray(buf)
    while len(body) % 4:
        body.append(0)
    doc["bufferViews"].append({"buffer": 0, "byteOffset": len(body), "byteLength": len(image)})
    body.extend(image)
    while len(body) % 4:
        body.append(0)
    doc["images"] = [{"bufferView": len(doc["bufferViews"]) - 1, "mimeType": "image/png"}]
    doc["buffers"] = [{"byteLength": len(body)}]
    text = json.dumps(doc, separators=(",", ":")).encode()
    while len(text) % 4:
        text += b" "
    chunks = (struct.pack("<II", len(text), 0x4E4F534A) + text +
              struct.pack("<II", len(body), 0x004E4942) + bytes(body))
    return struct.pack("<III", 0x46546C67, 2, 12 + len(chunks)) + chunks


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    doc, buf = build()
    image = png(texture())
    with open(os.path.join(out, "ZyDomik.png"), "wb") as f:
        f.write(image)
    with open(os.path.join(out, "ZyDomik.bin"), "wb") as f:
        f.write(buf)
    with open(os.path.join(out, "ZyDomik.gltf"), "w", newline="\n") as f:
        json.dump(doc, f, indent=1)
        f.write("\n")
    with open(os.path.join(out, "ZyDomik.glb"), "wb") as f:
        f.write(glb(doc, buf, image))


if __name__ == "__main__":
    main()
