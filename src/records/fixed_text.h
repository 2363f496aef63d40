// A text of at most N bytes held inline, for the fixed-width fields of a
// record (PID, SSN, designation): no heap allocation per station.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessovane2 {

template <std::size_t N>
struct FixedText {
  static_assert(N < 256);
  std::array<char, N> bytes{};
  std::uint8_t size = 0;

  void assign(std::string_view text) {
    size = static_cast<std::uint8_t>(std::min(text.size(), N));
    std::copy_n(text.data(), size, bytes.data());
  }
  std::string_view view() const { return {bytes.data(), size}; }
  friend bool operator==(const FixedText& a, const FixedText& b) { return a.view() == b.view(); }
};

}  // namespace tessovane2
