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
    // Most files meet no row at all: one comparison with the extreme bound.
    if (bounds_.empty() || !(value < bounds_.back())) return kNoRow;
    return suffixLowest_[Prefix([&value](const Bound& b) { return !(value < b); })];
  }

  // The lowest position among rows whose bound is below the value
  // (bound < value), or kNoRow.
  template <typename Value>
  int LowestBelow(const Value& value) const {
    if (bounds_.empty() || !(bounds_.front() < value)) return kNoRow;
    return prefixLowest_[Prefix([&value](const Bound& b) { return b < value; })];
  }

  // The lowest position of all rows.
  int LowestPosition() const { return suffixLowest_.empty() ? kNoRow : suffixLowest_[0]; }
  bool Empty() const { return bounds_.empty(); }

 private:
  // How many bounds from the first the test holds for (it holds for a
  // prefix of the sorted bounds). Halving without a branch on the bounds:
  // a file's value lands anywhere among them, which no branch predictor
  // guesses, and every file asks.
  template <typename Test>
  std::size_t Prefix(Test holds) const {
    std::size_t n = bounds_.size();
    if (n == 0) return 0;
    const Bound* base = bounds_.data();
    while (n > 1) {
      const std::size_t half = n / 2;
      base = holds(base[half]) ? base + half : base;
      n -= half;
    }
    return static_cast<std::size_t>(base - bounds_.data()) + (holds(*base) ? 1 : 0);
  }

  using Entry = std::pair<Bound, int>;
  std::vector<Entry> entries_;
  std::vector<Bound> bounds_;
  std::vector<int> prefixLowest_;  // [i]: lowest position of bounds_[0..i)
  std::vector<int> suffixLowest_;  // [i]: lowest position of bounds_[i..n)
};

}  // namespace veskora
