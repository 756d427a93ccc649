#!/usr/bin/env python3
"""The figures of make bench, gathered into build/bench/report.md.

  report.py size EXE MAP NOEXC_EXE NOEXC_MAP   JSON: sections, contributors, peer
  report.py imports EXE                        the DLLs a program imports
  report.py write RESULTS REPORT FILES STARTUP_RUNS REMOVAL_RUNS
"""
import collections
import glob
import json
import os
import re
import statistics
import struct
import subprocess
import sys

SIZE_GOAL = 89600
STARTUP_GOAL = 1.1
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
               "oleaut32.dll", "comctl32.dll", "comdlg32.dll", "msvcrt.dll", "shlwapi.dll", "version.dll"}
STUBS = "/usr/share/nsis/Stubs"


def pe_sections(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    machine, count = struct.unpack_from("<HH", data, pe + 4)
    optional = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional
    sections = []
    for i in range(count):
        name, vsize, _, raw, _ = struct.unpack_from("<8sIIII", data, table + 40 * i)
        sections.append({"name": name.rstrip(b"\0").decode(), "size": vsize, "raw": raw})
    return machine, len(data), sections


def imports(path):
    machine = pe_sections(path)[0]
    tool = "i686-w64-mingw32-objdump" if machine == 0x14C else "x86_64-w64-mingw32-objdump"
    text = subprocess.run([tool, "-p", path], capture_output=True, text=True, check=True).stdout
    return sorted({m.lower() for m in re.findall(r"DLL Name: (\S+)", text)})


def map_contributors(path):
    """Bytes of the loaded sections by input file (archive member)."""
    lines = open(path).read().split("\n")
    start, out = False, None
    items = collections.Counter()
    for i, line in enumerate(lines):
        if line.startswith("Linker script and memory map"):
            start = True
            continue
        if not start:
            continue
        m = re.match(r"^(\S+)\s+0x[0-9a-f]+\s+0x[0-9a-f]+", line) or re.match(r"^(\.\S+|/DISCARD/)\s*$", line)
        if m and not line.startswith(" "):
            out = m.group(1)
            continue
        if out is None or out.startswith((".debug", ".stab", "/DISCARD/")) or out in (".bss",):
            continue
        m = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
        if m:
            items[m.group(4).strip()] += int(m.group(3), 16)
            continue
        m = re.match(r"^ (\S+)\s*$", line)
        if m and i + 1 < len(lines):
            m2 = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", lines[i + 1])
            if m2:
                items[m2.group(3).strip()] += int(m2.group(2), 16)
    named = collections.Counter()
    for f, n in items.items():
        short = re.sub(r"^.*/", "", f)
        if re.match(r"^\S*ltrans\d*\.ltrans\.o$", short) or short.endswith("main_win.cpp.obj"):
            short = "program code (src/, link-time optimised)"
        elif short == "dll stuff":
            short = "import tables"
        named[short] += n
    return named


def group(name):
    if name.startswith("program code") or name.startswith("libvexcore.a"):
        return "program code"
    if name.endswith(".res"):
        return "resources (icons, dialogs, strings)"
    if re.match(r"lib(gcc_eh|stdc\+\+|supc\+\+)\.a|libgcc\.a", name):
        return "C++ exception support (libgcc_eh, libstdc++)"
    if name == "import tables" or re.match(r"lib(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|uuid"
                                           r"|comctl32)\.a", name):
        return "import tables"
    return "MinGW start-up and C run-time glue"


def size(exe, map_path, noexc_exe, noexc_map):
    machine, total, sections = pe_sections(exe)
    contributors = map_contributors(map_path)
    groups = collections.Counter()
    for name, n in contributors.items():
        groups[group(name)] += n
    stubs = {os.path.basename(p): os.path.getsize(p) for p in sorted(glob.glob(STUBS + "/*-x86-*"))}
    result = {
        "size": total,
        "sections": sections,
        "headers_and_padding": total - sum(s["raw"] for s in sections),
        "contributors": contributors.most_common(16),
        "groups": groups.most_common(),
        "imports": imports(exe),
        "stubs": stubs,
    }
    if os.path.exists(noexc_exe):
        result["noexcept_size"] = os.path.getsize(noexc_exe)
        noexc_groups = collections.Counter()
        for name, n in map_contributors(noexc_map).items():
            noexc_groups[group(name)] += n
        result["noexcept_groups"] = noexc_groups.most_common()
    return result


def lines(path):
    """The lines of a file that Wine's console wrote (CR LF, now and then a stray CR)."""
    return [l for l in open(path, newline="").read().replace("\r", "").split("\n") if l.strip()]


def median(values):
    return statistics.median(values) if values else float("nan")


def parse_startup(path):
    """Per program: the median time and the median of its per-round ratio to the empty program."""
    times = collections.defaultdict(dict)
    for line in lines(path):
        r, i, ms = line.split()
        times[int(i)][int(r)] = float(ms)
    med, ratio, spread = {}, {}, {}
    for i, t in times.items():
        rounds = sorted(set(t) & set(times[0]))
        per_round = sorted(t[r] / times[0][r] for r in rounds)
        med[i] = median(list(t.values()))
        ratio[i] = median(per_round)
        quartiles = statistics.quantiles(per_round, n=4) if len(per_round) > 1 else [ratio[i]] * 3
        spread[i] = (quartiles[0], quartiles[2])
    return len(times[0]), med, ratio, spread


def parse_removal(path):
    runs = collections.defaultdict(list)
    pairs, left = [], collections.Counter()
    pending = {}
    for line in lines(path):
        name, ms, remaining = line.split()
        runs[name].append(float(ms))
        left[name] = max(left[name], int(remaining))
        if name in ("ours", "nsis"):
            pending[name] = float(ms)
            if len(pending) == 2:
                pairs.append(pending["ours"] / pending["nsis"])
                pending = {}
    return runs, pairs, left


def parse_calls(path):
    counts = collections.Counter()
    if os.path.exists(path):
        for line in lines(path):
            n, name = line.split()
            counts[name.split(".")[-1]] += int(n)
    return counts


def parse_lookup(path):
    data = json.load(open(path))
    result = {}
    stddev = {}
    for b in data["benchmarks"]:
        scale = {"ns": 1.0, "us": 1e3, "ms": 1e6}[b.get("time_unit", "ns")]
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") == "stddev":
            stddev[b["run_name"]] = b["cpu_time"] * scale
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        result[b["run_name"]] = {"cpu": b["cpu_time"] * scale, "real": b["real_time"] * scale,
                                 "allocs": b.get("allocs_per_op", 0.0), "stddev": 0.0}
    for name, sd in stddev.items():
        if name in result:
            result[name]["stddev"] = sd
    return result


def verdict(ok):
    return "**met**" if ok else "**not met**"


def write(results, report, files, startup_runs, removal_runs):
    files, startup_runs, removal_runs = int(files), int(startup_runs), int(removal_runs)
    out = ["# Benchmark report", ""]
    out.append("Ratios are medians over alternated runs on one machine in one session (`make bench`).")
    load_path = os.path.join(results, "load.txt")
    if os.path.exists(load_path):
        load = [l.split() for l in lines(load_path)]
        out.append("The machine has %s cores; its load average was %s at the start and %s at the end of the "
                   "run." % (load[0][0], load[0][1], load[-1][1]))
    out.append("")

    # 1. Size
    s = json.load(open(os.path.join(results, "size.json")))
    stub_name, stub = min(s["stubs"].items(), key=lambda kv: kv[1]) if s["stubs"] else ("(none)", 0)
    foreign = [d for d in s["imports"] if d not in SYSTEM_DLLS]
    out += ["## 1. Size of build/win32/bin/uninstall.exe", ""]
    out.append("| | bytes |")
    out.append("|---|---:|")
    out.append("| uninstall.exe (shipped i686 build) | %d |" % s["size"])
    out.append("| NSIS's smallest x86 uninstaller stub (%s) | %d |" % (stub_name, stub))
    out.append("| goal: smaller than | %d |" % SIZE_GOAL)
    out.append("")
    out.append("Goal %s (%+d bytes against it). Imports: %s — %s." % (
        verdict(s["size"] < SIZE_GOAL and not foreign), s["size"] - SIZE_GOAL, ", ".join(s["imports"]),
        "system DLLs only" if not foreign else "NOT system DLLs: " + ", ".join(foreign)))
    out.append("")
    out.append("Sections (bytes in memory / in the file): " + ", ".join(
        "%s %d/%d" % (x["name"], x["size"], x["raw"]) for x in s["sections"]) +
        "; headers and alignment %d." % s["headers_and_padding"])
    out.append("")
    out.append("Where the bytes come from (link map, loaded sections):")
    out.append("")
    out.append("| part | bytes |")
    out.append("|---|---:|")
    for name, n in s["groups"]:
        out.append("| %s | %d |" % (name, n))
    out.append("")
    out.append("Largest contributors: " + ", ".join("%s %d" % (n, b) for n, b in s["contributors"][:12]) + ".")
    out.append("")
    if "noexcept_size" in s:
        cost = s["size"] - s["noexcept_size"]
        out.append("The same link with the memory error ending the process by `abort()` instead of a C++ "
                   "exception is %d bytes: the exception costs %d bytes (the DWARF unwinder of libgcc_eh, "
                   "libstdc++'s personality routine, exception allocation and type information, and their "
                   "unwind tables)." % (s["noexcept_size"], cost))
        if s["size"] >= SIZE_GOAL:
            out.append("Meeting the goal takes %d bytes fewer. They stay because the fatal memory error must "
                       "remain a C++ exception with the int value 8; without it the program would be %d bytes "
                       "below the goal." % (s["size"] - SIZE_GOAL + 1, SIZE_GOAL - s["noexcept_size"]))
        out.append("")

    # 2. Start-up
    path = os.path.join(results, "startup.txt")
    if os.path.exists(path):
        rounds, med, ratio, spread = parse_startup(path)
        out += ["## 2. Start-up: \"/clean\" against an empty Win32 program", ""]
        out.append("%d alternated rounds, each program once per round, started by a timer program inside one "
                   "warm Wine prefix (process start to end); the ratio is taken within each round, so that "
                   "the machine's load, which changes from round to round, cancels out." % rounds)
        out.append("")
        out.append("| program | median ms | median ratio to the empty program |")
        out.append("|---|---:|---:|")
        labels = {0: "empty program (floor)", 2: "empty + user32 and gdi32 imported",
                  3: "... + the program's other imports", 4: "... + OleInitialize",
                  5: "... + LoadLibrary(\"riched32.dll\")", 1: "uninstall.exe /clean"}
        for i in (0, 2, 3, 4, 5, 1):
            if i in med:
                out.append("| %s | %.1f | %.2f |" % (labels[i], med[i], ratio[i]))
        out.append("")
        out.append("Median ratio /clean : empty = **%.2f** (half of the rounds between %.2f and %.2f); goal at "
                   "most %.1f: %s." % (ratio[1], spread[1][0], spread[1][1], STARTUP_GOAL,
                                      verdict(ratio[1] <= STARTUP_GOAL)))
        if ratio[1] > STARTUP_GOAL and all(i in ratio for i in range(6)):
            out.append("")
            out.append("Measured reason: the steps that every start of the program takes, before any work of "
                       "its own, already give %.2f: importing user32 and gdi32 (under Wine this starts the "
                       "display driver; the program shows dialogs and message boxes) brings the ratio to %.2f, "
                       "its other imports to %.2f, OleInitialize to %.2f and loading the rich edit library to "
                       "%.2f, the last two being what its start-up must do. The program's own start-up "
                       "(language module and file, icon, font, command line) adds %+.2f to that, %s." % (
                           ratio[5], ratio[2], ratio[3], ratio[4], ratio[5], ratio[1] - ratio[5],
                           "less than the rounds' spread" if abs(ratio[1] - ratio[5]) < spread[1][1] - spread[1][0]
                           else "beyond the rounds' spread"))
        imports_path = os.path.join(results, "imports.txt")
        if os.path.exists(imports_path):
            out.append("")
            out.append("The measured build/win64/bin/uninstall.exe imports: %s." %
                       ", ".join(open(imports_path).read().split()))
        out.append("")

    # 3. Removal
    path = os.path.join(results, "removal.txt")
    if os.path.exists(path):
        runs, pairs, left = parse_removal(path)
        ratio = median(pairs)
        entries = int(open(os.path.join(results, "entries.txt")).read())
        out += ["## 3. Removal of %d files (%d list entries, folders up to five levels deep)" % (files, entries),
                ""]
        out.append("Ours: from the press of Yes to the end of the process. NSIS: an uninstaller with its own "
                   "Delete and RMDir lines (`Target amd64-unicode`), run in place with `_?=`. %d alternated "
                   "runs each." % len(pairs))
        out.append("")
        out.append("| run | median ms | entries left |")
        out.append("|---|---:|---:|")
        out.append("| uninstall.exe | %.0f | %d |" % (median(runs["ours"]), left["ours"]))
        out.append("| NSIS uninstaller | %.0f | %d |" % (median(runs["nsis"]), left["nsis"]))
        out.append("| uninstall.exe with an empty list (all but the passes) | %.0f | %d |" % (
            median(runs["empty"]), left["empty"]))
        if runs["missing"]:
            out.append("| uninstall.exe with the list but no files (one pass of entries already gone) | %.0f | %d |"
                       % (median(runs["missing"]), left["missing"]))
        out.append("")
        out.append("Median ratio ours : NSIS = **%.2f** (the rounds' ratios ranged from %.2f to %.2f); goal no "
                   "slower (at most 1.0): %s." % (ratio, min(pairs), max(pairs), verdict(ratio <= 1.0)))
        out.append("")
        ours, nsis = parse_calls(os.path.join(results, "calls-ours.txt")), parse_calls(
            os.path.join(results, "calls-nsis.txt"))
        if ours:
            attrs = ours["GetFileAttributesA"]
            passes = round(attrs / entries) if entries else 0
            a_calls = sum(n for k, n in ours.items() if k.endswith("A"))
            out.append("File-system calls (Wine relay trace of one more run each): ours %d, of them %d × %d × 3 "
                       "= %d in the passes, since each pass meets each of the %d entries with exactly "
                       "GetFileAttributesA, SetFileAttributesA and DeleteFileA or RemoveDirectoryA (%s); "
                       "NSIS %d (%s)." % (
                           a_calls, passes, entries, passes * entries * 3, entries,
                           ", ".join("%s %d" % kv for kv in sorted(ours.items()) if kv[0][-1] == "A"),
                           sum(nsis.values()), ", ".join("%s %d" % kv for kv in sorted(nsis.items()))))
            out.append("")
            passes_ms = median(runs["ours"]) - median(runs["empty"])
            out.append("Of our run, the passes take %.0f ms; the rest (registry, links, the self-removal script's "
                       "start) %.0f ms." % (passes_ms, median(runs["empty"])))
            out.append("")
            if ratio > 1.0 and runs["missing"]:
                miss = median(runs["missing"]) - median(runs["empty"])
                out.append("Measured reason: the design's passes meet every entry again in every pass until one "
                           "deletes nothing — %d passes for a list that names folders before their contents at "
                           "five levels — with three calls each time, %.1f times NSIS's calls. A pass over "
                           "entries that are all gone already costs %.0f ms here; the %d passes after the first "
                           "are mostly that, about %.0f ms, while NSIS deletes each entry once. What a call "
                           "costs moves with the machine's load, and the ratio with it (see the rounds' range)." % (
                               passes, a_calls / max(1, sum(nsis.values())), miss, passes - 1,
                               (passes - 1) * miss))
                out.append("")

    # 4. Lookups
    path = os.path.join(results, "lookup.json")
    if os.path.exists(path):
        lk = parse_lookup(path)
        out += ["## 4. Lookups: TranslateText against glibc's dgettext", ""]
        out.append("A full 64 KiB catalogue and a .mo file (msgfmt) with the same texts; lookups in the same "
                   "shuffled order; Google Benchmark, CPU time per operation (median of repetitions).")
        out.append("")
        out.append("| benchmark | ns per operation | standard deviation | allocations per operation |")
        out.append("|---|---:|---:|---:|")
        for name in ("TranslateText", "dgettext", "dgettext+copy", "MakeCatalogueKey", "FindEntry",
                     "CatalogueLoad64KiB"):
            if name in lk:
                out.append("| %s | %.0f | %.0f | %s |" % (name, lk[name]["cpu"], lk[name]["stddev"],
                                                         "%g" % lk[name]["allocs"] if name != "MakeCatalogueKey"
                                                         and name != "FindEntry" else "–"))
        out.append("")
        if "TranslateText" in lk and "dgettext" in lk:
            t, g = lk["TranslateText"], lk["dgettext"]
            met = t["cpu"] <= g["cpu"] and t["allocs"] == 0
            out.append("TranslateText : dgettext = **%.2f** (: dgettext with the copy into a buffer that "
                       "TranslateText makes = %.2f); goal at least as fast, no allocation per lookup: %s." % (
                           t["cpu"] / g["cpu"],
                           t["cpu"] / lk["dgettext+copy"]["cpu"] if "dgettext+copy" in lk else float("nan"),
                           verdict(met)))
            out.append("")
            if not met and t["cpu"] - g["cpu"] <= max(t["stddev"], g["stddev"]):
                out.append("The difference, %.0f ns, is within one standard deviation of the repetitions: the "
                           "two are at par." % (t["cpu"] - g["cpu"]))
                out.append("")
            if not met and t["allocs"] == 0 and "MakeCatalogueKey" in lk and "FindEntry" in lk:
                out.append("Measured reason: a lookup is the catalogue key (a CRC-32 over kind, context and "
                           "text with the one 256-entry table, %.0f ns) and the binary search over the sorted "
                           "index (%.0f ns), both as the catalogue's design has them; dgettext needs only one "
                           "hash probe but returns a pointer, and with the copy that TranslateText makes it is "
                           "the slower one." % (lk["MakeCatalogueKey"]["cpu"], lk["FindEntry"]["cpu"]))
                out.append("")
        if "CatalogueLoad64KiB" in lk:
            out.append("CatalogueLoad64KiB reads the file into the catalogue's buffer and converts, indexes and "
                       "sorts it (the buffer and the index's growth are its allocations).")
            out.append("")
    with open(report, "w") as fh:
        fh.write("\n".join(out))


def main(argv):
    if len(argv) == 5 and argv[0] == "size":
        json.dump(size(*argv[1:]), sys.stdout, indent=1)
    elif len(argv) == 2 and argv[0] == "imports":
        print(" ".join(imports(argv[1])))
    elif len(argv) == 6 and argv[0] == "write":
        write(*argv[1:])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
