#include "rules/rule_key.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#include "rules/field_codec.h"

namespace veskora {

int ClampKind(long long number) {
  return static_cast<int>(
      std::clamp<long long>(number, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string MakeRuleKey(int kind, std::string_view value, std::string_view destination) {
  std::string key = std::to_string(kind);
  key.push_back(',');
  AppendField(key, value);
  key.push_back(',');
  AppendField(key, destination);
  return key;
}

std::string MakeRuleKey(const MoveRule& rule) { return MakeRuleKey(rule.kind, rule.value, rule.destination); }

namespace {

// The first comma at or after `from`, or the end; eight bytes per step.
std::size_t CommaFrom(std::string_view text, std::size_t from) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  for (; from + 8 <= text.size(); from += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + from, 8);
    const std::uint64_t x = word ^ (kOnes * ',');
    // The lowest byte flagged is the first comma (bytes past it may be
    // flagged too); the bytes are taken in memory order.
    const std::uint64_t zero = (x - kOnes) & ~x & kHighs;
    if (zero != 0) return from + static_cast<std::size_t>(std::countr_zero(zero) / 8);
  }
  while (from < text.size() && text[from] != ',') ++from;
  return from;
}

}  // namespace

std::optional<RuleKeyView> ViewRuleKey(std::string_view key) {
  // A part that does not begin with a quote ends at the next comma, whatever
  // follows; parts after the third change nothing.
  const std::size_t n = key.size();
  const auto quoted = [&](std::size_t start) { return start < n && key[start] == '"'; };
  if (quoted(0)) return std::nullopt;
  const std::size_t kindEnd = CommaFrom(key, 0);
  RuleKeyView view;
  const std::string_view kind = key.substr(0, kindEnd);
  // A kind is one digit but in hand-edited keys.
  view.kind = kind.size() == 1 && kind[0] >= '0' && kind[0] <= '9' ? kind[0] - '0' : ClampKind(LeadingNumber(kind));
  if (kindEnd == n) return view;
  if (quoted(kindEnd + 1)) return std::nullopt;
  const std::size_t valueEnd = CommaFrom(key, kindEnd + 1);
  view.value = key.substr(kindEnd + 1, valueEnd - kindEnd - 1);
  if (valueEnd == n) return view;
  if (quoted(valueEnd + 1)) return std::nullopt;
  view.rest = key.substr(valueEnd + 1);
  return view;
}

MoveRule SplitRuleKey(std::string_view key) {
  if (const auto view = ViewRuleKey(key)) {
    MoveRule rule;
    rule.kind = view->kind;
    rule.value = view->value;
    rule.destination = view->Destination();
    return rule;
  }
  std::vector<std::string> fields = SplitFields(key);
  MoveRule rule;
  rule.kind = ClampKind(LeadingNumber(fields[0]));
  if (fields.size() > 1) rule.value = std::move(fields[1]);
  if (fields.size() > 2) rule.destination = std::move(fields[2]);
  return rule;
}

}  // namespace veskora
