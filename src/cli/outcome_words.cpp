#include "cli/outcome_words.h"

#include "cli/output.h"

namespace veskora::cli {

QString OutcomeJsonCode(Outcome outcome) { return QString::fromUtf8(veskora::OutcomeCode(outcome)); }

QString OutcomeText(Outcome outcome, const std::string& destination, Language language) {
  const QString words = QString::fromUtf8(OutcomeWords(outcome, language));
  if (outcome != Outcome::kMoves) return words;
  //: %1 is the outcome's word ("moves"), %2 the folder the file goes into.
  return Cli::tr("%1 to %2").arg(words, ShownText(destination));
}

}  // namespace veskora::cli
