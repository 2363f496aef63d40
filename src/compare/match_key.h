// Which identifier pairs the stations of the two files.
#pragma once

#include <string_view>

#include "records/pos_elev.h"

namespace tessovane2 {

enum class MatchKey { Ssn, Pid };

// The key of a station: its SSN or its PID text, as stored (compared byte
// for byte: no trimming, padding or case folding).
inline std::string_view keyOf(const POS_ELEV& station, MatchKey key) {
  return key == MatchKey::Pid ? station.pid.view() : station.ssn.view();
}

}  // namespace tessovane2
