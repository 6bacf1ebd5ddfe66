#!/usr/bin/env bash
# Cold runs: each search starts with the tree's metadata out of memory, as
# a cleaner's walk nearly always does. Before every run the kernel's caches
# are dropped, then each program is started once over a small sample folder
# (a junk file, a zero-byte file, an empty folder) so that its own files are
# read back in: what is timed is the walk over a cold tree, not the loading
# of libraries or of the package manager's lists. Varnel's junk search (through the main
# window), zero-byte and empty-folder finders run in turn with find, bfs and
# fd (Debian's fd-find) asking the same questions; prints the median wall
# time of each and Varnel's ratio to each peer.
#
# Usage: sudo bench/run-cold.sh [FILES ...]   (default 200000 800000)
# RUNS (default 5) sets the runs per program, BIN=DIR times the bench
# programs in DIR instead of build/bench (and builds nothing), BEFORE=DIR
# adds the ones in DIR (an older build) as one more column.
set -euo pipefail
if [ "$(id -u)" != 0 ]; then
  echo "run-cold.sh drops the kernel's caches before every run: run it as root" >&2
  exit 1
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-5}"
bin="${BIN:-$root/build/bench}"
before="${BEFORE:-}"
export QT_QPA_PLATFORM=offscreen
for tool in bfs fdfind bc; do
  command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install -y bfs fd-find bc)" >&2; exit 1; }
done
sample="$(mktemp -d)"
trap 'rm -r "$sample"' EXIT
mkdir "$sample/empty" && : >"$sample/zero.tmp" && echo data >"$sample/data.txt"

drop_caches() { sync; echo 3 >/proc/sys/vm/drop_caches; }

# Microseconds of one cold run of "$@", after the same command over the
# sample folder has read the program's own files back in.
cold_us() {
  local args=("$@") warm=() a s e
  for a in "${args[@]}"; do warm+=("${a//$tree/$sample}"); done
  drop_caches
  "${warm[@]}" >/dev/null 2>&1 || true
  s=$(date +%s%N); "${args[@]}" >/dev/null 2>&1 || true; e=$(date +%s%N)
  echo $(( (e - s) / 1000 ))
}

median_ms() {
  printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.0f", a[int((NR+1)/2)]/1000}'
}

# One row: label, then the commands separated by "--", Varnel's first; each
# run of every command in turn, $runs times.
row() {
  local label="$1"; shift
  local cmds=() cur=() a i
  for a in "$@" --; do
    if [ "$a" = "--" ]; then cmds+=("$(printf '%q ' "${cur[@]}")"); cur=(); else cur+=("$a"); fi
  done
  local -A times=()
  for _ in $(seq "$runs"); do
    for i in "${!cmds[@]}"; do
      eval "set -- ${cmds[$i]}"
      times[$i]+=" $(cold_us "$@")"
    done
  done
  local meds=() r
  for i in "${!cmds[@]}"; do
    # shellcheck disable=SC2086
    meds+=("$(median_ms ${times[$i]})")
  done
  r="| $files | $label | ${meds[0]}"
  for i in "${!meds[@]}"; do
    [ "$i" = 0 ] && continue
    r+=" | ${meds[$i]} ($(printf '%.2f' "$(echo "${meds[0]} / ${meds[$i]}" | bc -l)")×)"
  done
  echo "$r |"
}

header="| entries | task | varnel ms | find ms (ratio) | bfs ms (ratio) | fd ms (ratio) |"
[ -n "$before" ] && header="${header} varnel before ms (ratio) |"
echo "$header"
echo "|---|---|---|---|---|---|$([ -n "$before" ] && echo '---|')"
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(200000 800000)
[ -n "${BIN:-}" ] || cmake --build "$root/build" -j2 --target search_bench filetools_bench >/dev/null
for files in "${sizes[@]}"; do
  tree="${BENCH_TREE:-/tmp/varnel-bench-$files}"
  [ -d "$tree" ] || python3 "$root/../shared/bench/make-tree" "$tree" --files "$files" >/dev/null
  junk=(-iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' -o -iname '*.old' -o -iname '*.gid')
  fdjunk=(-u --one-file-system -i -e tmp -e temp -e bak -e old -e gid . "$tree")
  row "junk search" "$bin/search_bench" "$tree" \
    -- find "$tree" -xdev \( "${junk[@]}" \) -printf '%s %p\n' \
    -- bfs "$tree" -xdev \( "${junk[@]}" \) -printf '%s %p\n' \
    -- fdfind "${fdjunk[@]}" \
    ${before:+-- "$before/search_bench" "$tree"}
  row "zero-byte finder" "$bin/filetools_bench" "$tree" files \
    -- find "$tree" -xdev -type f -empty -- bfs "$tree" -xdev -type f -empty \
    -- fdfind -u --one-file-system -t f -t e . "$tree" \
    ${before:+-- "$before/filetools_bench" "$tree" files}
  row "empty-folder finder" "$bin/filetools_bench" "$tree" dirs \
    -- find "$tree" -xdev -type d -empty -- bfs "$tree" -xdev -type d -empty \
    -- fdfind -u --one-file-system -t d -t e . "$tree" \
    ${before:+-- "$before/filetools_bench" "$tree" dirs}
done
