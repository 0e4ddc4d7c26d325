#!/usr/bin/env bash
# One machine with every host of the second wave: Photoshop Elements, PaintShop Pro
# (two versions, two folders each), Paint.NET with PSFilterPdn (for all users, per
# user, and the folders of its settings file in both forms), GIMP with PSPI,
# PhotoLine, PhotoPlus, IrfanView (64-bit and 32-bit) and Affinity (2 and 3). The
# report lists each folder with its row and architecture; an installer without x64
# builds installs the x86 build into the bridged Paint.NET folder and refuses the
# Affinity one, and one with x64 builds writes x64 into both. Malformed settings
# files give nothing.
. "$(dirname "$0")/lib.sh" "$@"

REPORT="$E2E_BUILD/ProbeReport.exe"
X86_ARM64="$E2E_BUILD/tests/e2e/setup_x86_arm64.exe"
ROOT="$E2E_DRIVE_C/Today"
X64_HOST="$E2E_HOST_PROGRAMS/x64/Host.exe"
X86_HOST="$E2E_HOST_PROGRAMS/x86/Host.exe"
PROFILE=$(unix_path "$("$WINE" cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')")
DOCUMENTS="$PROFILE/Documents"
APPDATA="$PROFILE/AppData/Roaming"
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
cleanup() {
  e2e_reg64_delete 'HKLM\SOFTWARE\Adobe'
  e2e_reg64_delete 'HKLM\SOFTWARE\paint.net'
  e2e_reg64_delete 'HKLM\SOFTWARE\Serif'
  e2e_reg64_delete "$UNINSTALL\\IrfanView64"
  "$WINE" 'C:\windows\system32\reg.exe' delete "$UNINSTALL\\IrfanView" /f /reg:32 >/dev/null 2>&1
  e2e_reg_delete 'HKCU\SOFTWARE\Corel'
  e2e_reg_delete 'HKCU\Software\Computerinsel'
  rm -rf "$ROOT" "$DOCUMENTS/paint.net App Files" "$DOCUMENTS/paint.net User Files" "$APPDATA/GIMP" \
    "$APPDATA/Affinity" "$PROFILE/.affinity"
}
trap cleanup EXIT
cleanup
mkdir -p "$ROOT"

folder() { mkdir -p "$ROOT/$1"; }
# Photoshop Elements: its program folder and plug-in folder are subkeys' default values.
folder PSE/Plug-ins && cp "$X64_HOST" "$ROOT/PSE/PhotoshopElementsEditor.exe"
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop Elements\14.0\ApplicationPath' '' 'C:\Today\PSE\'
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop Elements\14.0\PluginPath' '' 'C:\Today\PSE\Plug-ins'
# PaintShop Pro: two versions, two folders each.
for version in X4 X5; do
  for i in 0 1; do
    folder "PSP$version-$i"
    e2e_reg_sz "HKCU\\SOFTWARE\\Corel\\PaintShop Pro\\$version\\FileLocations\\PlugIns\\$i" Dir "C:\\Today\\PSP$version-$i"
  done
done
# Paint.NET for all users, with PSFilterPdn in its own sub-folder of Effects.
folder PDN/Effects/PSFilterPdn && cp "$X64_HOST" "$ROOT/PDN/paintdotnet.exe" && echo dll >"$ROOT/PDN/Effects/PSFilterPdn/PSFilterPdn.dll"
e2e_reg64_sz 'HKLM\SOFTWARE\paint.net' TARGETDIR 'C:\Today\PDN\'
# Paint.NET per user, and PSFilterPdn's own search folders (today's form).
mkdir -p "$DOCUMENTS/paint.net App Files/Effects" "$DOCUMENTS/paint.net User Files"
echo dll >"$DOCUMENTS/paint.net App Files/Effects/PSFilterPdn.dll"
folder 'Filters & More' && folder Xml2
ARRAYS=http://schemas.microsoft.com/2003/10/Serialization/Arrays
printf '\xEF\xBB\xBF<PSFilterPdnSettings xmlns:i="http://www.w3.org/2001/XMLSchema-instance"><SearchDirectories xmlns:d2p1="%s"><d2p1:string>C:\\Today\\Filters &amp; More</d2p1:string><d2p1:string>C:\\Today\\Xml2</d2p1:string></SearchDirectories><SearchSubdirectories>true</SearchSubdirectories></PSFilterPdnSettings>' \
  "$ARRAYS" >"$DOCUMENTS/paint.net User Files/PSFilterPdn.xml"
