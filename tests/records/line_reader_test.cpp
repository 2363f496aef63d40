// LineReader: lines up to each line feed, CR before LF dropped, any length.
#include "records/line_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessovane2 {
namespace {

std::vector<std::string> readAll(const std::string& text, std::size_t blockSize) {
  std::istringstream input(text);
  LineReader reader(input, blockSize);
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  EXPECT_FALSE(reader.next(line));  // stays at its end
  return lines;
}

TEST(LineReader, SplitsLines) {
  using V = std::vector<std::string>;
  const std::string longLine(1000, 'x');
  struct Case {
    std::string text;
    V lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"\r\n", {""}},
      {"a\rb\n\r", {"a\rb", "\r"}},  // a CR not before a LF is kept
      {"a\r\r\n", {"a\r"}},
      {"a\nlast", {"a", "last"}},
      {"\n\nx\n\n", {"", "", "x", ""}},
      {longLine + "\r\nend", {longLine, "end"}},
      {std::string("a\0b\n\0", 5), {std::string("a\0b", 3), std::string(1, '\0')}},
  };
  for (const Case& c : cases) {
    for (std::size_t block : {1u, 16u, 17u, 65536u}) EXPECT_EQ(readAll(c.text, block), c.lines) << block;
  }
}

// CR and LF in different blocks, lines ending at every offset of a block.
TEST(LineReader, LineEndsAcrossBlocks) {
  std::string text;
  std::vector<std::string> expected;
  for (int length = 0; length < 50; ++length) {
    expected.emplace_back(static_cast<std::size_t>(length), static_cast<char>('a' + length % 26));
    text += expected.back() + (length % 2 ? "\r\n" : "\n");
  }
  EXPECT_EQ(readAll(text, 16), expected);
}

}  // namespace
}  // namespace tessovane2

namespace tessovane2 {
namespace {

// Regression: an input without line feeds (a device that never ends) grew one
// line until memory ran out; now a line keeps its head and the rest is skipped.
TEST(LineReader, OverlongLineKeepsItsHeadAndGoesOn) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"12345678\nab\n", {"12345678", "ab"}},    // exactly the limit: whole
      {"12345678\r\nab\n", {"12345678", "ab"}},  // limit plus CR LF: whole
      {"123456789\nab\n", {"12345678", "ab"}},   // one byte over
      {std::string(5000, 'x') + "\nab", {"xxxxxxxx", "ab"}},
      {std::string(5000, 'y'), {"yyyyyyyy"}},  // no line end at all
  };
  for (const Case& c : cases) {
    for (std::size_t block : {16u, 4096u}) {
      std::istringstream input(c.text);
      LineReader reader(input, block, 8);
      std::vector<std::string> lines;
      std::string_view line;
      while (reader.next(line)) lines.emplace_back(line);
      EXPECT_EQ(lines, c.lines) << block;
    }
  }
}

}  // namespace
}  // namespace tessovane2
