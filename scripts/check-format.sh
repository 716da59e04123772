#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/, fuzz/ or bench/ differs from what clang-format makes
# of it with the repository's .clang-format; `clang-format-14 -i FILE` fixes one.
set -euo pipefail
cd "$(dirname "$0")/.."

format=$(command -v clang-format-14 || command -v clang-format)
git ls-files -z -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'fuzz/*.cpp' 'fuzz/*.h' \
    'bench/*.cpp' 'bench/*.h' | xargs -0 "$format" --dry-run --Werror
echo "Format: every C++ file as $("$format" --version | grep -o 'version [0-9.]*') makes it"
