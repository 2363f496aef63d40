// The short cuts for the usual fields (digit runs in, moderate values out)
// must give exactly what the full conversions give: strtod's value for a
// digit run, to_chars' (printf's) digits for a fixed-point field, in a
// string or in a buffer.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "format/fixed_columns.h"
#include "records/conversions.h"

namespace tessovane2 {
namespace {

struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 2685821657736338717ULL;
  }
};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(NumberFastPath, DigitRunsConvertLikeStrtod) {
  std::vector<std::string> texts = {"0.1",
                                    "2.675",
                                    "1448.63",
                                    "-0",
                                    "+.5",
                                    "0000000",
                                    "9007199254740992",
                                    "9007199254740993",  // 2^53, 2^53 + 1
                                    "123456789012345678",
                                    "0.0000000000000000000001",
                                    "1234.5678901234567890123"};
  Random random{7};
  for (int k = 0; k < 100000; ++k) {
    std::string text = (random.next() % 4 == 0) ? "-" : "";
    const int digits = 1 + static_cast<int>(random.next() % 18);
    const int point =
        static_cast<int>(random.next() % static_cast<unsigned>(digits + 2));  // digits + 1: none
    for (int i = 0; i < digits; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + random.next() % 10);
    }
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const double expected = std::strtod(text.c_str(), nullptr);
    EXPECT_TRUE(sameBits(toReal(text).value, expected)) << text;
  }
}

TEST(NumberFastPath, FixedDigitsLikeToChars) {
  std::vector<double> values = {0.0,
                                -0.0,
                                -1e-9,
                                0.0005,
                                -0.0005,
                                0.125,
                                2.5e-6,
                                1e15,
                                4.5e15,
                                -123456.789,
                                0.30000000000000004,
                                0.99996,
                                -9.9999999999,
                                123456789.123456789};
  Random random{11};
  for (int k = 0; k < 50000; ++k) {
    const double unit = (k % 2) ? 1e3 : 1e5;
    const double magnitude = static_cast<double>(random.next() % 100000000) / 1000.0;
    // Halfway cases and their neighbours, then plain shifts of all sizes.
    const double halfway = (std::floor(magnitude) + 0.5) / unit;
    values.push_back(halfway);
    values.push_back(std::nextafter(halfway, 0.0));
    values.push_back(-std::nextafter(halfway, 1e300));
    values.push_back((static_cast<double>(random.next() % 2000001) - 1e6) * 1e-5 * 3600);
  }
  for (double value : values) {
    for (int decimals : {0, 1, 2, 3, 4, 5, 9}) {
      char buffer[400];
      const auto end =
          std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
      std::string text;
      appendFixed(text, value, 0, decimals);
      EXPECT_EQ(text, std::string(buffer, end)) << value << " with " << decimals << " decimals";

      // The buffer variant writes the same field.
      std::string field;
      appendFixed(field, value, 9, decimals);
      char direct[kFixedMaxLength];
      const char* directEnd = writeFixed(direct, value, 9, decimals);
      EXPECT_EQ(std::string(direct, static_cast<std::size_t>(directEnd - direct)), field) << value;

      // The files' writer: the same digits, appended, without the sign of a
      // zero.
      std::string expected = "x" + text;
      if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) expected.erase(1, 1);
      std::string decimal = "x";
      appendDecimal(decimal, value, decimals);
      EXPECT_EQ(decimal, expected) << value;
    }
  }
}

TEST(NumberFastPath, FieldRunsAsTheirNumbersOneByOne) {
  // Wide numbers, so that the run's buffer fills and is appended midway.
  std::vector<DecimalField> fields;
  std::string expected = "x";
  for (int k = 0; k < 40; ++k) {
    const double value = k % 5 == 4 ? std::nan("") : (k % 2 ? -1.0 : 1.0) * std::pow(10.0, 10 * (k % 31));
    fields.push_back({k % 3 ? "," : R"(,"name":)", value, k % 10});
    expected += fields.back().before;
    if (!appendDecimal(expected, value, k % 10)) expected += "null";
  }
  std::string run = "x";
  appendDecimalFields(run, fields, "null");
  EXPECT_EQ(run, expected);
}

}  // namespace
}  // namespace tessovane2
