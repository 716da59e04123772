#!/usr/bin/env bash
# Has each game engine's own loader read the data files Tavrin writes, and compares every frame
# it rebuilds from what the loader made with the picture it came from, pixel for pixel:
# Phaser 3, PixiJS 8 and melonJS in headless Chromium, the Spine runtimes' atlas reader under
# Node.js, Godot 3 headless, and Chromium itself for the CSS sprites. Has PixiJS, melonJS and
# Phaser draw frames (rotated ones, filtered edges, premultiplied and scaled sheets) and judges
# the pixels read back (tests/engines/draw.py). Then runs README's recipe for each engine as it
# stands there and checks that its animation plays. One line per engine and form, and per
# recipe; exits 1 on a failure.
#
# Needs the Debian packages of `scripts/install-deps.sh --check` (chromium, godot3-server) and
# Node.js; npm installs the engines from the versions pinned in tests/engines/package-lock.json.
# Nothing else is fetched: the pages come from a server on 127.0.0.1 that this script starts
# and stops.
set -euo pipefail
cd "$(dirname "$0")/.."

port=${ENGINE_CHECK_PORT:-8765}
out=build/engines
# TAVRIN=dir/tavrin checks a program built elsewhere (another branch's build) instead of this
# tree's; the recipes find it as `tavrin` in that folder.
tavrin=${TAVRIN:-build/release/src/app/tavrin}
python=/usr/bin/python3  # Debian's, which has Pillow

scripts/install-deps.sh --check
command -v npm >/dev/null || scripts/install-deps.sh --node
# Built every time: a program older than the sources would check the wrong forms.
if [ -z "${TAVRIN:-}" ]; then
  [ -f build/release/build.ninja ] ||
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
  cmake --build build/release --target tavrin >/dev/null
fi

mkdir -p "$out/node"
if ! cmp -s tests/engines/package-lock.json "$out/node/package-lock.json" \
    || [ ! -d "$out/node/node_modules" ]; then
  cp tests/engines/package.json tests/engines/package-lock.json "$out/node/"
  (cd "$out/node" && npm ci --ignore-scripts --no-audit --no-fund --silent)
fi
cp tests/engines/spine.mjs "$out/node/"

www="$out/www"
rm -rf "$out/set" "$out/ref" "$www"
mkdir -p "$www"
$python tests/engines/make-set.py "$out/set" "$out/ref"
$python tests/engines/cases.py "$tavrin" "$out/set" "$www" "$out/ref"
cp tests/engines/{phaser,pixi}{,-draw}.html tests/engines/melonjs-draw.html "$www/"
ln -s "$(pwd)/$out/node/node_modules" "$www/node_modules"
# Prints the recipes that run in a page; Spine's runs under Node.js there and then.
recipes=$($python tests/engines/recipes.py make README.md "$tavrin" "$out/set" "$www")

(cd "$www" && exec python3 -m http.server "$port" --bind 127.0.0.1) >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  curl -sf "http://127.0.0.1:$port/cases.js" >/dev/null && break
  sleep 0.1
done

browse() {
  timeout 120 chromium --headless=new --no-sandbox --disable-gpu --hide-scrollbars \
    --force-device-scale-factor=1 "$@" 2>/dev/null
}
# The ids of the cases that `engine` ($1) reads, one page each.
case_ids() {
  $python -c 'import json, sys
print(" ".join(c["id"] for c in json.load(open(sys.argv[1])) if c["engine"] == sys.argv[2]))' \
    "$www/cases.json" "$1"
}
# Scripts run in virtual time: the page is dumped once they have nothing left to wait for.
browse --virtual-time-budget=20000 --dump-dom "http://127.0.0.1:$port/phaser.html" >"$www/phaser.dom"
reports=("$www/phaser.dom")
for id in $(case_ids pixi); do
  browse --virtual-time-budget=20000 --dump-dom "http://127.0.0.1:$port/pixi.html?case=$id" \
    >"$www/pixi-$id.dom"
  reports+=("$www/pixi-$id.dom")
done
# Drawn by each engine's WebGL renderer (SwiftShader under --disable-gpu) and read back.
drawn=()
for page in phaser-draw melonjs-draw; do
  browse --virtual-time-budget=20000 --dump-dom "http://127.0.0.1:$port/$page.html" >"$www/$page.dom"
  drawn+=("$www/$page.dom")
done
for id in $(case_ids pixi-draw); do
  browse --virtual-time-budget=20000 --dump-dom "http://127.0.0.1:$port/pixi-draw.html?case=$id" \
    >"$www/draw-$id.dom"
  drawn+=("$www/draw-$id.dom")
done
for name in $recipes; do
  # The animations step 100 ms a frame: 5 s of virtual time shows each many times over.
  browse --virtual-time-budget=5000 --dump-dom "http://127.0.0.1:$port/recipe-$name/index.html" \
    >"$www/recipe-$name/page.dom"
done
node "$out/node/spine.mjs" "$www" "$www/cases.json" "$www/spine.json"
reports+=("$www/spine.json")
# Godot 3 takes the served folder as its project; an empty report fails as never written.
printf 'config_version=4\n' >"$www/project.godot"
cp tests/engines/godot.gd "$www/"
: >"$www/godot.json"
timeout 300 godot3-server --no-window --path "$www" -s godot.gd >"$www/godot.log" 2>&1 || true
reports+=("$www/godot.json")
while read -r dir width height; do
  # Virtual time too: the shot waits until the sheet has loaded.
  browse --virtual-time-budget=20000 --window-size="$width,$height" --screenshot="$www/$dir/shot.png" \
    "http://127.0.0.1:$port/$dir/page.html"
done < <($python tests/engines/css.py page "$www")

status=0
$python tests/engines/compare.py "$www" "$out/ref" "${reports[@]}" || status=1
$python tests/engines/draw.py "$out/ref" README.md "${drawn[@]}" || status=1
$python tests/engines/css.py check "$www" "$out/ref" || status=1
$python tests/engines/recipes.py check README.md "$www" || status=1
exit $status
