#!/usr/bin/env python3
"""Runs both programs on networks of bench/generate_network.py and checks
that the files hold what the generator's side files say:

- the same arguments write the same bytes;
- PIDs are unique per file; the keys in one file only are the destroyed,
  new and renamed marks and the mis-keyed mark, and OUT.renamed lists the
  renamed ones;
- tessovane2 refuses no record (no parse80 error), warns about nothing but
  2nd-file stations missing from the 1st and marks without elevation, pairs
  as many stations as expected, and ends with status 0;
- tessovane2_shifts warns about nothing but marks without elevation, lists
  the same keys as only_in_1st and only_in_2nd, shows every blunder and the
  mis-key at their length and every other pair within the regional change,
  and ends with status 1 (0 for a network without differences).

    check_network.py GENERATOR TESSOVANE2 TESSOVANE2_SHIFTS WORK_DIR
"""
import csv
import math
import pathlib
import subprocess
import sys

# name, generator arguments, SSN length and match type of the runs
CASES = [
    ("mid_latitude_pid", ["2000", "--renamed", "0.02"], "4", "P"),
    ("pacific_west_360_ssn5", ["2000", "--renamed", "0.02", "--center=-17,179.9", "--west-beyond-180",
                               "--ssn-digits", "5"], "5", "S"),
    ("pacific_letters_ssn3", ["300", "--renamed", "0.02", "--center=-17,179.9", "--ssn-digits", "3",
                              "--seed", "7"], "3", "S"),
    ("plain", ["300", "--plain", "--center=-40,-179.95", "--west-beyond-180"], "4", "P"),
]
TOLERANCE = "0.05"
REGIONAL = 0.15  # metres: no ordinary pair moves more (systematic change, pattern, noise)
MISSING_ELEVATION = ("Warning: No elevation found on either *80 or *86 for station: ",
                     "         ssn = ", "         pid = ")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(command, folder):
    done = subprocess.run(command, cwd=folder, capture_output=True, text=True, encoding="latin-1")
    return done.returncode, done.stdout, done.stderr


def pids(path):
    keys = [line[:6] for line in path.read_text(encoding="latin-1").splitlines() if line[6:9] == "*80"]
    check(len(keys) == len(set(keys)), "%s: PIDs repeat" % path.name)
    return set(keys)


def read_truth(path):
    truth = {}
    for line in path.read_text().splitlines():
        if line and not line.startswith("#"):
            pid, kind, *values = line.split()
            truth.setdefault(kind, {})[pid] = values
    return truth


def only_warnings(lines, allowed):
    return [line for line in lines if line and not line.startswith(allowed)]


