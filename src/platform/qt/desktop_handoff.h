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

// Through QDesktopServices: the path travels as one URL, never through a shell.
class QtDesktopHandoff final : public DesktopHandoff {
 public:
  void OpenFolder(const QString& path) override;
  void OpenFile(const QString& path) override;
};

}  // namespace veskora
