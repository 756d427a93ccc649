#!/bin/sh
# Pictures of the setup dialog and the completion dialog as they appear on
# the X display, taken from a setup run in a Wine prefix of their own (so the
# run's integration stays out of the test prefix):
#
#   scripts/screenshots.sh          build/setup-dialog.png, build/done-dialog.png
#   scripts/screenshots.sh --docs   the same, and copies them to docs/
#
# Needs the win64 build (cmake --build --preset win64), ImageMagick and xdotool.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win64/bin"
out="$root/build"
for f in uninstall.exe uihelper.exe startrecorder.exe; do
    [ -f "$bin/$f" ] || { echo "screenshots: $bin/$f missing; build the win64 preset first" >&2; exit 1; }
done

export VEX_WINEPREFIX="$root/build/screenshots/wineprefix"
eval "$("$root/tests/wine/wine-prefix.sh" env)"
trap '"$root/tests/wine/wine-prefix.sh" stop' EXIT
wine=/usr/lib/wine/wine64
ui() { "$wine" "$bin/uihelper.exe" "$@"; }

# Xvfb has no window manager: unmanaged, the program's windows get their
# caption and frame drawn by Wine, as on Windows.
"$wine" reg add 'HKCU\Software\Wine\AppDefaults\uninstall.exe\X11 Driver' /v Managed /d N /f >/dev/null

# An installation folder as the installer leaves it, the product a stand-in.
install="$VEX_WINEPREFIX/drive_c/Program Files/Vexora"
rm -rf "$install"
mkdir -p "$install"
cp "$bin/uninstall.exe" "$install/"
cp "$bin/startrecorder.exe" "$install/Vexora.exe"
"$wine" reg delete 'HKCU\Software\Vexora' /f >/dev/null 2>&1 || true

# The window of this caption that is on the screen now, as a PNG.
shoot() {
    id=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
    [ -n "$id" ] || { echo "screenshots: no window \"$1\"" >&2; exit 1; }
    import -display "$DISPLAY" -window "$id" "$2"
    echo "$2"
}

(cd "$install" && exec "$wine" uninstall.exe /setup) &
run=$!
ui wait "Vexora Setup" 30000 >/dev/null
sleep 1
shoot "Vexora Setup" "$out/setup-dialog.png"
# Without a program group no folder window opens after the completion dialog.
ui wait "Vexora Setup" press 5115 press 1 gone >/dev/null
ui wait "Vexora Setup" 30000 >/dev/null
sleep 1
shoot "Vexora Setup" "$out/done-dialog.png"
ui wait "Vexora Setup" press 1 gone >/dev/null
wait $run

if [ "$1" = "--docs" ]; then
    mkdir -p "$root/docs"
    cp "$out/setup-dialog.png" "$out/done-dialog.png" "$root/docs/"
    echo "copied to docs/"
fi
