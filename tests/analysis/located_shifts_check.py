#!/usr/bin/env python3
"""A pair made by location carries the shifts of a pair made by identifier.

Generates a network of 3,000 marks under a 36 m systematic change with 3 %
of them renamed in the 2nd file (bench/generate_network.py), then runs
tessovane2_shifts on it three times by PID:
- with --fit similarity --locate 1: every renamed mark is accepted with its
  true partner and nothing else is accepted;
- the same without --locate: exactly the identifier pairs;
- with --pair-located, and on a 2nd file whose renamed marks got their old
  PIDs back: each located row's dn, de, du, horizontal and azimuth equal, to
  the byte, those of that mark's row in the run with the old PIDs.

Usage: located_shifts_check.py GENERATOR PROGRAM FOLDER
"""

import csv
import pathlib
import shutil
import subprocess
import sys


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def rows(program, folder, first, second, *options):
    done = subprocess.run([program, first, second, "run", "0.05", "5", "P", "-q", "--formats", "csv",
                           "--fit", "similarity", *options], cwd=folder, capture_output=True)
    if done.returncode not in (0, 1):
        fail("%s: status %d: %s" % (options, done.returncode, done.stderr.decode("utf-8", "replace")))
    with open(folder / "run.csv", encoding="utf-8", newline="") as f:
        return list(csv.DictReader(f))


def main(generator, program, folder):
    folder = pathlib.Path(folder)
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    subprocess.run([sys.executable, generator, "3000", str(folder / "n"), "--seed", "5", "--renamed", "0.03",
                    "--blunders", "0", "--no-miskey", "--ssn-digits", "5", "--shift-n", "20", "--shift-e", "-30"],
                   check=True, capture_output=True)
    renamed = dict(line.split() for line in (folder / "n.renamed").read_text().splitlines())
    if len(renamed) < 50:
        fail("only %d renamed marks generated" % len(renamed))

    listed = rows(program, folder, "n.old.hz", "n.new.hz", "--locate", "1")
    accepted = {r["pid"]: r["candidate_pid"] for r in listed
                if r["status"] == "only_in_1st" and r["candidate_status"] == "accepted"}
    if accepted != renamed:
        wrong = {k: v for k, v in accepted.items() if renamed.get(k) != v}
        fail("accepted %d, renamed %d, wrong %r" % (len(accepted), len(renamed), wrong))

    plain = rows(program, folder, "n.old.hz", "n.new.hz")
    keys = lambda table: sorted(r["pid"] for r in table if r["status"] not in ("only_in_1st", "only_in_2nd"))
    if keys(plain) != keys(r for r in listed):
        fail("--locate without --pair-located changed the pairs")

    located = {r["pid"]: r for r in rows(program, folder, "n.old.hz", "n.new.hz", "--locate", "1",
                                          "--pair-located") if r["status"] == "located"}
    if set(located) != set(renamed):
        fail("located rows %d, renamed marks %d" % (len(located), len(renamed)))
    # The 2nd file with the old PIDs back (columns 1-6 of each record).
    back = {new: old for old, new in renamed.items()}
    lines = (folder / "n.new.hz").read_bytes().split(b"\n")
    restored = [back[l[:6].decode()].encode() + l[6:] if l[:6].decode("latin-1") in back else l for l in lines]
    (folder / "restored.hz").write_bytes(b"\n".join(restored))
    by_pid = {r["pid"]: r for r in rows(program, folder, "n.old.hz", "restored.hz")}
    for pid, row in located.items():
        for column in ("dn", "de", "du", "horizontal", "azimuth"):
            if row[column] != by_pid[pid][column]:
                fail("%s %s: located %r, by identifier %r" % (pid, column, row[column], by_pid[pid][column]))
    print("ok: %d renamed marks accepted with their partners; located shifts equal the identifier pairs'" %
          len(renamed))


if __name__ == "__main__":
    main(*sys.argv[1:4])
