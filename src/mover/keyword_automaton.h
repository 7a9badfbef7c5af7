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
// The keywords go into a trie when the automaton is made, which costs little
// per byte; its states become rows of a dense table only when a text first
// reaches them: one row per state and one column per class of bytes (bytes no
// keyword uses share one class), so each byte of a text costs two loads,
// whatever the number of keywords, and a state no text reaches costs nothing.
// Searching fills the table, so one automaton serves one thread.
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
  // LowestMatch of two texts, searched side by side: each byte's step waits
  // for the one before it, so two texts take about the time of one.
  std::pair<int, int> LowestMatches(std::string_view a, std::string_view b) const;

  // The lowest position of all keywords: nothing LowestMatch answers is lower.
  int LowestPosition() const { return lowest_; }
  bool Empty() const { return lowest_ == kNoRow; }
  // Keywords kept outside the table (beyond its budget).
  std::size_t Overflow() const { return overflow_.size(); }

 private:
  // A state of the trie; its children in a list.
  struct Node {
    std::int32_t firstChild = -1;
    std::int32_t nextSibling = -1;
    std::int32_t output = kNoRow;  // the lowest position ending here
    std::uint8_t byte = 0;         // from the parent
  };

  std::size_t Admit(const std::vector<Keyword>& keywords, std::size_t cellBudget, std::array<bool, 256>& used,
                    std::vector<const Keyword*>& admitted);
  void Insert(std::string_view keyword, int position, std::array<std::int32_t, 256>& rootChild,
              std::array<bool, 256>& used);
  // Where a cell leads that holds one of the rare cases of a search (a row
  // not made yet, a keyword's end): the row, made if need be, and the
  // lowest position ending there.
  struct Arrival {
    std::size_t row;
    int lowest;
  };
  Arrival Arrive(std::size_t cell) const;
  // The lowest of `best` and the positions of keywords that end in the text
  // searched on from the state whose row starts at `start`.
  int SearchFrom(std::size_t start, std::string_view text, int best) const;
  static bool Rare(std::int32_t cell) { return (static_cast<std::uint32_t>(cell) & (0x80000000u | kEndsHere)) != 0; }
  // The keywords kept aside, for a text whose table search gave `best`.
  int LowestAside(std::string_view text, int best) const;

  // Marks a cell whose target state ends a keyword.
  static constexpr std::int32_t kEndsHere = 1;

  // What a cell holds for a state whose row is made: its row's offset, with
  // kEndsHere set when a keyword ends there.
  std::int32_t RowRef(std::int32_t state) const;
  // The table cell's target, making the target's row first if needed.
  std::int32_t Follow(std::size_t cell) const;
  void MakeRow(std::int32_t state) const;

  // Per byte: its class, the column in a state's row (0 is the output cell).
  std::array<std::uint16_t, 256> column_{};
  std::size_t stride_ = 0;
  std::vector<Node> nodes_;  // node 0 is the root
  int emptyKeyword_ = kNoRow;
  int lowest_ = kNoRow;
  // In row order; owned, since the caller's texts need not outlive us.
  std::vector<std::pair<std::string, int>> overflow_;

  // Made as texts need them. Rows of stride_ cells: cell 0 the lowest
  // position that ends at this state (through its suffixes too), then per
  // class the next state: the offset of its row (even; its lowest bit set
  // when a keyword ends there), or -(state + 1) while that row is not made.
  mutable std::vector<std::int32_t> table_;
  mutable std::vector<std::int32_t> rowOf_;  // by state; -1 while not made
  // By state, set when its parent's row is made: its longest proper suffix
  // in the trie, as a cell gives a state (row offset or -(state + 1)).
  mutable std::vector<std::int32_t> failOf_;
};

}  // namespace veskora
