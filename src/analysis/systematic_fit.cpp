// The systematic change of a network from the shifts of its marks.
// Frame: every mark's 1st-file position on GRS80 (height 0 when it has
// none), in the local east/north/up frame at the centroid of the positions
// of the marks that define the fit; every shift turned from the mark's own
// local frame into that frame (a missing up shift counts as 0 there, and such
// a mark takes no part in the vertical or 3D fit). The model is fitted there;
// its shift at each mark is turned back into the mark's frame, so that
// res_dn = dn - fit_dn exactly as written.
// Robust scale: sigma_h = median(|v_h|) / 1.1774, the median length of a 2D
// Gaussian residual with unit components being sqrt(2 ln 2) = 1.1774;
// sigma_v = median(|v_u|) / 0.6745, the normal distribution's quartile.
#include "analysis/systematic_fit.h"

#include <algorithm>
#include <cmath>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/network_frame.h"
#include "analysis/planar_similarity.h"
#include "analysis/point_spread.h"
#include "analysis/robust_reweighting.h"
#include "analysis/spatial_similarity.h"
#include "analysis/vertical_fit.h"
#include "geodesy/local_frame.h"

namespace tessovane2::analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kArcSecondsPerRadian = 206264.80624709636;
constexpr double kPpm = 1e6;
constexpr double kHorizontalMedianToSigma = 1.1774;
constexpr double kVerticalMedianToSigma = 0.6745;
// The median length of a 3D Gaussian residual with unit components, for the
// inliers of the 3D fit: sqrt of the chi-square(3) median 2.366.
constexpr double kSpatialMedianToSigma = 1.5382;
// Standard deviations. The least-squares formulas with the reweighting's
// weights (w = 1/|v|, so sum w |v|^2 = sum |v|) understate them about twofold
// for normal noise: the weights are not inverse variances. They are taken
// instead from a least-squares fit of the inliers (the used marks within the
// sigma limit) with equal weights, sigma0^2 = sum |v|^2 / (2n - 4) and so on,
// times the cost of fitting in L1: 1/sqrt(efficiency) of the median against
// the mean for normal noise in 1, 2 and 3 dimensions (2/pi, pi/4, 8/(3 pi)).
constexpr double kL1CostVertical = 1.2533141373155001;    // sqrt(pi / 2)
constexpr double kL1CostHorizontal = 1.1283791670955126;  // sqrt(4 / pi)
constexpr double kL1CostSpatial = 1.0854018818924622;     // sqrt(3 pi / 8)
// The robust standard deviations never fall below a micrometre: identical
// files give residuals of 0 and res_sigma 0, not 0 / 0. A micrometre is far
// below any survey's resolution (0.00001" of latitude is 0.3 mm) and far
// above the rounding of a fitted shift (some nanometres on 3,000 km).
constexpr double kSigmaFloor = 1e-6;
// Marks closer than this to one point, or to one line (root-mean-square
// distance, metres), do not determine a rotation, a scale or a tilt.
constexpr double kDegenerateSpread = 1e-3;

// Sums run over the marks in one fixed order, whatever the order of the
// input: by key, then by the position and the shifts (IEEE total order, so
// NaN sorts too).
bool markBefore(const FitMark& a, const FitMark& b) {
  if (a.key != b.key) {
    return a.key < b.key;
  }
  const double left[] = {a.latitude, a.longitude, a.height, a.dn, a.de, a.du};
  const double right[] = {b.latitude, b.longitude, b.height, b.dn, b.de, b.du};
  for (std::size_t k = 0; k < std::size(left); ++k) {
    const std::strong_ordering order = std::strong_order(left[k], right[k]);
    if (order != 0) {
      return order < 0;
    }
  }
  return a.usable < b.usable;
}

// A mark in the order of the sums. Its position and shift are in the
// network frame; its geocentric position and its own local frame (96 bytes
// more, 19 MB on 200,000 marks) are computed again where needed.
struct PreparedMark {
  std::size_t input;  // index in the input
  bool placed;        // finite latitude and longitude
  bool hasUp;         // finite du
  bool usedHorizontal;
  bool usedVertical;
  geodesy::EastNorthUp position;  // in the network frame
  geodesy::EastNorthUp shift;     // in the network frame
};

