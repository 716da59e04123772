#!/usr/bin/env bash
# Times a project of 20 sheets over 2000 of Wesnoth's unit sprites (fetched by fetch-art.sh)
# against its 20 command lines, a build with nothing changed, one with a picture touched, and
# --watch's rebuild after a picture is added (bench/project-bench.py).
set -euo pipefail
cd "$(dirname "$0")/.."

bench/fetch-art.sh
cmake -S . -B build/bench-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build build/bench-release --target tavrin
python3 bench/project-bench.py "$PWD/build/bench-release/src/app/tavrin" \
  build/bench/art/wesnoth-1.16-data build/bench/project
