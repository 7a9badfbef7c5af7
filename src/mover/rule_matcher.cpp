#include "mover/rule_matcher.h"

#include <algorithm>
#include <deque>
#include <limits>

#include "rules/rule_description.h"

namespace veskora {

template <typename T>
void Thresholds<T>::Seal() {
  std::sort(sorted_.begin(), sorted_.end());
  const std::size_t n = sorted_.size();
  lowestFrom_.assign(n, kNoRow);
  lowestTo_.assign(n, kNoRow);
  for (std::size_t i = 0; i < n; ++i) {
    lowestTo_[i] = std::min(i == 0 ? kNoRow : lowestTo_[i - 1], sorted_[i].second);
    const std::size_t j = n - 1 - i;
    lowestFrom_[j] = std::min(j + 1 == n ? kNoRow : lowestFrom_[j + 1], sorted_[j].second);
  }
}

template <typename T>
int Thresholds<T>::LowestAbove(const T& value) const {
  const auto at = std::upper_bound(sorted_.begin(), sorted_.end(), value,
                                   [](const T& v, const std::pair<T, int>& entry) { return v < entry.first; });
  return at == sorted_.end() ? kNoRow : lowestFrom_[static_cast<std::size_t>(at - sorted_.begin())];
}

template <typename T>
int Thresholds<T>::LowestBelow(const T& value) const {
  const auto at = std::lower_bound(sorted_.begin(), sorted_.end(), value,
                                   [](const std::pair<T, int>& entry, const T& v) { return entry.first < v; });
  return at == sorted_.begin() ? kNoRow : lowestTo_[static_cast<std::size_t>(at - sorted_.begin()) - 1];
}

int KeywordSearch::Child(const Node& node, unsigned char byte) {
  // A state has few moves: a scan of a short array beats a tree's pointers.
  for (const auto& [b, child] : node.next) {
    if (b == byte) return child;
  }
  return 0;  // the root is nobody's child
}

void KeywordSearch::Add(std::string_view keyword, int position) {
  int state = 0;
  for (const char c : keyword) {
    const auto byte = static_cast<unsigned char>(c);
    if (const int child = Child(nodes_[static_cast<std::size_t>(state)], byte); child != 0) {
      state = child;
      continue;
    }
    nodes_.emplace_back();
    const int added = static_cast<int>(nodes_.size() - 1);
    auto& next = nodes_[static_cast<std::size_t>(state)].next;
    next.insert(std::lower_bound(next.begin(), next.end(), std::make_pair(byte, 0)), {byte, added});
    state = added;
  }
  int& lowest = nodes_[static_cast<std::size_t>(state)].lowest;
  lowest = std::min(lowest, position);
}

void KeywordSearch::Seal() {
  // Breadth first, so that a state's failure link is done before its children.
  std::deque<int> queue;
  for (const auto& [byte, child] : nodes_[0].next) {
    root_[byte] = child;
    queue.push_back(child);
  }
  while (!queue.empty()) {
    const int state = queue.front();
    queue.pop_front();
    Node& node = nodes_[static_cast<std::size_t>(state)];
    // A state matches what its longest proper suffix matches too.
    node.lowest = std::min(node.lowest, nodes_[static_cast<std::size_t>(node.fail)].lowest);
    for (const auto& [byte, child] : node.next) {
      nodes_[static_cast<std::size_t>(child)].fail = Step(node.fail, byte);
      queue.push_back(child);
    }
  }
}

int KeywordSearch::Step(int state, unsigned char byte) const {
  while (state != 0) {
    const Node& node = nodes_[static_cast<std::size_t>(state)];
    if (const int child = Child(node, byte); child != 0) return child;
    state = node.fail;
  }
  return root_[byte];
}

int KeywordSearch::Lowest(std::string_view name) const {
  int lowest = nodes_[0].lowest;  // an empty keyword is in every name
  int state = 0;
  for (const char c : name) {
    state = Step(state, static_cast<unsigned char>(c));
    lowest = std::min(lowest, nodes_[static_cast<std::size_t>(state)].lowest);
  }
  return lowest;
}

RuleMatcher::RuleMatcher(const RuleList& rules) {
  int position = 0;
  for (const RuleRow& row : rules.Rows()) {
    ++position;
    if (!row.checked) continue;
    const MoveRule& rule = row.rule;
    switch (rule.kind) {
      case kNameKeyword:
        keywords_.Add(rule.value, position);
        keywordLowest_ = std::min(keywordLowest_, position);
        break;
      case kExtension:
        extensions_.emplace(rule.value, position);  // the first row of an extension stays
        break;
      case kSizeSmaller:
      case kSizeLarger:
        (rule.kind == kSizeSmaller ? smaller_ : larger_).Add(SizeThreshold(rule.value), position);
        sizeLowest_ = std::min(sizeLowest_, position);
        break;
      case kTimeOlder:
      case kTimeNewer:
        if (rule.kind == kTimeOlder) {
          older_.Add(TimeBound(rule.kind, rule.value), position);
        } else {
          const std::int64_t bound = TimeBound(rule.kind, rule.value);
          newer_.Add(bound == std::numeric_limits<std::int64_t>::min() ? bound : bound - 1, position);
        }
        timeLowest_ = std::min(timeLowest_, position);
        break;
      default:
        continue;  // any other kind never matches
    }
    lowest_ = std::min(lowest_, position);
  }
  keywords_.Seal();
  smaller_.Seal();
  larger_.Seal();
  older_.Seal();
  newer_.Seal();
}

std::optional<int> RuleMatcher::FirstMatch(const Candidate& file) const {
  int best = kNoRow;
  if (!extensions_.empty()) {
    const auto found = extensions_.find(file.Extension());
    if (found != extensions_.end()) best = found->second;
  }
  if (keywordLowest_ < best) best = std::min(best, keywords_.Lowest(file.Name()));
  // Only a size or time row above the best so far can change the answer; a
  // file that cannot be queried meets none of them.
  if (std::min(sizeLowest_, timeLowest_) < best && file.Facts()) {
    if (sizeLowest_ < best) {
      const double length = static_cast<double>(file.Facts()->size);
      best = std::min({best, smaller_.LowestAbove(length), larger_.LowestBelow(length)});
    }
    if (timeLowest_ < best) {
      const std::int64_t time = file.Facts()->mtime;
      best = std::min({best, older_.LowestAbove(time), newer_.LowestBelow(time)});
    }
  }
  if (best == kNoRow) return std::nullopt;
  return best;
}

const RuleMatcher& MatcherCache::For(const RuleList& rules) {
  if (list_ != &rules || version_ != rules.Version()) {
    matcher_ = RuleMatcher(rules);
    list_ = &rules;
    version_ = rules.Version();
  }
  return matcher_;
}

}  // namespace veskora
