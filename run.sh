#!/usr/bin/env bash
# Builds Quillo and starts the calculator. Installs missing build dependencies first.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec build/bin/quillo-cli "$@"
