#pragma once

#include <QGroupBox>
#include <QString>
#include <array>
#include <optional>
#include <string>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

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

  // kind 0 opens for a new rule; any other kind opens in change mode for a rule
  // of that kind (one outside 1..6 selects no kind, so the user can pick one).
  void OpenRuleEditor(int kind, const QString& value, const QString& destination);
  // Command0, mlnew, m2new: add mode, then the focus to Combo1.
  void OpenForNewRule();
  // mledit and a double-click in the list: change mode for the selected row.
  // Nothing happens without a selected row.
  void EditSelectedRule();
  // Command3. Without a kind it refuses and leaves the focus alone; otherwise
  // it commits and then asks for the focus on the list, whatever the outcome.
  void CommitPressed();

 signals:
  // The list should take the input focus (after a press of Command3).
  void ruleListFocusRequested();

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
  QLabel* Label1 = nullptr;
  QPushButton* Command1 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;

  // Where a chosen condition panel stands, in twips.
  static constexpr int kFrontPanelTop = 240;

  void BuildControls();
  void BuildConditionPanels();

  void ShowConditionPanel(int kind);
  void OpenForChange(int kind, const QString& value, const QString& destination);
  void ResetInputs();
  void LoadValue(int kind, const QString& value);
  void ShowDestination(const QString& text);
  void ChooseDestination();

  void CommitRuleEditor();
  // The condition value of the chosen kind, or nothing after a refusal.
  std::optional<QString> ReadValue(int kind);
  bool RewriteSelectedRow(int kind, const QString& value, const QString& destination);
  void Refuse(const QString& message);

  QComboBox* SizeList(int kind) const;
  // Month, day, hour and minute lists of a time kind.
  std::array<QComboBox*, 4> TimeLists(int kind) const;

  RuleList& rules_;
  Dialogs& dialogs_;
  const Clock& clock_;
};

}  // namespace veskora
