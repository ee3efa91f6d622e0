#!/usr/bin/env bash
# Builds Quillo and starts the calculator. Installs missing build dependencies first.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): use the terminal calculator, e.g. build/bin/quillo-cli '2+3*4'" >&2
  exit 1
fi
exec build/bin/quillo
