#!/usr/bin/env python3
"""Script sessions between real processes over loopback: the runtime runs
the games in games/ headless and prints their callbacks, against a second
runtime, against itself, against the protocol peer of peer.py as a foreign
client and a foreign host, and against a plain TCP text server.

Usage: test_sessions.py PELLORA CASE. Every address is 127.0.0.1; hosts
listen on it only (PELLORA_LISTEN_ADDRESS); every wait has a time limit.
"""
import os
import re
import socket
import sys
import tempfile

import peer
from peer import NativePeer
from test_peer import check, welcomed

HERE = os.path.dirname(os.path.abspath(__file__))
GAMES = os.path.join(HERE, "games")
DUEL = os.path.join(HERE, "..", "..", "games", "duel")
CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


def free_port():
    """A port of the loopback address that nobody listens on just now."""
    sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    sock.bind((peer.LOOPBACK, 0))
    port = sock.getsockname()[1]
    sock.close()
    return port


class Runtime(NativePeer):
    """The runtime running one of games/ headless, its output read line by line."""

    def __init__(self, exe, game, port, *args, game_args=()):
        os.environ["PORT"] = str(port)
        super().__init__(exe, "--headless", *args, os.path.join(GAMES, game), *game_args)

    def lua(self):
        """The script's printed lines, without their "Lua: " prefix."""
        return [l[5:] for l in self.matching(r"^Lua: ")]

    def done(self, timeout=90):
        code = self.finish(timeout)
        check(code == 0, "the runtime ended with %d:\n%s" % (code, self.output()))
        check("TIMEOUT" not in self.lua(), "the game ran out of time:\n%s" % self.output())


def in_order(lines, wanted):
    """Every line of `wanted` (regular expressions) appears in `lines`, in this order."""
    at = 0
    for pattern in wanted:
        regex = re.compile(pattern)
        while at < len(lines) and not regex.search(lines[at]):
            at += 1
        check(at < len(lines), "no line matching %r after the earlier ones in:\n%s" %
              (pattern, "\n".join(lines)))
        at += 1


def count(lines, pattern):
    regex = re.compile(pattern)
    return sum(1 for l in lines if regex.search(l))


@case
def two_runtimes(exe):
    port = free_port()
    host = Runtime(exe, "arena_host", port)
    host.wait_for(r"^Lua: hosting$")
    joiner = Runtime(exe, "arena_join", port)
    joiner.done()
    host.done()
    h, j = host.lua(), joiner.lua()
    in_order(h, [r"^hosting$", r"^clientConnected Joiner 1$",
                 r"^packetReceived 10 from 1: true,3,2\.5,ab,-3,10000000000,-2\.5$",
                 r"^clientConnected P1 3$", r"^clientConnected P6 8$",
                 r"^hosting again$", r"^clientConnected Again 10$", r"^done$"])
    check(count(h, r"^clientConnected ") == 8, "seven clients, then one more:\n%s" % "\n".join(h))
    check(count(h, r"^packetReceived 11 ") == 0, "a client's broadcast reaches nobody")
    # (The joiner leaves at the end, maybe before its last packet is delivered.)
    again = h.index("clientConnected Again 10")
    check(count(h[:again], r"^clientDisconnected") == 0, "hosting again reports no departures")
    in_order(j, [r"^connectSucceeded 1$", r"^packetReceived 20 from 1000: reply,1$",
                 r"^onFail Other Incorrect game version$", r"^onConnect P1 3$",
                 r"^onConnect P6 8$", r"^onFail P7 Server is full$", r"^hostDisconnected$",
                 r"^connectSucceeded 10$"])
    check(count(j, r"^packetReceived 21 from 1000: to all$") == 1, "the broadcast reached 1")
    check(count(j, r"^onDisconnect P\d$") == 6, "every player's session ended:\n%s" % "\n".join(j))
    check(count(j, r"^onConnect P7") == 0, "the eighth client is refused")


