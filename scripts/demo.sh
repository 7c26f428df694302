#!/usr/bin/env bash
# `make demo`: three simulated indicators, each on its own host of a small
# network of namespaces, and the real Quorvel window among them on your
# display. Everything the demo made is removed when the window closes or on
# Ctrl-C. Needs root for the namespaces.
#
#   scripts/demo.sh [BUILD_DIR] [quorvel arguments...]
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/../tests/lab/lib/lab.sh"

BUILD=${1:-"$here/../build"}
[ $# -gt 0 ] && shift
QUORVEL="$BUILD/quorvel"
QUORVEL_SIM="$BUILD/tools/quorvel-sim/quorvel-sim"
PC_IP=10.77.1.1
INDICATORS=("intake-scale 10.77.1.10" "dock-scale 10.77.1.11" "bagging-line 10.77.1.12")

demo_fail() {
    echo "demo: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || demo_fail "network namespaces need root: sudo make demo"
[ -x "$QUORVEL" ] && [ -x "$QUORVEL_SIM" ] || demo_fail "$QUORVEL or $QUORVEL_SIM is missing; run make first"
[ -n "${DISPLAY:-}" ] ||
    demo_fail "DISPLAY is not set (sudo drops it): sudo --preserve-env=DISPLAY,XAUTHORITY make demo"
# The program runs inside the demo's network, where only the display's socket
# file is reachable, not a display over TCP (such as an ssh-forwarded one).
case "$DISPLAY" in
:* | unix:*) ;;
*) demo_fail "DISPLAY=$DISPLAY is reached over the network, which the demo's hosts cannot see; use a local display" ;;
esac
if [ -z "${XAUTHORITY:-}" ] && [ -n "${SUDO_USER:-}" ]; then
    user_home=$(getent passwd "$SUDO_USER" | cut -d: -f6)
    [ -f "$user_home/.Xauthority" ] && export XAUTHORITY="$user_home/.Xauthority"
fi

lab_require_root
lab_init
echo "Lab: namespaces $LAB_PREFIX-*, addresses 10.77.1.0/24"
lab_host pc "$PC_IP/24"
for indicator in "${INDICATORS[@]}"; do
    read -r name ip <<<"$indicator"
    lab_host "$name" "$ip/24"
    lab_spawn "$name" "$LAB_TMP/$name.log" "$QUORVEL_SIM" --ip "$ip" --name "$name" --notify-every 10 >/dev/null
    lab_wait_for "$LAB_TMP/$name.log" '^READY$' 5 || lab_fail "the simulator of $name did not start"
    echo "  indicator $name at http://$ip/"
done

echo "Quorvel runs on $PC_IP; close its window or press Ctrl-C to end the demo."
lab_exec pc env QT_QPA_PLATFORM=xcb "$QUORVEL" "$@"
echo "Quorvel ended (exit code $?); removing the lab."
