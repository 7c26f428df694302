#!/usr/bin/env bash
# quorvel-sim on a real (namespaced) network, observed with ssdp-probe from a
# second host: announcements, search answers, web pages, goodbye, and what
# each fault option makes the simulator do.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${SSDP_PROBE:?SSDP_PROBE must name the ssdp-probe binary}"

SIM_IP=10.77.1.10
CLIENT_IP=10.77.1.20
TARGET=urn:schemas-quorvel-com:device:indicator:1
OTHER=urn:schemas-other-org:device:thing:2
# Patterns over ssdp-probe's TEXT lines, where CR LF reads \r\n.
CRLF='\\r\\n'
GUID='[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}'

lab_require_root
lab_init
lab_host sim "$SIM_IP/24"
lab_host client "$CLIENT_IP/24"

# start_listener LOG [probe options...]: prints the pid once it listens.
start_listener() {
    local log=$1
    shift
    local pid
    pid=$(lab_spawn client "$log" "$SSDP_PROBE" listen --ip "$CLIENT_IP" "$@")
    lab_wait_for "$log" '^READY$' 5 >&2 || return 1
    echo "$pid"
}

# start_sim LOG [simulator options...]: prints the pid once it is ready.
start_sim() {
    local log=$1
    shift
    local pid
    pid=$(lab_spawn sim "$log" "$QUORVEL_SIM" --ip "$SIM_IP" --notify-every 0 "$@")
    lab_wait_for "$log" '^READY$' 5 >&2 || return 1
    echo "$pid"
}

stop_sim() {
    local pid=$1 status
    kill -TERM "$pid"
    status=$(lab_wait_exit "$pid" 5) || lab_fail "simulator did not stop on SIGTERM"
    [ "$status" = 0 ] || lab_fail "simulator exited $status after SIGTERM, expected 0"
}

search() {
    local st=$1 seconds=$2
    shift 2
    lab_exec client "$SSDP_PROBE" search --ip "$CLIENT_IP" --st "$st" --seconds "$seconds" "$@"
}

get() {
    lab_exec client "$SSDP_PROBE" get "$1" --seconds "${2:-3}"
}

count_lines() {
    grep -Ec -- "$2" "$1"
}

expect_count() {
    local file=$1 regex=$2 expected=$3 found
    found=$(count_lines "$file" "$regex")
    [ "$found" = "$expected" ] || {
        cut -c1-300 "$file" >&2
        lab_fail "$found lines match '$regex' in $file, expected $expected"
    }
}

# --- A well-behaved simulator with two indicators ---------------------------

echo "== announcements, search answers and pages"
listen_log=$LAB_TMP/listen.log
sim_log=$LAB_TMP/sim.log
listener=$(start_listener "$listen_log" --seconds 40) || lab_fail "listener did not start"
sim=$(start_sim "$sim_log" --count 2 --port 8080 --max-age 120) || lab_fail "simulator did not start"

lab_wait_for_count "$listen_log" "NTS: ssdp:alive$CRLF" 2 5 || lab_fail "no alive NOTIFY from both indicators"
grep -E "^TEXT .*NTS: ssdp:alive" "$listen_log" >"$LAB_TMP/alive.txt"
for header in "^TEXT NOTIFY \\* HTTP/1\\.1$CRLF" "HOST: 239\\.255\\.255\\.250:1900$CRLF" \
    "CACHE-CONTROL: max-age=120$CRLF" "NT: $TARGET$CRLF" "USN: uuid:$GUID::$TARGET$CRLF" "SERVER: [^\\]+$CRLF" \
    "LOCATION: http://$SIM_IP:808[01]/description\\.xml$CRLF" "$CRLF$CRLF\$"; do
    expect_count "$LAB_TMP/alive.txt" "$header" 2
done
lab_expect_grep "$LAB_TMP/alive.txt" "LOCATION: http://$SIM_IP:8080/"
lab_expect_grep "$LAB_TMP/alive.txt" "LOCATION: http://$SIM_IP:8081/"
expect_count "$listen_log" "^FROM $SIM_IP:1900 TTL 4 " 2

