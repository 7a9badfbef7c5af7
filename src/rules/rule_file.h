#pragma once

#include <string>
#include <string_view>

#include "rules/rule_list.h"

namespace veskora {

enum class LoadOutcome {
  kComplete,   // every record became a row
  kNoFile,     // missing or unreadable: the list stays empty
  kStopped,    // a record could not be read or was a duplicate: loading stopped there
};

// Replaces the list's rows with the records of a rule file's text. Accepts
// UTF-8 (with or without a byte-order mark) and, when the text is not valid
// UTF-8, Shift-JIS (CP932) as older files were written.
LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list);
LoadOutcome LoadRules(RuleList& list, const std::string& path);

// The file's text: one CR LF line per row, "-1" or "0", ",", the key.
std::string FormatRuleFile(const RuleList& list);
// Writes through a temporary file and a rename, so a failed save leaves the
// previous file whole. Returns false when nothing was saved.
bool SaveRules(const RuleList& list, const std::string& path);

}  // namespace veskora
