#!/bin/sh
# Runs a Windows program under wine64 in the build's private prefix; the
# emulator of the win64 preset, so ctest runs every Windows test through it.
# A program named *_win98.exe (win95, winme, nt40, win2k likewise) is given
# that Windows version through Wine's per-program AppDefaults; one named
# *_cp932.exe runs with the Japanese locale, so its ANSI code page is 932.
set -e
here=$(cd "$(dirname "$0")" && pwd)
eval "$("$here/wine-prefix.sh" env)"
exe=$(basename "$1")
case "$exe" in
*_win95.exe|*_win98.exe|*_winme.exe|*_nt40.exe|*_win2k.exe)
    version=${exe%.exe}; version=${version##*_}
    stamp="$WINEPREFIX.state/appdefaults-$exe"
    if [ ! -f "$stamp" ]; then
        /usr/lib/wine/wine64 reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d "$version" /f >/dev/null 2>&1
        touch "$stamp"
    fi
    ;;
*_cp932.exe)
    root=$(cd "$here/../.." && pwd)
    if [ ! -d "$root/build/locale/ja_JP.UTF-8" ]; then
        mkdir -p "$root/build/locale"
        localedef -i ja_JP -f UTF-8 "$root/build/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
    fi
    export LOCPATH="$root/build/locale" LC_ALL=ja_JP.UTF-8
    ;;
esac
exec /usr/lib/wine/wine64 "$@"
