#include "shift_map/svg_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "format/fixed_columns.h"
#include "format/text_escape.h"
#include "shift_map/map_geometry.h"
#include "shift_map/map_layout.h"
#include "shift_map/svg_marks.h"

namespace tessovane2::shifts {
namespace {

// The picture's layout, in SVG user units (pixels at 100 %).
constexpr double kWidth = 1240.0;
constexpr double kHeight = 720.0;
constexpr double kMapLeft = 20.0, kMapTop = 56.0;
constexpr double kMapWidth = 900.0, kMapHeight = kMapWidth / kMapAspect;
constexpr double kLegendLeft = 944.0;
constexpr int kPixelDecimals = 1;
// The map's furniture (map-area pixels): the scale bar from the lower left
// corner, the reference arrow ending at the lower right, both on one
// baseline; the north arrow in the upper right corner.
constexpr double kFurnitureInset = 16.0, kFurnitureBase = kMapHeight - 18.0;
constexpr double kNorthX = kMapWidth - 30.0, kNorthY = 20.0;
// A character of the 12-unit text is about 0.62 of that wide (DejaVu Sans).
constexpr double kTextCharacterWidth = 0.62 * 12.0;

std::string px(double value) { return fixedNumber(value, kPixelDecimals); }

void text(std::string& out, double x, double y, const std::string& escaped, const char* attributes = "") {
  out += "<text x=\"" + px(x) + "\" y=\"" + px(y) + "\"" + attributes + ">" + escaped + "</text>\n";
}

void legendEntry(std::string& out, double y, const std::string& symbol, const std::string& label) {
  out += symbol;
  text(out, kLegendLeft + 30.0, y + 4.0, label);
}

// Long runs of marks go out in pieces.
void spill(std::string& s, std::ostream& out) {
  if (s.size() > (1u << 16)) {
    out << s;
    s.clear();
  }
}

const std::array<std::pair<const char*, ShiftClass>, 3> kClasses = {
    {{"within", ShiftClass::Within},
     {"up-to-twice", ShiftClass::UpToTwice},
     {"beyond-twice", ShiftClass::BeyondTwice}}};

// What every part of the picture reads.
struct SvgMap {
  const ShiftResults& results;
  const MapLayout& layout;  // the rows' map positions
  MarkView view;            // the map area: its scale and centre (map-area pixels)
  double mapWidth;          // metres across the map
  TypicalShift typical;
  bool exaggerationGiven;
  double referenceLength;  // metres of shift
  MapMarks marks;
  std::vector<PlacedLabel> labels;
  std::string title;  // escaped
};

double arrowScale(const SvgMap& map) { return map.view.factor * map.view.pxPerMetre; }

// Arrows shorter than this (SVG units) have no direction a renderer can
// show: their heads would all point east. The station's dot stands for
// them, as on the page.
constexpr double kShortestArrow = 0.05;

void writeHeader(std::string& s, const SvgMap& map) {
  s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + px(kWidth) + "\" height=\"" +
       px(kHeight) + "\" viewBox=\"0 0 " + px(kWidth) + " " + px(kHeight) +
       "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
  s += "<title>" + map.title + "</title>\n";
  s += "<desc>Horizontal shifts, 2nd file minus 1st, drawn from each station's 1st-file position, "
       "exaggerated " +
       shortNumber(map.view.factor, 3) + " times, at most " + shortNumber(offScaleCapPx(), 1) +
       " units long; north up.</desc>\n";
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

// 1. The dots of the pairs' stations.
void writeStations(std::string& s, std::ostream& out, const SvgMap& map) {
  s += "<g id=\"stations\" fill=\"" + std::string(kPalette.station) + "\">\n";
  for (const PxPoint& dot : map.marks.dots) {
    s += "<circle cx=\"" + px(kMapLeft + dot.x) + "\" cy=\"" + px(kMapTop + dot.y) + "\" r=\"1.8\"/>\n";
    spill(s, out);
  }
  s += "</g>\n";
}

// One group of arrows of one class (their heads from the group's marker),
// and the off-scale ones' bars in a group of their own, without heads.
void writeArrowGroup(std::string& s, std::ostream& out, const std::string& id,
                     const std::vector<DrawnArrow>& arrows, std::size_t k, const char* width) {
  const auto& [name, shift] = kClasses[k];
  std::string bars;
  s += "<g id=\"" + id + "-" + name + "\" stroke=\"" + shiftClassColour(shift) + "\" stroke-width=\"" +
       width + "\" fill=\"none\" marker-end=\"url(#head-" + name + ")\">\n";
  for (const DrawnArrow& a : arrows) {
    if (a.shiftClass != shift || std::hypot(a.dx, a.dy) < kShortestArrow) continue;
    s += "<path d=\"M" + px(kMapLeft + a.x) + "," + px(kMapTop + a.y) + " l" + px(a.dx) + "," + px(a.dy) +
         "\"/>\n";
    for (const PxSegment& bar : offScaleBars(a)) {
      if (!a.offScale) break;
      bars += "<path d=\"M" + px(kMapLeft + bar.x1) + "," + px(kMapTop + bar.y1) + " L" +
              px(kMapLeft + bar.x2) + "," + px(kMapTop + bar.y2) + "\"/>\n";
    }
    spill(s, out);
  }
  s += "</g>\n";
  if (!bars.empty()) {
    s += "<g id=\"" + id + "-" + name + "-bars\" stroke=\"" + shiftClassColour(shift) + "\" stroke-width=\"" +
         width + "\">\n" + bars + "</g>\n";
  }
}

// 2. The ordinary arrows: the cells', then the single ones, by class.
void writeArrows(std::string& s, std::ostream& out, const SvgMap& map) {
  for (std::size_t k = 0; k < kClasses.size(); ++k)
    writeArrowGroup(s, out, "cells", map.marks.cellArrows, k, "2.2");
  for (std::size_t k = 0; k < kClasses.size(); ++k)
    writeArrowGroup(s, out, "arrows", map.marks.singles, k, "1.4");
}

// 3. Stations in one file only: hollow squares (1st), triangles (2nd).
void writeLoneStations(std::string& s, const SvgMap& map) {
  s += "<g id=\"only-in-1st\" fill=\"none\" stroke=\"" + std::string(kPalette.onlyInFirst) +
       "\" stroke-width=\"1.6\">\n";
  for (const Lone& lone : map.marks.lone) {
    if (!lone.first) continue;
    s += "<rect x=\"" + px(kMapLeft + lone.x - 4.0) + "\" y=\"" + px(kMapTop + lone.y - 4.0) +
         "\" width=\"8\" height=\"8\"/>\n";
  }
  s += "</g>\n<g id=\"only-in-2nd\" fill=\"" + std::string(kPalette.onlyInSecond) + "\">\n";
  for (const Lone& lone : map.marks.lone) {
    if (lone.first) continue;
    s += "<path d=\"M" + px(kMapLeft + lone.x) + "," + px(kMapTop + lone.y - 5.0) + " l4.5,8 h-9 z\"/>\n";
  }
  s += "</g>\n";
}

const char* ringColour(RingKey key) {
  switch (key) {
    case RingKey::OnlyInFirst:
      return kPalette.onlyInFirst;
    case RingKey::OnlyInSecond:
      return kPalette.onlyInSecond;
    default:
      return shiftClassColour(static_cast<ShiftClass>(static_cast<int>(key)));
  }
}

// 4. Rings: the flagged or unpaired stations of one class in one cell.
void writeRings(std::string& s, const SvgMap& map) {
  s += "<g id=\"rings\" fill=\"none\" stroke-width=\"1.5\">\n";
  for (const Ring& ring : map.marks.rings) {
    s += "<circle cx=\"" + px(kMapLeft + ring.x) + "\" cy=\"" + px(kMapTop + ring.y) + "\" r=\"" +
         px(ringRadiusPx(ring.count)) + "\" stroke=\"" + ringColour(ring.key) + "\"/>\n";
  }
  s += "</g>\n";
}

// 5. True scale: dashed from the 1st position to the 2nd, ringed there.
void writeTrueScale(std::string& s, const SvgMap& map) {
  std::string ends;
  s += "<g id=\"true-scale\" fill=\"none\" stroke-width=\"1.6\">\n";
  for (const TrueScaleLine& line : map.marks.trueScale) {
    const std::string colour = shiftClassColour(line.shiftClass);
    s += "<path d=\"M" + px(kMapLeft + line.x1) + "," + px(kMapTop + line.y1) + " L" +
         px(kMapLeft + line.x2) + "," + px(kMapTop + line.y2) + "\" stroke=\"" + colour +
         "\" stroke-dasharray=\"5,3\"/>\n";
    ends += "<circle cx=\"" + px(kMapLeft + line.x2) + "\" cy=\"" + px(kMapTop + line.y2) +
            "\" r=\"5\" stroke=\"" + colour + "\"/>\n";
  }
  s += ends + "</g>\n";
}

// 7. The largest flagged movers' labels, on a halo the SVG 1.1 way: a white
// stroked copy under the black text.
void writeMoverLabels(std::string& s, const SvgMap& map) {
  std::string labels;
  for (const PlacedLabel& label : map.labels) {
    text(labels, kMapLeft + label.box.x + 2.0, kMapTop + label.box.y + label.box.h - 3.0,
         escapeMarkup(label.text));
  }
  s += "<g id=\"movers\" font-size=\"" + shortNumber(kLabelFontPx, 1) +
       "\">\n<g stroke=\"#ffffff\" stroke-width=\"3\" stroke-linejoin=\"round\" fill=\"#ffffff\">\n" +
       labels + "</g>\n<g fill=\"#000000\">\n" + labels + "</g>\n</g>\n";
}

// The furniture's boxes (map-area pixels) that labels keep clear of: the
// scale bar and its label, the reference arrow and its label, the north arrow.
std::vector<PxBox> furnitureBoxes(const SvgMap& map) {
  const auto around = [](double centre, double length, std::size_t characters, double top, double bottom) {
    const double w = std::max(length, static_cast<double>(characters) * kTextCharacterWidth);
    return PxBox{centre - w / 2.0 - 4.0, top, w + 8.0, bottom - top};
  };
  const double bar = scaleBarLength(map.mapWidth) * map.view.pxPerMetre;
  const double reference = map.referenceLength * arrowScale(map);
  const double right = kMapWidth - kFurnitureInset;
  return {around(kFurnitureInset + bar / 2.0, bar, lengthLabel(scaleBarLength(map.mapWidth)).size(),
                 kFurnitureBase - 26.0, kFurnitureBase + 4.0),
          around(right - reference / 2.0, reference, lengthLabel(map.referenceLength).size(),
                 kFurnitureBase - 24.0, kFurnitureBase + 6.0),
          {kNorthX - 12.0, kNorthY - 3.0, 24.0, 50.0}};
}

// Scale bar (lower left), reference arrow (lower right), north arrow (upper right).
void writeMapFurniture(std::string& s, const SvgMap& map) {
  const double bar = scaleBarLength(map.mapWidth);
  const double barPx = bar * map.view.pxPerMetre;
  const double baseY = kMapTop + kFurnitureBase, left = kMapLeft + kFurnitureInset;
  s += "<g id=\"scale-bar\" stroke=\"#000000\" stroke-width=\"1.5\" fill=\"none\"><path d=\"M" + px(left) +
       "," + px(baseY - 6.0) + " v6 h" + px(barPx) + " v-6\"/></g>\n";
  text(s, left + barPx / 2.0, baseY - 10.0, lengthLabel(bar), " text-anchor=\"middle\"");
  const double reference = map.referenceLength;
  const double referencePx = reference * arrowScale(map);
  const double referenceRight = kMapLeft + kMapWidth - kFurnitureInset;
  s += "<path id=\"reference-arrow\" d=\"M" + px(referenceRight - referencePx) + "," + px(baseY) + " h" +
       px(referencePx) + "\" stroke=\"" + shiftClassColour(ShiftClass::Within) +
       "\" stroke-width=\"1.4\" marker-end=\"url(#head-within)\"/>\n";
  text(s, referenceRight - referencePx / 2.0, baseY - 8.0, lengthLabel(reference), " text-anchor=\"middle\"");
  const double northX = kMapLeft + kNorthX, northY = kMapTop + kNorthY;
  s += "<g id=\"north-arrow\"><path d=\"M" + px(northX) + "," + px(northY) +
       " l8,26 l-8,-7 l-8,7 z\" fill=\"#000000\"/>";
  text(s, northX, northY + 42.0, "N", " text-anchor=\"middle\" font-weight=\"bold\"");
  s += "</g>\n";
}

// The legend's symbols (arrow classes, a cut arrow, a true-scale line,
// rings when there are any, stations in one file only); returns the height
// used.
double writeLegendSymbols(std::string& s, const SvgMap& map, double y) {
  const double tolerance = map.view.tolerance;
  const std::string tol = lengthLabel(tolerance), twice = lengthLabel(2.0 * tolerance);
  const std::array<std::string, 3> labels = {"up to " + tol, tol + " to " + twice, "over " + twice};
  for (std::size_t k = 0; k < kClasses.size(); ++k) {
    legendEntry(s, y,
                "<path d=\"M" + px(kLegendLeft) + "," + px(y) + " h22\" stroke=\"" +
                    shiftClassColour(kClasses[k].second) + "\" stroke-width=\"1.4\" marker-end=\"url(#head-" +
                    kClasses[k].first + ")\"/>\n",
                escapeMarkup(labels[k]));
    y += 20.0;
  }
  const char* far = kPalette.beyondTwice;
  legendEntry(s, y,
              "<path d=\"M" + px(kLegendLeft) + "," + px(y) + " h22\" stroke=\"" + far +
                  "\" stroke-width=\"1.4\" marker-end=\"url(#head-beyond-twice)\"/><path d=\"M" +
                  px(kLegendLeft + 9.0) + "," + px(y - 4.0) + " v8 M" + px(kLegendLeft + 12.0) + "," +
                  px(y - 4.0) + " v8\" stroke=\"" + far + "\" stroke-width=\"1.4\"/>\n",
              "off scale: cut to " + shortNumber(offScaleCapPx(), 1) + " units");
  y += 20.0;
  legendEntry(s, y,
              "<path d=\"M" + px(kLegendLeft) + "," + px(y) + " h17\" stroke=\"" + far +
                  "\" stroke-width=\"1.6\" stroke-dasharray=\"5,3\"/><circle cx=\"" + px(kLegendLeft + 20.0) +
                  "\" cy=\"" + px(y) + "\" r=\"4\" fill=\"none\" stroke=\"" + far +
                  "\" stroke-width=\"1.6\"/>\n",
              "true scale, to the 2nd position");
  y += 20.0;
  if (!map.marks.rings.empty()) {
    legendEntry(s, y,
                "<circle cx=\"" + px(kLegendLeft + 11.0) + "\" cy=\"" + px(y) +
                    "\" r=\"6\" fill=\"none\" stroke-width=\"1.5\" stroke=\"" + kPalette.upToTwice + "\"/>\n",
                "flagged in one cell, by count");
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
  const ShiftResults& results = map.results;
  const MapMarks& marks = map.marks;
  s += "<g id=\"legend\">\n";
  double y = kMapTop + 8.0;
  text(s, kLegendLeft, y, "Horizontal shift", " font-weight=\"bold\" font-size=\"14\"");
  y = writeLegendSymbols(s, map, y + 24.0) + 32.0;
  const std::string factor = shortNumber(map.view.factor, 3);
  std::vector<std::string> notes = {
      "Arrows " + factor + " times the shift" + (map.exaggerationGiven ? " (given)," : ","),
      "from the 1st-file position;"};
  if (!map.exaggerationGiven && map.typical.typical > 0.0)
    notes.push_back("the typical shift, " + moverLengthLabel(map.typical.typical) + ", draws " +
                    shortNumber(kArrowTargetPx, 1) + " units.");
  notes.push_back("Reference arrow: " + lengthLabel(map.referenceLength) + " of shift.");
  notes.push_back("Thick arrows: the median shift of a");
  notes.push_back(shortNumber(kCellPx, 1) + "-unit cell of " + std::to_string(kCellLeast) +
                  " pairs or more, with " + std::to_string(kBlockLeast));
  notes.push_back("or more in it and the 8 about it.");
  notes.push_back("Tolerance " + lengthLabel(map.view.tolerance) + "; 2nd file minus 1st.");
  notes.push_back("Scale bar: " + lengthLabel(scaleBarLength(map.mapWidth)) + " on the ground.");
  notes.push_back("Labels: the " + std::to_string(map.labels.size()) + " largest flagged movers.");
  for (const std::string& note : notes) {
    text(s, kLegendLeft, y, escapeMarkup(note));
    y += 17.0;
  }
  y += 12.0;
  text(s, kLegendLeft, y, withThousands(marks.order.size()) + " stations on the map:");
  y += 17.0;
  text(s, kLegendLeft, y,
       withThousands(marks.cellArrows.size()) + " cell arrows for " + withThousands(marks.cellMembers) +
           " pairs,");
  y += 17.0;
  text(s, kLegendLeft, y,
       withThousands(marks.singles.size() + marks.offScale.size() + marks.trueScale.size()) +
           " single arrows, " + withThousands(marks.rings.size()) + " rings for " +
           withThousands(marks.ringed) + ".");
  y += 28.0;
  text(s, kLegendLeft, y, "1st: " + escapeMarkup(results.run.first.name));
  y += 17.0;
  text(s, kLegendLeft, y, "2nd: " + escapeMarkup(results.run.second.name));
  y += 17.0;
  text(s, kLegendLeft, y, escapeMarkup(results.run.localTime), " font-size=\"10\"");
  s += "</g>\n";
}

// The map shows the stations' box (not their arrows, which the cap keeps
// within the margin), centred.
struct SvgView {
  MarkView view;
  double mapWidth = 0.0;  // metres
};
SvgView viewOf(const ShiftResults& results, const MapLayout& layout) {
  std::vector<MapPoint> onMap;
  for (std::size_t i = 0; i < results.rows.size(); ++i)
    if (isOnMap(results.rows[i])) onMap.push_back(layout.points[i]);
  const MapBounds bounds = boundsOf(onMap);
  const double mapWidth = mapWidthMetres(bounds, kMapAspect);
  MarkView view;
  view.width = kMapWidth;
  view.height = kMapHeight;
  view.pxPerMetre = kMapWidth / mapWidth;
  view.centreX = (bounds.minX + bounds.maxX) / 2.0;
  view.centreY = (bounds.minY + bounds.maxY) / 2.0;
  view.tolerance = results.run.horizontalTolerance;
  return {view, mapWidth};
}

TypicalShift typicalShiftOf(const std::vector<ShiftRow>& rows) {
  std::vector<double> shifts;
  for (const ShiftRow& row : rows)
    if (hasShifts(row.status)) shifts.push_back(row.horizontal);
  return robustTypicalShift(std::move(shifts));
}

}  // namespace

bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out) {
  const MapLayout layout = layoutMap(results, options);
  auto [view, mapWidth] = viewOf(results, layout);
  const TypicalShift typical = typicalShiftOf(results.rows);
  view.factor =
      options.exaggeration ? *options.exaggeration : viewExaggeration(typical.typical, view.pxPerMetre);
  SvgMap map{results,
             layout,
             view,
             mapWidth,
             typical,
             options.exaggeration.has_value(),
             viewReferenceLength(view.tolerance, view.factor * view.pxPerMetre),
             planMapMarks(results, layout.points, view, typical),
             {},
             "Station shifts: " + escapeMarkup(results.run.first.name) + " to " +
                 escapeMarkup(results.run.second.name)};
  map.labels = placeLabels(map.marks.labelItems, kMapWidth, kMapHeight, furnitureBoxes(map));
  std::string s;
  writeHeader(s, map);
  // In layers, all clipped to the map: dots, ordinary arrows (cells, then
  // singles, by class), stations in one file only, rings, true-scale lines,
  // off-scale arrows, labels.
  s += "<g id=\"map\" clip-path=\"url(#map-area)\">\n";
  writeStations(s, out, map);
  writeArrows(s, out, map);
  writeLoneStations(s, map);
  writeRings(s, map);
  writeTrueScale(s, map);
  for (std::size_t k = 0; k < kClasses.size(); ++k)
    writeArrowGroup(s, out, "off-scale", map.marks.offScale, k, "1.6");
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
