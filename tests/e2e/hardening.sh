#!/usr/bin/env bash
# The elevated installer where other accounts may have written: Unix symbolic links
# (Wine follows them as Windows follows links a program does not ask for), hard
# links, a pipe named as a plug-in, arguments built to smuggle in switches, odd
# registry values and a folder the search cannot list. One scenario per fault.
. "$(dirname "$0")/lib.sh" "$@"

REPORT="$E2E_BUILD/ProbeReport.exe"
ROOT="$E2E_DRIVE_C/Hard"
SYSTEM="$E2E_DRIVE_C/windows/system32"
PROFILE=$(unix_path "$("$WINE" cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')")
PDN_EFFECTS="$PROFILE/Documents/paint.net App Files/Effects"
PDN_SETTINGS="$PROFILE/Documents/paint.net User Files"
AFFINITY="$PROFILE/AppData/Roaming/Affinity"
cleanup() {
  [ -n "${E2E_SETUP_PID:-}" ] && kill "$E2E_SETUP_PID" 2>/dev/null
  e2e_reg_delete 'HKCU\Software\Veltrane'
  e2e_reg_delete 'HKCR\Photoshop.PlugIn'
  e2e_reg_delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe'
  e2e_reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' /v AppData /f
  rm -rf "$ROOT" "$SYSTEM/veltrane-victim.log" "$SYSTEM/veltrane-created.log" "$E2E_DRIVE_C/drivers" \
    "$(dirname "$PDN_EFFECTS")" "$PDN_SETTINGS" "$AFFINITY"
}
trap cleanup EXIT
mkdir -p "$ROOT"

report() { "$WINE" "$REPORT" 2>/dev/null | tr -d '\r'; }

# 1. /U never deletes through a link: a plug-in that is a link to a copy elsewhere,
# and a maker's folder that is a link to a folder elsewhere, keep their targets.
mkdir -p "$ROOT/Links/Plugins/Veltrane" "$ROOT/Elsewhere" "$ROOT/Target"
cp "$E2E_DEMO" "$ROOT/Elsewhere/TessoraOndelDemo.8bf"
cp "$E2E_DEMO" "$ROOT/Target/TessoraOndelDemo.8bf"
ln -s "$ROOT/Elsewhere/TessoraOndelDemo.8bf" "$ROOT/Links/Plugins/Veltrane/TessoraOndelDemo.8bf"
mkdir -p "$ROOT/FolderLink/Plugins"
ln -s "$ROOT/Target" "$ROOT/FolderLink/Plugins/Veltrane"
e2e_reg_sz 'HKCU\Software\Veltrane\Links' PluginDir 'C:\Hard\Links\Plugins'
e2e_run "$E2E_SETUP" /S /U '/LOG=C:\Hard\removal.log' '/D=C:\Hard\FolderLink\Plugins\Veltrane'
e2e_expect_eq "/U with links: exit code 0" 0 "$RUN_EXIT"
test -f "$ROOT/Elsewhere/TessoraOndelDemo.8bf" && echo "ok: the file a link named stays" ||
  e2e_fail "/U deleted the copy elsewhere through a link"
test -f "$ROOT/Target/TessoraOndelDemo.8bf" && echo "ok: the folder a link named keeps its file" ||
  e2e_fail "/U deleted a file through a linked folder"
LOG_TEXT=$(tr -d '\r' <"$ROOT/removal.log")
e2e_has_line "the link is logged as kept" "$LOG_TEXT" '^kept: C:\\Hard\\Links\\Plugins\\Veltrane\\TessoraOndelDemo\.8bf \(a link\)$'
e2e_has_line "the linked folder is passed over" "$LOG_TEXT" '^folder passed over, a link: C:\\Hard\\FolderLink\\Plugins\\Veltrane\\$'
e2e_reg_delete 'HKCU\Software\Veltrane'

