#!/usr/bin/env python3
"""Writes a realistic pair of survey files (1st and 2nd survey of one network).

    generate_network.py N OUT [options]

writes OUT.old.hz (the 1st survey, N marks), OUT.new.hz (the 2nd survey),
OUT.renamed and OUT.truth. The same arguments give the same bytes.

The network: N marks (meant for 300 to 200,000) clustered around towns
(Gaussian clusters of 3 to 12 km standard deviation) with sparse rural marks
between them, in a region of about 400 km east-west by 300 km north-south
around --center. Most marks carry an *80 elevation and an *86 orthometric
height, some the *80 elevation only, a few neither.

A larger network covers more towns, not denser ones: 6 towns up to 5,000
marks, one more for every further 200 (281 towns at 60,000 marks, 981 at
200,000). A town's density does not depend on how many marks the state
holds elsewhere, and the towns a larger network adds are mostly small
ones: the mean town falls from about 670 marks at 5,000 to about 160, and
981 towns in the default region are one per 120 km2, about the density of
the incorporated cities of Iowa. The densest town then stays about as
dense at every size, its core marks some 300 m apart (the 1st survey,
default seed; the density the towns' Gaussians and the rural marks give at
their densest point, and the marks in the densest square of the 2 km grid):
      marks   towns   peak density   densest 2 km square
      5,000       6    6.8 / km2      35 marks,  8.8 / km2
     60,000     281    6.1 / km2      27 marks,  6.8 / km2
    200,000     981    9.3 / km2      46 marks, 11.5 / km2
(at 200,000 the towns overlap more). With 6 towns at every size the
densest town reached 81 marks per km2 at 60,000 and 271 at 200,000; with
one town per 800 marks, 23 at 200,000. Of 226, 281, 300 and 400 towns at
60,000 marks, 281 is the fewest with which the shift page's cells part
into single arrows after zooming x64 onto the densest town (no 22 px cell
left with 4 pairs) about as often as at 5,000 marks: in 9, 7 and 7 of 10
seeds with 281, 300 and 400 towns, 7 of 10 at 5,000, 3 of 10 with 226
(one per 250 marks). --towns K fixes the number instead.

The 2nd survey moves every mark both surveys hold by the sum of (east,
north and up in the tangent frame on GRS80 at --center, height 0; the
positions are converted exactly, so --plain writes the same positions):
  - a smooth regional systematic change: a 2D similarity about the centre,
    E' = tE + a E - b N, N' = tN + b E + a N with a = (1 + m) cos(theta),
    b = (1 + m) sin(theta) (E, N: metres east and north of --center), and a
    vertical offset with two tilts, du = tU + tiltN N + tiltE E;
  - a smooth regional pattern of a few centimetres (products of sines of
    wavelengths 150-400 km);
  - Gaussian noise of a few millimetres;
  - a subsidence bowl in the heights, du = depth exp(-r^2 / (2 radius^2));
  - blunders: a share of the marks moved 0.2 to 3 m (half of them also in
    height).
and the 2nd survey differs in its keys: destroyed marks (1st only), new
marks (2nd only), renamed marks (a new PID and SSN in the 2nd), and one
mis-keyed pair: the 2nd survey's record of a mark B carries the key (PID and
SSN) of a mark A about 40 km away, whose own record is missing from the 2nd
survey; so A pairs with B's position 40 km off and B is in the 1st only.

Options (a rate is a share of the N marks; 0 switches a property off):
  --seed S               random seed (default 20031014)
  --plain                no change, noise, bowl, pattern, blunder, mis-key,
                         destroyed, new or renamed mark unless given
                         explicitly: both files hold the same keys,
                         positions and heights
  --center LAT,LON       centre in signed degrees, north and east positive
                         (default 41.0,-96.5); |LAT| <= 75; a network across
                         the 180th meridian is fine. A value that starts
                         with a minus sign needs "=": --center=-17,179.9
  --size EW,NS           region in km (default 400,300)
  --towns K              number of town clusters (default 6 up to 5,000
                         marks, one more per further 200 marks)
  --rural RATE           share of marks spread evenly (default 0.2)
  --ssn-digits 3|4|5     SSN length (default 4). SSN i + 1 goes to the i-th
                         key, modulo 10^digits: beyond 999, 9,999 or 99,999
                         keys (marks, new and renamed) SSNs repeat. The PID
                         (two letters, four digits) is always unique: runs by
                         SSN are for small networks.
  --west-beyond-180      every longitude as W in [0, 360) (185 W is 175 E),
                         as Pacific networks are written; default: E or W
                         with degrees in [0, 180]
  --shift-n, --shift-e, --shift-u M   translation in metres (default
                         0.012, -0.018, 0.008)
  --rotation ARCSEC      rotation about the centre, counter-clockwise seen
                         from above (default 0.015)
  --scale PPM            scale change (default 0.08)
  --tilt-n, --tilt-e PPM vertical tilts: metres of height change per metre
                         north or east, times 10^6 (default 0.03, -0.02)
  --pattern M            amplitude of the regional pattern (default 0.02)
  --noise H[,V]          standard deviation of the noise per component in
                         metres, horizontal and vertical (default 0.003,0.005)
  --blunders RATE        share of marks moved by a blunder (default 0.005)
  --blunder-size MIN,MAX blunder lengths in metres (default 0.2,3)
  --miskey / --no-miskey one mis-keyed pair (default on)
  --miskey-distance KM   distance of the mis-keyed pair (default 40)
  --destroyed RATE       marks in the 1st survey only (default 0.01)
  --new RATE             marks in the 2nd survey only (default 0.01)
  --renamed RATE         marks with a new PID and SSN in the 2nd (default 0)
  --bowl M               height change at the bowl's centre (default -0.10)
  --bowl-radius KM       standard deviation of the bowl (default 8)
  --bowl-center LAT,LON  centre of the bowl (default: the largest town's)
  --heights RATE         share of marks with an *86 height (default 0.85)
  --no-height RATE       marks with neither an *80 elevation nor an *86
                         height (default 0.005)

Side files:
  OUT.renamed  one line "oldPID newPID" per renamed mark, in 1st-file order.
  OUT.truth    lines starting with "#": the parameters; then one line per
               mark that is not an ordinary pair, "PID kind [values]":
                 destroyed            1st only
                 new                  2nd only
                 renamed NEWPID       1st only under PID, 2nd only under NEWPID
                 blunder DN DE DU     the blunder alone, metres
                 miskey DISTANCE      its 2nd-file key sits on another mark
                                      DISTANCE metres away
                 miskey_mark KEY      the mark whose record carries KEY
                 no_height            no elevation at all (in both files)

Every mark lies at least 10 m from the equator and from the 0th and 180th
meridians, so no mark changes hemisphere letter between the surveys.
"""

