#!/usr/bin/env bash
# Unattended installs from the command line: /S installs without a window into the
# first folder found or the /D= folder, the exit codes tell what happened, /LOG=
# appends what was done, and /D= without /S preselects the folder in the dialog.
# The smoke form: the first folder found, and /D= over an older plug-in.
. "$(dirname "$0")/lib.sh" "$@"

NAME="Silent$$"
ROOT="$E2E_DRIVE_C/$NAME"
HOST="$ROOT/Host/Plug-Ins"
WIN_ROOT="C:\\$NAME"
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  e2e_reg_delete 'HKCU\Software\Veltrane'
  rm -rf "${ROOT:?}"
}
trap cleanup EXIT
mkdir -p "$HOST"

# silent ARGS...: runs the installer to its end, failing the test if a window shows.
silent() {
  e2e_start_setup "$@"
  SAW_WINDOW=
  until e2e_setup_ended; do
    [ -n "$(e2e_window "$E2E_TITLE")" ] && SAW_WINDOW=1
    sleep 0.05
  done
  [ -z "$SAW_WINDOW" ] || e2e_fail "a window showed for: $*"
  SILENT_EXIT=$(cat "$E2E_SETUP_EXIT_FILE")
}

# No candidate and no /D=: nothing to install into.
if [ -z "$E2E_SMOKE" ]; then
  silent /S
  e2e_expect_eq "/S without any folder: exit code 2" "2" "$SILENT_EXIT"
fi

e2e_reg_sz 'HKCU\Software\Veltrane\E2E silent' Plugins "$WIN_ROOT\\Host\\Plug-Ins"
silent /s "/LOG=$WIN_ROOT\\setup.log"
e2e_expect_eq "/S into the first folder found: exit code 0" "0" "$SILENT_EXIT"
cmp -s "$E2E_DEMO" "$HOST/Veltrane/TessoraOndelDemo.8bf" && echo "ok: installed into the found folder" ||
  e2e_fail "the found folder did not get the plug-in"

# An older plug-in of the same name is replaced whole, and nothing else is left.
mkdir -p "$ROOT/Older"
echo "old plug-in" >"$ROOT/Older/TessoraOndelDemo.8bf"
silent /S "/LOG=$WIN_ROOT\\setup.log" "/D=$WIN_ROOT\\Older"
e2e_expect_eq "/S /D= over an older plug-in: exit code 0" "0" "$SILENT_EXIT"
cmp -s "$E2E_DEMO" "$ROOT/Older/TessoraOndelDemo.8bf" && echo "ok: the older plug-in is replaced" ||
  e2e_fail "the older plug-in was not replaced"
e2e_expect_eq "nothing else in the folder" "TessoraOndelDemo.8bf" "$(ls "$ROOT/Older")"

LOG=$(tr -d '\r' <"$ROOT/setup.log")
if [ -n "$E2E_SMOKE" ]; then
  e2e_has_line "log: candidate with its probe row" "$LOG" "^candidate \\(probe row 1\\): C:\\\\$NAME\\\\Host\\\\Plug-Ins\\\\Veltrane\\\\$"
  e2e_has_line "log: target folder" "$LOG" "^target folder: C:\\\\$NAME\\\\Older\\\\$"
  e2e_has_line "log: written payload" "$LOG" "^written: TessoraOndelDemo\\.8bf \\($(stat -c %s "$E2E_DEMO") bytes\\)$"
  e2e_has_line "log: results" "$LOG" '^result: installed; exit code 0$'
  e2e_finish
fi

# The quoted form, as Wine passes a Linux argument with blanks: "/D=C:\...\A B\\".
mkdir -p "$ROOT/Some Folder"
silent /S "/D=$WIN_ROOT\\Some Folder\\Sub Dir\\"
e2e_expect_eq "/S /D= with blanks: exit code 0" "0" "$SILENT_EXIT"
test -f "$ROOT/Some Folder/Sub Dir/TessoraOndelDemo.8bf" && echo "ok: /D= folder created and filled" ||
  e2e_fail "/D= with blanks did not install"
# The unquoted form, taken to the end of the line: cmd passes the line as written.
"$WINE" cmd /c "$(winepath_w "$E2E_SETUP") /S /D=$WIN_ROOT\\Some Folder\\Plain Form" >/dev/null 2>&1
e2e_expect_eq "/S /D= unquoted with blanks: exit code 0" "0" "$?"
test -f "$ROOT/Some Folder/Plain Form/TessoraOndelDemo.8bf" && echo "ok: unquoted /D= installed" ||
  e2e_fail "unquoted /D= did not install"

