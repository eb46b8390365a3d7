#!/usr/bin/env python3
"""Ctrl+R clears the 3D scene: a real window (run this under an X server)
whose script puts a lit cube in front of the camera on its first run only.
A screenshot before the restart shows the cube, one after it an empty frame,
so the restarted script inherited no node of the first.

Usage: scene_restart.py PELLORA_EXECUTABLE
"""
import glob
import os
import subprocess
import sys
import tempfile

MAIN_LUA = r"""
kelvo.getUserFolderPath("SceneRestart")
local SAVE = "$USERDATA$/SceneRestart/runs.txt"
local runs = 0
local r = ReadFile(SAVE)
if r:isOk() then runs = r:readInt() or 0 end
r:close()
local w = WriteFile(SAVE)
w:writeInt(runs + 1)
w:close()
hook.add("gameInit", function()
    video.setCameraPosition(0, 0, -5)
    video.setCameraViewPosition(0, 0, 0)
    if runs == 0 then
        print("first run: node " .. video.createSceneNode("cube.obj", "white.tga") ..
              ", light " .. video.createLightSceneNode(0, 0, 1, 0))
    else
        print("run " .. (runs + 1) .. ": no nodes made")
    end
end)
hook.add("frameRender", function()
    video.clearScreen(0, 0, 0, true)
    video.render3dScene()
end)
"""

CONFIG = "settings\n{\n screenWidth = 320;\n screenHeight = 240;\n driver = OpenGL;\n}\n"

CUBE = """v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1
f 1 4 3 2\nf 5 6 7 8\nf 1 5 8 4\nf 2 3 7 6\nf 1 2 6 5\nf 4 8 7 3
"""
WHITE_TGA = bytes([0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 32, 8, 255, 255, 255, 255])


def centre_brightness(path):
    out = subprocess.run(["convert", path, "-crop", "20x20+150+110", "+repage", "-colorspace",
                          "gray", "-format", "%[fx:mean]", "info:"],
                         capture_output=True, text=True, check=True).stdout
    return float(out)


def main():
    pellora = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="pellora-scene-") as tmp:
        game = os.path.join(tmp, "game")
        os.makedirs(os.path.join(game, "pellora"))
        files = {"pellora/main.lua": MAIN_LUA, "pellora.cfg": CONFIG, "pellora/cube.obj": CUBE}
        for name, text in files.items():
            with open(os.path.join(game, name), "w") as f:
                f.write(text)
        with open(os.path.join(game, "pellora", "white.tga"), "wb") as f:
            f.write(WHITE_TGA)
        events = os.path.join(tmp, "events")
        with open(events, "w") as f:
            f.write("5 key 122\n8 key 0x52 ctrl\n9 key 0x52 press\n20 key 122\n")
        env = dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
                   XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"))
        done = subprocess.run([pellora, "--frames", "30", "--events", events, game], cwd=tmp,
                              env=env, capture_output=True, text=True, timeout=60)
        written = [l.split(": ", 1)[1] for l in done.stdout.splitlines()
                   if l.startswith("Screenshot written: ")]
        ran = "first run: node 0, light 1" in done.stdout and "run 2: no nodes made" in done.stdout
        if done.returncode != 0 or len(written) != 2 or not ran:
            print("FAIL: exit %d, screenshots %s\n%s" % (done.returncode, written,
                                                         done.stdout[-3000:]))
            return 1
        before, after = (centre_brightness(os.path.join(tmp, name)) for name in written)
        if before < 0.8 or after > 0.05:
            print("FAIL: the centre is %.3f bright before the restart and %.3f after" %
                  (before, after))
            return 1
        print("ok   the cube shows before Ctrl+R (%.2f) and is gone after it (%.2f)" %
              (before, after))
    return 0


if __name__ == "__main__":
    sys.exit(main())