import argparse
import bisect
import math
import os
import random
import sys

import survey_records
from survey_records import E5_PER_DEGREE, PID_COUNT, WORDS

# GRS80
A = 6378137.0
E2 = 0.00669438002290
ARCSEC = math.pi / (180.0 * 3600.0)

# A multiplier prime to PID_COUNT (2^6 5^4 13^2): index -> PID is a bijection
# that scatters the PIDs over the letter pairs as real networks have them.
PID_MULTIPLIER = 7919

TAILS86 = ("  NAVD88 LEVELING", "  NAVD88 GPS", "")

# The default number of towns: TOWNS up to TOWNS_UP_TO marks, one more per
# MARKS_PER_TOWN beyond (the module's docstring says why).
TOWNS = 6
TOWNS_UP_TO = 5000
MARKS_PER_TOWN = 200


def default_towns(marks):
    """Towns of a network of `marks` marks: a larger network covers more
    towns, not denser ones."""
    return TOWNS + max(0, marks - TOWNS_UP_TO) // MARKS_PER_TOWN


def radii(lat_degrees):
    """Meridian and prime-vertical radii of curvature (metres) on GRS80."""
    s = math.sin(math.radians(lat_degrees))
    w = math.sqrt(1.0 - E2 * s * s)
    return A * (1.0 - E2) / (w * w * w), A / w


