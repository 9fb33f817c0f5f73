#!/usr/bin/env python3
"""Fails when the README's map of folders and libraries says other than the build.

Reads the README's table (the column "library → what it links of ours") and the map
CMake writes (build/include-map.txt): every library of ours must be in the table, and
the libraries of ours it links (without the "korvella_" of their names) must be those
the table lists after its arrow.

    check-readme-map.py README.md build/include-map.txt
    check-readme-map.py --self-test      # shows that a drifted row is caught
"""

import importlib.util
import os
import re
import sys
import tempfile

ENTRY = re.compile(r"`(korvella_\w+)`(?:\s*→\s*([^;`]+))?")


def read_table(readme):
    """library -> the set of our libraries the README says it links."""
    said = {}
    with open(readme, encoding="utf-8") as f:
        in_table = False
        for line in f:
            if line.startswith("| folder | library"):
                in_table = True
                continue
            if in_table and not line.startswith("|"):
                break
            if in_table:
                cells = line.split("|")
                if len(cells) > 2:
                    for name, links in ENTRY.findall(cells[2]):
                        said[name] = {l.strip() for l in links.split(",") if l.strip()}
    return said


def read_build(map_path):
    here = os.path.dirname(os.path.abspath(__file__))
    found = importlib.util.spec_from_file_location("check_includes",
                                                  os.path.join(here, "check-includes.py"))
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    _, targets = module.read_map(map_path)
    built = {}
    for name, target in targets.items():
        # Qt's generated resource objects are parts of their library, not libraries.
        if not name.startswith("korvella_") or re.search(r"_resources_\d+$", name):
            continue
        built[name] = {l[len("korvella_"):] for l in target["links"] if l.startswith("korvella_")}
    return built


def compare(said, built):
    faults = []
    for name in sorted(built):
        if name not in said:
            faults.append(f"{name} is built but not in the README's map")
        elif said[name] != built[name]:
            faults.append(f"{name}: the README says → {', '.join(sorted(said[name])) or '(nothing)'}; "
                          f"it links {', '.join(sorted(built[name])) or '(nothing)'}")
    for name in sorted(set(said) - set(built)):
        faults.append(f"{name} is in the README's map but not built")
    return faults


def self_test():
    said = {"korvella_a": set(), "korvella_b": {"a"}}
    sound = compare(said, {"korvella_a": set(), "korvella_b": {"a"}})
    drifted = compare(said, {"korvella_a": set(), "korvella_b": {"a", "c"}, "korvella_c": set()})
    if sound or len(drifted) != 2:
        print("self-test failed:", sound, drifted)
        return 1
    with tempfile.NamedTemporaryFile("w", suffix=".md", delete=False, encoding="utf-8") as f:
        f.write("| folder | library → what it links of ours | what |\n|---|---|---|\n"
                "| `x/` | `korvella_a`; `korvella_b` → a | things |\n\nafter\n")
    try:
        if read_table(f.name) != said:
            print("self-test: the table was misread:", read_table(f.name))
            return 1
    finally:
        os.unlink(f.name)
    print("self-test: a drifted row is caught:", *drifted, sep="\n  ")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    faults = compare(read_table(argv[1]), read_build(argv[2]))
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} difference(s) between the README's map and the build")
        return 1
    print("the README's map of libraries is the build's")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
