# shellcheck shell=bash disable=SC2154  # work, driver and the rest come from run-wine-test.sh
# --- The bit strip of a 64-bit word, at 96 and at 192 dpi: its two rows
# with their bit numbers need more height than the BIN line's place, so the
# line grows by R pixels, the controls below it (the OCT and EXP lines and
# radio buttons, the buttons and their frame) move down by R, the groups
# and the window grow by R, and nothing overlaps. A click on the upper row
# flips bit 32 + k. Back at 32 bits every control and the window are where
# and as large as they were. With a larger font chosen the strip still has
# its room. QUILLO_STRIP_SHOTS names a folder for pictures of the window in
# 32 and in 64 bits at each dpi, and in 64 bits with the larger font. ---

# The changes of each control between the first and the second "controls"
# listing of a log, the BIN line's growth written R, then the window's.
strip_changes() {
  awk '/^control / { id = $2; sub(":", "", id); n[id]++
                     if (n[id] == 1) { x[id] = $3; y[id] = $4; w[id] = $5; h[id] = $6 }
                     if (n[id] == 2) { order[++count] = id; dx[id] = $3 - x[id]; dy[id] = $4 - y[id]
                                       dw[id] = $5 - w[id]; dh[id] = $6 - h[id] } }
       /^rect: / { rects++; if (rects == 1) height = $5; if (rects == 2) grown = $5 - height }
       function named(change) { return (change == r && r > 0) ? "R" : change }
       END { r = dh["1014"]; if (r <= 0) print "BIN line: not taller"
             for (i = 1; i <= count; i++) { id = order[i]
               printf "%s: %s %s %s %s\n", id, named(dx[id]), named(dy[id]), named(dw[id]), named(dh[id]) }
             print "window: " named(grown) " taller" }' "$1"
}

# The third "controls" listing and "rect" against the first: the same?
strip_back() {
  awk '/^control / { n[$2]++; if (n[$2] == 1) first[$2] = $0; if (n[$2] == 3 && first[$2] != $0) moved = moved " " $2 }
       /^rect: / { rects++; if (rects == 1) size = $4 " " $5; if (rects == 3 && $4 " " $5 != size) moved = moved " window" }
       END { print "back at 32 bits:" (moved == "" ? " as at the start" : moved) }' "$1"
}

case_started=$(date +%s)
folder="$work/strip64"
prepare_folder "$folder"
: >"$work/strip64.actual"
: >"$work/strip64.expected"
saved_dpi=$(timeout 60 wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' |
  awk '/LogPixels/ { print $3 }')
for dpi in 96 192; do
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  printf '[INI]\r\nlang=%s\r\nwordbits=32\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
  start_program "$folder" "Strip$dpi,1024x768"
  log="$work/strip64-$dpi.log"
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Strip$dpi" window type -1 rect controls \
    command-lines 23 rect controls overlaps strip 2 >"$log.raw" 2>&1
  [ -n "${QUILLO_STRIP_SHOTS:-}" ] && window_shot <(tr -d '\r' <"$log.raw") "$QUILLO_STRIP_SHOTS/strip-$dpi-64.png"
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Strip$dpi" window click-bit 35 box \
    command-lines 22 rect controls overlaps strip 1 >>"$log.raw" 2>&1
  [ -n "${QUILLO_STRIP_SHOTS:-}" ] && window_shot <(tr -d '\r' <"$log.raw") "$QUILLO_STRIP_SHOTS/strip-$dpi-32.png"
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Strip$dpi" window close exit >>"$log.raw" 2>&1
  record_exit_code "$folder" "$work/strip64-$dpi.desktop"
  tr -d '\r' <"$log.raw" >"$log"
  {
    echo "at $dpi dpi"
    grep -E '^(overlaps|strip|box|exit|FAILED)' "$log"
    strip_changes "$log"
    strip_back "$log"
  } >>"$work/strip64.actual"
  {
    echo "at $dpi dpi"
    printf 'overlaps: none\nstrip: 2 rows with their numbers\nbox: -34359738369\noverlaps: none\n'
    printf 'strip: 1 rows with their numbers\nexit: 0\n'
    # Radio buttons, lines, groups, label, frame, buttons, box: in table order.
    printf '1002: 0 0 0 0\n1003: 0 0 0 0\n1004: 0 0 0 0\n1005: 0 R 0 0\n1006: 0 R 0 0\n'
    printf '1012: 0 0 0 0\n1013: 0 0 0 0\n1014: 0 0 0 R\n1015: 0 R 0 0\n1016: 0 R 0 0\n'
    printf '1020: 0 0 0 R\n1021: 0 0 0 R\n1019: 0 0 0 0\n-1: 0 R 0 0\n1011: 0 R 0 0\n1010: 0 R 0 0\n1001: 0 0 0 0\n'
    echo "window: R taller"
    echo "back at 32 bits: as at the start"
  } >>"$work/strip64.expected"
done
if [ -n "$saved_dpi" ]; then
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$((saved_dpi))" /f >/dev/null 2>&1
else
  timeout 60 wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
fi
report "quillo.exe 64-bit strip: the BIN line grows for the bit numbers, at 96 and 192 dpi" \
  $(($(date +%s) - case_started)) "$work/strip64.expected" "$work/strip64.actual"

# --- The same with a larger font chosen for the box and the lines. ---
case_started=$(date +%s)
folder="$work/strip64-font"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\nwordbits=32\r\nfont=DejaVu Sans Mono,14\r\n' \
  "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/strip64-font.actual" window type -1 command-lines 23 overlaps strip 2 rect
[ -n "${QUILLO_STRIP_SHOTS:-}" ] && window_shot "$work/strip64-font.actual" "$QUILLO_STRIP_SHOTS/strip-font-64.png"
sed -i '/^rect:/d' "$work/strip64-font.actual"
run_driver "$work/strip64-font-close.actual" window close exit
grep -v '^window' "$work/strip64-font-close.actual" >>"$work/strip64-font.actual"
record_exit_code "$folder" "$work/strip64-font.actual"
cat >"$work/strip64-font.expected" <<'EXPECTED'
window: Quillo
overlaps: none
strip: 2 rows with their numbers
exit: 0
program exit code: 0
EXPECTED
report "quillo.exe 64-bit strip with a larger font" $(($(date +%s) - case_started)) \
  "$work/strip64-font.expected" "$work/strip64-font.actual"
