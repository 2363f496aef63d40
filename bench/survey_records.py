"""The *80 and *86 records of a survey file as text, for the generators.

*80 (station position):
    1-6    PID
    7-9    "*80"
    10-14  SSN: 5 digits in 10-14, 4 digits in 11-14, 3 digits in 11-13
    15-44  designation, blank-padded
    45-55  latitude: degrees (2), minutes (2), seconds in 0.00001" (7)
    56     N or S
    57-68  longitude: degrees (3), minutes (2), seconds in 0.00001" (7)
    69     W or E
    70-75  elevation in centimetres (metres with two implied decimals),
           six blanks for none
    76-    free
*86 (orthometric height):
    1-6    PID
    7-9    "*86"
    10-14  SSN, as on the *80 record
    17-23  height in millimetres (metres with three implied decimals)
    24-    free

Angles are integers in units of 0.00001 arc-second (E5_PER_DEGREE to the
degree), so the columns hold exactly the value given.
"""

E5_PER_DEGREE = 3600 * 100000  # latitude/longitude in units of 0.00001 arc-second

WORDS = ("PINE", "OAK", "CEDAR", "HILL", "RIVER", "BRIDGE", "TANK", "CHURCH",
         "SPIRE", "BASE", "NORTH", "SOUTH", "EAST", "WEST", "RADIO", "TOWER",
         "PIER", "MESA", "RIDGE", "GAP", "FORK", "LAKE", "BM", "STA", "RM",
         "AZ", "ECC", "CORS", "WATER", "MILL", "ROCK", "BUTTE", "CREEK")

PID_COUNT = 26 * 26 * 10000  # two letters and four digits


def pid_of(index):
    """The index-th PID: AA0000, AA0001, ..., AA9999, AB0000, ..."""
    letters = index // 10000
    return (chr(ord("A") + (letters // 26) % 26) + chr(ord("A") + letters % 26)
            + "%04d" % (index % 10000))


def ssn_field(number, digits):
    """Columns 10-14 for an SSN of 3, 4 or 5 digits (number modulo 10^digits)."""
    text = "%0*d" % (digits, number % 10 ** digits)
    if digits == 5:
        return text
    return (" " + text).ljust(5)


def dms(e5, degree_digits):
    """An angle >= 0 in 0.00001" as degrees, minutes and seconds columns."""
    degrees, rest = divmod(e5, 60 * 60 * 100000)
    minutes, seconds = divmod(rest, 60 * 100000)
    return "%0*d%02d%07d" % (degree_digits, degrees, minutes, seconds)


def record80(pid, ssn5, designation, lat_e5, lon_e5, elev_cm, tail="",
             lat_letter="N", lon_letter="W"):
    """ssn5: columns 10-14 as text; lat_e5, lon_e5 >= 0 with their letters;
    elev_cm: elevation in centimetres, or None for six blanks."""
    elevation = "      " if elev_cm is None else "%06d" % elev_cm
    return "%s*80%s%-30.30s%s%s%s%s%s%s" % (pid, ssn5, designation, dms(lat_e5, 2), lat_letter,
                                            dms(lon_e5, 3), lon_letter, elevation, tail)


def record86(pid, ssn5, height_mm, tail=""):
    """height_mm: orthometric height in millimetres (columns 17-23)."""
    return "%s*86%s  %07d%s" % (pid, ssn5, height_mm, tail)
