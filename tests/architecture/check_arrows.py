#!/usr/bin/env python3
"""Checks that the arrows between the folders of src/ point one way.

Each folder of src/ is one library or one program. ALLOWED says which other
folders a folder may use, by #include "folder/..." in its sources and by the
tessovane2_* libraries its CMakeLists.txt links. The same table is drawn in
ARCHITECTURE.md; a change of the layout changes both.

Usage: check_arrows.py SOURCE_DIR      (the project's root)
Prints every arrow that goes against the table and exits 1, or exits 0.
"""

import pathlib
import re
import sys

LEAVES = set()
ALLOWED = {
    "records": LEAVES,
    "format": LEAVES,
    "geodesy": LEAVES,
    "date": LEAVES,
    "files": LEAVES,
    "compare": {"records", "format", "geodesy"},
    "parameters": {"compare", "records"},
    "shifts": {"records", "compare", "geodesy"},
    "analysis": {"shifts", "geodesy"},
    "shift_map": {"shifts", "analysis", "format", "geodesy"},
    "shift_outputs": {"shifts", "analysis", "shift_map", "format", "geodesy"},
    "tessovane2": {"parameters", "compare", "records", "files", "date", "format"},
    "tessovane2_shifts": {"parameters", "shift_outputs", "shift_map", "analysis", "shifts", "compare", "records",
                          "files", "date", "format"},
}

# The library each folder builds, as CMake names it.
TARGETS = {
    "tessovane2_records": "records", "tessovane2_format": "format", "tessovane2_geodesy": "geodesy",
    "tessovane2_date": "date", "tessovane2_files": "files", "tessovane2_compare": "compare",
    "tessovane2_parameters": "parameters", "tessovane2_shifts_model": "shifts",
    "tessovane2_analysis": "analysis", "tessovane2_shift_map": "shift_map",
    "tessovane2_shift_outputs": "shift_outputs", "tessovane2_run": "tessovane2",
    "tessovane2_shifts_run": "tessovane2_shifts",
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z0-9_]+)/', re.M)
LINK = re.compile(r"target_link_libraries\(([^)]*)\)", re.S)


def main(root):
    src = pathlib.Path(root) / "src"
    faults = []
    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    for folder in folders:
        if folder not in ALLOWED:
            faults.append(f"src/{folder}/: a folder the table does not know (add it to ALLOWED and ARCHITECTURE.md)")
            continue
        allowed = ALLOWED[folder] | {folder}
        for path in sorted((src / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            for used in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
                if used in ALLOWED and used not in allowed:
                    faults.append(f"{path.relative_to(root)} includes {used}/: {folder} may not use {used}")
        cmake = src / folder / "CMakeLists.txt"
        if not cmake.exists():
            faults.append(f"src/{folder}/: no CMakeLists.txt of its own")
            continue
        for call in LINK.findall(cmake.read_text(encoding="utf-8")):
            for word in call.split()[1:]:
                used = TARGETS.get(word)
                if used and used not in allowed:
                    faults.append(f"src/{folder}/CMakeLists.txt links {word}: {folder} may not use {used}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "."))
