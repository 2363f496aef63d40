"""The SVG map of a generated 5,000-mark network (bench/generate_network.py,
fixed seed): arrows no longer than the off-scale cap, a factor that blunders
move by one 1-2-5 step at most, cell arrows, every pair drawn once whatever
the blunders, labels inside the map and apart, and the same SVG for the 2nd
file reversed.

    svg_network_test.py GENERATOR TESSOVANE2_SHIFTS WORK_DIR
"""
import math
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"
CAP = 45.0  # px: max(30, 2.5 x 18)
MAP = (20.0, 56.0, 920.0, 656.0)  # the map area: left, top, right, bottom
LABEL_CHARACTER = 0.62 * 11.0

generator, program, work = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(work, exist_ok=True)
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(name, blunders, reverse=False):
    folder = os.path.join(work, name)
    os.makedirs(folder, exist_ok=True)
    subprocess.run([sys.executable, generator, "5000", os.path.join(folder, "net"), "--seed", "22",
                    "--blunders", str(blunders)], check=True, stdout=subprocess.DEVNULL)
    if reverse:
        path = os.path.join(folder, "net.new.hz")
        with open(path, "rb") as f:
            lines = f.read().splitlines(keepends=True)
        with open(path, "wb") as f:
            f.writelines(reversed(lines))
    status = subprocess.run([program, "net.old.hz", "net.new.hz", "map", "0.05", "4", "S", "--formats", "svg", "-q"],
                            cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    check(status in (0, 1), f"{name}: status {status}")
    with open(os.path.join(folder, "map.svg"), encoding="utf-8") as f:
        return f.read()


def groups(root, prefix):
    return [g for g in root.iter(SVG + "g") if (g.get("id") or "").startswith(prefix)]


def arrow_lengths(root):
    lengths = []
    for prefix in ("cells-", "arrows-", "off-scale-"):
        for g in groups(root, prefix):
            if g.get("id").endswith("-bars"):
                continue
            for path in g.iter(SVG + "path"):
                dx, dy = map(float, re.search(r" l([-\d.e+]+),([-\d.e+]+)", path.get("d")).groups())
                lengths.append(math.hypot(dx, dy))
    return lengths


def factor(text):
    return float(re.search(r"exaggerated ([\d.e+]+) times", text).group(1))


def step(value):  # the place of a 1-2-5 value in its sequence
    return round(3 * math.log10(value))


svgs = {"clean": run("clean", 0.0), "blunders": run("blunders", 0.06), "reversed": run("reversed", 0.06, True)}
roots = {name: ET.fromstring(text.encode("utf-8")) for name, text in svgs.items()}
for name, root in roots.items():
    lengths = arrow_lengths(root)
    check(lengths and max(lengths) <= CAP + 0.1, f"{name}: an arrow {max(lengths)} px long")
    cells = sum(len(list(g)) for g in groups(root, "cells-") if not g.get("id").endswith("-bars"))
    check(cells >= 10, f"{name}: {cells} cell arrows")
    movers = [g for g in root.iter(SVG + "g") if g.get("id") == "movers"][0]
    texts = list(list(movers)[1])
    check(len(texts) >= 3, f"{name}: {len(texts)} labels")
    boxes = []
    for t in texts:
        x, y, w = float(t.get("x")), float(t.get("y")), len(t.text) * LABEL_CHARACTER
        check(MAP[0] <= x and x + w <= MAP[2] and MAP[1] <= y - 11 and y <= MAP[3], f"{name}: label {t.text} outside")
        for other in boxes:
            check(x + w <= other[0] or other[0] + other[2] <= x or y <= other[1] - 11 or other[1] <= y - 11,
                  f"{name}: labels {t.text} overlap")
        boxes.append((x, y, w))
check(abs(step(factor(svgs["clean"])) - step(factor(svgs["blunders"]))) <= 1,
      f"factors {factor(svgs['clean'])} and {factor(svgs['blunders'])}")


# Every pair of the map is drawn once, as a cell's member or a mark of its
# own, with blunders or without: the legend's counts add up to the stations.
def counts(text):
    on_map = int(re.search(r">([\d,]+) stations on the map:", text).group(1).replace(",", ""))
    cell_pairs = int(re.search(r" cell arrows for ([\d,]+) pairs", text).group(1).replace(",", ""))
    return on_map, cell_pairs


for name in ("clean", "blunders"):
    on_map, cell_pairs = counts(svgs[name])
    check(cell_pairs / on_map > 0.5, f"{name}: {cell_pairs} of {on_map} stations in cells")
clean_share = counts(svgs["clean"])[1] / counts(svgs["clean"])[0]
blunder_share = counts(svgs["blunders"])[1] / counts(svgs["blunders"])[0]
check(abs(clean_share - blunder_share) < 0.1, f"cells hold {clean_share:.2f} and {blunder_share:.2f} of the stations")

# The 2nd file reversed: the same SVG but for the run's clock.
without_clock = [re.sub(r"Date: [^<]*", "", svgs[name]) for name in ("blunders", "reversed")]
check(without_clock[0] == without_clock[1], "the reversed 2nd file changed the SVG")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
