#!/usr/bin/env python3
"""Reads tessovane2_shifts' files back with real readers: Python's csv module
(designations holding commas and quotes) and json module (the GeoJSON, its
properties the CSV's fields, coordinates longitude first).

    read_back.py TESSOVANE2_SHIFTS EXAMPLES_DIR
"""
import csv
import json
import math
import pathlib
import subprocess
import sys
import tempfile

COLUMNS = ["pid", "ssn", "designation", "status", "hemispheres_differ", "lat1", "lon1", "h1", "lat2", "lon2",
           "h2", "dn", "de", "du", "horizontal", "azimuth"]
NUMBERS = COLUMNS[5:]


def record80(pid, ssn, designation, latitude_seconds):
    # PID 1-6, *80, SSN 11-14, designation 15-44, latitude 45-56, longitude 57-69, elevation 70-75
    line = pid + "*80 " + ssn + designation.ljust(30) + "4107" + latitude_seconds + "N096480321456W 38842"
    assert len(line) == 75, line
    return line + "\n"


def run(program, folder, *arguments):
    done = subprocess.run([program, *arguments], cwd=folder, capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def read_back(folder, name):
    with open(folder / (name + ".csv"), newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    with open(folder / (name + ".geojson"), encoding="utf-8") as f:
        collection = json.load(f)
    if collection["type"] != "FeatureCollection" or len(collection["features"]) != len(rows):
        fail("GeoJSON is not one feature per CSV row")
    for row, feature in zip(rows, collection["features"]):
        if list(row) != COLUMNS:
            fail("CSV columns: %s" % list(row))
        properties = feature["properties"]
        for column in COLUMNS:
            text, value = row[column], properties[column]
            if column in NUMBERS:
                if (text == "") != (value is None) or (value is not None and float(text) != value):
                    fail("%s: CSV %r, GeoJSON %r" % (column, text, value))
            elif column == "hemispheres_differ":
                if text != ("true" if value is True else "false" if value is False else None):
                    fail("%s: CSV %r, GeoJSON %r" % (column, text, value))
            elif text != value:
                fail("%s: CSV %r, GeoJSON %r" % (column, text, value))
        at_first = row["status"] == "only_in_1st"
        position = [float(row["lon1" if at_first else "lon2"]), float(row["lat1" if at_first else "lat2"])]
        if feature["geometry"] != {"type": "Point", "coordinates": position}:
            fail("geometry %r, expected %r" % (feature["geometry"], position))
    return rows, collection


def main():
    program, examples = str(pathlib.Path(sys.argv[1]).resolve()), pathlib.Path(sys.argv[2])
    designations = ['SMITH, "OLD" MARK', '"QUOTED"', "A,B,C", "TRAILING BLANKS   ", "  LEADING BLANKS",
                    'ONE "', "PLAIN"]
    with tempfile.TemporaryDirectory() as scratch:
        folder = pathlib.Path(scratch)
        with open(folder / "a.hz", "w") as f:
            for i, name in enumerate(designations):
                f.write(record80("AB%04d" % i, "%04d" % i, name, "1234567"))
        with open(folder / "b.hz", "w") as f:
            for i, name in enumerate(designations):
                f.write(record80("AB%04d" % i, "%04d" % i, name, "%07d" % (1234567 + 100 * i)))
        status, _, err = run(program, folder, "a.hz", "b.hz", "run", "0.05", "4", "S", "-q")
        if status != 1:
            fail("status %d: %s" % (status, err))
        rows, _ = read_back(folder, "run")
        got = [row["designation"] for row in rows]
        if got != [name.rstrip(" ") for name in designations]:
            fail("designations read back: %r" % got)
        # 0.001 arc-second of latitude per step: about 0.03086 m north each at 41 degrees.
        for i, row in enumerate(rows):
            if not math.isclose(float(row["dn"]), 0.03086 * i, abs_tol=0.0002) or float(row["de"]) != 0.0:
                fail("shift of row %d: dn %s de %s" % (i, row["dn"], row["de"]))

        # The samples' first station lies near 41.12 N, 96.80 W: longitude first, negative.
        for f in ("old.hz", "new.hz"):
            (folder / f).write_bytes((examples / f).read_bytes())
        status, _, err = run(program, folder, "old.hz", "new.hz", "samples", "0.05", "4", "S", "-q")
        if status != 1:
            fail("samples: status %d: %s" % (status, err))
        _, collection = read_back(folder, "samples")
        lon, lat = collection["features"][0]["geometry"]["coordinates"]
        if not (abs(lon + 96.80) < 0.01 and abs(lat - 41.12) < 0.01):
            fail("first sample station at %r" % [lon, lat])
    print("ok: %d designations, the samples' first station at %.4f, %.4f" % (len(designations), lon, lat))


main()
