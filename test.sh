#!/usr/bin/env bash
# Builds Quillo and runs its tests. Installs missing build dependencies first.
#
#   ./test.sh          everything, what CI runs (about ten minutes on two cores):
#     1. the full preset (build/): programs, window, tests, benchmarks
#     2. the sanitizer pass (tools/sanitize.sh): the tests under ASan and
#        UBSan (build-asan), then each fuzz target for QUILLO_FUZZ_SECONDS
#        (default 60)
#     3. static analysis: clang-tidy and cppcheck
#     4. every test of build/ through CTest, whose summary ends the run: the
#        labels unit, gui, robustness, fuzz-replay and wine (the Windows
#        program cross-built into build/win32 and worked under Wine), reference
#        (the correctly rounded functions against MPFR), arm64 (the unit tests
#        cross-built into build/arm64 and run under qemu-user) and identity
#        (20,000 random expressions give the same lines on Linux, under Wine
#        and under qemu)
#   ./test.sh --quick  the dev preset (build-dev/: no window, no benchmarks,
#                      a debug build) and its unit tests: the loop while
#                      changing code, well under a minute once built
#
# Environment: QUILLO_JOBS, parallel build and test jobs (default 2).
set -euo pipefail
cd "$(dirname "$0")"

mode=full
case "${1:-}" in
  '') ;;
  --quick) mode=quick ;;
  *)
    echo "usage: ./test.sh [--quick]" >&2
    exit 2
    ;;
esac
jobs="${QUILLO_JOBS:-2}"
export QUILLO_JOBS="$jobs"

tools/install-deps.sh

if [ "$mode" = quick ]; then
  cmake --preset dev >/dev/null
  cmake --build --preset dev -j "$jobs"
  ctest --preset dev -j "$jobs"
  exit
fi

cmake --preset full >/dev/null
cmake --build --preset full -j "$jobs"

tools/sanitize.sh
tools/static-analysis.sh

# Missing Wine, MinGW-w64 or the desktop file validators would make CTest
# skip their tests: here that is a failure, since install-deps.sh installed
# them.
export QUILLO_WINE_REQUIRED=1
export QUILLO_DESKTOP_TOOLS_REQUIRED=1
# The same for the 64-bit ARM cross build under qemu (label arm64) and the
# comparison of quillo-cli's output on Linux, Windows and ARM (identity).
export QUILLO_ARM64_REQUIRED=1 QUILLO_IDENTITY_REQUIRED=1
ctest --preset full -j "$jobs"
