#!/usr/bin/env bash
# with_file_protection.sh FIFOS REGULAR COMMAND...: runs COMMAND with the
# kernel's protection of FIFOs and regular files in sticky directories
# (fs.protected_fifos, fs.protected_regular) at the given levels, and puts
# the machine's own levels back afterwards. Debian sets 1 and 2 at boot.
# Needs root; exits 77 (skipped) without it.
set -u
[ $# -ge 3 ] || { echo "usage: $0 FIFOS REGULAR COMMAND..." >&2; exit 2; }
fifos=$1 regular=$2
shift 2
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: setting fs.protected_fifos and fs.protected_regular needs root"
    exit 77
fi
before_fifos=$(sysctl -n fs.protected_fifos) || exit 1
before_regular=$(sysctl -n fs.protected_regular) || exit 1
trap 'sysctl -q -w fs.protected_fifos="$before_fifos" fs.protected_regular="$before_regular"' EXIT
sysctl -q -w fs.protected_fifos="$fifos" fs.protected_regular="$regular" || exit 1
echo "fs.protected_fifos=$fifos fs.protected_regular=$regular"
"$@"
