#include "shift_outputs/output_formats.h"

#include <array>

#include "shift_map/html_report.h"
#include "shift_map/svg_map.h"
#include "shift_outputs/csv_writer.h"
#include "shift_outputs/geojson_writer.h"

namespace tessovane2::shifts {

namespace {

const std::array<OutputFormat, 4> kFormats = {{
    {"csv", ".csv", "CSV",
     [](const ShiftResults& r, const PageOptions&, std::ostream& f) { writeCsv(r, f); }},
    {"geojson", ".geojson", "GeoJSON",
     [](const ShiftResults& r, const PageOptions&, std::ostream& f) { writeGeoJson(r, f); }},
    {"html", ".html", "HTML",
     [](const ShiftResults& r, const PageOptions& o, std::ostream& f) { writeHtmlReport(r, o, f); }},
    {"svg", ".svg", "SVG",
     [](const ShiftResults& r, const PageOptions& o, std::ostream& f) { writeSvgMap(r, o, f); }},
}};

}  // namespace

std::span<const OutputFormat> outputFormats() { return kFormats; }

const OutputFormat* findFormat(std::string_view name) {
  for (const OutputFormat& format : kFormats) {
    if (format.name == name) return &format;
  }
  return nullptr;
}

}  // namespace tessovane2::shifts
