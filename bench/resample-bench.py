#!/usr/bin/python3
"""Times Tavrin's resampler against decoding on real game art and checks its quality.

    resample-bench.py TAVRIN RESAMPLE_BENCH ART_FOLDER WORK_FOLDER [SCALE]

Takes 1000 PNG pictures spread evenly over ART_FOLDER, has resample_bench decode and scale
them (one core, both timed), and compares each result with ImageMagick's Lanczos at the same
size, which weights colour by alpha as well: PSNR over the four channels of premultiplied
pixels (Pillow's "RGBa"). Passes when resampling takes at most the decoding time and every
picture is at least 40 dB from ImageMagick's. Then times tavrin packing the same pictures
with a data file, one sheet against two variants (@2x:1 and :0.5), best of three: passes when
two take at most 1.6 times one.
"""
import math
import os
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor

from PIL import Image, ImageChops, ImageStat

COUNT = 1000
LEAST_PSNR = 40.0
MOST_VARIANTS_RATIO = 1.6


def spread(folder, count):
    paths = sorted(os.path.join(root, name) for root, _, names in os.walk(folder)
                   for name in names if name.endswith('.png'))
    step = max(1, len(paths) / count)
    return [paths[int(i * step)] for i in range(min(count, len(paths)))]


def psnr(ours, theirs):
    a = Image.open(ours).convert('RGBA').convert('RGBa')
    b = Image.open(theirs).convert('RGBA').convert('RGBa')
    if a.size != b.size:
        return -1.0
    squares = sum(ImageStat.Stat(ImageChops.difference(a, b)).sum2)
    mse = squares / (4 * a.size[0] * a.size[1])
    return math.inf if mse == 0 else 10 * math.log10(255 ** 2 / mse)


def reference(path, size, out):
    subprocess.run(['convert', path, '-alpha', 'on', '-filter', 'Lanczos', '-resize',
                    f'{size[0]}x{size[1]}!', '-depth', '8', 'PNG32:' + out], check=True)


def best_run(command):
    best = math.inf
    for _ in range(3):
        start = time.monotonic()
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        best = min(best, time.monotonic() - start)
    return best


def time_variants(tavrin, work, paths):
    out = os.path.join(work, 'variants')
    os.makedirs(out, exist_ok=True)
    base = [tavrin, '-o', os.path.join(out, 's.png'), '--data', os.path.join(out, 'd.json')]
    one = best_run(base + paths)
    two = best_run(base + ['--variant', '@2x:1', '--variant', ':0.5'] + paths)
    print(f'{len(paths)} pictures packed: one sheet {one:.2f} s, two variants {two:.2f} s '
          f'({two / one:.2f} times)')
    return two / one <= MOST_VARIANTS_RATIO


def main():
    tavrin, bench, art, work = sys.argv[1:5]
    scale = float(sys.argv[5]) if len(sys.argv) > 5 else 0.5
    ours_folder = os.path.join(work, 'resampled')
    theirs_folder = os.path.join(work, 'lanczos')
    os.makedirs(ours_folder, exist_ok=True)
    os.makedirs(theirs_folder, exist_ok=True)
    paths = spread(art, COUNT)
    listing = os.path.join(work, 'resample-list.txt')
    with open(listing, 'w') as out:
        out.write('\n'.join(paths) + '\n')
    timing = subprocess.run([bench, str(scale), listing, ours_folder], check=True,
                            capture_output=True, text=True).stdout.strip()
    print(timing)
    ratio = float(timing.split('(')[1].split()[0])

    def check(index):
        ours = os.path.join(ours_folder, f'{index}.png')
        theirs = os.path.join(theirs_folder, f'{index}.png')
        reference(paths[index], Image.open(ours).size, theirs)
        return psnr(ours, theirs)

    with ThreadPoolExecutor(2) as pool:
        scores = list(pool.map(check, range(len(paths))))
    worst = min(range(len(scores)), key=scores.__getitem__)
    finite = sorted(s for s in scores if s != math.inf)
    median = finite[len(finite) // 2] if finite else math.inf
    print(f'PSNR against ImageMagick Lanczos: least {scores[worst]:.1f} dB ({paths[worst]}), '
          f'median {median:.1f} dB, {sum(s < LEAST_PSNR for s in scores)} below {LEAST_PSNR}')
    fast = ratio <= 1.0
    close = scores[worst] >= LEAST_PSNR
    variants = time_variants(tavrin, work, paths)
    for passed, target in ((fast, 'resampling at most the decoding time'),
                           (close, f'every picture at least {LEAST_PSNR} dB from Lanczos'),
                           (variants, f'two variants at most {MOST_VARIANTS_RATIO} times one')):
        print(('PASS' if passed else 'FAIL') + ': ' + target)
    return 0 if fast and close and variants else 1


if __name__ == '__main__':
    sys.exit(main())
