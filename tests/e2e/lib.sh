# Sourced by every end-to-end test script. Arguments of the script: the build
# folder and the architecture (x86 or x64). Provides registry seeding with the
# tool of the build's own bitness, waiting with timeouts, and window helpers.
set -u
E2E_BUILD=$1
E2E_ARCH=$2
shift 2
: "${WINE:?run through scripts/test}" "${WINEPREFIX:?}" "${DISPLAY:?}"

# A third argument "smoke" asks for the script's smoke form: only the few program
# starts that show the build working end to end (scripts/x86-route.sh).
E2E_SMOKE=
if [ "${1:-}" = smoke ]; then
  E2E_SMOKE=1
  shift
fi

# A 32-bit build reads the 32-bit registry view: seed it with the 32-bit reg.exe.
# Where 32-bit programs run only emulated (a minute per start), the 64-bit reg.exe
# writes the same view with /reg:32.
E2E_VIEW=
if [ "$E2E_ARCH" = x86 ] && [ "${VELTRANE_X86_ROUTE:-native}" = emulated ]; then
  E2E_REG='C:\windows\system32\reg.exe'
  E2E_VIEW=/reg:32
elif [ "$E2E_ARCH" = x86 ]; then
  E2E_REG='C:\windows\syswow64\reg.exe'
  E2E_REGEDIT='C:\windows\syswow64\regedit.exe'
else
  E2E_REG='C:\windows\system32\reg.exe'
  E2E_REGEDIT='C:\windows\regedit.exe'
fi
E2E_DRIVE_C="$WINEPREFIX/drive_c"
E2E_FAILURES=0

e2e_fail() { echo "FAIL: $*" >&2; E2E_FAILURES=$((E2E_FAILURES + 1)); }
e2e_expect_eq() {  # description expected actual
  if [ "$2" != "$3" ]; then e2e_fail "$1: expected [$2], got [$3]"; else echo "ok: $1"; fi
}
e2e_finish() {
  if [ "$E2E_FAILURES" -ne 0 ]; then echo "$E2E_FAILURES check(s) failed" >&2; exit 1; fi
  exit 0
}

# shellcheck disable=SC2086
e2e_reg() { "$WINE" "$E2E_REG" "$@" $E2E_VIEW >/dev/null 2>&1; }
# e2e_reg_sz KEY NAME DATA: a REG_SZ value (NAME "" = the key's default value).
e2e_sz_with() {  # REG_FUNCTION KEY NAME DATA
  local reg=$1
  shift
  if [ -z "$2" ]; then "$reg" add "$1" /ve /t REG_SZ /d "$3" /f; else "$reg" add "$1" /v "$2" /t REG_SZ /d "$3" /f; fi
}
e2e_reg_sz() { e2e_sz_with e2e_reg "$@"; }
e2e_reg_delete() { e2e_reg delete "$1" /f; }
# e2e_reg64_sz / e2e_reg64_delete: the same in the 64-bit view, where today's 64-bit
# hosts register, whatever the build (the 64-bit reg.exe; fast under emulation too).
e2e_reg64() { "$WINE" 'C:\windows\system32\reg.exe' "$@" /reg:64 >/dev/null 2>&1; }
e2e_reg64_sz() { e2e_sz_with e2e_reg64 "$@"; }
e2e_reg64_delete() { e2e_reg64 delete "$1" /f; }
# e2e_regedit FILE.reg: imports a .reg file into the build's own view.
e2e_regedit() {
  if [ -n "$E2E_VIEW" ]; then
    e2e_reg import "$(winepath_w "$1")"
  else
    "$WINE" "$E2E_REGEDIT" /S "$(winepath_w "$1")" >/dev/null 2>&1
  fi
}

