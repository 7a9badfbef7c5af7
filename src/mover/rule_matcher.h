#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "mover/bound_index.h"
#include "mover/conditions.h"
#include "mover/keyword_automaton.h"
#include "mover/row_match.h"
#include "rules/rule_list.h"

namespace veskora {

// The enabled rows compiled for one cycle, so that judging a file costs about
// the same whatever the number of rules: extensions in a hash map, keywords in
// one automaton, size and time bounds in sorted indexes. Every entry keeps its
// row position and a file's answer is the lowest position that matches, which
// is exactly the row the plain walk would stop at.
class RuleMatcher {
 public:
  // Reads the rows as they stand now; the matcher does not follow later edits.
  explicit RuleMatcher(const RuleList& rules);

  // The first enabled row whose condition the file meets, or nothing. The
  // file system is asked about the file only when a size or time row stands
  // above every name or extension row it meets.
  std::optional<RowMatch> FirstMatch(const Candidate& file) const;

  // No enabled row can match anything.
  bool Empty() const { return lowest_ == kNoRow; }

 private:
  struct ViewHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };

  // First (lowest) position per extension.
  std::unordered_map<std::string, int, ViewHash, std::equal_to<>> extensions_;
  KeywordAutomaton keywords_;
  BoundIndex<double> smaller_;     // length < threshold
  BoundIndex<double> larger_;      // length > threshold
  BoundIndex<std::string> older_;  // time text < value
  BoundIndex<std::string> newer_;  // time text > value
  int sizeLowest_ = kNoRow;
  int timeLowest_ = kNoRow;
  int lowest_ = kNoRow;
  // By position - 1; empty for rows that never match.
  std::vector<std::string> destinations_;
};

}  // namespace veskora
