"""A peer of the game session protocol over TCP, written from the
protocol's description rather than from the runtime's code.

Every packet is framed by a four-byte header: its type (int16) and its
total length (uint16, the header included), little-endian. Variable packets
carry a zero-terminated signature (b, i, f, s, n) and then the values.
Types with bit 0x4000 are the device's own: the host's hello (client id,
code, key as int32), the client's reply (player name as UTF-16 units and a
zero unit, then the game version and a zero byte), ping, pong, the
client's disconnect notice, and compressed batches. Scrambling XORs each
body byte with a key byte, most significant first, turning the key right
by one bit after every fourth byte.

Only loopback addresses are used, and every wait has a time limit.
"""
import os
import random
import re
import socket
import struct
import subprocess
import threading
import time

SERVER_HELLO, CLIENT_HELLO, PING, PONG, DISCONNECT, COMPRESSED = range(0x4000, 0x4006)
HELLO, WELCOME, SERVER_FULL, INCORRECT_VERSION, ERROR = range(5)
LOOPBACK = "127.0.0.1"
TIMEOUT = 15.0


def frame(ptype, body=b""):
    return struct.pack("<HH", ptype & 0xFFFF, 4 + len(body)) + bytes(body)


def variable(ptype, *values):
    """A variable packet of the values: bool b, int i, float f, str s, None n."""
    signature, data = "", b""
    for v in values:
        if v is None:
            signature += "n"
        elif isinstance(v, bool):
            signature += "b"
            data += b"\x01" if v else b"\x00"
        elif isinstance(v, int):
            signature += "i"
            data += struct.pack("<i", v)
        elif isinstance(v, float):
            signature += "f"
            data += struct.pack("<f", v)
        else:
            signature += "s"
            data += (v.encode() if isinstance(v, str) else v) + b"\x00"
    return frame(ptype, signature.encode() + b"\x00" + data)


def header(packet):
    ptype, length = struct.unpack_from("<HH", packet)
    return ptype, length


def server_hello(client_id, code, key=0):
    return frame(SERVER_HELLO, struct.pack("<iiI", client_id, code, key))


def client_hello(name, version):
    return frame(CLIENT_HELLO, name.encode("utf-16-le") + b"\x00\x00" + version.encode() + b"\x00")


def read_client_hello(packet):
    """(name, version) of a client's reply; name keeps every UTF-16 unit."""
    body = packet[4:]
    units = []
    i = 0
    while i + 2 <= len(body):
        unit = struct.unpack_from("<H", body, i)[0]
        i += 2
        if unit == 0:
            break
        units.append(unit)
    name = struct.pack("<%dH" % len(units), *units).decode("utf-16-le")
    version = body[i:].split(b"\x00")[0].decode()
    return name, version


def scramble(packet, key):
    out = bytearray(packet)
    for i in range(len(out) - 4):
        out[4 + i] ^= (key >> (24 - 8 * (i % 4))) & 0xFF
        if i % 4 == 3:
            key = ((key >> 1) | (key << 31)) & 0xFFFFFFFF
    return bytes(out)


class Compressor:
    """Groups of one flag byte and up to eight items; an item is predicted
    (flag bit set, least significant first) when the table holds it for the
    context (byte before the previous << 7 ^ previous), else it is a literal
    that teaches the table. The table lasts for the connection; the context
    starts at zero for every batch."""

    def __init__(self):
        self.table = bytearray(32768)

    def batch(self, data):
        out = bytearray()
        prev = before = 0
        for start in range(0, len(data), 8):
            flag_at = len(out)
            out.append(0)
            for k, value in enumerate(data[start:start + 8]):
                context = ((before << 7) ^ prev) & 0x7FFF
                if self.table[context] == value:
                    out[flag_at] |= 1 << k
                else:
                    out.append(value)
                    self.table[context] = value
                before, prev = prev, value
        return frame(COMPRESSED, bytes(out))


