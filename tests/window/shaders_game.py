#!/usr/bin/env python3
"""The shader example plays in a real window (run this under an X server):
its shader builds, its model loads, no script error shows, and a screenshot
has the tube's picture on the left and the lit knot on the right.

Usage: shaders_game.py PELLORA_EXECUTABLE GAME_FOLDER
"""
import glob
import os
import subprocess
import sys
import tempfile


def mean(path, box):
    out = subprocess.run(["convert", path, "-crop", box, "+repage", "-colorspace", "gray",
                          "-format", "%[fx:mean] %[fx:standard_deviation]", "info:"],
                         capture_output=True, text=True, check=True).stdout.split()
    return float(out[0]), float(out[1])


def main():
    pellora, game = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory(prefix="pellora-shaders-game-") as tmp:
        events = os.path.join(tmp, "events")
        with open(events, "w") as f:
            f.write("80 key 122\n")
        env = dict(os.environ, HOME=tmp, ALSOFT_DRIVERS="null",
                   XDG_DATA_HOME=os.path.join(tmp, "share"))
        done = subprocess.run([pellora, "--frames", "90", "--fixed-dt", "0.02", "--events", events,
                               game], cwd=tmp, env=env, capture_output=True, text=True,
                              timeout=60)
        shots = glob.glob(os.path.join(tmp, "Screen-*.jpg"))
        bad = [l for l in done.stdout.splitlines()
               if "error" in l.lower() and "OpenAL" not in l or "did not build" in l or
               "is missing" in l or "has no renderer" in l]
        if done.returncode != 0 or len(shots) != 1 or bad:
            print("FAIL: exit %d, screenshots %s, lines %s\n%s" % (done.returncode, shots, bad,
                                                                   done.stdout[-3000:]))
            return 1
        # The tube's picture varies; the knot stands out from the dark backdrop.
        tube = mean(shots[0], "300x200+80+160")
        knot = mean(shots[0], "120x120+550+210")
        backdrop = mean(shots[0], "60x60+720+500")
        if tube[1] < 0.05 or knot[0] < backdrop[0] + 0.15:
            print("FAIL: tube %.3f +- %.3f, knot %.3f, backdrop %.3f" %
                  (tube[0], tube[1], knot[0], backdrop[0]))
            return 1
        print("ok   tube %.2f +- %.2f, knot %.2f over a backdrop of %.2f" %
              (tube[0], tube[1], knot[0], backdrop[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
