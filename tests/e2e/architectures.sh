#!/usr/bin/env bash
# Each folder gets the build of the plug-ins its host loads: a 64-bit Photoshop's
# folder the x64 build, an old host's the x86 build, a folder of x64 plug-ins the
# x64 build, an ARM64 host's the ARM64 build, and when the installer carries none
# for the host, nothing at all (exit code 5). /ARCH= overrides what was found. The
# smoke form installs into the 64-bit host's folder only.
. "$(dirname "$0")/lib.sh" "$@"

BOTH="$E2E_SETUP"                                     # x86 and x64 builds
X86_ARM64="$E2E_BUILD/tests/e2e/setup_x86_arm64.exe"  # x86 and ARM64 builds
ARM64_DEMO="$E2E_BUILD/tests/e2e/arm64/TessoraOndelDemo.8bf"
ROOT="$E2E_DRIVE_C/Arch"
LOG="$ROOT/setup.log"
cleanup() {
  e2e_reg64_delete 'HKLM\SOFTWARE\Adobe'
  e2e_reg_delete 'HKCU\Software\Jasc'
  e2e_reg_delete 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe'
  rm -rf "$ROOT"
}
trap cleanup EXIT

mkdir -p "$ROOT/PS/Plug-ins" "$ROOT/Old/Plugins" "$ROOT/Arm/Plugins" "$ROOT/Loose"
cp "$E2E_HOST_PROGRAMS/x64/Host.exe" "$ROOT/PS/Photoshop.exe"
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop\180.0' ApplicationPath 'C:\Arch\PS\'
e2e_reg64_sz 'HKLM\SOFTWARE\Adobe\Photoshop\180.0\PluginPath' '' 'C:\Arch\PS\Plug-ins\'
e2e_reg_sz 'HKCU\Software\Jasc\Paint Shop Pro\7\PlugIns' Dir1 'C:\Arch\Old\Plugins'
cp "$E2E_HOST_PROGRAMS/arm64/Host.exe" "$ROOT/Arm/Painter6.exe"
e2e_reg_sz 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Painter6.exe' '' 'C:\Arch\Arm\Painter6.exe'
cp "$E2E_DEMO_X64" "$ROOT/Loose/Sharpen.8bf"

# install SETUP FOLDER_BELOW_ROOT [switches...]: an unattended install into C:\Arch\FOLDER.
install() {
  local setup=$1 folder=$2
  shift 2
  "$WINE" "$setup" /S "/LOG=C:\\Arch\\setup.log" "$@" "/D=C:\\Arch\\${folder//\//\\}" >/dev/null 2>&1
  INSTALL_EXIT=$?
}
# expect_build DESCRIPTION FOLDER_BELOW_ROOT FILE: the demo landed there as FILE's bytes.
expect_build() {
  cmp -s "$3" "$ROOT/$2/TessoraOndelDemo.8bf" && echo "ok: $1" || e2e_fail "$1: $2 does not hold $3"
}

install "$BOTH" PS/Plug-ins/Veltrane
e2e_expect_eq "64-bit host's folder: exit code 0" 0 "$INSTALL_EXIT"
expect_build "64-bit host's folder gets the x64 build" PS/Plug-ins/Veltrane "$E2E_DEMO_X64"
if [ -n "$E2E_SMOKE" ]; then
  grep -q '^target architecture: x64 (a listed folder); plug-in set: x64' <(tr -d '\r' <"$LOG") &&
    echo "ok: log: a listed folder's architecture" || e2e_fail "the log lacks the target's architecture"
  e2e_finish
fi
install "$BOTH" Old/Plugins/Veltrane
expect_build "old host's folder gets the x86 build" Old/Plugins/Veltrane "$E2E_DEMO"
install "$BOTH" Loose
expect_build "a folder of x64 plug-ins gets the x64 build" Loose "$E2E_DEMO_X64"
install "$BOTH" PS/Plug-ins/Forced /ARCH=x86
expect_build "/ARCH=x86 overrides the host" PS/Plug-ins/Forced "$E2E_DEMO"
install "$BOTH" Arm/Plugins/Veltrane
e2e_expect_eq "ARM64 host, no ARM64 build carried: exit code 5" 5 "$INSTALL_EXIT"
[ ! -e "$ROOT/Arm/Plugins/Veltrane" ] && echo "ok: nothing written for the ARM64 host" ||
  e2e_fail "the ARM64 host's folder was written to"

install "$X86_ARM64" Arm/Plugins/Veltrane
e2e_expect_eq "ARM64 host, ARM64 build carried: exit code 0" 0 "$INSTALL_EXIT"
expect_build "ARM64 host's folder gets the ARM64 build" Arm/Plugins/Veltrane "$ARM64_DEMO"
install "$X86_ARM64" PS/Plug-ins/Refused
e2e_expect_eq "64-bit host, no x64 build carried: exit code 5" 5 "$INSTALL_EXIT"
[ ! -e "$ROOT/PS/Plug-ins/Refused" ] && echo "ok: nothing written for the 64-bit host" ||
  e2e_fail "the 64-bit host's folder was written to"

LOG_TEXT=$(tr -d '\r' <"$LOG")
e2e_has_line "log: a listed folder's architecture" "$LOG_TEXT" '^target architecture: x64 \(a listed folder\); plug-in set: x64$'
e2e_has_line "log: an unknown host" "$LOG_TEXT" '^target architecture: unknown; plug-in set: x86$'
e2e_has_line "log: the folder's own files" "$LOG_TEXT" '^target architecture: x64 \(files in the folder\); plug-in set: x64$'
e2e_has_line "log: the switch" "$LOG_TEXT" '^target architecture: x86 \(/ARCH=\); plug-in set: x86$'
e2e_has_line "log: the refusal" "$LOG_TEXT" '^not installed into C:\\Arch\\PS\\Plug-ins\\Refused\\: its host is a 64-bit \(x64\) image editor, and this installer carries 32-bit \(x86\) and ARM64 plug-ins$'
e2e_has_line "log: the missing set" "$LOG_TEXT" '^target architecture: x64 \(a listed folder\); missing plug-in set: x64$'
e2e_has_line "log: its exit code" "$LOG_TEXT" '^result: nothing written; exit code 5$'
e2e_finish
