#!/usr/bin/env bash
# Cold runs: each search starts with the tree's metadata out of memory, as
# a cleaner's walk nearly always does. Before every run the kernel's caches
# are dropped, then each program is started once over a small sample folder
# (a junk file, a zero-byte file, an empty folder) so that its own files are
# read back in: what is timed is the walk over a cold tree, not the loading
# of libraries or of the package manager's lists. Each of the three tools
# (the junk search, the zero-byte and the empty-folder finder) runs through
# its window (toolwindow_bench: shown offscreen, a click on the search
# button, until the end text is painted) and from the command line
# (varnel-cli search, zero-files, empty-dirs), in turn with find, bfs and fd
# (Debian's fd-find) asking the same questions; prints the median wall time
# of each and Varnel's ratios to find.
#
# Usage: sudo bench/run-cold.sh [FILES ...]   (default 200000 800000)
# RUNS (default 5) sets the runs per program, BIN=DIR times the programs in
# DIR (bench programs and varnel-cli) instead of build/bench and build/bin
# (and builds nothing), BEFORE=DIR adds the window of the ones in DIR (an
# older build) as one more column, and its command line as another when
# DIR holds a varnel-cli, PEERS (default "find bfs fd") the peers
# run, TASKS (default "junk files dirs") the tools timed, WARM=1 keeps the
# caches (every run warm, the same table).
set -euo pipefail
if [ "$(id -u)" != 0 ] && [ -z "${WARM:-}" ]; then
  echo "run-cold.sh drops the kernel's caches before every run: run it as root" >&2
  exit 1
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-5}"
bin="${BIN:-$root/build/bench}"
cli="${BIN:-$root/build/bin}/varnel-cli"
before="${BEFORE:-}"
peers="${PEERS:-find bfs fd}"
tasks="${TASKS:-junk files dirs}"
export QT_QPA_PLATFORM=offscreen
for tool in bfs fdfind bc; do
  command -v "$tool" >/dev/null || { echo "missing $tool (apt-get install -y bfs fd-find bc)" >&2; exit 1; }
done
sample="$(mktemp -d)"
# The command line's own program folder: its settings ask what find is told
# below (the five junk masks, no temporary folders, no masks of the user's).
home="$(mktemp -d)"
trap 'rm -r "$sample" "$home"' EXIT
mkdir "$sample/empty" && : >"$sample/zero.tmp" && echo data >"$sample/data.txt"
cp "$cli" "$home/"
printf '[Search]\nTempFolders=No\nCustomFiles=No\nTempFiles=Yes\nBAKFiles=Yes\nOLDFiles=Yes\nGIDFiles=Yes\n' \
  >"$home/varnel.ini"
cli="$home/varnel-cli"
before_cli=""
if [ -n "$before" ] && [ -x "$before/varnel-cli" ]; then
  mkdir "$home/before" && cp "$before/varnel-cli" "$home/varnel.ini" "$home/before/"
  before_cli="$home/before/varnel-cli"
fi

drop_caches() { [ -n "${WARM:-}" ] || { sync; echo 3 >/proc/sys/vm/drop_caches; }; }

# Microseconds of one cold run of "$@", after the same command over the
# sample folder has read the program's own files back in. VARNEL_DRIVES
# names the folder searched as drive c: for Varnel's programs.
cold_us() {
  local args=("$@") warm=() a s e
  for a in "${args[@]}"; do warm+=("${a//$tree/$sample}"); done
  drop_caches
  VARNEL_DRIVES="c=$sample" "${warm[@]}" >/dev/null 2>&1 || true
  s=$(date +%s%N); VARNEL_DRIVES="c=$tree" "${args[@]}" >/dev/null 2>&1 || true; e=$(date +%s%N)
  echo $(( (e - s) / 1000 ))
}

median_ms() {
  printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.0f", a[int((NR+1)/2)]/1000}'
}

ratio() { printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }

