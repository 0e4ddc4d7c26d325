#!/usr/bin/env bash
# Deployment: /S /ALL puts each found host's build into every folder at once, /U
# takes back only files with a carried build's very bytes, and arguments that are
# not the installer's own no longer keep the dialog from starting.
. "$(dirname "$0")/lib.sh" "$@"

X86_ARM64="$E2E_BUILD/tests/e2e/setup_x86_arm64.exe"
ROOT="$E2E_DRIVE_C/Deploy"
LOG="$ROOT/setup.log"
REMOVAL_TITLE="Veltrane Plugins : Removal"
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  e2e_reg64_delete 'HKLM\SOFTWARE\Adobe'
  e2e_reg_delete 'HKCU\Software\Jasc'
  e2e_reg_delete 'HKCU\Software\Veltrane'
  e2e_reg_delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe'
  "$WINE" attrib -r 'C:\Deploy\Old\Plugins\Veltrane\TessoraOndelDemo.8bf' >/dev/null 2>&1
  rm -rf "$ROOT"
}
trap cleanup EXIT
mkdir -p "$ROOT"

read_only() { "$WINE" attrib "$1" "$(winepath_w "$2")" >/dev/null 2>&1; }

e2e_run "$E2E_SETUP" /S /ALL
e2e_expect_eq "/S /ALL with no host found: exit code 2" 2 "$RUN_EXIT"

# Three hosts: two 64-bit ones (today's Photoshop, and a host located by its App Paths
# entry) and an old one, whose folder holds a read-only old plug-in.
mkdir -p "$ROOT/PS/Plug-ins" "$ROOT/P6/Plugins" "$ROOT/Old/Plugins/Veltrane"
cp "$E2E_HOST_PROGRAMS/x64/Host.exe" "$ROOT/PS/Photoshop.exe"
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop\180.0' ApplicationPath 'C:\Deploy\PS\'
cp "$E2E_HOST_PROGRAMS/x64/Host.exe" "$ROOT/P6/Painter6.exe"
e2e_reg_sz 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe' '' 'C:\Deploy\P6\Painter6.exe'
e2e_reg_sz 'HKCU\Software\Jasc\Paint Shop Pro\7\PlugIns' Dir1 'C:\Deploy\Old\Plugins'
OLD="$ROOT/Old/Plugins/Veltrane/TessoraOndelDemo.8bf"
echo "old plug-in" >"$OLD"
read_only +r "$OLD"

e2e_run "$E2E_SETUP" /S /ALL "/LOG=C:\\Deploy\\setup.log"
e2e_expect_eq "/S /ALL with a read-only old plug-in: exit code 3" 3 "$RUN_EXIT"
cmp -s "$E2E_DEMO_X64" "$ROOT/PS/Plug-ins/Veltrane/TessoraOndelDemo.8bf" && echo "ok: Photoshop got the x64 build" ||
  e2e_fail "Photoshop's folder lacks the x64 build"
cmp -s "$E2E_DEMO_X64" "$ROOT/P6/Plugins/Veltrane/TessoraOndelDemo.8bf" && echo "ok: the other 64-bit host too" ||
  e2e_fail "the App Paths host's folder lacks the x64 build"
e2e_expect_eq "the read-only old plug-in is kept" "old plug-in" "$(cat "$OLD")"
LOG_TEXT=$(tr -d '\r' <"$LOG")
for pattern in '^folder 1: C:\\Deploy\\Old\\Plugins\\Veltrane\\$' '^folder 2: C:\\Deploy\\P6\\Plugins\\Veltrane\\$' \
  '^folder 3: C:\\Deploy\\Ps\\Plug-Ins\\Veltrane\\$' '^target architecture: x64 \(host program\); plug-in set: x64$' \
  '^failed: TessoraOndelDemo\.8bf \(error 5: ' '^result: 1 folder\(s\) did not get every plug-in; exit code 3$'; do
  grep -qE "$pattern" <<<"$LOG_TEXT" && echo "ok: log: $pattern" || e2e_fail "log lacks /$pattern/:\n$LOG_TEXT"
done

read_only -r "$OLD"
e2e_run "$E2E_SETUP" /S /ALL
e2e_expect_eq "/S /ALL once the old plug-in may be replaced: exit code 0" 0 "$RUN_EXIT"
cmp -s "$E2E_DEMO" "$OLD" && echo "ok: the old host got the x86 build" || e2e_fail "the old host lacks the x86 build"
e2e_reg_delete 'HKCU\Software\Jasc'
# Exit code 5 is also what a crash gives (0xC0000005 & 0xFF), so the log must say it.
rm -f "$ROOT/arm64.log"
e2e_run "$X86_ARM64" /S /ALL "/LOG=C:\\Deploy\\arm64.log"
e2e_expect_eq "/S /ALL with only 64-bit hosts and no x64 build: exit code 5" 5 "$RUN_EXIT"
if [ ! -f "$ROOT/arm64.log" ]; then
  e2e_fail "the installer never ran as far as its log (exit $RUN_EXIT): Wine did not start it"
else
  expected='^result: no listed folder.s image editor loads a build this installer carries; exit code 5$'
  grep -qE "$expected" <(tr -d '\r' <"$ROOT/arm64.log") && echo "ok: log: $expected" ||
    e2e_fail "log lacks /$expected/:\n$(tr -d '\r' <"$ROOT/arm64.log")"
