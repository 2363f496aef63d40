#include "compare/pairing.h"

namespace tessovane2 {

StationPairing::StationPairing(const StationTable& first, const StationTable& second, MatchKey key)
    : next_(first.size()), firstPartner_(second.size()) {
  // The flat key index leads each key to its first entry; the next-links
  // chain the entries of one key in load order, so the pairs come out as a
  // scan of the whole 1st table would give them, in time proportional to
  // the number of pairs.
  FlatKeyIndex firstByKey(first.size());
  for (std::size_t i = first.size(); i-- > 0;) {
    std::size_t& head = firstByKey.entry(packKey(keyOf(first[i], key)));
    next_[i] = head;
    head = i;
  }
  for (std::size_t i = 0; i < second.size(); ++i) {
    firstPartner_[i] = firstByKey.find(packKey(keyOf(second[i], key)));
    if (firstPartner_[i] == kNone) onlyInSecond_.push_back(i);
  }
}

StationPairing::Iterator StationPairing::firstPairFrom(std::size_t second) const {
  for (; second < firstPartner_.size(); ++second) {
    if (firstPartner_[second] != kNone) return Iterator(this, {firstPartner_[second], second});
  }
  return end();
}

StationPairing::Iterator StationPairing::begin() const { return firstPairFrom(0); }

StationPairing::Iterator& StationPairing::Iterator::operator++() {
  const std::size_t next = pairing_->next_[pair_.first];
  if (next != kNone) {
    pair_.first = next;
  } else {
    *this = pairing_->firstPairFrom(pair_.second + 1);
  }
  return *this;
}

std::vector<std::size_t> StationPairing::onlyInFirst() const {
  // A key's chain is walked once, from its head, the first time a 2nd-file
  // station leads to it.
  std::vector<bool> paired(next_.size(), false);
  for (const std::size_t head : firstPartner_) {
    if (head == kNone || paired[head]) continue;
    for (std::size_t i = head; i != kNone; i = next_[i]) paired[i] = true;
  }
  std::vector<std::size_t> unpaired;
  for (std::size_t i = 0; i < paired.size(); ++i) {
    if (!paired[i]) unpaired.push_back(i);
  }
  return unpaired;
}

}  // namespace tessovane2