# 2. /LOG= never writes through a link or into a second name of another file.
mkdir -p "$ROOT/Logs"
echo "system file" >"$SYSTEM/veltrane-victim.log"
ln -s "$SYSTEM/veltrane-victim.log" "$ROOT/Logs/link.log"
ln -s "$SYSTEM/veltrane-created.log" "$ROOT/Logs/dangling.log"
ln "$SYSTEM/veltrane-victim.log" "$ROOT/Logs/hard.log"
for log in link dangling hard; do
  e2e_run "$E2E_SETUP" /S "/LOG=C:\\Hard\\Logs\\$log.log" '/D=C:\Hard\Installed'
  e2e_expect_eq "/LOG= at a $log: the install still ends with 0" 0 "$RUN_EXIT"
done
e2e_expect_eq "the linked system file is untouched" "system file" "$(cat "$SYSTEM/veltrane-victim.log")"
test ! -e "$SYSTEM/veltrane-created.log" && echo "ok: nothing made where a dangling link pointed" ||
  e2e_fail "the log was created through a dangling link"
cmp -s "$E2E_DEMO" "$ROOT/Installed/TessoraOndelDemo.8bf" && echo "ok: installed without a log" ||
  e2e_fail "the install with a refused log did not write the plug-in"
e2e_run "$E2E_SETUP" /S '/LOG=\\.\NUL' '/D=C:\Hard\Installed'
e2e_expect_eq "/LOG= a device: the install still ends with 0" 0 "$RUN_EXIT"

# 3. A foreign argument never starts a removal: its blanks are inside its quotes.
mkdir -p "$ROOT/Kept/Veltrane"
cp "$E2E_DEMO" "$ROOT/Kept/Veltrane/"
e2e_reg_sz 'HKCU\Software\Veltrane\Kept' PluginDir 'C:\Hard\Kept\Veltrane'
e2e_start_setup "/X=$(printf '%0420d' 0) /S /U"
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) && echo "ok: the dialog starts" || e2e_fail "no dialog for a foreign argument"
e2e_key "$WINDOW" Escape
e2e_expect_eq "the foreign argument: exit code 0" 0 "$(e2e_setup_exit_code 20)"
test -f "$ROOT/Kept/Veltrane/TessoraOndelDemo.8bf" && echo "ok: nothing was removed" ||
  e2e_fail "a quoted foreign argument started a removal"

# 4. The leftover sweep takes only the installer's own temporary files, and /U takes
# them too, so an emptied maker's folder goes.
echo "a user's notes" >"$ROOT/Installed/~Veltrane-2024-01.tmp"
e2e_run "$E2E_SETUP" /S '/D=C:\Hard\Installed'
e2e_expect_eq "the user's ~Veltrane file stays" "a user's notes" "$(cat "$ROOT/Installed/~Veltrane-2024-01.tmp" 2>/dev/null)"
echo "unfinished" >"$ROOT/Kept/Veltrane/~VeltraneSetup-partial-000004D2-00000001.tmp"
e2e_run "$E2E_SETUP" /S /U
e2e_expect_eq "/U with a leftover: exit code 0" 0 "$RUN_EXIT"
test ! -e "$ROOT/Kept/Veltrane" && echo "ok: the leftover and the emptied folder are gone" ||
  e2e_fail "left in the maker's folder: $(ls -A "$ROOT/Kept/Veltrane")"
e2e_reg_delete 'HKCU\Software\Veltrane'

# 5. /D= takes folders, never devices or pipes.
for device in '\\.\NUL' '\\.\pipe\x'; do
  e2e_run "$E2E_SETUP" /S "/D=$device"
  e2e_expect_eq "/D=$device: exit code 1" 1 "$RUN_EXIT"
done

# 6.-9. Discovery: an over-long value hides nothing after it; an expandable command
# is read; the maker's cut needs the maker's whole name; a plug-in that is a pipe or a
# link says nothing about its folder, and the report still ends.
mkdir -p "$ROOT/Later/Plugins" "$ROOT/P6/Plugins" "$ROOT/Veltman Tools/Plug-ins" "$ROOT/Piped/Plugins" \
  "$ROOT/Linked/Plugins" "$ROOT/X64"
