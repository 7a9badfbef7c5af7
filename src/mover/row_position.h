#pragma once

#include <limits>

namespace veskora {

// Rule rows are named by their position in the list, counting from 1; the
// lowest position that matches wins. kNoRow stands above every real position,
// so "no match" needs no special case when taking minima.
inline constexpr int kNoRow = std::numeric_limits<int>::max();

}  // namespace veskora
