# Packs a folder into a zip archive with the real zip tool, next to main.lua.
import os
import subprocess
import sys

game = sys.argv[1]
src = os.path.join(game, "src")
os.makedirs(os.path.join(src, "maps"))
for name, text in [("maps/a.map", "alpha"), ("maps/b.map", "beta"), ("maps/readme.txt", "r")]:
    with open(os.path.join(src, name), "w") as f:
        f.write(text)
subprocess.run(["zip", "-q", "-r", os.path.join(game, "pellora", "data.zip"), "maps"],
               cwd=src, check=True)
