#include "shift_outputs/qgis_style.h"

#include <charconv>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>

#include "format/text_escape.h"
#include "geodesy/ellipsoid.h"
#include "shift_map/map_geometry.h"
#include "shift_map/map_layout.h"

namespace tessovane2::shifts {

namespace {

// Decimals of the numbers written into the expressions: enough for any
// factor or tolerance given on the command line.
constexpr int kStyleDecimals = 9;

std::string number(double value) { return shortNumber(value, kStyleDecimals); }

// "#0072b2" as QGIS writes a colour: "0,114,178,255".
std::string qgisColour(std::string_view hex) {
  const auto channel = [&](std::size_t at) {
    unsigned value = 0;
    std::from_chars(hex.data() + at, hex.data() + at + 2, value, 16);
    return std::to_string(value);
  };
  return channel(1) + "," + channel(3) + "," + channel(5) + ",255";
}

void prop(std::string& out, std::string_view key, std::string_view value) {
  out += "<prop k=\"";
  out += key;
  out += "\" v=\"";
  out += escapeMarkup(value);
  out += "\"/>";
}

void openSymbol(std::string& out, std::string_view type, std::string_view namePrefix, std::string_view name,
                std::string_view nameSuffix) {
  out += "<symbol type=\"";
  out += type;
  out += "\" name=\"";
  out += namePrefix;
  out += name;
  out += nameSuffix;
  out += "\" alpha=\"1\" clip_to_extent=\"1\" force_rhr=\"0\">";
}

std::string marker(std::string_view shape, double sizeMm, std::string_view fill, std::string_view outline,
                   double outlineMm) {
  std::string out = "<layer class=\"SimpleMarker\" enabled=\"1\" locked=\"0\" pass=\"0\">";
  prop(out, "name", shape);
  prop(out, "size", number(sizeMm));
  prop(out, "size_unit", "MM");
  prop(out, "color", fill.empty() ? "0,0,0,0" : qgisColour(fill));
  prop(out, "outline_style", outline.empty() ? "no" : "solid");
  prop(out, "outline_color", outline.empty() ? "0,0,0,0" : qgisColour(outline));
  prop(out, "outline_width", number(outlineMm));
  prop(out, "outline_width_unit", "MM");
  out += "</layer>";
  return out;
}

// The arrow: a geometry generator whose line symbol is QGIS's arrow, filled
// with the class's colour.
std::string arrow(std::string_view name, double exaggeration, std::string_view colour) {
  std::string out = "<layer class=\"GeometryGenerator\" enabled=\"1\" locked=\"0\" pass=\"0\">";
  prop(out, "SymbolType", "Line");
  prop(out, "geometryModifier", qgisArrowExpression(exaggeration));
  prop(out, "units", "MapUnit");
  openSymbol(out, "line", "@", name, "@1");
  out += "<layer class=\"ArrowLine\" enabled=\"1\" locked=\"0\" pass=\"0\">";
  prop(out, "arrow_width", "0.4");
  prop(out, "arrow_width_unit", "MM");
  prop(out, "arrow_start_width", "0.4");
  prop(out, "arrow_start_width_unit", "MM");
  prop(out, "head_length", "1.8");
  prop(out, "head_length_unit", "MM");
  prop(out, "head_thickness", "1.2");
  prop(out, "head_thickness_unit", "MM");
  prop(out, "head_type", "0");
  prop(out, "arrow_type", "0");
  prop(out, "is_curved", "0");
  prop(out, "is_repeated", "0");
  openSymbol(out, "fill", "@@", name, "@1@0");
  out += "<layer class=\"SimpleFill\" enabled=\"1\" locked=\"0\" pass=\"0\">";
  prop(out, "color", qgisColour(colour));
  prop(out, "style", "solid");
  prop(out, "outline_style", "no");
  out += "</layer></symbol></layer></symbol></layer>";
  return out;
}

struct Rule {
  std::string filter;
  std::string label;
  std::string symbol;  // the <layer> elements of its marker symbol
};

}  // namespace

std::string qgisArrowExpression(double exaggeration) {
  // Metres to degrees at the station's latitude phi on GRS80 (Torge,
  // Geodesy, 4th ed., 6.2): east de / (N cos phi), north dn / M, with
  // N = a / w, M = a (1 - e^2) / w^3 and w = sqrt(1 - e^2 sin^2 phi), the
  // radii of curvature the page's map uses at its centre latitude.
  const std::string a = number(geodesy::kGrs80SemiMajorAxis);
  const std::string e2 = shortNumber(geodesy::kGrs80EccentricitySquared, 17);
  const std::string k = number(exaggeration);
  return "CASE WHEN \"horizontal\" > 0 THEN with_variable('w', sqrt(1 - " + e2 +
         " * sin(radians(\"lat1\"))^2), make_line(make_point(\"lon1\", \"lat1\"), make_point(\"lon1\" + "
         "degrees(\"de\" * " +
         k + " * @w / (" + a + " * cos(radians(\"lat1\")))), \"lat1\" + degrees(\"dn\" * " + k +
         " * @w^3 / (" + a + " * (1 - " + e2 + ")))))) END";
}

void writeQgisStyle(const ShiftResults& results, const PageOptions& options, std::ostream& file) {
  const double exaggeration = layoutMap(results, options).exaggeration;
  const double tolerance = results.run.horizontalTolerance;
  const std::string twice = number(2.0 * tolerance);
  const std::string over = "\"status\" IN ('over_horizontal', 'over_both')";
  const std::string dot = marker("circle", 1.2, kPalette.station, "", 0.0);
  const Rule rules[] = {
      {"\"status\" IN ('matched', 'over_vertical')", "up to " + lengthLabel(tolerance),
       dot + arrow("0", exaggeration, kPalette.within)},
      {over + " AND \"horizontal\" <= " + twice,
       lengthLabel(tolerance) + " to " + lengthLabel(2.0 * tolerance),
       dot + arrow("1", exaggeration, kPalette.upToTwice)},
      {over + " AND \"horizontal\" > " + twice, "over " + lengthLabel(2.0 * tolerance),
       dot + arrow("2", exaggeration, kPalette.beyondTwice)},
      {"\"status\" = 'only_in_1st'", "only in the 1st file",
       marker("square", 2.4, "", kPalette.onlyInFirst, 0.4)},
      {"\"status\" = 'only_in_2nd'", "only in the 2nd file",
       marker("triangle", 2.8, kPalette.onlyInSecond, "", 0.0)},
  };

  std::string out =
      "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>\n"
      "<qgis version=\"3.22.0\" styleCategories=\"Symbology\">\n"
      "<!-- tessovane2_shifts: the shift arrows exaggerated " +
      number(exaggeration) +
      " times, the network's whole-map factor; the page re-chooses its own per view -->\n"
      "<renderer-v2 type=\"RuleRenderer\" symbollevels=\"0\" enableorderby=\"0\" forceraster=\"0\">\n<rules "
      "key=\"root\">\n";
  for (std::size_t i = 0; i < std::size(rules); ++i) {
    out += "<rule key=\"rule" + std::to_string(i) + "\" symbol=\"" + std::to_string(i) + "\" filter=\"" +
           escapeMarkup(rules[i].filter) + "\" label=\"" + escapeMarkup(rules[i].label) + "\"/>\n";
  }
  out += "</rules>\n<symbols>\n";
  for (std::size_t i = 0; i < std::size(rules); ++i) {
    openSymbol(out, "marker", "", std::to_string(i), "");
    out += rules[i].symbol;
    out += "</symbol>\n";
  }
  out += "</symbols>\n</renderer-v2>\n<layerGeometryType>0</layerGeometryType>\n</qgis>\n";
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
}

}  // namespace tessovane2::shifts
