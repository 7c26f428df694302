#!/usr/bin/env bash
# Runs a Windows test program under Wine in a network namespace of its own,
# laid out as the Linux test programs lay out theirs (tests/support/
# network_isolation_linux.cpp: loopback with multicast and the neighbours'
# addresses), with a display of its own, as Wine makes no window without
# one. Wine's services start where its first process starts, so the
# prefix's are ended first and started again inside; the prefix should be
# the tests' own (its windows are set unmanaged). Without root the
# program runs outside, unisolated, and its network tests skip.
#
#   wine_in_namespace.sh PROGRAM.exe [ARGUMENT...]   (WINEPREFIX set)
set -u
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
[ "$(id -u)" = 0 ] || exec "$WINE" "$@"

inside() {
    set -u
    ip link set lo up multicast on && ip route add 224.0.0.0/4 dev lo &&
        ip addr add 10.77.1.20/32 dev lo && ip addr add 10.77.1.21/32 dev lo || exit 1
    "$WINESERVER" -k 2>/dev/null
    "$WINESERVER" -w 2>/dev/null
    local displayfile xvfb status
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.05
    done
    DISPLAY=":$(cat "$displayfile")" QUORVEL_ISOLATED_NETWORK=1 "$WINE" "$@"
    status=$?
    "$WINESERVER" -k 2>/dev/null
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    rm -f "$displayfile"
    exit "$status"
}
# No window manager runs on the display: a managed window that hides would
# wait two seconds for one to withdraw it. Set once in the prefix, before
# the run whose program must be the first of the prefix inside.
if ! grep -qs '"Managed"="N"' "${WINEPREFIX:?}/user.reg"; then
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$WINESERVER" -w 2>/dev/null
fi
export -f inside
export WINE WINESERVER
exec unshare -n bash -c 'inside "$@"' inside "$@"
