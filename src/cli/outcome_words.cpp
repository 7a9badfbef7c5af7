#include "cli/outcome_words.h"

#include "cli/output.h"
#include "mover/paths.h"
#include "rules/move_rule.h"

namespace veskora::cli {

QString OutcomeCode(PlannedOutcome outcome) {
  switch (outcome) {
    case PlannedOutcome::kMoves:
      return QStringLiteral("moves");
    case PlannedOutcome::kProtected:
      return QStringLiteral("protected");
    case PlannedOutcome::kInUse:
      return QStringLiteral("in-use");
    case PlannedOutcome::kNameTaken:
      return QStringLiteral("name-taken");
    case PlannedOutcome::kNoFolder:
      return QStringLiteral("no-folder");
    case PlannedOutcome::kGone:
      break;
  }
  return QStringLiteral("gone");
}

std::string OutcomeWords(PlannedOutcome outcome, const std::string& name, const std::string& destination) {
  switch (outcome) {
    case PlannedOutcome::kMoves:
      return "moves to " + Shown(destination);
    case PlannedOutcome::kProtected:
      return "protected";
    case PlannedOutcome::kInUse:
      return "not moved: still arriving or in use";
    case PlannedOutcome::kNameTaken:
      return "not moved: " + Shown(JoinPath(destination, name)) + " exists";
    case PlannedOutcome::kNoFolder:
      if (destination.find(kUndefinedWord) != std::string::npos) return "not moved: the row names no folder";
      if (destination.empty() || destination.front() != '/') return "not moved: the destination is no full path";
      return "not moved: the destination " + Shown(destination) + " is missing or not a folder";
    case PlannedOutcome::kGone:
      break;
  }
  return "not moved: the file is gone";
}

}  // namespace veskora::cli
