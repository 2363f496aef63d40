// The robust fit of a network's systematic change: which part of the shifts
// between two surveys is a change of the whole network (a new datum
// realisation: translation, rotation, scale), and which marks moved
// relative to it.
#pragma once

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessovane2::analysis {

// One pair of the comparison.
struct FitMark {
  std::string_view key;  // PID or SSN: orders the sums and breaks ties
  double latitude;       // 1st file, signed decimal degrees (north positive)
  double longitude;      // 1st file, signed decimal degrees (east positive)
  double height;         // 1st file, ellipsoidal or orthometric metres; NaN when none
  double dn;             // shift north, 2nd minus 1st (metres)
  double de;             // shift east (metres)
  double du;             // shift up (metres); NaN when either height is missing
  bool usable;           // may define the systematic part (a stable mark with a sound position)
};

enum class FitModel {
  Translation,   // north and east shift
  Similarity,    // 2D conformal: north and east shift, rotation about up, scale
  Similarity3d,  // three translations, three rotations, a scale
};

enum class FitVertical {
  None,    // no separate vertical part: similarity3d, or fewer than 2 pairs with up shifts for an offset
  Offset,  // one up shift
  Plane,   // an up shift and two tilts
};

struct FitOptions {
  FitModel model = FitModel::Similarity;
  FitVertical vertical = FitVertical::Offset;  // Offset or Plane; ignored by similarity3d
  double sigmaLimit = 5.0;                     // K: an outlier's horizontal residual exceeds K sigma_h
};

// A parameter by name: tn, te, tu (metres, at the frame's origin); rotation
// (arc-seconds about up, counter-clockwise from east towards north) or rx,
// ry, rz (arc-seconds, right-handed about east, north and up: the rotation
// vector turning the 1st network into the 2nd); scale (ppm); tilt_n, tilt_e
// (ppm: millimetres of up shift per kilometre northwards, eastwards).
struct FitParameter {
  std::string_view name;
  std::string_view unit;  // "m", "arc-seconds" or "ppm"
  double value;
  double standardDeviation;
};

// The fit at one mark, in the mark's own local east/north/up frame (metres).
// A mark without a finite position has NaN everywhere; the residuals are NaN
// where the shift they take apart is (res_du where du is NaN).
// The horizontal length of a residual (metres): sqrt(dn^2 + de^2), within an
// ulp of hypot's value at a sixth of its cost (hypot took 6 ms a run on
// 200,000 marks). The one rule of res_horizontal, for the pairs of the fit
// and the located pairs alike.
inline double residualLength(double dn, double de) { return std::sqrt(dn * dn + de * de); }

struct MarkFit {
  double fitDn;  // the systematic part of the shift
  double fitDe;
  double fitDu;
  double resDn;  // dn - fitDn
  double resDe;
  double resDu;
  double resHorizontal;  // residualLength(resDn, resDe)
  double resSigma;       // resHorizontal / sigmaH
  bool outlier;          // resSigma > the sigma limit
};

struct FitResult {
  FitModel model;
  FitVertical vertical;  // what was fitted: None for similarity3d or without heights
  std::vector<FitParameter> parameters;
  double sigmaH;          // robust standard deviation of a horizontal residual component (metres)
  double sigmaV;          // robust standard deviation of an up residual (metres; 0 without a vertical part)
  int pairsUsed;          // marks that defined the horizontal (or the 3D) part
  int pairsUsedVertical;  // marks that defined the vertical part (the 3D part for similarity3d)
  int iterations;         // reweighting steps, the larger count of the horizontal and vertical parts
  bool converged;         // false when a part stopped at the iteration limit
  double originLatitude;  // the frame's origin, the centroid of the 1st file's used positions (degrees)
  double originLongitude;
  double originHeight;         // metres above the ellipsoid (below the surface for a large network)
  std::vector<MarkFit> marks;  // in the order of the input
};

// A fit, or the reason there is none.
struct FitOutcome {
  std::optional<FitResult> result;
  std::string refusal;  // why the marks do not determine the model; empty with a result
};

// Fits the systematic change to the usable marks, robustly (an iteratively
// reweighted fit that at convergence minimises the sum of the residual
// lengths), and evaluates it at every mark. The result is the same to the
// last bit for any order of the marks.
FitOutcome fitSystematicChange(std::span<const FitMark> marks, const FitOptions& options);

}  // namespace tessovane2::analysis
