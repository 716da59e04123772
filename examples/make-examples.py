#!/usr/bin/env python3
"""Writes the example frames: eight 64 x 64 RGBA PNG frames of a ball that rolls across a
transparent field and squashes as it lands. Every frame keeps a transparent margin, and the
margins differ from frame to frame, so composing with --autocut trims them to the area that some
frame covers. Needs only the standard library; the output is the same on every run."""

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


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
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
