#!/usr/bin/env python3
"""The tree's own checks catch what they are for: the API reference check
fails for a registered function without a signature line and for a stale
docs/api.md, and the layer check fails for an include of a higher layer and
for a link that does not match the includes. Each case runs the real script
on a small tree made here."""
import pathlib
import subprocess
import sys
import tempfile
import textwrap

ROOT = pathlib.Path(__file__).resolve().parents[2]
APIDOC = ROOT / "tools/apidoc/make_api_doc.py"
LAYERS = ROOT / "tools/check_layers.py"

BINDING = textwrap.dedent('''\
    // toy.ping(n) -> n
    // Returns its argument.
    int t_ping(lua_State* L) { return 1; }

    int t_pong(lua_State* L) { return 0; }

    const luaL_Reg kFunctions[] = {
        {"ping", t_ping},
        {"pong", t_pong},
        {nullptr, nullptr},
    };
    void install(lua_State* L) { installTable(L, "toy", kFunctions); }
    ''')


def write(root, files):
    for name, text in files.items():
        path = root / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)


def run(script, root, *extra):
    done = subprocess.run([sys.executable, str(script), "--root", str(root), *extra],
                          capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr


def expect(ok, what, output):
    if not ok:
        print(f"FAIL: {what}\n{output}")
        return 1
    return 0


def apidoc_cases(root):
    failures = 0
    write(root, {"src/lua/CToy.cpp": BINDING, "tools/apidoc/api.md.in": "# Toy\n\n@table toy\n"})
    code, out = run(APIDOC, root, "--check")
    failures += expect(code == 1 and "toy.pong has no signature line" in out,
                       "a function without a signature line is reported", out)

    write(root, {"src/lua/CToy.cpp": BINDING.replace(
        "int t_pong", "// toy.pong() -> nothing\nint t_pong")})
    code, out = run(APIDOC, root)
    text = (root / "docs/api.md").read_text() if (root / "docs/api.md").exists() else ""
    failures += expect(code == 0 and "#### `toy.ping(n) -> n`" in text and
                       "Returns its argument." in text, "the reference is written", out + text)
    code, out = run(APIDOC, root, "--check")
    failures += expect(code == 0, "a fresh reference passes", out)

    (root / "docs/api.md").write_text(text.replace("Returns", "Gives"))
    code, out = run(APIDOC, root, "--check")
    failures += expect(code == 1 and "stale" in out, "a stale reference is reported", out)

    # A table registered in two files, the second file's part in a section of its own.
    write(root, {"src/lua/CToyMore.cpp": textwrap.dedent('''\
        // toy.bounce() -> nothing
        // Bounces.
        int t_bounce(lua_State* L) { return 0; }
        const luaL_Reg kMore[] = {
            {"bounce", t_bounce},
            {nullptr, nullptr},
        };
        void installMore(lua_State* L) { installTable(L, "toy", kMore); }
        '''),
        "tools/apidoc/api.md.in": "# Toy\n\n@table toy\n\n## More\n\n@table toy from CToyMore.cpp\n"})
    code, out = run(APIDOC, root)
    text = (root / "docs/api.md").read_text()
    more = text.find("## More")
    failures += expect(code == 0 and text.find("toy.ping(") < more < text.find("toy.bounce(") and
                       text.count("toy.bounce(") == 1, "a table's part is shown where it is named",
                       out + text)
    return failures


def layer_cases(root):
    failures = 0
    write(root, {
        "src/core/CMakeLists.txt": "pellora_library(pellora_core CString.cpp)\n",
        "src/core/CString.cpp": "#include <zlib.h>\n",
        "src/io/CMakeLists.txt": "pellora_library(pellora_io CFile.cpp)\n"
                                 "target_link_libraries(pellora_io PUBLIC pellora_core)\n",
        "src/io/CFile.cpp": '#include "core/CString.h"\n',
    })
    code, out = run(LAYERS, root)
    failures += expect(code == 1 and "pellora_core includes headers of ZLIB::ZLIB" in out,
                       "an outside header without its link is reported", out)

    write(root, {
        "src/core/CMakeLists.txt": "pellora_library(pellora_core CString.cpp)\n"
                                   "target_link_libraries(pellora_core PRIVATE ZLIB::ZLIB)\n",
    })
    code, out = run(LAYERS, root)
    failures += expect(code == 0, "matching links pass", out)

    write(root, {"src/core/CString.cpp": '#include <zlib.h>\n#include "io/CFile.h"\n'})
    code, out = run(LAYERS, root)
    failures += expect(code == 1 and "core may not include io" in out,
                       "an include of a higher layer is reported", out)

    write(root, {"src/core/CString.cpp": "#include <zlib.h>\n",
                 "src/io/CFile.cpp": "// no includes\n"})
    code, out = run(LAYERS, root)
    failures += expect(code == 1 and "pellora_io links pellora_core but none of its files" in out,
                       "a link nothing includes is reported", out)
    return failures


def main():
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        failures = apidoc_cases(pathlib.Path(a)) + layer_cases(pathlib.Path(b))
    print("all checks behaved" if not failures else f"{failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
