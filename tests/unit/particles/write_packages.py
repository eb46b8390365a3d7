#!/usr/bin/env python3
"""A second writer of particle packages, independent of the packer: it lays
out each definition record field by field with struct, following the file
description (little-endian 32-bit ints and floats, zero-ended strings, the
fields each version adds), so the runtime's reader is checked against the
format itself and not only against our own writer.

Usage: write_packages.py FOLDER [VERSION ...]
Writes v2.par, v5.par, v7.par and v8.par (or the versions given) into
FOLDER, each holding the definitions of DEFINITIONS below that the version
can express, and cut-v*.par, each cut short in its last definition.
"""
import os
import struct
import sys

VERSIONS = (2, 5, 7, 8)

# Curves: (amplitude, frequency per second, phase, type, clamp). Before
# version 3 only the amplitude is stored, as an int.
FLAT = (0.0, 1.0, 0.0, 0, 0)


def definition(**fields):
    d = dict(sprites="dot", sounds="", speedCurve=FLAT, curveX=FLAT, curveY=FLAT, curveZ=FLAT,
             flagA=0, shadow=0, normalizeSpeed=1, angleZMin=0, angleYMin=0, speedMin=0,
             angleZMax=0, angleYMax=0, speedMax=0, inheritFactor=0.0, bounceFactor=1.0,
             maxBounces=-1, drawScale=1.0, lifeMin=1000, lifeMax=0, skipFirstEmission=0,
             mirrorByDirection=0, faceDirection=0, dieWithAnimation=0,
             colorStart=(255, 255, 255, 255), colorEnd=(255, 255, 255, 255), scaleStart=1.0,
             scaleEnd=1.0, deathList=[], rotationSpeed=0.0, emitMin=0, emitMax=0, burstMin=0,
             burstMax=0, intervalMin=0, intervalMax=0, maxEmissions=0, offsetMin=(0.0, 0.0, 0.0),
             offsetMax=(0.0, 0.0, 0.0), children=[], level=0, since=0)
    d.update(fields)
    return d


# The edge cases the tests name, each with the oldest version that can say it.
DEFINITIONS = [
    ("child", definition(lifeMin=10000)),
    ("constant", definition(curveX=(40.0, 1.0, 0.0, 0, 0), curveY=(300.0, 1.0, 0.0, 0, 0),
                            lifeMin=10000)),
    ("halfSecond", definition(lifeMin=500, lifeMax=0)),
    ("single", definition(emitMin=1, emitMax=1, burstMin=100, burstMax=200, intervalMin=250,
                          children=["child"], lifeMin=10000)),
    ("burster", definition(emitMin=5, emitMax=5, burstMin=500, burstMax=501, intervalMin=2000,
                           children=["child"], lifeMin=10000)),
    ("triangle", definition(curveX=(1.0, 1.0, 0.0, 3, 0), lifeMin=10000, since=3)),
    ("drowning", definition(lifeMin=100, deathList=["@Water", "splash", "@Lava", "smoke"],
                            since=4)),
    ("splash", definition(lifeMin=10000)),
    ("smoke", definition(lifeMin=10000)),
    ("fine", definition(level=3, lifeMin=10000, since=7)),
    ("coarse", definition(emitMin=1, emitMax=1, intervalMin=125, children=["fine"],
                          lifeMin=10000, since=7)),
    ("scaled", definition(drawScale=2.5, shadow=1, normalizeSpeed=0, sounds="hit.ogg/thud.ogg",
                          since=8)),
]


def write_package(version, definitions):
    out = bytearray()

    def i32(v):
        out.extend(struct.pack("<i", v))

    def f32(v):
        out.extend(struct.pack("<f", v))

    def text(s):
        out.extend(s.encode("utf-8") + b"\0")

    def curve(c):
        amplitude, frequency, phase, kind, clamp = c
        if version < 3:
            i32(int(amplitude))
        else:
            f32(amplitude)
            f32(frequency * 1000.0)  # stored per second times 1000
            f32(phase * 1000.0)
            i32(kind)
            i32(clamp)

    i32(version)
    i32(len(definitions))
    for name, d in definitions:
        text(name)
        text(d["sprites"])
        if version > 5:
            text(d["sounds"])
        for key in ("speedCurve", "curveX", "curveY", "curveZ"):
            curve(d[key])
        if version >= 4:
            i32(d["flagA"])
        if version >= 5:
            i32(d["shadow"])
            i32(d["normalizeSpeed"])
        if version > 1:
            for key in ("angleZMin", "angleYMin", "speedMin", "angleZMax", "angleYMax", "speedMax"):
                i32(d[key])
            f32(d["inheritFactor"])
        f32(d["bounceFactor"])
        i32(d["maxBounces"])
        if version >= 8:
            f32(d["drawScale"])
        i32(d["lifeMin"])
        if version >= 3:
            i32(d["lifeMax"])
            for key in ("skipFirstEmission", "mirrorByDirection", "faceDirection"):
                i32(d[key])
        i32(d["dieWithAnimation"])
        for v in d["colorStart"] + d["colorEnd"]:
            i32(v)
        f32(d["scaleStart"])
        f32(d["scaleEnd"])
        if version >= 4:
            i32(len(d["deathList"]))
            for s in d["deathList"]:
                text(s)
        else:
            text(d["deathList"][0] if d["deathList"] else "")
        f32(d["rotationSpeed"])
        for key in ("emitMin", "emitMax", "burstMin", "burstMax", "intervalMin", "intervalMax",
                    "maxEmissions"):
            i32(d[key])
        for v in d["offsetMin"] + d["offsetMax"]:
            f32(v)
        i32(len(d["children"]))
        for s in d["children"]:
            text(s)
        if version >= 7:
            i32(d["level"])
    return bytes(out)


def main():
    folder = sys.argv[1]
    versions = [int(v) for v in sys.argv[2:]] or VERSIONS
    os.makedirs(folder, exist_ok=True)
    for version in versions:
        chosen = [(n, d) for n, d in DEFINITIONS if d["since"] <= version]
        data = write_package(version, chosen)
        with open(os.path.join(folder, "v%d.par" % version), "wb") as f:
            f.write(data)
        with open(os.path.join(folder, "cut-v%d.par" % version), "wb") as f:
            f.write(data[:-3])
    return 0


if __name__ == "__main__":
    sys.exit(main())