# One row: label, then the commands separated by "--": the window, the
# command line, find, then the other peers and the older window. Each run
# of every command in turn, $runs times.
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
  local meds=()
  for i in "${!cmds[@]}"; do
    # shellcheck disable=SC2086
    meds+=("$(median_ms ${times[$i]})")
  done
  local r="| $files | $label | ${meds[0]} ($(ratio "${meds[0]}" "${meds[2]}")×) | ${meds[1]} ($(ratio "${meds[1]}" "${meds[2]}")×) | ${meds[2]}"
  for i in "${!meds[@]}"; do
    [ "$i" -lt 3 ] && continue
    r+=" | ${meds[$i]}"
  done
  echo "$r |"
}

peer_cols=""
for p in $peers; do [ "$p" = find ] || peer_cols+=" $p ms |"; done
echo "| entries | task | window ms (÷ find) | varnel-cli ms (÷ find) | find ms |$peer_cols$([ -n "$before" ] && echo ' window before ms |')$([ -n "$before_cli" ] && echo ' varnel-cli before ms |')"
echo "|---|---|---|---|---|$(for p in $peers; do [ "$p" = find ] || printf -- '---|'; done)$([ -n "$before" ] && echo '---|')$([ -n "$before_cli" ] && echo '---|')"
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(200000 800000)
[ -n "${BIN:-}" ] || cmake --build "$root/build" -j2 --target toolwindow_bench varnel-cli >/dev/null
has() { [[ " $peers " == *" $1 "* ]]; }
for files in "${sizes[@]}"; do
  tree="${BENCH_TREE:-/tmp/varnel-bench-$files}"
  [ -d "$tree" ] || python3 "$root/../shared/bench/make-tree" "$tree" --files "$files" >/dev/null
  junk=(-iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' -o -iname '*.old' -o -iname '*.gid')
  others() { # the peers after find, then the older window: "$1" is the tool
    local kind="$1"; shift
    if has bfs; then printf '%s\0' -- bfs "$tree" -xdev "$@"; fi
    if has fd; then
      case "$kind" in
        junk) printf '%s\0' -- fdfind -u --one-file-system -i -e tmp -e temp -e bak -e old -e gid . "$tree" ;;
        files) printf '%s\0' -- fdfind -u --one-file-system -t f -t e . "$tree" ;;
        dirs) printf '%s\0' -- fdfind -u --one-file-system -t d -t e . "$tree" ;;
      esac
    fi
    if [ -n "$before" ]; then printf '%s\0' -- "$before/toolwindow_bench" "$tree" "$kind"; fi
    if [ -n "$before_cli" ]; then
      case "$kind" in
        junk) printf '%s\0' -- "$before_cli" search ;;
        files) printf '%s\0' -- "$before_cli" zero-files ;;
        dirs) printf '%s\0' -- "$before_cli" empty-dirs ;;
      esac
    fi
  }
  if [[ " $tasks " == *" junk "* ]]; then
  mapfile -d '' rest < <(others junk \( "${junk[@]}" \) -printf '%s %p\n')
  row "junk search" "$bin/toolwindow_bench" "$tree" junk -- "$cli" search \
    -- find "$tree" -xdev \( "${junk[@]}" \) -printf '%s %p\n' "${rest[@]}"
  fi
  if [[ " $tasks " == *" files "* ]]; then
  mapfile -d '' rest < <(others files -type f -empty)
  row "zero-byte finder" "$bin/toolwindow_bench" "$tree" files -- "$cli" zero-files \
    -- find "$tree" -xdev -type f -empty "${rest[@]}"
  fi
  if [[ " $tasks " == *" dirs "* ]]; then
  mapfile -d '' rest < <(others dirs -type d -empty)
  row "empty-folder finder" "$bin/toolwindow_bench" "$tree" dirs -- "$cli" empty-dirs \
    -- find "$tree" -xdev -type d -empty "${rest[@]}"
  fi
done
