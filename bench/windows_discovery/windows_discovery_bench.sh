#!/usr/bin/env bash
# The Windows program under Wine among 256 simulated indicators (4 hosts x
# 64, answering at once), as discovery_256 has the Linux one: the time from
# its first M-SEARCH until every indicator has its row with a host name, in
# the window (under Xvfb) and with --list, in turn, each run a fresh start
# of the program. Needs root and Wine.
#
# The program runs unchanged and without its log file, as a user starts it,
# so the times come from the simulators' event lines, stamped with the
# monotonic clock that every namespace shares: from the first answer to the
# program's M-SEARCH (the simulators answer at once) until the request for
# the last indicator's first description. Reading and parsing that answer
# takes the program well under a millisecond more.
#
# Environment: QUORVEL_EXE, QUORVEL_SIM, WINEPREFIX (set by `make bench`);
# BENCH_RUNS (5), BENCH_TARGET_MS (1000), BENCH_OUT (directory for each
# run's simulator lines).
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"

: "${QUORVEL_EXE:?QUORVEL_EXE must name quorvel.exe}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
RUNS=${BENCH_RUNS:-5}
TARGET_MS=${BENCH_TARGET_MS:-1000}
HOSTS=4
PER_HOST=64
TOTAL=$((HOSTS * PER_HOST))
RUN_SECONDS=6
SETTLE_SECONDS=5
OUT=${BENCH_OUT:-$PWD/windows_discovery_256-results}
[ -x "$WINE" ] || { echo "windows_discovery_256: skipped, Wine is not installed"; exit 0; }
[ -f "$QUORVEL_EXE" ] || lab_fail "no $QUORVEL_EXE: make windows"
export WINEPREFIX WINEDEBUG=-all

stop_wine() { "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; }

# sim_lines: how many lines each simulator's log holds now.
sim_lines() {
    local host
    for ((host = 1; host <= HOSTS; host++)); do
        wc -l <"$LAB_TMP/sim$host.log"
    done
}

# run_lines SIM_LINES: the simulators' lines since sim_lines gave SIM_LINES.
run_lines() {
    local -a before=($1)
    local host
    for ((host = 1; host <= HOSTS; host++)); do
        tail -n +$((before[host - 1] + 1)) "$LAB_TMP/sim$host.log"
    done
}

# listed_ms LINES: milliseconds from the first search answer until the
# TOTAL-th indicator's first description request; empty when fewer came.
listed_ms() {
    sort -g "$1" | awk -v total="$TOTAL" '
        start == "" && $2 == "answer" { start = $1 }
        start != "" && $2 == "http" && $3 == "GET" && $4 == "/description.xml" && !($8 in seen) {
            seen[$8] = 1
            if (++count == total) { printf "%.0f\n", ($1 - start) * 1000; exit }
        }'
}

# start_system: Wine's own services (its device, service and desktop
# processes) up and kept up by a program that waits, as a Windows PC has
# them running before anybody starts Quorvel; otherwise each run would share
# the two cores with Wine starting them.
start_system() {
    lab_spawn pc "$LAB_TMP/system.log" env DISPLAY="$display" WINEDLLOVERRIDES=winemenubuilder.exe=d \
        bash -c "sleep 3600 | '$WINE' cmd /c pause" >/dev/null
    sleep "$SETTLE_SECONDS"
}

# end_program: ends the window's process, leaving Wine's own running.
end_program() {
    local pid tries
    for pid in $(pgrep -x quorvel.exe); do
        kill "$pid" 2>/dev/null
    done
    for ((tries = 0; tries < 50; tries++)); do
        pgrep -x quorvel.exe >/dev/null || return 0
        sleep 0.1
    done
}

# run_program KIND RUN: one start of the program; prints the time, or NA.
run_program() {
    local kind=$1 run=$2 before pid
    local lines="$OUT/$kind-run$run-simulators.txt"
    before=$(sim_lines)
    if [ "$kind" = list ]; then
        lab_exec pc env DISPLAY="$display" timeout 60 "$WINE" "$QUORVEL_EXE" --list --seconds "$RUN_SECONDS" \
            >"$LAB_TMP/list-$run.out" 2>/dev/null
        local rows
        rows=$(tr -d '\r' <"$LAB_TMP/list-$run.out" | grep -cE '^10\.77\.1\.[0-9]+	h[0-9]+-ind-')
        [ "$rows" = "$TOTAL" ] || echo "run $run: --list printed $rows of $TOTAL indicators" >&2
    else
        pid=$(lab_spawn pc "$LAB_TMP/window-$run.err" env DISPLAY="$display" "$WINE" "$QUORVEL_EXE")
        local tries
        # Seldom, so that the watching takes little from the program.
        for ((tries = 0; tries < RUN_SECONDS * 2; tries++)); do
            sleep 0.5
            [ "$(run_lines "$before" | grep -c ' http GET /description.xml ')" -ge "$TOTAL" ] && break
        done
        end_program
        lab_wait_exit "$pid" 10 >/dev/null
    fi
    run_lines "$before" >"$lines"
    local value
    value=$(listed_ms "$lines")
    echo "${value:-NA}"
}

median_and_worst() {
    sort -g | awk '{ v[NR] = $1 } END {
        if (NR == 0) { print "never all listed"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "median %.0f ms, worst %.0f ms", m, v[NR] }'
}

lab_require_root
mkdir -p "$OUT" || lab_fail "cannot create $OUT"
rm -f "$OUT"/*-run*-simulators.txt
lab_init
lab_host pc 10.77.1.1/24
for ((host = 1; host <= HOSTS; host++)); do
    ip="10.77.1.$((9 + host))"
    lab_host "sim$host" "$ip/24"
    lab_spawn "sim$host" "$LAB_TMP/sim$host.log" "$QUORVEL_SIM" --ip "$ip" --notify-every 0 --log-times \
        --count "$PER_HOST" --name "h$host-ind-%d" --port $((8000 + (host - 1) * PER_HOST)) --mx-cap 0 >/dev/null
    lab_wait_for "$LAB_TMP/sim$host.log" ' READY$' 5 || lab_fail "simulator on $ip not ready"
done
trap 'stop_wine; kill "${xvfb:-}" 2>/dev/null; lab_cleanup' EXIT
lab_exec pc Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$LAB_TMP/display" >/dev/null 2>&1 &
xvfb=$!
lab_wait_for "$LAB_TMP/display" '^[0-9]+$' 10 || lab_fail "Xvfb did not start"
display=":$(cat "$LAB_TMP/display")"
stop_wine
start_system

echo "windows_discovery_256: $(basename "$QUORVEL_EXE") under $("$WINE" --version) among $TOTAL indicators" \
    "($HOSTS hosts x $PER_HOST, answers at once), $RUNS runs each, window and --list in turn, simulator lines in $OUT"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
declare -A times
for ((run = 1; run <= RUNS; run++)); do
    line="run $run:"
    for kind in window list; do
        value=$(run_program "$kind" "$run")
        [ "$value" = NA ] || times[$kind]+="$value "
        line+=" $kind $value ms"
    done
    echo "$line"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "all $TOTAL listed with host names under Wine, from the first M-SEARCH (target ${TARGET_MS} ms):"
for kind in window list; do
    label="window"
    [ "$kind" = list ] && label="without a window (--list)"
    echo "    $label: $(printf '%s\n' ${times[$kind]:-} | grep . | median_and_worst)" \
        "($(printf '%s\n' ${times[$kind]:-} | grep -c .) of $RUNS runs listed all)"
done
