#!/usr/bin/env bash
# ProbeReport.exe prints nothing on a machine without hosts, and on a machine with
# hosts of every probe kind one line per folder, in probe order, as the installer's
# drop-down shows it: "row<TAB>folder<TAB>architecture" with the maker's sub-folder
# appended. Today's 64-bit host is seeded in the 64-bit registry view, the others in
# the build's own, so both builds must read both views to find them all. The
# smoke form runs only the report on the seeded machine.
. "$(dirname "$0")/lib.sh" "$@"

REPORT="$E2E_BUILD/ProbeReport.exe"
BASE="$E2E_DRIVE_C/Probes"
ULEAD_INI="$E2E_DRIVE_C/windows/ulead32.ini"
SHARED_CC="$E2E_COMMON_FILES/Adobe/Plug-Ins/CC"
SEEDED_KEYS=(
  'HKCU\Software\Veltrane' 'HKCU\Software\Adobe' 'HKLM\Software\Microsoft\PhotoDraw'
  'HKU\.DEFAULT\Software\iGrafx' 'HKCR\Photoshop.PlugIn' 'HKCR\Fireworks.Doc.4'
  'HKCR\CorelPhotoPaint.Image.9' 'HKCR\PI3.Image' 'HKCR\PainterFile'
  'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe'
)
cleanup() {
  local key
  for key in "${SEEDED_KEYS[@]}"; do e2e_reg_delete "$key"; done
  e2e_reg64_delete 'HKLM\SOFTWARE\Adobe'
  rm -rf "$BASE" "$ULEAD_INI" "$E2E_COMMON_FILES/Adobe"
}
trap cleanup EXIT

# run_report: the report's whole standard output (trailing line ends kept) and exit code.
run_report() {
  REPORT_OUT=$("$WINE" "$REPORT" 2>/dev/null; echo "rc=$?")
}
# expected LINE...: the lines as the report writes them, each ended by CR LF.
expected() { printf '%s\r\n' "$@"; echo "rc=0"; }

if [ -z "$E2E_SMOKE" ]; then
  run_report
  e2e_expect_eq "no hosts: no output, exit code 0" "rc=0" "$REPORT_OUT"
fi

mkdir -p "$BASE/plug-ins/veltrane" "$BASE/Adobe/Plug-Ins" "$BASE/Office/photodraw/plugins" "$BASE/iGrafx/Plugins" \
  "$BASE/Fireworks 4/Filters" "$BASE/Corel/Programs" "$BASE/Corel/Config" "$BASE/Corel/Plugins" "$BASE/Ulead/Plugins" \
  "$BASE/PI3" "$BASE/Painter/Brushes" "$BASE/Painter6/Plugins"