search "$TARGET" 3 --count 2 >"$LAB_TMP/search.txt"
search ssdp:all 3 --count 2 >"$LAB_TMP/search_all.txt"
for answers in "$LAB_TMP/search.txt" "$LAB_TMP/search_all.txt"; do
    expect_count "$answers" "^FROM $SIM_IP:1900 " 2
    for header in "^TEXT HTTP/1\\.1 200 OK$CRLF" "CACHE-CONTROL: max-age=120$CRLF" "${CRLF}EXT:$CRLF" \
        "ST: $TARGET$CRLF" "USN: uuid:$GUID::$TARGET$CRLF" "LOCATION: http://$SIM_IP:808[01]/description\\.xml"; do
        expect_count "$answers" "$header" 2
    done
done

search "$OTHER" 1 >"$LAB_TMP/search_other.txt"
expect_count "$LAB_TMP/search_other.txt" '^FROM' 0
lab_wait_for "$sim_log" "ignore M-SEARCH from $CLIENT_IP:[0-9]+ st=$OTHER" 3 || lab_fail "the search never arrived"

# The description of the indicator behind each announced location.
for port in 8080 8081; do
    number=$((port - 8079))
    page=$LAB_TMP/description.$port
    get "http://$SIM_IP:$port/description.xml" >"$page" || lab_fail "no description on port $port"
    lab_expect_grep "$page" $'^HTTP/1.1 200 OK\r$'
    lab_expect_grep "$page" $'^Connection: close\r$'
    lab_expect_grep "$page" $'^\r$'
    lab_expect_grep "$page" "<modelDescription>Weighing indicator \"scale-$number\"</modelDescription>"
    lab_expect_grep "$page" "<presentationURL>http://$SIM_IP:$port/</presentationURL>"
    lab_expect_grep "$page" '<serialNumber>[^<]+</serialNumber>'
    # The UDN is the GUID the search answer announced for this location.
    guid=$(grep -oE "LOCATION: http://$SIM_IP:$port/description\\.xml$CRLF.*USN: uuid:$GUID" \
        "$LAB_TMP/search.txt" | grep -oE "$GUID\$")
    [ -n "$guid" ] || lab_fail "no search answer for port $port"
    lab_expect_grep "$page" "<UDN>uuid:$guid</UDN>"
done

get "http://$SIM_IP:8080/ping" >"$LAB_TMP/ping" || lab_fail "no /ping answer"
lab_expect_grep "$LAB_TMP/ping" $'^HTTP/1.1 200 OK\r$'
lab_expect_grep "$LAB_TMP/ping" 'pong scale-1'
get "http://$SIM_IP:8081/" >"$LAB_TMP/home" || lab_fail "no / answer"
lab_expect_grep "$LAB_TMP/home" $'^HTTP/1.1 200 OK\r$'
lab_expect_grep "$LAB_TMP/home" '<title>Weighing indicator scale-2</title>'
get "http://$SIM_IP:8080/backup.html" >"$LAB_TMP/backup" || lab_fail "no /backup.html answer"
lab_expect_grep "$LAB_TMP/backup" $'^HTTP/1.1 200 OK\r$'
get "http://$SIM_IP:8080/no-such-page" >"$LAB_TMP/missing" || lab_fail "no answer for an unknown path"
lab_expect_grep "$LAB_TMP/missing" $'^HTTP/1.1 404 Not Found\r$'
lab_expect_grep "$sim_log" "http GET /description\\.xml from $CLIENT_IP:[0-9]+ on scale-2 -> 200"

echo "== goodbye"
stop_sim "$sim"
lab_wait_for_count "$listen_log" "NTS: ssdp:byebye$CRLF" 2 5 || lab_fail "no byebye from both indicators"
grep -E "^TEXT .*NTS: ssdp:byebye" "$listen_log" >"$LAB_TMP/byebye.txt"
expect_count "$LAB_TMP/byebye.txt" "^TEXT NOTIFY \\* HTTP/1\\.1$CRLF.*NT: $TARGET$CRLF.*USN: uuid:$GUID::$TARGET$CRLF" 2
kill -TERM "$listener"

