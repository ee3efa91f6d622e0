#!/usr/bin/env bash
# Runs the same random expressions through quillo-cli --tsv on Linux x86-64,
# quillo-cli.exe under Wine and the 64-bit ARM quillo-cli under qemu-user,
# and requires the three outputs to be byte-identical (quillo-cli.exe's
# CR LF line ends aside). Prints how many lines
# differ and the first few; exit 0 only when none does. A missing cross
# compiler, Wine or qemu ends it with 77 (skipped) unless
# QUILLO_IDENTITY_REQUIRED=1 is set.
#   run-identity-test.sh GENERATOR QUILLO_CLI WIN32_BUILD ARM64_BUILD OUTPUT_FOLDER
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
generator="$1"
linux_cli="$2"
win32_build="$3"
arm64_build="$4"
output="$5"
count="${QUILLO_IDENTITY_COUNT:-20000}"

missing() {
  echo "run-identity-test: $1 is missing" >&2
  [ "${QUILLO_IDENTITY_REQUIRED:-0}" = 1 ] && exit 1
  echo "identity: skipped"
  exit 77
}
for tool in x86_64-w64-mingw32-g++-posix wine aarch64-linux-gnu-g++ qemu-aarch64; do
  command -v "$tool" >/dev/null || missing "$tool"
done
[ -f /usr/src/googletest/CMakeLists.txt ] || missing "/usr/src/googletest"

mkdir -p "$output"
"$generator" "$count" >"$output/expressions.txt" || exit 1

# Every expression at each of these word sizes, one block of lines per size
# in this order.
words=("" "--bits 8" "--bits 16 --unsigned" "--bits 64" "--bits 64 --unsigned")

# quillo-cli exits with 1 when some expression failed: expected here.
run() {
  local name="$1"
  shift
  : >"$output/$name.tsv"
  local word status
  for word in "${words[@]}"; do
    # shellcheck disable=SC2086 # the options split into words
    "$@" --tsv $word <"$output/expressions.txt" >>"$output/$name.tsv"
    status=$?
    if [ "$status" -gt 1 ]; then
      echo "identity: $name quillo-cli ${word:-(32 bits)} ended with $status" >&2
      exit 1
    fi
  done
}

run linux "$linux_cli"

"$root/tools/build-windows.sh" "$win32_build" >"$output/win32-build.log" 2>&1 ||
  { cat "$output/win32-build.log" >&2; exit 1; }
export WINEPREFIX="${QUILLO_WINE_PREFIX:-$HOME/.cache/quillo/wine-prefix}"
export WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
run windows wine "$win32_build/bin/quillo-cli.exe"
# quillo-cli.exe ends its lines the Windows way (CR LF), as Windows programs
# writing text do; the lines themselves must match byte for byte.
tr -d '\r' <"$output/windows.tsv" >"$output/windows-lines.tsv"
mv "$output/windows-lines.tsv" "$output/windows.tsv"

"$root/tools/build-arm64.sh" "$arm64_build" >"$output/arm64-build.log" 2>&1 ||
  { cat "$output/arm64-build.log" >&2; exit 1; }
run arm64 qemu-aarch64 -L /usr/aarch64-linux-gnu "$arm64_build/bin/quillo-cli"

# Lines that differ, by expression, with the first few shown.
differing=0
for other in windows arm64; do
  lines=$(awk 'NR == FNR { linux[FNR] = $0; next } linux[FNR] != $0 { print FNR }' \
    "$output/linux.tsv" "$output/$other.tsv")
  echo "identity: linux and $other differ on $(printf '%s' "$lines" | grep -c .) of $((count * ${#words[@]})) lines"
  for line in $(printf '%s\n' "$lines" | head -n 5); do
    echo "  expression: $(sed -n "$(((line - 1) % count + 1))p" "$output/expressions.txt")" \
      "(${words[$(((line - 1) / count))]:-32 bits})"
    echo "    linux:    $(sed -n "${line}p" "$output/linux.tsv")"
    echo "    $other: $(sed -n "${line}p" "$output/$other.tsv")"
  done
  [ -z "$lines" ] || differing=1
done
[ "$differing" -eq 0 ]
