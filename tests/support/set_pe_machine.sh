#!/bin/sh
# Copies a PE image and writes another Machine field into the copy, as a stand-in
# for a build of another architecture (an ARM64 host program or plug-in) where no
# compiler for it is at hand. Only the header changes; the copy is not loadable.
#
#   set_pe_machine.sh INPUT OUTPUT MACHINE     MACHINE in hex: aa64 (ARM64), 8664, 14c
set -e
input=$1 output=$2 machine=$3
header=$(od -An -tu4 -j60 -N4 "$input" | tr -d ' ')
cp "$input" "$output.part"
low=$(printf '%04x' "0x$machine" | cut -c3-4)
high=$(printf '%04x' "0x$machine" | cut -c1-2)
printf "\\$(printf '%03o' "0x$low")\\$(printf '%03o' "0x$high")" |
  dd of="$output.part" bs=1 seek=$((header + 4)) conv=notrunc status=none
mv "$output.part" "$output"
