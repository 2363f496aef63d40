#include "shift_map/svg_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "format/fixed_columns.h"
#include "format/text_escape.h"
#include "shift_map/map_geometry.h"
#include "shift_map/map_layout.h"

namespace tessovane2::shifts {
namespace {

// The picture's layout, in SVG user units (pixels at 100 %).
constexpr double kWidth = 1240.0;
constexpr double kHeight = 720.0;
constexpr double kMapLeft = 20.0, kMapTop = 56.0;
constexpr double kMapWidth = 900.0, kMapHeight = kMapWidth / kMapAspect;
constexpr double kLegendLeft = 944.0;
constexpr int kPixelDecimals = 1;
constexpr std::size_t kLabelledMovers = 5;

bool isFlagged(const ShiftRow& row) { return row.status != ShiftStatus::Matched; }

std::string px(double value) { return fixedNumber(value, kPixelDecimals); }

// Map metres to SVG units: the layout's width across the map area, centred
// on the stations' box, north up.
struct Frame {
  double scale;  // SVG units per metre
  double centreX, centreY;
  double x(double metresEast) const { return kMapLeft + kMapWidth / 2.0 + (metresEast - centreX) * scale; }
  double y(double metresNorth) const { return kMapTop + kMapHeight / 2.0 - (metresNorth - centreY) * scale; }
};

void text(std::string& out, double x, double y, const std::string& escaped, const char* attributes = "") {
  out += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\"" + attributes + ">" + escaped + "</text>\n";
}

void legendEntry(std::string& out, double y, const std::string& symbol, const std::string& label) {
  out += symbol;
  text(out, kLegendLeft + 30.0, y + 4.0, label);
}

}  // namespace

SvgSelection selectSvgRows(const std::vector<ShiftRow>& rows, std::size_t limit) {
  SvgSelection selection;
  if (rows.size() <= limit) {
    selection.rows.resize(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) selection.rows[i] = i;
    selection.flagged = static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), isFlagged));
    return selection;
  }
  const std::size_t flagged = static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), isFlagged));
  selection.flagged = std::min(flagged, limit);
  const std::size_t others = rows.size() - flagged;
  const std::size_t room = limit - selection.flagged;
  selection.stride = room == 0 ? 0 : (others + room - 1) / room;
  std::size_t flaggedTaken = 0, otherSeen = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (isFlagged(rows[i])) {
      if (flaggedTaken < selection.flagged) {
        selection.rows.push_back(i);
        ++flaggedTaken;
      }
    } else if (selection.stride > 0 && otherSeen++ % selection.stride == 0) {
      selection.rows.push_back(i);
    }
  }
  return selection;
}

namespace {

// What every part of the picture reads.
struct SvgMap {
  const ShiftResults& results;
  const MapLayout& layout;
  const SvgSelection& selection;
  Frame frame;
  double arrowScale;  // SVG units per metre of shift
  double tolerance;   // metres
  std::string title;  // escaped
};

// Arrows shorter than this (SVG units) have no direction a renderer can
// show: their heads would all point east. The station's dot stands for
// them, as on the page.
constexpr double kShortestArrow = 0.05;

// Labels of the largest movers: 11 units high; a character is about 0.62 of
// that wide in DejaVu Sans (the widest of the fonts asked for), so the
// label's box is known without measuring it.
constexpr double kLabelSize = 11.0, kLabelCharacterWidth = 0.62 * kLabelSize, kLabelGap = 5.0;

const std::array<std::pair<const char*, ShiftClass>, 3> kClasses = {
    {{"within", ShiftClass::Within},
     {"up-to-twice", ShiftClass::UpToTwice},
     {"beyond-twice", ShiftClass::BeyondTwice}}};

void writeHeader(std::string& s, const SvgMap& map) {
  s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + px(kWidth) + "\" height=\"" +
       px(kHeight) + "\" viewBox=\"0 0 " + px(kWidth) + " " + px(kHeight) +
       "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
  s += "<title>" + map.title + "</title>\n";
  s += "<desc>Horizontal shifts, 2nd file minus 1st, drawn from each station's 1st-file position, "
       "exaggerated " +
       shortNumber(map.layout.exaggeration, 3) + " times; north up.</desc>\n";
  s += "<defs>\n<clipPath id=\"map-area\"><rect x=\"" + px(kMapLeft) + "\" y=\"" + px(kMapTop) +
       "\" width=\"" + px(kMapWidth) + "\" height=\"" + px(kMapHeight) + "\"/></clipPath>\n";
  for (const auto& [name, shift] : kClasses) {
    s += "<marker id=\"head-" + std::string(name) +
         "\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"7\" markerHeight=\"7\" "
         "markerUnits=\"userSpaceOnUse\" orient=\"auto\"><path d=\"M0,1 L10,5 L0,9 z\" fill=\"" +
         shiftClassColour(shift) + "\"/></marker>\n";
  }
  s += "</defs>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  text(s, kMapLeft, 32.0, map.title, " font-size=\"18\" font-weight=\"bold\"");
  s += "<rect x=\"" + px(kMapLeft) + "\" y=\"" + px(kMapTop) + "\" width=\"" + px(kMapWidth) +
       "\" height=\"" + px(kMapHeight) + "\" fill=\"#fbfbf8\" stroke=\"#888888\"/>\n";
}

