#!/usr/bin/env python3
"""Builds the program's toolbar bitmap and icon from the pixel text files beside this script.

    make_images.py toolbar.txt toolbar.bmp icon1.txt icon1.ico

Each text file holds blocks that start with "image NAME", then one line per pixel row, one
character per pixel; "#" lines are comments. Images of a file are placed side by side. The output
is 4 bits per pixel with the 16 standard colours below, so the toolbar's light grey maps to the
button face colour when the toolbar loads it. The same text always gives the same bytes.
"""
import struct
import sys

# character -> (red, green, blue); the order is the palette order in the files written.
COLOURS = [
    ("k", (0, 0, 0)), ("R", (128, 0, 0)), ("n", (0, 128, 0)), ("Y", (128, 128, 0)),
    ("B", (0, 0, 128)), ("M", (128, 0, 128)), ("C", (0, 128, 128)), (".", (192, 192, 192)),
    ("g", (128, 128, 128)), ("r", (255, 0, 0)), ("G", (0, 255, 0)), ("y", (255, 255, 0)),
    ("b", (0, 0, 255)), ("m", (255, 0, 255)), ("c", (0, 255, 255)), ("w", (255, 255, 255)),
]
INDEX = {ch: i for i, (ch, _) in enumerate(COLOURS)}
TRANSPARENT = " "


def read_images(path):
    images, rows = [], None
    with open(path, encoding="ascii") as f:
        for line in f.read().splitlines():
            if line.startswith("#"):
                continue
            if line.startswith("image "):
                rows = []
                images.append(rows)
                continue
            if rows is None:
                raise SystemExit(f"{path}: pixel row before the first 'image' line")
            rows.append(line)
    for rows in images:
        if not rows or any(len(r) != len(rows[0]) for r in rows):
            raise SystemExit(f"{path}: every row of an image needs the same width")
    return images


def side_by_side(images):
    height = len(images[0])
    if any(len(rows) != height for rows in images):
        raise SystemExit("images placed side by side need the same height")
    return ["".join(rows[y] for rows in images) for y in range(height)]


def pixel_index(ch):
    if ch == TRANSPARENT:
        return INDEX["k"]
    if ch not in INDEX:
        raise SystemExit(f"unknown colour character {ch!r}")
    return INDEX[ch]


def packed_rows(rows, bits_of):
    """Bottom-up rows, each padded to a multiple of 4 bytes."""
    out = b""
    for row in reversed(rows):
        data = bits_of(row)
        out += data + b"\0" * (-len(data) % 4)
    return out


def four_bit(row):
    values = [pixel_index(ch) for ch in row] + [0] * (len(row) % 2)
    return bytes((values[i] << 4) | values[i + 1] for i in range(0, len(values), 2))


def mask_bit(row):
    bits = [1 if ch == TRANSPARENT else 0 for ch in row]
    bits += [0] * (-len(bits) % 8)
    return bytes(int("".join(map(str, bits[i:i + 8])), 2) for i in range(0, len(bits), 8))


def palette():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for _, (r, g, b) in COLOURS)


def info_header(width, height, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_bytes, 2835, 2835, 16, 16)


def bitmap_file(rows):
    pixels = packed_rows(rows, four_bit)
    body = info_header(len(rows[0]), len(rows), len(pixels)) + palette() + pixels
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 64) + body


def icon_file(rows):
    width, height = len(rows[0]), len(rows)
    colour = packed_rows(rows, four_bit)
    mask = packed_rows(rows, mask_bit)
    # An icon's header counts the colour and the mask rows together.
    image = info_header(width, 2 * height, 0) + palette() + colour + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", width, height, 16, 0, 1, 4, len(image), 22) + image


def main(argv):
    if len(argv) != 5:
        raise SystemExit(__doc__)
    toolbar_in, toolbar_out, icon_in, icon_out = argv[1:]
    with open(toolbar_out, "wb") as f:
        f.write(bitmap_file(side_by_side(read_images(toolbar_in))))
    icons = read_images(icon_in)
    if len(icons) != 1:
        raise SystemExit(f"{icon_in}: one image expected")
    with open(icon_out, "wb") as f:
        f.write(icon_file(icons[0]))


if __name__ == "__main__":
    main(sys.argv)
