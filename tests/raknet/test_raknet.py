#!/usr/bin/env python3
"""The raknet table across processes, on 127.0.0.1 only.

Usage: test_raknet.py CASE PELLORA [FACILITATOR] [NODE_MODULES]

  jsp_server    a Pellora script connects to jsp-raknet's server: a ping and
                its pong text, the handshake, a user packet and a 5,000-byte
                split packet echoed back
  jsp_client    jsp-raknet's client connects to a Pellora script hosting:
                the same, the other way round
  two_runtimes  two Pellora clients and a Pellora host: every field type,
                a timestamped packet with a plausible age (the client starts
                a second after the host, so their clocks differ), a broadcast
                that skips one client, pings, a disconnection
  nat           two Pellora peers attached to pellora-facilitator: one opens
                a route to the other and both see it succeed; a GUID that is
                not attached gives ID_NAT_TARGET_NOT_CONNECTED

The game in game/ plays each Pellora end (its role comes from the
environment). The jsp cases need node and jsp-raknet 2.2.0 in NODE_MODULES
(scripts/test.sh installs it); without them they are skipped (exit 77),
unless PELLORA_REQUIRE_JSP is set, as in CI.
"""
import os
import re
import shutil
import socket
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "net"))
from peer import NativePeer  # noqa: E402  (a process whose output lines are read as they come)
PROTOCOL = os.environ.get("PELLORA_RUDP_PROTOCOL", "6")
SKIP = 77


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def free_port():
    """A UDP port of 127.0.0.1 that was free a moment ago."""
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Harness:
    def __init__(self, pellora, facilitator, modules):
        self.pellora = pellora
        self.facilitator = facilitator
        self.modules = modules
        self.tmp = tempfile.mkdtemp(prefix="pellora-raknet-")
        self.processes = []

    def runtime(self, name, role, port, seconds=15, **extra):
        home = os.path.join(self.tmp, name)
        os.makedirs(home, exist_ok=True)
        env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, "share"), TMPDIR=home,
                   ALSOFT_DRIVERS="null", RAKNET_ROLE=role, RAKNET_PORT=str(port),
                   RAKNET_SECONDS=str(seconds), **extra)
        p = NativePeer(self.pellora, "--headless", "--frames", "100000000",
                       os.path.join(HERE, "game"), env=env, cwd=home)
        self.processes.append(p)
        return p

    def jsp(self, mode, port, seconds=15):
        p = NativePeer(shutil.which("node"), os.path.join(HERE, "jsp_peer.js"), self.modules,
                       PROTOCOL, mode, port, seconds)
        self.processes.append(p)
        return p

    def close(self):
        for p in self.processes:
            p.stop()
        shutil.rmtree(self.tmp, ignore_errors=True)


def jsp_server(h):
    port = free_port()
    server = h.jsp("server", port)
    server.wait_for(r"^LISTENING")
    game = h.runtime("client", "jsp_client", port)
    game.wait_for(r"^Lua: PONG MCPE;jsp-raknet here;.* time=true$")
    game.wait_for(r"^Lua: CONNECT true $")
    game.wait_for(r"^Lua: ACCEPTED 127\.0\.0\.1\|%d$" % port)
    game.wait_for(r"^Lua: SENT true$")
    game.wait_for(r"^Lua: ECHO 140 hello jsp -7 length=16$")
    game.wait_for(r"^Lua: ECHO 141 length=5000 intact=true$")
    game.wait_for(r"^Lua: DONE$")
    check(game.finish() == 0, "the runtime ends cleanly")
    server.wait_for(r"^OPEN 127\.0\.0\.1 \d+$")
    server.wait_for(r"^PACKET id=140 length=16 ")
    server.wait_for(r"^PACKET id=141 length=5000 ")


def jsp_client(h):
    port = free_port()
    game = h.runtime("host", "jsp_host", port)
    game.wait_for(r"^Lua: HOSTING true $")
    client = h.jsp("client", port)
    client.wait_for(r"^PONG pellora pong$")
    client.wait_for(r"^CONNECTED$")
    client.wait_for(r"^ECHO id=140 length=15 ")
    client.wait_for(r"^ECHO id=141 length=5000 ")
    client.wait_for(r"^DONE$")
    check(client.finish() == 0, "jsp-raknet's client is satisfied")
    game.wait_for(r"^Lua: INCOMING 127\.0\.0\.1\|\d+$")
    game.wait_for(r"^Lua: ECHOED 140 length=15$")
    game.wait_for(r"^Lua: ECHOED 141 length=5000$")
    check(game.finish() == 0, "the runtime ends cleanly")