@case
def one_process(exe):
    game = Runtime(exe, "one_process", free_port())
    game.done(30)
    lines = game.lua()
    in_order(lines, [r"^F\d+ clientConnected Net 1$", r"^F\d+ onConnect 1$",
                     r"^F\d+ packetReceived 1 from 1: one,1$", r"^F\d+ packetReceived 2 from 1: two,2$",
                     r"^F\d+ onPacket 5 from 1000: boom$", r"deliberate failure in onPacket",
                     r"^stack traceback:$", r"^F\d+ onPacket 6 from 1000: after$"])
    # The departure and the last packet: if one frame holds both, the event comes first.
    gone = [l for l in lines if re.match(r"^F\d+ clientDisconnected 1$", l)]
    last = [l for l in lines if re.match(r"^F\d+ packetReceived 3 from 1: last$", l)]
    check(len(gone) == 1 and len(last) == 1, "the departure and the last packet:\n%s" % "\n".join(lines))
    frame = lambda line: int(line.split()[0][1:])
    check(frame(gone[0]) >= frame(last[0]), "the packet came first")
    if frame(gone[0]) == frame(last[0]):
        check(lines.index(gone[0]) < lines.index(last[0]), "events before packets in a frame")
    check(count(lines, r"^F\d+ packetReceived") == 3, "packet mode sends no text")
    check(count(lines, r"A Lua script error") == 0, "an object's error switches nothing off")


# What the peer sends in both directions, and how the script prints it: every
# kind of value, nil and UTF-8 text included, then two packets in one
# compressed batch.
FOREIGN = [peer.variable(1, True, 3, 2.5, "ab"),
           peer.variable(2, None, -2147483648, "Zo\u00eb \u20ac", False, -0.25, 16777217)]
FOREIGN_LINES = [r"^packetReceived 1 from %d: true,3,2\.5,ab$",
                 r"^packetReceived 2 from %d: nil,-2147483648,Zo\u00eb \u20ac,false,-0\.25,16777217$",
                 r"^packetReceived 3 from %d: batched$", r"^packetReceived 4 from %d: 5$"]


def send_foreign(conn):
    for packet in FOREIGN:
        conn.send(packet)
    conn.send(peer.Compressor().batch(peer.variable(3, "batched") + peer.variable(4, 5)))


@case
def foreign_client(exe):
    port = free_port()
    os.environ["ROLE"] = "host"
    game = Runtime(exe, "foreign_peer", port)
    game.wait_for(r"^Lua: started host$")
    # The host greets the peer once it has started (half a second).
    conn, client_id, _ = welcomed(port, "Py")
    check(client_id == 1, "the first client is 1")
    send_foreign(conn)
    check(conn.packet() == peer.variable(7, True, 3, 2.5, "ab"), "the script's answer, exactly")
    conn.send(peer.variable(99))
    check(conn.expect_end() == [], "the host closes")
    game.done(30)
    in_order(game.lua(), [r"^clientConnected Py 1$"] + [l % 1 for l in FOREIGN_LINES] +
             [r"^packetReceived 99 from 1: $"])
    check(count(game.lua(), r"^clientDisconnected") == 0, "a closing host reports nobody leaving")


@case
def foreign_host(exe):
    listener, port = peer.listen()
    os.environ["ROLE"] = "join"
    game = Runtime(exe, "foreign_peer", port)
    # Refused first: the script hears why and joins again.
    full = peer.accept(listener)
    full.send(peer.server_hello(4, peer.SERVER_FULL))
    check(full.expect_end() == [], "a refused client leaves without a word")
    conn = peer.accept(listener)
    listener.close()
    conn.send(peer.server_hello(5, peer.HELLO))
    reply = conn.packet()
    check(peer.read_client_hello(reply) == ("Zo\u00eb", "pyGame"), "the reply %r" % reply)
    conn.send(peer.server_hello(5, peer.WELCOME, 0x2468ACE1))
    check(conn.packet() == peer.variable(7, True, 3, 2.5, "ab"), "the script's first packet")
    send_foreign(conn)
    conn.send(peer.frame(peer.PING))
    # The receive thread answers the ping, the script the packet: either first.
    answers = sorted([conn.packet(), conn.packet()])
    check(answers == sorted([peer.frame(peer.PONG), peer.variable(7, True, 3, 2.5, "ab")]),
          "the pong and the answer to packet 1: %r" % answers)
    conn.send(peer.variable(99))
    check(conn.expect_end() == [peer.frame(peer.DISCONNECT)], "the notice, then the end")
    game.done(30)
    in_order(game.lua(), [r"^connectFailed Server is full$", r"^connectSucceeded 5$"] +
             [l % 1000 for l in FOREIGN_LINES] +
             [r"^packetReceived 99 from 1000: $"])


