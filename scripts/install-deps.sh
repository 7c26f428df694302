#!/bin/sh
# Installs the Debian packages that the build and the tests need (clang, its
# sanitizer and fuzzer runtimes and llvm-symbolizer for the fuzz targets;
# mingw-w64 for the Windows program and Wine to run it). As
# root the missing ones are installed; otherwise the apt-get line is printed
# and the script fails, so that nothing half-configured is built.
set -eu

PACKAGES="cmake make g++ pkg-config qt6-base-dev libasound2-dev libgtest-dev \
iproute2 procps xvfb xauth fonts-dejavu-core jq desktop-file-utils groff-base \
clang libclang-rt-14-dev llvm g++-mingw-w64-x86-64-posix wine64 xdotool"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages:$missing" >&2
    echo "Install them with: sudo apt-get install -y$missing" >&2
    exit 1
fi

echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
