#!/usr/bin/env python3
"""The Direct3D 9 driver under Wine, from the Linux build's tests.
  run_d3d9.py build SOURCE_DIR BUILD_DIR
      cross-builds the driver's test program into BUILD_DIR/mingw
  run_d3d9.py run SOURCE_DIR BUILD_DIR GL_FRAMES_PROGRAM
      draws the scenes through the OpenGL driver and, under Wine, through the
      Direct3D 9 driver, compares the frames, and runs the driver's checks
Exits with 77 (skipped) when the cross tools or Wine are not installed.
"""
import os
import shutil
import subprocess
import sys

SKIP = 77
WINE_PROGRAM_SECONDS = 90
# A virtual X server of its own for each run (a display number xvfb-run -a
# could hand to a test running beside it as well).
ON_XVFB = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "on_xvfb.sh")
TOOLS = ["x86_64-w64-mingw32-g++-posix", "wine", "wineserver", "wineboot", "Xvfb", "cmake",
         "ninja"]


def missing_tools():
    return [tool for tool in TOOLS if not shutil.which(tool)]


def wine_environment(build_dir):
    env = dict(os.environ)
    env["WINEPREFIX"] = os.path.join(build_dir, "wineprefix")
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    env["WINEARCH"] = "win64"
    return env


def cross_build(source_dir, build_dir):
    mingw = os.path.join(build_dir, "mingw")
    env = dict(os.environ)
    env["CCACHE_BASEDIR"] = source_dir
    env["CCACHE_NOHASHDIR"] = "1"
    subprocess.run(["cmake", "-S", source_dir, "-B", mingw, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DPELLORA_WERROR=ON",
                    "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(source_dir, "cmake",
                                                             "mingw-w64-x86_64.cmake")],
                   check=True, env=env, stdout=subprocess.DEVNULL)
    subprocess.run(["nice", "-n", "10", "cmake", "--build", mingw, "-j2"], check=True, env=env)
    return 0


def under_x(script, env, timeout):
    """Runs a shell script under one virtual X server; wineserver is waited
    for before the server goes."""
    return subprocess.run([ON_XVFB, "sh", "-c",
                           script + "\nstatus=$?\nwineserver -w\nexit $status"],
                          env=env, timeout=timeout).returncode


def prepare_prefix(build_dir, env):
    # Made once per build folder: the first start of a prefix takes a while.
    marker = os.path.join(env["WINEPREFIX"], "pellora-prefix-ready")
    if os.path.exists(marker):
        return True
    if under_x("wineboot -i >/dev/null 2>&1", env, 180) != 0:
        print("FAILED: the Wine prefix could not be made")
        return False
    open(marker, "w").close()
    return True


def run(source_dir, build_dir, gl_frames):
    program = os.path.join(build_dir, "mingw", "pellora-d3d9-frames.exe")
    if not os.path.exists(program):
        print("FAILED: %s was not built (the wine.cross_build test makes it)" % program)
        return 1
    out = os.path.join(build_dir, "d3d9-frames")
    shutil.rmtree(out, ignore_errors=True)
    gl_dir = os.path.join(out, "opengl")
    d3d_dir = os.path.join(out, "direct3d9")
    os.makedirs(gl_dir)
    os.makedirs(d3d_dir)
    if subprocess.run([ON_XVFB, gl_frames, gl_dir],
                      timeout=60, stdout=subprocess.DEVNULL).returncode != 0:
        print("FAILED: the OpenGL frames could not be drawn")
        return 1
    env = wine_environment(build_dir)
    if not prepare_prefix(build_dir, env):
        return 1
    limit = "timeout %d " % WINE_PROGRAM_SECONDS
    status = under_x(limit + "wine '%s' frames '%s' && " % (program, d3d_dir) +
                     limit + "wine '%s' checks" % program, env, 3 * WINE_PROGRAM_SECONDS)
    if status != 0:
        print("FAILED: the Direct3D 9 program ended with %d" % status)
        return 1
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import compare_frames
    import json
    failures = compare_frames.compare(gl_dir, d3d_dir,
                                      json.load(open(os.path.join(gl_dir, "probes.json"))))
    for line in failures:
        print("FAILED", line)
    return 1 if failures else 0


def main():
    if len(sys.argv) < 4 or sys.argv[1] not in ("build", "run"):
        print(__doc__)
        return 2
    missing = missing_tools()
    if missing:
        print("SKIPPED: the Windows cross build needs %s (scripts/deps.sh test installs them)"
              % ", ".join(missing))
        return SKIP
    source_dir, build_dir = os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    if sys.argv[1] == "build":
        return cross_build(source_dir, build_dir)
    return run(source_dir, build_dir, sys.argv[4])


if __name__ == "__main__":
    sys.exit(main())
