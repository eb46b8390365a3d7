#!/usr/bin/env python3
"""Compares two folders of PPM frames of the same scenes: every pixel within
a small tolerance but for a few edge pixels, and the known pixels exact.
Usage: compare_frames.py EXPECTED_DIR ACTUAL_DIR PROBES_JSON"""
import json
import os
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    # Four header fields, each ended by one white-space byte; the pixels
    # follow (and may start with bytes that look like white space).
    fields, at = [], 0
    while len(fields) < 4:
        end = at
        while data[end:end + 1] not in (b" ", b"\n", b"\t", b"\r"):
            end += 1
        if end > at:
            fields.append(data[at:end])
        at = end + 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError(path + " is not an 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at:at + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError(path + " is cut short")
    return width, height, pixels


def compare(expected_dir, actual_dir, probes):
    failures = []
    for scene, points in probes.items():
        try:
            ew, eh, expected = read_ppm(os.path.join(expected_dir, scene + ".ppm"))
            aw, ah, actual = read_ppm(os.path.join(actual_dir, scene + ".ppm"))
        except (OSError, ValueError, IndexError) as error:
            failures.append("%s: %s" % (scene, error))
            continue
        if (ew, eh) != (aw, ah):
            failures.append("%s: %dx%d, expected %dx%d" % (scene, aw, ah, ew, eh))
            continue
        for x, y, r, g, b in points:
            i = (y * aw + x) * 3
            for name, pixels in (("expected", expected), ("actual", actual)):
                got = tuple(pixels[i:i + 3])
                if any(abs(got[c] - (r, g, b)[c]) > 1 for c in range(3)):
                    failures.append("%s: %s pixel (%d, %d) is %s, not %s" %
                                    (scene, name, x, y, got, (r, g, b)))
        different = 0
        largest = 0
        for i in range(0, len(actual), 3):
            d = max(abs(actual[i + c] - expected[i + c]) for c in range(3))
            largest = max(largest, d)
            if d > 24:
                different += 1
        # Rasterisers may round a few edge pixels differently.
        allowed = aw * ah // 200
        print("%s: %d pixels differ by more than 24 (largest difference %d), %d allowed" %
              (scene, different, largest, allowed))
        if different > allowed:
            failures.append("%s: %d pixels differ" % (scene, different))
    return failures


if __name__ == "__main__":
    failures = compare(sys.argv[1], sys.argv[2], json.load(open(sys.argv[3])))
    for line in failures:
        print("FAILED", line)
    sys.exit(1 if failures else 0)
