#!/usr/bin/env bash
# What a cold start costs the command line, and the package set's part of
# it: varnel-cli search over a one-file folder (the match asks whether the
# package manager installed it) after the kernel's caches were dropped,
#   with the package set's cache in place,
#   without it (the lists are read, and the cache saved for the next run),
#   with no package lists at all (DPKG_ADMINDIR an empty folder),
# in turn, RUNS times (default 7); prints the medians in milliseconds.
#
# Usage: sudo bench/run-coldstart.sh   (BIN=DIR takes varnel-cli from DIR)
set -euo pipefail
[ "$(id -u)" = 0 ] || { echo "run-coldstart.sh drops the kernel's caches: run it as root" >&2; exit 1; }
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${RUNS:-7}"
cli="${BIN:-$root/build/bin}/varnel-cli"
work="$(mktemp -d)"
trap 'rm -r "$work"' EXIT
mkdir -p "$work/tree" "$work/cache" "$work/nolists/info" && : >"$work/tree/zero.tmp"
cp "$cli" "$work/"
printf '[Search]\nTempFolders=No\nCustomFiles=No\n' >"$work/varnel.ini"
export QT_QPA_PLATFORM=offscreen VARNEL_DRIVES="c=$work/tree"

cold_ms() { # a cold run of "$@" in milliseconds
  sync; echo 3 >/proc/sys/vm/drop_caches
  local s e; s=$(date +%s%N); "$@" >/dev/null 2>&1 || true; e=$(date +%s%N)
  echo $(( (e - s) / 1000000 ))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

XDG_CACHE_HOME="$work/cache" "$work/varnel-cli" search >/dev/null 2>&1 || true # saves the cache
cached=() uncached=() none=()
for _ in $(seq "$runs"); do
  cached+=("$(XDG_CACHE_HOME="$work/cache" cold_ms "$work/varnel-cli" search)")
  rm -rf "$work/empty-cache"; mkdir "$work/empty-cache"
  uncached+=("$(XDG_CACHE_HOME="$work/empty-cache" cold_ms "$work/varnel-cli" search)")
  none+=("$(XDG_CACHE_HOME="$work/empty-cache" DPKG_ADMINDIR="$work/nolists" cold_ms "$work/varnel-cli" search)")
done
lists=$(ls "${DPKG_ADMINDIR:-/var/lib/dpkg}/info"/*.list 2>/dev/null | wc -l)
echo "cold start of varnel-cli search, medians of $runs ($lists package lists):"
echo "  package set from its cache   $(median "${cached[@]}") ms"
echo "  package set from the lists   $(median "${uncached[@]}") ms"
echo "  no package lists             $(median "${none[@]}") ms"
