// Reading a survey file line by line, in large blocks.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace tessovane2 {

// Yields the lines of a stream up to each line feed, which is not part of the
// line; a carriage return just before the line feed is dropped too. A last
// line without a line end is still a line. A line longer than maxLineLength
// (no survey record comes near it: an input with no line feed at all, such
// as a device that never ends) yields its first maxLineLength bytes and the
// rest up to its line feed is skipped, so memory stays bounded.
class LineReader {
 public:
  static constexpr std::size_t kDefaultMaxLineLength = std::size_t{64} << 20;

  explicit LineReader(std::istream& input, std::size_t blockSize = 1 << 16,
                      std::size_t maxLineLength = kDefaultMaxLineLength);

  // The next line, valid until the next call; false at end of input or on a
  // read failure, which ends the reading alike.
  bool next(std::string_view& line);

 private:
  bool fill();

  std::istream& input_;
  std::string buffer_;
  std::size_t begin_ = 0;    // first unread byte in buffer_
  std::size_t end_ = 0;      // one past the last byte read into buffer_
  std::size_t scanned_ = 0;  // bytes after begin_ known to hold no line feed
  std::size_t maxLineLength_;
  bool cut_ = false;  // the line at begin_ is too long: bytes past its head are dropped
  bool atEnd_ = false;
};

}  // namespace tessovane2
