#!/usr/bin/env bash
# Cost per foreign datagram through the real dialog's dispatch
# (quorvel-dispatch-bench), on a namespace host of its own so that the
# dialog's start-up finds one interface and its searches reach nothing
# outside. Needs root.
#
# Environment: QUORVEL_DISPATCH_BENCH (set by the bench target); BENCH_RUNS
# (5), BENCH_DISPATCH_COUNT (200000 datagrams per run).
set -u
BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$BENCH_DIR/../../tests/lab/lib/lab.sh"

: "${QUORVEL_DISPATCH_BENCH:?QUORVEL_DISPATCH_BENCH must name the bench driver}"

lab_require_root
lab_init
lab_host pc 10.77.1.1/24
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
lab_exec pc "$QUORVEL_DISPATCH_BENCH" "${BENCH_RUNS:-5}" "${BENCH_DISPATCH_COUNT:-200000}" ||
    lab_fail "the dispatch bench failed"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
