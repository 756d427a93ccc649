#!/bin/sh
# Installs the Debian packages the build and the tests need, when missing.
# As root it runs apt-get; otherwise it prints the exact command and fails.
set -e
packages="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
 wine wine64 xvfb xauth x11-utils imagemagick locales libc-bin util-linux procps"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
cmd="apt-get install -y --no-install-recommends$missing"
if [ "$(id -u)" != 0 ]; then
    echo "missing packages; run as root:" >&2
    echo "  apt-get update && $cmd" >&2
    exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
