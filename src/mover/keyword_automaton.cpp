#include "mover/keyword_automaton.h"

#include <algorithm>
#include <bitset>
#include <limits>

namespace veskora {

namespace {

// Cell 0 of a row is its output; column 1 takes every byte no keyword uses.
constexpr std::uint16_t kOutputColumn = 0;
constexpr std::uint16_t kOtherColumn = 1;

}  // namespace

KeywordAutomaton::KeywordAutomaton(const std::vector<Keyword>& keywords, std::size_t cellBudget) {
  // Offsets are kept as 32-bit cells.
  cellBudget = std::min<std::size_t>(cellBudget, std::numeric_limits<std::int32_t>::max());

  // Admit keywords while the table they could need (one state per byte at
  // most, one column per distinct byte) stays within the budget.
  std::bitset<256> used;
  std::size_t bytes = 0;
  std::vector<std::string_view> admitted;
  std::vector<int> admittedPositions;
  for (const Keyword& keyword : keywords) {
    lowest_ = std::min(lowest_, keyword.position);
    if (keyword.text.empty()) {
      emptyKeyword_ = std::min(emptyKeyword_, keyword.position);
      continue;
    }
    std::bitset<256> withIt = used;
    for (const unsigned char byte : keyword.text) withIt.set(byte);
    const std::size_t stride = withIt.count() + 2;
    const std::size_t states = bytes + keyword.text.size() + 1;
    if (states > cellBudget / stride) {
      overflow_.emplace_back(std::string(keyword.text), keyword.position);
      continue;
    }
    used = withIt;
    bytes += keyword.text.size();
    admitted.push_back(keyword.text);
    admittedPositions.push_back(keyword.position);
  }
  std::stable_sort(overflow_.begin(), overflow_.end(),
                   [](const auto& a, const auto& b) { return a.second < b.second; });
  if (admitted.empty()) return;

  column_.fill(kOtherColumn);
  std::uint16_t next = kOtherColumn + 1;
  for (int byte = 0; byte < 256; ++byte) {
    if (used.test(static_cast<std::size_t>(byte))) column_[static_cast<std::size_t>(byte)] = next++;
  }
  stride_ = next;
  table_.reserve((bytes + 1) * stride_);
  table_.assign(stride_, 0);
  table_[kOutputColumn] = kNoRow;
  for (std::size_t i = 0; i < admitted.size(); ++i) Insert(admitted[i], admittedPositions[i]);
  Link();
}

// Adds the keyword's path to the trie. While the trie is built, a cell of 0
// means "no child": no edge leads back to the root yet.
void KeywordAutomaton::Insert(std::string_view keyword, int position) {
  std::size_t state = 0;
  for (const unsigned char byte : keyword) {
    const std::size_t cell = state + column_[byte];
    if (table_[cell] == 0) {
      const std::size_t child = table_.size();
      table_.resize(child + stride_, 0);
      table_[child + kOutputColumn] = kNoRow;
      table_[cell] = static_cast<std::int32_t>(child);
    }
    state = static_cast<std::size_t>(table_[cell]);
  }
  table_[state + kOutputColumn] = std::min(table_[state + kOutputColumn], position);
}

// Turns the trie into the automaton, breadth first so that a state's
// fallback (its longest proper suffix in the trie) is complete before the
// state: missing edges copy the fallback's, and the output takes the
// fallback's into account, so keywords ending inside a longer one are seen.
void KeywordAutomaton::Link() {
  const std::size_t states = table_.size() / stride_;
  std::vector<std::int32_t> fallback(states, 0);  // by state number
  std::vector<std::int32_t> queue;
  queue.reserve(states);
  for (std::size_t column = kOtherColumn; column < stride_; ++column) {
    if (table_[column] != 0) queue.push_back(table_[column]);
  }
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const auto state = static_cast<std::size_t>(queue[head]);
    const auto back = static_cast<std::size_t>(fallback[state / stride_]);
    table_[state + kOutputColumn] = std::min(table_[state + kOutputColumn], table_[back + kOutputColumn]);
    for (std::size_t column = kOtherColumn; column < stride_; ++column) {
      const std::int32_t child = table_[state + column];
      const std::int32_t viaBack = table_[back + column];
      if (child != 0) {
        fallback[static_cast<std::size_t>(child) / stride_] = viaBack;
        queue.push_back(child);
      } else {
        table_[state + column] = viaBack;
      }
    }
  }
}

int KeywordAutomaton::LowestMatch(std::string_view text) const {
  int best = emptyKeyword_;
  if (!table_.empty()) {
    const std::int32_t* table = table_.data();
    std::size_t state = 0;
    for (const unsigned char byte : text) {
      state = static_cast<std::size_t>(table[state + column_[byte]]);
      best = std::min(best, table[state + kOutputColumn]);
    }
  }
  for (const auto& [keyword, position] : overflow_) {
    if (position >= best) break;
    if (text.find(keyword) != std::string_view::npos) return position;
  }
  return best;
}

}  // namespace veskora
