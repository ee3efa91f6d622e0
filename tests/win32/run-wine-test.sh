#!/usr/bin/env bash
# Tests the Windows program under Wine on a virtual X display (Xvfb). The test
# driver quillo-win32-driver.exe works the window as a user would and prints
# what it sees; each case compares that transcript, the exit code and the
# settings file with what they must be.
#
#   tests/win32/run-wine-test.sh [--build] [--skip-missing] [--screenshot FILE] [BUILD_FOLDER]
#
# BUILD_FOLDER is the cross build (default build-win32); with --build it is
# first brought up to date by tools/build-windows.sh. With --skip-missing (as
# CTest runs it) a missing cross compiler, Wine or Xvfb ends the script with
# exit code 77, "skipped", rather than as a failure, unless the environment
# has QUILLO_WINE_REQUIRED=1. The Wine prefix is kept in
# ${QUILLO_WINE_PREFIX:-~/.cache/quillo/wine-prefix}: preparing it takes a
# while once, later runs start in seconds. With --screenshot the window is
# also photographed, with a typed expression, into FILE (PNG).
# Prints "wine: N passed, M failed" last; the exit code is 0 only when all passed.
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
screenshot=""
build="$root/build-win32"
build_first=0
skip_missing=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build) build_first=1; shift ;;
    --skip-missing) skip_missing=1; shift ;;
    --screenshot) screenshot="$(realpath -m "$2")"; shift 2 ;;
    *) build="$(realpath -m "$1")"; shift ;;
  esac
done
if [ "${QUILLO_WINE_REQUIRED:-0}" = 1 ]; then
  skip_missing=0
fi

program="$build/bin/quillo.exe"
cli="$build/bin/quillo-cli.exe"
driver="$build/tests/win32/quillo-win32-driver.exe"
passed=0
failed=0
started=$(date +%s)

finish() {
  echo "wine: $passed passed, $failed failed ($(($(date +%s) - started)) s)"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
  exit
}

# A tool that is not installed: a failure, or with --skip-missing a skip.
missing() {
  echo "run-wine-test: $1 is missing ($2)" >&2
  if [ "$skip_missing" -eq 1 ]; then
    echo "wine: skipped"
    exit 77
  fi
  failed=1
  finish
}

for tool in wine wineboot wineserver Xvfb; do
  command -v "$tool" >/dev/null || missing "$tool" "Debian packages wine, wine64, xvfb"
done
if [ "$build_first" -eq 1 ]; then
  command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
    missing x86_64-w64-mingw32-g++-posix "Debian package g++-mingw-w64-x86-64-posix"
  if ! "$root/tools/build-windows.sh" "$build"; then
    echo "run-wine-test: the cross build in $build failed" >&2
    failed=1
    finish
  fi
fi
for file in "$program" "$cli" "$driver"; do
  if [ ! -f "$file" ]; then
    echo "run-wine-test: $file is missing; build it with tools/build-windows.sh" >&2
    failed=1
    finish
  fi
done

export WINEPREFIX="${QUILLO_WINE_PREFIX:-${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/quillo/wine-prefix}"
export WINEDEBUG=-all
# No downloads of Mono or Gecko: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Beside the prefix, not in /tmp: Wine shows a folder every user may write to
# as one where everyone may also delete what others put there (it knows no
# sticky bit), and the program trusts no file below such a folder.
cache="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/quillo"
mkdir -p "$cache"
work="$(mktemp -d "$cache/wine-work.XXXXXX")"
xvfb_pid=""

