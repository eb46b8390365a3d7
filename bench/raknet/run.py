#!/usr/bin/env python3
"""Reliable UDP between two processes on 127.0.0.1: Pellora's raknet table
against ENet in LOVE 11, with and without injected loss, in one run.

    run.py [--pellora build-release/pellora]
           [--relay build-release/bench/raknet/bench_raknet_relay]
           [--love love] [--repeat 3] [--seconds 5] [--loss 0,0.05]

Each end is a game (pellora-game, love-game) whose loop takes packets and
sends once per frame and sleeps a millisecond a frame. Both ends talk
through bench_raknet_relay, which drops the given fraction of the datagrams
in each direction (0 too, so both runtimes always pay the same hop).
Throughput: the client sends 1,000-byte reliable ordered packets for
--seconds after a second of warm-up, at most 512 KiB ahead of what the
server confirmed; the server counts what arrives. Latency: an 8-byte
reliable ordered packet goes back and forth for --seconds; the client
times each round trip. Runs alternate between the runtimes; the table shows
the median of the runs and, in brackets, their range.
"""
import argparse
import os
import re
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RESULT = re.compile(r"result (\w+) (.*)$")


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start(argv, env):
    return subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env,
                            text=True, errors="replace")


def wait_line(proc, pattern, seconds):
    deadline = time.monotonic() + seconds
    regex = re.compile(pattern)
    seen = []
    while time.monotonic() < deadline:
        line = proc.stdout.readline()
        if not line:
            break
        seen.append(line.rstrip())
        if regex.search(line):
            return line
    raise RuntimeError("no %r in:\n%s" % (pattern, "\n".join(seen[-20:])))


def one_run(args, runtime, mode, loss, tmp):
    port = free_port()
    relay = start([args.relay, str(port), str(loss), str(args.seconds + 30)], None)
    relay_port = int(wait_line(relay, r"^RELAY \d+", 5).split()[1])
    procs = []
    try:
        for role, target in (("server", port), ("client", relay_port)):
            env = dict(os.environ, BENCH_ROLE=role, BENCH_MODE=mode, BENCH_PORT=str(target),
                       BENCH_SECONDS=str(args.seconds), HOME=tmp, XDG_DATA_HOME=tmp,
                       ALSOFT_DRIVERS="null")
            if runtime == "pellora":
                argv = [args.pellora, "--headless", "--frames", "1000000000",
                        os.path.join(HERE, "pellora-game")]
            else:
                argv = [args.love, os.path.join(HERE, "love-game")]
            procs.append(start(argv, env))
            wait_line(procs[-1], r"HOSTING true|CONNECT true", 10)
        server, client = procs
        reporter = server if mode == "throughput" else client
        line = wait_line(reporter, r"result %s " % mode, args.seconds + 30)
        values = dict(kv.split("=") for kv in RESULT.search(line).group(2).split())
        for p in procs:
            p.wait(timeout=30)
        return {k: float(v) for k, v in values.items()}
    finally:
        for p in procs + [relay]:
            if p.poll() is None:
                p.kill()
                p.wait()


def summary(values, digits):
    med = statistics.median(values)
    return "%.*f (%.*f-%.*f)" % (digits, med, digits, min(values), digits, max(values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--pellora", default="build-release/pellora")
    parser.add_argument("--relay", default="build-release/bench/raknet/bench_raknet_relay")
    parser.add_argument("--love", default="love")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--seconds", type=int, default=5)
    parser.add_argument("--loss", default="0,0.05")
    args = parser.parse_args()
    losses = [float(x) for x in args.loss.split(",")]
    results = {}
    with tempfile.TemporaryDirectory(prefix="pellora-bench-raknet-") as tmp:
        for loss in losses:
            for run in range(args.repeat):
                order = ("pellora", "love") if run % 2 == 0 else ("love", "pellora")
                for runtime in order:
                    for mode in ("throughput", "latency"):
                        r = one_run(args, runtime, mode, loss, tmp)
                        results.setdefault((runtime, loss, mode), []).append(r)
                        print("run %d %s loss=%g %s %s" % (run + 1, runtime, loss, mode, r), flush=True)
    print()
    print("| runtime | loss | throughput MB/s | RTT mean ms | RTT p50 ms | RTT p99 ms |")
    print("|---|---|---|---|---|---|")
    for loss in losses:
        for runtime, label in (("pellora", "Pellora raknet"), ("love", "LOVE 11.4 ENet")):
            t = [r["mbytes_per_s"] for r in results[(runtime, loss, "throughput")]]
            lat = results[(runtime, loss, "latency")]
            print("| %s | %g %% | %s | %s | %s | %s |" % (
                label, loss * 100, summary(t, 1), summary([r["mean_ms"] for r in lat], 2),
                summary([r["p50_ms"] for r in lat], 2), summary([r["p99_ms"] for r in lat], 2)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
