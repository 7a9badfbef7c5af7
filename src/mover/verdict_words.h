#pragma once

#include <optional>
#include <string>

#include "mover/judge.h"
#include "mover/outcome_words.h"
#include "rules/move_rule.h"
#include "rules/rule_list.h"

namespace veskora {

// Why the judge decides as it does, in words for people, so that the window
// and the command line say the same thing in each language. Names, values
// and folders are shown as the move log shows them (controls and bytes that
// are not UTF-8 escaped), so every line stays one line. UTF-8 text.

// A time of 14 digits as "YYYY-MM-DD hh:mm:ss" ("YYYY/MM/DD …" in Japanese);
// anything else quoted as it is.
std::string ShownTime(const std::string& digits, Language language);

// A row by its position and its condition: "row 3 拡張子が"pdf"" / "3番目: 拡張子が"pdf"".
std::string RowName(int row, const MoveRule& rule, Language language);

// The outcome's words, and for a file that moves where it goes.
std::string OutcomeTo(Outcome outcome, const std::string& destination, Language language);

// A judged or waiting file: its name, why, and the row that wants it.
std::string FileLine(const std::string& name, Outcome outcome, int row, const MoveRule& rule, Language language);

// Why one row matches the file or not, with the values compared; a row
// without its tick is named as skipped. RowReason leads with the verdict
// ("yes: " / "一致: ").
std::string VerdictWhy(const RowVerdict& verdict, const MoveRule& rule, Language language);
std::string RowReason(const RowVerdict& verdict, const MoveRule& rule, Language language);
// The row's name and its reason.
std::string RowLine(const RowVerdict& verdict, const MoveRule& rule, Language language);

// The file's size and time as the rows compared them.
std::string FactsLine(const std::optional<FileFacts>& facts, Language language);
// The closing sentence: what the first match does, or that none does.
std::string DecisionLine(const std::optional<JudgedFile>& decision, const RuleList& rules, Language language);

// The whole explanation, one a line: the facts, every row, the decision.
std::string Explanation(const FileExplanation& why, const RuleList& rules, Language language);

}  // namespace veskora
