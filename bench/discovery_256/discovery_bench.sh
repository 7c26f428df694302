#!/usr/bin/env bash
# The real dialog's first discovery burst answered at once by simulated
# indicators (4 hosts x 64 by default), in a fresh namespace lab per run, and
# on the same lab, interleaved in a rotating order, two peers: gssdp-discover
# (Debian's gupnp-tools, installed here if missing) printing the USNs, and
# our minimal concurrent reference client fetching every description at once.
# Prints each run's figures, then medians with their ratios. Needs root.
#
# Environment: QUORVEL, QUORVEL_SIM, QUORVEL_DISCOVERY_BENCH,
# QUORVEL_REFERENCE_CLIENT, QUORVEL_LINE_WATCH (set by the bench target);
# BENCH_NAME (discovery_256), BENCH_RUNS (5), BENCH_HOSTS (4), BENCH_PER_HOST
# (64), BENCH_MX_CAP (0), BENCH_TARGET_MS (3000), BENCH_OUT (directory for
# each run's report and the program's timed log); BENCH_RCVBUF (unset) is an
# experiment: a larger receive buffer for the dialog's search socket, set
# from outside the program.
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_DISCOVERY_BENCH:?QUORVEL_DISCOVERY_BENCH must name the bench driver}"
: "${QUORVEL_REFERENCE_CLIENT:?QUORVEL_REFERENCE_CLIENT must name the reference client}"
: "${QUORVEL_LINE_WATCH:?QUORVEL_LINE_WATCH must name the line watch}"

NAME=${BENCH_NAME:-discovery_256}
RUNS=${BENCH_RUNS:-5}
HOSTS=${BENCH_HOSTS:-4}
PER_HOST=${BENCH_PER_HOST:-64}
MX_CAP=${BENCH_MX_CAP:-0}
TARGET_MS=${BENCH_TARGET_MS:-3000}
RCVBUF=${BENCH_RCVBUF:-}
OUT=${BENCH_OUT:-$PWD/$NAME-results}
TOTAL=$((HOSTS * PER_HOST))
DEADLINE_S=30
PEER_DEADLINE_S=10
LIST_SECONDS=6
PC_IP=10.77.1.1
FIRST_PORT=8000
SEARCH_TARGET=urn:schemas-quorvel-com:device:indicator:1
CLIENTS=(quorvel list gssdp reference)

in_range() { [[ $1 =~ ^[0-9]+$ ]] && [ "$1" -ge "$2" ] && [ "$1" -le "$3" ]; }
in_range "$RUNS" 1 20 || lab_fail "BENCH_RUNS must be 1..20"
in_range "$HOSTS" 1 16 || lab_fail "BENCH_HOSTS must be 1..16"
in_range "$PER_HOST" 1 1000 || lab_fail "BENCH_PER_HOST must be 1..1000"
in_range "$MX_CAP" 0 5 || lab_fail "BENCH_MX_CAP must be 0..5"
in_range "$TARGET_MS" 1 60000 || lab_fail "BENCH_TARGET_MS must be 1..60000"
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

# The peer is part of the benchmark's own set-up, never of the test run's.
ensure_gssdp() {
    command -v gssdp-discover >/dev/null && return 0
    echo "installing gupnp-tools for gssdp-discover"
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends gupnp-tools >/dev/null 2>&1
    command -v gssdp-discover >/dev/null
}

rcvbuf_errors() {
    lab_exec pc awk '/^Udp:/ && $2 ~ /^[0-9]+$/ { print $6 }' /proc/net/snmp
}

