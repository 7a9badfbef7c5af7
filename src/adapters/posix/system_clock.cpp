#include "adapters/posix/system_clock.h"

#include <ctime>

#include "mover/local_time.h"

namespace veskora {

LocalTime SystemClock::Now() const {
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  if (now != second_) {
    local_ = ToLocalTime(now);
    second_ = now;
  }
  return local_;
}

}  // namespace veskora
