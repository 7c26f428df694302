#!/usr/bin/env bash
# The program's answers that need neither a network nor a display: --help,
# --version and bad options, each with its exit code and on the right stream.
# A display that does not exist is named, so any attempt to use one fails;
# so does any toolkit option that reached Qt.
set -u

: "${QUORVEL:?QUORVEL must name the quorvel binary}"
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# run NAME args...: stdout, stderr and exit code to $work/NAME.{out,err,rc}.
run() {
    local name=$1
    shift
    env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:987 TEMP="$work" \
        timeout 30 "$QUORVEL" "$@" >"$work/$name.out" 2>"$work/$name.err"
    echo $? >"$work/$name.rc"
}

expect() {
    local name=$1 rc=$2
    [ "$(cat "$work/$name.rc")" = "$rc" ] ||
        fail "$name: exit code $(cat "$work/$name.rc"), expected $rc; stderr: $(tail -n 3 "$work/$name.err")"
}

run version --version
expect version 0
[ "$(cat "$work/version.out")" = "Quorvel 01.60.00 309220 2017-11-17-11:39:51" ] ||
    fail "--version printed: $(cat "$work/version.out")"

# Qt's own options and unknown long options are no reason to stop, and Qt
# never sees them: "-platform xcb" would abort without a display.
run help /X --help --bogus -platform xcb -reverse
expect help 0
! grep -q 'xcb' "$work/help.err" || fail "Qt took -platform xcb: $(head -n 3 "$work/help.err")"
for option in /V /X /L --list '--seconds N' --watch '--search-every N' --json --all-interfaces --help --version; do
    grep -qF -- "$option" "$work/help.out" || fail "--help does not mention $option"
done
grep -q '^Usage: quorvel' "$work/help.out" || fail "--help has no usage line"

# bad_option EXPECTED-MESSAGE args...
bad_option() {
    local message=$1
    shift
    run bad "$@"
    expect bad 2
    [ ! -s "$work/bad.out" ] || fail "'$*' printed on standard output: $(cat "$work/bad.out")"
    grep -qF -- "quorvel: $message" "$work/bad.err" || fail "'$*': no '$message' in: $(cat "$work/bad.err")"
    grep -qF -- "quorvel --help" "$work/bad.err" || fail "'$*': no pointer to --help"
}

# The cases themselves are the unit tests'; these are the way out of the program.
bad_option "--seconds needs a whole number from 1 to 3600, not 'ten'" /X --List --list --seconds ten
bad_option "--json goes with --list or --watch" --all-interfaces --json
bad_option "--list and --watch exclude each other" --watch --list

strays=$(find "$work" -mindepth 1 ! -name '*.out' ! -name '*.err' ! -name '*.rc')
[ -z "$strays" ] || fail "files appeared in the temporary directory: $strays"
echo "command line test passed"
