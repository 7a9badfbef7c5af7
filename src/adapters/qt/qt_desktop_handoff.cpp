#include "adapters/qt/qt_desktop_handoff.h"

#include <QDesktopServices>
#include <QUrl>

namespace veskora {

// A desktop without a file manager or a handler (no xdg-open) answers false.
bool QtDesktopHandoff::OpenFolder(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

bool QtDesktopHandoff::OpenFile(const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace veskora
