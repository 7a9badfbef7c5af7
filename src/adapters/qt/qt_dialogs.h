#pragma once

#include "ports/dialogs.h"

namespace veskora {

// The real boxes (QMessageBox, QFileDialog).
class QtDialogs final : public Dialogs {
 public:
  void Inform(QWidget* parent, const QString& text, Icon icon) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) override;
};

}  // namespace veskora
