#pragma once

#include "ports/desktop_handoff.h"

namespace veskora {

// Through QDesktopServices: the path travels as one URL, never through a shell.
class QtDesktopHandoff final : public DesktopHandoff {
 public:
  bool OpenFolder(const QString& path) override;
  bool OpenFile(const QString& path) override;
};

}  // namespace veskora
