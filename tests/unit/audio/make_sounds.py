"""Makes the Ogg Vorbis files the audio tests play, with sox, oggenc and espeak-ng.

Usage: make_sounds.py OUT_DIR

Good files: tone440.ogg (mono, 2 s, 440 Hz), stereo.ogg (1 s, 440 Hz left,
660 Hz right), short.ogg (mono, 0.3 s), long.ogg (stereo, 6 s, 440 Hz) and
voice.ogg (a spoken line). Files that must be refused or survived: six.ogg (6
channels), empty.ogg (no bytes), header_cut.ogg (cut inside the headers),
half.ogg (cut in the middle of the audio), text.ogg (not Ogg at all),
chained.ogg (a mono link followed by a stereo link), and two files whose last
page lies about the length: claims_more.ogg and claims_less.ogg.
"""
import os
import struct
import subprocess
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)


def run(*args):
    subprocess.run(args, cwd=out, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def tone(name, seconds, channels, *synth):
    wav = name + ".wav"
    run("sox", "-n", "-r", "44100", "-b", "16", "-c", str(channels), wav,
        "synth", str(seconds), *synth)
    run("oggenc", "-Q", "-q", "4", wav, "-o", name + ".ogg")
    os.remove(os.path.join(out, wav))


tone("tone440", 2, 1, "sine", "440")
tone("stereo", 1, 2, "sine", "440", "sine", "660")
tone("short", 0.3, 1, "sine", "880")
tone("long", 6, 2, "sine", "440")
tone("six", 1, 6, "sine", "440")

run("espeak-ng", "-w", "voice.wav", "Pellora speaks a test line")
run("oggenc", "-Q", "voice.wav", "-o", "voice.ogg")
os.remove(os.path.join(out, "voice.wav"))


def read(name):
    with open(os.path.join(out, name), "rb") as f:
        return f.read()


def write(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


good = read("tone440.ogg")
write("empty.ogg", b"")
write("header_cut.ogg", good[:200])
longer = read("long.ogg")
write("half.ogg", longer[: len(longer) // 2])
write("text.ogg", b"This is not an Ogg Vorbis file at all.\n" * 20)
write("chained.ogg", good + read("stereo.ogg"))


# Ogg pages carry a CRC; a page whose granule position is changed needs a new one.
def crc_table():
    table = []
    for i in range(256):
        r = i << 24
        for _ in range(8):
            r = ((r << 1) ^ 0x04C11DB7) if r & 0x80000000 else (r << 1)
        table.append(r & 0xFFFFFFFF)
    return table


TABLE = crc_table()


def ogg_crc(data):
    crc = 0
    for b in data:
        crc = ((crc << 8) ^ TABLE[((crc >> 24) & 0xFF) ^ b]) & 0xFFFFFFFF
    return crc


def last_page_with_granule(data, factor):
    at = data.rfind(b"OggS")
    page = bytearray(data[at:])
    granule = struct.unpack_from("<q", page, 6)[0]
    struct.pack_into("<q", page, 6, int(granule * factor))
    struct.pack_into("<I", page, 22, 0)
    struct.pack_into("<I", page, 22, ogg_crc(bytes(page)))
    return data[:at] + bytes(page)


write("claims_more.ogg", last_page_with_granule(good, 1000))
write("claims_less.ogg", last_page_with_granule(good, 0.5))
