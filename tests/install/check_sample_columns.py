#!/usr/bin/env python3
"""Checks the sample survey files in examples/ byte by byte against the record
layout the program reads, so that an edit that shifts a column is caught.

*80: PID 1-6, "*80" 7-9, blank 10, 4-digit SSN 11-14, designation 15-44,
latitude ddmm + seconds (five implied decimals) 45-55, "N" 56, longitude
dddmm + seconds 57-68, "W" 69, elevation 70-75 (two implied decimals, or
six blanks for none).
*86: PID 1-6, "*86" 7-9, SSN 11-14, orthometric height 17-23 (three implied
decimals, or seven blanks for none).
"""
import re
import sys

RECORD_80 = re.compile(r"[A-Z]{2}\d{4}\*80 \d{4}[A-Z0-9][ -~]{29}"
                       r"\d{11}N\d{12}W( {6}| *\d+)$")
RECORD_86 = re.compile(r"[A-Z]{2}\d{4}\*86 \d{4}  ( {7}| *\d+)")


def check(path):
    faults = []
    keys = {}
    with open(path, "rb") as f:
        data = f.read()
    if not data.endswith(b"\n") or b"\r" in data or b"\t" in data:
        faults.append("line ends must be LF only, no tabs")
    for number, raw in enumerate(data.decode("ascii").split("\n")[:-1], 1):
        code = raw[6:9]
        where = f"{path}:{number}"
        if code in ("*10", "*12"):
            if raw[:6] != "      ":
                faults.append(f"{where}: header line must leave columns 1-6 blank")
        elif code == "*80":
            if len(raw) != 75 or not RECORD_80.match(raw):
                faults.append(f"{where}: *80 columns out of place")
                continue
            if int(raw[46:48]) >= 60 or int(raw[48:55]) >= 6000000 or \
               int(raw[59:61]) >= 60 or int(raw[61:68]) >= 6000000:
                faults.append(f"{where}: minutes or seconds out of range")
            pid, ssn = raw[0:6], raw[10:14]
            if keys.setdefault(pid, ssn) != ssn or list(keys.values()).count(ssn) != 1:
                faults.append(f"{where}: PID and SSN must name one station each")
        elif code == "*86":
            if not RECORD_86.fullmatch(raw[:23]):
                faults.append(f"{where}: *86 columns out of place")
            elif keys.get(raw[0:6]) != raw[10:14]:
                faults.append(f"{where}: *86 before or without its *80 record")
        else:
            faults.append(f"{where}: unexpected record code {code!r}")
    return faults, keys


def main(paths):
    faults = []
    tables = []
    for path in paths:
        file_faults, keys = check(path)
        faults += file_faults
        tables.append(keys)
    # Matching by SSN and by PID must pair the same stations.
    for pid in set(tables[0]) & set(tables[-1]):
        if tables[0][pid] != tables[-1][pid]:
            faults.append(f"PID {pid} has different SSNs in the two files")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
