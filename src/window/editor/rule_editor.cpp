#include "window/editor/rule_editor.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "window/editor/utf8_text.h"
#include "ports/dialogs.h"
#include "window/twips.h"
#include "rules/move_rule.h"
#include "rules/rule_key.h"
#include "rules/rule_list.h"

namespace veskora {

RuleEditor::RuleEditor(RuleList& rules, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : QGroupBox(parent), rules_(rules), dialogs_(dialogs), clock_(clock) {
  setObjectName(QStringLiteral("Frame1"));
  BuildControls();
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int index) { ShowConditionPanel(index + 1); });
  connect(Command1, &QPushButton::clicked, this, &RuleEditor::ChooseDestination);
  connect(Command3, &QPushButton::clicked, this, &RuleEditor::CommitPressed);
  connect(Command4, &QPushButton::clicked, this, &QWidget::hide);
  ShowConditionPanel(0);
  hide();
}

// Showing one panel and hiding the rest keeps the inputs of other kinds out of
// the tab order; what they hold is kept.
void RuleEditor::ShowConditionPanel(int kind) {
  for (std::size_t i = 0; i < Frame2.size(); ++i) {
    if (static_cast<int>(i) != kind) Frame2[i]->hide();
  }
  QFrame* panel = Frame2.at(static_cast<std::size_t>(kind));
  panel->raise();
  panel->move(panel->x(), TwipsScale(*panel).Y(kFrontPanelTop));
  panel->show();
}

void RuleEditor::OpenRuleEditor(int kind, const QString& value, const QString& destination) {
  if (kind != 0) {
    OpenForChange(kind, value, destination);
    return;
  }
  setTitle(QStringLiteral("新規の移動条件を追加"));
  Command3->setText(QStringLiteral("追加"));
  Combo1->setCurrentIndex(-1);
  ShowDestination(ToQString(kUndefinedMarker));
  Option1->setChecked(true);
  ResetInputs();
  raise();  // over Command0, which lies in the panel's place
  show();
}

void RuleEditor::OpenForChange(int kind, const QString& value, const QString& destination) {
  setTitle(QStringLiteral("選択中の移動条件を変更"));
  Command3->setText(QStringLiteral("変更"));
  const bool knownKind = kind >= kNameKeyword && kind <= kTimeNewer;
  Combo1->setCurrentIndex(knownKind ? kind - 1 : -1);
  ShowDestination(destination);
  (destination.contains(ToQString(kProtectWord)) ? Option2 : Option1)->setChecked(true);
  ResetInputs();
  LoadValue(kind, value);
  raise();
  show();
}

void RuleEditor::OpenForNewRule() {
  OpenRuleEditor(0, QString(), QString());
  Combo1->setFocus();
}

void RuleEditor::EditSelectedRule() {
  const int row = rules_.Selected();
  if (rules_.Count() == 0 || !rules_.IsValid(row)) return;
  const MoveRule& rule = rules_.Row(row).rule;
  // Also a key of kind 0 (a hand-edited file) opens in change mode, so the
  // commit rewrites that row instead of adding another.
  OpenForChange(rule.kind, QString::fromStdString(rule.value), QString::fromStdString(rule.destination));
}

void RuleEditor::ResetInputs() {
  Text1->clear();
  Text2->clear();
  for (QComboBox* list : {Combo2, Combo3, Combo4, Combo5, Combo6, Combo7, Combo8, Combo9, Combo10, Combo11}) {
    list->setCurrentIndex(0);
  }
}

namespace {
// A value that is no entry of the list (a hand-edited file) leaves the empty
// entry selected, so the commit asks for a choice.
void SelectEntry(QComboBox& list, const QString& text) {
  const int index = list.findText(text);
  if (index >= 0) list.setCurrentIndex(index);
}
}  // namespace

void RuleEditor::LoadValue(int kind, const QString& value) {
  switch (kind) {
    case kNameKeyword:
      Text1->setText(value);
      break;
    case kExtension:
      Text2->setText(value);
      break;
    case kSizeSmaller:
    case kSizeLarger:
      SelectEntry(*SizeList(kind), value);
      break;
    case kTimeOlder:
    case kTimeNewer: {
      // yyyyMMddhhmmss: the year and the seconds have no inputs.
      const auto lists = TimeLists(kind);
      for (std::size_t i = 0; i < lists.size(); ++i) {
        SelectEntry(*lists[i], value.mid(4 + 2 * static_cast<qsizetype>(i), 2));
      }
      break;
    }
    default:
      break;
  }
}

void RuleEditor::ShowDestination(const QString& text) {
  Label1->setText(text);
  Label1->adjustSize();
}

void RuleEditor::ChooseDestination() {
  const QString path = dialogs_.ChooseFolder(window(), QStringLiteral("移動先フォルダを選択してください"));
  if (path.isEmpty()) return;
  ShowDestination(path);
  Option1->setChecked(true);
}

QComboBox* RuleEditor::SizeList(int kind) const { return kind == kSizeSmaller ? Combo2 : Combo3; }

std::array<QComboBox*, 4> RuleEditor::TimeLists(int kind) const {
  if (kind == kTimeOlder) return {Combo4, Combo5, Combo6, Combo7};
  return {Combo8, Combo9, Combo10, Combo11};
}

}  // namespace veskora
