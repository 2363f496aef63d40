// The rows' count from the key chains, and the position check from the
// fields parse80 reads.
#include "shifts/shift_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "records/parse80.h"
#include "shifts/position_check.h"
#include "support/builders.h"

namespace tessovane2::shifts {
namespace {

// Pins the fault where blank keys paired every station of one file with
// every one of the other before any limit could be checked: the count must
// be the rows' number without making them.
TEST(ShiftRows, CountFromTheKeyChainsIsTheNumberOfRows) {
  std::mt19937 random(19);
  const char* keys[] = {"0001", "0002", "0003", "    ", ""};
  for (int round = 0; round < 20; ++round) {
    StationTable first, second;
    for (int i = 0; i < 40; ++i) first.push_back(testing::station("AB0001", keys[random() % 5]));
    for (int i = 0; i < 30; ++i) second.push_back(testing::station("AB0001", keys[random() % 5]));
    for (const bool pairBlankKeys : {false, true}) {
      const PairingRule rule{MatchKey::Ssn, pairBlankKeys};
      const StationPairing pairing(first, second, rule.key);
      const std::vector<ShiftRow> rows = shiftRows(first, second, pairing, rule, {0.05, std::nullopt});
      EXPECT_EQ(shiftRowCount(first, second, pairing, rule), rows.size()) << round << pairBlankKeys;
      std::size_t noKey = 0;
      for (const ShiftRow& row : rows) noKey += row.status == ShiftStatus::NoKey;
      std::size_t blank = 0;
      for (const StationTable* table : {&first, &second}) {
        for (const POS_ELEV& s : *table)
          blank += s.ssn.view().find_first_not_of(' ') == std::string_view::npos;
      }
      EXPECT_EQ(noKey, pairBlankKeys ? 0 : blank) << round;
    }
  }
}

// Pins the fault where 96 48 W with a minus sign in its degree field became
// 95.199 E, and minutes of 75 a later degree, with no word.
TEST(PositionCheck, AnglesTheFormatCannotMean) {
  const struct {
    const char* what;
    std::string latitude, longitude;  // 11 and 12 columns
    std::string faults;
  } cases[] = {
      {"a good position", "41100000000", "096480000000", ""},
      {"latitude minutes 60", "41600000000", "096480000000", "latitude minutes 60 or more"},
      {"latitude seconds 60", "41106000000", "096480000000", "latitude seconds 60 or more"},
      {"59.99999 seconds are good", "41105999999", "096485999999", ""},
      {"a minus sign in the degrees", "41100000000", "-96480000000", "minus sign in the longitude"},
      {"a minus sign in the minutes", "41-50000000", "096480000000", "minus sign in the latitude"},
      {"a latitude over 90", "90000000001", "096480000000", "latitude over 90 degrees"},
      {"90 00 00 is good", "90000000000", "096480000000", ""},
      {"W 359 is good", "41100000000", "359595999999", ""},
      {"longitude 360", "41100000000", "360000000000", "longitude of 360 degrees or more"},
      {"two faults", "41600000000", "096750000000",
       "latitude minutes 60 or more; longitude minutes 60 or more"},
  };
  for (const auto& c : cases) {
    std::string record = testing::record80("AB0001", "0001");
    record.replace(44, 11, c.latitude);
    record.replace(56, 12, c.longitude);
    POS_ELEV station;
    std::ostringstream err;
    ASSERT_NE(parse80(4, record, station, err), kRefused) << c.what;
    EXPECT_EQ(positionFaults(station), c.faults) << c.what;
    EXPECT_EQ(isBadPosition(station), !c.faults.empty()) << c.what;
  }
}

}  // namespace
}  // namespace tessovane2::shifts
