// Base of the objects that render themselves as text.
#pragma once

#include <string>

namespace tessovane2 {

class Record {
 public:
  virtual ~Record() = default;
  virtual std::string toString() const = 0;

 protected:
  Record() = default;
  Record(const Record&) = default;
  Record& operator=(const Record&) = default;
};

}  // namespace tessovane2
