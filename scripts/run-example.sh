#!/usr/bin/env bash
# Installs what is missing, makes a Release build of tavrin and of everything its installation
# holds (the manual page, the changelog), so that `cmake --install build/release` can follow, and
# composes the example frames and props in examples/ into one packed sheet, each picture trimmed
# to its own visible area, with its data file.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build build/release
build/release/src/app/tavrin -o build/example-sheet.png --data build/example-sheet.json \
  --layout packed --trim examples
echo "The example sheet is $PWD/build/example-sheet.png"
