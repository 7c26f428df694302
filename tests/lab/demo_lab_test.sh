#!/usr/bin/env bash
# `make demo` on a virtual display: the real window finds the three simulated
# indicators, and the demo removes its whole lab both when the program ends
# and when Ctrl-C reaches it.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/lib/lab.sh"

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed (scripts/install-deps.sh)"; exit 77; }
lab_require_root

DEMO="$here/../../scripts/demo.sh"
BUILD=$(dirname "$QUORVEL")
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-demo.XXXXXX")
xvfb=""
demo=""
prefix=""

finish() {
    [ -n "$demo" ] && kill -TERM -- "-$demo" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    # Whatever a failed demo left behind.
    if [ -n "$prefix" ]; then
        for ns in $(ip netns list | awk '{print $1}' | grep "^$prefix-"); do
            for pid in $(ip netns pids "$ns"); do kill -KILL "$pid" 2>/dev/null; done
            ip netns del "$ns"
        done
    fi
    rm -rf "$work"
}
trap finish EXIT

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
lab_wait_for "$work/display" '^[0-9]+$' 10 || lab_fail "Xvfb did not start"
display=":$(cat "$work/display")"

# start_demo NAME: the demo in a process group of its own, as from a terminal
# (where Ctrl-C is not ignored, as it is for background commands of a script),
# with the program's log switch on; waits until the window found all three.
start_demo() {
    local name=$1
    mkdir -p "$work/$name-temp"
    # In a sanitizer build: libxkbcommon-x11, which the X platform loads, gives
    # strndup a buffer without a terminating zero, which is valid and which
    # strict string checks would report.
    setsid env --default-signal=INT DISPLAY="$display" TEMP="$work/$name-temp" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0" bash "$DEMO" "$BUILD" /L \
        >"$work/$name.out" 2>&1 </dev/null &
    demo=$!
    lab_wait_for "$work/$name.out" '^Lab: namespaces ' 10 || lab_fail "$name: the demo did not start"
    prefix=$(sed -n 's/^Lab: namespaces \(.*\)-\*,.*/\1/p' "$work/$name.out")
    lab_wait_for_count "$work/$name-temp/quorvel.log" 'GetUrl\(http://10\.77\.1\.1[0-2]:80/description\.xml\)=[1-9]' \
        3 20 || lab_fail "$name: the window did not find the three indicators"
    lab_expect_grep "$work/$name.out" '^Quorvel runs on 10\.77\.1\.1;'
}

# An ended child stays a zombie until waited for.
demo_ended() {
    local state
    state=$(ps -o stat= -p "$demo")
    [ -z "$state" ] || [[ "$state" == Z* ]]
}

# expect_removed NAME STATUS: the demo ends with STATUS and leaves nothing.
expect_removed() {
    local name=$1 expected=$2 status tries
    for ((tries = 0; tries < 100; tries++)); do
        demo_ended && break
        sleep 0.1
    done
    demo_ended || lab_fail "$name: the demo still runs"
    wait "$demo"
    status=$?
    [ "$status" -eq "$expected" ] || lab_fail "$name: the demo ended with $status, expected $expected"
    demo=""
    if ip netns list | grep -q "^$prefix-"; then
        lab_fail "$name: namespaces left: $(ip netns list | grep "^$prefix-" | tr '\n' ' ')"
    fi
}

# The program ends (its window closed): the demo cleans up and ends normally.
start_demo closed
program=$(ip netns pids "$prefix-pc" | head -n 1)
[ -n "$program" ] || lab_fail "no program in the demo's PC"
kill -TERM "$program"
expect_removed closed 0
lab_expect_grep "$work/closed.out" 'removing the lab'

# Ctrl-C: the whole process group gets SIGINT.
start_demo interrupted
kill -INT -- "-$demo"
expect_removed interrupted 130

echo "demo lab test passed"