class Connection:
    """One TCP connection that cuts what it receives into packets."""

    def __init__(self, sock):
        self.sock = sock
        self.sock.settimeout(TIMEOUT)
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.pending = b""

    @staticmethod
    def connect(port):
        return Connection(socket.create_connection((LOOPBACK, port), timeout=TIMEOUT))

    def send(self, data):
        self.sock.sendall(data)

    def send_in_pieces(self, data, size=1, pause=0.0005):
        """One send call per piece, so the receiver sees them apart."""
        for start in range(0, len(data), size):
            self.sock.sendall(data[start:start + size])
            if pause:
                time.sleep(pause)

    def packet(self):
        """The next whole packet; None at the end of the stream."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            if len(self.pending) >= 4:
                length = struct.unpack_from("<H", self.pending, 2)[0]
                if len(self.pending) >= length >= 4:
                    packet, self.pending = self.pending[:length], self.pending[length:]
                    return packet
            if time.monotonic() > deadline:
                raise AssertionError("no packet within %.0f s" % TIMEOUT)
            data = self.sock.recv(65536)
            if not data:
                return None
            self.pending += data

    def expect_end(self):
        """The peer closes; whatever it still sends first is returned."""
        rest = []
        while True:
            try:
                p = self.packet()
            except (ConnectionResetError, socket.timeout):
                return rest
            if p is None:
                return rest
            rest.append(p)

    def close(self):
        self.sock.close()


def listen():
    """A listening socket on a random high port of the loopback address."""
    for _ in range(30):
        port = random.randint(20000, 59999)
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        try:
            sock.bind((LOOPBACK, port))
        except OSError:
            sock.close()
            continue
        sock.listen(8)
        sock.settimeout(TIMEOUT)
        return sock, port
    raise AssertionError("no free port")


def accept(listener):
    sock, _ = listener.accept()
    return Connection(sock)


class NativePeer:
    """net_peer (or another program: env and cwd go to Popen) in its own
    process, its output read line by line."""

    def __init__(self, exe, *args, env=None, cwd=None):
        self.name = os.path.basename(exe)
        self.proc = subprocess.Popen([exe] + [str(a) for a in args], stdout=subprocess.PIPE,
                                     stderr=subprocess.STDOUT, text=True, errors="replace",
                                     env=env, cwd=cwd)
        self.lines = []
        self.cond = threading.Condition()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            with self.cond:
                self.lines.append(line.rstrip("\n"))
                self.cond.notify_all()
        with self.cond:
            self.lines.append(None)
            self.cond.notify_all()

    def wait_for(self, pattern, timeout=TIMEOUT):
        """The first line matching the regular expression; fails at the time limit."""
        regex = re.compile(pattern)
        deadline = time.monotonic() + timeout
        with self.cond:
            while True:
                for line in self.lines:
                    if line is not None and regex.search(line):
                        return line
                if None in self.lines or time.monotonic() > deadline:
                    raise AssertionError("no line matching %r in:\n%s" % (pattern, self.output()))
                self.cond.wait(0.1)

    def port(self):
        return int(self.wait_for(r"^PORT \d+$").split()[1])

    def matching(self, pattern):
        regex = re.compile(pattern)
        with self.cond:
            return [l for l in self.lines if l is not None and regex.search(l)]

    def output(self):
        return "\n".join(l for l in self.lines if l is not None)

    def finish(self, timeout=TIMEOUT):
        """Waits for the process to end; its exit code."""
        try:
            code = self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            raise AssertionError(self.name + " did not end:\n" + self.output())
        self.reader.join(5)
        return code

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def run_case(cases, argv):
    """Runs the case named argv[2] of `cases` with the program argv[1]; says
    whether it passed, and gives the exit code."""
    exe, name = argv[1], argv[2]
    try:
        cases[name](exe)
    except AssertionError as failure:
        print("FAILED %s: %s" % (name, failure))
        return 1
    print("passed %s" % name)
    return 0
