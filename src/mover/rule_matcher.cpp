#include "mover/rule_matcher.h"

#include <algorithm>
#include <utility>

#include "rules/rule_description.h"

namespace veskora {

namespace {

// A time value of 14 digits that is an ordinary time, as its local seconds.
bool OrdinaryValue(std::string_view value, std::int64_t& seconds) {
  if (value.size() != 14) return false;
  int fields[6] = {};
  const int widths[6] = {4, 2, 2, 2, 2, 2};
  std::size_t at = 0;
  for (int f = 0; f < 6; ++f) {
    for (int i = 0; i < widths[f]; ++i, ++at) {
      if (value[at] < '0' || value[at] > '9') return false;
      fields[f] = fields[f] * 10 + (value[at] - '0');
    }
  }
  const LocalTime time{fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
  if (!IsOrdinary(time)) return false;
  seconds = LocalSeconds(time);
  return true;
}

}  // namespace

RuleMatcher::RuleMatcher(const RuleList& rules) : rows_(&rules.Rows()) {
  const std::vector<RuleRow>& rows = rules.Rows();
  // Room for each kind at once, counted from the keys' first digit (a hint:
  // an odd key may still need more).
  std::size_t count[kTimeNewer + 1] = {};
  for (const RuleRow& row : rows) {
    if (row.rule.kind >= 1 && row.rule.kind <= kTimeNewer) ++count[row.rule.kind];
  }
  std::vector<std::pair<std::string_view, int>> extensions;
  std::vector<KeywordAutomaton::Keyword> keywords;
  extensions.reserve(count[kExtension]);
  keywords.reserve(count[kNameKeyword]);
  smaller_.Reserve(count[kSizeSmaller]);
  larger_.Reserve(count[kSizeLarger]);
  timeRows_.reserve(count[kTimeOlder] + count[kTimeNewer]);
  olderSeconds_.Reserve(count[kTimeOlder]);
  newerSeconds_.Reserve(count[kTimeNewer]);
  int position = 0;
  for (const RuleRow& row : rows) {
    ++position;
    if (!row.checked) continue;
    const MoveRule& rule = row.rule;
    switch (rule.kind) {
      case kNameKeyword:
        keywords.push_back({rule.value, position});
        break;
      case kExtension:
        extensions.emplace_back(rule.value, position);
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
      case kTimeNewer: {
        const bool older = rule.kind == kTimeOlder;
        std::int64_t seconds = 0;
        if (OrdinaryValue(rule.value, seconds)) {
          (older ? olderSeconds_ : newerSeconds_).Add(seconds, position);
        } else {
          (older ? olderText_ : newerText_).Add(rule.value, position);
        }
        timeRows_.push_back({rule.value, position, older});
        timeLowest_ = std::min(timeLowest_, position);
        break;
      }
      default:
        continue;  // any other kind never matches
    }
    lowest_ = std::min(lowest_, position);
  }
  extensions_ = ExtensionTable(std::move(extensions));
  keywords_ = KeywordAutomaton(keywords);
  smaller_.Seal();
  larger_.Seal();
  olderSeconds_.Seal();
  newerSeconds_.Seal();
  olderText_.Seal();
  newerText_.Seal();
}

int RuleMatcher::LowestTimeRow(std::int64_t mtime, int best) const {
  std::int64_t seconds = 0;
  if (localTimes_.OrdinarySeconds(mtime, seconds)) {
    int lowest = std::min(olderSeconds_.LowestAbove(seconds), newerSeconds_.LowestBelow(seconds));
    if (!olderText_.Empty() || !newerText_.Empty()) {
      const std::string text = TimeStampText(mtime);
      const std::string_view view = text;
      lowest = std::min({lowest, olderText_.LowestAbove(view), newerText_.LowestBelow(view)});
    }
    return lowest;
  }
  // A time that is not ordinary (a year of other than four digits, a leap
  // second) orders by its text only.
  const std::string text = TimeStampText(mtime);
  for (const TimeRow& row : timeRows_) {
    if (row.position >= best) break;
    if (row.older ? std::string_view(text) < row.value : std::string_view(text) > row.value) return row.position;
  }
  return kNoRow;
}

std::optional<RowMatch> RuleMatcher::FirstMatch(const Candidate& file) const {
  int best = extensions_.Find(file.Extension());
  if (keywords_.LowestPosition() < best) best = std::min(best, keywords_.LowestMatch(file.Name()));
  return Finish(file, best);
}

std::pair<std::optional<RowMatch>, std::optional<RowMatch>> RuleMatcher::FirstMatches(const Candidate& a,
                                                                                      const Candidate& b) const {
  int bestA = extensions_.Find(a.Extension());
  int bestB = extensions_.Find(b.Extension());
  const int keyword = keywords_.LowestPosition();
  if (keyword < bestA && keyword < bestB) {
    const auto [inA, inB] = keywords_.LowestMatches(a.Name(), b.Name());
    bestA = std::min(bestA, inA);
    bestB = std::min(bestB, inB);
  } else if (keyword < bestA) {
    bestA = std::min(bestA, keywords_.LowestMatch(a.Name()));
  } else if (keyword < bestB) {
    bestB = std::min(bestB, keywords_.LowestMatch(b.Name()));
  }
  return {Finish(a, bestA), Finish(b, bestB)};
}

std::optional<RowMatch> RuleMatcher::Finish(const Candidate& file, int best) const {
  // Only a size or time row above the best so far can change the answer; a
  // file that cannot be queried meets none of them.
  if (std::min(sizeLowest_, timeLowest_) < best && file.Facts()) {
    if (sizeLowest_ < best) {
      const double length = static_cast<double>(file.Facts()->size);
      best = std::min({best, smaller_.LowestAbove(length), larger_.LowestBelow(length)});
    }
    if (timeLowest_ < best) best = std::min(best, LowestTimeRow(file.Facts()->mtime, best));
  }
  if (best == kNoRow) return std::nullopt;
  return RowMatch{best, (*rows_)[static_cast<std::size_t>(best - 1)].rule.destination};
}

}  // namespace veskora
