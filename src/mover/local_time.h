#pragma once

#include <cstdint>

#include "ports/clock.h"

namespace veskora {

// Seconds since the epoch as local time.
LocalTime ToLocalTime(std::int64_t epochSeconds);

}  // namespace veskora
