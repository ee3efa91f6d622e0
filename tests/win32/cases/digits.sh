# shellcheck shell=bash
# The programmer's reading of the integer lines, sourced by run-wine-test.sh.

# --- The lines and their copy hold the digits without gaps; "Group digits"
# from the Options menu is kept as groupdigits=0. ---
case_started=$(date +%s)
folder="$work/digits-group"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/digits-group.actual" window type 0xABCDE lines copy-all clipboard command 31 lines close exit
record_exit_code "$folder" "$work/digits-group.actual"
tr -d '\r' <"$folder/quillo.ini" | grep '^groupdigits' >>"$work/digits-group.actual"
cat >"$work/digits-group.expected" <<'EXPECTED'
window: Quillo
lines: 703710 | ABCDE | 10101011110011011110 | 2536336 | 7.037100000000000E+0005
clipboard: DEC 703710\nHEX ABCDE\nBIN 10101011110011011110\nOCT 2536336\nEXP 7.037100000000000E+0005\n
lines: 703710 | ABCDE | 10101011110011011110 | 2536336 | 7.037100000000000E+0005
exit: 0
program exit code: 0
groupdigits=0
EXPECTED
report "quillo.exe digits copied without gaps, grouping kept" $(($(date +%s) - case_started)) \
  "$work/digits-group.expected" "$work/digits-group.actual"

# --- A click on the BIN line flips a bit of the 8-bit signed word: a digit
# the line shows, then a leading zero it leaves out. The box gets the new
# value in the selected form (DEC), the lines its calculation. ---
case_started=$(date +%s)
folder="$work/digits-bits"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\nwordbits=8\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/digits-bits.actual" window type 10 click-bit 1 box lines click-bit 7 box lines close exit
record_exit_code "$folder" "$work/digits-bits.actual"
cat >"$work/digits-bits.expected" <<'EXPECTED'
window: Quillo
box: 8
lines: 8 | 8 | 1000 | 10 | 8.000000000000000E+0000
box: -120
lines: -120 | 88 | 10001000 | 210 | -1.200000000000000E+0002
exit: 0
program exit code: 0
EXPECTED
report "quillo.exe bit strip click" $(($(date +%s) - case_started)) \
  "$work/digits-bits.expected" "$work/digits-bits.actual"
