# Sourced by the test command: decides how the x86 build's tests can run here.
#
#   native    the kernel executes 32-bit code: the full x86 suite runs.
#   emulated  it does not, but as root 32-bit Linux programs (Wine's 32-bit side)
#             can be handed to qemu-user through binfmt_misc: a smoke set runs,
#             since every 32-bit Windows program then takes about a minute.
#   none      neither: the x86 build is compiled but not run.
#
# veltrane_x86_route sets VELTRANE_X86_ROUTE to one of these (and
# VELTRANE_X86_REASON for none); veltrane_x86_emulation_stop, run from the test
# command's exit trap, removes the registration it made, and only that one.
#
# VELTRANE_FORCE_NO_X86=1 forces none; VELTRANE_FORCE_EMULATED_X86=1 takes the
# emulated route even where the kernel runs 32-bit code (to check that route: the
# registration is consulted before the kernel's own loader).

VELTRANE_BINFMT=/proc/sys/fs/binfmt_misc
VELTRANE_BINFMT_NAME=veltrane-qemu-i386
VELTRANE_QEMU=/usr/bin/qemu-i386-static
VELTRANE_WINE32_LOADER=/usr/lib/wine/wine
VELTRANE_BINFMT_MOUNTED=

# i386 ELF executables and shared objects, as Debian's qemu-user registers them.
# The kernel takes a registration in one write, so the line is written whole.
veltrane_binfmt_line() {
  local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  echo ":$VELTRANE_BINFMT_NAME:M::$magic:$mask:$VELTRANE_QEMU:F"
}

# Removes this project's registration (also one a killed run left behind) and
# unmounts binfmt_misc when this run mounted it.
veltrane_x86_emulation_stop() {
  [ -e "$VELTRANE_BINFMT/$VELTRANE_BINFMT_NAME" ] && echo -1 >"$VELTRANE_BINFMT/$VELTRANE_BINFMT_NAME" 2>/dev/null
  if [ -n "$VELTRANE_BINFMT_MOUNTED" ]; then
    umount "$VELTRANE_BINFMT" 2>/dev/null
    VELTRANE_BINFMT_MOUNTED=
  fi
  return 0
}

# The kernel starts Wine's 32-bit loader itself (it fails with "Exec format error"
# where it cannot).
veltrane_kernel_runs_32bit() {
  "$VELTRANE_WINE32_LOADER" --version >/dev/null 2>&1
}

# Registers qemu-i386 for the test run. 0 when registered; otherwise 1 with
# VELTRANE_X86_REASON saying why not.
veltrane_x86_emulation_start() {
  if [ "$(id -u)" != 0 ]; then
    VELTRANE_X86_REASON="no 32-bit execution here, and registering an emulator needs root"
    return 1
  fi
  if [ ! -x "$VELTRANE_QEMU" ]; then
    echo "installing: qemu-user-static" >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static >&2
  fi
  if [ ! -x "$VELTRANE_QEMU" ]; then
    VELTRANE_X86_REASON="no 32-bit execution here, and qemu-user-static could not be installed"
    return 1
  fi
  if [ ! -e "$VELTRANE_BINFMT/register" ]; then
    mount -t binfmt_misc binfmt_misc "$VELTRANE_BINFMT" 2>/dev/null && VELTRANE_BINFMT_MOUNTED=1
  fi
  if [ ! -w "$VELTRANE_BINFMT/register" ]; then
    VELTRANE_X86_REASON="no 32-bit execution here, and binfmt_misc is not available to register an emulator"
    return 1
  fi
  if ! veltrane_binfmt_line >"$VELTRANE_BINFMT/register" 2>/dev/null; then
    VELTRANE_X86_REASON="no 32-bit execution here, and the kernel refused the emulator's registration"
    veltrane_x86_emulation_stop
    return 1
  fi
  if ! veltrane_kernel_runs_32bit; then
    VELTRANE_X86_REASON="no 32-bit execution here, and Wine's 32-bit side does not start under qemu-user"
    veltrane_x86_emulation_stop
    return 1
  fi
  return 0
}

veltrane_x86_route() {
  VELTRANE_X86_REASON=
  veltrane_x86_emulation_stop  # a registration left by a killed run would slow every 32-bit program
  if [ -n "${VELTRANE_FORCE_NO_X86:-}" ]; then
    VELTRANE_X86_ROUTE=none
    VELTRANE_X86_REASON="switched off by VELTRANE_FORCE_NO_X86"
  elif [ ! -e "$VELTRANE_WINE32_LOADER" ]; then
    VELTRANE_X86_ROUTE=none
    VELTRANE_X86_REASON="Wine's 32-bit side (wine32:i386) is not installed"
  elif [ -z "${VELTRANE_FORCE_EMULATED_X86:-}" ] && veltrane_kernel_runs_32bit; then
    VELTRANE_X86_ROUTE=native
  elif veltrane_x86_emulation_start; then
    VELTRANE_X86_ROUTE=emulated
  else
    VELTRANE_X86_ROUTE=none
  fi
  export VELTRANE_X86_ROUTE
}
