#!/usr/bin/env python3
"""Generates the installation that the removal benchmark deletes.

  make_tree.py tree DIR FILES [--list] [--list-only]
                                         files in folders up to five levels deep;
                                         --list also writes "Uninstall.lst",
                                         --list-only writes the list alone
  make_tree.py nsis SCRIPT FILES OUT     the NSIS script of an uninstaller that
                                         deletes the same tree (written by OUT's
                                         installer beside it)
  make_tree.py left DIR                  prints how many entries DIR still holds
  make_tree.py count FILES               prints how many entries the list names

The same FILES always gives the same tree. The list names every file and
folder in a shuffled order, so folders come before and after their contents
and the passes meet every depth.
"""
import os
import random
import sys

# Sub-folders per folder at each depth: 10 + 40 + 120 + 240 + 240 folders.
FANOUT = [10, 4, 3, 2, 1]
SEED = 20240611


def layout(files):
    rnd = random.Random(SEED)
    # Small trees (the quick configuration) keep the five levels with fewer folders.
    # No files, no folders: the list of a run that only weighs the rest.
    fanout = FANOUT if files >= 2000 else [2, 2, 1, 1, 1] if files else []
    folders = []
    level = [""]
    for width in fanout:
        nxt = []
        for parent in level:
            for k in range(width):
                path = (parent + "\\" if parent else "") + "d%d" % k
                nxt.append(path)
        folders += nxt
        level = nxt
    places = [""] + folders
    names = []
    for i in range(files):
        where = rnd.choice(places)
        name = "f%05d.%s" % (i, rnd.choice(["dll", "txt", "dat", "hlp", "exe"]))
        names.append((where + "\\" if where else "") + name)
    return folders, names, rnd


def write_tree(root, files, with_list, list_only):
    folders, names, rnd = layout(files)
    os.makedirs(root, exist_ok=True)
    if not list_only:
        for f in folders:
            os.makedirs(os.path.join(root, *f.split("\\")), exist_ok=True)
        blob = b"x" * 64
        for n in names:
            with open(os.path.join(root, *n.split("\\")), "wb") as fh:
                fh.write(blob)
    if with_list or list_only:
        entries = folders + names
        rnd.shuffle(entries)
        with open(os.path.join(root, "Uninstall.lst"), "wb") as fh:
            fh.write("".join(e + "\r\n" for e in entries).encode("ascii"))


def write_nsis(script, files, out):
    folders, names, _ = layout(files)
    lines = [
        "Unicode true",
        "Target amd64-unicode",
        "SetCompressor /SOLID lzma",
        'Name "Vexora removal benchmark"',
        'OutFile "%s"' % out,
        "RequestExecutionLevel user",
        "SilentInstall silent",
        "SilentUnInstall silent",
        'InstallDir "$TEMP\\vexbench"',
        "Section",
        '  WriteUninstaller "$EXEDIR\\nsis-uninstall.exe"',
        "SectionEnd",
        'Section "Uninstall"',
    ]
    lines += ['  Delete "$INSTDIR\\%s"' % n for n in names]
    # Deepest folders first: RMDir removes only empty ones.
    for f in sorted(folders, key=lambda p: -p.count("\\")):
        lines.append('  RMDir "$INSTDIR\\%s"' % f)
    lines.append("SectionEnd")
    with open(script, "w") as fh:
        fh.write("\n".join(lines) + "\n")


def left(root):
    n = 0
    for _, dirs, files in os.walk(root):
        n += len(dirs) + len(files)
    print(n)


def main(argv):
    if len(argv) >= 3 and argv[0] == "tree":
        write_tree(argv[1], int(argv[2]), "--list" in argv, "--list-only" in argv)
    elif len(argv) == 4 and argv[0] == "nsis":
        write_nsis(argv[1], int(argv[2]), argv[3])
    elif len(argv) == 2 and argv[0] == "left":
        left(argv[1])
    elif len(argv) == 2 and argv[0] == "count":
        folders, names, _ = layout(int(argv[1]))
        print(len(folders) + len(names))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