# GIMP with PSPI: two folders in gimprc, pspi.exe in the user's plug-ins.
folder Gimp1 && folder Gimp2
mkdir -p "$APPDATA/GIMP/2.10/plug-ins" && cp "$X64_HOST" "$APPDATA/GIMP/2.10/plug-ins/pspi.exe"
printf '(plug-in-path "${gimp_dir}\\\\plug-ins")\n(pspi-path "C:\\\\Today\\\\Gimp1;C:\\\\Today\\\\Gimp2")\n' >"$APPDATA/GIMP/2.10/gimprc"
# PhotoLine, PhotoPlus, IrfanView, Affinity.
folder PL1 && folder PL2
e2e_reg_sz 'HKCU\Software\Computerinsel\PhotoLine\Settings' PlugInPathNew1 'C:\Today\PL1'
e2e_reg_sz 'HKCU\Software\Computerinsel\PhotoLine\Settings' PlugInPathNew2 'C:\Today\PL2'
folder PPlus && e2e_reg64_sz 'HKLM\SOFTWARE\Serif\PhotoPlus\X8\Directories' PluginRootDir 'C:\Today\PPlus'
folder 'IV64/Plugins/Adobe 8BF' && cp "$X64_HOST" "$ROOT/IV64/i_view64.exe"
e2e_reg64_sz "$UNINSTALL\\IrfanView64" InstallLocation 'C:\Today\IV64\'
folder 'IV32/Plugins/Adobe 8BF' && cp "$X86_HOST" "$ROOT/IV32/i_view32.exe"
"$WINE" 'C:\windows\system32\reg.exe' add "$UNINSTALL\\IrfanView" /v InstallLocation /t REG_SZ /d 'C:\Today\IV32\' /f /reg:32 \
  >/dev/null 2>&1
mkdir -p "$APPDATA/Affinity/Photo/2.0/Plugins" "$PROFILE/.affinity/Affinity/3.0/Plugins"

# Elements' plug-in folder is found first by the vendor scan of row 2 where the build
# reads the 64-bit view itself (x64), and by its own row 25 otherwise; PhotoLine's
# always by row 7. A folder found again keeps its first row and place.
ELEMENTS="C:\\Today\\Pse\\Plug-Ins\\Veltrane\\	x64"
PHOTOLINE=$(printf '%s\n' "7	C:\\Today\\Pl1\\Veltrane\\	-" "7	C:\\Today\\Pl2\\Veltrane\\	-")
if [ "$E2E_ARCH" = x64 ]; then FIRST=$(printf '2\t%s\n%s' "$ELEMENTS" "$PHOTOLINE"); else FIRST=$(printf '%s\n25\t%s' "$PHOTOLINE" "$ELEMENTS"); fi
EXPECTED=$(printf '%s\n' "$FIRST" \
  "26	C:\\Today\\Pspx4-0\\Veltrane\\	-" "26	C:\\Today\\Pspx4-1\\Veltrane\\	-" \
  "26	C:\\Today\\Pspx5-0\\Veltrane\\	-" "26	C:\\Today\\Pspx5-1\\Veltrane\\	-" \
  "27	C:\\Today\\Pdn\\Effects\\Veltrane\\	x64" \
  "28	C:\\Users\\Root\\Documents\\Paint.Net App Files\\Effects\\Veltrane\\	x64" \
  "29	C:\\Today\\Filters & More\\Veltrane\\	x64" "29	C:\\Today\\Xml2\\Veltrane\\	x64" \
  "30	C:\\Today\\Gimp1\\Veltrane\\	x64" "30	C:\\Today\\Gimp2\\Veltrane\\	x64" \
  "32	C:\\Today\\Pplus\\Veltrane\\	-" \
  "33	C:\\Today\\Iv64\\Plugins\\Adobe 8Bf\\Veltrane\\	x64" "33	C:\\Today\\Iv32\\Plugins\\Adobe 8Bf\\Veltrane\\	x86" \
  "34	C:\\Users\\Root\\Appdata\\Roaming\\Affinity\\Photo\\2.0\\Plugins\\Veltrane\\	x64" \
  "35	C:\\Users\\Root\\.Affinity\\Affinity\\3.0\\Plugins\\Veltrane\\	x64")
