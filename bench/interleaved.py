#!/usr/bin/env python3
"""Times commands in interleaved runs (A B B A A B ...), so that a change in the
machine's load falls on all of them alike, and prints for each command its
median wall time in seconds and its median peak resident memory in MiB, one
line per command in the order given.

Usage: interleaved.py RUNS COMMAND [-- COMMAND ...]
The words of each command are separated by "--". A command that ends with a
status above 1 (1 is "differences found", 0 "none") stops the benchmark.
Before every run the files named by $INTERLEAVED_REMOVE (blank-separated)
are removed, as a user's single run finds no earlier output.
"""

import os
import statistics
import subprocess
import sys
import time


def main(argv):
    runs = int(argv[1])
    commands, current = [], []
    for word in argv[2:]:
        if word == "--":
            commands.append(current)
            current = []
        else:
            current.append(word)
    commands.append(current)
    remove = os.environ.get("INTERLEAVED_REMOVE", "").split()
    seconds = [[] for _ in commands]
    mib = [[] for _ in commands]
    for round_number in range(runs):
        # The order reversed every other round, so that no command always
        # follows the same one.
        order = list(enumerate(commands))
        if round_number % 2 == 1:
            order.reverse()
        for i, command in order:
            for name in remove:
                if os.path.exists(name):
                    os.remove(name)
            start = time.perf_counter()
            child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            _, status, usage = os.wait4(child.pid, 0)
            elapsed = time.perf_counter() - start
            code = os.waitstatus_to_exitcode(status)
            if code not in (0, 1):
                sys.exit(f"interleaved.py: {' '.join(command)} ended with status {code}")
            seconds[i].append(elapsed)
            mib[i].append(usage.ru_maxrss / 1024)  # kilobytes on Linux
    for s, m in zip(seconds, mib):
        print(f"{statistics.median(s):.4f} {statistics.median(m):.1f}")


if __name__ == "__main__":
    main(sys.argv)
