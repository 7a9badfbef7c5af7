#include "platform/qt/desktop_folder.h"

#include <QFile>
#include <QStandardPaths>

namespace veskora {

std::string DesktopFolderPath() {
  return QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)).toStdString();
}

}  // namespace veskora
