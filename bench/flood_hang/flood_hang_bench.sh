#!/usr/bin/env bash
# Datagrams lost while the window waits on a device that never answers: the
# real dialog under 5,000 foreign SSDP datagrams a second for 10 s from one
# host, while another host announces every 2 s and never answers the
# description fetch. Counts the datagrams the program dispatched (its
# "OnReceive(" trace lines) against those sent, the kernel's drops for a
# full receive buffer (RcvbufErrors of the PC host), the program's own
# "receive queue full" lines, and the peak resident memory. Needs root.
#
# Environment: QUORVEL_SIM, QUORVEL_HOSTILE_WATCHER, SSDP_FLOOD (set by the
# bench target); BENCH_RUNS (3 runs, 1..20).
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"
source "$BENCH_DIR/../../tests/lab/lib/hostile_watcher.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_HOSTILE_WATCHER:?QUORVEL_HOSTILE_WATCHER must name the hostile watcher}"
: "${SSDP_FLOOD:?SSDP_FLOOD must name the ssdp-flood binary}"

RUNS=${BENCH_RUNS:-3}
PC_IP=10.77.1.1
HANG_IP=10.77.1.20
FLOOD_IP=10.77.1.30
RATE=5000
FLOOD_SECONDS=10
TOTAL=$((RATE * FLOOD_SECONDS))
[[ $RUNS =~ ^[0-9]+$ ]] && [ "$RUNS" -ge 1 ] && [ "$RUNS" -le 20 ] || lab_fail "BENCH_RUNS must be 1..20"

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host hang "$HANG_IP/24"
lab_host flood "$FLOOD_IP/24"
watcher_setup

from_flood() { grep -c "^OnReceive(${FLOOD_IP//./\\.})" "$TRACE"; }

# one_run RUN: a fresh program, the hanging device, then the flood.
one_run() {
    : >"$TRACE"
    rm -f "$W"/stats.txt
    local watcher hang flood status drops_before
    watcher=$(lab_spawn pc "$TRACE" "$QUORVEL_HOSTILE_WATCHER" "$W" 120)
    lab_wait_for "$TRACE" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "the first burst did not end"
    hang=$(lab_spawn hang "$LAB_TMP/hang.log" "$QUORVEL_SIM" --ip "$HANG_IP" --hang-http --notify-every 2)
    lab_wait_for "$TRACE" "^GetUrl\\(http://${HANG_IP//./\\.}:" 10 || lab_fail "the hanging device was not fetched"
    drops_before=$(lab_udp_counter pc RcvbufErrors)

    flood=$(lab_spawn flood "$LAB_TMP/flood.log" "$SSDP_FLOOD" --ip "$FLOOD_IP" --rate "$RATE" \
        --seconds "$FLOOD_SECONDS")
    status=$(lab_wait_exit "$flood" $((FLOOD_SECONDS + 10))) || lab_fail "the flood did not end"
    [ "$status" = 0 ] || lab_fail "the sender failed: $(cat "$LAB_TMP/flood.log")"
    # The backlog drains once the window is free again; a run that never
    # gets there shows as a loss.
    lab_wait_for_count "$TRACE" "^OnReceive\\(${FLOOD_IP//./\\.}\\)" "$TOTAL" 30 ||
        echo "   (not every datagram came through within 30 s)" >&2
    sleep 0.3  # one more report of the watcher
    local processed drops full peak
    processed=$(from_flood)
    drops=$(($(lab_udp_counter pc RcvbufErrors) - drops_before))
    full=$(grep -c '^>receive queue full' "$TRACE")
    peak=$(stat_value peak_rss_kb)
    echo "   run $1: lost $((TOTAL - processed)) of $TOTAL; kernel drops $drops; queue-full lines $full;" \
        "fetches of the hanging device $(grep -c "^GetUrl(http://${HANG_IP//./\\.}:[0-9]*/[^)]*)=" "$TRACE");" \
        "peak RSS ${peak} kB"
    kill -TERM "$hang"
    lab_wait_exit "$hang" 5 >/dev/null || lab_fail "the simulator did not stop"
    tell stop
    lab_wait_exit "$watcher" 10 >/dev/null || lab_fail "the program did not end"
}

echo "$RATE foreign datagrams a second for $FLOOD_SECONDS s beside a device that never answers, $RUNS runs"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((run = 1; run <= RUNS; run++)); do
    one_run "$run"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
