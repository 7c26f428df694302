#!/usr/bin/env bash
# The Windows program under Wine among 256 simulated indicators (4 hosts x
# 64, answering at once), as discovery_256 has the Linux one: the time from
# its first M-SEARCH until every indicator has its row with a host name, in
# the window (under Xvfb) and with --list, in turn, each run a fresh start
# of the program. Needs root and Wine.
#
# The program runs unchanged, so the times come from its own log (/L): the
# first M-SEARCH is its `SendDiscover:SentTo(` line, and a row has its host
# name with the line `GetUrl(LOCATION)=N` of its first successful fetch; the
# last of those ends the time. The log's stamps are milliseconds of the
# system clock, and writing the log costs the program a file write per line,
# which the Linux driver's in-process log does not.
#
# Environment: QUORVEL_EXE, QUORVEL_SIM, WINEPREFIX (set by `make bench`);
# BENCH_RUNS (5), BENCH_TARGET_MS (1000), BENCH_OUT (directory for each
# run's program log).
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
OUT=${BENCH_OUT:-$PWD/windows_discovery_256-results}
[ -x "$WINE" ] || { echo "windows_discovery_256: skipped, Wine is not installed"; exit 0; }
[ -f "$QUORVEL_EXE" ] || lab_fail "no $QUORVEL_EXE: make windows"
export WINEPREFIX WINEDEBUG=-all

stop_wine() { "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; }

# listed_ms LOG: milliseconds from the first M-SEARCH until the TOTAL-th
# indicator's first description; empty when fewer were fetched.
listed_ms() {
    sed 's/^[0-9-]*-\([0-9]*\):\([0-9]*\):\([0-9.]*\)|/\1 \2 \3 /' "$1" | awk -v total="$TOTAL" '
        function ms() { return (($1 * 60 + $2) * 60 + $3) * 1000 }
        start == "" && $4 ~ /^SendDiscover:SentTo\(/ { start = ms() }
        start != "" && match($4, /^GetUrl\(.*\)=[1-9]/) && !($4 in fetched) {
            url = substr($4, 1, index($4, ")=")); if (url in seen) next
            seen[url] = 1
            if (++count == total) { elapsed = ms() - start; if (elapsed < 0) elapsed += 86400000; print int(elapsed + 0.5); exit }
        }'
}

# run_program KIND RUN: one start of the program; prints the time, or NA.
run_program() {
    local kind=$1 run=$2 log="$temp_dir/quorvel.log" pid
    stop_wine
    rm -f "$log"
    if [ "$kind" = list ]; then
        lab_exec pc env DISPLAY="$display" timeout 60 "$WINE" "$QUORVEL_EXE" --list --seconds "$RUN_SECONDS" /L \
            >"$LAB_TMP/list-$run.out" 2>/dev/null
        local rows
        rows=$(tr -d '\r' <"$LAB_TMP/list-$run.out" | grep -cE '^10\.77\.1\.[0-9]+	h[0-9]+-ind-')
        [ "$rows" = "$TOTAL" ] || echo "run $run: --list printed $rows of $TOTAL indicators" >&2
    else
        pid=$(lab_spawn pc "$LAB_TMP/window-$run.err" env DISPLAY="$display" "$WINE" "$QUORVEL_EXE" /L)
        lab_wait_for_count "$log" '[|]GetUrl\(' $((TOTAL * 4)) $((RUN_SECONDS * 2)) 2>/dev/null
        stop_wine
        lab_wait_exit "$pid" 10 >/dev/null
    fi
    cp "$log" "$OUT/$kind-run$run-program-log.txt" 2>/dev/null
    local value
    value=$(listed_ms "$OUT/$kind-run$run-program-log.txt" 2>/dev/null)
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
rm -f "$OUT"/*-run*-program-log.txt
lab_init
lab_host pc 10.77.1.1/24
for ((host = 1; host <= HOSTS; host++)); do
    ip="10.77.1.$((9 + host))"
    lab_host "sim$host" "$ip/24"
    lab_start_sim "sim$host" "$ip" "$LAB_TMP/sim$host.log" --count "$PER_HOST" --name "h$host-ind-%d" \
        --port $((8000 + (host - 1) * PER_HOST)) --mx-cap 0 >/dev/null
done
temp_dir="$WINEPREFIX/drive_c/users/$(id -un)/Temp"
mkdir -p "$temp_dir"
trap 'stop_wine; kill "${xvfb:-}" 2>/dev/null; lab_cleanup' EXIT
lab_exec pc Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$LAB_TMP/display" >/dev/null 2>&1 &
xvfb=$!
lab_wait_for "$LAB_TMP/display" '^[0-9]+$' 10 || lab_fail "Xvfb did not start"
display=":$(cat "$LAB_TMP/display")"

echo "windows_discovery_256: $(basename "$QUORVEL_EXE") under $("$WINE" --version) among $TOTAL indicators" \
    "($HOSTS hosts x $PER_HOST, answers at once), $RUNS runs each, window and --list in turn, logs in $OUT"
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
