// Trimming white space from the ends of a field.
#include "records/trim.h"

#include <gtest/gtest.h>

#include <string>

namespace tessovane2 {
namespace {

TEST(Trim, EndsOnlyBySideCode) {
  struct Case {
    std::string text;
    char side;
    std::string expected;
  };
  const Case cases[] = {
      {"", 'B', ""},
      {"", 'L', ""},
      {"", 'r', ""},
      {"", '*', ""},
      {" \t\n\v\f\r", 'B', ""},
      {"  \t ", 'L', ""},
      {" \r ", 'R', ""},
      {"  a b  ", 'L', "a b  "},
      {"  a b  ", 'l', "a b  "},
      {"  a b  ", 'R', "  a b"},
      {"  a b  ", 'r', "  a b"},
      {"  a b  ", 'B', "a b"},
      {"  a b  ", 'b', "a b"},
      {"12\t", 'R', "12"},
      {"12\r", 'B', "12"},
      {"a  b", 'B', "a  b"},
      {"  a b  ", '*', "  a b  "},
      {"  a b  ", 'X', "  a b  "},
      {"  a b  ", '\0', "  a b  "},
      {"\xa0x\xa0", 'B', "\xa0x\xa0"},  // only the six ASCII white-space characters count
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    const std::string copy = trim(text, c.side);
    EXPECT_EQ(text, c.expected) << '"' << c.text << "\" " << c.side;
    EXPECT_EQ(copy, c.expected) << '"' << c.text << "\" " << c.side;
  }
}

}  // namespace
}  // namespace tessovane2
