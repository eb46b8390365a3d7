#!/usr/bin/env python3
"""Runs the real pellora executable on one scenario folder and checks its output.

A scenario is a folder holding a game (pellora/main.lua, optionally
pellora.cfg and assets) and a file "expect" that says how to run it and what
must be seen:

    args: --frames 5          options added after --headless (default: --frames 10)
    game-args: --join x       what follows the game folder on the command line
    exit: 0                   expected exit code (default 0)
    env: NAME=value ...       environment variables set for the run
    ---
    Lua: init                 lines that must appear in this order (fnmatch
    Lua: update *             patterns matched against whole output lines)
    !Lua: never              a line starting with "!" must match no line at all,
                              of standard output or of standard error
    =1 Lua: once              "=N " first: exactly N lines of standard output match

An optional file "events" next to "expect" is passed with --events (one input
event per line, see src/other/CEventScript.h). An optional "setup.py" runs
first with the scenario's working copy and its source folder as arguments,
to make fixtures.

The game folder is copied to a fresh temporary folder first, so scenarios may
write files; HOME and XDG_DATA_HOME point into it, so the user folder is
private too.
"""
import fnmatch
import os
import shlex
import shutil
import subprocess
import sys
import tempfile


def parse_expect(path):
    options = {"args": "--frames 10", "exit": "0"}
    ordered, forbidden, counted = [], [], []
    with open(path, encoding="utf-8") as f:
        lines = f.read().splitlines()
    if "---" in lines:
        split = lines.index("---")
        header, body = lines[:split], lines[split + 1:]
    else:
        header, body = [], lines
    for line in header:
        if line.strip() and not line.startswith("#"):
            key, _, value = line.partition(":")
            options[key.strip()] = value.strip()
    for line in body:
        if not line.strip():
            continue
        if line.startswith("!"):
            forbidden.append(line[1:])
        elif line.startswith("=") and " " in line:
            count, _, pattern = line[1:].partition(" ")
            counted.append((int(count), pattern))
        else:
            ordered.append(line)
    return options, ordered, forbidden, counted


def main():
    exe, scenario = sys.argv[1], os.path.abspath(sys.argv[2])
    options, ordered, forbidden, counted = parse_expect(os.path.join(scenario, "expect"))
    with tempfile.TemporaryDirectory(prefix="pellora-scenario-") as tmp:
        game = os.path.join(tmp, "game")
        shutil.copytree(scenario, game)
        setup = os.path.join(game, "setup.py")
        if os.path.exists(setup):
            subprocess.run([sys.executable, setup, game, scenario], check=True)
        env = dict(os.environ)
        env["HOME"] = os.path.join(tmp, "home")
        env["XDG_DATA_HOME"] = os.path.join(tmp, "home", ".local", "share")
        env["TMPDIR"] = tmp
        for pair in shlex.split(options.get("env", "")):
            name, _, value = pair.partition("=")
            env[name] = value
        cmd = [exe, "--headless"] + shlex.split(options["args"])
        if os.path.exists(os.path.join(game, "events")):
            cmd += ["--events", os.path.join(game, "events")]
        cmd.append(game)
        cmd += shlex.split(options.get("game-args", ""))
        try:
            proc = subprocess.run(cmd, cwd=game, env=env, capture_output=True, timeout=120)
        except subprocess.TimeoutExpired:
            print("FAIL: the runtime did not stop within 120 s:", " ".join(cmd))
            return 1
        out = proc.stdout.decode("utf-8", "replace").splitlines()
        err = proc.stderr.decode("utf-8", "replace")

    problems = []
    if proc.returncode != int(options["exit"]):
        problems.append("exit code %d, expected %s" % (proc.returncode, options["exit"]))
    at = 0
    for pattern in ordered:
        while at < len(out) and not fnmatch.fnmatchcase(out[at], pattern):
            at += 1
        if at == len(out):
            problems.append("missing (in order): " + pattern)
            break
        at += 1
    for pattern in forbidden:
        for line in out + err.splitlines():
            if fnmatch.fnmatchcase(line, pattern):
                problems.append("forbidden line present: " + line)
    for count, pattern in counted:
        found = sum(1 for line in out if fnmatch.fnmatchcase(line, pattern))
        if found != count:
            problems.append("%d lines match %r, expected %d" % (found, pattern, count))
    if problems:
        print("command:", " ".join(cmd))
        print("---- stdout ----")
        print("\n".join(out))
        print("---- stderr ----")
        print(err)
        print("---- problems ----")
        print("\n".join(problems))
        return 1
    print("ok:", os.path.basename(scenario))
    return 0


if __name__ == "__main__":
    sys.exit(main())