class LocalFrame:
    """East, north, up (metres) in the tangent frame at a point of GRS80:
    geocentric coordinates X = (N + h) cos(lat) cos(lon), Y = (N + h)
    cos(lat) sin(lon), Z = (N (1 - e^2) + h) sin(lat), rotated so that east,
    north and up at the origin are the axes (the frame the companion's fit
    works in, there at the 1st file's centroid)."""

    def __init__(self, lat, lon):
        sp, cp = math.sin(math.radians(lat)), math.cos(math.radians(lat))
        sl, cl = math.sin(math.radians(lon)), math.cos(math.radians(lon))
        self.lon0 = lon
        self.east = (-sl, cl, 0.0)
        self.north = (-sp * cl, -sp * sl, cp)
        self.up = (cp * cl, cp * sl, sp)
        self.origin = geocentric(lat, lon, 0.0)

    def enu(self, lat, lon, h):
        x, y, z = geocentric(lat, lon, h)
        x, y, z = x - self.origin[0], y - self.origin[1], z - self.origin[2]
        return tuple(a[0] * x + a[1] * y + a[2] * z for a in (self.east, self.north, self.up))

    def geodetic(self, e, n, u):
        """Latitude, longitude (degrees, unwrapped about the origin's) and
        height (metres) of a point of the frame."""
        x, y, z = (self.origin[k] + e * self.east[k] + n * self.north[k] + u * self.up[k]
                   for k in range(3))
        # Bowring's closed form (Survey Review 23, 1976), then one fixed-point
        # step of tan(lat) = Z / (p (1 - e^2 N / (N + h))): micrometres for
        # points near the ellipsoid.
        p = math.hypot(x, y)
        b = A * math.sqrt(1.0 - E2)
        theta = math.atan2(z * A, p * b)
        lat = math.atan2(z + E2 / (1.0 - E2) * b * math.sin(theta) ** 3,
                         p - E2 * A * math.cos(theta) ** 3)
        nu = A / math.sqrt(1.0 - E2 * math.sin(lat) ** 2)
        h = p / math.cos(lat) - nu
        lat = math.atan2(z, p * (1.0 - E2 * nu / (nu + h)))
        nu = A / math.sqrt(1.0 - E2 * math.sin(lat) ** 2)
        h = p / math.cos(lat) - nu
        lon = math.degrees(math.atan2(y, x))
        lon = self.lon0 + ((lon - self.lon0 + 180.0) % 360.0 - 180.0)
        return math.degrees(lat), lon, h


def geocentric(lat, lon, h):
    sp, cp = math.sin(math.radians(lat)), math.cos(math.radians(lat))
    nu = A / math.sqrt(1.0 - E2 * sp * sp)
    return ((nu + h) * cp * math.cos(math.radians(lon)), (nu + h) * cp * math.sin(math.radians(lon)),
            (nu * (1.0 - E2) + h) * sp)


def short_line_distance(lat1, lon1, lat2, lon2):
    """Metres, with the radii at the mean latitude (as the programs compute
    a position shift)."""
    m, nu = radii((lat1 + lat2) / 2.0)
    dn = math.radians(lat2 - lat1) * m
    de = math.radians(lon2 - lon1) * nu * math.cos(math.radians((lat1 + lat2) / 2.0))
    return math.hypot(dn, de)


def pair(text, name, count=2):
    try:
        values = [float(v) for v in text.split(",")]
    except ValueError:
        values = []
    if len(values) != count:
        raise argparse.ArgumentTypeError("%s needs %d numbers separated by a comma: %s"
                                         % (name, count, text))
    return values


class Mark:
    __slots__ = ("x", "y", "u", "lat", "lon", "h", "elev80", "has86", "tail86", "designation", "key")

    def __init__(self, enu, lat, lon, h, elev80, has86, tail86, designation):
        self.x, self.y, self.u = enu  # metres east, north, up in the frame at the centre
        self.lat = lat              # degrees, north positive
        self.lon = lon              # degrees east, unwrapped about the centre
        self.h = h                  # orthometric height, metres
        self.elev80 = elev80        # *80 elevation minus h (metres), or None for blanks
        self.has86 = has86
        self.tail86 = tail86        # columns 24- of the *86 record
        self.designation = designation
        self.key = 0                # key index: PID and SSN