// What a mark can take part in.
PreparedMark markUse(const FitMark& m, FitModel model) {
  PreparedMark p{};
  p.placed = std::isfinite(m.latitude) && std::isfinite(m.longitude);
  p.hasUp = std::isfinite(m.du);
  const bool shifted = std::isfinite(m.dn) && std::isfinite(m.de);
  const bool sound = m.usable && p.placed && shifted;
  if (model == FitModel::Similarity3d) {
    p.usedHorizontal = sound && p.hasUp && std::isfinite(m.height);
    p.usedVertical = p.usedHorizontal;
  } else {
    p.usedHorizontal = sound;
    p.usedVertical = sound && p.hasUp;
  }
  return p;
}

double heightOrZero(double height) { return std::isfinite(height) ? height : 0.0; }

geodesy::Placement placementOf(const FitMark& m) {
  return geodesy::placementOf({m.latitude, m.longitude, heightOrZero(m.height)});
}

// The first eight bytes of a key as a big-endian number, zero-padded: where
// two of them differ, they order the keys as the keys' own comparison does.
std::uint64_t keyPrefix(std::string_view key) {
  std::uint64_t prefix = 0;
  for (std::size_t k = 0; k < sizeof prefix; ++k) {
    prefix = prefix << 8 | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
  }
  return prefix;
}

// The marks in the order of markBefore. Compared by their key prefixes first
// (PIDs and SSNs fit in them whole), markBefore only on equal prefixes:
// the whole run of 2 x 200,000 stations by PID with --fit similarity and
// both formats took 5.68 billion instructions (callgrind) with markBefore
// alone, 5.30 billion with the prefixes.
std::vector<std::size_t> sumOrder(std::span<const FitMark> marks) {
  struct Entry {
    std::uint64_t prefix;
    std::size_t input;
  };
  std::vector<Entry> entries;
  entries.reserve(marks.size());
  for (std::size_t i = 0; i < marks.size(); ++i) {
    entries.push_back({keyPrefix(marks[i].key), i});
  }
  std::sort(entries.begin(), entries.end(), [&marks](const Entry& a, const Entry& b) {
    if (a.prefix != b.prefix) {
      return a.prefix < b.prefix;
    }
    return markBefore(marks[a.input], marks[b.input]);
  });
  std::vector<std::size_t> order;
  order.reserve(marks.size());
  for (const Entry& e : entries) {
    order.push_back(e.input);
  }
  return order;
}

// The marks in the order of the sums, and how many define each part.
struct Prepared {
  std::vector<PreparedMark> marks;
  std::size_t horizontal;  // marks that define the horizontal (or 3D) part
  std::size_t vertical;    // marks that define the vertical part
};

Prepared prepare(std::span<const FitMark> marks, FitModel model) {
  Prepared prepared{{}, 0, 0};
  prepared.marks.reserve(marks.size());
  for (const std::size_t i : sumOrder(marks)) {
    PreparedMark p = markUse(marks[i], model);
    p.input = i;
    prepared.horizontal += p.usedHorizontal ? 1 : 0;
    prepared.vertical += p.usedVertical ? 1 : 0;
    prepared.marks.push_back(p);
  }
  return prepared;
}

template <class Keep>
std::vector<SpatialVector> pick(const std::vector<PreparedMark>& marks, Keep keep) {
  std::vector<SpatialVector> picked;
  for (const PreparedMark& m : marks) {
    if (keep(m)) {
      picked.push_back({m.position.east, m.position.north, m.position.up});
    }
  }
  return picked;
}

// Why the marks do not determine the model, or an empty text.
std::string refusal(const Prepared& prepared, const FitOptions& options) {
  const std::vector<PreparedMark>& marks = prepared.marks;
  const std::size_t horizontal = prepared.horizontal, vertical = prepared.vertical;
  const bool spatial = options.model == FitModel::Similarity3d;
  const std::size_t needed = options.model == FitModel::Translation  ? 2
                             : options.model == FitModel::Similarity ? 3
                                                                     : 4;
  if (horizontal < needed) {
    return std::string(spatial ? "the 3D fit needs at least " : "the fit needs at least ") +
           std::to_string(needed) + (spatial ? " pairs with heights, has " : " pairs, has ") +
           std::to_string(horizontal);
  }
  const bool plane = !spatial && options.vertical == FitVertical::Plane;
  if (plane && vertical < 4) {
    return "the vertical plane needs at least 4 pairs with up shifts, has " + std::to_string(vertical);
  }
  if (options.model != FitModel::Translation) {
    std::vector<SpatialVector> points = pick(marks, [](const PreparedMark& m) { return m.usedHorizontal; });
    if (!spatial) {
      for (SpatialVector& p : points) {
        p.z = 0.0;
      }
    }
    if (spreadAboutCentroid(points) < kDegenerateSpread) {
      return "the marks used by the fit all lie at one place";
    }
    if (spatial && spreadAboutLine(points) < kDegenerateSpread) {
      return "the marks used by the fit all lie on one straight line, which leaves the rotation about it "
             "free";
    }
  }
  if (plane) {
    std::vector<SpatialVector> points = pick(marks, [](const PreparedMark& m) { return m.usedVertical; });
    for (SpatialVector& p : points) {
      p.z = 0.0;
    }
    if (spreadAboutLine(points) < kDegenerateSpread) {
      return "the marks with up shifts used by the fit all lie on one straight line, which leaves the tilt "
             "across it free";
    }
  }
  return {};
}

