# Plays the bundled demo (its scripts, sprites, font and sounds as built).
import os
import shutil
import sys

game = sys.argv[1]
demo = os.path.join(sys.argv[2], "..", "..", "..", "games", "demo")
shutil.copytree(os.path.join(demo, "pellora"), os.path.join(game, "pellora"))
shutil.copy(os.path.join(demo, "pellora.cfg"), game)
