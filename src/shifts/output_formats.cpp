#include "shifts/output_formats.h"

#include <array>

#include "shifts/csv_writer.h"
#include "shifts/geojson_writer.h"

namespace tessovane2::shifts {

namespace {

const std::array<OutputFormat, 2> kFormats = {{
    {"csv", ".csv", "CSV",
     [](const ShiftResults& r, const ShiftsOptions&, std::ostream& f) { writeCsv(r, f); }},
    {"geojson", ".geojson", "GeoJSON",
     [](const ShiftResults& r, const ShiftsOptions&, std::ostream& f) { writeGeoJson(r, f); }},
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
