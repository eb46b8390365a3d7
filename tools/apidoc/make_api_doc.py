#!/usr/bin/env python3
"""Writes docs/api.md, the script API reference, from the binding sources.

Every script function is registered in a table of its library (a luaL_Reg
list installed with installTable, or a class's SLuaMethod list) and its
definition opens with a signature comment in one fixed format:

    // video.renderText(text [, x, y [, align]]) -> nothing     a table function
    // Physics:getEntityPosition(id) -> x, y                     a class method
    // Physics([lowerX, lowerY, ...]) -> Physics                 a constructor

followed by comment lines that describe it to a game maker. Callbacks are
documented as "// callback name(args)" lines in the files of
CALLBACK_SOURCES: the script manager's header for the global ones, and the
file that makes an object's callbacks, named with the object's class
("// callback NetDevice.onPacket(self, ...)"). The prose around them lives in
tools/apidoc/api.md.in, whose lines "@table NAME", "@class NAME",
"@callbacks" and "@callbacks CLASS" are replaced by the entries.
A table registered in parts can be shown in several places: the line
"@table NAME from FILE.cpp" takes the entries registered in that source file,
and "@table NAME" the rest.

  make_api_doc.py           rewrite docs/api.md
  make_api_doc.py --check   fail when a registered function has no signature
                            line or docs/api.md is not what this would write
"""
import argparse
import difflib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]

# Where the runtime makes callbacks: the script manager (hook.add callbacks),
# the network objects and the GUI components (their on... fields).
CALLBACK_SOURCES = ["src/host/CLuaManager.h", "src/lua/CLuaNetCatcher.cpp", "src/lua/CLuaGuiLibrary.cpp"]


def paths(root):
    """The template, the output, the binding sources and the callback sources."""
    return (root / "tools/apidoc/api.md.in", root / "docs/api.md",
            sorted((root / "src/lua").glob("*.cpp")), [root / p for p in CALLBACK_SOURCES])

REG_LIST = re.compile(r"const\s+luaL_Reg\s+(\w+)\[\]\s*=\s*\{(.*?)\};", re.S)
REG_ENTRY = re.compile(r'\{\s*"(\w+)"\s*,\s*(\w+)\s*\}')
INSTALL = re.compile(r'installTable\(\s*\w+\s*,\s*"(\w+)"\s*,\s*(\w+)\s*\)')
METHOD_LIST = re.compile(r"const\s+SLuaMethod<(\w+)>\s+\w+::methods\[\]\s*=\s*\{(.*?)\};", re.S)
METHOD_ENTRY = re.compile(r'\{\s*"(\w+)"\s*,\s*&\w+::(\w+)\s*\}')
CLASS_NAME = re.compile(r'className\s*=\s*"(\w+)"')
SIGNATURE = re.compile(r"^// ((\w+)([.:](\w+))?\(.*\) -> .+)$")
CALLBACK = re.compile(r"^\s*// callback (((\w+)\.)?\w+\(.*\))\s*$")


class DocError(Exception):
    pass


def comment_above(lines, index):
    """The // lines directly above line `index`, top first."""
    block = []
    i = index - 1
    while i >= 0 and lines[i].lstrip().startswith("//"):
        block.insert(0, lines[i].strip())
        i -= 1
    return block


def definition_line(lines, symbol):
    """The line where function `symbol` (plain or Class::name) is defined."""
    pattern = re.compile(r"^[A-Za-z][\w:<>\*& ]*?\b" + re.escape(symbol) + r"\s*\(")
    for i, line in enumerate(lines):
        if pattern.match(line) and not line.rstrip().endswith(";"):
            return i
    return None


def entry_for(path, lines, symbol, owner, name, separator):
    """(signatures, description) of one registered function."""
    at = definition_line(lines, symbol)
    if at is None:
        raise DocError(f"{path.name}: no definition of {symbol} (script name {owner}{separator}{name})")
    signatures, description = [], []
    for line in comment_above(lines, at):
        m = SIGNATURE.match(line)
        if m and not description:
            signatures.append(m.group(1))
        elif signatures:
            description.append(line[2:].strip())
    if name is None:
        wanted = [s for s in signatures if re.match(re.escape(owner) + r"\(", s)]
    else:
        wanted = [s for s in signatures if s.startswith(f"{owner}{separator}{name}(")]
    if not wanted:
        shown = f"{owner}{separator}{name}" if name else f"{owner} (constructor)"
        raise DocError(f"{path.name}: {shown} has no signature line above {symbol}")
    return wanted, " ".join(description)


