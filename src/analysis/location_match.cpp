// The search runs on a grid hash over the points' east and north coordinates
// in the local frame at their centroid. Dropping the up coordinate never
// lengthens a distance, so a station whose grid distance exceeds the bound
// is farther in space too: the grid only decides where to look, and every
// distance that decides anything is the straight line between the points on
// the ellipsoid (geocentric, metres). The result therefore does not depend
// on the grid, nor on the order of the rows. Searching a ring of cells at a
// time from the station's own cell outwards, until the ring lies beyond the
// second-nearest found or beyond the search limit, keeps a huge radius from
// turning into a scan of all pairs where the stations are spread out.
#include "analysis/location_match.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/network_frame.h"
#include "analysis/planar_similarity.h"
#include "geodesy/local_frame.h"

namespace tessovane2::analysis {

namespace {

using shifts::CandidateStatus;
using shifts::RowCandidate;
using shifts::ShiftRow;
using shifts::ShiftStatus;

// Farther than any two points on the earth (metres): the search limit of a
// huge radius.
constexpr double kFarthest = 2.0e7;
// Grid distances carry rounding of some nanometres over thousands of
// kilometres; the search looks this much (metres) farther to be safe.
constexpr double kGridSlack = 1e-6;

struct Place {
  std::size_t row;
  geodesy::Geocentric point;  // on the ellipsoid, metres
  PlanarVector plane;         // east and north in the frame, metres
};

double distance(const geodesy::Geocentric& a, const geodesy::Geocentric& b) {
  const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Rows of equal distance go by their identifiers, then their positions.
bool rowBefore(const ShiftRow& a, const ShiftRow& b) {
  if (a.pid != b.pid) return a.pid < b.pid;
  if (a.ssn != b.ssn) return a.ssn < b.ssn;
  if (a.designation != b.designation) return a.designation < b.designation;
  const double left[] = {a.lat1, a.lon1, a.lat2, a.lon2};
  const double right[] = {b.lat1, b.lon1, b.lat2, b.lon2};
  for (std::size_t k = 0; k < 4; ++k) {
    if (left[k] != right[k]) return left[k] < right[k];
  }
  return false;
}

struct Near {
  double distance;  // metres
  std::size_t place;
};

struct TwoNearest {
  std::optional<Near> first;
  std::optional<Near> second;
};

class Grid {
 public:
  Grid(const std::vector<Place>& places, double limit) : places_(places) {
    if (places.empty()) return;
    double minE = places[0].plane.x, maxE = minE, minN = places[0].plane.y, maxN = minN;
    for (const Place& p : places) {
      minE = std::min(minE, p.plane.x);
      maxE = std::max(maxE, p.plane.x);
      minN = std::min(minN, p.plane.y);
      maxN = std::max(maxN, p.plane.y);
    }
    // Cells of the search limit, or of the stations' mean spacing where that
    // is smaller (a huge radius), but never so small that the grid would
    // have more than a million cells across.
    const double extent = std::max(maxE - minE, maxN - minN);
    const double spacing = extent / std::sqrt(static_cast<double>(places.size()));
    cell_ = std::max({std::min(limit, spacing), extent / 1e6, 1e-6});
    for (std::size_t i = 0; i < places.size(); ++i) {
      const auto [x, y] = cellOf(places[i].plane);
      if (i == 0) {
        minX_ = maxX_ = x;
        minY_ = maxY_ = y;
      }
      minX_ = std::min(minX_, x);
      maxX_ = std::max(maxX_, x);
      minY_ = std::min(minY_, y);
      maxY_ = std::max(maxY_, y);
    }
    std::vector<std::pair<std::uint64_t, std::size_t>> keyed;
    keyed.reserve(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
      const auto [x, y] = cellOf(places[i].plane);
      keyed.emplace_back(key(x, y), i);
    }
    std::sort(keyed.begin(), keyed.end());
    order_.reserve(keyed.size());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
      order_.push_back(keyed[i].second);
      auto [it, inserted] = cells_.try_emplace(keyed[i].first, i, i + 1);
      if (!inserted) it->second.second = i + 1;
    }
  }

  // The nearest and second-nearest places within `limit` metres of `point`
  // (by distance, then by `before`).
  template <class Before>
  TwoNearest twoNearest(const Place& query, double limit, Before before) const {
    TwoNearest found;
    if (places_.empty()) return found;
    const auto consider = [&](std::size_t index) {
      const double d = distance(query.point, places_[index].point);
      if (!(d <= limit)) return;
      const Near candidate{d, index};
      const auto less = [&](const Near& a, const Near& b) {
        return a.distance != b.distance ? a.distance < b.distance : before(a.place, b.place);
      };
      if (!found.first || less(candidate, *found.first)) {
        found.second = found.first;
        found.first = candidate;
      } else if (!found.second || less(candidate, *found.second)) {
        found.second = candidate;
      }
    };
    const auto [x0, y0] = cellOf(query.plane);
    // Rings nearer than the grid's nearest cell are empty.
    const std::int64_t outside = std::max({std::int64_t{0}, minX_ - x0, x0 - maxX_, minY_ - y0, y0 - maxY_});
    for (std::int64_t k = outside;; ++k) {
      const double bound = found.second ? std::min(limit, found.second->distance) : limit;
      if (k > 0 && static_cast<double>(k - 1) * cell_ > bound + kGridSlack) break;
      const std::int64_t yFrom = std::max(y0 - k, minY_), yTo = std::min(y0 + k, maxY_);
      for (std::int64_t y = yFrom; y <= yTo; ++y) {
        const bool edge = y == y0 - k || y == y0 + k;
        const std::int64_t step = edge ? 1 : 2 * k;
        for (std::int64_t x = x0 - k; x <= x0 + k; x += std::max<std::int64_t>(step, 1)) {
          if (x < minX_ || x > maxX_) continue;
          const auto cell = cells_.find(key(x, y));
          if (cell == cells_.end()) continue;
          for (std::size_t i = cell->second.first; i < cell->second.second; ++i) consider(order_[i]);
        }
      }
      if (x0 - k <= minX_ && x0 + k >= maxX_ && y0 - k <= minY_ && y0 + k >= maxY_) break;
    }
    return found;
  }

 private:
  std::pair<std::int64_t, std::int64_t> cellOf(const PlanarVector& p) const {
    return {static_cast<std::int64_t>(std::floor(p.x / cell_)),
            static_cast<std::int64_t>(std::floor(p.y / cell_))};
  }
  std::uint64_t key(std::int64_t x, std::int64_t y) const {
    return (static_cast<std::uint64_t>(x - minX_) << 32) | static_cast<std::uint64_t>(y - minY_);
  }

  const std::vector<Place>& places_;
  double cell_ = 1.0;
  std::int64_t minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
  std::vector<std::size_t> order_;
  std::unordered_map<std::uint64_t, std::pair<std::size_t, std::size_t>> cells_;
};

geodesy::Geocentric onEllipsoid(double latitude, double longitude) {
  return geodesy::geocentricFromGeodetic({latitude, longitude, 0.0});
}

// The 1st-file position moved by the systematic part (metres north and
// east in the mark's own frame), brought back to the ellipsoid's surface.
geodesy::Geocentric expectedPosition(const ShiftRow& row, std::span<const shifts::RowFit> systematic,
                                     std::size_t index) {
  const geodesy::Geocentric at = onEllipsoid(row.lat1, row.lon1);
  if (systematic.empty() || !std::isfinite(systematic[index].fitDn) ||
      !std::isfinite(systematic[index].fitDe)) {
    return at;
  }
  const geodesy::Geocentric move = geodesy::fromLocal(
      geodesy::localFrame(row.lat1, row.lon1), {systematic[index].fitDe, systematic[index].fitDn, 0.0});
  const geodesy::Geodetic moved =
      geodesy::geodeticFromGeocentric({at.x + move.x, at.y + move.y, at.z + move.z});
  return onEllipsoid(moved.latitude, moved.longitude);
}

bool placed(double latitude, double longitude) { return std::isfinite(latitude) && std::isfinite(longitude); }

// The ratio test on one side: no second within twice the nearest's distance.
bool clearlyNearest(const TwoNearest& near) {
  return !near.second || (near.second->distance > near.first->distance &&
                          near.second->distance >= 2.0 * near.first->distance);
}

}  // namespace

shifts::LocationMatches matchLocations(std::span<const ShiftRow> rows,
                                       std::span<const shifts::RowFit> systematic, double radius) {
  shifts::LocationMatches matches;
  matches.radius = radius;
  matches.rows.resize(rows.size());
  std::vector<Place> firsts, seconds;
  std::vector<geodesy::Geocentric> all;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const ShiftRow& row = rows[i];
    if (row.status == ShiftStatus::OnlyInFirst) {
      matches.rows[i].searched = true;
      if (placed(row.lat1, row.lon1)) firsts.push_back({i, expectedPosition(row, systematic, i), {}});
    } else if (row.status == ShiftStatus::OnlyInSecond) {
      matches.rows[i].searched = true;
      if (placed(row.lat2, row.lon2)) seconds.push_back({i, onEllipsoid(row.lat2, row.lon2), {}});
    }
  }
  for (const std::vector<Place>* side : {&firsts, &seconds}) {
    for (const Place& p : *side) all.push_back(p.point);
  }
  if (!all.empty()) {
    const NetworkFrame frame = networkFrame(all);
    for (std::vector<Place>* side : {&firsts, &seconds}) {
      for (Place& p : *side) {
        const geodesy::EastNorthUp local = positionIn(frame, p.point);
        p.plane = {local.east, local.north};
      }
    }
  }

