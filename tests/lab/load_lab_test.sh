#!/usr/bin/env bash
# The real dialog under 5,000 foreign SSDP datagrams a second for 10 s from
# another host, with one well-behaved indicator on the LAN: every datagram
# is read and dispatched (its "OnReceive(" trace line), the kernel drops
# none for a full receive buffer, a Search pressed during the flood still
# sends its four M-SEARCH on time and gets the indicator's answers, and the
# program's memory does not grow with the flood.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/lib/lab.sh"
source "$(dirname "${BASH_SOURCE[0]}")/lib/hostile_watcher.sh"

: "${QUORVEL_SIM:?QUORVEL_SIM must name the quorvel-sim binary}"
: "${QUORVEL_HOSTILE_WATCHER:?QUORVEL_HOSTILE_WATCHER must name the hostile watcher}"
: "${SSDP_FLOOD:?SSDP_FLOOD must name the ssdp-flood binary}"

PC_IP=10.77.1.1
SIM_IP=10.77.1.10
FLOOD_IP=10.77.1.30
RATE=5000
FLOOD_SECONDS=10
TOTAL=$((RATE * FLOOD_SECONDS))
# The four searches go out 250, 500, 750 and 1000 ms after the click.
SEARCHES=4
BURST_BOUND_MS=3000
# Resident memory may grow by this much over the flood.
RSS_MARGIN_KB=2048
TAB=$'\t'
TIME='[0-9]{2}:[0-9]{2}:[0-9]{2}'

lab_require_root
lab_init
lab_host pc "$PC_IP/24"
lab_host sim "$SIM_IP/24"
lab_host flood "$FLOOD_IP/24"

watcher_setup


received_from_flood() {
    grep -c "^OnReceive(${FLOOD_IP//./\\.})" "$TRACE"
}

watcher=$(lab_spawn pc "$TRACE" "$QUORVEL_HOSTILE_WATCHER" "$W" 90)
lab_wait_for "$TRACE" 'KillTimer\(MY_DISCOVER_ID\)' 10 || lab_fail "the first burst did not end"
lab_spawn sim "$LAB_TMP/sim.log" "$QUORVEL_SIM" --ip "$SIM_IP" --name steady --notify-every 0 >/dev/null
lab_wait_for "$W/list.txt" "^$SIM_IP${TAB}steady${TAB}" 10 || lab_fail "the indicator was not listed"
sleep 0.3  # one more report of the settled program
rss_before=$(stat_value rss_kb)
peak_before=$(stat_value peak_rss_kb)
drops_before=$(lab_udp_counter pc RcvbufErrors)

echo "== $RATE foreign datagrams a second for $FLOOD_SECONDS s"
flood=$(lab_spawn flood "$LAB_TMP/flood.log" "$SSDP_FLOOD" --ip "$FLOOD_IP" --rate "$RATE" --seconds "$FLOOD_SECONDS")
lab_wait_for_count "$TRACE" "^OnReceive\\(${FLOOD_IP//./\\.}\\)" $((RATE * 3)) 10 || lab_fail "the flood did not arrive"

tell search
lab_wait_for "$W/stats.txt" '^search_clicks=1$' 5 || lab_fail "Search was not clicked"
lab_wait_for "$W/stats.txt" "^searches_ms=([0-9.]+,){$((SEARCHES - 1))}[0-9.]+\$" 10 ||
    lab_fail "the burst did not send its $SEARCHES searches"
sent_at=$(stat_value searches_ms)
echo "   Search clicked during the flood; M-SEARCH sent after ${sent_at//,/, } ms"
for at in ${sent_at//,/ }; do
    [ "${at%.*}" -lt "$BURST_BOUND_MS" ] || lab_fail "a search went out ${at} ms after the click"
done
lab_wait_for "$W/list.txt" "^$SIM_IP${TAB}steady${TAB}[^$TAB]+${TAB}online ${TAB}$TIME\$" 10 ||
    lab_fail "the indicator's answers to the burst were not listed"

status=$(lab_wait_exit "$flood" $((FLOOD_SECONDS + 10))) || lab_fail "the flood did not end"
echo "   sender: $(cat "$LAB_TMP/flood.log")"
[ "$status" = 0 ] || lab_fail "the sender failed"
lab_expect_grep "$LAB_TMP/flood.log" "^SENT $TOTAL FAILED 0 "

# The backlog drains within a few seconds once the flood ends.
lab_wait_for_count "$TRACE" "^OnReceive\\(${FLOOD_IP//./\\.}\\)" "$TOTAL" 10
processed=$(received_from_flood)
drops=$(($(lab_udp_counter pc RcvbufErrors) - drops_before))
echo "   processed $processed of $TOTAL; the kernel dropped $drops for a full receive buffer (RcvbufErrors)"
[ "$drops" -eq 0 ] || lab_fail "the receive buffer overflowed $drops times"
[ "$processed" -eq "$TOTAL" ] || lab_fail "only $processed of $TOTAL datagrams were read"

sleep 0.3
rss_after=$(stat_value rss_kb)
peak_after=$(stat_value peak_rss_kb)
echo "   resident memory ${rss_before} kB before, ${rss_after} kB after; peak ${peak_before} kB before," \
    "${peak_after} kB after; longest hold $(stat_value max_hold_ms) ms"
if [ -n "${ASAN_OPTIONS:-}" ]; then
    # The sanitizer keeps freed memory in quarantine by design.
    echo "   (not compared under the sanitizers)"
elif [ $((peak_after - peak_before)) -gt "$RSS_MARGIN_KB" ]; then
    lab_fail "peak resident memory grew by $((peak_after - peak_before)) kB over the flood"
fi

kill -0 "$watcher" 2>/dev/null || lab_fail "the program is gone"
tell stop
status=$(lab_wait_exit "$watcher" 10) || lab_fail "the program did not end"
[ "$status" = 0 ] || lab_fail "the program ended with status $status"
lab_expect_no_grep "$TRACE" 'AddressSanitizer|LeakSanitizer|runtime error:'

echo "load lab test passed"