class Network:
    """Placement of marks: towns, rural marks, terrain."""

    def __init__(self, args):
        self.lat0, self.lon0 = args.center
        self.half_ew = args.size[0] * 500.0
        self.half_ns = args.size[1] * 500.0
        self.m0, _ = radii(self.lat0)
        self.frame = LocalFrame(self.lat0, self.lon0)
        rng = random.Random("%d/towns" % args.seed)
        self.towns = []
        for _ in range(args.towns):
            cx = rng.uniform(-0.8, 0.8) * self.half_ew
            cy = rng.uniform(-0.8, 0.8) * self.half_ns
            sigma = rng.uniform(3000.0, 12000.0)
            weight = rng.uniform(0.5, 2.0) ** 2
            self.towns.append((cx, cy, sigma, weight))
        self.cumulative = []
        total = 0.0
        for town in self.towns:
            total += town[3]
            self.cumulative.append(total)
        self.rural = args.rural if self.towns else 1.0
        terrain = random.Random("%d/terrain" % args.seed)
        self.terrain = [(terrain.uniform(60e3, 250e3), terrain.uniform(0, 2 * math.pi),
                         terrain.uniform(60e3, 250e3), terrain.uniform(0, 2 * math.pi),
                         terrain.uniform(100.0, 400.0)) for _ in range(3)]

    def largest_town(self):
        if not self.towns:
            return 0.0, 0.0
        cx, cy, _, _ = max(self.towns, key=lambda t: t[3])
        return cx, cy

    def geographic(self, x, y):
        """Metres east and north of the centre -> latitude, longitude in
        degrees: where marks are placed (a sinusoidal projection); their
        east, north and up in the local frame are computed from these."""
        lat = self.lat0 + math.degrees(y / self.m0)
        _, n = radii(lat)
        lon = self.lon0 + math.degrees(x / (n * math.cos(math.radians(lat))))
        return lat, lon

    def height(self, x, y, rng):
        h = 250.0
        for lx, px, ly, py, amplitude in self.terrain:
            h += amplitude * math.sin(2 * math.pi * x / lx + px) * math.cos(2 * math.pi * y / ly + py)
        return max(20.0, h + rng.gauss(0.0, 15.0))

    def position(self, rng):
        while True:
            if rng.random() < self.rural:
                x = rng.uniform(-self.half_ew, self.half_ew)
                y = rng.uniform(-self.half_ns, self.half_ns)
            else:
                pick = rng.random() * self.cumulative[-1]
                # The first town whose cumulative weight exceeds the pick.
                town = self.towns[bisect.bisect_right(self.cumulative, pick)]
                x = rng.gauss(town[0], town[2])
                y = rng.gauss(town[1], town[2])
                if abs(x) > self.half_ew or abs(y) > self.half_ns:
                    continue
            lat, lon = self.geographic(x, y)
            if near_boundary(lat, lon):
                continue
            return x, y, lat, lon

    def mark(self, rng, args):
        x, y, lat, lon = self.position(rng)
        h = self.height(x, y, rng)
        u = rng.random()
        if u < args.no_height:
            elev80, has86 = None, False
        else:
            # A trigonometric or GPS elevation on the *80 record, replaced by
            # the levelled *86 height where there is one.
            elev80, has86 = rng.gauss(0.0, 0.05), rng.random() < args.heights
        word = WORDS[int(rng.random() * len(WORDS))]
        u = rng.random()
        if u < 0.4:
            word += " %d" % int(1 + u * 5000.0)
        elif u < 0.7:
            word += " " + WORDS[int((u - 0.4) / 0.3 * len(WORDS))]
        tail86 = TAILS86[int(rng.random() * len(TAILS86))]
        return Mark(self.frame.enu(lat, lon, h), lat, lon, h, elev80, has86, tail86, word)


def near_boundary(lat, lon):
    """Within 10 m of the equator or of the 0th or 180th meridian."""
    metres = 111000.0
    if abs(lat) * metres < 10.0:
        return True
    off = abs(lon - 180.0 * round(lon / 180.0))
    return off * metres * math.cos(math.radians(lat)) < 10.0


def hemispheres(lat, lon, west_beyond_180):
    wrapped = (lon + 180.0) % 360.0 - 180.0
    return lat < 0.0, (not west_beyond_180) and wrapped >= 0.0


