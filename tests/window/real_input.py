#!/usr/bin/env python3
"""A person's input reaches the script (and F11 saves a screenshot): a real window under an X server (run
this under xvfb-run), driven from outside with xdotool, whose script prints
what it received.

Usage: real_input.py PELLORA_EXECUTABLE
"""
import os
import queue
import subprocess
import sys
import tempfile
import threading
import time

MAIN_LUA = r"""
hook.add("gameInit", function() print("ready") end)
hook.add("keyPress", function(k) print("keyPress " .. k) end)
hook.add("keyCharacter", function(c) print("keyCharacter " .. c) end)
hook.add("mouseButton", function(x, y, b, n) print(string.format("mouseButton %d %d %d %d", x, y, b, n)) end)
hook.add("gameClose", function() print("gameClose") end)
"""

CONFIG = "settings\n{\n screenWidth = 640;\n screenHeight = 480;\n driver = OpenGL;\n}\n"


def xdotool(*args):
    return subprocess.run(["xdotool", *args], check=True, capture_output=True, text=True,
                          timeout=30).stdout.strip()


def main():
    exe = sys.argv[1]
    with tempfile.TemporaryDirectory(prefix="pellora-window-") as game:
        os.makedirs(os.path.join(game, "pellora"))
        with open(os.path.join(game, "pellora", "main.lua"), "w") as f:
            f.write(MAIN_LUA)
        with open(os.path.join(game, "pellora.cfg"), "w") as f:
            f.write(CONFIG)
        env = dict(os.environ, HOME=game, XDG_DATA_HOME=os.path.join(game, "data"))
        proc = subprocess.Popen([exe, game], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                env=env, text=True, cwd=game)
        lines = queue.Queue()
        seen = []
        threading.Thread(target=lambda: [lines.put(l.rstrip("\n")) for l in proc.stdout],
                         daemon=True).start()

        def wait_for(text, timeout=15, prefix=False):
            end = time.time() + timeout
            while time.time() < end:
                try:
                    line = lines.get(timeout=0.2)
                except queue.Empty:
                    continue
                seen.append(line)
                if line == text or (prefix and line.startswith(text)):
                    return line
            raise AssertionError("never saw %r; output so far:\n%s" % (text, "\n".join(seen)))

        try:
            wait_for("Lua: ready")
            window = xdotool("search", "--sync", "--name", "^Pellora v1.1.0").split()[0]
            # Without a window manager the keyboard follows the pointer.
            xdotool("mousemove", "--window", window, "320", "240")
            time.sleep(0.3)
            xdotool("key", "a")
            wait_for("Lua: keyPress 65")
            wait_for("Lua: keyCharacter 97")
            xdotool("key", "shift+b")
            wait_for("Lua: keyPress 66")
            wait_for("Lua: keyCharacter 66")
            xdotool("key", "F5", "Left", "KP_5")
            wait_for("Lua: keyPress 116")
            wait_for("Lua: keyPress 37")
            # F11 saves the finished frame into the working folder.
            xdotool("key", "F11")
            line = wait_for("Screenshot written: Screen-", prefix=True)
            shot = os.path.join(game, line.split(": ", 1)[1])
            info = subprocess.run(["identify", "-format", "%w %h %Q", shot], check=True,
                                  capture_output=True, text=True).stdout
            if info != "640 480 100":
                raise AssertionError("screenshot is %r, expected 640 x 480 at quality 100" % info)
            xdotool("mousemove", "--window", window, "100", "50", "click", "1")
            wait_for("Lua: mouseButton 100 50 0 1")
            xdotool("click", "--repeat", "2", "--delay", "40", "1")
            wait_for("Lua: mouseButton 100 50 0 2")
            xdotool("click", "3")
            wait_for("Lua: mouseButton 100 50 1 1")
            xdotool("key", "alt+Return")
            wait_for("Changing display settings: 640x480, fullscreen")
            xdotool("key", "ctrl+r")
            wait_for("Lua: gameClose")
            wait_for("Lua: ready")
            xdotool("key", "alt+F4")
            wait_for("Lua: gameClose")
            code = proc.wait(timeout=15)
            if code != 0:
                raise AssertionError("exit code %d" % code)
        except Exception as error:
            proc.kill()
            print("FAIL:", error)
            return 1
    print("ok: real input reached the script")
    return 0


if __name__ == "__main__":
    sys.exit(main())
