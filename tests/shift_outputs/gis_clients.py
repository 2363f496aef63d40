#!/usr/bin/env python3
"""Opens tessovane2_shifts' files with the GIS programs their users have.

    gis_clients.py gdal TESSOVANE2_SHIFTS EXAMPLES_DIR
    gis_clients.py qgis TESSOVANE2_SHIFTS EXAMPLES_DIR

gdal: ogrinfo reads the GeoJSON and the CSV with its .csvt, of the samples and
of a run on hostile designations (Latin-1 bytes, quotes, commas, "="): ssn a
String with its zeros, heights Real, a missing height null, every row a
feature, nothing on standard error.

qgis: QGIS (headless) adds the samples' GeoJSON as a layer, which applies the
.qml beside it; the layer is rendered and the largest mover's arrow must be
drawn from its 1st-file position in the direction of its shift, as long as
the map's exaggeration makes it. Exits 77 (skipped) when QGIS cannot be
imported.
"""
import json
import math
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def record80(pid, ssn, designation, latitude_seconds, elevation=b" 38842"):
    # PID 1-6, *80, SSN 11-14, designation 15-44, latitude 45-56, longitude 57-69, elevation 70-75
    line = (pid.encode() + b"*80 " + ssn.encode() + designation.ljust(30) + b"4107" + latitude_seconds.encode() +
            b"N096480321456W" + elevation)
    assert len(line) == 75, line
    return line + b"\n"


# Designation bytes and the text a reader must see.
HOSTILE = [
    (b"CAF\xc9 M\xdcHLE", "CAF\u00c9 M\u00dcHLE"),   # Latin-1
    (b"M\xc3\x9cHLE", "M\u00dcHLE"),                 # UTF-8
    (b'SMITH, "OLD" MARK', 'SMITH, "OLD" MARK'),
    (b'=HYPERLINK("http://x")', '=HYPERLINK("http://x")'),
    (b"=1+2", "=1+2"),
    (b"0012", "0012"),
]
NO_HEIGHT = 2  # the row whose station has no height in the 1st file


def run(program, folder, *arguments):
    done = subprocess.run([program, *arguments], cwd=folder, capture_output=True)
    if done.returncode not in (0, 1):
        fail("%s: status %d: %s" % (arguments, done.returncode, done.stderr.decode("utf-8", "replace")))


def make_runs(program, examples, folder):
    """Writes the samples' run and the hostile run; returns their base names."""
    for name in ("old.hz", "new.hz"):
        shutil.copy(examples / name, folder / name)
    run(program, folder, "old.hz", "new.hz", "samples", "0.05", "4", "S", "-q")
    with open(folder / "a.hz", "wb") as a, open(folder / "b.hz", "wb") as b:
        for i, (designation, _) in enumerate(HOSTILE):
            a.write(record80("AB%04d" % i, "%04d" % i, designation, "1234567",
                             b"      " if i == NO_HEIGHT else b" 38842"))
            b.write(record80("AB%04d" % i, "%04d" % i, designation, "%07d" % (1234567 + 100 * i)))
    run(program, folder, "a.hz", "b.hz", "hostile", "0.05", "4", "S", "-q")
    return folder / "samples", folder / "hostile"


def ogrinfo(path):
    done = subprocess.run(["ogrinfo", "-ro", "-al", "--config", "CPL_DEBUG", "OFF", str(path)],
                          capture_output=True)
    out, err = done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace")
    if done.returncode != 0 or err.strip() or "Warning" in out:
        fail("ogrinfo %s: status %d, %s%s" % (path.name, done.returncode, err, out[:2000]))
    types = dict(re.findall(r"^(\w+): (\w+) \(", out, re.M))
    count = int(re.search(r"^Feature Count: (\d+)$", out, re.M).group(1))
    features = []
    for block in re.split(r"^OGRFeature\(\w+\):\d+$", out, flags=re.M)[1:]:
        # "  name (Type) = value"; an unset field is not listed, a null one reads "(null)"
        fields = dict(re.findall(r"^  (\w+) \(\w+\) = (.*)$", block, re.M))
        features.append({k: None if v == "(null)" else v for k, v in fields.items()})
    return types, count, features


