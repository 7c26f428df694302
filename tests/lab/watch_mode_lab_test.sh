#!/usr/bin/env bash
# Watch mode of the real program on a namespaced network, without a display:
# each change of a row once, in order, while it runs, as text and as JSON
# Lines; a repeated announcement prints nothing; an indicator that is silent
# through a --search-every round shows as searching; SIGTERM ends it with 0,
# and so does a reader that goes away (| head -n 1). Then a device that
# answers searches but never its HTTP requests is asked once, not at every
# automatic search round; and SIGTERM ends a watch whose reader stopped
# reading within a second.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
command -v jq >/dev/null || { echo "SKIP: jq is not installed (scripts/install-deps.sh)"; exit 77; }

SIM_A=10.77.1.10
SIM_B=10.77.1.11
SEARCH_EVERY=20
TAB=$'\t'

lab_require_root
lab_init
lab_host text 10.77.1.1/24
lab_host json 10.77.1.2/24
lab_host head 10.77.1.3/24
lab_host sim-a "$SIM_A/24"
lab_host sim-b "$SIM_B/24"

# start_watch HOST TZ args...: the program in HOST with neither a display nor
# a platform choice; standard output to HOST.out, standard error to HOST.err.
start_watch() {
    local host=$1 zone=$2
    shift 2
    lab_spawn "$host" "$LAB_TMP/$host.out" bash -c 'exec "$@" 2>"$0"' "$LAB_TMP/$host.err" \
        env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TZ="$zone" "$QUORVEL" --watch "$@"
}

# wait_events COUNT: both watchers have printed COUNT lines.
wait_events() {
    local host
    for host in text json; do
        lab_wait_for_count "$LAB_TMP/$host.out" . "$1" $((SEARCH_EVERY + 10)) || lab_fail "$host: fewer than $1 events"
    done
}

# beta announces only at its start, alpha every second.
beta=$(lab_start_sim sim-b "$SIM_B" "$LAB_TMP/beta.log" --name beta)
text_pid=$(start_watch text UTC0 --search-every "$SEARCH_EVERY")
json_pid=$(start_watch json IST-5:30 --search-every "$SEARCH_EVERY" --json)
lab_spawn head "$LAB_TMP/head.log" bash -c '"$@" 2>"$0" | head -n 1 >"$0.out"; echo "${PIPESTATUS[0]}" >"$0.rc"' \
    "$LAB_TMP/head.err" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$QUORVEL" --watch >/dev/null
wait_events 2

alpha=$(lab_start_sim sim-a "$SIM_A" "$LAB_TMP/alpha.log" --name alpha --notify-every 1)
wait_events 4
# Two more announcements, each handled to its end (the next one has begun),
# move only the expiry on.
heard=$(grep -c "^OnAlive($SIM_A)" "$LAB_TMP/text.err")
lab_wait_for_count "$LAB_TMP/text.err" "^OnAlive\($SIM_A\)" $((heard + 3)) 10 || lab_fail "alpha's announcements not heard"
[ "$(wc -l <"$LAB_TMP/text.out")" -eq 4 ] || lab_fail "a repeated announcement printed: $(cat "$LAB_TMP/text.out")"

kill -TERM "$alpha"
[ "$(lab_wait_exit "$alpha" 5)" = 0 ] || lab_fail "alpha's simulator did not end with its byebye"
wait_events 5
alpha=$(lab_start_sim sim-a "$SIM_A" "$LAB_TMP/alpha-again.log" --name alpha --notify-every 1)
wait_events 6

# beta falls silent; the next search round finds only alpha.
kill -STOP "$beta"
wait_events 9
for pid in "$text_pid" "$json_pid"; do
    kill -TERM "$pid"
    [ "$(lab_wait_exit "$pid" 10)" = 0 ] || lab_fail "watch mode did not end with 0 on SIGTERM"
done
kill -CONT "$beta"

expected="beta new
beta online
alpha new
alpha online
alpha byebye
alpha online
beta searching
alpha searching
alpha online"
now=$(date +%s)

# --- text --------------------------------------------------------------------
shown=$(cut -f 2,4 "$LAB_TMP/text.out" | tr '\t' ' ' | awk '{print $2, $1}')
[ "$shown" = "$expected" ] || lab_fail "text events:"$'\n'"$shown"$'\n'"expected:"$'\n'"$expected"
while IFS=$TAB read -r -a fields; do
    [ "${#fields[@]}" -eq 11 ] || lab_fail "a text line has ${#fields[@]} fields: ${fields[*]}"
    [[ "${fields[0]}" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\+00:00$ ]] ||
        lab_fail "time '${fields[0]}' in UTC"
    [ "${fields[5]%% }" = "${fields[1]}" ] || lab_fail "event '${fields[1]}' is not the status '${fields[5]}'"
    [[ "${fields[2]}" == "$SIM_A" || "${fields[2]}" == "$SIM_B" ]] || lab_fail "address '${fields[2]}'"
    [ -n "${fields[8]}" ] && [ -n "${fields[9]}" ] || lab_fail "no serial number or GUID: ${fields[*]}"
