#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mover/bound_index.h"
#include "mover/conditions.h"
#include "mover/extension_table.h"
#include "mover/keyword_automaton.h"
#include "mover/local_times.h"
#include "mover/row_match.h"
#include "rules/move_rule.h"
#include "rules/rule_list.h"

namespace veskora {

// The enabled rows compiled for one cycle, so that judging a file costs about
// the same whatever the number of rules: extensions in a hash table, keywords
// in one automaton, size and time bounds in sorted indexes. Every entry keeps
// its row position and a file's answer is the lowest position that matches,
// which is exactly the row the plain walk would stop at.
class RuleMatcher {
 public:
  // Reads the rows as they stand now; the matcher does not follow later
  // edits. It keeps views into the rows' keys, so the list must outlive it
  // unchanged (one cycle does).
  explicit RuleMatcher(const RuleList& rules);

  // The first enabled row whose condition the file meets, or nothing. The
  // file system is asked about the file only when a size or time row stands
  // above every name or extension row it meets.
  std::optional<RowMatch> FirstMatch(const Candidate& file) const;
  // FirstMatch of two files, with their names searched for keywords side by
  // side (which takes about the time of one).
  std::pair<std::optional<RowMatch>, std::optional<RowMatch>> FirstMatches(const Candidate& a,
                                                                           const Candidate& b) const;

  // No enabled row can match anything.
  bool Empty() const { return lowest_ == kNoRow; }

 private:
  struct TimeRow {
    std::string_view value;
    int position;
    bool older;
  };
  // The answer for a file whose name and extension rows give `best`: a size
  // or time row above it, or that row.
  std::optional<RowMatch> Finish(const Candidate& file, int best) const;
  // The lowest time row below `best` that a file of this time meets.
  int LowestTimeRow(std::int64_t mtime, int best) const;

  ExtensionTable extensions_;
  KeywordAutomaton keywords_;
  BoundIndex<double> smaller_;  // length < threshold
  BoundIndex<double> larger_;   // length > threshold
  // Time values that are ordinary times (local_times.h) compare as local
  // seconds; any other as text.
  BoundIndex<std::int64_t> olderSeconds_;  // time < value
  BoundIndex<std::int64_t> newerSeconds_;  // time > value
  BoundIndex<std::string_view> olderText_;
  BoundIndex<std::string_view> newerText_;
  std::vector<TimeRow> timeRows_;  // every time row, in row order
  int sizeLowest_ = kNoRow;
  int timeLowest_ = kNoRow;
  int lowest_ = kNoRow;
  // The rows, for the destination of the one that matches.
  const std::vector<RuleRow>* rows_ = nullptr;
  mutable LocalTimes localTimes_;
};

}  // namespace veskora
