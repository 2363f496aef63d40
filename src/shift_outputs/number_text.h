// Numbers as text for the companion's files: fixed decimals, a decimal
// point whatever the locale, exact rounding of the double's value.
#pragma once

#include <string>

namespace tessovane2::shifts {

// Decimals of each kind of figure in the CSV and GeoJSON files.
inline constexpr int kDegreeDecimals = 9;
inline constexpr int kMetreDecimals = 4;
inline constexpr int kAzimuthDecimals = 2;
inline constexpr int kSigmaDecimals = 2;  // residuals in robust standard deviations
// Parameters of the fit (metres, arc-seconds, ppm) and their standard deviations.
inline constexpr int kFitParameterDecimals = 6;

// Appends value with `decimals` digits after the point and returns true; a
// value that rounds to zero is written without a minus sign. Appends nothing
// and returns false for a value that is not finite (a missing value).
bool appendDecimal(std::string& out, double value, int decimals);

// The azimuth (degrees, [0, 360)) with its decimals; one that would round up
// to 360 is written as 0, the same direction.
bool appendAzimuth(std::string& out, double degrees);

}  // namespace tessovane2::shifts