fi
e2e_reg_sz 'HKCU\Software\Jasc\Paint Shop Pro\7\PlugIns' Dir1 'C:\Deploy\Old\Plugins'

# /U: Photoshop's folder holds the carried bytes, the other 64-bit host's a modified
# copy, the old host's a read-only carried copy, the /D= folder an unrelated plug-in.
echo "changed" >>"$ROOT/P6/Plugins/Veltrane/TessoraOndelDemo.8bf"
read_only +r "$OLD"
mkdir -p "$ROOT/Loose/Veltrane"
echo "someone else's filter" >"$ROOT/Loose/Veltrane/Unrelated.8bf"
e2e_run "$E2E_SETUP" /S /U "/LOG=C:\\Deploy\\removal.log" "/D=C:\\Deploy\\Loose\\Veltrane"
e2e_expect_eq "/S /U with a read-only carried copy: exit code 3" 3 "$RUN_EXIT"
[ ! -e "$ROOT/PS/Plug-ins/Veltrane" ] && echo "ok: the carried copy and its emptied maker folder are gone" ||
  e2e_fail "Photoshop's Veltrane folder is still there: $(ls -A "$ROOT/PS/Plug-ins/Veltrane")"
e2e_expect_eq "the Plug-ins folder itself stays" "" "$(ls -A "$ROOT/PS/Plug-ins")"
test -f "$ROOT/P6/Plugins/Veltrane/TessoraOndelDemo.8bf" && echo "ok: the modified copy is kept" ||
  e2e_fail "the modified copy was removed"
cmp -s "$E2E_DEMO" "$OLD" && echo "ok: the read-only copy is not removed" || e2e_fail "the read-only copy is gone"
e2e_expect_eq "the unrelated plug-in stays" "Unrelated.8bf" "$(ls "$ROOT/Loose/Veltrane")"
LOG_TEXT=$(tr -d '\r' <"$ROOT/removal.log")
for pattern in '^removed: C:\\Deploy\\Ps\\Plug-Ins\\Veltrane\\TessoraOndelDemo\.8bf$' \
  '^kept: C:\\Deploy\\P6\\Plugins\\Veltrane\\TessoraOndelDemo\.8bf \(other contents\)$' \
  '^not removed: C:\\Deploy\\Old\\Plugins\\Veltrane\\TessoraOndelDemo\.8bf \(error 5: ' \
  '^removed folder: C:\\Deploy\\Ps\\Plug-Ins\\Veltrane\\$' '^result: 1 file\(s\) not removed; exit code 3$'; do
  grep -qE "$pattern" <<<"$LOG_TEXT" && echo "ok: log: $pattern" || e2e_fail "log lacks /$pattern/:\n$LOG_TEXT"
done
read_only -r "$OLD"

# /U without /S: nothing goes before OK; Cancel changes nothing, OK removes.
e2e_start_setup /U
BOX=$(e2e_wait_window "$REMOVAL_TITLE" 60) || e2e_fail "no question for /U"
e2e_key "$BOX" Escape
e2e_expect_eq "/U cancelled: exit code 0" 0 "$(e2e_setup_exit_code 20)"
test -f "$OLD" && echo "ok: Cancel removed nothing" || e2e_fail "Cancel removed the old host's plug-in"
e2e_start_setup /U
BOX=$(e2e_wait_window "$REMOVAL_TITLE" 60) || e2e_fail "no question for /U"
e2e_key "$BOX" Return
e2e_wait_for 20 bash -c '[ ! -e "$0" ]' "$OLD" && echo "ok: OK removed it" || e2e_fail "OK did not remove the plug-in"
BOX=$(e2e_wait_window "$REMOVAL_TITLE" 60) || e2e_fail "no result after OK"
e2e_key "$BOX" Return
e2e_expect_eq "/U answered: exit code 0" 0 "$(e2e_setup_exit_code 20)"

# A maker's folder that discovery itself entered (a value names it) is emptied and
# removed too: no test of a folder leaves it the current directory.
mkdir -p "$ROOT/Own/Veltrane"
cp "$E2E_DEMO" "$ROOT/Own/Veltrane/"
e2e_reg_sz 'HKCU\Software\Veltrane\Deploy' PluginDir 'C:\Deploy\Own\Veltrane'
e2e_run "$E2E_SETUP" /S /U
e2e_expect_eq "/S /U of a folder discovery entered: exit code 0" 0 "$RUN_EXIT"
[ ! -e "$ROOT/Own/Veltrane" ] && echo "ok: the entered maker folder is removed" || e2e_fail "$ROOT/Own/Veltrane stays"

# Arguments that are not the installer's switches: the dialog starts; with /S, exit code 1.
for line in foo /X; do
  e2e_start_setup "$line"
  WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) && echo "ok: '$line' opens the dialog" || e2e_fail "no dialog for '$line'"
  e2e_key "$WINDOW" Escape
  e2e_expect_eq "'$line' ends with 0" 0 "$(e2e_setup_exit_code 20)"
done
e2e_run "$E2E_SETUP" /S foo
e2e_expect_eq "/S foo: exit code 1" 1 "$RUN_EXIT"
e2e_finish
