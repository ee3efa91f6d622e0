# shellcheck shell=bash disable=SC2154  # work, driver and the rest come from run-wine-test.sh
# --- The resizable window, at 96 and at 192 dpi (Wine's LogPixels): made
# 160 pixels wider and 40 taller (still inside the 1024 x 768 screen), the
# box, the label and the lines grow with the width, the groups with the
# height, the buttons keep to the bottom right corner, the radio buttons
# stay, the history search's field and list (made by Ctrl+R) keep the box's
# width; nothing overlaps, before or after.
# The window cannot be made smaller than it starts (the template's size),
# and at 192 dpi it starts about twice as large. Sourced by
# run-wine-test.sh, whose functions and variables it uses.
# QUILLO_RESIZE_SHOTS names a folder for pictures of the window before and
# after the resize at each dpi. ---

# Each control's move and growth between two "controls" listings of the
# driver: "ID: dx dy dwidth dheight".
resize_changes() {
  awk '/^control / { id = $2; sub(":", "", id)
                     if (id in x) { printf "%s: %d %d %d %d\n", id, $3 - x[id], $4 - y[id], $5 - w[id], $6 - h[id] }
                     else { x[id] = $3; y[id] = $4; w[id] = $5; h[id] = $6 } }' "$1"
}

case_started=$(date +%s)
folder="$work/resize"
prepare_folder "$folder"
: >"$work/resize.actual"
width_at=()  # the window's width at the start, by dpi
saved_dpi=$(timeout 60 wine reg query 'HKCU\Control Panel\Desktop' /v LogPixels 2>/dev/null | tr -d '\r' |
  awk '/LogPixels/ { print $3 }')
for dpi in 96 192; do
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
  start_program "$folder" "Resize$dpi,1024x768"
  driver_steps=(window type 0xFFFF_0000_FFFF_0001 command 23 search-open search-key escape rect controls overlaps)
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Resize$dpi" "${driver_steps[@]}" \
    >"$work/resize-$dpi.log" 2>&1
  [ -n "${QUILLO_RESIZE_SHOTS:-}" ] && window_shot <(tr -d '\r' <"$work/resize-$dpi.log") \
    "$QUILLO_RESIZE_SHOTS/resize-$dpi-start.png"
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Resize$dpi" window grow 160,40 rect controls overlaps \
    >>"$work/resize-$dpi.log" 2>&1
  [ -n "${QUILLO_RESIZE_SHOTS:-}" ] && window_shot <(tr -d '\r' <"$work/resize-$dpi.log") \
    "$QUILLO_RESIZE_SHOTS/resize-$dpi-wider.png"
  timeout 120 wine "$driver" --timeout=30000 "--desktop=Resize$dpi" window grow -2000,-2000 rect close exit \
    >>"$work/resize-$dpi.log" 2>&1
  # The driver's "exit" gave the program's exit code; the desktop around it
  # may take longer to close, so its own record is only waited for.
  record_exit_code "$folder" "$work/resize-$dpi.desktop"
  log=$(tr -d '\r' <"$work/resize-$dpi.log")
  {
    echo "at $dpi dpi"
    grep -E '^(overlaps|exit|FAILED)' <<<"$log"
    resize_changes <(echo "$log")
    mapfile -t sizes < <(grep '^rect:' <<<"$log" | awk '{ print $4, $5 }')
    [ "${sizes[2]:-}" = "${sizes[0]:-x}" ] && echo "smallest: the start size" || echo "smallest: ${sizes[2]:-} not ${sizes[0]:-}"
  } >>"$work/resize.actual"
  read -r width_at[$dpi] _ <<<"${sizes[0]:-0 0}"
done
if [ -n "$saved_dpi" ]; then
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$((saved_dpi))" /f >/dev/null 2>&1
else
  timeout 60 wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1
fi
# Twice the dpi, twice the size: within a tenth, as the font's metrics round.
if [ $((width_at[192] * 10)) -ge $((width_at[96] * 18)) ] && [ $((width_at[192] * 10)) -le $((width_at[96] * 22)) ]; then
  echo "192 dpi: twice as wide" >>"$work/resize.actual"
else
  echo "192 dpi: ${width_at[192]} pixels wide against ${width_at[96]}" >>"$work/resize.actual"
fi
{
  for dpi in 96 192; do
    echo "at $dpi dpi"
    printf 'overlaps: none\noverlaps: none\nexit: 0\n'
    # Radio buttons, lines, groups, label, frame, buttons, box: in table order.
    for id in 1002 1003 1004 1005 1006; do echo "$id: 0 0 0 0"; done
    for id in 1012 1013 1014 1015 1016; do echo "$id: 0 0 160 0"; done
    printf '1020: 0 0 0 40\n1021: 0 0 160 40\n1019: 0 0 160 0\n-1: 160 40 0 0\n'
    printf '1011: 160 40 0 0\n1010: 160 40 0 0\n1001: 0 0 160 0\n'
    printf '1100: 0 0 160 0\n1101: 0 0 160 0\n'  # the history search's field and list
    echo "smallest: the start size"
  done
  echo "192 dpi: twice as wide"
} >"$work/resize.expected"
report "quillo.exe resizes at 96 and 192 dpi" $(($(date +%s) - case_started)) "$work/resize.expected" "$work/resize.actual"
