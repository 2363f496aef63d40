#include "shifts/output_formats.h"

#include <array>

#include "shifts/csv_writer.h"
#include "shifts/geojson_writer.h"
#include "shifts/html_report.h"
#include "shifts/page_options.h"
#include "shifts/svg_map.h"

namespace tessovane2::shifts {

namespace {

PageOptions pageOptions(const ShiftsOptions& options) {
  PageOptions page;
  page.exaggeration = options.exaggeration;
  return page;
}

const std::array<OutputFormat, 4> kFormats = {{
    {"csv", ".csv", "CSV",
     [](const ShiftResults& r, const ShiftsOptions&, std::ostream& f) { writeCsv(r, f); }},
    {"geojson", ".geojson", "GeoJSON",
     [](const ShiftResults& r, const ShiftsOptions&, std::ostream& f) { writeGeoJson(r, f); }},
    {"html", ".html", "HTML",
     [](const ShiftResults& r, const ShiftsOptions& o, std::ostream& f) {
       writeHtmlReport(r, pageOptions(o), f);
     }},
    {"svg", ".svg", "SVG",
     [](const ShiftResults& r, const ShiftsOptions& o, std::ostream& f) {
       writeSvgMap(r, pageOptions(o), f);
     }},
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
