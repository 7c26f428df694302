#!/usr/bin/env bash
# The real dialog's first discovery burst answered at once by 256 simulated
# indicators (4 hosts x 64), in a fresh namespace lab per run. Prints each
# run's figures, then median and worst over the runs. Needs root.
#
# Environment: QUORVEL_SIM, QUORVEL_DISCOVERY_BENCH (set by the bench target);
# BENCH_RUNS (5), BENCH_HOSTS (4), BENCH_PER_HOST (64), BENCH_MX_CAP (0),
# BENCH_OUT (directory for each run's report and the program's timed log);
# BENCH_RCVBUF (unset) is an experiment: a larger receive buffer for the
# dialog's search socket, set from outside the program.
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_DISCOVERY_BENCH:?QUORVEL_DISCOVERY_BENCH must name the bench driver}"

RUNS=${BENCH_RUNS:-5}
HOSTS=${BENCH_HOSTS:-4}
PER_HOST=${BENCH_PER_HOST:-64}
MX_CAP=${BENCH_MX_CAP:-0}
RCVBUF=${BENCH_RCVBUF:-}
OUT=${BENCH_OUT:-$PWD/discovery_256-results}
TOTAL=$((HOSTS * PER_HOST))
DEADLINE_S=30
TARGET_MS=3000
PC_IP=10.77.1.1
FIRST_PORT=8000

in_range() { [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }
in_range "$RUNS" 1 20 || lab_fail "BENCH_RUNS must be 1..20"
in_range "$HOSTS" 1 16 || lab_fail "BENCH_HOSTS must be 1..16"
in_range "$PER_HOST" 1 1000 || lab_fail "BENCH_PER_HOST must be 1..1000"
in_range "$MX_CAP" 0 5 || lab_fail "BENCH_MX_CAP must be 0..5"
[ -z "$RCVBUF" ] || in_range "$RCVBUF" 1 67108864 || lab_fail "BENCH_RCVBUF must be 1..67108864"

# Each host's indicators get a port range of their own.
start_sim() {
    local host=$1
    local ip="10.77.1.$((9 + host))"
    lab_host "sim$host" "$ip/24"
    lab_spawn "sim$host" "$LAB_TMP/sim$host.log" "$QUORVEL_SIM" --ip "$ip" --count "$PER_HOST" \
        --name "h$host-ind-%d" --port $((FIRST_PORT + (host - 1) * PER_HOST)) \
        --notify-every 0 --mx-cap "$MX_CAP" >/dev/null
}

# Runs in a subshell: its lab is removed when the subshell ends. The
# simulators are ready before the dialog starts, so their start-up
# announcements are gone and only the search answers make rows.
one_run() {
    local run=$1
    lab_init
    lab_host pc "$PC_IP/24"
    local host
    for ((host = 1; host <= HOSTS; host++)); do
        start_sim "$host"
    done
    for ((host = 1; host <= HOSTS; host++)); do
        lab_wait_for "$LAB_TMP/sim$host.log" '^READY$' 10 || lab_fail "simulator $host not ready"
    done
    local driver
    driver=$(lab_spawn pc "$OUT/run$run.txt" "$QUORVEL_DISCOVERY_BENCH" "$TOTAL" "$DEADLINE_S" \
        "$OUT/run$run-program-log.txt" ${RCVBUF:+--rcvbuf "$RCVBUF"})
    lab_wait_exit "$driver" $((DEADLINE_S + 20)) >/dev/null || lab_fail "the bench driver did not end"
}

# result_field FILE NAME: a value of the RESULT line.
result_field() {
    sed -n 's/^RESULT .*\b'"$2"'=\([^ ]*\).*/\1/p' "$1"
}

# NOT_LISTED stands for a run whose list never held them all.
NOT_LISTED=999999999

# median_and_worst FORMAT: median (mean of the middle two for an even count)
# and worst of the numbers on stdin.
median_and_worst() {
    sort -g | awk -v format="$1" -v never="$NOT_LISTED" '
        function show(x) { return x >= never ? "never (not all listed)" : sprintf(format " ms", x) }
        { v[NR] = $1 }
        END {
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "median %s, worst %s", show(m), show(v[NR])
        }'
}

lab_require_root
mkdir -p "$OUT" || lab_fail "cannot create $OUT"
rm -f "$OUT"/run*.txt
listed=() held=() loop=()
echo "discovery of $TOTAL indicators ($HOSTS hosts x $PER_HOST, answers within ${MX_CAP} s), $RUNS runs," \
    "reports in $OUT"
# Other work on the machine shows up as stalls: say how busy it was.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
[ -z "$RCVBUF" ] || echo "EXPERIMENT: the search socket's receive buffer is set to $RCVBUF bytes from outside"
for ((run = 1; run <= RUNS; run++)); do
    (one_run "$run") || lab_fail "run $run could not be set up"
    report="$OUT/run$run.txt"
    grep -q '^RESULT ' "$report" || lab_fail "run $run printed no result; see $report"
    value=$(result_field "$report" listed_ms)
    [ "$value" = NA ] && value=$NOT_LISTED
    listed+=("$value")
    held+=("$(result_field "$report" held_ms)")
    loop+=("$(result_field "$report" loop_ms)")
    echo "run $run: $(grep -v '^RESULT ' "$report" | grep -E '^all |^NOT ')"
    echo "        held ${held[-1]} ms, plain timer gap ${loop[-1]} ms," \
        "$(result_field "$report" fetches) fetches (mean $(result_field "$report" fetch_mean_ms) ms)," \
        "$(result_field "$report" drops) datagrams dropped"
done

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
met=0
for value in "${listed[@]}"; do
    [ "$value" -le "$TARGET_MS" ] && met=$((met + 1))
done
echo
echo "all $TOTAL listed (list holds $TOTAL rows with host names), from the first M-SEARCH:"
echo "    $(printf '%s\n' "${listed[@]}" | median_and_worst %.0f) over $RUNS runs;" \
    "within the ${TARGET_MS} ms target in $met of $RUNS runs"
echo "longest event-loop hold (gap between ticks of a 5 ms timer of the program's own kind):"
echo "    $(printf '%s\n' "${held[@]}" | median_and_worst %.1f) over $RUNS runs"
echo "longest gap between ticks of a plain 5 ms toolkit timer (also runs during repaints in a fetch):"
echo "    $(printf '%s\n' "${loop[@]}" | median_and_worst %.1f) over $RUNS runs"
