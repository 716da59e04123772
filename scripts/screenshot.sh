#!/usr/bin/env bash
# Builds the window, opens it under a virtual X display with the example pictures listed, and
# writes its picture to docs/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=ON >/dev/null
cmake --build build/screenshot --target ui_screenshot
mkdir -p docs
# The X platform, not the offscreen one that the tests use.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" \
  build/screenshot/tests/ui/ui_screenshot docs/screenshot.png examples
echo "Wrote docs/screenshot.png"
