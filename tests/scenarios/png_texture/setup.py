# The game's art, written by ImageMagick when the scenario runs.
import subprocess
import sys

game = sys.argv[1]
subprocess.run(["convert", "-size", "6x4", "xc:#3080c0", "-alpha", "set", "-fill", "#ff000080",
                "-draw", "point 1,1", "PNG32:" + game + "/pellora/art.png"], check=True)
