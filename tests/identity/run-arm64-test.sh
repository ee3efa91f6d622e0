#!/usr/bin/env bash
# Cross-builds for 64-bit ARM into BUILD_FOLDER and runs the unit tests under
# qemu-user. A missing cross compiler, qemu or GoogleTest source ends it with
# 77 (skipped), unless QUILLO_ARM64_REQUIRED=1 is set.
#   tests/identity/run-arm64-test.sh BUILD_FOLDER
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$1"
for tool in aarch64-linux-gnu-g++ qemu-aarch64; do
  if ! command -v "$tool" >/dev/null || [ ! -f /usr/src/googletest/CMakeLists.txt ]; then
    echo "run-arm64-test: $tool or /usr/src/googletest is missing" >&2
    [ "${QUILLO_ARM64_REQUIRED:-0}" = 1 ] && exit 1
    exit 77
  fi
done
# Tests that start the built programs as child processes cannot run: qemu
# runs the test, but the kernel cannot start an ARM child it launches.
export QUILLO_ARM64_EXCLUDE="${QUILLO_ARM64_EXCLUDE:-CliEndToEnd}"
exec "$root/tools/build-arm64.sh" --test "$build"
