#!/usr/bin/python3
"""Makes the packing sets from the art fetch-art.sh unpacked (first argument) in the folder
given second, each a folder of PNG files and a NAME.sizes file with the trimmed size of each
picture ("width height" a line; a wholly transparent picture counts as 1 x 1):

  small35   35 of Pingus's sprites, spread over the whole game
  equal500  500 frames of 32 x 32 cut from Dungeon Crawl's player tiles (empty ones skipped)
  mixed500  500 of Pingus's sprites, every other one
  whole     all of Pingus's PNG pictures
  ground    Pingus's ground pieces (513 level tiles, many of them long and thin)
  units500  500 of Wesnoth's unit sprites, spread over the whole folder

Needs Pillow."""

import os
import sys

from PIL import Image


def trimmed(image):
    box = image.convert("RGBA").getchannel("A").getbbox()
    return (1, 1) if box is None else (box[2] - box[0], box[3] - box[1])


def write_set(root, name, pictures):
    folder = os.path.join(root, name)
    os.makedirs(folder, exist_ok=True)
    sizes = []
    for index, (label, image) in enumerate(pictures):
        target = os.path.join(folder, f"{index:04d}-{label}.png")
        if not os.path.exists(target):
            image.save(target)
        sizes.append("%d %d" % trimmed(image))
    with open(os.path.join(root, name + ".sizes"), "w") as out:
        out.write("\n".join(sizes) + "\n")


def pngs(folder):
    found = []
    for inner, _, names in os.walk(folder):
        found += [os.path.join(inner, n) for n in names if n.lower().endswith(".png")]
    return sorted(found)


def main():
    art, root = sys.argv[1], sys.argv[2]
    pingus = pngs(os.path.join(art, "pingus-data"))
    load = lambda path: (os.path.basename(path)[:-4], Image.open(path).convert("RGBA"))
    write_set(root, "small35", [load(p) for p in pingus[:: max(1, len(pingus) // 35)][:35]])
    write_set(root, "mixed500", [load(p) for p in pingus[::2][:500]])
    write_set(root, "whole", [load(p) for p in pingus])
    write_set(root, "ground", [load(p) for p in pingus if "/groundpieces/" in p])
    units = pngs(os.path.join(art, "wesnoth-1.16-data"))
    write_set(root, "units500", [load(p) for p in units[:: len(units) // 500][:500]])
    tiles = Image.open(os.path.join(art, "crawl-tiles-data/usr/share/crawl/dat/tiles/player.png"))
    tiles = tiles.convert("RGBA")
    frames = []
    for top in range(0, tiles.height - 31, 32):
        for left in range(0, tiles.width - 31, 32):
            frame = tiles.crop((left, top, left + 32, top + 32))
            if frame.getchannel("A").getbbox() is not None and len(frames) < 500:
                frames.append((f"tile{top // 32}-{left // 32}", frame))
    write_set(root, "equal500", frames)


main()
