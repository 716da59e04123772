#!/usr/bin/python3
"""Times `tavrin -o` against ImageMagick (montage for the grid, convert +append / -append for
the row and the column) and a plain Pillow script, on the same inputs, and checks the targets:

  time    tavrin's wall time below both ImageMagick's and Pillow's
  size    tavrin's sheet at most 5% larger than ImageMagick's
  memory  tavrin's peak memory at most the decoded pictures + 2 x the sheet + 64 MB

Usage: run-bench.py TAVRIN WORK_FOLDER. Each command runs three times; the fastest counts."""

import os
import re
import subprocess
import sys
import time

from PIL import Image

from pillow_compose import grid

HERE = os.path.dirname(os.path.abspath(__file__))
WORKLOADS = ["frames128", "frames512", "mixed"]
LAYOUTS = {"grid": "multirow", "row": "horizontal", "column": "vertical"}
RUNS = 3
MB = 1024 * 1024

# The stock policy refuses sheets wider than 16K pixels, which the rows here exceed.
POLICY = """<policymap>
  <policy domain="resource" name="width" value="1MP"/>
  <policy domain="resource" name="height" value="1MP"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
"""


def measure(command, env):
    """Fastest wall time in seconds over RUNS runs, and the peak resident memory in bytes."""
    best, peak = None, 0
    for _ in range(RUNS):
        start = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-v"] + command, env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            sys.exit("failed: %s\n%s" % (" ".join(command[:6]), done.stderr[-2000:]))
        found = re.search(r"Maximum resident set size \(kbytes\): (\d+)", done.stderr)
        peak = max(peak, int(found.group(1)) * 1024)
        best = elapsed if best is None else min(best, elapsed)
    return best, peak


def commands(tavrin, layout, folder, files, cell, tile, out):
    cw, ch = cell
    magick = ["-background", "none", "-gravity", "NorthWest"]
    if layout == "grid":
        # "WxH>" makes every tile one cell without enlarging any picture.
        imagemagick = (["/usr/bin/montage"] + magick + ["-geometry", "%dx%d+0+0>" % cell,
                       "-tile", "%dx%d" % tile] + files + ["PNG32:" + out["im"]])
    else:
        join = "+append" if layout == "row" else "-append"
        imagemagick = (["/usr/bin/convert"] + files + magick +
                       ["-extent", "%dx%d" % (cw, ch), join, "PNG32:" + out["im"]])
    return {
        "tavrin": [tavrin, "-o", out["tavrin"], "--layout", LAYOUTS[layout], folder],
        "im": imagemagick,
        "pillow": ["/usr/bin/python3", os.path.join(HERE, "pillow_compose.py"), layout,
                   out["pillow"]] + files,
    }


def verdict(ok):
    return "PASS" if ok else "FAIL"


def bench(tavrin, work, env, workload, layout):
    folder = os.path.join(work, workload)
    files = sorted(os.path.join(folder, name) for name in os.listdir(folder))
    sizes = [Image.open(path).size for path in files]
    cell = (max(w for w, _ in sizes), max(h for _, h in sizes))
    tile = {"grid": grid(len(files), *cell), "row": (len(files), 1), "column": (1, len(files))}[layout]
    decoded = sum(w * h * 4 for w, h in sizes)
    sheet = cell[0] * tile[0] * cell[1] * tile[1] * 4
    out = {name: os.path.join(work, "%s-%s-%s.png" % (workload, layout, name))
           for name in ("tavrin", "im", "pillow")}
    results = {name: measure(command, env)
               for name, command in commands(tavrin, layout, folder, files, cell, tile, out).items()}
    t, im, pil = results["tavrin"][0], results["im"][0], results["pillow"][0]
    size_ratio = os.path.getsize(out["tavrin"]) / os.path.getsize(out["im"])
    peak, bound = results["tavrin"][1], decoded + 2 * sheet + 64 * MB
    name = "%s %s (%d pictures, sheet %dx%d)" % (workload, layout, len(files), cell[0] * tile[0],
                                                cell[1] * tile[1])
    print(name)
    print("  time    tavrin %.3f s, ImageMagick %.3f s (ratio %.2f), Pillow %.3f s (ratio %.2f)  %s"
          % (t, im, t / im, pil, t / pil, verdict(t < im and t < pil)))
    print("  size    tavrin %d bytes, ImageMagick %d bytes (ratio %.3f), Pillow %d bytes  %s"
          % (os.path.getsize(out["tavrin"]), os.path.getsize(out["im"]), size_ratio,
             os.path.getsize(out["pillow"]), verdict(size_ratio <= 1.05)))
    print("  memory  tavrin %.1f MB peak, bound %.1f MB (ImageMagick %.1f MB, Pillow %.1f MB)  %s"
          % (peak / MB, bound / MB, results["im"][1] / MB, results["pillow"][1] / MB,
             verdict(peak <= bound)))
    return t < im and t < pil and size_ratio <= 1.05 and peak <= bound


def main():
    tavrin, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(work, exist_ok=True)
    if not all(os.path.isdir(os.path.join(work, w)) for w in WORKLOADS):
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make-workloads.py"), work],
                       check=True)
    policy = os.path.join(work, "magick")
    os.makedirs(policy, exist_ok=True)
    with open(os.path.join(policy, "policy.xml"), "w") as stream:
        stream.write(POLICY)
    env = dict(os.environ, MAGICK_CONFIGURE_PATH=policy)
    passed = [bench(tavrin, work, env, w, l) for w in WORKLOADS for l in LAYOUTS]
    print("%d of %d workloads met every target" % (sum(passed), len(passed)))


if __name__ == "__main__":
    main()
