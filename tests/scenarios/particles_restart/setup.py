# The demo's sprite package and a catch sound, and a particle package made by
# the tests' second writer (tests/unit/particles/write_packages.py).
import importlib.util
import os
import shutil
import sys

game = sys.argv[1]
source = sys.argv[2]
root = os.path.join(source, "..", "..", "..")
demo = os.path.join(root, "games", "demo", "pellora")
for name in ("demo.spr", "catch.ogg"):
    shutil.copy(os.path.join(demo, name), os.path.join(game, "pellora", name))

spec = importlib.util.spec_from_file_location(
    "write_packages", os.path.join(root, "tests", "unit", "particles", "write_packages.py"))
writer = importlib.util.module_from_spec(spec)
spec.loader.exec_module(writer)
definitions = [
    ("ringing", writer.definition(sprites="spark", sounds="missing.ogg", lifeMin=10000)),
    ("chiming", writer.definition(sprites="star", sounds="catch.ogg", lifeMin=10000)),
]
with open(os.path.join(game, "pellora", "effects.par"), "wb") as f:
    f.write(writer.write_package(8, definitions))
