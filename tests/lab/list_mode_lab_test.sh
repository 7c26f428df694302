#!/usr/bin/env bash
# List mode of the real program on a namespaced network, without a display:
# the simulated indicators on standard output as a table and as JSON, each
# detail as the indicator's own description has it; exit code 3 on a network
# without indicators, 1 with a message on standard error when no interface
# is connected; /L writing the log file in list mode too.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${SSDP_PROBE:?SSDP_PROBE must name the ssdp-probe binary}"
command -v jq >/dev/null || { echo "SKIP: jq is not installed (scripts/install-deps.sh)"; exit 77; }

PC_IP=10.77.1.1
SIM_A=10.77.1.10
SIM_OUT=10.77.2.10
ISLAND_IP=10.77.9.1
TAB=$'\t'
HEADER="IP-Addr${TAB}Hostname${TAB}DevType${TAB}Status${TAB}Valid until${TAB}Model number${TAB}Serial number${TAB}GUID${TAB}Presentation URL"

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host sim-a "$SIM_A/24"
lab_host sim-out "$SIM_OUT/24"

# A host whose only connected interface leads nowhere, one with only
# loopback, and one whose loopback is down and whose only other interface is
# up but unplugged (its far end is down, so it has no carrier).
island=$(lab_ns island)
ip netns add "$island" || lab_fail "cannot create $island"
ip -n "$island" link add eth0 type veth peer name dead0
ip -n "$island" link set lo up
ip -n "$island" link set dead0 up
ip -n "$island" addr add "$ISLAND_IP/24" dev eth0
ip -n "$island" link set eth0 up
ip -n "$island" route add 224.0.0.0/4 dev eth0
bare=$(lab_ns bare)
ip netns add "$bare" || lab_fail "cannot create $bare"
ip -n "$bare" link set lo up
unplugged=$(lab_ns unplugged)
ip netns add "$unplugged" || lab_fail "cannot create $unplugged"
ip -n "$unplugged" link add eth0 type veth peer name far0
ip -n "$unplugged" link set lo up
ip -n "$unplugged" addr add 10.77.9.2/24 dev eth0
ip -n "$unplugged" link set eth0 up
ip -n "$unplugged" link set lo down

start_sim() {
    local host=$1 ip=$2
    shift 2
    lab_spawn "$host" "$LAB_TMP/$host.log" "$QUORVEL_SIM" --ip "$ip" "$@" >/dev/null
    lab_wait_for "$LAB_TMP/$host.log" '^READY$' 5 || lab_fail "simulator on $ip not ready"
}
start_sim sim-a "$SIM_A" --name alpha-%d --count 2
start_sim sim-out "$SIM_OUT" --name outside

# run_list NAMESPACE NAME args...: the program with neither a display nor a
# platform choice in its environment; stdout, stderr and the exit code go to
# $LAB_TMP/NAME.{out,err,rc}.
run_list() {
    local ns=$1 name=$2
    shift 2
    mkdir -p "$LAB_TMP/$name-temp"
    ip netns exec "$ns" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM TEMP="$LAB_TMP/$name-temp" \
        timeout 60 "$QUORVEL" "$@" >"$LAB_TMP/$name.out" 2>"$LAB_TMP/$name.err"
    echo $? >"$LAB_TMP/$name.rc"
}

expect_rc() {
    local name=$1 expected=$2
    local rc
    rc=$(cat "$LAB_TMP/$name.rc")
    [ "$rc" = "$expected" ] || {
        tail -n 5 "$LAB_TMP/$name.err" >&2
        lab_fail "$name: exit code $rc, expected $expected"
    }
}

# The truth, read by another client from the indicator itself.
description_field() {
    local url=$1 element=$2
    lab_exec pc "$SSDP_PROBE" get "$url" | sed -n "s|.*<$element>\(.*\)</$element>.*|\1|p" | head -n 1
}

# expected_row NUMBER: the nine fields of alpha-NUMBER, the valid time as a pattern.
expected_row() {
    local number=$1
    local url="http://$SIM_A:$((79 + number))/description.xml"
    local model serial udn presentation
    model=$(description_field "$url" modelName)
    serial=$(description_field "$url" serialNumber)
    udn=$(description_field "$url" UDN)
    presentation=$(description_field "$url" presentationURL)
    [ -n "$serial" ] && [ -n "$udn" ] || lab_fail "could not read the description at $url"
    printf '%s\n' "$SIM_A" "alpha-$number" "$model" "online " "__TIME__" \
        "$(description_field "$url" modelNumber)" "$serial" "${udn#uuid:}" "$presentation"
}