  // The second-nearest is looked for up to twice the radius.
  const double limit = std::min(2.0 * radius, kFarthest);
  const Grid firstGrid(firsts, limit), secondGrid(seconds, limit);
  const auto beforeIn = [&rows](const std::vector<Place>& side) {
    return [&rows, &side](std::size_t a, std::size_t b) {
      return rowBefore(rows[side[a].row], rows[side[b].row]);
    };
  };
  std::vector<TwoNearest> nearFirst, nearSecond;
  nearFirst.reserve(firsts.size());
  nearSecond.reserve(seconds.size());
  for (const Place& p : firsts) nearFirst.push_back(secondGrid.twoNearest(p, limit, beforeIn(seconds)));
  for (const Place& p : seconds) nearSecond.push_back(firstGrid.twoNearest(p, limit, beforeIn(firsts)));

  const auto judge = [&](const std::vector<Place>& side, const std::vector<TwoNearest>& near,
                         const std::vector<Place>& other, const std::vector<TwoNearest>& otherNear) {
    for (std::size_t i = 0; i < side.size(); ++i) {
      RowCandidate& candidate = matches.rows[side[i].row];
      const TwoNearest& mine = near[i];
      if (!mine.first || mine.first->distance > radius) continue;
      const std::size_t j = mine.first->place;
      const TwoNearest& theirs = otherNear[j];
      const bool mutual = theirs.first && theirs.first->place == i;
      const ShiftRow& partner = rows[other[j].row];
      candidate.status = mutual && clearlyNearest(mine) && clearlyNearest(theirs)
                             ? CandidateStatus::Accepted
                             : CandidateStatus::Ambiguous;
      candidate.pid = partner.pid;
      candidate.ssn = partner.ssn;
      candidate.distance = mine.first->distance;
      candidate.partner = other[j].row;
    }
  };
  judge(firsts, nearFirst, seconds, nearSecond);
  judge(seconds, nearSecond, firsts, nearFirst);

  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RowCandidate& candidate = matches.rows[i];
    if (!candidate.searched) continue;
    switch (candidate.status) {
      case CandidateStatus::Accepted:
        if (rows[i].status == ShiftStatus::OnlyInFirst) {
          matches.acceptedPairs += 1;
          matches.acceptedRows.push_back(i);
        }
        break;
      case CandidateStatus::Ambiguous:
        matches.ambiguous += 1;
        break;
      case CandidateStatus::None:
        matches.none += 1;
        break;
    }
  }
  return matches;
}

}  // namespace tessovane2::analysis
