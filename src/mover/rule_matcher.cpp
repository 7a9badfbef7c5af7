#include "mover/rule_matcher.h"

#include <algorithm>
#include <utility>

#include "rules/rule_description.h"
#include "rules/rule_key.h"

namespace veskora {

namespace {

// A time value of exactly 14 digits, as a number: among such texts the
// order of the texts is the order of the numbers.
bool DigitsValue(std::string_view value, std::uint64_t& number) {
  if (value.size() != 14) return false;
  number = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

}  // namespace

RuleMatcher::RuleMatcher(const RuleList& rules) : rows_(&rules.Rows()) {
  const std::vector<RuleRow>& rows = rules.Rows();
  // Room for each kind at once, counted from the keys' first digit (a hint:
  // an odd key may still need more).
  std::size_t count[kTimeNewer + 1] = {};
  for (const RuleRow& row : rows) {
    const std::string& key = row.key;
    if (key.size() >= 2 && key[1] == ',' && key[0] >= '1' && key[0] <= '0' + kTimeNewer) ++count[key[0] - '0'];
  }
  std::vector<std::pair<std::string_view, int>> extensions;
  std::vector<KeywordAutomaton::Keyword> keywords;
  extensions.reserve(count[kExtension]);
  keywords.reserve(count[kNameKeyword]);
  smaller_.Reserve(count[kSizeSmaller]);
  larger_.Reserve(count[kSizeLarger]);
  timeRows_.reserve(count[kTimeOlder] + count[kTimeNewer]);
  olderDigits_.Reserve(count[kTimeOlder]);
  newerDigits_.Reserve(count[kTimeNewer]);
  int position = 0;
  for (const RuleRow& row : rows) {
    ++position;
    if (!row.checked) continue;
    RuleKeyView rule;
    if (const auto view = ViewRuleKey(row.key)) {
      rule = *view;
    } else {
      // Reserved once, so the views into earlier ones stay valid.
      if (unquoted_.empty()) unquoted_.reserve(rows.size());
      const MoveRule& owned = unquoted_.emplace_back(SplitRuleKey(row.key));
      rule.kind = owned.kind;
      rule.value = owned.value;
    }
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
        std::uint64_t digits = 0;
        if (DigitsValue(rule.value, digits)) {
          (older ? olderDigits_ : newerDigits_).Add(digits, position);
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
  olderDigits_.Seal();
  newerDigits_.Seal();
  olderText_.Seal();
  newerText_.Seal();
}

int RuleMatcher::LowestTimeRow(std::int64_t mtime, int best) const {
  const LocalTime local = localTimes_.Of(mtime);
  std::uint64_t digits = 0;
  if (TimeDigits(local, digits)) {
    int lowest = std::min(olderDigits_.LowestAbove(digits), newerDigits_.LowestBelow(digits));
    if (!olderText_.Empty() || !newerText_.Empty()) {
      const std::string text = TimeStampText(mtime);
      const std::string_view view = text;
      lowest = std::min({lowest, olderText_.LowestAbove(view), newerText_.LowestBelow(view)});
    }
    return lowest;
  }
  // A year of other than four digits gives a text of another length, which
  // only a comparison of texts orders right.
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
  const std::string& key = (*rows_)[static_cast<std::size_t>(best - 1)].key;
  const auto view = ViewRuleKey(key);
  return RowMatch{best, view ? std::string(view->Destination()) : SplitRuleKey(key).destination};
}

}  // namespace veskora
