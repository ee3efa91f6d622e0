#!/usr/bin/env bash
# quillo-cli in bulk, timed against bc on the same lines. Prints numbers; it
# is not a test and checks no target.
#
#   bench/cli_vs_bc.sh [QUILLO_CLI] [LINES]
#
# QUILLO_CLI defaults to build/bin/quillo-cli, LINES to 200000. The lines have
# the shape a+b*(c-d) with numbers in place of the letters (the letters would
# be unknown names), varied per line, e.g. "12.5+3*(7-2.25)". Each program
# reads them from a file and writes into a file, the best of three runs
# counts. Printed: bc's time, quillo-cli --form dec's time and their ratio
# (the aim is at most 0.25), then quillo-cli --tsv's time and lines per
# second (the aim is at least 1,000,000).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cli="${1:-$root/build/bin/quillo-cli}"
lines="${2:-200000}"
for tool in "$cli" bc awk; do
  command -v "$tool" >/dev/null || { echo "cli_vs_bc: $tool is missing (bc: Debian package bc)" >&2; exit 1; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/quillo-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT

awk -v n="$lines" 'BEGIN {
  for (i = 12; i < n + 12; i++) {
    printf "%d.%d+%d*(%d-%d.%02d)\n", i % 97, i % 10, i % 13 + 1, i % 31 + 5, i % 7, i % 100
  }
}' >"$work/lines"

# The best of three wall-clock times of a command, in seconds.
best_of_three() {
  local best="" start end seconds
  for _ in 1 2 3; do
    start=$(date +%s.%N)
    "$@" <"$work/lines" >"$work/out"
    end=$(date +%s.%N)
    seconds=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$seconds < $best" | bc -l)" = 1 ]; then best=$seconds; fi
  done
  printf '%.3f' "$best"
}

bc_time=$(best_of_three bc)
dec_time=$(best_of_three "$cli" --form dec)
tsv_time=$(best_of_three "$cli" --tsv)
echo "lines:                   $lines of a+b*(c-d), e.g. $(head -n 1 "$work/lines")"
echo "bc:                      $bc_time s"
echo "quillo-cli --form dec:   $dec_time s"
echo "ratio to bc:             $(printf '%.3f' "$(echo "$dec_time / $bc_time" | bc -l)") (aim: at most 0.25)"
echo "quillo-cli --tsv:        $tsv_time s, $(printf '%.0f' "$(echo "$lines / $tsv_time" | bc -l)") lines per second (aim: at least 1000000)"
