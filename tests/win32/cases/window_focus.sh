# shellcheck shell=bash disable=SC2154  # work, driver and the rest come from run-wine-test.sh
# The main window's keys and its help window, sourced by run-wine-test.sh.

# --- The menu keys and F1 work wherever the keyboard is in the window: on
# a result line, on a radio button; the keyboard stays there. ---
case_started=$(date +%s)
folder="$work/menu-keys-anywhere"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\nwordbits=32\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/menu-keys-anywhere.actual" window type '-20|0' \
  focus-click 1012 key-here ctrl+1 lines focus \
  focus-click 1002 key-here ctrl+2 lines focus \
  focus-click 1016 key-here ctrl+4 lines focus focus-click 1012 f1-here help F1 close exit
record_exit_code "$folder" "$work/menu-keys-anywhere.actual"
tr -d '\r' <"$folder/quillo.ini" | grep -E '^word' >>"$work/menu-keys-anywhere.actual"
cat >"$work/menu-keys-anywhere.expected" <<'EXPECTED'
window: Quillo
focus: 1012
lines: -20 | EC | 11101100 | 354 | -2.000000000000000E+0001
focus: elsewhere
focus: 1002
lines: -20 | FFEC | 1111111111101100 | 177754 | -2.000000000000000E+0001
focus: elsewhere
focus: 1016
lines: -20 | FFFFFFFFFFFFFFEC | 11111111111111111111111111111111/11111111111111111111111111101100 | 1777777777777777777754 | -2.000000000000000E+0001
focus: elsewhere
focus: 1012
help: F1 Help: Contents
exit: 0
program exit code: 0
wordbits=64
EXPECTED
report "quillo.exe menu keys wherever the focus is" $(($(date +%s) - case_started)) \
  "$work/menu-keys-anywhere.expected" "$work/menu-keys-anywhere.actual"

# --- The help window stands above the main window when the main window is
# brought to the front, also with "Always on top"; the main window takes
# keys meanwhile. ---
case_started=$(date +%s)
folder="$work/help-above"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\nwordbits=32\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/help-above.actual" window type 300 f1 help-above key ctrl+1 lines help F1 \
  command 30 f1 help-above key ctrl+3 lines help F1 close exit
record_exit_code "$folder" "$work/help-above.actual"
cat >"$work/help-above.expected" <<'EXPECTED'
window: Quillo
help: above the main window
lines: 300 | 2C | 101100 | 54 | 3.000000000000000E+0002
help: F1 Help: Contents
help: above the main window
lines: 300 | 12C | 100101100 | 454 | 3.000000000000000E+0002
help: F1 Help: Contents
exit: 0
program exit code: 0
EXPECTED
report "quillo.exe help above the main window" $(($(date +%s) - case_started)) \
  "$work/help-above.expected" "$work/help-above.actual"
