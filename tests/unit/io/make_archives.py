"""Makes the zip archives the io tests read, with tools nobody here wrote.

Usage: make_archives.py OUT_DIR

Writes the member sources under OUT_DIR/src and one archive per tool under
OUT_DIR. An archive whose tool is missing is simply not written; the test that
needs it skips.
"""
import io
import os
import random
import shutil
import subprocess
import sys
import zipfile

out = sys.argv[1]
src = os.path.join(out, "src")
os.makedirs(os.path.join(src, "img"), exist_ok=True)
os.makedirs(os.path.join(src, "sound"), exist_ok=True)

rng = random.Random(7)
sources = {
    "readme.txt": b"Pellora archive test\nsecond line\n",
    "empty.txt": b"",
    # Incompressible bytes force several deflate blocks and a large window.
    "img/noise.bin": bytes(rng.getrandbits(8) for _ in range(150000)),
    "img/a.png": b"PNG-ish " * 4000,
    "img/b.png": bytes(range(256)) * 40,
    "sound/beep.ogg": b"OggS" + bytes(rng.getrandbits(8) for _ in range(3000)),
}
for name, data in sources.items():
    with open(os.path.join(src, name), "wb") as f:
        f.write(data)
members = sorted(sources)


def run(*args):
    subprocess.run(args, cwd=src, check=True, stdout=subprocess.DEVNULL)


def remove(path):
    if os.path.exists(path):
        os.remove(path)


if shutil.which("zip"):
    for archive, options in [("deflated.zip", ["-9"]), ("stored.zip", ["-0"]),
                             ("encrypted.zip", ["-P", "secret"]),
                             ("bzip2.zip", ["-Z", "bzip2"])]:
        path = os.path.join(out, archive)
        remove(path)
        run("zip", "-q", "-X", *options, path, *members)
    # One deflated member first in the file, for tests that damage it.
    path = os.path.join(out, "single.zip")
    remove(path)
    run("zip", "-q", "-X", "-9", path, "img/a.png")

if shutil.which("jar"):
    path = os.path.join(out, "tool.jar.zip")
    remove(path)
    run("jar", "cfM", path, *members)


class Unseekable(io.RawIOBase):
    """A stream that cannot seek, so every entry gets a data descriptor."""

    def __init__(self, f):
        self.f = f

    def writable(self):
        return True

    def write(self, b):
        return self.f.write(b)


with open(os.path.join(out, "descriptor.zip"), "wb") as f:
    with zipfile.ZipFile(Unseekable(f), "w", zipfile.ZIP_DEFLATED) as z:
        for name in members:
            z.writestr(name, sources[name])
        z.writestr(zipfile.ZipInfo("stored/readme.txt"), sources["readme.txt"],
                   compress_type=zipfile.ZIP_STORED)

with zipfile.ZipFile(os.path.join(out, "backslash.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("img\\a.png", sources["img/a.png"])

# A disk folder whose name starts with an archive's name: "folder.zipped/a.txt"
# names both a disk file and the member "ped/a.txt" of "folder.zip".
os.makedirs(os.path.join(out, "folder.zipped"), exist_ok=True)
with open(os.path.join(out, "folder.zipped", "a.txt"), "wb") as f:
    f.write(b"from disk")
with zipfile.ZipFile(os.path.join(out, "folder.zip"), "w") as z:
    z.writestr("ped/a.txt", b"from archive")

# A member name past the reader's 1023-byte limit, between two ordinary ones.
with zipfile.ZipFile(os.path.join(out, "longname.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("first.txt", b"first")
    z.writestr("d/" + "n" * 1500, b"too long a name")
    z.writestr("last.txt", b"last")

with open(os.path.join(out, "not-a.zip"), "wb") as f:
    f.write(b"just text, no archive here\n")
