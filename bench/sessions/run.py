#!/usr/bin/env python3
"""Sessions: Pellora against LOVE 11 with ENet and with LuaSocket TCP, the
same two-process exchange (common.lua) over 127.0.0.1, alternating runs.

    run.py [--pellora build/release/pellora] [--love love] [--repeat 3]
           [--samples 600] [--seconds 5]

For each runtime a host and a client process run twice: latency (one
packet a frame each way at 60 frames/s, the round trip of each of the
client's packets: p50 and p99 over --samples) and throughput (the client
sends 8-value packets as fast as it can for --seconds; the host, at 60
frames/s, reports packets received per second and its main thread's CPU,
and the whole process's, per 1,000 packets). Pellora runs headless, once
over the built-in session (kelvo) and once over a net object; LOVE runs
without a window. Prints the medians and the ratios against the best and
against LOVE with ENet.
"""
import argparse
import os
import platform
import re
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESULT = re.compile(r"^result (.*)$", re.M)
FRAME_MS = 1000.0 / 60

VARIANTS = [
    ("Pellora (kelvo session)", "pellora", {"BENCH_SESSION": "kelvo"}),
    ("Pellora (net object)", "pellora", {"BENCH_SESSION": "net"}),
    ("LOVE + ENet", "love", {"BENCH_TRANSPORT": "enet"}),
    ("LOVE + LuaSocket TCP", "love", {"BENCH_TRANSPORT": "tcp"}),
]


def free_port():
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind(("127.0.0.1", 0))
    port = sock.getsockname()[1]
    sock.close()
    return port


def fields(line):
    return dict(pair.split("=", 1) for pair in line.split())


def run_pair(commands, env, test, timeout):
    """Runs host then client; the result fields of the side that reports."""
    port = free_port()
    procs = []
    try:
        for role in ("host", "client"):
            cmd, cwd = commands
            e = dict(env, BENCH_ROLE=role, BENCH_TEST=test, BENCH_PORT=str(port))
            p = subprocess.Popen(cmd, cwd=cwd, env=e, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                 text=True, errors="replace")
            procs.append(p)
            if role == "host":
                # Wait for the host's "ready" before the client starts.
                for line in p.stdout:
                    if line.startswith("result ready"):
                        break
                else:
                    raise RuntimeError("the host ended before it was ready")
        outputs = [p.communicate(timeout=timeout)[0] for p in procs]
    finally:
        for p in procs:
            if p.poll() is None:
                p.kill()
                p.wait()
    reporter = outputs[1] if test == "latency" else outputs[0]
    for line in RESULT.findall(reporter):
        f = fields(line)
        if f.get("test") == test and "error" not in f:
            return f
    raise RuntimeError("%s gave no %s result:\n%s" % (cmd[0], test, "\n".join(outputs)[-3000:]))


def machine():
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            names = [l.split(":", 1)[1].strip() for l in f if l.startswith("model name")]
        cpu = "%d x %s" % (len(names), names[0])
    except (OSError, IndexError):
        pass
    return "%s, %s %s" % (cpu, platform.system(), platform.release())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pellora", default=os.path.join(HERE, "..", "..", "build", "release", "pellora"))
    parser.add_argument("--love", default="love")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--samples", type=int, default=600)
    parser.add_argument("--seconds", type=float, default=5)
    parser.add_argument("--timeout", type=int, default=120)
    args = parser.parse_args()
    pellora = os.path.abspath(args.pellora)

    work = tempfile.mkdtemp(prefix="sessions-bench-")
    try:
        pgame, lgame = os.path.join(work, "pellora-game"), os.path.join(work, "love-game")
        shutil.copytree(os.path.join(HERE, "pellora-game"), pgame)
        shutil.copytree(os.path.join(HERE, "love-game"), lgame)
        shutil.copy(os.path.join(HERE, "common.lua"), os.path.join(pgame, "pellora"))
        shutil.copy(os.path.join(HERE, "common.lua"), lgame)
        commands = {"pellora": ([pellora, "--headless", pgame], work), "love": ([args.love, lgame], work)}
        env = dict(os.environ, ALSOFT_DRIVERS="null", HOME=work, XDG_DATA_HOME=os.path.join(work, "data"),
                   PELLORA_LISTEN_ADDRESS="127.0.0.1", BENCH_SAMPLES=str(args.samples),
                   BENCH_SECONDS=str(args.seconds))
        env.pop("DISPLAY", None)

        results = {name: {"latency": [], "throughput": []} for name, _, _ in VARIANTS}
        for i in range(args.repeat):
            for name, runtime, extra in VARIANTS:
                for test in ("latency", "throughput"):
                    results[name][test].append(run_pair(commands[runtime], dict(env, **extra), test,
                                                        args.timeout))
            print("run %d of %d done" % (i + 1, args.repeat), file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    def median(name, test, key):
        return statistics.median(float(r[key]) for r in results[name][test])

    def spread(name, test, key):
        values = [float(r[key]) for r in results[name][test]]
        return "%.4g-%.4g" % (min(values), max(values))

    print("Sessions over 127.0.0.1 on %s; median of %d alternating runs (lowest-highest)" %
          (machine(), args.repeat))
    print("latency: one packet a frame each way at 60 frames/s, %d round trips;" % args.samples)
    print("throughput: 8-value packets for %g s, the receiver at 60 frames/s" % args.seconds)
    head = "%-26s %-26s %-26s %-20s %-26s %-26s" % (
        "", "round trip p50 ms", "round trip p99 ms", "packets/s", "main CPU ms / 1000",
        "process CPU ms / 1000")
    print(head)
    for name, _, _ in VARIANTS:
        print("%-26s %-26s %-26s %-20s %-26s %-26s" % (
            name,
            "%.2f (%s)" % (median(name, "latency", "p50_ms"), spread(name, "latency", "p50_ms")),
            "%.2f (%s)" % (median(name, "latency", "p99_ms"), spread(name, "latency", "p99_ms")),
            "%.0f (%s)" % (median(name, "throughput", "rate"), spread(name, "throughput", "rate")),
            "%.3f (%s)" % (median(name, "throughput", "main_cpu_ms_per_1000"),
                           spread(name, "throughput", "main_cpu_ms_per_1000")),
            "%.3f (%s)" % (median(name, "throughput", "process_cpu_ms_per_1000"),
                           spread(name, "throughput", "process_cpu_ms_per_1000"))))
        disorder = sum(int(r["disorder"]) for r in results[name]["throughput"])
        if disorder:
            print("  %s: %d packets out of order" % (name, disorder))

    others = [n for n, runtime, _ in VARIANTS if runtime == "love"]
    best = min(others, key=lambda n: median(n, "latency", "p50_ms"))
    enet = "LOVE + ENet"
    print()
    for name, runtime, _ in VARIANTS:
        if runtime != "pellora":
            continue
        lag = median(name, "latency", "p50_ms") - median(best, "latency", "p50_ms")
        print("%s: p50 round trip %+.2f ms (%+.2f frames) against the best (%s); "
              "throughput x%.2f and main-thread CPU per packet x%.2f against %s" % (
                  name, lag, lag / FRAME_MS, best,
                  median(name, "throughput", "rate") / median(enet, "throughput", "rate"),
                  median(name, "throughput", "main_cpu_ms_per_1000") /
                  median(enet, "throughput", "main_cpu_ms_per_1000"), enet))
    return 0


if __name__ == "__main__":
    sys.exit(main())
