#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "mover/conditions.h"
#include "rules/rule_list.h"

namespace veskora {

// Rule rows are named by their position in the list, counting from 1; the
// lowest position that matches wins. kNoRow stands above every real position,
// so "no match" needs no special case when taking minima.
inline constexpr int kNoRow = std::numeric_limits<int>::max();

// Thresholds of one kind of size or time row, sorted, each with the lowest
// row position among those from it to either end: the lowest row whose
// threshold lies above (or below) a value is one search away.
template <typename T>
class Thresholds {
 public:
  void Add(T threshold, int position) { sorted_.emplace_back(std::move(threshold), position); }
  void Seal();
  // The lowest row whose threshold is greater than (less than) the value.
  int LowestAbove(const T& value) const;
  int LowestBelow(const T& value) const;
  bool Empty() const { return sorted_.empty(); }

 private:
  std::vector<std::pair<T, int>> sorted_;
  std::vector<int> lowestFrom_;  // of sorted_[i..end]
  std::vector<int> lowestTo_;    // of sorted_[0..i]
};

// Names searched for every keyword at once: a textbook Aho–Corasick
// automaton, each state knowing the lowest row of a keyword that ends there.
class KeywordSearch {
 public:
  void Add(std::string_view keyword, int position);
  void Seal();
  // The lowest row whose keyword the name contains.
  int Lowest(std::string_view name) const;
  bool Empty() const { return nodes_.size() == 1 && nodes_[0].lowest == kNoRow; }

 private:
  struct Node {
    std::vector<std::pair<unsigned char, int>> next;  // sorted by byte
    int fail = 0;
    int lowest = kNoRow;
  };
  static int Child(const Node& node, unsigned char byte);
  int Step(int state, unsigned char byte) const;

  std::vector<Node> nodes_ = std::vector<Node>(1);
  std::vector<int> root_ = std::vector<int>(256, 0);  // the root's moves, for every byte
};

// Which enabled row decides a file, built once from the rows so that judging
// a file costs about the same whatever the number of rules: extensions in a
// hash table, keywords in one automaton, size and time thresholds sorted.
// Its answer is always the row a plain walk down the rows would stop at.
class RuleMatcher {
 public:
  RuleMatcher() = default;
  explicit RuleMatcher(const RuleList& rules);

  // The position of the first enabled row whose condition the file meets.
  // The file system is asked about the file only when a size or time row
  // stands above every name or extension row it meets.
  std::optional<int> FirstMatch(const Candidate& file) const;
  bool Empty() const { return lowest_ == kNoRow; }

 private:
  // Looked up by the name's own bytes: no string is made per file.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, int, TextHash, std::equal_to<>> extensions_;  // to the lowest row
  KeywordSearch keywords_;
  Thresholds<double> smaller_, larger_;       // size < threshold, size > threshold
  // Time rows as seconds, so that a file's time is compared, never written
  // out: mtime < bound, and mtime > bound - 1 (mtime >= bound).
  Thresholds<std::int64_t> older_, newer_;
  int keywordLowest_ = kNoRow;
  int sizeLowest_ = kNoRow;
  int timeLowest_ = kNoRow;
  int lowest_ = kNoRow;
};

// The matcher of the list as it stands: built again only when the list changed.
class MatcherCache {
 public:
  const RuleMatcher& For(const RuleList& rules);

 private:
  const RuleList* list_ = nullptr;
  std::uint64_t version_ = 0;
  RuleMatcher matcher_;
};

}  // namespace veskora
