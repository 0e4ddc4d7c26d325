#!/usr/bin/env bash
# Plug-ins carried in the compressed stream: an installer that carries real DLLs in an
# x86 and an x64 build writes every file byte for byte, /U recognises them (and keeps
# one changed in its last byte), the installer stays within 0.3 times their size
# plus 100 KB, and a copy with one byte changed inside the stream writes nothing,
# neither with /S (exit code 3) nor from the dialog, which names every plug-in of the
# set as damaged and offers only Cancel.
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
if [ "$size" -le $((raw * 30 / 100 + 102400)) ]; then
  echo "ok: the installer, $size bytes, carries $raw bytes of plug-ins within 0.3 of them plus 100 KB"
else
  e2e_fail "the installer is $size bytes for $raw bytes of plug-ins: more than 0.3 of them plus 100 KB"
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

# A damaged copy: one byte changed inside the compressed stream, found by its header
# (resources/payload_types.h: the magic, the decoded length at 12, the index's length
# at 24; the compressed bytes follow the 32-byte header and the index). Every plug-in of the x86
# set is in the stream, so each is damaged.
DAMAGED="$ROOT/damaged.exe"
cp "$SETUP" "$DAMAGED"
header=
for at in $(grep -obUa VCS1 "$DAMAGED" | cut -d: -f1); do  # the one whose decoded length is every file's
  [ "$(od -An -tu4 -j $((at + 12)) -N4 "$DAMAGED" | tr -d ' ')" = "$raw" ] && header=$at && break
done
[ -n "$header" ] || { e2e_fail "no compressed stream found in the installer"; e2e_finish; }
index=$(od -An -tu4 -j $((header + 24)) -N4 "$DAMAGED" | tr -d ' ')
at=$((header + 32 + index + 100000))
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
  '^failed: Noise\.8bf \(the installer is damaged; download it again\)$' \
  '^failed: Small Filter\.8bf \(the installer is damaged; download it again\)$' \
  "^damaged: the stream's checksum$" '^result: 3 plug-in\(s\) not written; exit code 3$'; do
  grep -qE "$pattern" <<<"$LOG" && echo "ok: log: $pattern" || e2e_fail "log lacks /$pattern/ in:\n$LOG"
done

E2E_SETUP="$DAMAGED"
e2e_start_setup "/D=$WIN_ROOT\\Old"
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || { e2e_fail "no dialog"; e2e_finish; }
e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button was never drawn"
e2e_click "$WINDOW" $(e2e_at "$E2E_AT_INSTALL")
e2e_wait_for 20 e2e_window_probe_ok message || e2e_fail "no message after Install"
e2e_expect_eq "the message names the file and offers Cancel alone" \
  "$(printf 'text: Setup could not write these plug-ins into the folder|C:\\%s\\Old\\||%s||Nothing was written: the folder is as it was.\nbutton: Cancel' "$NAME" \
    'Big Filter.8bf: the installer is damaged; download it again.|Noise.8bf: the installer is damaged; download it again.|Small Filter.8bf: the installer is damaged; download it again.')" \
  "$(e2e_window_probe message)"
"$WINE" "$E2E_WINDOW_PROBE" dismiss "$E2E_TITLE" >/dev/null 2>&1
e2e_wait_for 20 bash -c '! "$0" "$1" message "$2" >/dev/null 2>&1' "$WINE" "$E2E_WINDOW_PROBE" "$E2E_TITLE" ||
  e2e_fail "the message stayed"
e2e_key "$WINDOW" Escape
e2e_expect_eq "the dialog ends with 0" 0 "$(e2e_setup_exit_code 20)"
diff -r "$ROOT/Before" "$ROOT/Old" >/dev/null && echo "ok: the dialog changed nothing in the folder" ||
  e2e_fail "the damaged installer's dialog changed the folder: $(listing "$ROOT/Old")"
e2e_finish
