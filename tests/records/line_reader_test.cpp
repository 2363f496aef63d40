// LineReader: lines up to each line feed, CR before LF dropped, any length.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "records/line_reader.h"

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
  struct Case { std::string text; V lines; };
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
