#!/usr/bin/python3
"""Times `tavrin -o` against ImageMagick (montage for the grid, convert +append / -append for
the row and the column) and a plain Pillow script, on the same inputs, and checks the targets:

  time    tavrin's wall time at most 0.25 x ImageMagick's and 0.5 x Pillow's
  size    tavrin's sheet at most 5% larger than ImageMagick's
  memory  tavrin's peak memory at most the decoded pictures + the sheet + 64 MB
  pixels  tavrin's sheet, read by Pillow and by ImageMagick, equals Pillow's own sheet
  scaling the time per output megapixel within 20% of their median on one content, the 512 x 512
          frames tiled to grids of 4, 16, 64 and 256 Mpx

On the grids it also runs `--compression fast` (sheet at most 15% larger than ImageMagick's)
and `--compression best` (at most 1.5 x the default's time). It refuses to run when the load
average is above 1 at the start, since neighbours' work would be counted as ours.

With OLD_TAVRIN naming an earlier build, it first times that build against TAVRIN on every
workload and layout below, the two taking turns seven times, and checks that the new build's
fastest run takes at most 1.05 x the old one's (CPU time, user + system, is shown beside it:
on a shared machine it varies less than wall time).

Usage: run-bench.py TAVRIN WORK_FOLDER. Each command runs three times; the fastest counts."""

import os
import re
import subprocess
import sys
import time

from PIL import Image

from pillow_compose import grid

HERE = os.path.dirname(os.path.abspath(__file__))
WORKLOADS = ["frames128", "frames512", "mixed", "frames64", "frames2048", "noisy128", "photos",
             "painted", "pixelart"]
# The scaling workloads, many small files and a large sheet, and the kinds of content that
# size-bench.py measures are timed on the grid only.
GRID_ONLY = {"frames64", "frames2048", "noisy128", "photos", "painted", "pixelart"}
LEVELS = ["fast", "best"]
LAYOUTS = {"grid": "multirow", "row": "horizontal", "column": "vertical"}
RUNS = 3
OLD_RUNS = 7
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
        if done.returncode == 2 and "--compression" in command:
            return None, 0
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


def cleared(image):
    """The RGBA bytes with every clear pixel made 0, as the tests compare: decoders differ in
    the colour they give a gif's transparent index, which no one sees."""
    mask = image.getchannel("A").point(lambda alpha: 255 if alpha else 0)
    return Image.composite(image, Image.new("RGBA", image.size), mask).tobytes()


def pillow_pixels(path):
    """The sheet's RGBA bytes as Pillow reads them."""
    with Image.open(path) as image:
        return cleared(image.convert("RGBA"))


def same_pixels(path, reference, env):
    """Whether Pillow and ImageMagick (under the run's policy) both read `reference`."""
    with Image.open(path) as image:
        size = image.size
    raw = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgba:-"], env=env,
                         stdout=subprocess.PIPE, check=True).stdout
    by_magick = cleared(Image.frombytes("RGBA", size, raw))
    return pillow_pixels(path) == reference and by_magick == reference


def bench(tavrin, work, env, workload, layout):
    folder = os.path.join(work, workload)
    files = sorted(os.path.join(folder, name) for name in os.listdir(folder))
    sizes = [Image.open(path).size for path in files]
    cell = (max(w for w, _ in sizes), max(h for _, h in sizes))
    tile = {"grid": grid(len(files), *cell), "row": (len(files), 1), "column": (1, len(files))}[layout]
    decoded = sum(w * h * 4 for w, h in sizes)
    sheet = cell[0] * tile[0] * cell[1] * tile[1] * 4
    out = {name: os.path.join(work, "%s-%s-%s.png" % (workload, layout, name))
           for name in ["tavrin", "im", "pillow"] + LEVELS}
    runs = commands(tavrin, layout, folder, files, cell, tile, out)
    if layout == "grid":
        for level in LEVELS:
            runs[level] = runs["tavrin"][:1] + ["--compression", level, "-o", out[level]] + \
                runs["tavrin"][3:]
    results = {name: measure(command, env) for name, command in runs.items()}
    t, im, pil = results["tavrin"][0], results["im"][0], results["pillow"][0]
    size_ratio = os.path.getsize(out["tavrin"]) / os.path.getsize(out["im"])
    peak, bound = results["tavrin"][1], decoded + sheet + 64 * MB
    reference = pillow_pixels(out["pillow"])
    identical = same_pixels(out["tavrin"], reference, env)
    megapixels = sheet / 4 / 1e6
    time_ok = t <= 0.25 * im and t <= 0.5 * pil
    print("%s %s (%d pictures, sheet %dx%d)" % (workload, layout, len(files), cell[0] * tile[0],
                                               cell[1] * tile[1]))
    print("  time    tavrin %.3f s (%.4f s per Mpx), ImageMagick %.3f s (ratio %.2f), "
          "Pillow %.3f s (ratio %.2f)  %s"
          % (t, t / megapixels, im, t / im, pil, t / pil, verdict(time_ok)))
    print("  size    tavrin %d bytes, ImageMagick %d bytes (ratio %.3f), Pillow %d bytes  %s"
          % (os.path.getsize(out["tavrin"]), os.path.getsize(out["im"]), size_ratio,
             os.path.getsize(out["pillow"]), verdict(size_ratio <= 1.05)))
    print("  memory  tavrin %.1f MB peak, bound %.1f MB (ImageMagick %.1f MB, Pillow %.1f MB)  %s"
          % (peak / MB, bound / MB, results["im"][1] / MB, results["pillow"][1] / MB,
             verdict(peak <= bound)))
    print("  pixels  tavrin's sheet read by Pillow and ImageMagick equals Pillow's sheet  %s"
          % verdict(identical))
    passed = time_ok and size_ratio <= 1.05 and peak <= bound and identical
    for level in LEVELS if layout == "grid" else []:
        passed = report_level(level, results[level][0], out[level], out["im"], im, t,
                              reference, env) and passed
    return passed


