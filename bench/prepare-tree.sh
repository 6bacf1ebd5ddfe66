# Sourced by the bench scripts: builds Varnel and makes sure the generated
# tree exists. Expects root and files to be set; sets tree.
tree="${BENCH_TREE:-/tmp/varnel-bench-$files}"
"$root/scripts/build" >/dev/null
if [ ! -d "$tree" ]; then
  python3 "$root/../shared/bench/make-tree" "$tree" --files "$files" 2>/dev/null \
    || { echo "make-tree not found: set BENCH_TREE to a tree of your own"; exit 1; }
fi
