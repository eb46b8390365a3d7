#!/usr/bin/env python3
"""The GUI gallery in a real window (run under an X server): games/gui-gallery
with the default skin and with the skin's flat colours (--flat) is saved at a
known pass (F11 from an events file) and compared with its PNG reference in
golden/ (a pixel differs when a channel is off by more than 24; at most 0.5 %
may). Then a real mouse click from xdotool on the gallery's Play button must
reach the button's onClick.

Usage: gui_gallery.py PELLORA GALLERY_FOLDER
With PELLORA_UPDATE_GOLDEN=1 the references are written from this run
instead; look at them before committing.
"""
import os
import queue
import shutil
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from particles import different, ppm  # noqa: E402

SHOT_PASS = 10
# The Play button: the first of the row laid out at (24, 470), 150 x 36.
PLAY = (99, 488)


def environment(tmp):
    return dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
                XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"))


def shot(pellora, game, tmp, mode):
    folder = os.path.join(tmp, mode)
    os.makedirs(folder)
    events = os.path.join(folder, "events")
    with open(events, "w") as f:
        f.write("%d key 122\n" % SHOT_PASS)
    args = [pellora, "--frames", str(SHOT_PASS + 4), "--events", events, game]
    if mode == "flat":
        args.append("--flat")
    done = subprocess.run(args, cwd=folder, env=environment(tmp), capture_output=True, text=True,
                          timeout=60)
    written = [l.split(": ", 1)[1] for l in done.stdout.splitlines()
               if l.startswith("Screenshot written: ")]
    if done.returncode != 0 or len(written) != 1 or "rror" in done.stdout:
        raise RuntimeError("%s: exit %d, screenshots %s\n%s" % (mode, done.returncode, written,
                                                               done.stdout[-3000:]))
    return os.path.join(folder, written[0])


def compare(mode, picture):
    golden = os.path.join(HERE, "golden", "gui_gallery_%s.png" % mode)
    if os.environ.get("PELLORA_UPDATE_GOLDEN"):
        with open(golden, "wb") as out:
            out.write(subprocess.run(["sh", "-c", "djpeg -pnm '%s' | pnmtopng" % picture],
                                     capture_output=True, check=True).stdout)
        print("wrote %s" % golden)
        return True
    w, h, actual = ppm(picture, "djpeg", "-pnm")
    gw, gh, expected = ppm(golden, "pngtopnm")
    if (w, h) != (gw, gh):
        print("FAIL: %s is %dx%d, the reference %dx%d" % (mode, w, h, gw, gh))
        return False
    count = different(actual, expected)
    if count > w * h // 200:
        keep = os.path.join(os.getcwd(), "golden-actual")
        os.makedirs(keep, exist_ok=True)
        shutil.copy(picture, os.path.join(keep, "gui_gallery_%s.actual.jpg" % mode))
        print("FAIL: %s: %d of %d pixels differ (see %s)" % (mode, count, w * h, keep))
        return False
    print("ok   %s matches its reference (%d pixels off)" % (mode, count))
    return True


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True,
                          timeout=30).stdout.strip()


def real_click(pellora, game, tmp):
    proc = subprocess.Popen([pellora, game], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            env=environment(tmp), text=True, cwd=tmp)
    lines, seen = queue.Queue(), []
    threading.Thread(target=lambda: [lines.put(l.rstrip("\n")) for l in proc.stdout],
                     daemon=True).start()

    def wait_for(text, timeout=20):
        end = time.time() + timeout
        while time.time() < end:
            try:
                line = lines.get(timeout=0.2)
            except queue.Empty:
                continue
            seen.append(line)
            if line == text:
                return
        raise AssertionError("never saw %r; output so far:\n%s" % (text, "\n".join(seen[-40:])))

    try:
        wait_for("Loaded sprite package: " + os.path.join(game, "pellora", "title.fnt"))
        window = xdotool("search", "--sync", "--name", "^Pellora").split()[0]
        xdotool("mousemove", "--window", window, str(PLAY[0]), str(PLAY[1]))
        wait_for("Lua: mouse over play")
        xdotool("click", "1")
        wait_for("Lua: play clicked")
        print("ok   a real click on Play reached its onClick")
        return True
    except AssertionError as e:
        print("FAIL:", e)
        return False
    finally:
        proc.terminate()
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()


def main():
    pellora = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="pellora-gallery-") as tmp:
        game = os.path.join(tmp, "gui-gallery")
        shutil.copytree(os.path.abspath(sys.argv[2]), game,
                        ignore=shutil.ignore_patterns("art"))
        ok = all([compare(mode, shot(pellora, game, tmp, mode)) for mode in ("skin", "flat")])
        ok = real_click(pellora, game, tmp) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
