#!/bin/sh
# The private Wine prefix of the build: created once, with real shell folders
# instead of links into the Linux home, an X display (Xvfb when none is set)
# and a wineserver whose services write to a log file, not to the pipes of
# whoever happens to run the first Windows program (ctest would wait on them).
#
#   wine-prefix.sh ensure   create what is missing (idempotent, locked)
#   wine-prefix.sh stop     stop the wineserver and the Xvfb of this prefix
#   wine-prefix.sh env      print the environment for a shell to eval
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
: "${VEX_WINEPREFIX:=$root/build/win64/wineprefix}"
export WINEPREFIX="$VEX_WINEPREFIX"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
state="$WINEPREFIX.state"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

server_running() {
    [ -d "$WINEPREFIX" ] || return 1
    # wineserver works in a folder named after the prefix's device and inode.
    dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
    for p in $(pgrep wineserver 2>/dev/null); do
        case "$(readlink "/proc/$p/cwd" 2>/dev/null)" in */"$dir") return 0 ;; esac
    done
    return 1
}

xvfb_display() {
    if [ -f "$state/display" ] && [ -f "$state/xvfb.pid" ] && kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null; then
        cat "$state/display"; return
    fi
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    i=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
    echo ":$n" >"$state/display"
    echo ":$n"
}

real_shell_folders() {
    # A fresh prefix links Desktop, Documents... to $HOME: tests must never write there.
    for d in "$WINEPREFIX"/drive_c/users/*/; do
        for l in "$d"*; do
            if [ -L "$l" ]; then rm -f "$l"; mkdir -p "$l"; fi
        done
    done
}

ensure() {
    mkdir -p "$state"
    exec 9>"$state/lock"
    flock 9
    if [ -z "$DISPLAY" ]; then DISPLAY=$(xvfb_display); fi
    export DISPLAY
    echo "$DISPLAY" >"$state/display-in-use"
    if [ ! -f "$state/ready" ]; then
        rm -rf "$WINEPREFIX"
        "$WINE" wineboot -i </dev/null >"$state/wineboot.log" 2>&1
        "$WINESERVER" -w
        real_shell_folders
        touch "$state/ready"
    fi
    if ! server_running; then
        "$WINESERVER" -p </dev/null >>"$state/wineserver.log" 2>&1 || true
        # Starts services and the desktop process with their output in the log.
        "$WINE" cmd /c exit </dev/null >>"$state/wineserver.log" 2>&1
    fi
    flock -u 9
}

case "$1" in
ensure) ensure ;;
stop)
    if [ -d "$WINEPREFIX" ]; then "$WINESERVER" -k 2>/dev/null || true; fi
    if [ -f "$state/xvfb.pid" ]; then kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true; rm -f "$state/xvfb.pid"; fi
    ;;
env)
    ensure
    echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG='$WINEDEBUG' WINEDLLOVERRIDES='$WINEDLLOVERRIDES' DISPLAY='$(cat "$state/display-in-use")'"
    ;;
*) echo "usage: $0 ensure|stop|env" >&2; exit 2 ;;
esac
