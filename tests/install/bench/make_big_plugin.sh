#!/bin/sh
# Makes the benchmark's plug-in: real 64-bit Windows DLLs (the ones Wine installs),
# stripped as plug-ins ship, put together until exactly SIZE bytes. It compresses
# as plug-ins do, and is an x64 PE image by its first DLL's header.
#   make_big_plugin.sh OUTPUT SIZE STRIP
set -eu
out=$1 size=$2 strip=$3
for dir in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows; do
  [ -d "$dir" ] && break
done
[ -d "$dir" ] || { echo "make_big_plugin.sh: no 64-bit Wine DLLs found" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
: >"$work/all"
for dll in "$dir"/*.dll; do
  "$strip" -s -o "$work/one.dll" "$dll" 2>/dev/null || continue
  cat "$work/one.dll" >>"$work/all"
  [ "$(stat -c %s "$work/all")" -ge "$size" ] && break
done
[ "$(stat -c %s "$work/all")" -ge "$size" ] || { echo "make_big_plugin.sh: too few DLLs for $size bytes" >&2; exit 1; }
head -c "$size" "$work/all" >"$out"
