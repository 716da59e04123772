#!/usr/bin/env bash
# Compares the packed layout with free-tex-packer-core (MIT) on real game art:
#
#   bench/run-pack-bench.sh [TAVRIN]
#
# Installs Pillow and the peer (npm ci into build/bench/node, from the versions pinned in
# bench/peer/package-lock.json), fetches and unpacks the art (fetch-art.sh), makes the sets
# (pack-sets.py), builds pack_bench in Release mode and prints compare-packers.py's lines. With
# TAVRIN (a tavrin program that has --layout packed) each set is also composed by it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --bench
command -v npm >/dev/null || scripts/install-deps.sh --node
mkdir -p build/bench/node
cp bench/peer/package.json bench/peer/package-lock.json build/bench/node/
(cd build/bench/node && npm ci --ignore-scripts --no-audit --no-fund --silent)
bench/fetch-art.sh
/usr/bin/python3 bench/pack-sets.py build/bench/art build/bench/sets
cmake -S . -B build/bench-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF \
      -DTAVRIN_BENCH=ON >/dev/null
cmake --build build/bench-release --target pack_bench
/usr/bin/python3 bench/compare-packers.py build/bench build/bench-release/bench/pack_bench "$@"
