#!/usr/bin/env python3
"""A game runs the same from its folder, from a zip archive of it (made by
`zip`, with the game's contents at the archive's root or the game folder
itself inside), from an archive with another name, and fused into a copy of
the runtime; an archive without a game is refused with a message that says
what was expected.

Usage: test_zipped_games.py PELLORA
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
GAME = os.path.join(HERE, "zipped_games", "game")
EXPECTED = [
    "Lua: helper says hello from the archive",
    "Lua: data ok true 1234",
    "Lua: scripts helper.lua,main.lua",
    "Lua: saved 42",
]


def run(cmd, tmp, timeout=60, window=False):
    env = dict(os.environ, HOME=os.path.join(tmp, "home"),
               XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"), TMPDIR=tmp,
               ALSOFT_DRIVERS="null")
    if window and "ASAN_OPTIONS" in env:
        # Mesa's software renderer leaks a few blocks the leak report cannot
        # name (see tests/window); every other sanitizer check stays on.
        env["ASAN_OPTIONS"] = "detect_leaks=0:abort_on_error=1"
    done = subprocess.run(cmd, cwd=tmp, env=env, capture_output=True, timeout=timeout)
    return done.returncode, done.stdout.decode(errors="replace") + done.stderr.decode(errors="replace")


def check(name, code, output, expect_code=0, lines=EXPECTED):
    lines_out = output.splitlines()
    missing = [line for line in lines if line not in lines_out]
    if code != expect_code or missing:
        print("FAIL %s: exit %d (wanted %d), missing %s\n%s" % (name, code, expect_code, missing,
                                                             output[-3000:]))
        return 1
    print("ok   %s" % name)
    return 0


def main():
    pellora = os.path.abspath(sys.argv[1])
    failures = 0
    with tempfile.TemporaryDirectory(prefix="pellora-zipped-") as tmp:
        folder = os.path.join(tmp, "mygame")
        shutil.copytree(GAME, folder)
        flat = os.path.join(tmp, "flat.zip")
        nested = os.path.join(tmp, "nested.zip")
        other = os.path.join(tmp, "release.pellora")
        empty = os.path.join(tmp, "empty.zip")
        subprocess.run(["zip", "-qr", flat, "."], cwd=folder, check=True)
        subprocess.run(["zip", "-qr", nested, "mygame"], cwd=tmp, check=True)
        shutil.copy(flat, other)
        subprocess.run(["zip", "-qr", empty, "pellora/data.bin"], cwd=folder, check=True)

        failures += check("folder", *run([pellora, "--headless", "--frames", "10", folder], tmp))
        for name, path in (("flat zip", flat), ("nested zip", nested), ("other name", other)):
            failures += check(name, *run([pellora, "--headless", "--frames", "10", path], tmp))
        code, out = run([pellora, "--headless", "--frames", "10", empty], tmp)
        failures += check("archive without a game", code, out, 1,
                          ["pellora: %s holds no pellora/main.lua: zip the game folder's contents "
                           "(pellora/main.lua at the archive's root), or the game folder itself" % empty])

        fused = os.path.join(tmp, "fused-game")
        code, out = run([pellora, "--fuse", nested, "-o", fused], tmp)
        failures += check("fusing", code, out, 0, [])
        failures += check("fused, with --frames", *run([fused, "--headless", "--frames", "10"], tmp))
        # A fused copy fused again keeps one runtime and the new game.
        refused = os.path.join(tmp, "refused-game")
        failures += check("fusing a fused copy", *run([fused, "--fuse", flat, "-o", refused], tmp),
                          0, [])
        failures += check("fused again", *run([refused, "--headless", "--frames", "10"], tmp))
        if shutil.which("Xvfb"):
            on_xvfb = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools",
                                   "on_xvfb.sh")
            code, out = run([on_xvfb, fused], tmp,
                            window=True)
            failures += check("fused, no arguments", code, out)
        code, out = run([pellora, "--fuse", empty, "-o", os.path.join(tmp, "nothing")], tmp)
        failures += check("fusing an archive without a game", code, out, 1, [])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
