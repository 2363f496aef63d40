// Column layout of the *80 (station position) and *86 (orthometric height)
// records. Columns are counted from 1 at the first character of a line.
#pragma once

#include <cstddef>
#include <string_view>

namespace tessovane2 {

// A record is at least this long to carry a record code in columns 7-9.
inline constexpr std::size_t kRecordCodeEnd = 9;
// An *80 record reaches its elevation columns 70-75.
inline constexpr std::size_t kPositionRecordLength = 75;
// An *86 record reaches its height columns 17-23.
inline constexpr std::size_t kHeightRecordLength = 23;

// Characters first..last (1-based, inclusive) of a record that is at least
// last characters long.
inline std::string_view columns(std::string_view record, std::size_t first, std::size_t last) {
  return record.substr(first - 1, last - first + 1);
}

// The SSN columns for an SSN length: 10-14 for 5 digits, 11-14 for 4, 11-13
// for 3; no columns (an empty SSN) for any other length.
inline std::string_view ssnColumns(std::string_view record, int ssnLength) {
  switch (ssnLength) {
    case 3:
      return columns(record, 11, 13);
    case 4:
      return columns(record, 11, 14);
    case 5:
      return columns(record, 10, 14);
    default:
      return record.substr(0, 0);
  }
}

// Record codes sit in columns 7-9; a line shorter than 9 characters has none.
inline std::string_view recordCode(std::string_view line) {
  return line.size() < kRecordCodeEnd ? std::string_view{} : columns(line, 7, 9);
}

// Copies a record into buffer, padded with blanks to length, when it is
// shorter: a record whose trailing blanks were stripped reads like the same
// record with its blanks kept.
template <std::size_t Length>
std::string_view paddedRecord(std::string_view record, char (&buffer)[Length]) {
  if (record.size() >= Length) return record;
  std::size_t i = 0;
  for (; i < record.size(); ++i) buffer[i] = record[i];
  for (; i < Length; ++i) buffer[i] = ' ';
  return {buffer, Length};
}

}  // namespace tessovane2