# The Windows form of a Linux path inside the prefix, and back.
winepath_w() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# e2e_wait_for TIMEOUT_SECONDS COMMAND...: polls the command until it succeeds.
e2e_wait_for() {
  local timeout=$1 deadline
  shift
  deadline=$(($(date +%s%N) / 1000000 + timeout * 1000))
  until "$@"; do
    [ $(($(date +%s%N) / 1000000)) -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# e2e_window TITLE: the X window id of the first visible window with that title.
e2e_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
# e2e_wait_window TITLE TIMEOUT: waits until such a window exists; prints its id.
e2e_wait_window() {

  e2e_wait_for "$2" bash -c '[ -n "$(xdotool search --onlyvisible --name "^$0\$" 2>/dev/null)" ]' "$1" || return 1
  e2e_window "$1"
}
# Under a bare Xvfb there is no window manager: the X window is the client area,
# so these coordinates are client coordinates.
e2e_click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# Keys go to the X focus, which a bare Xvfb leaves at the pointer root: focus first.
e2e_key() { xdotool windowfocus "$1" 2>/dev/null; xdotool key "$2"; }
e2e_screenshot() { import -window "$1" "$2"; }
# The pointer parked in the screen's bottom-right corner, outside every dialog (which
# opens centred) and away from the test windows the skin's tests open at the top
# left: no hover text, and a bare Xvfb gives no window the focus.
e2e_park_pointer() { xdotool mousemove 1279 1023; }

# e2e_expect_reference WINDOW NAME SHOT: waits up to 10 s for the window to show,
# pixel for pixel, the reference image tests/e2e/reference/NAME.png; the last
# screenshot taken is kept as SHOT either way.
E2E_REFERENCES="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/reference"
e2e_differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1; }  # IMAGE IMAGE
e2e_shows() { import -window "$1" "$3" 2>/dev/null && [ "$(e2e_differing_pixels "$2" "$3")" = 0 ]; }
e2e_expect_reference() {
  local reference="$E2E_REFERENCES/$2.png"
  if e2e_wait_for 10 e2e_shows "$1" "$reference" "$3"; then
    echo "ok: $2 as its reference image"
  else
    e2e_fail "$2: $(e2e_differing_pixels "$reference" "$3") pixels differ from $reference (screenshot: $3)"
  fi
}

# e2e_pixel WINDOW X Y: "r g b" (0 to 255) of one client pixel, read from a screenshot.
e2e_pixel() {
  import -window "$1" png:- 2>/dev/null |
    convert - -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info: 2>/dev/null
}
# e2e_is_yellow WINDOW X Y: the skin's yellow button face stands at that pixel.
e2e_is_yellow() {
  local r g b
  read -r r g b <<<"$(e2e_pixel "$@")"
  [ -n "$b" ] && [ "$r" -gt 200 ] && [ "$b" -lt 170 ]
}
e2e_not_yellow() { ! e2e_is_yellow "$@"; }

# The installer and what reads its window from outside.
E2E_SETUP="$E2E_BUILD/VeltraneSetup.exe"
E2E_WINDOW_PROBE="$E2E_BUILD/tests/app/window_probe.exe"
E2E_DEMO="$E2E_BUILD/resources/payload/x86/TessoraOndelDemo.8bf"
E2E_DEMO_X64="$E2E_BUILD/resources/payload/x64/TessoraOndelDemo.8bf"
# Host programs whose PE headers say x86, x64 and ARM64 (tests/e2e/architectures.cmake).
E2E_HOST_PROGRAMS="$E2E_BUILD/tests/e2e/hosts"
E2E_COMMON_FILES="$E2E_DRIVE_C/Program Files/Common Files"  # the 64-bit one
E2E_TITLE="Veltrane Plugins : Installation"
# e2e_window_probe WHAT: window_probe's answer about the installer's window, without CRs.
e2e_window_probe() { "$WINE" "$E2E_WINDOW_PROBE" "$1" "$E2E_TITLE" 2>/dev/null | tr -d '\r'; }
# e2e_access: the installer's window as a screen reader reads it from another
# process, one line per element: ROLE<TAB>NAME<TAB>STATES (the dialog first).
E2E_ACCESS_PROBE="$E2E_BUILD/tests/app/accessibility_probe.exe"
e2e_access() { "$WINE" "$E2E_ACCESS_PROBE" "$E2E_TITLE" 2>/dev/null | tr -d '\r'; }
# e2e_focused_is NAME: the element with the keyboard focus has that name.
e2e_focused_is() { [ "$(e2e_access | awk -F'\t' '$3 ~ /focused/ {print $2}')" = "$1" ]; }
# e2e_same_region WINDOW IMAGE X Y W H: the window shows the image's pixels there.
e2e_same_region() {
  import -window "$1" "$E2E_REGION_SHOT" 2>/dev/null &&
    convert "$E2E_REGION_SHOT" -crop "$5x$6+$3+$4" +repage "$E2E_REGION_SHOT" &&
    convert "$2" -crop "$5x$6+$3+$4" +repage "$E2E_REGION_EXPECTED" &&
    [ "$(e2e_differing_pixels "$E2E_REGION_EXPECTED" "$E2E_REGION_SHOT")" = 0 ]
}
E2E_REGION_SHOT=$(mktemp --suffix=.png)
E2E_REGION_EXPECTED=$(mktemp --suffix=.png)

# e2e_start_setup ARGS...: starts the installer in the background; its exit code
# lands in $E2E_SETUP_EXIT_FILE when it ends.
E2E_SETUP_EXIT_FILE=$(mktemp)
e2e_start_setup() {
  rm -f "$E2E_SETUP_EXIT_FILE"
  ("$WINE" "$E2E_SETUP" "$@" >/dev/null 2>&1; echo $? >"$E2E_SETUP_EXIT_FILE") &
  E2E_SETUP_PID=$!
}
e2e_setup_ended() { [ -s "$E2E_SETUP_EXIT_FILE" ]; }
# e2e_setup_exit_code TIMEOUT: waits for the installer to end and prints its exit code.
e2e_setup_exit_code() {
  e2e_wait_for "$1" e2e_setup_ended || { echo timeout; return 1; }
  cat "$E2E_SETUP_EXIT_FILE"
}
# e2e_run PROGRAM ARGS...: a program (an installer) to its end; its exit code in RUN_EXIT.
e2e_run() {
  "$WINE" "$1" "${@:2}" >/dev/null 2>&1
  RUN_EXIT=$?
}
# e2e_has_line DESCRIPTION TEXT PATTERN: a line of TEXT (a log, a report) matches.
e2e_has_line() {
  grep -qE "$3" <<<"$2" && echo "ok: $1" || e2e_fail "$1: no /$3/ in:\n$2"
}

# The dialog's places, in client pixels at 96 DPI: "X Y" of the Install button (where
# its yellow face stands), the finish button, and two points of the selector (a
# second press 8 pixels from the first is no double click); Install with its focus
# cue's frame, "X Y W H".
E2E_AT_INSTALL="256 245"
E2E_AT_FINISH="170 220"
E2E_AT_SELECTOR="232 12"
E2E_AT_SELECTOR_AGAIN="240 20"
E2E_INSTALL_RING="247 238 64 26"
# e2e_at "X Y" [DPI]: that place at the DPI (96 when not given), for e2e_click and
# e2e_is_yellow: e2e_click "$WINDOW" $(e2e_at "$E2E_AT_INSTALL" 192).
e2e_at() {
  local x y dpi=${2:-96}
  read -r x y <<<"$1"
  echo "$(((x * dpi + 48) / 96)) $(((y * dpi + 48) / 96))"
}
# e2e_open_dialog ARGS...: starts the installer and waits until its skin has painted
# the Install button; the window in WINDOW.
e2e_open_dialog() {
  e2e_park_pointer
  e2e_start_setup "$@"
  WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) || { e2e_fail "no dialog"; e2e_finish; }
  e2e_wait_for 10 e2e_is_yellow "$WINDOW" $(e2e_at "$E2E_AT_INSTALL") || e2e_fail "the install button was never drawn"
}

# e2e_window_probe_ok WHAT: window_probe finds what it is asked about.
e2e_window_probe_ok() { "$WINE" "$E2E_WINDOW_PROBE" "$1" "$E2E_TITLE" >/dev/null 2>&1; }
