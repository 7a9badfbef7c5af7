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

LoadOutcome ParseRuleFile(std::string_view bytes, RuleList& list, bool* oddBytes) {
  list.Clear();
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) bytes.remove_prefix(kByteOrderMark.size());
  RecordReader reader(bytes);
  while (auto fields = reader.Next()) {
    if (fields->size() < 4) return LoadOutcome::kStopped;
    const std::string_view raw = reader.RawFrom(1);
    const bool odd = !IsValidUtf8(raw);
    if (odd && oddBytes) *oddBytes = true;
    for (std::string& field : *fields) field = AsUtf8(std::move(field));
    // A destination written unquoted by an older version may itself hold
    // commas: what follows the fourth comma belongs to it.
    std::string destination = (*fields)[3];
    for (std::size_t i = 4; i < fields->size(); ++i) destination += "," + (*fields)[i];
    const int kind = ClampKind(LeadingNumber((*fields)[1]));
    RuleRow row = MakeRuleRow(LeadingNumber((*fields)[0]) != 0, kind, (*fields)[2], destination);
    if (odd) row.stored = raw;
    if (list.Append(std::move(row)) == 0) return LoadOutcome::kStopped;
  }
  return reader.Failed() ? LoadOutcome::kStopped : LoadOutcome::kComplete;
}

std::string FormatRuleFile(const RuleList& list) {
  std::string text;
  for (const RuleRow& row : list.Rows()) {
    text += row.checked ? "-1," : "0,";
    text += row.stored.empty() ? row.key : row.stored;
    text += "\r\n";
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
  const LoadOutcome outcome = ParseRuleFile(read.bytes, list, &oddBytes);
  keepOriginal_ = outcome != LoadOutcome::kComplete || oddBytes;
  return outcome;
}

SaveOutcome RuleFile::SaveRules(const RuleList& list) {
  const std::string text = FormatRuleFile(list);
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
