#!/usr/bin/env bash
# Times the empty-folder and zero-byte searches of the file tools against
# find -type d -empty and find -type f -empty on the same generated tree.
# The searches are not the same question: Varnel's empty folder may hold
# zero-byte files and hidden empty folders, and it reads every size through
# the file-information component. Usage: bench/run-filetools.sh [FILES]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
files="${1:-200000}"
. "$root/bench/prepare-tree.sh"

ms() { local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N); echo $(( (e - s) / 1000000 )); }

find "$tree" -xdev >/dev/null 2>&1 # warm the cache
echo "tree: $tree ($files files)"
"$root/build/bench/filetools_bench" "$tree" 2>/dev/null
printf '%-25s %8s ms  (%s listed)\n' "find -type d -empty" "$(ms find "$tree" -xdev -type d -empty)" \
  "$(find "$tree" -xdev -type d -empty | wc -l)"
printf '%-25s %8s ms  (%s listed)\n' "find -type f -empty" "$(ms find "$tree" -xdev -type f -empty)" \
  "$(find "$tree" -xdev -type f -empty | wc -l)"
