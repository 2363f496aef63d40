#include "format/text_escape.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessovane2::shifts {
namespace {

TEST(TextEscape, BytesBecomeValidUtf8) {
  const struct {
    const char* what;
    std::string bytes, expected;
  } cases[] = {
      {"plain text kept", "KESTREL 2", "KESTREL 2"},
      {"valid UTF-8 kept", "M\xC3\x9CHLE", "M\xC3\x9CHLE"},
      {"a Latin-1 byte becomes its character", "M\xDCHLE", "M\xC3\x9CHLE"},
      {"a cut sequence is Latin-1, its C1 control U+FFFD", "A\xE2\x82", "A\xC3\xA2\xEF\xBF\xBD"},
      {"controls become U+FFFD", std::string("A\0B\x1b", 4),
       "A\xEF\xBF\xBD"
       "B\xEF\xBF\xBD"},
      {"an overlong form is refused", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
  };
  for (const auto& c : cases) EXPECT_EQ(toUtf8(c.bytes), c.expected) << c.what;
}

TEST(TextEscape, ExactUtf8KeepsEveryCharacterReadingOtherBytesAsLatin1) {
  const struct {
    const char* what;
    std::string bytes, expected;
  } cases[] = {
      {"valid UTF-8 kept", "M\xC3\x9CHLE", "M\xC3\x9CHLE"},
      {"a Latin-1 byte becomes its character", "M\xDCHLE", "M\xC3\x9CHLE"},
      {"a cut sequence is Latin-1, its C1 control kept", "A\xE2\x82", "A\xC3\xA2\xC2\x82"},
      {"controls kept", std::string("A\0B\x1b\t", 5), std::string("A\0B\x1b\t", 5)},
      {"a surrogate is not UTF-8", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
  };
  for (const auto& c : cases) EXPECT_EQ(toUtf8Exact(c.bytes), c.expected) << c.what;
}

TEST(TextEscape, MarkupAndScriptCannotBeClosedByAText) {
  EXPECT_EQ(escapeMarkup("A\"B'</script>&<b>"), "A&quot;B&#39;&lt;/script&gt;&amp;&lt;b&gt;");
  EXPECT_EQ(jsonString("A\"B\\</script><!--&"), "\"A\\\"B\\\\\\u003c/script\\u003e\\u003c!--\\u0026\"");
  // One rule for the GeoJSON and the page: the data exact, controls and
  // Latin-1 bytes as escapes, valid UTF-8 as it is.
  EXPECT_EQ(jsonString("tab\there\x01"), "\"tab\\u0009here\\u0001\"");
  EXPECT_EQ(jsonString("CAF\xC9 CAF\xC3\x89"), "\"CAF\\u00c9 CAF\xC3\x89\"");
  EXPECT_EQ(jsonString("line\xE2\x80\xA8sep"), "\"line\\u2028sep\"");
}

// Pins the fault where ESC sequences and C1 controls in a designation
// reached the terminal raw through the companion's summary and warnings.
TEST(TextEscape, ConsoleTextLeavesNothingForATerminalToActOn) {
  const struct {
    const char* what;
    std::string bytes, expected;
    std::size_t width;
  } cases[] = {
      {"plain text kept", "KESTREL 2", "KESTREL 2", 9},
      {"ESC, BEL, NUL, DEL escaped", std::string("\x1b[31m\x07\0\x7f", 8), "\\x1b[31m\\x07\\x00\\x7f", 20},
      {"a backslash doubled", "A\\B", "A\\\\B", 4},
      {"a C1 byte escaped",
       "\x9b"
       "2J",
       "\\x9b2J", 6},
      {"a C1 control in UTF-8 escaped", "\xC2\x9b", "\\xc2\\x9b", 8},
      {"valid UTF-8 kept, one column per character", "M\xC3\x9CHLE", "M\xC3\x9CHLE", 5},
      {"a lone Latin-1 byte escaped", "M\xDCHLE", "M\\xdcHLE", 8},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(consoleText(c.bytes), c.expected) << c.what;
    EXPECT_EQ(consoleWidth(consoleText(c.bytes)), c.width) << c.what;
  }
}

TEST(TextEscape, FixedNumbersAreLocaleFreeWithNullForMissing) {
  EXPECT_EQ(fixedNumber(0.12345, 4), "0.1235");
  EXPECT_EQ(fixedNumber(-12.5, 2), "-12.50");
  EXPECT_EQ(fixedNumber(-0.0, 4), "0.0000");  // no sign on a zero
  // Pins the faults where a tolerance of 1e308 was written null and an
  // exaggeration of 1e-7 as 0: a number keeps its nature.
  EXPECT_EQ(fixedNumber(-0.00001, 4), "-1e-05");
  EXPECT_EQ(fixedNumber(4e-7, 1), "4e-07");
  EXPECT_EQ(fixedNumber(1e308, 4), "1e+308");
  EXPECT_EQ(shortestNumber(0.05), "0.05");
  EXPECT_EQ(shortestNumber(std::nan("")), "null");
  EXPECT_EQ(fixedNumber(std::nan(""), 4), "null");
  EXPECT_EQ(shortNumber(10000.0, 3), "10000");
  EXPECT_EQ(shortNumber(2.5, 3), "2.5");
}

TEST(TextEscape, ADirectionRoundedToAWholeTurnIsWrittenAsZero) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {"360.00", "0.00"},   {"360", "0"},           {"360.0000", "0.0000"}, {"359.99", "359.99"},
      {"360.01", "360.01"}, {"3600.00", "3600.00"}, {"36.00", "36.00"},     {"", ""},
  };
  for (const auto& c : cases) {
    std::string out = "12.5," + c.text;
    foldWholeTurn(out, 5);
    EXPECT_EQ(out, "12.5," + c.expected) << c.text;
  }
}

}  // namespace
}  // namespace tessovane2::shifts
