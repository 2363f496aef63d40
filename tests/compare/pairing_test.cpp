// StationPairing against the plain nested scan it stands in for.
#include "compare/pairing.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/builders.h"

namespace tessovane2::testing {
namespace {

struct Scan {
  std::vector<StationPair> pairs;
  std::vector<std::size_t> onlyInSecond, onlyInFirst;
};

// Every 2nd-table station against every 1st-table station, both in table order.
Scan nestedScan(const StationTable& first, const StationTable& second, MatchKey key) {
  Scan scan;
  std::vector<bool> paired(first.size(), false);
  for (std::size_t b = 0; b < second.size(); ++b) {
    const std::size_t before = scan.pairs.size();
    for (std::size_t a = 0; a < first.size(); ++a) {
      if (keyOf(first[a], key) != keyOf(second[b], key)) continue;
      scan.pairs.push_back({a, b});
      paired[a] = true;
    }
    if (scan.pairs.size() == before) scan.onlyInSecond.push_back(b);
  }
  for (std::size_t a = 0; a < first.size(); ++a) {
    if (!paired[a]) scan.onlyInFirst.push_back(a);
  }
  return scan;
}

Scan pairingOf(const StationTable& first, const StationTable& second, MatchKey key) {
  const StationPairing pairing(first, second, key);
  return {std::vector<StationPair>(pairing.begin(), pairing.end()), pairing.onlyInSecond(),
          pairing.onlyInFirst()};
}

void expectSame(const Scan& got, const Scan& expected) {
  EXPECT_EQ(got.pairs, expected.pairs);
  EXPECT_EQ(got.onlyInSecond, expected.onlyInSecond);
  EXPECT_EQ(got.onlyInFirst, expected.onlyInFirst);
}

TEST(StationPairing, GivesThePairsAndTheUnpairedOfTheNestedScan) {
  // Few keys, blank and empty ones among them, so that most keys repeat in
  // both tables; the last key occurs in the 2nd table only.
  const char* const keys[] = {"", " ", "  ", "12", "012", "7", "ab12", "AB12", "99999", "only2"};
  std::mt19937 random(20031014);
  const auto table = [&](std::size_t size, std::size_t keyCount) {
    StationTable t;
    for (std::size_t i = 0; i < size; ++i)
      t.push_back(station(keys[random() % keyCount], keys[random() % keyCount]));
    return t;
  };
  const StationTable first = table(150, 9);
  const StationTable second = table(120, 10);
  for (const MatchKey key : {MatchKey::Ssn, MatchKey::Pid}) {
    const Scan expected = nestedScan(first, second, key);
    ASSERT_GT(expected.pairs.size(), 1000u);
    ASSERT_FALSE(expected.onlyInSecond.empty());
    expectSame(pairingOf(first, second, key), expected);
  }
  // A 1st table whose stations no 2nd-table station pairs with.
  const StationTable lone = {station("X1", "0001"), station("X2", "0002")};
  expectSame(pairingOf(lone, second, MatchKey::Ssn), nestedScan(lone, second, MatchKey::Ssn));
}

TEST(StationPairing, KeysPairOnlyWhenEqualByteForByte) {
  struct Case {
    MatchKey key;
    const char* key1;
    const char* key2;
    bool pair;
  };
  const Case cases[] = {
      {MatchKey::Ssn, "12", "12", true},
      {MatchKey::Ssn, "012", "12", false},
      {MatchKey::Ssn, "", "", true},
      {MatchKey::Ssn, "   ", "   ", true},
      {MatchKey::Ssn, "", " ", false},
      {MatchKey::Ssn, "12 ", "12", false},
      {MatchKey::Pid, "AB1234", "AB1234", true},
      {MatchKey::Pid, "ab1234", "AB1234", false},
      {MatchKey::Pid, "", "", true},
      {MatchKey::Pid, "      ", "      ", true},
  };
  for (const Case& c : cases) {
    // The other key is equal in both, so only the chosen key decides.
    const bool bySsn = c.key == MatchKey::Ssn;
    const StationTable first = {bySsn ? station("SAME", c.key1) : station(c.key1, "5")};
    const StationTable second = {bySsn ? station("SAME", c.key2) : station(c.key2, "5")};
    const StationPairing pairing(first, second, c.key);
    EXPECT_EQ(pairing.begin() != pairing.end(), c.pair) << '"' << c.key1 << "\" \"" << c.key2 << '"';
    EXPECT_EQ(pairing.onlyInSecond().size(), c.pair ? 0u : 1u);
  }
}

TEST(StationPairing, EmptyTablesGiveNoPair) {
  const StationTable one = {station("A", "1")};
  expectSame(pairingOf({}, one, MatchKey::Ssn), {{}, {0}, {}});
  expectSame(pairingOf(one, {}, MatchKey::Ssn), {{}, {}, {0}});
}

}  // namespace
}  // namespace tessovane2::testing
