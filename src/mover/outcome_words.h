#pragma once

#include <string_view>

#include "mover/judge.h"

namespace veskora {

enum class Language { kEnglish, kJapanese };

// What the judge's outcome is called, in one table for every view: a word
// for scripts (stable, English), and a phrase for people in each language.
std::string_view OutcomeCode(Outcome outcome);
std::string_view OutcomeWords(Outcome outcome, Language language);

}  // namespace veskora
