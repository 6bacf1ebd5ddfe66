#!/bin/sh
# Compiles the contract's offset checks for 32-bit x86, where every offset
# must equal the documented one. Usage: check-abi-32.sh CC SRC_DIR FILE OUT_DIR
set -u
cc=$1 src=$2 file=$3 out=$4
probe="$out/abi-probe-32.c"
printf '#include <stdint.h>\n#include <stddef.h>\nint probe;\n' > "$probe"
if ! "$cc" -m32 -c "$probe" -o "$out/abi-probe-32.o" 2>/dev/null; then
  echo "SKIPPED: no 32-bit C toolchain here (install gcc-multilib; scripts/bootstrap does)"
  exit 77
fi
"$cc" -m32 -std=c11 -Wall -Wextra -pedantic -Werror -I"$src" -c "$file" -o "$out/abi_layout_32.o" || exit 1
echo "32-bit offsets of varnel_plugin.h hold"
