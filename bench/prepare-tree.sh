# Sourced by the bench scripts: builds Varnel and makes sure the generated
# tree exists. Expects root and files to be set; sets tree and defines
# median_ms and paired_ms (which read runs).
tree="${BENCH_TREE:-/tmp/varnel-bench-$files}"
"$root/scripts/build" >/dev/null
if [ ! -d "$tree" ]; then
  python3 "$root/../shared/bench/make-tree" "$tree" --files "$files" 2>/dev/null \
    || { echo "make-tree not found: set BENCH_TREE to a tree of your own"; exit 1; }
fi

# Wall time of one run of "$@" in microseconds.
time_us() {
  local s e
  s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N)
  echo $(( (e - s) / 1000 ))
}

# The median of the microsecond figures given, in milliseconds.
median_of() {
  printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}

# Median wall time in milliseconds of "$@" over $runs warm runs (the first
# run, not counted, warms the cache).
median_ms() {
  "$@" >/dev/null 2>&1
  local times=()
  for _ in $(seq "$runs"); do times+=("$(time_us "$@")"); done
  median_of "${times[@]}"
}

# "A ... -- B ...": the median wall times in milliseconds of A and of B, run
# in turn $runs times after one warm run each, printed as "A B". Taking
# turns lets a change of load on a shared machine fall on both alike.
paired_ms() {
  local a=() b=() arg second=0
  for arg in "$@"; do
    if [ "$second" = 0 ] && [ "$arg" = "--" ]; then second=1; continue; fi
    if [ "$second" = 0 ]; then a+=("$arg"); else b+=("$arg"); fi
  done
  "${a[@]}" >/dev/null 2>&1; "${b[@]}" >/dev/null 2>&1
  local ta=() tb=()
  for _ in $(seq "$runs"); do
    ta+=("$(time_us "${a[@]}")"); tb+=("$(time_us "${b[@]}")")
  done
  echo "$(median_of "${ta[@]}") $(median_of "${tb[@]}")"
}
