#!/usr/bin/env python3
"""Makes the image fixtures of the video tests with real encoders, and the
pixels real decoders read back from them.

Usage: make_images.py <folder>

Encoders: ImageMagick's convert, netpbm (ppmtobmp, ppmtopcx) and cjpeg.
Reference decoders: bmptopnm, tgatoppm, pcxtoppm, djpeg, pngtopnm; a PSD has
no second decoder here, nor a 16-bit PNG at 8 bits, so their reference is the
picture they were made from. Every
reference is written as <fixture>.ref.ppm (P6), alpha as <fixture>.ref.alpha
(raw bytes, one per pixel).
"""
import os
import subprocess
import sys

W, H = 37, 23


def colour(x, y):
    return ((x * 19 + y * 7) % 256, (x * 5 + y * 31) % 256, (x * y * 11 + 40) % 256)


def alpha(x, y):
    return (x * 20 + y * 9) % 256


PALETTE = [(0, 0, 0), (255, 255, 255), (200, 10, 10), (10, 200, 10), (10, 10, 200),
           (120, 130, 140), (250, 250, 0), (0, 250, 250), (250, 0, 250), (90, 40, 20),
           (30, 60, 90), (180, 120, 60), (60, 180, 120), (17, 34, 51), (222, 111, 33),
           (5, 99, 177)]


def ppm(pixels):
    return b"P6\n%d %d\n255\n" % (W, H) + bytes(c for p in pixels for c in p)


def grid(fn):
    return [fn(x, y) for y in range(H) for x in range(W)]


