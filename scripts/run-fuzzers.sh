#!/bin/bash
# Runs every fuzz target of a fuzz build tree for a bounded time and fails on
# the first crash, sanitizer report, leak or hang.
#
#   scripts/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
#
# Each target starts from its checked-in seeds (fuzz/corpus/TARGET, never
# written to) and the inputs earlier runs found (BUILD_DIR/corpus/TARGET).
# A failing input is kept in BUILD_DIR/artifacts/TARGET/; the output of the
# last run of each target is in BUILD_DIR/logs/TARGET.log.
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]}
seconds=${2:?usage: run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]}
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ssdp_message_fuzzer datagram_fuzzer extract_between_fuzzer
    overview_page_fuzzer url_parts_fuzzer)

dictionary_of() {
    case $1 in
    ssdp_message_fuzzer | datagram_fuzzer) echo "-dict=$root/fuzz/dict/ssdp.dict" ;;
    extract_between_fuzzer) echo "-dict=$root/fuzz/dict/description.dict" ;;
    url_parts_fuzzer) echo "-dict=$root/fuzz/dict/url.dict" ;;
    esac
}

# One target; prints its final statistics line and returns its exit status.
run_target() {
    local target=$1
    local binary="$build/fuzz/$target" corpus="$build/corpus/$target"
    local artifacts="$build/artifacts/$target/" log="$build/logs/$target.log"
    [ -x "$binary" ] || { echo "FAIL: $binary is not built" >&2; return 1; }
    if [ "$target" = datagram_fuzzer ] && [ "$(id -u)" -ne 0 ]; then
        echo "$target: SKIP: needs root for its private network namespace"
        return 0
    fi
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    # shellcheck disable=SC2046
    "$root/scripts/sanitized.sh" "$binary" "$corpus" "$root/fuzz/corpus/$target" $(dictionary_of "$target") \
        -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts" >"$log" 2>&1
    local status=$?
    local runs coverage
    runs=$(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | awk '{print $2}' | paste -sd/)
    coverage=$(grep -E '^#[0-9]+' "$log" | tail -n 1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
    echo "$target: runs/exec-per-s ${runs:-?} ${coverage:-}"
    if [ $status -ne 0 ]; then
        echo "FAIL: $target exited with $status; the end of $log:" >&2
        tail -n 60 "$log" >&2
    fi
    return $status
}

failed=0
for target in "${targets[@]}"; do
    run_target "$target" || failed=1
done
exit $failed
