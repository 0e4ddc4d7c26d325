# A full volume: a 64 KB tmpfs given a drive letter in the prefix, holding an old
# demo plug-in and the temporary file of a killed run. The probe installs a small
# plug-in and the 212,992-byte demo onto it. The leftover is removed and the small
# one written; the demo cannot be, and the old one must stay byte for byte, with no
# temporary file left and the failure recorded as a full disk. Mounting needs root:
# elsewhere the test says so and is skipped.
. "$(dirname "$0")/lib.sh" "$@"

PROBE="$E2E_BUILD/tests/install/payload_install_probe.exe"
[ -f "$PROBE" ] || { e2e_fail "no $PROBE"; e2e_finish; }

VOLUME=$(mktemp -d "$(cd "$E2E_BUILD" && pwd)/full-volume.XXXXXX")  # absolute: a symlink's target
LETTER=
cleanup() {
  [ -n "$LETTER" ] && rm -f "$WINEPREFIX/dosdevices/$LETTER:"
  mountpoint -q "$VOLUME" && umount "$VOLUME"
  rmdir "$VOLUME" 2>/dev/null
}
trap cleanup EXIT

if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=64k tmpfs "$VOLUME" 2>/dev/null; then
  echo "SKIPPED: mounting a 64 KB tmpfs was refused (this needs root); the full-volume case is not tested here"
  exit 77
fi
for candidate in t u v w x y; do
  if [ ! -e "$WINEPREFIX/dosdevices/$candidate:" ]; then LETTER=$candidate; break; fi
done
[ -n "$LETTER" ] || { e2e_fail "no free drive letter in the prefix"; e2e_finish; }
ln -s "$VOLUME" "$WINEPREFIX/dosdevices/$LETTER:"
DRIVE=$(echo "$LETTER" | tr a-z A-Z)

head -c 4096 /dev/urandom >"$VOLUME/TessoraOndelDemo.8bf"
# What a run killed while writing left behind: it fills most of the volume, so the
# small plug-in fits only once the next install has removed it.
head -c 57344 /dev/zero >"$VOLUME/~VeltraneSetup-partial-0001869F-00000001.tmp"
cp "$VOLUME/TessoraOndelDemo.8bf" "$E2E_BUILD/full-volume-old.8bf"

said=$("$WINE" "$PROBE" "$DRIVE:\\" 2>/dev/null | tr -d '\r'; exit "${PIPESTATUS[0]}")
status=$?

e2e_expect_eq "failures reported" 1 "$status"
e2e_expect_eq "failure record" "$(printf 'TessoraOndelDemo.8bf\t112\tdisk-full')" "$said"
if cmp -s "$VOLUME/TessoraOndelDemo.8bf" "$E2E_BUILD/full-volume-old.8bf"; then
  echo "ok: the old plug-in is byte for byte as it was"
else
  e2e_fail "the old plug-in changed"
fi
e2e_expect_eq "files on the volume" "Small Filter.8bf|TessoraOndelDemo.8bf" "$(ls -A "$VOLUME" | paste -sd'|')"
rm -f "$E2E_BUILD/full-volume-old.8bf"
e2e_finish
