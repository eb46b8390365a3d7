#!/usr/bin/env python3
"""Exchanges between net_peer (the runtime's network device in its own
process) and the Python peer of peer.py, or a second net_peer.

Usage: test_peer.py NET_PEER CASE. Cases named client_* have Python join a
native host; host_* have a native client join Python; two_runtimes runs two
net_peer processes against each other.
"""
import socket
import struct
import sys
import time

import peer
from peer import Connection, NativePeer

CASES = {}


def case(function):
    CASES[function.__name__] = function
    return function


def check(condition, message):
    if not condition:
        raise AssertionError(message)


SAMPLE = peer.variable(7, True, 3, 2.5, "ab")
SAMPLE_LINE = r'PACKET from=%d type=7 length=21 values=b:true i:3 f:2.5 s:"ab"$'


def handshake(port, name="Py", version="pyGame"):
    """Joins the native host; the connection and the (id, key) it was given."""
    conn = Connection.connect(port)
    hello = conn.packet()
    check(hello is not None and len(hello) == 16, "hello of 16 bytes: %r" % hello)
    ptype, _ = peer.header(hello)
    client_id, code, key = struct.unpack_from("<iiI", hello, 4)
    check(ptype == peer.SERVER_HELLO and code == peer.HELLO and key == 0, "hello %r" % hello)
    conn.send(peer.client_hello(name, version))
    return conn, client_id


def welcomed(port, name="Py"):
    conn, client_id = handshake(port, name)
    welcome = conn.packet()
    wid, code, key = struct.unpack_from("<iiI", welcome, 4)
    check(peer.header(welcome) == (peer.SERVER_HELLO, 16), "welcome %r" % welcome)
    check((wid, code) == (client_id, peer.WELCOME) and key != 0, "welcome %r" % welcome)
    return conn, client_id, key


