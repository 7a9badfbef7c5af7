#pragma once

class QAction;
class QMainWindow;
class QMenu;

namespace veskora {

// The menus of the main window. The bar shows "ファイル", "移動" and "ヘルプ";
// mlmenu (the rule list's) and ttmenu (the tray icon's) are only ever popups.
// Every menu and entry carries its name as objectName; no entry has a
// shortcut or an access key, and none is ever disabled.
struct MainMenus {
  QMenu* mlmenu = nullptr;
  QAction* mlnew = nullptr;
  QAction* mlfopen = nullptr;
  QAction* mledit = nullptr;
  QAction* mlup = nullptr;
  QAction* mldown = nullptr;
  QAction* mldel = nullptr;

  QMenu* ttmenu = nullptr;
  QAction* ttopen = nullptr;
  QAction* ttundo = nullptr;
  QAction* tthistory = nullptr;
  QAction* ttend = nullptr;

  QMenu* m1menu = nullptr;
  QAction* m1mini = nullptr;
  QAction* m1end = nullptr;

  QMenu* m2menu = nullptr;
  QAction* m2mauto = nullptr;  // checkable; its check mark is the automatic-move switch
  QAction* m2mexec = nullptr;
  QAction* m2new = nullptr;
  QAction* m2log = nullptr;
  QAction* m2history = nullptr;
  QAction* m2preview = nullptr;
  QAction* m2notify = nullptr;  // checkable; its check mark lets each cycle that moved files notify

  QMenu* m2help = nullptr;
  QAction* m2about = nullptr;
};

MainMenus BuildMainMenus(QMainWindow& window);

}  // namespace veskora
