#!/usr/bin/env bash
# Times TEasyFileSearch over a generated tree against a raw getdents walk,
# find and bfs in the same run, and prints each one's time and its ratio to
# the raw walk: once for "*.tmp" (names only), once for "*.*" with every
# kept entry examined (a stat each, as find -printf '%s' does).
# Usage: bench/run-filesearch.sh [FILES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
files="${1:-200000}"
runs="${2:-3}"
. "$root/bench/prepare-tree.sh"
bin="$root/build/bench"

echo "tree: $tree ($files files)"
raw=$(median_ms "$bin/getdents_walk" "$tree" .tmp)
printf '%-34s %8s ms  %5s\n' "raw getdents walk" "$raw" "1.00x"
report() {
  local label="$1"; shift
  local t; t=$(median_ms "$@")
  printf '%-34s %8s ms  %5.2fx\n' "$label" "$t" "$(echo "$t / $raw" | bc -l)"
}
echo "-- names only (*.tmp); kept: varnel $(VARNEL_DRIVES= "$bin/filesearch_bench" "$tree" '*.tmp'), find $(find "$tree" -xdev -iname '*.tmp' | wc -l)"
report "varnel TEasyFileSearch *.tmp" env VARNEL_DRIVES= "$bin/filesearch_bench" "$tree" '*.tmp'
report "find -xdev -iname *.tmp" find "$tree" -xdev -iname '*.tmp'
if command -v bfs >/dev/null; then report "bfs -xdev -iname *.tmp" bfs "$tree" -xdev -iname '*.tmp'; fi
echo "-- every entry examined (*.*); kept: varnel $(VARNEL_DRIVES= "$bin/filesearch_bench" "$tree" '*.*')"
report "varnel TEasyFileSearch *.*" env VARNEL_DRIVES= "$bin/filesearch_bench" "$tree" '*.*'
report "find -xdev -printf %s" find "$tree" -xdev -printf '%s\n'
if command -v bfs >/dev/null; then report "bfs -xdev -printf %s" bfs "$tree" -xdev -printf '%s\n'; fi
