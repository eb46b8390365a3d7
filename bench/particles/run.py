#!/usr/bin/env python3
"""Particles: Pellora's particle host against LOVE 11's ParticleSystem on the
same machine, alternating runs.

Run it under a virtual X server (bench/particles/run.sh does):
    run.py [--pellora build/release/pellora] [--love love] [--repeat 3]
           [--counts 10000] [--warmup 200] [--frames 300]

Both games keep N particles of the same 8 x 8 picture alive, moving, turning,
shrinking and fading (see the games' main.lua), and print the wall and the
main thread's CPU milliseconds per frame over the measured frames, and how
many particles lived on average. Prints the medians and the CPU ratio.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESULT = re.compile(r"result frames=(\d+) particles=(\d+) ms_per_frame=([\d.]+) "
                    r"cpu_ms_per_frame=([\d.]+) live=(\d+)")


def prepare(work, pellora):
    """The two games in `work`, with the picture and the packages made."""
    pgame = os.path.join(work, "pellora-game")
    lgame = os.path.join(work, "love-game")
    shutil.copytree(os.path.join(HERE, "pellora-game"), pgame)
    shutil.copytree(os.path.join(HERE, "love-game"), lgame)
    dot = os.path.join(lgame, "dot.png")
    subprocess.run(["convert", "-size", "8x8", "xc:none", "-fill", "#ffe8a0", "-draw",
                    "circle 3.5,3.5 3.5,0.5", dot], check=True)
    frames = os.path.join(work, "frames")
    os.makedirs(frames)
    shutil.copy(dot, os.path.join(frames, "dot.png"))
    tools = os.path.dirname(pellora)
    subprocess.run([os.path.join(tools, "pellora-spritepack"), "--no-trim", "--hotspot", "4,4",
                    frames, os.path.join(pgame, "pellora", "dot.spr")], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run([os.path.join(tools, "pellora-particlepack"), os.path.join(pgame, "effects.txt"),
                    os.path.join(pgame, "pellora", "effects.par")], check=True,
                   stdout=subprocess.DEVNULL)
    return pgame, lgame


def run(cmd, env, cwd):
    """One game's (wall ms, CPU ms, mean live particles) per frame."""
    done = subprocess.run(cmd, capture_output=True, text=True, env=env, cwd=cwd, timeout=600)
    m = RESULT.search(done.stdout)
    if not m:
        raise RuntimeError("no result from %s:\n%s" % (" ".join(cmd), done.stdout[-2000:]))
    return float(m.group(3)), float(m.group(4)), int(m.group(5))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pellora", default=os.path.join(HERE, "..", "..", "build", "release", "pellora"))
    parser.add_argument("--love", default="love")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--counts", default="10000")
    parser.add_argument("--warmup", type=int, default=200)
    parser.add_argument("--frames", type=int, default=300)
    args = parser.parse_args()
    pellora = os.path.abspath(args.pellora)

    work = tempfile.mkdtemp(prefix="particles-bench-")
    try:
        pgame, lgame = prepare(work, pellora)
        base = dict(os.environ, ALSOFT_DRIVERS="null", HOME=work,
                    XDG_DATA_HOME=os.path.join(work, "data"))
        print("Milliseconds per frame, main-thread CPU (wall), mean live particles;"
              " median of %d alternating runs" % args.repeat)
        for n in [int(c) for c in args.counts.split(",")]:
            env = dict(base, PARTICLES=str(n), WARMUP=str(args.warmup), FRAMES=str(args.frames))
            samples = {"Pellora": [], "LOVE": []}
            for _ in range(args.repeat):
                samples["Pellora"].append(run([pellora, pgame], env, work))
                samples["LOVE"].append(run([args.love, lgame], env, work))
            med = {k: [statistics.median(s[i] for s in v) for i in range(3)]
                   for k, v in samples.items()}
            for name in ("Pellora", "LOVE"):
                runs = ", ".join("%.2f" % s[1] for s in samples[name])
                print("N=%-6d %-8s CPU %6.2f ms (wall %6.2f ms), %5d live; CPU of each run: %s" % (
                    n, name, med[name][1], med[name][0], med[name][2], runs))
            print("N=%-6d CPU Pellora / LOVE: %.2f" % (n, med["Pellora"][1] / max(med["LOVE"][1], 1e-9)),
                  flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
