#include "adapters/qt/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace veskora {

namespace {

const QString kTitle = QStringLiteral("VESKORA");

int Show(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons, QWidget* parent) {
  QMessageBox box(icon, kTitle, text, buttons, parent);
  // Texts are never markup, whatever they come to hold.
  box.setTextFormat(Qt::PlainText);
  return box.exec();
}

}  // namespace

void QtDialogs::Inform(QWidget* parent, const QString& text, Icon icon) {
  Show(icon == Icon::kInformation ? QMessageBox::Information : QMessageBox::NoIcon, text, QMessageBox::Ok, parent);
}

bool QtDialogs::AskYesNo(QWidget* parent, const QString& text) {
  return Show(QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, parent) == QMessageBox::Yes;
}

QString QtDialogs::ChooseFolder(QWidget* parent, const QString& title, const QString& start) {
  return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

}  // namespace veskora
