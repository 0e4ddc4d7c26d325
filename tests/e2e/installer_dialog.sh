#!/usr/bin/env bash
# The real installer driven through the window system: the drop-down lists the
# folder the registry names, Install writes the demo plug-in there byte for byte
# and shows the completion screen, a second copy exits at once, and the keys and
# the plug-in selector do what the dialog promises.
. "$(dirname "$0")/lib.sh" "$@"

NAME="Dlgtest"  # fixed: the drop-down shows it in the reference images
HOST="$E2E_DRIVE_C/$NAME/Host/Plug-Ins"
TARGET="$HOST/Veltrane/TessoraOndelDemo.8bf"
SHOTS="$E2E_BUILD/tests/e2e-shots"
KEY='HKCU\Software\Veltrane\E2E dialog'
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  e2e_reg_delete 'HKCU\Software\Veltrane'
  rm -rf "${E2E_DRIVE_C:?}/$NAME"
}
trap cleanup EXIT
mkdir -p "$HOST" "$SHOTS"
e2e_reg_sz "$KEY" Plugins "C:\\$NAME\\Host\\Plug-Ins"


# 1. The chosen folder from the registry, installed with the mouse.
e2e_open_dialog
e2e_expect_eq "drop-down entries" "$(printf '*C:\\%s\\Host\\Plug-Ins\\Veltrane\\\n******** BROWSE ********' "$NAME")" \
  "$(e2e_window_probe entries)"
e2e_expect_eq "client area" "383 270" "$(e2e_window_probe client)"
e2e_expect_eq "drop-down top while choosing" "210" "$(e2e_window_probe list-top)"
e2e_expect_reference "$WINDOW" "choosing-$E2E_ARCH" "$SHOTS/choosing-$E2E_ARCH.png"

"$WINE" "$E2E_SETUP" >/dev/null 2>&1
e2e_expect_eq "a second copy exits at once with 0" "0" "$?"
e2e_expect_eq "still one dialog" "1" "$(xdotool search --onlyvisible --name "^$E2E_TITLE\$" | wc -l)"

e2e_click "$WINDOW" $(e2e_at "$E2E_AT_INSTALL")
e2e_wait_for 20 test -f "$TARGET" || e2e_fail "nothing was installed"
e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_FINISH") || e2e_fail "the finish button did not appear"
cmp -s "$E2E_DEMO" "$TARGET" && echo "ok: the plug-in's bytes" || e2e_fail "installed bytes differ"
e2e_expect_eq "only the plug-in in its folder" "TessoraOndelDemo.8bf" "$(ls "$HOST/Veltrane")"
e2e_expect_eq "drop-down moved out of sight" "1000" "$(e2e_window_probe list-top)"
e2e_not_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button still shows"
e2e_expect_reference "$WINDOW" "completed-$E2E_ARCH" "$SHOTS/completed-$E2E_ARCH.png"
e2e_click "$WINDOW" $(e2e_at "$E2E_AT_FINISH")
e2e_expect_eq "finish ends with 0" "0" "$(e2e_setup_exit_code 20)"
rm -rf "$HOST/Veltrane"

# 2. Escape closes without installing.
e2e_open_dialog
e2e_key "$WINDOW" Escape
e2e_expect_eq "Escape ends with 0" "0" "$(e2e_setup_exit_code 20)"
[ ! -e "$HOST/Veltrane" ] && echo "ok: Escape installs nothing" || e2e_fail "Escape installed"

# 3. The selector switched off hides the install button and Enter does nothing;
#    switched on again, Enter installs and a second Enter closes.
e2e_open_dialog
e2e_click "$WINDOW" $(e2e_at "$E2E_AT_SELECTOR")
e2e_wait_for 10 e2e_not_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button did not go"
e2e_key "$WINDOW" Return
# A second press within the double-click rectangle would arrive as a double click,
# which the selector leaves alone: press 8 pixels away.
e2e_click "$WINDOW" $(e2e_at "$E2E_AT_SELECTOR_AGAIN")
e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button did not come back"
[ ! -e "$HOST/Veltrane" ] && echo "ok: Enter with every selector off installs nothing" || e2e_fail "installed while off"
e2e_key "$WINDOW" Return
e2e_wait_for 20 test -f "$TARGET" || e2e_fail "Enter did not install"
e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_FINISH") || e2e_fail "no completion screen after Enter"
e2e_key "$WINDOW" Return
e2e_expect_eq "Enter on the completion screen ends with 0" "0" "$(e2e_setup_exit_code 20)"
e2e_finish