def half_then_close(native, conn, closed_line):
    """Half of a packet, then the end of the stream: the other side sees the
    connection close and no packet."""
    conn.send(SAMPLE[:len(SAMPLE) // 2])
    time.sleep(0.1)
    conn.close()
    native.wait_for(closed_line)
    check(native.finish() == 0, "net_peer ends")
    check(not native.matching(r"^PACKET"), "no packet from half a packet")


def native_host(exe, *args):
    native = NativePeer(exe, "host", "--version", "pyGame", *args)
    return native, native.port()


# Python as a client of the native host.

@case
def client_handshake(exe):
    native, port = native_host(exe, "--echo", "--until-event", "client-disconnected")
    conn, client_id, _ = welcomed(port, "Py")
    check(client_id == 1, "the first client is 1")
    native.wait_for(r"^EVENT client-connected id=1 length=1 extra=0 text=Py$")
    # A host answers no ping: the next thing back is the echo.
    conn.send(peer.frame(peer.PING) + SAMPLE)
    native.wait_for(SAMPLE_LINE % 1)
    check(conn.packet() == SAMPLE, "the echo is the packet")
    conn.send(peer.frame(peer.DISCONNECT))
    conn.close()
    native.wait_for(r"^EVENT client-disconnected id=1 ")
    check(native.finish() == 0, "net_peer ends")


@case
def client_byte_writes(exe):
    native, port = native_host(exe, "--echo", "--until-packets", "2")
    conn, client_id, _ = welcomed(port)
    conn.send_in_pieces(SAMPLE, 1)
    big = peer.variable(8, "x" * 16377)
    check(len(big) == 16384, "the largest packet")
    conn.send_in_pieces(big, 1000)
    native.wait_for(SAMPLE_LINE % client_id)
    native.wait_for(r"^PACKET from=1 type=8 length=16384 values=s:<16377 bytes>$")
    check(conn.packet() == SAMPLE and conn.packet() == big, "both echoed whole")
    check(native.finish() == 0, "net_peer ends")


@case
def client_compressed(exe):
    native, port = native_host(exe, "--until-packets", "6")
    conn, _, _ = welcomed(port)
    press = peer.Compressor()
    inner = peer.variable(10, 1) + peer.variable(11, "batched") + peer.variable(12, True)
    first, second = press.batch(inner), press.batch(inner)
    # The second batch predicts from what the first taught.
    check(len(second) < len(first), "the table carries over")
    conn.send(first)
    conn.send(second)
    native.wait_for(r"^Decompressed %d to %d$" % (len(first), len(inner)))
    native.wait_for(r"^Decompressed %d to %d$" % (len(second), len(inner)))
    check(native.finish() == 0, "net_peer ends")
    got = native.matching(r"^PACKET ")
    want = ["PACKET from=1 type=10 length=10 values=i:1",
            'PACKET from=1 type=11 length=14 values=s:"batched"',
            "PACKET from=1 type=12 length=7 values=b:true"] * 2
    check(got == want, "the batched packets in order: %r" % got)


@case
def client_scrambled(exe):
    native, port = native_host(exe, "--descramble", "--echo-scrambled", "--until-packets", "1")
    conn, client_id, key = welcomed(port)
    scrambled = peer.scramble(SAMPLE, key)
    check(scrambled != SAMPLE and scrambled[:4] == SAMPLE[:4], "only the body is scrambled")
    conn.send(scrambled)
    native.wait_for(SAMPLE_LINE % client_id)
    echo = conn.packet()
    check(echo == scrambled, "the echo is scrambled with the same key")
    check(peer.scramble(echo, key) == SAMPLE, "and unscrambles")
    check(native.finish() == 0, "net_peer ends")


def refused(exe, name, version, code):
    native, port = native_host(exe, "--seconds", "3")
    conn = Connection.connect(port)
    conn.packet()
    conn.send(peer.client_hello(name, version))
    answer = conn.packet()
    check(struct.unpack_from("<iiI", answer, 4) == (1, code, 0), "refusal %r" % answer)
    check(conn.expect_end() == [], "then the host closes")
    native.finish()
    check(not native.matching(r"client-connected"), "no client was connected")


@case
def client_wrong_version(exe):
    refused(exe, "Py", "otherGame", peer.INCORRECT_VERSION)


@case
def client_empty_name(exe):
    refused(exe, "", "pyGame", peer.ERROR)


@case
def client_server_full(exe):
    native, port = native_host(exe, "--max", "2", "--seconds", "3")
    first, _, _ = welcomed(port)
    second = Connection.connect(port)
    full = second.packet()
    check(struct.unpack_from("<iiI", full, 4) == (2, peer.SERVER_FULL, 0), "full %r" % full)
    check(second.expect_end() == [], "the host closes")
    native.finish()
    check(len(native.matching(r"client-connected")) == 1, "one client")


@case
def client_close_mid_packet(exe):
    native, port = native_host(exe, "--until-event", "client-disconnected")
    conn, _, _ = welcomed(port)
    half_then_close(native, conn, r"^EVENT client-disconnected id=1 ")


@case
def client_short_lengths(exe):
    native, port = native_host(exe, "--seconds", "6")
    for length in range(4):
        conn, client_id, _ = welcomed(port, "Len%d" % length)
        conn.send(struct.pack("<HH", 7, length) + b"\x00" * 12)
        check(conn.expect_end() == [], "length %d closes the connection" % length)
        native.wait_for(r"^EVENT client-disconnected id=%d " % client_id)
    native.stop()
    check(not native.matching(r"^PACKET"), "nothing delivered")


@case
def client_huge_length(exe):
    native, port = native_host(exe, "--until-event", "client-disconnected")
    conn, _, _ = welcomed(port)
    conn.send(struct.pack("<HH", 7, 65535) + b"\x00" * 100)
    check(conn.expect_end() == [], "the host closes")
    native.wait_for(r"^Huge packet received!$")
    check(native.finish() == 0, "net_peer ends")


def flood(conn, count=100000):
    """count numbered packets of type 42, in sends of 1000, then type 99."""
    deadline = time.monotonic() + 60
    for start in range(0, count, 1000):
        check(time.monotonic() < deadline, "the flood took too long")
        conn.send(b"".join(peer.variable(42, n) for n in range(start, min(count, start + 1000))))
    conn.send(peer.variable(99))


@case
def client_flood(exe):
    native, port = native_host(exe, "--quiet", "--until-packets", "100001", "--seconds", "60")
    conn, _, _ = welcomed(port)
    flood(conn)
    native.wait_for(r"^FLOOD received=100000 inorder=100000$", 60)
    check(native.finish() == 0, "net_peer ends")


@case
def client_stops_reading(exe):
    """A client that takes nothing the host sends is dropped when a send
    times out, and the host hears that it left."""
    native, port = native_host(exe, "--quiet", "--echo", "--until-event", "client-disconnected",
                               "--seconds", "60")
    conn, _, _ = welcomed(port)
    conn.sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
    big = peer.variable(42, "x" * 16000)
    conn.sock.settimeout(1)
    # The echoes pile up unread until the host's send gives up; a bounded
    # number of packets, each send with its own time limit.
    for _ in range(2000):
        try:
            conn.sock.sendall(big)
        except (socket.timeout, OSError):
            break
    native.wait_for(r"^EVENT client-disconnected id=1 ", 30)
    check(native.finish() == 0, "net_peer ends")
    conn.close()


# Python as the host of a native client.

def native_client(exe, name="Zo\u00eb", version="pyGame", *args):
    listener, port = peer.listen()
    native = NativePeer(exe, "join", "--port", port, "--name", name, "--version", version, *args)
    conn = peer.accept(listener)
    listener.close()
    return native, conn


def greet(conn, client_id=5, key=0x12345678):
    conn.send(peer.server_hello(client_id, peer.HELLO))
    reply = conn.packet()
    check(peer.header(reply)[0] == peer.CLIENT_HELLO, "the client's reply %r" % reply)
    conn.send(peer.server_hello(client_id, peer.WELCOME, key))
    return peer.read_client_hello(reply)


@case
def host_handshake(exe):
    native, conn = native_client(exe, "Zo\u00eb", "pyGame", "--echo", "--until-packets", "1")
    name, version = greet(conn)
    check((name, version) == ("Zo\u00eb", "pyGame"), "name and version: %r" % ((name, version),))
    native.wait_for(r"^EVENT connected id=0 length=5 ")
    conn.send(SAMPLE)
    native.wait_for(SAMPLE_LINE % 1000)
    check(conn.packet() == SAMPLE, "echoed")
    check(native.finish() == 0, "net_peer ends")


@case
def host_ping(exe):
    native, conn = native_client(exe, "Pinger", "pyGame", "--until-packets", "1")
    greet(conn)
    for _ in range(3):
        conn.send(peer.frame(peer.PING))
        check(conn.packet() == peer.frame(peer.PONG), "pong")
    conn.send(SAMPLE)
    check(native.finish() == 0, "net_peer ends")
    check(len(native.matching(r"^PING\? PONG!$")) == 3, "three pongs printed")


@case
def host_byte_writes(exe):
    native, conn = native_client(exe, "Bytes", "pyGame", "--until-packets", "1")
    greet(conn)
    conn.send_in_pieces(SAMPLE, 1)
    native.wait_for(SAMPLE_LINE % 1000)
    check(native.finish() == 0, "net_peer ends")


@case
def host_compressed(exe):
    native, conn = native_client(exe, "Press", "pyGame", "--until-packets", "2")
    greet(conn)
    press = peer.Compressor()
    # A ping inside a batch is answered like any other.
    conn.send(press.batch(peer.variable(20, -5) + peer.frame(peer.PING) + SAMPLE))
    check(conn.packet() == peer.frame(peer.PONG), "pong from the batch")
    native.wait_for(r"^PACKET from=1000 type=20 length=10 values=i:-5$")
    native.wait_for(SAMPLE_LINE % 1000)
    check(native.finish() == 0, "net_peer ends")


@case
def host_scrambled(exe):
    key = 0x9ABCDEF1
    native, conn = native_client(exe, "Secret", "pyGame", "--descramble", "--send-scrambled",
                                 "--until-packets", "1")
    greet(conn, 3, key)
    sample = conn.packet()
    # net_peer's first sample is this packet, scrambled with the client's own key.
    first = peer.variable(1, True, 3, 2.5, "ab")
    check(sample != first and peer.scramble(sample, key) == first, "scrambled with the key")
    conn.send(peer.scramble(SAMPLE, key))
    native.wait_for(SAMPLE_LINE % 1000)
    check(native.finish() == 0, "net_peer ends")


@case
def host_refusals(exe):
    for code, event in ((peer.SERVER_FULL, "server-full"),
                        (peer.INCORRECT_VERSION, "incorrect-version"),
                        (peer.ERROR, "connect-failed")):
        native, conn = native_client(exe, "Refused", "pyGame", "--until-event", event)
        conn.send(peer.server_hello(4, code))
        native.wait_for(r"^EVENT %s id=0 length=0 " % event)
        check(native.finish() == 0, "net_peer ends after %s" % event)
        check(conn.expect_end() == [], "no disconnect notice after a refusal")
        check(not native.matching(r"^EVENT disconnected"), "no disconnection reported")


@case
def host_close_mid_packet(exe):
    native, conn = native_client(exe, "Half", "pyGame", "--until-event", "disconnected")
    greet(conn)
    native.wait_for(r"^EVENT connected ")
    half_then_close(native, conn, r"^EVENT disconnected id=1000 ")


@case
def host_short_lengths(exe):
    for length in (0, 1, 2, 3, 65535):
        native, conn = native_client(exe, "Len", "pyGame", "--until-event", "disconnected")
        greet(conn)
        native.wait_for(r"^EVENT connected ")
        conn.send(struct.pack("<HH", 9, length) + b"\x00" * 8)
        check(conn.expect_end() == [], "length %d closes the connection" % length)
        native.wait_for(r"^EVENT disconnected id=1000 ")
        check(native.finish() == 0, "net_peer ends")
        if length == 65535:
            native.wait_for(r"^Huge packet received!$")


@case
def host_flood(exe):
    native, conn = native_client(exe, "Flooded", "pyGame", "--quiet", "--until-packets", "100001",
                                 "--seconds", "60")
    greet(conn)
    flood(conn)
    native.wait_for(r"^FLOOD received=100000 inorder=100000$", 60)
    check(native.finish() == 0, "net_peer ends")


@case
def host_disconnect_notice(exe):
    native, conn = native_client(exe, "Leaving", "pyGame", "--until-packets", "1")
    greet(conn)
    conn.send(SAMPLE)
    check(native.finish() == 0, "net_peer ends")
    rest = conn.expect_end()
    check(rest == [peer.frame(peer.DISCONNECT)], "the notice, then the end: %r" % rest)
    native.wait_for(r"^Disconnection message from peer, 4 bytes sent$")


# Two runtime processes.

@case
def two_runtimes(exe):
    host = NativePeer(exe, "host", "--echo", "--until-event", "client-disconnected")
    port = host.port()
    joiner = NativePeer(exe, "join", "--port", port, "--name", "Joiner", "--send-samples")
    joiner.wait_for(r"^SAMPLES ok$")
    check(joiner.finish() == 0, "the joiner ends")
    host.wait_for(r"^EVENT client-connected id=1 length=1 extra=0 text=Joiner$")
    check(host.finish() == 0, "the host ends when the joiner leaves")
    check(len(joiner.matching(r"^ECHO ok")) == 6 and not joiner.matching(r"^ECHO bad"),
          "every sample came back")
    want = ['PACKET from=1 type=1 length=21 values=b:true i:3 f:2.5 s:"ab"',
            'PACKET from=1 type=2 length=23 values=i:-2147483648 i:2147483647 f:-0.25 n s:""',
            r'PACKET from=1 type=3 length=17 values=s:"Zo\xc3\xab \xe2\x82\xac" b:false',
            "PACKET from=1 type=-32768 length=10 values=i:16777217",
            "PACKET from=1 type=4 length=16007 values=s:<16000 bytes>",
            "PACKET from=1 type=5 length=5 values="]
    got = host.matching(r"^PACKET ")
    check(got == want, "the host decoded:\n%s" % "\n".join(got))
    joiner.wait_for(r"^EVENT connected id=0 length=1 ")


if __name__ == "__main__":
    sys.exit(peer.run_case(CASES, sys.argv))