class Writer:
    def __init__(self, args):
        self.digits = args.ssn_digits
        self.west_beyond_180 = args.west_beyond_180
        self.offset = random.Random("%d/pids" % args.seed).randrange(PID_COUNT)

        self.keys = {}

    def pid(self, key):
        return survey_records.pid_of((key * PID_MULTIPLIER + self.offset) % PID_COUNT)

    def key_fields(self, key):
        """PID and SSN columns of a key, computed once for both files."""
        fields = self.keys.get(key)
        if fields is None:
            fields = self.keys[key] = (self.pid(key), survey_records.ssn_field(key + 1, self.digits))
        return fields

    def records(self, key, designation, lat, lon, h, elev80, has86, tail86):
        lat_e5 = round(abs(lat) * E5_PER_DEGREE)
        if self.west_beyond_180:
            lon_e5 = round(((-lon) % 360.0) * E5_PER_DEGREE) % (360 * E5_PER_DEGREE)
            lon_letter = "W"
        else:
            wrapped = (lon + 180.0) % 360.0 - 180.0
            lon_e5 = round(abs(wrapped) * E5_PER_DEGREE)
            lon_letter = "E" if wrapped >= 0.0 else "W"
        pid, ssn = self.key_fields(key)
        elev_cm = None if elev80 is None else round((h + elev80) * 100.0)
        lines = [survey_records.record80(pid, ssn, designation, lat_e5, lon_e5, elev_cm, "",
                                         "S" if lat < 0.0 else "N", lon_letter)]
        if has86:
            lines.append(survey_records.record86(pid, ssn, round(h * 1000.0), tail86))
        return lines


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("marks", type=int, help="marks in the 1st survey")
    parser.add_argument("out", help="prefix of the files written")
    parser.add_argument("--seed", type=int, default=20031014)
    parser.add_argument("--plain", action="store_true")
    parser.add_argument("--center", type=lambda t: pair(t, "--center"), default=[41.0, -96.5])
    parser.add_argument("--size", type=lambda t: pair(t, "--size"), default=[400.0, 300.0])
    parser.add_argument("--towns", type=int)
    parser.add_argument("--rural", type=float, default=0.2)
    parser.add_argument("--ssn-digits", type=int, choices=(3, 4, 5), default=4)
    parser.add_argument("--west-beyond-180", action="store_true")
    # Properties: None means "default, or off with --plain".
    for name in ("--shift-n", "--shift-e", "--shift-u", "--rotation", "--scale", "--tilt-n",
                 "--tilt-e", "--pattern", "--blunders", "--destroyed", "--new", "--renamed",
                 "--bowl"):
        parser.add_argument(name, type=float)
    parser.add_argument("--noise", type=str)
    parser.add_argument("--miskey", action=argparse.BooleanOptionalAction)
    parser.add_argument("--blunder-size", type=lambda t: pair(t, "--blunder-size"), default=[0.2, 3.0])
    parser.add_argument("--miskey-distance", type=float, default=40.0)
    parser.add_argument("--bowl-radius", type=float, default=8.0)
    parser.add_argument("--bowl-center", type=lambda t: pair(t, "--bowl-center"))
    parser.add_argument("--heights", type=float, default=0.85)
    parser.add_argument("--no-height", type=float, default=0.005)
    args = parser.parse_args(argv)

    defaults = {"shift_n": 0.012, "shift_e": -0.018, "shift_u": 0.008, "rotation": 0.015,
                "scale": 0.08, "tilt_n": 0.03, "tilt_e": -0.02, "pattern": 0.02,
                "blunders": 0.005, "destroyed": 0.01, "new": 0.01, "renamed": 0.0,
                "bowl": -0.10, "noise": "0.003,0.005", "miskey": True}
    for name, value in defaults.items():
        if getattr(args, name) is None:
            setattr(args, name, (False if name == "miskey" else "0" if name == "noise" else 0.0)
                    if args.plain else value)
    try:
        noise = [float(v) for v in args.noise.split(",")]
    except ValueError:
        noise = []
    if len(noise) == 1:
        noise *= 2
    if len(noise) != 2 or not min(noise) >= 0.0:
        parser.error("--noise needs one or two numbers of metres, 0 or more: %s" % args.noise)
    args.noise = noise
    if args.towns is None:
        args.towns = default_towns(args.marks)

    if args.marks < 2:
        parser.error("the network needs at least 2 marks")
    if abs(args.center[0]) > 75.0:
        parser.error("--center: the latitude must lie within 75 degrees of the equator")
    if args.bowl_center and abs(args.bowl_center[0]) > 90.0:
        parser.error("--bowl-center: the latitude must lie within 90 degrees of the equator")
    if min(args.size) <= 0.0 or args.towns < 0 or args.bowl_radius <= 0.0 or args.miskey_distance <= 0.0:
        parser.error("--size, --bowl-radius and --miskey-distance must be positive, --towns 0 or more")
    for name in ("rural", "blunders", "destroyed", "new", "renamed", "heights", "no_height"):
        if not 0.0 <= getattr(args, name) <= 1.0:
            parser.error("--%s needs a share between 0 and 1" % name.replace("_", "-"))
    if args.destroyed + args.renamed + args.blunders > 0.9:
        parser.error("--destroyed, --renamed and --blunders together may take at most 0.9 of the marks")
    if not 0.0 < args.blunder_size[0] <= args.blunder_size[1]:
        parser.error("--blunder-size needs 0 < MIN <= MAX")
    return args


