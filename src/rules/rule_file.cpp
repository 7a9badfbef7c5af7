#include "rules/rule_file.h"

#include "platform/posix/text_encoding.h"
#include "platform/posix/text_files.h"
#include "rules/field_codec.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"

namespace veskora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One field as UTF-8: fields carried over from the original platform are
// Shift-JIS; bytes that are neither are kept as they are. Deciding field by
// field keeps one odd field from garbling every other rule, and reading a
// field that was saved this way gives it back unchanged. Shift-JIS never uses
// the bytes of a comma, a quote or a line end inside a character, so the
// records can be taken apart before decoding.
std::string AsUtf8(std::string field) {
  if (IsValidUtf8(field)) return field;
  if (auto converted = Cp932ToUtf8(field)) return *std::move(converted);
  return field;
}

}  // namespace

LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list) {
  list.Clear();
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  RecordReader reader(bytes);
  while (auto fields = reader.Next()) {
    for (std::string& field : *fields) field = AsUtf8(std::move(field));
    if (fields->size() < 4) return LoadOutcome::kStopped;
    // A destination written unquoted by an older version may itself hold
    // commas: what follows the fourth comma belongs to it.
    std::string destination = (*fields)[3];
    for (std::size_t i = 4; i < fields->size(); ++i) destination += "," + (*fields)[i];
    const bool enabled = LeadingNumber((*fields)[0]) != 0;
    const int kind = ClampKind(LeadingNumber((*fields)[1]));
    if (!AddRuleItem(list, enabled, kind, (*fields)[2], destination)) return LoadOutcome::kStopped;
  }
  return reader.Failed() ? LoadOutcome::kStopped : LoadOutcome::kComplete;
}

LoadOutcome LoadRules(RuleList& list, const std::string& path) {
  list.Clear();
  const auto bytes = ReadWholeFile(path);
  if (!bytes) return LoadOutcome::kNoFile;
  return ParseRuleFile(*bytes, list);
}

std::string FormatRuleFile(const RuleList& list) {
  std::string text;
  for (const RuleRow& row : list.Rows()) {
    text += row.checked ? "-1," : "0,";
    text += row.key;
    text += "\r\n";
  }
  return text;
}

bool SaveRules(const RuleList& list, const std::string& path) { return WriteFileAtomically(path, FormatRuleFile(list)); }

}  // namespace veskora
