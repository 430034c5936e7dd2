#!/usr/bin/env python3
"""Draws the tray icon (a gamma curve over the identity line) and writes
quillora.ico, 32-bit with alpha, with an image drawn at each size Windows
asks for: the small icon of the tray at 100, 125 and 150 % (16, 20, 24
pixels) and the large icon at 100, 125 and 150 % (32, 40, 48), which is also
the small one at 200, 250 and 300 %. An image scaled from another size would
look blurred.

The 16 and 32 pixel images are bitmaps, which every Windows reads; the others
are PNG images, which Windows reads in icons from Vista on: a fifth of the
size, and the size of the program is its resident memory under Wine.

    python3 res/make_icon.py [output.ico]
"""
import math
import struct
import sys
import zlib

GAMMA = 2.2
BACKGROUND = (40, 44, 92)    # RGB, deep indigo
GRID = (70, 76, 132)
IDENTITY = (120, 128, 180)
CURVE = (255, 190, 60)        # amber
SIZES = [16, 20, 24, 32, 40, 48]
BITMAP_SIZES = [16, 32]


def blend(under, over, amount):
    return tuple(round(u + (o - u) * amount) for u, o in zip(under, over))


def distance_to_polyline(x, y, points):
    best = float("inf")
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
    return best


def draw(size):
    """Rows top to bottom of (r, g, b, a)."""
    margin = size / 8
    span = size - 2 * margin
    radius = size / 6
    width = size / 40 + 0.5  # half the stroke

    def to_pixel(u, v):
        return margin + u * span, size - margin - v * span

    curve = [to_pixel(i / 64, (i / 64) ** (1 / GAMMA)) for i in range(65)]
    identity = [to_pixel(0, 0), to_pixel(1, 1)]
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            x, y = column + 0.5, row + 0.5
            # Rounded square: outside the corners stays transparent.
            cx = min(max(x, radius), size - radius)
            cy = min(max(y, radius), size - radius)
            if math.hypot(x - cx, y - cy) > radius:
                pixels.append((0, 0, 0, 0))
                continue
            colour = BACKGROUND
            if size >= 32 and (column == size // 2 or row == size // 2):
                colour = GRID
            near = max(0.0, 1.0 - distance_to_polyline(x, y, identity) / width)
            colour = blend(colour, IDENTITY, near)
            near = max(0.0, min(1.0, width - distance_to_polyline(x, y, curve) + 0.5))
            colour = blend(colour, CURVE, near)
            pixels.append(colour + (255,))
        rows.append(pixels)
    return rows


def dib(size):
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = b""
    for row in reversed(rows):
        bits = 0
        for column, pixel in enumerate(row):
            if pixel[3] == 0:
                bits |= 1 << (mask_stride * 8 - 1 - column)
        mask += bits.to_bytes(mask_stride, "big")
    return header + colour + mask


def png(size):
    """The same picture as a PNG file, 8-bit RGBA."""
    rows = draw(size)
    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row) for row in rows)

    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def icon(sizes):
    images = [dib(size) if size in BITMAP_SIZES else png(size) for size in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "quillora.ico"
    with open(target, "wb") as f:
        f.write(icon(SIZES))
