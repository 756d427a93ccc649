#!/bin/sh
# make bench: the program's size, start-up, removal speed and catalogue
# lookups, each measured beside its peer or floor in the same run.
#
#   bench/run.sh           the full run: build/bench/report.md
#   bench/run.sh --tiny    a quick run of every part, for the test suite:
#                          build/bench/tiny/report.md (figures mean nothing)
#
# Windows programs run under wine64 in a prefix of the bench's own, so that
# the figures do not depend on what the tests left in theirs.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
cd "$root"

if [ "$1" = "--tiny" ]; then
    out=build/bench/tiny
    startup_runs=3 removal_files=200 removal_runs=1
    lookup_args="--benchmark_min_time=0.01"
else
    out=build/bench
    startup_runs=40 removal_files=10000 removal_runs=9
    lookup_args="--benchmark_min_time=0.2 --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true"
fi
results=$out/results
rm -rf "$results"
mkdir -p "$results"
# The machine is shared: its load, beside the figures, says how quiet the run was.
echo "$(nproc) $(cut -d' ' -f1 /proc/loadavg)" >"$results/load.txt"

# What the bench needs beyond the build's own packages.
scripts/deps.sh
packages="nsis libbenchmark-dev gettext python3"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages; run as root: apt-get update && apt-get install -y$missing" >&2
        exit 1
    fi
    echo "installing:$missing"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# A preset is configured only when it never was: the quick run may happen
# inside a test run of that very build.
quietly() {
    "$@" >"$results/build.log" 2>&1 || { cat "$results/build.log" >&2; exit 1; }
}
build_preset() {
    [ -f "build/$1/build.ninja" ] || quietly cmake --preset "$1"
    quietly cmake --build --preset "$1" ${2:+--target "$2"}
}
build_project() {  # source dir, build dir, cmake arguments...
    src=$1 dir=$2
    shift 2
    [ -f "$dir/build.ninja" ] || quietly cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
    quietly cmake --build "$dir"
}
echo "== building"
build_preset win32
build_preset win64 uninstall
build_project bench/win build/bench/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
build_project bench/lookup build/bench/lookup

# 1. Size ---------------------------------------------------------------------
echo "== size"
# The same link without the C++ exception: the memory error aborts instead.
# It weighs what the exception costs; nothing ships it.
(
    cd build/win32
    compile=$(ninja -t commands bin/uninstall.exe | grep -- '-c [^ ]*src/fileio/error_handler\.cpp$')
    link=$(ninja -t commands bin/uninstall.exe | tail -n 1)
    noexc="$root/$results/noexcept"
    mkdir -p "$noexc"
    eval "$(echo "$compile" | sed "s#-o [^ ]*error_handler\.cpp\.obj#-o $noexc/memory_error.obj#; \
        s#-MD -MT [^ ]* -MF [^ ]*##; s#-c [^ ]*error_handler\.cpp\$#-c $root/bench/size/memory_error_abort.cpp#")"
    eval "$(echo "$link" | sed "s#^: && ##; s# && :\$##; \
        s#-Wl,--defsym=[^ ]*verbose_terminate_handler[^ ]*##; s#-Wl,--undefined=[^ ]*##; \
        s#-Wl,-Map=[^ ]*#-Wl,-Map=$noexc/uninstall.map#; s#-Wl,--out-implib,[^ ]*##; \
        s#-o bin/uninstall.exe#-o $noexc/uninstall.exe#; \
        s#CMakeFiles/uninstall.dir/src/shell/main_win.cpp.obj#& $noexc/memory_error.obj#")"
)
python3 bench/report.py size build/win32/bin/uninstall.exe build/win32/uninstall.map \
    "$results/noexcept/uninstall.exe" "$results/noexcept/uninstall.map" >"$results/size.json"

# Wine ------------------------------------------------------------------------
export VEX_WINEPREFIX="$root/$out/wineprefix"
trap 'tests/wine/wine-prefix.sh stop' EXIT
tests/wine/wine-prefix.sh ensure
# Xvfb has no window manager, and Wine then waits two seconds for every
# hidden top-level window (the confirmation after Yes) to be withdrawn; a
# Windows desktop hides it at once.
tests/wine/wine-run.sh reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
drive="$VEX_WINEPREFIX/drive_c/vexbench"
rm -rf "$drive"
mkdir -p "$drive/startup" "$drive/rm"
cp build/bench/win64/bin/benchdrv.exe "$drive/"
wine() { tests/wine/wine-run.sh "$@"; }

# 2. Start-up -----------------------------------------------------------------
echo "== start-up"
cp build/bench/win64/bin/startup_step*.exe build/win64/bin/uninstall.exe "$drive/startup/"
s='C:\vexbench\startup'
wine 'C:\vexbench\benchdrv.exe' alternate "$startup_runs" "$s\\startup_step0.exe" "$s\\uninstall.exe /clean" \
    "$s\\startup_step1.exe" "$s\\startup_step2.exe" "$s\\startup_step3.exe" "$s\\startup_step4.exe" \
    >"$results/startup.txt"
