#pragma once

#include <optional>

#include "mover/conditions.h"
#include "mover/row_match.h"
#include "rules/rule_list.h"

namespace veskora {

// The plain walk: row by row from the first, each key taken apart afresh,
// disabled rows and kinds of 0 or less passed over, the first row whose
// condition the file meets returned. Its cost grows with the rows; it stays
// as the yardstick that the compiled matcher must agree with.
std::optional<RowMatch> FirstMatchingRowByWalk(const RuleList& rules, const Candidate& file);

}  // namespace veskora
