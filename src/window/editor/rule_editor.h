#pragma once

#include <QGroupBox>
#include <QString>
#include <array>
#include <optional>
#include <string>

#include "rules/move_rule.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace veskora {

class Clock;
class DesktopSample;
class Dialogs;
class ElidedLabel;
class ListLabel;
class RuleBook;

// The rule editor panel (objectName "Frame1"): creates a rule or changes the
// one it was opened on, and only that one, wherever it has moved meanwhile.
// The mode is kept in changing_, not read from Command3's caption.
class RuleEditor : public QGroupBox {
  Q_OBJECT

 public:
  // The sample is the desktop the count under the condition judges.
  RuleEditor(RuleBook& book, Dialogs& dialogs, const Clock& clock, DesktopSample& sample, QWidget* parent);

  // Command0, mlnew, m2new: add mode, then the focus to Combo1.
  void OpenForNewRule();
  // mledit and a double-click in the list: change mode for the selected row,
  // which stays marked in the list while the editor is open. Nothing happens
  // without a selected row.
  void EditSelectedRule();
  // Command3. Without a kind it refuses and leaves the focus alone; otherwise
  // it commits and then asks for the focus on the list, whatever the outcome.
  void CommitPressed();

 signals:
  // The list should take the input focus (after a press of Command3).
  void ruleListFocusRequested();
  // The rule being changed, to be marked in the list; none in add mode or
  // once the editor is closed.
  void changingRuleChanged(const std::optional<MoveRule>& rule);

 protected:
  // Enter commits (or presses the focused button), Escape cancels.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The controls, named as in the window's design; each carries its name as
  // objectName. Frame2[k] is the condition panel of kind k (objectName
  // "Frame2_k"); Frame2[0] is the empty one.
  QComboBox* Combo1 = nullptr;
  std::array<QFrame*, 7> Frame2{};
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QComboBox* Combo2 = nullptr;
  QComboBox* Combo3 = nullptr;
  QComboBox* Combo4 = nullptr;
  QComboBox* Combo5 = nullptr;
  QComboBox* Combo6 = nullptr;
  QComboBox* Combo7 = nullptr;
  QComboBox* Combo8 = nullptr;
  QComboBox* Combo9 = nullptr;
  QComboBox* Combo10 = nullptr;
  QComboBox* Combo11 = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  ElidedLabel* Label1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  // Under the condition: how many desktop files the rule would decide now.
  ListLabel* editorMatches = nullptr;
  QTimer* matchTimer_ = nullptr;

  // Where a chosen condition panel stands, in twips.
  static constexpr int kFrontPanelTop = 240;

  void BuildControls();
  void BuildConditionPanels();

  void ShowConditionPanel(int kind);
  void OpenForChange(const MoveRule& rule);
  // Hides the panel and forgets the rule it was changing.
  void Close();
  void ResetInputs();
  void LoadValue(int kind, const QString& value);
  void ShowDestination(const QString& text);
  void ChooseDestination();

  void CommitRuleEditor();
  // The condition value of the chosen kind, or nothing after a refusal.
  std::optional<QString> ReadValue(int kind);
  // The same without a word: nothing, and why in `missing`, when incomplete.
  std::optional<QString> ValueOf(int kind, QString* missing) const;

  // A pause in the typing counts again; the listing is taken at opening.
  void CountMatchesSoon();
  void CountMatches();
  void Refuse(const QString& message);

  QComboBox* SizeList(int kind) const;
  // Month, day, hour and minute lists of a time kind.
  std::array<QComboBox*, 4> TimeLists(int kind) const;

  // What Label1 shows in full: a folder or a marker.
  QString destination_;
  // In change mode, the rule as it stood when the editor was opened on it.
  std::optional<MoveRule> changing_;
  RuleBook& book_;
  Dialogs& dialogs_;
  const Clock& clock_;
  DesktopSample& sample_;
};

}  // namespace veskora
