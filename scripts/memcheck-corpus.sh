#!/usr/bin/env bash
# Decodes every conformance picture under tests/data through the Release tavrin under Valgrind's
# memcheck, one run per file, then a batch of jpegs and gifs a few times, and fails on any
# memcheck error: reads of memory that nothing wrote are what the sanitizer build cannot see.
# Refused files are fine; leaks are not counted.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
cmake --build build/release --target tavrin

sheets=$(mktemp -d)
trap 'rm -rf "$sheets"' EXIT
export TAVRIN=build/release/src/app/tavrin SHEETS="$sheets"

# Prints the file's name and memcheck's report when memcheck found an error decoding it.
# Further arguments are options of the run; SHEET_TYPE names the sheet's extension.
check() {
    local name
    name=$(basename "$1")
    valgrind -q --error-exitcode=99 --errors-for-leak-kinds=none --log-file="$SHEETS/$name.log" \
        "$TAVRIN" -o "$SHEETS/$name.${SHEET_TYPE:-png}" "${@:2}" "$1" >/dev/null 2>&1
    if [ $? -eq 99 ]; then
        echo "memcheck: $1"
        cat "$SHEETS/$name.log"
    fi
}
export -f check

failures=$(printf '%s\0' tests/data/pngsuite/*.png tests/data/bmpsuite/{g,q,b}/*.bmp \
               tests/data/made/* | xargs -0 -n 1 -P 2 bash -c 'check "$0"')

# A batch decodes on several worker threads, which one file per run never does: Qt 6.4 read the
# data of a finished worker thread at exit when its JPEG plugin was first used there (see
# UImageData_C::PrepareDecoders). Several runs, since the teardown depends on the order the
# threads end in.
batch="$sheets/batch"
mkdir -p "$batch"
for i in 1 2 3 4; do
    cp tests/data/made/gradient.jpg "$batch/photo-$i.jpg"
    cp tests/data/made/transparent-index.gif "$batch/still-$i.gif"
done
cp fuzz/seeds/gif_frames/*.gif "$batch/"
for run in 1 2 3 4; do
    failures+=$(check "$batch")
    failures+=$(check "$batch" --gif-frames all)
done
# The WebP writer, on a trimmed and packed sheet.
failures+=$(SHEET_TYPE=webp check "$batch" --layout packed --trim --compression fast)
if [ -n "$failures" ]; then
    echo "$failures"
    exit 1
fi
echo "memcheck: no errors"
