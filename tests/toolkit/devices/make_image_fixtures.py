#!/usr/bin/python3
"""Writes the image-loading fixtures into a folder, made by ImageMagick, netpbm and Pillow, with
the layouts none of them writes (RLE4, top-down BMP, PNG data split over several IDAT chunks)
derived from a generated file. For every image it also writes the reference decode (Pillow's, or
netpbm's pcxtoppm for the four-plane PCX, ImageMagick's for the RLE4 BMP) as raw RGB bytes, and lists both in manifest.txt:
    NAME FILE WIDTH HEIGHT REFERENCE MASK
MASK is the number of significant high bits per component (8 except for 16-bit BMP fields, whose
5- or 6-bit values readers widen differently)."""
import os
import random
import struct
import subprocess
import sys
import zlib

from PIL import Image

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
convert = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"
manifest = []


def path(name):
    return os.path.join(out, name)


def pattern(width, height, seed):
    """An RGB picture with gradients and noise, so that every component and position matters."""
    rng = random.Random(seed)
    im = Image.new("RGB", (width, height))
    im.putdata([((x * 255) // max(width - 1, 1) ^ rng.randrange(32),
                 (y * 255) // max(height - 1, 1) ^ rng.randrange(32),
                 rng.randrange(256)) for y in range(height) for x in range(width)])
    return im


