// The robust fit of a network's systematic change: known changes recovered,
// marks that moved kept out of the datum, the same bits in any input order,
// and the refusals of marks that do not determine the model.
#include "analysis/systematic_fit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "network_builder.h"

namespace tessovane2::analysis {
namespace {

using testing::KnownChange;
using testing::Network;
using testing::parameter;
using testing::standardDeviation;

struct RecoveryCase {
  const char* name;
  FitOptions options;
  double across;  // metres
  KnownChange known;
  std::vector<const char*> parameters;
};

// Translations of a few metres, rotations of an arc-second, a scale of 2 ppm.
const RecoveryCase kRecoveryCases[] = {
    {"translation",
     {FitModel::Translation, FitVertical::Offset},
     300e3,
     {-2.7, 3.2, 0.85, 0, 0, 0, 0, 0, 0},
     {"tn", "te", "tu"}},
    {"similarity",
     {FitModel::Similarity, FitVertical::Offset},
     300e3,
     {-2.7, 3.2, 0.85, 0, 0, 1.0, 2.0, 0, 0},
     {"tn", "te", "tu", "rotation", "scale"}},
    {"similarity with plane",
     {FitModel::Similarity, FitVertical::Plane},
     300e3,
     {-2.7, 3.2, 0.85, 0, 0, -1.0, 2.0, 0.4, -0.25},
     {"tn", "te", "tu", "rotation", "scale", "tilt_n", "tilt_e"}},
    {"similarity3d",
     {FitModel::Similarity3d, FitVertical::Offset},
     3000e3,
     {-2.4, 3.1, 1.7, 0.5, -0.8, 1.0, 2.0, 0, 0},
     {"tn", "te", "tu", "rx", "ry", "rz", "scale"}},
};

double truth(const KnownChange& k, std::string_view name) {
  if (name == "tn") return k.tn;
  if (name == "te") return k.te;
  if (name == "tu") return k.tu;
  if (name == "rx") return k.rx;
  if (name == "ry") return k.ry;
  if (name == "rz" || name == "rotation") return k.rz;
  if (name == "scale") return k.scale;
  if (name == "tilt_n") return k.tiltN;
  return k.tiltE;
}

Network shiftedNetwork(const RecoveryCase& c, double noise, int count) {
  Network network = testing::scatteredNetwork(count, c.across, 7);
  testing::shiftBy(network, c.options.model == FitModel::Similarity3d ? testing::spatialChange(c.known)
                                                                      : testing::planarChange(c.known));
  if (noise > 0) {
    testing::addNoise(network, noise, 2 * noise, 11);
  }
  return network;
}

TEST(SystematicFit, RecoversAKnownChangeToOnePartInABillion) {
  for (const RecoveryCase& c : kRecoveryCases) {
    const Network network = shiftedNetwork(c, 0.0, 200);
    const FitOutcome outcome = fitSystematicChange(network.marks, c.options);
    ASSERT_TRUE(outcome.result) << c.name << ": " << outcome.refusal;
    const FitResult& r = *outcome.result;
    EXPECT_EQ(r.parameters.size(), c.parameters.size()) << c.name;
    for (const char* name : c.parameters) {
      EXPECT_NEAR(parameter(r, name), truth(c.known, name), 1e-9 * std::fabs(truth(c.known, name)))
          << c.name << " " << name;
    }
    EXPECT_TRUE(r.converged) << c.name;
    EXPECT_EQ(r.pairsUsed, 200) << c.name;
    for (const MarkFit& m : r.marks) {
      ASSERT_LT(m.resHorizontal, 1e-8) << c.name;
      ASSERT_LT(std::fabs(m.resDu), 1e-8) << c.name;
      ASSERT_FALSE(m.outlier) << c.name;
    }
  }
}

TEST(SystematicFit, WithNoiseRecoversTheChangeWithinItsStandardDeviations) {
  const double noise = 0.002;  // metres per horizontal component, twice that up
  for (const RecoveryCase& c : kRecoveryCases) {
    const Network network = shiftedNetwork(c, noise, 1000);
    const FitOutcome outcome = fitSystematicChange(network.marks, c.options);
    ASSERT_TRUE(outcome.result) << c.name << ": " << outcome.refusal;
    const FitResult& r = *outcome.result;
    for (const char* name : c.parameters) {
      EXPECT_GT(standardDeviation(r, name), 0.0) << c.name << " " << name;
      EXPECT_LT(std::fabs(parameter(r, name) - truth(c.known, name)), 3 * standardDeviation(r, name))
          << c.name << " " << name;
    }
    // The median-based standard deviations of 1,000 marks vary by about 4 %.
    EXPECT_NEAR(r.sigmaH, noise, 0.12 * noise) << c.name;
    EXPECT_NEAR(r.sigmaV, 2 * noise, 0.24 * noise) << c.name;
    EXPECT_TRUE(r.converged) << c.name;
  }
}

// Least squares would take about 20 mm of the common 5 cm into the datum.
TEST(SystematicFit, FortyPercentOfTheMarksMovedDoNotDragTheDatum) {
  for (const FitModel model : {FitModel::Translation, FitModel::Similarity}) {
    Network network = testing::scatteredNetwork(100, 300e3, 3);
    testing::addNoise(network, 0.001, 0.002, 5);
    std::vector<bool> moved(network.marks.size(), false);
    std::fill(moved.begin(), moved.begin() + 40, true);
    std::shuffle(moved.begin(), moved.end(), std::mt19937_64(17));
    for (std::size_t i = 0; i < moved.size(); ++i) {
      if (moved[i]) {
        network.marks[i].dn += 0.03;
        network.marks[i].de += 0.04;
      }
    }
    const FitOutcome outcome = fitSystematicChange(network.marks, {model, FitVertical::Offset});
    ASSERT_TRUE(outcome.result) << outcome.refusal;
    for (std::size_t i = 0; i < moved.size(); ++i) {
      const MarkFit& m = outcome.result->marks[i];
      EXPECT_LT(std::hypot(m.fitDn, m.fitDe), 0.008) << i;
      EXPECT_EQ(m.resHorizontal > 0.03, moved[i]) << i;
      EXPECT_EQ(m.outlier, moved[i]) << i;
    }
  }
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(SystematicFit, AnyOrderOfTheMarksGivesTheSameBits) {
  Network network = testing::scatteredNetwork(60, 3000e3, 23);
  testing::shiftBy(network, testing::spatialChange({0.1, -0.2, 0.05, 0.01, 0.02, -0.03, 0.5, 0, 0}));
  testing::addNoise(network, 0.003, 0.006, 29);
  network.marks[3].dn += 0.2;           // moved
  network.marks[8].usable = false;      // not stable
  network.marks[12].du = std::nan("");  // no height in one file
  network.marks[15].height = network.marks[15].du = std::nan("");
  network.marks[21].latitude = std::nan("");      // no position
  network.marks[30].key = network.marks[31].key;  // a duplicate key
  std::mt19937_64 engine(31);
  for (const FitModel model : {FitModel::Translation, FitModel::Similarity, FitModel::Similarity3d}) {
    for (const FitVertical vertical : {FitVertical::Offset, FitVertical::Plane}) {
      const FitOptions options{model, vertical};
      const FitResult first = *fitSystematicChange(network.marks, options).result;
      std::vector<std::size_t> order(network.marks.size());
      std::iota(order.begin(), order.end(), std::size_t{0});
      for (int round = 0; round < 3; ++round) {
        std::shuffle(order.begin(), order.end(), engine);
        std::vector<FitMark> shuffled;
        for (const std::size_t i : order) {
          shuffled.push_back(network.marks[i]);
        }
        const FitResult again = *fitSystematicChange(shuffled, options).result;
        ASSERT_EQ(again.parameters.size(), first.parameters.size());
        for (std::size_t k = 0; k < first.parameters.size(); ++k) {
          EXPECT_TRUE(sameBits(again.parameters[k].value, first.parameters[k].value))
              << first.parameters[k].name;
          EXPECT_TRUE(sameBits(again.parameters[k].standardDeviation, first.parameters[k].standardDeviation));
        }
        EXPECT_TRUE(sameBits(again.sigmaH, first.sigmaH) && sameBits(again.sigmaV, first.sigmaV));
        EXPECT_EQ(again.iterations, first.iterations);
        for (std::size_t j = 0; j < order.size(); ++j) {
          const MarkFit& a = again.marks[j];
          const MarkFit& b = first.marks[order[j]];
          const double left[] = {a.fitDn, a.fitDe, a.fitDu,         a.resDn,
                                 a.resDe, a.resDu, a.resHorizontal, a.resSigma};
          const double right[] = {b.fitDn, b.fitDe, b.fitDu,         b.resDn,
                                  b.resDe, b.resDu, b.resHorizontal, b.resSigma};
          EXPECT_EQ(std::memcmp(left, right, sizeof left), 0) << "mark " << order[j];
          EXPECT_EQ(a.outlier, b.outlier);
        }
      }
    }
  }
}

// Marks along a line, at one place, or too few for the model.
struct RefusalCase {
  const char* name;
  FitOptions options;
  std::function<void(Network&)> arrange;
  const char* refusal;
};

void keepUsable(Network& n, std::size_t count) {
  for (std::size_t i = count; i < n.marks.size(); ++i) {
    n.marks[i].usable = false;
  }
}
// Every mark at the first one's latitude and longitude, heights apart.
void onePlumbLine(Network& n) {
  for (FitMark& m : n.marks) {
    m.latitude = n.marks[0].latitude;
    m.longitude = n.marks[0].longitude;
  }
}
void oneMeridian(Network& n) {
  for (FitMark& m : n.marks) {
    m.longitude = n.marks[0].longitude;
  }
}

TEST(SystematicFit, RefusesMarksThatDoNotDetermineTheModel) {
  const FitOptions translation{FitModel::Translation, FitVertical::Offset};
  const FitOptions similarity{FitModel::Similarity, FitVertical::Offset};
  const FitOptions plane{FitModel::Similarity, FitVertical::Plane};
  const FitOptions spatial{FitModel::Similarity3d, FitVertical::Offset};
  const RefusalCase cases[] = {
      {"no marks", similarity, [](Network& n) { n.marks.clear(); }, "the fit needs at least 3 pairs, has 0"},
      {"one stable mark", translation, [](Network& n) { keepUsable(n, 1); },
       "the fit needs at least 2 pairs, has 1"},
      {"two stable marks", similarity, [](Network& n) { keepUsable(n, 2); },
       "the fit needs at least 3 pairs, has 2"},
      {"shifts not numbers", similarity,
       [](Network& n) {
         keepUsable(n, 3);
         n.marks[1].de = std::nan("");
       },
       "the fit needs at least 3 pairs, has 2"},
      {"three marks with heights", spatial,
       [](Network& n) {
         keepUsable(n, 4);
         n.marks[2].du = std::nan("");
       },
       "the 3D fit needs at least 4 pairs with heights, has 3"},
      {"three up shifts for a plane", plane,
       [](Network& n) {
         for (std::size_t i = 3; i < n.marks.size(); ++i) n.marks[i].du = std::nan("");
       },
       "the vertical plane needs at least 4 pairs with up shifts, has 3"},
      {"one place", similarity, onePlumbLine, "the marks used by the fit all lie at one place"},
      {"one place within a millimetre", spatial,
       [](Network& n) {
         onePlumbLine(n);
         for (FitMark& m : n.marks) m.height = 100.0 + 1e-4 * static_cast<double>(&m - n.marks.data());
       },
       "the marks used by the fit all lie at one place"},
      {"one plumb line", spatial, onePlumbLine,
       "the marks used by the fit all lie on one straight line, which leaves the rotation about it free"},
      {"one meridian", plane, oneMeridian,
       "the marks with up shifts used by the fit all lie on one straight line, which leaves the tilt across "
       "it free"},
  };
  for (const RefusalCase& c : cases) {
    Network network = testing::scatteredNetwork(8, 300e3, 41);
    testing::addNoise(network, 0.002, 0.004, 43);
    c.arrange(network);
    const FitOutcome outcome = fitSystematicChange(network.marks, c.options);
    EXPECT_FALSE(outcome.result) << c.name;
    EXPECT_EQ(outcome.refusal, c.refusal) << c.name;
  }
}

// Inputs that are odd but determine the model: every output a number
// (NaN only where the input has none).
TEST(SystematicFit, OddButDeterminedInputsGiveNumbers) {
  struct Case {
    const char* name;
    FitOptions options;
    std::function<void(Network&)> arrange;
  };
  const Case cases[] = {
      {"identical files", {FitModel::Similarity3d, FitVertical::Offset}, [](Network&) {}},
      {"identical files, plane", {FitModel::Similarity, FitVertical::Plane}, [](Network&) {}},
      {"a translation at one place", {FitModel::Translation, FitVertical::Offset}, onePlumbLine},
      {"no heights",
       {FitModel::Similarity, FitVertical::Offset},
       [](Network& n) {
         for (FitMark& m : n.marks) m.height = m.du = std::nan("");
       }},
      {"two marks at one place",
       {FitModel::Similarity, FitVertical::Offset},
       [](Network& n) {
         n.marks[1].latitude = n.marks[0].latitude;
         n.marks[1].longitude = n.marks[0].longitude;
         n.marks[1].dn = 0.05;
       }},
  };
  for (const Case& c : cases) {
    Network network = testing::scatteredNetwork(8, 300e3, 47);
    c.arrange(network);
    const FitOutcome outcome = fitSystematicChange(network.marks, c.options);
    ASSERT_TRUE(outcome.result) << c.name << ": " << outcome.refusal;
    const FitResult& r = *outcome.result;
    for (const FitParameter& p : r.parameters) {
      EXPECT_TRUE(std::isfinite(p.value) && std::isfinite(p.standardDeviation)) << c.name << " " << p.name;
    }
    EXPECT_TRUE(std::isfinite(r.sigmaH) && std::isfinite(r.sigmaV)) << c.name;
    for (std::size_t i = 0; i < r.marks.size(); ++i) {
      const MarkFit& m = r.marks[i];
      const double values[] = {m.fitDn, m.fitDe, m.fitDu, m.resDn, m.resDe, m.resHorizontal, m.resSigma};
      for (const double v : values) {
        EXPECT_TRUE(std::isfinite(v)) << c.name << " mark " << i;
      }
      EXPECT_EQ(std::isfinite(m.resDu), std::isfinite(network.marks[i].du)) << c.name << " mark " << i;
    }
  }
}

TEST(SystematicFit, IdenticalFilesLeaveNothing) {
  const Network network = testing::scatteredNetwork(8, 300e3, 53);
  for (const FitModel model : {FitModel::Translation, FitModel::Similarity, FitModel::Similarity3d}) {
    const FitResult r = *fitSystematicChange(network.marks, {model, FitVertical::Plane}).result;
    for (const FitParameter& p : r.parameters) {
      EXPECT_EQ(p.value, 0.0) << p.name;
    }
    for (const MarkFit& m : r.marks) {
      EXPECT_EQ(m.resSigma, 0.0);
      EXPECT_FALSE(m.outlier);
    }
  }
}

TEST(SystematicFit, MarksWithoutAPositionOrHeightsTakeNoPart) {
  Network network = testing::scatteredNetwork(10, 300e3, 59);
  network.marks[0].latitude = std::nan("");
  network.marks[0].dn = 3.0;
  network.marks[1].usable = false;
  network.marks[1].dn = 5.0;
  network.marks[2].du = std::nan("");
  const FitResult r = *fitSystematicChange(network.marks, {FitModel::Similarity, FitVertical::Offset}).result;
  EXPECT_EQ(r.pairsUsed, 8);
  EXPECT_EQ(r.pairsUsedVertical, 7);
  for (const FitParameter& p : r.parameters) {
    EXPECT_EQ(p.value, 0.0) << p.name;
  }
  EXPECT_TRUE(std::isnan(r.marks[0].fitDn) && std::isnan(r.marks[0].resSigma) && !r.marks[0].outlier);
  EXPECT_TRUE(r.marks[1].outlier);
  EXPECT_TRUE(std::isnan(r.marks[2].resDu) && std::isfinite(r.marks[2].fitDu));
}

}  // namespace
}  // namespace tessovane2::analysis
