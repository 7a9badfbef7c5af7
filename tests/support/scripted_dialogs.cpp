#include "scripted_dialogs.h"

namespace veskora::testing {

void ScriptedDialogs::Inform(QWidget*, const QString& text, Icon icon) { shown.push_back({"inform", text, icon}); }

bool ScriptedDialogs::AskYesNo(QWidget*, const QString& text) {
  shown.push_back({"ask", text, Icon::kNone});
  if (yesNoAnswers.empty()) return false;
  const bool answer = yesNoAnswers.front();
  yesNoAnswers.pop_front();
  return answer;
}

QString ScriptedDialogs::ChooseFolder(QWidget*, const QString& title) {
  shown.push_back({"folder", title, Icon::kNone});
  if (folderAnswers.empty()) return {};
  QString answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

QStringList ScriptedDialogs::Texts() const {
  QStringList texts;
  for (const auto& box : shown) texts << box.text;
  return texts;
}

}  // namespace veskora::testing