bool isLone(const ShiftRow& row) {
  return row.status == ShiftStatus::OnlyInFirst || row.status == ShiftStatus::OnlyInSecond;
}

// The dots of the pairs' stations.
void writeStations(std::string& s, const SvgMap& map) {
  s += "<g id=\"stations\" fill=\"" + std::string(kPalette.station) + "\">\n";
  for (const std::size_t i : map.selection.rows) {
    const ShiftRow& row = map.results.rows[i];
    if (isLone(row) || !isOnMap(row)) continue;
    s += "<circle cx=\"" + px(map.frame.x(map.layout.points[i].x)) + "\" cy=\"" +
         px(map.frame.y(map.layout.points[i].y)) + "\" r=\"1.8\"/>\n";
  }
  s += "</g>\n";
}

// The arrows, one group per colour class; long runs go out in pieces.
void writeArrows(std::string& s, std::ostream& out, const SvgMap& map) {
  for (const auto& [name, shift] : kClasses) {
    s += "<g id=\"arrows-" + std::string(name) + "\" stroke=\"" + shiftClassColour(shift) +
         "\" stroke-width=\"1.4\" fill=\"none\" marker-end=\"url(#head-" + name + ")\">\n";
    for (const std::size_t i : map.selection.rows) {
      const ShiftRow& row = map.results.rows[i];
      if (!hasShifts(row.status) || std::isnan(row.dn) || std::isnan(row.de)) continue;
      if (shiftClass(row.horizontal, map.tolerance) != shift) continue;
      const double dx = row.de * map.arrowScale, dy = -row.dn * map.arrowScale;
      if (std::hypot(dx, dy) < kShortestArrow) continue;
      s += "<path d=\"M" + px(map.frame.x(map.layout.points[i].x)) + "," +
           px(map.frame.y(map.layout.points[i].y)) + " l" + px(dx) + "," + px(dy) + "\"/>\n";
      if (s.size() > (1u << 16)) {
        out << s;
        s.clear();
      }
    }
    s += "</g>\n";
  }
}

// Stations in one file only: hollow squares (1st), triangles (2nd).
void writeLoneStations(std::string& s, const SvgMap& map) {
  s += "<g id=\"only-in-1st\" fill=\"none\" stroke=\"" + std::string(kPalette.onlyInFirst) +
       "\" stroke-width=\"1.6\">\n";
  for (const std::size_t i : map.selection.rows) {
    if (map.results.rows[i].status != ShiftStatus::OnlyInFirst) continue;
    s += "<rect x=\"" + px(map.frame.x(map.layout.points[i].x) - 4.0) + "\" y=\"" +
         px(map.frame.y(map.layout.points[i].y) - 4.0) + "\" width=\"8\" height=\"8\"/>\n";
  }
  s += "</g>\n<g id=\"only-in-2nd\" fill=\"" + std::string(kPalette.onlyInSecond) + "\">\n";
  for (const std::size_t i : map.selection.rows) {
    if (map.results.rows[i].status != ShiftStatus::OnlyInSecond) continue;
    const double x = map.frame.x(map.layout.points[i].x), y = map.frame.y(map.layout.points[i].y);
    s += "<path d=\"M" + px(x) + "," + px(y - 5.0) + " l4.5,8 h-9 z\"/>\n";
  }
  s += "</g>\n";
}

}  // namespace

