#!/bin/sh
# Pictures of the setup dialog and the completion dialog as they appear on
# the X display, taken from a setup run in a Wine prefix of their own (so the
# run's integration stays out of the test prefix):
#
#   scripts/screenshots.sh               build/setup-dialog.png, build/done-dialog.png
#   scripts/screenshots.sh --lang FILE NAME [--locale LOCALE]
#                                        the same with FILE beside the program as its
#                                        uninstall.lng: build/setup-dialog-NAME.png,
#                                        build/done-dialog-NAME.png. LOCALE (he_IL, ar_EG...)
#                                        runs Wine under that Linux locale, so that Windows
#                                        has the ANSI code page of the file's language.
#   scripts/screenshots.sh --all         the program's own texts, each translations/*/ and
#                                        the pseudo-translation of lngtool
#   ... --docs                           copies the pictures to docs/ as well
#
# Needs the win64 build (cmake --build --preset win64), for --all also the host
# build (lngtool), ImageMagick and xdotool.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/win64/bin"
out="$root/build"
lang= name= locale= docs= all=
while [ $# -gt 0 ]; do
    case "$1" in
    --docs) docs=--docs ;;
    --lang) lang=$2; name=$3; shift 2 ;;
    --locale) locale=$2; shift ;;
    --all) all=1 ;;
    *) echo "usage: $0 [--docs] [--all | --lang FILE NAME [--locale LOCALE]]" >&2; exit 2 ;;
    esac
    shift
done
if [ -n "$all" ]; then
    "$0" $docs
    for file in "$root"/translations/*/uninstall.lng; do
        language=$(basename "$(dirname "$file")")
        # The locale of a language whose code page is not Windows-1252.
        case "$language" in
        hebrew) "$0" $docs --lang "$file" "$language" --locale he_IL ;;
        arabic) "$0" $docs --lang "$file" "$language" --locale ar_EG ;;
        *) "$0" $docs --lang "$file" "$language" ;;
        esac
    done
    "$root/build/host/bin/lngtool" pseudo >"$out/pseudo.lng"
    exec "$0" $docs --lang "$out/pseudo.lng" pseudo
fi
for f in uninstall.exe uihelper.exe startrecorder.exe; do
    [ -f "$bin/$f" ] || { echo "screenshots: $bin/$f missing; build the win64 preset first" >&2; exit 1; }
done
if [ -n "$locale" ]; then
    # Compiled once into the build, as tests/wine/wine-run.sh does for ja_JP.
    if [ ! -d "$root/build/locale/$locale.UTF-8" ]; then
        mkdir -p "$root/build/locale"
        localedef -i "$locale" -f UTF-8 "$root/build/locale/$locale.UTF-8" >/dev/null 2>&1 || true
    fi
    export LOCPATH="$root/build/locale" LC_ALL="$locale.UTF-8"
fi

export VEX_WINEPREFIX="$root/build/screenshots/wineprefix"
eval "$("$root/tests/wine/wine-prefix.sh" env)"
trap '"$root/tests/wine/wine-prefix.sh" stop' EXIT
wine=/usr/lib/wine/wine64
ui() { "$wine" "$bin/uihelper.exe" "$@"; }

# Xvfb has no window manager: unmanaged, the program's windows get their
# caption and frame drawn by Wine, as on Windows.
"$wine" reg add 'HKCU\Software\Wine\AppDefaults\uninstall.exe\X11 Driver' /v Managed /d N /f >/dev/null
# Wine's own Tahoma, its caption font, has Latin letters only; Windows's has
# those of the other code pages as well.
if [ -n "$locale" ]; then
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d 'DejaVu Sans' /f >/dev/null
else
    "$wine" reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /f >/dev/null 2>&1 || true
fi

# An installation folder as the installer leaves it, the product a stand-in.
install="$VEX_WINEPREFIX/drive_c/Program Files/Vexora"
rm -rf "$install"
mkdir -p "$install"
cp "$bin/uninstall.exe" "$install/"
cp "$bin/startrecorder.exe" "$install/Vexora.exe"
if [ -n "$lang" ]; then cp "$lang" "$install/uninstall.lng"; fi
"$wine" reg delete 'HKCU\Software\Vexora' /f >/dev/null 2>&1 || true

# The program's window on the screen now, as a PNG. Dialogs are found by a
# control of theirs (5120 the setup dialog's explanation, 5109 a text of the
# completion dialog), whatever language their captions are in.
suffix=${name:+-$name}
shoot() {
    id=$(xdotool search --onlyvisible --classname '^uninstall\.exe$' | head -n 1)
    [ -n "$id" ] || { echo "screenshots: no window of uninstall.exe" >&2; exit 1; }
    import -display "$DISPLAY" -window "$id" "$1"
    echo "$1"
}

(cd "$install" && exec "$wine" uninstall.exe /setup) &
run=$!
ui waitid 5120 30000 >/dev/null
sleep 1
shoot "$out/setup-dialog$suffix.png"
# Without a program group no folder window opens after the completion dialog.
ui waitid 5120 press 5115 press 1 gone >/dev/null
ui waitid 5109 30000 >/dev/null
sleep 1
shoot "$out/done-dialog$suffix.png"
ui waitid 5109 press 1 gone >/dev/null
wait $run

if [ -n "$docs" ]; then
    mkdir -p "$root/docs"
    cp "$out/setup-dialog$suffix.png" "$out/done-dialog$suffix.png" "$root/docs/"
    echo "copied to docs/"
fi