# run_client NAME RUN: one client on the lab; its report in $OUT/NAME-runRUN.txt,
# with the kernel's drops on the PC host added for the peers.
run_client() {
    local name=$1 run=$2
    local report="$OUT/$name-run$run.txt" before pid
    before=$(rcvbuf_errors)
    case $name in
    quorvel | list)
        pid=$(lab_spawn pc "$report" "$QUORVEL_DISCOVERY_BENCH" "$TOTAL" "$DEADLINE_S" \
            "$OUT/$name-run$run-program-log.txt" ${RCVBUF:+--rcvbuf "$RCVBUF"} \
            $([ "$name" = list ] && echo --headless))
        lab_wait_exit "$pid" $((DEADLINE_S + 20)) >/dev/null || lab_fail "the bench driver did not end"
        return ;;
    gssdp)
        pid=$(lab_spawn pc "$report" "$QUORVEL_LINE_WATCH" "$TOTAL" "$PEER_DEADLINE_S" USN: \
            stdbuf -oL gssdp-discover -i eth0 -t "$SEARCH_TARGET" -n "$PEER_DEADLINE_S") ;;
    reference)
        pid=$(lab_spawn pc "$report" "$QUORVEL_REFERENCE_CLIENT" "$TOTAL" "$PEER_DEADLINE_S") ;;
    esac
    lab_wait_exit "$pid" $((PEER_DEADLINE_S + 10)) >/dev/null || lab_fail "$name did not end"
    echo "drops=$(($(rcvbuf_errors) - before))" >>"$report"
}