# Rows 1 to 8: vendor registry subtrees under the three roots.
e2e_reg_sz 'HKCU\Software\Veltrane\Setup' PluginFolder 'C:\Probes\plug-ins\veltrane'
e2e_reg_sz 'HKCU\Software\Adobe\Photoshop\7.0' PluginPath 'C:\Probes\Adobe\Plug-Ins'
e2e_reg_sz 'HKLM\Software\Microsoft\PhotoDraw\2000' InstallDest 'C:\Probes\Office\'
e2e_reg_sz 'HKU\.DEFAULT\Software\iGrafx\Image\Settings' PlugInFolder '"C:\Probes\iGrafx\Plugins"'
e2e_reg_sz 'HKCU\Software\Adobe\Photoshop\7.0' Unrelated 'C:\Probes\Office'  # no plug-in name: ignored
# Row 9 finds row 2's folder again; it stays listed once, at row 2.
e2e_reg_sz 'HKCR\Photoshop.PlugIn\shell\open\command' '' '"C:\Probes\Adobe\Photoshp.exe" "%1"'
printf '[Paths]\r\nPluginDirectory=C:\\Probes\\Adobe\\Plug-Ins\r\n' >"$BASE/Adobe/Photoshop.ini"
e2e_reg_sz 'HKCR\Fireworks.Doc.4\shell\open\command' '' '"C:\Probes\Fireworks 4\Fireworks.exe" "%1"'
printf 'ExtraPhotoshopPlugins="C:\\Probes\\Fireworks 4\\Filters"\r\n' >"$BASE/Fireworks 4/Fireworks 4 Preferences.txt"
# Row 16: the settings file lies one folder above the program's.
e2e_reg_sz 'HKCR\CorelPhotoPaint.Image.9\shell\open\command' '' 'C:\Probes\Corel\Programs\photopnt.exe %1'
printf '[Dirs]\r\nDirs1=0,C:\\Probes\\Corel\\Plugins\r\n' >"$BASE/Corel/Config/PhotoPnt.ini"
printf '[Filters]\r\nPlugInDir=C:\\Probes\\Ulead\\Plugins\r\n' >"$ULEAD_INI"
# Row 19 lists the program folder itself when it has no "plugin" sub-folder.
e2e_reg_sz 'HKCR\PI3.Image\shell\open\command' '' '"C:\Probes\PI3\pi3.exe" "%1"'
e2e_reg_sz 'HKCR\PainterFile\shell\open\command' '' '"C:\Probes\Painter\Painter.exe" "%1"'
brushes='C:\Probes\Painter\Brushes'
# A path record: 0x80, the path's length, the path and a NUL, amid other bytes.
printf "head\\x80\\x$(printf %02x "${#brushes}")%s\\0tail" "$brushes" >"$BASE/Painter/painter.set"
e2e_reg_sz 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe' '' 'C:\Probes\Painter6\Painter6.exe'
# The architecture of each folder's host: the program a row follows (row 19 an x86
# one, row 21 an ARM64 one), else the plug-ins already in the folder (row 1's).
cp "$E2E_HOST_PROGRAMS/x86/Host.exe" "$BASE/PI3/pi3.exe"
cp "$E2E_HOST_PROGRAMS/arm64/Host.exe" "$BASE/Painter6/Painter6.exe"
cp "$E2E_DEMO_X64" "$BASE/plug-ins/Sharpen.8bf"
# Rows 23 and 24: today's 64-bit Photoshop in the 64-bit registry view, which the
# x86 build must read too, and the shared folder below the 64-bit Common Files.
mkdir -p "$BASE/PS2024/Plug-ins" "$SHARED_CC"
cp "$E2E_HOST_PROGRAMS/x64/Host.exe" "$BASE/PS2024/Photoshop.exe"
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop\180.0' ApplicationPath 'C:\Probes\PS2024\'

run_report
e2e_expect_eq "seeded hosts: one line per folder in probe order" "$(expected \
  $'1\tC:\\Probes\\Plug-Ins\\Veltrane\\\tx64' \
  $'2\tC:\\Probes\\Adobe\\Plug-Ins\\Veltrane\\\t-' \
  $'5\tC:\\Probes\\Office\\Photodraw\\Plugins\\Veltrane\\\t-' \
  $'8\tC:\\Probes\\Igrafx\\Plugins\\\t-' \
  $'12\tC:\\Probes\\Fireworks 4\\Filters\\Veltrane\\\t-' \
  $'16\tC:\\Probes\\Corel\\Plugins\\Veltrane\\\t-' \
  $'18\tC:\\Probes\\Ulead\\Plugins\\Veltrane\\\t-' \
  $'19\tC:\\Probes\\Pi3\\Veltrane\\\tx86' \
  $'20\tC:\\Probes\\Painter\\Brushes\\Veltrane\\\t-' \
  $'21\tC:\\Probes\\Painter6\\Plugins\\Veltrane\\\tarm64' \
  $'23\tC:\\Probes\\Ps2024\\Plug-Ins\\Veltrane\\\tx64' \
  $'24\tC:\\Program Files\\Common Files\\Adobe\\Plug-Ins\\Cc\\Veltrane\\\tx64')" "$REPORT_OUT"

[ -n "$E2E_SMOKE" ] && e2e_finish
cleanup
run_report
e2e_expect_eq "after clean-up: no output again" "rc=0" "$REPORT_OUT"
e2e_finish
