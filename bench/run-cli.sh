#!/usr/bin/env bash
# Times "varnel-cli search" against find printing the same files with their
# sizes, over the generated tree, and prints the ratio (the command line has
# no window to paint, so it should not be slower than find).
# Usage: bench/run-cli.sh [FILES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
files="${1:-200000}"
runs="${2:-7}"
. "$root/bench/prepare-tree.sh"

# A program folder of its own: the settings say what find is told below
# (the default masks, no temporary folders, no masks of the user's own).
home=$(mktemp -d /tmp/varnel-cli-bench-XXXXXX)
trap 'rm -rf "$home"' EXIT
cp "$root/build/bin/varnel-cli" "$home/"
printf '[Search]\nTempFolders=No\nCustomFiles=No\nTempFiles=Yes\nBAKFiles=Yes\nOLDFiles=No\nGIDFiles=No\n' >"$home/varnel.ini"
export VARNEL_DRIVES="c=$tree"

count_cli=$("$home/varnel-cli" search | grep -vc '^total:')
count_find=$(find "$tree" -xdev \( -iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' \) -printf '%p\t%s\n' | wc -l)
echo "tree: $tree ($files files); matches: varnel-cli $count_cli, find $count_find"

read -r t_cli t_find < <(paired_ms "$home/varnel-cli" search -- \
  find "$tree" -xdev \( -iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' \) -printf '%p\t%s\n')
printf '%-34s %8s ms  %5.2fx\n' "find -printf '%p %s'" "$t_find" 1
printf '%-34s %8s ms  %5.2fx\n' "varnel-cli search" "$t_cli" "$(echo "$t_cli / $t_find" | bc -l)"
read -r t_json t_find2 < <(paired_ms "$home/varnel-cli" --json search -- \
  find "$tree" -xdev \( -iname '*.tmp' -o -iname '*.temp' -o -iname '*.bak' \) -printf '%p\t%s\n')
printf '%-34s %8s ms  %5.2fx\n' "varnel-cli --json search" "$t_json" "$(echo "$t_json / $t_find2" | bc -l)"
