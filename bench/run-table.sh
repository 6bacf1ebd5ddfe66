#!/usr/bin/env bash
# One table of Varnel's searches against their peers on the same generated
# trees, as whole processes (start-up included), at each size given:
# the walker alone against the raw openat walk, the junk search through the
# main window against one find printing the same files with their sizes,
# and the two file tools against find -empty. Each pair runs in turn; prints
# the pair's medians and their ratio. Usage: bench/run-table.sh [FILES ...]   (default 50000 200000)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-5}"
bin="$root/build/bench"
export QT_QPA_PLATFORM=offscreen

# One row: the size, the label, then "VARNEL ... -- PEER ...", run in turn.
row() {
  local size="$1" label="$2"; shift 2
  local a b
  read -r a b < <(paired_ms "$@")
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
      env VARNEL_DRIVES= "$bin/walk_bench" "$tree" '*.tmp' -- "$bin/getdents_walk" "$tree" .tmp
    row "$n" "junk search (find -printf size)" \
      "$bin/search_bench" "$tree" -- find "$tree" -xdev \( "${junk[@]}" \) -printf '%s %p\n'
    row "$n" "zero-byte finder (find -type f -empty)" \
      "$bin/filetools_bench" "$tree" files -- find "$tree" -xdev -type f -empty
    row "$n" "empty-folder finder (find -type d -empty)" \
      "$bin/filetools_bench" "$tree" dirs -- find "$tree" -xdev -type d -empty
done
