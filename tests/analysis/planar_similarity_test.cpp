// The weighted 2D similarity step against a published, public-domain worked
// example of a four-point conformal transformation: every printed digit.
#include "analysis/planar_similarity.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tessovane2::analysis {
namespace {

std::string fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%+.*f", decimals, value);
  return text;
}

TEST(PlanarSimilarity, ReproducesThePublishedFourPointExample) {
  const std::vector<PlanarVector> source = {
      {1334.71, 285.94}, {563.67, -5197.34}, {4444.27, 1153.79}, {-252.07, 2881.90}};
  const std::vector<PlanarVector> target = {
      {83477.64, 47377.60}, {82557.14, 41916.51}, {86610.19, 48160.39}, {81962.05, 50016.34}};
  std::vector<PlanarVector> shift;
  for (std::size_t i = 0; i < source.size(); ++i) {
    shift.push_back({target[i].x - source[i].x, target[i].y - source[i].y});
  }
  const std::vector<double> weights(source.size(), 1.0);
  const PlanarSimilarityFit fit = fitPlanarSimilarity(PlanarModel::Similarity, source, shift, weights);
  const PlanarSimilarity& t = fit.transform;
  EXPECT_EQ(fixed(1 + t.aMinusOne, 12), "+0.999787994227");
  EXPECT_EQ(fixed(t.b, 12), "-0.027289778074");
  EXPECT_EQ(fixed(t.tx, 4), "+82135.4073");
  EXPECT_EQ(fixed(t.ty, 4), "+47128.1437");
  EXPECT_EQ(fixed(1 + planarScaleMinusOne(t), 12), "+1.000160369835");
  EXPECT_EQ(fixed(planarRotation(t) * 180 / 3.141592653589793, 10), "-1.5635324426");
  const char* const residuals[][2] = {
      {"+0.0024", "+0.0008"}, {"+0.0165", "-0.0132"}, {"-0.0318", "-0.0160"}, {"+0.0129", "+0.0283"}};
  for (std::size_t i = 0; i < source.size(); ++i) {
    const PlanarVector fitted = planarShiftAt(t, source[i]);
    EXPECT_EQ(fixed(shift[i].x - fitted.x, 4), residuals[i][0]) << i;
    EXPECT_EQ(fixed(shift[i].y - fitted.y, 4), residuals[i][1]) << i;
  }
  EXPECT_EQ(fixed(fit.sigma0, 4), "+0.0259");
}

}  // namespace
}  // namespace tessovane2::analysis
