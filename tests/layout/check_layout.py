#!/usr/bin/env python3
"""The layering check.

A source may include the headers of its own target and of the libraries that target links,
directly or through them; nothing else of ours. Headers are found from the include roots the
build gives every target (the source root, and tests/ for the test support). A header that no
library lists is judged by its folder: it must be the folder of an allowed library.
The README's folder table may name only folders that exist.

Usage: check_layout.py <build>/layout.txt <source root>
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def read_layout(path):
    targets = {}
    current = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            word, _, rest = line.rstrip("\n").partition(" ")
            if word == "target":
                name, kind = rest.split(" ")
                current = targets[name] = {"kind": kind, "sources": [], "links": []}
            elif word == "source":
                current["sources"].append(rest)
            elif word == "link":
                current["links"].append(rest)
    return targets


def closure(targets, name):
    seen, todo = set(), [name]
    while todo:
        t = todo.pop()
        if t in seen or t not in targets:
            continue
        seen.add(t)
        todo.extend(targets[t]["links"])
    return seen


def top_folder(root, path):
    rel = os.path.relpath(path, root)
    parts = rel.split(os.sep)
    # tests/<folder>/... belongs to the tests of that folder; tests/support is its own place.
    return "/".join(parts[:2]) if parts[0] == "tests" and len(parts) > 2 else parts[0]


def check_includes(targets, root):
    owner = {}
    for name, t in targets.items():
        if t["kind"] == "STATIC_LIBRARY":
            for s in t["sources"]:
                owner[s] = name
    folders_of = {}
    for name, t in targets.items():
        folders_of[name] = {top_folder(root, s) for s in t["sources"]}
    faults = []
    for name, t in sorted(targets.items()):
        allowed = closure(targets, name)
        allowed_folders = set().union(*(folders_of.get(a, set()) for a in allowed))
        for source in t["sources"]:
            try:
                with open(source, encoding="utf-8", errors="replace") as f:
                    text = f.read()
            except OSError:
                continue
            for included in INCLUDE.findall(text):
                beside = os.path.join(os.path.dirname(source), included)
                if os.path.exists(beside) and "/" not in included:
                    header = os.path.normpath(beside)
                else:
                    header = None
                    for base in (root, os.path.join(root, "tests")):
                        candidate = os.path.normpath(os.path.join(base, included))
                        if os.path.exists(candidate):
                            header = candidate
                            break
                if header is None:
                    continue  # generated or a system header given with quotes
                if header in owner:
                    fine = owner[header] in allowed
                else:
                    fine = top_folder(root, header) in allowed_folders
                if not fine:
                    faults.append(
                        f"{os.path.relpath(source, root)}: includes \"{included}\", but {name} "
                        f"does not link {owner.get(header, top_folder(root, header) + '/')}")
    return faults


def check_readme(root):
    faults = []
    with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
        text = f.read()
    section = text.split("## Folders", 1)[1] if "## Folders" in text else ""
    for line in section.splitlines():
        if not line.startswith("|"):
            if line.startswith("## "):
                break
            continue
        first_cell = line.split("|")[1]
        for folder in re.findall(r"`([^`]+)/`", first_cell):
            if not os.path.isdir(os.path.join(root, folder)):
                faults.append(f"README.md: the folder table names `{folder}/`, which does not exist")
    return faults


def main():
    layout, root = sys.argv[1], os.path.abspath(sys.argv[2])
    targets = read_layout(layout)
    if not targets:
        print("layout.txt lists no targets")
        return 1
    faults = check_includes(targets, root) + check_readme(root)
    for fault in faults:
        print(fault)
    print(f"{len(targets)} targets checked, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