// The median, as of the sorted values.
double median(std::vector<double> values) {
  if (values.empty()) {
    return 0.0;
  }
  const std::size_t half = values.size() / 2;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(half);
  std::nth_element(values.begin(), middle, values.end());
  return values.size() % 2 == 1 ? *middle : (*std::max_element(values.begin(), middle) + *middle) / 2.0;
}

// The fitted model: its parameters and its shift anywhere in the network
// frame (systematicShiftAt).
struct Systematic {
  std::vector<FitParameter> parameters;
  FitVertical vertical;
  int iterations;
  bool converged;
  bool spatial;  // similarity3d: `space` holds the model, else `plane` and `surface`
  PlanarSimilarity plane;
  VerticalSurface surface;  // zero without a vertical part
  SpatialSimilarity space;
};

SpatialVector systematicShiftAt(const Systematic& s, const geodesy::EastNorthUp& position) {
  if (s.spatial) {
    return spatialShiftAt(s.space, {position.east, position.north, position.up});
  }
  const PlanarVector p{position.east, position.north};
  const PlanarVector f = planarShiftAt(s.plane, p);
  return {f.x, f.y, s.vertical != FitVertical::None ? verticalShiftAt(s.surface, p) : 0.0};
}

// The marks whose residual (observed - fitted) is within the sigma limit of
// the robust standard deviation median(|v|) / medianToSigma.
template <class FittedAt, class ObservedAt>
std::vector<bool> inliers(std::size_t count, const FittedAt& fittedAt, const ObservedAt& observedAt,
                          double medianToSigma, double limit) {
  std::vector<double> lengths(count);
  for (std::size_t i = 0; i < count; ++i) {
    lengths[i] = distance(observedAt(i), fittedAt(i));
  }
  const double sigma = std::max(median(lengths) / medianToSigma, kSigmaFloor);
  std::vector<bool> inside(count);
  for (std::size_t i = 0; i < count; ++i) {
    inside[i] = lengths[i] <= limit * sigma;
  }
  return inside;
}

// The values kept, in their order; compacted in place, since the values
// given are no longer needed (no copies of 200,000 marks).
template <class T>
std::vector<T> select(std::vector<T> values, const std::vector<bool>& keep) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (keep[i]) {
      values[kept++] = values[i];
    }
  }
  values.resize(kept);
  return values;
}

// At least as many inliers as the model needs with one to spare, or all marks.
std::vector<bool> enough(std::vector<bool> inside, std::size_t needed) {
  if (static_cast<std::size_t>(std::count(inside.begin(), inside.end(), true)) < needed) {
    std::fill(inside.begin(), inside.end(), true);
  }
  return inside;
}

// A robust fit and the least-squares fit of its inliers with equal weights,
// which gives the standard deviations.
template <class Model, class Fit>
struct RobustFit {
  Reweighting<Model> robust;
  Fit inliers;
};

RobustFit<PlanarSimilarity, PlanarSimilarityFit> fitHorizontal(const Prepared& prepared, PlanarModel model,
                                                               double sigmaLimit) {
  std::vector<PlanarVector> source, shift;
  source.reserve(prepared.horizontal);
  shift.reserve(source.capacity());
  for (const PreparedMark& m : prepared.marks) {
    if (m.usedHorizontal) {
      source.push_back({m.position.east, m.position.north});
      shift.push_back({m.shift.east, m.shift.north});
    }
  }
  const auto fit = [&](std::span<const double> weights) {
    return planarSimilarity(model, source, shift, weights);
  };
  const auto fittedAt = [&](const PlanarSimilarity& h, std::size_t i) { return planarShiftAt(h, source[i]); };
  const auto observedAt = [&](std::size_t i) { return shift[i]; };
  const Reweighting<PlanarSimilarity> robust =
      reweight(source.size(), extremeMarks<PlanarVector>(source), fit, fittedAt, observedAt);
  const std::vector<bool> inside =
      enough(inliers(
                 source.size(), [&](std::size_t i) { return fittedAt(robust.model, i); }, observedAt,
                 kHorizontalMedianToSigma, sigmaLimit),
             model == PlanarModel::Similarity ? 3 : 2);
  source = select(std::move(source), inside);
  shift = select(std::move(shift), inside);
  return {robust, fitPlanarSimilarity(model, source, shift, std::vector<double>(source.size(), 1.0))};
}

