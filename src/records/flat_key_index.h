// Keys of stations (SSN or PID texts of at most 7 bytes) packed into one
// integer: the bytes and the length, so that two keys pack alike exactly when
// they are equal byte for byte (same length, same characters).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "records/huge_pages.h"

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

// Packed keys to entry numbers, in one flat array (open addressing, linear
// probing, at most half full): no allocation per key, one probe for most.
// Against a hash map with a node per key it matches and loads several times
// faster, and against the nested scan two 20,000-station tables 500 times
// (bench/README.md).
class FlatKeyIndex {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  explicit FlatKeyIndex(std::size_t expectedKeys = 0) { resize(capacityFor(expectedKeys)); }

  // The entry stored for key, or kNone.
  std::size_t find(std::uint64_t key) const {
    for (std::size_t i = PackedKeyHash{}(key)&mask_;; i = (i + 1) & mask_) {
      if (slots_[i].key == key) return slots_[i].entry;
      if (slots_[i].key == kEmpty) return kNone;
    }
  }

  // The entry stored for key, to read or set; kNone for a key not seen before.
  // Valid until the next call.
  std::size_t& entry(std::uint64_t key) {
    if ((used_ + 1) * 2 > slots_.size()) resize(slots_.size() * 2);
    std::size_t i = PackedKeyHash{}(key)&mask_;
    for (; slots_[i].key != key; i = (i + 1) & mask_) {
      if (slots_[i].key == kEmpty) {
        slots_[i].key = key;
        ++used_;
        break;
      }
    }
    return slots_[i].entry;
  }

 private:
  // No key packs to this: its length byte would be 255.
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

  struct Slot {
    std::uint64_t key = kEmpty;
    std::size_t entry = kNone;
  };

  static std::size_t capacityFor(std::size_t keys) {
    std::size_t capacity = 16;
    while (capacity < keys * 2) capacity *= 2;
    return capacity;
  }

  void resize(std::size_t capacity) {
    std::vector<Slot> old;
    old.reserve(capacity);
    adviseHugePages(old.data(), capacity * sizeof(Slot));
    old.resize(capacity);
    old.swap(slots_);
    mask_ = capacity - 1;
    for (const Slot& slot : old) {
      if (slot.key == kEmpty) continue;
      std::size_t i = PackedKeyHash{}(slot.key) & mask_;
      while (slots_[i].key != kEmpty) i = (i + 1) & mask_;
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::size_t mask_ = 0;
};

}  // namespace tessovane2
