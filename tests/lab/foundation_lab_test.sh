#!/usr/bin/env bash
# The real program on a namespaced network: its start-up on the host's
# interface, port 1900 and the group, a datagram from another host reaching
# it, and its M-SEARCH arriving at the other host byte for byte with TTL 4.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
: "${SSDP_PROBE:?SSDP_PROBE must name the ssdp-probe binary}"

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
echo "foundation lab test passed"
