#!/usr/bin/env bash
# The real dialog among simulated indicators: two hosts in its subnet, one in
# another subnet. What it lists is read from the list itself.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_LIST_WATCHER:?QUORVEL_LIST_WATCHER must name the list watcher}"

PC_IP=10.77.1.1
SIM_A=10.77.1.10
SIM_B=10.77.1.11
SIM_OUT=10.77.2.10
TAB=$'\t'
TIME='[0-9]{2}:[0-9]{2}:[0-9]{2}'

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host sim-a "$SIM_A/24"
lab_host sim-b "$SIM_B/24"
lab_host sim-out "$SIM_OUT/24"

list="$LAB_TMP/list.txt"
lab_spawn pc "$LAB_TMP/watcher.log" "$QUORVEL_LIST_WATCHER" "$list" 40 >/dev/null
# The indicators start after the program's first burst, so that their
# announcements, not search answers, make the rows.
lab_wait_for "$LAB_TMP/watcher.log" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "the first burst did not end"

sim_a=$(lab_start_sim sim-a "$SIM_A" "$LAB_TMP/sim-a.log" --name alpha-%d --count 2)
lab_start_sim sim-b "$SIM_B" "$LAB_TMP/sim-b.log" --name bravo >/dev/null
lab_start_sim sim-out "$SIM_OUT" "$LAB_TMP/sim-out.log" --name outside >/dev/null

row() { echo "^$1${TAB}$2${TAB}$3${TAB}$4${TAB}$5\$"; }
for name in alpha-1 alpha-2; do
    lab_wait_for "$list" "$(row "$SIM_A" "$name" "[^$TAB]+" 'new ' "$TIME")" 10 ||
        lab_fail "no row for $name"
done
lab_wait_for "$list" "$(row "$SIM_B" bravo "[^$TAB]+" 'new ' "$TIME")" 10 || lab_fail "no row for bravo"
lab_wait_for "$list" "$(row "$SIM_OUT" '-outside network-' '\(unknown\)' 'new ' "$TIME")" 10 ||
    lab_fail "no outside-network row"
lab_expect_no_grep "$LAB_TMP/sim-out.log" '^http '
[ "$(grep -c . "$list")" -eq 4 ] || lab_fail "expected 4 rows, got: $(cat "$list")"

# A goodbye leaves the rows with "byebye" and no valid time.
kill -TERM "$sim_a"
lab_wait_exit "$sim_a" 5 >/dev/null || lab_fail "simulator did not stop"
lab_wait_for_count "$list" "^$SIM_A${TAB}alpha-[12]${TAB}[^${TAB}]*${TAB}byebye${TAB}\?\?\?\?\$" 2 10 ||
    lab_fail "no byebye rows"

# The same indicators speaking again from the same address are "online ".
lab_start_sim sim-a "$SIM_A" "$LAB_TMP/sim-a2.log" --name alpha-%d --count 2 >/dev/null
lab_wait_for_count "$list" "^$SIM_A${TAB}alpha-[12]${TAB}[^${TAB}]*${TAB}online ${TAB}$TIME\$" 2 10 ||
    lab_fail "rows did not come back online"

echo "discovery lab test passed"
