#!/usr/bin/env python3
"""Writes the example frames: eight 64 x 64 RGBA PNG frames of a ball that rolls across a
transparent field and squashes as it lands. Every frame keeps a transparent margin, and the
margins differ from frame to frame, so composing with --autocut trims them to the area that some
frame covers. Also writes props/: game props of many sizes, each in a transparent margin of its
own and two of them alike, for the packed layout. Needs only the standard library; the output is
the same on every run."""

import math
import os
import struct
import zlib

SIZE = 64
FRAMES = 8


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def write_png(path, width, height, rows):
    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(png_chunk(b"IHDR", header))
        out.write(png_chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(png_chunk(b"IEND", b""))


def coverage(distance, radius):
    """Share of a pixel inside the edge, for a soft one-pixel rim."""
    return max(0.0, min(1.0, radius - distance + 0.5))


def frame_pixel(frame, x, y):
    phase = frame / FRAMES
    cx = 20 + 26 * phase
    bounce = abs(math.sin(math.pi * phase))
    cy = 44 - 22 * bounce
    squash = 1.0 - 0.25 * (1.0 - bounce)
    rx, ry = 10 / squash, 10 * squash
    dx, dy = (x + 0.5 - cx) / rx, (y + 0.5 - cy) / ry
    ball = coverage(math.hypot(dx, dy) * 10, 10)
    if ball > 0:
        light = max(0.0, 1.0 - math.hypot(dx + 0.35, dy + 0.35))
        red = int(200 + 55 * light)
        green = int(60 + 150 * light * (1 - phase))
        blue = int(40 + 180 * light * phase)
        return [red, green, blue, int(255 * ball)]
    # A faint shadow under the ball, so that partly transparent pixels are part of the set.
    sx, sy = (x + 0.5 - cx) / 12, (y + 0.5 - 56) / 3
    shadow = 1.0 - math.hypot(sx, sy)
    if shadow > 0:
        return [0, 0, 0, int(40 + 60 * shadow * (1 - bounce))]
    return [0, 0, 0, 0]


def gem(x, y, w, h, hue):
    """A cut gem: a diamond with a lit upper facet."""
    dx, dy = abs(x + 0.5 - w / 2) / (w / 2), abs(y + 0.5 - h / 2) / (h / 2)
    inside = coverage((dx + dy) * 20, 20)
    light = 1.0 if y < h / 2 else 0.6
    return [int(c * light) for c in hue] + [int(255 * inside)]


def crate(x, y, w, h):
    """A wooden crate: planks with a dark frame and a cross brace."""
    edge = min(x, y, w - 1 - x, h - 1 - y) < 3
    brace = abs(x * h - y * w) < 2.5 * max(w, h)
    shade = 90 if edge or brace else 150 + 20 * ((y // 6) % 2)
    return [shade, int(shade * 0.65), int(shade * 0.35), 255]


def banner(x, y, w, h):
    """A banner that fades out at both ends."""
    fade = min(1.0, min(x, w - 1 - x) / 12)
    return [40, 90 + y * 4, 200, int(255 * fade)]


def pole(x, y, w, h):
    """A striped pole with a round top."""
    top = coverage(math.hypot(x + 0.5 - w / 2, y + 0.5 - w / 2), w / 2)
    if y < w:
        return [230, 200, 40, int(255 * top)]
    stripe = 220 if (y // 8) % 2 else 60
    return [stripe, 40, 40, 255 if 2 <= x < w - 2 else 0]


# name, picture width and height, margin around the drawing (left, top), drawing size, painter
PROPS = [
    ("gem-red", 40, 40, (6, 4), (24, 30), lambda x, y, w, h: gem(x, y, w, h, (230, 40, 60))),
    ("gem-red-copy", 40, 40, (6, 4), (24, 30), lambda x, y, w, h: gem(x, y, w, h, (230, 40, 60))),
    ("gem-blue", 28, 28, (2, 1), (20, 24), lambda x, y, w, h: gem(x, y, w, h, (50, 90, 240))),
    ("gem-green", 20, 26, (3, 2), (12, 18), lambda x, y, w, h: gem(x, y, w, h, (40, 200, 90))),
    ("crate-large", 72, 72, (4, 4), (64, 64), crate),
    ("crate-small", 40, 36, (2, 6), (30, 28), crate),
    ("banner", 140, 30, (6, 3), (126, 20), banner),
    ("pole", 24, 110, (4, 6), (16, 100), pole),
]


def write_props(folder):
    os.makedirs(folder, exist_ok=True)
    for name, width, height, (left, top), (w, h), paint in PROPS:
        rows = []
        for y in range(height):
            row = []
            for x in range(width):
                inside = left <= x < left + w and top <= y < top + h
                row.extend(paint(x - left, y - top, w, h) if inside else [0, 0, 0, 0])
            rows.append(row)
        write_png(os.path.join(folder, name + ".png"), width, height, rows)


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    write_props(os.path.join(folder, "props"))
    for frame in range(FRAMES):
        rows = []
        for y in range(SIZE):
            row = []
            for x in range(SIZE):
                row.extend(frame_pixel(frame, x, y))
            rows.append(row)
        write_png(os.path.join(folder, "ball-%02d.png" % frame), SIZE, SIZE, rows)


if __name__ == "__main__":
    main()
