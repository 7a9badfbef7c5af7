#pragma once

#include <QString>
#include <string>

#include "mover/cycle_plan.h"

namespace veskora::cli {

// For scripts: "moves", "protected", "in-use", "name-taken", "no-folder" or
// "gone".
QString OutcomeCode(PlannedOutcome outcome);

// For people: "moves to DEST", "protected", "not moved: ...".
std::string OutcomeWords(PlannedOutcome outcome, const std::string& name, const std::string& destination);

}  // namespace veskora::cli
