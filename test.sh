#!/usr/bin/env bash
# Builds Quillo and runs every test. Installs missing build dependencies first.
#
#   1. the native build (build/): programs, unit and GUI tests, benchmarks
#   2. the Windows program cross-built with MinGW-w64 and tested under Wine
#   3. the sanitizer pass: unit tests under ASan and UBSan, then each fuzz
#      target for a bounded time (QUILLO_FUZZ_SECONDS, default 60)
#   4. static analysis: clang-tidy and cppcheck
#   5. every test of the native build through CTest, whose summary ends the run
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_BUILD_TESTS=ON -DQUILLO_BUILD_BENCH=ON -DQUILLO_BUILD_GUI=ON
cmake --build build

tools/build-windows.sh
tests/win32/run-wine-test.sh
tools/sanitize.sh
tools/static-analysis.sh

ctest --test-dir build --output-on-failure --no-tests=error -j2
