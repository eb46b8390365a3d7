#!/usr/bin/env python3
"""Soak: runs games for a long time and watches them for growth.

Usage (under an X server; bench/soak/run.sh starts one):
    run.py [--pellora build/release/pellora] [--minutes 10] [--interval 10]
           [--game games/demo] [--process "ARGS"] ...

Each process is the runtime on a game (--game, Starfall by default, played
by an events file that starts a round again and again and steers the fox;
--process "ARGS" adds a runtime started with those arguments, such as the
host and the client of a network game). Every --interval seconds the
resident memory, open descriptors and threads of each process are sampled
from /proc. At the end each process's samples are printed with the growth
per minute after the first minute (a warm-up while caches fill), and the
run fails when a process died or its memory grew by 1 % or more per 10
minutes.
"""
import argparse
import os
import shlex
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))


def starfall_events(path, passes):
    """Space starts a round (and the next after a game over); the fox runs
    left and right, and clicks drop bouncy stars."""
    with open(path, "w") as f:
        for p in range(50, passes, 600):
            f.write("%d key 0x20\n" % p)
            f.write("%d key 0x25 down\n%d key 0x25 up\n" % (p + 100, p + 250))
            f.write("%d key 0x27 down\n%d key 0x27 up\n" % (p + 300, p + 550))
            f.write("%d mouse left click %d 100\n" % (p + 400, 100 + (p // 600) % 600))


def sample(pid):
    """(resident KiB, descriptors, threads) of a live process, or None."""
    try:
        with open("/proc/%d/status" % pid) as f:
            rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
        return rss, len(os.listdir("/proc/%d/fd" % pid)), len(os.listdir("/proc/%d/task" % pid))
    except (OSError, StopIteration):
        return None


def growth_per_minute(points):
    """Least-squares slope of (seconds, value) points, per minute."""
    n = len(points)
    if n < 2:
        return 0.0
    mx = sum(t for t, _ in points) / n
    my = sum(v for _, v in points) / n
    den = sum((t - mx) ** 2 for t, _ in points)
    return 60.0 * sum((t - mx) * (v - my) for t, v in points) / den if den else 0.0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pellora", default=os.path.join(ROOT, "build", "release", "pellora"))
    parser.add_argument("--minutes", type=float, default=10)
    parser.add_argument("--interval", type=float, default=10)
    parser.add_argument("--game", default=os.path.join(ROOT, "games", "demo"))
    parser.add_argument("--process", action="append", default=[],
                        help="runtime arguments of another process to watch")
    args = parser.parse_args()
    pellora = os.path.abspath(args.pellora)

    with tempfile.TemporaryDirectory(prefix="pellora-soak-") as tmp:
        env = dict(os.environ, HOME=os.path.join(tmp, "home"), ALSOFT_DRIVERS="null",
                   XDG_DATA_HOME=os.path.join(tmp, "home", ".local", "share"))
        events = os.path.join(tmp, "events")
        starfall_events(events, 20000000)
        commands = []
        if args.game:
            commands.append([pellora, "--events", events, os.path.abspath(args.game)])
        for extra in args.process:
            commands.append([pellora] + shlex.split(extra))
        procs = [subprocess.Popen(cmd, cwd=tmp, env=env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL) for cmd in commands]
        samples = [[] for _ in procs]
        start = time.monotonic()
        end = start + args.minutes * 60
        died = []
        try:
            while True:
                now = time.monotonic() - start
                for i, proc in enumerate(procs):
                    if proc.poll() is not None:
                        if i not in died:
                            died.append(i)
                        continue
                    got = sample(proc.pid)
                    if got:
                        samples[i].append((now,) + got)
                if time.monotonic() >= end or len(died) == len(procs):
                    break
                time.sleep(max(0.0, min(args.interval, end - time.monotonic())))
        finally:
            for proc in procs:
                if proc.poll() is None:
                    proc.terminate()
            for proc in procs:
                try:
                    proc.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    proc.kill()

    failed = False
    for i, cmd in enumerate(commands):
        print("process %d: %s" % (i + 1, " ".join(os.path.basename(c) if c == pellora else c
                                                for c in cmd[1:])))
        print("  %8s %10s %6s %8s" % ("seconds", "RSS KiB", "fds", "threads"))
        for t, rss, fds, threads in samples[i]:
            print("  %8.0f %10d %6d %8d" % (t, rss, fds, threads))
        settled = [s for s in samples[i] if s[0] >= 60] or samples[i]
        if i in died:
            print("  the process ended before the soak did")
            failed = True
        if len(settled) >= 2:
            base = settled[0][1]
            rss_rate = growth_per_minute([(s[0], s[1]) for s in settled])
            fd_rate = growth_per_minute([(s[0], s[2]) for s in settled])
            thread_rate = growth_per_minute([(s[0], s[3]) for s in settled])
            per_ten = 1000.0 * rss_rate / base if base else 0.0
            print("  after the first minute: RSS %+.1f KiB/min (%+.2f %% per 10 min), "
                  "descriptors %+.2f/min, threads %+.2f/min" % (rss_rate, per_ten, fd_rate,
                                                               thread_rate))
            if per_ten >= 1.0 or fd_rate > 0.05 or thread_rate > 0.05:
                failed = True
    print("soak: %s" % ("growth or an early end: see above" if failed else "flat"))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