e2e_reg_sz 'HKCU\Software\Veltrane\Long' PluginDir1 "C:\\$(printf '%0300d' 0)"
e2e_reg_sz 'HKCU\Software\Veltrane\Long' PluginDir2 'C:\Hard\Later\Plugins'
e2e_reg_sz 'HKCU\Software\Veltrane\Cut' PluginDir 'C:\Hard\Veltman Tools\Plug-ins'
e2e_reg_sz 'HKCU\Software\Veltrane\Piped' PluginDir 'C:\Hard\Piped\Plugins'
e2e_reg_sz 'HKCU\Software\Veltrane\Linked' PluginDir 'C:\Hard\Linked\Plugins'
mkfifo "$ROOT/Piped/Plugins/Pipe.8bf"
# Whoever reads the pipe gets an x64 plug-in's header from it.
(timeout 60 cat "$E2E_DEMO_X64" >"$ROOT/Piped/Plugins/Pipe.8bf" 2>/dev/null &)
cp "$E2E_DEMO_X64" "$ROOT/X64/Real.8bf"
ln -s "$ROOT/X64/Real.8bf" "$ROOT/Linked/Plugins/Real.8bf"
cp "$E2E_HOST_PROGRAMS/x64/Host.exe" "$ROOT/P6/Painter6.exe"
e2e_reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe' /ve /t REG_EXPAND_SZ \
  /d '%SystemDrive%\Hard\P6\Painter6.exe' /f
REPORT_TEXT=$(timeout 60 "$WINE" "$REPORT" 2>/dev/null | tr -d '\r')
e2e_expect_eq "the report ends although a plug-in is a pipe" 0 "$?"
e2e_has_line "the value after an over-long one" "$REPORT_TEXT" $'^1\tC:\\\\Hard\\\\Later\\\\Plugins\\\\Veltrane\\\\\t-$'
e2e_has_line "Veltman Tools is not the maker's folder" "$REPORT_TEXT" \
  $'^1\tC:\\\\Hard\\\\Veltman Tools\\\\Plug-Ins\\\\Veltrane\\\\\t-$'
e2e_has_line "a pipe says nothing" "$REPORT_TEXT" $'^1\tC:\\\\Hard\\\\Piped\\\\Plugins\\\\Veltrane\\\\\t-$'
e2e_has_line "a linked plug-in says nothing" "$REPORT_TEXT" $'^1\tC:\\\\Hard\\\\Linked\\\\Plugins\\\\Veltrane\\\\\t-$'
e2e_has_line "the expandable App Paths command" "$REPORT_TEXT" $'^21\tC:\\\\Hard\\\\P6\\\\Plugins\\\\Veltrane\\\\\tx64$'
e2e_reg_delete 'HKCU\Software\Veltrane'

# 10. A folder the settings search cannot list is passed over: one whose name ends in
# a full stop, which Windows drops from a path, so that its pattern names a folder
# that is not there. Wine lists a folder's entries in name order: it comes first.
mkdir -p "$ROOT/Host/cfg" "$ROOT/Host/aa./sub" "$ROOT/PlugDir"
printf 'PluginDirectory=C:\\Hard\\PlugDir\r\n\r\n' >"$ROOT/Host/cfg/photoshop.ini"
e2e_reg_sz 'HKCR\Photoshop.PlugIn\shell\open\command' '' '"C:\Hard\Host\photoshop.exe" "%1"'
REPORT_TEXT=$(report)
e2e_has_line "the settings file after an unlistable folder" "$REPORT_TEXT" $'^9\tC:\\\\Hard\\\\Plugdir\\\\Veltrane\\\\\t-$'

