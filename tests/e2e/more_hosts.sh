#!/usr/bin/env bash
# One machine with every host of the third wave: Paint Shop Pro X to X3 (three
# versions), PhotoImpact's ulead32.ini in the all-users application data, Photo-Brush
# (two versions), PhotoDemon's Data folder, and 32-bit hosts below HKLM\Software in
# the 32-bit registry view: Photoshop 7.0 (rows 1 to 8) and PhotoPlus (row 32), their
# folders expandable values in the 32-bit Program Files. Both builds list every
# folder with its row and architecture; an installer with both builds writes the x86
# one into a 32-bit-only host's folder.
. "$(dirname "$0")/lib.sh" "$@"

REPORT="$E2E_BUILD/ProbeReport.exe"
ROOT="$E2E_DRIVE_C/More"
windows_folder() { unix_path "$("$WINE" cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')"; }
PROGRAM_DATA=$(windows_folder ProgramData)
LOCAL_APPDATA=$(windows_folder LOCALAPPDATA)
PROGRAM_FILES_X86="$E2E_DRIVE_C/Program Files (x86)"
reg32() { "$WINE" 'C:\windows\system32\reg.exe' "$@" /reg:32 >/dev/null 2>&1; }
cleanup() {
  e2e_reg_delete 'HKCU\SOFTWARE\Corel'
  e2e_reg_delete 'HKCU\Software\MediaChance'
  reg32 delete 'HKLM\SOFTWARE\Adobe' /f
  reg32 delete 'HKLM\SOFTWARE\Serif' /f
  rm -rf "$ROOT" "$PROGRAM_DATA/Ulead Systems" "$LOCAL_APPDATA/PhotoDemon" "$PROGRAM_FILES_X86/Adobe/Photoshop 7.0" \
    "$PROGRAM_FILES_X86/Serif"
}
trap cleanup EXIT
cleanup
mkdir -p "$ROOT"

folder() { mkdir -p "$ROOT/$1"; }
# Paint Shop Pro X, X2 (12.5 too) and X3: numbered folders per version, up to the first missing number.
for place in 10/0 12.5/0 12.5/1 13/0 13/2; do
  folder "Psp${place%/*}-${place#*/}"
  e2e_reg_sz "HKCU\\SOFTWARE\\Corel\\Paint Shop Pro\\${place%/*}\\FileLocations\\PlugIns\\${place#*/}" Dir \
    "C:\\More\\Psp${place%/*}-${place#*/}"
done
# PhotoImpact: [PLUG IN] PLUGINDIR1, PLUGINDIR2, ... in the all-users application
# data; PLUGINDIR4 comes after the gap and is not read.
folder Pi1 && folder Pi2 && folder Pi4
mkdir -p "$PROGRAM_DATA/Ulead Systems"
printf '[PLUG IN]\r\nPLUGINDIR1=C:\\More\\Pi1\r\nPLUGINDIR2=C:\\More\\Pi2\r\nPLUGINDIR4=C:\\More\\Pi4\r\n' \
  >"$PROGRAM_DATA/Ulead Systems/ulead32.ini"
# Photo-Brush: one key per version; another product of its maker beside them.
for key in 'Photo-Brush 4' 'Photo-Brush 5' 'Photo-Reactor'; do
  folder "${key// /}" && e2e_reg_sz "HKCU\\Software\\MediaChance\\$key\\Plugins" Path "C:\\More\\${key// /}"
done
# PhotoDemon's Data folder in the local application data.
mkdir -p "$LOCAL_APPDATA/PhotoDemon/Data/8bfPlugins"
# 32-bit hosts in the machine's 32-bit view, with their 32-bit Program Files.
mkdir -p "$PROGRAM_FILES_X86/Adobe/Photoshop 7.0/Plug-Ins" "$PROGRAM_FILES_X86/Serif/PhotoPlus X5/Plugins"
reg32 add 'HKLM\SOFTWARE\Adobe\Photoshop\7.0' /v PluginPath /t REG_EXPAND_SZ \
  /d '%ProgramFiles%\Adobe\Photoshop 7.0\Plug-Ins' /f
reg32 add 'HKLM\SOFTWARE\Serif\PhotoPlus\X5\Directories' /v PluginRootDir /t REG_EXPAND_SZ \
  /d '%ProgramFiles%\Serif\PhotoPlus X5\Plugins' /f

EXPECTED=$(printf '%s\n' \
  "2	C:\\Program Files (X86)\\Adobe\\Photoshop 7.0\\Plug-Ins\\Veltrane\\	-" \
  "32	C:\\Program Files (X86)\\Serif\\Photoplus X5\\Plugins\\Veltrane\\	-" \
  "36	C:\\More\\Psp10-0\\Veltrane\\	x86" "36	C:\\More\\Psp12.5-0\\Veltrane\\	x86" \
  "36	C:\\More\\Psp12.5-1\\Veltrane\\	x86" "36	C:\\More\\Psp13-0\\Veltrane\\	x86" \
  "37	C:\\More\\Pi1\\Veltrane\\	x86" "37	C:\\More\\Pi2\\Veltrane\\	x86" \
  "38	C:\\More\\Photo-Brush4\\Veltrane\\	x86" "38	C:\\More\\Photo-Brush5\\Veltrane\\	x86" \
  "39	C:\\Users\\Root\\Appdata\\Local\\Photodemon\\Data\\8Bfplugins\\Veltrane\\	x86")
REPORT_TEXT=$("$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "the report lists every host's folders with their rows" "$EXPECTED" "$REPORT_TEXT"

# A 32-bit-only host gets the x86 build from an installer that carries both.
e2e_run "$E2E_SETUP" /S '/D=C:\More\Pi1\Veltrane'
e2e_expect_eq "PhotoImpact's folder: exit code 0" 0 "$RUN_EXIT"
cmp -s "$E2E_DEMO" "$ROOT/Pi1/Veltrane/TessoraOndelDemo.8bf" && echo "ok: the x86 build went into PhotoImpact's folder" ||
  e2e_fail "PhotoImpact's folder lacks the x86 build"
e2e_finish
