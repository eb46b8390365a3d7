#!/usr/bin/env python3
"""Screenshots in a real window (run under an X server): a plain "key" line
for F11 in an events file saves one as a real tap does, and a script error
saves one of the frame that shows the error screen, as the screen says.

Usage: screenshots.py PELLORA
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def region_difference(a, b):
    """Mean difference (0..1) of two JPEGs in the console's corner."""
    crop = ["-crop", "430x180+0+420", "+repage"]
    out = subprocess.run(["convert", "(", a] + crop + [")", "(", b] + crop +
                         [")", "-compose", "difference", "-composite", "-colorspace", "gray",
                          "-format", "%[fx:mean]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def main():
    pellora = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="pellora-shots-") as tmp:
        game = os.path.join(tmp, "game")
        shutil.copytree(os.path.join(HERE, "screenshots"), game)
        events = os.path.join(tmp, "events")
        with open(events, "w") as f:
            f.write("5 key 122\n")
        env = dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
                   XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"))
        done = subprocess.run([pellora, "--frames", "30", "--events", events, game], cwd=tmp, env=env,
                              capture_output=True, text=True, timeout=60)
        written = [l for l in done.stdout.splitlines() if l.startswith("Screenshot written: ")]
        shots = sorted(glob.glob(os.path.join(tmp, "Screen-*.jpg")))
        if done.returncode != 0 or len(written) != 2 or len(shots) != 2:
            print("FAIL: exit %d, %d lines, files %s\n%s" % (done.returncode, len(written), shots,
                                                             done.stdout[-3000:]))
            return 1
        # The F11 one comes first (pass 5), the error's after the tenth update.
        first, second = [os.path.join(tmp, l.split(": ", 1)[1]) for l in written]
        difference = region_difference(first, second)
        if difference < 0.02:
            print("FAIL: the error screenshot shows no more text than the first (%.4f)" % difference)
            return 1
        print("ok   F11 from an events line and the error screen saved (difference %.3f)" % difference)
    return 0


if __name__ == "__main__":
    sys.exit(main())
