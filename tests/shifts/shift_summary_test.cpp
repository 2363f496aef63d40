// The summary's statistics against figures worked out by hand.
#include "shifts/shift_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tessovane2::shifts {
namespace {

TEST(Percentile, LinearBetweenOrderStatisticsAsNumpyAndPercentileInc) {
  struct Case {
    std::vector<double> sorted;
    double p, expected;
  };
  const Case cases[] = {
      {{1, 2, 3, 4}, 0.50, 2.5},
      {{1, 2, 3, 4}, 0.95, 3.85},  // rank 2.85
      {{1, 2, 3, 4}, 0.99, 3.97},
      {{15, 20, 35, 40, 50}, 0.40, 29.0},
      {{15, 20, 35, 40, 50}, 0.5, 35},
      {{0, 10}, 0.95, 9.5},
      {{7}, 0.99, 7},
      {{1, 2, 3, 4}, 1.0, 4},
      {{1, 2, 3, 4}, 0.0, 1},
  };
  for (const Case& c : cases) EXPECT_NEAR(percentile(c.sorted, c.p), c.expected, 1e-12) << c.p;
  EXPECT_TRUE(std::isnan(percentile({}, 0.5)));
}

TEST(ComponentStatistics, MeanSampleDeviationAndRms) {
  const std::vector<double> values = {1, 2, 3, 4};
  const ComponentStatistics s = componentStatistics(values);
  EXPECT_EQ(s.count, 4);
  EXPECT_DOUBLE_EQ(s.mean, 2.5);
  EXPECT_DOUBLE_EQ(s.standardDeviation, std::sqrt(5.0 / 3.0));  // n - 1
  EXPECT_DOUBLE_EQ(s.rms, std::sqrt(7.5));
  // A spread of 1e-4 m about 1e6 m survives: the deviations are taken from the mean.
  const std::vector<double> far = {1e6 - 1e-4, 1e6 + 1e-4};
  EXPECT_NEAR(componentStatistics(far).standardDeviation, std::sqrt(2.0) * 1e-4, 1e-9);
  const std::vector<double> one = {3};
  EXPECT_TRUE(std::isnan(componentStatistics(one).standardDeviation));
  EXPECT_TRUE(std::isnan(componentStatistics({}).mean));
}

}  // namespace
}  // namespace tessovane2::shifts
