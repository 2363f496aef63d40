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

void appendReportLine(std::string& out, const POS_ELEV& first, const StationShift& shift) {
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
