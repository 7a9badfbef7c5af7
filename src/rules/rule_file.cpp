#include "rules/rule_file.h"

#include "platform/posix/text_encoding.h"
#include "platform/posix/text_files.h"
#include "rules/field_codec.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"

namespace veskora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One line as UTF-8: lines carried over from the original platform are
// Shift-JIS; bytes that are neither are kept as they are.
void AppendLineAsUtf8(std::string& out, std::string_view line) {
  if (IsValidUtf8(line)) {
    out.append(line);
  } else if (auto converted = Cp932ToUtf8(line)) {
    out.append(*converted);
  } else {
    out.append(line);
  }
}

// The text as UTF-8, decided line by line, so that one odd field cannot
// turn every other rule's text into nonsense. Shift-JIS never uses the
// bytes of CR or LF inside a character, so splitting there is safe.
std::string AsUtf8(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 2);
  while (!bytes.empty()) {
    const std::size_t end = bytes.find_first_of("\r\n");
    const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
    AppendLineAsUtf8(text, bytes.substr(0, length));
    bytes.remove_prefix(length);
  }
  return text;
}

}  // namespace

LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list) {
  list.Clear();
  const std::string text = AsUtf8(bytes);
  RecordReader reader(text);
  while (auto fields = reader.Next()) {
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