def check_case(name, arguments, ssn_length, match, tools, work):
    generator, tessovane2, shifts = tools
    folder = work / name
    folder.mkdir(parents=True, exist_ok=True)
    outputs = []
    for prefix in ("net", "again"):
        status, _, err = run([sys.executable, generator, arguments[0], prefix, *arguments[1:]], folder)
        if not check(status == 0, "%s: the generator ended with %d: %s" % (name, status, err)):
            return
        outputs.append([(folder / (prefix + s)).read_bytes() for s in (".old.hz", ".new.hz", ".renamed")])
    check(outputs[0] == outputs[1], "%s: the same arguments wrote different files" % name)

    truth = read_truth(folder / "net.truth")
    renamed = dict(line.split() for line in (folder / "net.renamed").read_text().splitlines())
    check(renamed == {pid: values[0] for pid, values in truth.get("renamed", {}).items()},
          "%s: net.renamed differs from the renamed marks of net.truth" % name)
    old, new = pids(folder / "net.old.hz"), pids(folder / "net.new.hz")
    expected_first = set(truth.get("destroyed", {})) | set(renamed) | set(truth.get("miskey_mark", {}))
    expected_second = set(truth.get("new", {})) | set(renamed.values())
    check(old - new == expected_first, "%s: keys in the 1st file only: %s, expected %s"
          % (name, sorted(old - new), sorted(expected_first)))
    check(new - old == expected_second, "%s: keys in the 2nd file only: %s, expected %s"
          % (name, sorted(new - old), sorted(expected_second)))
    differences = bool(expected_first or expected_second or truth.get("blunder") or truth.get("miskey"))

    # tessovane2: no refused record, only the expected warnings.
    status, out, err = run([tessovane2, "net.old.hz", "net.new.hz", "run", TOLERANCE, ssn_length, match],
                           folder)
    check(status == 0, "%s: tessovane2 ended with %d" % (name, status))
    check("Error" not in err, "%s: tessovane2 refused records:\n%s" % (name, err))
    message = folder / "run.msg"
    lines = message.read_text(encoding="latin-1").splitlines() if message.exists() else []
    unexpected = only_warnings(lines, ("Warning: Station in 2nd file not in 1st file:",) + MISSING_ELEVATION)
    check(not unexpected, "%s: unexpected lines in run.msg: %s" % (name, unexpected[:5]))
    missing = sum(line.startswith("Warning: Station in 2nd file") for line in lines)
    check(missing == len(expected_second), "%s: %d stations of the 2nd file missing from the 1st, expected %d"
          % (name, missing, len(expected_second)))
    # The missing-elevation warning names a mark without elevation, under
    # its 2nd-file key in the 2nd file.
    no_height = set(truth.get("no_height", {}))
    no_height |= {renamed[pid] for pid in no_height if pid in renamed}
    no_height |= {values[0] for pid, values in truth.get("miskey_mark", {}).items() if pid in no_height}
    named = {line.split("=")[1].strip() for line in lines if line.startswith(MISSING_ELEVATION[2])}
    check(named <= no_height and bool(named) == bool(no_height),
          "%s: marks without elevation named %s, in net.truth %s" % (name, sorted(named), sorted(no_height)))
    matched = len(old & new)
    check(" Matched Stations :%6d" % matched in out, "%s: tessovane2 did not match %d stations:\n%s"
          % (name, matched, out))

    # tessovane2_shifts: the same keys, the anomalies at their lengths.
    status, _, err = run([shifts, "net.old.hz", "net.new.hz", "shifts", TOLERANCE, ssn_length, match,
                          "--formats", "csv", "-q"], folder)
    check(status == (1 if differences else 0), "%s: tessovane2_shifts ended with %d" % (name, status))
    unexpected = only_warnings(err.splitlines(), MISSING_ELEVATION)
    check(not unexpected, "%s: unexpected warnings of tessovane2_shifts: %s" % (name, unexpected[:5]))
    with open(folder / "shifts.csv", newline="", encoding="latin-1") as f:
        rows = list(csv.DictReader(f))
    by_status = {}
    for row in rows:
        by_status.setdefault(row["status"], set()).add(row["pid"])
    check(by_status.get("only_in_1st", set()) == expected_first, "%s: only_in_1st rows differ" % name)
    check(by_status.get("only_in_2nd", set()) == expected_second, "%s: only_in_2nd rows differ" % name)
    blunders = truth.get("blunder", {})
    miskeys = truth.get("miskey", {})
    for row in rows:
        if row["status"].startswith("only_in"):
            continue
        horizontal, pid = float(row["horizontal"]), row["pid"]
        if pid in blunders:
            length = math.hypot(float(blunders[pid][0]), float(blunders[pid][1]))
            check(abs(horizontal - length) < REGIONAL, "%s: blunder %s of %.3f m shows %.3f m"
                  % (name, pid, length, horizontal))
        elif pid in miskeys:
            check(abs(horizontal - float(miskeys[pid][0])) < 1.0, "%s: mis-key %s of %s m shows %.3f m"
                  % (name, pid, miskeys[pid][0], horizontal))
        elif differences:
            check(horizontal < REGIONAL, "%s: %s moved %.3f m" % (name, pid, horizontal))
        else:
            check(horizontal == 0.0 and row["du"] in ("", "0.0000"), "%s: %s moved in a plain network"
                  % (name, pid))


def main():
    if len(sys.argv) != 5:
        print(__doc__)
        return 2
    tools = sys.argv[1:4]
    work = pathlib.Path(sys.argv[4])
    for case in CASES:
        check_case(*case, tools, work)
    for failure in failures:
        print("FAIL:", failure)
    print("%d cases, %d failures" % (len(CASES), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
