#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over every source file under src/, using the
# compile database of a configured build folder (build/release, which scripts/memcheck-corpus.sh
# makes; the first argument names another). Any finding fails; they are shown with the time taken.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check
build=${1:-build/release}
if [ ! -f "$build/compile_commands.json" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVRIN_TESTS=OFF >/dev/null
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
start=$SECONDS
if ! run-clang-tidy-14 -p "$build" -j "$(nproc)" -quiet "$PWD/src/" >"$log" 2>&1; then
    grep -E -A 3 '(warning|error): ' "$log" || tail -n 40 "$log"
    echo "clang-tidy found faults ($((SECONDS - start)) s)" >&2
    exit 1
fi
echo "clang-tidy: no findings in src/ ($((SECONDS - start)) s)"
