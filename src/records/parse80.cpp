#include "records/parse80.h"

#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>

#include "records/conversions.h"
#include "records/record_columns.h"
#include "records/trim.h"

namespace tessovane2 {

namespace {

void writeRefusal(std::ostream& err, std::string_view what, std::string_view field,
                  std::string_view record) {
  err << "Error: In parse80() - invalid " << what << ": " << field << '\n' << std::flush;
  err << "       at record: " << '\n' << std::flush;
  err << record << '\n' << std::flush;
}

// A field is a usable number when the conversion took all of it and gave a
// finite value (a seconds field of 9e99999 would otherwise be infinite).
bool usable(const RealConversion& c, std::string_view text) {
  return whollyNumeric(c, text) && std::isfinite(c.value);
}

// A field of digits only, the usual case, converts without looking for
// blanks, signs, points or exponents; its value is the one the general
// conversions give. Fields are at most 7 digits, so nothing overflows.
bool allDigits(std::string_view field, std::uint64_t& value) {
  value = 0;
  for (const char c : field) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return !field.empty();
}

long long integerField(std::string_view field) {
  std::uint64_t value = 0;
  if (allDigits(field, value)) return static_cast<long long>(value);
  return toInteger(field).value;
}

// Seconds columns: digits with five implied decimals, blanks allowed around
// them. False when the trimmed text (left in `text` for the message) is not
// a usable number.
bool secondsField(std::string_view field, double& seconds, std::string_view& text) {
  std::uint64_t digits = 0;
  if (allDigits(field, digits)) {
    seconds = static_cast<double>(digits);
    return true;
  }
  text = trimmedView(field, 'B');
  const RealConversion c = toReal(text);
  seconds = c.value;
  return usable(c, text);
}

// degrees, minutes and seconds (in units of 0.00001 second) to decimal
// degrees; s * 0.00001 is rounded to a double before the rest.
double decimalDegrees(long long degrees, long long minutes, double seconds) {
  const double scaledSeconds = seconds * 0.00001;
  return (scaledSeconds * (1.0 / 60.0) + static_cast<double>(minutes)) * (1.0 / 60.0) +
         static_cast<double>(degrees);
}

}  // namespace

int parse80(int ssnLength, std::string_view record, POS_ELEV& station, std::ostream& err) {
  char padding[kPositionRecordLength];
  const std::string_view line = paddedRecord(record, padding);

  // Columns 49-55 and 62-68 hold seconds with five implied decimals.
  double latitudeS = 0.0;
  std::string_view latitudeSeconds;
  if (!secondsField(columns(line, 49, 55), latitudeS, latitudeSeconds)) {
    writeRefusal(err, "latitude seconds", latitudeSeconds, record);
    return kRefused;
  }
  const double latitude = decimalDegrees(integerField(columns(line, 45, 46)),
                                         integerField(columns(line, 47, 48)), latitudeS);

  double longitudeS = 0.0;
  std::string_view longitudeSeconds;
  if (!secondsField(columns(line, 62, 68), longitudeS, longitudeSeconds)) {
    writeRefusal(err, "longitude seconds", longitudeSeconds, record);
    return kRefused;
  }
  const double longitude = decimalDegrees(integerField(columns(line, 57, 59)),
                                          integerField(columns(line, 60, 61)), longitudeS);

  // Columns 70-75: elevation in metres with two implied decimals; the point
  // goes between columns 73 and 74. Six blanks mean no elevation.
  int status = kParsedWithoutElevation;
  const std::string_view elevationColumns = columns(line, 70, 75);
  std::uint64_t hundredths = 0;
  if (allDigits(elevationColumns, hundredths)) {
    // Exactly the value of the text "dddd.dd": the digits over 100.
    station.elevation = static_cast<double>(hundredths) / 100.0;
    status = kParsedWithElevation;
  } else if (elevationColumns != "      ") {
    char text[7];
    const std::string_view whole = elevationColumns.substr(0, 4);
    std::copy(whole.begin(), whole.end(), text);
    text[4] = '.';
    text[5] = elevationColumns[4];
    text[6] = elevationColumns[5];
    const std::string_view elevationText(text, sizeof text);
    const RealConversion elevation = toReal(elevationText);
    if (!usable(elevation, elevationText)) {
      writeRefusal(err, "elevation", elevationText, record);
      return kRefused;
    }
    station.elevation = elevation.value;
    status = kParsedWithElevation;
  }

  station.designation.assign(columns(line, 15, 44));
  station.pid.assign(columns(line, 1, 6));
  station.ssn.assign(ssnColumns(line, ssnLength));
  station.latitude = latitude;
  station.longitude = longitude;
  return status;
}

}  // namespace tessovane2
