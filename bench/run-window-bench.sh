#!/usr/bin/env bash
# Times the window's preview on real game art (Pingus' 953 PNG pictures and the 34 GIFs beside
# them, fetched by fetch-art.sh), offscreen: decoding, the first preview, a new preview after
# each of a row of option changes, and the memory held over the decoded pictures. Best of RUNS
# runs (default 3) per figure is what README records.
set -euo pipefail
cd "$(dirname "$0")/.."

bench/fetch-art.sh
cmake -S . -B build/bench-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF \
      -DTAVRIN_BENCH=ON >/dev/null
cmake --build build/bench-release --target preview_bench
for run in $(seq "${RUNS:-3}"); do
  echo "run $run"
  QT_QPA_PLATFORM=offscreen build/bench-release/bench/preview_bench \
    build/bench/art/pingus-data/usr/share/games/pingus/data/images 2>/dev/null
done
