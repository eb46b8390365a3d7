"""Measures what OpenAL's file back end wrote, so tests judge real output.

Usage: analyse_wave.py FILE QUERY...

Queries, answered one line each as key=value pairs. Times are seconds from the
start of the file, or "first+S" / "last-S": seconds after the first or before
the last moment the mix is louder than 0.01 (RMS of 10 ms windows), so tests
need not know when the mixer started writing:
  info                    rate, channels, seconds
  peak START END          the strongest frequency (Hz) of the mono mix
  rms START END           the RMS of the left and of the right channel (0..1)
  gaps THRESHOLD          between the first and the last moment the mix is
                          louder than THRESHOLD (RMS of 10 ms windows), the
                          longest run of quieter windows, in ms
Reads 16-bit integer and 32-bit float PCM, plain or extensible headers.
"""
import cmath
import math
import struct
import sys


def load(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise SystemExit("not a WAV file")
    at, fmt, pcm = 12, None, None
    while at + 8 <= len(data):
        cid, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        body = data[at + 8:at + 8 + size]
        if cid == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body, 0)
            if fmt[0] == 0xFFFE:
                fmt = (struct.unpack_from("<H", body, 24)[0],) + fmt[1:]
        elif cid == b"data":
            pcm = body
        at += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    if tag == 3 and bits == 32:
        values = struct.unpack("<%df" % (len(pcm) // 4), pcm[: len(pcm) // 4 * 4])
    elif tag == 1 and bits == 16:
        values = [v / 32768.0 for v in struct.unpack("<%dh" % (len(pcm) // 2),
                                                     pcm[: len(pcm) // 2 * 2])]
    else:
        raise SystemExit("unsupported sample format %d/%d" % (tag, bits))
    frames = len(values) // channels
    chans = [values[c::channels][:frames] for c in range(channels)]
    return rate, chans


def window(rate, samples, start, end):
    return samples[max(0, int(start * rate)):max(0, int(end * rate))]


def fft(x):
    n = len(x)
    if n == 1:
        return x
    even, odd = fft(x[0::2]), fft(x[1::2])
    out = [0j] * n
    for k in range(n // 2):
        t = cmath.exp(-2j * math.pi * k / n) * odd[k]
        out[k], out[k + n // 2] = even[k] + t, even[k] - t
    return out


def peak(rate, mono, start, end):
    part = window(rate, mono, start, end)
    n = 1
    while n * 2 <= len(part) and n < 16384:
        n *= 2
    if n < 256:
        return 0.0
    part = part[:n]
    hann = [p * (0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1))) for i, p in enumerate(part)]
    spectrum = [abs(v) for v in fft([complex(v) for v in hann])[: n // 2]]
    k = max(range(1, n // 2 - 1), key=lambda i: spectrum[i])
    # Parabolic interpolation between the neighbouring bins.
    a, b, c = spectrum[k - 1], spectrum[k], spectrum[k + 1]
    shift = 0.5 * (a - c) / (a - 2 * b + c) if (a - 2 * b + c) != 0 else 0.0
    return (k + shift) * rate / n


def rms(samples):
    return math.sqrt(sum(v * v for v in samples) / len(samples)) if samples else 0.0


def loud_span(rate, mono, threshold):
    step = rate // 100
    loud = [rms(mono[i:i + step]) > threshold for i in range(0, len(mono) - step, step)]
    if True not in loud:
        return loud, -1, -1
    first = loud.index(True)
    return loud, first, len(loud) - 1 - loud[::-1].index(True)


def main():
    rate, chans = load(sys.argv[1])
    mono = [sum(vals) / len(vals) for vals in zip(*chans)]
    _, first, last = loud_span(rate, mono, 0.01)

    def when(text):
        for name, mark, sign in (("first", first, 1), ("last", last, -1)):
            if text.startswith(name):
                rest = text[len(name):].lstrip("+-")
                return (mark + (1 if sign < 0 else 0)) / 100 + sign * float(rest or 0)
        return float(text)

    args, at = sys.argv[2:], 0
    while at < len(args):
        q = args[at]
        if q == "info":
            print("rate=%d channels=%d seconds=%.3f" % (rate, len(chans), len(mono) / rate))
            at += 1
        elif q == "peak":
            s, e = when(args[at + 1]), when(args[at + 2])
            print("peak=%.2f" % peak(rate, mono, s, e))
            at += 3
        elif q == "rms":
            s, e = when(args[at + 1]), when(args[at + 2])
            left = rms(window(rate, chans[0], s, e))
            right = rms(window(rate, chans[-1], s, e))
            print("left=%.5f right=%.5f" % (left, right))
            at += 3
        elif q == "gaps":
            loud, begin, end = loud_span(rate, mono, float(args[at + 1]))
            if begin < 0:
                print("first=-1 last=-1 longest_gap_ms=-1")
            else:
                longest = run = 0
                for flag in loud[begin:end + 1]:
                    run = 0 if flag else run + 1
                    longest = max(longest, run)
                print("first=%.2f last=%.2f longest_gap_ms=%d" % (begin / 100, (end + 1) / 100,
                                                                  longest * 10))
            at += 2
        else:
            raise SystemExit("unknown query " + q)


main()
