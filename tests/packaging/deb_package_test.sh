#!/usr/bin/env bash
# The Debian package as CPack builds it: its control fields, a dependency for
# every library the program links, files owned by root, then installed with
# dpkg into a throw-away root, run from there, and removed without leftovers.
set -u

: "${QUORVEL_BUILD_DIR:?QUORVEL_BUILD_DIR must name the build tree}"
: "${CPACK_COMMAND:?CPACK_COMMAND must name cpack}"
for tool in dpkg dpkg-deb ldd readelf; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# A sanitizer build links the sanitizer runtimes, which no user installs.
if [ -n "${QUORVEL:-}" ] && readelf -d "$QUORVEL" | grep -q 'NEEDED.*\[lib\(a\|ub\|t\)san\.'; then
    echo "SKIP: this is a sanitizer build; packages are made from the plain build"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$CPACK_COMMAND" --config "$QUORVEL_BUILD_DIR/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { tail -n 20 "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "quorvel_1.60.0_$arch.deb" ] || fail "package file name: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quorvel ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.60.0 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no Maintainer or Description"

# Package names of the Depends field, without versions and alternatives.
depends=" $(field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | tr '\n' ' ') "
[[ "$depends" == *" xdg-utils "* ]] || fail "xdg-utils, which opens pages, is not a dependency: $depends"

# owner_of PATH: the package that installed the file, found under its real
# path or the same path in /lib (where Debian 12 registers the C library).
owner_of() {
    local real
    real=$(readlink -f "$1")
    { dpkg -S "$real" || dpkg -S "${real#/usr}"; } 2>/dev/null | head -n 1 | cut -d: -f1
}

# Only the libraries the program names itself; theirs are their packages' concern.
dpkg-deb -x "$deb" "$work/contents"
program="$work/contents/usr/bin/quorvel"
needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
[ -n "$needed" ] || fail "readelf found no libraries in the program"
for library in $needed; do
    # "name => path (address)", or "path (address)" for the dynamic loader.
    path=$(ldd "$program" | awk -v name="$library" '
        $1 == name && $3 ~ /^\// { print $3; exit }
        $1 ~ /^\// { n = split($1, part, "/"); if (part[n] == name) { print $1; exit } }')
    [ -n "$path" ] || fail "$library is not found on this host"
    owner=$(owner_of "$path")
    [ -n "$owner" ] || fail "no installed package holds $path"
    [[ "$depends" == *" $owner "* ]] || fail "$library comes from $owner, which is not a dependency: $depends"
done

not_root=$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')
[ -z "$not_root" ] || fail "files not owned by root: $not_root"

root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
: >"$root/var/lib/dpkg/status"
# The throw-away root has none of the libraries; the host's serve the run.
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
    { cat "$work/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg --root="$root" -s quorvel | grep -qx 'Status: install ok installed' || fail "dpkg does not list it as installed"
for file in usr/bin/quorvel usr/bin/quorvel-sim usr/share/applications/quorvel.desktop \
    usr/share/icons/hicolor/48x48/apps/quorvel.png usr/share/man/man1/quorvel.1; do
    [ -f "$root/$file" ] || fail "/$file was not installed"
done
version=$(env -u DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/quorvel" --version 2>/dev/null)
[ "$version" = "Quorvel 01.60.00 309220 2017-11-17-11:39:51" ] || fail "the installed program printed: $version"

dpkg --root="$root" --force-not-root -r quorvel >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log" >&2; fail "dpkg -r failed"; }
left=$(find "$root/usr" -type f 2>/dev/null)
[ -z "$left" ] || fail "files left after removal: $left"

echo "deb package test passed"
