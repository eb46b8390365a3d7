#!/usr/bin/env python3
"""Writes the shader example's 3D art: a (2, 3) torus knot as an OBJ file with
normals and texture coordinates, and its striped texture as a PNG.

    make_art.py OUTPUT_FOLDER
"""
import math
import pathlib
import struct
import sys
import zlib

SEGMENTS, SIDES = 240, 24     # along the knot, around the tube
P, Q = 2, 3                   # the knot winds P times around, Q times through
RADIUS, TUBE = 1.0, 0.28


def knot(t):
    r = RADIUS * (2.0 + math.cos(Q * t)) / 3.0
    return (r * math.cos(P * t), r * math.sin(P * t), -RADIUS * math.sin(Q * t) / 3.0)


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(a):
    n = math.sqrt(sum(x * x for x in a)) or 1.0
    return tuple(x / n for x in a)


def write_obj(path):
    lines = ["# A (2, 3) torus knot, made by make_art.py"]
    for i in range(SEGMENTS + 1):
        t = 2 * math.pi * i / SEGMENTS
        centre = knot(t)
        ahead = unit(sub(knot(t + 1e-3), knot(t - 1e-3)))
        # A frame around the curve: towards the knot's middle, and across.
        side = unit(cross(ahead, unit(sub(centre, (0.0, 0.0, 0.0))) if any(centre) else (0, 0, 1)))
        normal_base = unit(cross(side, ahead))
        for j in range(SIDES + 1):
            a = 2 * math.pi * j / SIDES
            n = tuple(math.cos(a) * x + math.sin(a) * y for x, y in zip(normal_base, side))
            p = tuple(c + TUBE * k for c, k in zip(centre, n))
            lines.append("v %.5f %.5f %.5f" % p)
            lines.append("vn %.5f %.5f %.5f" % n)
            lines.append("vt %.5f %.5f" % (i / SEGMENTS * 8.0, j / SIDES))
    row = SIDES + 1
    for i in range(SEGMENTS):
        for j in range(SIDES):
            a = i * row + j + 1
            b = (i + 1) * row + j + 1
            c, d = b + 1, a + 1
            # Counter-clockwise seen from outside, as OBJ files have it.
            lines.append("f %d/%d/%d %d/%d/%d %d/%d/%d" % (a, a, a, c, c, c, b, b, b))
            lines.append("f %d/%d/%d %d/%d/%d %d/%d/%d" % (a, a, a, d, d, d, c, c, c))
    path.write_text("\n".join(lines) + "\n")


def write_png(path, width, height, pixel):
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y))
                    for y in range(height))
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    path.write_bytes(b"\x89PNG\r\n\x1a\n" +
                     chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                     chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def stripes(x, y):
    # Warm to cool across the texture, a bright band along the tube and dark
    # seams between the bands.
    u, v = x / 255.0, y / 63.0
    warm, cool = (255, 150, 60), (90, 120, 255)
    base = [w + (c - w) * (0.5 - 0.5 * math.cos(2 * math.pi * u)) for w, c in zip(warm, cool)]
    glow = 0.75 + 0.25 * math.cos(2 * math.pi * v)
    seam = 0.4 if (x % 64) < 3 else 1.0
    return tuple(int(max(0, min(255, c * glow * seam))) for c in base)


def main():
    out = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    write_obj(out / "knot.obj")
    write_png(out / "knot.png", 256, 64, stripes)


if __name__ == "__main__":
    main()
