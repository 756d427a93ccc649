#!/bin/sh
# Prints the program's size and imports, and fails when it imports anything
# but Windows system DLLs (a clean Windows has no MinGW runtime).
set -e
exe="$1"
objdump=x86_64-w64-mingw32-objdump
"$objdump" -f "$exe" | grep -q "pei-i386" && objdump=i686-w64-mingw32-objdump
echo "$(basename "$(dirname "$(dirname "$exe")")")/$(basename "$exe"): $(stat -c %s "$exe") bytes"
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports: $(echo $imports)"
status=0
for dll in $imports; do
    case "$dll" in
    kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|comctl32.dll|comdlg32.dll|msvcrt.dll|shlwapi.dll|version.dll) ;;
    *) echo "not a system DLL: $dll" >&2; status=1 ;;
    esac
done
"$objdump" -p "$exe" | grep -q "(Windows GUI)" || { echo "not a GUI-subsystem program" >&2; status=1; }
exit $status
