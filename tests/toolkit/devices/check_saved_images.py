#!/usr/bin/python3
"""Decodes saved BMP, PCX and PNG files with Pillow, ImageMagick and netpbm and compares every
pixel with the expected raw RGB bytes; runs pngcheck on the PNGs.
    check_saved_images.py EXPECTED.rgb WIDTH HEIGHT FILE...
Prints one line per tool and file (OK or BAD with the reason) and "checked N files"."""
import subprocess
import sys

from PIL import Image

expected_path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
files = sys.argv[4:]
with open(expected_path, "rb") as f:
    expected = f.read()


def netpbm_rgb(data):
    """The RGB bytes of a P6 (netpbm) or P7 RGB (pngtopam) file with maxval 255."""
    if data.startswith(b"P7"):
        head, _, body = data.partition(b"ENDHDR\n")
        fields = dict(line.split(b" ", 1) for line in head.split(b"\n")[1:] if b" " in line)
        w, h, depth = int(fields[b"WIDTH"]), int(fields[b"HEIGHT"]), int(fields[b"DEPTH"])
        return w, h, bytes(b for i, b in enumerate(body[:w * h * depth]) if i % depth < 3)
    tokens, pos = [], 2
    while len(tokens) < 3:
        while data[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        tokens.append(int(data[pos:end]))
        pos = end
    return tokens[0], tokens[1], data[pos + 1:pos + 1 + 3 * tokens[0] * tokens[1]]


def report(tool, name, size, rgb):
    if size != (width, height):
        print(f"{tool} {name} BAD size {size}")
    elif rgb != expected:
        first = next(i for i in range(len(rgb)) if rgb[i] != expected[i]) // 3
        print(f"{tool} {name} BAD pixel {first % width},{first // width}")
    else:
        print(f"{tool} {name} OK")


for name in files:
    im = Image.open(name).convert("RGB")
    report("pillow", name, im.size, im.tobytes())
    magick = subprocess.run(["convert", name, "-depth", "8", "ppm:-"], stdout=subprocess.PIPE, check=True).stdout
    w, h, rgb = netpbm_rgb(magick)
    report("imagemagick", name, (w, h), rgb)
    reader = {"bmp": "bmptopnm", "pcx": "pcxtoppm", "png": "pngtopam"}[name.rsplit(".", 1)[1]]
    pnm = subprocess.run([reader, name], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
    w, h, rgb = netpbm_rgb(pnm)
    report(reader, name, (w, h), rgb)
    if name.endswith(".png"):
        check = subprocess.run(["pngcheck", "-v", name], stdout=subprocess.PIPE, text=True)
        idats = check.stdout.count("chunk IDAT")
        state = "no errors" if check.returncode == 0 and "No errors" in check.stdout else "errors"
        print(f"pngcheck: {idats} IDAT, {state}")
print(f"checked {len(files)} files")
