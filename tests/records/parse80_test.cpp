// parse80: the *80 columns, the checks in order and their messages.
#include "records/parse80.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tessovane2 {
namespace {

// PID 1-6, code 7-9, SSN 10-14, designation 15-44 (trailing blanks kept),
// latitude 45-55, column 56, longitude 57-68, column 69, elevation 70-75.
const std::string kRecord = std::string("AB1234") + "*80" + "01234" + "HOLLOWAY RESET 1934           " +
                            "38" + "53" + "2345678" + "N" + "077" + "02" + "1234567" + "W" + "012345" +
                            " ignored";

std::string with(std::string record, std::size_t column, const std::string& text) {
  return record.replace(column - 1, text.size(), text);
}

double degrees(double d, double m, double s) { return ((s * 0.00001) * (1.0 / 60.0) + m) * (1.0 / 60.0) + d; }

struct Parsed {
  int status;
  POS_ELEV station;
  std::string err;
};

Parsed parse(const std::string& record, int ssnLength = 5, double elevationBefore = 0.0) {
  Parsed p{};
  p.station.elevation = elevationBefore;
  std::ostringstream err;
  p.status = parse80(ssnLength, record, p.station, err);
  p.err = err.str();
  return p;
}

std::string refusal(const std::string& what, const std::string& field, const std::string& record) {
  return "Error: In parse80() - invalid " + what + ": " + field + "\n       at record: \n" + record + "\n";
}

TEST(Parse80, RealisticRecordFillsEveryField) {
  ASSERT_EQ(kRecord.size(), 83u);
  const Parsed p = parse(kRecord);
  EXPECT_EQ(p.status, kParsedWithElevation);
  EXPECT_EQ(p.err, "");
  EXPECT_EQ(p.station.pid.view(), "AB1234");
  EXPECT_EQ(p.station.ssn.view(), "01234");
  EXPECT_EQ(p.station.designation.view(), "HOLLOWAY RESET 1934           ");
  EXPECT_EQ(p.station.latitude, degrees(38, 53, 2345678));
  EXPECT_NEAR(p.station.latitude, 38.8898491055, 1e-10);
  EXPECT_EQ(p.station.longitude, degrees(77, 2, 1234567));
  EXPECT_EQ(p.station.elevation, 123.45);
  EXPECT_EQ(p.station.latitudeHemisphere, 'N');
  EXPECT_EQ(p.station.longitudeHemisphere, 'W');
  // A record cut short before column 56 reads as blank letters.
  const Parsed shortRecord = parse(kRecord.substr(0, 55));
  EXPECT_EQ(shortRecord.station.latitudeHemisphere, ' ');
  EXPECT_EQ(shortRecord.station.longitudeHemisphere, ' ');
}

TEST(Parse80, AcceptedFields) {
  struct Case {
    std::size_t column;
    std::string text;
    double latitude, elevation;
    int status;
  };
  const Case cases[] = {
      {49, "       ", degrees(38, 53, 0), 123.45, 1},         // blank seconds: 0
      {49, "23456.7", degrees(38, 53, 23456.7), 123.45, 1},   // point written, still x 0.00001
      {49, " 1e-999", degrees(38, 53, 0), 123.45, 1},         // underflows to 0, wholly numeric
      {49, " 12\t   ", degrees(38, 53, 12), 123.45, 1},       // trimmed both sides
      {45, "00000000313", 8.694444444444445e-07, 123.45, 1},  // s / 1e5 or / 60 differ
      {70, "      ", degrees(38, 53, 2345678), 7.5, 0},       // no elevation: left untouched
      {70, "  1234", degrees(38, 53, 2345678), 12.34, 1},
      {70, "-01234", degrees(38, 53, 2345678), -12.34, 1},
      {56, "S", degrees(38, 53, 2345678), 123.45, 1},  // the letters never sign the angles
      {69, "E", degrees(38, 53, 2345678), 123.45, 1},
  };
  for (const Case& c : cases) {
    const Parsed p = parse(with(kRecord, c.column, c.text), 5, 7.5);
    EXPECT_EQ(p.status, c.status) << c.text;
    EXPECT_EQ(p.err, "") << c.text;
    EXPECT_EQ(p.station.latitude, c.latitude) << c.text;
    EXPECT_EQ(p.station.longitude, degrees(77, 2, 1234567)) << c.text;
    EXPECT_EQ(p.station.elevation, c.elevation) << c.text;
  }
}

TEST(Parse80, RefusedFieldsWriteOneMessageAndStoreNothing) {
  struct Case {
    std::size_t column;
    std::string text, what, quoted;
  };
  const Case cases[] = {
      {49, " 234 56", "latitude seconds", "234 56"},   // inner blank
      {49, "9e99999", "latitude seconds", "9e99999"},  // infinite: mend for overflowing numbers
      {62, "12x4567", "longitude seconds", "12x4567"}, {62, "9.9e308", "longitude seconds", "9.9e308"},
      {70, "12  34", "elevation", "12  .34"},  // blanks before the point
      {70, "1234  ", "elevation", "1234.  "},
  };
  for (const Case& c : cases) {
    const std::string record = with(kRecord, c.column, c.text);
    const Parsed p = parse(record, 5, 7.5);
    EXPECT_EQ(p.status, kRefused) << c.text;
    EXPECT_EQ(p.err, refusal(c.what, c.quoted, record));
    EXPECT_EQ(p.station.pid.view(), "");
    EXPECT_EQ(p.station.latitude, 0.0);
    EXPECT_EQ(p.station.elevation, 7.5);
  }
  // Refused for its latitude: the bad longitude and elevation give no second message.
  const std::string record = with(with(with(kRecord, 49, "1 2    "), 62, "x"), 70, "x");
  EXPECT_EQ(parse(record).err, refusal("latitude seconds", "1 2", record));
}

TEST(Parse80, SsnColumnsByLength) {
  const std::string record = with(kRecord, 10, "56789");
  EXPECT_EQ(parse(record, 5).station.ssn.view(), "56789");
  EXPECT_EQ(parse(record, 4).station.ssn.view(), "6789");
  EXPECT_EQ(parse(record, 3).station.ssn.view(), "678");
  const Parsed invalid = parse(record, 6);
  EXPECT_EQ(invalid.status, kParsedWithElevation);
  EXPECT_EQ(invalid.station.ssn.view(), "");
  EXPECT_EQ(invalid.station.pid.view(), "AB1234");
}

// Mend for short lines: a record is read as if padded with blanks to column 75.
TEST(Parse80, ShortRecordsReadAsPadded) {
  const std::string padded = with(kRecord.substr(0, 75), 70, "      ");
  const std::string stripped = kRecord.substr(0, 69);  // exactly 69 characters
  const Parsed full = parse(padded);
  const Parsed cut = parse(stripped);
  EXPECT_EQ(cut.status, kParsedWithoutElevation);
  EXPECT_EQ(cut.status, full.status);
  EXPECT_EQ(cut.station.designation.view(), full.station.designation.view());
  EXPECT_EQ(cut.station.latitude, full.station.latitude);
  EXPECT_EQ(cut.station.longitude, full.station.longitude);

  const Parsed seventyTwo = parse(kRecord.substr(0, 72));  // "012" then blanks: "012 .  "
  EXPECT_EQ(seventyTwo.status, kRefused);
  EXPECT_EQ(seventyTwo.err, refusal("elevation", "012 .  ", kRecord.substr(0, 72)));

  const Parsed tiny = parse("AB1234*80 0123HOLLOWAY");  // shorter than column 44
  EXPECT_EQ(tiny.status, kParsedWithoutElevation);
  EXPECT_EQ(tiny.station.designation.view(), "HOLLOWAY" + std::string(22, ' '));
  EXPECT_EQ(tiny.station.ssn.view(), " 0123");
  EXPECT_EQ(tiny.station.latitude, 0.0);

  const std::string badShort = kRecord.substr(0, 51) + " 3";  // message quotes it unpadded
  EXPECT_EQ(parse(badShort).err, refusal("latitude seconds", "234 3", badShort));
}

}  // namespace
}  // namespace tessovane2
