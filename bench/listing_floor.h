#pragma once

#include <cstddef>
#include <string>

namespace veskora::bench {

// What any cycle must do at least, with no rules at all: list the folder
// (readdir, drop hidden and non-regular entries, sort the names by bytes)
// and, when some rule tests size or time, one statx per file. Returns a sum
// over the files so that no step can be optimised away.
std::size_t ListingFloor(const std::string& folder, bool statEach);

}  // namespace veskora::bench
