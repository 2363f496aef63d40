// Location matching: renamed marks found with their true partners under a
// systematic change larger than the radius, the ratio test's safeguard,
// and the same result for any order of the rows.
#include "analysis/location_match.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "geodesy/local_frame.h"
#include "network_builder.h"

namespace tessovane2::analysis {
namespace {

using shifts::CandidateStatus;
using shifts::RowFit;
using shifts::ShiftRow;
using shifts::ShiftStatus;

// Unpaired rows and the systematic part at the 1st-file ones, with the
// storage of their identifiers (rows keep views).
struct UnpairedRows {
  std::deque<std::string> names;
  std::vector<ShiftRow> rows;
  std::vector<RowFit> systematic;  // one per row

  std::string_view keep(std::string name) { return names.emplace_back(std::move(name)); }

  void firstOnly(const std::string& pid, double latitude, double longitude, double fitDn = 0,
                 double fitDe = 0) {
    ShiftRow& row = rows.emplace_back();
    row.status = ShiftStatus::OnlyInFirst;
    row.pid = keep(pid);
    row.ssn = keep(std::string("S").append(pid));
    row.lat1 = latitude;
    row.lon1 = longitude;
    systematic.push_back({.fitDn = fitDn, .fitDe = fitDe, .fitDu = 0});
  }
  void secondOnly(const std::string& pid, double latitude, double longitude) {
    ShiftRow& row = rows.emplace_back();
    row.status = ShiftStatus::OnlyInSecond;
    row.pid = keep(pid);
    row.ssn = keep(std::string("S").append(pid));
    row.lat2 = latitude;
    row.lon2 = longitude;
    systematic.emplace_back();
  }
};

// The point `east` and `north` metres from a latitude and longitude
// (degrees), along the local frame, brought to the ellipsoid.
geodesy::Geodetic moved(double latitude, double longitude, double east, double north) {
  const geodesy::Geocentric at = geodesy::geocentricFromGeodetic({latitude, longitude, 0.0});
  const geodesy::Geocentric step =
      geodesy::fromLocal(geodesy::localFrame(latitude, longitude), {east, north, 0.0});
  return geodesy::geodeticFromGeocentric({at.x + step.x, at.y + step.y, at.z + step.z});
}

// What each station found, by its PID: the candidate's PID and the status.
std::map<std::string, std::pair<std::string, CandidateStatus>> byStation(const std::vector<ShiftRow>& rows,
                                                                         const shifts::LocationMatches& m) {
  std::map<std::string, std::pair<std::string, CandidateStatus>> found;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    found[std::string(rows[i].pid)] = {std::string(m.rows[i].pid), m.rows[i].status};
  }
  return found;
}

// A network over 5 km at 45 N: renamed marks (R..., 1st only, and N... at
// the moved position plus 5 mm of noise), destroyed (D..., 1st only) and
// new marks (W..., 2nd only), under a change of 30 m north and 20 m east.
UnpairedRows renamedNetwork(std::uint64_t seed) {
  constexpr double kNorth = 30.0, kEast = 20.0;
  testing::Numbers numbers(seed);
  UnpairedRows net;
  const auto place = [&numbers] {
    return moved(45.0, 10.0, 5000 * numbers.uniform(), 5000 * numbers.uniform());
  };
  for (int i = 0; i < 300; ++i) {
    const geodesy::Geodetic p = place();
    const std::string id = std::to_string(1000 + i);
    const int kind = i % 3;
    if (kind == 0) {
      net.firstOnly(std::string("R").append(id), p.latitude, p.longitude, kNorth, kEast);
      const geodesy::Geodetic q =
          moved(p.latitude, p.longitude, kEast + 0.005 * numbers.normal(), kNorth + 0.005 * numbers.normal());
      net.secondOnly(std::string("N").append(id), q.latitude, q.longitude);
    } else if (kind == 1) {
      net.firstOnly(std::string("D").append(id), p.latitude, p.longitude, kNorth, kEast);
    } else {
      net.secondOnly(std::string("W").append(id), p.latitude, p.longitude);
    }
  }
  return net;
}

TEST(LocationMatch, RenamedMarksAcceptedWithTheirTruePartnersAndNothingElse) {
  const UnpairedRows net = renamedNetwork(7);
  for (const double radius : {1.0, 1e30}) {
    const shifts::LocationMatches m = matchLocations(net.rows, net.systematic, radius);
    if (radius == 1.0) {
      EXPECT_EQ(m.acceptedPairs, 100);
    } else {
      EXPECT_GE(m.acceptedPairs, 100);
    }
    for (std::size_t i = 0; i < net.rows.size(); ++i) {
      const ShiftRow& row = net.rows[i];
      const shifts::RowCandidate& c = m.rows[i];
      ASSERT_TRUE(c.searched);
      if (row.pid[0] == 'R' || row.pid[0] == 'N') {
        std::string partner(1, row.pid[0] == 'R' ? 'N' : 'R');
        partner.append(row.pid.substr(1));
        EXPECT_EQ(c.status, CandidateStatus::Accepted) << row.pid << " radius " << radius;
        EXPECT_EQ(c.pid, partner);
        EXPECT_EQ(net.rows[c.partner].pid, partner);
        EXPECT_LT(c.distance, 0.03);
      } else if (radius == 1.0) {
        EXPECT_EQ(c.status, CandidateStatus::None) << row.pid;  // destroyed and new marks
        EXPECT_TRUE(std::isnan(c.distance));
      } else {
        // Reach over the whole network: a destroyed or a new mark may meet one
        // of the other kind, but never a renamed mark, whose partner is nearer.
        EXPECT_FALSE(c.status == CandidateStatus::Accepted && (c.pid[0] == 'R' || c.pid[0] == 'N'))
            << row.pid;
      }
    }
  }
  // Searched about the 1st-file positions themselves, 36 m off: nothing.
  const shifts::LocationMatches unmoved = matchLocations(net.rows, {}, 1.0);
  EXPECT_EQ(unmoved.acceptedPairs, 0);
  EXPECT_EQ(unmoved.none, static_cast<std::int64_t>(net.rows.size()));
}

TEST(LocationMatch, RatioTestAndMutualNearest) {
  struct Case {
    std::vector<double> distances;  // of 2nd-file stations from the 1st-file one, metres east
    CandidateStatus expected;
  };
  const Case cases[] = {
      {{0.3, -0.4}, CandidateStatus::Ambiguous},  // two candidates at 0.3 m and 0.4 m
      {{0.3, -0.7}, CandidateStatus::Accepted},   // the second more than twice as far
      {{0.3, -0.6}, CandidateStatus::Accepted},   // exactly twice as far
      {{0.5, -1.5}, CandidateStatus::Accepted},   // the second beyond twice the distance
      {{0.9, -1.1}, CandidateStatus::Ambiguous},  // the second beyond the radius, within twice the distance
      {{0.0, 0.0}, CandidateStatus::Ambiguous},   // two at the very place
      {{1.2}, CandidateStatus::None},
  };
  for (const Case& c : cases) {
    UnpairedRows net;
    net.firstOnly("A", 45.0, 10.0);
    for (std::size_t k = 0; k < c.distances.size(); ++k) {
      const geodesy::Geodetic p = moved(45.0, 10.0, c.distances[k], 0.0);
      net.secondOnly(std::string("B").append(std::to_string(k)), p.latitude, p.longitude);
    }
    const shifts::LocationMatches m = matchLocations(net.rows, net.systematic, 1.0);
    EXPECT_EQ(m.rows[0].status, c.expected) << c.distances[0] << ", " << c.distances.back();
    if (c.expected != CandidateStatus::None) {
      EXPECT_EQ(m.rows[0].pid, "B0");  // the nearest is listed; a tie goes by PID
      EXPECT_NEAR(m.rows[0].distance, std::fabs(c.distances[0]), 1e-6);
    }
    EXPECT_EQ(m.acceptedPairs, c.expected == CandidateStatus::Accepted ? 1 : 0);
  }
  // One 2nd-file station between two 1st-file ones: B is the nearest of both,
  // but A2 is within twice A1's distance of B: neither is accepted.
  UnpairedRows net;
  net.firstOnly("A1", 45.0, 10.0);
  const geodesy::Geodetic a2 = moved(45.0, 10.0, 0.7, 0.0);
  net.firstOnly("A2", a2.latitude, a2.longitude);
  const geodesy::Geodetic b = moved(45.0, 10.0, 0.3, 0.0);
  net.secondOnly("B", b.latitude, b.longitude);
  const shifts::LocationMatches m = matchLocations(net.rows, net.systematic, 1.0);
  EXPECT_EQ(m.rows[0].status, CandidateStatus::Ambiguous);
  EXPECT_EQ(m.rows[1].status, CandidateStatus::Ambiguous);
  EXPECT_EQ(m.rows[2].status, CandidateStatus::Ambiguous);
  EXPECT_EQ(m.rows[2].pid, "A1");
  EXPECT_EQ(m.acceptedPairs, 0);
  EXPECT_EQ(m.ambiguous, 3);
}

TEST(LocationMatch, SameResultForAnyOrderOfTheRows) {
  UnpairedRows net = renamedNetwork(11);
  // Near ties: stations 0.3 and 0.4 m from a 1st-file one, and two at one place.
  net.firstOnly("T1", 45.01, 10.01);
  for (const auto& [name, east] : {std::pair{"T2", 0.3}, {"T3", -0.3}, {"T4", 0.4}}) {
    const geodesy::Geodetic p = moved(45.01, 10.01, east, 0.0);
    net.secondOnly(name, p.latitude, p.longitude);
  }
  const auto reference = byStation(net.rows, matchLocations(net.rows, net.systematic, 1.0));
  std::mt19937_64 engine(3);
  for (int round = 0; round < 3; ++round) {
    std::vector<std::size_t> order(net.rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), engine);
    std::vector<ShiftRow> rows;
    std::vector<RowFit> systematic;
    for (const std::size_t i : order) {
      rows.push_back(net.rows[i]);
      systematic.push_back(net.systematic[i]);
    }
    EXPECT_EQ(byStation(rows, matchLocations(rows, systematic, 1.0)), reference);
  }
  EXPECT_EQ(reference.at("T1").first, "T2");  // 0.3 m east and west: the tie goes by PID
  EXPECT_EQ(reference.at("T1").second, CandidateStatus::Ambiguous);
}

}  // namespace
}  // namespace tessovane2::analysis
