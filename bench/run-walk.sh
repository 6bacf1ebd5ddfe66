#!/usr/bin/env bash
# Times one walk for "*.tmp" over a generated tree with a raw getdents walk,
# find, bfs and Varnel's walker, and prints each one's time and its ratio to
# the raw walk; then the list and log at 100 000 rows and one whole search
# through the main window on the same tree. Usage: bench/run-walk.sh [FILES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
files="${1:-200000}"
runs="${2:-7}"
. "$root/bench/prepare-tree.sh"
bin="$root/build/bench"

count_raw=$("$bin/getdents_walk" "$tree" .tmp)
count_varnel=$(VARNEL_DRIVES= "$bin/walk_bench" "$tree" '*.tmp')
count_find=$(find "$tree" -xdev -iname '*.tmp' | wc -l)
echo "tree: $tree ($files files); matches: raw $count_raw, find $count_find, varnel $count_varnel"

printf '%-28s %8s     %5s\n' "raw getdents walk" "" "1.00x"
# Each command runs in turn with the raw walk, against that pair's median.
report() {
  local label="$1"; shift
  local t raw
  read -r t raw < <(paired_ms "$@" -- "$bin/getdents_walk" "$tree" .tmp)
  printf '%-28s %8s ms  %5.2fx  (raw %s ms)\n' "$label" "$t" "$(echo "$t / $raw" | bc -l)" "$raw"
}
report "varnel TmFileScan" "$bin/walk_bench" "$tree" '*.tmp'
report "find -xdev -iname" find "$tree" -xdev -iname '*.tmp'
if command -v bfs >/dev/null; then report "bfs -xdev -iname" bfs "$tree" -xdev -iname '*.tmp'; fi

echo
"$bin/list_log_bench" 100000 2>/dev/null
"$bin/search_bench" "$tree" 2>/dev/null
