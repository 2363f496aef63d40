// The fixed-column number conversions.
#include "records/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tessovane2 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ToReal, LongestNumericPrefixAndWhereItStopped) {
  struct Case {
    std::string text;
    double value;
    std::size_t end;
  };
  const Case cases[] = {
      {"5abc", 5.0, 1},      {"2.5m", 2.5, 3},     {"-1", -1.0, 2},     {"0", 0.0, 1},
      {"", 0.0, 0},          {".5", 0.5, 2},       {"+.5", 0.5, 3},     {"1e3", 1000.0, 3},
      {"1e", 1.0, 1},        {"1e+", 1.0, 1},      {"abc", 0.0, 0},     {"0abc", 0.0, 1},
      {".", 0.0, 0},         {"inf", 0.0, 0},      {"nan", 0.0, 0},     {"0x10", 0.0, 1},
      {"5.", 5.0, 2},        {"1E-2x", 0.01, 4},   {"+-5", 0.0, 0},     {"   ", 0.0, 0},
      {"1e999", kInf, 5},    {"-2e400", -kInf, 6}, {" 1e-999", 0.0, 7}, {"\t\t 3.25", 3.25, 7},
      {"\n\v\f\r7", 7.0, 5}, {"0.1", 0.1, 3},
  };
  for (const Case& c : cases) {
    const RealConversion r = toReal(c.text);
    EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
    EXPECT_EQ(r.end, c.end) << '"' << c.text << '"';
  }
  EXPECT_TRUE(std::signbit(toReal("-0").value));
  EXPECT_EQ(toReal("-0").end, 2u);
  EXPECT_TRUE(whollyNumeric(toReal(""), ""));
  EXPECT_TRUE(whollyNumeric(toReal(" 1e-999"), " 1e-999"));
  EXPECT_FALSE(whollyNumeric(toReal("2.5m"), "2.5m"));
}

TEST(ToInteger, SignDigitsAndStop) {
  struct Case {
    std::string text;
    long long value;
  };
  const Case cases[] = {{"38", 38}, {"-12", -12}, {"+7", 7}, {"7x", 7}, {"  ", 0},
                        {"", 0},    {" 05", 5},   {"-", 0},  {"x7", 0}, {"\t-3 4", -3}};
  for (const Case& c : cases) EXPECT_EQ(toInteger(c.text).value, c.value) << '"' << c.text << '"';
  EXPECT_EQ(toInteger("7x").end, 1u);
}

}  // namespace
}  // namespace tessovane2
