#pragma once

#include <QString>
#include <string>

#include "mover/judge.h"
#include "rules/move_rule.h"
#include "rules/rule_list.h"

namespace veskora {

// The judge's answers in the window's words, so that the preview, the files
// left waiting and the rule list say the same thing.

// "3番目: 拡張子が"pdf"": a row by its position and its condition.
QString RowName(int row, const MoveRule& rule);
QString OutcomeText(Outcome outcome);
// One waiting (or judged) file: its name, why, and the row that wants it.
QString FileLine(const std::string& name, Outcome outcome, int row, const MoveRule& rule);
// Why one row matches the file or not, with the values compared; a row
// without its tick is named as skipped.
QString RowReason(const RowVerdict& verdict, const MoveRule& rule);
// Every row's verdict on the file and what the first match does, one a line.
QString Explanation(const FileExplanation& why, const RuleList& rules);

}  // namespace veskora
