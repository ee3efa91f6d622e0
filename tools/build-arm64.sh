#!/usr/bin/env bash
# Cross-builds the engine, the result lines, quillo-cli and the unit tests for
# 64-bit ARM Linux into build-arm64 (no window, no benchmarks), with
# GoogleTest built from Debian's sources in /usr/src/googletest. With --test
# it then runs the unit tests under qemu-user through CTest. Installs
# nothing; the cross compiler and qemu come with tools/install-deps.sh.
#   tools/build-arm64.sh [--test] [BUILD_FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-arm64"
run_tests=0
while [ $# -gt 0 ]; do
  case "$1" in
    --test) run_tests=1; shift ;;
    *) build="$(realpath -m "$1")"; shift ;;
  esac
done

for tool in aarch64-linux-gnu-g++ qemu-aarch64; do
  if ! command -v "$tool" >/dev/null; then
    echo "build-arm64: $tool is missing (Debian g++-aarch64-linux-gnu, qemu-user)" >&2
    exit 1
  fi
done
if [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
  echo "build-arm64: /usr/src/googletest is missing (Debian googletest)" >&2
  exit 1
fi

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-aarch64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLO_WERROR=ON \
  -DQUILLO_BUILD_TESTS=ON -DQUILLO_BUILD_BENCH=OFF -DQUILLO_BUILD_GUI=OFF \
  -DQUILLO_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" -j "${QUILLO_JOBS:-2}"

if [ "$run_tests" -eq 1 ]; then
  # Tests that start other programs are left out: qemu-user runs the test
  # itself, but the kernel cannot start the ARM child it launches. The
  # identity test runs quillo-cli under qemu instead.
  ctest --test-dir "$build" -L unit -j "${QUILLO_JOBS:-2}" --output-on-failure \
    -E "${QUILLO_ARM64_EXCLUDE:-^$}"
fi
