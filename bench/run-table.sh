#!/usr/bin/env bash
# One table of Varnel's searches against their peers on the same generated
# trees, as whole processes (start-up included), at each size given:
# the walker alone against the raw openat walk, the junk search through the
# main window against one find printing the same files with their sizes,
# and the two file tools against find -empty. Prints each pair's medians and
# their ratio. Usage: bench/run-table.sh [FILES ...]   (default 50000 200000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-5}"
bin="$root/build/bench"
export QT_QPA_PLATFORM=offscreen

row() {
  local size="$1" label="$2" a="$3" b="$4"
  printf '| %7s | %-42s | %9s | %9s | %5.2fx |\n' "$size" "$label" "$a" "$b" "$(echo "$a / $b" | bc -l)"
}

echo "| entries | task (peer) | varnel ms | peer ms | ratio |"
echo "|---|---|---|---|---|"
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(50000 200000)
for n in "${sizes[@]}"; do
    files=$n
    . "$root/bench/prepare-tree.sh"
    junk=(-iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' -o -iname '*.old' -o -iname '*.gid')
    row "$n" "walker alone (raw openat walk)" \
      "$(VARNEL_DRIVES= median_ms "$bin/walk_bench" "$tree" '*.tmp')" "$(median_ms "$bin/getdents_walk" "$tree" .tmp)"
    row "$n" "junk search (find -printf size)" \
      "$(median_ms "$bin/search_bench" "$tree")" "$(median_ms find "$tree" -xdev \( "${junk[@]}" \) -printf '%s %p\n')"
    row "$n" "zero-byte finder (find -type f -empty)" \
      "$(median_ms "$bin/filetools_bench" "$tree" files)" "$(median_ms find "$tree" -xdev -type f -empty)"
    row "$n" "empty-folder finder (find -type d -empty)" \
      "$(median_ms "$bin/filetools_bench" "$tree" dirs)" "$(median_ms find "$tree" -xdev -type d -empty)"
done
