#include "compare/report_line.h"

#include "compare/inver.h"
#include "records/fixed_columns.h"

namespace tessovane2 {

StationShift stationShift(const POS_ELEV& first, const POS_ELEV& second) {
  const double latitudeDegrees = second.latitude - first.latitude;
  const double longitudeDegrees = second.longitude - first.longitude;
  const double elevation = second.elevation - first.elevation;
  const double position =
      shortLineInverse(second.latitude, second.longitude, first.latitude, first.longitude);
  return {latitudeDegrees * 3600, longitudeDegrees * 3600, elevation, position};
}

namespace {

// The line in one buffer, for the usual shifts; false when a shift needs the
// general formatting (then nothing was appended).
bool appendReportLineFast(std::string& out, const POS_ELEV& first, const StationShift& shift) {
  // The texts never exceed their widths (6, 5, 30); each shift takes at most
  // its width or kFixedFastMaxLength characters.
  char line[6 + 1 + 5 + 1 + 30 + 4 * (kFixedFastMaxLength + 1)];
  char* p = writeRight(line, first.pid.view(), 6);
  *p++ = ' ';
  p = writeRight(p, first.ssn.view(), 5);
  *p++ = ' ';
  p = writeRight(p, first.designation.view(), 30);
  if (!(p = writeFixedFast(p, shift.latitudeSeconds, 9, 5))) return false;
  *p++ = ' ';
  if (!(p = writeFixedFast(p, shift.longitudeSeconds, 9, 5))) return false;
  *p++ = ' ';
  if (!(p = writeFixedFast(p, shift.elevationMetres, 8, 3))) return false;
  *p++ = ' ';
  if (!(p = writeFixedFast(p, shift.positionMetres, 7, 3))) return false;
  out.append(line, static_cast<std::size_t>(p - line));
  return true;
}

}  // namespace

void appendReportLine(std::string& out, const POS_ELEV& first, const StationShift& shift) {
  if (appendReportLineFast(out, first, shift)) return;
  appendRight(out, first.pid.view(), 6);
  out += ' ';
  appendRight(out, first.ssn.view(), 5);
  out += ' ';
  appendRight(out, first.designation.view(), 30);
  appendFixed(out, shift.latitudeSeconds, 9, 5);
  out += ' ';
  appendFixed(out, shift.longitudeSeconds, 9, 5);
  out += ' ';
  appendFixed(out, shift.elevationMetres, 8, 3);
  out += ' ';
  appendFixed(out, shift.positionMetres, 7, 3);
}

}  // namespace tessovane2
