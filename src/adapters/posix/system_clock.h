#pragma once

#include "ports/clock.h"

namespace veskora {

// The system's local time.
class SystemClock final : public Clock {
 public:
  LocalTime Now() const override;
};

}  // namespace veskora
