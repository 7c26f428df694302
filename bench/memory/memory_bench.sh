#!/usr/bin/env bash
# The peak resident set of `quorvel --list` as users run it, under what a
# LAN can send: (a) one host outside the PC's network announcing a new USN
# in every message, 10,000 a second for 20 s; (b) 400 indicators on two
# hosts inside it whose descriptions are 1 MiB each (the response cap). A
# fresh lab for each; prints the peak (VmHWM, from the kernel's accounting of
# the list run) and how many rows the list printed. Needs root.
#
# Environment: QUORVEL, QUORVEL_SIM, QUORVEL_LINE_WATCH, SSDP_FLOOD (set by
# the bench target); BENCH_RUNS (1 run of each, 1..20); BENCH_OUT (result
# directory).
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_LINE_WATCH:?QUORVEL_LINE_WATCH must name the line watch}"
: "${SSDP_FLOOD:?SSDP_FLOOD must name the ssdp-flood binary}"

RUNS=${BENCH_RUNS:-1}
OUT=${BENCH_OUT:-$PWD/memory-results}
PC_IP=10.77.1.1
FLOOD_IP=10.77.9.30
FLOOD_RATE=10000
FLOOD_SECONDS=20
LARGE_HOSTS=2
LARGE_PER_HOST=200
LARGE_TOTAL=$((LARGE_HOSTS * LARGE_PER_HOST))
NESTED_HOSTS=16
NESTED_PER_HOST=256
NESTED_TOTAL=$((NESTED_HOSTS * NESTED_PER_HOST))
[[ $RUNS =~ ^[0-9]+$ ]] && [ "$RUNS" -ge 1 ] && [ "$RUNS" -le 20 ] || lab_fail "BENCH_RUNS must be 1..20"
mkdir -p "$OUT"
lab_require_root

# list_run NAME SECONDS EXPECTED PREFIX: `quorvel --list --seconds SECONDS`
# on the PC host in the background, watched until it printed EXPECTED lines
# beginning with PREFIX; prints the watcher's pid. The program's trace (a
# line per receive of every fetch) is discarded.
list_run() {
    lab_spawn pc "$OUT/$1.txt" "$QUORVEL_LINE_WATCH" "$3" $(($2 + 60)) "$4" \
        bash -c 'exec env -u DISPLAY "$@" 2>/dev/null' list "$QUORVEL" --list --seconds "$2"
}

# report NAME WHAT [ROWS]: the peak from the watcher's RESULT line, and with
# ROWS how many of them the list printed.
report() {
    local result
    result=$(grep '^RESULT' "$OUT/$1.txt")
    local peak=${result##*peak_rss_kb=} seen=${result##*seen=}
    echo "   $2: peak resident set $((${peak%% *} / 1024)) MB (${peak%% *} kB)${3:+, ${seen%% *} of $3 listed}"
}

flood_run() {
    (
        lab_init
        lab_host pc "$PC_IP/24"
        lab_host flood "$FLOOD_IP/24"
        local list flood
        list=$(list_run "flood-run$1" $((FLOOD_SECONDS + 2)) 1 IP-Addr)
        sleep 1
        flood=$(lab_spawn flood "$OUT/flood-run$1-sender.txt" "$SSDP_FLOOD" --ip "$FLOOD_IP" --rate "$FLOOD_RATE" \
            --seconds "$FLOOD_SECONDS" --mode new-usns)
        lab_wait_exit "$flood" $((FLOOD_SECONDS + 10)) >/dev/null || lab_fail "the flood did not end"
        lab_wait_exit "$list" 90 >/dev/null || lab_fail "the list run did not end"
        report "flood-run$1" "run $1, $((FLOOD_RATE * FLOOD_SECONDS)) new USNs from outside the network"
    )
}

# start_sims PREFIX HOSTS PER_HOST [simulator options...]: HOSTS hosts
# 10.77.1.10, .11, ... with PER_HOST indicators each, on ports of their own.
start_sims() {
    local prefix=$1 hosts=$2 per_host=$3 host ip
    shift 3
    for ((host = 1; host <= hosts; host++)); do
        ip=10.77.1.$((9 + host))
        lab_host "sim$host" "$ip/24"
        lab_start_sim "sim$host" "$ip" "$LAB_TMP/sim$host.log" --count "$per_host" \
            --name "$prefix$host-%d" --port $((8000 + (host - 1) * per_host)) "$@" >/dev/null
    done
}

# The simulators are ready before the list starts; every answer to its
# searches is a fetch of 1 MiB.
large_run() {
    (
        lab_init
        lab_host pc "$PC_IP/24"
        start_sims large "$LARGE_HOSTS" "$LARGE_PER_HOST" --flood-http 1
        local list
        list=$(list_run "large-run$1" 40 "$LARGE_TOTAL" '10.77.1.1')
        lab_wait_exit "$list" 110 >/dev/null || lab_fail "the list run did not end"
        report "large-run$1" "run $1, $LARGE_TOTAL indicators with 1 MiB descriptions" "$LARGE_TOTAL"
    )
}

nested_run() {
    (
        lab_init
        lab_host pc "$PC_IP/24"
        # Answers spread over 3 s, as devices spread theirs over MX: 16,384
        # answers at once would overflow any socket buffer.
        start_sims nested "$NESTED_HOSTS" "$NESTED_PER_HOST" --nested-description --mx-cap 3
        local list
        list=$(list_run "nested-run$1" 40 "$NESTED_TOTAL" '10.77.1.')
        lab_wait_exit "$list" 110 >/dev/null || lab_fail "the list run did not end"
        report "nested-run$1" "run $1, $NESTED_TOTAL indicators with nested descriptions" "$NESTED_TOTAL"
    )
}

echo "peak resident set of quorvel --list, $RUNS run(s) of each"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
for ((run = 1; run <= RUNS; run++)); do
    flood_run "$run"
    large_run "$run"
    nested_run "$run"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "the figure for 1024 real indicators is the discovery_1024 benchmark's peak resident set of quorvel --list"