python3 bench/report.py imports build/win64/bin/uninstall.exe >"$results/imports.txt"

# 3. Removal ------------------------------------------------------------------
echo "== removal"
python3 bench/removal/make_tree.py nsis "$out/nsis.nsi" "$removal_files" "$drive/nsis-setup.exe"
makensis -V1 "$out/nsis.nsi" >/dev/null
wine 'C:\vexbench\nsis-setup.exe'    # writes nsis-uninstall.exe beside itself

# Ours from the press of Yes to the end of its process; the self-removal
# script then deletes the program and its folder, which ends the round.
ours() {  # folder name, number of files, how (--list, or --list-only for entries already gone)
    dir="$drive/rm/$1"
    python3 bench/removal/make_tree.py tree "$dir" "$2" "$3"
    cp build/win64/bin/uninstall.exe "$dir/"
    sync  # the new tree written out, so that no write-back runs beside the removal
    ms=$(wine 'C:\vexbench\benchdrv.exe' confirm "C:\\vexbench\\rm\\$1\\uninstall.exe" "Uninstall Vexora" 6)
    i=0
    while [ -d "$dir" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
    left=$([ -d "$dir" ] && python3 bench/removal/make_tree.py left "$dir" || echo 0)
    echo "$1 $ms $left"
    rm -rf "$dir"
}
theirs() {
    dir="$drive/rm/nsis"
    python3 bench/removal/make_tree.py tree "$dir" "$removal_files"
    sync
    ms=$(wine 'C:\vexbench\benchdrv.exe' run 'C:\vexbench\nsis-uninstall.exe /S _?=C:\vexbench\rm\nsis')
    echo "nsis $ms $(python3 bench/removal/make_tree.py left "$dir")"
    rm -rf "$dir"
}
round=1
while [ $round -le "$removal_runs" ]; do
    if [ $((round % 2)) = 1 ]; then
        ours ours "$removal_files" --list; theirs
    else
        theirs; ours ours "$removal_files" --list
    fi
    # What the run costs without the passes, and what one pass costs when
    # every entry is already gone (the later passes are mostly that).
    ours empty 0 --list
    ours missing "$removal_files" --list-only
    round=$((round + 1))
done >"$results/removal.txt"

# One more run of each, counting the file-system calls (Wine's relay trace of
# exactly these functions; the run is slower while traced, so its time is not used).
echo "== file-system calls"
calls="GetFileAttributesA;SetFileAttributesA;DeleteFileA;RemoveDirectoryA"
calls="$calls;GetFileAttributesW;SetFileAttributesW;DeleteFileW;RemoveDirectoryW;FindFirstFileW;FindNextFileW;FindClose"
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d "$calls" /f >/dev/null 2>&1
trace() {  # name, command...
    name=$1
    shift
    WINEDEBUG=+relay wine "$@" 2>"$results/trace-$name.txt" >/dev/null || true
    grep -o ':Call [A-Za-z0-9]*\.[A-Za-z0-9]*' "$results/trace-$name.txt" | sed 's/^:Call //' | sort | uniq -c \
        >"$results/calls-$name.txt"
    rm -f "$results/trace-$name.txt"
}
python3 bench/removal/make_tree.py tree "$drive/rm/ours" "$removal_files" --list
cp build/win64/bin/uninstall.exe "$drive/rm/ours/"
trace ours 'C:\vexbench\benchdrv.exe' confirm 'C:\vexbench\rm\ours\uninstall.exe' "Uninstall Vexora" 6
python3 bench/removal/make_tree.py tree "$drive/rm/nsis" "$removal_files"
trace nsis 'C:\vexbench\benchdrv.exe' run 'C:\vexbench\nsis-uninstall.exe /S _?=C:\vexbench\rm\nsis'
sleep 5  # the self-removal script of the traced run
rm -rf "$drive/rm/ours" "$drive/rm/nsis"
python3 bench/removal/make_tree.py count "$removal_files" >"$results/entries.txt"

# 4. Lookups ------------------------------------------------------------------
echo "== lookups"
lookup=$out/catalogue
rm -rf "$lookup"
mkdir -p "$lookup/xx/LC_MESSAGES"
build/bench/lookup/lookup_bench generate "$lookup" >/dev/null
msgfmt -o "$lookup/xx/LC_MESSAGES/vexbench.mo" "$lookup/vexbench.po"
build/bench/lookup/lookup_bench "$lookup" $lookup_args --benchmark_out="$results/lookup.json" \
    --benchmark_out_format=json >/dev/null 2>"$results/lookup.err" || { cat "$results/lookup.err" >&2; exit 1; }

echo "$(nproc) $(cut -d' ' -f1 /proc/loadavg)" >>"$results/load.txt"
python3 bench/report.py write "$results" "$out/report.md" "$removal_files" "$startup_runs" "$removal_runs"
cat "$out/report.md"
