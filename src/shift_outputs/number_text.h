// Numbers as text for the companion's files: fixed decimals, a decimal
// point whatever the locale, exact rounding of the double's value.
#pragma once

#include <string>

#include "format/fixed_columns.h"

namespace tessovane2::shifts {

// Decimals of each kind of figure in the CSV and GeoJSON files.
inline constexpr int kDegreeDecimals = 9;
inline constexpr int kMetreDecimals = 4;
inline constexpr int kAzimuthDecimals = 2;
inline constexpr int kSigmaDecimals = 2;  // residuals in robust standard deviations
// Parameters of the fit (metres, arc-seconds, ppm) and their standard deviations.
inline constexpr int kFitParameterDecimals = 6;

// The azimuth (degrees, [0, 360)) with its decimals; one that would round up
// to 360 is written as 0, the same direction.
bool appendAzimuth(std::string& out, double degrees);

}  // namespace tessovane2::shifts
