// Where a run takes its time stamp from; tests pin it.
#pragma once

#include <functional>

#include "date/date.h"

namespace tessovane2 {

using Clock = std::function<Date()>;

}  // namespace tessovane2