def report_level(level, elapsed, path, magick_path, magick, default, reference, env):
    """One compression level's time and size against ImageMagick's, with its own target."""
    if elapsed is None:
        print("  %-7s tavrin has no --compression option: not measured  FAIL" % level)
        return False
    ratio = os.path.getsize(path) / os.path.getsize(magick_path)
    ok = ratio <= 1.15 if level == "fast" else elapsed <= 1.5 * default
    ok = ok and same_pixels(path, reference, env)
    print("  %-7s %.3f s (ratio %.2f to ImageMagick, %.2f to default), %d bytes (ratio %.3f)  %s"
          % (level, elapsed, elapsed / magick, elapsed / default, os.path.getsize(path), ratio,
             verdict(ok)))
    return ok


def tiled(work, count):
    """A folder of `count` links to the 512 x 512 frames, taken over and over: the same content
    at any sheet size, so that only the size changes."""
    source = os.path.join(work, "frames512")
    frames = sorted(os.listdir(source))
    folder = os.path.join(work, "tiled%d" % count)
    os.makedirs(folder, exist_ok=True)
    for index in range(count):
        link = os.path.join(folder, "frame-%05d.png" % index)
        if not os.path.lexists(link):
            os.symlink(os.path.join(source, frames[index % len(frames)]), link)
    return folder


def scaling(tavrin, work, env):
    """Whether tavrin's time per output megapixel on one content is within 20% of the median
    from 4 to 256 Mpx."""
    per_mpx = {}
    for count in (16, 64, 256, 1024):
        sheet = os.path.join(work, "tiled.png")
        elapsed, _ = measure([tavrin, "-o", sheet, "--layout", "multirow", tiled(work, count)],
                             env)
        per_mpx["%d Mpx" % (count // 4)] = elapsed / (count * 512 * 512 / 1e6)
        os.remove(sheet)
    values = sorted(per_mpx.values())
    median = values[len(values) // 2]
    ok = all(abs(v / median - 1) <= 0.20 for v in values)
    print("scaling: time per output Mpx %s (median %.4f s)  %s"
          % (", ".join("%s %.4f s" % item for item in per_mpx.items()), median, verdict(ok)))
    return ok


def timed(command):
    """Wall and CPU (user + system) seconds of one run."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit("failed: %s" % " ".join(command))
    return time.perf_counter() - start, usage.ru_utime + usage.ru_stime


def against_old(tavrin, old, work):
    """Whether the new build's fastest run is within 5% of the old one's on every workload."""
    print("old %s against new %s, best of %d each, taking turns; load average %.2f"
          % (old, tavrin, OLD_RUNS, os.getloadavg()[0]))
    passed = True
    for workload, layout in [(w, l) for w in WORKLOADS for l in LAYOUTS
                             if l == "grid" or w not in GRID_ONLY]:
        runs = {old: [], tavrin: []}
        for _ in range(OLD_RUNS):
            for binary in (old, tavrin):
                runs[binary].append(timed([binary, "-o", os.path.join(work, "old-new.png"),
                                           "--layout", LAYOUTS[layout],
                                           os.path.join(work, workload)]))
        (wall_old, cpu_old), (wall_new, cpu_new) = (
            [min(t[i] for t in runs[b]) for i in (0, 1)] for b in (old, tavrin))
        ok = wall_new <= 1.05 * wall_old
        passed = passed and ok
        print("  %-10s %-6s old %.3f s, new %.3f s, ratio %.3f (CPU %.3f s, %.3f s, ratio %.3f)"
              "  %s" % (workload, layout, wall_old, wall_new, wall_new / wall_old, cpu_old,
                        cpu_new, cpu_new / cpu_old, verdict(ok)))
    print("  load average at the end %.2f" % os.getloadavg()[0])
    return passed


def main():
    tavrin, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    load = os.getloadavg()[0]
    if load > 1:
        sys.exit("The load average is %.2f, above 1: other work would be timed with ours, so "
                 "nothing is reported. Run again on a quiet machine." % load)
    os.makedirs(work, exist_ok=True)
    if not all(os.path.isdir(os.path.join(work, w)) for w in WORKLOADS):
        subprocess.run(["/usr/bin/python3", os.path.join(HERE, "make-workloads.py"), work],
                       check=True)
    policy = os.path.join(work, "magick")
    os.makedirs(policy, exist_ok=True)
    with open(os.path.join(policy, "policy.xml"), "w") as stream:
        stream.write(POLICY)
    env = dict(os.environ, MAGICK_CONFIGURE_PATH=policy)
    old = os.environ.get("OLD_TAVRIN")
    passed = [against_old(tavrin, os.path.abspath(old), work)] if old else []
    passed += [bench(tavrin, work, env, w, l) for w in WORKLOADS for l in LAYOUTS
               if l == "grid" or w not in GRID_ONLY]
    passed.append(scaling(tavrin, work, env))
    print("%d of %d checks met every target" % (sum(passed), len(passed)))


if __name__ == "__main__":
    main()
