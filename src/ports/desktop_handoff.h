#pragma once

#include <QString>

namespace veskora {

// Hands a folder or a file to the desktop: the file manager shows a folder,
// the file's associated application opens a file. Nothing is waited for and
// the outcome is not examined.
class DesktopHandoff {
 public:
  virtual ~DesktopHandoff() = default;
  virtual void OpenFolder(const QString& path) = 0;
  virtual void OpenFile(const QString& path) = 0;
};

}  // namespace veskora
