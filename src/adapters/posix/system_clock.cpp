#include "adapters/posix/system_clock.h"

#include <ctime>

#include "mover/local_time.h"

namespace veskora {

LocalTime SystemClock::Now() const { return ToLocalTime(static_cast<std::int64_t>(std::time(nullptr))); }

}  // namespace veskora
