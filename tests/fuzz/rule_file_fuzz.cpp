// Any bytes as a rule file: loading never crashes, and what loaded saves and
// loads back to exactly the same rows.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/text_encoding.h"
#include "rules/rule_file.h"

namespace {

std::string Rows(const veskora::RuleList& list) {
  std::string rows;
  for (const auto& row : list.Rows()) {
    rows += row.checked ? '+' : '-';
    rows += row.key + '\x1f' + row.text + '\x1f' + row.subItem + '\x1e';
  }
  return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  veskora::RuleList first;
  veskora::ParseRuleFile(bytes, first);
  const std::string saved = veskora::FormatRuleFile(first);

  veskora::RuleList second;
  if (veskora::ParseRuleFile(saved, second) != veskora::LoadOutcome::kComplete) std::abort();
  // Text that was neither UTF-8 nor Shift-JIS is kept as bytes and may be read
  // as Shift-JIS the next time; from then on it is stable.
  if (veskora::IsValidUtf8(saved) && Rows(first) != Rows(second)) std::abort();
  if (veskora::FormatRuleFile(second) != saved && veskora::IsValidUtf8(saved)) std::abort();

  veskora::RuleList third;
  veskora::ParseRuleFile(veskora::FormatRuleFile(second), third);
  if (Rows(second) != Rows(third)) std::abort();
  return 0;
}