def log_uniform(rng, low, high):
    return math.exp(rng.uniform(math.log(low), math.log(high)))


def main(argv):
    args = parse_arguments(argv)
    net = Network(args)
    n = args.marks

    rng = random.Random("%d/marks" % args.seed)
    marks = [net.mark(rng, args) for _ in range(n)]
    for i, m in enumerate(marks):
        m.key = i
    new_rng = random.Random("%d/new" % args.seed)
    added = [net.mark(new_rng, args) for _ in range(round(args.new * n))]
    for i, m in enumerate(added):
        m.key = n + i

    # Roles: slices of one shuffled order, so that changing one rate keeps
    # the marks of the others.
    order = list(range(n))
    random.Random("%d/roles" % args.seed).shuffle(order)
    counts = [round(args.destroyed * n), round(args.renamed * n), round(args.blunders * n)]
    destroyed = set(order[:counts[0]])
    renamed = order[counts[0]:counts[0] + counts[1]]
    blundered = set(order[counts[0] + counts[1]:sum(counts)])
    renamed_key = {i: n + len(added) + j for j, i in enumerate(sorted(renamed))}

    miskey_a = miskey_b = None
    if args.miskey:
        taken = destroyed | set(renamed) | blundered
        free = [i for i in order[sum(counts):] if i not in taken]
        if len(free) >= 2:
            miskey_a = free[0]
            a = marks[miskey_a]
            target = args.miskey_distance * 1000.0
            side = hemispheres(a.lat, a.lon, args.west_beyond_180)
            best = None
            for i in free[1:]:
                b = marks[i]
                if hemispheres(b.lat, b.lon, args.west_beyond_180) != side:
                    continue
                miss = abs(math.hypot(b.x - a.x, b.y - a.y) - target)
                if best is None or miss < best[0] or (miss == best[0] and i < best[1]):
                    best = (miss, i)
            miskey_b = best[1] if best else None
            if miskey_b is None:
                miskey_a = None

    # The systematic change: 2D similarity about the centre, vertical offset
    # and tilts, the regional pattern, the bowl.
    theta = args.rotation * ARCSEC
    sim_a = (1.0 + args.scale * 1e-6) * math.cos(theta)
    sim_b = (1.0 + args.scale * 1e-6) * math.sin(theta)
    pattern_rng = random.Random("%d/pattern" % args.seed)
    waves = [(2 * math.pi / pattern_rng.uniform(150e3, 400e3), pattern_rng.uniform(0, 2 * math.pi))
             for _ in range(4)]
    if args.bowl_center:
        bowl_x, bowl_y, _ = net.frame.enu(args.bowl_center[0], args.bowl_center[1], 0.0)
    else:
        bowl_x, bowl_y, _ = net.frame.enu(*net.geographic(*net.largest_town()), 0.0)
    bowl_r2 = 2.0 * (args.bowl_radius * 1000.0) ** 2

    def systematic(x, y):
        de = args.shift_e + sim_a * x - sim_b * y - x
        dn = args.shift_n + sim_b * x + sim_a * y - y
        if args.pattern:
            (k1, p1), (k2, p2), (k3, p3), (k4, p4) = waves
            dn += args.pattern * math.sin(k1 * x + p1) * math.cos(k2 * y + p2)
            de += args.pattern * math.cos(k3 * x + p3) * math.sin(k4 * y + p4)
        du = args.shift_u + (args.tilt_n * y + args.tilt_e * x) * 1e-6
        if args.bowl:
            du += args.bowl * math.exp(-((x - bowl_x) ** 2 + (y - bowl_y) ** 2) / bowl_r2)
        return dn, de, du

    noise_rng = random.Random("%d/noise" % args.seed)
    blunder_rng = random.Random("%d/blunders" % args.seed)
    writer = Writer(args)
    noise_h, noise_v = args.noise
    low, high = args.blunder_size
    truth = []

    old_lines = ["      *10 GENERATED NETWORK SURVEY  SEED %d  FIRST" % args.seed,
                 "      *12 NAD 83 GRS80  HEIGHTS NAVD88"]
    for m in marks:
        old_lines += writer.records(m.key, m.designation, m.lat, m.lon, m.h, m.elev80, m.has86, m.tail86)

    # The 2nd survey in the 1st's order, new marks in between.
    second = []  # (sort position, key, mark, lat, lon, h)
    for i, m in enumerate(marks):
        if i in destroyed or i == miskey_a:
            continue
        dn, de, du = systematic(m.x, m.y)
        if noise_h:
            dn += noise_rng.gauss(0.0, noise_h)
            de += noise_rng.gauss(0.0, noise_h)
        if noise_v:
            du += noise_rng.gauss(0.0, noise_v)
        if i in blundered:
            length = log_uniform(blunder_rng, low, high)
            azimuth = blunder_rng.uniform(0.0, 2 * math.pi)
            bn, be = length * math.cos(azimuth), length * math.sin(azimuth)
            bu = 0.0
            if blunder_rng.random() < 0.5:
                bu = blunder_rng.choice((-1.0, 1.0)) * log_uniform(blunder_rng, low, high)
            dn, de, du = dn + bn, de + be, du + bu
            truth.append((i, "%s blunder %.4f %.4f %.4f" % (writer.pid(i), bn, be, bu)))
        # The 2nd position: the change added in the frame at the centre.
        lat, lon, h = net.frame.geodetic(m.x + de, m.y + dn, m.u + du)
        key = renamed_key.get(i, m.key)
        if i == miskey_b:
            key = miskey_a
        second.append((float(i), key, m, lat, lon, h))
    place = random.Random("%d/places" % args.seed)
    for m in added:
        second.append((place.uniform(-0.5, n - 0.5), m.key, m, m.lat, m.lon, m.h))
    second.sort(key=lambda s: s[0])

    new_lines = ["      *10 GENERATED NETWORK SURVEY  SEED %d  SECOND" % args.seed,
                 "      *12 NAD 83 GRS80  HEIGHTS NAVD88"]
    for _, key, m, lat, lon, h in second:
        new_lines += writer.records(key, m.designation, lat, lon, h, m.elev80, m.has86, m.tail86)

    for i in destroyed:
        truth.append((i, "%s destroyed" % writer.pid(i)))
    for i in renamed:
        truth.append((i, "%s renamed %s" % (writer.pid(i), writer.pid(renamed_key[i]))))
    for m in added:
        truth.append((m.key, "%s new" % writer.pid(m.key)))
    if miskey_a is not None:
        a, b = marks[miskey_a], marks[miskey_b]
        distance = short_line_distance(a.lat, a.lon, b.lat, b.lon)
        truth.append((miskey_a, "%s miskey %.1f" % (writer.pid(miskey_a), distance)))
        truth.append((miskey_b, "%s miskey_mark %s" % (writer.pid(miskey_b), writer.pid(miskey_a))))
    for m in marks + added:
        if m.elev80 is None:
            truth.append((m.key, "%s no_height" % writer.pid(m.key)))
    truth.sort()

    header = [
        "# generate_network.py %d OUT %s" % (n, " ".join(argv[2:])),
        "# origin %.9f %.9f (degrees, height 0: the frame of E, N, U below)" % tuple(args.center),
        "# similarity tn %.6f te %.6f rotation %.6f scale %.6f (metres, arc-seconds, ppm)"
        % (args.shift_n, args.shift_e, args.rotation, args.scale),
        "# vertical tu %.6f tilt_n %.6f tilt_e %.6f (metres, ppm)" % (args.shift_u, args.tilt_n, args.tilt_e),
        "# pattern %.6f noise %.6f %.6f (metres)" % (args.pattern, noise_h, noise_v),
        "# bowl %.6f radius %.3f at %.9f %.9f (metres, km, degrees)"
        % ((args.bowl, args.bowl_radius) + net.frame.geodetic(bowl_x, bowl_y, 0.0)[:2]),
    ]

    base = args.out
    directory = os.path.dirname(base)
    if directory:
        os.makedirs(directory, exist_ok=True)
    for suffix, lines in ((".old.hz", old_lines), (".new.hz", new_lines),
                          (".renamed", ["%s %s" % (writer.pid(i), writer.pid(renamed_key[i]))
                                        for i in sorted(renamed)]),
                          (".truth", header + [text for _, text in truth])):
        with open(base + suffix, "w", newline="\n") as f:
            f.write("".join(line + "\n" for line in lines))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