LabelPlace placeLabel(double tipX, double tipY, std::size_t characters) {
  const double width = static_cast<double>(characters) * kLabelCharacterWidth;
  const double right = kMapLeft + kMapWidth - 2.0, bottom = kMapTop + kMapHeight - 2.0;
  const double top = kMapTop + 2.0 + kLabelSize, left = kMapLeft + 2.0;
  LabelPlace place{tipX + kLabelGap, tipY - kLabelGap, false};
  // Past the right edge: the label ends left of the tip instead.
  if (place.x + width > right) {
    place.x = tipX - kLabelGap;
    place.anchorEnd = true;
  }
  // Above the top: below the tip instead.
  if (place.y < top) place.y = tipY + kLabelGap + kLabelSize;
  // A tip off the map (a given exaggeration): the label still stands inside.
  const double minX = left + (place.anchorEnd ? width : 0.0), maxX = right - (place.anchorEnd ? 0.0 : width);
  place.x = std::clamp(place.x, minX, std::max(minX, maxX));
  place.y = std::clamp(place.y, top, bottom);
  return place;
}

namespace {

// The largest movers' PIDs beside their arrows' heads, inside the map, on a
// halo the SVG 1.1 way: a white stroked copy under the black text.
void writeMoverLabels(std::string& s, const SvgMap& map) {
  std::string labels;
  const std::vector<std::size_t>& movers = map.results.summary.largestHorizontal;
  for (std::size_t k = 0; k < std::min(kLabelledMovers, movers.size()); ++k) {
    const std::size_t i = movers[k];
    if (i >= map.results.rows.size() || std::isnan(map.results.rows[i].de)) continue;
    const ShiftRow& row = map.results.rows[i];
    const std::string label = escapeMarkup(row.pid);
    const LabelPlace place = placeLabel(map.frame.x(map.layout.points[i].x) + row.de * map.arrowScale,
                                        map.frame.y(map.layout.points[i].y) - row.dn * map.arrowScale,
                                        consoleWidth(toUtf8(row.pid)));
    text(labels, place.x, place.y, label, place.anchorEnd ? " text-anchor=\"end\"" : "");
  }
  s += "<g id=\"movers\" font-size=\"11\">\n<g stroke=\"#ffffff\" stroke-width=\"3\" "
       "stroke-linejoin=\"round\" "
       "fill=\"#ffffff\">\n" +
       labels + "</g>\n<g fill=\"#000000\">\n" + labels + "</g>\n</g>\n";
}

// Scale bar (lower left), reference arrow (lower right), north arrow (upper right).
void writeMapFurniture(std::string& s, const SvgMap& map) {
  const double bar = scaleBarLength(map.layout.width);
  const double barPx = bar * map.frame.scale;
  const double baseY = kMapTop + kMapHeight - 18.0;
  s += "<g id=\"scale-bar\" stroke=\"#000000\" stroke-width=\"1.5\" fill=\"none\"><path d=\"M" +
       px(kMapLeft + 16.0) + "," + px(baseY - 6.0) + " v6 h" + px(barPx) + " v-6\"/></g>\n";
  text(s, kMapLeft + 16.0 + barPx / 2.0, baseY - 10.0, lengthLabel(bar), " text-anchor=\"middle\"");
  const double reference = map.layout.referenceLength;
  const double referencePx = reference * map.arrowScale;
  const double referenceRight = kMapLeft + kMapWidth - 16.0;
  s += "<path id=\"reference-arrow\" d=\"M" + px(referenceRight - referencePx) + "," + px(baseY) + " h" +
       px(referencePx) + "\" stroke=\"" + shiftClassColour(ShiftClass::Within) +
       "\" stroke-width=\"1.4\" marker-end=\"url(#head-within)\"/>\n";
  text(s, referenceRight - referencePx / 2.0, baseY - 8.0, lengthLabel(reference), " text-anchor=\"middle\"");
  const double northX = kMapLeft + kMapWidth - 30.0, northY = kMapTop + 20.0;
  s += "<g id=\"north-arrow\"><path d=\"M" + px(northX) + "," + px(northY) +
       " l8,26 l-8,-7 l-8,7 z\" fill=\"#000000\"/>";
  text(s, northX, northY + 42.0, "N", " text-anchor=\"middle\" font-weight=\"bold\"");
  s += "</g>\n";
}

// The legend's symbols (arrow classes, stations in one file only); returns
// the height used.
double writeLegendSymbols(std::string& s, const SvgMap& map, double y) {
  const std::string tol = lengthLabel(map.tolerance), twice = lengthLabel(2.0 * map.tolerance);
  const std::array<std::string, 3> labels = {"up to " + tol, tol + " to " + twice, "over " + twice};
  for (std::size_t k = 0; k < kClasses.size(); ++k) {
    legendEntry(s, y,
                "<path d=\"M" + px(kLegendLeft) + "," + px(y) + " h22\" stroke=\"" +
                    shiftClassColour(kClasses[k].second) + "\" stroke-width=\"1.4\" marker-end=\"url(#head-" +
                    kClasses[k].first + ")\"/>\n",
                escapeMarkup(labels[k]));
    y += 20.0;
  }
  legendEntry(s, y,
              "<rect x=\"" + px(kLegendLeft + 7.0) + "\" y=\"" + px(y - 4.0) +
                  "\" width=\"8\" height=\"8\" fill=\"none\" stroke-width=\"1.6\" stroke=\"" +
                  kPalette.onlyInFirst + "\"/>\n",
              "only in the 1st file");
  y += 20.0;
  legendEntry(s, y,
              "<path d=\"M" + px(kLegendLeft + 11.0) + "," + px(y - 5.0) + " l4.5,8 h-9 z\" fill=\"" +
                  kPalette.onlyInSecond + "\"/>\n",
              "only in the 2nd file");
  return y;
}

// The legend: symbols, notes on the scales, what was drawn, the files.
void writeLegend(std::string& s, const SvgMap& map) {
  const MapLayout& layout = map.layout;
  const ShiftResults& results = map.results;
  s += "<g id=\"legend\">\n";
  double y = kMapTop + 8.0;
  text(s, kLegendLeft, y, "Horizontal shift", " font-weight=\"bold\" font-size=\"14\"");
  y = writeLegendSymbols(s, map, y + 24.0) + 32.0;
  const std::size_t labelled = std::min(kLabelledMovers, results.summary.largestHorizontal.size());
  const std::array<std::string, 6> notes = {
      "Arrows " + shortNumber(layout.exaggeration, 3) + " times the shift" +
          (layout.exaggerationGiven ? " (given)" : ""),
      "from the 1st-file position;",
      "reference arrow: " + lengthLabel(layout.referenceLength) + " of shift.",
      "Tolerance " + lengthLabel(map.tolerance) + "; 2nd file minus 1st.",
      "Scale bar: " + lengthLabel(scaleBarLength(layout.width)) + " on the ground.",
      "Labels: the " + std::to_string(labelled) + " largest movers.",
  };
  for (const std::string& note : notes) {
    text(s, kLegendLeft, y, escapeMarkup(note));
    y += 17.0;
  }
  y += 12.0;
  const std::size_t total = results.rows.size();
  const SvgSelection& selection = map.selection;
  if (selection.rows.size() == total) {
    text(s, kLegendLeft, y, "All " + withThousands(total) + " stations drawn.");
  } else {
    text(s, kLegendLeft, y,
         withThousands(selection.rows.size()) + " of " + withThousands(total) + " stations drawn:");
    y += 17.0;
    text(s, kLegendLeft, y,
         withThousands(selection.flagged) + " flagged" +
             (selection.stride > 0 ? ", 1 in " + std::to_string(selection.stride) + " of the others."
                                   : "; no other."));
    y += 17.0;
    text(s, kLegendLeft, y, "The HTML page shows them all.");
  }
  y += 28.0;
  text(s, kLegendLeft, y, "1st: " + escapeMarkup(results.run.first.name));
  y += 17.0;
  text(s, kLegendLeft, y, "2nd: " + escapeMarkup(results.run.second.name));
  y += 17.0;
  text(s, kLegendLeft, y, escapeMarkup(results.run.localTime), " font-size=\"10\"");
  s += "</g>\n";
}

}  // namespace

bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out) {
  const MapLayout layout = layoutMap(results, options);
  const SvgSelection selection = selectSvgRows(results.rows, options.svgStationLimit);
  const Frame frame{kMapWidth / layout.width, (layout.bounds.minX + layout.bounds.maxX) / 2.0,
                    (layout.bounds.minY + layout.bounds.maxY) / 2.0};
  const SvgMap map{results,
                   layout,
                   selection,
                   frame,
                   layout.exaggeration * frame.scale,
                   results.run.horizontalTolerance,
                   "Station shifts: " + escapeMarkup(results.run.first.name) + " to " +
                       escapeMarkup(results.run.second.name)};
  std::string s;
  writeHeader(s, map);
  // Stations, then arrows by class, then the stations in one file only and
  // the labels on top, all clipped to the map.
  s += "<g id=\"map\" clip-path=\"url(#map-area)\">\n";
  writeStations(s, map);
  writeArrows(s, out, map);
  writeLoneStations(s, map);
  writeMoverLabels(s, map);
  s += "</g>\n";
  writeMapFurniture(s, map);
  writeLegend(s, map);
  s += "</svg>\n";
  out << s;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace tessovane2::shifts
