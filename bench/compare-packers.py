#!/usr/bin/python3
"""Compares the packed layout with free-tex-packer-core's OptimalPacker on the sets that
pack-sets.py made, rotation off and on, and prints one line for each:

  compare-packers.py BENCH_FOLDER PACK_BENCH [TAVRIN]

The peer runs with its default largest sheet (2048) and with 8192, and its smaller total area
counts. PACK_BENCH gives the packer's sheet from the trimmed sizes alone (placement on one core);
TAVRIN, when given, composes each set (tavrin -o SHEET --layout packed --trim [--rotate]) and is
timed from start to end like the peer. Targets: tavrin's sheet area at most the peer's, area used
(trimmed pictures / sheet) at least 0.90 on mixed art, whole run time at most 1/50 of the peer's."""

import os
import re
import struct
import subprocess
import sys
import time

SETS = ["small35", "equal500", "mixed500", "whole", "ground", "units500"]


def parse(line):
    """Sheet area and time from a line of pack-peer.js or pack_bench."""
    area = int(re.search(r"area (\d+)", line).group(1))
    seconds = float(re.search(r"time ([\d.]+) s", line).group(1))
    sheets = re.search(r"sheets ([\dx ]+?) area", line).group(1)
    return area, seconds, sheets


def peer(folder, set_name, rotate):
    """The peer's smallest result, kept in BENCH_FOLDER for later runs (its version is pinned and
    the sets do not change); delete peer-*.txt there to measure it again."""
    cache = os.path.join(folder, "peer-%s-%s.txt" % (set_name, "on" if rotate else "off"))
    if os.path.exists(cache):
        with open(cache) as kept:
            return parse(kept.read())
    best = None
    for largest in ("2048", "8192"):
        command = ["node", "bench/peer/pack-peer.js", os.path.join(folder, "sets", set_name),
                   "--max", largest] + (["--rotate"] if rotate else [])
        env = dict(os.environ, NODE_PATH=os.path.join(folder, "node", "node_modules"))
        line = subprocess.run(command, env=env, capture_output=True, text=True,
                              check=True).stdout.strip()
        result = parse(line)
        if best is None or result[0] < best[0]:
            best, best_line = result, line
    with open(cache, "w") as kept:
        kept.write(best_line)
    return best


def ours(pack_bench, folder, set_name, rotate):
    command = [pack_bench, "--threads", "1", os.path.join(folder, "sets", set_name + ".sizes")]
    line = subprocess.run(command + (["--rotate"] if rotate else []), capture_output=True,
                          text=True, check=True).stdout.strip()
    return parse(line)


def tavrin(program, folder, set_name, rotate):
    sheet = os.path.join(folder, "compare-" + set_name + ".png")
    command = [program, "-o", sheet, "--layout", "packed", "--trim",
               os.path.join(folder, "sets", set_name)] + (["--rotate"] if rotate else [])
    start = time.perf_counter()
    subprocess.run(command, check=True)
    seconds = time.perf_counter() - start
    with open(sheet, "rb") as png:
        width, height = struct.unpack(">II", png.read(24)[16:24])
    return width * height, seconds, "%dx%d" % (width, height)


def main():
    folder, pack_bench = sys.argv[1], sys.argv[2]
    program = sys.argv[3] if len(sys.argv) > 3 else None
    for set_name in SETS:
        with open(os.path.join(folder, "sets", set_name + ".sizes")) as sizes:
            trimmed = sum(int(w) * int(h) for w, h in (line.split() for line in sizes))
        for rotate in (False, True):
            p_area, p_time, p_sheets = peer(folder, set_name, rotate)
            o_area, o_time, o_sheets = ours(pack_bench, folder, set_name, rotate)
            line = ("%-9s rotate %-3s | peer %s area %d used %.3f %.2f s | packer %s area %.4f "
                    "of the peer's used %.3f placement %.3f s" %
                    (set_name, "on" if rotate else "off", p_sheets, p_area, trimmed / p_area,
                     p_time, o_sheets, o_area / p_area, trimmed / o_area, o_time))
            if program:
                t_area, t_time, t_sheets = tavrin(program, folder, set_name, rotate)
                line += " | tavrin %s area %.4f of the peer's, used %.3f, time %.4f of the peer's" % (
                    t_sheets, t_area / p_area, trimmed / t_area, t_time / p_time)
            print(line, flush=True)


main()