# The valid time is the announcement's max-age (1800 s) from now, local time.
check_valid_until() {
    local shown=$1 now=$2
    [[ "$shown" =~ ^[0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || lab_fail "valid until '$shown' is not a time of day"
    local expected difference
    expected=$(date -d "@$((now + 1800))" +%s)
    shown=$(date -d "$(date -d "@$expected" +%F) $shown" +%s)
    difference=$(((shown - expected + 43200 + 86400) % 86400 - 43200))
    [ "${difference#-}" -le 10 ] || lab_fail "valid until $shown is ${difference}s off the expected time"
}

# --- the table, with /L -----------------------------------------------------
started=$(date +%s)
run_list "$(lab_ns pc)" table --list --seconds 2 /L
finished=$(date +%s)
expect_rc table 0
[ $((finished - started)) -ge 2 ] && [ $((finished - started)) -le 10 ] ||
    lab_fail "list mode took $((finished - started))s for --seconds 2"
out="$LAB_TMP/table.out"
[ "$(head -n 1 "$out")" = "$HEADER" ] || lab_fail "header line: $(head -n 1 "$out")"
[ "$(wc -l <"$out")" -eq 4 ] || lab_fail "expected the header and 3 rows: $(cat "$out")"
for number in 1 2; do
    mapfile -t expected < <(expected_row "$number")
    line=$(grep "^$SIM_A${TAB}alpha-$number${TAB}" "$out") || lab_fail "no row for alpha-$number: $(cat "$out")"
    IFS=$TAB read -r -a shown <<<"$line"
    [ "${#shown[@]}" -eq 9 ] || lab_fail "row of alpha-$number has ${#shown[@]} fields: $line"
    check_valid_until "${shown[4]}" "$started"
    for field in 0 1 2 3 5 6 7 8; do
        [ "${shown[$field]}" = "${expected[$field]}" ] ||
            lab_fail "alpha-$number field $((field + 1)): '${shown[$field]}', expected '${expected[$field]}'"
    done
done
outside="^$SIM_OUT${TAB}-outside network-${TAB}\(unknown\)${TAB}online ${TAB}[0-9:]{8}${TAB}${TAB}${TAB}${TAB}\$"
lab_expect_grep "$out" "$outside"

log="$LAB_TMP/table-temp/quorvel.log"
[ -s "$log" ] || lab_fail "/L wrote no log file in list mode"
head -n 1 "$log" | grep -q "|Quorvel 01\.60\.00 309220 2017-11-17-11:39:51"$'\r'"\$" ||
    lab_fail "first log line: $(head -n 1 "$log")"
lab_expect_grep "$log" "GetUrl\(http://$SIM_A:81/description\.xml\)=[1-9]"
lab_expect_grep "$log" 'KillTimer\(MY_DISCOVER_ID\)'

# --- JSON --------------------------------------------------------------------
run_list "$(lab_ns pc)" json --list --json --seconds 2
expect_rc json 0
json="$LAB_TMP/json.out"
jq -e 'type == "array" and length == 3' "$json" >/dev/null || lab_fail "not an array of 3: $(cat "$json")"
keys='["ip_addr","hostname","dev_type","status","valid_until","model_number","serial_number","guid","presentation_url"]'
jq -e --argjson keys "$keys" 'all(.[]; keys_unsorted == $keys)' "$json" >/dev/null ||
    lab_fail "objects do not have the nine keys in order: $(cat "$json")"
mapfile -t expected < <(expected_row 2)
mapfile -t shown < <(jq -r '.[] | select(.hostname == "alpha-2") | .[]' "$json")
for field in 0 1 2 3 5 6 7 8; do
    [ "${shown[$field]:-}" = "${expected[$field]}" ] ||
        lab_fail "JSON alpha-2 field $((field + 1)): '${shown[$field]:-}', expected '${expected[$field]}'"
done
jq -e '[.[] | select(.hostname == "-outside network-" and .guid == "")] | length == 1' "$json" >/dev/null ||
    lab_fail "no outside-network object: $(cat "$json")"
[ -z "$(ls -A "$LAB_TMP/json-temp")" ] || lab_fail "a run without /L wrote a file in the temporary directory"

# --- nothing found: 3 --------------------------------------------------------
run_list "$island" none-table --list --seconds 1
expect_rc none-table 3
[ "$(cat "$LAB_TMP/none-table.out")" = "$HEADER" ] || lab_fail "island table: $(cat "$LAB_TMP/none-table.out")"
run_list "$island" none-json --list --json --seconds 1
expect_rc none-json 3
[ "$(cat "$LAB_TMP/none-json.out")" = "[]" ] || lab_fail "island JSON: $(cat "$LAB_TMP/none-json.out")"
lab_expect_no_grep "$LAB_TMP/none-table.err" '^Quorvel: '

# --- no connected interface: 1, the message box on stderr --------------------
# The kernel's flags as the program sees them: a loopback that is down is
# still loopback, an interface without carrier is not connected.
for host in bare unplugged; do
    run_list "$(lab_ns "$host")" "$host" --list --json
    expect_rc "$host" 1
    lab_expect_grep "$LAB_TMP/$host.err" '^Quorvel: Found no connected interfaces!$'
    lab_expect_grep "$LAB_TMP/$host.err" '^Please connect a network before starting Quorvel$'
    lab_expect_grep "$LAB_TMP/$host.err" '^Found Interface 0 : 127\.0\.0\.1/255\.0\.0\.0 IFF_LOOPBACK'
    [ ! -s "$LAB_TMP/$host.out" ] || lab_fail "$host: output after a start-up failure: $(cat "$LAB_TMP/$host.out")"
done
lab_expect_grep "$LAB_TMP/unplugged.err" '^Found Interface 1 : 10\.77\.9\.2/255\.255\.255\.0 DOWN'

# --help and --version start no network, so they answer there all the same.
run_list "$bare" version --version
expect_rc version 0
[ "$(cat "$LAB_TMP/version.out")" = "Quorvel 01.60.00 309220 2017-11-17-11:39:51" ] ||
    lab_fail "--version printed: $(cat "$LAB_TMP/version.out")"
run_list "$bare" help --help /L
expect_rc help 0
lab_expect_grep "$LAB_TMP/help.out" '^ +--list '
[ -z "$(ls -A "$LAB_TMP/help-temp")" ] || lab_fail "--help with /L wrote a log file"

echo "list mode lab test passed"