# A folder whose parent is missing too cannot be made.
silent /S "/D=$WIN_ROOT\\Missing\\Parent"
e2e_expect_eq "/D= under a missing folder: exit code 2" "2" "$SILENT_EXIT"
[ ! -e "$ROOT/Missing" ] && echo "ok: nothing created above the last component" || e2e_fail "created a parent"

# Bad command lines: exit code 1, nothing written.
for line in "/X" "/S /S" "/D=relative\\dir" "/D=" "/D=C:\\a /LOG=x" "/LOG=a /LOG=b" "/D=C:\\$(printf 'x%.0s' $(seq 400))"; do
  # shellcheck disable=SC2086
  silent /S $line
  e2e_expect_eq "/S $line: exit code 1" "1" "$SILENT_EXIT"
done

# A read-only old plug-in stays as it was; the run says so with exit code 3 and in the log.
mkdir -p "$ROOT/Locked"
echo "old plug-in" >"$ROOT/Locked/TessoraOndelDemo.8bf"
"$WINE" attrib +r "$WIN_ROOT\\Locked\\TessoraOndelDemo.8bf" >/dev/null 2>&1
silent /S "/LOG=$WIN_ROOT\\setup.log" "/D=$WIN_ROOT\\Locked"
e2e_expect_eq "read-only old plug-in: exit code 3" "3" "$SILENT_EXIT"
e2e_expect_eq "the old plug-in is kept" "old plug-in" "$(cat "$ROOT/Locked/TessoraOndelDemo.8bf")"
e2e_expect_eq "nothing else in the folder" "TessoraOndelDemo.8bf" "$(ls "$ROOT/Locked")"
"$WINE" attrib -r "$WIN_ROOT\\Locked\\TessoraOndelDemo.8bf" >/dev/null 2>&1

# A log in a missing folder: the installation goes on without it.
silent /S "/LOG=$WIN_ROOT\\No Such Folder\\setup.log" "/D=$WIN_ROOT\\Logless"
e2e_expect_eq "unopenable log: still exit code 0" "0" "$SILENT_EXIT"

LOG=$(tr -d '\r' <"$ROOT/setup.log")
e2e_has_line "log: start line" "$LOG" '^Veltrane Plugins setup started [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8}$'
e2e_has_line "log: command line" "$LOG" '^command line: .*/s "?/LOG='
e2e_has_line "log: candidate with its probe row" "$LOG" "^candidate \\(probe row 1\\): C:\\\\$NAME\\\\Host\\\\Plug-Ins\\\\Veltrane\\\\$"
e2e_has_line "log: target folder" "$LOG" "^target folder: C:\\\\$NAME\\\\Locked\\\\$"
e2e_has_line "log: written payload" "$LOG" "^written: TessoraOndelDemo\\.8bf \\($(stat -c %s "$E2E_DEMO") bytes\\)$"
e2e_has_line "log: failed payload with code and text" "$LOG" '^failed: TessoraOndelDemo\.8bf \(error 5: .+\)$'
e2e_has_line "log: results" "$LOG" '^result: installed; exit code 0$'
e2e_has_line "log: failure result" "$LOG" '^result: 1 plug-in\(s\) not written; exit code 3$'

# /D= without /S: the dialog lists the folder as the browsed entry and selects it.
e2e_start_setup "/D=$WIN_ROOT\\Chosen"
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || e2e_fail "no dialog for /D="
e2e_expect_eq "/D= preselected in the dialog" \
  "$(printf 'C:\\%s\\Host\\Plug-Ins\\Veltrane\\\n*C:\\%s\\Chosen\\\n******** BROWSE ********' "$NAME" "$NAME")" \
  "$(e2e_window_probe entries)"
# A second copy with /S while the dialog is open.
"$WINE" "$E2E_SETUP" /S >/dev/null 2>&1
e2e_expect_eq "/S while the dialog is open: exit code 4" "4" "$?"
e2e_key "$WINDOW" Escape
e2e_expect_eq "the dialog still ends with 0" "0" "$(e2e_setup_exit_code 20)"
e2e_finish