def paletted(width, height, colours, seed):
    rng = random.Random(seed)
    im = Image.new("P", (width, height))
    palette = [rng.randrange(256) for _ in range(3 * colours)]
    im.putpalette(palette + [0] * (768 - len(palette)))
    im.putdata([rng.randrange(colours) if rng.random() < 0.5 else (x // 3) % colours
                for y in range(height) for x in range(width)])
    return im


def reference(name, file, mask=8, ppm=None):
    if ppm is None:
        im = Image.open(path(file)).convert("RGB")
        width, height = im.size
        data = im.tobytes()
    else:
        width, height, data = ppm
    with open(path(name + ".rgb"), "wb") as f:
        f.write(data)
    manifest.append(f"{name} {file} {width} {height} {name}.rgb {mask}")


def run(*args, stdin=None):
    return subprocess.run(args, check=True, input=stdin, stdout=subprocess.PIPE).stdout


def read_ppm(data):
    """Width, height and RGB bytes of a binary P6 file with maxval 255."""
    fields, pos = [], 2
    while len(fields) < 3:
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
    width, height, _ = fields
    return width, height, data[pos + 1:pos + 1 + 3 * width * height]


# ---- BMP ----
im1 = pattern(13, 7, 1).convert("1")
im1.save(path("bmp1.bmp"))
reference("bmp1", "bmp1.bmp")

paletted(11, 9, 16, 2).convert("RGB").save(path("four.ppm"))
with open(path("bmp4.bmp"), "wb") as f:
    f.write(run("ppmtobmp", "-bpp=4", path("four.ppm")))
reference("bmp4", "bmp4.bmp")

paletted(17, 10, 200, 3).save(path("bmp8.bmp"))
reference("bmp8", "bmp8.bmp")

pattern(9, 6, 4).save(path("src16.png"))
run(convert, path("src16.png"), "-define", "bmp:subtype=RGB555", "BMP:" + path("bmp16_555.bmp"))
reference("bmp16_555", "bmp16_555.bmp", mask=5)
# The same fields without masks (compression 0), which means 5-5-5.
with open(path("bmp16_555.bmp"), "rb") as f:
    plain = bytearray(f.read())
struct.pack_into("<I", plain, 30, 0)
with open(path("bmp16_plain.bmp"), "wb") as f:
    f.write(plain)
reference("bmp16_plain", "bmp16_plain.bmp", mask=5)
run(convert, path("src16.png"), "-define", "bmp:subtype=RGB565", path("bmp16_565.bmp"))
reference("bmp16_565", "bmp16_565.bmp", mask=5)

pattern(15, 8, 5).save(path("bmp24.bmp"))
reference("bmp24", "bmp24.bmp")

rgba = pattern(10, 5, 6).convert("RGBA")
rgba.putalpha(128)
rgba.save(path("src32.png"))
run(convert, path("src32.png"), "-alpha", "on", "BMP:" + path("bmp32.bmp"))
reference("bmp32", "bmp32.bmp")

paletted(21, 12, 40, 7).save(path("src8.png"))
run(convert, path("src8.png"), "-type", "Palette", "-compress", "RLE", "BMP3:" + path("bmp_rle8.bmp"))
reference("bmp_rle8", "bmp_rle8.bmp")


def bmp_rle4(source, target):
    """Re-encodes a 4-bit BMP's rows as RLE4: encoded runs for repeats, absolute runs otherwise,
    an end-of-line after each row and the end-of-bitmap mark."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = ((width * 4 + 31) // 32) * 4
    stream = bytearray()
    for row in range(height):
        line = data[offset + row * stride:offset + (row + 1) * stride]
        pixels = [(line[x // 2] >> (4 if x % 2 == 0 else 0)) & 15 for x in range(width)]
        x = 0
        while x < width:
            run_length = 1
            while x + run_length < width and pixels[x + run_length] == pixels[x] and run_length < 255:
                run_length += 1
            if run_length >= 3 or width - x < 3:
                stream += bytes([run_length, pixels[x] * 17])
                x += run_length
            else:
                n = min(width - x, 6)
                chunk = pixels[x:x + n]
                packed = bytes((chunk[k] << 4) | (chunk[k + 1] if k + 1 < n else 0) for k in range(0, n, 2))
                if len(packed) % 2:
                    packed += b"\0"
                stream += bytes([0, n]) + packed
                x += n
        stream += b"\0\0"
    stream += b"\0\1"
    header = data[:offset]
    struct.pack_into("<I", header, 30, 2)
    struct.pack_into("<I", header, 34, len(stream))
    struct.pack_into("<I", header, 2, offset + len(stream))
    with open(target, "wb") as f:
        f.write(header + stream)


bmp_rle4(path("bmp4.bmp"), path("bmp_rle4.bmp"))
# ImageMagick's decode: Pillow misplaces the pixels of odd-length absolute runs, which this
# encoder writes on purpose (their padding nibble and byte are what a reader gets wrong).
reference("bmp_rle4", "bmp_rle4.bmp",
          ppm=read_ppm(run(convert, path("bmp_rle4.bmp"), "-depth", "8", "ppm:-")))


def bmp_top_down(source, target):
    with open(source, "rb") as f:
        data = bytearray(f.read())
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    stride = ((width * bits + 31) // 32) * 4
    rows = [data[offset + r * stride:offset + (r + 1) * stride] for r in range(height)]
    struct.pack_into("<i", data, 22, -height)
    with open(target, "wb") as f:
        f.write(data[:offset] + b"".join(reversed(rows)) + data[offset + height * stride:])


bmp_top_down(path("bmp24.bmp"), path("bmp_topdown.bmp"))
reference("bmp_topdown", "bmp_topdown.bmp")

# ---- PCX ----
pattern(13, 6, 8).convert("1").save(path("pcx1.pcx"))
reference("pcx1", "pcx1.pcx")

paletted(19, 7, 16, 9).convert("RGB").save(path("pcx4.ppm"))
with open(path("pcx4.pcx"), "wb") as f:
    f.write(run("ppmtopcx", "-planes=4", path("pcx4.ppm")))
reference("pcx4", "pcx4.pcx", ppm=read_ppm(run("pcxtoppm", path("pcx4.pcx"))))

paletted(5, 4, 30, 10).save(path("pcx8.pcx"))
reference("pcx8", "pcx8.pcx")
paletted(23, 9, 250, 11).save(path("pcx8_wide.pcx"))
reference("pcx8_wide", "pcx8_wide.pcx")

pattern(17, 5, 12).save(path("pcx24.pcx"))
reference("pcx24", "pcx24.pcx")

# ---- PNG ----
for bits in (1, 2, 4, 8):
    name = f"png_p{bits}"
    paletted(10 + bits, 6, 1 << bits, 20 + bits).save(path(name + ".png"), bits=bits)
    reference(name, name + ".png")

pattern(12, 7, 30).save(path("png_rgb8.png"))
reference("png_rgb8", "png_rgb8.png")
rgba = pattern(9, 8, 31).convert("RGBA")
rgba.putalpha(77)
rgba.save(path("png_rgba8.png"))
reference("png_rgba8", "png_rgba8.png")

pattern(11, 6, 32).save(path("src48.png"))
run(convert, path("src48.png"), "-depth", "16", "-evaluate", "add", "37", "PNG48:" + path("png_rgb16.png"))
reference("png_rgb16", "png_rgb16.png")
run(convert, path("src32.png"), "-depth", "16", "-evaluate", "add", "91", "PNG64:" + path("png_rgba16.png"))
reference("png_rgba16", "png_rgba16.png")


def png_chunks(data):
    pos, chunks = 8, []
    while pos < len(data):
        length, = struct.unpack_from(">I", data, pos)
        chunks.append((data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]))
        pos += 12 + length
    return chunks


def png_write(chunks):
    out_bytes = b"\x89PNG\r\n\x1a\n"
    for kind, body in chunks:
        out_bytes += struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    return out_bytes


def png_split_idat(source, target, pieces):
    with open(source, "rb") as f:
        chunks = png_chunks(f.read())
    idat = b"".join(body for kind, body in chunks if kind == b"IDAT")
    rebuilt, done = [], False
    step = max(1, len(idat) // pieces)
    for kind, body in chunks:
        if kind != b"IDAT":
            rebuilt.append((kind, body))
        elif not done:
            rebuilt += [(b"IDAT", idat[k:k + step]) for k in range(0, len(idat), step)]
            done = True
    with open(target, "wb") as f:
        f.write(png_write(rebuilt))


pattern(40, 30, 33).save(path("png_big.png"))
png_split_idat(path("png_big.png"), path("png_idat5.png"), 5)
reference("png_idat5", "png_idat5.png")

with open(path("manifest.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")

# Files the loader refuses, named after what is wrong with them (not in the manifest).
run(convert, path("png_rgb8.png"), "-interlace", "PNG", path("refuse_interlaced.png"))
pattern(8, 8, 40).convert("L").save(path("refuse_grey.png"))
pattern(8, 8, 41).save(path("refuse.jpg"), quality=90)


def png_variant(source, target, change):
    """The PNG with its chunks changed: change takes and returns the list of (type, body)."""
    with open(source, "rb") as f:
        chunks = png_chunks(f.read())
    with open(target, "wb") as f:
        f.write(png_write(change(chunks)))


def bad_filter(chunks):
    """Row 5 of the 21-pixel palette picture with filter type 5, which no PNG has."""
    rows = bytearray(zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT")))
    rows[5 * 22] = 5
    kept = [(kind, body) for kind, body in chunks if kind != b"IDAT"]
    return kept[:-1] + [(b"IDAT", zlib.compress(bytes(rows)))] + kept[-1:]


# Pictures that cannot be drawn right, derived from Pillow's palette PNG (kept as the sound one):
# a row of an unknown filter type, the palette left out, and a palette of four colours for indices
# up to 39.
png_variant(path("src8.png"), path("undrawable_filter.png"), bad_filter)
png_variant(path("src8.png"), path("undrawable_no_palette.png"),
            lambda chunks: [(kind, body) for kind, body in chunks if kind != b"PLTE"])
png_variant(path("src8.png"), path("undrawable_short_palette.png"),
            lambda chunks: [(kind, body[:12] if kind == b"PLTE" else body) for kind, body in chunks])
