#!/usr/bin/env bash
# Installs ImageMagick, Pillow and GNU time, makes a Release build of tavrin, writes the
# workloads into build/bench and compares tavrin with ImageMagick and Pillow on them: time and
# memory, then the encoder's sizes against theirs on the same pixels. OLD_TAVRIN=PATH also times
# that earlier build against this one first, turn and turn about (see run-bench.py). Last, on
# real game art (fetch-art.sh), the resampler against decoding and ImageMagick's Lanczos, and
# two scale variants against one sheet (resample-bench.py).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --bench
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF \
  -DTAVRIN_BENCH=ON >/dev/null
cmake --build build/release --target tavrin resample_bench
# Pillow is Debian's package, which only Debian's own interpreter sees.
/usr/bin/python3 -c 'import PIL' || { echo "Pillow does not import in /usr/bin/python3" >&2; exit 1; }
/usr/bin/python3 bench/run-bench.py build/release/src/app/tavrin build/bench
/usr/bin/python3 bench/size-bench.py build/release/src/app/tavrin build/bench
bench/fetch-art.sh
/usr/bin/python3 bench/resample-bench.py build/release/src/app/tavrin \
  build/release/bench/resample_bench build/bench/art build/bench
