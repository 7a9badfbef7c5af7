#include "platform/qt/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace veskora {

namespace {
const QString kTitle = QStringLiteral("VESKORA");
}

void QtDialogs::Inform(QWidget* parent, const QString& text, Icon icon) {
  QMessageBox box(icon == Icon::kInformation ? QMessageBox::Information : QMessageBox::NoIcon, kTitle, text,
                  QMessageBox::Ok, parent);
  box.exec();
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
  return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& title) {
  return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
}

}  // namespace veskora
