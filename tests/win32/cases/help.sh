# --- Help -> Contents through the menu's accelerator letters and through F1:
# the help window lists the vocabulary with the examples calculated; Alt, p,
# a reaches "Always on top", which is kept as ontop=1 (F1 after it, being
# later input, opens the help only once that command has run). ---
case_started=$(date +%s)
folder="$work/help"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/help.actual" window menu-keys lc help 'tg(x)' f1 help '0xC\0xA' menu-keys lc help 'Ctrl+R' \
  menu-keys pa f1 help 'F1' close exit
record_exit_code "$folder" "$work/help.actual"
tr -d '\r' <"$folder/quillo.ini" | grep '^ontop' >>"$work/help.actual"
cat >"$work/help.expected" <<'EOF2'
window: Quillo
help: tg(x) Tangent of an angle in radians tg(pi/4) = 1
help: \ Bitwise exclusive or of the words 0xC\0xA = 0x6
help: Ctrl+R Searches the history
help: F1 Help: Contents
exit: 0
program exit code: 0
ontop=1
EOF2
report "quillo.exe help contents by menu keys and F1" $(($(date +%s) - case_started)) "$work/help.expected" \
  "$work/help.actual"

# --- Font...: chosen in the font dialog, the box takes it at once (it grows
# with the font), it is kept as font= in [INI], and the next start shows it
# again. ---
case_started=$(date +%s)
folder="$work/font"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
# Typing waits for the program to answer, so the font is applied by then.
run_driver "$work/font-run1.actual" window box-height menu-keys pf font-dialog 'DejaVu Sans Mono,14' \
  type 6*7 lines box-height close exit
record_exit_code "$folder" "$work/font-run1.actual"
start_program "$folder"
run_driver "$work/font-run2.actual" window box-height close exit
record_exit_code "$folder" "$work/font-run2.actual"
heights=($(grep -h '^box-height' "$work/font-run1.actual" "$work/font-run2.actual" | cut -d' ' -f2))
{
  grep -v '^box-height' "$work/font-run1.actual"
  tr -d '\r' <"$folder/quillo.ini" | grep '^font'
  [ "${heights[1]:-0}" -gt "${heights[0]:-0}" ] && echo "box grows with the font" || echo "box keeps its height: ${heights[*]}"
  [ "${heights[2]:-0}" -eq "${heights[1]:-0}" ] && echo "next start: the same" || echo "next start differs: ${heights[*]}"
  grep -v '^box-height' "$work/font-run2.actual"
} >"$work/font.actual"
cat >"$work/font.expected" <<'EOF2'
window: Quillo
lines: 42 | 2A | 101010 | 52 | 4.200000000000000E+0001
exit: 0
program exit code: 0
font=DejaVu Sans Mono,14
box grows with the font
next start: the same
window: Quillo
exit: 0
program exit code: 0
EOF2
report "quillo.exe font chosen and kept" $(($(date +%s) - case_started)) "$work/font.expected" "$work/font.actual"