// reweight for an offset alone: the weighted mean of the up shifts, with
// the same steps, weights and sums in the same order, so the same bits; each
// step's weights and sums in one pass over the shifts, where the general form
// takes one for the weights and one over positions and shifts for the sums
// (the fit of 2 x 200,000 stations by PID with --fit similarity: 0.86 billion
// instructions with the general form, 0.73 billion with this one).
Reweighting<VerticalSurface> reweightOffset(std::span<const double> up) {
  // The mean with weights 1 / max(|u - offset|, kResidualFloor), or with
  // equal weights; 0 without weight, as fitVertical gives.
  const auto mean = [up](std::optional<double> offset) {
    double sumW = 0, sumU = 0;
    for (const double u : up) {
      const double w = offset ? 1.0 / std::max(std::fabs(u - *offset), kResidualFloor) : 1.0;
      sumW += w;
      sumU += w * u;
    }
    return up.empty() || !(sumW > 0) ? 0.0 : sumU / sumW;
  };
  Reweighting<VerticalSurface> run{{mean(std::nullopt), 0.0, 0.0}, 1, false};
  for (;;) {
    const double next = mean(run.model.offset);
    run.iterations += 1;
    const bool settled = !(std::fabs(next - run.model.offset) > kSettledChange);
    run.model.offset = next;
    if (settled) {
      run.converged = true;
      return run;
    }
    if (run.iterations == kMaximumIterations) return run;
  }
}

RobustFit<VerticalSurface, VerticalFit> fitUp(const Prepared& prepared, VerticalModel model,
                                              double sigmaLimit) {
  std::vector<PlanarVector> source;
  std::vector<double> up;
  source.reserve(prepared.vertical);
  up.reserve(source.capacity());
  for (const PreparedMark& m : prepared.marks) {
    if (m.usedVertical) {
      source.push_back({m.position.east, m.position.north});
      up.push_back(m.shift.up);
    }
  }
  const auto fit = [&](std::span<const double> weights) {
    return verticalSurface(model, source, up, weights);
  };
  const auto fittedAt = [&](const VerticalSurface& v, std::size_t i) {
    return verticalShiftAt(v, source[i]);
  };
  const auto observedAt = [&](std::size_t i) { return up[i]; };
  const Reweighting<VerticalSurface> robust =
      model == VerticalModel::Offset
          ? reweightOffset(up)
          : reweight(source.size(), extremeMarks<PlanarVector>(source), fit, fittedAt, observedAt);
  const std::vector<bool> inside =
      enough(inliers(
                 source.size(), [&](std::size_t i) { return fittedAt(robust.model, i); }, observedAt,
                 kVerticalMedianToSigma, sigmaLimit),
             model == VerticalModel::Plane ? 4 : 2);
  source = select(std::move(source), inside);
  up = select(std::move(up), inside);
  return {robust, fitVertical(model, source, up, std::vector<double>(source.size(), 1.0))};
}

