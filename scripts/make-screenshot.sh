#!/usr/bin/env bash
# Takes docs/screenshot.png: the desktop program under Xvfb, a test image from
# our own builder opened through the real file dialog, its checksum verified.
# Needs Xvfb, xdotool and ImageMagick (import, convert).
#
# Build folder: $VARDANE_SCREENSHOT_BUILD, default build-screenshot.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${VARDANE_SCREENSHOT_BUILD:-$root/build-screenshot}
out=$root/docs/screenshot.png

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vardane vardane_write_test_image >/dev/null

tmp=$(mktemp -d)
image=$tmp/geforce2.rom
"$build/tests/vardane_write_test_image" "$image"

Xvfb -displayfd 3 -screen 0 800x600x24 -dpi 96 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.05; done
export DISPLAY=:$(head -1 "$tmp/display") QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$tmp/xdg
mkdir -m 700 "$tmp/xdg"

"$build/src/ui/vardane" >"$tmp/vardane.log" 2>&1 &
program=$!

# No window manager runs here, so each window is given the focus by hand.
focus() { xdotool windowfocus --sync "$(xdotool search --sync --onlyvisible --name "$1" | head -1)"; }
menu() { focus "^Vardane"; xdotool key "alt+$1"; sleep 0.3; xdotool key "$2"; }

menu f o
focus "^(Open|Ouvrir)$"
xdotool type --delay 5 "$image"
xdotool key Return
sleep 1
menu c v
sleep 0.5

geometry=$(xdotool search --name "^Vardane" getwindowgeometry --shell | head -5)
eval "$geometry"
import -window root "$tmp/root.png"
convert "$tmp/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "wrote $out"
