#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "mover/row_position.h"

namespace veskora {

// The extensions of the extension rows, each with the lowest row position
// that names it, in one open-addressed table of views: built once per cycle
// from the rows' own texts, with no allocation per row. The texts must
// outlive the table.
class ExtensionTable {
 public:
  ExtensionTable() = default;
  // Rows in order; of the same extension the first (lowest) one counts.
  explicit ExtensionTable(std::vector<std::pair<std::string_view, int>> rows);

  // The lowest position of a row naming exactly this extension, or kNoRow.
  int Find(std::string_view extension) const;
  bool Empty() const { return slots_.empty(); }

 private:
  struct Slot {
    std::uint64_t word = 0;  // the extension as Word gives it
    std::uint32_t row = 0;   // its first row's index in rows_, plus one; 0: a free slot
  };
  std::size_t Start(std::uint64_t word) const;

  std::vector<std::pair<std::string_view, int>> rows_;
  std::vector<Slot> slots_;
  int shift_ = 64;
};

}  // namespace veskora
