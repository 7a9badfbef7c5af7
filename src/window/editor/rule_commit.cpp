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
  // Label1 is taken unchecked: with no folder chosen it reads "(未定義)".
  const QString destination = Option2->isChecked() ? ToQString(kProtectMarker) : Label1->text();
  const std::optional<QString> value = ReadValue(kind);
  if (!value) return;
  // Only the condition counts: a rule that differs from a row in its
  // destination alone, the row being changed included, is a duplicate.
  const std::string description = DescribeRule(kind, value->toStdString());
  if (FindDuplicateRule(rules_, description)) {
    Refuse(QStringLiteral("すでに同一の移動条件があります"));
    return;
  }
  // A change whose row has gone (deleted while the editor stood open) is kept
  // as a new rule rather than dropped.
  const bool change = Command3->text() == QStringLiteral("変更") && rules_.IsValid(rules_.Selected());
  if (change) {
    if (!RewriteSelectedRow(kind, *value, destination)) return;
  } else {
    if (!AddRuleItem(rules_, true, kind, value->toStdString(), destination.toStdString())) return;
    rules_.Select(rules_.Count());
  }
  hide();
}

std::optional<QString> RuleEditor::ReadValue(int kind) {
  // Only the empty text counts as missing; blanks are a keyword.
  const auto required = [this](const QString& text, const QString& message) -> std::optional<QString> {
    if (!text.isEmpty()) return text;
    Refuse(message);
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
        Refuse(QStringLiteral("ファイル作成時刻が指定されていません"));
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

bool RuleEditor::RewriteSelectedRow(int kind, const QString& value, const QString& destination) {
  const int row = rules_.Selected();
  const std::string valueText = value.toStdString();
  const std::string destinationText = destination.toStdString();
  // Check box and position stay: the rule keeps its place and its state.
  // Another row with this key would have failed the duplicate check; should
  // one ever slip through, Replace leaves the row whole.
  return rules_.Replace(row, {{kind, valueText, destinationText}, rules_.Row(row).checked});
}

void RuleEditor::Refuse(const QString& message) { dialogs_.Inform(window(), message, Dialogs::Icon::kNone); }

}  // namespace veskora
