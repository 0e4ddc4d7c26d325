#!/bin/sh
# Makes the benchmark's plug-ins: seven DLLs that Wine installs (comctl32, gdiplus,
# msxml3, ole32, user32, windowscodecs, wined3d), each in its x86 and its x64 build,
# stripped as plug-ins ship: plug-in-like code and data, 23 MB in all.
#   make_wine_plugins.sh OUTPUT-FOLDER STRIP-X86 STRIP-X64
# writes OUTPUT-FOLDER/x86/<Name>.8bf and OUTPUT-FOLDER/x64/<Name>.8bf.
set -eu
out=$1 strip_x86=$2 strip_x64=$3
find_dir() {
  for dir in "$@"; do
    [ -f "$dir/comctl32.dll" ] && { echo "$dir"; return 0; }
  done
  return 1
}
x86=$(find_dir /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/i386-windows) ||
  { echo "make_wine_plugins.sh: no 32-bit Wine DLLs (install wine32:i386)" >&2; exit 1; }
x64=$(find_dir /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows) ||
  { echo "make_wine_plugins.sh: no 64-bit Wine DLLs" >&2; exit 1; }
mkdir -p "$out/x86" "$out/x64"
for name in Comctl32 Gdiplus Msxml3 Ole32 User32 Windowscodecs Wined3d; do
  dll=$(echo "$name" | tr A-Z a-z).dll
  "$strip_x86" -s -o "$out/x86/$name.8bf" "$x86/$dll"
  "$strip_x64" -s -o "$out/x64/$name.8bf" "$x64/$dll"
done
