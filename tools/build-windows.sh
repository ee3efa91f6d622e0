#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-win32:
# bin/quillo.exe (the window), bin/quillo-cli.exe, bin/Lang/*.lng and the
# test driver tests/win32/quillo-win32-driver.exe. Installs nothing; the
# cross compiler comes with tools/install-deps.sh.
#   tools/build-windows.sh [BUILD_FOLDER]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build-win32}"

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "build-windows: x86_64-w64-mingw32-g++-posix is missing (Debian g++-mingw-w64-x86-64-posix)" >&2
  exit 1
fi

# No tests, benchmarks or Qt for Windows: GoogleTest and Qt are Linux builds.
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQUILLO_WERROR=ON \
  -DQUILLO_BUILD_TESTS=OFF -DQUILLO_BUILD_BENCH=OFF -DQUILLO_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2
