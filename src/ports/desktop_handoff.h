#pragma once

#include <QString>

namespace veskora {

// Hands a folder or a file to the desktop: the file manager shows a folder,
// the file's associated application opens a file. Nothing is waited for;
// false when the desktop has nothing to hand it to.
class DesktopHandoff {
 public:
  virtual ~DesktopHandoff() = default;
  virtual bool OpenFolder(const QString& path) = 0;
  virtual bool OpenFile(const QString& path) = 0;
};

}  // namespace veskora
