#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "platform/qt/dialogs.h"

namespace veskora::testing {

// Answers the program's questions from a script and records every box shown,
// so GUI tests never block on a modal dialog.
class ScriptedDialogs final : public Dialogs {
 public:
  struct Shown {
    QString kind;  // "inform", "ask" or "folder"
    QString text;
    Icon icon = Icon::kNone;
  };

  void Inform(QWidget* parent, const QString& text, Icon icon) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  QString ChooseFolder(QWidget* parent, const QString& title) override;

  // Queued answers; an unscripted question is answered No / cancelled.
  std::deque<bool> yesNoAnswers;
  std::deque<QString> folderAnswers;
  std::vector<Shown> shown;

  QStringList Texts() const;
};

}  // namespace veskora::testing