def two_runtimes(h):
    port = free_port()
    host = h.runtime("host", "fields_host", port, seconds=20)
    host.wait_for(r"^Lua: HOSTING true $")
    # The clients' clocks start a second later than the host's.
    time.sleep(1.0)
    writer = h.runtime("writer", "fields_client", port)
    writer.wait_for(r"^Lua: ACCEPTED$")
    other = h.runtime("other", "fields_other", port, seconds=8)
    writer.wait_for(r"^Lua: SENT FIELDS true$")
    host.wait_for(r"^Lua: FIELDS length=\d+ from=127\.0\.0\.1\|\d+$")
    host.wait_for(r"^Lua: bool true byte 200 short -12345 int -1234567890 float 1\.5$")
    short = host.wait_for(r"^Lua: shortFloat -?[\d.]+ string h\u00e9llo$")
    check(abs(float(short.split()[2]) - 2.5) <= 20 / 65535, "2.5 in 16 bits over -10..10: " + short)
    host.wait_for(r"^Lua: wide 2 units 119,233$")
    host.wait_for(r"^Lua: address 127\.1\.2\.3\|4567 time 123456789 guid true$")
    host.wait_for(r"^Lua: last bool false$")
    host.wait_for(r"^Lua: tail int nil short 77 then nil$")
    stamped = host.wait_for(r"^Lua: STAMPED length=4 age=-?\d+ bytes=1,2,3$")
    age = int(re.search(r"age=(-?\d+)", stamped).group(1))
    check(0 <= age < 300, "a plausible age on one machine, not the clocks' difference: %d" % age)
    other.wait_for(r"^Lua: ACCEPTED$")
    host.wait_for(r"^Lua: BROADCAST true$")
    other.wait_for(r"^Lua: GOT 152 to the other one$")
    ping = int(writer.wait_for(r"^Lua: PING -?\d+$").split()[2])
    check(0 <= ping < 200, "the writer's average ping %d" % ping)
    host.wait_for(r"^Lua: DISCONNECTED writer=true$", 10)
    ping = int(host.wait_for(r"^Lua: PING -?\d+$").split()[2])
    check(0 <= ping < 200, "the host's average ping %d" % ping)
    for p in (writer, other, host):
        check(p.finish() == 0, "%s ends cleanly" % p.name)
    check(not writer.matching(r"^Lua: GOT 152"), "the excluded client got nothing")


def nat(h):
    port = free_port()
    facilitator = NativePeer(h.facilitator, "--port", port, "--seconds", 30)
    h.processes.append(facilitator)
    facilitator.wait_for(r"^Facilitator on 127\.0\.0\.1\|%d$" % port)
    target = h.runtime("target", "nat_peer", port)
    target.wait_for(r"^Lua: ATTACH true $")
    guid = target.wait_for(r"^Lua: FACILITATOR \d+$").split()[2]
    asker = h.runtime("asker", "nat_peer", port, RAKNET_TARGET=guid)
    asker.wait_for(r"^Lua: ATTACH true $")
    asker.wait_for(r"^Lua: NOT_CONNECTED 12345$")
    asker.wait_for(r"^Lua: SUCCEEDED true requester=1 from=true$")
    target.wait_for(r"^Lua: SUCCEEDED true requester=0 from=true$")
    for p in (asker, target):
        check(p.finish() == 0, "%s ends cleanly" % p.name)


CASES = {"jsp_server": jsp_server, "jsp_client": jsp_client, "two_runtimes": two_runtimes, "nat": nat}


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in CASES:
        print(__doc__)
        return 2
    case = sys.argv[1]
    pellora = sys.argv[2]
    facilitator = sys.argv[3] if len(sys.argv) > 3 else ""
    modules = sys.argv[4] if len(sys.argv) > 4 else ""
    if case.startswith("jsp_"):
        present = shutil.which("node") and os.path.isdir(os.path.join(modules, "jsp-raknet"))
        if not present:
            message = "node or jsp-raknet missing in %r (scripts/test.sh installs it)" % modules
            if os.environ.get("PELLORA_REQUIRE_JSP"):
                print("FAIL:", message)
                return 1
            print("SKIP:", message)
            return SKIP
    h = Harness(pellora, facilitator, modules)
    try:
        CASES[case](h)
    finally:
        h.close()
    print("ok:", case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
