#!/usr/bin/env bash
# Makes docs/main-window.png, the README's picture, from the running program:
# a small junk tree of its own as drive c:, one search, the window captured.
# Needs what scripts/bootstrap installs (Xvfb, xdotool, ImageMagick).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build" >/dev/null
work=/tmp/varnel-demo
rm -rf "$work"
mkdir -m 700 "$work"
display=":$(( 190 + RANDOM % 100 ))"
trap 'kill "${app:-}" "${xvfb:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# What a user's disk might hold.
mkdir -p "$work/c/Projects/report" "$work/c/Photos" "$work/c/Downloads" "$work/Temp/build-1234" "$work/home" "$work/bin"
head -c 48000 /dev/urandom >"$work/c/Projects/report/draft.doc.bak"
head -c 12000 /dev/urandom >"$work/c/Projects/report/~WRL0003.tmp"
head -c 3000 /dev/urandom >"$work/c/Photos/thumbs.old"
head -c 250000 /dev/urandom >"$work/c/Downloads/setup.exe.tmp"
head -c 90000 /dev/urandom >"$work/Temp/build-1234/cc1.o.tmp"
head -c 5000 /dev/urandom >"$work/Temp/session.tmp"
cp "$root"/build/bin/varnel "$root"/build/bin/vrimgs.dll "$root"/build/bin/vrhelp.dll "$work/bin/"
printf '[Search]\r\nOLDFiles=Yes\r\n' >"$work/bin/varnel.ini"

Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
env HOME="$work/home" XDG_RUNTIME_DIR="$work" TMPDIR="$work/Temp" VARNEL_DRIVES="c=$work/c" DPKG_ADMINDIR="$work" \
  "$work/bin/varnel" &
app=$!
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name "Varnel" 2>/dev/null | head -1) && [ -n "$window" ] && break
  sleep 0.1
done
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 36)) $((Y + 50)) click 1 # "Поиск"
sleep 2
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$root/docs/main-window.png"
echo "docs/main-window.png: ${WIDTH}x${HEIGHT}"
