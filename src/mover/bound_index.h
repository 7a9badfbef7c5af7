#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "mover/row_position.h"

namespace veskora {

// Rows that each compare a file's value with a bound of their own (a size
// threshold, a time text). Sorted by bound, with the lowest row position of
// every prefix and every suffix at hand, the lowest row that a value meets is
// one binary search away, however many rows there are.
template <typename Bound>
class BoundIndex {
 public:
  void Reserve(std::size_t count) { entries_.reserve(count); }
  void Add(Bound bound, int position) { entries_.emplace_back(std::move(bound), position); }

  // Call once after the last Add and before the first question.
  void Seal() {
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.first < b.first; });
    const std::size_t n = entries_.size();
    bounds_.reserve(n);
    prefixLowest_.assign(n + 1, kNoRow);
    suffixLowest_.assign(n + 1, kNoRow);
    for (std::size_t i = 0; i < n; ++i) {
      bounds_.push_back(std::move(entries_[i].first));
      prefixLowest_[i + 1] = std::min(prefixLowest_[i], entries_[i].second);
    }
    for (std::size_t i = n; i-- > 0;) suffixLowest_[i] = std::min(suffixLowest_[i + 1], entries_[i].second);
    entries_.clear();
    entries_.shrink_to_fit();
  }

  // The lowest position among rows whose bound is above the value
  // (value < bound), or kNoRow.
  template <typename Value>
  int LowestAbove(const Value& value) const {
    const auto first =
        std::upper_bound(bounds_.begin(), bounds_.end(), value, [](const Value& v, const Bound& b) { return v < b; });
    return suffixLowest_[static_cast<std::size_t>(first - bounds_.begin())];
  }

  // The lowest position among rows whose bound is below the value
  // (bound < value), or kNoRow.
  template <typename Value>
  int LowestBelow(const Value& value) const {
    const auto end =
        std::lower_bound(bounds_.begin(), bounds_.end(), value, [](const Bound& b, const Value& v) { return b < v; });
    return prefixLowest_[static_cast<std::size_t>(end - bounds_.begin())];
  }

  // The lowest position of all rows.
  int LowestPosition() const { return suffixLowest_.empty() ? kNoRow : suffixLowest_[0]; }
  bool Empty() const { return bounds_.empty(); }

 private:
  using Entry = std::pair<Bound, int>;
  std::vector<Entry> entries_;
  std::vector<Bound> bounds_;
  std::vector<int> prefixLowest_;  // [i]: lowest position of bounds_[0..i)
  std::vector<int> suffixLowest_;  // [i]: lowest position of bounds_[i..n)
};

}  // namespace veskora
