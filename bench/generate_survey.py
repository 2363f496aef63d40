#!/usr/bin/env python3
"""Writes a pair of large, realistic horizontal survey files for benchmarks.

The 1st file holds N stations (*80 records), about half of them followed by
an *86 orthometric height, with a few project records (*10, *12, *13, *25)
in between. The 2nd file is derived from the 1st: most stations moved by a
few millimetres, a few by metres, some dropped, some added, some *86 heights
changed. PIDs (columns 1-6) are unique per station, so a PID run pairs every
station the two files share; 5-digit SSNs repeat after 99,999 stations, and a
few stations are written twice (a corrected re-entry), which gives duplicate
keys.

With --pos, the same stations are also written in Survex's .pos format
("( Easting, Northing, Altitude ) name" lines, metres) for diffpos.

Usage: generate_survey.py N OUT_DIR [--seed S] [--pos]
Writes OUT_DIR/old.hz and OUT_DIR/new.hz (and old.pos, new.pos).
Same N and seed give the same bytes.
"""

import argparse
import math
import os
import random

import survey_records
from survey_records import E5_PER_DEGREE, WORDS, pid_of


class Station:
    __slots__ = ("pid", "ssn", "designation", "lat", "lon", "elev_cm", "height_mm", "tail")

    def __init__(self, pid, ssn, designation, lat, lon, elev_cm, height_mm, tail):
        self.pid = pid
        self.ssn = ssn
        self.designation = designation
        self.lat = lat              # units of 0.00001 arc-second, positive north
        self.lon = lon              # units of 0.00001 arc-second, positive west
        self.elev_cm = elev_cm      # *80 elevation in centimetres, or None (blank)
        self.height_mm = height_mm  # *86 height in millimetres, or None (no *86)
        self.tail = tail            # columns 76-80


def record80(s):
    return survey_records.record80(s.pid, s.ssn, s.designation, s.lat, s.lon, s.elev_cm, s.tail)


def record86(s, tail):
    return survey_records.record86(s.pid, s.ssn, s.height_mm, tail)


def new_station(rng, index):
    words = rng.sample(WORDS, rng.randint(1, 3))
    if rng.random() < 0.3:
        words.append(str(rng.randint(1, 1988)))
    lat = rng.randint(25 * E5_PER_DEGREE, 49 * E5_PER_DEGREE)
    lon = rng.randint(67 * E5_PER_DEGREE, 124 * E5_PER_DEGREE)
    elev_cm = None if rng.random() < 0.02 else rng.randint(0, 350000)
    height_mm = None
    if rng.random() < 0.5:
        height_mm = rng.randint(0, 3500000) if elev_cm is None else elev_cm * 10 + rng.randint(-900, 900)
        height_mm = max(height_mm, 0)
    tail = rng.choice(("", "", "  1 2", "    0", "     "))
    return Station(pid_of(index), "%05d" % ((index + 1) % 100000), " ".join(words),
                   lat, lon, elev_cm, height_mm, tail)


def moved(rng, s):
    """The same station as surveyed again: mostly millimetres, a few metres."""
    if rng.random() < 0.01:
        dlat = rng.choice((-1, 1)) * rng.randint(3000, 160000)   # about 1 m to 50 m
        dlon = rng.choice((-1, 1)) * rng.randint(3000, 160000)
    else:
        dlat = rng.randint(-100, 100)                            # up to about 3 cm
        dlon = rng.randint(-100, 100)
    elev_cm = s.elev_cm
    if elev_cm is not None and rng.random() < 0.3:
        elev_cm = max(0, elev_cm + rng.randint(-5, 5))
    height_mm = s.height_mm
    if height_mm is not None and rng.random() < 0.3:
        height_mm = max(0, height_mm + rng.randint(-20, 20))
    return Station(s.pid, s.ssn, s.designation, s.lat + dlat, s.lon + dlon, elev_cm,
                   height_mm, s.tail)


def project_record(rng, number):
    code, text = rng.choice((("*13", "CORS BRIDGE WATER BM 2 GPS"), ("*25", "ECC"),
                             ("*84", ""), ("*27", "CONTROL POINT")))
    return "%06d%s %s" % (number, code, text)


def write_survey(path, stations, rng, title):
    tails86 = ("", "     ", "  NAVD 88  ")
    lines = ["000001*10 PROJECT %s GPS SURVEY" % title, "000002*12 GRS80"]
    number = 3
    for s in stations:
        if rng.random() < 0.02:
            lines.append(project_record(rng, number))
            number += 1
        lines.append(record80(s))
        if s.height_mm is not None:
            lines.append(record86(s, rng.choice(tails86)))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines))
        f.write("\n")


def write_pos(path, stations):
    """Survex .pos: positions in metres on a local plane, names are PIDs."""
    seen = set()
    out = ["( Easting, Northing, Altitude )"]
    for s in stations:
        if s.pid in seen:
            continue
        seen.add(s.pid)
        lat = s.lat / E5_PER_DEGREE
        lon = s.lon / E5_PER_DEGREE
        northing = lat * 111132.954
        easting = -lon * 111319.491 * math.cos(math.radians(lat))
        if s.height_mm is not None:
            altitude = s.height_mm / 1000.0
        else:
            altitude = 0.0 if s.elev_cm is None else s.elev_cm / 100.0
        out.append("(%12.3f, %12.3f, %9.3f ) %s" % (easting, northing, altitude, s.pid))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(out))
        f.write("\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("stations", type=int, help="stations in the 1st file")
    parser.add_argument("out_dir")
    parser.add_argument("--seed", type=int, default=20031014)
    parser.add_argument("--pos", action="store_true", help="also write .pos files for diffpos")
    parser.add_argument("--dropped", type=float, default=0.005, help="share of stations dropped")
    parser.add_argument("--added", type=float, default=0.005, help="share of stations added")
    parser.add_argument("--repeated", type=float, default=0.001,
                        help="share of stations written twice in a file")
    args = parser.parse_args()

    rng = random.Random(args.seed)
    first = [new_station(rng, i) for i in range(args.stations)]

    second = []
    next_index = args.stations
    for s in first:
        if rng.random() < args.added:
            second.append(new_station(rng, next_index))
            next_index += 1
        if rng.random() >= args.dropped:
            second.append(moved(rng, s))

    def with_repeats(stations):
        result = []
        for s in stations:
            result.append(s)
            if rng.random() < args.repeated:
                result.append(s)
        return result

    first_written = with_repeats(first)
    second_written = with_repeats(second)

    os.makedirs(args.out_dir, exist_ok=True)
    write_survey(os.path.join(args.out_dir, "old.hz"), first_written, rng, "PINE")
    write_survey(os.path.join(args.out_dir, "new.hz"), second_written, rng, "HILL")
    if args.pos:
        write_pos(os.path.join(args.out_dir, "old.pos"), first_written)
        write_pos(os.path.join(args.out_dir, "new.pos"), second_written)


if __name__ == "__main__":
    main()
