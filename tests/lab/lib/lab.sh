# Lab harness for tests that need a real network: every host is a network
# namespace with one veth "eth0" plugged into a bridge that lives in a switch
# namespace of its own, so nothing is ever sent outside the lab (lab_bridge
# and lab_plug add further networks and links). Lab addresses are in
# 10.77.0.0/16. Source this file, then:
#
#   lab_require_root
#   lab_init
#   lab_host sim 10.77.1.10/24
#   pid=$(lab_spawn sim "$LAB_TMP/sim.log" "$QUORVEL_SIM" --ip 10.77.1.10)
#   lab_wait_for "$LAB_TMP/sim.log" '^READY$' 5
#
# Everything made here (processes, namespaces, LAB_TMP) is removed on exit,
# also when the test fails or is interrupted.

LAB_BRIDGE=br0
LAB_SWITCH=sw

# Skips the test (exit 77) when namespaces cannot be made here.
lab_require_root() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: lab tests need root for network namespaces"
        exit 77
    fi
    if ! command -v ip >/dev/null 2>&1; then
        echo "SKIP: iproute2 (ip) is not installed"
        exit 77
    fi
    local probe="qlprobe$$"
    if ! ip netns add "$probe" 2>/dev/null; then
        echo "SKIP: ip netns is not usable here"
        exit 77
    fi
    ip netns del "$probe" 2>/dev/null
}

lab_init() {
    LAB_PREFIX="ql$$r$RANDOM"
    LAB_TMP=$(mktemp -d "${TMPDIR:-/tmp}/$LAB_PREFIX.XXXXXX")
    LAB_PORT_COUNT=0
    LAB_CLEANED=0
    : >"$LAB_TMP/pids"
    trap lab_cleanup EXIT
    trap 'lab_cleanup; exit 130' INT
    trap 'lab_cleanup; exit 143' TERM

    local switch
    switch=$(lab_ns "$LAB_SWITCH")
    ip netns add "$switch" || lab_fail "cannot create namespace $switch"
    # Without snooping off the bridge would drop group traffic to ports that
    # have not sent an IGMP report yet.
    ip -n "$switch" link add "$LAB_BRIDGE" type bridge mcast_snooping 0 ||
        lab_fail "cannot create the lab bridge"
    ip -n "$switch" link set lo up
    ip -n "$switch" link set "$LAB_BRIDGE" up
}

lab_ns() {
    echo "$LAB_PREFIX-$1"
}

lab_exec() {
    local name=$1
    shift
    ip netns exec "$(lab_ns "$name")" "$@"
}

# lab_udp_counter HOST NAME: a counter of the "Udp:" lines of the host's
# /proc/net/snmp, such as RcvbufErrors (datagrams the kernel dropped for a
# full receive buffer).
lab_udp_counter() {
    lab_exec "$1" awk -v name="$2" '
        $1 == "Udp:" && !seen { for (i = 2; i <= NF; i++) column[$i] = i; seen = 1; next }
        $1 == "Udp:" { print $column[name] }' /proc/net/snmp
}

# lab_bridge NAME: another bridge in the switch namespace, a network of its own.
lab_bridge() {
    local switch
    switch=$(lab_ns "$LAB_SWITCH")
    ip -n "$switch" link add "$1" type bridge mcast_snooping 0 || lab_fail "cannot create the bridge $1"
    ip -n "$switch" link set "$1" up
}

# lab_plug NAME DEVICE ADDR/PREFIX [BRIDGE]: a veth DEVICE in host NAME with
# the address, its other end plugged into BRIDGE (default the lab bridge).
lab_plug() {
    local name=$1 device=$2 address=$3 bridge=${4:-$LAB_BRIDGE}
    local ns switch port
    ns=$(lab_ns "$name")
    switch=$(lab_ns "$LAB_SWITCH")
    LAB_PORT_COUNT=$((LAB_PORT_COUNT + 1))
    port="p$LAB_PORT_COUNT"
    ip link add "$device" netns "$ns" type veth peer name "$port" netns "$switch" ||
        lab_fail "cannot create the link $device of $name"
    ip -n "$switch" link set "$port" master "$bridge"
    ip -n "$switch" link set "$port" up
    ip -n "$ns" addr add "$address" dev "$device" || lab_fail "cannot give $name the address $address"
    ip -n "$ns" link set "$device" up
}