# 11. A damaged installer writes nothing and says so: the size its resource directory
# records for the x86 plug-in raised past the image (by 256 KiB, to nearly 2 GiB).
# damaged_copy SIZE OUT: the installer with that size set to SIZE ("+N": raised by N).
damaged_copy() {
  perl -e 'local $/; open(F, "<:raw", $ARGV[0]) or die; $d = <F>;
    sub word { unpack($_[1], substr($d, $_[0], length pack($_[1], 0))) }
    $pe = word(60, "V"); $h = $pe + 24 + word($pe + 20, "v");
    $h += 40 until substr($d, $h, 6) eq ".rsrc\0"; $r = word($h + 20, "V");
    sub entry { my ($at, $id) = ($r + $_[0], $_[1]);  # a directory'"'"'s first entry, or the one of an id
      for $e (0 .. word($at + 12, "v") + word($at + 14, "v") - 1) {
        return word($at + 20 + 8 * $e, "V") & 0x7FFFFFFF if !defined $id || word($at + 16 + 8 * $e, "V") == $id } }
    $at = $r + entry(entry(entry(0, 3000))) + 4;
    substr($d, $at, 4) = pack("V", $ARGV[1] =~ /^\+/ ? word($at, "V") + $ARGV[1] : hex $ARGV[1]); print $d' \
    "$E2E_SETUP" "$1" >"$2"
}
for size in +262144 0x7FFFFFF0; do
  damaged_copy "$size" "$ROOT/Damaged.exe"
  rm -f "$ROOT/damaged.log"
  "$WINE" "$ROOT/Damaged.exe" /S '/LOG=C:\Hard\damaged.log' '/D=C:\Hard\Damaged' >/dev/null 2>&1
  e2e_expect_eq "a resource size of $size: exit code 3" 3 "$?"
  e2e_has_line "a resource size of $size is damage" "$(tr -d '\r' <"$ROOT/damaged.log")" \
    '^failed: TessoraOndelDemo\.8bf \(the installer is damaged; download it again\)$'
  e2e_expect_eq "a resource size of $size: nothing written" "" "$(ls -A "$ROOT/Damaged")"
done

# 12. /S /ALL never enters a maker's folder that is a link in a per-user plug-in folder.
mkdir -p "$AFFINITY/Photo/2.0/Plugins" "$ROOT/Victim"
ln -s "$ROOT/Victim" "$AFFINITY/Photo/2.0/Plugins/Veltrane"
e2e_run "$E2E_SETUP" /S /ALL '/LOG=C:\Hard\all.log'
e2e_expect_eq "/ALL with a linked maker's folder: exit code 3" 3 "$RUN_EXIT"
e2e_expect_eq "nothing written through the link" "" "$(ls -A "$ROOT/Victim")"
e2e_has_line "the linked folder is not written" "$(tr -d '\r' <"$ROOT/all.log")" '^folder result: not written, a link$'
rm -rf "$AFFINITY"

# 13.-14. PSFilterPdn.dll behind a link does not count. Of PSFilterPdn's folders, those
# with malformed references, in or below the Windows folder (with ".." too) or relative
# to a drive's current folder are passed over; the others are listed in their canonical
# form, with the maker's folder cut from that form.
mkdir -p "$PDN_EFFECTS" "$ROOT/Pdn" "$PDN_SETTINGS" "$ROOT/Ref/A" "$ROOT/Ref/B" "$ROOT/Ref/E" "$ROOT/Seven/Slash" \
  "$ROOT/Seven/Kept" "$E2E_DRIVE_C/drivers"
touch "$ROOT/Pdn/PSFilterPdn.dll"
ln -s "$ROOT/Pdn" "$PDN_EFFECTS/Linked"
strings=
for folder in 'C:\Hard\Ref\&#6@;' 'C:\Hard\Ref\&#6`;' 'C:\Hard\Ref\&#X41;' $'C:\\Hard\\Ref\\&#6\x15;' \
  'C:\Hard\Ref\&#x42;' 'C:\windows\system32' 'C:\Hard\Ref\A\..\..\..\windows\SysWOW64' 'C:drivers' \
  'C:\Hard\Seven/Slash' 'C:\Hard\Seven\Cut\VELTRANE\..\..\Kept'; do
  strings+="<d:string>$folder</d:string>"
done
printf '<S><SearchDirectories xmlns:d="http://schemas.microsoft.com/2003/10/Serialization/Arrays">%s</SearchDirectories></S>' \
  "$strings" >"$PDN_SETTINGS/PSFilterPdn.xml"
