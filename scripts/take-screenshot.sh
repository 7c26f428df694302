#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window under Xvfb among three simulated
# indicators on a namespaced network, with the first one selected by a real
# mouse click. Needs root, Xvfb, xdotool and ImageMagick's import.
#
#   scripts/take-screenshot.sh [BUILD_DIR] [OUTPUT] [large-dark]
#
# large-dark shows the window as a desktop with an 18-point interface font
# and a dark colour scheme has it (through Qt's GTK theme and GTK's own
# settings, as on a GNOME desktop), sorted by host name; it needs
# qt6-gtk-platformtheme.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../tests/lab/lib/lab.sh"

BUILD=${1:-"$here/../build"}
OUTPUT=${2:-"$here/../docs/screenshot.png"}
APPEARANCE=${3:-default}
DISPLAY_NUMBER=77

for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || lab_fail "$tool is needed (apt-get install xvfb xdotool imagemagick)"
done
appearance=()
if [ "$APPEARANCE" = large-dark ]; then
    ls /usr/lib/*/qt6/plugins/platformthemes/libqgtk3.so >/dev/null 2>&1 ||
        lab_fail "qt6-gtk-platformtheme is needed for large-dark"
fi

lab_require_root
lab_init
lab_host pc 10.77.1.1/24
lab_host sim-a 10.77.1.10/24
lab_host sim-b 10.77.1.11/24

screen=1024x600x24
[ "$APPEARANCE" = large-dark ] && screen=1600x1000x24
Xvfb ":$DISPLAY_NUMBER" -screen 0 "$screen" -nolisten tcp >"$LAB_TMP/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; lab_cleanup' EXIT
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -p "$LAB_TMP/temp"
if [ "$APPEARANCE" = large-dark ]; then
    mkdir -p "$LAB_TMP/config/gtk-3.0"
    printf '[Settings]\ngtk-font-name = DejaVu Sans 18\ngtk-application-prefer-dark-theme = 1\n' \
        >"$LAB_TMP/config/gtk-3.0/settings.ini"
    appearance=(XDG_CONFIG_HOME="$LAB_TMP/config" QT_QPA_PLATFORMTHEME=gtk3)
fi
lab_spawn sim-a "$LAB_TMP/sim-a.log" "$BUILD/tools/quorvel-sim/quorvel-sim" --ip 10.77.1.10 --count 2 \
    --name weigh-line%d >/dev/null
lab_spawn sim-b "$LAB_TMP/sim-b.log" "$BUILD/tools/quorvel-sim/quorvel-sim" --ip 10.77.1.11 --name dock-scale \
    >/dev/null
lab_wait_for "$LAB_TMP/sim-a.log" '^READY$' 5 || lab_fail "simulator not ready"
lab_wait_for "$LAB_TMP/sim-b.log" '^READY$' 5 || lab_fail "simulator not ready"

lab_spawn pc "$LAB_TMP/quorvel.err" env DISPLAY="$DISPLAY" TEMP="$LAB_TMP/temp" QT_QPA_PLATFORM=xcb \
    "${appearance[@]}" "$BUILD/quorvel" /X /L >/dev/null
lab_wait_for "$LAB_TMP/temp/quorvel.log" 'KillTimer\(MY_DISCOVER_ID\)' 15 || lab_fail "no discovery burst"

window=$(xdotool search --sync --name 'Quorvel 01' | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$window")"
if [ "$APPEARANCE" = large-dark ]; then
    # Sorted by host name from the keyboard: from the rows to the headers, one right.
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    xdotool key --delay 300 Tab Right space Shift+Tab Down
else
    # The first row's address cell: the list starts 7 dialog units in, below its header.
    xdotool mousemove --sync $((X + 40)) $((Y + 36)) click 1
fi
sleep 0.5
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$OUTPUT"
echo "wrote $OUTPUT"
