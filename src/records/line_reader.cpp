#include "records/line_reader.h"

#include <cstring>

namespace tessovane2 {

LineReader::LineReader(std::istream& input, std::size_t blockSize, std::size_t maxLineLength)
    : input_(input), maxLineLength_(maxLineLength < 1 ? 1 : maxLineLength) {
  buffer_.resize(blockSize < 16 ? 16 : blockSize);
}

bool LineReader::fill() {
  if (atEnd_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  input_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  const std::streamsize got = input_.gcount();
  if (got <= 0) {
    atEnd_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

bool LineReader::next(std::string_view& line) {
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    const void* found =
        available > scanned_ ? std::memchr(start + scanned_, '\n', available - scanned_) : nullptr;
    if (found != nullptr) {
      std::size_t length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
      begin_ += length + 1;
      scanned_ = 0;
      if (!cut_ && length > 0 && start[length - 1] == '\r') --length;
      cut_ = false;
      if (length > maxLineLength_) length = maxLineLength_;
      line = std::string_view(start, length);
      return true;
    }
    scanned_ = available;
    if (available > maxLineLength_) {
      cut_ = true;
      end_ = begin_ + maxLineLength_;
      scanned_ = maxLineLength_;
    }
    if (!fill()) {
      if (begin_ == end_) return false;
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      scanned_ = 0;
      cut_ = false;
      return true;
    }
  }
}

}  // namespace tessovane2
