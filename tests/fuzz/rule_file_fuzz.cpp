// Any bytes as a rule file: loading never crashes, and what loaded saves and
// loads back to exactly the same rows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rules/rule_file.h"
#include "rules/rule_key.h"

namespace {

std::string Rows(const veskora::RuleList& list) {
  std::string rows;
  for (const auto& row : list.Rows()) {
    rows += row.checked ? '+' : '-';
    rows += veskora::MakeRuleKey(row.rule) + '\x1f' + row.rule.destination + '\x1e';
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  // The lead (what stands before the first record) travels with the rows, as
  // the rule file keeps it: a byte-order mark after a blank line is part of
  // the first record, not a mark, and must stay so.
  veskora::RuleList first;
  std::string lead;
  veskora::ParseRuleFile(bytes, first, nullptr, &lead);
  const std::string saved = veskora::FormatRuleFile(first, lead);

  veskora::RuleList second;
  std::string secondLead;
  if (veskora::ParseRuleFile(saved, second, nullptr, &secondLead) != veskora::LoadOutcome::kComplete) std::abort();
  if (Rows(first) != Rows(second) || veskora::FormatRuleFile(second, secondLead) != saved) std::abort();
  return 0;
}
