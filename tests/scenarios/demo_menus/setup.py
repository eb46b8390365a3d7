# Plays the bundled demo through its menus, with a script that runs it and
# watches its windows, the master volume and the fox.
import os
import shutil
import sys

game = sys.argv[1]
demo = os.path.join(sys.argv[2], "..", "..", "..", "games", "demo")
shutil.copytree(os.path.join(demo, "pellora"), os.path.join(game, "pellora"))
shutil.copy(os.path.join(demo, "pellora.cfg"), game)
os.rename(os.path.join(game, "pellora", "main.lua"), os.path.join(game, "pellora", "starfall.lua"))
shutil.copy(os.path.join(game, "watch.lua"), os.path.join(game, "pellora", "main.lua"))