# lab_host NAME ADDR/PREFIX [BRIDGE]
lab_host() {
    local name=$1 address=$2 bridge=${3:-$LAB_BRIDGE}
    local ns
    ns=$(lab_ns "$name")
    ip netns add "$ns" || lab_fail "cannot create namespace $ns"
    ip -n "$ns" link set lo up
    lab_plug "$name" eth0 "$address" "$bridge"
    # Joining a group fails with ENODEV without a route for it.
    ip -n "$ns" route add 224.0.0.0/4 dev eth0
    # Hosts in other /24s of the lab share the same bridge.
    ip -n "$ns" route replace 10.77.0.0/16 dev eth0
}

# lab_spawn NAME LOGFILE cmd... : runs cmd in the background in NAME with
# stdout and stderr to LOGFILE and prints its pid. Works inside $(...): a
# watcher records the exit status for lab_wait_exit.
lab_spawn() {
    local name=$1 log=$2
    shift 2
    local ns pidfile
    ns=$(lab_ns "$name")
    pidfile=$(mktemp "$LAB_TMP/spawn.XXXXXX")
    (
        ip netns exec "$ns" "$@" >"$log" 2>&1 &
        child=$!
        echo "$child" >"$pidfile.tmp" && mv "$pidfile.tmp" "$pidfile.ready"
        wait "$child"
        echo $? >"$LAB_TMP/exit.$child"
    ) </dev/null >/dev/null 2>&1 &
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [ -s "$pidfile.ready" ] && break
        sleep 0.02
    done
    [ -s "$pidfile.ready" ] || lab_fail "could not start: $*"
    local pid
    pid=$(cat "$pidfile.ready")
    echo "$pid" >>"$LAB_TMP/pids"
    echo "$pid"
}

# lab_start_sim HOST IP LOG [simulator options...]: starts quorvel-sim
# ($QUORVEL_SIM) in HOST announcing only at its start, and prints its pid
# once it is ready.
lab_start_sim() {
    local host=$1 ip=$2 log=$3
    shift 3
    local pid
    pid=$(lab_spawn "$host" "$log" "$QUORVEL_SIM" --ip "$ip" --notify-every 0 "$@")
    lab_wait_for "$log" '^READY$' 5 >&2 || lab_fail "simulator on $ip not ready"
    echo "$pid"
}

# lab_wait_exit PID SECONDS: waits for a spawned process to end and prints
# its exit status; returns 1 if it is still running after SECONDS.
lab_wait_exit() {
    local pid=$1 seconds=$2
    local tries
    for ((tries = 0; tries <= seconds * 10; tries++)); do
        if [ -s "$LAB_TMP/exit.$pid" ]; then
            cat "$LAB_TMP/exit.$pid"
            return 0
        fi
        sleep 0.1
    done
    echo "lab: process $pid still running after ${seconds}s" >&2
    return 1
}

# lab_wait_for FILE REGEX SECONDS: waits until a line of FILE matches the
# extended REGEX; on timeout shows the file's tail and returns 1.
lab_wait_for() {
    lab_wait_for_count "$1" "$2" 1 "$3"
}

# lab_wait_for_count FILE REGEX COUNT SECONDS: waits until at least COUNT
# lines of FILE match.
lab_wait_for_count() {
    local file=$1 regex=$2 count=$3 seconds=$4
    local tries found
    for ((tries = 0; tries <= seconds * 10; tries++)); do
        found=$(grep -Ec -- "$regex" "$file" 2>/dev/null)
        [ "${found:-0}" -ge "$count" ] && return 0
        sleep 0.1
    done
    echo "lab: fewer than $count lines matching '$regex' in $file after ${seconds}s; its tail:" >&2
    tail -n 20 "$file" 2>/dev/null | cut -c1-300 >&2
    return 1
}

lab_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

lab_expect_grep() {
    local file=$1 regex=$2
    grep -Eq -- "$regex" "$file" || {
        echo "lab: expected a line matching '$regex' in $file; its tail:" >&2
        tail -n 20 "$file" | cut -c1-300 >&2
        lab_fail "missing '$regex'"
    }
}

