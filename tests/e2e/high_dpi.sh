#!/usr/bin/env bash
# The dialog on screens of 192 and 144 DPI: the client area grows by the factor, at
# 192 every artwork pixel is a 2 x 2 block of its 100 % pixel, text is drawn taller
# in a font made for the DPI, and clicks at scaled positions hit the same controls.
# Wine takes the DPI from LogPixels when its server starts, and the DPI is a setting
# of the whole Wine session: so the test runs in a session of its own, in a prefix
# of its own, whose server it restarts around each change of the DPI. The test
# command's session is left alone.
. "$(dirname "$0")/lib.sh" "$@"

DPI_PREFIX="$WINEPREFIX-dpi"
rm -rf "$DPI_PREFIX"
mkdir -p "$DPI_PREFIX"
export WINEPREFIX="$DPI_PREFIX"
wineserver -p >/dev/null 2>&1  # it outlives the commands: it must not hold their output open
"$WINE" wineboot -i >/dev/null 2>&1
E2E_DRIVE_C="$WINEPREFIX/drive_c"
NAME="Dpitest"
HOST="$E2E_DRIVE_C/$NAME/Host/Plug-Ins"
TARGET="$HOST/Veltrane/TessoraOndelDemo.8bf"
SHOTS="$E2E_BUILD/tests/e2e-shots"
REFERENCE="$E2E_REFERENCES/choosing-$E2E_ARCH.png"
set_dpi() {
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    "$WINE" 'C:\windows\system32\reg.exe' add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  done
  # The new server outlives the test's commands: it must not hold their output open.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  wineserver -p >/dev/null 2>&1
}
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  rm -rf "${DPI_PREFIX:?}"
}
trap cleanup EXIT
mkdir -p "$HOST" "$SHOTS"
e2e_reg_sz 'HKCU\Software\Veltrane\E2E dpi' Plugins "C:\\$NAME\\Host\\Plug-Ins"

# The height of the dark ink in a region of an image (the text line above the list).
ink_height() { convert "$1" -crop "$4x$5+$2+$3" +repage -colorspace Gray -threshold 40% -negate -trim -format %h info:; }
# scaled N: a 96-DPI coordinate at the DPI under test.
scaled() { echo $(( ($1 * DPI + 48) / 96 )); }
client_size() { xdotool getwindowgeometry "$WINDOW" | awk '/Geometry/ {print $2}'; }
# same_as_reference_scaled X Y W H: the region at 192 DPI is the 100 % region, each pixel doubled.
same_as_reference_doubled() {
  convert "$REFERENCE" -crop "$3x$4+$1+$2" +repage -scale 200% "$SHOTS/expected-$E2E_ARCH.png"
  convert "$SHOT" -crop "$(($3 * 2))x$(($4 * 2))+$(($1 * 2))+$(($2 * 2))" +repage "$SHOTS/actual-$E2E_ARCH.png"
  [ "$(e2e_differing_pixels "$SHOTS/expected-$E2E_ARCH.png" "$SHOTS/actual-$E2E_ARCH.png")" = 0 ]
}
text_height_96=$(ink_height "$REFERENCE" 6 186 300 20)
# text_taller: a screenshot of the window whose text line stands taller than at 96 DPI.
text_taller() {
  e2e_screenshot "$WINDOW" "$SHOT"
  height=$(ink_height "$SHOT" "$(scaled 6)" "$(scaled 186)" "$(scaled 300)" "$(scaled 20)" 2>/dev/null)
  [ "${height:-0}" -gt "$text_height_96" ]
}

for DPI in 192 144; do
  set_dpi "$DPI"
  e2e_park_pointer
  e2e_start_setup
  WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || { e2e_fail "no dialog at $DPI DPI"; continue; }
  e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL" "$DPI") || e2e_fail "no install button at $DPI DPI"
  e2e_expect_eq "client area at $DPI DPI" "$(scaled 383)x$(scaled 270)" "$(client_size)"
  SHOT="$SHOTS/choosing-$DPI-$E2E_ARCH.png"
  # The text line is drawn after the buttons in the same paint: wait for it.
  e2e_wait_for 10 text_taller && echo "ok: text $height pixels high at $DPI DPI, $text_height_96 at 96" ||
    e2e_fail "text at $DPI DPI is $height pixels high, not more than the $text_height_96 at 96"
  if [ "$DPI" = 192 ]; then
    same_as_reference_doubled 4 30 170 78 && echo "ok: the logo's pixels doubled" || e2e_fail "the logo at 192 DPI is not the 100 % logo doubled"
    same_as_reference_doubled 319 240 58 20 && echo "ok: the Cancel button's pixels doubled" || e2e_fail "the Cancel button at 192 DPI is not doubled"
    # The selector off and on again (a second press 8 pixels away, not a double click).
    e2e_click "$WINDOW" $(e2e_at "$E2E_AT_SELECTOR" "$DPI")
    e2e_wait_for 10 e2e_not_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL" "$DPI") || e2e_fail "a click on the selector at 192 DPI missed it"
    e2e_click "$WINDOW" $(e2e_at "$E2E_AT_SELECTOR_AGAIN" "$DPI")
    e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL" "$DPI") || e2e_fail "the selector did not come back on"
  fi
  e2e_click "$WINDOW" $(e2e_at "$E2E_AT_INSTALL" "$DPI")
  e2e_wait_for 20 test -f "$TARGET" && echo "ok: Install clicked at $DPI DPI" || e2e_fail "a click on Install at $DPI DPI installed nothing"
  e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_FINISH" "$DPI") || e2e_fail "no finish button at $DPI DPI"
  e2e_click "$WINDOW" $(e2e_at "$E2E_AT_FINISH" "$DPI")
  e2e_expect_eq "finish at $DPI DPI ends with 0" "0" "$(e2e_setup_exit_code 20)"
  rm -rf "$HOST/Veltrane"
done

# At 288 DPI the dialog fits the 1280 x 1024 screen only when placed there: it is
# centred on the work area, all of its client area on the screen.
DPI=288
set_dpi "$DPI"
e2e_start_setup
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || e2e_fail "no dialog at $DPI DPI"
read -r x y <<<"$(xdotool getwindowgeometry "$WINDOW" | awk '/Position/ {sub(",", " ", $2); print $2}')"
e2e_expect_eq "the client area at $DPI DPI on the screen, centred across" "1 1" \
  "$(( y >= 0 && y + $(scaled 270) <= 1024 )) $(( (2 * x + $(scaled 383) - 1280) ** 2 <= 64 ))"
e2e_key "$WINDOW" Escape
e2e_expect_eq "ends with 0 at $DPI DPI" 0 "$(e2e_setup_exit_code 20)"
e2e_finish
