#include "session/desktop_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace veskora {

std::string DesktopFolderPath() {
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  // Where the desktop folder was deleted, xdg-user-dirs points the desktop at
  // the home folder: the rules were never meant to sweep that (nor "/").
  const QString real = QFileInfo(desktop).canonicalFilePath();
  if (!real.isEmpty() && (real == QFileInfo(QDir::homePath()).canonicalFilePath() || real == QDir::rootPath())) {
    return {};
  }
  return QFile::encodeName(desktop).toStdString();
}

}  // namespace veskora
