#!/usr/bin/env bash
# One machine with every host of the third wave: Paint Shop Pro X to X3, PhotoImpact's
# ulead32.ini in the all-users application data, Photo-Brush, PhotoDemon, and 32-bit
# hosts in the machine's 32-bit registry view (Photoshop 7.0, PhotoPlus) whose
# folders are expandable values in the 32-bit Program Files. Both builds list them
# all; the x64 build lists a Photoshop of the 64-bit view before them.
. "$(dirname "$0")/lib.sh" "$@"

ROOT="$E2E_DRIVE_C/More"
X86_FILES="$E2E_DRIVE_C/Program Files (x86)"
windows_folder() { unix_path "$("$WINE" cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')"; }
PROGRAM_DATA=$(windows_folder ProgramData) LOCAL_APPDATA=$(windows_folder LOCALAPPDATA)
reg32() { "$WINE" 'C:\windows\system32\reg.exe' "$@" /reg:32 >/dev/null 2>&1; }
cleanup() {
  e2e_reg_delete 'HKCU\SOFTWARE\Corel'; e2e_reg_delete 'HKCU\Software\MediaChance'; e2e_reg64_delete 'HKLM\SOFTWARE\Adobe'
  reg32 delete 'HKLM\SOFTWARE\Adobe' /f; reg32 delete 'HKLM\SOFTWARE\Serif' /f
  rm -rf "$ROOT" "$PROGRAM_DATA/Ulead Systems" "$LOCAL_APPDATA/PhotoDemon" "$X86_FILES/Adobe" "$X86_FILES/Serif"
}
trap cleanup EXIT
mkdir -p "$ROOT"/{Psp10-0,Psp12.5-0,Psp13-0,Psp13-2,Pi1,Pi2,Pi4,Pb4,Pb5,Ps55} "$PROGRAM_DATA/Ulead Systems" \
  "$LOCAL_APPDATA/PhotoDemon/Data/8bfPlugins" "$X86_FILES/Adobe/Photoshop 7.0/Plug-Ins" "$X86_FILES/Serif/X5"
# Paint Shop Pro: numbered per version, up to the first number missing (13\1).
for place in 10/0 12.5/0 13/0 13/2; do
  e2e_reg_sz "HKCU\\SOFTWARE\\Corel\\Paint Shop Pro\\${place%/*}\\FileLocations\\PlugIns\\${place#*/}" Dir \
    "C:\\More\\Psp${place%/*}-${place#*/}"
done
# PhotoImpact: PLUGINDIR4 comes after the gap.
printf '[PLUG IN]\r\nPLUGINDIR1=C:\\More\\Pi1\r\nPLUGINDIR2=C:\\More\\Pi2\r\nPLUGINDIR4=C:\\More\\Pi4\r\n' \
  >"$PROGRAM_DATA/Ulead Systems/ulead32.ini"
e2e_reg_sz 'HKCU\Software\MediaChance\Photo-Brush 4\Plugins' Path 'C:\More\Pb4'
e2e_reg_sz 'HKCU\Software\MediaChance\Photo-Brush 5\Plugins' Path 'C:\More\Pb5'
reg32 add 'HKLM\SOFTWARE\Adobe\Photoshop\7.0' /v PluginPath /t REG_EXPAND_SZ /d '%ProgramFiles%\Adobe\Photoshop 7.0\Plug-Ins' /f
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop\5.5' PluginPath 'C:\More\Ps55'
reg32 add 'HKLM\SOFTWARE\Serif\PhotoPlus\X5\Directories' /v PluginRootDir /t REG_EXPAND_SZ /d '%ProgramFiles%\Serif\X5' /f

FIRST=()
[ "$E2E_ARCH" = x64 ] && FIRST=("2	C:\\More\\Ps55\\Veltrane\\	-")
EXPECTED=$(printf '%s\n' "${FIRST[@]}" "2	C:\\Program Files (X86)\\Adobe\\Photoshop 7.0\\Plug-Ins\\Veltrane\\	-" \
  "32	C:\\Program Files (X86)\\Serif\\X5\\Veltrane\\	-" "36	C:\\More\\Psp10-0\\Veltrane\\	x86" \
  "36	C:\\More\\Psp12.5-0\\Veltrane\\	x86" "36	C:\\More\\Psp13-0\\Veltrane\\	x86" \
  "37	C:\\More\\Pi1\\Veltrane\\	x86" "37	C:\\More\\Pi2\\Veltrane\\	x86" "38	C:\\More\\Pb4\\Veltrane\\	x86" \
  "38	C:\\More\\Pb5\\Veltrane\\	x86" "39	C:\\Users\\Root\\Appdata\\Local\\Photodemon\\Data\\8Bfplugins\\Veltrane\\	x86")
e2e_expect_eq "the report lists every host's folders with their rows" "$EXPECTED" \
  "$("$WINE" "$E2E_BUILD/ProbeReport.exe" 2>/dev/null | tr -d '\r')"
e2e_finish
