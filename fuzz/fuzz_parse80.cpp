// parse80 on arbitrary bytes, with every SSN length and two invalid ones.
//
// Besides the sanitizers, each input checks what must hold for any record:
// the status is 1, 0 or -5; a refused record writes one three-line message
// quoting the record and leaves the station untouched; a taken record has
// finite coordinates; a record shorter than column 75 reads exactly as the
// same record padded with blanks; columns past 75 change nothing.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>

#include "records/parse80.h"

namespace {

using tessovane2::POS_ELEV;

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "parse80 fuzz: %s\n", what);
    std::abort();
  }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool sameStation(const POS_ELEV& a, const POS_ELEV& b) {
  return a.designation == b.designation && a.pid == b.pid && a.ssn == b.ssn &&
         sameBits(a.latitude, b.latitude) && sameBits(a.longitude, b.longitude) &&
         sameBits(a.elevation, b.elevation);
}

struct Parsed {
  int status;
  POS_ELEV station;
  std::string err;
};

Parsed parse(int ssnLength, std::string_view record) {
  Parsed parsed{};
  std::ostringstream err;
  parsed.status = tessovane2::parse80(ssnLength, record, parsed.station, err);
  parsed.err = err.str();
  return parsed;
}

// The first line of a message: it names the field and quotes its text, but
// not the record.
std::string_view firstLine(const std::string& text) {
  return std::string_view(text).substr(0, text.find('\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // libFuzzer hands over a buffer of exactly `size` bytes, so AddressSanitizer
  // catches any read past the end of the record.
  const std::string_view record(reinterpret_cast<const char*>(data), size);
  constexpr std::size_t kRecordLength = 75;

  for (const int ssnLength : {3, 4, 5, 0, 6, -1}) {
    const Parsed parsed = parse(ssnLength, record);
    const POS_ELEV& s = parsed.station;
    check(parsed.status == 1 || parsed.status == 0 || parsed.status == -5, "status");
    if (parsed.status == -5) {
      check(sameStation(s, POS_ELEV{}), "a refused record changed the station");
      check(parsed.err.rfind("Error: In parse80() - invalid ", 0) == 0, "message text");
      const std::string quoted = "\n       at record: \n" + std::string(record) + "\n";
      check(parsed.err.size() > quoted.size() &&
                parsed.err.compare(parsed.err.size() - quoted.size(), quoted.size(), quoted) == 0,
            "message does not quote the record");
    } else {
      check(parsed.err.empty(), "message for a taken record");
      check(std::isfinite(s.latitude) && std::isfinite(s.longitude) && std::isfinite(s.elevation),
            "coordinates not finite");
      check(parsed.status == 1 || s.elevation == 0.0, "blank elevation changed the elevation");
      const std::size_t ssnSize = ssnLength >= 3 && ssnLength <= 5 ? static_cast<std::size_t>(ssnLength) : 0;
      check(s.ssn.view().size() == ssnSize && s.pid.view().size() == 6 && s.designation.view().size() == 30,
            "field widths");
    }

    if (size < kRecordLength) {
      std::string padded(record);
      padded.resize(kRecordLength, ' ');
      const Parsed full = parse(ssnLength, padded);
      check(full.status == parsed.status && sameStation(full.station, s) &&
                firstLine(full.err) == firstLine(parsed.err),
            "a short record reads unlike the same record padded with blanks");
    } else if (size > kRecordLength) {
      const Parsed cut = parse(ssnLength, record.substr(0, kRecordLength));
      check(cut.status == parsed.status && sameStation(cut.station, s) &&
                firstLine(cut.err) == firstLine(parsed.err),
            "columns past 75 changed the result");
    }
  }
  return 0;
}
