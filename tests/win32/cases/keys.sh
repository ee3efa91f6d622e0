# Sourced by run-wine-test.sh after its own cases.

# --- F10 and Alt alone take the keyboard to the menu bar and, pressed again,
# give it back to the box, where typing goes on at the caret. Alt with a
# form's letter chooses the form and leaves the keyboard and the caret in
# the box. ---
case_started=$(date +%s)
folder="$work/keys"
prepare_folder "$folder"
printf '[INI]\r\nlang=%s\r\n' "$(windows_path "$folder/Lang/english.lng")" >"$folder/quillo.ini"
start_program "$folder"
run_driver "$work/keys.actual" \
  window type '6*7' menu-key f10 focus menu-key f10 focus \
  menu-key alt focus menu-key alt type 1 box lines \
  key alt+b form focus selection key alt+e form focus selection close exit
record_exit_code "$folder" "$work/keys.actual"
cat >"$work/keys.expected" <<'EOF'
window: Quillo
menu mode: on
focus: box
menu mode: off
focus: box
menu mode: on
focus: box
menu mode: off
box: 6*71
lines: 426 | 1AA | 110101010 | 652 | 4.260000000000000E+0002
form: BIN
focus: box
selection: 4 4
form: EXP
focus: box
selection: 4 4
exit: 0
program exit code: 0
EOF
report "quillo.exe F10 and Alt reach the menus, the box keeps the keyboard" \
  $(($(date +%s) - case_started)) "$work/keys.expected" "$work/keys.actual"