def check_gdal(program, examples):
    if shutil.which("ogrinfo") is None:
        fail("ogrinfo not found: scripts/install_deps.sh installs gdal-bin")
    with tempfile.TemporaryDirectory() as scratch:
        samples, hostile = make_runs(program, examples, pathlib.Path(scratch))
        for base, rows in ((samples, None), (hostile, len(HOSTILE))):
            expected_rows = rows if rows is not None else len(json.loads(
                base.with_suffix(".geojson").read_text(encoding="utf-8"))["features"])
            results = {}
            for suffix in (".geojson", ".csv"):
                types, count, features = ogrinfo(base.with_suffix(suffix))
                where = base.name + suffix
                for column in ("pid", "ssn", "designation", "status"):
                    if types.get(column) != "String":
                        fail("%s: %s is %s" % (where, column, types.get(column)))
                for column in ("lat1", "lon1", "h1", "h2", "dn", "de", "du", "horizontal", "azimuth"):
                    if types.get(column) != "Real":
                        fail("%s: %s is %s" % (where, column, types.get(column)))
                if count != expected_rows or len(features) != expected_rows:
                    fail("%s: %d features listed, %d counted, %d rows" % (where, len(features), count,
                                                                           expected_rows))
                results[suffix] = features
            csv, geojson = results[".csv"], results[".geojson"]
            for row, (a, b) in enumerate(zip(csv, geojson)):
                for column in ("pid", "ssn", "designation", "status", "h1", "dn"):
                    if a.get(column) != b.get(column):
                        fail("%s row %d: %s CSV %r, GeoJSON %r" % (base.name, row, column, a.get(column),
                                                                    b.get(column)))
            if not all(re.fullmatch(r"\d{4}", f["ssn"]) for f in csv):
                fail("%s: an SSN lost its zeros: %r" % (base.name, [f["ssn"] for f in csv]))
            if rows is not None:
                got = [f["designation"] for f in csv]
                if got != [text for _, text in HOSTILE]:
                    fail("hostile designations read as %r" % got)
                if csv[NO_HEIGHT].get("h1") is not None or csv[0]["h1"] != "388.42":
                    fail("hostile heights: %r, %r" % (csv[NO_HEIGHT].get("h1"), csv[0]["h1"]))
    print("ok: ogrinfo reads both runs' GeoJSON and CSV alike, types from the .csvt")


def drawn_near(image, x, y, colour, reach=2, tolerance=60):
    """Whether a pixel within `reach` of (x, y) has the colour (the line is
    antialiased: its middle may fall between two pixels)."""
    for i in range(int(round(x)) - reach, int(round(x)) + reach + 1):
        for j in range(int(round(y)) - reach, int(round(y)) + reach + 1):
            c = image.pixelColor(i, j)
            if abs(c.red() - colour[0]) + abs(c.green() - colour[1]) + abs(c.blue() - colour[2]) <= tolerance:
                return True
    return False