// The horizontal model (translation or similarity) and the vertical one, each
// reweighted on its own.
Systematic fitPlanar(const Prepared& marks, const FitOptions& options) {
  const PlanarModel model =
      options.model == FitModel::Translation ? PlanarModel::Translation : PlanarModel::Similarity;
  const RobustFit<PlanarSimilarity, PlanarSimilarityFit> horizontal =
      fitHorizontal(marks, model, options.sigmaLimit);
  const PlanarSimilarity& h = horizontal.robust.model;
  const PlanarSimilarityFit& hp = horizontal.inliers;

  Systematic s{};
  s.iterations = horizontal.robust.iterations;
  s.converged = horizontal.robust.converged;
  s.plane = h;
  // An offset needs two marks with up shifts (one to spare); with fewer the
  // vertical part is left out rather than the whole fit refused, since many
  // comparisons carry no heights. A plane was checked beforehand.
  s.vertical = marks.vertical >= 2 ? options.vertical : FitVertical::None;
  VerticalSurface v{};
  VerticalFit vp{};
  if (s.vertical != FitVertical::None) {
    const VerticalModel vmodel =
        s.vertical == FitVertical::Plane ? VerticalModel::Plane : VerticalModel::Offset;
    const RobustFit<VerticalSurface, VerticalFit> vertical = fitUp(marks, vmodel, options.sigmaLimit);
    s.iterations = std::max(s.iterations, vertical.robust.iterations);
    s.converged = s.converged && vertical.robust.converged;
    v = vertical.robust.model;
    vp = vertical.inliers;
    s.surface = v;
  }

  const double ch = kL1CostHorizontal, cv = kL1CostVertical;
  s.parameters = {{"tn", "m", h.ty, ch * hp.sigmaTranslation}, {"te", "m", h.tx, ch * hp.sigmaTranslation}};
  if (s.vertical != FitVertical::None) {
    s.parameters.push_back({"tu", "m", v.offset, cv * vp.sigmaOffset});
  }
  if (model == PlanarModel::Similarity) {
    const double k = 1.0 + planarScaleMinusOne(h);
    s.parameters.push_back({"rotation", "arc-seconds", planarRotation(h) * kArcSecondsPerRadian,
                            ch * hp.sigmaAB / k * kArcSecondsPerRadian});
    s.parameters.push_back({"scale", "ppm", planarScaleMinusOne(h) * kPpm, ch * hp.sigmaAB * kPpm});
  }
  if (s.vertical == FitVertical::Plane) {
    s.parameters.push_back({"tilt_n", "ppm", v.tiltY * kPpm, cv * vp.sigmaTiltY * kPpm});
    s.parameters.push_back({"tilt_e", "ppm", v.tiltX * kPpm, cv * vp.sigmaTiltX * kPpm});
  }
  return s;
}

Systematic fitSpatial(const Prepared& prepared, const FitOptions& options) {
  std::vector<SpatialVector> source, shift;
  source.reserve(prepared.horizontal);
  shift.reserve(source.capacity());
  for (const PreparedMark& m : prepared.marks) {
    if (m.usedHorizontal) {
      source.push_back({m.position.east, m.position.north, m.position.up});
      shift.push_back({m.shift.east, m.shift.north, m.shift.up});
    }
  }
  const auto fit = [&](std::span<const double> weights) {
    return fitSpatialSimilarity(source, shift, weights);
  };
  const auto fittedAt = [&](const SpatialSimilarityFit& f, std::size_t i) {
    return spatialShiftAt(f.transform, source[i]);
  };
  const auto observedAt = [&](std::size_t i) { return shift[i]; };
  const Reweighting<SpatialSimilarityFit> run =
      reweight(source.size(), extremeMarks<SpatialVector>(source), fit, fittedAt, observedAt);
  const std::vector<bool> inside =
      enough(inliers(
                 source.size(), [&](std::size_t i) { return fittedAt(run.model, i); }, observedAt,
                 kSpatialMedianToSigma, options.sigmaLimit),
             4);
  source = select(std::move(source), inside);
  shift = select(std::move(shift), inside);
  const SpatialSimilarityFit p = fitSpatialSimilarity(source, shift, std::vector<double>(source.size(), 1.0));

  Systematic s{};
  s.vertical = FitVertical::None;
  s.iterations = run.iterations;
  s.converged = run.converged;
  s.spatial = true;
  s.space = run.model.transform;
  const SpatialSimilarity& t = run.model.transform;
  const double c = kL1CostSpatial;
  const auto arcSeconds = [](double radians) { return radians * kArcSecondsPerRadian; };
  s.parameters = {{"tn", "m", t.translation[1], c * p.sigmaTranslation[1]},
                  {"te", "m", t.translation[0], c * p.sigmaTranslation[0]},
                  {"tu", "m", t.translation[2], c * p.sigmaTranslation[2]},
                  {"rx", "arc-seconds", arcSeconds(t.rotation[0]), c * arcSeconds(p.sigmaRotation[0])},
                  {"ry", "arc-seconds", arcSeconds(t.rotation[1]), c * arcSeconds(p.sigmaRotation[1])},
                  {"rz", "arc-seconds", arcSeconds(t.rotation[2]), c * arcSeconds(p.sigmaRotation[2])},
                  {"scale", "ppm", t.scaleMinusOne * kPpm, c * p.sigmaScale * kPpm}};
  return s;
}

}  // namespace

