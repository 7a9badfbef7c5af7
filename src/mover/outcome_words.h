#pragma once

#include <string_view>

#include "mover/judge.h"
#include "mover/move_history.h"

namespace veskora {

enum class Language { kEnglish, kJapanese };

// What the judge's outcome is called, in one table for every view: a word
// for scripts (stable, English), and a phrase for people in each language.
std::string_view OutcomeCode(Outcome outcome);
std::string_view OutcomeWords(Outcome outcome, Language language);

// The same for the state of a past move.
std::string_view MoveStateCode(MoveState state);
std::string_view MoveStateWords(MoveState state, Language language);

}  // namespace veskora