def parse_pnm(data):
    """RGB bytes of a P4, P5 or P6 file with maxval 255 (P4: 1 is black)."""
    fields, pos = [], 2
    magic = data[:2]
    wanted = 2 if magic == b"P4" else 3
    while len(fields) < wanted:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(int(data[pos:end]))
        pos = end
    pos += 1
    w, h = fields[0], fields[1]
    body = data[pos:]
    if magic == b"P6":
        return w, h, body[:w * h * 3]
    if magic == b"P5":
        return w, h, bytes(v for g in body[:w * h] for v in (g, g, g))
    if magic == b"P4":
        row = (w + 7) // 8
        out = bytearray()
        for y in range(h):
            for x in range(w):
                bit = (body[y * row + x // 8] >> (7 - x % 8)) & 1
                out += b"\0\0\0" if bit else b"\xff\xff\xff"
        return w, h, bytes(out)
    raise ValueError("unexpected PNM type %r" % magic)


def run(args, out=None):
    with open(out, "wb") if out else open(os.devnull, "wb") as sink:
        subprocess.run(args, check=True, stdout=sink, stderr=subprocess.DEVNULL)


def reference(fixture, decoder):
    raw = subprocess.run(decoder + [fixture], check=True, stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL).stdout
    w, h, rgb = parse_pnm(raw)
    assert (w, h) == (W, H), (fixture, w, h)
    with open(fixture + ".ref.ppm", "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w, h) + rgb)


def main():
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    os.chdir(folder)
    with open("src.ppm", "wb") as f:
        f.write(ppm(grid(colour)))
    with open("pal.ppm", "wb") as f:
        f.write(ppm(grid(lambda x, y: PALETTE[(x + 3 * y) % 16])))
    with open("bw.ppm", "wb") as f:
        f.write(ppm(grid(lambda x, y: PALETTE[(x * y + x + y // 3) % 2])))
    with open("rgba.pam", "wb") as f:
        f.write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                % (W, H) + bytes(c for p in grid(lambda x, y: colour(x, y) + (alpha(x, y),))
                                 for c in p))
    source_alpha = bytes(grid(alpha))

    # BMP: ImageMagick and netpbm, 1, 4, 8 and 24 bits; RLE must be refused.
    run(["convert", "bw.ppm", "-type", "bilevel", "-compress", "none", "BMP3:im1.bmp"])
    run(["convert", "pal.ppm", "-type", "palette", "-compress", "none", "BMP3:im4.bmp"])
    run(["convert", "src.ppm", "-colors", "200", "-type", "palette", "-compress", "none",
         "BMP3:im8.bmp"])
    run(["convert", "src.ppm", "-type", "truecolor", "BMP3:im24.bmp"])
    run(["convert", "src.ppm", "-colors", "200", "-type", "palette", "-compress", "RLE",
         "BMP3:rle8.bmp"])
    run(["ppmtobmp", "-bpp=1", "bw.ppm"], "nb1.bmp")
    run(["ppmtobmp", "-bpp=4", "pal.ppm"], "nb4.bmp")
    run(["ppmtobmp", "-bpp=8", "pal.ppm"], "nb8.bmp")
    run(["ppmtobmp", "-bpp=24", "src.ppm"], "nb24.bmp")
    for name in ("im1", "im4", "im8", "im24", "nb1", "nb4", "nb8", "nb24"):
        reference(name + ".bmp", ["bmptopnm"])

    # TGA: plain and run-length, with and without alpha.
    run(["convert", "src.ppm", "-compress", "none", "plain24.tga"])
    run(["convert", "src.ppm", "-compress", "RLE", "rle24.tga"])
    run(["convert", "rgba.pam", "-compress", "none", "plain32.tga"])
    run(["convert", "rgba.pam", "-compress", "RLE", "rle32.tga"])
    for name in ("plain24", "rle24", "plain32", "rle32"):
        reference(name + ".tga", ["tgatoppm"])
    for name in ("plain32", "rle32"):
        run(["tgatoppm", "-alphaout=" + name + ".alpha.pgm", name + ".tga"])
        with open(name + ".alpha.pgm", "rb") as f:
            w, h, grey = parse_pnm(f.read())
        with open(name + ".tga.ref.alpha", "wb") as f:
            f.write(grey[0::3])

    # PSD: raw and run-length, three and four channels; 16-bit and CMYK refused.
    run(["convert", "src.ppm", "-compress", "none", "raw.psd"])
    run(["convert", "src.ppm", "-compress", "RLE", "rle.psd"])
    run(["convert", "rgba.pam", "-compress", "none", "rawalpha.psd"])
    run(["convert", "rgba.pam", "-compress", "RLE", "rlealpha.psd"])
    run(["convert", "src.ppm", "-depth", "16", "deep.psd"])
    run(["convert", "src.ppm", "-colorspace", "CMYK", "cmyk.psd"])
    for name in ("raw", "rle", "rawalpha", "rlealpha"):
        with open(name + ".psd.ref.ppm", "wb") as f:
            f.write(ppm(grid(colour)))
    for name in ("rawalpha", "rlealpha"):
        with open(name + ".psd.ref.alpha", "wb") as f:
            f.write(source_alpha)

    # PCX: 8-bit with palette from both tools, 24-bit as three planes.
    run(["ppmtopcx", "-8bit", "pal.ppm"], "nb8.pcx")
    run(["ppmtopcx", "-8bit", "bw.ppm"], "nb8bw.pcx")
    run(["ppmtopcx", "-24bit", "src.ppm"], "nb24.pcx")
    run(["convert", "src.ppm", "-colors", "200", "-type", "palette", "PCX:im8.pcx"])
    for name in ("nb8", "nb8bw", "nb24", "im8"):
        reference(name + ".pcx", ["pcxtoppm"])

    # JPEG: baseline, progressive, greyscale; CMYK refused; damaged copies.
    run(["cjpeg", "-quality", "90", "src.ppm"], "baseline.jpg")
    run(["cjpeg", "-progressive", "src.ppm"], "progressive.jpg")
    run(["cjpeg", "-grayscale", "src.ppm"], "grey.jpg")
    run(["cjpeg", "-quality", "75", "-optimize", "-restart", "1", "src.ppm"], "restart.jpg")
    run(["convert", "src.ppm", "-colorspace", "CMYK", "cmyk.jpg"])
    for name in ("baseline", "progressive", "grey", "restart"):
        reference(name + ".jpg", ["djpeg", "-pnm"])
    with open("baseline.jpg", "rb") as f:
        jpeg = f.read()
    with open("truncated.jpg", "wb") as f:
        f.write(jpeg[:len(jpeg) // 2])
    # A frame header that claims 7-bit samples: the library refuses it.
    sof = jpeg.index(b"\xff\xc0")
    with open("badprecision.jpg", "wb") as f:
        f.write(jpeg[:sof + 4] + b"\x07" + jpeg[sof + 5:])
    with open("header-only.jpg", "wb") as f:
        f.write(jpeg[:sof])

    # PNG: every colour type, 16 bits, interlaced; damaged copies.
    run(["convert", "src.ppm", "PNG24:rgb.png"])
    run(["convert", "rgba.pam", "PNG32:rgba.png"])
    run(["convert", "pal.ppm", "-type", "palette", "PNG8:pal.png"])
    run(["convert", "src.ppm", "-colorspace", "Gray", "-type", "grayscale", "PNG:grey.png"])
    run(["convert", "src.ppm", "-depth", "16", "PNG48:deep.png"])
    run(["convert", "src.ppm", "-interlace", "PNG", "PNG24:interlaced.png"])
    for name in ("rgb", "rgba", "pal", "grey", "interlaced"):
        reference(name + ".png", ["pngtopnm"])
    with open("deep.png.ref.ppm", "wb") as f:
        f.write(ppm(grid(colour)))
    run(["pngtopnm", "-alpha", "rgba.png"], "rgba.alpha.pgm")
    with open("rgba.alpha.pgm", "rb") as f:
        w, h, grey = parse_pnm(f.read())
    with open("rgba.png.ref.alpha", "wb") as f:
        f.write(grey[0::3])
    with open("rgb.png", "rb") as f:
        png = f.read()
    with open("truncated.png", "wb") as f:
        f.write(png[:len(png) // 2])
    # The image data's bytes flipped: its checksum no longer matches.
    idat = png.index(b"IDAT") + 8
    with open("corrupt.png", "wb") as f:
        f.write(png[:idat] + bytes(b ^ 0x5A for b in png[idat:idat + 16]) + png[idat + 16:])


if __name__ == "__main__":
    main()
