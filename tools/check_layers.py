#!/usr/bin/env python3
"""Checks the layers of src/: who may include whom, and that each folder's
library links exactly what its files include.

The folders form one order, lowest first (LAYERS below). A file may include
headers of its own folder and of folders lower in the order, never of a
higher one. Each library of src/ (one add_library per CMakeLists.txt) must
link, by name, exactly the project libraries and the outside libraries its
own files include: nothing missing (it would build only by accident of
another target's include paths) and nothing extra.

Exits 1 and prints every finding when something is wrong.
"""
import argparse
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parents[1]
SRC = ROOT / "src"

# Lowest first. Folders not there yet keep their place for the code to come.
LAYERS = [
    "core",          # strings, reference counting, locks, shared interfaces
    "event",         # engine events, receivers, the subscriber list
    "algo",          # small algorithms
    "io",            # file system, files, archives, XML
    "video",         # the driver interfaces
    "video/null",    # the shared driver base, images, sprites
    "video/OpenGL",  # the OpenGL driver
    "video/DirectX9",
    "audio",         # the audio driver
    "box2d",         # the physics wrapper
    "scene",         # the 3D scene
    "gui",           # GUI environment, skin, fonts, widgets
    "input",         # joystick drivers
    "net",           # packets and the socket network device
    "net/rudp",      # the reliable-UDP peer
    "other",         # the device, timer, logger, OS services
    "platform",      # what stands in for the operating system
    "lua/luaCpp",    # the binding helpers
    "lua",           # the script libraries
    "game",          # the application object and game states
    "host",          # the host application and the script manager
]
RANK = {name: i for i, name in enumerate(LAYERS)}

# Outside headers and the imported targets that provide them.
OUTSIDE = [
    (re.compile(r"^(lua\.hpp|lua\.h|lauxlib\.h|lualib\.h|luajit\.h)$"), "PkgConfig::LUAJIT"),
    (re.compile(r"^zlib\.h$"), "ZLIB::ZLIB"),
    (re.compile(r"^jpeglib\.h$"), "JPEG::JPEG"),
    (re.compile(r"^png\.h$"), "PNG::PNG"),
    (re.compile(r"^box2d/"), "box2d::box2d"),
    (re.compile(r"^SDL2?/|^SDL\.h$|^SDL_"), "SDL2::SDL2"),
    # GLEW's header declares the GL functions too, which libGL provides.
    (re.compile(r"^GL/glew\.h$"), "GLEW::GLEW"),
    (re.compile(r"^GL/(gl|glext|glew)\.h$"), "OpenGL::GL"),
    (re.compile(r"^AL/"), "OpenAL::OpenAL"),
    (re.compile(r"^vorbis/"), "PkgConfig::VORBISFILE"),
    (re.compile(r"^expat\.h$"), "EXPAT::EXPAT"),
    (re.compile(r"^assimp/"), "assimp::assimp"),
]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(relative):
    """The layer of a path below src/ (the longest matching folder)."""
    parts = relative.split("/")
    for n in range(len(parts), 0, -1):
        candidate = "/".join(parts[:n])
        if candidate in RANK:
            return candidate
    return None


def cmake_call(text, command):
    """The argument lists of every call of `command` in a CMake file."""
    calls = []
    for m in re.finditer(r"\b" + command + r"\s*\(", text):
        depth, i = 1, m.end()
        while depth and i < len(text):
            depth += {"(": 1, ")": -1}.get(text[i], 0)
            i += 1
        body = re.sub(r"#[^\n]*", "", text[m.end():i - 1])
        calls.append(body.split())
    return calls


def libraries():
    """{target: (folder of its CMakeLists, source files, linked names)}."""
    found = {}
    for cmake in sorted(SRC.rglob("CMakeLists.txt")):
        text = cmake.read_text()
        folder = cmake.parent
        for args in cmake_call(text, "pellora_library") + cmake_call(text, "add_library"):
            name, sources = args[0], [a for a in args[1:] if a.endswith((".cpp", ".c"))]
            found[name] = (folder, [folder / s for s in sources], set())
        for args in cmake_call(text, "target_link_libraries"):
            if args and args[0] in found:
                found[args[0]][2].update(
                    a for a in args[1:] if a not in ("PUBLIC", "PRIVATE", "INTERFACE"))
    return found


def main():
    global ROOT, SRC
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", type=pathlib.Path, default=ROOT, help="the source tree")
    ROOT = parser.parse_args().root.resolve()
    SRC = ROOT / "src"
    problems = []
    targets = libraries()
    folder_target = {}
    for name, (_, sources, _) in targets.items():
        for source in sources:
            folder_target[source.parent.relative_to(SRC).as_posix()] = name

    needs = {name: set() for name in targets}
    for path in sorted(SRC.rglob("*")):
        if path.suffix not in (".h", ".cpp") or path.parent == SRC:
            continue
        relative = path.relative_to(SRC).as_posix()
        own = layer_of(relative)
        if own is None:
            problems.append(f"src/{relative}: its folder is not in the layer order")
            continue
        owner = folder_target.get(path.parent.relative_to(SRC).as_posix())
        for line in path.read_text(errors="replace").splitlines():
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, header = m.groups()
            if kind == '"':
                other = layer_of(header)
                if other is None:
                    continue
                if RANK[other] > RANK[own]:
                    problems.append(f"src/{relative} includes {header}: {own} may not include "
                                    f"{other}, which is a higher layer")
                target = folder_target.get(header.rsplit("/", 1)[0])
                if owner and target and target != owner:
                    needs[owner].add(target)
            elif owner:
                for pattern, target in OUTSIDE:
                    if pattern.search(header):
                        needs[owner].add(target)

    for name, (folder, _, links) in sorted(targets.items()):
        where = folder.relative_to(ROOT).as_posix() + "/CMakeLists.txt"
        known = set(targets) | {t for _, t in OUTSIDE}
        for missing in sorted(needs[name] - links):
            problems.append(f"{where}: {name} includes headers of {missing} but does not link it")
        for extra in sorted((links & known) - needs[name]):
            problems.append(f"{where}: {name} links {extra} but none of its files include it")

    for p in problems:
        print("layers:", p)
    if problems:
        return 1
    print(f"layers: {len(targets)} libraries checked, no finding")
    return 0


if __name__ == "__main__":
    sys.exit(main())
