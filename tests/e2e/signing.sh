#!/usr/bin/env bash
# Signing for plug-in makers: with a throwaway certificate made here by openssl, a
# build of the installer with VELTRANE_SIGN_PKCS12 and VELTRANE_SIGN_PASSWORD_FILE is
# signed; osslsigncode verifies it with that certificate as the trusted root, a byte
# changed in its code (.text) breaks the signature, its size check gives the figure of
# the unsigned installer (the certificate table left out), and it installs under
# Wine (which shows no elevation prompt: the verification is the check).
#   signing.sh BUILD ARCH SOURCE TOOLCHAIN
. "$(dirname "$0")/lib.sh" "$@"
SOURCE=$3  # lib.sh's own shifts end with it
TOOLCHAIN=$4

WORK=$(mktemp -d "$(cd "$E2E_BUILD" && pwd)/signing.XXXXXX")
NAME="Signed$$"
cleanup() { rm -rf "${WORK:?}" "${E2E_DRIVE_C:?}/$NAME"; }
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=Veltrane Test Maker" \
  -keyout "$WORK/maker.key" -out "$WORK/maker.pem" 2>/dev/null
echo "throwaway password $$" >"$WORK/password.txt"
openssl pkcs12 -export -inkey "$WORK/maker.key" -in "$WORK/maker.pem" -out "$WORK/maker.pfx" \
  -passout "file:$WORK/password.txt" || { e2e_fail "openssl made no certificate"; e2e_finish; }

cmake -S "$SOURCE" -B "$WORK/build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
  -DVELTRANE_SIGN_PKCS12="$WORK/maker.pfx" -DVELTRANE_SIGN_PASSWORD_FILE="$WORK/password.txt" >"$WORK/configure.log" 2>&1 &&
  cmake --build "$WORK/build" --target VeltraneSetup -j 2 >"$WORK/build.log" 2>&1 ||
  { cat "$WORK/configure.log" "$WORK/build.log"; e2e_fail "the signed build failed"; e2e_finish; }
SIGNED="$WORK/build/VeltraneSetup.exe"
grep -q "VeltraneSetup.exe signed with $WORK/maker.pfx" "$WORK/build.log" && echo "ok: the build signed the installer" ||
  e2e_fail "the build said nothing of signing"
grep -q "throwaway password" "$WORK/build.log" "$WORK/configure.log" "$WORK/build/CMakeCache.txt" &&
  e2e_fail "the password reached the build's output or cache"

osslsigncode verify -in "$SIGNED" -CAfile "$WORK/maker.pem" >"$WORK/verify.log" 2>&1 &&
  echo "ok: the signature verifies" || { cat "$WORK/verify.log"; e2e_fail "the signature does not verify"; }
figure() { cmake -DPROGRAM="$1" -DLABEL=installer -DLIMIT=0 -P "$SOURCE/cmake/size_check.cmake" 2>&1; }
e2e_expect_eq "the size check leaves the certificate table out" "$(figure "$E2E_BUILD/VeltraneSetup.exe")" \
  "$(figure "$SIGNED")"

"$WINE" "$SIGNED" /S "/D=C:\\$NAME" >/dev/null 2>&1
e2e_expect_eq "the signed installer installs: exit code 0" 0 $?
# A folder without a host takes the x86 build.
cmp -s "$E2E_DEMO" "$E2E_DRIVE_C/$NAME/TessoraOndelDemo.8bf" && echo "ok: the signed installer's plug-in" ||
  e2e_fail "the signed installer did not write the plug-in"

# One byte of the program's code changed: the signature no longer matches.
objdump=$(echo "$(basename "$TOOLCHAIN")" | sed 's/toolchain-x86.cmake/i686/; s/toolchain-x64.cmake/x86_64/')-w64-mingw32-objdump
code=$("$objdump" -h "$SIGNED" | awk '$2 == ".text" { print $6 }')
at=$((0x$code + 64))
byte=$(od -An -tu1 -j "$at" -N1 "$SIGNED" | tr -d ' ')
printf "\\$(printf '%03o' $((byte ^ 0x01)))" | dd of="$SIGNED" bs=1 seek="$at" conv=notrunc status=none
if osslsigncode verify -in "$SIGNED" -CAfile "$WORK/maker.pem" >"$WORK/verify.log" 2>&1; then
  e2e_fail "the signature still verifies after a byte of .text changed"
else
  echo "ok: a byte changed in .text breaks the signature"
fi
e2e_finish
