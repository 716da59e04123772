#!/usr/bin/python3
"""Measures the PNG writer alone: tavrin's sheet at each --compression level against the same
pixels re-encoded by ImageMagick (convert, zlib level 6, its adaptive filters) and by Pillow
(level 6, optimize off, its adaptive filters), and checks the targets:

  default  at most 1.00 x both peers' size      best  at most 0.92 x both peers' size
  indexed  on pixel art, --indexed at most 0.5 x the RGBA sheet of the default level
  webp     the lossless WebP sheet at most 0.8 x tavrin's PNG at the default level

Every WebP sheet must read back with the PNG's pixels in Pillow and in libwebp's dwebp.

Every file must read back with the sheet's pixels in Pillow and ImageMagick. Sizes do not
depend on the machine's load, so this runs on a busy machine too.

The workloads are make-workloads.py's (written if missing) and real game art: the ground
pieces of Pingus (Debian's pingus-data, GPL-2+), fetched by fetch-art.sh, never installed or
committed, and packed rather than gridded since their sizes vary.

Usage: size-bench.py TAVRIN build/bench"""

import os
import subprocess
import sys
import time

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
WORKLOADS = ["frames128", "frames512", "mixed", "frames64", "noisy128", "photos", "painted",
             "pixelart", "art"]
LEVELS = ["fast", "default", "best"]
TARGETS = {"default": 1.00, "best": 0.92}
WEBP_TARGETS = {"default": 0.8}


def fetch_art(work):
    """The Pingus ground pieces, unpacked by fetch-art.sh (as the packed layout's benchmark has
    them) into WORK_FOLDER/art."""
    subprocess.run(["bash", os.path.join(HERE, "fetch-art.sh")], check=True)
    return os.path.join(work, "art/pingus-data/usr/share/games/pingus/data/images/groundpieces/"
                        "ground")


def rgba(path):
    with Image.open(path) as image:
        return image.convert("RGBA").tobytes()


def magick_rgba(path, size):
    raw = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgba:-"],
                         stdout=subprocess.PIPE, check=True).stdout
    return Image.frombytes("RGBA", size, raw).tobytes()


def peers(sheet, work, name):
    """The sheet re-encoded by ImageMagick and by Pillow; their paths."""
    magick = os.path.join(work, name + "-im.png")
    pillow = os.path.join(work, name + "-pillow.png")
    subprocess.run(["/usr/bin/convert", sheet, "-define", "png:compression-level=6",
                    "PNG32:" + magick], check=True)
    with Image.open(sheet) as image:
        image.convert("RGBA").save(pillow, optimize=False, compress_level=6)
    return magick, pillow


def bench(tavrin, work, workload):
    folder = fetch_art(work) if workload == "art" else os.path.join(work, workload)
    layout = ["--layout", "packed"] if workload == "art" else ["--layout", "multirow"]
    sizes, passed, reference = {}, True, None
    for level in LEVELS:
        sheet = os.path.join(work, "size-%s-%s.png" % (workload, level))
        subprocess.run([tavrin, "-o", sheet, "--compression", level] + layout + [folder],
                       check=True, stdout=subprocess.DEVNULL)
        sizes[level] = os.path.getsize(sheet)
        pixels = rgba(sheet)
        with Image.open(sheet) as image:
            shape = image.size
        if reference is None:
            reference = pixels
            magick, pillow = peers(sheet, work, "size-%s" % workload)
            sizes["im"], sizes["pillow"] = os.path.getsize(magick), os.path.getsize(pillow)
            same = rgba(magick) == pixels and rgba(pillow) == pixels
        else:
            same = pixels == reference
        same = same and magick_rgba(sheet, shape) == reference
        if not same:
            print("  %s %s: the pixels differ between readers or levels  FAIL" % (workload, level))
            passed = False
    line = "%-10s %5d x %-5d  IM %9d  Pillow %9d" % (workload, shape[0], shape[1], sizes["im"],
                                                      sizes["pillow"])
    for level in LEVELS:
        worst = max(sizes[level] / sizes["im"], sizes[level] / sizes["pillow"])
        ok = worst <= TARGETS.get(level, float("inf"))
        passed = passed and ok
        line += "  %s %.4f/%.4f%s" % (level, sizes[level] / sizes["im"],
                                      sizes[level] / sizes["pillow"], "" if ok else " FAIL")
    print(line)
    return webp(tavrin, work, workload, layout + [folder], reference, shape) and passed


def dwebp_rgba(path, size):
    """The sheet as libwebp's own decoder gives it."""
    pam = subprocess.run(["dwebp", "-quiet", "-pam", path, "-o", "-"], stdout=subprocess.PIPE,
                         check=True).stdout
    return Image.frombytes("RGBA", size, pam[pam.index(b"ENDHDR\n") + 7:]).tobytes()


def webp(tavrin, work, workload, arguments, reference, shape):
    """The lossless WebP sheet at each level against the PNG of the same level."""
    line, passed = "%-10s WebP" % workload, True
    for level in LEVELS:
        sheet = os.path.join(work, "size-%s-%s.webp" % (workload, level))
        start = time.monotonic()
        subprocess.run([tavrin, "-o", sheet, "--compression", level] + arguments, check=True,
                       stdout=subprocess.DEVNULL)
        elapsed = time.monotonic() - start
        png = os.path.getsize(os.path.join(work, "size-%s-%s.png" % (workload, level)))
        ratio = os.path.getsize(sheet) / png
        same = rgba(sheet) == reference and dwebp_rgba(sheet, shape) == reference
        ok = same and ratio <= WEBP_TARGETS.get(level, float("inf"))
        passed = passed and ok
        line += "  %s %.4f of the PNG, %.2f s%s%s" % (level, ratio, elapsed,
                                                      "" if same else " (pixels differ)",
                                                      "" if ok else " FAIL")
    print(line)
    return passed


def indexed(tavrin, work):
    """--indexed on the pixel art against its RGBA sheet, read back alike by both readers."""
    sheet = os.path.join(work, "size-pixelart-indexed.png")
    subprocess.run([tavrin, "-o", sheet, "--indexed", "--layout", "multirow",
                    os.path.join(work, "pixelart")], check=True, stdout=subprocess.DEVNULL)
    reference_path = os.path.join(work, "size-pixelart-default.png")
    reference = rgba(reference_path)
    with Image.open(sheet) as image:
        mode, shape = image.mode, image.size
    same = rgba(sheet) == reference and magick_rgba(sheet, shape) == reference
    ratio = os.path.getsize(sheet) / os.path.getsize(reference_path)
    ok = same and mode == "P" and ratio <= 0.5
    print("indexed    pixelart: %d bytes, %.4f of the RGBA sheet, Pillow mode %s, same pixels "
          "in Pillow and ImageMagick: %s%s" % (os.path.getsize(sheet), ratio, mode, same,
                                              "" if ok else "  FAIL"))
    return ok


def main():
    tavrin, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    if not all(os.path.isdir(os.path.join(work, w)) for w in WORKLOADS if w != "art"):
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make-workloads.py"), work],
                       check=True)
    print("sheet sizes against ImageMagick's / Pillow's PNG of the same pixels")
    passed = [bench(tavrin, work, workload) for workload in WORKLOADS]
    passed.append(indexed(tavrin, work))
    print("%d of %d checks met every size target" % (sum(passed), len(passed)))


if __name__ == "__main__":
    main()
