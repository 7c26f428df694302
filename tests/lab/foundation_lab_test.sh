#!/usr/bin/env bash
# The real program on a namespaced network: its start-up on the host's
# interface, port 1900 and the group, a datagram from another host reaching
# it, and its M-SEARCH arriving at the other host byte for byte with TTL 4.
# Then hosts with more interfaces: more usable addresses than the table
# holds, and a second network without the default route, with and without
# --all-interfaces.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${SSDP_PROBE:?SSDP_PROBE must name the ssdp-probe binary}"
: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"

PC_IP=10.77.1.1
PEER_IP=10.77.1.20
GOLDEN="$(dirname "${BASH_SOURCE[0]}")/../golden/m_search.txt"

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host peer "$PEER_IP/24"

mkdir -p "$LAB_TMP/pc-temp"
listener=$(lab_spawn peer "$LAB_TMP/listen.log" "$SSDP_PROBE" listen --ip "$PEER_IP" --seconds 20 --count 2)
lab_wait_for "$LAB_TMP/listen.log" '^READY$' 5 || lab_fail "listener not ready"

program=$(lab_spawn pc "$LAB_TMP/quorvel.err" env TEMP="$LAB_TMP/pc-temp" QT_QPA_PLATFORM=offscreen "$QUORVEL" /L)
log="$LAB_TMP/pc-temp/quorvel.log"
lab_wait_for "$log" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "the first burst did not end"

# The first two lines of the run, each behind a UTC timestamp.
stamp='^[0-9]{4}-[0-9]{2}-[0-9]{2}-[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}\|'
head -n 1 "$log" | grep -Eq "${stamp}Quorvel 01\.60\.00 309220 2017-11-17-11:39:51"$'\r'"\$" ||
    lab_fail "first log line is not the caption: $(head -n 1 "$log")"
sed -n 2p "$log" | grep -Eq "${stamp}OnInitDialog\(\):m_rcClient=[0-9]+,[0-9]+"$'\r'"\$" ||
    lab_fail "second log line is not the client size: $(sed -n 2p "$log")"

lab_expect_grep "$log" "Found Interface [0-9]+ : 127\.0\.0\.1/255\.0\.0\.0 IFF_LOOPBACK"
lab_expect_grep "$log" "Found Interface [0-9]+ : $PC_IP/255\.255\.255\.0 as#1 UP"
lab_expect_grep "$log" "CSsdpSocket::SetMulticastInterface\(#[0-9]+,$PC_IP\)"
lab_expect_no_grep "$log" "AddMembership\(\)failed"
lab_expect_grep "$log" "Receive from myself at $PC_IP"

lab_exec pc ss -ulnH | grep -Eq '(0\.0\.0\.0|\*):1900 ' || lab_fail "nothing bound to UDP port 1900"
lab_exec pc cat /proc/net/igmp | grep -q 'FAFFFFEF' || lab_fail "the SSDP group was not joined"

# The program's M-SEARCH as the other host received it.
lab_wait_for_count "$LAB_TMP/listen.log" "^FROM $PC_IP:" 1 5 || lab_fail "no M-SEARCH reached the peer"
expected_hex=$(od -An -v -tx1 "$GOLDEN" | tr -d ' \n')
first=$(grep -m1 "^FROM $PC_IP:" "$LAB_TMP/listen.log")
[[ "$first" == *" TTL 4 "* ]] || lab_fail "M-SEARCH TTL is not 4: $first"
[[ "$first" == *" HEX $expected_hex" ]] || lab_fail "M-SEARCH bytes differ: $first"

# A datagram multicast from the other host reaches the program with its sender.
lab_exec peer "$SSDP_PROBE" send --ip "$PEER_IP" --text 'M-SEARCH * HTTP/1.1\r\nST: ssdp:all\r\n\r\n' ||
    lab_fail "could not send from the peer"
lab_wait_for "$log" "OnReceive\($PEER_IP\)" 5 || lab_fail "the peer's datagram did not arrive"
lab_wait_for "$log" '>ignoring Requ=M-SEARCH \* HTTP/1\.1' 5 || lab_fail "the peer's search was not ignored"

kill "$program" "$listener" 2>/dev/null

# list_run HOST NAME args...: the program in list mode with /L in the
# background; its output goes to $LAB_TMP/NAME.{out,err}, its log file to
# $LAB_TMP/NAME-temp/quorvel.log. Prints the pid.
list_run() {
    local host=$1 name=$2
    shift 2
    mkdir -p "$LAB_TMP/$name-temp"
    lab_spawn "$host" "$LAB_TMP/$name.err" sh -c 'exec "$@" >"$0"' "$LAB_TMP/$name.out" \
        env TEMP="$LAB_TMP/$name-temp" "$QUORVEL" --list --seconds 2 /L "$@"
}

# list_done PID NAME: waits for the run to end with exit code 0.
list_done() {
    local rc
    rc=$(lab_wait_exit "$1" 20) || lab_fail "$2 did not end"
    [ "$rc" = 0 ] || lab_fail "$2 ended with $rc: $(tail -n 5 "$LAB_TMP/$2.err")"
}

