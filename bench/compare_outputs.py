#!/usr/bin/python3
"""Compares OUT/old/CASE with OUT/new/CASE for every case compare-builds.sh ran; see there.

Usage: compare_outputs.py OUT. Prints one line per case and exits 1 when any case fails."""

import json
import os
import re
import struct
import sys

from PIL import Image


def chunks(path):
    """A PNG's chunks but tEXt, or a WebP's but EXIF and VP8X (whose flags announce EXIF)."""
    data, found = open(path, "rb").read(), []
    png = path.endswith(".png")
    at, skip = (8, {b"tEXt"}) if png else (12, {b"EXIF", b"VP8X"})
    while at < len(data):
        if png:
            size, kind = struct.unpack(">I4s", data[at:at + 8])
            end = at + 12 + size
        else:
            kind, size = struct.unpack("<4sI", data[at:at + 8])
            end = at + 8 + size + size % 2
        if kind not in skip:
            found.append(data[at + 8:end] if not png else data[at:end])
        at = end
    return found


def pixels(path):
    with Image.open(path) as image:
        return image.mode, image.size, image.convert("RGBA").tobytes()


def by_index(text):
    """The old array or aseprite text with its animations naming frames by their keys."""
    frames = json.loads(text)["frames"]
    keys = ({f["filename"]: str(i) for i, f in enumerate(frames)} if isinstance(frames, list)
            else {f.get("filename", k): k for k, f in frames.items()})
    lines, inside = text.split("\n"), False
    for i, line in enumerate(lines):
        inside = (inside or line == '  "animations": {') and line not in ("  },", "  }")
        entry = re.fullmatch(r'(\s*)"(.*)"(,?)', line)
        if inside and entry and entry.group(2) in keys:
            lines[i] = '%s"%s"%s' % (entry.group(1), keys[entry.group(2)], entry.group(3))
    return "\n".join(lines)


def same_data(old, new):
    """Whether two data files agree but for meta app and version; the second value says
    whether the animations had to be read by index."""
    texts = [re.sub(r'\n\s*"(app|version)": "[^"]*",?', "", open(p).read()) for p in (old, new)]
    if texts[0] == texts[1]:
        return True, False
    return old.endswith(".json") and '"animations"' in texts[0] and \
        by_index(texts[0]) == texts[1], True


def area(folder):
    total = 0
    for name in os.listdir(folder):
        if name.startswith("sheet"):
            with Image.open(os.path.join(folder, name)) as image:
                total += image.size[0] * image.size[1]
    return total


def compare(old, new):
    """Whether every file of the case agrees, and the notes to print."""
    names = sorted(n for n in os.listdir(old) if n != "stderr")
    if names != sorted(n for n in os.listdir(new) if n != "stderr"):
        return False, ["files %s against %s" % (names, sorted(os.listdir(new)))]
    ok, notes = True, []
    for name in names:
        a, b = os.path.join(old, name), os.path.join(new, name)
        if name.startswith("sheet"):
            same = pixels(a) == pixels(b) and chunks(a) == chunks(b)
        elif name.startswith("data"):
            same, reindexed = same_data(a, b)
            notes += ["animations by index"] if same and reindexed else []
        else:
            same = open(a).read() == open(b).read()
        ok = ok and same
        notes += [] if same else [name + " differs"]
    return ok, notes


def main():
    out, failed = sys.argv[1], 0
    for case in sorted(os.listdir(os.path.join(out, "old"))):
        old, new = os.path.join(out, "old", case), os.path.join(out, "new", case)
        identical, notes = compare(old, new)
        ok = open(os.path.join(old, "status")).read() == "0\n"
        if case.startswith("packed"):
            before, after = area(old), area(new)
            ok = ok and after <= before
            notes.append("area %d -> %d (%.4f)" % (before, after, after / max(before, 1)))
        else:
            ok = ok and identical
        failed += not ok
        print("%-32s %s  identical: %s  %s" % (case, "PASS" if ok else "FAIL",
                                             "yes" if identical else "no", "; ".join(notes)))
    print("%d cases, %d failed" % (len(os.listdir(os.path.join(out, "old"))), failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