# shellcheck disable=SC2317  # called by the EXIT trap
cleanup() {
  # Only this prefix's Wine processes: those this script started.
  timeout 10 wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# One run at a time per prefix: the cases share its wineserver.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
if ! flock -w 600 9; then
  echo "run-wine-test: another run holds $WINEPREFIX.lock" >&2
  failed=1
  finish
fi

# A virtual X display on the first free number.
for number in $(seq 90 140); do
  [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    export DISPLAY=":$number"
    break
  fi
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
done
if [ -z "$xvfb_pid" ]; then
  echo "run-wine-test: no free X display for Xvfb" >&2
  failed=1
  finish
fi

# The prefix, once: Windows folders and registry, the Arial metrics the
# dialog is laid out for (Liberation Sans), and the caption button font.
if [ ! -f "$WINEPREFIX/.quillo-ready" ]; then
  echo "Preparing the Wine prefix $WINEPREFIX (once)"
  prefix_started=$(date +%s)
  if ! timeout 300 wineboot -i >"$work/wineboot.log" 2>&1 || ! timeout 60 wineserver -w; then
    cat "$work/wineboot.log" >&2
    echo "run-wine-test: wineboot failed" >&2
    failed=1
    finish
  fi
  timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /t REG_SZ \
    /d 'Liberation Sans' /f >/dev/null 2>&1
  marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
  timeout 60 wineserver -w
  touch "$WINEPREFIX/.quillo-ready"
  echo "Prepared in $(($(date +%s) - prefix_started)) s"
fi

# The Windows path of a Unix path (Wine's drive Z: is /).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# A folder as the program ships: quillo.exe and Lang/*.lng, no settings file.
prepare_folder() {
  local folder="$1"
  mkdir -p "$folder/Lang"
  cp "$program" "$folder/"
  if [ -d "$build/bin/Lang" ]; then
    cp "$build/bin/Lang/"*.lng "$folder/Lang/"
  else
    cp "$root/lang/"*.lng "$folder/Lang/"
  fi
}

# Starts quillo.exe in folder (inside desktop $2 if given) in the background;
# its exit code lands in folder/exit-code.
start_program() {
  local folder="$1" desktop="${2:-}"
  (
    cd "$folder" || exit
    # The program's locale when the caller names one (program_locale=...):
    # set for Wine only, since this shell may not have that locale.
    local locale=()
    if [ -n "${program_locale:-}" ]; then
      locale=(env "LC_ALL=$program_locale")
    fi
    if [ -n "$desktop" ]; then
      timeout 120 "${locale[@]}" wine explorer "/desktop=$desktop" quillo.exe >"$folder/program.log" 2>&1
    else
      timeout 120 "${locale[@]}" wine quillo.exe >"$folder/program.log" 2>&1
    fi
    echo $? >"$folder/exit-code"
  ) &
  program_job=$!
}

# Runs the driver with the steps given, output to file.
run_driver() {
  local output="$1"
  shift
  # Into a file, not a pipe: Wine's helper processes may hold a pipe open.
  timeout 120 wine "$driver" --timeout=30000 "$@" >"$output.raw" 2>&1
  tr -d '\r' <"$output.raw" >"$output"
}

# Waits (bounded) for the program started last and appends its exit code
# to file as "program exit code: N".
record_exit_code() {
  local folder="$1" file="$2"
  for _ in $(seq 200); do
    [ -s "$folder/exit-code" ] && break
    sleep 0.1
  done
  wait "$program_job" 2>/dev/null
  echo "program exit code: $(cat "$folder/exit-code" 2>/dev/null || echo none)" >>"$file"
}

# Reports a case: name, then pairs of what was expected and what came.
report() {
  local name="$1" seconds="$2" expected_file="$3" actual_file="$4"
  if diff -u --label expected --label actual "$expected_file" "$actual_file" >"$work/diff"; then
    echo "PASS $name (${seconds} s)"
    passed=$((passed + 1))
  else
    echo "FAIL $name (${seconds} s)"
    sed 's/^/  /' "$work/diff"
    failed=$((failed + 1))
  fi
}

# Strips the CR of Windows line ends, for comparing.
unix_lines() { tr -d '\r' <"$1"; }

# --- The engine's digits: the correctly rounded functions must give the
# same digits as on Linux. Columns: status, value, DEC, HEX, BIN, OCT, EXP.
case_started=$(date +%s)
printf '%s\n' '2^3' '15^1' 'ln(2)' 'lg(1000)' '2^0.5' 'exp(1)' 'fact(20)' '-1' 'sin(pi/6)' '3^40' \
  '10^15.5' '2.5e-7/3' | timeout 60 wine "$cli" --tsv 2>&1 | tr -d '\r' >"$work/cli.actual"
cat >"$work/cli.expected" <<'EOF'
ok	8	8	8	1000	10	8.000000000000000E+0000
ok	15	15	F	1111	17	1.500000000000000E+0001
ok	0.6931471805599453	0.6931472	0	0	0	6.931471805599453E-0001
ok	3	3	3	11	3	3.000000000000000E+0000
ok	1.4142135623730951	1.4142136	1	1	1	1.414213562373095E+0000
ok	2.718281828459045	2.7182818	2	10	2	2.718281828459045E+0000
ok	2432902008176640000	2432902008176640000	82B40000	10000010101101000000000000000000	20255000000	2.432902008176640E+0018
ok	-1	-1	FFFFFFFF	11111111111111111111111111111111	37777777777	-1.000000000000000E+0000
ok	0.49999999999999994	0.5	0	0	0	4.999999999999999E-0001
ok	12157665459056928768	12157665459056928801	Too large for HEX, BIN and OCT	Too large for HEX, BIN and OCT	Too large for HEX, BIN and OCT	1.215766545905693E+0019
ok	3162277660168379.5	3162277660168379.5	249D90BB	100100100111011001000010111011	4447310273	3.162277660168380E+0015
ok	8.333333333333333e-08	0.0000001	0	0	0	8.333333333333333E-0008
EOF
report "quillo-cli.exe digits" $(($(date +%s) - case_started)) "$work/cli.expected" "$work/cli.actual"

# --- quillo-cli.exe as a filter: standard input read as bytes (CRLF line
# ends, a NUL byte, a Ctrl-Z byte that a text-mode read would take for the
# end, a line too long, a last line without a line end), and the exit
# statuses with their one-line reasons. ---
case_started=$(date +%s)
long_line="$(printf '1%.0s' $(seq 1000))"
{
  printf '1+1\r\n1+1\0junk\r\n2\x1a\r\n%s\r\n2*3' "$long_line" | timeout 60 wine "$cli" --tsv 2>&1
  echo "status: $?"
  for arguments in "1 2" "1/0" "--form decimal 1" "--lang $(windows_path "$work") 1"; do
    # shellcheck disable=SC2086  # the arguments are split on purpose
    timeout 60 wine "$cli" $arguments >/dev/null 2>"$work/cli.err"
    echo "status of $arguments: $? $(wc -l <"$work/cli.err") line(s) on standard error"
  done
  timeout 60 wine "$cli" 1+1 >/dev/full 2>"$work/cli.err"
  echo "status into a full disk: $? $(cat "$work/cli.err")"
  timeout 60 wine "$cli" --version | grep -c '^quillo-cli [0-9]'
} | tr -d '\r' >"$work/cli-filter.actual"
five_times() { printf '%s\t%s\t%s\t%s\t%s' "$1" "$1" "$1" "$1" "$1"; }
cat >"$work/cli-filter.expected" <<EOF
ok	2	2	2	10	2	2.000000000000000E+0000
error:nul		$(five_times 'line contains a NUL byte')
error:8		$(five_times 'Unexpected character')
error:long		$(five_times 'expression longer than 999 characters')
ok	6	6	6	110	6	6.000000000000000E+0000
status: 1
status of 1 2: 0 0 line(s) on standard error
status of 1/0: 1 0 line(s) on standard error
status of --form decimal 1: 2 1 line(s) on standard error
status of --lang $(windows_path "$work") 1: 2 1 line(s) on standard error
status into a full disk: 3 quillo-cli: write error: No space left on device
1
EOF
report "quillo-cli.exe as a filter" $(($(date +%s) - case_started)) "$work/cli-filter.expected" "$work/cli-filter.actual"

# --- A session: type, calculate, hotkeys, history, form, close. ---
case_started=$(date +%s)
folder="$work/session"
prepare_folder "$folder"
lang_path="$(windows_path "$folder/Lang/english.lng")"
printf '[INI]\r\nlang=%s\r\nform=1\r\nhistorylen=3\r\n[HISTORY]\r\n0=7*6\r\n' "$lang_path" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/session.actual" \
  window lines form history \
  type 2 lines type 55 lines type + lines type 1 lines \
  click 1011 box lines history \
  key escape box lines history \
  type '2^3' lines click 1011 box history \
  key down box \
  command 11 about-box ok \
  command 0 file-dialog cancel lines \
  click 1005 form close exit
record_exit_code "$folder" "$work/session.actual"
{
  echo "settings file:"
  unix_lines "$folder/quillo.ini" 2>&1
} >>"$work/session.actual"
cat >"$work/session.expected" <<EOF
window: Quillo
lines: 0 | 0 | 0 | 0 | 0.000000000000000E+0000
form: HEX
history: 7*6
lines: 2 | 2 | 10 | 2 | 2.000000000000000E+0000
lines: 255 | FF | 11111111 | 377 | 2.550000000000000E+0002
lines: Too few operands for + | Too few operands for + | Too few operands for + | Too few operands for + | Too few operands for +
lines: 256 | 100 | 100000000 | 400 | 2.560000000000000E+0002
box: 0x100
lines: 256 | 100 | 100000000 | 400 | 2.560000000000000E+0002
history: 255+1 | 7*6
box: 
lines: 0 | 0 | 0 | 0 | 0.000000000000000E+0000
history: 0x100 | 255+1 | 7*6
lines: 8 | 8 | 1000 | 10 | 8.000000000000000E+0000
box: 0x8
history: 2^3 | 0x100 | 255+1
box: 2^3
about box: shown
file dialog: shown
file dialog title: Choose a language file
file dialog name: english.lng
lines: 8 | 8 | 1000 | 10 | 8.000000000000000E+0000
form: OCT
exit: 0
program exit code: 0
settings file:
[INI]
lang=$lang_path
form=3
historylen=3
[HISTORY]
0=2^3
1=0x100
2=255+1
EOF
report "quillo.exe session" $(($(date +%s) - case_started)) "$work/session.expected" "$work/session.actual"

# --- Copy, the Calculate rule and a paste: the clipboard holds the lines as
# shown; Calculate leaves a text whose line shows a message as it was, caret
# and all, so typing goes on; a paste over 999 characters is refused with a
# message, a shorter one is taken whole even where it is wider than the
# box. ---
case_started=$(date +%s)
folder="$work/copy"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\nform=1\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/copy.actual" \
  window type 'fact(13)' lines copy clipboard copy-all clipboard \
  type '/0' copy clipboard click 1011 box selection history \
  key escape type 1e20 click 1011 box selection \
  click 1002 click 1011 box \
  set-clipboard '1+*500' paste notice-box ok box \
  key escape set-clipboard '1*300' paste lines \
  key escape type '7*' click 1011 type 6 click 1011 box \
  close exit
record_exit_code "$folder" "$work/copy.actual"
too_large="Too large for HEX, BIN and OCT"
cat >"$work/copy.expected" <<EOF
window: Quillo
lines: 6227020800 | 7328CC00 | 1110011001010001100110000000000 | 16312146000 | 6.227020800000000E+0009
clipboard: 7328CC00
clipboard: DEC 6227020800\nHEX 7328CC00\nBIN 1110011001010001100110000000000\nOCT 16312146000\nEXP 6.227020800000000E+0009\n
clipboard: Division by zero
box: fact(13)/0
selection: 10 10
history: fact(13)/0
box: 1e20
selection: 4 4
box: 100000000000000000000
notice box: expression longer than 999 characters
box: 100000000000000000000
lines: 1.111111111111111E+0299 | $too_large | $too_large | $too_large | 1.111111111111111E+0299
box: 42
exit: 0
program exit code: 0
EOF
report "quillo.exe copy, Calculate and paste" $(($(date +%s) - case_started)) "$work/copy.expected" \
  "$work/copy.actual"

# --- Undo: Ctrl+Z steps back through every text the box showed, typed or
# written by Calculate, Ctrl+Shift+Z and Ctrl+Y forth through the same; the
# context menu's Undo is offered when there is a step and takes it. ---
case_started=$(date +%s)
folder="$work/undo"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/undo.actual" \
  window can-undo type '1+2' click 1011 box key ctrl+z box key ctrl+shift+z box \
  type '*5' box key ctrl+z box key ctrl+z box key ctrl+z box key ctrl+y box key ctrl+y box key ctrl+y box lines \
  can-undo menu-undo box \
  close exit
record_exit_code "$folder" "$work/undo.actual"
cat >"$work/undo.expected" <<'EOF'
window: Quillo
can undo: no
box: 3
box: 1+2
box: 3
box: 3*5
box: 3*
box: 3
box: 1+2
box: 3
box: 3*
box: 3*5
lines: 15 | F | 1111 | 17 | 1.500000000000000E+0001
can undo: yes
box: 3*
exit: 0
program exit code: 0
EOF
report "quillo.exe undo" $(($(date +%s) - case_started)) "$work/undo.expected" "$work/undo.actual"

# --- The word menu's keys change the lines at once; the box keeps its
# text; so do its menu's commands. Back at 32 bits signed, the settings file
# gets no word keys. Alt with
# a form's letter (Alt+O too, the Options menu's letter) chooses the form and
# leaves the keyboard and the caret in the box. ---
case_started=$(date +%s)
folder="$work/word"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/word.actual" \
  window type '0xFFFF_0000_FFFF_0001' lines key ctrl+4 lines box \
  type '|0' lines key ctrl+shift+u lines key ctrl+1 lines key ctrl+3 key ctrl+shift+s lines \
  command-lines 21 lines command-lines 22 lines \
  key alt+h form focus selection key alt+o form focus type 5 box close exit
record_exit_code "$folder" "$work/word.actual"
tr -d '\r' <"$folder/quillo.ini" | grep -c '^word' >>"$work/word.actual"
cat >"$work/word.expected" <<'EOF'
window: Quillo
lines: 18446462603027742721 | Too large for HEX, BIN and OCT | Too large for HEX, BIN and OCT | Too large for HEX, BIN and OCT | 1.844646260302774E+0019
lines: 18446462603027742721 | FFFF0000FFFF0001 | 11111111111111110000000000000000/11111111111111110000000000000001 | 1777770000037777600001 | 1.844646260302774E+0019
box: 0xFFFF_0000_FFFF_0001
lines: -281470681808895 | FFFF0000FFFF0001 | 11111111111111110000000000000000/11111111111111110000000000000001 | 1777770000037777600001 | -2.814706818088950E+0014
lines: 18446462603027742721 | FFFF0000FFFF0001 | 11111111111111110000000000000000/11111111111111110000000000000001 | 1777770000037777600001 | 1.844646260302774E+0019
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
lines: -65535 | FFFF0001 | 11111111111111110000000000000001 | 37777600001 | -6.553500000000000E+0004
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
lines: -65535 | FFFF0001 | 11111111111111110000000000000001 | 37777600001 | -6.553500000000000E+0004
form: HEX
focus: box
selection: 23 23
form: OCT
focus: box
box: 0xFFFF_0000_FFFF_0001|05
exit: 0
program exit code: 0
0
EOF
report "quillo.exe word menu and keys" $(($(date +%s) - case_started)) "$work/word.expected" "$work/word.actual"

# --- "Always on top" from the Options menu: its command is kept as "ontop"
# in the settings file, and a second one turns it off again. ---
case_started=$(date +%s)
folder="$work/ontop"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
for _ in on off; do
  start_program "$folder"
  run_driver "$work/ontop-run.actual" window command 30 type 1 lines close exit
  record_exit_code "$folder" "$work/ontop-run.actual"
  cat "$work/ontop-run.actual" >>"$work/ontop.actual"
  tr -d '\r' <"$folder/quillo.ini" | grep '^ontop' >>"$work/ontop.actual"
done
cat >"$work/ontop.expected" <<'EOF'
window: Quillo
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
exit: 0
program exit code: 0
ontop=1
window: Quillo
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
exit: 0
program exit code: 0
ontop=0
EOF
report "quillo.exe always on top kept" $(($(date +%s) - case_started)) "$work/ontop.expected" "$work/ontop.actual"

# --- The history search: Ctrl+R, typed text narrowing the entries, Ctrl+R
# for an older match, Enter taking it; Escape leaving the box as it was.
# Then the list: Down shows the newest entry and the lines its value, Down
# again the next; Escape closes the list and brings back the typed text. ---
case_started=$(date +%s)
folder="$work/search"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n[HISTORY]\r\n0=sin(0)\r\n1=2^10\r\n2=sin(pi/2)\r\n' \
  "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/search.actual" \
  window type '7*' search-open search search-type sin search search-key ctrl+r search \
  search-key enter search box lines \
  search-open search-type 10 search search-key escape search box \
  type '+1' key down box lines key down box lines key escape box lines \
  close exit
record_exit_code "$folder" "$work/search.actual"
cat >"$work/search.expected" <<'EOF'
window: Quillo
search:  | [sin(0)] 2^10 sin(pi/2)
search: sin | [sin(0)] sin(pi/2)
search: sin | sin(0) [sin(pi/2)]
search: hidden
box: sin(pi/2)
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
search: 10 | [2^10]
search: hidden
box: sin(pi/2)
box: sin(0)
lines: 0 | 0 | 0 | 0 | 0.000000000000000E+0000
box: 2^10
lines: 1024 | 400 | 10000000000 | 2000 | 1.024000000000000E+0003
box: sin(pi/2)+1
lines: 2 | 2 | 10 | 2 | 2.000000000000000E+0000
exit: 0
program exit code: 0
EOF
report "quillo.exe history search" $(($(date +%s) - case_started)) "$work/search.expected" "$work/search.actual"

# --- Language texts: a Windows-1251 file and the same texts in UTF-8 both
# read right, whatever the system's code page: the window, the About box,
# and the error box of a save refused by a read-only settings file. ---
# The About box ends with the version the build's project() names.
version=$(sed -n 's/^project(Quillo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
for encoding in CP1251 UTF-8; do
  case_started=$(date +%s)
  folder="$work/language-$encoding"
  prepare_folder "$folder"
  iconv -f CP1251 -t "$encoding" "$root/lang/russian.lng" >"$folder/Lang/test.lng"
  printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/test.lng")" >"$folder/quillo.ini"
  chmod a-w "$folder/quillo.ini"
  start_program "$folder"
  run_driver "$work/language.actual" window text 1011 text 1010 text 1019 text 1020 text 1021 type 1+ lines \
    command 11 message-box ok command 1010 message-box ok exit
  record_exit_code "$folder" "$work/language.actual"
  few="Мало операндов для +"
  about="Quillo\\n\\nКалькулятор выражений для рабочего стола.\\nВведите выражение — результат пересчитывается после каждой клавиши и показывается в пяти формах.\\nEnter подставляет результат в поле в выбранной форме.\\n\\nВерсия $version"
  saved="Не удалось сохранить файл настроек\\n$(windows_path "$folder/quillo.ini")\\nВыбранная форма и история этого сеанса не сохранены."
  cat >"$work/language.expected" <<EOF
window: Quillo
text 1011: Вычислить
text 1010: Закрыть
text 1019: Выражение
text 1020: Форма
text 1021: Результат
lines: $few | $few | $few | $few | $few
message box: О программе Quillo: $about
message box: Ошибка: $saved
exit: 0
program exit code: 0
EOF
  report "quillo.exe language file in $encoding" $(($(date +%s) - case_started)) "$work/language.expected" \
    "$work/language.actual"
done

# --- What screen readers hear, through the system's accessibility (oleacc):
# the radio buttons and buttons by their captions, each result line by its
# form's name with the line's text as its value, the box by the expression
# label's text; after a change of language in the new language's texts.
# Wine's oleacc names a combo box by its own text, not by its label as
# Windows does, so the box is checked by the label it is named after. ---
case_started=$(date +%s)
folder="$work/accessible"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/accessible.actual" \
  window type 'fact(5)' \
  accessible 1002 accessible 1006 accessible 1011 accessible 1010 \
  accessible 1012 accessible 1013 accessible 1014 accessible 1015 accessible 1016 label 1001 \
  command 0 file-dialog choose "$(windows_path "$folder/Lang/russian.lng")" type + \
  accessible 1011 accessible 1010 accessible 1012 accessible 1016 label 1001 \
  close exit
record_exit_code "$folder" "$work/accessible.actual"
few="Мало операндов для +"
cat >"$work/accessible.expected" <<EOF
window: Quillo
accessible 1002: DEC = <none>
accessible 1006: EXP = <none>
accessible 1011: Calculate = <none>
accessible 1010: Close = <none>
accessible 1012: DEC = 120
accessible 1013: HEX = 78
accessible 1014: BIN = 1111000
accessible 1015: OCT = 170
accessible 1016: EXP = 1.200000000000000E+0002
label 1001: Expression
file dialog: shown
file dialog title: Choose a language file
file dialog name: english.lng
accessible 1011: Вычислить = <none>
accessible 1010: Закрыть = <none>
accessible 1012: DEC = $few
accessible 1016: EXP = $few
label 1001: Выражение
exit: 0
program exit code: 0
EOF
report "quillo.exe accessible names" $(($(date +%s) - case_started)) "$work/accessible.expected" \
  "$work/accessible.actual"

# --- The RPN trace reaches the debugger output, one line per queue item.
# Wine's debug channel "debugstr" stands in for the debugger. ---
case_started=$(date +%s)
folder="$work/trace"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
WINEDEBUG=-all,+debugstr start_program "$folder"
run_driver "$work/trace.actual" window type 'cos(0)' lines close exit
record_exit_code "$folder" "$work/trace.actual"
# The program's log holds lines like: 0024:warn:debugstr:OutputDebugStringA "cos\n"
sed -n 's/^.*OutputDebugStringA "\(.*\)"\r\?$/debugger: \1/p' "$folder/program.log" >>"$work/trace.actual"
cat >"$work/trace.expected" <<'EOF'
window: Quillo
lines: 1 | 1 | 1 | 1 | 1.000000000000000E+0000
exit: 0
program exit code: 0
debugger: \n
debugger: POLIS: {cos(0)}...[2]\n
debugger: <0.000000>\n
debugger: cos\n
EOF
report "quillo.exe RPN trace" $(($(date +%s) - case_started)) "$work/trace.expected" "$work/trace.actual"

# --- The first run, the language file dialog cancelled. The dialog says
# what it asks and offers the file of the user's language. ---
case_started=$(date +%s)
folder="$work/first-run"
prepare_folder "$folder"
program_locale=ru_RU.UTF-8 start_program "$folder"
run_driver "$work/first-run.actual" file-dialog cancel error-box ok no-window exit
record_exit_code "$folder" "$work/first-run.actual"
if [ -e "$folder/quillo.ini" ]; then
  echo "settings file: left behind" >>"$work/first-run.actual"
else
  echo "settings file: none" >>"$work/first-run.actual"
fi
# Nothing was written, so no lock file was made either.
echo "lock file: $([ -e "$folder/quillo.ini.lock" ] && echo left behind || echo none)" >>"$work/first-run.actual"
cat >"$work/first-run.expected" <<'EOF'
file dialog: shown
file dialog title: Choose a language file
file dialog name: russian.lng
error box: You must specify language file (*.lng)\nProgram terminated...
main window: none
exit: 0
program exit code: 0
settings file: none
lock file: none
EOF
report "quillo.exe first run cancelled" $(($(date +%s) - case_started)) "$work/first-run.expected" \
  "$work/first-run.actual"

# --- A folder on the way to the language file that every user may change
# (Wine shows /tmp so): the file is not trusted, the user is told why and
# asked for another one. ---
case_started=$(date +%s)
folder="$(mktemp -d "${TMPDIR:-/tmp}/quillo-open.XXXXXX")/prog"
prepare_folder "$folder"
chmod 0777 "$(dirname "$folder")"
printf '[INI]\r\nlang=%s\r\nform=0\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/open-folder.actual" error-box ok file-dialog cancel error-box ok no-window exit
record_exit_code "$folder" "$work/open-folder.actual"
rm -rf "$(dirname "$folder")"
cat >"$work/open-folder.expected" <<EOF
error box: Not used as language file:\n$(windows_path "$folder/Lang/english.lng")\nOther users can change files in its folder.
file dialog: shown
file dialog title: Choose a language file
file dialog name: english.lng
error box: You must specify language file (*.lng)\nProgram terminated...
main window: none
exit: 0
program exit code: 0
EOF
report "language file below a folder others may change" $(($(date +%s) - case_started)) \
  "$work/open-folder.expected" "$work/open-folder.actual"

# --- Saves while another process reads the settings file in a loop, as an
# indexer or a virus scanner does, opening it without delete sharing: every
# save waits its turn and none fails; all 200 entries are in the file. ---
case_started=$(date +%s)
folder="$work/reader"
mkdir -p "$folder"
printf '[INI]\r\nform=0\r\nhistorylen=200\r\n' >"$folder/quillo.ini"
saver="$build/tests/win32/quillo-settings-saver.exe"
rm -f "$folder/stop"
timeout 300 wine "$saver" read "$(windows_path "$folder/quillo.ini")" "$(windows_path "$folder/stop")" \
  >"$folder/reader.log" 2>&1 &
reader_job=$!
timeout 300 wine "$saver" save "$(windows_path "$folder/quillo.ini")" 200 >"$folder/saver.log" 2>&1
touch "$folder/stop"
wait "$reader_job"
{
  cat "$folder/saver.log" "$folder/reader.log"
  echo "entries: $(grep -c '^[0-9]*=s[0-9]*' "$folder/quillo.ini")"
  echo "newest: $(grep '^0=' "$folder/quillo.ini" | tr -d '\r')"
} | tr -d '\r' >"$work/reader.actual"
cat >"$work/reader.expected" <<EOF
failed saves: 0
reads: some
entries: 200
newest: 0=s199
EOF
report "saves beside a reader" $(($(date +%s) - case_started)) "$work/reader.expected" "$work/reader.actual"

# --- Saves while another process keeps the settings file open for good
# without delete sharing: the file cannot be replaced, so each save, having
# waited its while, writes into the file; none fails, nothing is left
# beside it. ---
case_started=$(date +%s)
folder="$work/holder"
mkdir -p "$folder"
printf '[INI]\r\nform=0\r\nhistorylen=200\r\n' >"$folder/quillo.ini"
timeout 300 wine "$saver" hold "$(windows_path "$folder/quillo.ini")" "$(windows_path "$folder/ready")" \
  "$(windows_path "$folder/stop")" >"$folder/holder.log" 2>&1 &
holder_job=$!
# The holder has the file open once it has made the ready file (or has ended).
while [ ! -e "$folder/ready" ] && kill -0 "$holder_job" 2>/dev/null; do sleep 0.1; done
timeout 300 wine "$saver" save "$(windows_path "$folder/quillo.ini")" 3 >"$folder/saver.log" 2>&1
touch "$folder/stop"
wait "$holder_job"
holder_status=$?
{
  cat "$folder/saver.log"
  echo "holder ended with: $holder_status"
  echo "entries: $(grep -c '^[0-9]*=s[0-9]*' "$folder/quillo.ini")"
  echo "newest: $(grep '^0=' "$folder/quillo.ini" | tr -d '\r')"
  echo "left beside it: $(find "$folder" -name '*.tmp' | wc -l)"
} | tr -d '\r' >"$work/holder.actual"
cat >"$work/holder.expected" <<EOF
failed saves: 0
holder ended with: 0
entries: 3
newest: 0=s2
left beside it: 0
EOF
report "saves beside a holder" $(($(date +%s) - case_started)) "$work/holder.expected" "$work/holder.actual"

# In folder (made here): quillo-cli.exe finds its language file beside it and
# reads one named by --lang inside that folder, and saves go to the settings
# file beside the program. Wine's note that it cannot start in a working
# folder that long is left out.
cli_and_saves_in() {
  local name="$1" folder="$2" file="$3"
  case_started=$(date +%s)
  mkdir -p "$folder"
  prepare_folder "$folder"
  cp "$cli" "$saver" "$folder/"
  printf '[INI]\r\nform=0\r\nhistorylen=50\r\n' >"$folder/quillo.ini"
  {
    (cd "$folder" && timeout 60 env LC_ALL=C.UTF-8 wine ./quillo-cli.exe --form dec 2+3 1/0 2>&1)
    (cd "$folder" && timeout 60 env LC_ALL=C.UTF-8 wine ./quillo-cli.exe \
      --lang "$(windows_path "$folder/Lang/russian.lng")" --form dec 1/0 2>&1)
    (cd "$folder" && timeout 120 env LC_ALL=C.UTF-8 wine ./quillo-settings-saver.exe save - 20 2>&1)
    echo "entries: $(grep -c '^[0-9]*=s[0-9]*' "$folder/quillo.ini")"
  } | tr -d '\r' | grep -v '^wine: could not open working directory' >"$work/$file.actual"
  cat >"$work/$file.expected" <<EOF
5
Division by zero
Деление на ноль
failed saves: 0
entries: 20
EOF
  report "$name" $(($(date +%s) - case_started)) "$work/$file.expected" "$work/$file.actual"
}

# --- A user folder named in Cyrillic on a Western code page (the C.UTF-8
# locale gives Wine's programs code page 1252, which has no Cyrillic
# letter). ---
cli_and_saves_in "Cyrillic user folder" "$work/Пётр/prog" cyrillic

# --- A folder whose path is far beyond the 260 characters of the old
# Windows limit. ---
long_folder="$work/long"
while [ ${#long_folder} -lt 440 ]; do long_folder="$long_folder/$(printf 'x%.0s' $(seq 60))"; done
cli_and_saves_in "folder path of ${#long_folder} characters" "$long_folder" long-path

# --- The cases of each part of the window, one file per topic; each uses
# the functions above and counts into passed and failed. ---
# The window's picture from the root window of the X display, cut out at
# the driver's last "rect" in the transcript LOG, saved as FILE.
window_shot() {
  local log="$1" file="$2" x y width height
  read -r _ x y width height < <(grep '^rect:' "$log" | tail -1)
  import -window root "$work/window-screen.png" &&
    convert "$work/window-screen.png" -crop "$((width + 24))x$((height + 24))+$((x - 12))+$((y - 12))" +repage "$file"
}

for case_file in "$root"/tests/win32/cases/*.sh; do
  [ -e "$case_file" ] || continue
  # shellcheck source=/dev/null
  source "$case_file"
done

# --- The screenshot: the window in a Wine desktop, which draws the frame. ---
if [ -n "$screenshot" ]; then
  if ! command -v import >/dev/null || ! command -v convert >/dev/null; then
    echo "run-wine-test: import and convert (Debian imagemagick) are needed for --screenshot" >&2
    failed=$((failed + 1))
    finish
  fi
  folder="$work/screenshot"
  prepare_folder "$folder"
  printf '[INI]\r\nlang=%s\r\nform=0\r\nhistorylen=10\r\n[HISTORY]\r\n0=sqrt(2)*100\r\n1=255+1\r\n' \
    "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
  start_program "$folder" "Quillo,640x400"
  # The driver joins the desktop rather than starting in it: a program started
  # with "explorer /desktop" is waited for until the whole desktop closes.
  timeout 120 wine "$driver" --timeout=30000 --desktop=Quillo window type '(2+3)*4h-1' rect \
    >"$work/shot.log" 2>&1
  read -r _ x y width height < <(tr -d '\r' <"$work/shot.log" | grep '^rect:')
  if [ -n "${height:-}" ] && import -window root "$work/screen.png" &&
    convert "$work/screen.png" -crop "$((width + 24))x$((height + 24))+$((x - 12))+$((y - 12))" +repage \
      "$screenshot"; then
    echo "Screenshot: $screenshot (${width}x${height} window)"
  else
    echo "FAIL screenshot"
    cat "$work/shot.log"
    failed=$((failed + 1))
  fi
  timeout 120 wine "$driver" --timeout=30000 --desktop=Quillo window close exit >/dev/null 2>&1
  record_exit_code "$folder" "$work/shot.log"
fi

finish