lab_expect_no_grep() {
    local file=$1 regex=$2
    if grep -Eq -- "$regex" "$file"; then
        echo "lab: unexpected line in $file:" >&2
        grep -E -- "$regex" "$file" | head -n 5 | cut -c1-300 >&2
        lab_fail "unexpected '$regex'"
    fi
}

# lab_expect_quiet_end SIGNAL PID SPAWNED SECONDS LOG REQUEST: sends SIGNAL to
# the watching program PID, whose reader stopped reading; the spawned process
# SPAWNED (the program or what runs it) must end within SECONDS with 0, and
# LOG must show no failed write. REQUEST names the signal in the messages.
lab_expect_quiet_end() {
    local signal=$1 pid=$2 spawned=$3 seconds=$4 log=$5 request=$6 status
    kill "-$signal" "$pid"
    status=$(lab_wait_exit "$spawned" "$seconds") ||
        lab_fail "$request did not end a watch whose reader stopped reading"
    [ "$status" = 0 ] || lab_fail "exit code $status after $request with a stalled reader"
    lab_expect_no_grep "$log" 'Print\(\) failed'
}

# True while a pid listed in FILE runs.
lab_any_alive() {
    local pid
    while read -r pid; do
        kill -0 "$pid" 2>/dev/null && return 0
    done <"$1"
    return 1
}

# lab_fetches_in_turn FILE: true when every description fetch in a program
# log ends before the next one starts: each "GetUrl(LOCATION)" line is
# followed by its "GetUrl(LOCATION)=N" line before the next "GetUrl(". A line
# cut at the log's length limit stands for itself. Only a last fetch may be
# left open, by a program stopped in the middle of it.
lab_fetches_in_turn() {
    tr -d '\r' <"$1" | awk '
        !/^GetUrl\(/ { next }
        open != "" && ($0 == open || index($0, open "=") == 1) { open = ""; next }
        open != "" { printf "%s:%d: \"%s\" starts inside \"%s\"\n", file, NR, $0, open; bad = 1; exit }
        /\)=-?[0-9]+$/ { printf "%s:%d: \"%s\" ends a fetch that never started\n", file, NR, $0; bad = 1; exit }
        { open = $0 }
        END { exit bad }' file="$1"
}

# Every program log the test left in LAB_TMP must show its fetches in turn:
# handlers never run inside a blocking fetch.
lab_check_program_logs() {
    local log failed=0 count=0
    for log in $(grep -rlE '^GetUrl\(' "$LAB_TMP" 2>/dev/null); do
        count=$((count + 1))
        lab_fetches_in_turn "$log" >&2 || failed=1
    done
    [ "$failed" = 0 ] || { echo "FAIL: a description fetch started inside another" >&2; return 1; }
    [ "$count" = 0 ] || echo "lab: fetches in turn in $count program log(s)"
}

# Stops what the harness started and removes its namespaces and files. Runs
# once, from the EXIT trap or on an interrupt. A test that passed so far
# fails if one of its program logs shows a fetch inside another.
lab_cleanup() {
    local status=$?
    [ "${LAB_CLEANED:-1}" = 0 ] || return 0
    LAB_CLEANED=1
    local pid ns tries
    if [ -f "$LAB_TMP/pids" ]; then
        while read -r pid; do
            kill -TERM "$pid" 2>/dev/null
        done <"$LAB_TMP/pids"
        for ((tries = 0; tries < 20; tries++)); do
            lab_any_alive "$LAB_TMP/pids" || break
            sleep 0.1
        done
    fi
    # Anything still inside a lab namespace was started by this test.
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep "^$LAB_PREFIX-"); do
        for pid in $(ip netns pids "$ns" 2>/dev/null); do
            kill -KILL "$pid" 2>/dev/null
        done
        ip netns del "$ns" 2>/dev/null
    done
    if [ "$status" = 0 ] && ! lab_check_program_logs; then
        status=1
    fi
    rm -rf "$LAB_TMP"
    [ "$status" = 0 ] || exit "$status"
}
