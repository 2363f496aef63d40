#include "support/builders.h"

#include <sstream>

namespace tessovane2::testing {

const std::string kBanner =
    "KOV program tessovane2    version: 1.4   date(ccyy/mm/dd): 2003/10/14\n"
    "   for help, enter \"tessovane2 -h\"\n"
    "\n";

const std::string kHeadings =
    "PID     SSN  Designation                    Latitude  Longitude   Elev    Posn\n"
    "        2nd                                 Shift     Shift       Shift   Shift\n"
    "        File                                (sec)     (sec)       (m)     (m)\n"
    "\n";

POS_ELEV station(std::string_view pid, std::string_view ssn, double latitude, double longitude,
                 std::string_view designation) {
  POS_ELEV s;
  s.pid.assign(pid);
  s.ssn.assign(ssn);
  s.designation.assign(designation);
  s.latitude = latitude;
  s.longitude = longitude;
  s.elevation = 10.0;
  return s;
}

std::string record80(const std::string& pid, const std::string& ssn, const std::string& designation,
                     const std::string& latitudeSeconds, const std::string& elevation) {
  std::string name = designation;
  name.resize(30, ' ');
  return pid + "*80 " + ssn + name + "3853" + latitudeSeconds + "N077021234567W" + elevation;
}

std::string record86(const std::string& ssn, const std::string& height, const std::string& pid) {
  return pid + "*86 " + ssn + "  " + height;
}

std::string lineWith(const std::string& text, const std::string& label) {
  const std::size_t start = text.find(label);
  if (start == std::string::npos) return "<none: " + label + ">";
  return text.substr(start, text.find('\n', start) - start);
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

}  // namespace tessovane2::testing