# Runs in a subshell: its lab is removed when the subshell ends. The
# simulators are ready before any client starts, so their start-up
# announcements are gone and only search answers count. The clients take
# turns, each run starting with the next one, half a second apart so that
# the answers to one client's searches are over before the next begins.
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
    local turn
    for ((turn = 0; turn < ${#CLIENTS[@]}; turn++)); do
        [ "$turn" -gt 0 ] && sleep 0.5
        run_client "${CLIENTS[$(((run - 1 + turn) % ${#CLIENTS[@]}))]}" "$run"
    done
    if [ "$run" -eq 1 ]; then
        list_mode_memory
    fi
}

# The peak resident set of the program as users run it without a window,
# through the whole of its list run.
list_mode_memory() {
    local pid
    pid=$(lab_spawn pc "$OUT/list-memory.txt" "$QUORVEL_LINE_WATCH" 1 $((LIST_SECONDS + 10)) IP-Addr \
        env -u DISPLAY "$QUORVEL" --list --seconds "$LIST_SECONDS")
    lab_wait_exit "$pid" $((LIST_SECONDS + 20)) >/dev/null || lab_fail "the list run did not end"
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
ensure_gssdp || lab_fail "gssdp-discover is missing and gupnp-tools could not be installed"
mkdir -p "$OUT" || lab_fail "cannot create $OUT"
rm -f "$OUT"/*run*.txt "$OUT/list-memory.txt"
declare -A listed drops new_row repeat
gssdp_last=
held=() loop=()
echo "$NAME: discovery of $TOTAL indicators ($HOSTS hosts x $PER_HOST, answers within ${MX_CAP} s), $RUNS runs," \
    "reports in $OUT"
echo "machine: $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
# Other work on the machine shows up as stalls: say how busy it was.
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
[ -z "$RCVBUF" ] || echo "EXPERIMENT: the search socket's receive buffer is set to $RCVBUF bytes from outside"
for ((run = 1; run <= RUNS; run++)); do
    (one_run "$run") || lab_fail "run $run could not be set up"
    for name in "${CLIENTS[@]}"; do
        report="$OUT/$name-run$run.txt"
        grep -q '^RESULT ' "$report" || lab_fail "$name printed no result in run $run; see $report"
        value=$(result_field "$report" listed_ms)
        [ "$value" = NA ] && value=$NOT_LISTED
        listed[$name]+="$value "
        # A peer that never saw them all still took this long for what it saw.
        [ "$name" = gssdp ] && gssdp_last+="$(result_field "$report" last_ms) "
        drops[$name]+="$(grep -ho 'drops=[0-9-]*' "$report" | tail -n 1 | cut -d= -f2) "
    done
    for name in quorvel list; do
        new_row[$name]+="$(result_field "$OUT/$name-run$run.txt" new_row_ms) "
        repeat[$name]+="$(result_field "$OUT/$name-run$run.txt" repeat_ms) "
    done
    report="$OUT/quorvel-run$run.txt"
    held+=("$(result_field "$report" held_ms)")
    loop+=("$(result_field "$report" loop_ms)")
    echo "run $run: window $(grep -v '^RESULT ' "$report" | grep -E '^all |^NOT ')"
    echo "        held ${held[-1]} ms, plain timer gap ${loop[-1]} ms," \
        "$(result_field "$report" fetches) fetches (mean $(result_field "$report" fetch_mean_ms) ms)," \
        "new row $(result_field "$report" new_row_ms) ms, repeated answer $(result_field "$report" repeat_ms) ms," \
        "$(result_field "$report" drops) dropped"
    report="$OUT/list-run$run.txt"
    echo "        without a window $(result_field "$report" listed_ms) ms, new row $(result_field "$report" new_row_ms) ms," \
        "repeated answer $(result_field "$report" repeat_ms) ms, $(result_field "$report" drops) dropped"
    echo "        gssdp-discover $(result_field "$OUT/gssdp-run$run.txt" listed_ms) ms" \
        "($(result_field "$OUT/gssdp-run$run.txt" seen) USNs, the last at $(result_field "$OUT/gssdp-run$run.txt" last_ms) ms," \
        "$(echo ${drops[gssdp]} | awk '{ print $NF }') dropped)," \
        "reference client $(result_field "$OUT/reference-run$run.txt" listed_ms) ms"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

median_of() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
# ratio CLIENT PEER_TIMES: the ratio of the client's median to the median of
# the peer's times.
ratio() {
    awk -v q="$(printf '%s\n' ${listed[$1]} | median_of)" -v p="$(printf '%s\n' $2 | median_of)" \
        -v never="$NOT_LISTED" 'BEGIN { if (q >= never || p >= never || p <= 0) print "n/a"; else printf "%.2f", q / p }'
}
gssdp_all=$(printf '%s\n' ${listed[gssdp]} | grep -vc "^$NOT_LISTED\$")
within_target() {
    local value met=0
    for value in ${listed[$1]}; do
        [ "$value" -le "$TARGET_MS" ] && met=$((met + 1))
    done
    echo "within the ${TARGET_MS} ms target in $met of $RUNS runs"
}
echo
echo "all $TOTAL listed (medians of $RUNS interleaved runs; ratios to gssdp-discover and to the reference client):"
for name in quorvel list; do
    label="quorvel, window"
    [ "$name" = list ] && label="quorvel, no window"
    echo "    $label: $(printf '%s\n' ${listed[$name]} | median_and_worst %.0f) from the first M-SEARCH to rows" \
        "with host names; ratios $(ratio $name "$gssdp_last"), $(ratio $name "${listed[reference]}");" \
        "$(within_target $name);" \
        "dropped by the kernel: ${drops[$name]}"
done
echo "    gssdp-discover: $(printf '%s\n' $gssdp_last | median_and_worst %.0f) from its start to the last new USN" \
    "printed; all $TOTAL printed in $gssdp_all of $RUNS runs; dropped: ${drops[gssdp]}"
echo "    reference client: $(printf '%s\n' ${listed[reference]} | median_and_worst %.0f) from its M-SEARCH to" \
    "host names; dropped: ${drops[reference]}"
echo "besides its fetch, until the next datagram is taken (window, then no window):"
for name in quorvel list; do
    echo "    a new row (last quarter of the list) $(printf '%s\n' ${new_row[$name]} | median_and_worst %.3f);" \
        "a repeated answer $(printf '%s\n' ${repeat[$name]} | median_and_worst %.3f)"
done
echo "longest event-loop hold (gap between ticks of a 5 ms timer of the program's own kind):"
echo "    $(printf '%s\n' "${held[@]}" | median_and_worst %.1f) over $RUNS runs"
echo "longest gap between ticks of a plain 5 ms toolkit timer (also runs during repaints in a fetch):"
echo "    $(printf '%s\n' "${loop[@]}" | median_and_worst %.1f) over $RUNS runs"
echo "peak resident set: the bench driver $(result_field "$OUT/quorvel-run1.txt" peak_rss_kb) KiB;" \
    "quorvel --list --seconds $LIST_SECONDS $(result_field "$OUT/list-memory.txt" peak_rss_kb) KiB (run 1)"
