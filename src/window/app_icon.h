#pragma once

#include <QIcon>

namespace veskora {

// The program's icon: the window's, the tray's, and the one installed for
// the desktop's menus, from the same pictures.
QIcon MakeAppIcon();

}  // namespace veskora
