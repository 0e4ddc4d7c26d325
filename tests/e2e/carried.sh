#!/usr/bin/env bash
# Plug-ins carried compressed and stored: an installer that carries real DLLs in an
# x86 and an x64 build writes every file byte for byte, /U recognises them (and keeps
# one changed in its last byte), the installer stays within 0.62 times their size
# plus 100 KB, and a copy with one byte changed inside a compressed plug-in writes
# nothing, neither with /S (exit code 3) nor from the dialog, which offers only Cancel.
. "$(dirname "$0")/lib.sh" "$@"

SETUP="$E2E_BUILD/tests/e2e/setup_carried.exe"
FILES="$E2E_BUILD/tests/e2e/real_dlls"
NAME="Carried$$"
ROOT="$E2E_DRIVE_C/$NAME"
WIN_ROOT="C:\\$NAME"
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  rm -rf "${ROOT:?}"
}
trap cleanup EXIT
mkdir -p "$ROOT"
listing() { ls -A "$1" | paste -sd'|'; }

raw=0
for file in "$FILES"/*/*; do raw=$((raw + $(stat -c %s "$file"))); done
size=$(stat -c %s "$SETUP")
if [ "$size" -le $((raw * 62 / 100 + 102400)) ]; then
  echo "ok: the installer, $size bytes, carries $raw bytes of plug-ins within 0.62 of them plus 100 KB"
else
  e2e_fail "the installer is $size bytes for $raw bytes of plug-ins: more than 0.62 of them plus 100 KB"
fi

# Each build of the plug-ins, written byte for byte; then taken back by /U.
for set in x86 x64; do
  "$WINE" "$SETUP" /S "/ARCH=$set" "/D=$WIN_ROOT\\$set" >/dev/null 2>&1
  e2e_expect_eq "/S /ARCH=$set: exit code 0" 0 $?
  e2e_expect_eq "the $set set and nothing else" "$(listing "$FILES/$set")" "$(listing "$ROOT/$set")"
  for file in "$FILES/$set"/*; do
    cmp -s "$file" "$ROOT/$set/${file##*/}" && echo "ok: $set ${file##*/} byte for byte" ||
      e2e_fail "$set ${file##*/} differs from the carried file"
  done
done
# The same length, one byte other at the very end: found only by the last block compared.
changed="$ROOT/x64/Big Filter.8bf"
printf '\x5a' | dd of="$changed" bs=1 seek=$(($(stat -c %s "$changed") - 1)) conv=notrunc status=none
"$WINE" "$SETUP" /S /U "/D=$WIN_ROOT\\x86" >/dev/null 2>&1
e2e_expect_eq "/S /U of the x86 set: exit code 0" 0 $?
"$WINE" "$SETUP" /S /U "/D=$WIN_ROOT\\x64" >/dev/null 2>&1
e2e_expect_eq "/S /U of the x64 set: exit code 0" 0 $?
e2e_expect_eq "/U took the x86 set" "" "$(listing "$ROOT/x86")"
e2e_expect_eq "/U kept the changed plug-in only" "Big Filter.8bf" "$(listing "$ROOT/x64")"

# A damaged copy: one byte changed inside the compressed x86 "Big Filter.8bf", found
# by its carried header (resources/payload_types.h) recording the file's length.
DAMAGED="$ROOT/damaged.exe"
cp "$SETUP" "$DAMAGED"
length=$(stat -c %s "$FILES/x86/Big Filter.8bf")
header=
for at in $(grep -obUa VCF1 "$DAMAGED" | cut -d: -f1); do
  method=$(od -An -tu4 -j $((at + 4)) -N4 "$DAMAGED" | tr -d ' ')
  recorded=$(od -An -tu4 -j $((at + 8)) -N4 "$DAMAGED" | tr -d ' ')
  [ "$method" = 1 ] && [ "$recorded" = "$length" ] && header=$at && break
done
[ -n "$header" ] || { e2e_fail "no compressed x86 Big Filter.8bf found in the installer"; e2e_finish; }
at=$((header + 20 + 100000))
byte=$(od -An -tu1 -j "$at" -N1 "$DAMAGED" | tr -d ' ')
printf "\\$(printf '%03o' $((byte ^ 0x41)))" | dd of="$DAMAGED" bs=1 seek="$at" conv=notrunc status=none

mkdir -p "$ROOT/Old"
echo "old big filter" >"$ROOT/Old/Big Filter.8bf"
echo "old small filter" >"$ROOT/Old/Small Filter.8bf"
cp -r "$ROOT/Old" "$ROOT/Before"
"$WINE" "$DAMAGED" /S "/LOG=$WIN_ROOT\\setup.log" "/D=$WIN_ROOT\\Old" >/dev/null 2>&1
e2e_expect_eq "/S with a damaged installer: exit code 3" 3 $?
diff -r "$ROOT/Before" "$ROOT/Old" >/dev/null && echo "ok: /S changed nothing in the folder" ||
  e2e_fail "the damaged installer changed the folder: $(listing "$ROOT/Old")"
LOG=$(tr -d '\r' <"$ROOT/setup.log")
for pattern in '^failed: Big Filter\.8bf \(the installer is damaged; download it again\)$' \
  '^result: 1 plug-in\(s\) not written; exit code 3$'; do
  grep -qE "$pattern" <<<"$LOG" && echo "ok: log: $pattern" || e2e_fail "log lacks /$pattern/ in:\n$LOG"
done

E2E_SETUP="$DAMAGED"
e2e_start_setup "/D=$WIN_ROOT\\Old"
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || { e2e_fail "no dialog"; e2e_finish; }
e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button was never drawn"
e2e_click "$WINDOW" $(e2e_at "$E2E_AT_INSTALL")
e2e_wait_for 20 e2e_window_probe_ok message || e2e_fail "no message after Install"
e2e_expect_eq "the message names the file and offers Cancel alone" \
  "$(printf 'text: Setup could not write these plug-ins into the folder|C:\\%s\\Old\\||Big Filter.8bf: the installer is damaged; download it again.||Nothing was written: the folder is as it was.\nbutton: Cancel' "$NAME")" \
  "$(e2e_window_probe message)"
"$WINE" "$E2E_WINDOW_PROBE" dismiss "$E2E_TITLE" >/dev/null 2>&1
e2e_wait_for 20 bash -c '! "$0" "$1" message "$2" >/dev/null 2>&1' "$WINE" "$E2E_WINDOW_PROBE" "$E2E_TITLE" ||
  e2e_fail "the message stayed"
e2e_key "$WINDOW" Escape
e2e_expect_eq "the dialog ends with 0" 0 "$(e2e_setup_exit_code 20)"
diff -r "$ROOT/Before" "$ROOT/Old" >/dev/null && echo "ok: the dialog changed nothing in the folder" ||
  e2e_fail "the damaged installer's dialog changed the folder: $(listing "$ROOT/Old")"
e2e_finish
