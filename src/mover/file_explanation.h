#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mover/cycle_plan.h"
#include "rules/move_rule.h"

namespace veskora {

// Whether the cycle looks at a name on the desktop at all.
enum class Sight {
  kLookedAt,  // a file (or a link to one): the rows judge it
  kHidden,    // its name begins with "."
  kNotAFile,  // a folder, a device, a pipe, a socket, or a link to one
  kMissing,   // no such name on the desktop
};

// One enabled row against the file.
struct RowVerdict {
  int row = 0;  // from 1
  MoveRule rule;
  bool matches = false;
  // What the condition compared of the file: its name, its extension, its
  // size in bytes or its time as 14 digits; empty for a size or time that
  // cannot be read, and for a kind that never matches.
  std::string fileValue;
};

struct FileExplanation {
  Sight sight = Sight::kMissing;
  std::optional<FileFacts> facts;
  std::vector<RowVerdict> rows;         // every enabled row, in order
  std::optional<PlannedFile> decision;  // the first match and what the cycle would do with it
};

// Why the cycle moves or leaves the file `name` of the listed desktop: the
// plain walk, row by row, with each condition's verdict, and the outcome of
// the first match as PlanFile judges it.
FileExplanation ExplainFile(const RuleList& rules, const DesktopListing& listing, const std::string& name,
                            FileSystem& files);

}  // namespace veskora
