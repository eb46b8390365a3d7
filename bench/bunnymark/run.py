#!/usr/bin/env python3
"""Bunnymark: Pellora against LOVE 11 on the same machine, alternating runs.

Run it under a virtual X server (bench/bunnymark/run.sh does):
    run.py [--pellora build/release/pellora] [--love love] [--repeat 3]

Prints, for N = 1,000, 5,000 and 20,000 sprites of 32 x 32 and of 1 x 1
pixels, the median wall and main-thread CPU milliseconds per frame of
Pellora drawing sprite states (renderSpriteState), Pellora drawing the image
by name (render2dTexture), LOVE drawing each sprite and LOVE through a
SpriteBatch, and the CPU ratios; then the bare loop in frames per second, the
start-up time to the first frame and the peak resident memory of an
empty game.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RESULT = re.compile(r"result frames=(\d+) bunnies=(\d+) ms_per_frame=([\d.]+) cpu_ms_per_frame=([\d.]+)")


def make_images(folder, packer=None):
    for ext in ("png", "tga"):
        subprocess.run(["convert", "-size", "32x32", "xc:none", "-fill", "#f4b6c8", "-draw",
                        "circle 16,16 16,3", "-fill", "#303030", "-draw", "circle 12,13 12,11",
                        "-draw", "circle 20,13 20,11", os.path.join(folder, "bunny32." + ext)],
                       check=True)
        subprocess.run(["convert", "-size", "1x1", "xc:#f4b6c8", os.path.join(folder, "bunny1." + ext)],
                       check=True)
    if packer:
        # Sprite packages with one animation "bunny" each, made by the packer.
        for size in ("32", "1"):
            frames = tempfile.mkdtemp()
            shutil.copy(os.path.join(folder, "bunny%s.png" % size), os.path.join(frames, "bunny.png"))
            subprocess.run([packer, "--no-trim", frames, os.path.join(folder, "bunny%s.spr" % size)],
                           check=True, stdout=subprocess.DEVNULL)
            shutil.rmtree(frames)


def run(cmd, env, cwd=None):
    """Runs one game; returns (result line values, seconds to first frame, peak RSS in KiB)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env, cwd=cwd,
                            text=True)
    first = None
    result = None
    for line in proc.stdout:
        if first is None and "first frame" in line:
            first = time.monotonic() - start
        m = RESULT.search(line)
        if m:
            result = (float(m.group(3)), float(m.group(4)))
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = status
    if result is None:
        raise RuntimeError("no result from %s" % " ".join(cmd))
    return result, first, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pellora", default=os.path.join(HERE, "..", "..", "build", "release", "pellora"))
    parser.add_argument("--love", default="love")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--counts", default="1000,5000,20000")
    args = parser.parse_args()
    pellora = os.path.abspath(args.pellora)

    work = tempfile.mkdtemp(prefix="bunnymark-")
    try:
        pgame = os.path.join(work, "pellora-game")
        lgame = os.path.join(work, "love-game")
        shutil.copytree(os.path.join(HERE, "pellora-game"), pgame)
        shutil.copytree(os.path.join(HERE, "love-game"), lgame)
        make_images(os.path.join(pgame, "pellora"),
                    os.path.join(os.path.dirname(pellora), "pellora-spritepack"))
        make_images(lgame)
        base = dict(os.environ, ALSOFT_DRIVERS="null", HOME=work,
                    XDG_DATA_HOME=os.path.join(work, "data"))

        def pellora_run(**extra):
            return run([pellora, pgame], dict(base, **extra), cwd=work)

        def love_run(**extra):
            return run([args.love, lgame], dict(base, **extra), cwd=work)

        print("Milliseconds per frame, wall (main-thread CPU); median of %d runs" % args.repeat)
        print("%-6s %-5s | %-21s | %-21s | %-21s | %-21s | %s" % (
            "N", "size", "Pellora sprites", "Pellora texture", "LOVE draw", "LOVE SpriteBatch",
            "CPU: sprites / LOVE draw, / batch"))
        for size in ("32", "1"):
            for n in [int(c) for c in args.counts.split(",")]:
                samples = {"p": [], "t": [], "d": [], "b": []}
                common = dict(BUNNIES=str(n), WARMUP="60", FRAMES="300")
                for _ in range(args.repeat):
                    samples["p"].append(pellora_run(MODE="sprites", BUNNY_IMAGE="bunny%s.tga" % size, **common)[0])
                    samples["t"].append(pellora_run(MODE="texture", BUNNY_IMAGE="bunny%s.tga" % size, **common)[0])
                    samples["d"].append(love_run(MODE="draw", BUNNY_IMAGE="bunny%s.png" % size, **common)[0])
                    samples["b"].append(love_run(MODE="batch", BUNNY_IMAGE="bunny%s.png" % size, **common)[0])
                med = {k: (statistics.median(s[0] for s in v), statistics.median(s[1] for s in v))
                       for k, v in samples.items()}
                print("%-6d %-5s | %8.2f (%8.2f)   | %8.2f (%8.2f)   | %8.2f (%8.2f)   | %8.2f (%8.2f)   | %.2f / %.2f" % (
                    n, size + "px", med["p"][0], med["p"][1], med["t"][0], med["t"][1],
                    med["d"][0], med["d"][1], med["b"][0], med["b"][1],
                    med["p"][1] / max(med["d"][1], 1e-9), med["p"][1] / max(med["b"][1], 1e-9)),
                      flush=True)

        # The bare loop, start-up and memory of an empty game.
        bare = {"Pellora": [], "LOVE": []}
        starts = {"Pellora": [], "LOVE": []}
        rss = {"Pellora": [], "LOVE": []}
        for _ in range(max(args.repeat, 3)):
            for name, fn in (("Pellora", pellora_run), ("LOVE", love_run)):
                (ms, _), first, peak = fn(MODE="empty", BUNNIES="0", WARMUP="60", FRAMES="3000")
                bare[name].append(1000.0 / ms)
                starts[name].append(first * 1000)
                rss[name].append(peak / 1024)
        for name in ("Pellora", "LOVE"):
            print("%-8s bare loop %8.0f fps | start-up to first frame %6.0f ms | peak RSS %6.1f MiB" % (
                name, statistics.median(bare[name]), statistics.median(starts[name]),
                statistics.median(rss[name])))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
