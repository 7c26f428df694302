#!/usr/bin/env bash
# The longest the real dialog's event loop stands still while it fetches
# the description of a device that answers badly: one that never answers,
# one that answers and never closes, one that drips a byte a second. Each
# run is one announcement of a freshly started simulator, so one fetch; the
# watcher (quorvel-hostile-watcher) measures the longest gap between two
# turns of its event pump since the run began. Then the time the window
# stood still in all during one minute of: a device that never answers and
# announces every 2 s, each time under a new LOCATION; a device that answers
# in 3.6 s, inside every bound, announcing every 2 s; eight devices on eight
# addresses that never answer, each announcing every second under a new
# LOCATION. Needs root.
#
# Environment: QUORVEL_SIM, QUORVEL_HOSTILE_WATCHER (set by the bench
# target); BENCH_RUNS (5 runs of each fault, 1..20); BENCH_MINUTE_RUNS (1
# minute of the announcing device, 0..5).
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"
source "$BENCH_DIR/../../tests/lab/lib/hostile_watcher.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_HOSTILE_WATCHER:?QUORVEL_HOSTILE_WATCHER must name the hostile watcher}"

RUNS=${BENCH_RUNS:-5}
MINUTE_RUNS=${BENCH_MINUTE_RUNS:-1}
PC_IP=10.77.1.1
DEVICE_IP=10.77.1.10
FETCH_DONE="^GetUrl\\(http://${DEVICE_IP//./\\.}:80/description\\.xml\\)="
[[ $RUNS =~ ^[0-9]+$ ]] && [ "$RUNS" -ge 1 ] && [ "$RUNS" -le 20 ] || lab_fail "BENCH_RUNS must be 1..20"
[[ $MINUTE_RUNS =~ ^[0-9]+$ ]] && [ "$MINUTE_RUNS" -le 5 ] || lab_fail "BENCH_MINUTE_RUNS must be 0..5"

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host device "$DEVICE_IP/24"
EIGHT_HOSTS=()
for ((n = 11; n <= 18; n++)); do
    lab_host "dev$n" "10.77.1.$n/24"
    EIGHT_HOSTS+=("dev$n")
done
watcher_setup

# fresh_look: clicks Search, which forgets the device's earlier time-outs,
# and waits for the end of its burst.
fresh_look() {
    local ends
    ends=$(grep -c 'KillTimer(MY_DISCOVER_ID)' "$TRACE")
    watcher_tell "$W" search
    lab_wait_for_count "$TRACE" 'KillTimer\(MY_DISCOVER_ID\)' $((ends + 1)) 10 >&2 || lab_fail "the burst did not end"
}

# one_fetch FETCHES_SO_FAR SIMULATOR_OPTIONS...: prints the longest hold.
one_fetch() {
    local done_before=$1
    shift
    fresh_look
    watcher_tell "$W" mark
    local sim
    sim=$(lab_spawn device "$LAB_TMP/sim.log" "$QUORVEL_SIM" --ip "$DEVICE_IP" --notify-every 0 "$@")
    lab_wait_for_count "$TRACE" "$FETCH_DONE" $((done_before + 1)) 20 >&2 || lab_fail "the fetch did not end"
    sleep 0.3  # the next report of the watcher covers the whole fetch
    watcher_stat "$W" hold_ms
    kill -TERM "$sim"
    lab_wait_exit "$sim" 5 >/dev/null || lab_fail "the simulator did not stop"
}

# one_minute HOSTS SIMULATOR_OPTIONS...: prints the time the window stood
# still in the minute after a simulator started on each of the hosts (by
# name: device, or devN at 10.77.1.N).
one_minute() {
    local hosts=$1 host ip sims=() started
    shift
    fresh_look
    watcher_tell "$W" mark
    started=$(date +%s)
    for host in $hosts; do
        ip=$DEVICE_IP
        [ "$host" = device ] || ip=10.77.1.${host#dev}
        sims+=("$(lab_spawn "$host" "$LAB_TMP/$host.log" "$QUORVEL_SIM" --ip "$ip" "$@")")
    done
    while [ $(($(date +%s) - started)) -lt 60 ]; do sleep 0.2; done
    sleep 0.2  # the next report of the watcher covers the whole minute
    watcher_stat "$W" held_ms
    for sim in "${sims[@]}"; do
        kill -TERM "$sim"
        lab_wait_exit "$sim" 5 >/dev/null || lab_fail "the simulator did not stop"
    done
}

median_and_worst() {
    sort -g | awk '{ v[NR] = $1 } END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "median %.0f ms, worst %.0f ms", m, v[NR] }'
}

echo "longest event-loop stall during one description fetch, $RUNS runs of each"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
lab_spawn pc "$TRACE" "$QUORVEL_HOSTILE_WATCHER" "$W" 600 >/dev/null
lab_wait_for "$TRACE" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "the first burst did not end"
fetches=0
for fault in "--hang-http:never answers (receive bound 5 s)" "--hold-http:answers, never closes (receive bound 5 s)" \
    "--slow-http 1:drips a byte a second (whole-response bound 10 s; the fetch budget gives a device not yet known to be prompt 8 s)"; do
    holds=()
    for ((run = 1; run <= RUNS; run++)); do
        # shellcheck disable=SC2086  # the fault's option and its value
        holds+=("$(one_fetch "$fetches" ${fault%%:*})")
        fetches=$((fetches + 1))
    done
    echo "  a device that ${fault#*:}:"
    echo "    $(printf '%s\n' "${holds[@]}" | median_and_worst) (runs: ${holds[*]})"
done
# minutes LABEL HOSTS SIMULATOR_OPTIONS...: MINUTE_RUNS minutes of them.
minutes() {
    local label=$1 hosts=$2 held=() run
    shift 2
    for ((run = 1; run <= MINUTE_RUNS; run++)); do
        held+=("$(one_minute "$hosts" "$@")")
    done
    echo "  time held in 60 s by $label:"
    echo "    $(printf '%s\n' "${held[@]}" | median_and_worst) (runs: ${held[*]})"
}
if [ "$MINUTE_RUNS" -gt 0 ]; then
    minutes "one hanging device announcing every 2 s under a new LOCATION (goal <= 5.1 s)" device \
        --notify-every 2 --hang-http --vary-location
    minutes "one device answering in 3.6 s, inside every bound, announcing every 2 s (goal <= 3.7 s)" device \
        --notify-every 2 --slow-http 200
    minutes "eight hanging devices on eight addresses, each announcing every second under a new LOCATION (goal <= 10 s)" \
        "${EIGHT_HOSTS[*]}" --notify-every 1 --hang-http --vary-location
fi
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
watcher_tell "$W" stop
