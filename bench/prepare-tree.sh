# Sourced by the bench scripts: builds Varnel and makes sure the generated
# tree exists. Expects root and files to be set; sets tree and defines
# median_ms (which reads runs).
tree="${BENCH_TREE:-/tmp/varnel-bench-$files}"
"$root/scripts/build" >/dev/null
if [ ! -d "$tree" ]; then
  python3 "$root/../shared/bench/make-tree" "$tree" --files "$files" 2>/dev/null \
    || { echo "make-tree not found: set BENCH_TREE to a tree of your own"; exit 1; }
fi

# Median wall time in milliseconds of "$@" over $runs warm runs (the first
# run, not counted, warms the cache).
median_ms() {
  "$@" >/dev/null 2>&1
  local times=()
  for _ in $(seq "$runs"); do
    local s e
    s=$(date +%s%N); "$@" >/dev/null 2>&1; e=$(date +%s%N)
    times+=($(( (e - s) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1000}'
}
