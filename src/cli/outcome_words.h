#pragma once

#include <QString>
#include <string>

#include "mover/judge.h"
#include "mover/outcome_words.h"

namespace veskora::cli {

// For scripts: the outcome's stable code.
QString OutcomeJsonCode(Outcome outcome);

// For people, in their language: the outcome's words, and where a moving
// file goes.
QString OutcomeText(Outcome outcome, const std::string& destination, Language language);

}  // namespace veskora::cli
