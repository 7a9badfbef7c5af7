#pragma once

#include <QString>

class QWidget;

namespace veskora {

// Every modal question the program asks, behind one seam so tests can answer
// them without a person. All boxes carry the title "VESKORA".
class Dialogs {
 public:
  enum class Icon { kNone, kInformation };
  virtual ~Dialogs() = default;

  // A box with an OK button only.
  virtual void Inform(QWidget* parent, const QString& text, Icon icon) = 0;
  // A box with Yes and No and no icon; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  // The folder picker, opened at a start folder: the chosen folder's full
  // path, or empty on cancel.
  virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& start) = 0;
};

}  // namespace veskora
