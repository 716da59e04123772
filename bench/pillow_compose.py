#!/usr/bin/python3
"""A plain Pillow composer for comparison: equal cells of the largest width and height, each
picture at the top-left corner of its cell, row by row, written as an RGBA PNG with Pillow's
default settings.

Usage: pillow_compose.py row|column|grid OUTPUT.png PICTURE..."""

import sys

from PIL import Image


def grid(count, width, height):
    best, columns, rows = -1, 0, 0
    for c in range(count, 0, -1):
        r = (count + c - 1) // c
        distance = abs(width * c - height * r)
        if best < 0 or distance < best:
            best, columns, rows = distance, c, r
    return columns, rows


def main():
    layout, output, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    pictures = [Image.open(path).convert("RGBA") for path in paths]
    width = max(p.width for p in pictures)
    height = max(p.height for p in pictures)
    count = len(pictures)
    columns, rows = {"row": (count, 1), "column": (1, count)}.get(layout) or grid(count, width, height)
    sheet = Image.new("RGBA", (width * columns, height * rows), (0, 0, 0, 0))
    for index, picture in enumerate(pictures):
        sheet.paste(picture, (index % columns * width, index // columns * height))
    sheet.save(output)


if __name__ == "__main__":
    main()
