#!/usr/bin/env python3
"""Splits a profile of one whole run into reading, parsing, matching and writing.

Reads, on standard input, either `callgrind_annotate --inclusive=yes` output
(first argument "callgrind": instructions, user space only) or
`perf report --children --sort sym --stdio -g none` output (first argument
"perf": cpu-clock samples, kernel included), and prints each phase's share:

  reading     LineReader::next (the block reads of both input files)
  parsing     loadStationTable without the reading (record kinds, parse80,
              *86 pairing, the tables)
  matching    compareTables without formatting and writing (the key index,
              the partner lookups, the shifts, the totals)
  formatting  appendReportLine (the fixed-column report lines)
  writing     ostream write and flush (every report line handed to the
              system with a flush, messages, console)
  rest        start-up, opening files, statistics, exit
"""

import re
import sys

SYMBOLS = {
    "total": ["PROGRAM TOTALS", "tessovane2::run"],
    "load": ["tessovane2::loadStationTable"],
    "read": ["tessovane2::LineReader::next"],
    "compare": ["tessovane2::compareTables"],
    "format": ["tessovane2::appendReportLine"],
    "write": ["std::ostream::write"],
    "flush": ["std::ostream::flush"],
    "page faults": ["asm_exc_page_fault"],
    "write syscalls": ["ksys_write"],
}


def inclusive(lines, mode):
    """Inclusive cost of each symbol of interest (first match wins)."""
    found = {}
    for line in lines:
        if mode == "callgrind":
            m = re.match(r"\s*([\d,]+)\s+\([\s\d.]+%\)\s+(?:\*\s+)?(?:[^:]*:)?(.*)", line)
            if not m:
                continue
            value = float(m.group(1).replace(",", ""))
            name = m.group(2)
            if "PROGRAM TOTALS" in line:
                name = "PROGRAM TOTALS"
        else:
            m = re.match(r"\s*([\d.]+)%\s+[\d.]+%\s+\[[.k]\]\s+(.*)", line)
            if not m:
                continue
            value = float(m.group(1))
            name = m.group(2).strip()
        for key, prefixes in SYMBOLS.items():
            if key in found:
                continue
            for prefix in prefixes:
                if name == prefix or name.startswith(prefix + "(") or name.startswith(prefix + " "):
                    found[key] = value
                    break
    return found


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else "callgrind"
    cost = inclusive(sys.stdin.read().splitlines(), mode)
    get = lambda key: cost.get(key, 0.0)
    total = get("total") if mode == "callgrind" else 100.0
    if total <= 0:
        print("   no profile data")
        return
    writing = get("write") + get("flush")
    phases = [
        ("reading", get("read")),
        ("parsing", get("load") - get("read")),
        ("matching", get("compare") - get("format") - writing),
        ("formatting", get("format")),
        ("writing", writing),
    ]
    phases.append(("rest", total - sum(v for _, v in phases)))
    unit = "instructions" if mode == "callgrind" else "of the samples"
    for name, value in phases:
        share = 100.0 * value / total
        if mode == "callgrind":
            print("   %-11s %6.1f %%  (%s %s)" % (name, share, format(int(value), ","), unit))
        else:
            print("   %-11s %6.1f %% %s" % (name, share, unit))
    if mode == "perf":
        print("   of which in the kernel: write system calls %.1f %%, page faults %.1f %%"
              % (get("write syscalls"), get("page faults")))


if __name__ == "__main__":
    main()
