#pragma once

#include <cstdint>

#include "ports/clock.h"

namespace veskora {

// The system's local time; the conversion is made once a second at most
// (a cycle asks once for every move).
class SystemClock final : public Clock {
 public:
  LocalTime Now() const override;

 private:
  mutable std::int64_t second_ = -1;
  mutable LocalTime local_;
};

}  // namespace veskora