# --- Hostile datagrams, another device type, a description without body ----

echo "== --type --oversize --empty --garbage --no-body"
garbage=7
fault_listen=$LAB_TMP/listen_faults.log
fault_log=$LAB_TMP/sim_faults.log
expected=$((garbage + 3))  # garbage, oversize, empty, one alive
listener=$(start_listener "$fault_listen" --seconds 10 --count "$expected") || lab_fail "listener did not start"
sim=$(start_sim "$fault_log" --port 8080 --type "$OTHER" --oversize --empty --garbage "$garbage" --no-body) ||
    lab_fail "simulator with faults did not start"
lab_wait_exit "$listener" 10 >/dev/null || lab_fail "listener did not end"
expect_count "$fault_listen" "^FROM $SIM_IP:1900 " "$expected"
expect_count "$fault_listen" "^FROM .* LEN 1501 " 1
expect_count "$fault_listen" '^FROM .* LEN 0 HEX $' 1
expect_count "$fault_listen" "^TEXT NOTIFY \\* HTTP/1\\.1$CRLF.*LOCATION: .*NT: $OTHER${CRLF}NTS: ssdp:alive$CRLF" 1
lab_expect_no_grep "$fault_listen" "NT: $TARGET"
# Everything else that arrived is the garbage: as many as asked for.
lab_expect_grep "$fault_log" "send garbage datagram $garbage/$garbage"

search "$OTHER" 3 --count 1 >"$LAB_TMP/search_faults.txt"
expect_count "$LAB_TMP/search_faults.txt" "^TEXT HTTP/1\\.1 200 OK$CRLF.*ST: $OTHER$CRLF.*USN: uuid:$GUID::$OTHER$CRLF" 1
search "$TARGET" 1 >"$LAB_TMP/search_target_faults.txt"
expect_count "$LAB_TMP/search_target_faults.txt" '^FROM' 0
lab_wait_for "$fault_log" "ignore M-SEARCH from $CLIENT_IP:[0-9]+ st=$TARGET" 3 || lab_fail "the search never arrived"

get "http://$SIM_IP:8080/description.xml" >"$LAB_TMP/nobody" || lab_fail "no description with --no-body"
lab_expect_grep "$LAB_TMP/nobody" $'^HTTP/1.1 200 OK\r$'
lab_expect_grep "$LAB_TMP/nobody" '<UDN>uuid:'
expect_count "$LAB_TMP/nobody" $'^\r$' 0
stop_sim "$sim"

echo "== --hang-http"
hang_log=$LAB_TMP/sim_hang.log
sim=$(start_sim "$hang_log" --port 8080 --hang-http) || lab_fail "hanging simulator did not start"
get "http://$SIM_IP:8080/description.xml" 2 >"$LAB_TMP/hung" && lab_fail "a hanging indicator answered"
[ -s "$LAB_TMP/hung" ] && lab_fail "a hanging indicator sent bytes"
lab_expect_grep "$hang_log" "http GET /description\\.xml from $CLIENT_IP:[0-9]+ on scale-1 -> hang"
stop_sim "$sim"

echo "== --slow-http"
bps=500
slow_log=$LAB_TMP/sim_slow.log
sim=$(start_sim "$slow_log" --port 8080 --slow-http "$bps") || lab_fail "slow simulator did not start"
started=$(date +%s%N)
get "http://$SIM_IP:8080/description.xml" 20 >"$LAB_TMP/slow" || lab_fail "no answer from a slow indicator"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
lab_expect_grep "$LAB_TMP/slow" '</root>'
size=$(wc -c <"$LAB_TMP/slow")
# Loose lower bound only: half the time the bytes need at that rate.
minimum_ms=$((size * 1000 / bps / 2))
[ "$elapsed_ms" -ge "$minimum_ms" ] ||
    lab_fail "$size bytes at $bps B/s arrived in ${elapsed_ms} ms, expected at least ${minimum_ms} ms"
stop_sim "$sim"

echo "PASS"
