#!/usr/bin/env python3
"""Binding calls: Pellora against LOVE 11 on the same machine, alternating runs.

Run it under a virtual X server (bench/bindings/run.sh does):
    run.py [--pellora build/release/pellora] [--love love] [--repeat 3]
           [--calls 1000000] [--draws 10000] [--small-draws 1000] [--frames 100]

Both games time the same loops on the main thread's CPU clock, an empty
loop of the same shape subtracted: reading 1,000 body positions back from a
physics world; drawing rectangles and a small image inside the render
callback, --draws a frame (Pellora's batch fills and is drawn inside the
loop) and --small-draws a frame (it is not); asking for a key, the mouse
position and the time; and whole frames of --draws rectangles or images
against empty frames, from one render callback to the next, so the batch's
draws count wherever a runtime makes them. Prints the median nanoseconds per call in each
runtime and the ratio Pellora / LOVE, with the spread over the runs, and
the median cost of one physics step.
"""
import argparse
import os
import re
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RESULT = re.compile(r"result loop=(\w+) (\w+)=([-\d.]+)")
SCENE = re.compile(r"result loop=physics_scene bodies=(\d+) moved=(\d+) awake=(\d+)")

# (key, what Pellora calls, what LOVE calls, LOVE's loop if not the same key)
ROWS = [
    ("physics_read", "w:getEntityPosition(id)", "body:getPosition()", None),
    ("rect", "renderRectangle", "rectangle, setColor a frame", None),
    ("rect", "renderRectangle", "setColor + rectangle", "rect_color"),
    ("texture", "render2dTexture", "draw(image, x, y)", None),
    ("rect_small", "renderRectangle", "rectangle, setColor a frame", None),
    ("rect_small", "renderRectangle", "setColor + rectangle", "rect_color_small"),
    ("texture_small", "render2dTexture", "draw(image, x, y)", None),
    ("key", "kelvo.isKeyPressed(0x41)", "love.keyboard.isDown(\"a\")", None),
    ("mouse", "kelvo.getMousePosition", "love.mouse.getPosition", None),
    ("time", "kelvo.getSeconds", "love.timer.getTime", None),
]

SIDE = 4
PIXEL = (240, 240, 240, 255)  # r, g, b, a


def write_tga(path):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, SIDE, SIDE, 32, 0x28)
    r, g, b, a = PIXEL
    with open(path, "wb") as f:
        f.write(header + bytes((b, g, r, a)) * (SIDE * SIDE))


def write_png(path):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    rows = b"".join(b"\0" + bytes(PIXEL) * SIDE for _ in range(SIDE))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIDE, SIDE, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def run(cmd, env, cwd, timeout):
    """Runs one game; returns ({loop: value}, (bodies, moved, awake))."""
    try:
        out = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env, cwd=cwd,
                             text=True, timeout=timeout).stdout
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        raise RuntimeError("%s did not finish in %d s:\n%s" % (cmd[0], timeout, out[-2000:]))
    values = {m.group(1): float(m.group(3)) for m in RESULT.finditer(out) if m.group(1) != "physics_scene"}
    scene = SCENE.search(out)
    if "done" not in out.split() or not scene:
        raise RuntimeError("%s gave no complete result:\n%s" % (cmd[0], out[-2000:]))
    return values, tuple(int(g) for g in scene.groups())


def spread(values):
    return "%.1f-%.1f" % (min(values), max(values))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pellora", default=os.path.join(HERE, "..", "..", "build", "release", "pellora"))
    parser.add_argument("--love", default="love")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--calls", type=int, default=1000000)
    parser.add_argument("--draws", type=int, default=10000)
    parser.add_argument("--small-draws", type=int, default=1000)
    parser.add_argument("--frames", type=int, default=100)
    parser.add_argument("--timeout", type=int, default=300)
    args = parser.parse_args()
    pellora = os.path.abspath(args.pellora)

    work = tempfile.mkdtemp(prefix="bindings-")
    try:
        pgame = os.path.join(work, "pellora-game")
        lgame = os.path.join(work, "love-game")
        shutil.copytree(os.path.join(HERE, "pellora-game"), pgame)
        shutil.copytree(os.path.join(HERE, "love-game"), lgame)
        write_tga(os.path.join(pgame, "pellora", "dot.tga"))
        write_png(os.path.join(lgame, "dot.png"))
        env = dict(os.environ, ALSOFT_DRIVERS="null", HOME=work, XDG_DATA_HOME=os.path.join(work, "data"),
                   CALLS=str(args.calls), DRAWS=str(args.draws),
                   SMALL_DRAWS=str(args.small_draws), FRAMES=str(args.frames))

        samples = {"Pellora": [], "LOVE": []}
        scenes = {"Pellora": [], "LOVE": []}
        for i in range(args.repeat):
            for name, cmd in (("Pellora", [pellora, pgame]), ("LOVE", [args.love, lgame])):
                values, scene = run(cmd, env, work, args.timeout)
                samples[name].append(values)
                scenes[name].append(scene)
            print("run %d of %d done" % (i + 1, args.repeat), file=sys.stderr, flush=True)

        def series(name, key):
            return [s[key] for s in samples[name]]

        print("Binding calls, ns per call on the main thread's CPU clock, empty loop subtracted;")
        print("median of %d alternating runs (lowest-highest run in brackets)" % args.repeat)
        print("%-34s %-34s %-22s %-22s %s" % ("Pellora", "LOVE", "Pellora ns", "LOVE ns", "Pellora / LOVE"))
        for key, pcall, lcall, lkey in ROWS:
            if key.startswith(("rect", "texture")):
                count = args.small_draws if key.endswith("_small") else args.draws
                pcall = "%s, %d a frame" % (pcall, count)
            p, l = series("Pellora", key), series("LOVE", lkey or key)
            pm, lm = statistics.median(p), statistics.median(l)
            print("%-34s %-34s %7.1f (%-12s) %7.1f (%-12s) %.2f" % (
                pcall, lcall, pm, spread(p), lm, spread(l), pm / max(lm, 1e-9)))
        # Whole frames: what a draw call costs with everything it causes.
        for key, pcall, lcall in (("frame_rect", "renderRectangle", "rectangle, setColor a frame"),
                                  ("frame_texture", "render2dTexture", "draw(image, x, y)")):
            def per_call(name):
                return [(s[key] - s["frame_empty"]) * 1000.0 / args.draws for s in samples[name]]
            p, l = per_call("Pellora"), per_call("LOVE")
            pm, lm = statistics.median(p), statistics.median(l)
            print("%-34s %-34s %7.1f (%-12s) %7.1f (%-12s) %.2f" % (
                "%s, whole frame of %d" % (pcall, args.draws), lcall, pm, spread(p), lm, spread(l),
                pm / max(lm, 1e-9)))
        p, l = series("Pellora", "physics_step"), series("LOVE", "physics_step")
        pm, lm = statistics.median(p), statistics.median(l)
        print("%-69s %7.3f ms (%.3f-%.3f) %7.3f ms (%.3f-%.3f) %.2f" % (
            "one physics step, 1,000 boxes, 1/60 s, 10 + 10 iterations", pm, min(p), max(p), lm, min(l),
            max(l), pm / max(lm, 1e-9)))
        for name in ("Pellora", "LOVE"):
            bodies, moved, awake = scenes[name][0]
            print("%-8s scene after 30 steps: %d bodies, %d moved, %d awake" % (name, bodies, moved, awake))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
