#!/usr/bin/env python3
"""Fails when a file includes a header of a target its own target does not link.

Reads the map CMake writes (build/include-map.txt: each target, its files, the targets
it links and those it passes on to its users). A file may include the headers of its
own target and of every target it reaches through its links, as the compiler's include
path does: a directly linked target, and what that target passes on (PUBLIC and
INTERFACE links, not PRIVATE ones). An included header that belongs to no target is a
fault too: the map would not know whose it is.

    check-includes.py build/include-map.txt
    check-includes.py --self-test      # shows that a stray include is caught
"""

import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
# Headers of POSIX and Linux: only platform/ (the seams) and labd/ (a Linux service)
# include them, so that another system's build needs new files in platform/ alone.
# Tests and benchmarks, which drive sockets and processes, may too.
SYSTEM = re.compile(
    r"^\s*#\s*include\s*<((?:unistd|fcntl|signal|poll|dlfcn|pthread|termios)\.h|"
    r"(?:sys|arpa|netinet|linux)/[^>]+)>",
    re.MULTILINE,
)
SYSTEM_ALLOWED = re.compile(r"^(platform|labd|bench)/|/tests/|/testing/|/fuzz/")
# What CMake puts around link items: $<LINK_ONLY:x> (not passed on), ::@(dir) scopes.
LINK_ONLY = re.compile(r"^\$<LINK_ONLY:(.*)>$")


def read_map(path):
    source_root = None
    targets = {}
    current = None
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            kind, _, value = line.rstrip("\n").partition("\t")
            if kind == "source":
                source_root = value
            elif kind == "target":
                current = targets.setdefault(value, {"files": [], "links": [], "passes": []})
            elif kind == "file":
                current["files"].append(value)
            elif kind == "link":
                current["links"].append(value)
            elif kind == "passes":
                if not LINK_ONLY.match(value):
                    current["passes"].append(value)
    return source_root, targets


def reachable(targets, name):
    """The targets whose headers name's files may include."""
    seen = {name}
    # An interface library's own files see what it passes on; it links nothing else.
    own = targets[name]["links"] + targets[name]["passes"]
    pending = [link for link in own if link in targets]
    while pending:
        link = pending.pop()
        if link in seen:
            continue
        seen.add(link)
        pending.extend(p for p in targets[link]["passes"] if p in targets)
    return seen


def check(source_root, targets):
    owners = {}
    for name, target in targets.items():
        for file in target["files"]:
            owners.setdefault(file, set()).add(name)
    faults = []
    for name, target in sorted(targets.items()):
        allowed = reachable(targets, name)
        for file in target["files"]:
            try:
                with open(file, encoding="utf-8") as f:
                    text = f.read()
            except OSError as e:
                faults.append(f"{file}: cannot be read: {e}")
                continue
            where = os.path.relpath(file, source_root)
            if not SYSTEM_ALLOWED.search(where):
                for system in SYSTEM.findall(text):
                    faults.append(f"{where} ({name}) includes <{system}>, which only platform/ may")
            for included in INCLUDE.findall(text):
                beside = os.path.normpath(os.path.join(os.path.dirname(file), included))
                rooted = os.path.normpath(os.path.join(source_root, included))
                resolved = beside if os.path.isfile(beside) else rooted
                if not os.path.isfile(resolved):
                    continue  # a system or generated header
                where = os.path.relpath(file, source_root)
                header = os.path.relpath(resolved, source_root)
                if resolved not in owners:
                    faults.append(f"{where} ({name}) includes {header}, which no target lists")
                elif not owners[resolved] & allowed:
                    owner = ", ".join(sorted(owners[resolved]))
                    faults.append(
                        f"{where} ({name}) includes {header} of {owner}, which {name} does not link"
                    )
    return faults


def self_test():
    """A tiny tree of two libraries, checked once sound and once with a stray include."""
    with tempfile.TemporaryDirectory() as root:
        def write(relative, text):
            path = os.path.join(root, relative)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            return path

        low_h = write("low/low.h", "int low();\n")
        low_cpp = write("low/low.cpp", '#include "low/low.h"\n')
        high_h = write("high/high.h", '#include "low/low.h"\n')
        high_cpp = write("high/high.cpp", '#include "high/high.h"\n#include <vector>\n')
        side_h = write("low/side.h", "int side();\n")
        side_cpp = write("low/side.cpp", '#include "side.h"\n')
        targets = {
            "low": {"files": [low_h, low_cpp], "links": [], "passes": []},
            "side": {"files": [side_h, side_cpp], "links": [], "passes": []},
            "high": {"files": [high_h, high_cpp], "links": ["low"], "passes": ["low"]},
        }
        sound = check(root, targets)
        if sound:
            print("self-test: a sound tree was faulted:", *sound, sep="\n  ")
            return 1
        write("high/high.cpp", '#include "high/high.h"\n#include "low/side.h"\n')
        write("low/low.cpp", '#include "low/low.h"\n#include "side.h"\n#include <sys/mman.h>\n')
        stray = check(root, targets)
        expected = 3  # across folders, beside a file of another target, a POSIX header
        if len(stray) != expected:
            print(f"self-test: {len(stray)} faults instead of {expected}:", *stray, sep="\n  ")
            return 1
        print("self-test: stray includes are caught:", *stray, sep="\n  ")
        return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    source_root, targets = read_map(argv[1])
    faults = check(source_root, targets)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) outside the map of folders and dependencies")
        return 1
    files = sum(len(t["files"]) for t in targets.values())
    print(f"every include of {files} files in {len(targets)} targets is linked")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
