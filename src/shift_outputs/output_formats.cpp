#include "shift_outputs/output_formats.h"

#include <array>

#include "shift_map/html_report.h"
#include "shift_map/page_options.h"
#include "shift_map/svg_map.h"
#include "shift_outputs/csv_writer.h"
#include "shift_outputs/geojson_writer.h"
#include "shift_outputs/qgis_style.h"

namespace tessovane2::shifts {

namespace {

// A CSV's .csvt and a GeoJSON's .qml go with their data file: GDAL and QGIS
// read them when they open it.
const OutputFile kCsvFiles[] = {
    {".csv", "CSV", [](const ShiftResults& r, const PageOptions&, std::ostream& f) { writeCsv(r, f); }},
    {".csvt", "CSV types",
     [](const ShiftResults& r, const PageOptions&, std::ostream& f) { writeCsvTypes(r, f); }},
};
const OutputFile kGeoJsonFiles[] = {
    {".geojson", "GeoJSON",
     [](const ShiftResults& r, const PageOptions&, std::ostream& f) { writeGeoJson(r, f); }},
    {".qml", "QGIS style",
     [](const ShiftResults& r, const PageOptions& o, std::ostream& f) { writeQgisStyle(r, o, f); }},
};
const OutputFile kHtmlFiles[] = {
    {".html", "HTML",
     [](const ShiftResults& r, const PageOptions& o, std::ostream& f) { writeHtmlReport(r, o, f); }},
};
const OutputFile kSvgFiles[] = {
    {".svg", "SVG",
     [](const ShiftResults& r, const PageOptions& o, std::ostream& f) { writeSvgMap(r, o, f); }},
};

const std::array<OutputFormat, 4> kFormats = {{
    {"csv", kCsvFiles},
    {"geojson", kGeoJsonFiles},
    {"html", kHtmlFiles},
    {"svg", kSvgFiles},
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
