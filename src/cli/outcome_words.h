#pragma once

#include <QString>
#include <string>

#include "mover/judge.h"

namespace veskora::cli {

// For scripts: the outcome's stable code.
QString OutcomeCode(Outcome outcome);

// For people: the outcome's words, and where a moving file goes.
std::string OutcomeText(Outcome outcome, const std::string& destination);

}  // namespace veskora::cli
