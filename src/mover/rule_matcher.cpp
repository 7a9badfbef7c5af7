#include "mover/rule_matcher.h"

#include <algorithm>
#include <utility>

#include "rules/move_rule.h"
#include "rules/rule_description.h"
#include "rules/rule_key.h"

namespace veskora {

RuleMatcher::RuleMatcher(const RuleList& rules) {
  const std::vector<RuleRow>& rows = rules.Rows();
  destinations_.resize(rows.size());
  // The automaton keeps views into these until it is built.
  std::vector<std::string> keywordTexts;
  std::vector<int> keywordPositions;
  int position = 0;
  for (const RuleRow& row : rows) {
    ++position;
    if (!row.checked) continue;
    MoveRule rule = SplitRuleKey(row.key);
    switch (rule.kind) {
      case kNameKeyword:
        keywordTexts.push_back(std::move(rule.value));
        keywordPositions.push_back(position);
        break;
      case kExtension:
        // Rows come in order, so the first one in stays: it is the lowest.
        extensions_.try_emplace(std::move(rule.value), position);
        break;
      case kSizeSmaller:
        smaller_.Add(SizeThreshold(rule.value), position);
        sizeLowest_ = std::min(sizeLowest_, position);
        break;
      case kSizeLarger:
        larger_.Add(SizeThreshold(rule.value), position);
        sizeLowest_ = std::min(sizeLowest_, position);
        break;
      case kTimeOlder:
        older_.Add(std::move(rule.value), position);
        timeLowest_ = std::min(timeLowest_, position);
        break;
      case kTimeNewer:
        newer_.Add(std::move(rule.value), position);
        timeLowest_ = std::min(timeLowest_, position);
        break;
      default:
        continue;  // any other kind never matches
    }
    destinations_[static_cast<std::size_t>(position - 1)] = std::move(rule.destination);
    lowest_ = std::min(lowest_, position);
  }
  std::vector<KeywordAutomaton::Keyword> keywords;
  keywords.reserve(keywordTexts.size());
  for (std::size_t i = 0; i < keywordTexts.size(); ++i) keywords.push_back({keywordTexts[i], keywordPositions[i]});
  keywords_ = KeywordAutomaton(keywords);
  smaller_.Seal();
  larger_.Seal();
  older_.Seal();
  newer_.Seal();
}

std::optional<RowMatch> RuleMatcher::FirstMatch(const Candidate& file) const {
  int best = kNoRow;
  if (!extensions_.empty()) {
    const auto found = extensions_.find(file.Extension());
    if (found != extensions_.end()) best = found->second;
  }
  if (keywords_.LowestPosition() < best) best = std::min(best, keywords_.LowestMatch(file.Name()));
  // Only a size or time row above the best so far can change the answer; a
  // file that cannot be queried meets none of them.
  if (std::min(sizeLowest_, timeLowest_) < best && file.Facts()) {
    if (sizeLowest_ < best) {
      const double length = static_cast<double>(file.Facts()->size);
      best = std::min({best, smaller_.LowestAbove(length), larger_.LowestBelow(length)});
    }
    if (timeLowest_ < best) {
      if (const std::string* text = file.TimeText()) {
        best = std::min({best, older_.LowestAbove(*text), newer_.LowestBelow(*text)});
      }
    }
  }
  if (best == kNoRow) return std::nullopt;
  return RowMatch{best, destinations_[static_cast<std::size_t>(best - 1)]};
}

}  // namespace veskora
