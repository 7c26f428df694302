#!/usr/bin/env bash
# The Windows program under Wine on a namespaced network beside the
# simulator: --list lists the simulated indicators with their host names,
# device types and model numbers; Ctrl+C ends --watch with 0 while it waits
# to write into a pipe nobody reads; the window under Xvfb lists them too (a
# screenshot of it is left as windows-window.png in the build folder), a
# click on a row and Return open its page through the desktop's opener (a
# recording stand-in for xdg-open, which Wine's browser hands URLs to), Show
# Scales (with /X) writes the overview page into the temporary folder and
# opens it, and Alt+S searches again. Beside them a device whose web server never answers:
# its fetch ends on its bound, and no other fetch starts inside it, as the
# blocking wait leaves every other message in the queue.
# Wine's own services, its network driver among them, run where the first
# Wine process starts, so every Wine process of the prefix runs in the lab.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL_EXE:?QUORVEL_EXE must name quorvel.exe}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
UNREAD_PIPE_PARENT=${UNREAD_PIPE_PARENT:-$(dirname "$QUORVEL_EXE")/unread_pipe_parent.exe}
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
SCREENSHOT=${SCREENSHOT:-$(dirname "$QUORVEL_EXE")/windows-window.png}
[ -x "$WINE" ] || { echo "SKIP: Wine is not installed (scripts/install-deps.sh)"; exit 77; }
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh)"; exit 77; }
done
export WINEPREFIX WINEDEBUG=-all

PC_IP=10.77.1.1
SIM_A=10.77.1.10
SIM_STUCK=10.77.1.20

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host sim-a "$SIM_A/24"
lab_host sim-stuck "$SIM_STUCK/24"
lab_start_sim sim-a "$SIM_A" "$LAB_TMP/sim-a.log" --name alpha-%d --count 2 >/dev/null

