// Keys of stations (SSN or PID texts of at most 7 bytes) packed into one
// integer: the bytes and the length, so that two keys pack alike exactly when
// they are equal byte for byte (same length, same characters).
#pragma once

#include <cstdint>
#include <string_view>

namespace tessovane2 {

inline std::uint64_t packKey(std::string_view key) {
  std::uint64_t packed = static_cast<std::uint64_t>(key.size()) << 56;
  for (std::size_t i = 0; i < key.size() && i < 7; ++i) {
    packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(key[i])) << (8 * i);
  }
  return packed;
}

// Spreads the bits of a packed key for hashing.
struct PackedKeyHash {
  std::size_t operator()(std::uint64_t key) const {
    key ^= key >> 33;
    key *= 0xff51afd7ed558ccdULL;
    key ^= key >> 33;
    return static_cast<std::size_t>(key);
  }
};

}  // namespace tessovane2
