#!/usr/bin/env bash
# The dialog from the keyboard and as a screen reader reads it from another process:
# Tab and Shift+Tab reach every control in reading order, with the focus cue drawn
# only once a key has been pressed; Space toggles the plug-in selector (and with it
# what Install writes), Enter on Install installs, Space on Cancel closes; each
# control is reported with its role, name and state.
. "$(dirname "$0")/lib.sh" "$@"

NAME="Keytest"
HOST="$E2E_DRIVE_C/$NAME/Host/Plug-Ins"
TARGET="$HOST/Veltrane/TessoraOndelDemo.8bf"
KEY='HKCU\Software\Veltrane\E2E keyboard'
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  e2e_reg_delete 'HKCU\Software\Veltrane'
  rm -rf "${E2E_DRIVE_C:?}/$NAME"
}
trap cleanup EXIT
mkdir -p "$HOST"
e2e_reg_sz "$KEY" Plugins "C:\\$NAME\\Host\\Plug-Ins"
LIST="Setup will install Veltrane Plugins to the folder:"

# open_dialog: the dialog drawn and given the keyboard. The first focus is the
# hidden button's, as ever: no element of the dialog has it.
open_dialog() {
  e2e_open_dialog
  xdotool windowfocus "$WINDOW"
}
# key EXPECTED KEYS...: presses the keys and waits for the focus to reach EXPECTED.
key() {
  local expected=$1
  shift
  xdotool key "$@"
  e2e_wait_for 10 e2e_focused_is "$expected" && echo "ok: $* reaches $expected" ||
    e2e_fail "$*: the focus is on [$(e2e_access | awk -F'\t' '$3 ~ /focused/ {print $2}')], not $expected"
}
cue_shown() { ! e2e_same_region "$WINDOW" "$E2E_REFERENCES/choosing-$E2E_ARCH.png" $E2E_INSTALL_RING; }
cue_absent() { e2e_same_region "$WINDOW" "$E2E_REFERENCES/choosing-$E2E_ARCH.png" $E2E_INSTALL_RING; }
states_of() { e2e_access | awk -F'\t' -v name="$1" '$2 == name {print $3}'; }
state_is() { [ "$(states_of "$1")" = "$2" ]; }

# 1. What a screen reader finds, and the reading order of Tab and Shift+Tab.
open_dialog
e2e_expect_eq "the dialog's elements" "$(printf '%s\n' \
  "dialog	$E2E_TITLE	-" \
  "check box	Tessora Ondel demo	checked" \
  "link	www.veltrane.example	-" \
  "combo box	$LIST	-" \
  "push button	Install	-" \
  "push button	Cancel	-")" "$(e2e_access)"
e2e_wait_for 10 cue_absent && echo "ok: no focus cue before a key" || e2e_fail "a focus cue before any key"
key Install Tab
e2e_wait_for 10 cue_shown && echo "ok: the focus cue shows after Tab" || e2e_fail "no focus cue after Tab"
key Cancel Tab
key "Tessora Ondel demo" Tab
key www.veltrane.example Tab
key "$LIST" Tab
key Install Tab
key "$LIST" shift+Tab
key www.veltrane.example shift+Tab
key "Tessora Ondel demo" shift+Tab

# 2. Space toggles the selector as a click does: off, the install button goes and
#    Enter installs nothing; on again, Enter on Install installs.
xdotool key space
e2e_wait_for 10 state_is "Tessora Ondel demo" focused || e2e_fail "Space did not clear the selector: $(states_of "Tessora Ondel demo")"
e2e_expect_eq "the install button while the selector is off" "invisible" "$(states_of Install)"
# Keys are handled in order: once Space has set the selector again, Enter before it
# has had its effect (none).
xdotool key Return space
e2e_wait_for 10 state_is "Tessora Ondel demo" "checked focused" || e2e_fail "Space did not set the selector again"
[ ! -e "$TARGET" ] && echo "ok: nothing installed while off" || e2e_fail "installed while the selector was off"
key Install Tab Tab Tab
xdotool key Return
e2e_wait_for 20 test -f "$TARGET" && cmp -s "$E2E_DEMO" "$TARGET" && echo "ok: Enter on Install installed the demo" ||
  e2e_fail "Enter on Install did not install"
e2e_wait_for 10 e2e_focused_is Enjoy || e2e_fail "the completion screen did not give Enjoy the focus"
e2e_expect_eq "the completion screen's elements" "$(printf '%s\n' \
  "dialog	$E2E_TITLE	-" \
  "static text	Installation completed. In some cases you have to restart your image editor to activate the filters installed. Filter category name is \"Veltrane\". Do not forget to install addition textures and presets.	-" \
  "link	www.veltrane.example	-" \
  "push button	Enjoy	focused")" "$(e2e_access)"
key www.veltrane.example Tab
key Enjoy Tab
xdotool key space
e2e_expect_eq "Space on Enjoy ends with 0" "0" "$(e2e_setup_exit_code 20)"
rm -rf "$HOST/Veltrane"

# 3. Space on Cancel closes without installing.
open_dialog
key Install Tab
key Cancel Tab
xdotool key space
e2e_expect_eq "Space on Cancel ends with 0" "0" "$(e2e_setup_exit_code 20)"
[ ! -e "$HOST/Veltrane" ] && echo "ok: Cancel installs nothing" || e2e_fail "Cancel installed"
e2e_finish