REPORT_TEXT=$("$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "the report lists every host's folders with their rows" "$EXPECTED" "$REPORT_TEXT"

# Bridged: without an x64 build, Paint.NET's folder takes the x86 one; Affinity's is refused.
e2e_run "$X86_ARM64" /S '/LOG=C:\Today\bridged.log' '/D=C:\Today\PDN\Effects\Veltrane'
e2e_expect_eq "no x64 build, bridged Paint.NET: exit code 0" 0 "$RUN_EXIT"
cmp -s "$E2E_DEMO" "$ROOT/PDN/Effects/Veltrane/TessoraOndelDemo.8bf" && echo "ok: the x86 build went into Paint.NET's folder" ||
  e2e_fail "Paint.NET's folder lacks the x86 build"
grep -q 'plug-in set: x86 (loaded through the host.s 32-bit helper)' "$ROOT/bridged.log" && echo "ok: the log says why" ||
  e2e_fail "the log does not say why x86: $(tr -d '\r' <"$ROOT/bridged.log")"
e2e_run "$X86_ARM64" /S "/D=$(winepath_w "$APPDATA/Affinity/Photo/2.0/Plugins")\\Veltrane"
e2e_expect_eq "no x64 build, Affinity: exit code 5" 5 "$RUN_EXIT"
e2e_run "$E2E_SETUP" /S '/D=C:\Today\PDN\Effects\Veltrane'
cmp -s "$E2E_DEMO_X64" "$ROOT/PDN/Effects/Veltrane/TessoraOndelDemo.8bf" && echo "ok: with an x64 build Paint.NET gets it" ||
  e2e_fail "Paint.NET's folder lacks the x64 build"
e2e_run "$E2E_SETUP" /S "/D=$(winepath_w "$APPDATA/Affinity/Photo/2.0/Plugins")\\Veltrane"
cmp -s "$E2E_DEMO_X64" "$APPDATA/Affinity/Photo/2.0/Plugins/Veltrane/TessoraOndelDemo.8bf" &&
  echo "ok: with an x64 build Affinity gets it" || e2e_fail "Affinity's folder lacks the x64 build"

# PSFilterPdn's older form, a folder name with a comma, sub-folders not searched:
# listed without the maker's sub-folder.
folder 'Old, Named'
printf '<settings><searchDirs>C:\\Today\\Old, Named,C:\\Today\\Xml2</searchDirs><searchSubDirs>false</searchSubDirs></settings>' \
  >"$DOCUMENTS/paint.net User Files/PSFilterPdn.xml"
REPORT_TEXT=$("$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "the older form's folders, without the maker's sub-folder" \
  "$(printf '29\tC:\\Today\\Old, Named\\\tx64\n29\tC:\\Today\\Xml2\\\tx64')" "$(grep '^29	' <<<"$REPORT_TEXT")"

# Malformed settings files give nothing, and the report still ends.
printf '<PSFilterPdnSettings><SearchDirectories xmlns:d2p1="%s"><d2p1:string>C:\\Today\\Xml2</d2p1:string>' "$ARRAYS" \
  >"$DOCUMENTS/paint.net User Files/PSFilterPdn.xml"
printf '(pspi-path "C:\\\\Today\\\\Gimp1' >"$APPDATA/GIMP/2.10/gimprc"
REPORT_TEXT=$("$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "truncated XML and an unterminated gimprc string give nothing" "" "$(grep -E '^(29|30)	' <<<"$REPORT_TEXT")"
{ head -c $((10 * 1024 * 1024)) /dev/zero | tr '\0' ' '; printf '\n(pspi-path "C:\\\\Today\\\\Gimp1")\n'; } >"$APPDATA/GIMP/2.10/gimprc"
REPORT_TEXT=$(timeout 120 "$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "a pspi-path beyond gimprc's first megabyte gives nothing" "" "$(grep -E '^30	' <<<"$REPORT_TEXT")"
e2e_finish
