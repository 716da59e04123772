#!/usr/bin/env bash
# Builds the window, opens it under a virtual X display with the example pictures listed, and
# writes its picture to docs/, packed with the preview drawn: in English at scale 1 (screenshot.png,
# the one README shows) and 2 and with fonts half again as large, and in Chinese at 1 and 2.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build build/screenshot --target tavrin_screenshot
mkdir -p docs

# shot NAME [VARIABLE=VALUE...]: one picture under the X platform, not the tests' offscreen one.
shot() {
  local name=$1
  shift
  env -u QT_QPA_PLATFORM "$@" xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96" \
    build/screenshot/src/app/tavrin_screenshot "docs/$name" examples
  echo "Wrote docs/$name"
}
shot screenshot.png QT_SCALE_FACTOR=1 LANG=en_US.UTF-8
shot screenshot-2x.png QT_SCALE_FACTOR=2 LANG=en_US.UTF-8
shot screenshot-large-font.png QT_SCALE_FACTOR=1 QT_FONT_DPI=144 LANG=en_US.UTF-8
shot screenshot-zh.png QT_SCALE_FACTOR=1 LANG=zh_CN.UTF-8
shot screenshot-zh-2x.png QT_SCALE_FACTOR=2 LANG=zh_CN.UTF-8
