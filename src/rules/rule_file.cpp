#include "rules/rule_file.h"

#include <cerrno>

#include "rules/text_encoding.h"
#include "rules/field_codec.h"
#include "rules/rule_key.h"
#include "rules/rule_list_ops.h"

namespace veskora {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// One field as UTF-8: fields carried over from the original platform are
// Shift-JIS; bytes that are neither are kept as they are. Deciding field by
// field keeps one odd field from garbling every other rule. Shift-JIS never
// uses the bytes of a comma, a quote or a line end inside a character, so the
// records can be taken apart before decoding.
std::string AsUtf8(std::string field) {
  if (IsValidUtf8(field)) return field;
  if (auto converted = Cp932ToUtf8(field)) return *std::move(converted);
  return field;
}

}  // namespace

LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list, bool* oddBytes, std::string* lead) {
  list.Clear();
  if (lead) lead->clear();
  const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  RecordReader reader(bytes.substr(marked ? kByteOrderMark.size() : 0));
  bool first = true;
  while (auto fields = reader.Next()) {
    const std::string_view record = reader.RawFrom(0);
    if (first && lead) *lead = bytes.substr(0, static_cast<std::size_t>(record.data() - bytes.data()));
    first = false;
    if (fields->size() < 4 || record.find('\0') != std::string_view::npos) return LoadOutcome::kStopped;
    const std::string_view rule = reader.RawFrom(1);
    const bool odd = !IsValidUtf8(rule);
    if (odd && oddBytes) *oddBytes = true;
    for (std::string& field : *fields) field = AsUtf8(std::move(field));
    // A destination written unquoted by an older version may itself hold
    // commas: what follows the fourth comma belongs to it.
    std::string destination = (*fields)[3];
    for (std::size_t i = 4; i < fields->size(); ++i) destination += "," + (*fields)[i];
    const int kind = ClampKind(LeadingNumber((*fields)[1]));
    RuleRow row = MakeRuleRow(LeadingNumber((*fields)[0]) != 0, kind, (*fields)[2], destination);
    row.readTick = record.substr(0, record.size() - rule.size());
    row.readRule = rule;
    if (list.Append(std::move(row)) == 0) return LoadOutcome::kStopped;
  }
  if (first && lead && !reader.Failed()) *lead = bytes;
  return reader.Failed() ? LoadOutcome::kStopped : LoadOutcome::kComplete;
}

std::string FormatRuleFile(const RuleList& list, std::string_view lead) {
  std::string text(lead);
  const std::vector<RuleRow>& rows = list.Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const RuleRow& row = rows[i];
    if (row.readTick.empty()) {
      text += row.checked ? "-1," : "0,";
    } else {
      text += row.readTick;
    }
    if (row.readRule.empty()) {
      text += MakeRuleKey(row.rule);
      text += "\r\n";
      continue;
    }
    text += row.readRule;
    // A last line without a line end that is no longer last gets one.
    const char end = row.readRule.back();
    if (i + 1 < rows.size() && end != '\n' && end != '\r') text += "\r\n";
  }
  return text;
}

LoadOutcome RuleFile::LoadRules(RuleList& list) {
  list.Clear();
  const ReadResult read = files_.Read(path_);
  if (read.error == ENOENT) return LoadOutcome::kNoFile;
  keepOriginal_ = true;
  if (read.error != 0) return LoadOutcome::kUnreadable;
  bool oddBytes = false;
  const LoadOutcome outcome = ParseRuleFile(read.bytes, list, &oddBytes, &lead_);
  keepOriginal_ = outcome != LoadOutcome::kComplete || oddBytes;
  return outcome;
}

SaveOutcome RuleFile::SaveRules(const RuleList& list) {
  const std::string text = FormatRuleFile(list, lead_);
  bool kept = false;
  if (keepOriginal_) {
    const ReadResult now = files_.Read(path_);
    if (now.error == 0 && now.bytes == text) return SaveOutcome::kSaved;  // nothing would change
    // Never written over before the original is safe.
    if (now.error != ENOENT && !KeepOriginal()) return SaveOutcome::kFailed;
    keepOriginal_ = false;
    kept = now.error != ENOENT;
  }
  if (files_.WriteAtomically(path_, text) != 0) return SaveOutcome::kFailed;
  return kept ? SaveOutcome::kSavedKeepingOriginal : SaveOutcome::kSaved;
}

bool RuleFile::KeepOriginal() {
  for (int n = 1; n < 100; ++n) {
    const std::string candidate = path_ + ".bak" + (n == 1 ? std::string() : std::to_string(n));
    const int err = files_.KeepCopy(path_, candidate);
    if (err == 0) {
      backup_ = candidate;
      return true;
    }
    if (err != EEXIST) return false;
  }
  return false;
}

}  // namespace veskora
