#!/usr/bin/env python3
"""The game maker's run options on the real runtime: --watch restarts the
script once after a file of the game is rewritten and never when nothing
changes; --fixed-dt makes two runs of the same events file print the same
game state.

Usage: test_workflow.py PELLORA
"""
import os
import queue
import subprocess
import sys
import tempfile
import threading
import time

WATCHED = """
local frames = 0
hook.add("gameInit", function() print("init") end)
hook.add("frameUpdate", function() frames = frames + 1 end)
hook.add("gameClose", function() print("close") end)
"""

# A body falls and a counter follows the keys of the events file; with fixed
# steps both must come out the same on every run.
STEPPED = """
local world = Physics(-100, -100, 100, 100, 0, 9.8)
local box = world:createEntity({}, 0, 0)
world:addBoxShape(box, {width = 1, height = 1, density = 1})
world:activateEntity(box)
local time, presses = 0, 0
hook.add("frameUpdate", function(dt)
    time = time + dt
    world:update(dt)
end)
hook.add("keyPress", function(key) presses = presses + 1 end)
hook.add("gameClose", function()
    local x, y = world:getEntityPosition(box)
    print(string.format("state time=%.6f y=%.6f presses=%d", time, y, presses))
end)
"""


def environment(tmp):
    return dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
                XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"), TMPDIR=tmp)


def make_game(folder, script):
    os.makedirs(os.path.join(folder, "pellora"), exist_ok=True)
    with open(os.path.join(folder, "pellora", "main.lua"), "w") as f:
        f.write(script)


def watch_case(pellora, tmp, touch):
    """Runs a watched game for a few seconds; returns its Lua lines."""
    game = os.path.join(tmp, "watched-%d" % touch)
    make_game(game, WATCHED)
    proc = subprocess.Popen([pellora, "--headless", "--watch", game], cwd=tmp, env=environment(tmp),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put(l.rstrip("\n")) for l in proc.stdout], daemon=True).start()
    seen = []

    def wait_for(text, seconds):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            try:
                line = lines.get(timeout=0.1)
            except queue.Empty:
                continue
            seen.append(line)
            if line == text:
                return True
        return False

    try:
        if not wait_for("Lua: init", 20):
            return seen
        if touch:
            # Two writes in quick succession, as an editor's save may make.
            with open(os.path.join(game, "pellora", "main.lua"), "a") as f:
                f.write("\n-- saved once\n")
            with open(os.path.join(game, "pellora", "main.lua"), "a") as f:
                f.write("-- and again\n")
        wait_for("never", 3)
    finally:
        proc.kill()
        proc.wait()
    return seen


def main():
    pellora = os.path.abspath(sys.argv[1])
    failures = 0
    with tempfile.TemporaryDirectory(prefix="pellora-workflow-") as tmp:
        seen = watch_case(pellora, tmp, touch=True)
        inits = seen.count("Lua: init")
        reloaded = [l for l in seen if l.startswith("Lua: Reloaded: pellora/main.lua changed")]
        if inits != 2 or seen.count("Lua: close") != 1 or len(reloaded) != 1:
            print("FAIL --watch after a save: %d inits, %d reload notes\n%s" % (
                inits, len(reloaded), "\n".join(seen[-30:])))
            failures += 1
        else:
            print("ok   --watch restarts once after a save")
        seen = watch_case(pellora, tmp, touch=False)
        if seen.count("Lua: init") != 1 or "Lua: close" in seen:
            print("FAIL --watch without a change:\n%s" % "\n".join(seen[-30:]))
            failures += 1
        else:
            print("ok   --watch leaves an unchanged game alone")

        game = os.path.join(tmp, "stepped")
        make_game(game, STEPPED)
        events = os.path.join(tmp, "events")
        with open(events, "w") as f:
            f.write("30 key 0x41\n90 key 0x42\n")
        states = []
        for _ in range(2):
            out = subprocess.run([pellora, "--headless", "--fixed-dt", "0.02", "--frames", "200",
                                  "--events", events, game], cwd=tmp, env=environment(tmp),
                                 capture_output=True, text=True, timeout=60).stdout
            states.append([l for l in out.splitlines() if l.startswith("Lua: state")])
        want = "Lua: state time=4.000000"
        if len(states[0]) != 1 or states[0] != states[1] or not states[0][0].startswith(want) or \
                not states[0][0].endswith("presses=2"):
            print("FAIL --fixed-dt: %s" % states)
            failures += 1
        else:
            print("ok   --fixed-dt: %s, the same twice" % states[0][0])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
