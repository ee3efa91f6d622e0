#!/usr/bin/env bash
# The sanitizer pass:
#  1. every test built once more with AddressSanitizer and
#     UndefinedBehaviorSanitizer (GCC; the asan preset of CMakePresets.json,
#     build-asan) and run through CTest, all but the Wine test and the long
#     MPFR comparisons, of which a sample runs;
#  2. each libFuzzer target built with clang (build-fuzz) and run for a
#     bounded time on a copy of its corpus.
# Any test failure, crash or sanitizer report fails the script.
#
# Environment:
#   QUILLO_FUZZ_SECONDS  seconds per fuzz target (default 60; 0 skips fuzzing)
#   QUILLO_ASAN_GUI      OFF to leave the Qt window and its tests out (default ON)
#   QUILLO_JOBS          parallel build and test jobs (default 2)
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds="${QUILLO_FUZZ_SECONDS:-60}"
asan_gui="${QUILLO_ASAN_GUI:-ON}"
jobs="${QUILLO_JOBS:-2}"

# Reports end the process at once, with a stack; leaks are reports too. The
# asan test preset sets the same options for the tests.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

started=$(date +%s)
step() { echo "== sanitize: $* ($(($(date +%s) - started)) s)"; }

# ---------------------------------------------------------------- unit tests
# The preset leaves the benchmarks out: they are not tests and replace the
# allocator. The Qt window's tests run on the offscreen platform, as in the
# normal build.
step "tests with ASan and UBSan (build-asan)"
cmake --preset asan -DQUILLO_BUILD_GUI="$asan_gui" >/dev/null
cmake --build --preset asan -j "$jobs"
# Left out besides the Wine test: the MPFR comparison (minutes of arithmetic
# that the sanitizers would only slow down), and the ARM and identity tests,
# which build and run other programs.
ctest --preset asan -j "$jobs" -LE '^(wine|reference|arm64|identity)$'

# The MPFR comparisons (label reference) check ten million arguments per
# function, far too many under the sanitizers; a sample of each runs here.
if [ -x build-asan/bin/trig_reference_test ]; then
  step "trigonometric functions against MPFR, a sample (build-asan)"
  for function in sin cos tan cot sec csc atan acot asin acos rad grad; do
    build-asan/bin/trig_reference_test "$function" 0 1 20000
  done
fi
if [ -x build-asan/bin/exp_log_reference_test ]; then
  step "exponential, logarithms and power against MPFR, a sample (build-asan)"
  for function in exp ln lg pow; do
    build-asan/bin/exp_log_reference_test "$function" 0 1 20000
  done
  build-asan/bin/exp_log_reference_test slow 0 1 500
fi

# ------------------------------------------------------------------ fuzzing
if [ "$fuzz_seconds" -le 0 ]; then
  step "fuzzing skipped (QUILLO_FUZZ_SECONDS=$fuzz_seconds)"
  exit 0
fi

step "libFuzzer targets with clang (build-fuzz)"
targets=(calculate profile language cli)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLO_WERROR=ON -DQUILLO_FUZZ=ON -DQUILLO_HARDENING=OFF -DQUILLO_BUILD_BENCH=OFF -DQUILLO_BUILD_GUI=OFF >/dev/null
if ! grep -q '^build bin/fuzz_calculate:' build-fuzz/build.ninja; then
  echo "no fuzz targets: the top-level CMakeLists.txt must add the fuzz folder"
  exit 1
fi
cmake --build build-fuzz -j "$jobs" --target "${targets[@]/#/fuzz_}"

declare -A max_len=([calculate]=999 [profile]=4096 [language]=4096 [cli]=4096)
failed=0
for name in "${targets[@]}"; do
  step "fuzzing $name for ${fuzz_seconds} s"
  # The fuzzer adds what it finds to a working copy; the corpus kept in the
  # repository changes only when someone merges new finds into it.
  work="build-fuzz/corpus/$name"
  mkdir -p "$work" build-fuzz/artifacts build-fuzz/logs
  log="build-fuzz/logs/$name.log"
  if ! "build-fuzz/bin/fuzz_$name" "$work" "fuzz/corpus/$name" \
      -max_total_time="$fuzz_seconds" -max_len="${max_len[$name]}" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$name-" >"$log" 2>&1; then
    echo "fuzz_$name FAILED; the last lines of $log:"
    tail -n 40 "$log"
    failed=1
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "fuzz_$name: $runs runs, $rate per second, working corpus $(find "$work" -type f | wc -l) files"
done

step "done"
exit "$failed"
