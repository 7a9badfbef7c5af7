#include "mover/verdict_words.h"

#include <cstdio>

#include "mover/conditions.h"
#include "mover/move_log.h"
#include "rules/rule_description.h"

namespace veskora {

namespace {

bool Japanese(Language language) { return language == Language::kJapanese; }

std::string Quoted(const std::string& text) {
  // Built by appending: "\"" + string&& sets off a false -Wrestrict in GCC 12.
  std::string quoted(1, '"');
  quoted += EscapeForLog(text);
  quoted += '"';
  return quoted;
}

}  // namespace

std::string ShownTime(const std::string& digits, Language language) {
  if (digits.size() != 14 || digits.find_first_not_of("0123456789") != std::string::npos) return Quoted(digits);
  const char* dash = Japanese(language) ? "/" : "-";
  std::string stamp = digits.substr(0, 4);
  stamp += dash;
  stamp += digits.substr(4, 2);
  stamp += dash;
  stamp += digits.substr(6, 2);
  stamp += ' ';
  stamp += digits.substr(8, 2);
  stamp += ':';
  stamp += digits.substr(10, 2);
  stamp += ':';
  stamp += digits.substr(12, 2);
  return stamp;
}

namespace {

std::string Threshold(const std::string& value) {
  char threshold[64];
  std::snprintf(threshold, sizeof threshold, "%.0f", SizeThreshold(value));
  return threshold;
}

std::string ComparedInEnglish(const RowVerdict& v, const MoveRule& rule) {
  const std::string& value = rule.value;
  const std::string& file = v.fileValue;
  const char* no = v.matches ? "" : "not ";
  switch (rule.kind) {
    case kNameKeyword:
      return v.matches ? "the name contains " + Quoted(value)
                       : "the name does not contain " + Quoted(value) + " (letter case counts)";
    case kExtension:
      if (v.matches) return "the extension is " + Quoted(value);
      return (file.empty() ? std::string("the name has no extension") : "the extension is " + Quoted(file)) + ", not " +
             Quoted(value);
    case kSizeSmaller:
    case kSizeLarger:
      if (file.empty()) return "the file's size cannot be read";
      return EscapeForLog(file) + " bytes is " + no + (rule.kind == kSizeSmaller ? "less" : "more") + " than " +
             EscapeForLog(value) + " (" + Threshold(value) + " bytes)";
    case kTimeOlder:
    case kTimeNewer:
      if (file.empty()) return "the file's time cannot be read";
      return "modified " + ShownTime(file, Language::kEnglish) + " is " + no +
             (rule.kind == kTimeOlder ? "before " : "after ") + ShownTime(value, Language::kEnglish);
    default:
      return "a row of kind " + std::to_string(rule.kind) + " never matches";
  }
}

std::string ComparedInJapanese(const RowVerdict& v, const MoveRule& rule) {
  const std::string& file = v.fileValue;
  const bool yes = v.matches;
  const Language ja = Language::kJapanese;
  switch (rule.kind) {
    case kNameKeyword:
      return "ファイル名 " + Quoted(file) + " に " + Quoted(rule.value) + " が" +
             (yes ? "含まれています" : "含まれていません（大文字と小文字は区別されます）");
    case kExtension:
      if (file.empty()) return "拡張子がありません（" + Quoted(rule.value) + " ではありません）";
      return "拡張子 " + Quoted(file) + " は " + Quoted(rule.value) + (yes ? " です" : " ではありません");
    case kSizeSmaller:
    case kSizeLarger:
      if (file.empty()) return "ファイルサイズを読み取れません";
      return "サイズ " + EscapeForLog(file) + " Byte は " + EscapeForLog(rule.value) + "（" + Threshold(rule.value) +
             " Byte）" + (rule.kind == kSizeSmaller ? "より小さい" : "より大きい") + (yes ? "です" : "とはいえません");
    case kTimeOlder:
    case kTimeNewer:
      if (file.empty()) return "ファイルの時刻を読み取れません";
      return "更新時刻 " + ShownTime(file, ja) + " は " + ShownTime(rule.value, ja) + " " +
             (rule.kind == kTimeOlder ? "より古い" : "より新しい") + (yes ? "です" : "とはいえません");
    default:
      return "この種類の移動条件 (" + std::to_string(rule.kind) + ") には何も一致しません";
  }
}

}  // namespace

std::string RowName(int row, const MoveRule& rule, Language language) {
  return (Japanese(language) ? std::to_string(row) + "番目: " : "row " + std::to_string(row) + " ") +
         EscapeForLog(DescribeRule(rule));
}

std::string OutcomeTo(Outcome outcome, const std::string& destination, Language language) {
  std::string words(OutcomeWords(outcome, language));
  if (outcome != Outcome::kMoves) return words;
  return Japanese(language) ? EscapeForLog(destination) + " へ" + words : words + " to " + EscapeForLog(destination);
}

std::string FileLine(const std::string& name, Outcome outcome, int row, const MoveRule& rule, Language language) {
  const std::string words(OutcomeWords(outcome, language));
  if (Japanese(language)) return EscapeForLog(name) + " — " + words + "（" + RowName(row, rule, language) + "）";
  return EscapeForLog(name) + " — " + words + " (" + RowName(row, rule, language) + ")";
}

std::string VerdictWhy(const RowVerdict& v, const MoveRule& rule, Language language) {
  if (Japanese(language)) return v.enabled ? ComparedInJapanese(v, rule) : "スキップ: チェックが外れています";
  return v.enabled ? ComparedInEnglish(v, rule) : "skipped: the row is not ticked";
}

std::string RowReason(const RowVerdict& v, const MoveRule& rule, Language language) {
  if (!v.enabled) return VerdictWhy(v, rule, language);
  const char* verdict = Japanese(language) ? (v.matches ? "一致: " : "不一致: ") : (v.matches ? "yes: " : "no: ");
  return verdict + VerdictWhy(v, rule, language);
}

std::string RowLine(const RowVerdict& v, const MoveRule& rule, Language language) {
  return RowName(v.row, rule, language) + (Japanese(language) ? " — " : ": ") + RowReason(v, rule, language);
}

std::string FactsLine(const std::optional<FileFacts>& facts, Language language) {
  if (!facts) return Japanese(language) ? "サイズと更新時刻を読み取れません" : "size and time cannot be read";
  const std::string size = std::to_string(facts->size);
  const std::string time = ShownTime(TimeStampText(facts->mtime), language);
  return Japanese(language) ? "サイズ " + size + " Byte、更新時刻 " + time : size + " bytes, modified " + time;
}

std::string DecisionLine(const std::optional<JudgedFile>& decision, const RuleList& rules, Language language) {
  if (!decision) {
    return Japanese(language) ? "一致する移動条件がないため、デスクトップに残ります"
                              : "No enabled row matches: the file stays on the desktop.";
  }
  const MoveRule& rule = rules.Row(decision->row).rule;
  if (!Japanese(language)) {
    return "First match: row " + std::to_string(decision->row) + ": " +
           OutcomeTo(decision->outcome, rule.destination, language) + ".";
  }
  std::string line = "最初に一致した " + RowName(decision->row, rule, language) + " により: ";
  line += OutcomeWords(decision->outcome, language);
  if (decision->outcome == Outcome::kMoves) line += " → " + EscapeForLog(rule.destination);
  return line;
}

std::string Explanation(const FileExplanation& why, const RuleList& rules, Language language) {
  std::string text = FactsLine(why.facts, language);
  for (const RowVerdict& v : why.rows) {
    text += '\n';
    text += RowLine(v, rules.Row(v.row).rule, language);
  }
  text += '\n';
  text += DecisionLine(why.decision, rules, language);
  return text;
}

}  // namespace veskora
