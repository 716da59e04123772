#!/usr/bin/python3
"""Writes the benchmark's input pictures into the folder given as the first argument:

  frames128/  256 RGBA PNG frames of 128 x 128, a sprite whose transparent margins vary
  frames512/  64 RGBA PNG frames of 512 x 512, likewise
  mixed/      100 pictures of varied sizes, 25 each of bmp, gif, jpg and png
  frames64/   4096 frames of 64 x 64 (many small files: the cost per file)
  frames2048/ 16 frames of 2048 x 2048 (an 8192 x 8192 grid: the cost per pixel of a large sheet)

Every picture comes from a seeded generator, so each run writes the same files. Needs Pillow."""

import math
import os
import random
import sys

from PIL import Image, ImageDraw


def sprite(rng, size):
    """A shaded blob with a few details, placed with random transparent margins."""
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    left, top = rng.randrange(0, size // 4), rng.randrange(0, size // 4)
    right, bottom = size - 1 - rng.randrange(0, size // 4), size - 1 - rng.randrange(0, size // 4)
    hue = rng.random()
    steps = 12
    for step in range(steps):
        # Concentric ellipses from dark rim to light centre give a soft gradient.
        inset = step * min(right - left, bottom - top) / (2.6 * steps)
        shade = 0.35 + 0.65 * step / steps
        colour = tuple(int(255 * shade * (0.5 + 0.5 * math.sin(2 * math.pi * (hue + k / 3))))
                       for k in range(3))
        draw.ellipse((left + inset, top + inset, right - inset, bottom - inset),
                     fill=colour + (255,))
    for _ in range(rng.randrange(2, 6)):
        x, y = rng.randrange(left, right), rng.randrange(top, bottom)
        r = rng.randrange(2, max(3, size // 12))
        draw.ellipse((x - r, y - r, x + r, y + r), fill=(255, 255, 255, rng.randrange(60, 200)))
    # A half-transparent shadow strip below, so that faint pixels are part of every frame.
    draw.rectangle((left, bottom - size // 16, right, bottom), fill=(0, 0, 0, 70))
    return image


def write_frames(folder, count, size, rng):
    os.makedirs(folder, exist_ok=True)
    for index in range(count):
        sprite(rng, size).save(os.path.join(folder, "frame-%04d.png" % index))


def write_mixed(folder, rng):
    os.makedirs(folder, exist_ok=True)
    formats = ["bmp", "gif", "jpg", "png"]
    for index in range(100):
        kind = formats[index % 4]
        size = rng.randrange(24, 320)
        picture = sprite(rng, size)
        width, height = size, rng.randrange(24, 320)
        picture = picture.resize((width, height))
        path = os.path.join(folder, "pic-%03d.%s" % (index, kind))
        if kind == "png":
            picture.save(path)
        elif kind == "gif":
            picture.convert("P").save(path)
        else:
            flat = Image.new("RGB", picture.size, (255, 255, 255))
            flat.paste(picture, mask=picture.split()[3])
            if kind == "jpg":
                flat.save(path, quality=90)
            else:
                flat.save(path)


def main():
    root = sys.argv[1]
    write_frames(os.path.join(root, "frames128"), 256, 128, random.Random(128))
    write_frames(os.path.join(root, "frames512"), 64, 512, random.Random(512))
    write_mixed(os.path.join(root, "mixed"), random.Random(100))
    write_frames(os.path.join(root, "frames64"), 4096, 64, random.Random(64))
    write_frames(os.path.join(root, "frames2048"), 16, 2048, random.Random(2048))


if __name__ == "__main__":
    main()
