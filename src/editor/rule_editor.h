#pragma once

#include <QGroupBox>
#include <QString>

class QPushButton;

namespace veskora {

class Clock;
class Dialogs;
class RuleList;

// The rule editor panel (objectName "Frame1"): creates a rule or changes the
// selected one. It keeps all its state in its controls; the caption of
// Command3 tells add mode ("追加") from change mode ("変更").
class RuleEditor : public QGroupBox {
  Q_OBJECT

 public:
  RuleEditor(RuleList& rules, Dialogs& dialogs, const Clock& clock, QWidget* parent);

  // kind 0 opens for a new rule; 1..6 for a rule of that kind.
  void OpenRuleEditor(int kind, const QString& value, const QString& destination);
  // Command0, mlnew, m2new: add mode, then the focus to Combo1.
  void OpenForNewRule();
  // mledit and a double-click in the list: change mode for the selected row.
  void EditSelectedRule();
  // Command3.
  void CommitPressed();

  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;

 signals:
  // The list should take the input focus (after every press of Command3).
  void ruleListFocusRequested();

 private:
  RuleList& rules_;
  Dialogs& dialogs_;
  const Clock& clock_;
};

}  // namespace veskora
