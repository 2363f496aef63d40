#include "shifts/shift_results.h"

namespace tessovane2::shifts {

std::string_view statusName(ShiftStatus status) {
  switch (status) {
    case ShiftStatus::Matched:
      return "matched";
    case ShiftStatus::OverHorizontal:
      return "over_horizontal";
    case ShiftStatus::OverVertical:
      return "over_vertical";
    case ShiftStatus::OverBoth:
      return "over_both";
    case ShiftStatus::OnlyInFirst:
      return "only_in_1st";
    case ShiftStatus::OnlyInSecond:
      return "only_in_2nd";
    case ShiftStatus::BadPosition:
      return "bad_position";
    case ShiftStatus::NoKey:
      return "no_key";
    case ShiftStatus::Located:
      return "located";
  }
  return "matched";
}

std::string_view candidateStatusName(CandidateStatus status) {
  switch (status) {
    case CandidateStatus::None:
      return "none";
    case CandidateStatus::Accepted:
      return "accepted";
    case CandidateStatus::Ambiguous:
      return "ambiguous";
  }
  return "none";
}

}  // namespace tessovane2::shifts