REPORT_TEXT=$(report)
e2e_expect_eq "PSFilterPdn.dll behind a link" "" "$(grep '^28' <<<"$REPORT_TEXT")"
e2e_expect_eq "PSFilterPdn's folders" 'C:\Hard\Ref\B\Veltrane\ C:\Hard\Seven\Slash\Veltrane\ C:\Hard\Seven\Kept\Veltrane\' \
  "$(grep '^29' <<<"$REPORT_TEXT" | cut -f2 | paste -sd' ')"

# 15. Another program holds the one-copy name with an event: that is another copy.
SQUATTER=$(winepath_w "$E2E_BUILD/tests/app/name_squatter.exe")
"$WINE" "$SQUATTER" "$(winepath_w "$E2E_SETUP")" /S '/D=C:\Hard\Squatted' >/dev/null 2>&1
e2e_expect_eq "/S beside a squatted name: exit code 4" 4 "$?"
timeout 30 "$WINE" "$SQUATTER" "$(winepath_w "$E2E_SETUP")" >/dev/null 2>&1
e2e_expect_eq "without /S beside a squatted name: no dialog, exit code 0" 0 "$?"
[ -z "$(e2e_window "$E2E_TITLE")" ] || e2e_key "$(e2e_window "$E2E_TITLE")" Escape  # one that should not be there

# 16. Names outside the code page (1252 in the C.UTF-8 locale, which Wine gets here)
# are passed over, never read as a look-alike or cut back to a parent: registry
# values, the user's application data folder (with a decoy where the look-alike
# points) and a /D= folder, whether silent or not.
export LC_ALL=C.UTF-8
SHELL_FOLDERS='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders'
mkdir -p "$ROOT/Lossy/Фильтры" "$ROOT/Lossy/A" "$ROOT/Data/Affinity/Photo/2.0/Plugins" "$ROOT/Filters"
e2e_reg_sz 'HKCU\Software\Veltrane\Lossy' PluginDir1 'C:\Hard\Lossy\Фильтры'
e2e_reg_sz 'HKCU\Software\Veltrane\Lossy' PluginDir2 'C:\Hard\Lossy\Ａ'
e2e_reg add "$SHELL_FOLDERS" /v AppData /t REG_EXPAND_SZ /d 'C:\Hard\Dātā' /f
REPORT_TEXT=$(report)
e2e_reg delete "$SHELL_FOLDERS" /v AppData /f
e2e_expect_eq "no folder listed for names outside the code page" "" "$(grep -E 'Hard.(Lossy|Data)' <<<"$REPORT_TEXT")"
e2e_run "$E2E_SETUP" /S '/LOG=C:\Hard\lossy.log' '/D=C:\Hard\Filters＼Ｂ'
e2e_expect_eq "/D= outside the code page: exit code 1" 1 "$RUN_EXIT"
e2e_has_line "the log says why" "$(tr -d '\r' <"$ROOT/lossy.log")" \
  '^result: bad command line: characters outside the code page; exit code 1$'
test -z "$(ls -A "$ROOT/Filters")" && echo "ok: nothing written near it" || e2e_fail "written: $(ls -R "$ROOT/Filters")"
e2e_start_setup '/D=C:\Hard\Filters＼Ｂ'
e2e_wait_for 60 e2e_window_probe_ok message || e2e_fail "no message before the dialog for the /D= folder"
e2e_has_line "the message says why" "$(e2e_window_probe message)" '^text: An argument with characters outside the code page'
"$WINE" "$E2E_WINDOW_PROBE" dismiss "$E2E_TITLE" >/dev/null 2>&1
e2e_wait_for 20 bash -c '! "$0" "$1" message "$2" >/dev/null 2>&1' "$WINE" "$E2E_WINDOW_PROBE" "$E2E_TITLE"
WINDOW=$(e2e_wait_window "$E2E_TITLE" 60) && e2e_key "$WINDOW" Escape
e2e_expect_eq "then the dialog, which ends with 0" 0 "$(e2e_setup_exit_code 20)"
e2e_finish
