#include "window/editor/rule_editor.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ports/dialogs.h"
#include "rules/move_rule.h"
#include "rules/rule_list.h"
#include "window/editor/desktop_sample.h"
#include "window/editor/utf8_text.h"
#include "window/elided_label.h"
#include "window/list_label.h"
#include "window/rule_book.h"
#include "window/twips.h"

namespace veskora {

RuleEditor::RuleEditor(RuleBook& book, Dialogs& dialogs, const Clock& clock, DesktopSample& sample, QWidget* parent)
    : QGroupBox(parent), book_(book), dialogs_(dialogs), clock_(clock), sample_(sample) {
  setObjectName(QStringLiteral("Frame1"));
  BuildControls();
  matchTimer_ = new QTimer(this);
  matchTimer_->setSingleShot(true);
  connect(matchTimer_, &QTimer::timeout, this, &RuleEditor::CountMatches);
  connect(Combo1, &QComboBox::currentIndexChanged, this, [this](int index) {
    ShowConditionPanel(index + 1);
    CountMatchesSoon();
  });
  // Every input of a condition counts again once the typing pauses.
  for (QLineEdit* text : {Text1, Text2}) connect(text, &QLineEdit::textChanged, this, &RuleEditor::CountMatchesSoon);
  for (QComboBox* list : {Combo2, Combo3, Combo4, Combo5, Combo6, Combo7, Combo8, Combo9, Combo10, Combo11}) {
    connect(list, &QComboBox::currentIndexChanged, this, &RuleEditor::CountMatchesSoon);
  }
  connect(editorMatches, &ListLabel::listRequested, this,
          [this](const QString& list) { dialogs_.Inform(window(), list, Dialogs::Icon::kNone); });
  connect(Command1, &QPushButton::clicked, this, &RuleEditor::ChooseDestination);
  connect(Command3, &QPushButton::clicked, this, &RuleEditor::CommitPressed);
  connect(Command4, &QPushButton::clicked, this, &RuleEditor::Close);
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

void RuleEditor::OpenForNewRule() {
  changing_.reset();
  emit changingRuleChanged(changing_);
  setTitle(QStringLiteral("新規の移動条件を追加"));
  Command3->setText(QStringLiteral("追加"));
  Combo1->setCurrentIndex(-1);
  ShowDestination(ToQString(kUndefinedMarker));
  Option1->setChecked(true);
  ResetInputs();
  raise();  // over Command0, which lies in the panel's place
  show();
  sample_.Take();
  CountMatches();
  Combo1->setFocus();
}

void RuleEditor::OpenForChange(const MoveRule& rule) {
  changing_ = rule;
  emit changingRuleChanged(changing_);
  const int kind = rule.kind;
  const QString destination = QString::fromStdString(rule.destination);
  setTitle(QStringLiteral("選択中の移動条件を変更"));
  Command3->setText(QStringLiteral("変更"));
  const bool knownKind = kind >= kNameKeyword && kind <= kTimeNewer;
  Combo1->setCurrentIndex(knownKind ? kind - 1 : -1);
  ShowDestination(destination);
  (destination.contains(ToQString(kProtectWord)) ? Option2 : Option1)->setChecked(true);
  ResetInputs();
  LoadValue(kind, QString::fromStdString(rule.value));
  raise();
  show();
  sample_.Take();
  CountMatches();
}

void RuleEditor::Close() {
  hide();
  matchTimer_->stop();
  changing_.reset();
  emit changingRuleChanged(changing_);
}

// The inputs leave Enter and Escape to their panel; a focused push button
// takes Enter itself.
void RuleEditor::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    CommitPressed();
  } else if (key == Qt::Key_Escape) {
    Close();
    emit ruleListFocusRequested();
  } else {
    QGroupBox::keyPressEvent(event);
  }
}

void RuleEditor::EditSelectedRule() {
  const RuleList& rules = book_.Rules();
  const int row = rules.Selected();
  if (rules.Count() == 0 || !rules.IsValid(row)) return;
  const MoveRule& rule = rules.Row(row).rule;
  // Also a key of kind 0 (a hand-edited file) opens in change mode, so the
  // commit rewrites that row instead of adding another.
  OpenForChange(rule);
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
  destination_ = text;
  Label1->SetFullText(text);
}

void RuleEditor::ChooseDestination() {
  // At the rule's folder when there is one, else at home; never in the
  // program's working folder, which means nothing to the user.
  const QFileInfo current(destination_);
  const QString start = current.isAbsolute() && current.isDir() ? destination_ : QDir::homePath();
  const QString path = dialogs_.ChooseFolder(window(), QStringLiteral("移動先フォルダを選択してください"), start);
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
