"""Writes the fixed picture set the engine check packs: mixed sizes with
transparent margins (so trim has work), numbered animation frames, an animated
GIF with its own durations, and two byte-identical pictures (so aliasing has
work). Seeded, so every run packs the same pixels."""
import json
import random
import sys
from pathlib import Path

from PIL import Image

out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)
rng = random.Random(21)


def picture(w, h, margin):
    # Noise with a few transparent and half-transparent pixels inside, so any
    # off-by-one cut or wrong rotation shows as a pixel difference.
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    for y in range(margin[1], h - margin[3]):
        for x in range(margin[0], w - margin[2]):
            a = rng.choice((255, 255, 255, 128, 0))
            img.putpixel((x, y), (rng.randrange(256), rng.randrange(256), rng.randrange(256), a))
    # Opaque corners of the kept area pin the trim rectangle exactly.
    for x, y in ((margin[0], margin[1]), (w - margin[2] - 1, h - margin[3] - 1)):
        img.putpixel((x, y), (255, 0, 0, 255))
    return img


for i, (w, h, m) in enumerate([(40, 24, (3, 5, 7, 2)), (17, 33, (0, 4, 2, 0)),
                               (64, 12, (10, 1, 0, 3)), (9, 9, (0, 0, 0, 0)),
                               (30, 50, (6, 6, 6, 6)), (23, 41, (1, 9, 4, 12))]):
    picture(w, h, m).save(out / f"prop{i}.png")
for i in range(1, 5):
    picture(20 + i, 28, (i, 2, 4 - i, 3)).save(out / f"walk_0{i}.png")
for i in range(1, 4):
    picture(16, 16 + i, (0, i, 0, 0)).save(out / f"run-{i}.png")
(out / "copy.png").write_bytes((out / "prop3.png").read_bytes())

# GIF frames are opaque palette pictures over a transparent background.
frames = []
for i in range(3):
    img = Image.new("P", (26, 20), 0)
    pal = [0, 0, 0] + [rng.randrange(256) for _ in range(255 * 3)]
    img.putpalette(pal)
    for y in range(2 + i, 18):
        for x in range(3, 22 - i):
            img.putpixel((x, y), rng.randrange(1, 256))
    frames.append(img)
frames[0].save(out / "spin.gif", save_all=True, append_images=frames[1:],
               duration=[70, 120, 200], loop=0, transparency=0, disposal=2)

# What every engine must give back: each frame's picture under its frame name,
# and the animations with their durations in the order the names number them.
ref = Path(sys.argv[2])
ref.mkdir(parents=True, exist_ok=True)
for p in out.glob("*.png"):
    Image.open(p).convert("RGBA").save(ref / f"{p.name}.png")
for i, f in enumerate(frames):
    rgba = f.convert("RGBA")
    rgba.putalpha(Image.frombytes("L", f.size, bytes(0 if v == 0 else 255 for v in f.tobytes())))
    rgba.save(ref / f"spin.gif@{i}.png")
anims = {
    "prop": [(f"prop{i}.png", 100) for i in range(6)],
    "walk": [(f"walk_0{i}.png", 100) for i in range(1, 5)],
    "run": [(f"run-{i}.png", 100) for i in range(1, 4)],
    "spin": [(f"spin.gif#{i}", d) for i, d in enumerate((70, 120, 200))],
}
# libGDX names a numbered frame by its stem and keeps the number as its index.
indexed = {f"{a}#{int(n.split('#')[-1]) if '#' in n else int(n.rstrip('.png')[-1])}": n
           for a, fs in anims.items() for n, _ in fs}
(ref / "expected.json").write_text(json.dumps({"animations": anims, "libgdx": indexed}))

# Game art for the filtering check: smooth shapes whose edges fade out over a pixel (coverage of
# 4x4 samples), coloured by gradients of at most 3 levels a pixel, so filtering straight colour
# differs from filtering premultiplied colour by under a level. Their transparent pixels are
# black or white, the colours that make dark and bright fringes.
fringe = out.parent / "fringe"
fringe.mkdir(exist_ok=True)
for i, (w, h, clear) in enumerate([(34, 22, 0), (19, 31, 255), (40, 40, 0), (15, 12, 255), (27, 18, 0)]):
    img = Image.new("RGBA", (w, h), (clear, clear, clear, 0))
    base = [rng.randrange(40, 130) for _ in range(3)]
    for y in range(h):
        for x in range(w):
            inside = sum(((x + (sx + 0.5) / 4 - w / 2) / (w / 2 - 1.5)) ** 2
                         + ((y + (sy + 0.5) / 4 - h / 2) / (h / 2 - 1.5)) ** 2 <= 1 for sx in range(4) for sy in range(4))
            if inside:
                img.putpixel((x, y), (base[0] + 2 * x, base[1] + 3 * y, base[2] + x + y, round(inside * 255 / 16)))
    img.save(fringe / f"blob{i}.png")