def check_qgis(program, examples):
    os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
    try:
        from qgis.core import (Qgis, QgsApplication, QgsCoordinateReferenceSystem, QgsCoordinateTransform,
                               QgsExpression, QgsExpressionContext, QgsGeometry,
                               QgsMapRendererSequentialJob, QgsMapSettings, QgsPointXY, QgsProject,
                               QgsRuleBasedRenderer, QgsVectorLayer)
        from qgis.PyQt.QtCore import QSize
        from qgis.PyQt.QtGui import QColor
    except ImportError as error:
        print("SKIPPED: QGIS cannot be imported by %s (%s); install qgis and python3-qgis" %
              (sys.executable, error))
        sys.exit(SKIPPED)
    app = QgsApplication([], False)
    app.initQgis()
    with tempfile.TemporaryDirectory() as scratch:
        samples, _ = make_runs(program, examples, pathlib.Path(scratch))
        layer = QgsVectorLayer(str(samples.with_suffix(".geojson")), "samples", "ogr")
        if not layer.isValid():
            fail("QGIS cannot open samples.geojson")
        renderer = layer.renderer()
        if not isinstance(renderer, QgsRuleBasedRenderer):
            fail("samples.qml was not applied: renderer %s" % renderer.type())
        layers = [l.layerType() for rule in renderer.rootRule().children() for l in rule.symbol().symbolLayers()]
        if "GeometryGenerator" not in layers:
            fail("no geometry generator in the applied style: %r" % layers)

        # The largest mover, and the factor the style states (its arrows are
        # uncut, so the factor is the network's whole-map one).
        collection = json.loads(samples.with_suffix(".geojson").read_text(encoding="utf-8"))
        properties = [f["properties"] for f in collection["features"]]
        mover = max((p for p in properties if p["horizontal"] is not None), key=lambda p: p["horizontal"])
        style = samples.with_suffix(".qml").read_text(encoding="utf-8")
        exaggeration = float(re.search(r"exaggerated (\d+(?:\.\d+)?) times", style).group(1))

        # The arrow's end, from degrees per metre on a sphere of 6371 km:
        # within a percent of the style's ellipsoidal figure, an independent check.
        metres_per_degree = 6371000.0 * math.pi / 180.0
        end_lon = mover["lon1"] + mover["de"] * exaggeration / (metres_per_degree *
                                                               math.cos(math.radians(mover["lat1"])))
        end_lat = mover["lat1"] + mover["dn"] * exaggeration / metres_per_degree
        tolerance = 0.05
        colour = (0xd5, 0x5e, 0x00) if mover["horizontal"] > 2 * tolerance else (0xe6, 0x9f, 0x00)
        if mover["status"] in ("matched", "over_vertical"):
            colour = (0x00, 0x72, 0xb2)

        # In the layer's own CRS (degrees) and in a projected one (metres), as
        # a project in UTM would show it.
        for crs in (layer.crs(), QgsCoordinateReferenceSystem("EPSG:3857")):
            settings = QgsMapSettings()
            settings.setLayers([layer])
            settings.setDestinationCrs(crs)
            settings.setBackgroundColor(QColor(255, 255, 255))
            settings.setOutputSize(QSize(900, 900))
            transform = QgsCoordinateTransform(layer.crs(), crs, QgsProject.instance())
            extent = transform.transformBoundingBox(layer.extent())
            extent.scale(1.2)
            settings.setExtent(extent)
            job = QgsMapRendererSequentialJob(settings)
            job.start()
            job.waitForFinished()
            image = job.renderedImage()
            if os.environ.get("GIS_CLIENTS_KEEP"):
                image.save(os.environ["GIS_CLIENTS_KEEP"] + "." + crs.authid().replace(":", "") + ".png")

            def pixel(lon, lat):
                return settings.mapToPixel().transform(transform.transform(QgsPointXY(lon, lat)))

            start, end = pixel(mover["lon1"], mover["lat1"]), pixel(end_lon, end_lat)
            dx, dy = end.x() - start.x(), end.y() - start.y()
            length = math.hypot(dx, dy)
            if length < 30:
                fail("the largest mover's arrow would be %.1f px long: no test of its direction" % length)

            def drawn(t):
                return drawn_near(image, start.x() + dx * t, start.y() + dy * t, colour)

            along = [t for t in (0.2, 0.4, 0.6, 0.8, 0.95) if not drawn(t)]
            if along:
                fail("%s: arrow of %s (%s) not drawn along its shift at %r of its length in %r" %
                     (crs.authid(), mover["pid"], mover["status"], along, colour))
            wrong = [t for t in (-0.8, -0.5, -0.2, 1.2, 1.5) if drawn(t)]
            if wrong:
                fail("%s: arrow of %s drawn behind its station or too long: at %r of its length" %
                     (crs.authid(), mover["pid"], wrong))
            print("ok: QGIS %s, %s: the style applied, %s's arrow %.0f px long towards %.0f degrees" %
                  (Qgis.version(), crs.authid(), mover["pid"], length, mover["azimuth"]))

        # The loading steps of docs/gis.md: its arrow expression as pasted, and the
        # CSV as a Delimited Text layer with QGIS's type detection on.
        readme = (pathlib.Path(__file__).resolve().parents[2] / "docs" / "gis.md").read_text(encoding="utf-8")
        pasted = re.search(r"^ +(with_variable\('k'.*?\)\)\))$", readme, re.S | re.M).group(1)
        expression = QgsExpression(pasted.replace("1000", repr(exaggeration)))
        feature = next(f for f in layer.getFeatures() if f["pid"] == mover["pid"])
        context = QgsExpressionContext()
        context.setFeature(feature)
        line = expression.evaluate(context)
        if expression.hasEvalError() or not isinstance(line, QgsGeometry):
            fail("the arrow expression of docs/gis.md gives %r: %s" % (line, expression.evalErrorString()))
        vertices = line.asPolyline()
        if not (math.isclose(vertices[-1].x(), end_lon, rel_tol=0, abs_tol=abs(end_lon - mover["lon1"]) * 0.02) and
                math.isclose(vertices[-1].y(), end_lat, rel_tol=0, abs_tol=abs(end_lat - mover["lat1"]) * 0.02)):
            fail("the arrow of docs/gis.md ends at %r, not near %r" % (vertices[-1], (end_lon, end_lat)))
        uri = pathlib.Path(samples.with_suffix(".csv")).as_uri() + \
            "?type=csv&detectTypes=yes&xField=lon2&yField=lat2&crs=EPSG:4269&encoding=UTF-8"
        csv_layer = QgsVectorLayer(uri, "csv", "delimitedtext")
        ssn = csv_layer.fields().field("ssn") if csv_layer.isValid() else None
        if ssn is None or ssn.typeName().lower() != "text" or \
                sorted(f["ssn"] for f in csv_layer.getFeatures())[0] != min(p["ssn"] for p in properties):
            fail("QGIS's Delimited Text layer: ssn %s" % (ssn.typeName() if ssn else "missing"))
        print("ok: the arrow expression of docs/gis.md and Delimited Text steps work in QGIS")
        del job, layer, csv_layer
    sys.stdout.flush()
    # Leaving the interpreter with QGIS's objects alive crashes in its exit
    # handlers (PyQGIS destroys them in no set order): end here.
    os._exit(0)


