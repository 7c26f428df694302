#!/bin/bash
# Runs a command with the sanitizer options every sanitized or fuzz build
# needs: any report ends the program with a failing status, leaks are looked
# for at exit, and only the system libraries' leaks in scripts/lsan.supp
# are let through.
#
#   scripts/sanitized.sh CMD...
#   scripts/sanitized.sh --catch-reports CMD...
#
# With --catch-reports every sanitized program CMD starts, however deep,
# writes its reports to files of its own; after CMD ends they are shown and
# any one of them fails the run, whatever CMD's status. For scripts that run
# programs in the background with their output in logs of their own.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
catch=0
if [ "${1:-}" = --catch-reports ]; then
    catch=1
    shift
fi
[ $# -gt 0 ] || { echo "usage: sanitized.sh [--catch-reports] CMD..." >&2; exit 2; }

common="halt_on_error=1:abort_on_error=1:exitcode=23"
export ASAN_OPTIONS="$common:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="$common:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

[ $catch = 1 ] || exec "$@"

reports=$(mktemp -d "${TMPDIR:-/tmp}/sanitizer-reports.XXXXXX")
trap 'rm -rf "$reports"' EXIT
ASAN_OPTIONS="$ASAN_OPTIONS:log_path=$reports/report"
UBSAN_OPTIONS="$UBSAN_OPTIONS:log_path=$reports/report"
"$@"
status=$?
found=("$reports"/report*)
if [ -e "${found[0]}" ]; then
    for report in "${found[@]}"; do
        echo "FAIL: sanitizer report ${report##*/}:" >&2
        cat "$report" >&2
    done
    exit 1
fi
exit $status
