#pragma once

#include <string>

namespace veskora {

// The row that decides a file's fate: its position (from 1) and destination.
struct RowMatch {
  int position = 0;
  std::string destination;

  friend bool operator==(const RowMatch&, const RowMatch&) = default;
};

}  // namespace veskora