def receive_exactly(sock, size):
    """size bytes, then nothing more for a moment."""
    data = b""
    while len(data) < size:
        piece = sock.recv(size - len(data))
        check(piece, "the stream ended after %r" % data)
        data += piece
    sock.settimeout(0.3)
    try:
        extra = sock.recv(100)
    except socket.timeout:
        extra = b""
    sock.settimeout(peer.TIMEOUT)
    check(extra == b"", "more bytes than sent: %r then %r" % (data, extra))
    return data


@case
def raw_mode(exe):
    listener, port = peer.listen()
    game = Runtime(exe, "raw_text", port)
    sock, _ = listener.accept()
    listener.close()
    sock.settimeout(peer.TIMEOUT)
    check(receive_exactly(sock, 5) == b"hello", "hello, without a terminator")
    sock.sendall(b"abc\x00def")
    game.wait_for(r"^Lua: onData 3 bytes: abc$")
    sock.sendall(b"line two")
    check(receive_exactly(sock, 3) == b"bye", "the text up to its zero byte")
    sock.close()
    game.done(30)
    in_order(game.lua(), [r"^raw startHost false$", r"^onConnect 0$", r"^onData 3 bytes: abc$",
                          r"^onData 8 bytes: line two$", r"^onDisconnect$"])


@case
def objects_released(exe):
    game = Runtime(exe, "net_objects", free_port())
    game.done(60)
    in_order(game.lua(), [r"^A onConnect 1$", r"^dropping A after \d+ packets$",
                          r"^clientDisconnected 1$", r"^B onConnect 2$", r"^clientDisconnected 2$",
                          r"^B received 1 packet$",
                          r"^after the loop: \+0 threads, \+0 descriptors$"])


@case
def restart_during_session(exe):
    events = os.path.join(os.environ["HOME"], "restart.events")
    with open(events, "w") as f:
        f.write("400 key 0x52 ctrl\n")
    game = Runtime(exe, "restart", free_port(), "--events", events)
    game.done(60)
    lines = game.lua()
    in_order(lines, [r"^first run$", r"^session active$", r"^gameClose$", r"^second run$",
                     r"^after the restart: \+0 threads, \+0 descriptors$"])
    check(count(lines, r"^second run heard") == 0, "the old sessions reached the new script:\n%s" %
          "\n".join(lines))


@case
def demo_duel(exe):
    """The bundled two-player game: a host and a guest play a round."""
    port = str(free_port())
    # The host outlasts its guest whenever the guest starts.
    host = Runtime(exe, DUEL, port, game_args=("--port", port, "--name", "Ann", "--seconds", "25"))
    host.wait_for(r"^duel: hosting on port %s$" % port)
    guest = Runtime(exe, DUEL, port, game_args=("--join", peer.LOOPBACK, "--port", port,
                                                "--name", "Bob", "--seconds", "9"))
    guest.done(60)
    host.wait_for(r"^duel: guest left$")
    host.done(60)
    wanted = [r"^duel: round starting$", r"^duel: first state from the other ship$",
              r"^duel: round started$"]
    in_order(host.matching(r"^duel: "), [r"^duel: guest Bob joined$"] + wanted + [r"^duel: guest left$"])
    in_order(guest.matching(r"^duel: "), [r"^duel: joined as client 1$", r"^duel: the host is Ann$"] +
             wanted)


def main():
    # A private user folder; hosts listen on the loopback address only.
    with tempfile.TemporaryDirectory(prefix="pellora-sessions-") as tmp:
        os.environ.update(HOME=tmp, XDG_DATA_HOME=os.path.join(tmp, "data"),
                          PELLORA_LISTEN_ADDRESS=peer.LOOPBACK, ALSOFT_DRIVERS="null")
        return peer.run_case(CASES, sys.argv)


if __name__ == "__main__":
    sys.exit(main())
