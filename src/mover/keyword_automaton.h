#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mover/row_position.h"

namespace veskora {

// Many keywords searched in one pass over a name (Aho-Corasick over bytes):
// answers the lowest row position among the keywords that occur in the text.
// The automaton is a dense table, one row per state and one column per class
// of bytes (bytes no keyword uses share one class), so each byte of the text
// costs two loads, whatever the number of keywords.
class KeywordAutomaton {
 public:
  struct Keyword {
    std::string_view text;
    int position;
  };

  // Table cells the automaton may take; a list of keywords too long for it
  // keeps the rest aside and tries them one by one, so memory stays bounded
  // whatever a rule file holds.
  static constexpr std::size_t kDefaultCellBudget = std::size_t{1} << 22;

  KeywordAutomaton() = default;
  explicit KeywordAutomaton(const std::vector<Keyword>& keywords, std::size_t cellBudget = kDefaultCellBudget);

  // The lowest position of a keyword found in the text, or kNoRow. An empty
  // keyword is found in every text, the empty one included.
  int LowestMatch(std::string_view text) const;

  // The lowest position of all keywords: nothing LowestMatch answers is lower.
  int LowestPosition() const { return lowest_; }
  bool Empty() const { return lowest_ == kNoRow; }
  // Keywords kept outside the table (beyond its budget).
  std::size_t Overflow() const { return overflow_.size(); }

 private:
  void Insert(std::string_view keyword, int position);
  void Link();

  // Per byte: its class, the column in a state's row (0 is the output cell).
  std::array<std::uint16_t, 256> column_{};
  std::size_t stride_ = 0;
  // Rows of stride_ cells: cell 0 the lowest position that ends at this
  // state (through its suffixes too), then the next state per class, given as
  // the offset of that state's row.
  std::vector<std::int32_t> table_;
  int emptyKeyword_ = kNoRow;
  int lowest_ = kNoRow;
  // In row order; owned, since the caller's texts need not outlive us.
  std::vector<std::pair<std::string, int>> overflow_;
};

}  // namespace veskora
