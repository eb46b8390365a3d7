#!/usr/bin/env python3
"""Particles on screen (run under an X server): the game in particles/ packs
its sprites with pellora-spritepack and its effects with pellora-particlepack
(both next to PELLORA), runs with a fixed frame time, and saves screenshots at
two known passes (F11 from an events file). Each is compared with its PNG
reference in golden/: a pixel differs when a channel is off by more than 24,
and at most 0.5 % of the pixels may (a GPU and llvmpipe may round a few edges
otherwise). The run is made twice, and the two must agree to the byte.

Usage: particles.py PELLORA
With PELLORA_UPDATE_GOLDEN=1 the references are written from this run
instead; look at them before committing. A mismatch leaves the actual picture
beside the build's copy of the reference in golden-actual/ of the working
folder.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PASSES = (16, 40)
FRAME_TIME = "0.02"


def ppm(path, *tool):
    """The RGB pixels of an image through a netpbm or libjpeg tool."""
    data = subprocess.run(list(tool) + [path], capture_output=True, check=True).stdout
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + width * height * 3]


def different(a, b):
    """How many pixels of two pictures of the same size differ by more than 24."""
    count = 0
    for i in range(0, len(a), 3):
        if max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2])) > 24:
            count += 1
    return count


def shots(pellora, tmp, run):
    """Runs the game once; returns the screenshots in pass order."""
    game = os.path.join(tmp, "game%d" % run)
    shutil.copytree(os.path.join(HERE, "particles"), game)
    tools = os.path.dirname(pellora)
    art = os.path.join(game, "art")
    subprocess.run([os.path.join(tools, "pellora-spritepack"), "--no-trim",
                    os.path.join(art, "sprites.txt"), os.path.join(game, "pellora", "sprites.spr")],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run([os.path.join(tools, "pellora-particlepack"), os.path.join(art, "effects.txt"),
                    os.path.join(game, "pellora", "effects.par")], check=True,
                   stdout=subprocess.DEVNULL)
    events = os.path.join(tmp, "events")
    with open(events, "w") as f:
        for p in PASSES:
            f.write("%d key 122\n" % p)
    folder = os.path.join(tmp, "run%d" % run)
    os.makedirs(folder)
    env = dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
               XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"))
    done = subprocess.run([pellora, "--fixed-dt", FRAME_TIME, "--frames", str(PASSES[-1] + 5),
                           "--events", events, game], cwd=folder, env=env, capture_output=True,
                          text=True, timeout=60)
    written = [l.split(": ", 1)[1] for l in done.stdout.splitlines()
               if l.startswith("Screenshot written: ")]
    if done.returncode != 0 or len(written) != len(PASSES) or "rror" in done.stdout:
        raise RuntimeError("exit %d, screenshots %s\n%s" % (done.returncode, written,
                                                           done.stdout[-3000:]))
    return [os.path.join(folder, name) for name in written]


def main():
    pellora = os.path.abspath(sys.argv[1])
    update = bool(os.environ.get("PELLORA_UPDATE_GOLDEN"))
    failed = False
    with tempfile.TemporaryDirectory(prefix="pellora-particles-") as tmp:
        first = shots(pellora, tmp, 1)
        second = shots(pellora, tmp, 2)
        for p, a, b in zip(PASSES, first, second):
            with open(a, "rb") as fa, open(b, "rb") as fb:
                if fa.read() != fb.read():
                    print("FAIL: pass %d differs between two runs of the same game" % p)
                    failed = True
        for p, shot in zip(PASSES, first):
            golden = os.path.join(HERE, "golden", "particles_%d.png" % p)
            if update:
                with open(golden, "wb") as out:
                    out.write(subprocess.run(["sh", "-c", "djpeg -pnm '%s' | pnmtopng" % shot],
                                             capture_output=True, check=True).stdout)
                print("wrote %s" % golden)
                continue
            w, h, actual = ppm(shot, "djpeg", "-pnm")
            gw, gh, expected = ppm(golden, "pngtopnm")
            if (w, h) != (gw, gh):
                print("FAIL: pass %d is %dx%d, the reference %dx%d" % (p, w, h, gw, gh))
                failed = True
                continue
            count = different(actual, expected)
            if count > w * h // 200:
                keep = os.path.join(os.getcwd(), "golden-actual")
                os.makedirs(keep, exist_ok=True)
                shutil.copy(shot, os.path.join(keep, "particles_%d.actual.jpg" % p))
                shutil.copy(golden, os.path.join(keep, "particles_%d.expected.png" % p))
                print("FAIL: pass %d: %d of %d pixels differ (see %s)" % (p, count, w * h, keep))
                failed = True
            else:
                print("ok   pass %d matches its reference (%d pixels off)" % (p, count))
        for leftover in glob.glob(os.path.join(tmp, "run*", "*.jpg")):
            os.remove(leftover)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
