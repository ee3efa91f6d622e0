#!/usr/bin/env python3
"""Draws Quillo's icon: a blue calculator with a display and six keys, the
last one orange. Writes quillo.svg, quillo-16.png, quillo-32.png and
quillo.ico (32x32 and 16x16, 256 colours) beside this script. Standard
library only; run it again after changing SHAPES."""

import os
import struct
import zlib

# Shapes on a 32 x 32 grid, drawn in order: (x0, y0, x1, y1, radius, colour).
SHAPES = [
    (1, 1, 31, 31, 6, (0x1F, 0x5F, 0xA8)),      # body
    (5, 5, 27, 13, 2, (0xEA, 0xF4, 0xFF)),      # display
    (15, 8, 24, 10, 0.5, (0x1F, 0x5F, 0xA8)),   # the number on the display
    (5, 16, 11, 21, 1.2, (0xFF, 0xFF, 0xFF)),   # keys, top row
    (13, 16, 19, 21, 1.2, (0xFF, 0xFF, 0xFF)),
    (21, 16, 27, 21, 1.2, (0xFF, 0xFF, 0xFF)),
    (5, 23, 11, 28, 1.2, (0xFF, 0xFF, 0xFF)),   # bottom row
    (13, 23, 19, 28, 1.2, (0xFF, 0xFF, 0xFF)),
    (21, 23, 27, 28, 1.2, (0xF3, 0x9C, 0x12)),  # the "=" key
]
SAMPLES = 4  # per pixel and axis, for smooth edges


def inside(shape, x, y):
    x0, y0, x1, y1, r, _ = shape
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render(size):
    """RGBA rows, each a list of (r, g, b, a) with a in 0..255."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied colour, coverage
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    colour = None
                    for shape in SHAPES:
                        if inside(shape, x, y):
                            colour = shape[5]
                    if colour:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = SAMPLES * SAMPLES
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(255 * acc[3] / n),))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def palette_image(rows):
    """Opaque pixels as colour indices into at most 256 colours; None where
    the pixel is transparent (alpha below one half)."""
    counts = {}
    for row in rows:
        for r, g, b, a in row:
            if a >= 128:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    palette = sorted(counts, key=lambda c: -counts[c])[:256]
    index = {c: i for i, c in enumerate(palette)}

    def nearest(c):
        if c in index:
            return index[c]
        return min(range(len(palette)), key=lambda i: sum((p - q) ** 2 for p, q in zip(palette[i], c)))

    pixels = [[nearest(p[:3]) if p[3] >= 128 else None for p in row] for row in rows]
    return palette + [(0, 0, 0)] * (256 - len(palette)), pixels


def ico_image(rows):
    """One 8-bit image of an .ico: BITMAPINFOHEADER, palette, XOR and AND
    bitmaps, bottom row first, rows padded to 4 bytes."""
    size = len(rows)
    palette, pixels = palette_image(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    xor = b""
    mask = b""
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(pixels):
        xor += bytes(0 if i is None else i for i in row)
        bits = 0
        line = bytearray(mask_stride)
        for x, i in enumerate(row):
            if i is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + colours + xor + mask


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for rows in images:
        image = ico_image(rows)
        size = len(rows)
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset + len(data))
        data += image
    return directory + entries + data


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">']
    for x0, y0, x1, y1, r, (cr, cg, cb) in SHAPES:
        parts.append(f'  <rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" rx="{r}" '
                     f'fill="#{cr:02X}{cg:02X}{cb:02X}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    big, small = render(32), render(16)
    with open(os.path.join(here, "quillo.svg"), "w") as f:
        f.write(svg())
    for name, rows in (("quillo-16.png", small), ("quillo-32.png", big)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(png(rows))
    with open(os.path.join(here, "quillo.ico"), "wb") as f:
        f.write(ico([big, small]))


if __name__ == "__main__":
    main()
