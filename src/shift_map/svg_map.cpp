#include "shift_map/svg_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

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

std::string withThousands(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

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

bool writeSvgMap(const ShiftResults& results, const PageOptions& options, std::ostream& out) {
  const MapLayout layout = layoutMap(results, options);
  const SvgSelection selection = selectSvgRows(results.rows, options.svgStationLimit);
  const Frame frame{kMapWidth / layout.width, (layout.bounds.minX + layout.bounds.maxX) / 2.0,
                    (layout.bounds.minY + layout.bounds.maxY) / 2.0};
  const double tolerance = results.run.horizontalTolerance;
  const double arrowScale = layout.exaggeration * frame.scale;  // SVG units per metre of shift
  const std::string title = "Station shifts: " + escapeMarkup(results.run.first.name) + " to " +
                            escapeMarkup(results.run.second.name);

  std::string s;
  s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  s += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + px(kWidth) + "\" height=\"" +
       px(kHeight) + "\" viewBox=\"0 0 " + px(kWidth) + " " + px(kHeight) +
       "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n";
  s += "<title>" + title + "</title>\n";
  s += "<desc>Horizontal shifts, 2nd file minus 1st, drawn from each station's 1st-file position, "
       "exaggerated " +
       shortNumber(layout.exaggeration, 3) + " times; north up.</desc>\n";
  s += "<defs>\n<clipPath id=\"map-area\"><rect x=\"" + px(kMapLeft) + "\" y=\"" + px(kMapTop) +
       "\" width=\"" + px(kMapWidth) + "\" height=\"" + px(kMapHeight) + "\"/></clipPath>\n";
  const std::array<std::pair<const char*, ShiftClass>, 3> classes = {
      {{"within", ShiftClass::Within},
       {"up-to-twice", ShiftClass::UpToTwice},
       {"beyond-twice", ShiftClass::BeyondTwice}}};
  for (const auto& [name, shift] : classes) {
    s += "<marker id=\"head-" + std::string(name) +
         "\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"7\" markerHeight=\"7\" "
         "markerUnits=\"userSpaceOnUse\" orient=\"auto\"><path d=\"M0,1 L10,5 L0,9 z\" fill=\"" +
         shiftClassColour(shift) + "\"/></marker>\n";
  }
  s += "</defs>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  text(s, kMapLeft, 32.0, title, " font-size=\"18\" font-weight=\"bold\"");
  s += "<rect x=\"" + px(kMapLeft) + "\" y=\"" + px(kMapTop) + "\" width=\"" + px(kMapWidth) +
       "\" height=\"" + px(kMapHeight) + "\" fill=\"#fbfbf8\" stroke=\"#888888\"/>\n";
  out << s;
  s.clear();

  // Stations, then arrows by class, then the stations in one file only on top.
  s += "<g id=\"map\" clip-path=\"url(#map-area)\">\n<g id=\"stations\" fill=\"" +
       std::string(kPalette.station) + "\">\n";
  for (std::size_t i : selection.rows) {
    const ShiftRow& row = results.rows[i];
    if (row.status == ShiftStatus::OnlyInFirst || row.status == ShiftStatus::OnlyInSecond) continue;
    s += "<circle cx=\"" + px(frame.x(layout.points[i].x)) + "\" cy=\"" + px(frame.y(layout.points[i].y)) +
         "\" r=\"1.8\"/>\n";
  }
  s += "</g>\n";
  out << s;
  s.clear();
  for (const auto& [name, shift] : classes) {
    s += "<g id=\"arrows-" + std::string(name) + "\" stroke=\"" + shiftClassColour(shift) +
         "\" stroke-width=\"1.4\" fill=\"none\" marker-end=\"url(#head-" + name + ")\">\n";
    for (std::size_t i : selection.rows) {
      const ShiftRow& row = results.rows[i];
      if (!(row.horizontal > 0.0) || std::isnan(row.dn) || std::isnan(row.de)) continue;
      if (shiftClass(row.horizontal, tolerance) != shift) continue;
      s += "<path d=\"M" + px(frame.x(layout.points[i].x)) + "," + px(frame.y(layout.points[i].y)) + " l" +
           px(row.de * arrowScale) + "," + px(-row.dn * arrowScale) + "\"/>\n";
      if (s.size() > (1u << 16)) {
        out << s;
        s.clear();
      }
    }
    s += "</g>\n";
  }
  s += "<g id=\"only-in-1st\" fill=\"none\" stroke=\"" + std::string(kPalette.onlyInFirst) +
       "\" stroke-width=\"1.6\">\n";
  for (std::size_t i : selection.rows) {
    if (results.rows[i].status != ShiftStatus::OnlyInFirst) continue;
    s += "<rect x=\"" + px(frame.x(layout.points[i].x) - 4.0) + "\" y=\"" +
         px(frame.y(layout.points[i].y) - 4.0) + "\" width=\"8\" height=\"8\"/>\n";
  }
  s += "</g>\n<g id=\"only-in-2nd\" fill=\"" + std::string(kPalette.onlyInSecond) + "\">\n";
  for (std::size_t i : selection.rows) {
    if (results.rows[i].status != ShiftStatus::OnlyInSecond) continue;
    const double x = frame.x(layout.points[i].x), y = frame.y(layout.points[i].y);
    s += "<path d=\"M" + px(x) + "," + px(y - 5.0) + " l4.5,8 h-9 z\"/>\n";
  }
  s += "</g>\n<g id=\"movers\" font-size=\"11\" stroke=\"#ffffff\" stroke-width=\"3\" paint-order=\"stroke\" "
       "fill=\"#000000\">\n";
  const std::vector<std::size_t>& movers = results.summary.largestHorizontal;
  for (std::size_t k = 0; k < std::min(kLabelledMovers, movers.size()); ++k) {
    const std::size_t i = movers[k];
    if (i >= results.rows.size() || std::isnan(results.rows[i].de)) continue;
    const double x = frame.x(layout.points[i].x) + results.rows[i].de * arrowScale;
    const double y = frame.y(layout.points[i].y) - results.rows[i].dn * arrowScale;
    text(s, x + 5.0, y - 5.0, escapeMarkup(results.rows[i].pid));
  }
  s += "</g>\n</g>\n";

  // Scale bar (lower left), reference arrow (lower right), north arrow (upper right).
  const double bar = scaleBarLength(layout.width);
  const double barPx = bar * frame.scale;
  const double baseY = kMapTop + kMapHeight - 18.0;
  s += "<g id=\"scale-bar\" stroke=\"#000000\" stroke-width=\"1.5\" fill=\"none\"><path d=\"M" +
       px(kMapLeft + 16.0) + "," + px(baseY - 6.0) + " v6 h" + px(barPx) + " v-6\"/></g>\n";
  text(s, kMapLeft + 16.0 + barPx / 2.0, baseY - 10.0, lengthLabel(bar), " text-anchor=\"middle\"");
  const double reference = layout.referenceLength;
  const double referencePx = reference * arrowScale;
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

  // The legend.
  s += "<g id=\"legend\">\n";
  double y = kMapTop + 8.0;
  text(s, kLegendLeft, y, "Horizontal shift", " font-weight=\"bold\" font-size=\"14\"");
  y += 24.0;
  const std::string tol = lengthLabel(tolerance), twice = lengthLabel(2.0 * tolerance);
  const std::array<std::pair<ShiftClass, std::string>, 3> labels = {
      {{ShiftClass::Within, "up to " + tol},
       {ShiftClass::UpToTwice, tol + " to " + twice},
       {ShiftClass::BeyondTwice, "over " + twice}}};
  const std::array<const char*, 3> heads = {"within", "up-to-twice", "beyond-twice"};
  for (std::size_t k = 0; k < labels.size(); ++k) {
    legendEntry(s, y,
                "<path d=\"M" + px(kLegendLeft) + "," + px(y) + " h22\" stroke=\"" +
                    shiftClassColour(labels[k].first) + "\" stroke-width=\"1.4\" marker-end=\"url(#head-" +
                    heads[k] + ")\"/>\n",
                escapeMarkup(labels[k].second));
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
  y += 32.0;
  const std::array<std::string, 6> notes = {
      "Arrows " + shortNumber(layout.exaggeration, 3) + " times the shift" +
          (layout.exaggerationGiven ? " (given)" : ""),
      "from the 1st-file position;",
      "reference arrow: " + lengthLabel(reference) + " of shift.",
      "Tolerance " + tol + "; 2nd file minus 1st.",
      "Scale bar: " + lengthLabel(bar) + " on the ground.",
      "Labels: the " + std::to_string(std::min(kLabelledMovers, movers.size())) + " largest movers.",
  };
  for (const std::string& note : notes) {
    text(s, kLegendLeft, y, escapeMarkup(note));
    y += 17.0;
  }
  y += 12.0;
  const std::size_t total = results.rows.size();
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
  s += "</g>\n</svg>\n";
  out << s;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace tessovane2::shifts