def check_pandas(program, examples):
    """The pandas line of docs/gis.md, as pasted, on the samples and the hostile run."""
    try:
        import pandas as pd  # noqa: F401 (the pasted line uses it)
    except ImportError:
        print("SKIPPED: pandas cannot be imported (Debian's python3-pandas)")
        sys.exit(SKIPPED)
    guide = (pathlib.Path(__file__).resolve().parents[2] / "docs" / "gis.md").read_text(encoding="utf-8")
    pasted = re.search(r"^ +(shifts = pd\.read_csv\(.*?\]\))$", guide, re.S | re.M).group(1)
    with tempfile.TemporaryDirectory() as scratch:
        samples, hostile = make_runs(program, examples, pathlib.Path(scratch))
        for base in (samples, hostile):
            shutil.copy(base.with_suffix(".csv"), pathlib.Path(scratch) / "shifts.csv")
            namespace = {"pd": pd}
            cwd = os.getcwd()
            os.chdir(scratch)
            try:
                exec(pasted, namespace)
            finally:
                os.chdir(cwd)
            shifts = namespace["shifts"]
            if not all(re.fullmatch(r"\d{4}", s) for s in shifts["ssn"]):
                fail("pandas: an SSN lost its zeros: %r" % list(shifts["ssn"]))
            if shifts["dn"].dtype.kind != "f":
                fail("pandas: dn read as %s" % shifts["dn"].dtype)
        if list(shifts["designation"]) != [text for _, text in HOSTILE]:
            fail("pandas: hostile designations read as %r" % list(shifts["designation"]))
        if not math.isnan(shifts["h1"][NO_HEIGHT]):
            fail("pandas: a missing height read as %r" % shifts["h1"][NO_HEIGHT])
    print("ok: the pandas line of docs/gis.md reads both runs, SSNs as text, missing values as NaN")


def main():
    stage, program, examples = sys.argv[1], str(pathlib.Path(sys.argv[2]).resolve()), pathlib.Path(sys.argv[3])
    {"gdal": check_gdal, "qgis": check_qgis, "pandas": check_pandas}[stage](program, examples)


main()
