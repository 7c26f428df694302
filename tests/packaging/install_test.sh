#!/usr/bin/env bash
# `make install PREFIX=...` into a temporary prefix: exactly the expected
# files, a program that runs from there, a valid menu entry naming the
# installed program and icon, icons of the sizes their folders promise, and a
# manual page that formats without warnings.
set -u

: "${QUORVEL_SOURCE_DIR:?QUORVEL_SOURCE_DIR must name the source tree}"
: "${QUORVEL_BUILD_DIR:?QUORVEL_BUILD_DIR must name the build tree}"
for tool in desktop-file-validate groff; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh)"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with blank"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

make --no-print-directory -C "$QUORVEL_SOURCE_DIR" install BUILD="$QUORVEL_BUILD_DIR" PREFIX="$prefix" JOBS=2 \
    >"$work/make.log" 2>&1 || { tail -n 20 "$work/make.log" >&2; fail "make install failed"; }

expected="bin/quorvel
bin/quorvel-sim
share/applications/quorvel.desktop
share/icons/hicolor/16x16/apps/quorvel.png
share/icons/hicolor/32x32/apps/quorvel.png
share/icons/hicolor/48x48/apps/quorvel.png
share/man/man1/quorvel.1"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$(diff <(echo "$expected") <(echo "$installed"))"

for program in quorvel quorvel-sim; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
done
[ "$("$prefix/bin/quorvel" --version 2>/dev/null)" = "Quorvel 01.60.00 309220 2017-11-17-11:39:51" ] ||
    fail "the installed program does not answer --version"
"$prefix/bin/quorvel-sim" --help >/dev/null 2>&1 || fail "the installed simulator does not answer --help"

desktop="$prefix/share/applications/quorvel.desktop"
desktop-file-validate "$desktop" || fail "the menu entry is not valid"
grep -qx 'Exec=quorvel' "$desktop" || fail "the menu entry does not start the installed program"
grep -qx 'Exec=quorvel --all-interfaces' "$desktop" || fail "the menu entry has no action for every network"
grep -qx 'Icon=quorvel' "$desktop" || fail "the menu entry does not name the installed icon"
grep -qx 'Categories=Network;.*' "$desktop" || fail "the menu entry is not in the Network menu"

# PNG: the signature, then the IHDR chunk with width and height big-endian.
png_size() {
    local header
    header=$(od -An -v -tx1 -N24 "$1" | tr -d ' \n')
    [ "${header:0:16}" = 89504e470d0a1a0a ] && [ "${header:24:8}" = 49484452 ] || return 1
    echo "$((16#${header:32:8}))x$((16#${header:40:8}))"
}
for size in 16 32 48; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/quorvel.png"
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is not a ${size}x${size} PNG"
done
cmp -s "$prefix/share/icons/hicolor/16x16/apps/quorvel.png" "$prefix/share/icons/hicolor/32x32/apps/quorvel.png" &&
    fail "the 16 and 32 pixel icons are the same file"

manual="$prefix/share/man/man1/quorvel.1"
warnings=$(groff -man -ww -z "$manual" 2>&1)
[ -z "$warnings" ] || fail "the manual page formats with warnings: $warnings"
text=$(groff -man -Tutf8 "$manual" 2>/dev/null | sed 's/.\x08//g')
for topic in /V /X /L --list --seconds --watch --search-every --json --help --version quorvel.log Indicators.html TMPDIR 'EXIT STATUS'; do
    grep -qF -- "$topic" <<<"$text" || fail "the manual page does not mention $topic"
done

echo "install test passed"
