#include "editor/rule_editor.h"

#include <QPushButton>

namespace veskora {

// The panel and its two buttons exist so the window can lay them out; the
// editor's controls come next.
RuleEditor::RuleEditor(RuleList& rules, Dialogs& dialogs, const Clock& clock, QWidget* parent)
    : QGroupBox(parent), rules_(rules), dialogs_(dialogs), clock_(clock) {
  setObjectName("Frame1");
  Command3 = new QPushButton(this);
  Command3->setObjectName("Command3");
  Command4 = new QPushButton(QStringLiteral("キャンセル"), this);
  Command4->setObjectName("Command4");
  connect(Command4, &QPushButton::clicked, this, &QWidget::hide);
  connect(Command3, &QPushButton::clicked, this, &RuleEditor::CommitPressed);
  hide();
}

void RuleEditor::OpenRuleEditor(int, const QString&, const QString&) { show(); }
void RuleEditor::OpenForNewRule() { OpenRuleEditor(0, {}, {}); }
void RuleEditor::EditSelectedRule() {}
void RuleEditor::CommitPressed() { emit ruleListFocusRequested(); }

}  // namespace veskora
