#!/usr/bin/python3
"""Writes the benchmark's input pictures into the folder given as the first argument:

  frames128/  256 RGBA PNG frames of 128 x 128, a sprite whose transparent margins vary
  frames512/  64 RGBA PNG frames of 512 x 512, likewise
  mixed/      100 pictures of varied sizes, 25 each of bmp, gif, jpg and png
  frames64/   4096 frames of 64 x 64 (many small files: the cost per file)
  frames2048/ 16 frames of 2048 x 2048 (an 8192 x 8192 grid: the cost per pixel of a large sheet)

and, for the encoder's sizes on content it was not tuned on:

  noisy128/   256 sprites of 128 x 128 with soft edges, a blurred half-transparent shadow and
              colour noise
  photos/     64 photograph-like JPEGs of 320 x 240: smooth light over several scales, grain
  painted/    48 painted pictures of 256 x 256: gradients under soft translucent brush strokes
  pixelart/   256 pixel-art sprites of 32 x 32 drawn from 15 colours, shown twice as large

Every picture comes from a seeded generator, so each run writes the same files. Needs Pillow."""

import math
import os
import random
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter


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


def noise(rng, size, mode="RGB"):
    """Uniform random bytes, from the seeded generator so that every run draws the same."""
    channels = len(mode)
    return Image.frombytes(mode, size, rng.randbytes(size[0] * size[1] * channels))


def noisy_sprite(rng, size):
    """The sprite, blurred, over a soft shadow, with a little colour noise where it is seen."""
    body = sprite(rng, size).filter(ImageFilter.GaussianBlur(1.2))
    shadow = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    ImageDraw.Draw(shadow).ellipse((size // 6, size * 3 // 4, size * 5 // 6, size - 4),
                                   fill=(20, 10, 30, 110))
    picture = Image.alpha_composite(shadow.filter(ImageFilter.GaussianBlur(size / 24)), body)
    colour = Image.blend(picture.convert("RGB"), noise(rng, picture.size), 0.07)
    colour.putalpha(picture.getchannel("A"))
    return colour


def smooth_field(rng, size, scales):
    """Random values at a few coarse scales, enlarged smoothly and averaged."""
    field = None
    for index, cells in enumerate(scales):
        layer = noise(rng, (cells, max(2, cells * size[1] // size[0]))).resize(size, Image.BICUBIC)
        field = layer if field is None else Image.blend(field, layer, 1 / (index + 1))
    return field


def photo(rng, size):
    """Light over several scales, contrast raised as a camera's curve does, then grain."""
    light = smooth_field(rng, size, [3, 7, 19, 53])
    light = ImageChops.multiply(light, smooth_field(rng, size, [2, 4])).point(
        lambda v: min(255, int(v * 1.8)))
    return Image.blend(light, noise(rng, size), 0.05)


def painted(rng, size):
    """Two-colour gradient under soft translucent strokes, with a soft edge all round."""
    ends = [tuple(rng.randrange(256) for _ in range(3)) for _ in range(2)]
    ramp = Image.linear_gradient("L").resize((size, size)).rotate(rng.randrange(360))
    picture = Image.composite(Image.new("RGB", (size, size), ends[0]),
                              Image.new("RGB", (size, size), ends[1]), ramp).convert("RGBA")
    for _ in range(rng.randrange(6, 14)):
        stroke = Image.new("RGBA", (size, size), (0, 0, 0, 0))
        x, y = rng.randrange(size), rng.randrange(size)
        colour = tuple(rng.randrange(256) for _ in range(3)) + (rng.randrange(60, 200),)
        ImageDraw.Draw(stroke).line((x, y, x + rng.randrange(-size, size),
                                     y + rng.randrange(-size // 2, size // 2)),
                                    fill=colour, width=rng.randrange(4, size // 6))
        picture = Image.alpha_composite(picture, stroke.filter(ImageFilter.GaussianBlur(3)))
    edge = Image.new("L", (size, size), 0)
    ImageDraw.Draw(edge).ellipse((size // 16, size // 16, size - size // 16, size - size // 16),
                                 fill=255)
    picture.putalpha(ImageChops.multiply(picture.getchannel("A"),
                                         edge.filter(ImageFilter.GaussianBlur(size / 20))))
    return picture


PALETTE = [(0, 0, 0, 255), (29, 43, 83, 255), (126, 37, 83, 255), (0, 135, 81, 255),
           (171, 82, 54, 255), (95, 87, 79, 255), (194, 195, 199, 255), (255, 241, 232, 255),
           (255, 0, 77, 255), (255, 163, 0, 255), (255, 236, 39, 255), (0, 228, 54, 255),
           (41, 173, 255, 255), (131, 118, 156, 255), (0, 0, 0, 96)]


def pixel_sprite(rng, size):
    """A mirrored creature of a few palette colours with a dark outline and a faint shadow."""
    half = [[rng.random() < 0.45 for _ in range(size // 2)] for _ in range(size)]
    colours = [rng.choice(PALETTE[1:14]) for _ in range(3)]
    picture = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    pixels = picture.load()
    for y in range(2, size - 4):
        for x in range(2, size // 2):
            if half[y][x]:
                colour = colours[(y // 5 + x // 7) % 3]
                pixels[x, y] = pixels[size - 1 - x, y] = colour
    for y in range(size - 3, size - 1):
        for x in range(size // 4, size * 3 // 4):
            pixels[x, y] = PALETTE[14]
    outline = picture.getchannel("A").point(lambda a: 255 if a == 255 else 0)
    outline = outline.filter(ImageFilter.MaxFilter(3))
    framed = Image.new("RGBA", (size, size), PALETTE[0])
    framed.putalpha(ImageChops.subtract(outline, picture.getchannel("A").point(
        lambda a: 255 if a == 255 else 0)))
    picture = Image.alpha_composite(picture, framed)
    return picture.resize((size * 2, size * 2), Image.NEAREST)


def write_pictures(folder, count, draw, rng, extension="png", **save):
    os.makedirs(folder, exist_ok=True)
    for index in range(count):
        draw(rng).save(os.path.join(folder, "pic-%04d.%s" % (index, extension)), **save)


def main():
    root = sys.argv[1]
    write_frames(os.path.join(root, "frames128"), 256, 128, random.Random(128))
    write_frames(os.path.join(root, "frames512"), 64, 512, random.Random(512))
    write_mixed(os.path.join(root, "mixed"), random.Random(100))
    write_frames(os.path.join(root, "frames64"), 4096, 64, random.Random(64))
    write_frames(os.path.join(root, "frames2048"), 16, 2048, random.Random(2048))
    write_pictures(os.path.join(root, "noisy128"), 256, lambda r: noisy_sprite(r, 128),
                   random.Random(1280))
    write_pictures(os.path.join(root, "photos"), 64, lambda r: photo(r, (320, 240)),
                   random.Random(320), "jpg", quality=88)
    write_pictures(os.path.join(root, "painted"), 48, lambda r: painted(r, 256),
                   random.Random(256))
    write_pictures(os.path.join(root, "pixelart"), 256, lambda r: pixel_sprite(r, 32),
                   random.Random(32))


if __name__ == "__main__":
    main()
