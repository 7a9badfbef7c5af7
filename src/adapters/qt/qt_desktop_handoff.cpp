#include "adapters/qt/qt_desktop_handoff.h"

#include <QDesktopServices>
#include <QUrl>

namespace veskora {

// A desktop without a file manager or a handler answers false; the user sees
// nothing happen, which is all the original did too, so the result is dropped.
void QtDesktopHandoff::OpenFolder(const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

void QtDesktopHandoff::OpenFile(const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

}  // namespace veskora
