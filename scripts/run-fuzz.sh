#!/usr/bin/env bash
# Installs what is missing, builds the libFuzzer targets of fuzz/ with clang and runs each for
# FUZZ_SECONDS (30) seconds on a copy of its seeds in fuzz/seeds/. Fails when any target reports
# a crash, a leak, a time-out or a sanitizer finding; the input that caused it is kept in
# build/fuzz/artifacts/ and named in the output.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --check
# 30 s each keeps six targets within the three minutes CI gives fuzzing.
seconds="${FUZZ_SECONDS:-30}"
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIN_TESTS=OFF -DTAVRIN_FUZZ=ON >/dev/null
targets=(picture_loader gif_frames settings_file command_line sheet_data multipack_names)
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

# The leak checker as the tests set it: third-party suppressions only, and no interception of
# __tls_get_addr, which crashes it once Qt's plugins are loaded.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:intercept_tls_get_addr=0"
artifacts="$PWD/$build/artifacts"
mkdir -p "$artifacts"
failed=()
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp fuzz/seeds/"$target"/* "$corpus"/
  log="$build/$target.log"
  echo "Fuzzing $target for ${seconds}s (log: $log)"
  if "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=4096 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" || true
  else
    tail -n 40 "$log"
    echo "FAILED: $target; reproducer:" "$artifacts/$target"-*
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "Fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "Fuzzing found no fault in ${targets[*]}"