FitOutcome fitSystematicChange(std::span<const FitMark> marks, const FitOptions& options) {
  Prepared prepared = prepare(marks, options.model);
  NetworkFrame frame{};
  {
    // Each mark's position and shift, geocentric: one sine and cosine of its
    // latitude and longitude give both.
    std::vector<geodesy::Geocentric> geocentric(prepared.marks.size()),
        geocentricShift(prepared.marks.size());
    std::vector<geodesy::Geocentric> defining;
    defining.reserve(prepared.horizontal);
    for (std::size_t i = 0; i < prepared.marks.size(); ++i) {
      if (prepared.marks[i].placed) {
        const FitMark& mark = marks[prepared.marks[i].input];
        const geodesy::Placement placement = placementOf(mark);
        geocentric[i] = placement.position;
        geocentricShift[i] =
            geodesy::fromLocal(placement.frame, {mark.de, mark.dn, prepared.marks[i].hasUp ? mark.du : 0.0});
      }
      if (prepared.marks[i].usedHorizontal) {
        defining.push_back(geocentric[i]);
      }
    }
    if (defining.empty()) {
      return {std::nullopt, refusal(prepared, options)};
    }
    frame = networkFrame(defining);
    for (std::size_t i = 0; i < prepared.marks.size(); ++i) {
      PreparedMark& m = prepared.marks[i];
      if (m.placed) {
        m.position = positionIn(frame, geocentric[i]);
        m.shift = geodesy::toLocal(frame.axes, geocentricShift[i]);
      }
    }
  }
  if (std::string why = refusal(prepared, options); !why.empty()) {
    return {std::nullopt, why};
  }

  const Systematic systematic =
      options.model == FitModel::Similarity3d ? fitSpatial(prepared, options) : fitPlanar(prepared, options);
  FitResult result{};
  result.model = options.model;
  result.vertical = systematic.vertical;
  result.parameters = systematic.parameters;
  result.iterations = systematic.iterations;
  result.converged = systematic.converged;
  result.originLatitude = frame.originGeodetic.latitude;
  result.originLongitude = frame.originGeodetic.longitude;
  result.originHeight = frame.originGeodetic.height;
  std::vector<double> horizontalResiduals, verticalResiduals;
  horizontalResiduals.reserve(prepared.horizontal);
  verticalResiduals.reserve(prepared.vertical);
  // The model at every mark, in the input's order (no sums from here on):
  // the prepared marks (64 bytes each) go first, and the positions are
  // computed again.
  prepared.marks = {};
  result.marks.assign(marks.size(), MarkFit{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, false});
  for (std::size_t i = 0; i < marks.size(); ++i) {
    const FitMark& mark = marks[i];
    const PreparedMark m = markUse(mark, options.model);
    if (!m.placed) {
      continue;
    }
    const geodesy::Placement placement = placementOf(mark);
    const SpatialVector f = systematicShiftAt(systematic, positionIn(frame, placement.position));
    const geodesy::EastNorthUp fitted = networkToMark(frame, placement.frame, {f.x, f.y, f.z});
    MarkFit& out = result.marks[i];
    out.fitDn = fitted.north;
    out.fitDe = fitted.east;
    out.fitDu = fitted.up;
    out.resDn = mark.dn - fitted.north;
    out.resDe = mark.de - fitted.east;
    out.resDu = mark.du - fitted.up;
    out.resHorizontal = residualLength(out.resDn, out.resDe);
    if (m.usedHorizontal) {
      horizontalResiduals.push_back(out.resHorizontal);
      result.pairsUsed += 1;
    }
    if (m.usedVertical) {
      verticalResiduals.push_back(std::fabs(out.resDu));
      result.pairsUsedVertical += 1;
    }
  }
  result.sigmaH = std::max(median(std::move(horizontalResiduals)) / kHorizontalMedianToSigma, kSigmaFloor);
  const bool vertical = options.model == FitModel::Similarity3d || systematic.vertical != FitVertical::None;
  result.sigmaV =
      vertical ? std::max(median(std::move(verticalResiduals)) / kVerticalMedianToSigma, kSigmaFloor) : 0.0;
  if (!vertical) {
    result.pairsUsedVertical = 0;
  }
  for (MarkFit& out : result.marks) {
    out.resSigma = out.resHorizontal / result.sigmaH;
    out.outlier = out.resSigma > options.sigmaLimit;
  }
  return {std::move(result), {}};
}

}  // namespace tessovane2::analysis
