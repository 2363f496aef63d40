// The GRS80 ellipsoid: its constants, written once for every computation on
// it (the short-line inverse, the map's projection, the local frames).
#pragma once

namespace tessovane2::geodesy {

// Semi-major axis (metres).
inline constexpr double kGrs80SemiMajorAxis = 6378137.0;
// First eccentricity squared (dimensionless), as published, not derived
// from the flattening: the short-line inverse's last digits rest on it.
inline constexpr double kGrs80EccentricitySquared = 0.0066943800229;

}  // namespace tessovane2::geodesy
