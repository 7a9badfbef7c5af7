#include "cli/outcome_words.h"

#include "cli/output.h"
#include "mover/outcome_words.h"

namespace veskora::cli {

QString OutcomeCode(Outcome outcome) { return QString::fromUtf8(veskora::OutcomeCode(outcome)); }

std::string OutcomeText(Outcome outcome, const std::string& destination) {
  std::string text(OutcomeWords(outcome, Language::kEnglish));
  if (outcome == Outcome::kMoves) text += " to " + Shown(destination);
  return text;
}

}  // namespace veskora::cli
