// Pairing the stations of the two files by key, knowing nothing of output.
#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "compare/match_key.h"
#include "records/flat_key_index.h"
#include "records/station_table.h"

namespace tessovane2 {

// One pair: entry numbers in the 1st and in the 2nd station table.
struct StationPair {
  std::size_t first;
  std::size_t second;
  friend bool operator==(const StationPair&, const StationPair&) = default;
};

// Every station of the 2nd table paired with every station of the 1st table
// whose key is equal, byte for byte (blank and empty keys included), in the
// report's order: the 2nd table's order, and within one 2nd-file station the
// 1st table's order. The pairs are visited, not stored, so that memory stays
// proportional to the tables even when keys repeat many times.
class StationPairing {
 public:
  static constexpr std::size_t kNone = FlatKeyIndex::kNone;

  // Both tables must outlive the pairing.
  StationPairing(const StationTable& first, const StationTable& second, MatchKey key);

  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = StationPair;
    using difference_type = std::ptrdiff_t;
    using pointer = const StationPair*;
    using reference = const StationPair&;

    Iterator() = default;
    const StationPair& operator*() const { return pair_; }
    const StationPair* operator->() const { return &pair_; }
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.pair_ == b.pair_; }

   private:
    friend class StationPairing;
    Iterator(const StationPairing* pairing, StationPair pair) : pairing_(pairing), pair_(pair) {}
    const StationPairing* pairing_ = nullptr;
    StationPair pair_{kNone, kNone};
  };

  // The pairs, in report order.
  Iterator begin() const;
  Iterator end() const { return Iterator(this, {kNone, kNone}); }

  // The first 1st-table partner of 2nd-table entry `second`, or kNone; the
  // next partner after 1st-table entry `first` (same key, later entry), or kNone.
  std::size_t firstPartner(std::size_t second) const { return firstPartner_[second]; }
  std::size_t nextPartner(std::size_t first) const { return next_[first]; }

  // 2nd-table entries that pair with nothing, in table order.
  const std::vector<std::size_t>& onlyInSecond() const { return onlyInSecond_; }

  // 1st-table entries that no 2nd-table station pairs with, in table order.
  std::vector<std::size_t> onlyInFirst() const;

 private:
  Iterator firstPairFrom(std::size_t second) const;

  std::vector<std::size_t> next_;          // per 1st entry: next entry with its key
  std::vector<std::size_t> firstPartner_;  // per 2nd entry: first 1st entry with its key
  std::vector<std::size_t> onlyInSecond_;
};

}  // namespace tessovane2
