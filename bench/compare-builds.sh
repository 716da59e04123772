#!/usr/bin/env bash
# Usage: bench/compare-builds.sh OLD_TAVRIN NEW_TAVRIN [WORK_FOLDER]
#
# Runs two builds of tavrin with the same options over the benchmark workloads and compares
# what they write. A grid sheet must hold the same pixels and the same PNG chunks apart from
# tEXt (a WebP the same VP8L chunk apart from EXIF and VP8X), its data file the same bytes
# apart from meta "app" and "version" (and the array and aseprite forms' animations, which
# name frames by index where older builds named them by file). A packed case passes when the
# new sheets' total area is at most the old one's. Exit status 1 when any case fails.
set -euo pipefail
old=$(realpath "$1") new=$(realpath "$2")
cd "$(dirname "$0")/.."
work=$(realpath -m "${3:-build/bench}")
[ -d "$work/pixelart" ] || /usr/bin/python3 bench/make-workloads.py "$work"
out=$work/compare
rm -rf "$out"

# NAME WORKLOAD OPTION... where @FORM asks for a data file in that form. A name starting with
# "packed" is compared by area; a name containing "webp" writes a WebP sheet.
cases=$(cat <<'EOF'
row-frames128 frames128 --layout horizontal
column-frames128 frames128 --layout vertical
grid-frames128 frames128 --layout multirow
row-frames512 frames512 --layout horizontal
column-frames512 frames512 --layout vertical
grid-frames512 frames512 --layout multirow
row-mixed mixed --layout horizontal
column-mixed mixed --layout vertical
grid-mixed mixed --layout multirow
grid-frames64 frames64 --layout multirow
grid-frames2048 frames2048 --layout multirow
grid-noisy128 noisy128 --layout multirow
grid-photos photos --layout multirow
grid-painted painted --layout multirow
grid-pixelart pixelart --layout multirow
columns7-frames128 frames128 --columns 7
columns9-row-mixed mixed --layout horizontal --columns 9 @hash
columns1-mixed mixed --columns 1 @array
autocut-frames128 frames128 --layout multirow --autocut @hash
autocut-row-mixed mixed --layout horizontal --autocut @xml
autocut-pad-frames512 frames512 --layout vertical --autocut --padding 2
trim-grid-frames128 frames128 --layout multirow --trim @hash
trim-column-mixed mixed --layout vertical --trim @array
trim-columns10-mixed mixed --columns 10 --trim @libgdx
trim-row-frames512 frames512 --layout horizontal --trim
pad-border-mixed mixed --layout multirow --padding 3 --border 5
extrude-frames128 frames128 --layout multirow --extrude 2 @hash
pot-mixed mixed --layout multirow --pot @css
all-spacing-mixed mixed --layout multirow --padding 2 --border 1 --extrude 1 --pot @hash
all-spacing-autocut-frames128 frames128 --autocut --extrude 1 --padding 1 --border 2 @xml
all-spacing-trim-mixed mixed --trim --extrude 2 --pot --columns 8 @aseprite
spacing-row-pixelart pixelart --layout horizontal --padding 1 --border 1 --extrude 1
form-hash-mixed mixed --layout multirow @hash
form-array-mixed mixed --layout multirow @array
form-aseprite-mixed mixed --layout multirow @aseprite
form-phaser3-mixed mixed --layout multirow @phaser3
form-xml-mixed mixed --layout multirow @xml
form-libgdx-mixed mixed --layout multirow @libgdx
form-css-mixed mixed --layout multirow @css
pivot-fps-natural-frames128 frames128 --layout vertical --pivot 0.5,1 --fps 24 --sort natural @aseprite
webp-grid-frames128 frames128 --layout multirow @hash
indexed-pixelart pixelart --layout multirow --indexed
fast-painted painted --layout multirow --compression fast
best-photos photos --layout multirow --compression best
packed-mixed mixed --layout packed @hash
packed-trim-mixed mixed --layout packed --trim @hash
packed-trim-frames128 frames128 --layout packed --trim @array
packed-trim-noisy128 noisy128 --layout packed --trim
packed-rotate-mixed mixed --layout packed --trim --rotate @hash
packed-square-mixed mixed --layout packed --trim --square @xml
packed-multipack-frames512 frames512 --layout packed --trim --multipack --max-size 1024 @phaser3
packed-spacing-mixed mixed --layout packed --trim --padding 2 --border 1 --extrude 1 --pot @libgdx
packed-noalias-pixelart pixelart --layout packed --trim --no-alias @hash
EOF
)

run() { # SIDE BINARY NAME WORKLOAD OPTION...
    local dir=$out/$1/$3 binary=$2 folder=$work/$4 sheet=sheet.png options=()
    shift 4
    [[ $dir == *webp* ]] && sheet=sheet.webp
    mkdir -p "$dir"
    for option; do
        case $option in
        @xml) options+=(--data "$dir/data.xml" --data-format xml) ;;
        @libgdx) options+=(--data "$dir/data.atlas" --data-format libgdx) ;;
        @css) options+=(--data "$dir/data.css" --data-format css) ;;
        @*) options+=(--data "$dir/data.json" --data-format "${option#@}") ;;
        *) options+=("$option") ;;
        esac
    done
    local status=0
    "$binary" -o "$dir/$sheet" "${options[@]}" "$folder" >/dev/null 2>"$dir/stderr" || status=$?
    echo "$status" >"$dir/status"
}

while read -r -a words; do
    run old "$old" "${words[@]}"
    run new "$new" "${words[@]}"
done <<<"$cases"
/usr/bin/python3 bench/compare_outputs.py "$out"
