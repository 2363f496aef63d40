// Builders shared by the tests: stations, records, and the texts every run
// writes the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "records/pos_elev.h"

namespace tessovane2::testing {

// The three banner lines every run starts with on standard error.
extern const std::string kBanner;

// The six prompts and the line end after the last answer.
inline const std::string kPrompts =
    "Enter 1st Quillane filename: Enter 2nd Quillane filename: Enter the output filename:   "
    "Enter the maximum shift tolerance (meters):   Enter the SSN length in the 2nd file (3,4,5): "
    "Enter the match type, SSN or PID (S,s,P,p):   \n";
// An *80 record: PID AB0001, SSN 0001, 12.34 m high.
inline const std::string kStation =
    "AB0001*80 0001STATION 0001                  38532345678N077021234567W001234\n";

// The column headings and the empty line after them, as in the report and
// the statistics file.
extern const std::string kHeadings;

// A station as loading stores it (elevation 10 m).
POS_ELEV station(std::string_view pid, std::string_view ssn, double latitude = 38.5,
                 double longitude = -77.25, std::string_view designation = "MARK");

// An *80 record of 75 columns for 4-digit SSNs: PID 1-6, SSN 11-14,
// designation 15-44, latitude 38 53 and seconds 49-55 (five implied
// decimals), longitude 077 02 12.34567 W, elevation 70-75 (two implied
// decimals). No line end.
std::string record80(const std::string& pid, const std::string& ssn,
                     const std::string& designation = "STATION",
                     const std::string& latitudeSeconds = "2345678", const std::string& elevation = "001234");

// An *86 record: SSN 11-14, height 17-23 (three implied decimals). No line end.
std::string record86(const std::string& ssn, const std::string& height, const std::string& pid = "      ");

// The line of `text` that starts with `label`, without its line end.
std::string lineWith(const std::string& text, const std::string& label);

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

}  // namespace tessovane2::testing