done <"$LAB_TMP/text.out"
lab_expect_grep "$LAB_TMP/text.out" "${TAB}byebye${TAB}$SIM_A${TAB}alpha${TAB}[^$TAB]+${TAB}byebye${TAB}\?\?\?\?${TAB}"

# --- JSON Lines ----------------------------------------------------------------
json="$LAB_TMP/json.out"
shown=$(jq -r '"\(.hostname) \(.event)"' "$json") || lab_fail "not JSON Lines: $(cat "$json")"
[ "$shown" = "$expected" ] || lab_fail "JSON events:"$'\n'"$shown"
keys='["time","event","ip_addr","hostname","dev_type","status","valid_until","model_number","serial_number","guid","presentation_url"]'
[ "$(jq -c 'keys_unsorted' "$json" | sort -u)" = "$keys" ] || lab_fail "keys: $(jq -c 'keys_unsorted' "$json" | sort -u)"
while read -r time; do
    [[ "$time" =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\+05:30$ ]] || lab_fail "time '$time' in IST-5:30"
    age=$((now - $(date -d "$time" +%s)))
    [ "$age" -ge 0 ] && [ "$age" -le 120 ] || lab_fail "time '$time' is ${age}s before the end"
done < <(jq -r .time "$json")

# --- a reader that goes away ---------------------------------------------------
lab_wait_for "$LAB_TMP/head.err.rc" . 10 || lab_fail "watch mode went on after its reader had gone"
[ "$(cat "$LAB_TMP/head.err.rc")" = 0 ] || lab_fail "exit code $(cat "$LAB_TMP/head.err.rc") after the reader went away"
[ "$(wc -l <"$LAB_TMP/head.err.out")" -eq 1 ] || lab_fail "head got: $(cat "$LAB_TMP/head.err.out")"
lab_expect_no_grep "$LAB_TMP/head.err" 'Print\(\) failed'

# --- automatic searches keep the holds ------------------------------------------
kill -TERM "$beta"
lab_wait_exit "$beta" 5 >/dev/null || lab_fail "beta's simulator did not end"
kill -TERM "$alpha"
lab_wait_exit "$alpha" 5 >/dev/null || lab_fail "alpha's simulator did not end"
lab_host hang 10.77.1.20/24
lab_host rounds 10.77.1.4/24
hang=$(lab_start_sim hang 10.77.1.20 "$LAB_TMP/hang.log" --name hanging --hang-http)
rounds_pid=$(start_watch rounds UTC0 --search-every 10)
# The first burst and three automatic rounds, within the minute's hold.
lab_wait_for_count "$LAB_TMP/rounds.err" '^SetTimer\(MY_DISCOVER_ID\)' 4 45 || lab_fail "fewer than three search rounds"
lab_wait_for "$LAB_TMP/rounds.err" '^>GetUrl: skipped, slow or out of time less than 60 s ago: http://10\.77\.1\.20:' 1 ||
    lab_fail "the hanging device was not held"
asked=$(grep -c -- '-> hang$' "$LAB_TMP/hang.log")
echo "   the hanging device was asked $asked times in four searches"
[ "$asked" -eq 1 ] || lab_fail "the hanging device was asked $asked times in four searches"
kill -TERM "$rounds_pid"
[ "$(lab_wait_exit "$rounds_pid" 10)" = 0 ] || lab_fail "watch mode did not end with 0 on SIGTERM"
kill -TERM "$hang"
lab_wait_exit "$hang" 5 >/dev/null || lab_fail "the hanging simulator did not end"

# --- a reader that stopped reading ---------------------------------------------
# 256 indicators fill the pipe with their first answers or the first
# automatic round; the program then waits for its reader, which never reads.
lab_host many 10.77.1.21/24
lab_host stalled 10.77.1.5/24
many=$(lab_start_sim many 10.77.1.21 "$LAB_TMP/many.log" --count 256 --port 8000 --name many-%d)
mkfifo "$LAB_TMP/stalled.pipe"
lab_spawn stalled "$LAB_TMP/reader.log" bash -c 'exec sleep 120 <"$0"' "$LAB_TMP/stalled.pipe" >/dev/null
stalled_pid=$(lab_spawn stalled "$LAB_TMP/stalled.err" bash -c 'exec "$@" >"$0"' "$LAB_TMP/stalled.pipe" \
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$QUORVEL" --watch --search-every 10)
# The rows' first answers, and then the 512 lines of the round at 10 s, are
# more than the pipe's 64 KiB: the program no longer runs its rounds once it
# waits for the reader, and waits at the latest from the round on.
lab_wait_for_count "$LAB_TMP/stalled.err" '^SetTimer\(MY_DISCOVER_ID\)' 2 15 2>/dev/null || true
sleep 1
lab_expect_quiet_end TERM "$stalled_pid" "$stalled_pid" 1 "$LAB_TMP/stalled.err" SIGTERM
kill -TERM "$many"

echo "watch mode lab test passed"