stop_wine() { "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; }
stop_wine
# The prefix's TEMP, where /L writes quorvel.log.
temp_dir="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
mkdir -p "$temp_dir"
rm -f "$temp_dir/quorvel.log"
trap 'stop_wine; kill "${xvfb:-}" 2>/dev/null; lab_cleanup' EXIT

# Wine makes no window, not even a hidden one, without a display; a Windows
# PC always has its desktop.
mkdir -p "$LAB_TMP/fb"
lab_exec pc Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -fbdir "$LAB_TMP/fb" \
    3>"$LAB_TMP/display" >"$LAB_TMP/xvfb.log" 2>&1 &
xvfb=$!
lab_wait_for "$LAB_TMP/display" '^[0-9]+$' 10 || lab_fail "Xvfb did not start"
display=":$(cat "$LAB_TMP/display")"

# --- --list ---------------------------------------------------------------
lab_exec pc env DISPLAY="$display" timeout 60 "$WINE" "$QUORVEL_EXE" --list --seconds 3 /L \
    >"$LAB_TMP/list.out" 2>"$LAB_TMP/list.err"
rc=$?
[ "$rc" = 0 ] || {
    tail -n 5 "$LAB_TMP/list.err" >&2
    tail -n 30 "$temp_dir/quorvel.log" >&2
    lab_fail "--list ended with $rc"
}
tr -d '\r' <"$LAB_TMP/list.out" >"$LAB_TMP/list.txt"
for number in 1 2; do
    lab_expect_grep "$LAB_TMP/list.txt" "^$SIM_A	alpha-$number	[^	]+	online *	[0-9:]+	[^	]+	"
done
[ "$(grep -c "^$SIM_A" "$LAB_TMP/list.txt")" = 2 ] || lab_fail "not two rows in $(cat "$LAB_TMP/list.txt")"
echo "--list under Wine:"
cat "$LAB_TMP/list.txt"

# --- no desktop ---------------------------------------------------------------
# Without a display Wine makes no dialog: a printing switch ends as a failed
# start-up, with 1, never with the 0 of a run that succeeded.
for mode in "--list --seconds 1" --watch; do
    stop_wine
    # shellcheck disable=SC2086
    lab_exec pc env -u DISPLAY timeout 60 "$WINE" "$QUORVEL_EXE" $mode >"$LAB_TMP/no-desktop.out" 2>&1
    rc=$?
    [ "$rc" = 1 ] || lab_fail "$mode without a display ended with $rc"
done
echo "without a display --list and --watch end with 1"

# --- --watch with a reader that stopped reading -----------------------------
# Ctrl+C (Wine turns SIGINT into the console's event) ends the watch with 0
# within a second, although it waits to write into a full pipe: the request
# cancels the write. 64 indicators' first lines are more than the pipe holds.
stop_wine
rm -f "$temp_dir/quorvel.log"
lab_host sim-many 10.77.1.30/24
many=$(lab_start_sim sim-many 10.77.1.30 "$LAB_TMP/many.log" --count 64 --port 8000 --name many-%d)
watch=$(lab_spawn pc "$LAB_TMP/watch.err" env DISPLAY="$display" "$WINE" "$UNREAD_PIPE_PARENT" 60 "Z:${QUORVEL_EXE//\//\\}" --watch /L)
lab_wait_for_count "$temp_dir/quorvel.log" '[|]GetUrl\(http://10\.77\.1\.30:' 8 30 ||
    lab_fail "the watch fetched no descriptions: $(tail -n 3 "$LAB_TMP/watch.err")"
fetched() { grep -c '[|]GetUrl(' "$temp_dir/quorvel.log"; }
sleep 2
before=$(fetched)
sleep 1
[ "$(fetched)" = "$before" ] && [ "$before" -lt 256 ] ||
    lab_fail "the watch did not wait for its reader ($before fetches, then $(fetched))"
watcher=$(pgrep -x quorvel.exe) || lab_fail "no quorvel.exe process"
lab_expect_quiet_end INT "$watcher" "$watch" 2 "$temp_dir/quorvel.log" Ctrl+C
kill -TERM "$many"
echo "Ctrl+C ends a watch whose reader stopped reading, with 0"

# --- the window -------------------------------------------------------------
stop_wine
rm -f "$temp_dir/quorvel.log"
mkdir -p "$LAB_TMP/bin"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$LAB_TMP/opened" >"$LAB_TMP/bin/xdg-open"
chmod +x "$LAB_TMP/bin/xdg-open"
rm -f "$temp_dir/Indicators.html"
lab_spawn pc "$LAB_TMP/window.err" env DISPLAY="$display" PATH="$LAB_TMP/bin:$PATH" "$WINE" "$QUORVEL_EXE" /X /L \
    >/dev/null
lab_wait_for_count "$temp_dir/quorvel.log" "[|]GetUrl\\(http://$SIM_A:8[01]/description.xml\\)=[0-9]+" 2 30 ||
    lab_fail "the window fetched no descriptions"

# The rows are written right after the fetches; painting follows.
sleep ${SETTLE:-1}
python3 "$(dirname "${BASH_SOURCE[0]}")/tools/xwd_to_png.py" "$LAB_TMP/fb/Xvfb_screen0" "$SCREENSHOT" ||
    lab_fail "no screenshot"
echo "screenshot: $SCREENSHOT"

export DISPLAY="$display"
window=""
for _ in $(seq 50); do
    window=$(xdotool search --onlyvisible --name '^Quorvel 01' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || lab_fail "no window named Quorvel"
eval "$(xdotool getwindowgeometry --shell "$window")"
# The first row's address cell, below the caption Wine draws and the header:
# only a click there selects a row. Return then clicks the default button,
# Open, after the click: both come through the window's queue in order.
xdotool mousemove --sync $((X + 40)) $((Y + 57)) click 1
xdotool key Return
# Wine's browser drops the scheme's own port from the address.
lab_wait_for "$LAB_TMP/opened" "^http://$SIM_A(:80)?/\$" 15 || lab_fail "Open did not reach the desktop's opener"

# Show Scales, 60 dialog units in and 186 down (Wine's dialog font has base
# units of 7 by 13 pixels here), below the caption.
xdotool mousemove --sync $((X + 152)) $((Y + 332)) click 1
lab_wait_for "$LAB_TMP/opened" 'Indicators\.html$' 15 || lab_fail "Show Scales opened no page"
lab_expect_grep "$temp_dir/Indicators.html" "alpha-1"

# The search finds the silent device too; the indicators' answers to it
# wait in the queue while its fetch runs.
lab_start_sim sim-stuck "$SIM_STUCK" "$LAB_TMP/sim-stuck.log" --name stuck --hang-http >/dev/null
searches=$(grep -c 'SendDiscover:SentTo' "$temp_dir/quorvel.log")
xdotool key alt+s
lab_wait_for_count "$temp_dir/quorvel.log" 'SendDiscover:SentTo' $((searches + 1)) 10 || lab_fail "Alt+S did not search"
lab_wait_for "$temp_dir/quorvel.log" "[|]GetUrl\\(http://$SIM_STUCK:80/description.xml\\)=" 30 ||
    lab_fail "the fetch from the silent device did not end"
# The file's lines carry a timestamp before the text the check reads.
sed 's/^[^|]*|//' "$temp_dir/quorvel.log" >"$LAB_TMP/window-trace.log"
lab_fetches_in_turn "$LAB_TMP/window-trace.log" || lab_fail "a description fetch started inside another"
echo "Open, Show Scales and Search work in the window"