# group_devices HOST: the devices on which HOST is a member of 239.255.255.250.
group_devices() {
    lab_exec "$1" cat /proc/net/igmp | awk '/^[0-9]/ { device = $2 } /FAFFFFEF/ { print device }' | sort | xargs
}

SIM_IP=10.77.1.10
lab_host sim "$SIM_IP/24"
lab_start_sim sim "$SIM_IP" "$LAB_TMP/sim.log" --name lan-scale >/dev/null

# --- more usable addresses than the table holds ------------------------------
# Seventeen links listed before the LAN, which has the default route and so
# carries the searches: the cut to 16 must keep it.
CROWDED_IP=10.77.1.2
lab_host crowded "$CROWDED_IP/24"
lab_exec crowded ip route add default via 10.77.1.254 dev eth0
for n in $(seq 1 17); do
    lab_exec crowded ip link add "v$n" type veth peer name "v${n}p"
    lab_exec crowded ip link set "v${n}p" up
    lab_exec crowded ip link set "v$n" up
    lab_exec crowded ip addr add "10.77.$((100 + n)).1/24" dev "v$n"
done
list_done "$(list_run crowded crowded)" crowded
log="$LAB_TMP/crowded-temp/quorvel.log"
lab_expect_grep "$log" "Found Interface [0-9]+ : $CROWDED_IP/255\.255\.255\.0 as#16 UP"
[ "$(grep -c 'UP, not used: more than 16 interfaces' "$log")" -eq 2 ] || lab_fail "not two interfaces left out"
lab_expect_grep "$log" "Receive from myself at $CROWDED_IP"
lab_expect_grep "$LAB_TMP/crowded.out" "^$SIM_IP"$'\t'"lan-scale"$'\t'
lab_expect_no_grep "$LAB_TMP/crowded.err" "Did not receive my own search queries"

# --- a scale network beside the LAN ------------------------------------------
# The PC's LAN has the default route, its cable into the plant's network has
# none. An indicator on each, announcing only before the program starts, so
# only search answers can list them.
TWO_LAN_IP=10.77.1.3
TWO_PLANT_IP=10.77.50.1
PLANT_SIM_IP=10.77.50.10
lab_bridge br1
lab_host two "$TWO_LAN_IP/24"
lab_plug two eth1 "$TWO_PLANT_IP/24" br1
lab_exec two ip route add default via 10.77.1.254 dev eth0
lab_host plant-sim "$PLANT_SIM_IP/24" br1
lab_start_sim plant-sim "$PLANT_SIM_IP" "$LAB_TMP/plant-sim.log" --name plant-scale >/dev/null

# As described: one membership and the searches through the default route's
# interface only.
pid=$(list_run two one-network)
lab_wait_for "$LAB_TMP/one-network-temp/quorvel.log" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "no burst end"
[ "$(group_devices two)" = "eth0" ] || lab_fail "group joined on: $(group_devices two)"
list_done "$pid" one-network
lab_expect_grep "$LAB_TMP/one-network.out" "^$SIM_IP"$'\t'"lan-scale"$'\t'
lab_expect_no_grep "$LAB_TMP/one-network.out" "plant-scale"
lab_expect_no_grep "$LAB_TMP/plant-sim.log" "M-SEARCH from $TWO_PLANT_IP:"
[ "$(grep -c 'SendDiscover:SentTo(' "$LAB_TMP/one-network-temp/quorvel.log")" -eq 4 ] || lab_fail "not 4 searches"

# With --all-interfaces: the group on both, every search through both, and
# both indicators listed with their names. The plant link's second address
# adds neither a membership nor a search.
lab_exec two ip addr add 10.77.51.1/24 dev eth1 label eth1:2
pid=$(list_run two all-networks --all-interfaces)
log="$LAB_TMP/all-networks-temp/quorvel.log"
lab_wait_for "$log" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "no burst end"
[ "$(group_devices two)" = "eth0 eth1" ] || lab_fail "group joined on: $(group_devices two)"
list_done "$pid" all-networks
lab_expect_grep "$LAB_TMP/all-networks.out" "^$SIM_IP"$'\t'"lan-scale"$'\t'
lab_expect_grep "$LAB_TMP/all-networks.out" "^$PLANT_SIM_IP"$'\t'"plant-scale"$'\t'
[ "$(grep -c 'SendDiscover:SentTo(' "$log")" -eq 8 ] || lab_fail "not 4 searches on each of 2 interfaces"
lab_expect_grep "$log" "Receive from myself at $TWO_LAN_IP"
lab_expect_grep "$log" "Receive from myself at $TWO_PLANT_IP"
lab_expect_grep "$log" "Found Interface [0-9]+ : 10\.77\.51\.1/255\.255\.255\.0 as#[0-9]+ UP"
lab_expect_no_grep "$log" "failed\("
lab_expect_grep "$LAB_TMP/plant-sim.log" "answer M-SEARCH from $TWO_PLANT_IP:"

echo "foundation lab test passed"
