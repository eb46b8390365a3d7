#!/usr/bin/env python3
"""An outside compiler's view of the GLSL shaders the tests and the shader
example use: every .vert and .frag file must pass the reference validator,
except the ones named broken*, which exist to fail.

Usage: check_shaders.py GLSLANG_VALIDATOR FOLDER...
"""
import pathlib
import subprocess
import sys


def main():
    validator, folders = sys.argv[1], sys.argv[2:]
    failures, checked = 0, 0
    for folder in folders:
        for path in sorted(pathlib.Path(folder).glob("*")):
            if path.suffix not in (".vert", ".frag"):
                continue
            checked += 1
            done = subprocess.run([validator, str(path)], capture_output=True, text=True)
            should_fail = path.name.startswith("broken")
            if (done.returncode != 0) != should_fail:
                failures += 1
                print("FAIL: %s %s\n%s" % (path, "compiled" if should_fail else "was refused",
                                           done.stdout + done.stderr))
    if checked == 0:
        print("FAIL: no shaders found in %s" % " ".join(folders))
        return 1
    if failures == 0:
        print("ok   %d shaders as the validator sees them" % checked)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
