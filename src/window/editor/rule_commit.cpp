// Command3: turns the editor's contents into a row of the rule list.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "window/editor/rule_editor.h"
#include "window/editor/utf8_text.h"
#include "ports/clock.h"
#include "ports/dialogs.h"
#include "rules/move_rule.h"
#include "rules/rule_description.h"
#include "rules/rule_list.h"
#include "rules/rule_list_ops.h"
#include "window/rule_book.h"

namespace veskora {

void RuleEditor::CommitPressed() {
  if (Combo1->currentIndex() < 0) {
    Refuse(QStringLiteral("移動条件が指定されていません"));
    return;  // the focus stays in the editor
  }
  CommitRuleEditor();
  emit ruleListFocusRequested();
}

void RuleEditor::CommitRuleEditor() {
  const int kind = Combo1->currentIndex() + 1;
  // What Label1 shows is taken unchecked: with no folder chosen "(未定義)".
  const QString destination = Option2->isChecked() ? ToQString(kProtectMarker) : destination_;
  const std::optional<QString> value = ReadValue(kind);
  if (!value) return;
  // A change rewrites the row the editor was opened on, wherever it stands
  // now, and never the row that happens to be selected; once that row is
  // deleted there is nothing left to change.
  const int row = changing_ ? book_.Find(*changing_) : 0;
  if (changing_ && row == 0) {
    Refuse(QStringLiteral("変更する移動条件が見つかりません"));
    return;
  }
  // Only the condition counts: a rule that differs from another row in its
  // destination alone is a duplicate; the row being changed is no other row.
  const std::string description = DescribeRule(kind, value->toStdString());
  if (FindDuplicateRule(book_.Rules(), description, row)) {
    Refuse(QStringLiteral("すでに同一の移動条件があります"));
    return;
  }
  // Check box and place stay on a change. The list refuses a second row with
  // the same rule, which the test above has already ruled out.
  RuleRow rewritten = MakeRuleRow(true, kind, value->toStdString(), destination.toStdString());
  if (!(changing_ ? book_.Change(row, std::move(rewritten)) : book_.Add(std::move(rewritten)) != 0)) return;
  Close();
}

std::optional<QString> RuleEditor::ReadValue(int kind) {
  QString missing;
  std::optional<QString> value = ValueOf(kind, &missing);
  if (!value && !missing.isEmpty()) Refuse(missing);
  return value;
}

std::optional<QString> RuleEditor::ValueOf(int kind, QString* missing) const {
  // Only the empty text counts as missing; blanks are a keyword.
  const auto required = [missing](const QString& text, const QString& message) -> std::optional<QString> {
    if (!text.isEmpty()) return text;
    *missing = message;
    return std::nullopt;
  };
  switch (kind) {
    case kNameKeyword:
      return required(Text1->text(), QStringLiteral("キーワードが指定されていません"));
    case kExtension:
      return required(Text2->text(), QStringLiteral("拡張子が指定されていません"));
    case kSizeSmaller:
    case kSizeLarger:
      return required(SizeList(kind)->currentText(), QStringLiteral("ファイルサイズが指定されていません"));
    case kTimeOlder:
    case kTimeNewer: {
      QString monthToMinute;
      bool complete = true;
      for (const QComboBox* list : TimeLists(kind)) {
        complete = complete && !list->currentText().isEmpty();
        monthToMinute += list->currentText();
      }
      if (!complete) {
        *missing = QStringLiteral("ファイル作成時刻が指定されていません");
        return std::nullopt;
      }
      // The year has no input: it is the clock's, at the moment of the commit.
      const QString year = QStringLiteral("%1").arg(clock_.Now().year, 4, 10, QChar('0'));
      return year + monthToMinute + QStringLiteral("00");
    }
    default:
      return std::nullopt;  // Combo1 offers the six kinds only
  }
}

void RuleEditor::Refuse(const QString& message) { dialogs_.Inform(window(), message, Dialogs::Icon::kNone); }

}  // namespace veskora
