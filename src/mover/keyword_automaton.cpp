#include "mover/keyword_automaton.h"

#include <algorithm>
#include <limits>

namespace veskora {

namespace {

// Cell 0 of a row is its output; column 1 takes every byte no keyword uses.
constexpr std::uint16_t kOutputColumn = 0;
constexpr std::uint16_t kOtherColumn = 1;

constexpr std::int32_t Pending(std::int32_t state) { return -(state + 1); }

// Cells to a row: one per used byte, the output cell and the class of the
// other bytes, rounded up to even so that every row starts at an even
// offset and a cell has its lowest bit free for kEndsHere.
std::size_t RowCells(std::size_t distinct) { return (distinct + 3) & ~std::size_t{1}; }

}  // namespace

KeywordAutomaton::KeywordAutomaton(const std::vector<Keyword>& keywords, std::size_t cellBudget) {
  // Offsets are kept as 32-bit cells.
  cellBudget = std::min<std::size_t>(cellBudget, std::numeric_limits<std::int32_t>::max());

  // The table all keywords could need: one state per byte at most, one
  // column per distinct byte. Within the budget (nearly always), all are in.
  std::size_t bytes = 0;
  for (const Keyword& keyword : keywords) {
    lowest_ = std::min(lowest_, keyword.position);
    if (keyword.text.empty()) emptyKeyword_ = std::min(emptyKeyword_, keyword.position);
    bytes += keyword.text.size();
  }
  std::array<bool, 256> used{};
  std::vector<const Keyword*> admitted;
  admitted.reserve(keywords.size());
  // No row has more than 258 cells, so a list that fits even so needs no
  // count of its distinct bytes.
  bool allFit = bytes + 1 <= cellBudget / RowCells(256);
  if (!allFit) {
    for (const Keyword& keyword : keywords) {
      for (const unsigned char byte : keyword.text) used[byte] = true;
    }
    const auto distinct = static_cast<std::size_t>(std::count(used.begin(), used.end(), true));
    allFit = bytes + 1 <= cellBudget / RowCells(distinct);
  }
  if (allFit) {
    for (const Keyword& keyword : keywords) {
      if (!keyword.text.empty()) admitted.push_back(&keyword);
    }
  } else {
    bytes = Admit(keywords, cellBudget, used, admitted);
  }
  if (admitted.empty()) return;

  nodes_.reserve(bytes + 1);
  nodes_.emplace_back();
  std::array<std::int32_t, 256> rootChild;
  rootChild.fill(-1);
  for (const Keyword* keyword : admitted) Insert(keyword->text, keyword->position, rootChild, used);
  column_.fill(kOtherColumn);
  std::uint16_t next = kOtherColumn + 1;
  for (std::size_t byte = 0; byte < 256; ++byte) {
    if (used[byte]) column_[byte] = next++;
  }
  stride_ = RowCells(next - 2u);
  rowOf_.assign(nodes_.size(), -1);
  failOf_.assign(nodes_.size(), 0);
  MakeRow(0);
}

// Admits keywords in order while the table they could need stays within the
// budget, and keeps the others aside. Gives the bytes admitted and leaves
// `used` marking theirs.
std::size_t KeywordAutomaton::Admit(const std::vector<Keyword>& keywords, std::size_t cellBudget,
                                    std::array<bool, 256>& used, std::vector<const Keyword*>& admitted) {
  used.fill(false);
  std::array<std::size_t, 256> seenIn{};  // the keyword (from 1) that last met a byte new to `used`
  std::size_t distinct = 0;
  std::size_t bytes = 0;
  for (std::size_t k = 0; k < keywords.size(); ++k) {
    const Keyword& keyword = keywords[k];
    if (keyword.text.empty()) continue;
    std::size_t added = 0;
    for (const unsigned char byte : keyword.text) {
      if (!used[byte] && seenIn[byte] != k + 1) {
        seenIn[byte] = k + 1;
        ++added;
      }
    }
    const std::size_t stride = RowCells(distinct + added);
    const std::size_t states = bytes + keyword.text.size() + 1;
    if (states > cellBudget / stride) {
      overflow_.emplace_back(std::string(keyword.text), keyword.position);
      continue;
    }
    for (const unsigned char byte : keyword.text) used[byte] = true;
    distinct += added;
    bytes += keyword.text.size();
    admitted.push_back(&keyword);
  }
  std::stable_sort(overflow_.begin(), overflow_.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  return bytes;
}

// Adds the keyword's path to the trie and marks its bytes used; the root's
// children are looked up in `rootChild`, the others in their parent's list.
void KeywordAutomaton::Insert(std::string_view keyword, int position, std::array<std::int32_t, 256>& rootChild,
                              std::array<bool, 256>& used) {
  std::int32_t state = 0;
  for (const unsigned char byte : keyword) {
    used[byte] = true;
    std::int32_t child = rootChild[byte];
    if (state != 0) {
      child = nodes_[static_cast<std::size_t>(state)].firstChild;
      while (child >= 0 && nodes_[static_cast<std::size_t>(child)].byte != byte) {
        child = nodes_[static_cast<std::size_t>(child)].nextSibling;
      }
    }
    if (child < 0) {
      child = static_cast<std::int32_t>(nodes_.size());
      Node& parent = nodes_[static_cast<std::size_t>(state)];
      const Node added{-1, parent.firstChild, kNoRow, byte};
      parent.firstChild = child;
      nodes_.push_back(added);
      if (state == 0) rootChild[byte] = child;
    }
    state = child;
  }
  Node& end = nodes_[static_cast<std::size_t>(state)];
  end.output = std::min(end.output, position);
}

// A state's row is its suffix's row with the state's own edges put over it;
// its output takes the suffix's into account, so keywords ending inside a
// longer one are seen. Making it also settles the suffix of each child (the
// suffix's next state for the child's byte), so rows are made parents first,
// and a state's suffix always has its row before the state.
void KeywordAutomaton::MakeRow(std::int32_t state) const {
  // The suffixes whose rows are missing, nearest first; made farthest first.
  std::vector<std::int32_t> chain{state};
  while (chain.back() != 0) {
    const std::int32_t fail = failOf_[static_cast<std::size_t>(chain.back())];
    const std::int32_t failState = fail >= 0 ? -1 : -fail - 1;
    if (failState < 0 || rowOf_[static_cast<std::size_t>(failState)] >= 0) break;
    chain.push_back(failState);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const std::int32_t s = *it;
    const auto row = static_cast<std::int32_t>(table_.size());
    table_.resize(table_.size() + stride_, 0);
    std::int32_t* cells = table_.data() + row;
    const Node& node = nodes_[static_cast<std::size_t>(s)];
    std::int32_t failRow = 0;
    if (s == 0) {
      cells[kOutputColumn] = kNoRow;
    } else {
      const std::int32_t fail = failOf_[static_cast<std::size_t>(s)];
      failRow = fail >= 0 ? fail & ~kEndsHere : rowOf_[static_cast<std::size_t>(-fail - 1)];
      std::copy_n(table_.data() + failRow, stride_, cells);
      cells[kOutputColumn] = std::min(node.output, table_[static_cast<std::size_t>(failRow)]);
    }
    rowOf_[static_cast<std::size_t>(s)] = row;
    for (std::int32_t child = node.firstChild; child >= 0;
         child = nodes_[static_cast<std::size_t>(child)].nextSibling) {
      const std::uint16_t column = column_[nodes_[static_cast<std::size_t>(child)].byte];
      // The child's suffix: the root for a child of the root, else where the
      // suffix goes on the child's byte (read before this row's edge is set).
      failOf_[static_cast<std::size_t>(child)] = s == 0 ? 0 : cells[column];
      cells[column] = rowOf_[static_cast<std::size_t>(child)] >= 0 ? RowRef(child) : Pending(child);
    }
  }
}

std::int32_t KeywordAutomaton::RowRef(std::int32_t state) const {
  const std::int32_t row = rowOf_[static_cast<std::size_t>(state)];
  return table_[static_cast<std::size_t>(row) + kOutputColumn] == kNoRow ? row : row | kEndsHere;
}

std::int32_t KeywordAutomaton::Follow(std::size_t cell) const {
  const std::int32_t target = table_[cell];
  if (target >= 0) return target;
  const std::int32_t state = -target - 1;
  if (rowOf_[static_cast<std::size_t>(state)] < 0) MakeRow(state);
  table_[cell] = RowRef(state);
  return table_[cell];
}

KeywordAutomaton::Arrival KeywordAutomaton::Arrive(std::size_t cell) const {
  std::int32_t next = table_[cell];
  if (next < 0) next = Follow(cell);
  const auto row = static_cast<std::size_t>(next & ~kEndsHere);
  return {row, table_[row + kOutputColumn]};
}

int KeywordAutomaton::LowestAside(std::string_view text, int best) const {
  for (const auto& [keyword, position] : overflow_) {
    if (position >= best) break;
    if (text.find(keyword) != std::string_view::npos) return position;
  }
  return best;
}

// The searches step from row to row by address, so that a step waits for
// nothing but the load of the step before; the rare cases leave the loop.
int KeywordAutomaton::SearchFrom(std::size_t start, std::string_view text, int best) const {
  const std::int32_t* table = table_.data();
  const std::int32_t* row = table + start;
  for (const unsigned char byte : text) {
    const std::int32_t next = row[column_[byte]];
    if (Rare(next)) [[unlikely]] {
      const Arrival arrival = Arrive(static_cast<std::size_t>(row - table) + column_[byte]);
      best = std::min(best, arrival.lowest);
      table = table_.data();  // the table may have grown
      row = table + arrival.row;
      continue;
    }
    row = table + next;
  }
  return best;
}

int KeywordAutomaton::LowestMatch(std::string_view text) const {
  const int best = nodes_.empty() ? emptyKeyword_ : SearchFrom(0, text, emptyKeyword_);
  return LowestAside(text, best);
}

std::pair<int, int> KeywordAutomaton::LowestMatches(std::string_view a, std::string_view b) const {
  if (nodes_.empty()) return {LowestAside(a, emptyKeyword_), LowestAside(b, emptyKeyword_)};
  int bestA = emptyKeyword_;
  int bestB = emptyKeyword_;
  const std::int32_t* table = table_.data();
  const std::int32_t* rowA = table;
  const std::int32_t* rowB = table;
  const std::size_t both = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < both; ++i) {
    const std::uint16_t columnA = column_[static_cast<unsigned char>(a[i])];
    const std::uint16_t columnB = column_[static_cast<unsigned char>(b[i])];
    const std::int32_t nextA = rowA[columnA];
    const std::int32_t nextB = rowB[columnB];
    if (Rare(nextA | nextB)) [[unlikely]] {
      // By index: making a row for one may move the table under the other.
      const auto cellA = static_cast<std::size_t>(rowA - table) + columnA;
      const auto cellB = static_cast<std::size_t>(rowB - table) + columnB;
      // (Arrive reads the cell again: the other's arrival may have made its row.)
      const Arrival arrivalA = Rare(nextA) ? Arrive(cellA) : Arrival{static_cast<std::size_t>(nextA), kNoRow};
      const Arrival arrivalB = Rare(nextB) ? Arrive(cellB) : Arrival{static_cast<std::size_t>(nextB), kNoRow};
      bestA = std::min(bestA, arrivalA.lowest);
      bestB = std::min(bestB, arrivalB.lowest);
      table = table_.data();
      rowA = table + arrivalA.row;
      rowB = table + arrivalB.row;
      continue;
    }
    rowA = table + nextA;
    rowB = table + nextB;
  }
  // The longer text goes on alone from where it stands.
  bestA = SearchFrom(static_cast<std::size_t>(rowA - table), a.substr(both), bestA);
  bestB = SearchFrom(static_cast<std::size_t>(rowB - table), b.substr(both), bestB);
  return {LowestAside(a, bestA), LowestAside(b, bestB)};
}

}  // namespace veskora