def collect(sources, callback_sources):
    """{section name: [(signatures, description)]} and the list of problems."""
    sections, problems = {}, []
    for path in sources:
        text = path.read_text()
        lines = text.splitlines()
        lists = {m.group(1): REG_ENTRY.findall(m.group(2)) for m in REG_LIST.finditer(text)}
        for table, listname in INSTALL.findall(text):
            for name, symbol in lists.get(listname, []):
                try:
                    signatures, description = entry_for(path, lines, symbol, table, name, ".")
                    entries = sections.setdefault(table, [])
                    # Names registered one after another for the same function
                    # share one entry.
                    if entries and entries[-1][2:] == (path.name, symbol):
                        entries[-1][0].extend(signatures)
                    else:
                        entries.append((signatures, description, path.name, symbol))
                except DocError as e:
                    problems.append(str(e))
        for m in METHOD_LIST.finditer(text):
            cls = m.group(1)
            header = path.with_suffix(".h")
            found = CLASS_NAME.search(header.read_text()) if header.exists() else None
            if not found:
                problems.append(f"{path.name}: no className for {cls}")
                continue
            script = found.group(1)
            entries = sections.setdefault(script, [])
            if definition_line(lines, f"{cls}::construct") is not None:
                try:
                    entries.append(entry_for(path, lines, f"{cls}::construct", script, None, ""))
                except DocError as e:
                    problems.append(str(e))
            for name, member in METHOD_ENTRY.findall(m.group(2)):
                try:
                    entries.append(entry_for(path, lines, f"{cls}::{member}", script, name, ":"))
                except DocError as e:
                    problems.append(str(e))
    for path in callback_sources:
        if not path.exists():
            continue
        lines = path.read_text().splitlines()
        for i, line in enumerate(lines):
            m = CALLBACK.match(line)
            if not m:
                continue
            description = []
            for follow in lines[i + 1:]:
                follow = follow.strip()
                if not follow.startswith("//") or CALLBACK.match(follow):
                    break
                description.append(follow[2:].strip())
            key = "@callbacks " + m.group(3) if m.group(3) else "@callbacks"
            sections.setdefault(key, []).append(([m.group(1)], " ".join(description)))
    return sections, problems


def render(entries):
    out = []
    for signatures, description, *_ in entries:
        if out:
            out.append("")
        for s in signatures:
            out.append(f"#### `{s}`")
        if description:
            out.append("")
            out.append(description)
    return out


TABLE_LINE = re.compile(r"^@(table|class) (\w+)(?: from (\S+))?\s*$")


def build(template, sections, problems):
    lines = template.read_text().splitlines()
    # Source files whose entries of a table are shown at a line of their own.
    claimed = {}
    for line in lines:
        m = TABLE_LINE.match(line)
        if m and m.group(3):
            claimed.setdefault(m.group(2), set()).add(m.group(3))
    out, used = [], set()
    for line in lines:
        m = TABLE_LINE.match(line)
        if m:
            name, source = m.group(2), m.group(3)
            if name not in sections:
                problems.append(f"api.md.in names {m.group(1)} {name}, which no source registers")
                continue
            used.add(name)
            if source:
                entries = [e for e in sections[name] if len(e) > 2 and e[2] == source]
                if not entries:
                    problems.append(f"api.md.in shows {name} from {source}, which registers none of it")
            else:
                entries = [e for e in sections[name]
                           if len(e) < 3 or e[2] not in claimed.get(name, set())]
            out.extend(render(entries))
        elif re.match(r"^@callbacks( \w+)?\s*$", line):
            key = line.strip()
            used.add(key)
            out.extend(render(sections.get(key, [])))
        else:
            out.append(line)
    for name in sorted(set(sections) - used):
        place = name if name.startswith("@callbacks") else f"'@table {name}' or '@class {name}'"
        problems.append(f"api.md.in has no place for {name} (add {place})")
    while out and out[-1] == "":
        out.pop()
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--root", type=pathlib.Path, default=ROOT, help="the source tree")
    args = parser.parse_args()
    template, output, sources, callback_sources = paths(args.root)
    sections, problems = collect(sources, callback_sources)
    document = build(template, sections, problems)
    if problems:
        for p in problems:
            print("api doc:", p, file=sys.stderr)
        return 1
    if args.check:
        current = output.read_text() if output.exists() else ""
        if current != document:
            diff = difflib.unified_diff(current.splitlines(), document.splitlines(),
                                        "docs/api.md", "generated", lineterm="", n=1)
            print("\n".join(list(diff)[:40]), file=sys.stderr)
            print("api doc: docs/api.md is stale; run tools/apidoc/make_api_doc.py", file=sys.stderr)
            return 1
        return 0
    output.parent.mkdir(parents=True, exist_ok=True)
    output.write_text(document)
    return 0


if __name__ == "__main__":
    sys.exit(main())
